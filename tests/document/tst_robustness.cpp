// Mutated map files must never crash the reader or the writer, and every
// failure must come back as one of the editor's messages.

#include "MapCheck.h"
#include "MapReader.h"
#include "MapWriter.h"
#include "PlotFacts.h"

#include <QDateTime>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QtTest>

#include <string_view>
#include <unordered_set>
#include <vector>

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
        switch (rng.bounded(11)) {
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
        case 7: // cut between two blocks
            for (int k = i; k < lines.size(); ++k)
                if (lines[k].trimmed().toLower().startsWith("end")) {
                    lines = lines.mid(0, k + 1);
                    break;
                }
            break;
        case 8: // a stray line after a block
            if (lines[i].trimmed().toLower().startsWith("end"))
                lines.insert(i + 1, "Stray=1\r");
            break;
        case 9: // a unit or sign without its end
        case 10:
            for (int k = i; k < lines.size(); ++k)
                if (lines[k].trimmed() == "EndUnit" || lines[k].trimmed() == "EndSign") {
                    lines.removeAt(k);
                    break;
                }
            break;
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

// The lines of a text split at LF, each without the blanks around it.
std::vector<std::string_view> lowerLines(const QByteArray &text)
{
    std::vector<std::string_view> lines;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        qsizetype a = start, b = end;
        while (a < b && uchar(text[a]) <= 32)
            ++a;
        while (b > a && uchar(text[b - 1]) <= 32)
            --b;
        lines.emplace_back(text.constData() + a, std::size_t(b - a));
        start = end + 1;
    }
    return lines;
}

// The lines a report names: "line 7", "lines 5, 9-10 and 14".
QSet<qint64> namedLines(const QStringList &findings)
{
    static const QRegularExpression runs(QStringLiteral("lines? ((?:\\d+(?:-\\d+)?(?:, | and )?)+)"));
    QSet<qint64> named;
    for (const QString &finding : findings) {
        for (const QRegularExpressionMatch &m : runs.globalMatch(finding)) {
            for (const QString &run : m.captured(1).split(QRegularExpression(QStringLiteral(", | and ")))) {
                const QStringList ends = run.split(QLatin1Char('-'));
                for (qint64 n = ends[0].toLongLong(); n <= ends.last().toLongLong(); ++n)
                    named.insert(n);
            }
        }
    }
    return named;
}

