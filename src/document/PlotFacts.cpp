#include "PlotFacts.h"

#include "PlotTable.h"
#include "TextUtil.h"

namespace vor4 {

namespace {

// The trimmed value of a "key=value" line whose key is exactly `key`.
std::optional<QByteArrayView> keyValue(QByteArrayView line, QByteArrayView key)
{
    const qsizetype eq = line.indexOf('=');
    if (eq < 0 || !equalsCi(trimmed(line.first(eq)), key))
        return std::nullopt;
    return trimmed(line.sliced(eq + 1));
}

// The text after key in line up to a blank or ",", leading blanks skipped.
QByteArrayView fieldAfter(QByteArrayView line, QByteArrayView key)
{
    const qsizetype at = indexOfCi(line, key);
    if (at < 0)
        return {};
    QByteArrayView rest = line.sliced(at + key.size());
    while (!rest.isEmpty() && isBlank(rest[0]))
        rest = rest.sliced(1);
    qsizetype n = 0;
    while (n < rest.size() && !isBlank(rest[n]) && rest[n] != ',')
        ++n;
    return rest.first(n);
}

bool isFlag(QByteArrayView line, QByteArrayView flag) { return equalsCi(trimmed(line), flag); }

bool iverAt(const char *p, const char *begin, const char *end)
{
    return p - begin >= 2 && end - p >= 2 && asciiLower(p[-2]) == 'i' && asciiLower(p[-1]) == 'v'
        && asciiLower(p[0]) == 'e' && asciiLower(p[1]) == 'r';
}

// Most plots have no river: a quick look for "iver", which every river line
// holds, from its rare "v" (any case).
bool mayHoldRiver(QByteArrayView text)
{
    const char *begin = text.data(), *end = begin + text.size();
    const char *p = begin;
#ifdef VOR4_SSE2_LINES
    const __m128i caseBit = _mm_set1_epi8(0x20), v = _mm_set1_epi8('v');
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p)), caseBit);
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, v)));
        for (; mask; mask &= mask - 1)
            if (iverAt(p + __builtin_ctz(mask) + 1, begin, end))
                return true;
    }
#endif
    for (; p < end; ++p)
        if ((*p | 0x20) == 'v' && iverAt(p + 1, begin, end))
            return true;
    return false;
}

// Most plots have no unit either: a quick look for the "b" of "BeginUnit"
// (any case), rare in plot texts, before the search for the whole word.
bool mayHoldUnit(QByteArrayView text)
{
    const char *begin = text.data(), *end = begin + text.size();
    const char *p = begin;
#ifdef VOR4_SSE2_LINES
    const __m128i caseBit = _mm_set1_epi8(0x20), b = _mm_set1_epi8('b');
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p)), caseBit);
        for (unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, b))); mask; mask &= mask - 1)
            if (startsWithCi(QByteArrayView(p + __builtin_ctz(mask), end), "BeginUnit"))
                return true;
    }
#endif
    for (; p < end; ++p)
        if ((*p | 0x20) == 'b' && startsWithCi(QByteArrayView(p, end), "BeginUnit"))
            return true;
    return false;
}

// The value of the line around the key match that ends at eq.
QByteArrayView valueAround(const char *begin, const char *eq, const char *end)
{
    const char *start = eq;
    while (start > begin && start[-1] != '\n' && start[-1] != '\r')
        --start;
    return valueOf(QByteArrayView(start, findLineEnd(eq, end) - start));
}

bool keyEndsAt(const char *eq, QByteArrayView key)
{
    return (eq[-1] | 0x20) == (key.back() | 0x20) && equalsCi(QByteArrayView(eq - key.size(), key.size()), key);
}

} // namespace

std::optional<QByteArrayView> PlotFacts::firstValue(QByteArrayView plotText, QByteArrayView key)
{
    // The minimap reads every plot of the map through this: jump from one
    // "=" to the next and stop at the first key. A key holds no line break,
    // so the first line holding it is the line of its first match. A plain
    // loop: plot texts are short, a library search's start-up costs more.
    if (key.isEmpty() || plotText.size() <= key.size())
        return std::nullopt;
    const char *const begin = plotText.data();
    const char *const end = begin + plotText.size();
    for (const char *eq = begin + key.size(); eq < end; ++eq)
        if (*eq == '=' && keyEndsAt(eq, key))
            return valueAround(begin, eq, end);
    return std::nullopt;
}

