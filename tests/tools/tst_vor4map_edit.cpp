// vor4map edit: the golden cases under tests/data/edit, the operations on
// the continents fixture against plain versions of them written here, and
// every error leaving OUT as it was.

#include "MapReader.h"
#include "MapWriter.h"
#include "Vor4mapProcess.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <queue>

using namespace vor4;

namespace {

const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");
const QString GoldenDir = QStringLiteral(VOR4_GOLDEN_DIR);

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Plain versions of the operations, on a document read by the reader.
QList<QByteArray> linesOf(const QByteArray &text)
{
    return text.isEmpty() ? QList<QByteArray>() : text.split('\n');
}

QByteArray joined(QList<QByteArray> lines)
{
    for (QByteArray &l : lines)
        if (l.endsWith('\r'))
            l.chop(1);
    return lines.join("\r\n");
}

// Keys match keys: the text before the first "=", outside BeginX ... EndX.
int firstWith(const QList<QByteArray> &lines, const QByteArray &key)
{
    int depth = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed().toLower();
        const int eq = line.indexOf('=');
        depth += eq >= 0 ? 0 : line.startsWith("begin") ? 1 : line.startsWith("end") && depth > 0 ? -1 : 0;
        if (eq >= 0 && depth == 0 && line.left(eq).trimmed() == key.toLower())
            return i;
    }
    return -1;
}

QPoint cellOf(const Document &doc, int x, int y) { return QPoint(x, doc.rowCount() - 1 - y); }

void plainPut(Document &doc, QPoint cell, const QByteArray &line)
{
    QList<QByteArray> lines = linesOf(doc.PlotTexts.text(cell.x(), cell.y()));
    const int at = firstWith(lines, line.left(line.indexOf('=')).trimmed());
    if (at >= 0)
        lines[at] = line;
    else
        lines << line;
    doc.PlotTexts.setText(cell.x(), cell.y(), joined(lines));
}

QByteArray plainValue(const Document &doc, QPoint cell, const QByteArray &key)
{
    const QList<QByteArray> lines = linesOf(doc.PlotTexts.text(cell.x(), cell.y()));
    const int at = firstWith(lines, key);
    return at < 0 ? QByteArray() : lines[at].trimmed();
}

void plainFill(Document &doc, QPoint start, const QByteArray &line)
{
    const QByteArray key = line.left(line.indexOf('='));
    const QByteArray wanted = plainValue(doc, start, key);
    QList<QPoint> region{start};
    QSet<QPoint> seen{start};
    for (int i = 0; i < region.size(); ++i) {
        for (const QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
            const QPoint n = region[i] + d;
            if (doc.PlotTexts.contains(n.x(), n.y()) && !seen.contains(n) && plainValue(doc, n, key) == wanted) {
                seen.insert(n);
                region << n;
            }
        }
    }
    for (const QPoint &p : region)
        plainPut(doc, p, line);
}

} // namespace

class TestVor4mapEdit : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void goldenCases_data();
    void goldenCases();
    void operationsOnTheContinents();
    void inPlace();
    void errorsLeaveOutUntouched_data();
    void errorsLeaveOutUntouched();
    void helpNamesTheOperations();
};

