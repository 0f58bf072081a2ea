#include "MapLint.h"

#include "FileTarget.h"

#include "Document.h"
#include "MapMarks.h"
#include "PlotFacts.h"
#include "PlotTable.h"
#include "StatisticsReport.h"
#include "TextUtil.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <optional>
#include <thread>

namespace vor4 {

namespace {

// The keys one pass over a plot's lines looks for, in the order the
// duplicate-key finding names them.
enum Key { Terrain, PlotType, Feature, Bonus, Improvement, UnitType, KeyCount };
const char *const KeyNames[] = {"TerrainType=", "PlotType=", "FeatureType=", "BonusType=", "ImprovementType="};

unsigned keysAt(const char *line, qsizetype eq, char)
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

// A value quoted from the map: control bytes escaped, a long one cut.
QString latin1(QByteArrayView s) { return shownValue(s); }

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

std::optional<QByteArrayView> plotTypeOf(QByteArrayView text)
{
    const std::optional<QByteArrayView> v = PlotFacts::firstValue(text, "PlotType");
    return v ? std::optional<QByteArrayView>(PlotFacts::field(*v)) : std::nullopt;
}

qint64 keyOf(int x, int y) { return (qint64(x) << 32) ^ qint64(quint32(y)); }

} // namespace

QByteArray LintFinding::ruleName(int rule)
{
    static const char *const names[RuleCount] = {
        "no-terrain",    "no-plot-type",  "water-mismatch", "duplicate-key",           "peak-with-feature",
        "river-on-water", "start-off-map", "start-on-water", "start-on-peak", "start-shared",
        "start-apart-from-settler", "sign-off-map"};
    return rule >= 0 && rule < RuleCount ? QByteArray(names[rule]) : QByteArray();
}

bool MapLint::lintPlot(QByteArrayView text, int x, int y, Plot &plot)
{
    std::array<std::optional<QByteArrayView>, KeyCount> values;
    unsigned repeated = 0;
    PlotFacts::forEachValue(text, keysAt, [&](unsigned keys, QByteArrayView value) {
        for (int k = 0; k < KeyCount; ++k) {
            if (!(keys & (1u << k)))
                continue;
            if (values[std::size_t(k)])
                repeated |= 1u << k;
            else
                values[std::size_t(k)] = PlotFacts::field(value);
        }
        return true;
    });
    const auto &terrain = values[Terrain], &plotType = values[PlotType], &feature = values[Feature];

    const auto find = [&](LintFinding::Rule rule, const QString &message) {
        plot.findings << LintFinding{x, y, rule, message};
    };
    if (!terrain)
        find(LintFinding::NoTerrain, QStringLiteral("no \"TerrainType=\" line"));
    if (!plotType)
        find(LintFinding::NoPlotType, QStringLiteral("no \"PlotType=\" line"));
    if (terrain && plotType) {
        const bool waterTerrain = *terrain == "TERRAIN_OCEAN" || *terrain == "TERRAIN_COAST";
        if (waterTerrain != (*plotType == "3"))
            find(LintFinding::WaterMismatch,
                 QStringLiteral("terrain %1 with PlotType %2").arg(latin1(*terrain), latin1(*plotType)));
    }
    if (repeated & ((1u << UnitType) - 1)) {
        QStringList keys;
        for (int k = 0; k < UnitType; ++k)
            if (repeated & (1u << k))
                keys << QLatin1Char('"') + QLatin1String(KeyNames[k]) + QLatin1Char('"');
        find(LintFinding::DuplicateKey,
             QStringLiteral("more than one line holds %1").arg(keys.join(QStringLiteral(", "))));
    }
    if (plotType && *plotType == "0" && feature)
        find(LintFinding::PeakWithFeature,
             QStringLiteral("a peak (PlotType 0) with FeatureType %1").arg(latin1(*feature)));
    if (plotType && *plotType == "3") {
        const PlotFacts::Rivers rivers = PlotFacts::riversOf(text);
        if (rivers.southEdge || rivers.eastEdge) {
            QStringList flags;
            if (rivers.southEdge)
                flags << QStringLiteral("isNOfRiver");
            if (rivers.eastEdge)
                flags << QStringLiteral("isWOfRiver");
            find(LintFinding::RiverOnWater,
                 QStringLiteral("a river (%1) on a water plot (PlotType 3)").arg(flags.join(QStringLiteral(", "))));
        }
    }
    // Settlers by the one rule the balance report follows too.
    if (values[UnitType])
        for (const PlotFacts::Unit &unit : PlotFacts::unitsOf(text))
            if (PlotFacts::isSettler(unit) && unit.owner >= 0 && !plot.settlerOwners.contains(unit.owner))
                plot.settlerOwners << unit.owner;

    return !plot.findings.isEmpty() || !plot.settlerOwners.isEmpty();
}

void MapLint::scanColumns(const PlotTable &plots, int first, int last, std::unordered_map<qint64, Plot> &found) const
{
    // Column by column from the bottom row: the order the reader stores the
    // texts in.
    for (int col = first; col < last; ++col) {
        for (int row = m_rows - 1; row >= 0; --row) {
            Plot plot;
            const int y = m_rows - 1 - row;
            if (lintPlot(plots.view(col, row), col, y, plot))
                found.emplace(keyOf(col, y), std::move(plot));
        }
    }
}

void MapLint::scan(const Document &doc)
{
    m_plots.clear();
    m_cols = doc.columnCount();
    m_rows = doc.rowCount();
    // A big map is read in two halves at once; the plots hold no shared
    // state, and the halves' findings are joined after.
    if (qint64(m_cols) * m_rows < 65536 || m_cols < 2) {
        scanColumns(doc.PlotTexts, 0, m_cols, m_plots);
    } else {
        std::unordered_map<qint64, Plot> east;
        std::thread other([&] { scanColumns(doc.PlotTexts, m_cols / 2, m_cols, east); });
        scanColumns(doc.PlotTexts, 0, m_cols / 2, m_plots);
        other.join();
        m_plots.merge(east);
    }
    rescanPieces(doc);
}

void MapLint::rescan(const Document &doc, const QList<QRect> &gridAreas)
{
    if (doc.columnCount() != m_cols || doc.rowCount() != m_rows) {
        scan(doc);
        return;
    }
    for (const QRect &area : gridAreas) {
        const QRect a = area & QRect(0, 0, m_cols, m_rows);
        for (int col = a.left(); col <= a.right(); ++col) {
            for (int row = a.top(); row <= a.bottom(); ++row) {
                Plot plot;
                const int y = m_rows - 1 - row;
                if (lintPlot(doc.PlotTexts.view(col, row), col, y, plot))
                    m_plots[keyOf(col, y)] = std::move(plot);
                else
                    m_plots.erase(keyOf(col, y));
            }
        }
    }
    rescanPieces(doc);
}

void MapLint::rescanPieces(const Document &doc)
{
    m_pieces.clear();
    const int cols = doc.columnCount(), rows = doc.rowCount();
    const auto onMap = [&](QPoint p) { return p.x() >= 0 && p.y() >= 0 && p.x() < cols && p.y() < rows; };
    const QString outside = QStringLiteral("outside the %1 x %2 map").arg(cols).arg(rows);

    // The starts by plot, players in slot order; and each player's settlers.
    QList<std::pair<QPoint, QList<int>>> starts;
    QHash<int, QList<QPoint>> settlers;
    for (const auto &[key, plot] : m_plots)
        for (const int owner : plot.settlerOwners)
            settlers[owner] << QPoint(int(key >> 32), int(qint32(quint32(key))));
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
    const auto find = [&](QPoint at, LintFinding::Rule rule, const QString &message) {
        m_pieces << LintFinding{at.x(), at.y(), rule, message};
    };
    for (const auto &[at, slots] : starts) {
        if (!onMap(at)) {
            find(at, LintFinding::StartOffMap, players(slots, "starts ", "start ") + outside);
        } else {
            const std::optional<QByteArrayView> type = plotTypeOf(doc.PlotTexts.view(at.x(), rows - 1 - at.y()));
            if (type && *type == "3")
                find(at, LintFinding::StartOnWater, players(slots, "starts", "start") + " on a water plot (PlotType 3)");
            if (type && *type == "0")
                find(at, LintFinding::StartOnPeak, players(slots, "starts", "start") + " on a peak (PlotType 0)");
            if (slots.size() > 1)
                find(at, LintFinding::StartShared,
                     players(slots.mid(1), "starts", "start")
                         + QStringLiteral(" on the same plot as player %1").arg(slots[0]));
        }
        QList<int> apart;
        for (const int slot : slots)
            if (settlers.contains(slot) && !settlers[slot].contains(at))
                apart << slot;
        if (!apart.isEmpty())
            find(at, LintFinding::StartApartFromSettler,
                 players(apart, "starts", "start")
                     + (apart.size() == 1 ? QStringLiteral(" on none of its settlers' plots")
                                          : QStringLiteral(" on none of their settlers' plots")));
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
}

QList<LintFinding> MapLint::findings() const
{
    QList<LintFinding> all = m_pieces;
    for (const auto &[key, plot] : m_plots)
        all += plot.findings;
    std::sort(all.begin(), all.end());
    return all;
}

QList<LintFinding> MapLint::lint(const Document &doc)
{
    MapLint lint;
    lint.scan(doc);
    return lint.findings();
}

QByteArray MapLint::text(const QList<LintFinding> &findings)
{
    QByteArray out;
    for (const LintFinding &f : findings)
        out += QByteArray::number(f.x) + ',' + QByteArray::number(f.y) + ": " + LintFinding::ruleName(f.rule) + ": "
            + f.message.toLatin1() + '\n';
    return out;
}

QByteArray MapLint::json(const QList<LintFinding> &findings)
{
    QByteArray out = "[";
    for (qsizetype i = 0; i < findings.size(); ++i) {
        const LintFinding &f = findings[i];
        out += (i ? ",{\"x\":" : "{\"x\":") + QByteArray::number(f.x) + ",\"y\":" + QByteArray::number(f.y)
            + ",\"rule\":" + jsonString(LintFinding::ruleName(f.rule)) + ",\"message\":"
            + jsonString(f.message.toLatin1()) + '}';
    }
    return out + "]\n";
}

} // namespace vor4
