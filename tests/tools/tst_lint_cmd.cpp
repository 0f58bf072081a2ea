// vor4map lint run as a user runs it: the report and its JSON form against
// their golden copies, the grouping of many findings, the fixes written to
// another file, and the exit statuses.

#include "Vor4mapProcess.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Rules = QStringLiteral(VOR4_FIXTURES_DIR "/../lint/rules.Vor4WorldBuilderSave");
const QString Clean = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");

} // namespace

class TestLintCommand : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void exitAndOutput_data();
    void exitAndOutput();
    void manyFindingsGrouped();
    void fixes_data();
    void fixes();
    void startsFromSettlersOnMultiplayerMaps();
};

void TestLintCommand::exitAndOutput_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("out");
    QTest::newRow("findings") << QStringList{"lint", Rules} << 1
                              << readAll(QStringLiteral(VOR4_FIXTURES_DIR "/../lint/rules.expected"));
    QTest::newRow("findings, json") << QStringList{"lint", Rules, "--json"} << 1
                                    << readAll(QStringLiteral(VOR4_FIXTURES_DIR "/../lint/rules.json"));
    QTest::newRow("none") << QStringList{"lint", Clean} << 0 << QByteArray();
    QTest::newRow("none, json") << QStringList{"lint", Clean, "--json"} << 0 << QByteArray("[]\n");
    QTest::newRow("missing file") << QStringList{"lint", Rules + ".gone"} << 2 << QByteArray();
    QTest::newRow("no file") << QStringList{"lint"} << 2 << QByteArray();
    QTest::newRow("unknown option") << QStringList{"lint", Rules, "--xml"} << 2 << QByteArray();
}

void TestLintCommand::exitAndOutput()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QByteArray, out);
    const Run r = vor4map(args);
    QCOMPARE(r.code, code);
    QCOMPARE(r.out, out);
    QCOMPARE(r.err.isEmpty(), code < 2);
}

void TestLintCommand::manyFindingsGrouped()
{
    // A map of nothing but its header: 30 x 20 plots without a line.
    QTemporaryDir tmp;
    const QString empty = tmp.filePath(QStringLiteral("empty.Vor4WorldBuilderSave"));
    QFile file(empty);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Version=11\r\nBeginMap\r\n\tgrid width=30\r\n\tgrid height=20\r\n\tnum plots written=600\r\n"
               "EndMap\r\n");
    file.close();
    const Run grouped = vor4map({"lint", empty});
    QCOMPARE(grouped.code, 1);
    QCOMPARE(grouped.out, "no-terrain: 600 plots, first at 0,0\nno-plot-type: 600 plots, first at 0,0\n");
    const Run all = vor4map({"lint", empty, "--all"});
    QCOMPARE(all.out.count('\n'), 1200);
    QVERIFY(all.out.startsWith("0,0: no-terrain: no \"TerrainType=\" line\n0,1: no-terrain:"));
    const Run json = vor4map({"lint", empty, "--json"});
    QVERIFY(json.out.startsWith("[{\"x\":0,\"y\":0,\"rule\":\"no-terrain\",\"message\":\"600 plots, first at 0,0\","
                                "\"plots\":600},"));
}

void TestLintCommand::fixes_data()
{
    // OUT stands for the file written; `stat` is what vor4map diff --stat
    // says of IN against it, empty when nothing may be written.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("stat");
    QTest::newRow("two rules") << QStringList{"lint", Rules, "--fix", "unit-not-closed,bonus-on-wrong-plot", "--out", "OUT"}
                               << 0
                               << QByteArray("0,0: bonus-on-wrong-plot: removed \"BonusType=BONUS_CRAB\"\n"
                                             "3,1: unit-not-closed: added \"EndUnit\"\n")
                               << QByteArray("sections changed: 0\nplots changed: 2\nplots added: 0\nplots removed: 0\n"
                                             "lines removed: 1\nlines added: 1\n");
    QTest::newRow("stale starts") << QStringList{"lint", Rules, "--fix", "start-apart-from-settler", "--out", "OUT"} << 0
                                  << QByteArray("2,1: start-apart-from-settler: start line of player 0 to its settler at 3,0\n"
                                                "1,1: start-apart-from-settler: start line of player 1 to its settler at 2,0\n")
                                  << QByteArray("sections changed: 2\nplots changed: 0\nplots added: 0\nplots removed: 0\n"
                                                "lines removed: 2\nlines added: 2\n");
    QTest::newRow("nothing to fix") << QStringList{"lint", Clean, "--fix", "river-on-water", "--out", "OUT"} << 1
                                    << QByteArray() << QByteArray();
    QTest::newRow("rule without a fix") << QStringList{"lint", Rules, "--fix", "water-mismatch", "--out", "OUT"} << 2
                                        << QByteArray() << QByteArray();
    QTest::newRow("no --out") << QStringList{"lint", Rules, "--fix", "river-on-water"} << 2 << QByteArray() << QByteArray();
}

void TestLintCommand::fixes()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, stat);
    QTemporaryDir tmp;
    const QString written = tmp.filePath(QStringLiteral("out.Vor4WorldBuilderSave"));
    args.replaceInStrings(QRegularExpression(QStringLiteral("^OUT$")), written);
    const Run r = vor4map(args);
    QCOMPARE(r.code, code);
    QCOMPARE(r.out, out);
    QCOMPARE(QFile::exists(written), !stat.isEmpty());
    if (code == 1)
        QVERIFY(r.err.contains("nothing to fix"));
    if (stat.isEmpty())
        return;
    QCOMPARE(vor4map({"diff", args[1], written, "--stat"}).out, stat);
    // The rules fixed are gone from the written map.
    const QByteArray after = vor4map({"lint", written}).out;
    for (const QString &rule : args[3].split(QLatin1Char(',')))
        QVERIFY2(!after.contains(": " + rule.toLatin1() + ": "), after.constData());
}

void TestLintCommand::startsFromSettlersOnMultiplayerMaps()
{
    // Every start line of the 9-player map is stale, some of the others'.
    QTemporaryDir tmp;
    const QString out = tmp.filePath(QStringLiteral("out.Vor4WorldBuilderSave"));
    for (const char *name : {"multiplayer-9-52x52", "multiplayer-12-teams-64x48", "multiplayer-18-84x52"}) {
        const QString map = QStringLiteral(VOR4_FIXTURES_DIR "/%1.Vor4WorldBuilderSave").arg(QLatin1String(name));
        const qsizetype stale = vor4map({"lint", map}).out.count(": start-apart-from-settler: ");
        QVERIFY(stale >= 6);
        const Run r = vor4map({"edit", map, out, "--starts-from-settlers"});
        QCOMPARE(r.out, QStringLiteral("Starts from settlers: %1 players changed\n").arg(stale).toLatin1());
        QVERIFY(!vor4map({"lint", out}).out.contains("start-apart-from-settler"));
    }
}

QTEST_GUILESS_MAIN(TestLintCommand)
#include "tst_lint_cmd.moc"
