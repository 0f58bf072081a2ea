// What vor4map writes: never over an input, never over a read-only file,
// never half, never without telling about damage in what it read.

#include "Vor4mapProcess.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");
const QByteArray Header = "BeginMap\r\ngrid width=2\r\ngrid height=1\r\nnum plots written=2\r\nEndMap\r\n";
const QByteArray Plot0 = "BeginPlot\r\nx=0,y=0\r\nPlotType=1\r\nEndPlot\r\n";
const QByteArray Plot1 = "BeginPlot\r\nx=1,y=0\r\nEndPlot\r\n";

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A small map: a player's start, two signs counted, a settler in plot 1,0.
const QList<QByteArray> Small{"BeginPlayer", "StartingX=0, StartingY=0", "EndPlayer", "BeginMap", "grid width=2",
                              "grid height=1", "num signs written=2", "num plots written=2", "EndMap", "BeginPlot",
                              "x=0,y=0", "PlotType=1", "EndPlot", "BeginPlot", "x=1,y=0", "BeginUnit",
                              "UnitType=UNIT_SETTLER, UnitOwner=0", "EndUnit", "EndPlot", "BeginSign", "plotX=0",
                              "plotY=0", "EndSign", "BeginSign", "plotX=1", "plotY=0", "EndSign"};

// Small with its lines from..to (1-based) left out, or `put` before line `from`.
QByteArray small(int from = 0, int to = -1, const QByteArray &put = {})
{
    QList<QByteArray> lines = Small;
    if (!put.isEmpty())
        lines.insert(from - 1, put);
    else if (from > 0)
        lines.remove(from - 1, to - from + 1);
    return lines.join("\r\n") + "\r\n";
}

enum Setup { OldFile, Pipe, Device, Link, FullOutput, SizeLimit };

// Every command that writes, given IN and OUT.
QList<QStringList> writers(const QString &in, const QString &out)
{
    return {{"normalize", in, out}, {"edit", in, out, "--put", "A=1", "all"}, {"thumbnail", in, out, "--size", "2048"},
            {"render", in, out}};
}

} // namespace

class TestOutputs : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void eachCaseIsToldAsARun_data();
    void eachCaseIsToldAsARun();
    void damageIsToldOrRefused_data();
    void damageIsToldOrRefused();
    void inputsAreNeverOutputs();
    void failedWritesKeepTheOldFile();
    void messagesNameFileAndLineAndAreBounded();
private:
    QTemporaryDir m_dir;
};

