// vor4map lint run as a user runs it: the report against its golden copy,
// the JSON form of the same findings, and the exit statuses.

#include "Vor4mapProcess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
    void json();
};

void TestLintCommand::exitAndOutput_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("out");
    QTest::newRow("findings") << QStringList{"lint", Rules} << 1
                              << readAll(QStringLiteral(VOR4_FIXTURES_DIR "/../lint/rules.expected"));
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

void TestLintCommand::json()
{
    const Run r = vor4map({"lint", Rules, "--json"});
    QCOMPARE(r.code, 1);
    QVERIFY(r.out.startsWith("[{\"x\":0,\"y\":1,\"rule\":\"no-terrain\",\"message\":\"no \\\"TerrainType=\\\" line\"},"));
    // The same findings as the text report, in its order.
    QJsonArray expected;
    const QByteArray golden = readAll(QStringLiteral(VOR4_FIXTURES_DIR "/../lint/rules.expected"));
    for (const QByteArray &line : golden.trimmed().split('\n')) {
        const QList<QByteArray> parts = line.split(':');
        const QList<QByteArray> xy = parts[0].split(',');
        expected.append(QJsonObject{{"x", xy[0].toInt()}, {"y", xy[1].toInt()},
                                    {"rule", QString::fromLatin1(parts[1].trimmed())},
                                    {"message", QString::fromLatin1(line.mid(line.indexOf(": ", line.indexOf(": ") + 2) + 2))}});
    }
    QCOMPARE(expected.size(), 14);
    QCOMPARE(QJsonDocument::fromJson(r.out).array(), expected);
    QVERIFY(vor4map({"--help"}).out.contains("lint FILE"));
}

QTEST_GUILESS_MAIN(TestLintCommand)
#include "tst_lint_cmd.moc"
