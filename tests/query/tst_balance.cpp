// The balance report held against a plain reading of generated maps: the
// players in use and their starts, the work areas, first rings, territory
// and yields (the standard values and a data folder of other values); the
// report kept up to date by edits; and the score held to what a player
// would choose, on made-up maps and the multiplayer fixtures.

#include "BalanceReport.h"
#include "Document.h"
#include "GameYields.h"
#include "MapReader.h"

#include <QRandomGenerator>
#include <QtTest>
#include <cmath>

using namespace vor4;

namespace {

using Yield = std::array<int, 3>;
const QString DataFolder = QStringLiteral(VOR4_FIXTURES_DIR "/../balance");

// What a plot yields, as the reference reads it: per terrain its yield and
// its changes on hills and by a river, per feature or resource its change.
struct Values
{
    QMap<QByteArray, Yield> terrains, hillsOf, riverOf, changes;
    QSet<QByteArray> hidden;
    Yield hills, lake;
};

Values standardValues()
{
    Values v;
    v.terrains = {{"TERRAIN_GRASS", {2, 0, 0}}, {"TERRAIN_PLAINS", {1, 1, 0}}, {"TERRAIN_TUNDRA", {1, 0, 0}},
                  {"TERRAIN_DESERT", {0, 0, 0}}, {"TERRAIN_SNOW", {0, 0, 0}},  {"TERRAIN_COAST", {1, 0, 2}},
                  {"TERRAIN_OCEAN", {1, 0, 1}}};
    for (const char *land : {"TERRAIN_GRASS", "TERRAIN_PLAINS", "TERRAIN_TUNDRA", "TERRAIN_DESERT", "TERRAIN_SNOW"})
        v.riverOf[land] = {0, 0, 1};
    v.changes = {{"FEATURE_FOREST", {0, 1, 0}}, {"FEATURE_JUNGLE", {-1, 0, 0}}, {"FEATURE_FLOOD_PLAINS", {3, 0, 0}},
                 {"FEATURE_OASIS", {3, 0, 2}}, {"BONUS_OIL", {0, 1, 0}}};
    for (const char *food : {"BANANA", "CLAM", "CORN", "COW", "CRAB", "DEER", "FISH", "PIG", "RICE", "SHEEP", "SUGAR",
                             "WHEAT", "WHALE"})
        v.changes[QByteArray("BONUS_") + food] = {1, 0, 0};
    for (const char *production : {"MARBLE", "STONE", "IVORY"})
        v.changes[QByteArray("BONUS_") + production] = {0, 1, 0};
    for (const char *commerce : {"DYE", "FUR", "GEMS", "GOLD", "INCENSE", "SILK", "SILVER", "SPICES", "WINE"})
        v.changes[QByteArray("BONUS_") + commerce] = {0, 0, 1};
    for (const char *hidden : {"ALUMINUM", "COAL", "COPPER", "HORSE", "IRON", "OIL", "URANIUM"})
        v.hidden << QByteArray("BONUS_") + hidden;
    v.hills = {-1, 1, 0};
    v.lake = {1, 0, 0};
    return v;
}

// The values of the data folder's files, as written there.
Values folderValues()
{
    Values v;
    v.terrains = {{"TERRAIN_GRASS", {3, 0, 1}}, {"TERRAIN_PLAINS", {1, 2, 0}}, {"TERRAIN_TUNDRA", {1, 1, 0}},
                  {"TERRAIN_DESERT", {0, 0, 1}}, {"TERRAIN_COAST", {2, 0, 1}},  {"TERRAIN_OCEAN", {1, 1, 1}}};
    v.hillsOf = {{"TERRAIN_GRASS", {0, 1, 0}}};
    v.riverOf = {{"TERRAIN_GRASS", {0, 0, 2}}, {"TERRAIN_PLAINS", {1, 0, 0}}, {"TERRAIN_DESERT", {2, 0, 1}},
                 {"TERRAIN_OCEAN", {0, 0, 5}}};
    v.changes = {{"FEATURE_FOREST", {0, 2, 0}}, {"FEATURE_JUNGLE", {-2, 0, 0}}, {"FEATURE_FLOOD_PLAINS", {2, 0, 1}},
                 {"FEATURE_OASIS", {2, 0, 3}},  {"BONUS_WHEAT", {2, 0, 0}},    {"BONUS_CORN", {1, 0, 0}},
                 {"BONUS_IRON", {0, 2, 0}},     {"BONUS_GOLD", {0, 0, 3}},     {"BONUS_FISH", {1, 0, 1}}};
    v.hidden = {"BONUS_CORN"};
    v.hills = {-2, 2, 0};
    v.lake = {2, 0, 1};
    return v;
}

// The text after the first "=" of the first line holding key=, up to a ",".
QByteArray plainValue(const QByteArray &text, const QByteArray &key)
{
    for (const QByteArray &line : text.split('\n'))
        if (line.contains(key + "="))
            return line.mid(line.indexOf('=') + 1).split(',').first().trimmed();
    return QByteArray();
}

// A map read plainly, plot by plot in the file's coordinates.
struct PlainMap
{
    explicit PlainMap(const Document &d) : doc(d) {}
    const Document &doc;
    int w = doc.columnCount(), h = doc.rowCount();
    bool wrapX = doc.Header.wrapX == 1, wrapY = doc.Header.wrapY == 1;
    QHash<QPoint, QByteArray> types;
    QHash<QPoint, int> bodies; // the first plot's index of each body
    QHash<int, int> bodySizes;

