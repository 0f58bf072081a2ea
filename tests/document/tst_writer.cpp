#include "MapReader.h"
#include "MapWriter.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#ifdef Q_OS_LINUX
#include <sys/resource.h>
#endif
#include <QtTest>

using namespace vor4;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void expectSameStores(const Document &a, const Document &b)
{
    QCOMPARE(a.GameLines, b.GameLines);
    QCOMPARE(a.MapLines, b.MapLines);
    QCOMPARE(a.columnCount(), b.columnCount());
    QCOMPARE(a.rowCount(), b.rowCount());
    QCOMPARE(a.TeamTexts, b.TeamTexts);
    QCOMPARE(a.PlayerTexts, b.PlayerTexts);
    QCOMPARE(a.Header, b.Header);
    QCOMPARE(a.SignTexts, b.SignTexts);
    for (int r = 0; r < a.rowCount(); ++r)
        for (int c = 0; c < a.columnCount(); ++c)
            if (a.PlotTexts.view(c, r) != b.PlotTexts.view(c, r))
                QFAIL(qPrintable(QStringLiteral("plot (%1, %2) differs").arg(c).arg(r)));
}

Document readBack(const QByteArray &bytes)
{
    Document doc;
    doc.FileLines = LineBuffer(bytes);
    const LoadResult r = ParseFileLines(doc);
    if (!r.ok())
        qWarning() << r.message;
    doc.FileLines.clear();
    return doc;
}

// A plain reading of a file's plot blocks and sign blocks, keyed by the
// file's own coordinates: what the game sees, whatever the editor makes of it.
struct PlainMap
{
    QMap<QPair<int, int>, QByteArray> plots;
    QList<QByteArray> signs;
};

PlainMap plainRead(const QByteArray &file)
{
    static const QRegularExpression coordinates(QStringLiteral("^x=(-?\\d+), *y=(-?\\d+)$"),
                                                QRegularExpression::CaseInsensitiveOption);
    PlainMap map;
    QByteArray *block = nullptr;
    for (const QByteArray &raw : file.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty())
            continue;
        const QRegularExpressionMatch m = coordinates.match(QString::fromLatin1(line));
        if (line == "EndPlot" || line == "EndSign") {
            block = nullptr;
        } else if (line == "BeginSign") {
            map.signs.append(QByteArray());
            block = &map.signs.last();
        } else if (m.hasMatch()) {
            block = &map.plots[{m.captured(1).toInt(), m.captured(2).toInt()}];
        } else if (block) {
            *block += line + "\n";
        }
    }
    // Plots without text are written by the editor but may be missing in a file.
    for (auto it = map.plots.begin(); it != map.plots.end();)
        it = it->isEmpty() ? map.plots.erase(it) : std::next(it);
    return map;
}

// The six header lines as written, in their place after "BeginMap".
QList<QByteArray> headerLines(const QByteArray &file)
{
    const qsizetype at = file.indexOf("BeginMap\r\n");
    return at < 0 ? QList<QByteArray>() : file.mid(at + 10).split('\n').mid(0, 6);
}

Document readFile(const QString &path)
{
    Document doc;
    const LoadResult r = loadMapFile(path, doc);
    if (!r.ok())
        qWarning() << r.message;
    return doc;
}

} // namespace

class TestWriter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void workedExample();
    void emptyDocument();
    void plotOrderAndIndent();
    void trimmingAndHeaderKeys();
    void realMapsRoundTrip_data();
    void realMapsRoundTrip();
    void headerValuesKept();
    void everySlotWritten();
    void signBlocks();
    void writeFailuresKeepOldFile();
};

