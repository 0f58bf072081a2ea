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
    void moreThan18Slots();
    void unclosedBlocksCarryText();
    void mapHeaderValues();
    void northUpWhateverTheWrapLines();
    void coordinateLines();
    void signBlocks();
    void notAMapFile();
    void integerValues_data();
    void integerValues();
    void hugeMapRefused();
    void progressEvery500Lines();
    void cancelledByProgress();
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
    for (int i = 0; i < 3; ++i)
        file += "BeginTeam\r\nTeamID=" + QByteArray::number(i) + "\r\nEndTeam\r\n";
    // Players count by position, like teams: "Team=" is text of the block.
    file += lines({"BeginPlayer", "Team=0", "Name=a", "EndPlayer",
                   "BeginPlayer", "Name=b", "team=0", "EndPlayer",   // same team: its own slot
                   "BeginPlayer", "Name=none", "EndPlayer",          // no "Team=": kept
                   "BeginPlayer", "Team=x", "EndPlayer",             // no number needed
                   "BeginTeam", "late", "EndTeam",                   // counts on from the teams
                   "BeginPlayer", "Name=e", "EndPlayer"});           // and players from theirs
    QVERIFY(parse(doc, file).ok());
    QCOMPARE(doc.TeamTexts.size(), Document::SlotCount);
    QCOMPARE(doc.PlayerTexts.size(), Document::SlotCount);
    QCOMPARE(doc.TeamTexts.mid(0, 4), (QList<QByteArray>{"TeamID=0", "TeamID=1", "TeamID=2", "late"}));
    QCOMPARE(doc.PlayerTexts.mid(0, 6), (QList<QByteArray>{"Team=0\r\nName=a", "Name=b\r\nteam=0", "Name=none",
                                                           "Team=x", "Name=e", ""}));

    // Keys are interpreted only in their own section.
    QVERIFY(parse(doc, lines({"BeginGame", "grid width=7", "wrap X=4", "x=1,y=2", "EndGame"})).ok());
    QCOMPARE(doc.GameLines.size(), 3);
    QCOMPARE(doc.columnCount(), 1);
    QCOMPARE(doc.Header, MapHeaderValues());
}

void TestReader::moreThan18Slots()
{
    Document doc;
    QByteArray file;
    for (int i = 0; i < 20; ++i)
        file += "BeginTeam\r\nTeamID=" + QByteArray::number(i) + "\r\nEndTeam\r\n";
    for (int i = 0; i < 20; ++i)
        file += "BeginPlayer\r\nTeam=" + QByteArray::number(i / 2) + "\r\nName=p" + QByteArray::number(i)
                + "\r\nEndPlayer\r\n";
    QVERIFY(parse(doc, file).ok());
    QCOMPARE(doc.TeamTexts.size(), 20);
    QCOMPARE(doc.PlayerTexts.size(), 20);
    for (int i = 0; i < 20; ++i) {
        QCOMPARE(doc.TeamTexts[i], "TeamID=" + QByteArray::number(i));
        QCOMPARE(doc.PlayerTexts[i], "Team=" + QByteArray::number(i / 2) + "\r\nName=p" + QByteArray::number(i));
    }
    // A reset brings back the 18 slots of a new map.
    doc.ResetDocument(0, 0);
    QCOMPARE(doc.TeamTexts.size(), Document::SlotCount);
    QCOMPARE(doc.PlayerTexts.size(), Document::SlotCount);
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
    QCOMPARE(doc.PlayerTexts[0], QByteArray("t1\r\nTeam=2"));
    QVERIFY(doc.TeamTexts[0].isEmpty());

    // Every opening counts, closed or not: an unclosed player block leaves
    // its slot empty and its lines to the next block.
    QVERIFY(parse(doc, lines({"BeginPlayer", "p1", "BeginPlayer", "p2", "EndPlayer", "BeginTeam", "t",
                              "EndTeam"})).ok());
    QVERIFY(doc.PlayerTexts[0].isEmpty());
    QCOMPARE(doc.PlayerTexts[1], QByteArray("p1\r\np2"));
    QCOMPARE(doc.TeamTexts[0], QByteArray("t"));
}