    std::optional<QPoint> at(int x, int y) const
    {
        if (wrapX)
            x = ((x % w) + w) % w;
        if (wrapY)
            y = ((y % h) + h) % h;
        if (x < 0 || y < 0 || x >= w || y >= h)
            return std::nullopt;
        return QPoint(x, y);
    }
    QByteArray text(QPoint p) const { return doc.PlotTexts.text(p.x(), h - 1 - p.y()); }
    QByteArray type(QPoint p)
    {
        if (!types.contains(p)) {
            const QByteArray t = plainValue(text(p), "PlotType");
            types[p] = t == "0" || t == "1" || t == "2" || t == "3" ? t : QByteArray("?");
        }
        return types[p];
    }
    bool land(QPoint p) { return type(p) != "3" && type(p) != "?"; }
    bool flag(int x, int y, const char *flag) const
    {
        const std::optional<QPoint> p = at(x, y);
        return p && text(*p).split('\n').contains(QByteArray("\t") + flag + "\r");
    }
    bool river(QPoint p) const
    {
        return flag(p.x(), p.y(), "isNOfRiver") || flag(p.x(), p.y(), "isWOfRiver")
            || flag(p.x(), p.y() + 1, "isNOfRiver") || flag(p.x() - 1, p.y(), "isWOfRiver");
    }
    int distance(QPoint a, QPoint b) const
    {
        int dx = qAbs(a.x() - b.x()), dy = qAbs(a.y() - b.y());
        if (wrapX)
            dx = qMin(dx, w - dx);
        if (wrapY)
            dy = qMin(dy, h - dy);
        return qMax(dx, dy);
    }
    // The body of p: the plots joined to it through neighbours of its class.
    int body(QPoint p)
    {
        if (bodies.contains(p))
            return bodies[p];
        const int id = p.y() * w + p.x();
        const bool water = type(p) == "3";
        QList<QPoint> todo{p};
        bodies[p] = id;
        while (!todo.isEmpty()) {
            const QPoint q = todo.takeLast();
            ++bodySizes[id];
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const std::optional<QPoint> n = at(q.x() + dx, q.y() + dy);
                    if (n && !bodies.contains(*n) && (water ? type(*n) == "3" : land(*n))) {
                        bodies[*n] = id;
                        todo << *n;
                    }
                }
        }
        return id;
    }
    bool lake(QPoint p) { return type(p) == "3" && bodySizes[body(p)] <= 9; }
};

