// The balance report held against a plain reading of generated maps: the
// players in use and their starts, the work areas, first rings, territory
// and yields (the standard values and a data folder of other values); the
// report kept up to date by edits; and the score held to what a player
// would choose, on made-up maps and a multiplayer fixture.

#include "BalanceReport.h"
#include "Document.h"
#include "MapReader.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace vor4;

namespace {

using Yield = std::array<int, 3>;
const QString DataFolder = QStringLiteral(VOR4_FIXTURES_DIR "/../balance");

// What a plot yields, as the reference reads it: per terrain its yield and
// its changes on hills and by a river, per feature or resource its change;
// written "TYPE food production commerce ...".
struct Values
{
    QMap<QByteArray, Yield> terrains, hillsOf, riverOf, changes;
    QList<QByteArray> hidden;
    Yield hills, lake;
};

QMap<QByteArray, Yield> table(const QByteArray &text)
{
    QMap<QByteArray, Yield> t;
    const QList<QByteArray> words = text.simplified().split(' ');
    for (qsizetype i = 0; i + 3 < words.size(); i += 4)
        t[words[i]] = {words[i + 1].toInt(), words[i + 2].toInt(), words[i + 3].toInt()};
    return t;
}

// The README's standard values, and those of the data folder's files.
const QByteArray Foods = "BANANA CLAM CORN COW CRAB DEER FISH PIG RICE SHEEP SUGAR WHEAT WHALE",
                 Productions = "MARBLE STONE IVORY", Commerces = "DYE FUR GEMS GOLD INCENSE SILK SILVER SPICES WINE",
                 Hidden = "ALUMINUM COAL COPPER HORSE IRON OIL URANIUM";
QByteArray resources(const QByteArray &names, const char *yield)
{
    return "BONUS_" + names.split(' ').join(QByteArray(" ") + yield + " BONUS_") + ' ' + yield;
}
const Values Standard = {
    table("TERRAIN_GRASS 2 0 0 TERRAIN_PLAINS 1 1 0 TERRAIN_TUNDRA 1 0 0 TERRAIN_COAST 1 0 2 TERRAIN_OCEAN 1 0 1"),
    {},
    table("TERRAIN_GRASS 0 0 1 TERRAIN_PLAINS 0 0 1 TERRAIN_TUNDRA 0 0 1 TERRAIN_DESERT 0 0 1 TERRAIN_SNOW 0 0 1"),
    table("FEATURE_FOREST 0 1 0 FEATURE_JUNGLE -1 0 0 FEATURE_FLOOD_PLAINS 3 0 0 FEATURE_OASIS 3 0 2 "
          + resources(Foods, "1 0 0") + ' ' + resources(Productions, "0 1 0") + ' ' + resources(Commerces, "0 0 1")),
    resources(Hidden, "").simplified().split(' '),
    {-1, 1, 0},
    {1, 0, 0}};
const Values Folder = {
    table("TERRAIN_GRASS 3 0 1 TERRAIN_PLAINS 1 2 0 TERRAIN_TUNDRA 1 1 0 TERRAIN_DESERT 0 0 1 TERRAIN_COAST 2 0 1 "
          "TERRAIN_OCEAN 1 1 1"),
    table("TERRAIN_GRASS 0 1 0"),
    table("TERRAIN_GRASS 0 0 2 TERRAIN_PLAINS 1 0 0 TERRAIN_DESERT 2 0 1 TERRAIN_OCEAN 0 0 5"),
    table("FEATURE_FOREST 0 2 0 FEATURE_JUNGLE -2 0 0 FEATURE_FLOOD_PLAINS 2 0 1 FEATURE_OASIS 2 0 3 BONUS_WHEAT 2 0 0 "
          "BONUS_CORN 1 0 0 BONUS_IRON 0 2 0 BONUS_GOLD 0 0 3 BONUS_FISH 1 0 1"),
    {"BONUS_CORN"},
    {-2, 2, 0},
    {2, 0, 1}};

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
    QHash<QPoint, int> bodies; // the first plot's index of each body
    QHash<int, int> bodySizes;

