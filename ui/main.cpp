// Korvane's entry point: the Qt application around the main window.
#include <QApplication>

#include "core/Startup.h"
#include "ui/Program.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Korvane");
    korvane::Program program({korvane::ProgramDirectory(),
                              QCoreApplication::applicationDirPath().toStdString(),
                              nullptr,
                              {},
                              nullptr});
    program.Main();
    return app.exec();
}
