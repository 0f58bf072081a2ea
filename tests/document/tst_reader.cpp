#include "MapReader.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace vor4;

namespace {

LoadResult parse(Document &doc, const QByteArray &bytes, const LoadProgress &progress = {})
{
    doc.ResetDocument(0, 0);
    doc.FileLines = LineBuffer(bytes);
    return ParseFileLines(doc, progress);
}

QByteArray lines(std::initializer_list<const char *> list)
{
    QByteArray out;
    for (const char *l : list)
        out += QByteArray(l) + "\r\n";
    return out;
}

} // namespace

class TestReader : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void lineSplittingAndNul();
    void keywordsAndTrimming();
    void transitionErrors_data();
    void transitionErrors();
    void errorLineCountsBlankLines();
    void teamAndPlayerSlots();
    void unclosedBlocksCarryText();
    void mapHeaderAndWrapOffsets();
    void coordinateLines();
    void integerValues_data();
    void integerValues();
    void hugeMapRefused();
    void progressEvery500Lines();
    void cancelledByProgress();
    void emptyFile();
    void fileErrors();
};

void TestReader::lineSplittingAndNul()
{
    const QByteArray body = "BeginGame\r\nA=1\nB=2\rC=3\r\n\r\nEndGame";
    Document doc;
    QVERIFY(parse(doc, body).ok());
    QCOMPARE(doc.GameLines, (QList<QByteArray>{"A=1", "B=2", "C=3"}));
    QCOMPARE(LineBuffer(body).count(), 6);
    QCOMPARE(LineBuffer("a\r\n").count(), 1);
    QCOMPARE(LineBuffer("a\r\r\n").count(), 2);
    QCOMPARE(LineBuffer("").count(), 0);

    // Everything after a NUL is ignored, including a closing keyword in error.
    QByteArray withNul("BeginGame\r\nA=1\r\n");
    withNul += '\0';
    withNul += "EndMap\r\nEndGame\r\n";
    QVERIFY(parse(doc, withNul).ok());
    QCOMPARE(doc.GameLines, (QList<QByteArray>{"A=1"}));
}

void TestReader::keywordsAndTrimming()
{
    Document doc;
    QVERIFY(parse(doc, lines({"  begingame\t", "\t  Era=X  \x01", "ENDGAME", "BeginGame extra",
                              "BEGINteam", "x", "endTeam"}))
                .ok());
    // "BeginGame extra" is not a keyword: it stays outside every section.
    QCOMPARE(doc.GameLines, (QList<QByteArray>{"Era=X"}));
    QCOMPARE(doc.TeamTexts[0], QByteArray("x"));
}

void TestReader::transitionErrors_data()
{
    QTest::addColumn<QByteArray>("opening");
    QTest::addColumn<QByteArray>("closing");
    QTest::addColumn<bool>("fine");
    const QList<QByteArray> opens{"", "BeginGame", "BeginTeam", "BeginPlayer", "BeginMap", "BeginPlot"};
    const QList<QByteArray> closes{"EndGame", "EndTeam", "EndPlayer", "EndMap", "EndPlot"};
    for (int o = 0; o < opens.size(); ++o)
        for (int c = 0; c < closes.size(); ++c) {
            const QByteArray name = (opens[o].isEmpty() ? QByteArray("none") : opens[o]) + "/" + closes[c];
            QTest::newRow(name.constData()) << opens[o] << closes[c] << (o == c + 1);
        }
}

void TestReader::transitionErrors()
{
    QFETCH(QByteArray, opening);
    QFETCH(QByteArray, closing);
    QFETCH(bool, fine);
    Document doc;
    QByteArray file = "Version=11\r\n";
    if (!opening.isEmpty())
        file += opening + "\r\n";
    file += closing + "\r\n";
    const LoadResult r = parse(doc, file);
    if (fine) {
        QVERIFY(r.ok());
        return;
    }
    QCOMPARE(r.status, LoadResult::StructureError);
    const int line = opening.isEmpty() ? 2 : 3;
    QCOMPARE(r.line, line);
    QCOMPARE(r.message, QStringLiteral("Error in map file - Line: %1").arg(line));
    // A second closing keyword never gets a report: only the first error counts.
}

