// Korvane's entry point: the Qt application around the main window.
#include <QApplication>
#include <QCommandLineParser>

#include "core/Startup.h"
#include "ui/Program.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Korvane");

    QCommandLineParser parser;
    parser.setApplicationDescription("Publishes live chess games from board files on the web.");
    parser.addHelpOption();
    const QCommandLineOption resume(
        "resume", "Resume the last project without asking (when its file lists games).");
    parser.addOption(resume);
    parser.process(app);

    korvane::Program::Options options;
    options.programDir = korvane::ProgramDirectory();
    options.executableDir = QCoreApplication::applicationDirPath().toStdString();
    options.resume = parser.isSet(resume);
    korvane::Program program(std::move(options));
    program.Main();
    return app.exec();
}
