#pragma once
// Reading a world-builder save file into the document.

#include "Document.h"

#include <QString>
#include <functional>

namespace vor4 {

struct LoadResult
{
    enum Status { Ok, FileError, StructureError, ValueError, TooLarge, Cancelled };
    Status status = Ok;
    qint64 line = 0;  // 1-based line of a structure, value or size error
    QString message;  // the text the user is shown; empty when Ok
    bool ok() const { return status == Ok; }
};

// Called before lines 0, 500, 1000, ... with the number of lines already
// handled and the total. Returning false abandons the load.
using LoadProgress = std::function<bool(qint64 handled, qint64 total)>;

// Files above this size are refused before they are read.
constexpr qint64 MaxFileSize = qint64(1) << 31;

// Reads the file's bytes into doc.FileLines (up to the first NUL).
LoadResult readFileLines(const QString &path, Document &doc);

// Runs the section state machine over doc.FileLines and fills the stores.
// Stops at the first error; the stores keep what was read before it.
LoadResult ParseFileLines(Document &doc, const LoadProgress &progress = {});

// ResetDocument(0, 0), read, parse and empty FileLines: Open without windows.
// FileName is set to the path.
LoadResult loadMapFile(const QString &path, Document &doc, const LoadProgress &progress = {});

} // namespace vor4