void TestWriter::workedExample()
{
    Document doc;
    doc.ResetDocument(2, 2);
    doc.GameLines = {"G"};
    doc.TeamTexts[0] = "T";
    doc.PlayerTexts[0] = "P\r\nTeam=0";
    doc.MapLines = {"M"};
    doc.PlotTexts.setText(0, 0, "TerrainType=TERRAIN_GRASS");

    const QByteArray bytes = buildSaveFile(doc);
    QVERIFY(bytes.endsWith("\r\n"));
    const QList<QByteArray> l = bytes.chopped(1).split('\n');
    QCOMPARE(l.size(), 104);
    for (const QByteArray &line : l)
        QVERIFY(line.endsWith('\r'));
    auto at = [&](int n) { return l[n - 1].chopped(1); };
    QCOMPARE(at(1), QByteArray("Version=11"));
    QCOMPARE(at(2), QByteArray("BeginGame"));
    QCOMPARE(at(3), QByteArray("\tG"));
    QCOMPARE(at(4), QByteArray("EndGame"));
    QCOMPARE(at(5), QByteArray("BeginTeam"));
    QCOMPARE(at(6), QByteArray("\tT"));
    QCOMPARE(at(7), QByteArray("EndTeam"));
    for (int n = 8; n <= 41; ++n)
        QCOMPARE(at(n), QByteArray(n % 2 == 0 ? "BeginTeam" : "EndTeam"));
    QCOMPARE(at(42), QByteArray("BeginPlayer"));
    QCOMPARE(at(43), QByteArray("\tP"));
    QCOMPARE(at(44), QByteArray("\tTeam=0"));
    QCOMPARE(at(45), QByteArray("EndPlayer"));
    for (int n = 46; n <= 79; ++n)
        QCOMPARE(at(n), QByteArray(n % 2 == 0 ? "BeginPlayer" : "EndPlayer"));
    const QList<QByteArray> tail{
        "BeginMap", "\tgrid width=2", "\tgrid height=2", "\ttop latitude=90",
        "\tbottom latitude=-90", "\twrap X=1", "\twrap Y=0", "\tM", "\tnum plots written=4",
        "EndMap", "", "### Plot Info ###",
        "BeginPlot", "\tx=0,y=0", "EndPlot",
        "BeginPlot", "\tx=0,y=1", "\tTerrainType=TERRAIN_GRASS", "EndPlot",
        "BeginPlot", "\tx=1,y=0", "EndPlot",
        "BeginPlot", "\tx=1,y=1", "EndPlot"};
    for (int i = 0; i < tail.size(); ++i)
        QCOMPARE(at(80 + i), tail[i]);

    // Reading it back gives the same stores; saving again the same bytes.
    const Document back = readBack(bytes);
    expectSameStores(doc, back);
    QCOMPARE(buildSaveFile(back), bytes);
    QCOMPARE(buildSaveFile(doc), bytes);
}

void TestWriter::emptyDocument()
{
    Document doc; // as after New
    const QByteArray bytes = buildSaveFile(doc);
    QCOMPARE(bytes.count("BeginTeam\r\nEndTeam\r\n"), 18);
    QCOMPARE(bytes.count("BeginPlayer\r\nEndPlayer\r\n"), 18);
    QVERIFY(bytes.contains("\tgrid width=1\r\n\tgrid height=1\r\n"));
    QVERIFY(bytes.endsWith("\tnum plots written=1\r\nEndMap\r\n\r\n### Plot Info ###\r\n"
                           "BeginPlot\r\n\tx=0,y=0\r\nEndPlot\r\n"));
}

void TestWriter::plotOrderAndIndent()
{
    Document doc;
    doc.ResetDocument(3, 2);
    doc.PlotTexts.setText(1, 0, "BeginUnit\r\n  UnitType=A\r\nBeginInner\r\nX=1\r\nEndUnit\r\nafter\r\n");
    const QByteArray bytes = buildSaveFile(doc);
    QByteArray coords;
    for (const QByteArray &l : bytes.split('\n'))
        if (l.startsWith("\tx="))
            coords += l.trimmed() + ";";
    QCOMPARE(coords, QByteArray("x=0,y=0;x=0,y=1;x=1,y=0;x=1,y=1;x=2,y=0;x=2,y=1;"));
    QVERIFY(bytes.contains("\tnum plots written=6\r\n"));
    QVERIFY(bytes.contains("\tx=1,y=1\r\n\tBeginUnit\r\n\t\t  UnitType=A\r\n\t\tBeginInner\r\n"
                           "\t\tX=1\r\n\tEndUnit\r\n\tafter\r\nEndPlot\r\n"));
}