Yield plainYield(PlainMap &m, QPoint p, const Values &v)
{
    const QByteArray text = m.text(p), type = m.type(p);
    Yield y{};
    if (type == "0")
        return y;
    const QByteArray terrain = plainValue(text, "TerrainType"), bonus = plainValue(text, "BonusType");
    for (std::size_t i = 0; i < 3; ++i) {
        y[i] = v.terrains.value(terrain)[i] + v.changes.value(plainValue(text, "FeatureType"))[i];
        if (!v.hidden.contains(bonus))
            y[i] += v.changes.value(bonus)[i];
        if (type == "1")
            y[i] += v.hillsOf.value(terrain)[i] + v.hills[i];
        if (type != "3" && m.river(p))
            y[i] += v.riverOf.value(terrain)[i];
        if (m.lake(p))
            y[i] += v.lake[i];
        y[i] = qMax(0, y[i]);
    }
    return y;
}

// Each player in use with its start, or without one, read plainly.
QList<BalanceFigures> plainReport(const Document &doc, const Values &v)
{
    PlainMap m(doc);
    QList<BalanceFigures> list;
    for (int slot = 0; slot < doc.PlayerTexts.size(); ++slot) {
        const QByteArray text = doc.PlayerTexts[slot];
        bool used = false;
        for (const char *key : {"LeaderType", "NationType"})
            used = used || !QList<QByteArray>{"", "NONE"}.contains(plainValue(text, key));
        QByteArray startLine;
        for (const QByteArray &line : text.split('\n'))
            if (line.contains("StartingX=") && line.contains("StartingY="))
                startLine = line;
        BalanceFigures f;
        f.start.player = slot;
        f.hasStart = false;
        for (int x = 0; x < m.w; ++x)
            for (int y = 0; y < m.h; ++y)
                for (const QByteArray &unit : m.text(QPoint(x, y)).split('B'))
                    if (unit.contains("UnitOwner=") && unit.mid(unit.indexOf("UnitOwner=") + 10).split('\r')[0].toInt() == slot) {
                        used = true;
                        if (unit.toLower().contains("settler") && !f.hasStart) {
                            f.start = {slot, true, QPoint(x, y)};
                            f.hasStart = true;
                        }
                    }
        if (!startLine.isEmpty()) {
            used = true;
            const QPoint at(plainValue(startLine, "StartingX").toInt(), startLine.split('=').last().trimmed().toInt());
            if (!f.hasStart && at.x() >= 0 && at.y() >= 0 && at.x() < m.w && at.y() < m.h) {
                f.start = {slot, false, at};
                f.hasStart = true;
            }
        }
        if (used)
            list << f;
    }
    double land = 0;
    for (int x = 0; x < m.w; ++x)
        for (int y = 0; y < m.h; ++y)
            land += m.land(QPoint(x, y));
    for (BalanceFigures &f : list) {
        if (!f.hasStart)
            continue;
        const QPoint s = f.start.at;
        const int home = m.land(s) ? m.body(s) : -1;
        for (int x = 0; x < m.w; ++x)
            for (int y = 0; y < m.h; ++y) {
                const QPoint p(x, y);
                const int d = m.distance(p, s);
                int nearer = 0, as = 0;
                for (const BalanceFigures &o : std::as_const(list))
                    if (o.hasStart) {
                        nearer += m.distance(p, o.start.at) < d;
                        as += m.distance(p, o.start.at) == d;
                    }
                if (m.land(p) && nearer == 0) {
                    f.territory += 1.0 / as;
                    f.territoryAcrossWater += m.body(p) == home ? 0.0 : 1.0 / as;
                }
                const int ax = m.wrapX ? qMin(qAbs(x - s.x()), m.w - qAbs(x - s.x())) : qAbs(x - s.x());
                const int ay = m.wrapY ? qMin(qAbs(y - s.y()), m.h - qAbs(y - s.y())) : qAbs(y - s.y());
                if (ax > 2 || ay > 2 || (ax == 2 && ay == 2))
                    continue;
                const QByteArray text = m.text(p), type = m.type(p);
                ++f.plots;
                f.peaks += type == "0";
                f.hills += type == "1";
                f.flat += type == "2";
                f.water += type == "3";
                f.unknown += type == "?";
                f.land += m.land(p);
                f.river += m.river(p);
                const QByteArray feature = plainValue(text, "FeatureType"), bonus = plainValue(text, "BonusType");
                if (!feature.isEmpty())
                    ++f.features[feature];
                if (!bonus.isEmpty())
                    ++f.bonuses[bonus];
                if (v.hidden.contains(bonus))
                    ++f.hidden[bonus];
                const Yield yield = plainYield(m, p, v);
                for (std::size_t i = 0; i < 3; ++i)
                    f.yields[i] += yield[i];
                if (ax > 1 || ay > 1 || p == s)
                    continue;
                f.firstRingFood += !v.hidden.contains(bonus) && v.changes.value(bonus)[0] > 0;
                f.freshWater = f.freshWater || m.river(p) || m.lake(p) || feature == "FEATURE_OASIS";
                f.coastal = f.coastal || (type == "3" && !m.lake(p));
            }
        f.landShare = land > 0 ? f.territory / land : 0;
        f.onHill = m.type(s) == "1";
        f.onRiver = m.river(s);
        f.freshWater = f.freshWater || f.onRiver;
        for (const BalanceFigures &o : std::as_const(list))
            if (o.hasStart && o.start.player != f.start.player
                && (!f.nearestPlayer || m.distance(s, o.start.at) < f.nearestDistance)) {
                f.nearestPlayer = o.start.player;
                f.nearestDistance = m.distance(s, o.start.at);
            }
    }
    return list;
}

