// Cells of lines and brush squares, and Fill's region against a plain
// breadth-first flood fill on crafted and random maps.

#include "Fill.h"
#include "Geometry.h"
#include "PlotTable.h"

#include <QRandomGenerator>
#include <QSet>
#include <QtTest>
#include <cmath>
#include <queue>

using namespace vor4;

namespace {

// A map drawn as text, one character a plot: '.' no terrain line; a capital
// its terrain; a small letter the same terrain line with blanks around it
// (the same value once trimmed); '1' the line of A in small letters (another
// value); '#' a line of a longer key that holds the key's text (no value,
// as '.').
// The texts go into the pool row after row, or column after column as a
// map file lists them.
PlotTable mapOf(const QStringList &rows, bool byColumn = false)
{
    PlotTable plots;
    plots.resize(int(rows.first().size()), int(rows.size()));
    for (qsizetype i = 0; i < rows.size() * rows.first().size(); ++i) {
        const qsizetype r = byColumn ? i % rows.size() : i / rows.first().size();
        const qsizetype c = byColumn ? i / rows.size() : i % rows.first().size();
        const char ch = rows[r][c].toLatin1();
        if (ch == '.')
            continue;
        QByteArray text = "PlotType=1\r\n";
        if (ch == '#')
            text += "OldTerrainType=X";
        else if (ch == '1')
            text += "terraintype=t_a";
        else if (ch >= 'a' && ch <= 'z')
            text += QByteArray("  TerrainType=T_") + char(ch - 32) + " "; // trimmed: equals the capital
        else
            text += QByteArray("TerrainType=T_") + ch;
        plots.setText(int(c), int(r), text);
    }
    return plots;
}

// The plain reference: breadth-first over the four side neighbours.
QBitArray plainFill(const PlotTable &plots, QPoint start, const QByteArray &key)
{
    const int cols = plots.columnCount(), rows = plots.rowCount();
    QBitArray mask(qsizetype(cols) * rows);
    const auto value = [&](int c, int r) {
        for (const QByteArray &line : plots.text(c, r).split('\n')) {
            if (line.contains('=') && line.left(line.indexOf('=')).trimmed().toLower() == key.toLower())
                return line.trimmed();
        }
        return QByteArray();
    };
    const QByteArray wanted = value(start.x(), start.y());
    std::queue<QPoint> todo;
    todo.push(start);
    mask.setBit(qsizetype(start.y()) * cols + start.x());
    while (!todo.empty()) {
        const QPoint p = todo.front();
        todo.pop();
        for (const QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
            const QPoint n = p + d;
            if (n.x() < 0 || n.y() < 0 || n.x() >= cols || n.y() >= rows)
                continue;
            const qsizetype i = qsizetype(n.y()) * cols + n.x();
            if (!mask.testBit(i) && value(n.x(), n.y()) == wanted) {
                mask.setBit(i);
                todo.push(n);
            }
        }
    }
    return mask;
}

QStringList drawn(const QBitArray &mask, int cols)
{
    QStringList rows;
    for (qsizetype i = 0; i < mask.size(); i += cols) {
        QString row;
        for (int c = 0; c < cols; ++c)
            row += mask.testBit(i + c) ? QLatin1Char('x') : QLatin1Char('.');
        rows << row;
    }
    return rows;
}

QSet<quint64> cellsOf(const QList<QRect> &rects)
{
    QSet<quint64> cells;
    for (const QRect &r : rects)
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                cells.insert(quint64(quint32(x)) << 32 | quint32(y));
    return cells;
}

} // namespace

class TestGeometry : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void brushSquares();
    void linesHaveNoGaps();
    void lineFootprintIsTheUnionOfSquares();
    void fillOnCraftedMaps_data();
    void fillOnCraftedMaps();
    void fillOnRandomMapsMatchesThePlainFill();
};

