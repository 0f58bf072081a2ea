#include "PaintRule.h"

#include "LineCheck.h"
#include "TextUtil.h"

#include <cstring>

namespace vor4 {

namespace {

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
        m_opens = false;
        if (!eq) {
            const int block = PaintRule::subBlockLine(*line);
            if (block > 0)
                m_opens = m_depth++ == 0;
            else if (m_depth > 0 && block < 0)
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
    // Whether the last line read opened a sub-block at the plot's own level.
    bool opens() const { return m_opens; }
    // What the lines not yet read hold.
    QByteArrayView rest() const { return QByteArrayView(m_p, m_end - m_p); }

private:
    const char *m_p;
    const char *m_end;
    QByteArrayView m_key;
    int m_depth = 0;
    bool m_opens = false;
};

bool isOneLine(QByteArrayView line)
{
    // A NUL would end the file for the reader; a break would add lines.
    return !line.contains('\r') && !line.contains('\n') && !line.contains('\0');
}

} // namespace

int PaintRule::subBlockLine(QByteArrayView line)
{
    if (line.contains('='))
        return 0;
    const QByteArrayView t = trimmed(line);
    return startsWithCi(t, "begin") ? 1 : startsWithCi(t, "end") ? -1 : 0;
}

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
    char *opened = nullptr; // where the last sub-block at the plot's level begins
    while (lines.next(&l, &holds)) {
        if (!first)
            put("\r\n");
        first = false;
        if (lines.opens())
            opened = o;
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
    if (lines.depth() > 0) {
        // A sub-block without its "End" runs to the plot's end: the line goes
        // in front of it, so that it stays the plot's own.
        const qsizetype moved = o - opened;
        std::memmove(opened + line.size() + 2, opened, std::size_t(moved));
        std::memcpy(opened, line.data(), std::size_t(line.size()));
        std::memcpy(opened + line.size(), "\r\n", 2);
        return o - out + line.size() + 2;
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
    // added at the plot's own level: either way it holds the key.
    return line;
}

PaintRule PaintRule::fromLine(QByteArrayView line, QString *error)
{
    const QByteArrayView t = trimmed(line);
    QString why;
    // A line break at either end is refused, not trimmed away: it says the
    // text was meant as more than one line.
    if (const QString refused = refusedLine(line, TextPlace::Plot); !refused.isEmpty())
        why = refused;
    else if (!t.contains('='))
        why = quotedLine(t) + QStringLiteral(" is not a plot line: it has no \"=\"");
    else if (keyOf(t).isEmpty())
        why = quotedLine(t) + QStringLiteral(" has an empty key before its \"=\"");
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
