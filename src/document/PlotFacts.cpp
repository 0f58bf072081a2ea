#include "PlotFacts.h"

#include "PlotTable.h"
#include "TextUtil.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cstring>
#include <utility>

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

void skipLineBreak(QByteArrayView text, qsizetype *at, QByteArray *out)
{
    // A line that goes takes its line break with it, or the last before it.
    if (*at < text.size())
        *at += text[*at] == '\r' && *at + 1 < text.size() && text[*at + 1] == '\n' ? 2 : 1;
    else if (out->endsWith('\n') || out->endsWith('\r'))
        out->chop(out->endsWith("\r\n") ? 2 : 1);
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

bool PlotFacts::mayHoldRiver(QByteArrayView plotText) { return vor4::mayHoldRiver(plotText); }

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

QByteArray PlotFacts::withoutRivers(QByteArrayView plotText)
{
    if (!mayHoldRiver(plotText))
        return plotText.toByteArray();
    QByteArray out;
    out.reserve(plotText.size());
    bool first = true;
    forEachLine(plotText, [&](QByteArrayView line) {
        for (const RiverKind kind : {SouthEdge, EastEdge})
            if (isFlag(line, riverFlag(kind)) || keyValue(line, riverDirectionKey(kind)))
                return;
        if (!std::exchange(first, false))
            out += "\r\n";
        out += line;
    });
    return out;
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
    Unit open;
    bool isOpen = false;
    const auto leaveOpen = [&](qsizetype last) {
        open.lastLine = last;
        open.closed = false;
        units << open;
        isOpen = false;
    };
    forEachLine(plotText, [&](QByteArrayView line) {
        const qsizetype i = index++;
        if (isFlag(line, "BeginUnit")) {
            if (isOpen)
                leaveOpen(i - 1);
            open = Unit();
            open.firstLine = i;
            isOpen = true;
            return;
        }
        if (!isOpen)
            return;
        if (isFlag(line, "EndUnit")) {
            open.lastLine = i;
            units << open;
            isOpen = false;
            return;
        }
        if (open.type.isEmpty() && indexOfCi(line, "UnitType=") >= 0)
            open.type = fieldAfter(line, "UnitType=").toByteArray();
        if (open.owner < 0 && indexOfCi(line, "UnitOwner=") >= 0)
            open.owner = parseInt(fieldAfter(line, "UnitOwner=")).value_or(-1);
    });
    if (isOpen)
        leaveOpen(index - 1);
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

QList<PlotFacts::OwnedBlock> PlotFacts::ownedBlocksOf(QByteArrayView plotText)
{
    QList<OwnedBlock> blocks;
    if (indexOfCi(plotText, "Begin") < 0)
        return blocks;
    qsizetype index = 0;
    std::optional<OwnedBlock> open;
    const auto offset = [&](const char *p) { return qsizetype(p - plotText.data()); };
    forEachLine(plotText, [&](QByteArrayView line) {
        const qsizetype i = index++;
        if (!open) {
            if (isFlag(line, "BeginUnit") || isFlag(line, "BeginCity")) {
                open = OwnedBlock();
                open->city = isFlag(line, "BeginCity");
                open->firstLine = i;
                open->begin = offset(line.data());
            }
            return;
        }
        if (isFlag(line, open->city ? "EndCity" : "EndUnit")) {
            open->lastLine = i;
            open->end = offset(line.data() + line.size());
            blocks << *open;
            open.reset();
            return;
        }
        const QByteArrayView key = open->city ? "CityOwner=" : "UnitOwner=";
        if (!open->city && !open->settler && indexOfCi(line, "UnitType=") >= 0)
            open->settler = containsCi(fieldAfter(line, "UnitType="), "SETTLER");
        if (open->ownerAt < 0 && indexOfCi(line, key) >= 0) {
            const QByteArrayView number = fieldAfter(line, key);
            open->owner = parseInt(number).value_or(-1);
            open->ownerAt = offset(number.data());
            open->ownerSize = number.size();
        }
    });
    return blocks;
}

namespace {

// The key before the "=" at eq, blanks between allowed: an owner or a team.
unsigned keyBeforeEquals(const char *begin, const char *eq)
{
    while (eq > begin && isBlank(eq[-1]))
        --eq;
    if (PlotFacts::keyBefore(begin, eq - begin, "owner"))
        return PlotFacts::MayNameOwners;
    return PlotFacts::keyBefore(begin, eq - begin, "reveal") ? unsigned(PlotFacts::MayReveal) : 0u;
}

} // namespace

unsigned PlotFacts::mayHold(QByteArrayView plotText)
{
    // Every plot of the map passes here: only the "=" signs and the rare
    // "v" are looked at, sixteen bytes a step.
    unsigned holds = 0;
    const char *const begin = plotText.data(), *const end = begin + plotText.size();
    const char *p = begin;
#ifdef VOR4_SSE2_LINES
    const __m128i equals = _mm_set1_epi8('='), caseBit = _mm_set1_epi8(0x20), v = _mm_set1_epi8('v');
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        for (unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, equals))); mask; mask &= mask - 1)
            holds |= keyBeforeEquals(begin, p + __builtin_ctz(mask));
        if (holds & MayHoldRiver)
            continue;
        const __m128i lower = _mm_or_si128(bytes, caseBit);
        for (unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(lower, v))); mask; mask &= mask - 1)
            if (iverAt(p + __builtin_ctz(mask) + 1, begin, end))
                holds |= MayHoldRiver;
    }