// Where two reports differ, or empty.
QString difference(const BalanceFigures &a, const BalanceFigures &b)
{
    const auto differ = [](double x, double y) { return std::abs(x - y) > 1e-9; };
    const std::pair<const char *, bool> checks[] = {
        {"player", a.start.player != b.start.player},
        {"start", a.hasStart != b.hasStart || a.start.fromSettler != b.start.fromSettler || a.start.at != b.start.at},
        {"counts", std::tie(a.plots, a.land, a.water, a.peaks, a.hills, a.flat, a.unknown, a.river)
                       != std::tie(b.plots, b.land, b.water, b.peaks, b.hills, b.flat, b.unknown, b.river)},
        {"features and bonuses", a.features != b.features || a.bonuses != b.bonuses || a.hidden != b.hidden},
        {"yields", a.yields != b.yields},
        {"first ring", std::tie(a.firstRingFood, a.freshWater, a.coastal, a.onHill, a.onRiver)
                           != std::tie(b.firstRingFood, b.freshWater, b.coastal, b.onHill, b.onRiver)},
        {"territory", differ(a.territory, b.territory) || differ(a.territoryAcrossWater, b.territoryAcrossWater)
                          || differ(a.landShare, b.landShare)},
        {"nearest", a.nearestPlayer != b.nearestPlayer || a.nearestDistance != b.nearestDistance}};
    for (const auto &[name, differs] : checks)
        if (differs)
            return QStringLiteral("player %1: %2").arg(a.start.player).arg(QLatin1String(name));
    return QString();
}

