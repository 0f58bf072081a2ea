#pragma once
// Byte-level text helpers shared by the reader, the writer and the painter.
// Save files are single-byte text; keys and keywords compare in ASCII case.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <optional>

#if defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))
#include <emmintrin.h>
#define VOR4_SSE2_LINES 1
#endif

namespace vor4 {

inline bool isBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

inline char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }
inline char asciiUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; }

// Removes every leading and trailing character whose code is 32 or below.
inline QByteArrayView trimmed(QByteArrayView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.sliced(b, e - b);
}

// Case-insensitive (ASCII) search; needle is expected to be short.
qsizetype indexOfCi(QByteArrayView hay, QByteArrayView needle, qsizetype from = 0);
inline bool containsCi(QByteArrayView hay, QByteArrayView needle) { return indexOfCi(hay, needle) >= 0; }
bool equalsCi(QByteArrayView a, QByteArrayView b);
bool startsWithCi(QByteArrayView s, QByteArrayView prefix);

// Everything after the first "="; empty when there is none.
inline QByteArrayView valueOf(QByteArrayView line)
{
    const qsizetype eq = line.indexOf('=');
    return eq < 0 ? QByteArrayView() : line.sliced(eq + 1);
}

// Everything after the first occurrence of key (ASCII case ignored); empty
// when the line does not hold it.
inline QByteArrayView afterKey(QByteArrayView line, QByteArrayView key)
{
    const qsizetype at = indexOfCi(line, key);
    return at < 0 ? QByteArrayView() : line.sliced(at + key.size());
}

// Optional sign and decimal digits within the 32-bit range; nothing else.
std::optional<int> parseInt(QByteArrayView s);

// The first CR or LF in [p, end), or end when there is none.
inline const char *findLineEnd(const char *p, const char *end)
{
#ifdef VOR4_SSE2_LINES
    // Sixteen bytes a step: map files hold millions of short lines.
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    while (end - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const unsigned mask = unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf))));
        if (mask)
            return p + __builtin_ctz(mask);
        p += 16;
    }
#endif
    while (p < end && *p != '\n' && *p != '\r')
        ++p;
    return p;
}

// The first "=", CR or LF in [p, end), or end: lets a reader of keys skip a
// line of megabytes quickly.
inline const char *findEqualsOrLineEnd(const char *p, const char *end)
{
#ifdef VOR4_SSE2_LINES
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i eq = _mm_set1_epi8('=');
    while (end - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)),
                                         _mm_cmpeq_epi8(v, eq));
        if (const unsigned mask = unsigned(_mm_movemask_epi8(hit)))
            return p + __builtin_ctz(mask);
        p += 16;
    }
#endif
    while (p < end && *p != '=' && *p != '\r' && *p != '\n')
        ++p;
    return p;
}

// Calls f(QByteArrayView line) for each line of text. CR LF, a lone LF and a
// lone CR each end a line; a final line break adds no empty line.
template <typename F>
void forEachLine(QByteArrayView text, F &&f)
{
    const char *p = text.data();
    const char *end = p + text.size();
    while (p < end) {
        const char *q = findLineEnd(p, end);
        f(QByteArrayView(p, q - p));
        if (q < end && *q == '\r' && q + 1 < end && q[1] == '\n')
            q += 2;
        else if (q < end)
            ++q;
        p = q;
    }
}

QList<QByteArray> splitLines(QByteArrayView text);
QByteArray joinLines(const QList<QByteArray> &lines); // CR LF between, none after

} // namespace vor4
