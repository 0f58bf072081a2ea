#include "FileTarget.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace vor4 {

QString readOnlyMessage(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() && info.isFile() && !(info.permissions() & QFileDevice::WriteOwner))
        return QStringLiteral("%1 is read-only").arg(path);
    return QString();
}

bool sameFile(const QString &a, const QString &b)
{
    if (QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath())
        return true;
#ifdef Q_OS_UNIX
    struct stat sa{}, sb{};
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 || ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
#else
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca.compare(QFileInfo(b).canonicalFilePath(), Qt::CaseInsensitive) == 0;
#endif
}

QString shownValue(const QString &text)
{
    constexpr qsizetype Limit = 80;
    QString shown;
    qsizetype n = 0;
    for (const QChar c : text) {
        if (n == Limit) {
            shown += QChar(0x2026);
            break;
        }
        const ushort u = c.unicode();
        if (u < 0x20 || u == 0x7f || (u >= 0x80 && u < 0xa0))
            shown += QStringLiteral("\\x") + QString::number(u, 16).rightJustified(2, QLatin1Char('0')).toUpper();
        else
            shown += c;
        ++n;
    }
    return shown;
}

QString shownValue(QByteArrayView latin1)
{
    // Only the first characters are shown: a 20 MB value costs no more than a short one.
    return shownValue(QString::fromLatin1(latin1.first(qMin<qsizetype>(latin1.size(), 81))));
}

} // namespace vor4
