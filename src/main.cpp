#include "EditorCommandLine.h"
#include "ZedAbout.h"
#include "ZedMain.h"
#include "ZedMapContents.h"
#include "ZedMiniMap.h"

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

    // The main window first: its creation runs before the others exist.
    Form1 = new TForm1;
    Form2 = new TForm2(Form1, Form1);
    Form3 = new TForm3(Form1, Form1);
    Form3->setInstallDir(Form1->InstallDir);
    AboutBox = new TAboutBox(Form1);
    Form1->show();
    // Once the window is up: unsaved changes of a run that ended unexpectedly
    // are offered, then a file named on the command line opens as Open would
    // open it (through the question about the restored changes, if any).
    QTimer::singleShot(0, Form1, [file = commandLine.file()] {
        Form1->offerRecovery();
        if (!file.isEmpty())
            Form1->openStartupFile(file);
    });
    const int rc = app.exec();
    delete Form1; // owns the other windows
    return rc;
}