    std::optional<QPoint> at(int x, int y) const
    {
        x = wrapX ? (x + w) % w : x;
        y = wrapY ? (y + h) % h : y;
        return x < 0 || y < 0 || x >= w || y >= h ? std::nullopt : std::optional<QPoint>(QPoint(x, y));
    }
    QByteArray text(QPoint p) const { return doc.PlotTexts.text(p.x(), h - 1 - p.y()); }
    QByteArray type(QPoint p) const
    {
        const QByteArray t = plainValue(text(p), "PlotType");
        return t == "0" || t == "1" || t == "2" || t == "3" ? t : QByteArray("?");
    }
    bool land(QPoint p) const { return type(p) != "3" && type(p) != "?"; }
    // A river along one of its edges: its own, its north neighbour's south
    // edge or its west neighbour's east edge.
    bool river(QPoint p) const
    {
        const auto flag = [this](int x, int y, const char *flag) {
            return at(x, y) && text(*at(x, y)).split('\n').contains(QByteArray("\t") + flag + "\r");
        };
        return flag(p.x(), p.y(), "isNOfRiver") || flag(p.x(), p.y(), "isWOfRiver")
            || flag(p.x(), p.y() + 1, "isNOfRiver") || flag(p.x() - 1, p.y(), "isWOfRiver");
    }
    QPoint span(QPoint a, QPoint b) const
    {
        const int dx = qAbs(a.x() - b.x()), dy = qAbs(a.y() - b.y());
        return {wrapX ? qMin(dx, w - dx) : dx, wrapY ? qMin(dy, h - dy) : dy};
    }
    int distance(QPoint a, QPoint b) const { return qMax(span(a, b).x(), span(a, b).y()); }
    // The plots joined to p through neighbours of its class.
    int body(QPoint p)
    {
        if (bodies.contains(p))
            return bodies[p];
        const int id = p.y() * w + p.x();
        QList<QPoint> todo{p};
        for (bodies[p] = id; !todo.isEmpty(); ++bodySizes[id]) {
            const QPoint q = todo.takeLast();
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (const auto n = at(q.x() + dx, q.y() + dy);
                        n && !bodies.contains(*n) && (type(p) == "3" ? type(*n) == "3" : land(*n))) {
                        bodies[*n] = id;
                        todo << *n;
                    }
        }
        return id;
    }
    bool lake(QPoint p) { return type(p) == "3" && bodySizes[body(p)] <= 9; }
};

