#include "CommandFiles.h"

#include "FileTarget.h"

#include <csignal>

namespace vor4::tool {

QString loadFailure(const QString &path, const LoadResult &result)
{
    if (result.line <= 0 || result.status == LoadResult::FileError)
        return result.message;
    return QStringLiteral("%1:%2: %3").arg(path).arg(result.line).arg(result.message);
}

QString outputRefusal(const QString &out, const QStringList &inputs)
{
    for (const QString &in : inputs)
        if (sameFile(out, in))
            return QStringLiteral("%1 is the same file as %2: it would be replaced").arg(out, in);
    return readOnlyMessage(out);
}

void ignoreFileSizeSignal()
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

} // namespace vor4::tool
