// The map lint and its fixes against a plain reading of every rule on
// generated small maps (wrapped or not, whole and after edits), and the
// findings told for crafted plots at the map's edges.

#include "Document.h"
#include "LintFixes.h"
#include "MapDocument.h"
#include "MapLint.h"
#include "MapMarks.h"

#include <QRandomGenerator>
#include <QUndoStack>
#include <set>
#include <QtTest>

using namespace vor4;

namespace {

const char *const Lines[] = {"TerrainType=TERRAIN_GRASS", "TerrainType=TERRAIN_OCEAN", " terraintype=TERRAIN_COAST , 1",
                             "PlotType=3", "PlotType=0", "PLOTTYPE= 1", "XPlotType=3", "PlotType =3",
                             "FeatureType=FEATURE_FOREST, FeatureVariety=0", "BonusType=BONUS_IRON",
                             "ImprovementType=IMPROVEMENT_MINE", "isNOfRiver", " ISWOFRIVER", "RiverWEDirection=1",
                             "TerrainType=TERRAIN_GRASS PlotType=3", "BeginUnit", "UnitType=UNIT_SETTLER, UnitOwner=1",
                             "UnitType=unit_settler, UnitOwner=0", "UnitType=UNIT_SETTLER_X, UnitOwner=3", "UnitType=UNIT_SCOUT, UnitOwner=2", "EndUnit",
                             "TerrainType=TERRAIN_DESERT", "PlotType=2", "PlotType=3", "FeatureType=FEATURE_FLOOD_PLAINS",
                             "featuretype=FEATURE_OASIS", "FeatureType=FEATURE_ICE", "FeatureType=FEATURE_JUNGLE",
                             "FeatureType=FEATURE_FALLOUT", "BonusType=BONUS_CRAB", "BonusType=BONUS_OIL", "bonustype=BONUS_WHALE, 1",
                             "isWOfRiver", "BeginUnit", " beginunit ", "UnitType=UNIT_HORSE_ARCHER", "UnitType=UNIT_GALLEY, UnitOwner=1", "EndUnit"};

using Triple = std::tuple<int, int, int>; // rule, x, y

// ---- The plain reading: every rule as the README tells it, line by line.

struct PlainUnit
{
    QByteArray type;
    int owner = -1;
    bool closed = false;
};

struct PlainPlot
{
    QMap<QByteArray, QList<QByteArray>> values; // "plottype" -> the fields of the lines holding it
    bool southEdge = false, eastEdge = false;   // isNOfRiver, isWOfRiver
    QList<PlainUnit> units;
    QByteArray first(const char *key) const { return values.value(key).value(0, "-"); }
};

PlainPlot readPlain(const QByteArray &text)
{
    PlainPlot p;
    // The text after a key up to a blank or ",".
    const auto after = [](const QByteArray &line, const char *key) {
        QByteArray rest = line.mid(line.toLower().indexOf(key) + qstrlen(key)).trimmed();
        for (qsizetype i = 0; i < rest.size(); ++i)
            if (rest[i] == ',' || rest[i] == ' ' || rest[i] == '\t')
                return rest.left(i);
        return rest;
    };
    for (const QByteArray &line : text.split('\n')) {
        const QByteArray lower = line.trimmed().toLower();
        p.southEdge = p.southEdge || lower == "isnofriver";
        p.eastEdge = p.eastEdge || lower == "iswofriver";
        for (const QByteArray key : {"terraintype", "plottype", "featuretype", "bonustype", "improvementtype"})
            if (lower.contains(key + "="))
                p.values[key] << line.mid(line.indexOf('=') + 1).split(',')[0].trimmed();
        const bool open = !p.units.isEmpty() && !p.units.last().closed;
        if (lower == "beginunit") // also ends an open one
            p.units << PlainUnit();
        else if (open && lower == "endunit")
            p.units.last().closed = true;
        else if (open && p.units.last().type.isEmpty() && lower.contains("unittype="))
            p.units.last().type = after(line, "unittype=");
        bool number = false;
        if (open && p.units.last().owner < 0 && lower.contains("unitowner="))
            p.units.last().owner = after(line, "unitowner=").toInt(&number) + (number ? 0 : -1);
    }
    return p;
}

struct PlainMap
{
    const Document &doc;
    int cols, rows;
    bool wrapX, wrapY;
    // The points of the map's river edges in half-plot units (a plot's square
    // is 2x-1..2x+1 across), round the wrapping axes: an edge touches a plot,
    // along a side or at a corner, when they share a point.
    QSet<QPoint> riverPoints;