void TestOutputs::eachCaseIsToldAsARun_data()
{
    // The words of a command line, IN and OUT standing for the files (no map:
    // the continents fixture). Standard error holds `told`, or is empty; a
    // run that exits with 0 writes `out` into OUT, else to standard output.
    QTest::addColumn<QByteArray>("map");
    QTest::addColumn<QString>("args");
    QTest::addColumn<int>("setup");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("told");
    QTest::addColumn<QByteArray>("out");
    const auto row = [](const char *name, const QByteArray &map, const QString &args, Setup setup, int code,
                        const QByteArray &told, const QByteArray &out = {}) {
        QTest::newRow(name) << map << args << int(setup) << code << told << out;
    };
    const QByteArray open = small(18, 18), far = small(2, 0, "StartingX=2147483647, StartingY=-2147483648")
                                                    .replace("plotY=0\r\nEndSign\r\n", "plotY=-2147483648\r\nEndSign\r\n");
    row("over a pipe", small(), "thumbnail IN OUT", Pipe, 1, "thumbnail: OUT is not an ordinary file; nothing written\n");
    row("over a device", small(), "edit IN OUT --put A=1 0,0", Device, 1, "OUT is not an ordinary file; nothing written\n");
    row("through a link", small(), "normalize IN OUT", Link, 0, {}, "Version=11\r\n");
    row("cut between blocks", small(14, 27), "normalize IN OUT", OldFile, 1, "hide a plot count that disagrees with the plots read (line 8) and a sign");
    row("read twice", small(14, 0, "BeginPlot\r\nx=0,y=0\r\nEndPlot"), "normalize IN OUT", OldFile, 1, "and plots read twice");
    row("ends after EndMap", small(10, 27), "normalize IN OUT", OldFile, 1, "a file that ends after \"EndMap\" (line 9)");
    row("player left open", small(3, 3), "normalize IN OUT", OldFile, 0, "line 1 has no \"EndPlayer\"; its lines are kept in player slot 0\n", "StartingY=0\r\nEndPlayer\r\n");
    row("sign left open", small(27, 27), "normalize IN OUT", OldFile, 0, "sign block at line 24 has no \"EndSign\"", "plotY=0\r\nEndSign\r\n");
    row("a stray line", small(14, 0, "Stray=1"), "normalize IN OUT", OldFile, 1, "would drop 1 line outside every section (line 14)");
    row("counts follow", small(), "edit IN OUT --crop 1,0 --resize 3,2 --mirror-half left", OldFile, 0, "left the map", "=");
    row("open unit checked", open, "check IN", OldFile, 0, "1 unit without \"EndUnit\" (first at 1,0); each is read to the end");
    row("open unit put and moved", open, "edit IN OUT --put A=1 1,0 --move-units 1,0 0,0", OldFile, 0, {},
        "\tBeginUnit\r\n\t\tUnitType=UNIT_SETTLER, UnitOwner=0\r\nEndPlot\r\nBeginPlot\r\n\tx=1,y=0\r\n\tA=1\r\n");
    for (const QString &report : QStringList{"check IN", "stats IN", "pieces IN", "balance IN", "lint IN", "find IN Plot", "diff IN " + Continents})
        row(qPrintable(report), small(), report, FullOutput, 1, "Cannot write the output: No space left on device\n");
    row("render at a size limit", {}, "render IN OUT", SizeLimit, 1, "Cannot write OUT: File too large; the previous file");
    row("far marks moved", far, "edit IN OUT --flip horizontal --rotate 180 --resize 3,2 --crop 0,0:1,1 --rotate-half top",
        OldFile, 0, {}, "StartingX=2147483647, StartingY=-2147483648\r\n");
    row("far marks told", far, "check IN", OldFile, 0, "y=-2147483648, outside the 2 x 1 map\nwarning: sign 0 is at x=0, y=-2147483648");
    row("put with a CR", small(), "edit IN OUT --put A=1\r 0,0", OldFile, 1, "line \"A=1\\x0D\" holds a line break");
    row("replace makes a unit line", small(), "edit IN OUT --replace PlotType=1 EndUnit", OldFile, 1, "opens or closes a sub-block");
    row("no size", "BeginMap\r\ngrid width=0\r\nEndMap\r\n", "check IN", OldFile, 0, "line 2 gives no plots; the map is read as 1 x 1\n");
    row("long name", {}, "check /x/" + QString(100000, 'a'), OldFile, 1, "\xe2\x80\xa6" + QByteArray(100, 'a') + "\n");
    row("player escaped", small(), "edit IN OUT --start 1\x1b 0,0", OldFile, 2, "\"1\\x1B\" is not a player");
    row("folder escaped", small(), "balance IN --data /a\x1b", OldFile, 2, "/a\\x1B/VOR4TerrainInfos.xml: No such");
    row("put without =", small(), "edit IN OUT --put A\x1b" "B 0,0", OldFile, 1, "\"A\\x1BB\" is not a plot line");
    row("lint escapes", small().replace("PlotType=1", "PlotType=3\r\nTerrainType=T\x1bX"), "lint IN", OldFile, 1, {},
        "terrain T\\x1BX with PlotType 3\n");
}

