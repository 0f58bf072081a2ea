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

// A small map, its lines numbered as the reader counts them: a player with
// a start, two signs counted in the header, a settler in the second plot.
const QList<QByteArray> Small{
    "BeginPlayer", "Name=A", "StartingX=0, StartingY=0", "EndPlayer",                             // 1-4
    "BeginMap", "grid width=2", "grid height=1", "num signs written=2", "num plots written=2", "EndMap", // 5-10
    "BeginPlot", "x=0,y=0", "PlotType=1", "EndPlot",                                               // 11-14
    "BeginPlot", "x=1,y=0", "BeginUnit", "UnitType=UNIT_SETTLER, UnitOwner=0", "EndUnit", "EndPlot", // 15-20
    "BeginSign", "plotX=0", "plotY=0", "caption=A", "EndSign",                                     // 21-25
    "BeginSign", "plotX=1", "plotY=0", "caption=B", "EndSign"};                                    // 26-30

// Small with lines [from, to] (1-based) taken out and `put` inserted before line `at`.
QByteArray small(int from = 0, int to = -1, int at = 0, const QList<QByteArray> &put = {})
{
    QList<QByteArray> lines = Small;
    if (to >= from && from > 0)
        lines.remove(from - 1, to - from + 1);
    for (qsizetype i = put.size() - 1; i >= 0 && at > 0; --i)
        lines.insert(at - 1, put[i]);
    return lines.join("\r\n") + "\r\n";
}

// Where OUT stands before the run, and how the program is run.
enum Setup { OldFile, Pipe, Device, Folder, Link, FullOutput, SizeLimit };