    explicit PlainMap(const Document &d)
        : doc(d), cols(d.columnCount()), rows(d.rowCount()), wrapX(d.Header.wrapX == 1), wrapY(d.Header.wrapY == 1)
    {
        for (int x = 0; x < cols; ++x)
            for (int y = 0; y < rows; ++y)
                for (int i = -1; i <= 1; ++i) {
                    const PlainPlot c = readPlain(text(x, y));
                    if (c.southEdge) // along the carrier's south side
                        riverPoints << wrapped(2 * x + i, 2 * y - 1);
                    if (c.eastEdge) // along its east side
                        riverPoints << wrapped(2 * x + 1, 2 * y + i);
                }
    }
    QByteArray text(int x, int y) const { return doc.PlotTexts.text(x, rows - 1 - y); }
    QPoint wrapped(int hx, int hy) const
    {
        return QPoint(wrapX ? (hx + 2 * cols) % (2 * cols) : hx, wrapY ? (hy + 2 * rows) % (2 * rows) : hy);
    }
    int distance(QPoint a, QPoint b) const
    {
        const int dx = qAbs(a.x() - b.x()), dy = qAbs(a.y() - b.y());
        return qMax(wrapX ? qMin(dx, cols - dx) : dx, wrapY ? qMin(dy, rows - dy) : dy);
    }
    // The rules a text breaks at x, y, the neighbours as the map has them.
    QSet<int> rules(int x, int y, const QByteArray &text) const
    {
        QSet<int> found;
        const PlainPlot p = readPlain(text);
        const auto rule = [&](bool when, int r) {
            if (when)
                found << r;
        };
        const QByteArray terrain = p.first("terraintype"), type = p.first("plottype"), feature = p.first("featuretype"),
                         bonus = p.first("bonustype");
        rule(terrain == "-", LintFinding::NoTerrain);
        rule(type == "-", LintFinding::NoPlotType);
        rule(terrain != "-" && type != "-" && (terrain == "TERRAIN_OCEAN" || terrain == "TERRAIN_COAST") != (type == "3"),
             LintFinding::WaterMismatch);
        for (const QList<QByteArray> &v : std::as_const(p.values))
            rule(v.size() > 1, LintFinding::DuplicateKey);
        const bool woods = feature == "FEATURE_JUNGLE" || feature == "FEATURE_FOREST";
        rule(type == "0" && feature != "-" && !woods, LintFinding::PeakWithFeature);
        rule(type == "3" && (p.southEdge || p.eastEdge), LintFinding::RiverOnWater);
        bool river = p.southEdge || p.eastEdge;
        for (int i = -1; i <= 1; ++i)
            for (int j = -1; j <= 1; ++j)
                river = river || riverPoints.contains(wrapped(2 * x + i, 2 * y + j));
        rule(feature == "FEATURE_FLOOD_PLAINS" && !river, LintFinding::FloodplainsOffRiver);
        const bool polar = !wrapY && (y == 0 || y == rows - 1);
        rule((woods && type == "0")
                 || ((feature == "FEATURE_FLOOD_PLAINS" || feature == "FEATURE_OASIS") && terrain != "TERRAIN_DESERT")
                 || (feature == "FEATURE_ICE" && type != "3" && !polar),
             LintFinding::FeatureOnWrongTerrain);
        const bool waterBonus = QByteArrayList{"BONUS_FISH", "BONUS_CRAB", "BONUS_CLAM", "BONUS_CLAMS", "BONUS_WHALE"}.contains(bonus);
        rule(bonus != "-" && type != "-"
                 && (type == "0" || (waterBonus && type != "3") || (!waterBonus && bonus != "BONUS_OIL" && type == "3")),
             LintFinding::BonusOnWrongPlot);
        for (const PlainUnit &u : p.units) {
            const bool land = QRegularExpression("SETTLER|WORKER|SCOUT|EXPLORER|WARRIOR|ARCHER|SPEARMAN")
                                  .match(QString::fromLatin1(u.type.toUpper())).hasMatch();
            rule(type == "3" && land, LintFinding::UnitOnWater);
            rule(!u.closed, LintFinding::UnitNotClosed);
        }
        return found;
    }
    // The nearest plot of flat land or hills within 10: the smallest x, then y, of the nearest.
    std::optional<QPoint> nearestLand(QPoint from) const
    {
        std::optional<std::tuple<int, int, int>> best;
        for (int x = 0; x < cols; ++x)
            for (int y = 0; y < rows; ++y)
                if (const QByteArray type = readPlain(text(x, y)).first("plottype"); type == "1" || type == "2")
                    if (const int d = distance(from, QPoint(x, y)); d <= 10 && (!best || std::tuple(d, x, y) < *best))
                        best = std::tuple(d, x, y);
        return best ? std::optional(QPoint(std::get<1>(*best), std::get<2>(*best))) : std::nullopt;
    }
    // Each owner's settler with the smallest x, then y.
    QMap<int, QPoint> firstSettlers() const
    {
        QMap<int, QPoint> first;
        for (int x = cols - 1; x >= 0; --x)
            for (int y = rows - 1; y >= 0; --y)
                for (const PlainUnit &u : readPlain(text(x, y)).units)
                    if (u.type.toUpper().contains("SETTLER") && u.owner >= 0)
                        first[u.owner] = QPoint(x, y);
        return first;
    }
};

// Every finding, with what a stale start and units on water lead to.
QList<Triple> plainLint(const Document &doc, QMap<Triple, QPoint> *related = nullptr)
{
    const PlainMap map(doc);
    std::set<Triple> found;
    for (int x = 0; x < map.cols; ++x)
        for (int y = 0; y < map.rows; ++y)
            for (const int rule : map.rules(x, y, map.text(x, y))) {
                found.insert({rule, x, y});
                if (related && rule == LintFinding::UnitOnWater && map.nearestLand(QPoint(x, y)))
                    (*related)[{rule, x, y}] = *map.nearestLand(QPoint(x, y));
            }
    const QMap<int, QPoint> settlers = map.firstSettlers();
    for (int slot = 0; slot < doc.PlayerTexts.size(); ++slot) {
        const std::optional<QPoint> at = MapMarks::startOf(doc.PlayerTexts[slot]);
        if (!at)
            continue;
        const auto rule = [&](bool when, int r) {
            if (when)
                found.insert({r, at->x(), at->y()});
        };
        const bool onMap = at->x() >= 0 && at->y() >= 0 && at->x() < map.cols && at->y() < map.rows;
        const QByteArray type = onMap ? readPlain(map.text(at->x(), at->y())).first("plottype") : "-";
        rule(!onMap, LintFinding::StartOffMap);
        rule(type == "3", LintFinding::StartOnWater);
        rule(type == "0", LintFinding::StartOnPeak);
        for (int other = 0; other < slot; ++other)
            rule(onMap && MapMarks::startOf(doc.PlayerTexts[other]) == at, LintFinding::StartShared);
        const bool stale = settlers.contains(slot) && settlers[slot] != *at;
        rule(stale, LintFinding::StartApartFromSettler);
        if (stale && related && !related->contains({LintFinding::StartApartFromSettler, at->x(), at->y()}))
            (*related)[{LintFinding::StartApartFromSettler, at->x(), at->y()}] = settlers[slot];
    }
    for (const QByteArray &sign : doc.SignTexts)
        if (const std::optional<QPoint> at = MapMarks::signPlot(sign);
            at && (at->x() < 0 || at->y() < 0 || at->x() >= map.cols || at->y() >= map.rows))
            found.insert({LintFinding::SignOffMap, at->x(), at->y()});
    return QList<Triple>(found.begin(), found.end()); // sorted as the report is
}

// A plot rule's fix as the README tells it, again while the rule holds.
QByteArray plainFix(const PlainMap &map, int rule, int x, int y, QByteArray text)
{
    while (map.rules(x, y, text).contains(rule)) {
        QByteArrayList lines = text.split('\n');
        for (QByteArray &line : lines)
            line.chop(line.endsWith('\r'));
        if (rule == LintFinding::UnitNotClosed) {
            // Closed where it ends: before the next unit, else at the end.
            qsizetype open = -1, at = lines.size();
            for (qsizetype i = 0; i < lines.size() && at == lines.size(); ++i) {
                const QByteArray lower = lines[i].trimmed().toLower();
                if (lower == "beginunit" && open >= 0)
                    at = i;
                else if (lower == "beginunit")
                    open = i;
                else if (lower == "endunit")
                    open = -1;
            }
            lines.insert(at, "EndUnit");
        }
        else if (rule == LintFinding::RiverOnWater)
            lines.removeIf([](const QByteArray &l) {
                const QByteArray key = l.left(l.indexOf('=')).trimmed().toLower();
                return QByteArrayList{"isnofriver", "iswofriver"}.contains(l.trimmed().toLower())
                    || (l.contains('=') && (key == "riverwedirection" || key == "rivernsdirection"));
            });
        else
            lines.removeAt(std::find_if(lines.begin(), lines.end(), [&](const QByteArray &l) {
                               return l.toLower().contains(rule == LintFinding::BonusOnWrongPlot ? "bonustype=" : "featuretype=");
                           }) - lines.begin());
        text = lines.join("\r\n");
    }
    return text;
}

QList<Triple> triples(const QList<LintFinding> &findings)
{
    QList<Triple> list;
    for (const LintFinding &f : findings)
        list << Triple{f.rule, f.x, f.y};
    return list;
}

// Each plot of the area (clipped to the map) gets up to six random lines.
void fill(Document &doc, const QRect &area, QRandomGenerator &random)
{
    const QRect a = area & QRect(0, 0, doc.columnCount(), doc.rowCount());
    for (int i = 0; i < a.width() * a.height(); ++i) {
        QList<QByteArray> lines;
        for (int n = random.bounded(7); n > 0; --n)
            lines << Lines[random.bounded(int(std::size(Lines)))];
        doc.PlotTexts.setText(a.left() + i % a.width(), a.top() + i / a.width(), lines.join("\r\n"));
    }
}

Document randomMap(QRandomGenerator &random, int cols, int rows)
{
    Document doc;
    doc.ResetDocument(cols, rows);
    doc.Header.wrapX = random.bounded(2);
    doc.Header.wrapY = random.bounded(2);
    fill(doc, QRect(0, 0, cols, rows), random);
    const auto coordinate = [&](int size) { return random.bounded(-1, size + 1); };
    for (int slot = 0; slot < 4; ++slot)
        if (random.bounded(4))
            doc.PlayerTexts[slot] = QStringLiteral("Team=%1\r\nStartingX=%2, StartingY=%3")
                                        .arg(slot).arg(coordinate(cols)).arg(coordinate(rows)).toLatin1();
    for (int n = random.bounded(3); n > 0; --n)
        doc.SignTexts << QStringLiteral("plotX=%1\r\nplotY=%2\r\ncaption=S").arg(coordinate(cols)).arg(coordinate(rows)).toLatin1();
    return doc;
}

} // namespace