std::optional<QByteArrayView> PlotFacts::lastValue(QByteArrayView plotText, QByteArrayView key)
{
    if (key.isEmpty() || plotText.size() <= key.size())
        return std::nullopt;
    const char *const begin = plotText.data();
    const char *const end = begin + plotText.size();
    for (const char *eq = end - 1; eq - begin >= key.size(); --eq)
        if (*eq == '=' && keyEndsAt(eq, key))
            return valueAround(begin, eq, end);
    return std::nullopt;
}

QByteArrayView PlotFacts::field(QByteArrayView value)
{
    const qsizetype comma = value.indexOf(',');
    return trimmed(comma < 0 ? value : value.first(comma));
}

QByteArrayView PlotFacts::riverFlag(RiverKind kind)
{
    return kind == SouthEdge ? QByteArrayView("isNOfRiver") : QByteArrayView("isWOfRiver");
}

QByteArrayView PlotFacts::riverDirectionKey(RiverKind kind)
{
    return kind == SouthEdge ? QByteArrayView("RiverWEDirection") : QByteArrayView("RiverNSDirection");
}

PlotFacts::Rivers PlotFacts::riversOf(QByteArrayView plotText)
{
    Rivers r;
    if (!mayHoldRiver(plotText))
        return r;
    forEachLine(plotText, [&](QByteArrayView line) {
        if (isFlag(line, "isNOfRiver"))
            r.southEdge = true;
        else if (isFlag(line, "isWOfRiver"))
            r.eastEdge = true;
        else if (const auto we = keyValue(line, "RiverWEDirection"); we && !r.weDirection)
            r.weDirection = we->toByteArray();
        else if (const auto ns = keyValue(line, "RiverNSDirection"); ns && !r.nsDirection)
            r.nsDirection = ns->toByteArray();
    });
    return r;
}

std::optional<int> PlotFacts::compass(QByteArrayView value)
{
    const std::optional<int> d = parseInt(trimmed(value));
    if (!d || *d < North || *d > West)
        return std::nullopt;
    return d;
}

QByteArray PlotFacts::withoutRiver(QByteArrayView plotText, RiverKind kind)
{
    if (!mayHoldRiver(plotText))
        return plotText.toByteArray();
    const QByteArrayView flag = riverFlag(kind), key = riverDirectionKey(kind);
    QList<QByteArray> kept;
    forEachLine(plotText, [&](QByteArrayView line) {
        if (!isFlag(line, flag) && !keyValue(line, key))
            kept << line.toByteArray();
    });
    return joinLines(kept);
}

QByteArray PlotFacts::withRiver(QByteArrayView plotText, RiverKind kind, const std::optional<QByteArray> &flow)
{
    Rivers rivers = riversOf(plotText);
    (kind == SouthEdge ? rivers.southEdge : rivers.eastEdge) = true;
    (kind == SouthEdge ? rivers.weDirection : rivers.nsDirection) = flow;
    QByteArray bare = withoutRiver(plotText, kind);
    if (rivers.southEdge && rivers.eastEdge)
        bare = withoutRiver(bare, kind == SouthEdge ? EastEdge : SouthEdge);
    return withRiversInFront(bare, rivers.southEdge ? rivers.weDirection : std::nullopt,
                             rivers.eastEdge ? rivers.nsDirection : std::nullopt, rivers.southEdge, rivers.eastEdge);
}

QByteArray PlotFacts::withRiversInFront(QByteArrayView plotText, const std::optional<QByteArray> &southEdgeFlow,
                                        const std::optional<QByteArray> &eastEdgeFlow, bool southEdge,
                                        bool eastEdge)
{
    QList<QByteArray> front;
    if (eastEdge && eastEdgeFlow)
        front << "RiverNSDirection=" + *eastEdgeFlow;
    if (southEdge) {
        front << "isNOfRiver";
        if (southEdgeFlow)
            front << "RiverWEDirection=" + *southEdgeFlow;
    }
    if (eastEdge)
        front << "isWOfRiver";
    QByteArray text = joinLines(front);
    if (!plotText.isEmpty() && !text.isEmpty())
        text += "\r\n";
    text.append(plotText.data(), plotText.size());
    return text;
}

QList<PlotFacts::RiverEdge> PlotFacts::riverEdges(const PlotTable &plots, const QRect &area)
{
    QList<RiverEdge> edges;
    const QRect a = area & QRect(0, 0, plots.columnCount(), plots.rowCount());
    const auto read = [&](int col, int row) {
        const QByteArrayView text = plots.view(col, row);
        if (!mayHoldRiver(text))
            return;
        const Rivers r = riversOf(text);
        if (r.southEdge)
            edges << RiverEdge{QPoint(col, row), SouthEdge, r.weDirection};
        if (r.eastEdge)
            edges << RiverEdge{QPoint(col, row), EastEdge, r.nsDirection};
    };
    // Walked in the order the texts lie in memory.
    if (plots.storedByColumn(a)) {
        for (int col = a.left(); col <= a.right(); ++col)
            for (int row = a.top(); row <= a.bottom(); ++row)
                read(col, row);
    } else {
        for (int row = a.top(); row <= a.bottom(); ++row)
            for (int col = a.left(); col <= a.right(); ++col)
                read(col, row);
    }
    return edges;
}

