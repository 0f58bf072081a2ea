#include "PaintRule.h"

#include "LineCheck.h"
#include "TextUtil.h"

#include <cstring>

namespace vor4 {

namespace {

QString quoted(QByteArrayView text)
{
    return QLatin1Char('"') + QString::fromLatin1(text.data(), text.size()) + QLatin1Char('"');
}

// A plot line holds KEY when the text before its first "=", trimmed, is KEY
// (letter case ignored) and it stands outside every sub-block: the lines
// between BeginUnit and EndUnit belong to the unit, not to the plot.
class KeyLines
{
public:
    KeyLines(QByteArrayView text, QByteArrayView key)
        : m_p(text.data()), m_end(text.data() + text.size()), m_key(key)
    {
    }
    // The next line, and whether it holds the key. Fills and whole-map puts
    // run this on every line of a map: one scan finds the "=" and the line's
    // end, and most keys are told apart by their length.
    bool next(QByteArrayView *line, bool *holds)
    {
        if (m_p >= m_end)
            return false;
        const char *start = m_p;
        const char *q = findEqualsOrLineEnd(start, m_end);
        const char *eq = q < m_end && *q == '=' ? q : nullptr;
        if (eq)
            q = findLineEnd(eq + 1, m_end);
        *line = QByteArrayView(start, q - start);
        if (q < m_end && *q == '\r' && q + 1 < m_end && q[1] == '\n')
            q += 2;
        else if (q < m_end)
            ++q;
        m_p = q;
        *holds = false;
        if (!eq) {
            const QByteArrayView t = trimmed(*line);
            if (startsWithCi(t, "begin"))
                ++m_depth;
            else if (m_depth > 0 && startsWithCi(t, "end"))
                --m_depth;
        } else if (m_depth == 0) {
            const QByteArrayView k = trimmed(QByteArrayView(start, eq - start));
            *holds = k.size() == m_key.size();
            for (qsizetype i = 0; *holds && i < k.size(); ++i)
                *holds = asciiLower(k[i]) == asciiLower(m_key[i]);
        }
        return true;
    }

    // How deep in sub-blocks the lines read so far end.
    int depth() const { return m_depth; }
    // What the lines not yet read hold.
    QByteArrayView rest() const { return QByteArrayView(m_p, m_end - m_p); }

private:
    const char *m_p;
    const char *m_end;
    QByteArrayView m_key;
    int m_depth = 0;
};

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
    KeyLines lines(text, key);
    QByteArrayView line;
    bool holds = false;
    for (qsizetype i = 0; lines.next(&line, &holds); ++i)
        if (holds)
            return i;
    return -1;
}

qsizetype PaintRule::putLineTo(char *out, QByteArrayView text, QByteArrayView key, QByteArrayView line, bool *held)
{
    char *o = out;
    const auto put = [&o](QByteArrayView s) {
        if (!s.isEmpty())
            std::memcpy(o, s.data(), std::size_t(s.size()));
        o += s.size();
    };
    if (held)
        *held = false;
    KeyLines lines(text, key);
    QByteArrayView l;
    bool holds = false;
    bool first = true;
    while (lines.next(&l, &holds)) {
        if (!first)
            put("\r\n");
        first = false;
        if (holds) {
            if (held && trimmed(l) == line) {
                *held = true;
                return 0;
            }
            put(line);
            // The rest keeps its lines; only their breaks become CR LF.
            forEachLine(lines.rest(), [&put](QByteArrayView rest) {
                put("\r\n");
                put(rest);
            });
            return o - out;
        }
        put(l);
    }
    if (!first)
        put("\r\n");
    put(line);
    return o - out;
}

qsizetype PaintRule::takeKeyTo(char *out, QByteArrayView text, QByteArrayView key, bool *found)
{
    char *o = out;
    const auto put = [&o](QByteArrayView s) {
        if (!s.isEmpty())
            std::memcpy(o, s.data(), std::size_t(s.size()));
        o += s.size();
    };
    KeyLines lines(text, key);
    QByteArrayView l;
    bool holds = false;
    bool first = true;
    bool taken = false;
    while (lines.next(&l, &holds)) {
        if (!taken && holds) {
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
    return o - out;
}

QByteArray PaintRule::putLine(QByteArrayView text, QByteArrayView key, QByteArrayView line)
{
    // Fills run this on hundreds of thousands of plots: one allocation, no
    // appends.
    QByteArray out(room(text, line), Qt::Uninitialized);
    out.truncate(putLineTo(out.data(), text, key, line));
    return out;
}

QByteArray PaintRule::takeKey(QByteArrayView text, QByteArrayView key, bool *found)
{
    QByteArray out(room(text, {}), Qt::Uninitialized);
    out.truncate(takeKeyTo(out.data(), text, key, found));
    return out;
}

QByteArrayView PaintRule::valueOf(QByteArrayView text, QByteArrayView key)
{
    KeyLines lines(text, key);
    QByteArrayView line;
    bool holds = false;
    while (lines.next(&line, &holds))
        if (holds)
            return trimmed(line);
    return {};
}

QByteArrayView PaintRule::valueAfterPut(QByteArrayView text, QByteArrayView key, QByteArrayView putKey,
                                        QByteArrayView line)
{
    // Another key's line goes in or is replaced: the lines of `key` and the
    // sub-blocks stay as they are.
    if (!equalsCi(key, putKey))
        return valueOf(text, key);
    // The first line of the key becomes the line; without one, the line is
    // appended, and holds the key unless it lands inside a sub-block.
    KeyLines lines(text, key);
    QByteArrayView l;
    bool holds = false;
    while (lines.next(&l, &holds))
        if (holds)
            return line;
    return lines.depth() == 0 ? line : QByteArrayView();
}

PaintRule PaintRule::fromLine(QByteArrayView line, QString *error)
{
    const QByteArrayView t = trimmed(line);
    QString why;
    if (const QString refused = refusedLine(t, TextPlace::Plot); !refused.isEmpty())
        why = refused;
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