Run runAs(Setup setup, const QStringList &args)
{
    QProcess p;
    if (setup == FullOutput)
        p.setStandardOutputFile(QStringLiteral("/dev/full"));
    if (setup == SizeLimit)
        p.start(QStringLiteral("/bin/sh"), QStringList{"-c", "ulimit -f 2 && exec \"$0\" \"$@\"", VOR4MAP_PATH} + args);
    else
        p.start(QStringLiteral(VOR4MAP_PATH), args);
    p.waitForFinished(60000);
    // Qt's own word about the test machine's session is no message of the program's.
    QByteArray err = p.readAllStandardError();
    static const QRegularExpression session(QStringLiteral("^QStandardPaths: [^\n]*\n"),
                                            QRegularExpression::MultilineOption);
    err = QString::fromUtf8(err).remove(session).toUtf8();
    return {p.exitCode(), p.readAllStandardOutput(), err};
}

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
    // IN and OUT in args and messages stand for the files; an empty map is
    // the continents fixture. `err` ending in a line break is the whole of
    // standard error, else its start; `out` is held in standard output;
    // `written` in OUT, empty for OUT as it was, "=counts" for a header
    // whose counts follow the blocks written.
    QTest::addColumn<QByteArray>("map");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("setup");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("err");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("written");
    const QByteArray none;
    const QByteArray notOrdinary = "OUT is not an ordinary file; nothing written\n";
    const QStringList normalize{"normalize", "IN", "OUT"};

    // Outputs that are not ordinary files are never replaced; a link to one is.
    QTest::newRow("thumbnail over a pipe") << small() << QStringList{"thumbnail", "IN", "OUT"} << int(Pipe) << 1
                                           << "vor4map thumbnail: " + notOrdinary << none << none;
    QTest::newRow("render over a device") << small() << QStringList{"render", "IN", "OUT"} << int(Device) << 1
                                          << "vor4map render: " + notOrdinary << none << none;
    QTest::newRow("minimap over a pipe") << small() << QStringList{"render", "IN", "IN.png", "--minimap", "OUT"}
                                         << int(Pipe) << 1 << "vor4map render: " + notOrdinary << none << none;
    QTest::newRow("normalize over a folder") << small() << normalize << int(Folder) << 1 << notOrdinary << none << none;
    QTest::newRow("edit over a device") << small() << QStringList{"edit", "IN", "OUT", "--put", "A=1", "0,0"}
                                        << int(Device) << 1 << notOrdinary << none << none;
    QTest::newRow("new over a pipe") << none << QStringList{"new", "OUT", "--size", "4,4"} << int(Pipe) << 1
                                     << "vor4map new: " + notOrdinary << none << none;
    QTest::newRow("through a link") << small() << normalize << int(Link) << 0 << QByteArray("\n") << none
                                    << QByteArray("Version=11\r\n");

    // A file cut between blocks, a plot read twice, one that ends after EndMap: refused without --force.
    const QByteArray cutWarnings = "IN: warning: 1 plot blocks read, but \"num plots written=\" at line 9 says 2\n"
                                   "IN: warning: 1 of the 2 x 1 grid's plots are missing; they are written empty\n"
                                   "IN: warning: 0 sign blocks read, but \"num signs written=\" at line 8 says 2\n";
    QTest::newRow("cut between blocks") << small(15, 30) << normalize << int(OldFile) << 1
                                        << cutWarnings + "IN: nothing written: writing would hide a plot count that "
                                           "disagrees with the plots read (line 9) and a sign count that disagrees "
                                           "with the signs read (line 8); --force writes it all the same\n"
                                        << none << none;
    QTest::newRow("cut, forced") << small(15, 30) << normalize + QStringList{"--force"} << int(OldFile) << 0
                                 << cutWarnings << none << QByteArray("num signs written=0\r\n\tnum plots written=2\r\n");
    QTest::newRow("a plot read twice") << small(0, -1, 15, Small.mid(10, 4))
                                       << QStringList{"edit", "IN", "OUT", "--put", "A=1", "0,0"} << int(OldFile) << 1
                                       << QByteArray("IN: warning: 3 plot blocks read, but \"num plots written=\" at line "
                                                     "9 says 2\nIN: warning: 1 plot block addresses a plot read before "
                                                     "(first at line 16); its lines are added to that plot\nIN: nothing "
                                                     "written: writing would hide a plot count that disagrees with the "
                                                     "plots read (line 9) and plots read twice (first at line 16); "
                                                     "--force writes it all the same\n")
                                       << none << none;
    QTest::newRow("ends after EndMap") << small(11, 30) << normalize << int(OldFile) << 1
                                       << QByteArray("IN: warning: 0 plot blocks read, but \"num plots written=\" at line "
                                                     "9 says 2\nIN: warning: the file ends after \"EndMap\" at line 10: "
                                                     "none of the 2 x 1 grid's plots was read\nIN: warning: 2 of the 2 x 1 "
                                                     "grid's plots are missing; they are written empty\nIN: warning: 0 sign "
                                                     "blocks read, but \"num signs written=\" at line 8 says 2\nIN: nothing "
                                                     "written: writing would hide a plot count that disagrees with the plots "
                                                     "read (line 9), a file that ends after \"EndMap\" (line 10) and a sign "
                                                     "count that disagrees with the signs read (line 8); --force writes it "
                                                     "all the same\n")
                                       << none << none;

    // Nothing dropped without a word: blocks left open are kept, stray lines refused.
    QTest::newRow("last player left open") << small(4, 4) << normalize << int(OldFile) << 0
                                           << QByteArray("IN: warning: the player block at line 1 has no \"EndPlayer\"; "
                                                         "its lines are kept in player slot 0\n")
                                           << none << QByteArray("BeginPlayer\r\n\tName=A\r\n\tStartingX=0, StartingY=0\r\nEndPlayer");
    QTest::newRow("last sign left open") << small(30, 30) << normalize << int(OldFile) << 0
                                         << QByteArray("IN: warning: the sign block at line 26 has no \"EndSign\"; it is "
                                                       "kept as far as it goes\n")
                                         << none << QByteArray("\tplotY=0\r\n\tcaption=B\r\nEndSign\r\n");
    QTest::newRow("a stray line") << small(0, -1, 15, {"TerrainType=TERRAIN_SNOW"}) << normalize << int(OldFile) << 1
                                  << QByteArray("IN: warning: 1 line outside every section (line 15); it is not written "
                                                "back\nIN: nothing written: writing would drop 1 line outside every "
                                                "section (line 15); --force writes it all the same\n")
                                  << none << none;

    // Counts in the header follow the document.
    QTest::newRow("crop") << small() << QStringList{"edit", "IN", "OUT", "--crop", "1,0"} << int(OldFile) << 0
                          << QByteArray("vor4map edit: 1 start position and 1 sign left the map and were removed\n")
                          << QByteArray("Crop map to 1 x 1\n") << QByteArray("=counts");
    QTest::newRow("resize") << small() << QStringList{"edit", "IN", "OUT", "--resize", "3,2"} << int(OldFile) << 0
                            << QByteArray("\n") << QByteArray("Resize map to 3 x 2\n") << QByteArray("=counts");
    QTest::newRow("make symmetric") << small() << QStringList{"edit", "IN", "OUT", "--mirror-half", "left"}
                                    << int(OldFile) << 0 << none << none << QByteArray("=counts");

    // A unit without EndUnit is read one way everywhere.
    const QByteArray open = small(19, 19);
    QTest::newRow("check names an open unit") << open << QStringList{"check", "IN"} << int(OldFile) << 0
                                              << QByteArray("warning: 1 unit without \"EndUnit\" (first at 1,0); each is "
                                                            "read to the end of its plot\n")
                                              << QByteArray("Plots with text: 2\n") << none;
    QTest::newRow("pieces see it") << open << QStringList{"pieces", "IN"} << int(OldFile) << 0 << QByteArray("\n")
                                   << QByteArray("unit 1,0 0 UNIT_SETTLER\n") << none;
    QTest::newRow("put stays out of it") << open
                                         << QStringList{"edit", "IN", "OUT", "--put", "TerrainType=TERRAIN_SNOW", "1,0"}
                                         << int(OldFile) << 0 << QByteArray("\n") << none
                                         << QByteArray("\tx=1,y=0\r\n\tTerrainType=TERRAIN_SNOW\r\n\tBeginUnit\r\n"
                                                       "\t\tUnitType=UNIT_SETTLER, UnitOwner=0\r\nEndPlot");
    QTest::newRow("move-units moves it") << open << QStringList{"edit", "IN", "OUT", "--move-units", "1,0", "0,0"}
                                         << int(OldFile) << 0 << QByteArray("\n")
                                         << QByteArray("Move 1 unit from 1,0 to 0,0\n")
                                         << QByteArray("\tPlotType=1\r\n\tBeginUnit\r\n\t\tUnitType=UNIT_SETTLER, "
                                                       "UnitOwner=0\r\nEndPlot\r\nBeginPlot\r\n\tx=1,y=0\r\nEndPlot");

    // Reports notice a failed write; so do files under a size limit.
    const QByteArray full = "Cannot write the output: No space left on device\n";
    const QList<QStringList> reports{{"check", "IN"}, {"stats", "IN"},   {"find", "IN", "Plot"}, {"pieces", "IN"},
                                     {"balance", "IN"}, {"lint", "IN"}, {"diff", "IN", VOR4_FIXTURES_DIR "/island-15x15.Vor4WorldBuilderSave"}};
    for (const QStringList &report : reports)
        QTest::addRow("%s on a full device", qPrintable(report[0])) << small() << report << int(FullOutput) << 1 << full
                                                                    << none << none;
    const QByteArray tooLarge = "Cannot write OUT: File too large; the previous file is left as it was\n";
    QTest::newRow("normalize at a size limit") << none << normalize << int(SizeLimit) << 1 << tooLarge << none << none;
    QTest::newRow("render at a size limit") << none << QStringList{"render", "IN", "OUT"} << int(SizeLimit) << 1
                                            << tooLarge << none << none;
    QTest::newRow("thumbnail at a size limit") << none << QStringList{"thumbnail", "IN", "OUT", "--size", "2048"}
                                               << int(SizeLimit) << 1 << tooLarge << none << none;

    // Numbers at the ends of the integer range stay where they are named, told as off the map.
    const QByteArray far = small(0, -1, 2, {"StartingX=-2147483648, StartingY=2147483647"})
                               .replace("plotX=1\r\n", "plotX=-2147483648\r\n");
    QTest::newRow("far start and sign, transformed")
        << far << QStringList{"edit", "IN", "OUT", "--flip", "horizontal", "--rotate", "180", "--resize", "3,2",
                              "--crop", "0,0:1,1", "--mirror-half", "left", "--rotate-half", "top"}
        << int(OldFile) << 0 << none << none << QByteArray("\tStartingX=-2147483648, StartingY=2147483647\r\n");
    QTest::newRow("far start and sign, checked")
        << far << QStringList{"check", "IN"} << int(OldFile) << 0
        << QByteArray("warning: player 0 starts at x=-2147483648, y=2147483647, outside the 2 x 1 map\n"
                      "warning: sign 1 is at x=-2147483648, y=0, outside the 2 x 1 map\n")
        << none << none;

    // Values and names are refused as typed, shown escaped and cut.
    QTest::newRow("put with a line break") << small() << QStringList{"edit", "IN", "OUT", "--put", "A=1\r", "0,0"}
                                           << int(OldFile) << 1
                                           << QByteArray("vor4map edit: --put: The line \"A=1\\x0D\" holds a line break "
                                                         "or a NUL byte: it would not stay one line in the file\n")
                                           << none << none;
    QTest::newRow("replace makes a unit") << small() << QStringList{"edit", "IN", "OUT", "--replace", "PlotType=1", "EndUnit"}
                                          << int(OldFile) << 1
                                          << QByteArray("vor4map edit: --replace: The line \"PlotType=1\" would become "
                                                        "\"EndUnit\", which opens or closes a sub-block such as a unit "
                                                        "(BeginUnit ... EndUnit) (in plot 0,0). Nothing was replaced.\n")
                                          << none << none;
    QTest::newRow("no size") << QByteArray("BeginMap\r\ngrid width=0\r\ngrid height=-3\r\nEndMap\r\n")
                             << QStringList{"check", "IN"} << int(OldFile) << 0
                             << QByteArray("warning: \"grid width=0\" at line 2 gives no plots; the map is read as 1 x 1\n"
                                           "warning: the file ends after \"EndMap\" at line 4: none of the 1 x 1 grid's "
                                           "plots was read\n")
                             << none << none;
    const QString longName = QStringLiteral("/nowhere/") + QString(100000, QLatin1Char('a'));
    QTest::newRow("a long file name") << none << QStringList{"check", longName} << int(OldFile) << 1
                                      << "Cannot open file /nowhere/" + QByteArray(51, 'a') + "\xe2\x80\xa6"
                                             + QByteArray(100, 'a') + "\n"
                                      << none << none;
    QTest::newRow("player slot escaped") << small() << QStringList{"edit", "IN", "OUT", "--start", "1\x1b", "0,0"}
                                         << int(OldFile) << 2
                                         << QByteArray("vor4map edit: --start: \"1\\x1B\" is not a player slot number")
                                         << none << none;
    QTest::newRow("river flow escaped") << small() << QStringList{"edit", "IN", "OUT", "--river", "0,0", "north", "x\x1b"}
                                        << int(OldFile) << 2
                                        << QByteArray("vor4map edit: --river: \"x\\x1B\" is not north, east, south or west")
                                        << none << none;
    QTest::newRow("data folder escaped") << small() << QStringList{"balance", "IN", "--data", "/no\x1bwhere"}
                                         << int(OldFile) << 2
                                         << QByteArray("/no\\x1Bwhere/VOR4TerrainInfos.xml: No such file or directory\n")
                                         << none << none;
    QTest::newRow("put without =") << small() << QStringList{"edit", "IN", "OUT", "--put", "A\x1b" "B", "0,0"}
                                   << int(OldFile) << 1
                                   << QByteArray("vor4map edit: --put: \"A\\x1BB\" is not a plot line: it has no \"=\"\n")
                                   << none << none;
    QTest::newRow("lint escapes the map") << small().replace("PlotType=1", "PlotType=3\r\nTerrainType=T\x1bX")
                                          << QStringList{"lint", "IN"} << int(OldFile) << 1 << none
                                          << QByteArray("terrain T\\x1BX with PlotType 3\n") << none;
}