void TestReader::mapHeaderValues()
{
    Document doc;
    QVERIFY(parse(doc, lines({"BeginMap", "grid width=3", "Grid Height=2", "top latitude=90",
                              "num plots written=6", "Keep=1", "xx wrap X=1", "wrap Y=0",
                              "EndMap"}))
                .ok());
    QCOMPARE(doc.MapLines, (QList<QByteArray>{"Keep=1"}));
    QCOMPARE(doc.columnCount(), 3);
    QCOMPARE(doc.rowCount(), 2);
    QVERIFY(doc.hasSize);
    QCOMPARE(doc.Header, MapHeaderValues());

    // Kept as read, the last one of each winning; latitude text trimmed.
    QVERIFY(parse(doc, lines({"BeginMap", "top latitude=1", "wrap X=0", "wrap Y=5", "wrap Y=1",
                              "top latitude= 30 ", "Bottom Latitude=30", "latitude=12", "EndMap"}))
                .ok());
    MapHeaderValues expected;
    expected.wrapX = 0;
    expected.wrapY = 1;
    expected.topLatitude = "30";
    expected.bottomLatitude = "30";
    QCOMPARE(doc.Header, expected);
    QCOMPARE(doc.MapLines, QList<QByteArray>{"latitude=12"}); // a latitude line of neither kind is kept
    QCOMPARE(doc.Header.topLatitude, QByteArray("30"));

    // A wrap value is an integer; anything else stops the load.
    const LoadResult r = parse(doc, lines({"BeginMap", "wrap Y=yes", "EndMap"}));
    QCOMPARE(r.status, LoadResult::ValueError);
    QCOMPARE(r.message, QStringLiteral("'yes' is not a valid integer value"));
    QCOMPARE(r.line, 2);

    // Sizes of 0 or less give one column or row.
    QVERIFY(parse(doc, lines({"BeginMap", "grid width=0", "grid height=-4", "EndMap"})).ok());
    QCOMPARE(doc.columnCount(), 1);
    QCOMPARE(doc.rowCount(), 1);

    // Shrinking the grid drops the cells outside it.
    QVERIFY(parse(doc, lines({"BeginMap", "grid width=4", "grid height=4", "EndMap", "BeginPlot",
                              "x=3,y=0", "far", "x=1,y=2", "near", "EndPlot", "BeginMap",
                              "grid width=2", "EndMap"}))
                .ok());
    QCOMPARE(doc.PlotTexts.text(1, 1), QByteArray("near"));
    QCOMPARE(doc.PlotTexts.columnCount(), 2);
}

void TestReader::northUpWhateverTheWrapLines()
{
    // Column = x, row = height - 1 - y for every header: the plain map, a
    // torus, a flat map and a map without wrap lines, each wrap line before
    // or after the size.
    const QList<QList<const char *>> headers{
        {"grid width=3", "grid height=2", "wrap X=1", "wrap Y=0"},
        {"grid width=3", "grid height=2", "wrap X=1", "wrap Y=1"},
        {"grid width=3", "grid height=2", "wrap X=0", "wrap Y=0"},
        {"wrap X=0", "wrap Y=1", "grid width=3", "grid height=2"},
        {"grid width=3", "grid height=2"},
    };
    for (const QList<const char *> &header : headers) {
        QByteArray file = "BeginMap\r\n";
        for (const char *l : header)
            file += QByteArray(l) + "\r\n";
        file += "EndMap\r\n";
        for (int x = 0; x < 3; ++x)
            for (int y = 0; y < 2; ++y)
                file += "BeginPlot\r\nx=" + QByteArray::number(x) + ",y=" + QByteArray::number(y) + "\r\nP="
                        + QByteArray::number(x) + QByteArray::number(y) + "\r\nEndPlot\r\n";
        Document doc;
        QVERIFY(parse(doc, file).ok());
        for (int col = 0; col < 3; ++col)
            for (int row = 0; row < 2; ++row)
                QCOMPARE(doc.PlotTexts.text(col, row), "P=" + QByteArray::number(col) + QByteArray::number(1 - row));
    }

    // The height in force when the coordinate line is read counts.
    Document doc;
    QVERIFY(parse(doc, lines({"BeginMap", "grid width=2", "grid height=2", "EndMap", "BeginPlot", "x=1,y=0",
                              "A", "EndPlot", "BeginMap", "grid height=3", "EndMap", "BeginPlot", "x=1,y=0",
                              "B", "EndPlot"}))
                .ok());
    QCOMPARE(doc.PlotTexts.text(1, 1), QByteArray("A"));
    QCOMPARE(doc.PlotTexts.text(1, 2), QByteArray("B"));
}

