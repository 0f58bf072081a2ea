#include "BalanceReport.h"

#include "Document.h"
#include "MapWrap.h"
#include "PlotFacts.h"
#include "PlotStatistics.h"
#include "StatisticsReport.h"
#include "TextUtil.h"

#include <QSet>
#include <algorithm>
#include <cmath>

namespace vor4 {

namespace {

QByteArrayView textAt(const Document &doc, QPoint at) { return doc.PlotTexts.view(at.x(), doc.fileY(at.y())); }

QByteArray number(int n) { return QByteArray::number(n); }
QByteArray decimal(double v, int places = 1) { return QByteArray::number(v, 'f', places); }
QByteArray yesNo(bool b) { return b ? "yes" : "no"; }
QByteArray jsonBool(bool b) { return b ? "true" : "false"; }

// A leader or nation named, not left at NONE.
bool names(QByteArrayView playerText, QByteArrayView key)
{
    const std::optional<QByteArrayView> value = PlotFacts::firstValue(playerText, key);
    return value && !trimmed(*value).isEmpty() && !equalsCi(trimmed(*value), "NONE");
}

GameYields::Relief reliefOf(Territory::Kind kind)
{
    switch (kind) {
    case Territory::Peak: return GameYields::Peak;
    case Territory::Hills: return GameYields::Hills;
    case Territory::Water: return GameYields::Water;
    default: return GameYields::Flat; // an unknown plot's terrain is read as flat land
    }
}

// The figures of one start's plots: its work area and first ring.
void countAround(const Document &doc, const Territory &territory, const GameYields &yields, BalanceFigures &f,
                 QSet<QPoint> &unknown)
{
    const QPoint at = f.start.at;
    for (const QPoint &p : BalanceReport::workArea(doc, at)) {
        const PlotStatistics::Values v = PlotStatistics::valuesOf(textAt(doc, p));
        const auto value = [&v](int kind) { return v[std::size_t(kind)].value_or(QByteArrayView()); };
        const Territory::Kind kind = territory.kindAt(p);
        const bool river = BalanceReport::isRiverPlot(doc, p);
        ++f.plots;
        f.peaks += kind == Territory::Peak;
        f.hills += kind == Territory::Hills;
        f.flat += kind == Territory::Flat;
        f.water += kind == Territory::Water;
        f.unknown += kind == Territory::Unknown;
        f.land += Territory::isLand(kind);
        f.river += river;
        if (kind == Territory::Unknown)
            unknown.insert(p);
        if (const auto feature = v[PlotStatistics::Feature])
            ++f.features[feature->toByteArray()];
        if (const auto bonus = v[PlotStatistics::Bonus]) {
            ++f.bonuses[bonus->toByteArray()];
            if (yields.isHidden(*bonus))
                ++f.hidden[bonus->toByteArray()];
        }
        const GameYields::Yield y = yields.plotYield(value(PlotStatistics::Terrain), value(PlotStatistics::Feature),
                                                     value(PlotStatistics::Bonus), reliefOf(kind), river,
                                                     territory.isLake(p));
        for (std::size_t i = 0; i < y.size(); ++i)
            f.yields[i] += y[i];
    }
    // The first ring: each plot once, also where a short wrapping axis
    // brings it round more than once.
    const MapWrap &surface = territory.surface();
    QList<QPoint> ring;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (const std::optional<QPoint> q = surface.onMap(at + QPoint(dx, dy)); q && *q != at && !ring.contains(*q))
                ring << *q;
    f.onRiver = BalanceReport::isRiverPlot(doc, at);
    f.onHill = territory.kindAt(at) == Territory::Hills;
    f.freshWater = f.onRiver;
    for (const QPoint &q : std::as_const(ring)) {
        const PlotStatistics::Values v = PlotStatistics::valuesOf(textAt(doc, q));
        const QByteArrayView bonus = v[PlotStatistics::Bonus].value_or(QByteArrayView());
        const bool water = territory.kindAt(q) == Territory::Water, lake = territory.isLake(q);
        f.firstRingFood += yields.isFood(bonus);
        f.freshWater = f.freshWater || lake || BalanceReport::isRiverPlot(doc, q)
            || v[PlotStatistics::Feature].value_or(QByteArrayView()) == "FEATURE_OASIS";
        f.coastal = f.coastal || (water && !lake);
    }
}

} // namespace

const BalanceFigures *Balance::figuresOf(int player) const
{
    for (const BalanceFigures &f : players)
        if (f.start.player == player)
            return &f;
    return nullptr;
}

QStringList Balance::notes() const
{
    QStringList notes;
    for (const BalanceFigures &f : players)
        if (!f.hasStart)
            notes << QStringLiteral("player %1 is in use but has no start on the map").arg(f.start.player);
    constexpr int Named = 10;
    for (qsizetype i = 0; i < qMin<qsizetype>(Named, unknownInWorkAreas.size()); ++i)
        notes << QStringLiteral("plot %1,%2 has no plot type: counted as unknown")
                     .arg(unknownInWorkAreas[i].x())
                     .arg(unknownInWorkAreas[i].y());
    if (unknownInWorkAreas.size() > Named)
        notes << QStringLiteral("%1 more plots of work areas have no plot type").arg(unknownInWorkAreas.size() - Named);
    if (unknownPlots > 0)
        notes << QStringLiteral("%1 plots of the map have no plot type: no start's territory counts them")
                     .arg(unknownPlots);
    return notes;
}

void BalanceAnalysis::scan(const Document &doc)
{
    m_territory.scan(doc, &m_settlers);
    m_scanned = true;
}

void BalanceAnalysis::rescan(const Document &doc, const QRect &gridArea)
{
    if (!m_scanned) {
        scan(doc);
        return;
    }
    m_settlers.scan(doc.PlotTexts, gridArea);
    m_territory.rescan(doc, gridArea);
}

Balance BalanceAnalysis::report(const Document &doc, const GameYields &yields)
{
    if (!m_scanned)
        scan(doc);
    const QList<PlayerStart> starts = PlayerStarts::effective(doc, m_settlers);
    m_territory.divide(doc, starts);
    Balance b;
    b.landPlots = m_territory.landCount();
    b.unknownPlots = m_territory.unknownCount();
    // Read only for a slot that only its units can put in use.
    std::optional<QList<int>> unitOwners;
    QSet<QPoint> unknown;
    qsizetype next = 0; // the next start, in slot order as the players
    for (int slot = 0; slot < doc.PlayerTexts.size(); ++slot) {
        BalanceFigures f;
        f.start.player = slot;
        if (next < starts.size() && starts[next].player == slot) {
            f.start = starts[next];
            const Territory::Share share = m_territory.shares()[next++];
            f.territory = share.plots;
            f.territoryAcrossWater = share.acrossWater;
            f.landShare = b.landPlots > 0 ? share.plots / double(b.landPlots) : 0;
            countAround(doc, m_territory, yields, f, unknown);
            for (const PlayerStart &other : starts) {
                if (other.player == slot)
                    continue;
                const int d = m_territory.surface().distance(f.start.at, other.at);
                if (!f.nearestPlayer || d < f.nearestDistance) {
                    f.nearestPlayer = other.player;
                    f.nearestDistance = d;
                }
            }
        } else {
            const QByteArrayView text = doc.PlayerTexts[slot];
            if (!names(text, "LeaderType") && !names(text, "NationType") && !PlotFacts::startOf(text).plot()) {
                if (!unitOwners)
                    unitOwners = m_settlers.unitOwners();
                if (!unitOwners->contains(slot))
                    continue;
            }
            f.hasStart = false;
        }
        b.players << f;
    }
    b.unknownInWorkAreas = unknown.values();
    std::sort(b.unknownInWorkAreas.begin(), b.unknownInWorkAreas.end(),
              [](QPoint a, QPoint c) { return std::pair(a.x(), a.y()) < std::pair(c.x(), c.y()); });
    BalanceReport::score(b.players, &b.worstPlayer, &b.spread);
    return b;
}

Balance BalanceReport::of(const Document &doc, const GameYields &yields)
{
    BalanceAnalysis analysis;
    return analysis.report(doc, yields);
}

QList<QPoint> BalanceReport::workArea(const Document &doc, QPoint at) { return MapWrap::of(doc).workArea(at); }

bool BalanceReport::isRiverPlot(const Document &doc, QPoint at)
{
    const PlotFacts::Rivers own = PlotFacts::riversOf(textAt(doc, at));
    if (own.southEdge || own.eastEdge)
        return true;
    // File y grows northwards: the north neighbour carries our north edge
    // as its south edge, the west neighbour our west edge as its east edge.
    const MapWrap surface = MapWrap::of(doc);
    const std::optional<QPoint> north = surface.onMap(at + QPoint(0, 1));
    const std::optional<QPoint> west = surface.onMap(at + QPoint(-1, 0));
    return (north && PlotFacts::riversOf(textAt(doc, *north)).southEdge)
        || (west && PlotFacts::riversOf(textAt(doc, *west)).eastEdge);
}

void BalanceReport::score(QList<BalanceFigures> &players, std::optional<int> *worstPlayer, double *spread)
{
    // Three parts, each over the mean of the starts so that maps of any size
    // weigh alike: the land (half the score), the work area's yields and the
    // first ring. Land across water counts a quarter: it waits for boats,
    // and others may reach it first.
    struct Parts
    {
        double land = 0, area = 0, ring = 0;
    };
    QList<Parts> parts;
    Parts mean;
    for (const BalanceFigures &f : std::as_const(players)) {
        if (!f.hasStart)
            continue;
        Parts p;
        p.land = (f.territory - f.territoryAcrossWater) + 0.25 * f.territoryAcrossWater;
        p.area = 2.0 * f.yields[0] + 1.5 * f.yields[1] + f.yields[2];
        p.ring = 4.0 + 2.0 * f.firstRingFood + (f.freshWater ? 1.0 : 0.0) + (f.coastal ? 0.5 : 0.0)
            + (f.onHill ? 0.5 : 0.0);
        mean.land += p.land;
        mean.area += p.area;
        mean.ring += p.ring;
        parts << p;
    }
    *worstPlayer = std::nullopt;
    *spread = 1;
    if (parts.isEmpty())
        return;
    const double n = double(parts.size());
    const auto ratio = [](double v, double m) { return m > 0 ? v / m : 1.0; };
    QList<double> values;
    for (const Parts &p : std::as_const(parts))
        values << 0.5 * ratio(p.land, mean.land / n) + 0.3 * ratio(p.area, mean.area / n)
                + 0.2 * ratio(p.ring, mean.ring / n);
    const double best = *std::max_element(values.cbegin(), values.cend());
    qsizetype i = 0;
    double worst = 0;
    for (BalanceFigures &f : players) {
        if (!f.hasStart)
            continue;
        f.score = best > 0 ? 100.0 * values[i] / best : 100.0;
        if (!*worstPlayer || f.score < worst) {
            *worstPlayer = f.start.player;
            worst = f.score;
        }
        ++i;
    }
    *spread = worst / 100.0;
}

QList<BalanceReport::Row> BalanceReport::rows(const Balance &balance)
{
    QList<Row> rows;
    const QList<BalanceFigures> &players = balance.players;
    const auto add = [&](const QByteArray &name, int better, bool compared, auto cell) {
        Row row{name, {}, better, compared};
        for (const BalanceFigures &f : players)
            row.cells << (f.hasStart || name == "player" || name == "from" ? cell(f) : QByteArray("-"));
        rows << row;
    };
    using F = const BalanceFigures &;
    add("player", 0, false, [](F f) { return number(f.start.player); });
    add("from", 0, false, [](F f) { return QByteArray(!f.hasStart ? "no start" : f.start.fromSettler ? "settler" : "start"); });
    add("x", 0, false, [](F f) { return number(f.start.at.x()); });
    add("y", 0, false, [](F f) { return number(f.start.at.y()); });
    add("score", 1, true, [](F f) { return decimal(f.score); });
    add("territory", 1, true, [](F f) { return decimal(f.territory); });
    add("across water", -1, true, [](F f) { return decimal(f.territoryAcrossWater); });
    add("land share %", 1, true, [](F f) { return decimal(100.0 * f.landShare); });
    add("first-ring food", 1, true, [](F f) { return number(f.firstRingFood); });
    add("fresh water", 1, true, [](F f) { return yesNo(f.freshWater); });
    add("coastal", 0, true, [](F f) { return yesNo(f.coastal); });
    add("on hill", 1, true, [](F f) { return yesNo(f.onHill); });
    add("on river", 1, true, [](F f) { return yesNo(f.onRiver); });
    const char *const yieldNames[] = {"food", "production", "commerce"};
    for (std::size_t i = 0; i < 3; ++i)
        add(yieldNames[i], 1, true, [i](F f) { return number(f.yields[i]); });
    const std::tuple<const char *, int BalanceFigures::*, int> counts[] = {
        {"plots", &BalanceFigures::plots, 1},   {"land", &BalanceFigures::land, 1},
        {"water", &BalanceFigures::water, 0},   {"peaks", &BalanceFigures::peaks, -1},
        {"hills", &BalanceFigures::hills, 0},   {"flat", &BalanceFigures::flat, 0},
        {"unknown", &BalanceFigures::unknown, -1}, {"river", &BalanceFigures::river, 1}};
    for (const auto &[name, member, better] : counts)
        add(name, better, true, [member = member](F f) { return number(f.*member); });
    for (const auto &[prefix, member] : {std::pair{"feature ", &BalanceFigures::features},
                                         std::pair{"bonus ", &BalanceFigures::bonuses},
                                         std::pair{"hidden ", &BalanceFigures::hidden}}) {
        QSet<QByteArray> seen;
        for (const BalanceFigures &f : players)
            for (auto it = (f.*member).cbegin(); it != (f.*member).cend(); ++it)
                seen.insert(it.key());
        QList<QByteArray> values = seen.values();
        std::sort(values.begin(), values.end());
        for (const QByteArray &value : std::as_const(values))
            add(prefix + value, 0, true, [&value, m = member](F f) { return number((f.*m).value(value)); });
    }
    add("nearest", 0, false, [](F f) { return f.nearestPlayer ? number(*f.nearestPlayer) : QByteArray("-"); });
    add("distance", 1, true, [](F f) { return f.nearestPlayer ? number(f.nearestDistance) : QByteArray("-"); });
    return rows;
}

QByteArray BalanceReport::text(const Balance &balance)
{
    const QList<Row> table = rows(balance);
    qsizetype nameWidth = 0, cellWidth = 0;
    for (const Row &row : table) {
        nameWidth = qMax(nameWidth, row.name.size());
        for (const QByteArray &cell : row.cells)
            cellWidth = qMax(cellWidth, cell.size());
    }
    QByteArray out;
    for (const Row &row : table) {
        QByteArray line = row.name.leftJustified(nameWidth);
        for (const QByteArray &cell : row.cells)
            line += "  " + cell.rightJustified(cellWidth);
        out += line + '\n';
    }
    if (balance.worstPlayer)
        out += "worst start: player " + number(*balance.worstPlayer) + ", "
            + number(qRound(100 * balance.spread)) + "% of the best\n";
    return out;
}

QByteArray BalanceReport::csv(const Balance &balance)
{
    const auto field = [](const QByteArray &s) {
        if (!s.contains(',') && !s.contains('"') && !s.contains('\n'))
            return s;
        return '"' + QByteArray(s).replace("\"", "\"\"") + '"';
    };
    QByteArray out;
    for (const Row &row : rows(balance)) {
        out += field(row.name);
        for (const QByteArray &cell : row.cells)
            out += ',' + field(cell);
        out += "\r\n";
    }
    return out;
}

QByteArray BalanceReport::json(const Balance &balance)
{
    const auto counts = [](const QMap<QByteArray, int> &map) {
        QByteArray out = "{";
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            out += (it == map.cbegin() ? "" : ",") + jsonString(it.key()) + ':' + number(it.value());
        return out + '}';
    };
    QByteArray out = "{\"players\":[";
    for (qsizetype i = 0; i < balance.players.size(); ++i) {
        const BalanceFigures &f = balance.players[i];
        out += (i ? ",{\"player\":" : "{\"player\":") + number(f.start.player);
        if (!f.hasStart) {
            out += ",\"from\":\"none\"}";
            continue;
        }
        out += ",\"from\":";
        out += (f.start.fromSettler ? "\"settler\"" : "\"start\"");
        out += ",\"x\":" + number(f.start.at.x()) + ",\"y\":" + number(f.start.at.y()) + ",\"score\":"
            + decimal(f.score) + ",\"territory\":" + decimal(f.territory)
            + ",\"territoryAcrossWater\":" + decimal(f.territoryAcrossWater) + ",\"landShare\":"
            + decimal(f.landShare, 4) + ",\"firstRingFood\":" + number(f.firstRingFood)
            + ",\"freshWater\":" + jsonBool(f.freshWater) + ",\"coastal\":" + jsonBool(f.coastal)
            + ",\"onHill\":" + jsonBool(f.onHill) + ",\"onRiver\":" + jsonBool(f.onRiver)
            + ",\"food\":" + number(f.yields[0]) + ",\"production\":" + number(f.yields[1])
            + ",\"commerce\":" + number(f.yields[2]) + ",\"plots\":" + number(f.plots)
            + ",\"land\":" + number(f.land) + ",\"water\":" + number(f.water) + ",\"peaks\":" + number(f.peaks)
            + ",\"hills\":" + number(f.hills) + ",\"flat\":" + number(f.flat) + ",\"unknown\":"
            + number(f.unknown) + ",\"river\":" + number(f.river) + ",\"features\":" + counts(f.features)
            + ",\"bonuses\":" + counts(f.bonuses) + ",\"hidden\":" + counts(f.hidden) + ",\"nearest\":";
        out += f.nearestPlayer ? "{\"player\":" + number(*f.nearestPlayer) + ",\"distance\":"
                + number(f.nearestDistance) + '}'
                               : QByteArray("null");
        out += '}';
    }
    out += "],\"spread\":" + decimal(balance.spread, 3) + ",\"worst\":"
        + (balance.worstPlayer ? number(*balance.worstPlayer) : QByteArray("null"))
        + ",\"landPlots\":" + QByteArray::number(balance.landPlots) + ",\"unknownPlots\":[";
    for (qsizetype i = 0; i < balance.unknownInWorkAreas.size(); ++i)
        out += (i ? ",[" : "[") + number(balance.unknownInWorkAreas[i].x()) + ','
            + number(balance.unknownInWorkAreas[i].y()) + ']';
    return out + "]}\n";
}

} // namespace vor4
