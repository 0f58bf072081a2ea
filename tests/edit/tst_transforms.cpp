// Map transforms: every flip, turn, resize and crop on crafted non-square
// maps against a plain version written here from the file's coordinates,
// start positions and signs included; inverse pairs and undo give the
// bytes back; what cannot be done is refused with the map untouched.

#include "ChangeSelection.h"
#include "MapDocument.h"
#include "MapMarks.h"
#include "MapReader.h"
#include "MapWriter.h"
#include "PlotArea.h"
#include "PlotFacts.h"
#include "Symmetry.h"
#include "Transforms.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

using namespace vor4;

namespace {

QByteArray bytesOf(const Document &doc) { return buildSaveFile(doc); }

// The first line where two files differ, to read in a failure.
QByteArray firstDifference(const QByteArray &a, const QByteArray &b)
{
    const QList<QByteArray> la = a.split('\n'), lb = b.split('\n');
    for (int i = 0; i < qMax(la.size(), lb.size()); ++i)
        if (la.value(i) != lb.value(i))
            return "line " + QByteArray::number(i + 1) + ": " + la.value(i) + " | " + lb.value(i);
    return {};
}

// A map whose every plot names itself, with a sub-block in one of them,
// three players with a start (one off the map), one without, and three
// signs (one without a plot). Its start lines are in the written form, or,
// not `written`, in forms that a transform rewrites.
Document craftedMap(int w, int h, bool written = false)
{
    Document doc;
    doc.ResetDocument(w, h);
    doc.GameLines = {"Name=Crafted"};
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) {
            QByteArray text = "Id=" + QByteArray::number(x) + "," + QByteArray::number(y);
            if ((x + y) % 3 == 0)
                text += "\r\nTerrainType=TERRAIN_GRASS";
            doc.PlotTexts.setText(x, h - 1 - y, text);
        }
    }
    doc.PlotTexts.setText(0, 0, "BeginUnit\r\nUnitType=UNIT_WARRIOR\r\nEndUnit");
    doc.PlayerTexts[0] = written ? "Name=A\r\nStartingGold=0\r\nStartingX=1, StartingY=2\r\nTeam=0"
                                 : "Name=A\r\nStartingGold=0\r\nStartingX=1,StartingY=2\r\nTeam=0";
    doc.PlayerTexts[1] = "StartingX=" + QByteArray::number(w - 1) + ", StartingY=0" + (written ? "" : ", Extra=1");
    doc.PlayerTexts[2] = "Name=NoStart";
    doc.PlayerTexts[3] = "StartingX=-1, StartingY=-1";
    doc.SignTexts = {"plotX=0\r\nplotY=0\r\nplayerType=-1\r\ncaption=Corner",
                     "plotX=" + QByteArray::number(w - 2) + "\r\nplotY=1\r\ncaption=Inland",
                     "caption=Nowhere"};
    return doc;
}

void load(MapDocument &md, const Document &doc, QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("map.Vor4WorldBuilderSave"));
    QVERIFY(writeMapFile(path, buildSaveFile(doc)).ok);
    QVERIFY(md.load(path).ok());
}

// Where a plot goes, in file coordinates: nothing when it leaves the map.
using PlotMap = std::function<std::optional<QPoint>(QPoint)>;

// The plain version: every plot of the moved set goes where `to` says, the
// others stay; start lines and sign lines of moved plots are rewritten or
// removed by plain text handling.
Document plainTransform(const Document &before, QSize size, const std::function<bool(QPoint)> &moves,
                        const PlotMap &to)
{
    const int w = before.columnCount(), h = before.rowCount();
    Document after;
    after.ResetDocument(size.width(), size.height());
    after.GameLines = before.GameLines;
    after.TeamTexts = before.TeamTexts;
    after.MapLines = before.MapLines;
    after.Header = before.Header;
    after.PlayerTexts.clear();
    const auto cell = [](QPoint plot, int rows) { return QPoint(plot.x(), rows - 1 - plot.y()); };
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) {
            if (moves(QPoint(x, y)))
                continue;
            const QPoint c = cell(QPoint(x, y), h), n = cell(QPoint(x, y), size.height());
            after.PlotTexts.setText(n.x(), n.y(), before.PlotTexts.text(c.x(), c.y()));
        }
    }
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) {
            if (!moves(QPoint(x, y)))
                continue;
            const std::optional<QPoint> target = to(QPoint(x, y));
            if (!target)
                continue;
            const QPoint c = cell(QPoint(x, y), h), n = cell(*target, size.height());
            after.PlotTexts.setText(n.x(), n.y(), before.PlotTexts.text(c.x(), c.y()));
        }
    }
    const auto onMap = [&](QPoint p) { return p.x() >= 0 && p.y() >= 0 && p.x() < w && p.y() < h; };
    static const QRegularExpression start(QStringLiteral("StartingX=\\s*(-?\\d+).*StartingY=\\s*(-?\\d+)"),
                                          QRegularExpression::CaseInsensitiveOption);
    for (const QByteArray &text : before.PlayerTexts) {
        QList<QByteArray> lines = text.split('\n');
        for (QByteArray &l : lines)
            l = l.trimmed();
        for (int i = 0; i < lines.size(); ++i) {
            const QRegularExpressionMatch m = start.match(QString::fromLatin1(lines[i]));
            if (!m.hasMatch())
                continue;
            const QPoint p(m.captured(1).toInt(), m.captured(2).toInt());
            if (onMap(p) && moves(p)) {
                if (const std::optional<QPoint> t = to(p))
                    lines[i] = "StartingX=" + QByteArray::number(t->x()) + ", StartingY=" + QByteArray::number(t->y());
                else
                    lines.removeAt(i);
            }
            break;
        }
        after.PlayerTexts.append(lines.join("\r\n"));
    }
    for (const QByteArray &text : before.SignTexts) {
        QList<QByteArray> lines = text.split('\n');
        int xi = -1, yi = -1;
        for (int i = 0; i < lines.size(); ++i) {
            lines[i] = lines[i].trimmed();
            if (xi < 0 && lines[i].startsWith("plotX="))
                xi = i;
            if (yi < 0 && lines[i].startsWith("plotY="))
                yi = i;
        }
        if (xi >= 0 && yi >= 0) {
            const QPoint p(lines[xi].mid(6).toInt(), lines[yi].mid(6).toInt());
            if (onMap(p) && moves(p)) {
                const std::optional<QPoint> t = to(p);
                if (!t)
                    continue;
                lines[xi] = "plotX=" + QByteArray::number(t->x());
                lines[yi] = "plotY=" + QByteArray::number(t->y());
            }
        }
        after.SignTexts.append(lines.join("\r\n"));
    }
    return after;
}