Yield plainYield(PlainMap &m, QPoint p, const Values &v)
{
    const QByteArray text = m.text(p), type = m.type(p);
    const QByteArray terrain = plainValue(text, "TerrainType"), bonus = plainValue(text, "BonusType");
    Yield y{};
    for (std::size_t i = 0; i < 3 && type != "0"; ++i) {
        y[i] = v.terrains.value(terrain)[i] + v.changes.value(plainValue(text, "FeatureType"))[i]
            + (v.hidden.contains(bonus) ? 0 : v.changes.value(bonus)[i])
            + (type == "1" ? v.hillsOf.value(terrain)[i] + v.hills[i] : 0)
            + (type != "3" && m.river(p) ? v.riverOf.value(terrain)[i] : 0) + (m.lake(p) ? v.lake[i] : 0);
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
        bool used = !QList<QByteArray>{"", "NONE"}.contains(plainValue(text, "LeaderType"))
            || !QList<QByteArray>{"", "NONE"}.contains(plainValue(text, "NationType"));
        BalanceFigures f;
        f.start.player = slot;
        f.hasStart = false;
        for (int x = 0; x < m.w; ++x)
            for (int y = 0; y < m.h; ++y)
                for (const QByteArray &unit : m.text(QPoint(x, y)).split('B'))
                    if (unit.contains("UnitOwner=") && unit.mid(unit.indexOf("UnitOwner=") + 10).split('\r')[0].toInt() == slot) {
                        used = true;
                        if (unit.toLower().contains("settler") && !f.hasStart)
                            f.start = {slot, true, QPoint(x, y)}, f.hasStart = true;
                    }
        const QByteArray x = plainValue(text, "StartingX"), y = text.mid(text.indexOf("StartingY=") + 10).split('\r')[0];
        if (!x.isEmpty()) {
            used = true;
            const QPoint at(x.toInt(), y.toInt());
            if (!f.hasStart && at.x() >= 0 && at.y() >= 0 && at.x() < m.w && at.y() < m.h)
                f.start = {slot, false, at}, f.hasStart = true;
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
                int nearer = 0, as = 0;
                for (const BalanceFigures &o : std::as_const(list)) {
                    nearer += o.hasStart && m.distance(p, o.start.at) < m.distance(p, s);
                    as += o.hasStart && m.distance(p, o.start.at) == m.distance(p, s);
                }
                if (m.land(p) && nearer == 0) {
                    f.territory += 1.0 / as;
                    f.territoryAcrossWater += m.body(p) == home ? 0.0 : 1.0 / as;
                }
                const QPoint d = m.span(p, s);
                if (d.x() > 2 || d.y() > 2 || (d.x() == 2 && d.y() == 2))
                    continue;
                const QByteArray text = m.text(p), type = m.type(p);
                const QByteArray feature = plainValue(text, "FeatureType"), bonus = plainValue(text, "BonusType");
                ++f.plots;
                f.peaks += type == "0";
                f.hills += type == "1";
                f.flat += type == "2";
                f.water += type == "3";
                f.unknown += type == "?";
                f.land += m.land(p);
                f.river += m.river(p);
                f.features[feature] += !feature.isEmpty();
                f.bonuses[bonus] += !bonus.isEmpty();
                f.hidden[bonus] += v.hidden.contains(bonus);
                const Yield yield = plainYield(m, p, v);
                for (std::size_t i = 0; i < 3; ++i)
                    f.yields[i] += yield[i];
                if (d.x() > 1 || d.y() > 1 || p == s)
                    continue;
                f.firstRingFood += !v.hidden.contains(bonus) && v.changes.value(bonus)[0] > 0;
                f.freshWater = f.freshWater || m.river(p) || m.lake(p) || feature == "FEATURE_OASIS";
                f.coastal = f.coastal || (type == "3" && !m.lake(p));
            }
        for (auto *map : {&f.features, &f.bonuses, &f.hidden})
            map->removeIf([](auto it) { return it.value() == 0; });
        f.landShare = land > 0 ? f.territory / land : 0;
        f.onHill = m.type(s) == "1";
        f.onRiver = m.river(s);
        f.freshWater = f.freshWater || f.onRiver;
        for (const BalanceFigures &o : std::as_const(list))
            if (o.hasStart && o.start.player != f.start.player
                && (!f.nearestPlayer || m.distance(s, o.start.at) < f.nearestDistance))
                f.nearestPlayer = o.start.player, f.nearestDistance = m.distance(s, o.start.at);
    }
    return list;
}

