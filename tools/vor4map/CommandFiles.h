#pragma once
// The files of a command line: how a failed load is told, and which outputs
// may not be written.

#include "MapReader.h"

#include <QStringList>

namespace vor4::tool {

// "FILE:LINE: message" when the failure has a line, else the message.
QString loadFailure(const QString &path, const LoadResult &result);

// Why OUT may not be written, or empty: it is one of the inputs (a picture
// would replace the map it shows), it is no ordinary file, or it is marked
// read-only.
QString outputRefusal(const QString &out, const QStringList &inputs);

// Keeps a file-size limit from killing the program mid-write: the write
// fails instead, and the failure is reported.
void ignoreFileSizeSignal();

// Standard output of a report, as bytes, keeping the first write failure: a
// report cut short by a full disk must not end as if it were whole.
class Output
{
public:
    ~Output() { flush(); }
    Output &operator<<(QByteArrayView s);
    // Writes what is held; false once any write has failed.
    bool flush();
    // The report's exit status, or 1 after "Cannot write the output:
    // REASON" on standard error when the output was not all written.
    int finish(int status);

private:
    QByteArray m_buffer;
    QString m_failure; // the system's reason
};

} // namespace vor4::tool
