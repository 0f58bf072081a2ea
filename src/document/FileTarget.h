#pragma once
// Checks made before any output file is replaced, by every writer alike.

#include <QByteArrayView>
#include <QString>

namespace vor4 {

// "%s is read-only" when path exists and its permission bits give its owner
// no write bit, whoever runs the program; empty otherwise. Root could
// replace such a file, but the mark is the owner's wish to keep it.
QString readOnlyMessage(const QString &path);

// Whether both paths name one existing file, through links, hard links and
// different spellings of the path.
bool sameFile(const QString &a, const QString &b);

// A value quoted in a message: at most 80 characters, then "…"; control
// characters shown as \xNN, so that a broken file cannot garble a terminal
// or flood a dialog.
QString shownValue(const QString &text);
QString shownValue(QByteArrayView latin1);

} // namespace vor4
