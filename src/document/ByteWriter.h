#pragma once
// Writes text straight into one growing buffer: QByteArray::append per piece
// costs more than the copying itself for the millions of short lines of a
// big map.

#include "TextUtil.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstring>

namespace vor4 {

class ByteWriter
{
public:
    explicit ByteWriter(qsizetype reserve) { grow(reserve); }

    ByteWriter &operator<<(QByteArrayView s)
    {
        put(s.data(), s.size());
        return *this;
    }
    template <std::size_t N>
    ByteWriter &operator<<(const char (&s)[N])
    {
        put(s, qsizetype(N - 1));
        return *this;
    }
    ByteWriter &operator<<(qint64 n)
    {
        char buf[24];
        char *p = buf + sizeof buf;
        const bool negative = n < 0;
        quint64 u = negative ? 0 - quint64(n) : quint64(n);
        do {
            *--p = char('0' + u % 10);
            u /= 10;
        } while (u);
        if (negative)
            *--p = '-';
        put(p, buf + sizeof buf - p);
        return *this;
    }
    void line(QByteArrayView s) { *this << s << "\r\n"; }
    void tabbedTrimmedLines(QByteArrayView text)
    {
        forEachLine(text, [this](QByteArrayView l) { *this << "\t" << trimmed(l) << "\r\n"; });
    }

    // One plot line: a tab, the inner tab if any, the line and CR LF.
    void plotLine(QByteArrayView l, bool inner)
    {
        const qsizetype n = l.size();
        ensure(n + 4);
        *m_p++ = '\t';
        if (inner)
            *m_p++ = '\t';
        if (n > 0)
            std::memcpy(m_p, l.data(), std::size_t(n));
        m_p += n;
        *m_p++ = '\r';
        *m_p++ = '\n';
    }

    QByteArray take()
    {
        m_bytes.resize(m_p - m_bytes.constData());
        return std::move(m_bytes);
    }

private:
    void ensure(qsizetype n)
    {
        if (m_end - m_p < n)
            grow(qMax(n, m_bytes.size()));
    }
    void grow(qsizetype extra)
    {
        const qsizetype used = m_bytes.isEmpty() ? 0 : m_p - m_bytes.constData();
        // Sized, not reserved: the bytes beyond what is written are never
        // touched, so they cost address space but no memory.
        m_bytes.resize(used + qMax<qsizetype>(extra, 256));
        m_p = m_bytes.data() + used;
        m_end = m_bytes.data() + m_bytes.size();
    }
    void put(const char *s, qsizetype n)
    {
        ensure(n);
        if (n > 0)
            std::memcpy(m_p, s, std::size_t(n));
        m_p += n;
    }

    QByteArray m_bytes;
    char *m_p = nullptr;
    char *m_end = nullptr;
};

} // namespace vor4
