#include "LineCheck.h"
#include "PlotTable.h"
#include "TextUtil.h"

#include <QtTest>

using namespace vor4;

class TestPlotTable : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void editsAndResize();
    void compactionKeepsTexts();
    void textHelpers();
    void linesThatBreakTheFile_data();
    void linesThatBreakTheFile();
    void copiesShareNothing();
};

void TestPlotTable::editsAndResize()
{
    PlotTable t;
    t.resize(3, 2);
    QVERIFY(t.isEmpty(2, 1));
    QVERIFY(t.view(3, 0).isEmpty()); // outside: empty, no crash
    t.appendLine(0, 0, "a");
    t.appendLine(1, 0, "b");
    t.appendLine(0, 0, "c"); // not at the end of the pool any more
    QCOMPARE(t.text(0, 0), QByteArray("a\r\nc"));
    t.setText(1, 0, "longer text");
    t.setText(2, 1, "z");
    t.setText(1, 0, "short"); // shrinks in place
    QCOMPARE(t.text(1, 0), QByteArray("short"));
    t.setText(2, 1, t.view(1, 0)); // from its own pool
    QCOMPARE(t.text(2, 1), QByteArray("short"));
    t.setText(5, 5, "ignored");
    QCOMPARE(t.filledCount(), 3);

    t.resize(2, 3);
    QCOMPARE(t.text(0, 0), QByteArray("a\r\nc"));
    QCOMPARE(t.text(1, 0), QByteArray("short"));
    QVERIFY(t.isEmpty(1, 2));
    QCOMPARE(t.filledCount(), 2);
    PlotTable copy = t;
    copy.setText(0, 0, "x");
    QCOMPARE(t.text(0, 0), QByteArray("a\r\nc")); // copies are independent
}

void TestPlotTable::compactionKeepsTexts()
{
    PlotTable t;
    t.resize(10, 10);
    for (int round = 0; round < 200; ++round)
        for (int i = 0; i < 100; ++i)
            t.setText(i % 10, i / 10, QByteArray::number(round * 1000 + i).repeated(3 + round % 5));
    for (int i = 0; i < 100; ++i)
        QCOMPARE(t.text(i % 10, i / 10), QByteArray::number(199 * 1000 + i).repeated(3 + 199 % 5));
    QVERIFY(t.poolSize() < 100 * 64 * 3);
}

void TestPlotTable::textHelpers()
{
    QCOMPARE(trimmed(" \t\x01 a b \r"), QByteArrayView("a b"));
    QCOMPARE(indexOfCi("xx TERRAINtype=", "terrainType="), 3);
    QCOMPARE(indexOfCi("abc", "abcd"), -1);
    QVERIFY(startsWithCi("endunit", "End"));
    QVERIFY(!startsWithCi(" EndUnit", "End"));
    QCOMPARE(valueOf("a=b=c"), QByteArrayView("b=c"));
    QVERIFY(valueOf("abc").isEmpty());
    QCOMPARE(splitLines("a\r\nb\rc\nd\r\n"), (QList<QByteArray>{"a", "b", "c", "d"}));
    QCOMPARE(splitLines("a\r\n\r\n"), (QList<QByteArray>{"a", ""}));
    QVERIFY(splitLines("").isEmpty());
    QCOMPARE(joinLines({"a", "", "b"}), QByteArray("a\r\n\r\nb"));
}

// A copy made in two steps equals the table and stays apart from it, also
// when the table grew between the steps.
void TestPlotTable::linesThatBreakTheFile_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("section"); // why refused in a section; empty: taken
    QTest::addColumn<QString>("plot");
    const QString keyword = QStringLiteral("is a section keyword");
    const QString coordinates = QStringLiteral("would read as a plot's coordinates");
    const QString breaks = QStringLiteral("holds a line break or a NUL byte");
    QTest::newRow("plain") << QByteArray("TerrainType=TERRAIN_GRASS") << "" << "";
    QTest::newRow("keyword") << QByteArray("EndPlot") << keyword << keyword;
    QTest::newRow("keyword, any case, blanks") << QByteArray(" \tbeginGAME \x01") << keyword << keyword;
    QTest::newRow("keyword and more") << QByteArray("EndPlot2") << "" << "";
    QTest::newRow("sub-block") << QByteArray("BeginUnit") << "" << "";
    QTest::newRow("coordinates") << QByteArray("TerrainType=x=1,y=2") << "" << coordinates;
    QTest::newRow("start position") << QByteArray("StartingX=3, StartingY=4") << "" << coordinates;
    QTest::newRow("CR") << QByteArray("A=1\rB") << breaks << breaks;
    QTest::newRow("LF") << QByteArray("A=1\n") << breaks << breaks;
    QTest::newRow("NUL") << QByteArray("A=1\0", 4) << breaks << breaks;
}

void TestPlotTable::linesThatBreakTheFile()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, section);
    QFETCH(QString, plot);
    QVERIFY(refusedLine(line, TextPlace::Section).contains(section));
    QCOMPARE(refusedLine(line, TextPlace::Section).isEmpty(), section.isEmpty());
    QVERIFY(refusedLine(line, TextPlace::Plot).contains(plot));
    QCOMPARE(refusedLine(line, TextPlace::Plot).isEmpty(), plot.isEmpty());
    // A text is refused for its first bad line, named.
    const QString why = refusedText("A=1\r\n" + line + "\nEndGame", TextPlace::Plot);
    QVERIFY2(why.startsWith(QStringLiteral("The line \"%1").arg(plot.isEmpty() ? "EndGame" : "")), qPrintable(why));
    QCOMPARE(refusedLines({"A=1", line}, TextPlace::Section).isEmpty(), section.isEmpty());
    // Named within bounds: 80 characters and an ellipsis, control bytes escaped.
    QCOMPARE(quotedLine(QByteArray(100, 'a') + "\x01"), "\"" + QString(80, 'a') + QChar(0x2026) + "\"");
    QCOMPARE(quotedLine("a\tb\x7f"), QStringLiteral("\"a\\x09b\\x7F\""));
}

void TestPlotTable::copiesShareNothing()
{
    PlotTable t;
    t.resize(30, 20);
    for (int i = 0; i < 600; ++i)
        t.setText(i % 30, i / 30, QByteArray::number(i * 7919) + "\r\nTerrainType=TERRAIN_GRASS");
    PlotTable copy;
    copy.prepareCopy(t.copySize());
    for (int i = 0; i < 30; ++i)
        t.setText(i, 0, QByteArray(5000, 'g')); // grows beyond the room made
    copy.copyFrom(t);
    for (int i = 0; i < 600; ++i)
        QCOMPARE(copy.view(i % 30, i / 30), t.view(i % 30, i / 30));
    const QByteArray kept = copy.text(4, 7);
    t.setText(4, 7, "X"); // written in place in the original's pool
    QCOMPARE(copy.text(4, 7), kept);
    QCOMPARE(copy.columnCount(), 30);
    QCOMPARE(copy.rowCount(), 20);
}

QTEST_GUILESS_MAIN(TestPlotTable)
#include "tst_plottable.moc"
