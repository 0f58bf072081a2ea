#pragma once
// Writing the document in the normalised save-file form.

#include "Document.h"

#include <QByteArray>
#include <QString>

namespace vor4 {

// The whole file as it is written: every line ends with CR LF.
QByteArray buildSaveFile(const Document &doc);

struct SaveResult
{
    bool ok = true;
    // "PATH is not an ordinary file; nothing written", "PATH is read-only",
    // "Cannot create file PATH: REASON" or "Cannot write PATH: REASON"
    QString message;
};

// Writes bytes to path atomically: on any failure the old file stays as it was.
SaveResult writeMapFile(const QString &path, const QByteArray &bytes);

} // namespace vor4
