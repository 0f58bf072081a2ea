#include "FileTarget.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace vor4 {

namespace {

QString escaped(QStringView text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u < 0x20 || u == 0x7f || (u >= 0x80 && u < 0xa0))
            shown += QStringLiteral("\\x") + QString::number(u, 16).rightJustified(2, QLatin1Char('0')).toUpper();
        else
            shown += c;
    }
    return shown;
}

} // namespace

QString readOnlyMessage(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() && info.isFile() && !(info.permissions() & QFileDevice::WriteOwner))
        return QStringLiteral("%1 is read-only").arg(shownPath(path));
    return QString();
}

QString unwritableTarget(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return QStringLiteral("%1 is not an ordinary file; nothing written").arg(shownPath(path));
    return readOnlyMessage(path);
}

bool writeAll(QFileDevice &file, QByteArrayView bytes, QString *reason)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        errno = 0;
        const qint64 n = file.write(bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            // The device's own word when it has one, else the system's.
            const int error = errno;
            *reason = file.error() != QFileDevice::NoError ? file.errorString()
                      : error != 0                         ? QString::fromLocal8Bit(std::strerror(error))
                                                           : QStringLiteral("the device takes no more");
            return false;
        }
        done += n;
    }
    return true;
}

QString writeFailure(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot write %1: %2%3")
        .arg(shownPath(path), reason,
             QFileInfo::exists(path) ? QStringLiteral("; the previous file is left as it was") : QString());
}

QString replaceFile(const QString &path, QByteArrayView bytes)
{
    if (QString why = unwritableTarget(path); !why.isEmpty())
        return why;
    const QFileInfo info(path);
    QSaveFile file(path);
    // A file this user may not write would still be replaced by the rename.
    // Unbuffered: commit() does not see a write that fails in its own last
    // flush, and would put a cut file in place of the old one.
    if (info.exists() && !info.isWritable())
        return QStringLiteral("Cannot create file %1: Permission denied").arg(shownPath(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return QStringLiteral("Cannot create file %1: %2").arg(shownPath(path), file.errorString());
    QString reason;
    if (!writeAll(file, bytes, &reason)) {
        file.cancelWriting();
        return writeFailure(path, reason);
    }
    if (!file.commit())
        return writeFailure(path, file.errorString());
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
    if (text.size() <= Limit)
        return escaped(text);
    return escaped(QStringView(text).first(Limit)) + QChar(0x2026);
}

QString shownValue(QByteArrayView latin1)
{
    // Only the first characters are shown: a 20 MB value costs no more than a short one.
    return shownValue(QString::fromLatin1(latin1.first(qMin<qsizetype>(latin1.size(), 81))));
}

QString shownPath(const QString &path)
{
    constexpr qsizetype Head = 60, Tail = 100;
    if (path.size() <= Head + Tail)
        return escaped(path);
    return escaped(QStringView(path).first(Head)) + QChar(0x2026) + escaped(QStringView(path).last(Tail));
}

} // namespace vor4