// A map with every kind of plot line at random, land and water in patches
// (lakes and seas), rivers, settlers and other units, and players in use in
// every way: a leader or nation only, start lines on, off and at the edges
// of the map, settlers in the corners, units only.
Document generate(quint32 seed)
{
    QRandomGenerator rng(seed);
    Document doc;
    doc.ResetDocument(1 + rng.bounded(14), 1 + rng.bounded(12));
    const int w = doc.columnCount(), h = doc.rowCount();
    doc.Header.wrapX = rng.bounded(2);
    doc.Header.wrapY = rng.bounded(2);
    const QList<QByteArray> terrains = {"TERRAIN_GRASS", "TERRAIN_PLAINS", "TERRAIN_TUNDRA", "TERRAIN_DESERT",
                                        "TERRAIN_SNOW",  "TERRAIN_COAST",  "TERRAIN_OCEAN",  "TERRAIN_MARSH"};
    const QList<QByteArray> features = {"FEATURE_FOREST, FeatureVariety=1", "FEATURE_JUNGLE", "FEATURE_FLOOD_PLAINS",
                                        "FEATURE_OASIS", "FEATURE_ICE"};
    const QList<QByteArray> bonuses = {"BONUS_WHEAT", "BONUS_CORN", "BONUS_COW", "BONUS_FISH", "BONUS_IRON",
                                       "BONUS_GOLD",  "BONUS_HORSE", "BONUS_MARBLE", "BONUS_OIL", "BONUS_NONE"};
    // Water in a few round patches, so that bodies of every size occur.
    const int waterShare = rng.bounded(100);
    QList<QPoint> seas;
    for (int i = rng.bounded(4); i >= 0; --i)
        seas << QPoint(rng.bounded(w), rng.bounded(h));
    const int reach = rng.bounded(4);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            bool water = rng.bounded(100) < waterShare / 4;
            for (const QPoint &sea : seas)
                water = water || (qAbs(sea.x() - col) <= reach && qAbs(sea.y() - row) <= reach && rng.bounded(100) < waterShare);
            QByteArray text;
            const int type = water ? 3 : rng.bounded(3);
            if (rng.bounded(10))
                text += "\tPlotType=" + QByteArray::number(type) + "\r\n";
            else if (rng.bounded(2))
                text += "\tPlotType=7\r\n";
            text += "\tTerrainType=" + terrains[rng.bounded(int(terrains.size()))] + "\r\n";
            if (rng.bounded(3) == 0)
                text += "\tFeatureType=" + features[rng.bounded(int(features.size()))] + "\r\n";
            if (rng.bounded(3) == 0)
                text += "\tBonusType=" + bonuses[rng.bounded(int(bonuses.size()))] + "\r\n";
            for (const char *river : {"isNOfRiver", "isWOfRiver"})
                if (rng.bounded(6) == 0)
                    text += QByteArray("\t") + river + "\r\n";
            for (int u = rng.bounded(14) == 0 ? 1 + rng.bounded(2) : 0; u > 0; --u)
                text += QByteArray("\tBeginUnit\r\n\t\tUnitType=") + (rng.bounded(2) ? "UNIT_Settler" : "UNIT_WARRIOR")
                    + ", UnitOwner=" + QByteArray::number(rng.bounded(9)) + "\r\n\tEndUnit\r\n";
            doc.PlotTexts.setText(col, row, text);
        }
    for (int slot = 0; slot < 10; ++slot) {
        QByteArray text = "\tTeam=" + QByteArray::number(slot) + "\r\n";
        switch (rng.bounded(8)) {
        case 0: text += "\tLeaderType=LEADER_A\r\n\tNationType=NONE\r\n"; break;
        case 1: text += "\tLeaderType=NONE\r\n\tNationType=NATION_B\r\n"; break;
        case 2: text += "\tLeaderType=NONE\r\n\tNationType=NONE\r\n"; break;
        default: break;
        }
        const int x = rng.bounded(4) == 0 ? (rng.bounded(2) ? 0 : w - 1) : rng.bounded(w + 2) - 1;
        const int y = rng.bounded(4) == 0 ? (rng.bounded(2) ? 0 : h - 1) : rng.bounded(h + 2) - 1;
        if (rng.bounded(3))
            text += "\tStartingX=" + QByteArray::number(x) + ", StartingY=" + QByteArray::number(y) + "\r\n";
        else if (rng.bounded(3) == 0)
            doc.PlotTexts.appendLine(rng.bounded(2) ? 0 : w - 1, rng.bounded(2) ? 0 : h - 1,
                                     "\tBeginUnit\r\n\t\tUnitType=UNIT_SETTLER, UnitOwner=" + QByteArray::number(slot)
                                         + "\r\n\tEndUnit");
        doc.PlayerTexts[slot] = text;
    }
    return doc;
}