class TestMapLint : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void againstPlainReading();
    void fixesAgainstPlainReading();
    void findingsTold_data();
    void findingsTold();
};

void TestMapLint::againstPlainReading()
{
    QRandomGenerator random(24);
    QSet<int> rulesSeen;
    for (int round = 0; round < 300; ++round) {
        // The first map is big enough to be read in two halves at once.
        Document doc = randomMap(random, round ? 1 + random.bounded(6) : 320, round ? 1 + random.bounded(6) : 210);
        const int cols = doc.columnCount(), rows = doc.rowCount();
        MapLint lint;
        lint.scan(doc);
        for (int edit = 0; edit < (round ? 6 : 1); ++edit) {
            QMap<Triple, QPoint> related;
            const QList<Triple> expected = plainLint(doc, round ? &related : nullptr);
            const QList<LintFinding> found = lint.findings(doc);
            QCOMPARE(triples(found), expected);
            for (const auto &[rule, x, y] : expected)
                QVERIFY(lint.hasPlotFinding(x, y) || !LintFinding::isPlotRule(rule));
            for (int rule = 0; rule < LintFinding::RuleCount; ++rule)
                QCOMPARE(lint.count(rule), std::count_if(expected.begin(), expected.end(),
                                                         [rule](const Triple &t) { return std::get<0>(t) == rule; }));
            for (const LintFinding &f : found) {
                rulesSeen << f.rule;
                if (round && (f.rule == LintFinding::UnitOnWater || f.rule == LintFinding::StartApartFromSettler))
                    QCOMPARE(f.related, related.contains({f.rule, f.x, f.y}) ? std::optional(related[{f.rule, f.x, f.y}])
                                                                            : std::nullopt);
            }
            // An edit of some plots, rescanned alone: its neighbours' river edges change with it.
            // The rules it did not change tell what they told.
            const QRect area(random.bounded(cols), random.bounded(rows), 1 + random.bounded(3), 1 + random.bounded(3));
            fill(doc, area, random);
            lint.rescan(doc, {area});
            for (int rule = 0; rule < LintFinding::RuleCount; ++rule) {
                QList<LintFinding> before = found;
                before.removeIf([rule](const LintFinding &f) { return f.rule != rule; });
                if (!(lint.changedRules() & (1u << rule)))
                    QCOMPARE(lint.findings(doc, rule), before);
            }
        }
    }
    QCOMPARE(rulesSeen.size(), int(LintFinding::RuleCount));
}

