// vor4map: reads, checks and normalises world-builder save files from scripts.

#include "Commands.h"

#include <QCoreApplication>
#include <QStringList>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    return vor4::tool::run(args);
}