// The transforms as the command line names them, in file coordinates.
struct Case
{
    Case(const char *op, const char *area, QSize size = {}, QPoint offset = {})
        : op(QLatin1String(op)), area(QLatin1String(area)), size(size), offset(offset)
    {
    }
    Case(const QString &op, const QString &area, QSize size, QPoint offset)
        : op(op), area(area), size(size), offset(offset)
    {
    }
    QString op;   // flip-h, flip-v, rotate-90, rotate-180, rotate-270, resize, crop
    QString area; // AREA text, "all" for the whole map
    QSize size;   // resize
    QPoint offset;
};

// The moved plots and where they go, in file coordinates; `to` holds for any plot, on the map or not.
struct Plain { QSize size; std::function<bool(QPoint)> moves; std::function<QPoint(QPoint)> to; };

Plain plainOf(const Document &before, const Case &c)
{
    const int w = before.columnCount(), h = before.rowCount();
    int x1 = 0, y1 = 0, x2 = w - 1, y2 = h - 1;
    if (c.area != QLatin1String("all")) {
        const QStringList n = c.area.split(QRegularExpression(QStringLiteral("[,:]")));
        x1 = qMin(n[0].toInt(), n[2].toInt());
        x2 = qMax(n[0].toInt(), n[2].toInt());
        y1 = qMin(n[1].toInt(), n[3].toInt());
        y2 = qMax(n[1].toInt(), n[3].toInt());
    }
    const auto inArea = [=](QPoint p) { return p.x() >= x1 && p.x() <= x2 && p.y() >= y1 && p.y() <= y2; };
    const bool whole = c.area == QLatin1String("all");
    const int n = x2 - x1 + 1;
    if (c.op == QLatin1String("flip-h"))
        return {QSize(w, h), inArea, [=](QPoint p) { return QPoint(x1 + x2 - p.x(), p.y()); }};
    if (c.op == QLatin1String("flip-v"))
        return {QSize(w, h), inArea, [=](QPoint p) { return QPoint(p.x(), y1 + y2 - p.y()); }};
    if (c.op == QLatin1String("rotate-180"))
        return {QSize(w, h), inArea, [=](QPoint p) { return QPoint(x1 + x2 - p.x(), y1 + y2 - p.y()); }};
    if (c.op == QLatin1String("rotate-90") && whole)
        return {QSize(h, w), inArea, [=](QPoint p) { return QPoint(p.y(), w - 1 - p.x()); }};
    if (c.op == QLatin1String("rotate-270") && whole)
        return {QSize(h, w), inArea, [=](QPoint p) { return QPoint(h - 1 - p.y(), p.x()); }};
    if (c.op == QLatin1String("rotate-90"))
        return {QSize(w, h), inArea, [=](QPoint p) { return QPoint(x1 + (p.y() - y1), y1 + (n - 1 - (p.x() - x1))); }};
    if (c.op == QLatin1String("rotate-270"))
        return {QSize(w, h), inArea, [=](QPoint p) { return QPoint(x1 + (n - 1 - (p.y() - y1)), y1 + (p.x() - x1)); }};
    QSize size = c.size;
    QPoint offset = c.offset;
    if (c.op == QLatin1String("crop")) {
        size = QSize(x2 - x1 + 1, y2 - y1 + 1);
        offset = QPoint(-x1, -y1);
    }
    return {size, [](QPoint) { return true; }, [=](QPoint p) { return p + offset; }};
}