void TestOutputs::eachCaseIsToldAsARun()
{
    QFETCH(QByteArray, map);
    QFETCH(QStringList, args);
    QFETCH(int, setup);
    QFETCH(int, code);
    QFETCH(QByteArray, err);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, written);
    QTemporaryDir dir;
    const QString in = map.isEmpty() ? Continents : dir.filePath("in.Vor4WorldBuilderSave");
    const QString target = dir.filePath("out"), old = dir.filePath("old");
    QVERIFY(map.isEmpty() || writeFile(in, map));
    bool made = true;
    switch (Setup(setup)) {
    case Device: // a device of its own: should it be replaced, only this copy of it is lost
        if (::mknod(QFile::encodeName(target).constData(), S_IFCHR | 0600, makedev(1, 3)) == 0)
            break;
        [[fallthrough]]; // not allowed to make one: a pipe stands in for it
    case Pipe: made = ::mkfifo(QFile::encodeName(target).constData(), 0600) == 0; break;
    case Folder: made = QDir(dir.path()).mkdir("out"); break;
    case Link: made = writeFile(old, "old") && QFile::link(old, target); break;
    default: made = writeFile(target, "old"); break;
    }
    QVERIFY(made);
    QStringList call;
    for (const QString &a : args)
        call << (a == "IN" ? in : a == "OUT" ? target : a == "IN.png" ? dir.filePath("in.png") : a);
    const Run r = runAs(Setup(setup), call);
    QByteArray expected = err;
    expected.replace("IN:", in.toUtf8() + ':').replace("OUT", target.toUtf8());
    const bool whole = expected.endsWith('\n');
    if (expected == "\n")
        expected.clear();
    QVERIFY2(r.code == code && (whole ? r.err == expected : r.err.startsWith(expected)) && r.out.contains(out),
             qPrintable(QStringLiteral("exit %1\n%2\n%3").arg(r.code).arg(QString::fromUtf8(r.err), QString::fromUtf8(r.out))));
    const QFileInfo after(target);
    const QByteArray bytes = after.isFile() ? readAll(target) : QByteArray(); // a pipe would block
    if (setup == Pipe || setup == Device || setup == Folder)
        QVERIFY(!after.isFile() && after.exists() && !QFile::exists(dir.filePath("in.png")));
    else if (written.isEmpty())
        QCOMPARE(bytes, QByteArray("old"));
    else if (written == "=counts")
        QVERIFY2(bytes.contains("\tnum plots written=" + QByteArray::number(bytes.count("BeginPlot")) + "\r\n")
                     && bytes.contains("\tnum signs written=" + QByteArray::number(bytes.count("BeginSign")) + "\r\n"),
                 bytes.left(2000));
    else
        QVERIFY2(bytes.contains(written), bytes.right(600));
    if (setup == Link)
        QVERIFY(after.isSymLink() && readAll(old).startsWith("Version=11"));
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