void TestWriter::trimmingAndHeaderKeys()
{
    Document doc;
    doc.GameLines = {"  spaced\t", ""};
    doc.TeamTexts[1] = "\ta\r\n\r\nb\r\n"; // final break: no empty line
    doc.MapLines = {"Keep", "my wrap X=0", "Num Plots Written=9", "bottom latitude=0"};
    const QByteArray bytes = buildSaveFile(doc);
    QVERIFY(bytes.contains("BeginGame\r\n\tspaced\r\n\t\r\nEndGame\r\n"));
    QVERIFY(bytes.contains("BeginTeam\r\n\ta\r\n\t\r\n\tb\r\nEndTeam\r\n"));
    QVERIFY(bytes.contains("\twrap Y=0\r\n\tKeep\r\n\tnum plots written=1\r\n"));
    QCOMPARE(bytes.count("wrap X="), 1);
    // The empty line in the team text is written as a tab alone and read back
    // as nothing.
    QCOMPARE(readBack(bytes).TeamTexts[1], QByteArray("a\r\nb"));
}

void TestWriter::realMapsRoundTrip_data()
{
    QTest::addColumn<QString>("path");
    const QDir maps(QStringLiteral(VOR4_FIXTURES_DIR));
    for (const QString &name : maps.entryList({QStringLiteral("*.Vor4WorldBuilderSave")}, QDir::Files))
        QTest::newRow(qPrintable(name)) << maps.filePath(name);
    QVERIFY(maps.entryList(QDir::Files).size() >= 2);
}

void TestWriter::realMapsRoundTrip()
{
    QFETCH(QString, path);
    const Document first = readFile(path);
    const QByteArray once = buildSaveFile(first);
    const Document second = readBack(once);
    expectSameStores(first, second);
    const QByteArray twice = buildSaveFile(second);
    QCOMPARE(twice, once);

    // The game sees the same map: every plot at its own x and y, every
    // sign, the header values in their place, all team and player blocks.
    const QByteArray original = readAll(path);
    const PlainMap before = plainRead(original);
    const PlainMap after = plainRead(once);
    QVERIFY(before.plots == after.plots);
    QCOMPARE(after.signs, before.signs);
    QCOMPARE(QList<QByteArray>(headerLines(once).mid(2)), headerLines(original).mid(2));
    QCOMPARE(once.count("BeginPlot\r\n"), qsizetype(first.columnCount()) * first.rowCount());
    for (const char *key : {"BeginTeam", "BeginPlayer", "StartingX=", "TerrainType=", "BonusType=",
                            "FeatureType=", "BeginUnit", "TeamReveal=", "num signs written="})
        QCOMPARE(once.count(key), original.count(key));
}

void TestWriter::headerValuesKept()
{
    // A torus, a flat map and other latitudes: read and written as they are,
    // and every plot keeps its x and y.
    const QByteArray file = "Version=11\r\nBeginMap\r\n\tgrid width=3\r\n\tgrid height=2\r\n"
                            "\ttop latitude=30\r\n\tbottom latitude=30\r\n\twrap X=0\r\n\twrap Y=1\r\n"
                            "\tnum plots written=6\r\nEndMap\r\n\r\n### Plot Info ###\r\n"
                            "BeginPlot\r\n\tx=0,y=0\r\n\tA=1\r\nEndPlot\r\n"
                            "BeginPlot\r\n\tx=2,y=0\r\n\tB=1\r\nEndPlot\r\n"
                            "BeginPlot\r\n\tx=2,y=1\r\n\tC=1\r\nEndPlot\r\n";
    const Document doc = readBack(file);
    const QByteArray bytes = buildSaveFile(doc);
    QVERIFY(bytes.contains("BeginMap\r\n\tgrid width=3\r\n\tgrid height=2\r\n\ttop latitude=30\r\n"
                           "\tbottom latitude=30\r\n\twrap X=0\r\n\twrap Y=1\r\n\tnum plots written=6\r\n"));
    QVERIFY(plainRead(bytes).plots == plainRead(file).plots);
    QCOMPARE(doc.PlotTexts.text(0, 1), QByteArray("A=1"));
    QCOMPARE(doc.PlotTexts.text(2, 0), QByteArray("C=1"));

    // A file without these lines, and a new map, get today's values.
    const QByteArray plain = buildSaveFile(readBack("BeginMap\r\ngrid width=2\r\nEndMap\r\n"));
    QVERIFY(plain.contains("\ttop latitude=90\r\n\tbottom latitude=-90\r\n\twrap X=1\r\n\twrap Y=0\r\n"));
    QCOMPARE(buildSaveFile(readBack(plain)), plain);
}