// Plots, and rivers by plain line handling: every edge carried by a moved plot goes to the edge
// between the images of its two plots, its flow turned as the formula turns a step that way.
Document plainCase(const Document &before, const Case &c, int *removed = nullptr)
{
    const Plain plain = plainOf(before, c);
    Document after = plainTransform(before, plain.size, plain.moves, [&](QPoint p) {
        const QPoint t = plain.to(p);
        return QRect(QPoint(), plain.size).contains(t) ? std::optional<QPoint>(t) : std::nullopt;
    });
    if (c.op == QLatin1String("resize") || c.op == QLatin1String("crop"))
        return after;
    const int h = before.rowCount();
    const QList<QPoint> steps{{0, 1}, {1, 0}, {0, -1}, {-1, 0}}; // north, east, south, west
    const QByteArray flags[2]{"isnofriver", "iswofriver"}, keys[2]{"riverwedirection", "rivernsdirection"};
    const auto clean = [](const QByteArray &l) { return l.trimmed().toLower(); };
    const auto keyOf = [&](const QByteArray &l) { return l.contains('=') ? clean(l.left(l.indexOf('='))) : QByteArray(); };
    struct Change { bool drop[2] = {}; bool put[2] = {}; QByteArray flow[2]; };
    QMap<QPair<int, int>, Change> changes; // by file x, y after
    for (int i = 0; i < before.columnCount() * h; ++i) {
        const QPoint p(i / h, i % h);
        const QList<QByteArray> lines = before.PlotTexts.text(p.x(), h - 1 - p.y()).split('\n');
        for (int kind = 0; kind < 2 && plain.moves(p); ++kind) { // 0 isNOfRiver, 1 isWOfRiver
            bool flag = false;
            std::optional<QByteArray> flow;
            for (const QByteArray &l : lines) {
                flag |= clean(l) == flags[kind];
                if (!flow && keyOf(l) == keys[kind])
                    flow = l.mid(l.indexOf('=') + 1).trimmed();
            }
            if (!flag)
                continue;
            const QPoint a = plain.to(p), b = plain.to(p + (kind ? QPoint(1, 0) : QPoint(0, -1)));
            changes[{a.x(), a.y()}].drop[kind] = true;
            const int turned = a.x() == b.x() ? 0 : 1;
            const QPoint carrier = turned ? (a.x() < b.x() ? a : b) : (a.y() > b.y() ? a : b);
            if (!QRect(QPoint(), plain.size).contains(carrier) && (!removed || ++*removed)) // off the map
                continue;
            bool number = false;
            const int d = flow ? flow->toInt(&number) : -1;
            if (number && d >= 0 && d < 4)
                flow = QByteArray::number(steps.indexOf(plain.to(p + steps[d]) - plain.to(p)));
            Change &change = changes[{carrier.x(), carrier.y()}];
            change.drop[turned] = change.put[turned] = true;
            change.flow[turned] = flow.value_or(QByteArray());
        }
    }
    for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
        const Change &ch = it.value();
        const int col = it.key().first, row = plain.size.height() - 1 - it.key().second;
        QList<QByteArray> kept;
        for (const QByteArray &l : after.PlotTexts.text(col, row).split('\n'))
            if (!(ch.drop[0] && (clean(l) == flags[0] || keyOf(l) == keys[0]))
                && !(ch.drop[1] && (clean(l) == flags[1] || keyOf(l) == keys[1])))
                kept << (l.endsWith('\r') ? l.chopped(1) : l);
        if (kept == QList<QByteArray>{""})
            kept.clear();
        const QByteArray front[4]{"RiverNSDirection=" + ch.flow[1], "isNOfRiver", "RiverWEDirection=" + ch.flow[0], "isWOfRiver"};
        const bool wanted[4]{ch.put[1] && !ch.flow[1].isEmpty(), ch.put[0], ch.put[0] && !ch.flow[0].isEmpty(), ch.put[1]};
        for (int i = 3; i >= 0; --i)
            if (wanted[i])
                kept.prepend(front[i]);
        after.PlotTexts.setText(col, row, kept.join("\r\n"));
    }
    return after;
}

// The crafted map with river lines in some plots: both kinds, all four flows, odd forms,
// sometimes without a flow or with one that is no compass point.
Document riverMap(int w, int h, QRandomGenerator &rng)
{
    Document doc = craftedMap(w, h);
    for (int i = 0; i < w * h; ++i) {
        QList<QByteArray> lines = doc.PlotTexts.text(i / h, i % h).replace('\r', "").split('\n');
        const auto put = [&](const QByteArray &line) { lines.insert(rng.bounded(int(lines.size()) + 1), line); };
        const int kinds = rng.bounded(4), f = rng.bounded(6), g = rng.bounded(5); // kinds: bit 0 N, bit 1 W
        if (kinds & 1)
            put(rng.bounded(2) ? "isNOfRiver" : " ISNOFRIVER ");
        if ((kinds & 1) && f < 5)
            put((f % 2 ? "RiverWEDirection=" : "riverwedirection = ") + QByteArray::number(f == 4 ? -1 : f));
        if (kinds & 2)
            put(rng.bounded(2) ? "isWOfRiver" : "iswofriver\t");
        if ((kinds & 2) && g < 4)
            put("RiverNSDirection=" + QByteArray::number(g));
        doc.PlotTexts.setText(i / h, i % h, lines.join("\r\n"));
    }
    return doc;
}

Transforms::Result runCase(MapDocument &md, const Case &c)
{
    const QSize grid(md.document().columnCount(), md.document().rowCount());
    QRect cells;
    if (!PlotArea::parse(c.area).cells(grid, &cells))
        return {false, QStringLiteral("bad area"), QString()};
    if (c.op == QLatin1String("resize"))
        return Transforms::resize(md, c.size, c.offset);
    if (c.op == QLatin1String("crop"))
        return Transforms::crop(md, cells);
    const MapTransform::Kind kind = c.op == QLatin1String("flip-h")       ? MapTransform::FlipHorizontal
                                    : c.op == QLatin1String("flip-v")     ? MapTransform::FlipVertical
                                    : c.op == QLatin1String("rotate-90")  ? MapTransform::RotateClockwise
                                    : c.op == QLatin1String("rotate-180") ? MapTransform::Rotate180
                                                                          : MapTransform::RotateCounterClockwise;
    return Transforms::turn(md, kind, cells);
}

} // namespace

