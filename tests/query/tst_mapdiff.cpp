// Comparing two documents: each part that can differ, against outputs
// written by hand; noise that reading removes shows nothing.

#include "MapDiff.h"

#include <QtTest>

using namespace vor4;

namespace {

// A 3 x 2 map; cell (col, row) is the file's plot (col, 1 - row).
Document base()
{
    Document d;
    d.ResetDocument(3, 2);
    d.GameLines = {"G1", "G2"};
    d.TeamTexts[0] = "TeamID=0\r\nTech=A";
    d.PlayerTexts[1] = "Team=1\r\nLeaderType=X";
    d.MapLines = {"world size=S"};
    d.SignTexts = {"plotX=1\r\nplotY=0\r\ncaption=Hi"};
    d.PlotTexts.setText(0, 0, "TerrainType=T_A\r\nPlotType=2");
    d.PlotTexts.setText(2, 1, "TerrainType=T_B");
    return d;
}

} // namespace

class TestMapDiff : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void sameAndNoise();
    void eachPart();
    void sizeChanges();
    void linesAreAligned();
    void counts();
};

void TestMapDiff::sameAndNoise()
{
    const Document a = base();
    QCOMPARE(MapDiff::text(a, a), QByteArray());
    QVERIFY(MapDiff::compare(a, a).same());

    // What the writer and reader remove: line ends, blanks around section
    // lines, a final line break.
    Document b = base();
    b.PlotTexts.setText(0, 0, "TerrainType=T_A\nPlotType=2\r\n");
    b.TeamTexts[0] = "  TeamID=0 \r\n\tTech=A\r";
    b.GameLines = {" G1", "G2\t"};
    b.SignTexts = {"\tplotX=1\nplotY=0\r\ncaption=Hi  "};
    QCOMPARE(MapDiff::text(a, b), QByteArray());
    const MapDiffStat stat = MapDiff::compare(a, b);
    QVERIFY(stat.same());
    QCOMPARE(stat.plotsChanged, 0);
}

void TestMapDiff::eachPart()
{
    const Document a = base();
    Document b = base();
    b.GameLines = {"G1", "G3", "G4"};
    QCOMPARE(MapDiff::text(a, b), QByteArray("@@ game\n-G2\n+G3\n+G4\n"));

    b = base();
    b.TeamTexts[0] = "TeamID=0\r\nTech=B\r\nTech=A";
    QCOMPARE(MapDiff::text(a, b), QByteArray("@@ team 0\n+Tech=B\n"));

    b = base();
    b.PlayerTexts[1] = "Team=1";
    b.PlayerTexts.append("Team=5"); // a map with more than 18 players
    QCOMPARE(MapDiff::text(a, b), QByteArray("@@ player 1\n-LeaderType=X\n@@ player 18\n+Team=5\n"));
    QCOMPARE(MapDiff::text(b, a), QByteArray("@@ player 1\n+LeaderType=X\n@@ player 18\n-Team=5\n"));

    b = base();
    b.Header.topLatitude = "30";
    b.Header.wrapY = 1;
    b.MapLines = {"world size=S", "climate=C"};
    QCOMPARE(MapDiff::text(a, b), QByteArray("@@ map\n-top latitude=90\n+top latitude=30\n-wrap Y=0\n+wrap Y=1\n"
                                             "+climate=C\n"));

    b = base();
    b.SignTexts = {"plotX=1\r\nplotY=0\r\ncaption=Ho", "plotX=2"};
    QCOMPARE(MapDiff::text(a, b), QByteArray("@@ signs\n-caption=Hi\n+caption=Ho\n+BeginSign\n+plotX=2\n+EndSign\n"));

    b = base();
    b.PlotTexts.setText(0, 0, "TerrainType=T_C\r\nPlotType=2");
    b.PlotTexts.setText(1, 1, "BonusType=B");
    QCOMPARE(MapDiff::text(a, b), QByteArray("@@ plot 0,1\n-TerrainType=T_A\n+TerrainType=T_C\n"
                                             "@@ plot 1,0\n+BonusType=B\n"));

    // Every part at once comes in the order of the file.
    b.GameLines = {"G1"};
    b.TeamTexts[17] = "T";
    b.SignTexts.clear();
    QCOMPARE(MapDiff::text(a, b), QByteArray("@@ game\n-G2\n@@ team 17\n+T\n@@ signs\n-BeginSign\n-plotX=1\n"
                                             "-plotY=0\n-caption=Hi\n-EndSign\n@@ plot 0,1\n-TerrainType=T_A\n"
                                             "+TerrainType=T_C\n@@ plot 1,0\n+BonusType=B\n"));
}

