#include "TextUtil.h"

#include <climits>

namespace vor4 {

qsizetype indexOfCi(QByteArrayView hay, QByteArrayView needle, qsizetype from)
{
    const qsizetype n = needle.size();
    if (n == 0)
        return from <= hay.size() ? from : -1;
    const char lo = asciiLower(needle[0]);
    const char up = asciiUpper(needle[0]);
    const char *h = hay.data();
    for (qsizetype i = from, last = hay.size() - n; i <= last; ++i) {
        if (h[i] != lo && h[i] != up)
            continue;
        qsizetype j = 1;
        while (j < n && asciiLower(h[i + j]) == asciiLower(needle[j]))
            ++j;
        if (j == n)
            return i;
    }
    return -1;
}

bool equalsCi(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    return true;
}

bool startsWithCi(QByteArrayView s, QByteArrayView prefix)
{
    return s.size() >= prefix.size() && equalsCi(s.first(prefix.size()), prefix);
}

std::optional<int> parseInt(QByteArrayView s)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    if (i == s.size())
        return std::nullopt;
    long long value = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < INT_MIN || value > INT_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

QList<QByteArray> splitLines(QByteArrayView text)
{
    QList<QByteArray> lines;
    forEachLine(text, [&](QByteArrayView line) { lines.append(line.toByteArray()); });
    return lines;
}

QByteArray joinLines(const QList<QByteArray> &lines)
{
    QByteArray out;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i)
            out += "\r\n";
        out += lines[i];
    }
    return out;
}

} // namespace vor4