class TestTransforms : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void againstThePlainVersion_data();
    void againstThePlainVersion();
    void randomTransformsOfRandomMaps();
    void inversePairsGiveTheBytesBack();
    void startsAndSignsAreRewrittenOrRemoved();
    void refusals();
    void windowsHearOfTheChange();
    void playersStayWholeOnPlayedMaps_data();
    void playersStayWholeOnPlayedMaps();
    void makeSymmetricAgainstItsRules();

private:
    QTemporaryDir m_dir;
};

void TestTransforms::againstThePlainVersion_data()
{
    QTest::addColumn<QSize>("map");
    QTest::addColumn<QString>("op");
    QTest::addColumn<QString>("area");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<int>("removed"); // start positions and signs
    for (const QSize map : {QSize(5, 3), QSize(4, 7)}) {
        const QString tag = QStringLiteral("%1x%2 ").arg(map.width()).arg(map.height());
        const auto row = [&](const char *name) -> QTestData & { return QTest::newRow(qPrintable(tag + QLatin1String(name))) << map; };
        row("flip h") << "flip-h" << "all" << QSize() << QPoint() << 0;
        row("flip v") << "flip-v" << "all" << QSize() << QPoint() << 0;
        row("flip h area") << "flip-h" << "1,0:3,2" << QSize() << QPoint() << 0;
        row("flip v area") << "flip-v" << "3,2:0,1" << QSize() << QPoint() << 0;
        row("rotate 180") << "rotate-180" << "all" << QSize() << QPoint() << 0;
        row("rotate 180 area") << "rotate-180" << "0,0:2,1" << QSize() << QPoint() << 0;
        row("rotate 90") << "rotate-90" << "all" << QSize() << QPoint() << 0;
        row("rotate 270") << "rotate-270" << "all" << QSize() << QPoint() << 0;
        row("rotate 90 square") << "rotate-90" << "1,0:3,2" << QSize() << QPoint() << 0;
        row("rotate 270 square") << "rotate-270" << "0,0:1,1" << QSize() << QPoint() << 0;
        row("grow") << "resize" << "all" << QSize(map.width() + 3, map.height() + 2) << QPoint(2, 1) << 0;
        row("grow right") << "resize" << "all" << QSize(map.width() + 4, map.height()) << QPoint(0, 0) << 0;
        // Player 0 starts at 1,2 (on the 4 x 7 map only), player 1 at the
        // last column; the signs stand at 0,0 and (w - 2),1.
        row("shrink from the left") << "resize" << "all" << map - QSize(1, 0) << QPoint(-1, 0) << 1;
        row("shift down") << "resize" << "all" << map << QPoint(0, -1) << 2;
        row("crop") << "crop" << "1,1:2,2" << QSize() << QPoint() << (map.width() == 5 ? 3 : 2);
    }
}

void TestTransforms::againstThePlainVersion()
{
    QFETCH(QSize, map);
    QFETCH(QString, op);
    QFETCH(QString, area);
    QFETCH(QSize, size);
    QFETCH(QPoint, offset);
    QFETCH(int, removed);
    const Document crafted = craftedMap(map.width(), map.height());
    MapDocument md;
    load(md, crafted, m_dir);
    const QByteArray before = bytesOf(md.document());

    const Case c{op, area, size, offset};
    const Transforms::Result result = runCase(md, c);
    QVERIFY2(result.ok, qPrintable(result.message));
    // The plain version starts from the document as read.
    MapDocument copy;
    load(copy, crafted, m_dir);
    QCOMPARE(firstDifference(bytesOf(md.document()), bytesOf(plainCase(copy.document(), c))), QByteArray());
    const QByteArray after = bytesOf(md.document());
    static const QRegularExpression counts(QStringLiteral("(\\d+) (start position|sign)"));
    int counted = 0;
    for (const QRegularExpressionMatch &m : counts.globalMatch(result.note))
        counted += m.captured(1).toInt();
    QCOMPARE(counted, removed);
    QCOMPARE(result.note.isEmpty(), removed == 0);

    // One step, undone and redone byte for byte.
    QCOMPARE(md.undoStack()->count(), 1);
    md.undoStack()->undo();
    QCOMPARE(bytesOf(md.document()), before);
    md.undoStack()->redo();
    QCOMPARE(bytesOf(md.document()), after);
}