// A map of grass and ocean drawn in text, row 0 at the top: "#" grass, "."
// ocean, "w" grass with wheat, digits the players' settlers on grass.
Document drawn(const QList<QByteArray> &rows)
{
    Document doc;
    doc.ResetDocument(int(rows[0].size()), int(rows.size()));
    doc.Header.wrapX = 0;
    for (int row = 0; row < doc.rowCount(); ++row)
        for (int col = 0; col < doc.columnCount(); ++col) {
            const char c = rows[row][col];
            QByteArray text = c == '.' ? "\tTerrainType=TERRAIN_OCEAN\r\n\tPlotType=3\r\n"
                                       : "\tTerrainType=TERRAIN_GRASS\r\n\tPlotType=2\r\n";
            if (c == 'w')
                text += "\tBonusType=BONUS_WHEAT\r\n";
            if (c >= '0' && c <= '9')
                text += QByteArray("\tBeginUnit\r\n\t\tUnitType=UNIT_SETTLER, UnitOwner=") + c + "\r\n\tEndUnit\r\n";
            doc.PlotTexts.setText(col, row, text);
        }
    return doc;
}

Document load(const QString &name)
{
    Document doc;
    loadMapFile(QStringLiteral(VOR4_FIXTURES_DIR "/") + name, doc);
    return doc;
}

} // namespace

class TestBalance : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void againstPlainReading();
    void followsEdits();
    void dataFiles();
    void scoreAsPlayersChoose_data();
    void scoreAsPlayersChoose();
    void multiplayerFixtures();
};

void TestBalance::againstPlainReading()
{
    GameYields fromFolder;
    QString error;
    QVERIFY2(fromFolder.load(DataFolder, &error), qPrintable(error));
    const Values standard = standardValues(), folder = folderValues();
    int settlers = 0, lines = 0, withoutStart = 0, ties = 0, across = 0, lakes = 0, unknown = 0, cut = 0;
    for (quint32 seed = 1; seed <= 400; ++seed) {
        const Document doc = generate(seed);
        const bool withFolder = seed % 2;
        const Balance fast = BalanceReport::of(doc, withFolder ? fromFolder : GameYields());
        const QList<BalanceFigures> plain = plainReport(doc, withFolder ? folder : standard);
        QCOMPARE(fast.players.size(), plain.size());
        for (qsizetype i = 0; i < plain.size(); ++i) {
            const QString why = difference(fast.players[i], plain[i]);
            QVERIFY2(why.isEmpty(), qPrintable(QStringLiteral("seed %1, %2").arg(seed).arg(why)));
            const BalanceFigures &f = plain[i];
            (f.hasStart ? (f.start.fromSettler ? settlers : lines) : withoutStart) += 1;
            ties += f.territory != std::floor(f.territory);
            across += f.territoryAcrossWater > 0;
            lakes += f.freshWater && !f.onRiver;
            unknown += f.unknown > 0;
            cut += f.hasStart && f.plots < 21;
        }
        // A player without a start is said so; the score names the worst
        // start, whose score is the spread of the best's 100.
        QCOMPARE(fast.notes().filter(QStringLiteral("has no start")).size(), qsizetype(std::count_if(
            plain.cbegin(), plain.cend(), [](const BalanceFigures &f) { return !f.hasStart; })));
        if (const BalanceFigures *worst = fast.worstPlayer ? fast.figuresOf(*fast.worstPlayer) : nullptr) {
            QCOMPARE(worst->score, 100 * fast.spread);
            for (const BalanceFigures &f : fast.players)
                QVERIFY(!f.hasStart || (f.score >= worst->score && f.score <= 100.0 + 1e-9));
        }
    }
    // The cases the maps were made for did occur.
    QVERIFY(settlers > 300 && lines > 300 && withoutStart > 300);
    QVERIFY(ties > 100 && across > 100 && lakes > 50 && unknown > 50 && cut > 100);
}