void TestWriter::everySlotWritten()
{
    Document doc;
    doc.TeamTexts.resize(20);
    doc.PlayerTexts.resize(20);
    for (int i = 0; i < 20; ++i) {
        doc.TeamTexts[i] = "TeamID=" + QByteArray::number(i);
        doc.PlayerTexts[i] = "Team=0\r\nName=" + QByteArray::number(i);
    }
    doc.PlayerTexts[19].clear();
    const QByteArray bytes = buildSaveFile(doc);
    QCOMPARE(bytes.count("BeginTeam\r\n"), 20);
    QCOMPARE(bytes.count("BeginPlayer\r\n"), 20);
    QVERIFY(bytes.contains("\tTeamID=19\r\nEndTeam\r\nBeginPlayer\r\n\tTeam=0\r\n\tName=0\r\nEndPlayer\r\n"));
    QVERIFY(bytes.contains("\tName=18\r\nEndPlayer\r\nBeginPlayer\r\nEndPlayer\r\nBeginMap\r\n"));
    const Document back = readBack(bytes);
    QCOMPARE(back.TeamTexts, doc.TeamTexts);
    QCOMPARE(back.PlayerTexts, doc.PlayerTexts);
}

void TestWriter::signBlocks()
{
    Document doc;
    QVERIFY(!buildSaveFile(doc).contains("Sign")); // no sign, no sign section
    doc.SignTexts = {"plotX=3\r\n  plotY=4 \r\ncaption=Ford", ""};
    const QByteArray bytes = buildSaveFile(doc);
    QVERIFY(bytes.endsWith("\tx=0,y=0\r\nEndPlot\r\n### Sign Info ###\r\nBeginSign\r\n\tplotX=3\r\n\tplotY=4\r\n"
                           "\tcaption=Ford\r\nEndSign\r\nBeginSign\r\nEndSign\r\n"));
    QCOMPARE(readBack(bytes).SignTexts, (QList<QByteArray>{"plotX=3\r\nplotY=4\r\ncaption=Ford", ""}));
}

void TestWriter::writeFailuresKeepOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("map.Vor4WorldBuilderSave");
    QVERIFY(writeMapFile(path, "old\r\n").ok);
    QCOMPARE(readAll(path), QByteArray("old\r\n"));
    QVERIFY(writeMapFile(path, "new\r\n").ok);
    QCOMPARE(readAll(path), QByteArray("new\r\n"));

    const QString missing = dir.filePath("gone/map.Vor4WorldBuilderSave");
    SaveResult r = writeMapFile(missing, "x");
    QVERIFY(!r.ok);
    QCOMPARE(r.message, QStringLiteral("Cannot create file %1: No such file or directory").arg(missing));

    r = writeMapFile(dir.path(), "x");
    QVERIFY(!r.ok);
    QCOMPARE(r.message, QStringLiteral("%1 is not an ordinary file; nothing written").arg(dir.path()));

#ifdef Q_OS_LINUX
    // A write that fails half way (here: a file size limit, as a full disk
    // would) names the file and the system's reason and leaves the old file as it was.
    {
        rlimit old{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &old) == 0);
        rlimit small = old;
        small.rlim_cur = 64 * 1024;
        std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        r = writeMapFile(path, QByteArray(1 << 20, 'x'));
        setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(!r.ok);
        QCOMPARE(r.message, QStringLiteral("Cannot write %1: File too large; the previous file is left as it was").arg(path));
        QCOMPARE(readAll(path), QByteArray("new\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("map.Vor4WorldBuilderSave")});
    }
#endif

    // Marked read-only: refused whoever runs the program, root included.
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser);
    r = writeMapFile(path, "newer\r\n");
    QVERIFY(!r.ok);
    QCOMPARE(r.message, QStringLiteral("%1 is read-only").arg(path));
    QCOMPARE(readAll(path), QByteArray("new\r\n"));
}

QTEST_GUILESS_MAIN(TestWriter)
#include "tst_writer.moc"
