// The one reading of a plot's values, rivers and units and of a player's
// start: the painter, the minimap and the statistics agreeing on a plot's
// values, the check and the transforms on which start line counts.

#include "MapCheck.h"
#include "MapMarks.h"
#include "PlotClass.h"
#include "PlotFacts.h"
#include "PlotStatistics.h"

#include <QtTest>

using namespace vor4;

class TestPlotFacts : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void values_data();
    void values();
    void riversAndUnits();
    void starts_data();
    void starts();
};

void TestPlotFacts::values_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("first"); // of "TerrainType", "-" for none
    QTest::addColumn<QByteArray>("last");
    QTest::newRow("none") << QByteArray("PlotType=3\r\nTerrain=X") << QByteArray("-") << QByteArray("-");
    QTest::newRow("two lines") << QByteArray("terraintype=TERRAIN_GRASS\rTerrainType=TERRAIN_SNOW\r\n")
                               << QByteArray("TERRAIN_GRASS") << QByteArray("TERRAIN_SNOW");
    QTest::newRow("after another key") << QByteArray("Foo=1, XTerrainType=TERRAIN_COAST ,b\nA=1")
                                       << QByteArray("1, XTerrainType=TERRAIN_COAST ,b") << QByteArray("1, XTerrainType=TERRAIN_COAST ,b");
    QTest::newRow("blank before =") << QByteArray("TerrainType =X\nTerrainType=") << QByteArray("") << QByteArray("");
}

void TestPlotFacts::values()
{
    // The grid paints the last terrain line, the minimap the first; the
    // statistics count the first, cut at ",".
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, last);
    const auto shown = [](std::optional<QByteArrayView> v) { return v ? v->toByteArray() : QByteArray("-"); };
    QCOMPARE(shown(PlotFacts::firstValue(text, "TerrainType")), first);
    QCOMPARE(shown(PlotFacts::lastValue(text, "terraintype")), last);
    QCOMPARE(firstTerrainIndex(text), first == "-" ? -1 : terrainIndex(first));
    QCOMPARE(int(classifyPlot(text).terrain), last == "-" ? -1 : terrainIndex(last));
    const auto counted = PlotStatistics::valuesOf(text)[PlotStatistics::Terrain];
    QCOMPARE(shown(counted), first == "-" ? first : PlotFacts::field(first).toByteArray());
}

void TestPlotFacts::riversAndUnits()
{
    // A flag with a value is no flag, the first flow counts, a longer key is another key (the rest: tst_transforms).
    const PlotFacts::Rivers r = PlotFacts::riversOf("A=1\r\n  ISNOFRIVER \r\nriverwedirection = 3\r\n"
                                                    "RiverWEDirection=1\r\nisWOfRiver=1\r\nXRiverNSDirection=2");
    QVERIFY(r.southEdge && !r.eastEdge && r.weDirection == "3" && !r.nsDirection);

    const QByteArray text = "A=1\r\nBeginUnit\r\n\tUnitType=UNIT_SETTLER, UnitOwner=4\r\n\tDamage=0\r\nEndUnit\r\n"
                            "BeginCity\r\nEndCity\r\nbeginunit\r\nUnitOwner=x\r\nendunit\r\nBeginUnit\r\nUnitType=U";
    const QList<PlotFacts::Unit> units = PlotFacts::unitsOf(text);
    QCOMPARE(units.size(), 2); // the last is never closed
    QVERIFY(units[0].type == "UNIT_SETTLER" && units[0].owner == 4 && units[1].type.isEmpty() && units[1].owner == -1);
    QList<QByteArray> lines;
    QCOMPARE(PlotFacts::withoutUnits(text, &lines), QByteArray("A=1\r\nBeginCity\r\nEndCity\r\nBeginUnit\r\nUnitType=U"));
    QCOMPARE(lines.join('|'), "BeginUnit|\tUnitType=UNIT_SETTLER, UnitOwner=4|\tDamage=0|EndUnit|beginunit|UnitOwner=x|endunit");
}

void TestPlotFacts::starts_data()
{
    QTest::addColumn<QByteArray>("player");
    QTest::addColumn<QPoint>("at"); // (-1, -1): no start
    QTest::addColumn<bool>("warned"); // outside a 10 x 10 map
    QTest::newRow("written") << QByteArray("StartingX=3, StartingY=4") << QPoint(3, 4) << false;
    QTest::newRow("first line counts") << QByteArray("StartingX=3, StartingY=4\r\nStartingX=30, StartingY=4") << QPoint(3, 4) << false;
    QTest::newRow("first with both keys") << QByteArray("StartingX=40\r\nStartingX=3, StartingY=4\r\nStartingY=-1") << QPoint(3, 4) << false;
    QTest::newRow("outside") << QByteArray("Name=A\r\nstartingx= 12 ,StartingY=-3, X=1") << QPoint(12, -3) << true;
    // Keys on two lines are no start line, for the check as for the rest.
    QTest::newRow("two lines") << QByteArray("StartingX=30\r\nStartingY=3") << QPoint(-1, -1) << false;
    QTest::newRow("not a number") << QByteArray("StartingX=3a, StartingY=40") << QPoint(-1, -1) << true;
}

void TestPlotFacts::starts()
{
    QFETCH(QByteArray, player);
    QFETCH(QPoint, at);
    QFETCH(bool, warned);
    const std::optional<QPoint> start = at == QPoint(-1, -1) ? std::nullopt : std::optional<QPoint>(at);
    QCOMPARE(PlotFacts::startOf(player).plot(), start);
    QCOMPARE(MapMarks::startOf(player), start);
    Document doc;
    doc.ResetDocument(10, 10);
    doc.PlayerTexts[0] = player;
    QCOMPARE(mapWarnings(doc, LoadStats()).size(), warned ? 1 : 0);
    // Rewritten in place, or added at the end.
    QCOMPARE(PlotFacts::withStart(player, QPoint(1, 2)).count("StartingX=1, StartingY=2"), 1);
    QCOMPARE(PlotFacts::withStart("Name=A", QPoint(1, 2)), QByteArray("Name=A\r\nStartingX=1, StartingY=2"));
}

QTEST_GUILESS_MAIN(TestPlotFacts)
#include "tst_plotfacts.moc"