void TestBalance::followsEdits()
{
    // Plots of other maps pasted in, player texts and the wrap changed: the
    // report kept up to date is the report read afresh.
    for (quint32 seed = 1; seed <= 40; ++seed) {
        Document doc = generate(seed);
        BalanceAnalysis analysis;
        analysis.scan(doc);
        QRandomGenerator rng(seed);
        for (int step = 0; step < 6; ++step) {
            const Document other = generate(seed * 100 + step);
            const QRect area(rng.bounded(doc.columnCount()), rng.bounded(doc.rowCount()), 1 + rng.bounded(3),
                             1 + rng.bounded(3));
            for (int row = area.top(); row <= area.bottom(); ++row)
                for (int col = area.left(); col <= area.right(); ++col)
                    if (doc.PlotTexts.contains(col, row))
                        doc.PlotTexts.setText(col, row, other.PlotTexts.view(col, row));
            analysis.rescan(doc, area);
            if (step == 3)
                doc.PlayerTexts[rng.bounded(10)] = other.PlayerTexts[0];
            if (step == 4)
                doc.Header.wrapX = 1 - doc.Header.wrapX;
            const Balance kept = analysis.report(doc, GameYields());
            QCOMPARE(BalanceReport::json(kept), BalanceReport::json(BalanceReport::of(doc)));
        }
        SettlerIndex fresh;
        fresh.scan(doc.PlotTexts);
        SettlerIndex whole;
        whole.scan(generate(seed).PlotTexts);
        whole.scan(doc.PlotTexts, QRect(0, 0, doc.columnCount(), doc.rowCount()));
        QCOMPARE(whole.unitOwners(), fresh.unitOwners());
        QCOMPARE(whole.firstPlots(doc.rowCount()), fresh.firstPlots(doc.rowCount()));
    }
}

void TestBalance::dataFiles()
{
    // A folder without one of the four files is refused, naming it, and
    // the values are left as they were.
    QTemporaryDir dir;
    for (const QString &name : GameYields::dataFiles())
        if (name != QLatin1String("VOR4YieldInfos.xml"))
            QVERIFY(QFile::copy(DataFolder + u'/' + name, dir.filePath(name)));
    GameYields yields;
    QString error;
    QVERIFY(!yields.load(dir.path(), &error));
    QVERIFY2(error.contains(QStringLiteral("VOR4YieldInfos.xml")), qPrintable(error));
    QVERIFY(yields.folder().isEmpty());
    QVERIFY(yields.isHidden("BONUS_IRON") && yields.isFood("BONUS_COW"));
    QFile broken(dir.filePath(QStringLiteral("VOR4YieldInfos.xml")));
    QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("<YieldInfos><YieldInfo>") > 0);
    broken.close();
    QVERIFY(!yields.load(dir.path(), &error));
    QVERIFY2(error.contains(QStringLiteral("VOR4YieldInfos.xml: not a data file")), qPrintable(error));
    QVERIFY(yields.load(DataFolder, &error));
    QCOMPARE(yields.folder(), DataFolder);
    QVERIFY(!yields.isHidden("BONUS_IRON") && yields.isHidden("BONUS_CORN") && !yields.isFood("BONUS_COW"));
}

