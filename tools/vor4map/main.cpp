// vor4map: reads, checks and normalises world-builder save files from scripts.

#include "CommandFiles.h"
#include "Commands.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>
#include <memory>

int main(int argc, char *argv[])
{
    // Taken before the application sees them: a GUI application would take
    // "--style" and the like for itself.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    // render paints with fonts and needs a GUI application; without a
    // display it runs offscreen.
    std::unique_ptr<QCoreApplication> app;
    if (argc > 1 && qstrcmp(argv[1], "render") == 0) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    vor4::tool::ignoreFileSizeSignal();
    return vor4::tool::run(args);
}