void TestMapLint::fixesAgainstPlainReading()
{
    // Fix all of a rule leaves none of it, changes exactly the plots or
    // players it named, each as the plain fix would, and undoes to the start.
    QRandomGenerator random(37);
    QMap<int, int> fixed;
    for (int round = 0; round < 150; ++round) {
        const Document start = randomMap(random, 1 + random.bounded(7), 1 + random.bounded(7));
        const PlainMap before(start);
        const QMap<int, QPoint> settlers = before.firstSettlers();
        for (int rule = 0; rule < LintFinding::RuleCount; ++rule) {
            if (!LintFixes::canFix(rule))
                continue;
            MapDocument md;
            md.adopt(start.deepCopy());
            const Document &doc = md.document();
            MapLint lint;
            lint.scan(doc);
            QSet<QPoint> named;
            for (const LintFinding &f : lint.findings(doc, rule))
                named << QPoint(f.x, f.y);
            QStringList done;
            const LintFixes::Result r = LintFixes::fixAll(md, lint, rule, &done);
            QVERIFY2(r.ok, qPrintable(r.message));
            for (const Triple &t : plainLint(doc))
                QVERIFY2(std::get<0>(t) != rule, LintFinding::ruleName(rule).constData());
            for (int x = 0; x < before.cols; ++x)
                for (int y = 0; y < before.rows; ++y)
                    QCOMPARE(doc.PlotTexts.text(x, doc.fileY(y)),
                             named.contains(QPoint(x, y)) && LintFinding::isPlotRule(rule)
                                 ? plainFix(before, rule, x, y, before.text(x, y))
                                 : before.text(x, y));
            for (int slot = 0; slot < doc.PlayerTexts.size(); ++slot) {
                const std::optional<QPoint> was = MapMarks::startOf(start.PlayerTexts[slot]);
                const bool moved = !LintFinding::isPlotRule(rule) && was && settlers.contains(slot) && *was != settlers[slot];
                QCOMPARE(doc.PlayerTexts[slot], moved ? QStringLiteral("Team=%1\r\nStartingX=%2, StartingY=%3")
                                                            .arg(slot).arg(settlers[slot].x()).arg(settlers[slot].y())
                                                            .toLatin1()
                                                      : start.PlayerTexts[slot]);
            }
            QCOMPARE(done.size(), r.plots);
            fixed[rule] += r.plots;
            QCOMPARE(md.undoStack()->count(), r.plots ? 1 : 0);
            if (r.plots) {
                QVERIFY(md.undoStack()->text(0).startsWith("Fix all " + QString::fromLatin1(LintFinding::ruleName(rule))));
                md.undoStack()->undo();
            }
            for (int col = 0; col < doc.columnCount(); ++col)
                for (int row = 0; row < doc.rowCount(); ++row)
                    QCOMPARE(doc.PlotTexts.view(col, row), start.PlotTexts.view(col, row));
            QCOMPARE(doc.PlayerTexts, start.PlayerTexts);
        }
    }
    for (int rule = 0; rule < LintFinding::RuleCount; ++rule)
        QVERIFY2(!LintFixes::canFix(rule) || fixed[rule] > 10, LintFinding::ruleName(rule).constData());
}

