#include "PlotQuery.h"

#include "PlotTable.h"
#include "TextUtil.h"

#include <QHash>

#include <array>
#include <cstring>

namespace vor4 {

namespace {

// Case folding as QString compares without regard to case, on bytes: each
// byte maps to one byte of its class (the micro sign and its Greek forms fold
// to one character, and that character is not Latin-1).
struct Folding
{
    std::array<uchar, 256> byte{};
    QHash<char16_t, uchar> fromFolded; // a folded character to its byte

    Folding()
    {
        for (int c = 255; c >= 0; --c)
            fromFolded.insert(QChar(char16_t(c)).toCaseFolded().unicode(), uchar(c));
        for (int c = 0; c < 256; ++c)
            byte[std::size_t(c)] = fromFolded.value(QChar(char16_t(c)).toCaseFolded().unicode());
    }
};

const Folding &folding()
{
    static const Folding f;
    return f;
}

const std::array<uchar, 256> &foldTable() { return folding().byte; }

// The first byte in [p, end) that is a or b, or end.
const char *findEither(const char *p, const char *end, char a, char b)
{
#ifdef VOR4_SSE2_LINES
    const __m128i va = _mm_set1_epi8(a);
    const __m128i vb = _mm_set1_epi8(b);
    while (end - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const unsigned mask = unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, va), _mm_cmpeq_epi8(v, vb))));
        if (mask)
            return p + __builtin_ctz(mask);
        p += 16;
    }
#endif
    while (p < end && *p != a && *p != b)
        ++p;
    return p;
}

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

// Calls f(line, end) for each line of text with the line end that follows
// it (CR LF, LF, CR, or nothing after the last line).
template <typename F>
void forEachLineAndEnd(QByteArrayView text, F &&f)
{
    const char *p = text.data();
    const char *const end = p + text.size();
    while (p < end) {
        const char *q = findLineEnd(p, end);
        const char *next = q;
        if (next < end && *next == '\r' && next + 1 < end && next[1] == '\n')
            next += 2;
        else if (next < end)
            ++next;
        f(QByteArrayView(p, q - p), QByteArrayView(q, next - q));
        p = next;
    }
}

// Whether a pattern run over many lines joined by "\n" (with ^ and $ at each
// line) matches inside a line exactly where it matches that line alone. What
// a line's neighbours can change is ruled out conservatively: subject anchors,
// \K (which can move a match's start into the next line), lookarounds,
// atomic and possessive parts, verbs such as (*CR) or (*SKIP), and every
// other "(?" construct except plain, named and non-capturing groups, comments
// and option settings that leave multi-line mode alone. Matches that run over
// a line end are checked on their line alone anyway.
bool isLineLocal(QStringView p)
{
    const qsizetype n = p.size();
    const auto at = [&](qsizetype i) { return i < n ? p[i] : QChar(); };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = p[i];
        if (c == QLatin1Char('\\')) {
            const QChar d = at(i + 1);
            if (d == QLatin1Char('A') || d == QLatin1Char('z') || d == QLatin1Char('Z') || d == QLatin1Char('G')
                || d == QLatin1Char('K'))
                return false;
            ++i;
            continue;
        }
        if ((c == QLatin1Char('*') || c == QLatin1Char('+') || c == QLatin1Char('?') || c == QLatin1Char('}'))
            && at(i + 1) == QLatin1Char('+'))
            return false;
        if (c == QLatin1Char('(') && at(i + 1) == QLatin1Char('*'))
            return false;
        if (c != QLatin1Char('(') || at(i + 1) != QLatin1Char('?'))
            continue;
        const QChar d = at(i + 2);
        if (d == QLatin1Char(':') || d == QLatin1Char('|') || d == QLatin1Char('#') || d == QLatin1Char('\''))
            continue;
        if (d == QLatin1Char('<') && at(i + 3).isLetter())
            continue; // a named group, not a lookbehind
        if (d == QLatin1Char('P') && at(i + 3) == QLatin1Char('<'))
            continue;
        qsizetype j = i + 2;
        bool multiLine = false;
        while (j < n && (p[j].isLetter() || p[j] == QLatin1Char('-'))) {
            multiLine = multiLine || p[j] == QLatin1Char('m');
            ++j;
        }
        if (j > i + 2 && !multiLine && (at(j) == QLatin1Char(')') || at(j) == QLatin1Char(':')))
            continue;
        return false;
    }
    return true;
}

} // namespace

