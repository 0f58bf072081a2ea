#include "MapReader.h"
#include "MapWriter.h"
#include "PlotFacts.h"
#include "Vor4mapProcess.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace vor4;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QString continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");

} // namespace

class TestVor4map : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void helpVersionUsage();
    void check();
    void checkWarnings();
    void normalize();
    void loadErrors();
    void notAMapFile();
    void newMap_data();
    void newMap();
};

void TestVor4map::helpVersionUsage()
{
    Run r = vor4map({"--help"});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.contains("normalize IN OUT"));
    r = vor4map({"--version"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QByteArray("vor4map " VOR4_VERSION "\n"));
    for (const QStringList &wrong : {QStringList{}, QStringList{"check"}, QStringList{"frob", "x"},
                                     QStringList{"normalize", "a"}}) {
        r = vor4map(wrong);
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.startsWith("Usage: vor4map"));
    }
}

void TestVor4map::check()
{
    if (!QFile::exists(continents))
        QSKIP("fixtures not present");
    const Run r = vor4map({"check", continents});
    QCOMPARE(r.code, 0);
    Document doc;
    QVERIFY(loadMapFile(continents, doc).ok());
    QCOMPARE(r.out, QByteArray("Map size: 64 x 40\nTeam slots filled: 18\nPlayer slots filled: 18\n"
                               "Plots with text: ")
                        + QByteArray::number(doc.PlotTexts.filledCount()) + "\n");
    QCOMPARE(r.err, QByteArray()); // a sound map: no warnings
}

void TestVor4map::checkWarnings()
{
    QTemporaryDir dir;
    const QString damaged = dir.filePath("damaged.Vor4WorldBuilderSave");
    writeFile(damaged, "BeginPlayer\r\nStartingX=3, StartingY=1\r\nEndPlayer\r\n"
                       "BeginPlayer\r\nStartingX=2, StartingY=1\r\nEndPlayer\r\n"
                       "BeginPlayer\r\nStartingX=a, StartingY=-1\r\nEndPlayer\r\n"
                       "BeginMap\r\ngrid width=3\r\ngrid height=2\r\nwrap Y=1\r\nnum plots written=6\r\nEndMap\r\n"
                       "BeginPlot\r\nx=0,y=0\r\nEndPlot\r\nBeginPlot\r\nx=0,y=0\r\nEndPlot\r\n"
                       "BeginPlot\r\nx=3,y=0\r\nEndPlot\r\nBeginPlot\r\nx=0,y=2\r\nEndPlot\r\n");
    Run r = vor4map({"check", damaged});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.startsWith("Map size: 3 x 2\n"));
    QCOMPARE(r.err, QByteArray("warning: 4 plot blocks read, but \"num plots written=\" at line 14 says 6\n"
                               "warning: 2 plot blocks address a plot outside the 3 x 2 grid (first at line 23); "
                               "dropped\n"
                               "warning: 1 plot block addresses a plot read before (first at line 20); "
                               "its lines are added to that plot\n"
                               "warning: player 0 starts at x=3, y=1, outside the 3 x 2 map\n"
                               "warning: player 2 starts at x=?, y=-1, outside the 3 x 2 map\n"));

    // A map cut short: fewer plot blocks than the header promises.
    if (!QFile::exists(continents))
        QSKIP("fixtures not present");
    const QByteArray whole = readAll(continents);
    const QString cut = dir.filePath("cut.Vor4WorldBuilderSave");
    writeFile(cut, whole.left(whole.size() / 2));
    r = vor4map({"check", cut});
    QCOMPARE(r.code, 0);
    QVERIFY(r.err.startsWith("warning: "));
    QVERIFY(r.err.contains("\"num plots written=\" at line 416 says 2560\n"));
    QCOMPARE(r.err.count('\n'), 1);
}

void TestVor4map::normalize()
{
    if (!QFile::exists(continents))
        QSKIP("fixtures not present");
    QTemporaryDir dir;
    const QString out = dir.filePath("out.Vor4WorldBuilderSave");
    Run r = vor4map({"normalize", continents, out});
    QCOMPARE(r.code, 0);
    Document doc;
    QVERIFY(loadMapFile(continents, doc).ok());
    QCOMPARE(readAll(out), buildSaveFile(doc));

    // In place: the same file is read whole before it is replaced.
    const QString copy = dir.filePath("copy.Vor4WorldBuilderSave");
    QVERIFY(QFile::copy(continents, copy));
    r = vor4map({"normalize", copy, copy});
    QCOMPARE(r.code, 0);
    QCOMPARE(readAll(copy), readAll(out));

    r = vor4map({"normalize", continents, dir.filePath("no/such/folder/x")});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, ("Cannot create file " + dir.filePath("no/such/folder/x") + ": No such file or directory\n").toUtf8());
}

