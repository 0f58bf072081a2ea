#pragma once
// Checks made before any output file is replaced, and the writing itself,
// by every writer alike: maps, pictures, reports.

#include <QByteArrayView>
#include <QString>

class QFileDevice;

namespace vor4 {

// "%s is read-only" when path exists and its permission bits give its owner
// no write bit, whoever runs the program; empty otherwise. Root could
// replace such a file, but the mark is the owner's wish to keep it.
QString readOnlyMessage(const QString &path);

// Why an output may not replace path, or empty: it exists and is no
// ordinary file ("PATH is not an ordinary file; nothing written": a device,
// a pipe, a folder; a link to an ordinary file is fine), or it is marked
// read-only. Asked before anything is written: the atomic rename of a new
// file would put a plain file in place of a device.
QString unwritableTarget(const QString &path);

// Writes all of bytes to the device, going on after short writes; false
// with the system's reason ("No space left on device") when it takes no more.
bool writeAll(QFileDevice &file, QByteArrayView bytes, QString *reason);

// "Cannot write PATH: REASON", saying that an existing file was kept.
QString writeFailure(const QString &path, const QString &reason);

// Replaces path with bytes atomically: on any failure the old file stays
// as it was and the message says why; empty on success.
QString replaceFile(const QString &path, QByteArrayView bytes);

// Whether both paths name one existing file, through links, hard links and
// different spellings of the path.
bool sameFile(const QString &a, const QString &b);

// A value quoted in a message: at most 80 characters, then "…"; control
// characters shown as \xNN, so that a broken file cannot garble a terminal
// or flood a dialog.
QString shownValue(const QString &text);
QString shownValue(QByteArrayView latin1);
// A file name in a message: control characters shown as \xNN, a long one
// cut in the middle so that its folder's start and its own name show.
QString shownPath(const QString &path);

} // namespace vor4