void TestBalance::scoreAsPlayersChoose_data()
{
    QTest::addColumn<QList<QByteArray>>("map");
    QTest::addColumn<int>("better");
    QTest::addColumn<int>("worse");
    // Two mirrored halves, the wheat in the first ring on one side and two
    // rings out on the other.
    QTest::newRow("food in the first ring")
        << QList<QByteArray>{"##########.##########", "##########.##########", "###w#w####.###w###w##",
                             "####0#####.#####1####", "##########.##########", "##########.##########"}
        << 0 << 1;
    // The same first rings; player 2 sits close to player 1 and takes half
    // of its land.
    QTest::newRow("a hinterland nobody contests")
        << QList<QByteArray>{"############.############", "############.############", "#####0######.######1#####",
                             "############.##########2#", "############.############"}
        << 0 << 1;
    // More land nearest to player 1, but its own island is small: most of
    // its land lies across the water.
    QTest::newRow("land across water")
        << QList<QByteArray>{"########.###.##########", "########.###.##########", "###0####.#1#.##########",
                             "########.###.##########", "########.###.##########"}
        << 0 << 1;
    // All at once: rich first-ring food and a large hinterland against the
    // same food two rings out and a land contested by player 2.
    QTest::newRow("what a player would choose")
        << QList<QByteArray>{"################.############", "#####w##########.#w###w######",
                             "####w0w#########.###1#####2##", "#####w##########.#w###w######",
                             "################.############"}
        << 0 << 1;
}

void TestBalance::scoreAsPlayersChoose()
{
    QFETCH(QList<QByteArray>, map);
    QFETCH(int, better);
    QFETCH(int, worse);
    const Balance b = BalanceReport::of(drawn(map));
    const BalanceFigures *good = b.figuresOf(better), *bad = b.figuresOf(worse);
    QVERIFY(good && bad);
    QVERIFY2(good->score > bad->score + 5, qPrintable(QStringLiteral("%1 against %2").arg(good->score).arg(bad->score)));
    // The land counts as drawn: the raw count alone would not say it.
    if (QByteArray(QTest::currentDataTag()) == "land across water")
        QVERIFY(bad->territory >= good->territory && bad->territoryAcrossWater > bad->territory / 2);
}

void TestBalance::multiplayerFixtures()
{
    // Every player in use has a column and no other slot does: the 12-player
    // map's player 11 starts by its start line, player 12 has a leader only.
    const Balance teams = BalanceReport::of(load(QStringLiteral("multiplayer-12-teams-64x48.Vor4WorldBuilderSave")));
    QCOMPARE(teams.players.size(), 13);
    QVERIFY(!teams.players[11].start.fromSettler && teams.players[11].hasStart);
    QVERIFY(!teams.players[12].hasStart);
    QCOMPARE(teams.notes(), QStringList{QStringLiteral("player 12 is in use but has no start on the map")});
    QVERIFY(BalanceReport::csv(teams).startsWith("player,0,1,2,3,4,5,6,7,8,9,10,11,12\r\nfrom,settler,"));
    QVERIFY(BalanceReport::csv(teams).contains(",start,no start\r\n"));

    // On the 18-player islands map a start whose own island gives it 9
    // plots ranks below every start whose own island gives it 28 or more,
    // however much land lies nearest to it across the water.
    const Document islands = load(QStringLiteral("multiplayer-18-84x52.Vor4WorldBuilderSave"));
    const Balance b = BalanceReport::of(islands);
    QCOMPARE(b.players.size(), 18);
    double smallBest = 0, largeWorst = 100;
    int small = 0;
    for (const BalanceFigures &f : plainReport(islands, standardValues())) {
        const double own = f.territory - f.territoryAcrossWater;
        const double score = b.figuresOf(f.start.player)->score;
        if (own < 10) {
            smallBest = qMax(smallBest, score);
            ++small;
        } else if (own >= 28) {
            largeWorst = qMin(largeWorst, score);
        }
    }
    QCOMPARE(small, 5);
    QVERIFY2(smallBest < largeWorst, qPrintable(QStringLiteral("%1 against %2").arg(smallBest).arg(largeWorst)));
}

QTEST_GUILESS_MAIN(TestBalance)
#include "tst_balance.moc"
