#include "MapLint.h"

#include "FileTarget.h"

#include "Document.h"
#include "MapMarks.h"
#include "MapWrap.h"
#include "PlotFacts.h"
#include "PlotTable.h"
#include "StatisticsReport.h"
#include "TextUtil.h"

#include <QLocale>
#include <QtAlgorithms>

#include <algorithm>
#include <cstring>
#include <thread>

namespace vor4 {

namespace {

using Rule = LintFinding::Rule;
using Bits = std::array<std::vector<quint64>, LintFinding::PlotRuleCount>;

// The keys one pass over a plot's lines looks for, in the order the
// duplicate-key finding names them.
enum Key { Terrain, PlotType, Feature, Bonus, Improvement, UnitType, KeyCount };
const char *const KeyNames[] = {"TerrainType=", "PlotType=", "FeatureType=", "BonusType=", "ImprovementType="};

unsigned keysAt(const char *line, qsizetype eq)
{
    if (eq < 8 || !PlotFacts::keyBefore(line, eq, "type"))
        return 0;
    switch (line[eq - 5] | 0x20) {
    case 'n':
        return PlotFacts::keyBefore(line, eq, "terraintype") ? 1u << Terrain : 0;
    case 's':
        return PlotFacts::keyBefore(line, eq, "bonustype") ? 1u << Bonus : 0;
    case 'e':
        return PlotFacts::keyBefore(line, eq, "featuretype") ? 1u << Feature : 0;
    case 't':
        if (PlotFacts::keyBefore(line, eq, "plottype"))
            return 1u << PlotType;
        if (PlotFacts::keyBefore(line, eq, "unittype"))
            return 1u << UnitType;
        return PlotFacts::keyBefore(line, eq, "improvementtype") ? 1u << Improvement : 0;
    default:
        return 0;
    }
}

// What one pass over a plot's lines reads: the first value of each key,
// the keys held by more than one line, and whether a unit may stand there.
struct Reading
{
    std::array<std::optional<QByteArrayView>, KeyCount> values;
    unsigned repeated = 0;
    bool units = false;
};

Reading readPlot(QByteArrayView text)
{
    Reading r;
    const char *p = text.data();
    const char *const end = p + text.size();
    while (p < end) {
        const char *const line = p;
        const char *firstEq = nullptr;
        unsigned keys = 0;
        for (;;) {
            p = findEqualsOrLineEnd(p, end);
            if (p == end || *p != '=')
                break;
            if (!firstEq)
                firstEq = p;
            keys |= keysAt(line, p - line);
            ++p;
        }
        for (int k = 0; keys && k < KeyCount; ++k) {
            if (!(keys & (1u << k)))
                continue;
            if (r.values[std::size_t(k)])
                r.repeated |= 1u << k;
            else
                r.values[std::size_t(k)] = PlotFacts::field(QByteArrayView(firstEq + 1, p - firstEq - 1));
        }
        // A unit block without a type line still opens with its keyword:
        // the lines without "=" are few (flags and keywords).
        if (!firstEq && !r.units && equalsCi(trimmed(QByteArrayView(line, p - line)), "BeginUnit"))
            r.units = true;
        if (p < end && *p == '\r' && p + 1 < end && p[1] == '\n')
            p += 2;
        else if (p < end)
            ++p;
    }
    r.units = r.units || r.values[UnitType];
    return r;
}

// A value compared with a name whose length is known when compiling:
// every plot is compared with several.
template <std::size_t N>
bool is(QByteArrayView value, const char (&name)[N])
{
    return value.size() == qsizetype(N - 1) && std::memcmp(value.data(), name, N - 1) == 0;
}

// A value quoted from the map: control bytes escaped, a long one cut.
QString latin1(QByteArrayView s) { return shownValue(s); }
QString plotName(QPoint p) { return QStringLiteral("%1,%2").arg(p.x()).arg(p.y()); }

// "player 2 starts" or "players 2, 5 start".
QString players(const QList<int> &slots, const char *one, const char *many)
{
    QStringList numbers;
    for (const int slot : slots)
        numbers << QString::number(slot);
    return slots.size() == 1 ? QStringLiteral("player %1 %2").arg(numbers[0], QLatin1String(one))
                             : QStringLiteral("players %1 %2").arg(numbers.join(QStringLiteral(", ")),
                                                                    QLatin1String(many));
}

// "a", "a and b", "a, b and c".
QString listed(const QStringList &items)
{
    return items.size() < 2 ? items.value(0)
                            : items.mid(0, items.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ")
            + items.last();
}

std::optional<QByteArrayView> plotTypeOf(QByteArrayView text)
{
    const std::optional<QByteArrayView> v = PlotFacts::firstValue(text, "PlotType");
    return v ? std::optional<QByteArrayView>(PlotFacts::field(*v)) : std::nullopt;
}

// Oil lies under land and sea alike.
bool isLandOrWaterBonus(QByteArrayView bonus) { return is(bonus, "BONUS_OIL"); }

// The resources that stand in water; every other but oil stands on land.
bool isWaterBonus(QByteArrayView bonus)
{
    return is(bonus, "BONUS_FISH") || is(bonus, "BONUS_CRAB") || is(bonus, "BONUS_CLAM") || is(bonus, "BONUS_CLAMS")
        || is(bonus, "BONUS_WHALE");
}

// The units that cannot stand on water: settlers, workers, scouts,
// explorers and the foot soldiers.
bool isLandUnit(const PlotFacts::Unit &unit)
{
    if (PlotFacts::isSettler(unit))
        return true;
    for (const char *word : {"WORKER", "SCOUT", "EXPLORER", "WARRIOR", "ARCHER", "SPEARMAN"})
        if (containsCi(unit.type, word))
            return true;
    return false;
}

// A plot a unit can stand on: flat land or hills.
bool isStandingLand(QByteArrayView text)
{
    const std::optional<QByteArrayView> type = plotTypeOf(text);
    return type && (is(*type, "1") || is(*type, "2"));
}

// The land plot nearest to `at` (distance as the map measures it, then the
// smallest x, then y) within LandSearchRadius.
std::optional<QPoint> nearestLand(const Document &doc, const MapWrap &wrap, QPoint at)
{
    const int rows = doc.rowCount();
    for (int d = 1; d <= MapLint::LandSearchRadius; ++d) {
        std::optional<QPoint> best;
        for (int dx = -d; dx <= d; ++dx)
            for (int dy = -d; dy <= d; dy += (qAbs(dx) == d ? 1 : 2 * d)) {
                const std::optional<QPoint> p = wrap.onMap(at + QPoint(dx, dy));
                if (p && isStandingLand(doc.PlotTexts.view(p->x(), rows - 1 - p->y()))
                    && (!best || std::pair(p->x(), p->y()) < std::pair(best->x(), best->y())))
                    best = p;
            }
        if (best)
            return best;
    }
    return std::nullopt;
}

// Whether a river runs along a side of the plot or ends at one of its
// corners: the twelve edges that touch it. Real maps hold floodplains where
// a river only bends past a corner. A plot carries the edge along its south
// side (isNOfRiver) and the one along its east side (isWOfRiver); y grows
// northwards.
bool riverTouches(const Document &doc, const MapWrap &wrap, QPoint at, QByteArrayView ownText)
{
    const PlotFacts::Rivers own = PlotFacts::riversOf(ownText);
    if (own.southEdge || own.eastEdge)
        return true;
    const auto carries = [&](int dx, int dy, bool south) {
        const std::optional<QPoint> p = wrap.onMap(at + QPoint(dx, dy));
        if (!p || *p == at)
            return false;
        const PlotFacts::Rivers r = PlotFacts::riversOf(doc.PlotTexts.view(p->x(), doc.rowCount() - 1 - p->y()));
        return south ? r.southEdge : r.eastEdge;
    };
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = 0; dy <= 1; ++dy)
            if ((dx || dy) && carries(dx, dy, true))
                return true;
    for (int dx = -1; dx <= 0; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if ((dx || dy) && carries(dx, dy, false))
                return true;
    return false;
}

// The plot rules that `text` breaks at grid cell (col, row) of doc; `tell`,
// when given, gets that rule's finding told. Settler owners go to
// *settlers when given.
unsigned plotRules(const Document &doc, const MapWrap &wrap, int col, int row, QByteArrayView text,
                   QList<int> *settlers = nullptr, int tellRule = -1, LintFinding *tell = nullptr)
{
    const Reading r = readPlot(text);
    const int rows = doc.rowCount();
    const QPoint at(col, rows - 1 - row);
    const auto &terrain = r.values[Terrain], &plotType = r.values[PlotType], &feature = r.values[Feature],
               &bonus = r.values[Bonus];
    const bool water = plotType && is(*plotType, "3"), peak = plotType && is(*plotType, "0");
    unsigned found = 0;
    // Each rule: whether it holds, and its explanation only when told.
    const auto rule = [&](Rule which, bool holds, const auto &explain) {
        if (!holds)
            return;
        found |= 1u << which;
        if (tell && tellRule == which) {
            tell->x = at.x();
            tell->y = at.y();
            tell->rule = which;
            tell->message = explain();
        }
    };

    rule(LintFinding::NoTerrain, !terrain, [] { return QStringLiteral("no \"TerrainType=\" line"); });
    rule(LintFinding::NoPlotType, !plotType, [] { return QStringLiteral("no \"PlotType=\" line"); });
    rule(LintFinding::WaterMismatch,
         terrain && plotType && (is(*terrain, "TERRAIN_OCEAN") || is(*terrain, "TERRAIN_COAST")) != water, [&] {
             return QStringLiteral("terrain %1 with PlotType %2").arg(latin1(*terrain), latin1(*plotType));
         });
    rule(LintFinding::DuplicateKey, r.repeated & ((1u << UnitType) - 1), [&] {
        QStringList keys;
        for (int k = 0; k < UnitType; ++k)
            if (r.repeated & (1u << k))
                keys << QLatin1Char('"') + QLatin1String(KeyNames[k]) + QLatin1Char('"');
        return QStringLiteral("more than one line holds %1").arg(keys.join(QStringLiteral(", ")));
    });

    // Features: jungle and forest are told on a peak by the terrain rule.
    const bool woods = feature && (is(*feature, "FEATURE_JUNGLE") || is(*feature, "FEATURE_FOREST"));
    rule(LintFinding::PeakWithFeature, peak && feature && !woods,
         [&] { return QStringLiteral("a peak (PlotType 0) with FeatureType %1").arg(latin1(*feature)); });
    if (water) {
        const PlotFacts::Rivers rivers = PlotFacts::riversOf(text);
        rule(LintFinding::RiverOnWater, rivers.southEdge || rivers.eastEdge, [&] {
            QStringList flags;
            if (rivers.southEdge)
                flags << QStringLiteral("isNOfRiver");
            if (rivers.eastEdge)
                flags << QStringLiteral("isWOfRiver");
            return QStringLiteral("a river (%1) on a water plot (PlotType 3)").arg(flags.join(QStringLiteral(", ")));
        });
    }
    if (feature) {
        const bool flood = is(*feature, "FEATURE_FLOOD_PLAINS");
        rule(LintFinding::FloodplainsOffRiver, flood && !riverTouches(doc, wrap, at, text),
             [] { return QStringLiteral("floodplains (FEATURE_FLOOD_PLAINS) with no river along its sides or corners"); });
        const bool desertOnly = flood || is(*feature, "FEATURE_OASIS");
        const bool desert = terrain && is(*terrain, "TERRAIN_DESERT");
        const bool polar = !wrap.wrapY && (at.y() == 0 || at.y() == rows - 1);
        const bool ice = is(*feature, "FEATURE_ICE");
        rule(LintFinding::FeatureOnWrongTerrain, (woods && peak) || (desertOnly && !desert) || (ice && !water && !polar),
             [&] {
                 const QString name = latin1(*feature);
                 if (woods && peak)
                     return QStringLiteral("%1 on a peak (PlotType 0)").arg(name);
                 if (desertOnly && !desert)
                     return QStringLiteral("%1 off desert (%2)")
                         .arg(name, terrain ? QStringLiteral("terrain ") + latin1(*terrain) : QStringLiteral("no terrain"));
                 return QStringLiteral("%1 on land outside the polar rows").arg(name);
             });
    }
    if (bonus && plotType) {
        const bool waterBonus = isWaterBonus(*bonus);
        rule(LintFinding::BonusOnWrongPlot, peak || (waterBonus != water && !isLandOrWaterBonus(*bonus)), [&] {
            const QString name = latin1(*bonus);
            if (peak)
                return QStringLiteral("resource %1 on a peak (PlotType 0)").arg(name);
            return waterBonus ? QStringLiteral("water resource %1 on a land plot (PlotType %2)").arg(name, latin1(*plotType))
                              : QStringLiteral("land resource %1 on a water plot (PlotType 3)").arg(name);
        });
    }
    if (r.units) {
        const QList<PlotFacts::Unit> units = PlotFacts::unitsOf(text);
        if (settlers)
            *settlers = SettlerIndex::settlerOwners(units);
        const auto onLand = std::find_if(units.begin(), units.end(), isLandUnit);
        rule(LintFinding::UnitOnWater, water && onLand != units.end(), [&] {
            QStringList named;
            for (const PlotFacts::Unit &u : units)
                if (isLandUnit(u))
                    named << (u.owner >= 0 ? QStringLiteral("%1 of player %2").arg(latin1(u.type)).arg(u.owner)
                                           : latin1(u.type));
            const std::optional<QPoint> land = nearestLand(doc, wrap, at);
            tell->related = land;
            return QStringLiteral("%1 %2 on a water plot (PlotType 3); %3")
                .arg(named.size() == 1 ? QStringLiteral("a land unit") : QStringLiteral("land units"), listed(named),
                     land ? QStringLiteral("the nearest land plot is ") + plotName(*land)
                          : QStringLiteral("no land plot within %1 plots").arg(MapLint::LandSearchRadius));
        });
        const auto open = std::find_if(units.begin(), units.end(), [](const PlotFacts::Unit &u) { return !u.closed; });
        rule(LintFinding::UnitNotClosed, open != units.end(), [&] {
            // Read as every reader takes it: up to the next unit, else to the plot's end.
            const bool another = std::any_of(open + 1, units.end(), [&](const PlotFacts::Unit &u) {
                return u.firstLine == open->lastLine + 1;
            });
            return QStringLiteral("a unit (%1) without \"EndUnit\": %2")
                .arg(open->type.isEmpty() ? QStringLiteral("no UnitType") : latin1(open->type),
                     another ? QStringLiteral("it ends where the next unit begins")
                             : QStringLiteral("it runs to the plot's end"));
        });
    }
    return found;
}

QByteArray grouped(qsizetype n) { return QLocale(QLocale::English, QLocale::UnitedStates).toString(qlonglong(n)).toLatin1(); }

} // namespace

QByteArray LintFinding::ruleName(int rule)
{
    static const char *const names[RuleCount] = {
        "no-terrain",    "no-plot-type",   "water-mismatch",        "duplicate-key",
        "peak-with-feature", "river-on-water", "floodplains-off-river", "feature-on-wrong-terrain",
        "bonus-on-wrong-plot", "unit-on-water", "unit-not-closed",     "start-off-map",
        "start-on-water", "start-on-peak",  "start-shared",          "start-apart-from-settler",
        "sign-off-map"};
    return rule >= 0 && rule < RuleCount ? QByteArray(names[rule]) : QByteArray();
}

int LintFinding::ruleNamed(QByteArrayView name)
{
    for (int rule = 0; rule < RuleCount; ++rule)
        if (ruleName(rule) == name)
            return rule;
    return -1;
}

bool MapLint::holds(const Document &doc, int rule, int col, int row, QByteArrayView text)
{
    return LintFinding::isPlotRule(rule) && (plotRules(doc, MapWrap::of(doc), col, row, text) & (1u << rule));
}

std::optional<LintFinding> MapLint::plotFinding(const Document &doc, int rule, int col, int row)
{
    LintFinding f;
    if (!LintFinding::isPlotRule(rule)
        || !(plotRules(doc, MapWrap::of(doc), col, row, doc.PlotTexts.view(col, row), nullptr, rule, &f) & (1u << rule)))
        return std::nullopt;
    return f;
}

void MapLint::setBits(qint64 index, unsigned rules)
{
    const std::size_t word = std::size_t(index >> 6);
    const quint64 bit = quint64(1) << (index & 63);
    for (int rule = 0; rule < LintFinding::PlotRuleCount; ++rule) {
        std::vector<quint64> &bits = m_bits[std::size_t(rule)];
        const bool on = rules & (1u << rule);
        if (bits.empty()) {
            if (!on)
                continue;
            bits.assign(std::size_t((qint64(m_cols) * m_rows + 63) >> 6), 0);
        }
        const bool was = bits[word] & bit;
        // A finding that stays may tell something else now.
        if (on || was)
            m_changed |= 1u << rule;
        if (on == was)
            continue;
        bits[word] ^= bit;
        m_counts[std::size_t(rule)] += on ? 1 : -1;
    }
}

void MapLint::scanCells(const Document &doc, const QRect &area, bool byColumn, Bits &bits,
                        std::vector<std::pair<QPoint, QList<int>>> &settlers) const
{
    const MapWrap wrap = MapWrap::of(doc);
    const std::size_t words = std::size_t((qint64(m_cols) * m_rows + 63) >> 6);
    const auto look = [&](int col, int row) {
        QList<int> owners;
        const unsigned rules = plotRules(doc, wrap, col, row, doc.PlotTexts.view(col, row), &owners);
        if (!owners.isEmpty())
            settlers.emplace_back(QPoint(col, row), owners);
        if (!rules)
            return;
        const qint64 index = qint64(col) * m_rows + (m_rows - 1 - row);
        for (unsigned left = rules; left; left &= left - 1) {
            std::vector<quint64> &b = bits[std::size_t(qCountTrailingZeroBits(left))];
            if (b.empty())
                b.assign(words, 0);
            b[std::size_t(index >> 6)] |= quint64(1) << (index & 63);
        }
    };
    // In the order the texts lie in memory: column by column from the
    // bottom row as a map file lists them, row by row in an empty table.
    if (byColumn) {
        for (int col = area.left(); col <= area.right(); ++col)
            for (int row = area.bottom(); row >= area.top(); --row)
                look(col, row);
    } else {
        for (int row = area.top(); row <= area.bottom(); ++row)
            for (int col = area.left(); col <= area.right(); ++col)
                look(col, row);
    }
}

void MapLint::scan(const Document &doc)
{
    m_cols = doc.columnCount();
    m_rows = doc.rowCount();
    for (auto &bits : m_bits)
        bits = {};
    m_counts = {};
    m_settlers.clear();
    m_changed = ~0u;
    std::vector<std::pair<QPoint, QList<int>>> settlers, otherSettlers;
    const QRect all(0, 0, m_cols, m_rows);
    const bool byColumn = doc.PlotTexts.storedByColumn(all);
    // A big map is read in two halves at once; the plots hold no shared
    // state, and the halves' findings are joined after.
    if (qint64(m_cols) * m_rows < 65536 || (byColumn ? m_cols : m_rows) < 2) {
        scanCells(doc, all, byColumn, m_bits, settlers);
    } else {
        const QRect first = byColumn ? QRect(0, 0, m_cols / 2, m_rows) : QRect(0, 0, m_cols, m_rows / 2);
        const QRect second = byColumn ? QRect(m_cols / 2, 0, m_cols - m_cols / 2, m_rows)
                                      : QRect(0, m_rows / 2, m_cols, m_rows - m_rows / 2);
        Bits other;
        std::thread thread([&] { scanCells(doc, second, byColumn, other, otherSettlers); });
        scanCells(doc, first, byColumn, m_bits, settlers);
        thread.join();
        for (std::size_t rule = 0; rule < other.size(); ++rule) {
            if (other[rule].empty())
                continue;
            if (m_bits[rule].empty())
                m_bits[rule].swap(other[rule]);
            else
                for (std::size_t w = 0; w < other[rule].size(); ++w)
                    m_bits[rule][w] |= other[rule][w];
        }
    }
    for (std::size_t rule = 0; rule < m_bits.size(); ++rule)
        for (const quint64 word : m_bits[rule])
            m_counts[rule] += qPopulationCount(word);
    for (const auto *list : {&settlers, &otherSettlers})
        for (const auto &[cell, owners] : *list)
            m_settlers.setCell(cell.x(), cell.y(), owners);
    lintPieces(doc);
}

void MapLint::rescan(const Document &doc, const QList<QRect> &gridAreas)
{
    if (doc.columnCount() != m_cols || doc.rowCount() != m_rows) {
        scan(doc);
        return;
    }
    const MapWrap wrap = MapWrap::of(doc);
    // Floodplains ask the rivers of the plots around them: the plots next to
    // an edit (round a wrapping edge) are read again.
    const auto around = [](int first, int last, int size, bool wraps) {
        QList<std::pair<int, int>> spans{{qMax(0, first - 1), qMin(size - 1, last + 1)}};
        if (wraps && first == 0)
            spans.append({size - 1, size - 1});
        if (wraps && last == size - 1)
            spans.append({0, 0});
        return spans;
    };
    QList<QRect> cells;
    const QRect map(0, 0, m_cols, m_rows);
    for (const QRect &area : gridAreas) {
        const QRect a = area & map;
        if (a.isEmpty())
            continue;
        for (const auto &[left, right] : around(a.left(), a.right(), m_cols, wrap.wrapX))
            for (const auto &[top, bottom] : around(a.top(), a.bottom(), m_rows, wrap.wrapY))
                cells << QRect(QPoint(left, top), QPoint(right, bottom));
    }
    m_changed = 0;
    // Units on water name the nearest land, which any plot may have become.
    if (m_counts[LintFinding::UnitOnWater])
        m_changed |= 1u << LintFinding::UnitOnWater;
    for (const QRect &a : cells) {
        for (int col = a.left(); col <= a.right(); ++col) {
            for (int row = a.top(); row <= a.bottom(); ++row) {
                QList<int> owners;
                const unsigned rules = plotRules(doc, wrap, col, row, doc.PlotTexts.view(col, row), &owners);
                setBits(qint64(col) * m_rows + (m_rows - 1 - row), rules);
                m_settlers.setCell(col, row, owners);
            }
        }
    }
    m_changed |= lintPieces(doc);
}

void MapLint::rescanPieces(const Document &doc) { m_changed = lintPieces(doc); }

quint32 MapLint::lintPieces(const Document &doc)
{
    const QList<LintFinding> before = std::exchange(m_pieces, {});
    const int cols = doc.columnCount(), rows = doc.rowCount();
    const auto onMap = [&](QPoint p) { return p.x() >= 0 && p.y() >= 0 && p.x() < cols && p.y() < rows; };
    const QString outside = QStringLiteral("outside the %1 x %2 map").arg(cols).arg(rows);

    // The starts by plot, players in slot order; and each player's settler.
    QList<std::pair<QPoint, QList<int>>> starts;
    const QMap<int, QPoint> settlers = m_settlers.firstPlots(rows);
    for (int slot = 0; slot < doc.PlayerTexts.size(); ++slot) {
        const std::optional<QPoint> at = PlotFacts::startOf(doc.PlayerTexts[slot]).plot();
        if (!at)
            continue;
        const auto same = std::find_if(starts.begin(), starts.end(), [&](const auto &s) { return s.first == *at; });
        if (same == starts.end())
            starts.append({*at, {slot}});
        else
            same->second << slot;
    }
    const auto find = [&](QPoint at, LintFinding::Rule rule, const QString &message, const QList<int> &slots = {},
                          std::optional<QPoint> related = std::nullopt) {
        m_pieces << LintFinding{at.x(), at.y(), rule, message, related, slots};
    };
    for (const auto &[at, slots] : starts) {
        if (!onMap(at)) {
            find(at, LintFinding::StartOffMap, players(slots, "starts ", "start ") + outside, slots);
        } else {
            const std::optional<QByteArrayView> type = plotTypeOf(doc.PlotTexts.view(at.x(), rows - 1 - at.y()));
            if (type && is(*type, "3"))
                find(at, LintFinding::StartOnWater, players(slots, "starts", "start") + " on a water plot (PlotType 3)",
                     slots);
            if (type && is(*type, "0"))
                find(at, LintFinding::StartOnPeak, players(slots, "starts", "start") + " on a peak (PlotType 0)", slots);
            if (slots.size() > 1)
                find(at, LintFinding::StartShared,
                     players(slots.mid(1), "starts", "start")
                         + QStringLiteral(" on the same plot as player %1").arg(slots[0]),
                     slots.mid(1));
        }
        QList<int> apart;
        QStringList where;
        for (const int slot : slots)
            if (settlers.contains(slot) && settlers[slot] != at) {
                apart << slot;
                where << plotName(settlers[slot]);
            }
        if (!apart.isEmpty())
            find(at, LintFinding::StartApartFromSettler,
                 players(apart, "starts", "start")
                     + (apart.size() == 1 ? QStringLiteral(" away from its settler at ")
                                          : QStringLiteral(" away from their settlers at "))
                     + listed(where),
                 apart, settlers[apart[0]]);
    }

    QList<std::pair<QPoint, int>> signsOff;
    for (const QByteArray &sign : doc.SignTexts) {
        const std::optional<QPoint> at = MapMarks::signPlot(sign);
        if (!at || onMap(*at))
            continue;
        const auto same = std::find_if(signsOff.begin(), signsOff.end(), [&](const auto &s) { return s.first == *at; });
        if (same == signsOff.end())
            signsOff.append({*at, 1});
        else
            ++same->second;
    }
    for (const auto &[at, n] : signsOff)
        find(at, LintFinding::SignOffMap,
             (n == 1 ? QStringLiteral("a sign ") : QStringLiteral("%1 signs ").arg(n)) + outside);
    std::sort(m_pieces.begin(), m_pieces.end());
    quint32 changed = 0;
    for (int rule = LintFinding::PlotRuleCount; rule < LintFinding::RuleCount; ++rule) {
        const auto of = [rule](const QList<LintFinding> &list) {
            QList<LintFinding> found;
            for (const LintFinding &f : list)
                if (f.rule == rule)
                    found << f;
            return found;
        };
        if (of(before) != of(m_pieces))
            changed |= 1u << rule;
    }
    return changed;
}

qsizetype MapLint::count(int rule) const
{
    if (LintFinding::isPlotRule(rule))
        return m_counts[std::size_t(rule)];
    return std::count_if(m_pieces.begin(), m_pieces.end(), [rule](const LintFinding &f) { return f.rule == rule; });
}

qsizetype MapLint::total() const
{
    qsizetype n = m_pieces.size();
    for (const qsizetype c : m_counts)
        n += c;
    return n;
}

qsizetype MapLint::nextSet(const std::vector<quint64> &bits, qsizetype from)
{
    std::size_t word = std::size_t(from >> 6);
    if (word >= bits.size())
        return -1;
    quint64 w = bits[word] & (~quint64(0) << (from & 63));
    while (!w) {
        if (++word == bits.size())
            return -1;
        w = bits[word];
    }
    return qsizetype(word) * 64 + qCountTrailingZeroBits(w);
}

void MapLint::forEach(const Document &doc, int rule, const std::function<bool(const LintFinding &)> &take) const
{
    if (!LintFinding::isPlotRule(rule)) {
        for (const LintFinding &f : m_pieces)
            if (f.rule == rule && !take(f))
                return;
        return;
    }
    const std::vector<quint64> &bits = m_bits[std::size_t(rule)];
    // The document may have changed since the scan: a plot that no longer
    // breaks the rule is left out.
    if (doc.columnCount() != m_cols || doc.rowCount() != m_rows)
        return;
    const MapWrap wrap = MapWrap::of(doc);
    for (qsizetype i = nextSet(bits, 0); i >= 0; i = nextSet(bits, i + 1)) {
        const int col = int(i / m_rows), row = m_rows - 1 - int(i % m_rows);
        LintFinding f;
        if ((plotRules(doc, wrap, col, row, doc.PlotTexts.view(col, row), nullptr, rule, &f) & (1u << rule)) && !take(f))
            return;
    }
}

QList<LintFinding> MapLint::findings(const Document &doc, int rule, qsizetype limit) const
{
    QList<LintFinding> list;
    if (limit == 0)
        return list;
    forEach(doc, rule, [&](const LintFinding &f) {
        list << f;
        return limit < 0 || list.size() < limit;
    });
    return list;
}

QList<LintFinding> MapLint::findings(const Document &doc) const
{
    QList<LintFinding> all;
    for (int rule = 0; rule < LintFinding::RuleCount; ++rule)
        all += findings(doc, rule);
    return all;
}

std::vector<QPoint> MapLint::plotsOf(int rule) const
{
    std::vector<QPoint> plots;
    if (!LintFinding::isPlotRule(rule))
        return plots;
    const std::vector<quint64> &bits = m_bits[std::size_t(rule)];
    plots.reserve(std::size_t(m_counts[std::size_t(rule)]));
    for (qsizetype i = nextSet(bits, 0); i >= 0; i = nextSet(bits, i + 1))
        plots.emplace_back(int(i / m_rows), int(i % m_rows));
    return plots;
}

bool MapLint::hasPlotFinding(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_cols || y >= m_rows)
        return false;
    const qint64 index = qint64(x) * m_rows + y;
    for (const std::vector<quint64> &bits : m_bits)
        if (!bits.empty() && (bits[std::size_t(index >> 6)] >> (index & 63) & 1))
            return true;
    return false;
}

QList<LintFinding> MapLint::lint(const Document &doc)
{
    MapLint lint;
    lint.scan(doc);
    return lint.findings(doc);
}

void MapLint::write(const Document &doc, Format format, bool all, const std::function<void(QByteArrayView)> &out) const
{
    const bool json = format == Format::Json;
    bool first = true;
    QByteArray buffer;
    const auto put = [&](const LintFinding &f, qsizetype plots) {
        // Appended piece by piece: --all may write millions of lines.
        const QByteArray rule = LintFinding::ruleName(f.rule);
        const QByteArray message = f.message.toUtf8();
        if (!json) {
            if (!plots)
                buffer.append(QByteArray::number(f.x)).append(',').append(QByteArray::number(f.y)).append(": ");
            buffer.append(rule).append(": ").append(message).append('\n');
        } else {
            buffer.append(first ? "{\"x\":" : ",{\"x\":")
                .append(QByteArray::number(f.x))
                .append(",\"y\":")
                .append(QByteArray::number(f.y))
                .append(",\"rule\":")
                .append(jsonString(rule))
                .append(",\"message\":")
                .append(jsonString(message));
            if (plots)
                buffer.append(",\"plots\":").append(QByteArray::number(plots));
            buffer.append('}');
        }
        first = false;
        if (buffer.size() >= (1 << 16)) {
            out(buffer);
            buffer.clear();
        }
    };
    if (json)
        buffer += '[';
    for (int rule = 0; rule < LintFinding::RuleCount; ++rule) {
        const qsizetype n = count(rule);
        if (n == 0)
            continue;
        if (all || n <= GroupedAbove) {
            forEach(doc, rule, [&](const LintFinding &f) {
                put(f, 0);
                return true;
            });
            continue;
        }
        const QList<LintFinding> firstOne = findings(doc, rule, 1);
        if (firstOne.isEmpty())
            continue;
        LintFinding group = firstOne[0];
        group.message = QStringLiteral("%1 plots, first at %2,%3").arg(QString::fromLatin1(grouped(n))).arg(group.x).arg(group.y);
        put(group, n);
    }
    if (json)
        buffer += "]\n";
    if (!buffer.isEmpty())
        out(buffer);
}

QByteArray MapLint::text(const QList<LintFinding> &findings)
{
    QByteArray out;
    for (const LintFinding &f : findings)
        out += QByteArray::number(f.x) + ',' + QByteArray::number(f.y) + ": " + LintFinding::ruleName(f.rule) + ": "
            + f.message.toUtf8() + '\n';
    return out;
}

} // namespace vor4
