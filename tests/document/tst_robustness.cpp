// Mutated map files must never crash the reader or the writer, and every
// failure must come back as one of the editor's messages.

#include "MapCheck.h"
#include "MapReader.h"
#include "MapWriter.h"

#include <QDateTime>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
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
    void filesThatAreNoMaps();
    void damageIsNeverSilent();
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

void TestRobustness::filesThatAreNoMaps()
{
#if defined(__SANITIZE_ADDRESS__)
    const qsizetype randomSize = qsizetype(32) << 20;
#else
    const qsizetype randomSize = qsizetype(200) << 20;
#endif
    QRandomGenerator rng(7);
    QByteArray random(randomSize, Qt::Uninitialized);
    rng.fillRange(reinterpret_cast<quint32 *>(random.data()), random.size() / 4);
    for (char &c : random)
        if (c == 0)
            c = 1; // a NUL would end the text at once
    QByteArray png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    png += random.left(4096);
    const QByteArray longLine = "BeginGame\r\n" + QByteArray(10 << 20, 'x') + "\r\nEndGame\r\n";
    QByteArray longPlot = "BeginMap\r\ngrid width=2\r\nEndMap\r\nBeginPlot\r\nx=1,y=0\r\n";
    longPlot += QByteArray(10 << 20, 'y') + "\r\nEndPlot\r\n";

    QTemporaryDir dir;
    const struct { const char *name; const QByteArray &bytes; bool map; } files[] = {
        {"empty", QByteArray(), false}, {"png", png, false}, {"random", random, false},
        {"longline", longLine, true}, {"longplot", longPlot, true},
    };
    for (const auto &f : files) {
        const QString path = dir.filePath(QLatin1String(f.name));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QCOMPARE(out.write(f.bytes), f.bytes.size());
        out.close();
        const QDateTime modified = QFileInfo(path).lastModified();
        Document doc;
        const LoadResult r = loadMapFile(path, doc);
        if (f.map) {
            QVERIFY2(r.ok() || isEditorMessage(r), f.name);
        } else {
            // Without a single section keyword it is no map at all.
            QCOMPARE(r.status, LoadResult::NotAMap);
            QCOMPARE(r.message, QStringLiteral("%1 is not a world-builder map file").arg(path));
        }
        // Reading never touches the file.
        QCOMPARE(QFileInfo(path).size(), f.bytes.size());
        QCOMPARE(QFileInfo(path).lastModified(), modified);
        QVERIFY(doc.FileLines.isEmpty());
    }
    Document doc;
    QVERIFY(loadMapFile(dir.filePath("longline"), doc).ok());
    QCOMPARE(doc.GameLines.value(0).size(), 10 << 20);
    QVERIFY(loadMapFile(dir.filePath("longplot"), doc).ok());
    QCOMPARE(doc.PlotTexts.text(1, 0).size(), 10 << 20);
    QVERIFY(!buildSaveFile(doc).isEmpty());
}

void TestRobustness::damageIsNeverSilent()
{
    QByteArray island = fixture("island-15x15.Vor4WorldBuilderSave");
    if (island.isEmpty())
        QSKIP("fixtures not present");
    island.replace("num signs written=0", "num signs written=2");
    island += "BeginSign\r\n\tplotX=3\r\nEndSign\r\nBeginSign\r\n\tcaption=Bay\r\nEndSign\r\n";
    const auto load = [](Document &doc, const QByteArray &bytes) {
        doc.FileLines = LineBuffer(bytes);
        const LoadResult r = ParseFileLines(doc);
        doc.FileLines.clear();
        return r;
    };
    const qsizetype mapStart = island.indexOf("BeginMap"), lastEnd = island.lastIndexOf("EndPlot");
    static const char *const closing[] = {"EndGame", "EndTeam", "EndPlayer", "EndMap", "EndPlot"};
    static const QRegularExpression named(QStringLiteral("line (\\d+)"));
    QRandomGenerator rng(20);
    for (int round = 0; round < 420; ++round) {
        QByteArray bytes = island;
        QList<QByteArray> lines = bytes.split('\n');
        const auto lineWith = [&](const QByteArray &start) { // a random line that starts so, trimmed
            for (int i = int(rng.bounded(lines.size()));; i = (i + 1) % int(lines.size()))
                if (lines[i].trimmed().startsWith(start))
                    return i;
        };
        const int kind = round % 7;
        const bool open = kind == 2 && rng.bounded(2);
        if (kind == 0) { // a NUL byte with text after it: the text is dropped, so it is said
            bytes.insert(qsizetype(rng.bounded(int(lastEnd))), '\0');
        } else if (kind == 1) { // cut short anywhere after "BeginMap", up to the last plot
            bytes.truncate(mapStart + 10 + qsizetype(rng.bounded(int(lastEnd - mapStart - 10))));
        } else if (kind == 2) { // a closing keyword line is out of place; "BeginPlot" makes the plot count disagree
            lines.insert(int(rng.bounded(lines.size())), QByteArray(open ? "BeginPlot" : closing[rng.bounded(5)]) + "\r");
        } else if (kind == 3) { // cut between blocks, or inside the signs
            lines = lines.mid(0, lineWith(rng.bounded(4) ? "EndPlot" : "plotX") + 1);
        } else { // a line out of every section; a sign or a unit without its end
            const int at = lineWith(kind == 4 ? "EndPlot" : kind == 5 ? "EndSign" : "EndUnit");
            if (kind == 4)
                lines.insert(at + 1, "Stray=" + QByteArray::number(round) + "\r");
            else
                lines.removeAt(at);
        }
        if (kind >= 2)
            bytes = lines.join('\n');
        Document doc;
        const LoadResult r = load(doc, bytes);
        QVERIFY2(kind != 2 || open || r.status == LoadResult::StructureError, qPrintable(QString::number(round)));
        if (!r.ok())
            continue; // refused
        const MapDamage damage = mapDamage(doc, r.stats);
        const QStringList told = damage.findings + mapWarnings(doc, r.stats);
        QVERIFY2(kind == 0 || kind == 4 ? damage.dropsData() : kind == 3 ? damage.needsGoAhead() : !told.isEmpty(),
                 qPrintable(QString::number(round)));
        // What is written after a go-ahead reads back the same, with no damage.
        const QByteArray saved = buildSaveFile(doc);
        Document again;
        const LoadResult back = load(again, saved);
        QVERIFY(back.ok() && mapDamage(again, back.stats).isEmpty());
        QCOMPARE(buildSaveFile(again), saved);
        if (kind < 3)
            continue;
        // Every line read is in what is written, or a message names it.
        QSet<int> lineNumbers;
        for (const QRegularExpressionMatch &m : named.globalMatch(told.join(' ')))
            lineNumbers.insert(m.captured(1).toInt());
        QSet<QByteArray> out;
        for (const QByteArray &l : saved.toLower().split('\n'))
            out.insert(l.trimmed());
        const QList<QByteArray> read = bytes.toLower().split('\n');
        for (int i = 0; i < read.size(); ++i)
            if (!read[i].trimmed().isEmpty() && !out.contains(read[i].trimmed()) && !lineNumbers.contains(i + 1))
                QFAIL(qPrintable(QStringLiteral("round %1: line %2 is neither written nor told").arg(round).arg(i + 1)));
    }
}

QTEST_GUILESS_MAIN(TestRobustness)
#include "tst_robustness.moc"