PlotQuery PlotQuery::compile(const QString &text, const FindOptions &options, QString *error)
{
    PlotQuery q;
    q.m_text = text;
    q.m_options = options;
    if (error)
        error->clear();
    if (text.isEmpty())
        return q;

    if (!options.regularExpression) {
        // A line break, or a character that no plot text holds in any case:
        // nothing matches.
        q.m_needle.reserve(text.size());
        for (const QChar c : text) {
            if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
                return q;
            if (options.matchCase) {
                if (c.unicode() > 0xFF)
                    return q;
                q.m_needle.append(char(c.unicode()));
                continue;
            }
            const auto b = folding().fromFolded.constFind(c.toCaseFolded().unicode());
            if (b == folding().fromFolded.constEnd())
                return q;
            q.m_needle.append(char(*b));
        }
        q.m_first[0] = q.m_first[1] = q.m_needle[0];
        if (!options.matchCase)
            for (int c = 0; c < 256; ++c)
                if (foldTable()[std::size_t(c)] == uchar(q.m_needle[0]) && char(c) != q.m_first[0])
                    q.m_first[1] = char(c);
        q.m_mode = options.wholeLine ? Mode::Line : Mode::Text;
        return q;
    }

    const QRegularExpression::PatternOptions caseOption =
        options.matchCase ? QRegularExpression::NoPatternOption : QRegularExpression::CaseInsensitiveOption;
    const QRegularExpression plain(text, caseOption);
    if (!plain.isValid()) {
        if (error)
            *error = QStringLiteral("The regular expression is not valid: %1 at position %2")
                         .arg(plain.errorString())
                         .arg(plain.patternErrorOffset());
        return q;
    }
    q.m_regex = options.wholeLine ? QRegularExpression(QRegularExpression::anchoredPattern(text), caseOption) : plain;
    if (!q.m_regex.isValid()) {
        if (error)
            *error = QStringLiteral("The regular expression is not valid as a whole line: %1")
                         .arg(q.m_regex.errorString());
        return q;
    }
    q.m_regex.optimize();
    q.m_line.compile(q.m_regex.pattern(), !options.matchCase, false);
    // With the library's newline, LF alone (checked by the tests), "\n" ends
    // the lines of the joined text and nothing inside a line does.
    q.m_joinedExact = isLineLocal(text);
    if (q.m_joinedExact) {
        const QString joined = options.wholeLine ? QStringLiteral("^(?:%1)$").arg(text) : text;
        q.m_joined = QRegularExpression(joined, caseOption | QRegularExpression::MultilineOption);
        q.m_joinedExact = q.m_joined.isValid() && q.m_joinedLine.compile(joined, !options.matchCase, true);
    }
    q.m_mode = Mode::Pattern;
    return q;
}

qsizetype PlotQuery::indexIn(QByteArrayView hay) const
{
    const qsizetype n = m_needle.size();
    if (n == 0 || n > hay.size())
        return -1;
    const char *const h = hay.data();
    const char *const needle = m_needle.constData();
    if (m_options.matchCase) {
        const char *const last = h + hay.size() - n;
        for (const char *p = h; p <= last; ++p) {
            p = static_cast<const char *>(std::memchr(p, needle[0], std::size_t(last - p + 1)));
            if (!p)
                return -1;
            if (std::memcmp(p + 1, needle + 1, std::size_t(n - 1)) == 0)
                return p - h;
        }
        return -1;
    }
    // Candidates for the first byte go sixteen at a time.
    const char *const last = h + hay.size() - n;
    for (const char *p = h; p <= last; ++p) {
        p = findEither(p, last + 1, m_first[0], m_first[1]);
        if (p > last)
            return -1;
        if (equalsNeedle(p))
            return p - h;
    }
    return -1;
}

qsizetype PlotQuery::lineIn(QByteArrayView text) const
{
    // A whole line is an occurrence with a line end, or the text's end, on
    // either side.
    const qsizetype n = m_needle.size();
    for (qsizetype from = 0; from + n <= text.size();) {
        const qsizetype at = indexIn(text.sliced(from));
        if (at < 0)
            return -1;
        const qsizetype i = from + at;
        if ((i == 0 || isLineEnd(text[i - 1])) && (i + n == text.size() || isLineEnd(text[i + n])))
            return i;
        from = i + 1;
    }
    return -1;
}

