#include "ZedMain.h"

TForm1 *Form1 = nullptr;

TForm1::TForm1(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Vor4DemoMapEditor"));
    resize(870, 640);
}