void TestTransforms::randomTransformsOfRandomMaps()
{
    // Many sizes, areas and kinds, half the maps with rivers; each result
    // held against the plain version, each undo against the bytes before.
    QRandomGenerator rng(13);
    const QStringList ops{"flip-h", "flip-v", "rotate-90", "rotate-180", "rotate-270", "resize", "crop"};
    for (int round = 0; round < 160; ++round) {
        const int w = rng.bounded(1, 9), h = rng.bounded(1, 9);
        const Document crafted = round % 2 ? riverMap(w, h, rng) : craftedMap(w, h);
        MapDocument md;
        load(md, crafted, m_dir);
        const Document start = md.document().deepCopy();
        const QString op = ops[rng.bounded(int(ops.size()))];
        const int x1 = rng.bounded(w), y1 = rng.bounded(h);
        int x2 = rng.bounded(x1, w), y2 = rng.bounded(y1, h);
        if (op.startsWith(QLatin1String("rotate-")) && op != QLatin1String("rotate-180")) {
            const int n = qMin(x2 - x1, y2 - y1);
            x2 = x1 + n;
            y2 = y1 + n;
        }
        const bool whole = rng.bounded(4) == 0;
        Case c{op, whole ? QStringLiteral("all") : QStringLiteral("%1,%2:%3,%4").arg(x1).arg(y1).arg(x2).arg(y2),
               QSize(rng.bounded(1, 11), rng.bounded(1, 11)), QPoint(rng.bounded(-4, 5), rng.bounded(-4, 5))};
        const QByteArray before = bytesOf(md.document());
        const Transforms::Result result = runCase(md, c);
        QVERIFY2(result.ok, qPrintable(result.message + QLatin1Char(' ') + op + QLatin1Char(' ') + c.area));
        int removed = 0;
        QCOMPARE(firstDifference(bytesOf(md.document()), bytesOf(plainCase(start, c, &removed))), QByteArray());
        QCOMPARE(QRegularExpression(QStringLiteral("(\\d+) river edge")).match(result.note).captured(1).toInt(), removed);
        md.undoStack()->undo();
        QCOMPARE(bytesOf(md.document()), before);
    }
}

