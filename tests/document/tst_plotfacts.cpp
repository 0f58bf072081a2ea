// The one reading of a plot's rivers and units and of a player's start,
// and the check and the transforms agreeing on which start line counts.

#include "MapCheck.h"
#include "MapMarks.h"
#include "PlotFacts.h"

#include <QtTest>

using namespace vor4;

class TestPlotFacts : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rivers();
    void units();
    void starts_data();
    void starts();
};

void TestPlotFacts::rivers()
{
    const PlotFacts::Rivers r = PlotFacts::riversOf("A=1\r\n  ISNOFRIVER \r\nriverwedirection = 3\r\n"
                                                    "RiverWEDirection=1\r\nisWOfRiver=1\r\nXRiverNSDirection=2");
    QVERIFY(r.southEdge);
    QVERIFY(!r.eastEdge); // "isWOfRiver=1" is not the flag alone
    QCOMPARE(r.weDirection, QByteArray("3"));
    QCOMPARE(r.nsDirection, std::nullopt);
    QCOMPARE(PlotFacts::withoutRiver("RiverWEDirection=1\r\nA=1\r\nisNOfRiver\r\nRiverNSDirection=0",
                                     PlotFacts::SouthEdge),
             QByteArray("A=1\r\nRiverNSDirection=0"));
    QCOMPARE(PlotFacts::withRiversInFront("A=1", QByteArray("1"), QByteArray("2"), true, true),
             QByteArray("RiverNSDirection=2\r\nisNOfRiver\r\nRiverWEDirection=1\r\nisWOfRiver\r\nA=1"));
    QCOMPARE(PlotFacts::compass(" 3 "), 3);
    QCOMPARE(PlotFacts::compass("-1"), std::nullopt);
}

void TestPlotFacts::units()
{
    const QByteArray text = "A=1\r\nBeginUnit\r\n\tUnitType=UNIT_SETTLER, UnitOwner=4\r\n\tDamage=0\r\nEndUnit\r\n"
                            "BeginCity\r\nEndCity\r\nbeginunit\r\nUnitOwner=x\r\nendunit\r\nBeginUnit\r\nUnitType=U";
    const QList<PlotFacts::Unit> units = PlotFacts::unitsOf(text);
    QCOMPARE(units.size(), 2); // the last is never closed
    QCOMPARE(units[0].type, QByteArray("UNIT_SETTLER"));
    QCOMPARE(units[0].owner, 4);
    QCOMPARE(units[1].type, QByteArray());
    QCOMPARE(units[1].owner, -1);
    QList<QByteArray> lines;
    QCOMPARE(PlotFacts::withoutUnits(text, &lines), QByteArray("A=1\r\nBeginCity\r\nEndCity\r\nBeginUnit\r\nUnitType=U"));
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines[1], QByteArray("\tUnitType=UNIT_SETTLER, UnitOwner=4"));
}

void TestPlotFacts::starts_data()
{
    QTest::addColumn<QByteArray>("player");
    QTest::addColumn<int>("x"); // -99: no start
    QTest::addColumn<int>("y");
    QTest::addColumn<bool>("warned"); // outside a 10 x 10 map
    QTest::newRow("written") << QByteArray("StartingX=3, StartingY=4") << 3 << 4 << false;
    QTest::newRow("first line counts") << QByteArray("StartingX=3, StartingY=4\r\nStartingX=30, StartingY=4") << 3
                                       << 4 << false;
    QTest::newRow("outside") << QByteArray("Name=A\r\nstartingx= 12 ,StartingY=-3, X=1") << 12 << -3 << true;
    // Keys on two lines are no start line, for the check as for the rest.
    QTest::newRow("two lines") << QByteArray("StartingX=30\r\nStartingY=3") << -99 << -99 << false;
    QTest::newRow("not a number") << QByteArray("StartingX=3a, StartingY=40") << -99 << -99 << true;
}

void TestPlotFacts::starts()
{
    QFETCH(QByteArray, player);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(bool, warned);
    const std::optional<QPoint> start = x == -99 ? std::nullopt : std::optional<QPoint>(QPoint(x, y));
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
