#include "MapFileType.h"

#include <QFile>
#include <QFileInfo>

namespace vor4 {

namespace {
const QLatin1String Extension(".Vor4WorldBuilderSave");
const QByteArrayView VersionKey("Version=");
const QByteArrayView GameKeyword("BeginGame");
constexpr qsizetype FirstGameOffset = 9;
constexpr qsizetype LastGameOffset = 16;
} // namespace

bool hasMapFileExtension(const QString &path)
{
    return path.endsWith(Extension, Qt::CaseInsensitive);
}

bool startsLikeMapFile(QByteArrayView head)
{
    if (!head.startsWith(VersionKey))
        return false;
    for (qsizetype at = FirstGameOffset; at <= LastGameOffset; ++at)
        if (head.sliced(qMin(at, head.size())).startsWith(GameKeyword))
            return true;
    return false;
}

bool looksLikeMapFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    if (hasMapFileExtension(info.fileName()))
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return startsLikeMapFile(file.read(LastGameOffset + GameKeyword.size()));
}

} // namespace vor4
