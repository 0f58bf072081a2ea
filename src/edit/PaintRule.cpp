#include "PaintRule.h"

#include "TextUtil.h"

#include <cstring>

namespace vor4 {

namespace {

// Lines of a plot text one at a time, split as the reader splits them.
class Lines
{
public:
    explicit Lines(QByteArrayView text) : m_p(text.data()), m_end(text.data() + text.size()) {}
    bool next(QByteArrayView *line)
    {
        if (m_p >= m_end)
            return false;
        const char *q = findLineEnd(m_p, m_end);
        *line = QByteArrayView(m_p, q - m_p);
        if (q < m_end && *q == '\r' && q + 1 < m_end && q[1] == '\n')
            q += 2;
        else if (q < m_end)
            ++q;
        m_p = q;
        return true;
    }

private:
    const char *m_p;
    const char *m_end;
};

QString quoted(QByteArrayView text)
{
    return QLatin1Char('"') + QString::fromLatin1(text.data(), text.size()) + QLatin1Char('"');
}

bool isOneLine(QByteArrayView line)
{
    // A NUL would end the file for the reader; a break would add lines.
    return !line.contains('\r') && !line.contains('\n') && !line.contains('\0');
}

} // namespace

QByteArrayView PaintRule::keyOf(QByteArrayView line)
{
    const qsizetype eq = line.indexOf('=');
    return eq < 0 ? QByteArrayView() : trimmed(line.first(eq));
}

qsizetype PaintRule::lineWithKey(QByteArrayView text, QByteArrayView key)
{
    Lines lines(text);
    QByteArrayView line;
    for (qsizetype i = 0; lines.next(&line); ++i)
        if (containsCi(line, key))
            return i;
    return -1;
}

QByteArray PaintRule::putLine(QByteArrayView text, QByteArrayView key, QByteArrayView line)
{
    // Fills run this on hundreds of thousands of plots: one allocation, no
    // appends. A one-byte line end becomes two, so twice the text, the line
    // and one more line end are always enough.
    QByteArray out(2 * text.size() + line.size() + 2, Qt::Uninitialized);
    char *const begin = out.data();
    char *o = begin;
    const auto put = [&o](QByteArrayView s) {
        if (!s.isEmpty())
            std::memcpy(o, s.data(), std::size_t(s.size()));
        o += s.size();
    };
    Lines lines(text);
    QByteArrayView l;
    bool first = true;
    bool replaced = false;
    while (lines.next(&l)) {
        if (!first)
            put("\r\n");
        first = false;
        if (!replaced && containsCi(l, key)) {
            put(line);
            replaced = true;
        } else {
            put(l);
        }
    }
    if (!replaced) {
        if (!first)
            put("\r\n");
        put(line);
    }
    out.truncate(o - begin);
    return out;
}

QByteArray PaintRule::takeKey(QByteArrayView text, QByteArrayView key, bool *found)
{
    QByteArray out(2 * text.size(), Qt::Uninitialized);
    char *const begin = out.data();
    char *o = begin;
    const auto put = [&o](QByteArrayView s) {
        if (!s.isEmpty())
            std::memcpy(o, s.data(), std::size_t(s.size()));
        o += s.size();
    };
    Lines lines(text);
    QByteArrayView l;
    bool first = true;
    bool taken = false;
    while (lines.next(&l)) {
        if (!taken && containsCi(l, key)) {
            taken = true;
            continue;
        }
        if (!first)
            put("\r\n");
        first = false;
        put(l);
    }
    if (found)
        *found = taken;
    out.truncate(o - begin);
    return out;
}

QByteArrayView PaintRule::valueOf(QByteArrayView text, QByteArrayView key)
{
    Lines lines(text);
    QByteArrayView line;
    while (lines.next(&line))
        if (containsCi(line, key))
            return trimmed(line);
    return {};
}

PaintRule PaintRule::fromLine(QByteArrayView line, QString *error)
{
    const QByteArrayView t = trimmed(line);
    QString why;
    if (!isOneLine(t))
        why = QStringLiteral("A plot line must be a single line");
    else if (!t.contains('='))
        why = quoted(t) + QStringLiteral(" is not a plot line: it has no \"=\"");
    else if (keyOf(t).isEmpty())
        why = quoted(t) + QStringLiteral(" has an empty key before its \"=\"");
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return {};
    }
    PaintRule rule;
    rule.m_line = t.toByteArray();
    rule.m_key = keyOf(t).toByteArray();
    return rule;
}

PaintRule PaintRule::fromKey(QByteArrayView key, QString *error)
{
    const QByteArrayView t = trimmed(key);
    QString why;
    if (t.isEmpty())
        why = QStringLiteral("The key is empty");
    else if (!isOneLine(t))
        why = QStringLiteral("A key must be a single line");
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return {};
    }
    PaintRule rule;
    rule.m_key = t.toByteArray();
    return rule;
}

std::optional<QByteArray> PaintRule::paint(QByteArrayView text) const
{
    if (!canPaint() || holds(text))
        return std::nullopt;
    return putLine(text, m_key, m_line);
}

std::optional<QByteArray> PaintRule::erase(QByteArrayView text) const
{
    if (!isValid())
        return std::nullopt;
    bool found = false;
    QByteArray out = takeKey(text, m_key, &found);
    if (!found)
        return std::nullopt;
    return out;
}

} // namespace vor4
