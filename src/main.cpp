#include "ZedAbout.h"
#include "ZedMain.h"
#include "ZedMapContents.h"
#include "ZedMiniMap.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vor4 Map Editor"));
    QApplication::setApplicationVersion(QStringLiteral(VOR4_VERSION));
    // The main window first: its creation runs before the others exist.
    Form1 = new TForm1;
    Form2 = new TForm2(Form1, Form1);
    Form3 = new TForm3(Form1, Form1);
    Form3->setInstallDir(Form1->InstallDir);
    AboutBox = new TAboutBox(Form1);
    Form1->show();
    // Unsaved changes of a run that ended unexpectedly are offered first.
    QTimer::singleShot(0, Form1, [] { Form1->offerRecovery(); });
    const int rc = app.exec();
    delete Form1; // owns the other windows
    return rc;
}
