#pragma once
// vor4map run as a user runs it, for the command-line tests: its exit
// status and both of its outputs. VOR4MAP_PATH names the built program.

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStringList>

struct Run
{
    int code = -1;
    QByteArray out, err;
};

inline Run vor4map(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(VOR4MAP_PATH), args);
    p.waitForFinished(60000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