void TestReader::errorLineCountsBlankLines()
{
    Document doc;
    LoadResult r = parse(doc, "EndGame\r\n");
    QCOMPARE(r.message, QStringLiteral("Error in map file - Line: 1"));
    r = parse(doc, "\r\nEndMap\r\nEndGame\r\n");
    QCOMPARE(r.message, QStringLiteral("Error in map file - Line: 2"));
    // The stores keep what was read before the faulty line.
    r = parse(doc, lines({"BeginGame", "A=1", "EndGame", "BeginMap", "grid width=5", "EndPlot", "B"}));
    QCOMPARE(r.line, 6);
    QCOMPARE(doc.GameLines.size(), 1);
    QCOMPARE(doc.columnCount(), 5);
}

void TestReader::teamAndPlayerSlots()
{
    Document doc;
    QByteArray file;
    for (int i = 0; i < 19; ++i)
        file += "BeginTeam\r\nTeamID=" + QByteArray::number(i) + "\r\nEndTeam\r\n";
    file += lines({"BeginPlayer", "Team=17", "Name=a", "EndPlayer",
                   "BeginPlayer", "Name=b", "team=3", "EndPlayer",
                   "BeginPlayer", "Name=c", "Team=3", "EndPlayer",   // replaces slot 3
                   "BeginPlayer", "Team=18", "EndPlayer",            // discarded
                   "BeginPlayer", "Team=-1", "EndPlayer",            // discarded
                   "BeginPlayer", "Name=none", "EndPlayer",          // no slot: discarded
                   "BeginTeam", "again", "EndTeam"});                // slot 0 again
    QVERIFY(parse(doc, file).ok());
    QCOMPARE(doc.TeamTexts[0], QByteArray("again"));
    QCOMPARE(doc.TeamTexts[17], QByteArray("TeamID=17"));
    QCOMPARE(doc.PlayerTexts[17], QByteArray("Team=17\r\nName=a"));
    QCOMPARE(doc.PlayerTexts[3], QByteArray("Name=c\r\nTeam=3"));
    for (int i : {0, 1, 2, 4, 16})
        QVERIFY(doc.PlayerTexts[i].isEmpty());

    // Keys are interpreted only in their own section.
    QVERIFY(parse(doc, lines({"BeginGame", "grid width=7", "Team=4", "x=1,y=2", "EndGame"})).ok());
    QCOMPARE(doc.GameLines.size(), 3);
    QCOMPARE(doc.columnCount(), 1);
}

void TestReader::unclosedBlocksCarryText()
{
    Document doc;
    // "BeginGame" inside a team block is no error; the team lines wait for
    // the next closed team or player block.
    QVERIFY(parse(doc, lines({"BeginTeam", "t1", "BeginGame", "g", "BeginTeam", "t2", "EndTeam"})).ok());
    QCOMPARE(doc.GameLines, (QList<QByteArray>{"g"}));
    QVERIFY(doc.TeamTexts[0].isEmpty());
    QCOMPARE(doc.TeamTexts[1], QByteArray("t1\r\nt2"));

    QVERIFY(parse(doc, lines({"BeginTeam", "t1", "BeginPlayer", "Team=2", "EndPlayer"})).ok());
    QCOMPARE(doc.PlayerTexts[2], QByteArray("t1\r\nTeam=2"));

    // An unclosed player block with a huge slot followed by a team block:
    // the slot count must not overflow.
    QVERIFY(parse(doc, lines({"BeginPlayer", "Team=2147483647", "BeginTeam", "EndTeam"})).ok());
    for (const QByteArray &t : doc.TeamTexts)
        QVERIFY(t.isEmpty());
}

