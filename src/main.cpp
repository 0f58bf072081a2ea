#include "HintWindow.h"
#include "ZedAbout.h"
#include "ZedMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vor4 Map Editor"));
    QApplication::setApplicationVersion(QStringLiteral(VOR4_VERSION));
    Form1 = new TForm1;
    AboutBox = new TAboutBox(Form1);
    Form1->show();
    const int rc = app.exec();
    delete Form1;
    return rc;
}
