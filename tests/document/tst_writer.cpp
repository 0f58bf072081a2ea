#include "MapReader.h"
#include "MapWriter.h"

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
    for (int i = 0; i < Document::SlotCount; ++i) {
        QCOMPARE(a.TeamTexts[i], b.TeamTexts[i]);
        QCOMPARE(a.PlayerTexts[i], b.PlayerTexts[i]);
    }
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

} // namespace

class TestWriter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void workedExample();
    void emptyDocument();
    void plotOrderAndIndent();
    void trimmingAndHeaderKeys();
    void fixturesRoundTrip_data();
    void fixturesRoundTrip();
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

void TestWriter::fixturesRoundTrip_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("continents") << QStringLiteral("continents-64x40.Vor4WorldBuilderSave");
    QTest::newRow("island") << QStringLiteral("island-15x15.Vor4WorldBuilderSave");
}

void TestWriter::fixturesRoundTrip()
{
    QFETCH(QString, file);
    const QString path = QStringLiteral(VOR4_FIXTURES_DIR "/") + file;
    if (!QFile::exists(path))
        QSKIP("fixtures not present");
    Document first;
    QVERIFY(loadMapFile(path, first).ok());
    const QByteArray once = buildSaveFile(first);
    const Document second = readBack(once);
    expectSameStores(first, second);
    const QByteArray twice = buildSaveFile(second);
    QCOMPARE(twice, once);
    QCOMPARE(buildSaveFile(readBack(twice)), once);

    // Nothing but the outside lines and regenerated header is lost.
    const QByteArray original = readAll(path);
    QCOMPARE(once.count("BeginPlot\r\n"), qsizetype(first.columnCount()) * first.rowCount());
    for (const char *key : {"TerrainType=", "BonusType=", "FeatureType=", "BeginUnit", "TeamReveal="})
        QCOMPARE(once.count(key), original.count(key));
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
    QCOMPARE(r.message, QStringLiteral("Cannot create file %1").arg(missing));

    r = writeMapFile(dir.path(), "x");
    QVERIFY(!r.ok);
    QCOMPARE(r.message, QStringLiteral("Cannot create file %1").arg(dir.path()));

#ifdef Q_OS_LINUX
    // A write that fails half way (here: a file size limit, as a full disk
    // would) reports "Stream write error" and leaves the old file as it was.
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
        QCOMPARE(r.message, QStringLiteral("Stream write error"));
        QCOMPARE(readAll(path), QByteArray("new\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("map.Vor4WorldBuilderSave")});
    }
#endif

    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser);
    r = writeMapFile(path, "newer\r\n");
    if (QFileInfo(path).isWritable())
        QSKIP("running with rights that ignore the read-only flag");
    QVERIFY(!r.ok);
    QCOMPARE(readAll(path), QByteArray("new\r\n"));
}

QTEST_GUILESS_MAIN(TestWriter)
#include "tst_writer.moc"