void TestTransforms::inversePairsGiveTheBytesBack()
{
    const QList<QList<Case>> pairs = {
        {{"flip-h", "all"}, {"flip-h", "all"}},
        {{"flip-v", "1,1:3,2"}, {"flip-v", "1,1:3,2"}},
        {{"rotate-90", "all"}, {"rotate-270", "all"}},
        {{"rotate-270", "all"}, {"rotate-90", "all"}},
        {{"rotate-90", "0,0:2,2"}, {"rotate-270", "0,0:2,2"}},
        {{"rotate-180", "all"}, {"rotate-180", "all"}},
        {{"rotate-90", "all"}, {"rotate-90", "all"}, {"rotate-90", "all"}, {"rotate-90", "all"}},
        {{"resize", "all", QSize(9, 6), QPoint(2, 3)}, {"resize", "all", QSize(5, 3), QPoint(-2, -3)}},
        {{"resize", "all", QSize(9, 3), QPoint(0, 0)}, {"crop", "0,0:4,2"}},
    };
    for (const QList<Case> &pair : pairs) {
        MapDocument md;
        load(md, craftedMap(5, 3, true), m_dir);
        const QByteArray before = bytesOf(md.document());
        for (const Case &c : pair)
            QVERIFY(runCase(md, c).ok);
        QCOMPARE(bytesOf(md.document()), before);
        // And the whole chain undone.
        while (md.undoStack()->canUndo())
            md.undoStack()->undo();
        QCOMPARE(bytesOf(md.document()), before);
    }
    // A real map, whose start lines and signs are in the written form.
    for (const QList<Case> &pair : pairs) {
        MapDocument md;
        QVERIFY(md.load(QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave")).ok());
        const QByteArray before = bytesOf(md.document());
        for (Case c : pair) {
            if (c.op == QLatin1String("crop"))
                c.area = QStringLiteral("0,0:63,39");
            if (c.op == QLatin1String("resize"))
                c.size = c.size.width() == 5 ? QSize(64, 40) : c.size + QSize(64, 40);
            QVERIFY(runCase(md, c).ok);
        }
        QCOMPARE(firstDifference(bytesOf(md.document()), before), QByteArray());
    }
}

void TestTransforms::startsAndSignsAreRewrittenOrRemoved()
{
    // The marks' own texts: the start line and the sign lines take the
    // written form, the rest of their texts stays.
    QCOMPARE(MapMarks::startOf("Name=A\r\nStartingGold=0\r\nstartingx= 12 , StartingY=-3, X=1"), QPoint(12, -3));
    QCOMPARE(MapMarks::startOf("StartingX=1"), std::nullopt);
    QCOMPARE(MapMarks::startOf("StartingX=a, StartingY=1"), std::nullopt);
    QCOMPARE(MapMarks::withStart("Name=A\r\nStartingX=1,StartingY=2, Era=1\r\nTeam=0", QPoint(7, 8)),
             QByteArray("Name=A\r\nStartingX=7, StartingY=8\r\nTeam=0"));
    QCOMPARE(MapMarks::withStart("Name=A\r\nStartingX=1, StartingY=2\r\nTeam=0", std::nullopt),
             QByteArray("Name=A\r\nTeam=0"));
    QCOMPARE(MapMarks::signPlot("caption=x\r\nPLOTY=4\r\nplotX=3"), QPoint(3, 4));
    QCOMPARE(MapMarks::withSignPlot("plotX=3\r\ncaption=x\r\nplotY=4", QPoint(1, 0)),
             QByteArray("plotX=1\r\ncaption=x\r\nplotY=0"));
    QCOMPARE(MapMarks::withSignPlot("plotX=3, plotY=4", QPoint(1, 0)), QByteArray("plotX=1\r\nplotY=0"));

    // Through a crop that keeps one player and one sign: the others leave
    // and say so; a start off the map before stays as it was.
    MapDocument md;
    load(md, craftedMap(5, 3), m_dir);
    const Transforms::Result crop = Transforms::crop(md, QRect(1, 0, 2, 2)); // x 1..2, y 1..2
    QVERIFY(crop.ok);
    QCOMPARE(crop.message, QStringLiteral("Crop map to 2 x 2"));
    QCOMPARE(crop.note, QStringLiteral("1 start position, 2 signs and 1 unit (1 of no player) left the map and were "
                                       "removed; player 1 starts nowhere on the map now"));
    const Document &doc = md.document();
    QCOMPARE(doc.PlayerTexts[0], QByteArray("Name=A\r\nStartingGold=0\r\nStartingX=0, StartingY=1\r\nTeam=0"));
    QCOMPARE(doc.PlayerTexts[1], QByteArray());
    QCOMPARE(doc.PlayerTexts[3], QByteArray("StartingX=-1, StartingY=-1"));
    QCOMPARE(doc.SignTexts, QList<QByteArray>{"caption=Nowhere"});
    md.undoStack()->undo();
    QCOMPARE(md.document().PlayerTexts[1], QByteArray("StartingX=4, StartingY=0, Extra=1"));
    QCOMPARE(md.document().SignTexts.size(), 3);

    // A flip moves them and removes none.
    const Transforms::Result flip = Transforms::turn(md, MapTransform::FlipHorizontal);
    QVERIFY(flip.note.isEmpty());
    QCOMPARE(md.document().PlayerTexts[1], QByteArray("StartingX=0, StartingY=0"));
    QCOMPARE(md.document().SignTexts[0], QByteArray("plotX=4\r\nplotY=0\r\nplayerType=-1\r\ncaption=Corner"));
}

void TestTransforms::refusals()
{
    MapDocument md;
    load(md, craftedMap(5, 3), m_dir);
    const QByteArray before = bytesOf(md.document());
    const struct
    {
        Transforms::Result result;
        const char *message;
    } refused[] = {
        {Transforms::turn(md, MapTransform::RotateClockwise, QRect(0, 0, 3, 2)),
         "A quarter turn needs the whole map or a square area, not 3 x 2 plots"},
        {Transforms::turn(md, MapTransform::FlipVertical, QRect(3, 1, 3, 1)), "The area is outside the map"},
        {Transforms::resize(md, QSize(0, 5), QPoint()), "The map size must be 1 to 1000 plots a side, not 0 x 5"},
        {Transforms::resize(md, QSize(1001, 5), QPoint()), "The map size must be 1 to 1000 plots a side"},
        {Transforms::crop(md, QRect(4, 2, 2, 2)), "The area to crop to is outside the map"},
    };
    for (const auto &r : refused) {
        QVERIFY(!r.result.ok);
        QVERIFY2(r.result.message.startsWith(QLatin1String(r.message)), qPrintable(r.result.message));
    }
    QCOMPARE(bytesOf(md.document()), before);
    QCOMPARE(md.undoStack()->count(), 0);
    // A flip of one column changes nothing and is no step.
    QVERIFY(Transforms::turn(md, MapTransform::FlipHorizontal, QRect(2, 0, 1, 3)).ok);
    QCOMPARE(md.undoStack()->count(), 0);
}

void TestTransforms::windowsHearOfTheChange()
{
    // A turn in place repaints its area; a new grid replaces the picture
    // and clears the selected region.
    MapDocument md;
    load(md, craftedMap(5, 3), m_dir);
    md.push(new ChangeSelection(&md, QRect(1, 1, 2, 2)));
    QSignalSpy plots(&md, &MapDocument::plotsChanged);
    QSignalSpy replaced(&md, &MapDocument::documentReplaced);
    QSignalSpy players(&md, &MapDocument::sectionChanged);
    QVERIFY(Transforms::turn(md, MapTransform::FlipVertical, QRect(1, 1, 2, 2)).ok);
    QCOMPARE(plots.size(), 1);
    QCOMPARE(plots[0][0].value<QRegion>(), QRegion(1, 1, 2, 2));
    QCOMPARE(replaced.size(), 0);
    QCOMPARE(md.selection().boundingRect(), QRect(1, 1, 2, 2));

    plots.clear();
    QVERIFY(Transforms::turn(md, MapTransform::RotateClockwise).ok);
    QCOMPARE(replaced.size(), 1);
    QCOMPARE(plots.size(), 0);
    QCOMPARE(QSize(md.document().columnCount(), md.document().rowCount()), QSize(3, 5));
    QVERIFY(md.document().hasSize);
    QVERIFY(players.size() >= 2); // players 0 and 1 moved

    QVERIFY(Transforms::resize(md, QSize(8, 8), QPoint(1, 1)).ok);
    QVERIFY(md.selection().isEmpty());
    md.undoStack()->undo();
    QCOMPARE(md.selection().boundingRect(), QRect(1, 1, 2, 2) & QRect(0, 0, 3, 5));
}

void TestTransforms::playersStayWholeOnPlayedMaps_data()
{
    QTest::addColumn<QString>("map");
    QTest::addColumn<QString>("op");
    QTest::addColumn<QString>("area");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("offset");
    for (const char *map : {"multiplayer-9-52x52", "multiplayer-12-teams-64x48", "multiplayer-18-84x52"}) {
        const auto row = [&](const char *name) -> QTestData & {
            return QTest::addRow("%s %s", map, name) << QStringLiteral(VOR4_FIXTURES_DIR "/%1.Vor4WorldBuilderSave").arg(map);
        };
        for (const char *op : {"flip-h", "flip-v", "rotate-180", "rotate-90", "rotate-270"})
            row(op) << op << "all" << QSize() << QPoint();
        row("flip area") << "flip-h" << "3,5:30,40" << QSize() << QPoint();
        row("turn area") << "rotate-90" << "10,10:29,29" << QSize() << QPoint();
        row("crop") << "crop" << "5,3:33,30" << QSize() << QPoint();
        row("shrink") << "resize" << "all" << QSize(30, 20) << QPoint(-12, -9);
        row("grow") << "resize" << "all" << QSize(100, 60) << QPoint(3, 2);
    }
}

// On played multiplayer maps, each player keeps every unit through a flip
// or turn, and every team its revealed plots, which travel with their
// plots; a crop or resize drops only what lies outside and says whose.
void TestTransforms::playersStayWholeOnPlayedMaps()
{
    QFETCH(QString, map);
    QFETCH(QString, op);
    QFETCH(QString, area);
    QFETCH(QSize, size);
    QFETCH(QPoint, offset);
    MapDocument md;
    QVERIFY(md.load(map).ok());
    const Document before = md.document().deepCopy();
    const int w = before.columnCount(), h = before.rowCount();
    QRect cells;
    QVERIFY(PlotArea::parse(area).cells(QSize(w, h), &cells));
    if (op == QLatin1String("crop")) {
        offset = QPoint(-cells.left(), -(h - 1 - cells.bottom()));
        size = cells.size();
    }
    // Plainly, the units as "owner type" and the reveal lines, counted over
    // the plots of a map that `counts`.
    const auto piecesOf = [](const Document &d, const std::function<bool(QPoint)> &counts) {
        QMap<QByteArray, int> n;
        for (int x = 0; x < d.columnCount(); ++x)
            for (int y = 0; y < d.rowCount(); ++y)
                for (const QByteArray &line : counts(QPoint(x, y)) ? d.PlotTexts.text(x, d.rowCount() - 1 - y).split('\n')
                                                                   : QList<QByteArray>()) {
                    const QByteArray l = line.trimmed();
                    if (l.startsWith("UnitType="))
                        ++n[l.mid(l.indexOf("UnitOwner=") + 10) + ' ' + l.mid(9, l.indexOf(',') - 9)];
                    else if (l.startsWith("TeamReveal="))
                        ++n[l];
                }
        return n;
    };
    const bool resizes = op == QLatin1String("crop") || op == QLatin1String("resize");
    const auto stays = [&](QPoint p) { return !resizes || QRect(QPoint(), size).contains(p + offset); };
    const QMap<QByteArray, int> kept = piecesOf(before, stays);
    const Transforms::Result result = runCase(md, Case{op, area, size, offset});
    QVERIFY2(result.ok, qPrintable(result.message));
    QCOMPARE(piecesOf(md.document(), [](QPoint) { return true; }), kept);
    // What fell off, by owner, in the note.
    QMap<int, int> byOwner;
    int dropped = 0;
    const QMap<QByteArray, int> all = piecesOf(before, [](QPoint) { return true; });
    for (auto it = all.cbegin(); it != all.cend(); ++it)
        if (!it.key().startsWith("TeamReveal=") && *it > kept.value(it.key())) {
            byOwner[it.key().split(' ').first().toInt()] += *it - kept.value(it.key());
            dropped += *it - kept.value(it.key());
        }
    QStringList owners;
    for (auto it = byOwner.cbegin(); it != byOwner.cend(); ++it)
        owners << QStringLiteral("%1 of player %2").arg(*it).arg(it.key());
    QCOMPARE(result.note.contains(QStringLiteral(" units (%1)").arg(owners.join(QStringLiteral(", ")))), dropped > 1);
    QCOMPARE(result.note.contains(QLatin1String("unit")), dropped > 0);
}

// Make symmetric against its rules read plainly, on random maps of odd and
// even sizes with rivers, units, starts and signs on both sides: the other
// side's plots are copies of their images (river lines aside, units' owners
// paired), the river edges are the untouched ones and the images of those
// touching this side, turned; signs copied. (Players: tst_symmetry.)
void TestTransforms::makeSymmetricAgainstItsRules()
{
    QRandomGenerator rng(31);
    for (int round = 0; round < 96; ++round) {
        const int w = rng.bounded(1, 8), h = rng.bounded(1, 8);
        Document crafted = riverMap(w, h, rng);
        for (int slot = 4; slot < 8; ++slot) {
            crafted.PlayerTexts[slot] = "StartingX=" + QByteArray::number(rng.bounded(w)) + ", StartingY="
                + QByteArray::number(rng.bounded(h)) + "\r\nTeam=" + QByteArray::number(slot);
            const int c = rng.bounded(w), r = rng.bounded(h);
            crafted.PlotTexts.setText(c, r, crafted.PlotTexts.text(c, r) + "\r\nBeginUnit\r\nUnitType=UNIT_SETTLER, UnitOwner="
                                                + QByteArray::number(slot) + "\r\nEndUnit");
        }
        crafted.SignTexts << "plotX=" + QByteArray::number(rng.bounded(w)) + "\r\nplotY=" + QByteArray::number(rng.bounded(h))
                + "\r\ncaption=S" + QByteArray::number(round);
        const auto side = Symmetry::Side(round % 4);
        const auto mode = Symmetry::Mode(round / 4 % 2);
        MapDocument md;
        load(md, crafted, m_dir);
        const Document before = md.document().deepCopy();
        QVERIFY(Symmetry::makeSymmetric(md, side, mode).ok);
        const Document &after = md.document();

        // The rules, in file coordinates (y from the bottom).
        const bool across = side == Symmetry::Left || side == Symmetry::Right;
        const auto part = [&](QPoint p, bool source) {
            const int v = across ? p.x() : p.y(), size = across ? w : h, half = size / 2;
            const bool low = v < half, high = v > size - 1 - half;
            const bool sourceLow = side == Symmetry::Left || side == Symmetry::Bottom;
            return p.x() >= 0 && p.y() >= 0 && p.x() < w && p.y() < h && (source == sourceLow ? low : high);
        };
        const auto img = [&](QPoint p) {
            const QPoint turned(w - 1 - p.x(), h - 1 - p.y());
            return mode == Symmetry::HalfTurn ? turned : across ? QPoint(turned.x(), p.y()) : QPoint(p.x(), turned.y());
        };
        const auto cellOf = [&](QPoint p) { return QPoint(p.x(), h - 1 - p.y()); };
        const auto bare = [](QByteArrayView t) {
            return PlotFacts::withoutRiver(PlotFacts::withoutRiver(t, PlotFacts::SouthEdge), PlotFacts::EastEdge);
        };
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < h; ++y) {
                const QPoint from = part({x, y}, false) ? img({x, y}) : QPoint(x, y);
                QByteArray expected = bare(before.PlotTexts.view(cellOf(from).x(), cellOf(from).y()));
                QCOMPARE(PlotFacts::withoutUnits(bare(after.PlotTexts.view(cellOf({x, y}).x(), cellOf({x, y}).y()))),
                         PlotFacts::withoutUnits(expected));
            }
        const auto edgeName = [&](QPoint a, QPoint b, const std::optional<QByteArray> &flow) {
            const QPoint first = a.y() > b.y() || a.x() < b.x() ? a : b; // north or west, in file terms
            const QPoint second = first == a ? b : a;
            return QStringLiteral("%1,%2-%3,%4 %5").arg(first.x()).arg(first.y()).arg(second.x()).arg(second.y())
                .arg(flow ? QString::fromLatin1(*flow) : QStringLiteral("-"));
        };
        QStringList expectedEdges, edges;
        for (const PlotFacts::RiverEdge &e : PlotFacts::riverEdges(before.PlotTexts, QRect(0, 0, w, h))) {
            const QPoint a = cellOf(e.carrier), b = cellOf(e.neighbour()); // file plots
            if (!part(a, false) && !part(b, false))
                expectedEdges << edgeName(a, b, e.flow);
            if (!part(a, true) && !part(b, true))
                continue;
            const QPoint ia = img(a), ib = img(b);
            const QPoint carrier(qMin(ia.x(), ib.x()), qMax(ia.y(), ib.y()));
            if (carrier.x() < 0 || carrier.y() < 0 || carrier.x() >= w || carrier.y() >= h)
                continue;
            std::optional<QByteArray> flow = e.flow;
            static const QHash<QByteArray, int> compass{{"0", 0}, {"1", 1}, {"2", 2}, {"3", 3}};
            if (flow && compass.contains(*flow)) {
                const int c = compass[*flow];
                const bool turns = mode == Symmetry::HalfTurn || (c % 2 == 1) == across;
                flow = QByteArray::number(turns ? (c + 2) % 4 : c);
            }
            expectedEdges << edgeName(ia, ib, flow);
        }
        for (const PlotFacts::RiverEdge &e : PlotFacts::riverEdges(after.PlotTexts, QRect(0, 0, w, h)))
            edges << edgeName(cellOf(e.carrier), cellOf(e.neighbour()), e.flow);
        expectedEdges.sort();
        edges.sort();
        QCOMPARE(edges, expectedEdges);
        QStringList signs, expectedSigns;
        for (const QByteArray &t : before.SignTexts)
            if (const auto p = MapMarks::signPlot(t); !p || !part(*p, false))
                expectedSigns << QString::fromLatin1(t.right(3)) + (p ? QStringLiteral(" %1,%2").arg(p->x()).arg(p->y()) : QString());
        for (const QByteArray &t : before.SignTexts)
            if (const auto p = MapMarks::signPlot(t); p && part(*p, true))
                expectedSigns << QString::fromLatin1(t.right(3)) + QStringLiteral(" %1,%2").arg(img(*p).x()).arg(img(*p).y());
        for (const QByteArray &t : after.SignTexts) {
            const auto p = MapMarks::signPlot(t);
            signs << QString::fromLatin1(t.right(3)) + (p ? QStringLiteral(" %1,%2").arg(p->x()).arg(p->y()) : QString());
        }
        QCOMPARE(signs, expectedSigns);
        md.undoStack()->undo();
        QCOMPARE(bytesOf(md.document()), bytesOf(before));
    }
}

QTEST_GUILESS_MAIN(TestTransforms)
#include "tst_transforms.moc"
