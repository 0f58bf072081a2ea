// What vor4map writes: never over an input, never over a read-only file,
// never half, never without telling about damage in what it read.

#include "Vor4mapProcess.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

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
    void damageIsToldOrRefused_data();
    void damageIsToldOrRefused();
    void inputsAreNeverOutputs();
    void failedWritesKeepTheOldFile();
    void messagesNameFileAndLineAndAreBounded();
private:
    QTemporaryDir m_dir;
};

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
