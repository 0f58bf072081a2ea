// What vor4map writes: never over an input, never over a read-only file,
// never half, never without telling about damage in what it read.

#include "Vor4mapProcess.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Island = QStringLiteral(VOR4_FIXTURES_DIR "/island-15x15.Vor4WorldBuilderSave");
const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

const QByteArray Header = "BeginMap\r\ngrid width=2\r\ngrid height=1\r\nnum plots written=2\r\nEndMap\r\n";
const QByteArray Plot0 = "BeginPlot\r\nx=0,y=0\r\nPlotType=1\r\nEndPlot\r\n";
const QByteArray Plot1 = "BeginPlot\r\nx=1,y=0\r\nEndPlot\r\n";

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
    void readOnlyAndPermissions();
    void fileSizeLimit();
    void fullDisk();
    void loadErrorsNameFileAndLine();
    void tooComplexPatternIsNotNotFound();
    void readmeAgrees();

private:
    QTemporaryDir m_dir;
};

void TestOutputs::damageIsToldOrRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QByteArray>("finding");
    QTest::newRow("sound") << Header + Plot0 + Plot1 << false << QByteArray();
    QTest::newRow("nul, text after") << Header + Plot0 + QByteArray(1, '\0') + Plot1 << true
                                     << QByteArray("a NUL byte at line 10");
    QTest::newRow("nul at the end") << Header + Plot0 + Plot1 + QByteArray(1, '\0') << false
                                    << QByteArray("a NUL byte at line 13");
    QTest::newRow("outside") << Header + Plot0 + Plot1 + "BeginPlot\r\nx=7,y=0\r\nA=1\r\nEndPlot\r\n" << true
                             << QByteArray("outside the 2 x 1 grid");
    QTest::newRow("read twice") << Header + Plot0 + Plot0 + Plot1 << false << QByteArray("a plot read before");
    QTest::newRow("missing") << Header + Plot0 << false << QByteArray("1 of the 2 x 1 grid's plots are missing");
    QTest::newRow("cut short") << Header + Plot0 + Plot1.left(20) << true
                               << QByteArray("ends inside a section (\"BeginPlot\" at line 10");
}

void TestOutputs::damageIsToldOrRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, refused);
    QFETCH(QByteArray, finding);
    const QString in = m_dir.filePath("in.Vor4WorldBuilderSave");
    const QString out = m_dir.filePath("out.Vor4WorldBuilderSave");
    QVERIFY(writeFile(in, bytes));
    for (const QStringList &args : writers(in, out).mid(0, 2)) {
        QVERIFY(writeFile(out, "old"));
        Run r = vor4map(args);
        QCOMPARE(r.code, refused ? 1 : 0);
        QCOMPARE(readAll(out) == "old", refused);
        if (finding.isEmpty())
            QCOMPARE(r.err, QByteArray());
        else
            QVERIFY2(r.err.startsWith(in.toUtf8() + ": warning: ") && r.err.contains(finding), r.err);
        if (!refused)
            continue;
        QVERIFY(r.err.contains("nothing written"));
        r = vor4map(QStringList(args) << "--force");
        QCOMPARE(r.code, 0);
        QVERIFY(readAll(out).startsWith("Version=11"));
    }
}

void TestOutputs::inputsAreNeverOutputs()
{
    const QString map = m_dir.filePath("map.Vor4WorldBuilderSave");
    const QByteArray sound = Header + Plot0 + Plot1;
    QVERIFY(writeFile(map, sound));
    QVERIFY(QFile::link(map, m_dir.filePath("link.png")));
    const QList<QStringList> calls{{"thumbnail", map, map},
                                   {"render", map, m_dir.filePath("link.png")},
                                   {"render", map, m_dir.filePath("a.png"), "--minimap", map},
                                   {"render", map, m_dir.filePath("b.png"), "--minimap", m_dir.filePath("b.png")}};
    for (const QStringList &args : calls) {
        const Run r = vor4map(args);
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("is the same file as"), r.err);
        QCOMPARE(readAll(map), sound);
    }
    QVERIFY(!QFile::exists(m_dir.filePath("a.png")) && !QFile::exists(m_dir.filePath("b.png")));
    // No minimap to write: nothing at all is written.
    const QString noMap = m_dir.filePath("rules.Vor4WorldBuilderSave");
    QVERIFY(writeFile(noMap, "BeginGame\r\nEndGame\r\n"));
    const Run r = vor4map({"render", noMap, m_dir.filePath("c.png"), "--minimap", m_dir.filePath("d.png")});
    QCOMPARE(r.code, 1);
    QVERIFY(!QFile::exists(m_dir.filePath("c.png")) && !QFile::exists(m_dir.filePath("d.png")));
}

void TestOutputs::readOnlyAndPermissions()
{
    const QString out = m_dir.filePath("kept");
    for (const QStringList &args : writers(Island, out)) {
        // Marked read-only: refused whoever runs the test, root included.
        QVERIFY(writeFile(out, "old"));
        QVERIFY(QFile::setPermissions(out, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        Run r = vor4map(args);
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(out.toUtf8() + " is read-only"), r.err);
        QCOMPARE(readAll(out), QByteArray("old"));
        // Replaced, it keeps its permissions.
        const QFile::Permissions own = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(out, own));
        r = vor4map(args);
        QCOMPARE(r.code, 0);
        QVERIFY(readAll(out) != "old");
        QCOMPARE(QFileInfo(out).permissions() & ~(QFile::ReadUser | QFile::WriteUser), own);
        QFile::remove(out);
    }
}