// Every figure but the score, to be compared.
QString figures(const BalanceFigures &f)
{
    QString out;
    QDebug(&out) << f.start.player << f.hasStart << f.start.fromSettler << f.start.at << f.plots << f.land << f.water
                 << f.peaks << f.hills << f.flat << f.unknown << f.river << f.features << f.bonuses << f.hidden
                 << f.yields[0] << f.yields[1] << f.yields[2] << f.firstRingFood << f.freshWater << f.coastal << f.onHill << f.onRiver
                 << QString::number(f.territory, 'g', 12) << QString::number(f.territoryAcrossWater, 'g', 12)
                 << QString::number(f.landShare, 'g', 12) << f.nearestPlayer.value_or(-1) << f.nearestDistance;
    return out;
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
    const auto any = [&rng](const QByteArray &words) {
        const QList<QByteArray> list = words.split(' ');
        return list[rng.bounded(int(list.size()))];
    };
    const int waterShare = rng.bounded(100), reach = rng.bounded(4);
    QList<QPoint> seas;
    for (int i = rng.bounded(4); i >= 0; --i)
        seas << QPoint(rng.bounded(w), rng.bounded(h));
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            bool water = rng.bounded(100) < waterShare / 4;
            for (const QPoint &sea : seas)
                water = water || (qAbs(sea.x() - col) <= reach && qAbs(sea.y() - row) <= reach && rng.bounded(100) < waterShare);
            QByteArray text = rng.bounded(10) ? "\tPlotType=" + QByteArray::number(water ? 3 : rng.bounded(3)) + "\r\n"
                                              : QByteArray(rng.bounded(2) ? "\tPlotType=7\r\n" : "");
            text += "\tTerrainType=TERRAIN_" + any("GRASS PLAINS TUNDRA DESERT SNOW COAST OCEAN MARSH") + "\r\n";
            if (rng.bounded(3) == 0)
                text += "\tFeatureType=FEATURE_" + any("FOREST,_FeatureVariety=1 JUNGLE FLOOD_PLAINS OASIS ICE").replace('_', ' ') + "\r\n";
            if (rng.bounded(3) == 0)
                text += "\tBonusType=BONUS_" + any(Foods + ' ' + Productions + ' ' + Commerces + ' ' + Hidden + " NONE") + "\r\n";
            for (const char *river : {"isNOfRiver", "isWOfRiver"})
                text += rng.bounded(6) ? QByteArray() : QByteArray("\t") + river + "\r\n";
            for (int u = rng.bounded(14) == 0 ? 1 + rng.bounded(2) : 0; u > 0; --u)
                text += "\tBeginUnit\r\n\t\tUnitType=UNIT_" + any("Settler WARRIOR") + ", UnitOwner="
                    + QByteArray::number(rng.bounded(9)) + "\r\n\tEndUnit\r\n";
            doc.PlotTexts.setText(col, row, text);
        }
    for (int slot = 0; slot < 10; ++slot) {
        QByteArray text = "\tTeam=0\r\n" + any("LeaderType=LEADER_A LeaderType=NONE NationType=NATION_B NationType=NONE -")
            + "\r\n";
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

// A map of grass and ocean drawn in text, row 0 at the top: "." ocean, "w"
// grass with wheat, a digit the player's settler.
Document drawn(const QList<QByteArray> &rows)
{
    Document doc;
    doc.ResetDocument(int(rows[0].size()), int(rows.size()));
    doc.Header.wrapX = 0;
    for (int i = 0; i < doc.columnCount() * doc.rowCount(); ++i) {
        const char c = rows[i / doc.columnCount()][i % doc.columnCount()];
        QByteArray text = c == '.' ? "TerrainType=TERRAIN_OCEAN\r\nPlotType=3" : "TerrainType=TERRAIN_GRASS\r\nPlotType=2";
        if (c == 'w')
            text += "\r\nBonusType=BONUS_WHEAT";
        else if (c >= '0' && c <= '9')
            text += "\r\nBeginUnit\r\nUnitType=UNIT_SETTLER, UnitOwner=" + QByteArray(1, c) + "\r\nEndUnit";
        doc.PlotTexts.setText(i % doc.columnCount(), i / doc.columnCount(), text);
    }
    return doc;
}

} // namespace

class TestBalance : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void againstPlainReading();
    void scoreAsPlayersChoose_data();
    void scoreAsPlayersChoose();
    void islandsFixture();
};