void TestVor4mapEdit::goldenCases_data()
{
    QTest::addColumn<QString>("dir");
    const QStringList cases = QDir(GoldenDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    QVERIFY(cases.size() >= 5);
    for (const QString &name : cases)
        QTest::newRow(qPrintable(name)) << GoldenDir + QLatin1Char('/') + name;
}

void TestVor4mapEdit::goldenCases()
{
    QFETCH(QString, dir);
    QTemporaryDir tmp;
    const QString out = tmp.filePath("out.Vor4WorldBuilderSave");
    QByteArray ops = readAll(dir + "/ops");
    QVERIFY(!ops.isEmpty());
    if (ops.endsWith('\n'))
        ops.chop(1);
    QStringList args{"edit", dir + "/in", out};
    for (const QByteArray &arg : ops.split('\n'))
        args << QString::fromLatin1(arg);
    const Run r = vor4map(args);
    QVERIFY2(r.code == 0, r.err.constData());
    QByteArray expected = readAll(dir + "/expected");
    QVERIFY(!expected.isEmpty() && !expected.contains('\r'));
    expected.replace("\n", "\r\n");
    QCOMPARE(readAll(out), expected);
    if (QFile::exists(dir + "/stdout"))
        QCOMPARE(r.out, readAll(dir + "/stdout"));
    // Start positions and signs a resize removed are told on standard error.
    QCOMPARE(r.err, QFile::exists(dir + "/stderr") ? readAll(dir + "/stderr") : QByteArray());
}

void TestVor4mapEdit::operationsOnTheContinents()
{
    // Plots named by file coordinates: y counts from the bottom row.
    QTemporaryDir tmp;
    const QString out = tmp.filePath("out.Vor4WorldBuilderSave");
    const Run r = vor4map({"edit", Continents, out, "--put", "TerrainType=TERRAIN_SNOW", "5,0", "--put",
                           "BonusType=BONUS_GOLD", "10,38:12,35", "--take", "FeatureType", "all", "--fill",
                           "TerrainType=TERRAIN_DESERT", "30,20", "--replace", "PlotType=3", "PlotType=4",
                           "0,0:20,39", "--fill", "PlotType=0", "63,39"});
    QVERIFY2(r.code == 0, r.err.constData());

    Document doc;
    QVERIFY(loadMapFile(Continents, doc).ok());
    plainPut(doc, cellOf(doc, 5, 0), "TerrainType=TERRAIN_SNOW");
    QCOMPARE(cellOf(doc, 5, 0), QPoint(5, 39));
    for (int x = 10; x <= 12; ++x)
        for (int y = 35; y <= 38; ++y)
            plainPut(doc, cellOf(doc, x, y), "BonusType=BONUS_GOLD");
    for (int c = 0; c < doc.columnCount(); ++c) {
        for (int row = 0; row < doc.rowCount(); ++row) {
            QList<QByteArray> lines = linesOf(doc.PlotTexts.text(c, row));
            const int at = firstWith(lines, "FeatureType");
            if (at >= 0) {
                lines.removeAt(at);
                doc.PlotTexts.setText(c, row, joined(lines));
            }
        }
    }
    plainFill(doc, cellOf(doc, 30, 20), "TerrainType=TERRAIN_DESERT");
    for (int x = 0; x <= 20; ++x)
        for (int y = 0; y <= 39; ++y)
            doc.PlotTexts.setText(x, y, doc.PlotTexts.text(x, y).replace("PlotType=3", "PlotType=4"));
    plainFill(doc, cellOf(doc, 63, 39), "PlotType=0");
    QCOMPARE(readAll(out), buildSaveFile(doc));
    const QList<QByteArray> log = r.out.trimmed().split('\n');
    QCOMPARE(log.size(), 6);
    QCOMPARE(log[0], QByteArray("Paint TerrainType=TERRAIN_SNOW on 1 plot"));
    QCOMPARE(log[1], QByteArray("Paint BonusType=BONUS_GOLD on 12 plots"));
}

void TestVor4mapEdit::inPlace()
{
    QTemporaryDir tmp;
    const QString path = tmp.filePath("map.Vor4WorldBuilderSave");
    const QString other = tmp.filePath("other.Vor4WorldBuilderSave");
    QVERIFY(QFile::copy(Continents, path));
    const QStringList ops{"--fill", "TerrainType=TERRAIN_GRASS", "0,0", "--take", "PlotType", "1,1:3,3"};
    QCOMPARE(vor4map(QStringList{"edit", Continents, other} + ops).code, 0);
    QCOMPARE(vor4map(QStringList{"edit", path, path} + ops).code, 0);
    QCOMPARE(readAll(path), readAll(other));
    QVERIFY(readAll(path) != readAll(Continents));
}

void TestVor4mapEdit::errorsLeaveOutUntouched_data()
{
    QTest::addColumn<QStringList>("ops");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");

    QTest::newRow("plot outside, x") << QStringList{"--put", "A=1", "64,0"} << 1
                                     << "vor4map edit: --put: Plot 64,0 is outside the map (x 0 to 63, y 0 to 39)";
    QTest::newRow("plot outside, y") << QStringList{"--fill", "A=1", "0,40"} << 1
                                     << "vor4map edit: --fill: Plot 0,40 is outside the map";
    QTest::newRow("negative") << QStringList{"--take", "A", "-1,0"} << 1 << "Plot -1,0 is outside the map";
    QTest::newRow("area reaching out") << QStringList{"--replace", "a", "b", "60,30:70,35"} << 1
                                       << "vor4map edit: --replace: Area 60,30:70,35 is outside the map";
    QTest::newRow("huge number") << QStringList{"--put", "A=1", "99999999999999999999,0"} << 1
                                 << "is outside the map";
    QTest::newRow("line without =") << QStringList{"--put", "TerrainType", "all"} << 1
                                    << "vor4map edit: --put: \"TerrainType\" is not a plot line: it has no \"=\"";
    QTest::newRow("fill line without =") << QStringList{"--fill", "TERRAIN_GRASS", "1,1"} << 1
                                         << "it has no \"=\"";
    QTest::newRow("empty key in a line") << QStringList{"--put", "=TERRAIN_GRASS", "all"} << 1
                                         << "has an empty key";
    QTest::newRow("empty key") << QStringList{"--take", " ", "all"} << 1 << "vor4map edit: --take: The key is empty";
    QTest::newRow("replace makes a keyword") << QStringList{"--replace", "PlotType=1", "EndPlot"} << 1
                                             << "vor4map edit: --replace: The line \"EndPlot\" is a section keyword";
    QTest::newRow("put a coordinate line") << QStringList{"--put", "TerrainType=x=1,y=2", "0,0"} << 1
                                           << "--put: The line \"TerrainType=x=1,y=2\" would read as a plot's";
    QTest::newRow("replace makes a coordinate line") << QStringList{"--replace", "PlotType=", "x=1,y="} << 1
                                                     << "would read as a plot's coordinates";
    QTest::newRow("fill with a line break") << QStringList{"--fill", "A=1\nB=2", "0,0"} << 1
                                            << "--fill: The line \"A=1\\x0AB=2\" holds a line break";
    QTest::newRow("empty text to replace") << QStringList{"--replace", "", "x"} << 1 << "The text to replace is empty";
    QTest::newRow("no single byte") << QStringList{"--put", QString::fromUtf8("Name=\u20ac"), "all"} << 1
                                    << "a map file cannot hold";
    QTest::newRow("error after good operations")
        << QStringList{"--put", "A=1", "all", "--fill", "B=1", "0,0", "--take", "A", "0,99"} << 1
        << "vor4map edit: --take: Plot 0,99";
    QTest::newRow("unknown operation") << QStringList{"--paint", "A=1", "all"} << 2
                                       << "vor4map edit: unknown operation --paint";
    QTest::newRow("not an operation") << QStringList{"A=1", "all"} << 2 << "\"A=1\" is not an operation";
    QTest::newRow("missing operand") << QStringList{"--put", "A=1"} << 2 << "vor4map edit: --put needs LINE AREA";
    QTest::newRow("malformed area") << QStringList{"--put", "A=1", "3;4"} << 2
                                    << "--put: \"3;4\" is not an area (X,Y or X1,Y1:X2,Y2 or all)";
    QTest::newRow("an area where a plot is needed") << QStringList{"--fill", "A=1", "all"} << 2
                                                    << "--fill: \"all\" is not a plot (X,Y)";
    QTest::newRow("no operation") << QStringList{} << 2 << "vor4map edit: IN, OUT and at least one operation";
    QTest::newRow("flip which way") << QStringList{"--flip", "diagonal"} << 2
                                    << "vor4map edit: --flip: \"diagonal\" is not horizontal or vertical";
    QTest::newRow("flip area outside") << QStringList{"--flip", "vertical", "60,30:64,35"} << 1
                                       << "vor4map edit: --flip: Area 60,30:64,35 is outside the map";
    QTest::newRow("rotate by 45") << QStringList{"--rotate", "45"} << 2 << "\"45\" is not 90, 180 or 270";
    QTest::newRow("quarter turn of a strip") << QStringList{"--rotate", "90", "0,0:9,4"} << 1
                                             << "vor4map edit: --rotate: A quarter turn needs the whole map or a "
                                                "square area, not 10 x 5 plots";
    QTest::newRow("size missing") << QStringList{"--resize"} << 2 << "--resize needs COLS,ROWS[,DX,DY]";
    QTest::newRow("size malformed") << QStringList{"--resize", "10x10"} << 2
                                    << "--resize: \"10x10\" is not a size (COLS,ROWS or COLS,ROWS,DX,DY)";
    QTest::newRow("size three numbers") << QStringList{"--resize", "10,10,1"} << 2 << "is not a size";
    QTest::newRow("size zero") << QStringList{"--resize", "0,10"} << 1
                               << "vor4map edit: --resize: The map size must be 1 to 1000 plots a side, not 0 x 10";
    QTest::newRow("size too large") << QStringList{"--resize", "64,1001"} << 1 << "not 64 x 1001";
    QTest::newRow("size far too large") << QStringList{"--resize", "99999999999,5"} << 1 << "1 to 1000";
    QTest::newRow("crop outside") << QStringList{"--crop", "10,10:64,20"} << 1
                                  << "vor4map edit: --crop: Area 10,10:64,20 is outside the map";
    QTest::newRow("copy outside") << QStringList{"--copy", "0,40"} << 1 << "--copy: Plot 0,40 is outside the map";
    QTest::newRow("paste before copy") << QStringList{"--paste", "0,0", "--copy", "all"} << 1
                                       << "vor4map edit: --paste: nothing was copied before it";
    QTest::newRow("paste outside") << QStringList{"--copy", "0,0", "--paste", "64,0"} << 1
                                   << "--paste: Plot 64,0 is outside the map";
    QTest::newRow("paste an area") << QStringList{"--copy", "0,0", "--paste", "all"} << 2
                                   << "--paste: \"all\" is not a plot (X,Y)";
    QTest::newRow("fill-new without resize") << QStringList{"--fill-new", "A=1"} << 1
                                             << "vor4map edit: --fill-new: no --resize before it";
    QTest::newRow("fill-new after a flip") << QStringList{"--resize", "70,40", "--flip", "vertical", "--fill-new", "A=1"}
                                           << 1 << "--fill-new: no --resize before it, or plots moved since";
    QTest::newRow("fill-new not a line") << QStringList{"--resize", "70,40", "--fill-new", "ocean"} << 1
                                         << "--fill-new: \"ocean\" is not a plot line";
    QTest::newRow("after a transform") << QStringList{"--rotate", "90", "--put", "A=1", "40,0"} << 1
                                       << "--put: Plot 40,0 is outside the map (x 0 to 39, y 0 to 63)";
    QTest::newRow("no such player") << QStringList{"--start", "18", "1,1"} << 1
                                    << "vor4map edit: --start: There is no player slot 18 (0 to 17)";
    QTest::newRow("start off the map") << QStringList{"--start", "1", "64,1"} << 1 << "--start: Plot 64,1 is outside";
    QTest::newRow("player not a number") << QStringList{"--no-start", "one"} << 2 << "\"one\" is not a player slot";
    QTest::newRow("units off the map") << QStringList{"--move-units", "0,0", "0,40"} << 1 << "Plot 0,40 is outside";
    QTest::newRow("river without carrier") << QStringList{"--river", "0,39", "north", "east"} << 1
                                           << "vor4map edit: --river: The north side of plot 0,39 is the map's edge";
    QTest::newRow("no river without carrier") << QStringList{"--no-river", "0,3", "west"} << 1
                                              << "--no-river: The west side of plot 0,3 is the map's edge";
    QTest::newRow("river across its side") << QStringList{"--river", "3,3", "east", "west"} << 1
                                           << "--river: A river on the east side flows north or south";
    QTest::newRow("river side unknown") << QStringList{"--river", "3,3", "up", "1"} << 2
                                        << "\"up\" is not north, east, south or west (or 0 to 3)";
}

void TestVor4mapEdit::errorsLeaveOutUntouched()
{
    QFETCH(QStringList, ops);
    QFETCH(int, code);
    QFETCH(QString, message);
    QTemporaryDir tmp;
    const QString out = tmp.filePath("out.Vor4WorldBuilderSave");
    QVERIFY(writeAll(out, "untouched"));
    Run r = vor4map(QStringList{"edit", Continents, out} + ops);
    QCOMPARE(r.code, code);
    QVERIFY2(r.err.contains(message.toUtf8()), r.err.constData());
    QVERIFY(r.out.isEmpty());
    QCOMPARE(readAll(out), QByteArray("untouched"));
    if (code == 2)
        QVERIFY(r.err.contains("Usage: vor4map"));
    // Without an OUT before, none after.
    const QString fresh = tmp.filePath("fresh.Vor4WorldBuilderSave");
    r = vor4map(QStringList{"edit", Continents, fresh} + ops);
    QCOMPARE(r.code, code);
    QVERIFY(!QFile::exists(fresh));
}

void TestVor4mapEdit::helpNamesTheOperations()
{
    const Run help = vor4map({"--help"});
    QCOMPARE(help.code, 0);
    for (const char *op : {"edit IN OUT OPERATION...", "--put LINE AREA", "--take KEY AREA", "--fill LINE X,Y",
                           "--replace OLD NEW [AREA]", "--flip horizontal|vertical [AREA]", "--rotate 90|180|270 [AREA]",
                           "--resize COLS,ROWS[,DX,DY]", "--fill-new LINE", "--crop AREA", "--copy AREA", "--paste X,Y",
                           "--start PLAYER X,Y", "--no-start PLAYER", "--move-units X1,Y1 X2,Y2",
                           "--river X,Y SIDE DIRECTION", "--no-river X,Y SIDE", "pieces FILE",
                           "Start positions and signs move"})
        QVERIFY2(help.out.contains(op), op);
    // A map that cannot be read: the reader's message, exit 1.
    QTemporaryDir tmp;
    const Run missing = vor4map({"edit", tmp.filePath("none"), tmp.filePath("out"), "--put", "A=1", "all"});
    QCOMPARE(missing.code, 1);
    QVERIFY(!missing.err.isEmpty());
    QVERIFY(!QFile::exists(tmp.filePath("out")));
}

QTEST_GUILESS_MAIN(TestVor4mapEdit)
#include "tst_vor4map_edit.moc"