void TestOutputs::eachCaseIsToldAsARun()
{
    QFETCH(QByteArray, map);
    QFETCH(QString, args);
    QFETCH(int, setup);
    QFETCH(int, code);
    QFETCH(QByteArray, told);
    QFETCH(QByteArray, out);
    QTemporaryDir dir;
    const QString in = map.isEmpty() ? Continents : dir.filePath("in"), target = dir.filePath("out");
    const QByteArray path = QFile::encodeName(target);
    // A device of its own: should it be replaced, only this node is lost. Without leave to make one, a pipe.
    QVERIFY((map.isEmpty() || writeFile(in, map)) && ((setup == Device && ::mknod(path, S_IFCHR | 0600, makedev(1, 3)) == 0)
            || (setup == Pipe || setup == Device ? ::mkfifo(path, 0600) == 0
                : setup == Link ? writeFile(in + ".old", "old") && QFile::link(in + ".old", target) : writeFile(target, "old"))));
    const QStringList call = args.replace("IN", in).replace("OUT", target).split(' ');
    QProcess p;
    if (setup == FullOutput)
        p.setStandardOutputFile(QStringLiteral("/dev/full"));
    p.start(setup == SizeLimit ? QStringLiteral("/bin/sh") : QStringLiteral(VOR4MAP_PATH),
            setup == SizeLimit ? QStringList{"-c", "ulimit -f 2 && exec \"$0\" \"$@\"", VOR4MAP_PATH} + call : call);
    QVERIFY(p.waitForFinished(60000));
    // Qt's word about the test machine's session is no message of the program's.
    const QByteArray err = QString::fromUtf8(p.readAllStandardError()).remove(QRegularExpression("QStandardPaths: [^\n]*\n")).toUtf8();
    const QByteArray stdOut = p.readAllStandardOutput();
    const QFileInfo after(target);
    const QByteArray bytes = after.isFile() ? readAll(target) : QByteArray(); // a pipe would block
    QVERIFY2(p.exitCode() == code && (told.isEmpty() ? err.isEmpty() : err.contains(told.replace("OUT", path))), err + stdOut);
    if (setup == Pipe || setup == Device)
        QVERIFY(after.exists() && !after.isFile());
    else if (code != 0 || !call.contains(target))
        QVERIFY((bytes == "old" || !call.contains(target)) && stdOut.contains(out));
    else if (out == "=") // the header's counts follow the blocks written
        QVERIFY(bytes.contains("\tnum plots written=" + QByteArray::number(bytes.count("BeginPlot")) + "\r\n")
                && bytes.contains("\tnum signs written=" + QByteArray::number(bytes.count("BeginSign")) + "\r\n"));
    else
        QVERIFY2(bytes.contains(out) && (setup != Link || after.isSymLink()), bytes.right(500));
}

void TestOutputs::damageIsToldOrRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QByteArray>("finding");
    QTest::newRow("sound") << Header + Plot0 + Plot1 << false << QByteArray();
    QTest::newRow("nul, text after") << Header + Plot0 + '\0' + Plot1 << true << QByteArray("a NUL byte at line 10");
    QTest::newRow("nul at the end") << Header + Plot0 + Plot1 + '\0' << false << QByteArray("a NUL byte at line 13");
    QTest::newRow("outside") << Header + Plot0 + Plot1 + "BeginPlot\r\nx=7,y=0\r\nA=1\r\nEndPlot\r\n" << true
                             << QByteArray("outside the 2 x 1 grid");
    QTest::newRow("read twice") << Header + Plot0 + Plot0 + Plot1 << true << QByteArray("a plot read before");
    QTest::newRow("missing") << Header + Plot0 << true << QByteArray("1 of the 2 x 1 grid's plots are missing");
    QTest::newRow("cut short") << Header + Plot0 + Plot1.left(20) << true
                               << QByteArray("ends inside a section (\"BeginPlot\" at line 10");
}

void TestOutputs::damageIsToldOrRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, refused);
    QFETCH(QByteArray, finding);
    const QString in = m_dir.filePath("in.Vor4WorldBuilderSave"), out = m_dir.filePath("out.Vor4WorldBuilderSave");
    QVERIFY(writeFile(in, bytes));
    for (const QStringList &args : writers(in, out).mid(0, 2)) {
        QVERIFY(writeFile(out, "old"));
        const Run r = vor4map(args);
        const bool told = finding.isEmpty() ? r.err.isEmpty()
                                            : r.err.startsWith(in.toUtf8() + ": warning: ") && r.err.contains(finding)
                                                  && r.err.contains("nothing written") == refused;
        QVERIFY2(told && r.code == (refused ? 1 : 0) && (readAll(out) == "old") == refused, r.err);
        if (refused)
            QVERIFY(vor4map(QStringList(args) << "--force").code == 0 && readAll(out).startsWith("Version=11"));
    }
}

void TestOutputs::inputsAreNeverOutputs()
{
    const QString map = m_dir.filePath("map.Vor4WorldBuilderSave"), a = m_dir.filePath("a.png"), b = m_dir.filePath("b.png");
    QVERIFY(writeFile(map, Header + Plot0 + Plot1) && QFile::link(map, m_dir.filePath("link.png")));
    for (const QStringList &args : QList<QStringList>{{"thumbnail", map, map}, {"render", map, m_dir.filePath("link.png")},
                                                      {"render", map, a, "--minimap", map}, {"render", map, b, "--minimap", b}}) {
        const Run r = vor4map(args);
        QVERIFY2(r.code == 1 && r.err.contains("is the same file as") && readAll(map) == Header + Plot0 + Plot1, r.err);
    }
    // No minimap to write: nothing at all is written.
    QVERIFY(writeFile(map, "BeginGame\r\nEndGame\r\n"));
    QCOMPARE(vor4map({"render", map, a, "--minimap", b}).code, 1);
    QVERIFY(!QFile::exists(a) && !QFile::exists(b));
}