void TestMapLint::findingsTold_data()
{
    // Crafted plots "X,Y:LINE|LINE" (the others grassland) breaking a rule
    // and just passing it, on the map's edges and round its wrapped ones;
    // what the report tells of the rule.
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("wrap");
    QTest::addColumn<QStringList>("plots");
    QTest::addColumn<QByteArray>("told");
    const QStringList flood = {"0,1:TerrainType=TERRAIN_DESERT|PlotType=2|FeatureType=FEATURE_FLOOD_PLAINS",
                               "2,1:PlotType=2|isWOfRiver", "1,0:PlotType=2|isNOfRiver",
                               "1,2:TerrainType=TERRAIN_DESERT|PlotType=1|FeatureType=FEATURE_FLOOD_PLAINS, FeatureVariety=0",
                               // A river that ends at the plot's corner touches it.
                               "2,2:TerrainType=TERRAIN_DESERT|PlotType=2|FeatureType=FEATURE_FLOOD_PLAINS"};
    const QByteArray offRiver = ": floodplains-off-river: floodplains (FEATURE_FLOOD_PLAINS) with no river along its sides or corners\n";
    QTest::newRow("floodplains, rivers round the wrapped edges") << "floodplains-off-river" << QSize(3, 3) << "xy" << flood << QByteArray();
    QTest::newRow("floodplains, no wrap") << "floodplains-off-river" << QSize(3, 3) << "" << flood << "0,1" + offRiver + "1,2" + offRiver;
    const QStringList features = {"0,0:TerrainType=TERRAIN_TUNDRA|PlotType=1|FeatureType=FEATURE_ICE",
                                  "1,1:TerrainType=TERRAIN_TUNDRA|PlotType=1|FeatureType=FEATURE_ICE",
                                  "2,1:TerrainType=TERRAIN_OCEAN|PlotType=3|FeatureType=FEATURE_ICE",
                                  "0,2:PlotType=0|FeatureType=FEATURE_JUNGLE", "1,2:PlotType=1|FeatureType=FEATURE_JUNGLE",
                                  "2,2:TerrainType=TERRAIN_PLAINS|PlotType=2|featuretype=FEATURE_OASIS",
                                  "2,0:TerrainType=TERRAIN_DESERT|PlotType=2|FeatureType=FEATURE_OASIS"};
    QTest::newRow("features, polar rows") << "feature-on-wrong-terrain" << QSize(3, 3) << "x" << features
        << QByteArray("0,2: feature-on-wrong-terrain: FEATURE_JUNGLE on a peak (PlotType 0)\n"
                      "1,1: feature-on-wrong-terrain: FEATURE_ICE on land outside the polar rows\n"
                      "2,2: feature-on-wrong-terrain: FEATURE_OASIS off desert (terrain TERRAIN_PLAINS)\n");
    QTest::newRow("features, no poles round a wrapped y") << "feature-on-wrong-terrain" << QSize(3, 3) << "y" << features.mid(0, 3)
        << QByteArray("0,0: feature-on-wrong-terrain: FEATURE_ICE on land outside the polar rows\n"
                      "1,1: feature-on-wrong-terrain: FEATURE_ICE on land outside the polar rows\n");
    QTest::newRow("peak with another feature") << "peak-with-feature" << QSize(2, 1) << ""
        << QStringList{"0,0:PlotType=0|FeatureType=FEATURE_FALLOUT", "1,0:PlotType=0|FeatureType=FEATURE_FOREST"}
        << QByteArray("0,0: peak-with-feature: a peak (PlotType 0) with FeatureType FEATURE_FALLOUT\n");
    QTest::newRow("resources") << "bonus-on-wrong-plot" << QSize(3, 2) << "x"
        << QStringList{"0,0:PlotType=0|BonusType=BONUS_CRAB", "1,0:PlotType=1|BonusType=BONUS_CLAM, 2",
                       "2,0:PlotType=3|BonusType=BONUS_CRAB", "0,1:PlotType=3|BonusType=BONUS_IRON",
                       "1,1:PlotType=3|BonusType=BONUS_OIL", "2,1:PlotType=2|BonusType=BONUS_IRON"}
        << QByteArray("0,0: bonus-on-wrong-plot: resource BONUS_CRAB on a peak (PlotType 0)\n"
                      "0,1: bonus-on-wrong-plot: land resource BONUS_IRON on a water plot (PlotType 3)\n"
                      "1,0: bonus-on-wrong-plot: water resource BONUS_CLAM on a land plot (PlotType 1)\n");
    QStringList sea;
    for (int x = 1; x < 11; ++x)
        sea << QStringLiteral("%1,0:PlotType=3").arg(x);
    QTest::newRow("units on water, land across the wrapped edge") << "unit-on-water" << QSize(12, 1) << "x"
        << sea + QStringList{"0,0:PlotType=3|BeginUnit|UnitType=UNIT_SETTLER, UnitOwner=2|EndUnit|BeginUnit|UnitType=UNIT_SCOUT|EndUnit",
                             "1,0:PlotType=3|BeginUnit|UnitType=UNIT_GALLEY, UnitOwner=1|EndUnit",
                             "11,0:PlotType=2|BeginUnit|UnitType=UNIT_WARRIOR|EndUnit"}
        << QByteArray("0,0: unit-on-water: land units UNIT_SETTLER of player 2 and UNIT_SCOUT on a water plot "
                      "(PlotType 3); the nearest land plot is 11,0\n");
    QTest::newRow("units on water, no land near") << "unit-on-water" << QSize(12, 1) << ""
        << sea + QStringList{"0,0:PlotType=3|BeginUnit|UnitType=UNIT_WORKER, UnitOwner=0|EndUnit", "11,0:PlotType=3"}
        << QByteArray("0,0: unit-on-water: a land unit UNIT_WORKER of player 0 on a water plot (PlotType 3); "
                      "no land plot within 10 plots\n");
    QTest::newRow("unclosed units") << "unit-not-closed" << QSize(3, 1) << ""
        << QStringList{"0,0:BeginUnit|UnitType=UNIT_SCOUT, UnitOwner=1|Damage=0", "1,0:BeginUnit|EndUnit", "2,0:BeginUnit"}
        << QByteArray("0,0: unit-not-closed: a unit (UNIT_SCOUT) without \"EndUnit\": it runs to the plot's end\n"
                      "2,0: unit-not-closed: a unit (no UnitType) without \"EndUnit\": it runs to the plot's end\n");
    // Player 0's first settler in the order x, then y is at 1,2; player 1 starts on its own.
    QTest::newRow("stale starts") << "start-apart-from-settler" << QSize(4, 3) << "x"
        << QStringList{"3,0:BeginUnit|UnitType=UNIT_SETTLER, UnitOwner=0|EndUnit",
                       "1,2:BeginUnit|UnitType=UNIT_SETTLER, UnitOwner=0|EndUnit",
                       "1,1:BeginUnit|UnitType=UNIT_SETTLER, UnitOwner=1|EndUnit", "P:StartingX=3, StartingY=0",
                       "P:StartingX=1, StartingY=1", "P:StartingX=3, StartingY=0"}
        << QByteArray("3,0: start-apart-from-settler: player 0 starts away from its settler at 1,2\n");
}

