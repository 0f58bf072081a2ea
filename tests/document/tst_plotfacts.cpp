// One reading of a plot's values, rivers and units and of a player's start, shared by every reader.

#include "MapCheck.h"
#include "MapMarks.h"
#include "PlotClass.h"
#include "PlotFacts.h"
#include "PlotStatistics.h"

#include <QtTest>
#include <map>

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
    void ownersAndTeamsRewritten_data();
    void ownersAndTeamsRewritten();
};

void TestPlotFacts::values_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("first"); // of "TerrainType", "-" for none
    QTest::addColumn<QByteArray>("last");
    const auto row = [](const char *name, QByteArray text, QByteArray first, QByteArray last) {
        QTest::newRow(name) << text << first << last;
    };
    row("none", "PlotType=3\r\nTerrain=X", "-", "-");
    row("two lines", "terraintype=TERRAIN_GRASS\rTerrainType=TERRAIN_SNOW\r\n", "TERRAIN_GRASS", "TERRAIN_SNOW");
    const QByteArray inFoo("1, XTerrainType=TERRAIN_COAST ,b");
    row("after another key", "Foo=" + inFoo + "\nA=1", inFoo, inFoo);
    row("blank before =", "TerrainType =X\nTerrainType=", "", "");
}

void TestPlotFacts::values()
{
    // Every picture shows the last terrain line; the statistics (cut at ",") count the first.
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, last);
    const auto shown = [](std::optional<QByteArrayView> v) { return v ? v->toByteArray() : QByteArray("-"); };
    QCOMPARE(shown(PlotFacts::firstValue(text, "TerrainType")), first);
    QCOMPARE(shown(PlotFacts::lastValue(text, "terraintype")), last);
    QCOMPARE(int(classifyPlot(text).terrain), last == "-" ? -1 : terrainIndex(last));
    QCOMPARE(int(classifyGround(text).terrain), last == "-" ? -1 : terrainIndex(last));
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
    QCOMPARE(units.size(), 3); // the last is never closed: it runs to the plot's end
    QVERIFY(units[0].type == "UNIT_SETTLER" && units[0].owner == 4 && units[1].type.isEmpty() && units[1].owner == -1);
    QVERIFY(units[0].closed && units[1].closed && !units[2].closed && units[2].type == "U");
    QCOMPARE(std::pair(units[2].firstLine, units[2].lastLine), std::pair(qsizetype(10), qsizetype(11)));
    QList<QByteArray> lines;
    QCOMPARE(PlotFacts::withoutUnits(text, &lines), QByteArray("A=1\r\nBeginCity\r\nEndCity"));
    QCOMPARE(lines.join('|'), "BeginUnit|\tUnitType=UNIT_SETTLER, UnitOwner=4|\tDamage=0|EndUnit|beginunit|UnitOwner=x|endunit"
                              "|BeginUnit|UnitType=U");
}

void TestPlotFacts::starts_data()
{
    QTest::addColumn<QByteArray>("player");
    QTest::addColumn<QPoint>("at"); // (-1, -1): no start
    QTest::addColumn<bool>("warned"); // by the check of a 10 x 10 map
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
    QCOMPARE(PlotFacts::withStart(player, QPoint(1, 2)).count("StartingX=1, StartingY=2"), 1); // in place or added
    QCOMPARE(PlotFacts::withStart("Name=A", QPoint(1, 2)), QByteArray("Name=A\r\nStartingX=1, StartingY=2"));
}

QTEST_GUILESS_MAIN(TestPlotFacts)
#include "tst_plotfacts.moc"

void TestPlotFacts::ownersAndTeamsRewritten_data()
{
    // Owners and teams swapped as 1 <-> 2, 5 left out (nothing); team 9
    // added; the text as it comes out. (Many more: tst_symmetry.)
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("owners");
    QTest::addColumn<QByteArray>("teams");
    QTest::addColumn<QByteArray>("leftOut"); // owned lines that went, joined by "|"
    QTest::newRow("last block left out") << QByteArray("A=1\r\nBeginUnit\r\nUnitOwner=5\r\nEndUnit")
                                         << QByteArray("A=1") << QByteArray("A=1\r\nBeginUnit\r\nUnitOwner=5\r\nEndUnit\r\nTeamReveal=9,")
                                         << QByteArray("BeginUnit|UnitOwner=5|EndUnit");
    QTest::newRow("first block left out") << QByteArray("BeginUnit\r\nUnitOwner=5\r\nEndUnit\r\nBeginUnit\r\nUnitOwner=3\r\nEndUnit")
                                          << QByteArray("BeginUnit\r\nUnitOwner=3\r\nEndUnit")
                                          << QByteArray("BeginUnit\r\nUnitOwner=5\r\nEndUnit\r\nBeginUnit\r\nUnitOwner=3\r\nEndUnit\r\n"
                                                        "TeamReveal=9,")
                                          << QByteArray("BeginUnit|UnitOwner=5|EndUnit");
    QTest::newRow("blanks") << QByteArray("teamreveal = 1 , 3,") << QByteArray("-") << QByteArray("TeamReveal=2,3,9,") << QByteArray();
    QTest::newRow("left without a team") << QByteArray("A=1\r\nTeamReveal=5,\r\nB=1\r\nTeamReveal=5,")
                                         << QByteArray("-") << QByteArray("A=1\r\nTeamReveal=9,\r\nB=1") << QByteArray();
    QTest::newRow("not numbers") << QByteArray("TeamReveal=a,1,") << QByteArray("-")
                                 << QByteArray("TeamReveal=a,1,\r\nTeamReveal=9,") << QByteArray();
    QTest::newRow("key further on") << QByteArray("XTeamReveal=1,\r\nName=TeamReveal=1,") << QByteArray("-")
                                    << QByteArray("XTeamReveal=1,\r\nName=TeamReveal=1,\r\nTeamReveal=9,") << QByteArray();
}

void TestPlotFacts::ownersAndTeamsRewritten()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, owners);
    QFETCH(QByteArray, teams);
    QFETCH(QByteArray, leftOut);
    const std::map<int, int> swap{{1, 2}, {2, 1}};
    const PlotFacts::NumberMap map = [&](int n) -> std::optional<int> {
        if (n == 5)
            return std::nullopt;
        return swap.count(n) ? swap.at(n) : n;
    };
    QList<QByteArray> out;
    QCOMPARE(PlotFacts::withOwners(text, map, &out), owners == "-" ? text : owners);
    QCOMPARE(out.join('|'), leftOut);
    QCOMPARE(PlotFacts::withRevealedTeams(text, map, {9}), teams == "-" ? text : teams);
    // The quick look finds what the readers read.
    const unsigned holds = PlotFacts::mayHold(text);
    QVERIFY(PlotFacts::ownedBlocksOf(text).isEmpty() || (holds & PlotFacts::MayNameOwners));
    QVERIFY(PlotFacts::revealedTeams(text).isEmpty() || (holds & PlotFacts::MayReveal));
}
