// The map lint and its fixes against a plain reading of every rule on
// generated small maps (wrapped or not, whole and after edits), the findings
// told for crafted plots at the map's edges, the report's grouping, and
// starts from settlers on the multiplayer maps.

#include "Document.h"
#include "LintFixes.h"
#include "MapDocument.h"
#include "MapLint.h"
#include "MapMarks.h"
#include "MapReader.h"

#include <QRandomGenerator>
#include <QUndoStack>
#include <set>
#include <QtTest>

using namespace vor4;

namespace {

const char *const Lines[] = {
    "TerrainType=TERRAIN_GRASS", "TerrainType=TERRAIN_OCEAN", " terraintype=TERRAIN_COAST , 1", "TerrainType=TERRAIN_DESERT",
    "PlotType=3", "PlotType=0", "PLOTTYPE= 1", "PlotType=2", "XPlotType=3", "PlotType =3", "PlotType=3",
    "FeatureType=FEATURE_FOREST, FeatureVariety=0", "FeatureType=FEATURE_FLOOD_PLAINS", "featuretype=FEATURE_OASIS",
    "FeatureType=FEATURE_ICE", "FeatureType=FEATURE_JUNGLE", "FeatureType=FEATURE_FALLOUT", "BonusType=BONUS_IRON",
    "BonusType=BONUS_CRAB", "BonusType=BONUS_OIL", "bonustype=BONUS_WHALE, 1", "ImprovementType=IMPROVEMENT_MINE",
    "isNOfRiver", " ISWOFRIVER", "isWOfRiver", "RiverWEDirection=1", "TerrainType=TERRAIN_GRASS PlotType=3",
    "BeginUnit", "BeginUnit", " beginunit ", "UnitType=UNIT_SETTLER, UnitOwner=1", "UnitType=unit_settler, UnitOwner=0",
    "UnitType=UNIT_SETTLER_X, UnitOwner=3", "UnitType=UNIT_SCOUT, UnitOwner=2", "UnitType=UNIT_HORSE_ARCHER",
    "UnitType=UNIT_GALLEY, UnitOwner=1", "EndUnit", "EndUnit"};

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

// The text after `key` (lower case) in line, up to a blank or ",".
QByteArray after(const QByteArray &line, const QByteArray &key)
{
    QByteArray rest = line.mid(line.toLower().indexOf(key) + key.size()).trimmed();
    qsizetype n = 0;
    while (n < rest.size() && rest[n] != ',' && rest[n] != ' ' && rest[n] != '\t')
        ++n;
    return rest.left(n);
}

PlainPlot readPlain(const QByteArray &text)
{
    PlainPlot p;
    for (const QByteArray &line : text.split('\n')) {
        const QByteArray lower = line.trimmed().toLower();
        p.southEdge = p.southEdge || lower == "isnofriver";
        p.eastEdge = p.eastEdge || lower == "iswofriver";
        for (const QByteArray key : {"terraintype", "plottype", "featuretype", "bonustype", "improvementtype"})
            if (lower.contains(key + "="))
                p.values[key] << line.mid(line.indexOf('=') + 1).split(',')[0].trimmed();
        const bool open = !p.units.isEmpty() && !p.units.last().closed;
        if (!open && lower == "beginunit") {
            p.units << PlainUnit();
        } else if (open && lower == "endunit") {
            p.units.last().closed = true;
        } else if (open) {
            PlainUnit &u = p.units.last();
            if (u.type.isEmpty() && lower.contains("unittype="))
                u.type = after(line, "unittype=");
            if (u.owner < 0 && lower.contains("unitowner=")) {
                bool ok = false;
                u.owner = after(line, "unitowner=").toInt(&ok);
                u.owner = ok ? u.owner : -1;
            }
        }
    }
    return p;
}

bool isLandUnit(const QByteArray &type)
{
    for (const char *word : {"SETTLER", "WORKER", "SCOUT", "EXPLORER", "WARRIOR", "ARCHER", "SPEARMAN"})
        if (type.toUpper().contains(word))
            return true;
    return false;
}

struct PlainMap
{
    const Document &doc;
    int cols, rows;
    bool wrapX, wrapY;
    explicit PlainMap(const Document &d)
        : doc(d), cols(d.columnCount()), rows(d.rowCount()), wrapX(d.Header.wrapX == 1), wrapY(d.Header.wrapY == 1)
    {
        findRivers();
    }
    QByteArray text(int x, int y) const { return doc.PlotTexts.text(x, rows - 1 - y); }
    // The plot at x, y round a wrapping edge, or nothing.
    std::optional<QPoint> at(int x, int y) const
    {
        if (wrapX)
            x = (x + cols) % cols;
        if (wrapY)
            y = (y + rows) % rows;
        return x >= 0 && y >= 0 && x < cols && y < rows ? std::optional<QPoint>(QPoint(x, y)) : std::nullopt;
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
        rule(feature == "FEATURE_FLOOD_PLAINS" && !riverTouches(x, y, p), LintFinding::FloodplainsOffRiver);
        const bool polar = !wrapY && (y == 0 || y == rows - 1);
        rule((woods && type == "0")
                 || ((feature == "FEATURE_FLOOD_PLAINS" || feature == "FEATURE_OASIS") && terrain != "TERRAIN_DESERT")
                 || (feature == "FEATURE_ICE" && type != "3" && !polar),
             LintFinding::FeatureOnWrongTerrain);
        const bool waterBonus = QList<QByteArray>{"BONUS_FISH", "BONUS_CRAB", "BONUS_CLAM", "BONUS_CLAMS", "BONUS_WHALE"}
                                    .contains(bonus);
        rule(bonus != "-" && type != "-"
                 && (type == "0" || (waterBonus && type != "3") || (!waterBonus && bonus != "BONUS_OIL" && type == "3")),
             LintFinding::BonusOnWrongPlot);
        bool landUnit = false, open = false;
        for (const PlainUnit &u : p.units) {
            landUnit = landUnit || isLandUnit(u.type);
            open = open || !u.closed;
        }
        rule(type == "3" && landUnit, LintFinding::UnitOnWater);
        rule(open, LintFinding::UnitNotClosed);
        return found;
    }
    // The points of the map's river edges in half-plot units (a plot's square
    // is 2x-1..2x+1 across), round the wrapping axes: an edge touches a
    // plot, along a side or at a corner, when they share a point.
    QSet<QPoint> riverPoints;
    QPoint wrapped(int hx, int hy) const
    {
        return QPoint(wrapX ? (hx % (2 * cols) + 2 * cols) % (2 * cols) : hx,
                      wrapY ? (hy % (2 * rows) + 2 * rows) % (2 * rows) : hy);
    }
    void findRivers()
    {
        for (int cx = 0; cx < cols; ++cx)
            for (int cy = 0; cy < rows; ++cy) {
                // isNOfRiver: along the carrier's south side; isWOfRiver: its east side.
                const PlainPlot c = readPlain(text(cx, cy));
                for (int i = -1; i <= 1; ++i) {
                    if (c.southEdge)
                        riverPoints << wrapped(2 * cx + i, 2 * cy - 1);
                    if (c.eastEdge)
                        riverPoints << wrapped(2 * cx + 1, 2 * cy + i);
                }
            }
    }
    bool riverTouches(int x, int y, const PlainPlot &own) const
    {
        if (own.southEdge || own.eastEdge)
            return true;
        for (int i = -1; i <= 1; ++i)
            for (int j = -1; j <= 1; ++j)
                if (riverPoints.contains(wrapped(2 * x + i, 2 * y + j)))
                    return true;
        return false;
    }
    // The nearest plot of flat land or hills within 10, the smallest x, then y, of the nearest.
    std::optional<QPoint> nearestLand(QPoint from) const
    {
        std::optional<std::tuple<int, int, int>> best;
        for (int x = 0; x < cols; ++x)
            for (int y = 0; y < rows; ++y) {
                const QByteArray type = readPlain(text(x, y)).first("plottype");
                const int d = distance(from, QPoint(x, y));
                if ((type == "1" || type == "2") && d <= 10 && (!best || std::tuple(d, x, y) < *best))
                    best = std::tuple(d, x, y);
            }
        return best ? std::optional<QPoint>(QPoint(std::get<1>(*best), std::get<2>(*best))) : std::nullopt;
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
                if (related && rule == LintFinding::UnitOnWater)
                    if (const std::optional<QPoint> land = map.nearestLand(QPoint(x, y)))
                        (*related)[{rule, x, y}] = *land;
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

// A plot rule's fix as the README tells it, repeated while the rule holds.
QByteArray plainFix(const PlainMap &map, int rule, int x, int y, QByteArray text)
{
    const QByteArray key = rule == LintFinding::BonusOnWrongPlot ? "bonustype=" : "featuretype=";
    while (map.rules(x, y, text).contains(rule)) {
        QList<QByteArray> lines = text.split('\n');
        for (QByteArray &line : lines)
            line.chop(line.endsWith('\r') ? 1 : 0);
        if (rule == LintFinding::UnitNotClosed) {
            lines << "EndUnit";
        } else if (rule == LintFinding::RiverOnWater) {
            lines.removeIf([](const QByteArray &line) {
                const QByteArray lower = line.trimmed().toLower();
                const QByteArray key = line.left(line.indexOf('=')).trimmed().toLower();
                return lower == "isnofriver" || lower == "iswofriver"
                    || (line.contains('=') && (key == "riverwedirection" || key == "rivernsdirection"));
            });
        } else {
            lines.removeAt(std::find_if(lines.begin(), lines.end(),
                                        [&](const QByteArray &l) { return l.toLower().contains(key); })
                           - lines.begin());
        }
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

// A small map from plots written "X,Y:LINE|LINE", wrapped as `wrap` says
// ("x", "y", "xy" or ""), every other plot grassland.
Document craftedMap(QSize size, const QString &wrap, const QStringList &plots, const QStringList &players = {})
{
    Document doc;
    doc.ResetDocument(size.width(), size.height());
    doc.Header.wrapX = wrap.contains(QLatin1Char('x'));
    doc.Header.wrapY = wrap.contains(QLatin1Char('y'));
    for (int col = 0; col < size.width(); ++col)
        for (int row = 0; row < size.height(); ++row)
            doc.PlotTexts.setText(col, row, "TerrainType=TERRAIN_GRASS\r\nPlotType=2");
    for (const QString &plot : plots) {
        const QStringList at = plot.section(QLatin1Char(':'), 0, 0).split(QLatin1Char(','));
        const QByteArray text = plot.section(QLatin1Char(':'), 1).toLatin1().replace('|', "\r\n");
        doc.PlotTexts.setText(at[0].toInt(), size.height() - 1 - at[1].toInt(), text);
    }
    for (int slot = 0; slot < players.size(); ++slot)
        doc.PlayerTexts[slot] = players[slot].toLatin1();
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
    void reportGroupsManyFindings();
    void startsFromSettlersOnMultiplayerMaps();
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
            QSet<QPoint> marked, plotFindings;
            for (int x = 0; x < cols; ++x)
                for (int y = 0; y < rows; ++y)
                    if (lint.hasPlotFinding(x, y))
                        marked << QPoint(x, y);
            for (const auto &[rule, x, y] : expected)
                if (LintFinding::isPlotRule(rule))
                    plotFindings << QPoint(x, y);
            QCOMPARE(marked, plotFindings);
            for (const LintFinding &f : found) {
                rulesSeen << f.rule;
                if (round && (f.rule == LintFinding::UnitOnWater || f.rule == LintFinding::StartApartFromSettler))
                    QCOMPARE(f.related, related.contains({f.rule, f.x, f.y}) ? std::optional(related[{f.rule, f.x, f.y}])
                                                                            : std::nullopt);
            }
            for (int rule = 0; rule < LintFinding::RuleCount; ++rule)
                QCOMPARE(lint.count(rule), std::count_if(expected.begin(), expected.end(),
                                                         [rule](const Triple &t) { return std::get<0>(t) == rule; }));
            // An edit of some plots, rescanned alone: its neighbours' river edges change with it.
            // The rules it did not change tell what they told.
            const QRect area(random.bounded(cols), random.bounded(rows), 1 + random.bounded(3), 1 + random.bounded(3));
            fill(doc, area, random);
            lint.rescan(doc, {area});
            for (int rule = 0; rule < LintFinding::RuleCount; ++rule) {
                if (lint.changedRules() & (1u << rule))
                    continue;
                QList<LintFinding> before = found;
                before.removeIf([rule](const LintFinding &f) { return f.rule != rule; });
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
        for (int rule = 0; rule < LintFinding::RuleCount; ++rule) {
            if (!LintFixes::canFix(rule))
                continue;
            MapDocument md;
            md.adopt(start.deepCopy());
            const Document &doc = md.document();
            MapLint lint;
            lint.scan(doc);
            const QList<LintFinding> named = lint.findings(doc, rule);
            QStringList done;
            const LintFixes::Result r = LintFixes::fixAll(md, lint, rule, &done);
            QVERIFY2(r.ok, qPrintable(r.message));
            for (const Triple &t : plainLint(doc))
                QVERIFY2(std::get<0>(t) != rule, qPrintable(QString::fromLatin1(LintFinding::ruleName(rule))));
            const PlainMap before(start);
            QSet<QPoint> plots;
            for (const LintFinding &f : named)
                plots << QPoint(f.x, f.y);
            for (int x = 0; x < before.cols; ++x)
                for (int y = 0; y < before.rows; ++y) {
                    const QByteArray want = plots.contains(QPoint(x, y)) && rule != LintFinding::StartApartFromSettler
                        ? plainFix(before, rule, x, y, before.text(x, y))
                        : before.text(x, y);
                    QCOMPARE(doc.PlotTexts.text(x, doc.fileY(y)), want);
                }
            const QMap<int, QPoint> settlers = before.firstSettlers();
            for (int slot = 0; slot < doc.PlayerTexts.size(); ++slot) {
                const bool moved = rule == LintFinding::StartApartFromSettler && settlers.contains(slot)
                    && MapMarks::startOf(start.PlayerTexts[slot])
                    && MapMarks::startOf(start.PlayerTexts[slot]) != settlers[slot];
                QCOMPARE(doc.PlayerTexts[slot], moved ? QStringLiteral("Team=%1\r\nStartingX=%2, StartingY=%3")
                                                            .arg(slot).arg(settlers[slot].x()).arg(settlers[slot].y())
                                                            .toLatin1()
                                                      : start.PlayerTexts[slot]);
            }
            QCOMPARE(done.size(), r.plots);
            fixed[rule] += r.plots;
            if (r.plots) {
                QCOMPARE(md.undoStack()->count(), 1);
                QVERIFY(md.undoStack()->text(0).startsWith(QStringLiteral("Fix all ")
                                                           + QString::fromLatin1(LintFinding::ruleName(rule))));
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
    // A crafted plot breaking the rule, one that just passes, on the map's
    // edges and round its wrapped ones; what the report tells of the rule,
    // and the breaking plot after its fix ("" for a rule without one).
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("wrap");
    QTest::addColumn<QStringList>("plots");
    QTest::addColumn<QStringList>("players");
    QTest::addColumn<QByteArray>("told");
    QTest::addColumn<QByteArray>("fixed");

    const QStringList flood = {"0,1:TerrainType=TERRAIN_DESERT|PlotType=2|FeatureType=FEATURE_FLOOD_PLAINS",
                               "2,1:TerrainType=TERRAIN_GRASS|PlotType=2|isWOfRiver|RiverNSDirection=2",
                               "1,2:TerrainType=TERRAIN_DESERT|PlotType=1|FeatureType=FEATURE_FLOOD_PLAINS, FeatureVariety=0",
                               "1,0:TerrainType=TERRAIN_GRASS|PlotType=2|isNOfRiver",
                               // A river that ends at the plot's corner touches it.
                               "2,2:TerrainType=TERRAIN_DESERT|PlotType=2|FeatureType=FEATURE_FLOOD_PLAINS"};
    QTest::newRow("floodplains, river across the wrapped edge")
        << "floodplains-off-river" << QSize(3, 3) << "xy" << flood << QStringList()
        << QByteArray() << QByteArray();
    QTest::newRow("floodplains, no wrap") << "floodplains-off-river" << QSize(3, 3) << "" << flood << QStringList()
        << QByteArray("0,1: floodplains-off-river: floodplains (FEATURE_FLOOD_PLAINS) with no river along its sides or corners\n"
                      "1,2: floodplains-off-river: floodplains (FEATURE_FLOOD_PLAINS) with no river along its sides or corners\n")
        << QByteArray("TerrainType=TERRAIN_DESERT\r\nPlotType=2");

    const QStringList features = {"0,0:TerrainType=TERRAIN_TUNDRA|PlotType=1|FeatureType=FEATURE_ICE",
                                  "1,1:TerrainType=TERRAIN_TUNDRA|PlotType=1|FeatureType=FEATURE_ICE|BonusType=BONUS_DEER",
                                  "2,1:TerrainType=TERRAIN_OCEAN|PlotType=3|FeatureType=FEATURE_ICE",
                                  "0,2:TerrainType=TERRAIN_GRASS|PlotType=0|FeatureType=FEATURE_JUNGLE",
                                  "1,2:TerrainType=TERRAIN_GRASS|PlotType=1|FeatureType=FEATURE_JUNGLE",
                                  "2,2:TerrainType=TERRAIN_PLAINS|PlotType=2|featuretype=FEATURE_OASIS",
                                  "2,0:TerrainType=TERRAIN_DESERT|PlotType=2|FeatureType=FEATURE_OASIS"};
    QTest::newRow("features, polar rows") << "feature-on-wrong-terrain" << QSize(3, 3) << "x" << features << QStringList()
        << QByteArray("0,2: feature-on-wrong-terrain: FEATURE_JUNGLE on a peak (PlotType 0)\n"
                      "1,1: feature-on-wrong-terrain: FEATURE_ICE on land outside the polar rows\n"
                      "2,2: feature-on-wrong-terrain: FEATURE_OASIS off desert (terrain TERRAIN_PLAINS)\n")
        << QByteArray("TerrainType=TERRAIN_GRASS\r\nPlotType=0");
    QTest::newRow("features, no poles round a wrapped y") << "feature-on-wrong-terrain" << QSize(3, 3) << "y"
        << features.mid(0, 3) << QStringList()
        << QByteArray("0,0: feature-on-wrong-terrain: FEATURE_ICE on land outside the polar rows\n"
                      "1,1: feature-on-wrong-terrain: FEATURE_ICE on land outside the polar rows\n")
        << QByteArray("TerrainType=TERRAIN_TUNDRA\r\nPlotType=1");
    QTest::newRow("peak with another feature") << "peak-with-feature" << QSize(2, 1) << ""
        << QStringList{"0,0:TerrainType=TERRAIN_GRASS|PlotType=0|FeatureType=FEATURE_FALLOUT|FeatureType=FEATURE_FOREST",
                       "1,0:TerrainType=TERRAIN_GRASS|PlotType=0|FeatureType=FEATURE_FOREST"}
        << QStringList() << QByteArray("0,0: peak-with-feature: a peak (PlotType 0) with FeatureType FEATURE_FALLOUT\n")
        << QByteArray("TerrainType=TERRAIN_GRASS\r\nPlotType=0\r\nFeatureType=FEATURE_FOREST");

    QTest::newRow("resources") << "bonus-on-wrong-plot" << QSize(4, 2) << "x"
        << QStringList{"0,0:TerrainType=TERRAIN_GRASS|PlotType=0|BonusType=BONUS_CRAB",
                       "1,0:TerrainType=TERRAIN_GRASS|PlotType=1|BonusType=BONUS_CLAM, 2",
                       "2,0:TerrainType=TERRAIN_COAST|PlotType=3|BonusType=BONUS_CRAB",
                       "3,0:TerrainType=TERRAIN_OCEAN|PlotType=3|BonusType=BONUS_IRON",
                       "0,1:TerrainType=TERRAIN_OCEAN|PlotType=3|BonusType=BONUS_OIL",
                       "1,1:TerrainType=TERRAIN_GRASS|PlotType=2|BonusType=BONUS_IRON"}
        << QStringList()
        << QByteArray("0,0: bonus-on-wrong-plot: resource BONUS_CRAB on a peak (PlotType 0)\n"
                      "1,0: bonus-on-wrong-plot: water resource BONUS_CLAM on a land plot (PlotType 1)\n"
                      "3,0: bonus-on-wrong-plot: land resource BONUS_IRON on a water plot (PlotType 3)\n")
        << QByteArray("TerrainType=TERRAIN_GRASS\r\nPlotType=0");

    const QByteArray water = "TerrainType=TERRAIN_OCEAN|PlotType=3|";
    QTest::newRow("units on water, land across the wrapped edge") << "unit-on-water" << QSize(12, 1) << "x"
        << QStringList{"0,0:" + water + "BeginUnit|UnitType=UNIT_SETTLER, UnitOwner=2|EndUnit|BeginUnit|UnitType=UNIT_SCOUT|EndUnit",
                       "1,0:" + water + "BeginUnit|UnitType=UNIT_GALLEY, UnitOwner=1|EndUnit",
                       "2,0:TerrainType=TERRAIN_GRASS|PlotType=0", "3,0:" + water, "4,0:" + water, "5,0:" + water,
                       "6,0:" + water, "7,0:" + water, "8,0:" + water, "9,0:" + water, "10,0:" + water,
                       "11,0:TerrainType=TERRAIN_GRASS|PlotType=2|BeginUnit|UnitType=UNIT_WARRIOR|EndUnit"}
        << QStringList()
        << QByteArray("0,0: unit-on-water: land units UNIT_SETTLER of player 2 and UNIT_SCOUT on a water plot "
                      "(PlotType 3); the nearest land plot is 11,0\n")
        << QByteArray();
    QStringList sea = {"0,0:" + water + "BeginUnit|UnitType=UNIT_WORKER, UnitOwner=0|EndUnit"};
    for (int x = 1; x < 12; ++x)
        sea << QStringLiteral("%1,0:").arg(x) + water;
    QTest::newRow("units on water, no land near") << "unit-on-water" << QSize(12, 1) << "" << sea << QStringList()
        << QByteArray("0,0: unit-on-water: a land unit UNIT_WORKER of player 0 on a water plot (PlotType 3); "
                      "no land plot within 10 plots\n")
        << QByteArray();

    QTest::newRow("unclosed units") << "unit-not-closed" << QSize(3, 1) << ""
        << QStringList{"0,0:PlotType=2|BeginUnit|UnitType=UNIT_SCOUT, UnitOwner=1|Damage=0",
                       "1,0:PlotType=2|BeginUnit|UnitType=UNIT_SCOUT|EndUnit", "2,0:BeginUnit"}
        << QStringList()
        << QByteArray("0,0: unit-not-closed: a unit (UNIT_SCOUT) without \"EndUnit\": it runs to the plot's end\n"
                      "2,0: unit-not-closed: a unit (no UnitType) without \"EndUnit\": it runs to the plot's end\n")
        << QByteArray("PlotType=2\r\nBeginUnit\r\nUnitType=UNIT_SCOUT, UnitOwner=1\r\nDamage=0\r\nEndUnit");

    const QByteArray settler = "BeginUnit|UnitType=UNIT_SETTLER, UnitOwner=";
    QTest::newRow("stale starts") << "start-apart-from-settler" << QSize(4, 3) << "x"
        << QStringList{"3,0:PlotType=2|" + settler + "0|EndUnit", "1,2:PlotType=2|" + settler + "0|EndUnit",
                       "1,1:PlotType=2|" + settler + "1|EndUnit"}
        << QStringList{"Team=0\r\nStartingX=3, StartingY=0", "Team=1\r\nStartingX=1, StartingY=1",
                       "Team=2\r\nStartingX=3, StartingY=0", "StartingX=0, StartingY=0"}
        << QByteArray("3,0: start-apart-from-settler: player 0 starts away from its settler at 1,2\n")
        << QByteArray("Team=0\r\nStartingX=1, StartingY=2");
}

void TestMapLint::findingsTold()
{
    QFETCH(QString, rule);
    QFETCH(QSize, size);
    QFETCH(QString, wrap);
    QFETCH(QStringList, plots);
    QFETCH(QStringList, players);
    QFETCH(QByteArray, told);
    QFETCH(QByteArray, fixed);
    const int r = LintFinding::ruleNamed(rule.toLatin1());
    MapDocument md;
    md.adopt(craftedMap(size, wrap, plots, players));
    MapLint lint;
    lint.scan(md.document());
    QCOMPARE(MapLint::text(lint.findings(md.document(), r)), told);
    QCOMPARE(MapLint::text(lint.findings(md.document(), r, 1)), told.left(told.indexOf('\n') + 1));
    if (told.isEmpty())
        return;
    const LintFinding first = lint.findings(md.document(), r, 1).value(0);
    const Document before = md.document().deepCopy();
    QCOMPARE(LintFixes::canFix(r), !fixed.isEmpty());
    if (fixed.isEmpty())
        return;
    // Fix: that finding alone, one step named after the rule.
    QStringList done;
    QVERIFY(LintFixes::fixOne(md, first, &done).ok);
    QCOMPARE(md.undoStack()->text(0), QStringLiteral("Fix %1 at %2,%3").arg(rule).arg(first.x).arg(first.y));
    QCOMPARE(done.size(), 1);
    QVERIFY(done[0].startsWith(QStringLiteral("%1,%2: %3: ").arg(first.x).arg(first.y).arg(rule)));
    const Document &doc = md.document();
    QCOMPARE(r == LintFinding::StartApartFromSettler ? doc.PlayerTexts[first.players[0]]
                                                     : doc.PlotTexts.text(first.x, doc.fileY(first.y)),
             fixed);
    int changed = 0;
    for (int col = 0; col < size.width(); ++col)
        for (int row = 0; row < size.height(); ++row)
            changed += doc.PlotTexts.view(col, row) != before.PlotTexts.view(col, row);
    for (int slot = 0; slot < doc.PlayerTexts.size(); ++slot)
        changed += doc.PlayerTexts[slot] != before.PlayerTexts[slot];
    QCOMPARE(changed, 1);
}

void TestMapLint::reportGroupsManyFindings()
{
    // 20 x 10 empty plots: each rule's 200 findings are one line unless all are asked for.
    Document doc;
    doc.ResetDocument(20, 10);
    doc.PlayerTexts[0] = "StartingX=25, StartingY=3";
    MapLint lint;
    lint.scan(doc);
    const auto report = [&](MapLint::Format format, bool all) {
        QByteArray out;
        lint.write(doc, format, all, [&out](QByteArrayView piece) { out += piece; });
        return out;
    };
    QCOMPARE(report(MapLint::Format::Text, false),
             "no-terrain: 200 plots, first at 0,0\nno-plot-type: 200 plots, first at 0,0\n"
             "25,3: start-off-map: player 0 starts outside the 20 x 10 map\n");
    QCOMPARE(report(MapLint::Format::Json, false),
             "[{\"x\":0,\"y\":0,\"rule\":\"no-terrain\",\"message\":\"200 plots, first at 0,0\",\"plots\":200},"
             "{\"x\":0,\"y\":0,\"rule\":\"no-plot-type\",\"message\":\"200 plots, first at 0,0\",\"plots\":200},"
             "{\"x\":25,\"y\":3,\"rule\":\"start-off-map\",\"message\":\"player 0 starts outside the 20 x 10 map\"}]\n");
    const QByteArray all = report(MapLint::Format::Text, true);
    QCOMPARE(all, MapLint::text(lint.findings(doc)));
    QCOMPARE(all.count('\n'), 401);
    QVERIFY(all.startsWith("0,0: no-terrain: no \"TerrainType=\" line\n0,1: no-terrain"));
    QCOMPARE(lint.total(), 401);
    QCOMPARE(lint.plotsOf(LintFinding::NoTerrain).size(), std::size_t(200));
    // The grouping's numbers are written as people read them.
    doc.ResetDocument(1000, 1001);
    lint.scan(doc);
    QVERIFY(report(MapLint::Format::Text, false).startsWith("no-terrain: 1,001,000 plots, first at 0,0\n"));
}

void TestMapLint::startsFromSettlersOnMultiplayerMaps()
{
    // Every start line of the 9-player map is stale, half of the others'.
    const QList<std::pair<QString, int>> maps = {{"multiplayer-9-52x52", 9}, {"multiplayer-12-teams-64x48", 6},
                                                 {"multiplayer-18-84x52", 17}};
    for (const auto &[name, stale] : maps) {
        MapDocument md;
        QVERIFY(md.load(QStringLiteral(VOR4_FIXTURES_DIR "/") + name + QStringLiteral(".Vor4WorldBuilderSave")).ok());
        const Document before = md.document().deepCopy();
        const QList<Triple> found = plainLint(before);
        QCOMPARE(std::count_if(found.begin(), found.end(),
                               [](const Triple &t) { return std::get<0>(t) == LintFinding::StartApartFromSettler; }),
                 stale);
        const LintFixes::Result r = LintFixes::startsFromSettlers(md);
        QCOMPARE(r.plots, stale);
        QCOMPARE(r.message, QStringLiteral("Starts from settlers: %1 players changed").arg(stale));
        QCOMPARE(md.undoStack()->count(), 1);
        // Nothing stale is left, and nothing else changed.
        const QList<Triple> after = plainLint(md.document());
        QCOMPARE(std::count_if(after.begin(), after.end(),
                               [](const Triple &t) { return std::get<0>(t) == LintFinding::StartApartFromSettler; }),
                 0);
        const auto plotFindings = [](QList<Triple> list) {
            list.removeIf([](const Triple &t) { return LintFinding::isStartRule(std::get<0>(t)); });
            return list;
        };
        QCOMPARE(plotFindings(after), plotFindings(found));
        const QMap<int, QPoint> settlers = PlainMap(before).firstSettlers();
        for (int slot = 0; slot < before.PlayerTexts.size(); ++slot)
            QCOMPARE(MapMarks::startOf(md.document().PlayerTexts[slot]),
                     settlers.contains(slot) ? std::optional(settlers[slot]) : MapMarks::startOf(before.PlayerTexts[slot]));
        QCOMPARE(LintFixes::startsFromSettlers(md).plots, 0);
        md.undoStack()->undo();
        QCOMPARE(md.document().PlayerTexts, before.PlayerTexts);
    }
}

QTEST_GUILESS_MAIN(TestMapLint)
#include "tst_maplint.moc"
