#include "LineBuffer.h"

#include <cstring>

namespace vor4 {

LineBuffer::LineBuffer(QByteArray bytes)
    : m_bytes(std::move(bytes))
{
    if (const void *nul = std::memchr(m_bytes.constData(), 0, std::size_t(m_bytes.size())))
        m_bytes.truncate(static_cast<const char *>(nul) - m_bytes.constData());
    const char *p = m_bytes.constData();
    const char *end = p + m_bytes.size();
    qsizetype n = 0;
    for (; p < end; ++p) {
        if (*p == '\n')
            ++n;
        else if (*p == '\r' && !(p + 1 < end && p[1] == '\n'))
            ++n;
    }
    if (!m_bytes.isEmpty() && m_bytes.back() != '\n' && m_bytes.back() != '\r')
        ++n; // last line without a line break
    m_count = n;
}

} // namespace vor4
