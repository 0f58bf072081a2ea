#include "LineBuffer.h"

#include <cstring>

namespace vor4 {

LineBuffer::LineBuffer(QByteArray bytes)
    : m_bytes(std::move(bytes))
{
    const void *nul = std::memchr(m_bytes.constData(), 0, std::size_t(m_bytes.size()));
    if (nul) {
        const qsizetype at = static_cast<const char *>(nul) - m_bytes.constData();
        for (qsizetype i = at + 1; i < m_bytes.size() && !m_textAfterNul; ++i)
            m_textAfterNul = !isBlank(m_bytes[i]);
        m_bytes.truncate(at);
    }
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
    if (nul) // the NUL stands on the last line, or starts a new one after a break
        m_nulLine = (size == 0 || p[size - 1] == '\n' || p[size - 1] == '\r') ? n + 1 : n;
}

} // namespace vor4
