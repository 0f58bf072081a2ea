#include "ZedMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Form1 = new TForm1;
    Form1->show();
    const int rc = app.exec();
    delete Form1;
    return rc;
}
