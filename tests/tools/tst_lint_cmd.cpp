// vor4map lint run as a user runs it: the report and its JSON form against
// their golden copies, and the exit statuses.

#include "Vor4mapProcess.h"

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

QTEST_GUILESS_MAIN(TestLintCommand)
#include "tst_lint_cmd.moc"