bool PlotQuery::equalsNeedle(const char *s) const
{
    if (m_options.matchCase)
        return std::memcmp(s, m_needle.constData(), std::size_t(m_needle.size())) == 0;
    const std::array<uchar, 256> &fold = foldTable();
    for (qsizetype i = 0; i < m_needle.size(); ++i)
        if (fold[uchar(s[i])] != uchar(m_needle[i]))
            return false;
    return true;
}

bool PlotQuery::matchesLine(QByteArrayView line) const
{
    switch (m_mode) {
    case Mode::Nothing:
        return false;
    case Mode::Text:
        return indexIn(line) >= 0;
    case Mode::Line:
        return line.size() == m_needle.size() && equalsNeedle(line.data());
    case Mode::Pattern:
        return patternMatchesLine(QString::fromLatin1(line.data(), line.size()));
    }
    return false;
}

std::optional<QByteArrayView> PlotQuery::firstMatchingLine(QByteArrayView text) const
{
    std::optional<QByteArrayView> found;
    switch (m_mode) {
    case Mode::Nothing:
        break;
    case Mode::Text: {
        // The text holds no line break, so a match lies inside one line.
        const qsizetype at = indexIn(text);
        if (at < 0)
            break;
        qsizetype b = at;
        while (b > 0 && text[b - 1] != '\n' && text[b - 1] != '\r')
            --b;
        const char *e = findLineEnd(text.data() + at, text.data() + text.size());
        found = QByteArrayView(text.data() + b, e - (text.data() + b));
        break;
    }
    case Mode::Line: {
        const qsizetype at = lineIn(text);
        if (at >= 0)
            found = text.sliced(at, m_needle.size());
        break;
    }
    case Mode::Pattern: {
        // One conversion for the whole plot; its lines keep their offsets.
        const QString wide = QString::fromLatin1(text.data(), text.size());
        forEachLine(text, [&](QByteArrayView line) {
            if (!found && patternMatchesLine(QStringView(wide).sliced(line.data() - text.data(), line.size())))
                found = line;
        });
        break;
    }
    }
    return found;
}

bool PlotQuery::matches(QByteArrayView text) const
{
    if (m_mode == Mode::Text)
        return indexIn(text) >= 0;
    if (m_mode == Mode::Line)
        return lineIn(text) >= 0;
    return firstMatchingLine(text).has_value();
}

std::vector<qint32> PlotQuery::find(const PlotTable &plots, const QRect &area) const
{
    std::vector<qint32> cells;
    collect(plots, area, cells);
    return cells;
}

void PlotQuery::collect(const PlotTable &plots, const QRect &area, std::vector<qint32> &cells) const
{
    if (m_mode == Mode::Nothing)
        return;
    const QRect all(0, 0, plots.columnCount(), plots.rowCount());
    const QRect r = area.isNull() ? all : area & all;
    if (r.isEmpty())
        return;
    // The reader stores the texts in the file's order, column by column from
    // the bottom row up; walked in that order they are read one after the
    // other, several times faster than row by row.
    const qint32 columns = plots.columnCount();
    std::vector<qint32> found;
    for (int col = r.left(); col <= r.right(); ++col) {
        if (m_mode == Mode::Pattern && m_joinedExact) {
            collectColumnOfPattern(plots, col, r.top(), r.bottom(), found);
            continue;
        }
        for (int row = r.bottom(); row >= r.top(); --row) {
            m_gaveUp = false;
            if (matches(plots.view(col, row)))
                found.push_back(row * columns + col);
            if (m_gaveUp)
                noteGaveUp(row * columns + col);
        }
    }
    // Into reading order: a bucket per row, each filled column by column.
    std::vector<qsizetype> start(std::size_t(r.height()) + 1, 0);
    for (const qint32 cell : found)
        ++start[std::size_t(cell / columns - r.top()) + 1];
    for (std::size_t i = 1; i < start.size(); ++i)
        start[i] += start[i - 1];
    const std::size_t base = cells.size();
    cells.resize(base + found.size());
    for (const qint32 cell : found)
        cells[base + std::size_t(start[std::size_t(cell / columns - r.top())]++)] = cell;
}