void TestReader::coordinateLines()
{
    Document doc;
    LoadResult r = parse(doc, lines({"BeginMap", "grid width=4", "grid height=4", "num plots written=7",
                                     "EndMap",
                                     "BeginPlot", "before", "y=2,x=1", "named", "EndPlot",
                                     "BeginPlot", "x=-1,y=0", "outside", "EndPlot",
                                     "BeginPlot", "no coordinate", "EndPlot",
                                     "BeginPlot", "x=0,y=3", "first", "EndPlot",
                                     "BeginPlot", "X=0, Y=3", "second", "EndPlot",
                                     "BeginPlot", "x=9,y=9", "outside", "EndPlot",
                                     "BeginPlot", "x=2,y=1", "EndPlot",
                                     "BeginPlot", "x=2,y=1", "EndPlot"}));
    QVERIFY(r.ok());
    QCOMPARE(doc.PlotTexts.text(0, 0), QByteArray("before\r\nfirst\r\nsecond"));
    QCOMPARE(doc.PlotTexts.text(2, 2), QByteArray("named")); // first number is x
    QCOMPARE(doc.PlotTexts.filledCount(), 2);
    // What check reports: 8 blocks against 7 declared, two outside the grid
    // (dropped with the block without coordinates after one of them), and
    // three coordinate lines naming a plot named before.
    QCOMPARE(r.stats.plotBlocks, 8);
    QCOMPARE(r.stats.declaredPlots, std::optional<qint64>(7));
    QCOMPARE(r.stats.plotsOutside, 2);
    QCOMPARE(r.stats.firstOutsideLine, 12);
    QCOMPARE(r.stats.plotsRepeated, 3);
    QCOMPARE(r.stats.firstRepeatedLine, 23);

    // A coordinate line without a comma has an empty x value.
    r = parse(doc, lines({"BeginPlot", "x=1 y=2", "EndPlot"}));
    QCOMPARE(r.status, LoadResult::ValueError);
    QCOMPARE(r.message, QStringLiteral("'' is not a valid integer value"));
    QCOMPARE(r.line, 2);
    r = parse(doc, lines({"BeginPlot", "x=1,y=2, more=3", "EndPlot"}));
    QCOMPARE(r.message, QStringLiteral("'2, more=3' is not a valid integer value"));

    // Coordinates at the integer limits do not overflow.
    r = parse(doc, lines({"BeginMap", "grid width=3", "EndMap", "BeginPlot", "x=-2147483648,y=-2147483648",
                          "far", "x=2147483647,y=2147483647", "far", "EndPlot"}));
    QVERIFY(r.ok());
    QCOMPARE(doc.PlotTexts.filledCount(), 0);
    QCOMPARE(r.stats.plotsOutside, 2);
}

void TestReader::signBlocks()
{
    Document doc;
    QVERIFY(parse(doc, lines({"BeginGame", "BeginSign", "EndSign", "EndGame", // game text
                              "### Sign Info ###",
                              " beginsign ", "\tplotX=3", "", "plotY=4 ", "caption=Ford", "ENDSIGN",
                              "EndSign",                                    // outside a sign: a stray line
                              "BeginSign", "BeginSign", "caption=x", "EndSign", // a second opening ends the first
                              "BeginSign", "caption=cut", "BeginMap", "EndMap", // cut short: kept as it goes
                              "BeginSign", "EndSign",                       // empty sign
                              "BeginPlot", "BeginSign", "EndSign", "EndPlot", // plot text
                              "BeginSign", "caption=unclosed"}))
                .ok());
    QCOMPARE(doc.GameLines, (QList<QByteArray>{"BeginSign", "EndSign"}));
    QCOMPARE(doc.SignTexts, (QList<QByteArray>{"plotX=3\r\nplotY=4\r\ncaption=Ford", "", "caption=x", "caption=cut", "",
                                               "caption=unclosed"}));
    QCOMPARE(doc.PlotTexts.text(0, 0), QByteArray("BeginSign\r\nEndSign"));
    doc.ResetDocument(0, 0);
    QVERIFY(doc.SignTexts.isEmpty());
}

void TestReader::notAMapFile()
{
    // Pictures and empty files: tst_robustness.
    QTemporaryDir dir;
    const struct { const char *name; QByteArray bytes; } files[] = {
        {"README", "Version=11\r\nBeginGames\r\nA map: BeginMap\r\n"},
        {"signs", lines({"BeginSign", "caption=a", "EndSign"})},
    };
    for (const auto &f : files) {
        const QString path = dir.filePath(QLatin1String(f.name));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(f.bytes);
        out.close();
        Document doc;
        doc.GameLines = {"old"};
        const LoadResult r = loadMapFile(path, doc);
        QCOMPARE(r.status, LoadResult::NotAMap);
        QCOMPARE(r.message, QStringLiteral("%1 is not a world-builder map file").arg(path));
        QVERIFY(doc.FileName.isEmpty());
        QVERIFY(doc.GameLines.isEmpty() && doc.SignTexts.isEmpty());
        QCOMPARE(doc.columnCount(), 1);
    }
    // One keyword in any case is enough, even a closing one in error.
    Document doc;
    QVERIFY(parse(doc, "x\r\n  beginplot\r\n").ok());
    QCOMPARE(parse(doc, "x\r\nEndMap\r\n").status, LoadResult::StructureError);
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
    const LoadResult r = parse(doc, lines({"BeginMap", QByteArray("wrap X=" + value).constData(), "EndMap"}));
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
