// Mutated map files must never crash the reader or the writer, and every
// failure must come back as one of the editor's messages.

#include "MapReader.h"
#include "MapWriter.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

using namespace vor4;

namespace {

QByteArray fixture(const char *name)
{
    QFile f(QStringLiteral(VOR4_FIXTURES_DIR "/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray mutate(const QByteArray &original, QRandomGenerator &rng)
{
    QList<QByteArray> lines = original.split('\n');
    const int edits = 1 + int(rng.bounded(4));
    static const char *const keywords[] = {"BeginGame", "EndGame", "BeginTeam", "EndTeam",
                                           "BeginPlayer", "EndPlayer", "BeginMap", "EndMap",
                                           "BeginPlot", "EndPlot"};
    static const char *const numbers[] = {"99999999999", "-5", "2147483647", "-2147483648",
                                          "0", "", "4096", "1000"};
    for (int e = 0; e < edits && !lines.isEmpty(); ++e) {
        const int i = int(rng.bounded(lines.size()));
        switch (rng.bounded(7)) {
        case 0:
            lines.removeAt(i);
            break;
        case 1:
            lines.insert(i, lines[i]);
            break;
        case 2:
            lines.swapItemsAt(i, int(rng.bounded(lines.size())));
            break;
        case 3: { // change the letter case of a line
            QByteArray &l = lines[i];
            for (char &c : l)
                if (rng.bounded(2))
                    c = (c >= 'a' && c <= 'z') ? char(c - 32) : (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
            break;
        }
        case 4:
            lines[i] = QByteArray(keywords[rng.bounded(10)]) + "\r";
            break;
        case 5: { // flip a byte, NUL and line ends included
            if (lines[i].isEmpty())
                break;
            const int at = int(rng.bounded(lines[i].size()));
            lines[i][at] = char(rng.bounded(256));
            break;
        }
        case 6: { // make a number huge, negative or empty
            static const QRegularExpression digits(QStringLiteral("-?[0-9]+"));
            const QString l = QString::fromLatin1(lines[i]);
            const QRegularExpressionMatch m = digits.match(l);
            if (m.hasMatch())
                lines[i] = l.left(m.capturedStart()).toLatin1() + numbers[rng.bounded(8)]
                           + l.mid(m.capturedEnd()).toLatin1();
            break;
        }
        }
    }
    return lines.join('\n');
}

bool isEditorMessage(const LoadResult &r)
{
    static const QRegularExpression known(QStringLiteral(
        "^(Error in map file - Line: \\d+|'.*' is not a valid integer value|Map size \\d+ x \\d+ is too large)$"),
        QRegularExpression::DotMatchesEverythingOption);
    return known.match(r.message).hasMatch() && r.line > 0;
}

} // namespace

class TestRobustness : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void mutatedFixtures();
};

void TestRobustness::mutatedFixtures()
{
    const QByteArray island = fixture("island-15x15.Vor4WorldBuilderSave");
    const QByteArray continents = fixture("continents-64x40.Vor4WorldBuilderSave");
    if (island.isEmpty() || continents.isEmpty())
        QSKIP("fixtures not present");
    QRandomGenerator rng(20261207);
    int failures = 0;
    for (int round = 0; round < 10000; ++round) {
        const QByteArray bytes = mutate(round % 10 == 0 ? continents : island, rng);
        Document doc;
        doc.FileLines = LineBuffer(bytes);
        const LoadResult r = ParseFileLines(doc);
        doc.FileLines.clear();
        if (!r.ok()) {
            ++failures;
            if (!isEditorMessage(r))
                QFAIL(qPrintable(QStringLiteral("round %1: unexpected message %2").arg(round).arg(r.message)));
        }
        if (qint64(doc.columnCount()) * doc.rowCount() > 200000)
            continue; // legal but slow to write ten thousand times
        // Whatever was read is written, and what is written reads back the same.
        const QByteArray saved = buildSaveFile(doc);
        Document again;
        again.FileLines = LineBuffer(saved);
        QVERIFY2(ParseFileLines(again).ok(), qPrintable(QString::number(round)));
        again.FileLines.clear();
        QVERIFY2(buildSaveFile(again) == saved, qPrintable(QString::number(round)));
    }
    QVERIFY(failures > 100); // the mutations do reach the error paths
}

QTEST_GUILESS_MAIN(TestRobustness)
#include "tst_robustness.moc"