void TestReader::mapHeaderAndWrapOffsets()
{
    Document doc;
    QVERIFY(parse(doc, lines({"BeginMap", "grid width=3", "Grid Height=2", "top latitude=90",
                              "num plots written=6", "Keep=1", "xx wrap X=1", "wrap Y=0",
                              "EndMap", "BeginPlot", "x=0,y=0", "A", "EndPlot", "BeginPlot",
                              "x=2,y=1", "B", "EndPlot"}))
                .ok());
    QCOMPARE(doc.MapLines, (QList<QByteArray>{"Keep=1"}));
    QCOMPARE(doc.columnCount(), 3);
    QCOMPARE(doc.rowCount(), 2);
    QCOMPARE(doc.miniMapSize, QSize(9, 6));
    QCOMPARE(doc.PlotTexts.text(0, 1), QByteArray("A")); // y 0 is the bottom row
    QCOMPARE(doc.PlotTexts.text(2, 0), QByteArray("B"));

    // No wrap lines: no flip. "wrap X=0" mirrors left to right.
    QVERIFY(parse(doc, lines({"BeginMap", "grid width=3", "grid height=2", "EndMap",
                              "BeginPlot", "x=0,y=0", "A", "EndPlot"}))
                .ok());
    QCOMPARE(doc.PlotTexts.text(0, 0), QByteArray("A"));
    QVERIFY(parse(doc, lines({"BeginMap", "grid width=3", "grid height=2", "wrap X=0", "wrap Y=1",
                              "EndMap", "BeginPlot", "x=0,y=1", "A", "EndPlot"}))
                .ok());
    QCOMPARE(doc.PlotTexts.text(2, 1), QByteArray("A"));

    // A wrap line before the size uses the size in force then (1 x 1).
    QVERIFY(parse(doc, lines({"BeginMap", "wrap X=0", "wrap Y=0", "grid width=3", "grid height=2",
                              "EndMap", "BeginPlot", "x=2,y=1", "A", "EndPlot"}))
                .ok());
    QCOMPARE(doc.PlotTexts.text(2, 1), QByteArray("A"));

    // Sizes of 0 or less give one column or row.
    QVERIFY(parse(doc, lines({"BeginMap", "grid width=0", "grid height=-4", "EndMap"})).ok());
    QCOMPARE(doc.columnCount(), 1);
    QCOMPARE(doc.rowCount(), 1);

    // Shrinking the grid drops the cells outside it.
    QVERIFY(parse(doc, lines({"BeginMap", "grid width=4", "grid height=4", "EndMap", "BeginPlot",
                              "x=3,y=3", "far", "x=1,y=1", "near", "EndPlot", "BeginMap",
                              "grid width=2", "EndMap"}))
                .ok());
    QCOMPARE(doc.PlotTexts.text(1, 1), QByteArray("near"));
    QCOMPARE(doc.PlotTexts.columnCount(), 2);
}

void TestReader::coordinateLines()
{
    Document doc;
    QVERIFY(parse(doc, lines({"BeginMap", "grid width=4", "grid height=4", "EndMap",
                              "BeginPlot", "before", "y=2,x=1", "named", "EndPlot",
                              "BeginPlot", "x=-1,y=0", "abs", "EndPlot",
                              "BeginPlot", "no coordinate", "EndPlot",
                              "BeginPlot", "x=0,y=0", "first", "EndPlot",
                              "BeginPlot", "X=0, Y=0", "second", "EndPlot",
                              "BeginPlot", "x=9,y=9", "outside", "EndPlot"}))
                .ok());
    QCOMPARE(doc.PlotTexts.text(0, 0), QByteArray("before\r\nfirst\r\nsecond"));
    QCOMPARE(doc.PlotTexts.text(2, 1), QByteArray("named")); // first number is x
    QCOMPARE(doc.PlotTexts.text(1, 0), QByteArray("abs\r\nno coordinate"));
    QCOMPARE(doc.PlotTexts.filledCount(), 3);

    // A coordinate line without a comma has an empty x value.
    LoadResult r = parse(doc, lines({"BeginPlot", "x=1 y=2", "EndPlot"}));
    QCOMPARE(r.status, LoadResult::ValueError);
    QCOMPARE(r.message, QStringLiteral("'' is not a valid integer value"));
    QCOMPARE(r.line, 2);
    r = parse(doc, lines({"BeginPlot", "x=1,y=2, more=3", "EndPlot"}));
    QCOMPARE(r.message, QStringLiteral("'2, more=3' is not a valid integer value"));

    // Offsets near the integer limits do not overflow.
    r = parse(doc, lines({"BeginMap", "grid width=3", "wrap X=0", "EndMap", "BeginPlot",
                          "x=-2147483648,y=0", "far", "EndPlot"}));
    QVERIFY(r.ok());
    QCOMPARE(doc.PlotTexts.filledCount(), 0);
}