#endif
    for (; p < end; ++p) {
        if (*p == '=')
            holds |= keyBeforeEquals(begin, p);
        else if ((*p | 0x20) == 'v' && iverAt(p + 1, begin, end))
            holds |= MayHoldRiver;
    }
    return holds;
}

QByteArray PlotFacts::withOwners(QByteArrayView plotText, const NumberMap &owner, QList<QByteArray> *leftOut)
{
    const QList<OwnedBlock> blocks = ownedBlocksOf(plotText);
    // The text is copied piece by piece around what changes.
    QByteArray out;
    qsizetype at = 0;
    bool changed = false;
    for (const OwnedBlock &b : blocks) {
        const std::optional<int> to = owner(b.owner);
        if (to == b.owner || (to && b.ownerAt < 0))
            continue;
        if (!std::exchange(changed, true))
            out.reserve(plotText.size());
        if (to) {
            // The number in the line the owner was read from.
            out += plotText.sliced(at, b.ownerAt - at);
            out += QByteArray::number(*to);
            at = b.ownerAt + b.ownerSize;
            continue;
        }
        if (leftOut)
            *leftOut << splitLines(plotText.sliced(b.begin, b.end - b.begin));
        out += plotText.sliced(at, b.begin - at);
        at = b.end;
        skipLineBreak(plotText, &at, &out);
    }
    if (!changed)
        return plotText.toByteArray();
    out += plotText.sliced(at);
    return out;
}