void TestBalance::againstPlainReading()
{
    GameYields fromFolder;
    QString error;
    QVERIFY2(fromFolder.load(DataFolder, &error), qPrintable(error));
    int settlers = 0, lines = 0, withoutStart = 0, ties = 0, across = 0, lakes = 0, unknown = 0, cut = 0;
    for (quint32 seed = 1; seed <= 400; ++seed) {
        const Document doc = generate(seed);
        // Every third map is read first with another's plots in a corner (and
        // the other wrap), then kept up to date.
        Document stale = doc;
        const Document other = generate(seed + 1000);
        for (int i = 0; i < 6; ++i)
            stale.PlotTexts.setText(i % 3, i / 3, other.PlotTexts.view(i % 3, i / 3));
        stale.Header.wrapX = seed % 2 ? doc.Header.wrapX : 1 - doc.Header.wrapX;
        BalanceAnalysis kept;
        kept.report(seed % 3 ? doc : stale, GameYields());
        kept.rescan(doc, QRect(0, 0, 3, 2));
        const Balance fast = kept.report(doc, seed % 2 ? fromFolder : GameYields());
        const QList<BalanceFigures> plain = plainReport(doc, seed % 2 ? Folder : Standard);
        QCOMPARE(fast.players.size(), plain.size());
        for (qsizetype i = 0; i < plain.size(); ++i) {
            QCOMPARE(figures(fast.players[i]), figures(plain[i]));
            const BalanceFigures &f = plain[i];
            (f.hasStart ? (f.start.fromSettler ? settlers : lines) : withoutStart) += 1;
            ties += f.territory != std::floor(f.territory);
            across += f.territoryAcrossWater > 0;
            lakes += f.freshWater && !f.onRiver;
            unknown += f.unknown > 0;
            cut += f.hasStart && f.plots < 21;
            // A player without a start is said so.
            QCOMPARE(fast.notes().contains(QStringLiteral("player %1 is in use but has no start on the map")
                                               .arg(f.start.player)),
                     !f.hasStart);
        }
        // The worst start's score is the spread of the best's 100.
        if (const BalanceFigures *worst = fast.worstPlayer ? fast.figuresOf(*fast.worstPlayer) : nullptr)
            for (const BalanceFigures &f : fast.players)
                QVERIFY(qAbs(worst->score - 100 * fast.spread) < 1e-9
                        && (!f.hasStart || (f.score >= worst->score && f.score <= 100 + 1e-9)));
    }
    // The cases the maps were made for did occur.
    QVERIFY(settlers > 300 && lines > 300 && withoutStart > 300);
    QVERIFY(ties > 100 && across > 100 && lakes > 50 && unknown > 50 && cut > 100);
}

void TestBalance::scoreAsPlayersChoose_data()
{
    QTest::addColumn<QList<QByteArray>>("map");
    // Mirrored halves, the wheat in player 0's first ring and two rings out
    // from player 1.
    QTest::newRow("food in the first ring")
        << QList<QByteArray>{"##########.##########", "##########.##########", "###w#w####.###w###w##",
                             "####0#####.#####1####", "##########.##########", "##########.##########"};
    // More land nearest to player 1, but most of it across the water.
    QTest::newRow("land across water")
        << QList<QByteArray>{"########.###.##########", "########.###.##########", "###0####.#1#.##########",
                             "########.###.##########", "########.###.##########"};
    // Rich first-ring food and a large hinterland against the same food two
    // rings out and a land contested by player 2.
    QTest::newRow("what a player would choose")
        << QList<QByteArray>{"################.############", "#####w##########.#w###w######",
                             "####w0w#########.###1#####2##", "#####w##########.#w###w######",
                             "################.############"};
}

void TestBalance::scoreAsPlayersChoose()
{
    QFETCH(QList<QByteArray>, map);
    const Balance b = BalanceReport::of(drawn(map));
    const BalanceFigures &good = b.players[0], &bad = b.players[1];
    QVERIFY2(good.score > bad.score + 5, qPrintable(QStringLiteral("%1 against %2").arg(good.score).arg(bad.score)));
    // Counted alone, the work area's yields or the land would not say so.
    QVERIFY(good.yields == bad.yields || bad.territory > good.territory);
}

void TestBalance::islandsFixture()
{
    // On the 18-player islands map a start whose own island gives it 9
    // plots ranks below every start whose own island gives it 28 or more,
    // however much land lies nearest to it across the water.
    Document islands;
    QVERIFY(loadMapFile(QStringLiteral(VOR4_FIXTURES_DIR "/multiplayer-18-84x52.Vor4WorldBuilderSave"), islands).ok());
    const Balance b = BalanceReport::of(islands);
    double smallBest = 0, largeWorst = 100;
    int small = 0;
    for (const BalanceFigures &f : plainReport(islands, Standard)) {
        const double own = f.territory - f.territoryAcrossWater, score = b.figuresOf(f.start.player)->score;
        if (own < 10)
            smallBest = qMax(smallBest, score), ++small;
        else if (own >= 28)
            largeWorst = qMin(largeWorst, score);
    }
    QCOMPARE(small, 5);
    QVERIFY2(smallBest < largeWorst, qPrintable(QStringLiteral("%1 against %2").arg(smallBest).arg(largeWorst)));
}

QTEST_GUILESS_MAIN(TestBalance)
#include "tst_balance.moc"