void TestGeometry::brushSquares()
{
    QCOMPARE(brushRect({5, 5}, 1), QRect(5, 5, 1, 1));
    QCOMPARE(brushRect({5, 5}, 3), QRect(4, 4, 3, 3));
    QCOMPARE(brushRect({5, 5}, 9), QRect(1, 1, 9, 9));
    // Even sizes: the cell is the top-left of the middle four.
    QCOMPARE(brushRect({5, 5}, 2), QRect(5, 5, 2, 2));
    QCOMPARE(brushRect({0, 0}, 0), QRect(0, 0, 1, 1));

    QCOMPARE(stepBrushSize(1, 1), 2);
    QCOMPARE(stepBrushSize(3, 1), 5);
    QCOMPARE(stepBrushSize(9, 1), 9);
    QCOMPARE(stepBrushSize(5, -1), 3);
    QCOMPARE(stepBrushSize(1, -1), 1);
    QCOMPARE(stepBrushSize(4, 0), 3);  // the nearest, the smaller on a tie
    QCOMPARE(stepBrushSize(8, 0), 7);
    QCOMPARE(stepBrushSize(100, 0), 9);
    QCOMPARE(stepBrushSize(-3, 0), 1);

    QCOMPARE(cellsBetween({7, 2}, {3, 9}), QRect(QPoint(3, 2), QPoint(7, 9)));
    QCOMPARE(cellsBetween({3, 3}, {3, 3}), QRect(3, 3, 1, 1));
}

