#include "EditorCommandLine.h"
#include "FileActions.h"
#include "MainWindow.h"

#include <QApplication>
#include <QTimer>
#include <csignal>

int main(int argc, char *argv[])
{
#ifdef SIGXFSZ
    // A file-size limit makes a save fail and say so, instead of ending the editor.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QCoreApplication::setApplicationName(QStringLiteral("Vor4 Map Editor"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VOR4_VERSION));
    {
        // Help and version are answered before the windowing system is
        // touched, so they work without a display. Anything else waits until
        // QApplication has taken its own options (-platform and the like).
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        EditorCommandLine early(arguments);
        if (early.request() == EditorCommandLine::ShowHelp || early.request() == EditorCommandLine::ShowVersion) {
            QCoreApplication core(argc, argv);
            return early.answer();
        }
    }
    QApplication app(argc, argv);
    // Desktops match windows to the desktop entry, its icon and its name.
    QGuiApplication::setDesktopFileName(QStringLiteral(VOR4_APP_ID));
    EditorCommandLine commandLine(QCoreApplication::arguments());
    if (commandLine.request() != EditorCommandLine::StartEditor)
        return commandLine.answer();

    // The main window creates and owns the tool windows.
    auto *window = new MainWindow;
    window->show();
    // Once the window is up: unsaved changes of a run that ended unexpectedly
    // are offered, then a file named on the command line opens as Open would
    // open it (through the question about the restored changes, if any).
    QTimer::singleShot(0, window, [window, file = commandLine.file()] {
        window->files()->offerRecovery();
        if (!file.isEmpty())
            window->files()->openStartupFile(file);
    });
    const int rc = app.exec();
    delete window; // owns the other windows
    return rc;
}
