// Plots and areas in file coordinates, the operation list of a command
// line, and the operations' own refusals, without a process.

#include "EditOperations.h"
#include "EditScript.h"
#include "MapWriter.h"
#include "MapDocument.h"
#include "PlotArea.h"
#include "PlotReplace.h"
#include "SetPlotTexts.h"
#include "SetSlotText.h"

#include <QtTest>

using namespace vor4;

class TestEditScript : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void plotsAndAreas_data();
    void plotsAndAreas();
    void scriptsReadAndRun();
    void replaceStaysWithinLines();
    void textThatBreaksTheFileChangesNothing();
    void wholeMapPassMatchesPlotByPlot();
    void putThenFillMatchesOneByOne_data();
    void putThenFillMatchesOneByOne();
};

void TestEditScript::plotsAndAreas_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("written"); // empty: not an area
    QTest::addColumn<QRect>("cells");     // null: outside a 64 x 40 map

    QTest::newRow("bottom left") << "0,0" << "0,0" << QRect(0, 39, 1, 1);
    QTest::newRow("top right") << "63,39" << "63,39" << QRect(63, 0, 1, 1);
    QTest::newRow("blanks and signs") << " +5 , 2 " << "5,2" << QRect(5, 37, 1, 1);
    QTest::newRow("corners in either order") << "7,1:3,4" << "7,1:3,4" << QRect(QPoint(3, 35), QPoint(7, 38));
    QTest::newRow("all") << "ALL" << "all" << QRect(0, 0, 64, 40);
    QTest::newRow("x outside") << "64,0" << "64,0" << QRect();
    QTest::newRow("y outside") << "0,40" << "0,40" << QRect();
    QTest::newRow("negative") << "-1,5" << "-1,5" << QRect();
    QTest::newRow("one corner outside") << "0,0:10,40" << "0,0:10,40" << QRect();
    QTest::newRow("too large for any number") << "1,123456789012345678901234" << "1,9223372036854775807" << QRect();
    for (const char *bad : {"", "3", "3,4,5", "a,b", "1,2:3", "1,2;3,4", "1.5,2", "al", "0,0:all"})
        QTest::newRow(bad[0] ? bad : "empty") << bad << "" << QRect();
}

void TestEditScript::plotsAndAreas()
{
    QFETCH(QString, text);
    QFETCH(QString, written);
    QFETCH(QRect, cells);
    const PlotArea area = PlotArea::parse(text);
    QCOMPARE(area.isValid(), !written.isEmpty());
    QCOMPARE(area.text(), written);
    QRect got;
    QString error;
    QCOMPARE(area.cells(QSize(64, 40), &got, &error), !cells.isNull());
    if (!cells.isNull()) {
        QCOMPARE(got, cells);
        // Single plots parse as plots too; areas do not.
        QCOMPARE(PlotArea::parsePlot(text).isValid(), !text.contains(':') && !area.isAll());
    } else if (area.isValid()) {
        QVERIFY2(error.endsWith("is outside the map (x 0 to 63, y 0 to 39)"), qPrintable(error));
    }
    for (const QPoint cell : {QPoint(0, 0), QPoint(5, 39), QPoint(63, 17)})
        QCOMPARE(PlotArea::cellOfPlot(PlotArea::plotOfCell(cell, 40), 40), cell);
}

