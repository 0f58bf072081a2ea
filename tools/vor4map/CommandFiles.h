#pragma once
// The files of a command line: how a failed load is told, and which outputs
// may not be written.

#include "MapReader.h"

#include <QStringList>

namespace vor4::tool {

// "FILE:LINE: message" when the failure has a line, else the message.
QString loadFailure(const QString &path, const LoadResult &result);

// Why OUT may not be written, or empty: it is one of the inputs (a picture
// would replace the map it shows), or it is marked read-only.
QString outputRefusal(const QString &out, const QStringList &inputs);

// Keeps a file-size limit from killing the program mid-write: the write
// fails instead, and the failure is reported.
void ignoreFileSizeSignal();

} // namespace vor4::tool
