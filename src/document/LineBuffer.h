#pragma once
// A file's lines held as its bytes: split on demand instead of one string
// object per line, which would cost more than the file itself on big maps.

#include "TextUtil.h"

#include <QByteArray>

namespace vor4 {

class LineBuffer
{
public:
    LineBuffer() = default;
    // Keeps the bytes up to the first NUL; counts the lines once.
    explicit LineBuffer(QByteArray bytes);

    qsizetype count() const { return m_count; }
    bool isEmpty() const { return m_count == 0; }
    const QByteArray &bytes() const { return m_bytes; }
    void clear() { *this = LineBuffer(); }
    // The line of the first NUL byte (1-based), 0 when there is none; and
    // whether any text stood after it, which reading leaves out.
    qsizetype nulLine() const { return m_nulLine; }
    bool textAfterNul() const { return m_textAfterNul; }

    template <typename F>
    void forEach(F &&f) const { forEachLine(m_bytes, std::forward<F>(f)); }

private:
    QByteArray m_bytes;
    qsizetype m_count = 0;
    qsizetype m_nulLine = 0;
    bool m_textAfterNul = false;
};

} // namespace vor4
