// The map lint against a plain per-plot reading on generated small maps,
// whole and after edits of some plots.

#include "Document.h"
#include "MapLint.h"
#include "MapMarks.h"
#include "PlotFacts.h"

#include <QRandomGenerator>
#include <set>
#include <QtTest>

using namespace vor4;

namespace {

const char *const Lines[] = {"TerrainType=TERRAIN_GRASS", "TerrainType=TERRAIN_OCEAN", " terraintype=TERRAIN_COAST , 1",
                             "PlotType=3", "PlotType=0", "PLOTTYPE= 1", "XPlotType=3", "PlotType =3",
                             "FeatureType=FEATURE_FOREST, FeatureVariety=0", "BonusType=BONUS_IRON",
                             "ImprovementType=IMPROVEMENT_MINE", "isNOfRiver", " ISWOFRIVER", "RiverWEDirection=1",
                             "TerrainType=TERRAIN_GRASS PlotType=3", "BeginUnit", "UnitType=UNIT_SETTLER, UnitOwner=1",
                             "UnitType=unit_settler, UnitOwner=0", "UnitType=UNIT_SETTLER_X, UnitOwner=3", "UnitType=UNIT_SCOUT, UnitOwner=2", "EndUnit"};

using Triple = std::tuple<int, int, int>; // rule, x, y

// Every finding, read line by line in the plainest way.
QList<Triple> plainLint(const Document &doc)
{
    std::set<Triple> found;
    const int cols = doc.columnCount(), rows = doc.rowCount();
    QHash<int, QSet<QPoint>> settlers;
    QHash<QPoint, QByteArray> plotTypes;
    for (int x = 0; x < cols; ++x) {
        for (int y = 0; y < rows; ++y) {
            QMap<QByteArray, QList<QByteArray>> values;
            bool river = false;
            for (const QByteArray &line : doc.PlotTexts.text(x, rows - 1 - y).split('\n')) {
                const QByteArray lower = line.trimmed().toLower();
                river = river || lower == "isnofriver" || lower == "iswofriver";
                for (const QByteArray key : {"terraintype=", "plottype=", "featuretype=", "bonustype=", "improvementtype="})
                    if (lower.contains(key))
                        values[key] << line.mid(line.indexOf('=') + 1).split(',')[0].trimmed();
            }
            const auto rule = [&](bool when, int r) { if (when) found.insert({r, x, y}); };
            const QList<QByteArray> terrain = values["terraintype="], type = values["plottype="];
            rule(terrain.isEmpty(), LintFinding::NoTerrain);
            rule(type.isEmpty(), LintFinding::NoPlotType);
            rule(!terrain.isEmpty() && !type.isEmpty()
                     && (terrain[0] == "TERRAIN_OCEAN" || terrain[0] == "TERRAIN_COAST") != (type[0] == "3"),
                 LintFinding::WaterMismatch);
            for (const QList<QByteArray> &v : std::as_const(values))
                rule(v.size() > 1, LintFinding::DuplicateKey);
            rule(type.value(0) == "0" && !values["featuretype="].isEmpty(), LintFinding::PeakWithFeature);
            rule(type.value(0) == "3" && river, LintFinding::RiverOnWater);
            plotTypes[QPoint(x, y)] = type.value(0, "none");
            for (const PlotFacts::Unit &unit : PlotFacts::unitsOf(doc.PlotTexts.view(x, rows - 1 - y)))
                if (unit.type.toUpper().contains("SETTLER"))
                    settlers[unit.owner] << QPoint(x, y);
        }
    }
    for (int slot = 0; slot < doc.PlayerTexts.size(); ++slot) {
        const std::optional<QPoint> at = MapMarks::startOf(doc.PlayerTexts[slot]);
        if (!at)
            continue;
        const auto rule = [&](bool when, int r) { if (when) found.insert({r, at->x(), at->y()}); };
        const bool onMap = plotTypes.contains(*at);
        rule(!onMap, LintFinding::StartOffMap);
        rule(plotTypes.value(*at) == "3", LintFinding::StartOnWater);
        rule(plotTypes.value(*at) == "0", LintFinding::StartOnPeak);
        for (int other = 0; other < slot; ++other)
            rule(onMap && MapMarks::startOf(doc.PlayerTexts[other]) == at, LintFinding::StartShared);
        rule(settlers.contains(slot) && !settlers[slot].contains(*at), LintFinding::StartApartFromSettler);
    }
    for (const QByteArray &sign : doc.SignTexts)
        if (const std::optional<QPoint> at = MapMarks::signPlot(sign); at && !plotTypes.contains(*at))
            found.insert({LintFinding::SignOffMap, at->x(), at->y()});
    return QList<Triple>(found.begin(), found.end()); // sorted as the report is
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

} // namespace

class TestMapLint : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void againstPlainReading();
};

void TestMapLint::againstPlainReading()
{
    QRandomGenerator random(24);
    QSet<int> rulesSeen;
    for (int round = 0; round < 300; ++round) {
        Document doc;
        // The first map is big enough to be read in two halves at once.
        doc.ResetDocument(round ? 1 + random.bounded(6) : 320, round ? 1 + random.bounded(6) : 210);
        const int cols = doc.columnCount(), rows = doc.rowCount();
        fill(doc, QRect(0, 0, cols, rows), random);
        const auto coordinate = [&](int size) { return random.bounded(-1, size + 1); };
        for (int slot = 0; slot < 4; ++slot)
            if (random.bounded(4))
                doc.PlayerTexts[slot] = QStringLiteral("Team=%1\r\nStartingX=%2, StartingY=%3")
                                            .arg(slot).arg(coordinate(cols)).arg(coordinate(rows)).toLatin1();
        for (int n = random.bounded(3); n > 0; --n)
            doc.SignTexts << QStringLiteral("plotX=%1\r\nplotY=%2\r\ncaption=S").arg(coordinate(cols)).arg(coordinate(rows)).toLatin1();

        MapLint lint;
        lint.scan(doc);
        QCOMPARE(triples(lint.findings()), plainLint(doc));
        for (const LintFinding &f : lint.findings())
            rulesSeen << f.rule;

        // An edit of some plots, rescanned alone.
        const QRect area(random.bounded(cols), random.bounded(rows), 1 + random.bounded(3), 1 + random.bounded(3));
        fill(doc, area, random);
        lint.rescan(doc, {area});
        QCOMPARE(triples(lint.findings()), plainLint(doc));
    }
    QCOMPARE(rulesSeen.size(), int(LintFinding::RuleCount));
}

QTEST_GUILESS_MAIN(TestMapLint)
#include "tst_maplint.moc"