void TestVor4map::loadErrors()
{
    QTemporaryDir dir;
    const QString bad = dir.filePath("bad.Vor4WorldBuilderSave");
    writeFile(bad, "Version=11\r\nBeginGame\r\n\r\nEndMap\r\n");
    const QString out = dir.filePath("out.Vor4WorldBuilderSave");
    writeFile(out, "untouched");

    // FILE:LINE: as compilers say it, then the editor's message.
    const QByteArray at = bad.toUtf8() + ":";
    Run r = vor4map({"check", bad});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, at + "4: Error in map file - Line: 4\n");
    r = vor4map({"normalize", bad, out});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, at + "4: Error in map file - Line: 4\n");
    QCOMPARE(readAll(out), QByteArray("untouched"));

    writeFile(bad, "BeginMap\r\ngrid width=ten\r\n");
    r = vor4map({"check", bad});
    QCOMPARE(r.err, at + "2: 'ten' is not a valid integer value\n");

    const QString missing = dir.filePath("missing.Vor4WorldBuilderSave");
    r = vor4map({"check", missing});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, ("Cannot open file " + missing + "\n").toUtf8());
    r = vor4map({"normalize", "relative/missing", out});
    QCOMPARE(r.err, QByteArray("Cannot open file relative/missing\n"));
    QCOMPARE(readAll(out), QByteArray("untouched"));
}

void TestVor4map::notAMapFile()
{
    QTemporaryDir dir;
    const QString out = dir.filePath("out.Vor4WorldBuilderSave");
    for (const QByteArray &bytes : {QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), QByteArray()}) {
        const QString png = dir.filePath("picture.png");
        writeFile(png, bytes);
        writeFile(out, "untouched");
        const QByteArray message = (png + " is not a world-builder map file\n").toUtf8();
        Run r = vor4map({"check", png});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err, message);
        QCOMPARE(r.out, QByteArray());
        r = vor4map({"normalize", png, out});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.err, message);
        QCOMPARE(readAll(out), QByteArray("untouched"));
        r = vor4map({"normalize", png, png});
        QCOMPARE(r.code, 1);
        QCOMPARE(readAll(png), bytes);
    }
}

// vor4map new writes what the generator makes for the seed it prints; an
// error exits with 1 and leaves OUT as it was.
void TestVor4map::newMap_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("code");
    const QStringList golden{"--size", "24,16", "--players", "3", "--land", "continents", "--seed", "4", "--land-share", "45"};
    QTest::newRow("golden") << golden << 0;
    QTest::newRow("random seed") << QStringList{"--size=30,20", "--wrap", "both", "--base", "grass", "--players", "20",
                                                "--latitudes", "60,-30", "--hills", "30", "--peaks", "10"} << 0;
    QTest::newRow("no land for starts") << QStringList{"--size", "9,9", "--players", "3", "--seed", "1"} << 0;
    for (const QStringList &wrong :
         {QStringList{"--size", "0,5"}, {"--size", "1001,5"}, {"--size", "5"}, {"--players", "2"},
          {"--size", "9,9", "--wrap", "sideways"}, {"--size", "9,9", "--land", "moon"}, {"--size", "9,9", "--players", "65"},
          {"--size", "9,9", "--land-share", "95"}, {"--size", "9,9", "--seed", "-1"},
          {"--size", "9,9", "--base", "grass", "--land", "islands"}, {"--size", "9,9", "--frob"}, {"--size", "9,9", "second"},
          {"--size", "9,9", "--hills", "90", "--peaks", "20"}, {"--size", "9,9", "--latitudes", "91,0"}})
        QTest::addRow("%s", qPrintable(wrong.join(' '))) << wrong << 1;
}

void TestVor4map::newMap()
{
    QFETCH(QStringList, options);
    QFETCH(int, code);
    QTemporaryDir dir;
    const QString out = dir.filePath("new.Vor4WorldBuilderSave");
    writeFile(out, "kept");
    const Run r = vor4map(QStringList{"new", out} + options);
    QCOMPARE(r.code, code);
    if (code != 0) {
        QVERIFY(r.err.startsWith("vor4map new: "));
        QCOMPARE(readAll(out), QByteArray("kept"));
        return;
    }
    QVERIFY(r.out.startsWith("seed "));
    QCOMPARE(r.err.contains("3 of 3 players have no start"), options.contains("9,9"));
    if (options.contains("9,9"))
        return;
    const QString seed = QString::fromLatin1(r.out.mid(5).trimmed());
    if (options.contains("--seed")) {
        QCOMPARE(readAll(out), readAll(QStringLiteral(VOR4_FIXTURES_DIR "/generated-continents-24x16.Vor4WorldBuilderSave")));
        return;
    }
    // The seed printed makes the same map again; 20 players take 20 slots.
    const QString again = dir.filePath("again.Vor4WorldBuilderSave");
    QCOMPARE(vor4map(QStringList{"new", again} + options + QStringList{"--seed", seed}).code, 0);
    QCOMPARE(readAll(again), readAll(out));
    Document doc;
    QVERIFY(loadMapFile(out, doc).ok());
    QCOMPARE(doc.PlayerTexts.size(), 20);
    QVERIFY(PlotFacts::startOf(doc.PlayerTexts[19]).plot());
    QCOMPARE(doc.Header.wrapY, 1);
    QCOMPARE(doc.Header.topLatitude + doc.Header.bottomLatitude, QByteArray("60-30"));
    QVERIFY(vor4map({"new", dir.filePath("no/such/folder/x"), "--size", "3,3"}).code == 1);
}

QTEST_GUILESS_MAIN(TestVor4map)
#include "tst_vor4map.moc"