void TestEditScript::scriptsReadAndRun()
{
    EditScript script;
    QString error;
    const auto wrong = [&](const QStringList &args) {
        error.clear();
        return !script.parse(args, &error) && !error.isEmpty();
    };
    QVERIFY(wrong({}));
    QVERIFY(wrong({"--put", "A=1"}));
    QVERIFY(wrong({"--replace", "a"}));
    QVERIFY(wrong({"--put", "A=1", "all", "--frob"}));
    QVERIFY(wrong({"--fill", "A=1", "1,1:2,2"}));
    QCOMPARE(error, QStringLiteral("--fill: \"1,1:2,2\" is not a plot (X,Y)"));
    // An optional area is left out when an operation or the end follows.
    QVERIFY(script.parse({"--replace", "a", "b", "--replace", "--x", "y", "0,0", "--replace", "c", "d"}, &error));
    QVERIFY(!script.isEmpty());

    MapDocument md;
    md.reset(3, 2);
    QVERIFY(script.parse({"--put", "A=1", "all", "--put", "B=2", "1,0", "--take", "A", "0,1:1,1", "--put",
                          "C", "0,0", "--put", "D=4", "all"},
                         &error));
    QStringList log;
    QVERIFY(!script.run(md, &log, &error));
    QCOMPARE(error, QStringLiteral("--put: \"C\" is not a plot line: it has no \"=\""));
    QCOMPARE(log, (QStringList{"Paint A=1 on 6 plots", "Paint B=2 on 1 plot", "Erase A on 2 plots"}));
    // Each operation done is one step; the one that failed left nothing.
    QCOMPARE(md.undoStack()->count(), 3);
    QCOMPARE(md.document().PlotTexts.text(1, 1), QByteArray("A=1\r\nB=2")); // 1,0: the bottom row
    QCOMPARE(md.document().PlotTexts.text(0, 0), QByteArray());
    QCOMPARE(md.document().PlotTexts.text(1, 0), QByteArray());
    QCOMPARE(md.document().PlotTexts.text(0, 1), QByteArray("A=1"));

    // matching:TEXT names the plots holding TEXT, letter case ignored, for
    // the operations that paint or replace; the others need a rectangle.
    QVERIFY(script.parse({"--put", "E=5", "matching:b=2", "--replace", "A=1", "A=9", "MATCHING:e=", "--take", "B",
                          "matching:a=9"},
                         &error));
    QVERIFY(script.run(md, &log, &error));
    QCOMPARE(md.document().PlotTexts.text(1, 1), QByteArray("A=9\r\nE=5")); // put, replaced, then taken
    QCOMPARE(md.document().PlotTexts.text(0, 1), QByteArray("A=1"));
    QVERIFY(script.parse({"--flip", "horizontal", "matching:A"}, &error));
    QVERIFY(!script.run(md, &log, &error));
    QCOMPARE(error, QStringLiteral("--flip: a matching: area is for --put, --take and --replace; this operation needs a rectangle"));

    // Texts are one byte a character.
    QVERIFY(script.parse({"--put", QString::fromLatin1("Name=Caf\xe9"), "0,0"}, &error));
    QVERIFY(script.run(md, &log, &error));
    QCOMPARE(md.document().PlotTexts.text(0, 1), QByteArray("A=1\r\nName=Caf\xe9"));
    QVERIFY(script.parse({"--put", QString::fromUtf8("Name=\u0100"), "0,0"}, &error));
    QVERIFY(!script.run(md, &log, &error));
    QCOMPARE(error, QString::fromUtf8("--put: \"Name=\u0100\" holds a character that a map file cannot hold"));

    const QString help = EditScript::help(" ", "  ");
    QVERIFY(help.startsWith(" --put LINE AREA\n  put the plot line"));
    QCOMPARE(EditScript::synopsis("> ", "  ").count(QLatin1Char(10)), 19);
}

void TestEditScript::replaceStaysWithinLines()
{
    MapDocument md;
    md.reset(2, 2);
    auto *setup = new SetPlotTexts(&md, "setup");
    setup->add(0, 0, "A=aa\r\naaa=b");
    setup->add(1, 0, "Aa=1");
    setup->add(0, 1, "a");
    md.push(setup);

    EditOperations::Result r = EditOperations::replace(md, "aa", "b", QRect(0, 0, 2, 2));
    QVERIFY(r.ok);
    QCOMPARE(r.plots, 1);
    QCOMPARE(r.message, QStringLiteral("Replace \"aa\" with \"b\" in 1 plot"));
    // Left to right, never overlapping, and letter case counts.
    QCOMPARE(md.document().PlotTexts.text(0, 0), QByteArray("A=b\r\nba=b"));
    QCOMPARE(md.document().PlotTexts.text(1, 0), QByteArray("Aa=1"));

    r = EditOperations::replace(md, "a", "", QRect(0, 1, 1, 1));
    QCOMPARE(r.plots, 1);
    QCOMPARE(md.document().PlotTexts.text(0, 1), QByteArray());

    for (const auto &[from, to] : {std::pair<QByteArray, QByteArray>{"", "x"}, {"a\r\nb", "x"}, {"a", "x\ny"},
                                   {"b", QByteArray("\0", 1)}}) {
        const int steps = md.undoStack()->count();
        r = EditOperations::replace(md, from, to, QRect(0, 0, 2, 2));
        QVERIFY(!r.ok);
        QVERIFY(!r.message.isEmpty());
        QCOMPARE(md.undoStack()->count(), steps);
    }
    // Nothing found is no step, and no failure.
    r = EditOperations::replace(md, "zzz", "y", QRect(0, 0, 2, 2));
    QVERIFY(r.ok);
    QCOMPARE(r.message, QStringLiteral("Replace \"zzz\" with \"y\" in 0 plots"));

    // A fill from outside the map, or without a brush, is refused.
    QVERIFY(!EditOperations::fill(md, PaintRule::fromLine("A=1"), EditOperations::Put, {2, 0}).ok);
    QVERIFY(!EditOperations::fill(md, PaintRule(), EditOperations::Put, {0, 0}).ok);
    QVERIFY(!EditOperations::apply(md, PaintRule::fromKey("A"), EditOperations::Put, QRect(0, 0, 1, 1)).ok);
}