void TestRobustness::damageIsNeverSilent()
{
    QByteArray island = fixture("island-15x15.Vor4WorldBuilderSave");
    const QByteArray played = fixture("multiplayer-9-52x52.Vor4WorldBuilderSave");
    if (island.isEmpty() || played.isEmpty())
        QSKIP("fixtures not present");
    // The island with two signs, as the game writes them.
    island.replace("num signs written=0", "num signs written=2");
    island += "### Sign Info ###\r\nBeginSign\r\n\tplotX=3\r\n\tplotY=4\r\n\tcaption=Bay\r\nEndSign\r\n"
              "BeginSign\r\n\tplotX=5\r\n\tplotY=6\r\n\tcaption=Cape\r\nEndSign\r\n";
    const auto load = [](Document &doc, const QByteArray &bytes) {
        doc.FileLines = LineBuffer(bytes);
        const LoadResult r = ParseFileLines(doc);
        doc.FileLines.clear();
        return r;
    };
    const auto unitCount = [](const Document &doc) {
        qsizetype n = 0;
        for (int row = 0; row < doc.rowCount(); ++row)
            for (int col = 0; col < doc.columnCount(); ++col)
                n += PlotFacts::unitsOf(doc.PlotTexts.view(col, row)).size();
        return n;
    };
    static const char *const closing[] = {"EndGame", "EndTeam", "EndPlayer", "EndMap", "EndPlot"};
    QRandomGenerator rng(20);
    for (int round = 0; round < 700; ++round) {
        const QByteArray &base = round % 20 == 19 ? played : island;
        QByteArray bytes = base;
        const int kind = round % 7;
        QList<QByteArray> lines = kind >= 2 ? bytes.split('\n') : QList<QByteArray>();
        const auto linesWhere = [&](auto &&test) {
            QList<int> found;
            for (int i = 0; i < lines.size(); ++i)
                if (test(lines[i].trimmed()))
                    found << i;
            return found;
        };
        const auto any = [&](const QList<int> &at) { return at[int(rng.bounded(int(at.size())))]; };
        const bool open = kind == 2 && rng.bounded(2);
        int strays = 0;
        if (kind == 0) { // a NUL byte with text after it: the text is dropped, so it is said
            bytes.insert(qsizetype(rng.bounded(int(bytes.lastIndexOf("EndPlot")))), '\0');
        } else if (kind == 1) { // cut short anywhere after "BeginMap", up to the last plot
            const qsizetype mapStart = bytes.indexOf("BeginMap"), lastEnd = bytes.lastIndexOf("EndPlot");
            bytes.truncate(mapStart + 10 + qsizetype(rng.bounded(int(lastEnd - mapStart - 10))));
        } else if (kind == 2) { // a closing keyword line is out of place; "BeginPlot" makes the plot count disagree
            lines.insert(int(rng.bounded(lines.size())), QByteArray(open ? "BeginPlot" : closing[rng.bounded(5)]) + "\r");
        } else if (kind == 3) { // cut between two blocks
            lines = lines.mid(0, any(linesWhere([](const QByteArray &l) { return l == "EndPlot"; })) + 1);
        } else if (kind == 4) { // a sign without "EndSign", or the file cut inside the signs
            const QList<int> ends = linesWhere([](const QByteArray &l) { return l == "EndSign"; });
            if (rng.bounded(2))
                lines.removeAt(any(ends));
            else
                lines = lines.mid(0, ends.first() - int(rng.bounded(4)));
        } else if (kind == 5) { // lines outside every section, after a block's end
            static const QList<QByteArray> ends{"EndGame", "EndTeam", "EndPlayer", "EndMap", "EndPlot", "EndSign"};
            QList<int> after = linesWhere([](const QByteArray &l) { return ends.contains(l); });
            strays = 1 + int(rng.bounded(3));
            QList<int> at;
            while (at.size() < strays)
                at << after.takeAt(int(rng.bounded(int(after.size()))));
            std::sort(at.rbegin(), at.rend());
            for (const int end : at)
                lines.insert(end + 1, (rng.bounded(2) ? "TerrainType=TERRAIN_SNOW" : "Stray=" + QByteArray::number(round)) + "\r");
        } else { // a unit without "EndUnit"
            lines.removeAt(any(linesWhere([](const QByteArray &l) { return l == "EndUnit"; })));
        }
        if (kind >= 2)
            bytes = lines.join('\n');
        Document doc;
        const LoadResult r = load(doc, bytes);
        QVERIFY2(kind != 2 || open || r.status == LoadResult::StructureError, qPrintable(QString::number(round)));
        QVERIFY2(kind < 3 || r.ok(), qPrintable(QString::number(round)));
        if (!r.ok())
            continue; // refused
        const MapDamage damage = mapDamage(doc, r.stats);
        const QStringList warnings = damage.findings + mapWarnings(doc, r.stats);
        const bool told = kind == 0   ? damage.dropsData()
                          : kind == 3 ? damage.needsGoAhead()
                          : kind == 4 ? !warnings.filter(QStringLiteral("no \"EndSign\"")).isEmpty()
                          : kind == 5 ? damage.dropsData() && r.stats.strayLines == strays
                          : kind == 6 ? !warnings.filter(QStringLiteral("without \"EndUnit\"")).isEmpty()
                                      : !damage.isEmpty();
        QVERIFY2(told, qPrintable(QStringLiteral("round %1: %2").arg(round).arg(warnings.join('\n'))));
        // What is written after a go-ahead reads back the same, with no damage.
        const QByteArray saved = buildSaveFile(doc);
        Document again;
        const LoadResult back = load(again, saved);
        QVERIFY(back.ok() && mapDamage(again, back.stats).isEmpty());
        QCOMPARE(buildSaveFile(again), saved);
        if (kind < 3)
            continue;
        // Every line read is in what is written or in a message, and no unit is lost.
        const QByteArray savedLower = saved.toLower(), readLower = bytes.toLower();
        const std::vector<std::string_view> out = lowerLines(savedLower), in = lowerLines(readLower);
        const std::unordered_set<std::string_view> written(out.begin(), out.end());
        const QSet<qint64> named = namedLines(warnings);
        for (std::size_t i = 0; i < in.size(); ++i) {
            if (!in[i].empty() && !written.count(in[i]) && !named.contains(qint64(i) + 1))
                QFAIL(qPrintable(QStringLiteral("round %1: line %2 (%3) is neither written nor told: %4")
                                     .arg(round)
                                     .arg(i + 1)
                                     .arg(QString::fromLatin1(in[i].data(), qsizetype(in[i].size())),
                                          warnings.join(QLatin1Char('\n')))));
        }
        QCOMPARE(unitCount(doc), unitCount(again));
    }
}

QTEST_GUILESS_MAIN(TestRobustness)
#include "tst_robustness.moc"