void TestReader::integerValues_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("valid");
    QTest::newRow("plain") << QByteArray("12") << true;
    QTest::newRow("plus") << QByteArray("+12") << true;
    QTest::newRow("minus") << QByteArray("-12") << true;
    QTest::newRow("max") << QByteArray("2147483647") << true;
    QTest::newRow("min") << QByteArray("-2147483648") << true;
    QTest::newRow("over") << QByteArray("2147483648") << false;
    QTest::newRow("under") << QByteArray("-2147483649") << false;
    QTest::newRow("huge") << QByteArray("99999999999999999999999") << false;
    QTest::newRow("empty") << QByteArray("") << false;
    QTest::newRow("sign only") << QByteArray("-") << false;
    QTest::newRow("blank inside") << QByteArray("1 2") << false;
    QTest::newRow("leading blank") << QByteArray(" 2") << false;
    QTest::newRow("hex") << QByteArray("$10") << false;
    QTest::newRow("letters") << QByteArray("ten") << false;
}

void TestReader::integerValues()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, valid);
    Document doc;
    const LoadResult r = parse(doc, lines({"BeginPlayer", QByteArray("Team=" + value).constData(), "EndPlayer"}));
    QCOMPARE(r.ok(), valid);
    if (!valid) {
        QCOMPARE(r.message, QStringLiteral("'%1' is not a valid integer value").arg(QString::fromLatin1(value)));
        QCOMPARE(r.line, 2);
    }
}

void TestReader::hugeMapRefused()
{
    Document doc;
    const LoadResult r = parse(doc, lines({"BeginMap", "grid width=100000", "grid height=100000", "EndMap"}));
    QCOMPARE(r.status, LoadResult::TooLarge);
    QCOMPARE(r.message, QStringLiteral("Map size 100000 x 100000 is too large"));
    QCOMPARE(r.line, 3);
    QCOMPARE(doc.columnCount(), 100000);
    QCOMPARE(doc.rowCount(), 1);
    QVERIFY(parse(doc, lines({"BeginMap", "grid width=2048", "grid height=2048", "EndMap"})).ok());
}

void TestReader::progressEvery500Lines()
{
    Document doc;
    QByteArray file = "BeginGame\r\n";
    for (int i = 0; i < 1198; ++i)
        file += "L\r\n";
    file += "EndGame\r\n";
    QList<QPair<qint64, qint64>> calls;
    QVERIFY(parse(doc, file, [&](qint64 n, qint64 total) {
                calls.append({n, total});
                return true;
            }).ok());
    QCOMPARE(calls, (QList<QPair<qint64, qint64>>{{0, 1200}, {500, 1200}, {1000, 1200}}));
}

void TestReader::cancelledByProgress()
{
    Document doc;
    QByteArray file = "BeginGame\r\n";
    for (int i = 0; i < 1000; ++i)
        file += "L\r\n";
    const LoadResult r = parse(doc, file, [](qint64 n, qint64) { return n < 500; });
    QCOMPARE(r.status, LoadResult::Cancelled);
    QCOMPARE(doc.GameLines.size(), 499);
}

void TestReader::emptyFile()
{
    Document doc;
    int calls = 0;
    QVERIFY(parse(doc, QByteArray(), [&](qint64, qint64) { return ++calls > 0; }).ok());
    QCOMPARE(calls, 0);
    QCOMPARE(doc.columnCount(), 1);
    QCOMPARE(doc.rowCount(), 1);
}

void TestReader::fileErrors()
{
    QTemporaryDir dir;
    Document doc;
    doc.GameLines = {"kept"};
    const QString missing = dir.filePath("missing.Vor4WorldBuilderSave");
    LoadResult r = loadMapFile(missing, doc);
    QCOMPARE(r.status, LoadResult::FileError);
    QCOMPARE(r.message, QStringLiteral("Cannot open file %1").arg(missing));
    r = loadMapFile(dir.path(), doc);
    QCOMPARE(r.message, QStringLiteral("Cannot open file %1").arg(dir.path()));

    const QString good = dir.filePath("good.Vor4WorldBuilderSave");
    QFile f(good);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(lines({"BeginGame", "A", "EndGame"}));
    f.close();
    QVERIFY(loadMapFile(good, doc).ok());
    QCOMPARE(doc.FileName, good);
    QVERIFY(doc.FileLines.isEmpty());
    QCOMPARE(doc.GameLines, (QList<QByteArray>{"A"}));
}

QTEST_GUILESS_MAIN(TestReader)
#include "tst_reader.moc"
