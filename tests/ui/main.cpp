// The window tests' entry point: one QApplication for all tests, on Qt's offscreen platform
// unless another one is asked for.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char* argv[]) {
    // No display is needed, also when the test list is read at build time.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    // Tests close main windows; that must not end the application under later tests.
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