namespace {

using Teams = QVarLengthArray<int, 16>;

// The numbers of a reveal line's value, ascending, each once; false when
// its value holds more than numbers and commas.
bool revealNumbers(QByteArrayView value, Teams *teams)
{
    teams->clear();
    for (QByteArrayView rest = value; !rest.isEmpty();) {
        const qsizetype comma = rest.indexOf(',');
        const QByteArrayView item = trimmed(comma < 0 ? rest : rest.first(comma));
        rest = comma < 0 ? QByteArrayView() : rest.sliced(comma + 1);
        if (item.isEmpty())
            continue;
        const std::optional<int> n = parseInt(item);
        if (!n || *n < 0 || item[0] == '+')
            return false;
        teams->append(*n);
    }
    std::sort(teams->begin(), teams->end());
    teams->erase(std::unique(teams->begin(), teams->end()), teams->end());
    return true;
}

// Calls f(line, numbers) for each reveal line of the text whose value is
// numbers: a line whose key, before its first "=", is "TeamReveal".
template <typename F>
void forEachRevealLine(QByteArrayView text, F &&f)
{
    const char *const begin = text.data(), *const end = begin + text.size();
    Teams numbers;
    for (const char *eq = begin; eq < end && (eq = static_cast<const char *>(memchr(eq, '=', end - eq))); ++eq) {
        if (keyBeforeEquals(begin, eq) != PlotFacts::MayReveal)
            continue;
        const char *start = eq;
        while (start > begin && start[-1] != '\n' && start[-1] != '\r')
            --start;
        const QByteArrayView line(start, findLineEnd(eq, end) - start);
        const std::optional<QByteArrayView> value = keyValue(line, "TeamReveal");
        if (value && revealNumbers(*value, &numbers))
            f(line, numbers);
        eq = line.data() + line.size() - 1; // on to the next line
    }
}

void appendNumber(QByteArray &out, int n)
{
    char digits[12];
    int i = 12;
    unsigned u = n < 0 ? 0u - unsigned(n) : unsigned(n);
    do
        digits[--i] = char('0' + u % 10);
    while (u /= 10);
    if (n < 0)
        digits[--i] = '-';
    out.append(digits + i, 12 - i);
}

// "TeamReveal=0,3," from numbers ascending and each once.
void appendRevealLine(QByteArray &out, const Teams &teams)
{
    out += "TeamReveal=";
    for (int t : teams) {
        appendNumber(out, t);
        out += ',';
    }
}

} // namespace

QList<int> PlotFacts::revealedTeams(QByteArrayView plotText)
{
    Teams all;
    forEachRevealLine(plotText, [&](QByteArrayView, const Teams &numbers) { all.append(numbers.begin(), numbers.size()); });
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    return QList<int>(all.begin(), all.end());
}

QByteArray PlotFacts::withRevealedTeams(QByteArrayView plotText, const NumberMap &team, const QList<int> &added)
{
    // Only the reveal lines are read and written again; the rest of the
    // text is copied around them.
    QByteArray out;
    qsizetype at = 0;
    bool changed = false, joined = added.isEmpty();
    Teams mapped;
    forEachRevealLine(plotText, [&](QByteArrayView line, const Teams &numbers) {
        mapped.clear();
        for (int t : numbers)
            if (const std::optional<int> to = team(t))
                mapped.append(*to);
        if (!std::exchange(joined, true))
            mapped.append(added.constData(), added.size());
        std::sort(mapped.begin(), mapped.end());
        mapped.erase(std::unique(mapped.begin(), mapped.end()), mapped.end());
        if (mapped == numbers)
            return;
        if (!std::exchange(changed, true))
            out.reserve(plotText.size() + 16);
        const qsizetype from = line.data() - plotText.data();
        out += plotText.sliced(at, from - at);
        at = from + line.size();
        if (mapped.isEmpty())
            skipLineBreak(plotText, &at, &out);
        else
            appendRevealLine(out, mapped);
    });
    if (!changed && joined)
        return plotText.toByteArray();
    out += plotText.sliced(at);
    if (!joined) {
        if (!out.isEmpty())
            out += "\r\n";
        Teams teams(added.begin(), added.end());
        std::sort(teams.begin(), teams.end());
        teams.erase(std::unique(teams.begin(), teams.end()), teams.end());
        appendRevealLine(out, teams);
    }
    return out;
}

std::optional<int> PlotFacts::teamOf(QByteArrayView playerText)
{
    std::optional<int> team;
    bool found = false;
    forEachLine(playerText, [&](QByteArrayView line) {
        if (found)
            return;
        if (const std::optional<QByteArrayView> value = keyValue(line, "Team")) {
            found = true;
            team = parseInt(*value);
        }
    });
    return team;
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
