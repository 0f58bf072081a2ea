#pragma once
// vor4map find, stats, pieces, balance, lint and diff: seeing into maps from scripts. Exit status
// as grep and diff have it: 0 and 1 are answers, 2 is trouble.

#include <QString>
#include <QStringList>

namespace vor4::tool {

// Returned for a wrong call, with *reason set; the caller shows the usage.
constexpr int WrongCall = -1;

// Each takes the arguments after the command's name.
int findCommand(const QStringList &args, QString *reason);
int statsCommand(const QStringList &args, QString *reason);
int diffCommand(const QStringList &args, QString *reason);
int piecesCommand(const QStringList &args, QString *reason);
int balanceCommand(const QStringList &args, QString *reason);
int lintCommand(const QStringList &args, QString *reason);

} // namespace vor4::tool