void TestOutputs::fileSizeLimit()
{
    // Under a size limit of 1 KB every writer fails, says so, leaves the old
    // file, and is not killed by SIGXFSZ.
    const QString out = m_dir.filePath("limited");
    // A map small enough for one buffer, written at the last flush.
    const QString small = m_dir.filePath("small.Vor4WorldBuilderSave");
    QVERIFY(writeFile(small, "BeginMap\r\ngrid width=10\r\ngrid height=10\r\nEndMap\r\n"));
    const QList<QStringList> calls = writers(Continents, out) << QStringList{"normalize", small, out};
    for (const QStringList &args : calls) {
        QVERIFY(writeFile(out, "old"));
        QProcess p;
        p.start(QStringLiteral("/bin/sh"), QStringList{"-c", "ulimit -f 2 && exec \"$0\" \"$@\"", VOR4MAP_PATH} + args);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QVERIFY2(p.exitCode() == 1, qPrintable(args.join(' ')));
        QVERIFY(!p.readAllStandardError().isEmpty());
        QCOMPARE(readAll(out), QByteArray("old"));
    }
}

void TestOutputs::fullDisk()
{
    const QString mount = m_dir.filePath("small");
    QVERIFY(QDir().mkpath(mount));
    QProcess p;
    p.start(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=64k", "tmpfs", mount});
    if (!p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        QSKIP("cannot mount a small tmpfs here: the full disk is not tried");
    const auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {mount}); });
    const QString out = mount + QStringLiteral("/out");
    QVERIFY(writeFile(mount + QStringLiteral("/filler"), QByteArray(56 * 1024, 'x')));
    for (const QStringList &args : writers(Continents, out)) {
        QVERIFY(writeFile(out, "old"));
        const Run r = vor4map(args);
        QVERIFY2(r.code == 1, qPrintable(args.join(' ')));
        QVERIFY(!r.err.isEmpty());
        QCOMPARE(readAll(out), QByteArray("old"));
        QCOMPARE(QDir(mount).entryList(QDir::Files).size(), 2); // no temporary file left
    }
}

void TestOutputs::loadErrorsNameFileAndLine()
{
    const QString bad = m_dir.filePath("bad.Vor4WorldBuilderSave");
    const QByteArray value = "9" + QByteArray(200, '9') + "\x1b";
    QVERIFY(writeFile(bad, "BeginMap\r\ngrid width=" + value + "\r\nEndMap\r\n"));
    const QByteArray expected = bad.toUtf8() + ":2: '" + QByteArray(80, '9') + "\xe2\x80\xa6' is not a valid integer value\n";
    for (const QStringList &args : {QStringList{"check", bad}, QStringList{"normalize", bad, m_dir.filePath("x")},
                                    QStringList{"stats", bad}}) {
        const Run r = vor4map(args);
        QVERIFY(r.code != 0);
        QCOMPARE(r.err, expected);
    }
    // Command-line values: as typed, never the number they were cut to, and bounded.
    Run r = vor4map({"edit", Island, m_dir.filePath("x"), "--resize", "99999999999,5"});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains("not 99999999999 x 5\n"), r.err);
    r = vor4map({"edit", Island, m_dir.filePath("x"), "--put", "A=1", QString(200, QLatin1Char('9')) + "\t"});
    QCOMPARE(r.code, 2);
    QVERIFY2(r.err.contains("\"" + QByteArray(80, '9') + "\xe2\x80\xa6\" is not an area"), r.err);
    r = vor4map({"thumbnail", Island, m_dir.filePath("x"), "--size", "1\x1b"});
    QVERIFY2(r.err.contains("not '1\\x1B'"), r.err);
}

void TestOutputs::tooComplexPatternIsNotNotFound()
{
    const QString map = m_dir.filePath("find.Vor4WorldBuilderSave");
    QVERIFY(writeFile(map, Header + Plot0 + "BeginPlot\r\nx=1,y=0\r\n" + QByteArray(40, 'a') + "b\r\nEndPlot\r\n"));
    Run r = vor4map({"find", map, "(a+)+$", "--regex"});
    QCOMPARE(r.code, 2);
    QCOMPARE(r.err, QByteArray("pattern too complex at 1,0\n"));
    r = vor4map({"find", map, "a+b$", "--regex"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, "1,0: " + QByteArray(40, 'a') + "b\n");
}

void TestOutputs::readmeAgrees()
{
    const QByteArray readme = readAll(QStringLiteral(VOR4_SOURCE_DIR "/README.md"));
    const QByteArray manual = readAll(QStringLiteral(VOR4_SOURCE_DIR "/docs/vor4map.1"));
    const QByteArray help = vor4map({}).err;
    for (const QByteArray &call : {QByteArray("normalize IN OUT [--force]"), QByteArray("edit IN OUT [--force] OPERATION")}) {
        QVERIFY2(readme.contains("vor4map " + call), call);
        QVERIFY2(help.contains("vor4map " + call), call);
    }
    for (const QByteArray &said : {QByteArray("pattern too complex at X,Y"), QByteArray("is read-only")})
        QVERIFY(readme.contains(said) && manual.contains(QByteArray(said).replace("X,Y", "\\fIX\\fR,\\fIY\\fR")));
}

QTEST_GUILESS_MAIN(TestOutputs)
#include "tst_outputs.moc"
