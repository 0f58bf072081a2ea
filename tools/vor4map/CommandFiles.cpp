#include "CommandFiles.h"

#include "FileTarget.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace vor4::tool {

QString loadFailure(const QString &path, const LoadResult &result)
{
    if (result.line <= 0 || result.status == LoadResult::FileError)
        return result.message;
    return QStringLiteral("%1:%2: %3").arg(shownPath(path)).arg(result.line).arg(result.message);
}

QString outputRefusal(const QString &out, const QStringList &inputs)
{
    for (const QString &in : inputs)
        if (sameFile(out, in))
            return QStringLiteral("%1 is the same file as %2: it would be replaced").arg(shownPath(out), shownPath(in));
    return unwritableTarget(out);
}

Output &Output::operator<<(QByteArrayView s)
{
    m_buffer.append(s.data(), s.size());
    if (m_buffer.size() >= (1 << 20))
        flush();
    return *this;
}

bool Output::flush()
{
    if (!m_buffer.isEmpty() && m_failure.isEmpty()) {
        errno = 0;
        const std::size_t n = std::fwrite(m_buffer.constData(), 1, std::size_t(m_buffer.size()), stdout);
        if (n != std::size_t(m_buffer.size()) || std::fflush(stdout) != 0)
            m_failure = QString::fromLocal8Bit(std::strerror(errno != 0 ? errno : EIO));
    }
    m_buffer.clear();
    return m_failure.isEmpty();
}

int Output::finish(int status)
{
    if (flush())
        return status;
    const QByteArray text = QStringLiteral("Cannot write the output: %1\n").arg(m_failure).toLocal8Bit();
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stderr);
    std::fflush(stderr);
    return 1;
}

void ignoreFileSizeSignal()
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

} // namespace vor4::tool