void TestGeometry::linesHaveNoGaps()
{
    QCOMPARE(pointsOnLine({2, 3}, {2, 3}), QList<QPoint>{QPoint(2, 3)});
    QCOMPARE(pointsOnLine({0, 0}, {3, 0}), (QList<QPoint>{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
    QCOMPARE(pointsOnLine({0, 0}, {-2, -2}), (QList<QPoint>{{0, 0}, {-1, -1}, {-2, -2}}));

    QRandomGenerator rng(3);
    for (int round = 0; round < 3000; ++round) {
        const QPoint a(rng.bounded(-40, 40), rng.bounded(-40, 40));
        const QPoint b(rng.bounded(-40, 40), rng.bounded(-40, 40));
        const QList<QPoint> line = pointsOnLine(a, b);
        QCOMPARE(line.first(), a);
        QCOMPARE(line.last(), b);
        QCOMPARE(line.size(), qMax(qAbs(b.x() - a.x()), qAbs(b.y() - a.y())) + 1);
        for (int i = 1; i < line.size(); ++i) {
            const QPoint step = line[i] - line[i - 1];
            QVERIFY(qAbs(step.x()) <= 1 && qAbs(step.y()) <= 1 && step != QPoint());
        }
        // Every cell lies within half a cell of the true line, across it.
        const double dx = b.x() - a.x(), dy = b.y() - a.y();
        for (const QPoint &p : line) {
            if (qAbs(dx) >= qAbs(dy) && dx != 0) {
                const double y = a.y() + dy * (p.x() - a.x()) / dx;
                QVERIFY(std::abs(p.y() - y) <= 0.5 + 1e-9);
            } else if (dy != 0) {
                const double x = a.x() + dx * (p.y() - a.y()) / dy;
                QVERIFY(std::abs(p.x() - x) <= 0.5 + 1e-9);
            }
        }
        // The same cells whichever end the drag starts from.
        QList<QPoint> back = pointsOnLine(b, a);
        std::reverse(back.begin(), back.end());
        QCOMPARE(back, line);
    }
}

void TestGeometry::lineFootprintIsTheUnionOfSquares()
{
    QRandomGenerator rng(5);
    for (int round = 0; round < 500; ++round) {
        const QPoint a(rng.bounded(-20, 20), rng.bounded(-20, 20));
        const QPoint b(rng.bounded(-20, 20), rng.bounded(-20, 20));
        const int size = BrushSizes[rng.bounded(6)];
        QList<QRect> squares;
        for (const QPoint &p : pointsOnLine(a, b))
            squares << brushRect(p, size);
        const QList<QRect> rows = lineFootprint(a, b, size);
        QCOMPARE(cellsOf(rows), cellsOf(squares));
        for (int i = 0; i < rows.size(); ++i) {
            QCOMPARE(rows[i].height(), 1);
            if (i)
                QCOMPARE(rows[i].top(), rows[i - 1].top() + 1);
        }
    }
}

void TestGeometry::fillOnCraftedMaps_data()
{
    QTest::addColumn<QStringList>("map");
    QTest::addColumn<QPoint>("start");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("a hole is left out") << QStringList{"AAAAA", "ABBBA", "ABABA", "ABBBA", "AAAAA"} << QPoint(0, 0)
                                        << QStringList{"xxxxx", "x...x", "x...x", "x...x", "xxxxx"};
    QTest::newRow("the inside of the hole alone") << QStringList{"AAAAA", "ABBBA", "ABABA", "ABBBA", "AAAAA"}
                                                  << QPoint(2, 2)
                                                  << QStringList{".....", ".....", "..x..", ".....", "....."};
    QTest::newRow("diagonal neighbours do not connect") << QStringList{"AB.", "BAB", ".BA"} << QPoint(0, 0)
                                                        << QStringList{"x..", "...", "..."};
    QTest::newRow("a snake through the whole map") << QStringList{"AAAAB", "BBBAB", "AAAAB", "ABBBB", "AAAAA"}
                                                   << QPoint(4, 4)
                                                   << QStringList{"xxxx.", "...x.", "xxxx.", "x....", "xxxxx"};
    QTest::newRow("no line is a value too") << QStringList{"..A", ".A.", "..."} << QPoint(0, 0)
                                            << QStringList{"xx.", "x.x", "xxx"};
    QTest::newRow("trimmed values compare equal") << QStringList{"AaA", "BBB", "aAa"} << QPoint(1, 0)
                                                  << QStringList{"xxx", "...", "..."};
    QTest::newRow("letter case counts in values") << QStringList{"A1A"} << QPoint(0, 0) << QStringList{"x.."};
    QTest::newRow("the key inside a longer one is no value") << QStringList{"#.", ".A"} << QPoint(0, 0)
                                                             << QStringList{"xx", "x."};
    QTest::newRow("the whole map") << QStringList{"CCC", "CCC"} << QPoint(2, 1) << QStringList{"xxx", "xxx"};
    QTest::newRow("one column") << QStringList{"A", "A", "B", "A"} << QPoint(0, 3)
                                << QStringList{".", ".", ".", "x"};
    QTest::newRow("outside the map") << QStringList{"AA"} << QPoint(2, 0) << QStringList{};
}

void TestGeometry::fillOnCraftedMaps()
{
    QFETCH(QStringList, map);
    QFETCH(QPoint, start);
    QFETCH(QStringList, expected);
    const PlotTable plots = mapOf(map);
    const QBitArray mask = Fill::region(plots, start, "TerrainType");
    if (expected.isEmpty()) {
        QVERIFY(mask.isEmpty());
        return;
    }
    QCOMPARE(drawn(mask, plots.columnCount()), expected);
    QCOMPARE(mask, plainFill(plots, start, "TerrainType"));
    QCOMPARE(Fill::whole(plots).count(true), qsizetype(plots.columnCount()) * plots.rowCount());
}

void TestGeometry::fillOnRandomMapsMatchesThePlainFill()
{
    // Few values and many seeds: regions of every shape, touching the edges.
    QRandomGenerator rng(8);
    for (int round = 0; round < 60; ++round) {
        const int cols = 1 + rng.bounded(60), rows = 1 + rng.bounded(60);
        QStringList map;
        const char *const values = ".AAB#";
        for (int r = 0; r < rows; ++r) {
            QString row;
            for (int c = 0; c < cols; ++c)
                row += QLatin1Char(values[rng.bounded(round % 2 ? 5 : 3)]);
            map << row;
        }
        const PlotTable plots = mapOf(map, round % 4 < 2);
        for (int k = 0; k < 10; ++k) {
            const QPoint start(rng.bounded(cols), rng.bounded(rows));
            QCOMPARE(Fill::region(plots, start, "terraintype"), plainFill(plots, start, "TerrainType"));
        }
    }
}

QTEST_GUILESS_MAIN(TestGeometry)
#include "tst_geometry.moc"