void TestEditScript::textThatBreaksTheFileChangesNothing()
{
    // Every way in refuses: a step, a replace of either kind, a brush line.
    MapDocument md;
    md.reset(2, 2);
    auto *setup = new SetPlotTexts(&md, "setup");
    setup->add(0, 0, "PlotType=1\r\nBeginUnit\r\nEndUnit");
    md.push(setup);
    const QByteArray before = buildSaveFile(md.document());
    QString error;
    QVERIFY(!md.push(new SetSlotText(&md, SectionKind::Team, 0, "A=1\r\nEndTeam", "team"), &error));
    QVERIFY2(error.contains("\"EndTeam\" is a section keyword"), qPrintable(error));
    const EditOperations::Result r = EditOperations::replace(md, "PlotType=", "x=1,y=", QRect(0, 0, 2, 2));
    QVERIFY2(!r.ok && r.message.contains("\"x=1,y=1\"") && r.message.contains("(in plot 0,1)"), qPrintable(r.message));
    QVERIFY(!replaceInArea(&md, PlotQuery::compile("EndUnit", {}), "EndPlot").error.isEmpty());
    QVERIFY(!PaintRule::fromLine("A=x=1,y=2", &error).isValid());
    QCOMPARE(md.undoStack()->count(), 1);
    QCOMPARE(buildSaveFile(md.document()), before);
}

// The same generated 90 x 60 map, loaded into each document.
static void bigMap(std::initializer_list<MapDocument *> docs)
{
    const char *const texts[] = {"", "TerrainType=T_GRASS", "PlotType=1\nTerrainType=T_OCEAN\r\n",
                                 "BeginUnit\r\nTerrainType=U\r\nEndUnit", "  terraintype = T \rBonusType=B",
                                 "PlotType=1\r\nBeginUnit\r\nUnitType=A", "TerrainType=T_OCEAN"};
    for (MapDocument *md : docs) {
        md->reset(90, 60);
        auto *setup = new SetPlotTexts(md, "setup");
        for (int i = 0; i < 90 * 60; ++i)
            setup->add(i % 90, i / 90, texts[(i / 7 + i / 90 + i / 900) % 7]);
        md->push(setup);
    }
}

void TestEditScript::wholeMapPassMatchesPlotByPlot()
{
    // A whole-map put and fill match the same run row by row; undo restores the map.
    MapDocument whole, rows;
    bigMap({&whole, &rows});
    const QByteArray before = buildSaveFile(whole.document());
    const PaintRule grass = PaintRule::fromLine("TerrainType=T_GRASS"), bonus = PaintRule::fromKey("BonusType");
    int put = 0, taken = 0;
    for (int row = 0; row < 60; ++row) {
        put += EditOperations::apply(rows, grass, EditOperations::Put, QRect(0, row, 90, 1)).plots;
        taken += EditOperations::apply(rows, bonus, EditOperations::Take, QRect(0, row, 90, 1)).plots;
    }
    QCOMPARE(EditOperations::apply(whole, grass, EditOperations::Put, QRect(0, 0, 90, 60)).plots, put);
    QCOMPARE(EditOperations::fill(whole, bonus, EditOperations::Take, {0, 0}, true).plots, taken);
    QCOMPARE(buildSaveFile(whole.document()), buildSaveFile(rows.document()));
    whole.undoStack()->undo();
    whole.undoStack()->undo();
    QCOMPARE(buildSaveFile(whole.document()), before);
}

void TestEditScript::putThenFillMatchesOneByOne_data()
{
    QTest::addColumn<QStringList>("put");
    QTest::addColumn<QStringList>("fill");
    QTest::addColumn<bool>("onePass");
    const auto row = [](const char *name, QString put, QString area, QString fill, QString at, bool onePass) {
        QTest::newRow(name) << QStringList{put, area} << QStringList{fill, at} << onePass;
    };
    row("same key", "TerrainType=T_OCEAN", "all", "TerrainType=T_GRASS", "0,0", true);
    row("from a plot whose line lands in a unit", "TerrainType=T_OCEAN", "all", "TerrainType=T_GRASS", "35,59", true);
    row("key in other letters", "terraintype = t", "all", "TERRAINTYPE=X", "7,3", true);
    row("another key", "PlotType=2", "all", "TerrainType=T_SNOW", "5,5", true);
    row("the pressed plot holds the line", "TerrainType=T_A", "all", "TerrainType=T_A", "1,1", true);
    row("most of the map", "TerrainType=T_A", "0,0:80,50", "TerrainType=T_B", "85,55", true);
    row("a small put goes one by one", "TerrainType=T_A", "0,0:9,9", "TerrainType=T_B", "3,3", false);
}

void TestEditScript::putThenFillMatchesOneByOne()
{
    // A big put and a fill after it go in one pass, with the texts and log of the two run apart.
    QFETCH(QStringList, put);
    QFETCH(QStringList, fill);
    QFETCH(bool, onePass);
    MapDocument together, apart;
    bigMap({&together, &apart});
    QStringList log, apartLog;
    QString error;
    EditScript script;
    QVERIFY(script.parse(QStringList{"--put"} + put + QStringList{"--fill"} + fill, &error));
    QVERIFY(script.run(together, &log, &error));
    for (const QStringList &step : {QStringList{"--put"} + put, QStringList{"--fill"} + fill})
        QVERIFY(script.parse(step, &error) && script.run(apart, &apartLog, &error));
    QCOMPARE(log, apartLog);
    QCOMPARE(together.undoStack()->count(), onePass ? 2 : 3);
    QCOMPARE(buildSaveFile(together.document()), buildSaveFile(apart.document()));
}

QTEST_GUILESS_MAIN(TestEditScript)
#include "tst_editscript.moc"