void TestMapDiff::sizeChanges()
{
    const Document a = base();
    Document wider = base();
    wider.setGridSize(4, 2);
    wider.PlotTexts.setText(3, 0, "X");
    QCOMPARE(MapDiff::text(a, wider), QByteArray("@@ map\n-grid width=3\n+grid width=4\n"
                                                 "@@ plot 3,0 (added)\n@@ plot 3,1 (added)\n+X\n"));
    QCOMPARE(MapDiff::text(wider, a), QByteArray("@@ map\n-grid width=4\n+grid width=3\n"
                                                 "@@ plot 3,0 (removed)\n@@ plot 3,1 (removed)\n-X\n"));

    // A row added at the top: y counts from the bottom, so the old plots
    // keep their coordinates and only the new row differs.
    Document taller;
    taller.ResetDocument(3, 3);
    taller.GameLines = a.GameLines;
    taller.TeamTexts = a.TeamTexts;
    taller.PlayerTexts = a.PlayerTexts;
    taller.MapLines = a.MapLines;
    taller.SignTexts = a.SignTexts;
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col)
            taller.PlotTexts.setText(col, row + 1, a.PlotTexts.view(col, row));
    taller.PlotTexts.setText(1, 0, "North");
    QCOMPARE(MapDiff::text(a, taller), QByteArray("@@ map\n-grid height=2\n+grid height=3\n"
                                                  "@@ plot 0,2 (added)\n@@ plot 1,2 (added)\n+North\n"
                                                  "@@ plot 2,2 (added)\n"));
    const MapDiffStat stat = MapDiff::compare(a, taller);
    QCOMPARE(stat.plotsAdded, 3);
    QCOMPARE(stat.plotsChanged, 0);
    QCOMPARE(stat.sections, 1);
}

void TestMapDiff::linesAreAligned()
{
    Document a, b;
    a.GameLines = {"a", "b", "c", "d", "e"};
    b.GameLines = {"a", "c", "d", "x", "e"};
    QCOMPARE(MapDiff::text(a, b), QByteArray("@@ game\n-b\n+x\n"));
    a.GameLines = {"k", "a", "b", "k", "c"};
    b.GameLines = {"a", "k", "b", "c", "k"};
    // The longest common part has three lines ("a", "b", "c" or the like).
    const MapDiffStat stat = MapDiff::compare(a, b);
    QCOMPARE(stat.linesRemoved, 2);
    QCOMPARE(stat.linesAdded, 2);

    // A very long middle is shown replaced whole, A's lines first.
    a.GameLines.clear();
    b.GameLines.clear();
    for (int i = 0; i < 2100; ++i) {
        a.GameLines << "A" + QByteArray::number(i);
        b.GameLines << "B" + QByteArray::number(i);
    }
    a.GameLines.prepend("same");
    b.GameLines.prepend("same");
    const QByteArray text = MapDiff::text(a, b);
    QVERIFY(text.startsWith("@@ game\n-A0\n-A1\n"));
    QVERIFY(text.contains("\n-A2099\n+B0\n"));
    QVERIFY(text.endsWith("\n+B2099\n"));
}

void TestMapDiff::counts()
{
    const Document a = base();
    Document b = base();
    b.GameLines = {"G1", "G3"};
    b.PlayerTexts[1].clear();
    b.PlotTexts.setText(0, 0, "");
    b.setGridSize(3, 1); // drops row 1: the file's plots y = 0 go
    const MapDiffStat stat = MapDiff::compare(a, b);
    // B's plot (x, 0) is its only row, A's (x, 0) is A's row 1: (2, 0) lost
    // its line; A's row 0 is the file's y = 1, which B lacks. Removed: G2,
    // the player's two lines, the height, T_B, T_A and its plot type.
    QCOMPARE(MapDiff::statText(stat), QByteArray("sections changed: 3\nplots changed: 1\nplots added: 0\n"
                                                 "plots removed: 3\nlines removed: 7\nlines added: 2\n"));
    QVERIFY(!stat.same());
}

QTEST_GUILESS_MAIN(TestMapDiff)
#include "tst_mapdiff.moc"