void TestOutputs::failedWritesKeepTheOldFile()
{
    const QString out = m_dir.filePath("kept"), small = m_dir.filePath("small.Vor4WorldBuilderSave");
    // A map small enough for one buffer, written at the last flush.
    QVERIFY(writeFile(small, "BeginMap\r\ngrid width=10\r\ngrid height=10\r\nEndMap\r\n"));
    const QFile::Permissions own = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    const QList<QStringList> calls = writers(Continents, out) << QStringList{"normalize", small, out, "--force"};
    for (const QStringList &args : calls) {
        // Marked read-only: refused whoever runs the test, root included.
        QVERIFY(writeFile(out, "old") && QFile::setPermissions(out, QFile::ReadOwner | QFile::ReadGroup));
        Run r = vor4map(args);
        QVERIFY2(r.code == 1 && r.err.contains(out.toUtf8() + " is read-only") && readAll(out) == "old", r.err);
        // Under a 1 KB size limit: fails, says so, is not killed by SIGXFSZ, leaves no temporary file.
        QVERIFY(QFile::setPermissions(out, own));
        const QStringList files = QDir(m_dir.path()).entryList(QDir::Files);
        QProcess p;
        p.start(QStringLiteral("/bin/sh"), QStringList{"-c", "ulimit -f 2 && exec \"$0\" \"$@\"", VOR4MAP_PATH} + args);
        QVERIFY2(p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 1
                     && !p.readAllStandardError().isEmpty() && readAll(out) == "old"
                     && QDir(m_dir.path()).entryList(QDir::Files) == files, qPrintable(args.join(' ')));
        // Replaced, it keeps its permissions.
        QVERIFY(vor4map(args).code == 0 && readAll(out) != "old");
        QCOMPARE(QFileInfo(out).permissions() & ~(QFile::ReadUser | QFile::WriteUser), own);
    }
}

void TestOutputs::messagesNameFileAndLineAndAreBounded()
{
    const QString bad = m_dir.filePath("bad.Vor4WorldBuilderSave"), x = m_dir.filePath("x");
    QVERIFY(writeFile(bad, "BeginMap\r\ngrid width=9" + QByteArray(200, '9') + "\x1b\r\nEndMap\r\n"));
    const QByteArray cut = QByteArray(80, '9') + "\xe2\x80\xa6";
    for (const QStringList &args : {QStringList{"check", bad}, QStringList{"normalize", bad, x}, QStringList{"stats", bad}})
        QCOMPARE(vor4map(args).err, bad.toUtf8() + ":2: '" + cut + "' is not a valid integer value\n");
    // Command-line values: as typed, never the number they were cut to, and bounded.
    QVERIFY(vor4map({"edit", Continents, x, "--resize", "99999999999,5"}).err.contains("not 99999999999 x 5\n"));
    QVERIFY(vor4map({"edit", Continents, x, "--put", "A=1", QString(200, '9') + "\t"})
                .err.contains("\"" + cut + "\" is not an area"));
    QVERIFY(vor4map({"thumbnail", Continents, x, "--size", "1\x1b"}).err.contains("not '1\\x1B'"));
    // A pattern past the engine's limit is told, not "not found"; one within it still finds.
    QVERIFY(writeFile(bad, Header + Plot0 + "BeginPlot\r\nx=1,y=0\r\n" + QByteArray(40, 'a') + "b\r\nEndPlot\r\n"));
    const Run r = vor4map({"find", bad, "(a+)+$", "--regex"});
    QVERIFY2(r.code == 2 && r.err == "pattern too complex at 1,0\n", r.err);
    QCOMPARE(vor4map({"find", bad, "a+b$", "--regex"}).out, "1,0: " + QByteArray(40, 'a') + "b\n");
}

QTEST_GUILESS_MAIN(TestOutputs)
#include "tst_outputs.moc"