qsizetype PlotFacts::riverEdgeCount(const PlotTable &plots)
{
    return riverEdges(plots, QRect(0, 0, plots.columnCount(), plots.rowCount())).size();
}

QList<PlotFacts::Unit> PlotFacts::unitsOf(QByteArrayView plotText)
{
    QList<Unit> units;
    if (!mayHoldUnit(plotText))
        return units;
    qsizetype index = 0;
    std::optional<Unit> open;
    forEachLine(plotText, [&](QByteArrayView line) {
        const qsizetype i = index++;
        if (!open) {
            if (isFlag(line, "BeginUnit")) {
                open = Unit();
                open->firstLine = i;
            }
            return;
        }
        if (isFlag(line, "EndUnit")) {
            open->lastLine = i;
            units << *open;
            open.reset();
            return;
        }
        if (open->type.isEmpty() && indexOfCi(line, "UnitType=") >= 0)
            open->type = fieldAfter(line, "UnitType=").toByteArray();
        if (open->owner < 0 && indexOfCi(line, "UnitOwner=") >= 0)
            open->owner = parseInt(fieldAfter(line, "UnitOwner=")).value_or(-1);
    });
    return units;
}

bool PlotFacts::isSettler(const Unit &unit) { return containsCi(unit.type, "SETTLER"); }

QByteArray PlotFacts::withoutUnits(QByteArrayView plotText, QList<QByteArray> *unitLines)
{
    const QList<Unit> units = unitsOf(plotText);
    if (units.isEmpty())
        return plotText.toByteArray();
    const QList<QByteArray> lines = splitLines(plotText);
    QList<QByteArray> kept;
    qsizetype u = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        while (u < units.size() && units[u].lastLine < i)
            ++u;
        const bool inUnit = u < units.size() && i >= units[u].firstLine && i <= units[u].lastLine;
        if (!inUnit)
            kept << lines[i];
        else if (unitLines)
            *unitLines << lines[i];
    }
    return joinLines(kept);
}

QByteArray PlotFacts::withUnitOwners(QByteArrayView plotText, const QHash<int, int> &owners, int *changed)
{
    const QList<Unit> units = unitsOf(plotText);
    if (units.isEmpty() || owners.isEmpty())
        return plotText.toByteArray();
    QList<QByteArray> lines = splitLines(plotText);
    for (const Unit &u : units) {
        if (!owners.contains(u.owner))
            continue;
        // The line the owner was read from: the unit's first holding the key.
        for (qsizetype i = u.firstLine; i <= u.lastLine && i < lines.size(); ++i) {
            const qsizetype at = indexOfCi(lines[i], "UnitOwner=");
            if (at < 0)
                continue;
            const QByteArrayView number = fieldAfter(lines[i], "UnitOwner=");
            const qsizetype from = number.data() - lines[i].constData();
            lines[i].replace(from, number.size(), QByteArray::number(owners.value(u.owner)));
            if (changed)
                ++*changed;
            break;
        }
    }
    return joinLines(lines);
}

PlotFacts::Start PlotFacts::startOf(QByteArrayView playerText)
{
    Start start;
    qsizetype index = 0;
    forEachLine(playerText, [&](QByteArrayView line) {
        const qsizetype i = index++;
        if (start.line >= 0 || !containsCi(line, "StartingX=") || !containsCi(line, "StartingY="))
            return;
        start.line = i;
        start.x = parseInt(fieldAfter(line, "StartingX="));
        start.y = parseInt(fieldAfter(line, "StartingY="));
    });
    return start;
}

QByteArray PlotFacts::withStart(QByteArrayView playerText, std::optional<QPoint> plot)
{
    QList<QByteArray> lines = splitLines(playerText);
    const qsizetype at = startOf(playerText).line;
    if (!plot) {
        if (at >= 0)
            lines.removeAt(at);
        return joinLines(lines);
    }
    const QByteArray line = "StartingX=" + QByteArray::number(plot->x()) + ", StartingY=" + QByteArray::number(plot->y());
    if (at >= 0)
        lines[at] = line;
    else
        lines << line;
    return joinLines(lines);
}

} // namespace vor4
