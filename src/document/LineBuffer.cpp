#include "LineBuffer.h"

#include <cstring>

namespace vor4 {

LineBuffer::LineBuffer(QByteArray bytes)
    : m_bytes(std::move(bytes))
{
    if (const void *nul = std::memchr(m_bytes.constData(), 0, std::size_t(m_bytes.size())))
        m_bytes.truncate(static_cast<const char *>(nul) - m_bytes.constData());
    // Every LF ends a line, and so does a CR not followed by LF. Written
    // without branches so that the compiler can vectorise the count.
    const unsigned char *p = reinterpret_cast<const unsigned char *>(m_bytes.constData());
    const qsizetype size = m_bytes.size();
    qsizetype n = 0;
    for (qsizetype i = 0; i + 1 < size; ++i)
        n += (p[i] == '\n') | ((p[i] == '\r') & (p[i + 1] != '\n'));
    if (size > 0)
        ++n; // the last byte ends a line, or starts or continues one without a break
    m_count = n;
}

} // namespace vor4