void TestMapLint::findingsTold()
{
    QFETCH(QString, rule);
    QFETCH(QSize, size);
    QFETCH(QString, wrap);
    QFETCH(QStringList, plots);
    QFETCH(QByteArray, told);
    Document doc;
    doc.ResetDocument(size.width(), size.height());
    doc.Header.wrapX = wrap.contains(QLatin1Char('x'));
    doc.Header.wrapY = wrap.contains(QLatin1Char('y'));
    for (int col = 0; col < size.width(); ++col)
        for (int row = 0; row < size.height(); ++row)
            doc.PlotTexts.setText(col, row, "TerrainType=TERRAIN_GRASS\r\nPlotType=2");
    int player = 0;
    for (const QString &plot : plots) {
        const QByteArray text = plot.section(QLatin1Char(':'), 1).toLatin1().replace('|', "\r\n");
        const QStringList at = plot.section(QLatin1Char(':'), 0, 0).split(QLatin1Char(','));
        if (at[0] == QLatin1String("P"))
            doc.PlayerTexts[player++] = text;
        else
            doc.PlotTexts.setText(at[0].toInt(), size.height() - 1 - at[1].toInt(), text);
    }
    const int r = LintFinding::ruleNamed(rule.toLatin1());
    MapLint lint;
    lint.scan(doc);
    QCOMPARE(MapLint::text(lint.findings(doc, r)), told);
    QCOMPARE(MapLint::text(lint.findings(doc, r, 1)), told.left(told.indexOf('\n') + 1));
}

QTEST_GUILESS_MAIN(TestMapLint)
#include "tst_maplint.moc"
