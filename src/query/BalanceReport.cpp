#include "BalanceReport.h"

#include "Document.h"
#include "GameYields.h"
#include "MapWrap.h"
#include "PlayerStarts.h"
#include "PlotFacts.h"
#include "PlotStatistics.h"
#include "StatisticsReport.h"
#include "TextUtil.h"

#include <QSet>

namespace vor4 {

namespace {

std::optional<QPoint> onMap(const Document &doc, QPoint at) { return MapWrap::of(doc).onMap(at); }

QByteArrayView textAt(const Document &doc, QPoint at) { return doc.PlotTexts.view(at.x(), doc.fileY(at.y())); }

QByteArray number(int n) { return QByteArray::number(n); }

} // namespace

QList<QPoint> BalanceReport::workArea(const Document &doc, QPoint at) { return MapWrap::of(doc).workArea(at); }

bool BalanceReport::isRiverPlot(const Document &doc, QPoint at)
{
    const PlotFacts::Rivers own = PlotFacts::riversOf(textAt(doc, at));
    if (own.southEdge || own.eastEdge)
        return true;
    // File y grows northwards: the north neighbour carries our north edge
    // as its south edge, the west neighbour our west edge as its east edge.
    const std::optional<QPoint> north = onMap(doc, at + QPoint(0, 1));
    const std::optional<QPoint> west = onMap(doc, at + QPoint(-1, 0));
    return (north && PlotFacts::riversOf(textAt(doc, *north)).southEdge)
        || (west && PlotFacts::riversOf(textAt(doc, *west)).eastEdge);
}

int BalanceReport::distance(const Document &doc, QPoint a, QPoint b) { return MapWrap::of(doc).distance(a, b); }

QList<BalanceFigures> BalanceReport::figures(const Document &doc, const QList<BalanceStart> &starts,
                                             const GameYields *yields)
{
    QList<BalanceFigures> list;
    for (const BalanceStart &start : starts) {
        BalanceFigures f;
        f.start = start;
        std::array<int, 3> sum{};
        for (const QPoint &p : workArea(doc, start.at)) {
            const PlotStatistics::Values v = PlotStatistics::valuesOf(textAt(doc, p));
            const QByteArrayView type = v[PlotStatistics::PlotType].value_or(QByteArrayView());
            const bool peak = type == "0", hill = type == "1", flat = type == "2";
            const bool river = isRiverPlot(doc, p);
            f.peaks += peak;
            f.hills += hill;
            f.flat += flat;
            f.water += type == "3";
            f.land += peak || hill || flat;
            f.river += river;
            if (const auto feature = v[PlotStatistics::Feature])
                ++f.features[feature->toByteArray()];
            if (const auto bonus = v[PlotStatistics::Bonus])
                ++f.bonuses[bonus->toByteArray()];
            if (yields) {
                const auto value = [&v](int kind) { return v[std::size_t(kind)].value_or(QByteArrayView()); };
                const GameYields::Yield y =
                    yields->plotYield(value(PlotStatistics::Terrain), value(PlotStatistics::Feature),
                                      value(PlotStatistics::Bonus), peak, hill, river);
                for (std::size_t i = 0; i < sum.size(); ++i)
                    sum[i] += y[i];
            }
        }
        if (yields)
            f.yields = sum;
        for (const BalanceStart &other : starts) {
            if (other.player == start.player)
                continue;
            const int d = distance(doc, start.at, other.at);
            if (!f.nearestPlayer || d < f.nearestDistance) {
                f.nearestPlayer = other.player;
                f.nearestDistance = d;
            }
        }
        list << f;
    }
    return list;
}

QList<BalanceReport::Row> BalanceReport::rows(const QList<BalanceFigures> &figures)
{
    QList<Row> rows;
    const auto add = [&](const QByteArray &name, bool compared, auto cell) {
        Row row{name, {}, compared};
        for (const BalanceFigures &f : figures)
            row.cells << cell(f);
        rows << row;
    };
    add("player", false, [](const BalanceFigures &f) { return number(f.start.player); });
    add("from", false, [](const BalanceFigures &f) { return QByteArray(f.start.fromSettler ? "settler" : "start"); });
    add("x", false, [](const BalanceFigures &f) { return number(f.start.at.x()); });
    add("y", false, [](const BalanceFigures &f) { return number(f.start.at.y()); });
    const std::pair<const char *, int BalanceFigures::*> counts[] = {
        {"land", &BalanceFigures::land},   {"water", &BalanceFigures::water}, {"peaks", &BalanceFigures::peaks},
        {"hills", &BalanceFigures::hills}, {"flat", &BalanceFigures::flat},   {"river", &BalanceFigures::river}};
    for (const auto &[name, member] : counts)
        add(name, true, [member = member](const BalanceFigures &f) { return number(f.*member); });
    for (const auto &[prefix, member] : {std::pair{"feature ", &BalanceFigures::features},
                                         std::pair{"bonus ", &BalanceFigures::bonuses}}) {
        QSet<QByteArray> seen;
        QList<QByteArray> values;
        for (const BalanceFigures &f : figures)
            for (auto it = (f.*member).cbegin(); it != (f.*member).cend(); ++it)
                if (!seen.contains(it.key())) {
                    seen.insert(it.key());
                    values << it.key();
                }
        std::sort(values.begin(), values.end());
        for (const QByteArray &value : values)
            add(prefix + value, true,
                [&value, m = member](const BalanceFigures &f) { return number((f.*m).value(value)); });
    }
    if (!figures.isEmpty() && figures.first().yields) {
        const char *const names[] = {"food", "production", "commerce"};
        for (std::size_t i = 0; i < 3; ++i)
            add(names[i], true, [i](const BalanceFigures &f) { return number(f.yields ? (*f.yields)[i] : 0); });
    }
    add("nearest", false,
        [](const BalanceFigures &f) { return f.nearestPlayer ? number(*f.nearestPlayer) : QByteArray("-"); });
    add("distance", true,
        [](const BalanceFigures &f) { return f.nearestPlayer ? number(f.nearestDistance) : QByteArray("-"); });
    return rows;
}

QByteArray BalanceReport::text(const QList<BalanceFigures> &figures)
{
    const QList<Row> table = rows(figures);
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
    return out;
}

QByteArray BalanceReport::csv(const QList<BalanceFigures> &figures)
{
    const auto field = [](const QByteArray &s) {
        if (!s.contains(',') && !s.contains('"') && !s.contains('\n'))
            return s;
        return '"' + QByteArray(s).replace("\"", "\"\"") + '"';
    };
    QByteArray out;
    for (const Row &row : rows(figures)) {
        out += field(row.name);
        for (const QByteArray &cell : row.cells)
            out += ',' + field(cell);
        out += "\r\n";
    }
    return out;
}

QByteArray BalanceReport::json(const QList<BalanceFigures> &figures)
{
    const auto counts = [](const QMap<QByteArray, int> &map) {
        QByteArray out = "{";
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            out += (it == map.cbegin() ? "" : ",") + jsonString(it.key()) + ':' + number(it.value());
        return out + '}';
    };
    QByteArray out = "{\"players\":[";
    for (qsizetype i = 0; i < figures.size(); ++i) {
        const BalanceFigures &f = figures[i];
        out += (i ? ",{\"player\":" : "{\"player\":") + number(f.start.player) + ",\"from\":"
            + (f.start.fromSettler ? "\"settler\"" : "\"start\"") + ",\"x\":" + number(f.start.at.x())
            + ",\"y\":" + number(f.start.at.y()) + ",\"land\":" + number(f.land) + ",\"water\":" + number(f.water)
            + ",\"peaks\":" + number(f.peaks) + ",\"hills\":" + number(f.hills) + ",\"flat\":" + number(f.flat)
            + ",\"river\":" + number(f.river) + ",\"features\":" + counts(f.features)
            + ",\"bonuses\":" + counts(f.bonuses);
        if (f.yields)
            out += ",\"food\":" + number((*f.yields)[0]) + ",\"production\":" + number((*f.yields)[1])
                + ",\"commerce\":" + number((*f.yields)[2]);
        out += ",\"nearest\":";
        out += f.nearestPlayer ? "{\"player\":" + number(*f.nearestPlayer) + ",\"distance\":"
                + number(f.nearestDistance) + '}'
                               : QByteArray("null");
        out += '}';
    }
    return out + "]}\n";
}

} // namespace vor4