void PlotQuery::collectColumnOfPattern(const PlotTable &plots, int col, int top, int bottom,
                                       std::vector<qint32> &cells) const
{
    // One match call per line costs more than the search itself, so the
    // column's lines are searched as one text, each line ended by "\n".
    qsizetype total = 0;
    for (int row = bottom; row >= top; --row)
        total += plots.view(col, row).size() + 1;
    QByteArray bytes(total, Qt::Uninitialized);
    char *out = bytes.data();
    std::vector<qsizetype> starts; // where each plot's lines begin; one more at the end
    std::vector<int> rows;
    for (int row = bottom; row >= top; --row) {
        const QByteArrayView text = plots.view(col, row);
        if (text.isEmpty())
            continue;
        starts.push_back(out - bytes.constData());
        rows.push_back(row);
        forEachLine(text, [&out](QByteArrayView line) {
            if (!line.isEmpty())
                std::memcpy(out, line.data(), std::size_t(line.size()));
            out += line.size();
            *out++ = '\n';
        });
    }
    if (rows.empty())
        return;
    const qsizetype size = out - bytes.constData();
    starts.push_back(size);
    const QString joined = QString::fromLatin1(bytes.constData(), size);

    const qint32 columns = plots.columnCount();
    std::size_t k = 0;
    qsizetype pos = 0;
    const std::size_t firstNew = cells.size();
    while (pos < size) {
        qsizetype s = 0, e = 0;
        const LineRegex::Outcome outcome = m_joinedLine.match(joined, pos, &s, &e);
        if (outcome == LineRegex::TooComplex) {
            // The engine gave up somewhere in the column: plot by plot
            // tells where, and finds the matches it can.
            cells.resize(firstNew);
            for (int row = bottom; row >= top; --row) {
                m_gaveUp = false;
                if (matches(plots.view(col, row)))
                    cells.push_back(row * columns + col);
                if (m_gaveUp)
                    noteGaveUp(row * columns + col);
            }
            return;
        }
        if (outcome == LineRegex::NoMatch)
            break;
        if (s >= size)
            break;
        while (starts[k + 1] <= s)
            ++k;
        const qsizetype lineEnd = joined.indexOf(QLatin1Char('\n'), s);
        if (e > lineEnd) {
            // The match runs over the line end: the line alone decides.
            const qsizetype lineStart = s == 0 ? 0 : joined.lastIndexOf(QLatin1Char('\n'), s - 1) + 1;
            if (!patternMatchesLine(QStringView(joined).sliced(lineStart, lineEnd - lineStart))) {
                pos = lineEnd + 1;
                continue;
            }
        }
        cells.push_back(rows[k] * columns + col);
        pos = starts[k + 1];
    }
}

void PlotQuery::noteGaveUp(qint32 cell) const
{
    if (m_tooComplexCell < 0 || cell < m_tooComplexCell)
        m_tooComplexCell = cell;
}

QString PlotQuery::tooComplexMessage(int columns, int rows) const
{
    if (m_tooComplexCell < 0 || columns <= 0)
        return QString();
    const int col = m_tooComplexCell % columns;
    const int row = m_tooComplexCell / columns;
    return QStringLiteral("pattern too complex at %1,%2").arg(col).arg(rows - 1 - row);
}

QString PlotQuery::replacementError(const QString &replacement)
{
    for (const QChar c : replacement) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return QStringLiteral("The replacement must be a single line");
        if (c.unicode() > 0xFF)
            return QStringLiteral("The replacement holds the character %1, which a map file cannot hold")
                .arg(c);
    }
    return QString();
}

QByteArray PlotQuery::replaced(QByteArrayView text, const QString &replacement) const
{
    if (m_mode == Mode::Nothing)
        return text.toByteArray();
    QByteArray out;
    out.reserve(text.size());
    if (m_mode == Mode::Text) {
        const QByteArray with = replacement.toLatin1();
        qsizetype from = 0;
        for (qsizetype at; (at = indexIn(text.sliced(from))) >= 0;) {
            out.append(text.sliced(from, at));
            out.append(with);
            from += at + m_needle.size();
        }
        out.append(text.sliced(from));
        return out;
    }
    const QByteArray with = m_mode == Mode::Line ? replacement.toLatin1() : QByteArray();
    forEachLineAndEnd(text, [&](QByteArrayView line, QByteArrayView end) {
        if (m_mode == Mode::Line) {
            out.append(line.size() == m_needle.size() && equalsNeedle(line.data()) ? QByteArrayView(with) : line);
        } else {
            QString wide = QString::fromLatin1(line.data(), line.size());
            if (patternMatchesLine(wide))
                out.append(wide.replace(m_regex, replacement).toLatin1());
            else
                out.append(line);
        }
        out.append(end);
    });
    return out;
}

} // namespace vor4
