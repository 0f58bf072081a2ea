#include "MapPainter.h"
#include "MapReader.h"
#include "MiniMap.h"

#include <QtTest>

using namespace vor4;

namespace {

const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");
const QString Island = QStringLiteral(VOR4_FIXTURES_DIR "/island-15x15.Vor4WorldBuilderSave");
const QRgb Silver = qRgb(192, 192, 192);
const QRgb Bg = qRgb(255, 255, 255);

GridPaintParams paramsFor(const Document &doc, int W, int lineWidth)
{
    GridPaintParams p;
    p.cellSize = W;
    p.lineWidth = lineWidth;
    p.colCount = doc.columnCount();
    p.rowCount = doc.rowCount();
    p.background = Bg;
    p.cellPen = gridCellPen(lineWidth);
    return p;
}

// Position of the first differing pixel, for the failure message.
QByteArray firstDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return "sizes differ";
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return QStringLiteral("(%1, %2): %3 vs %4")
                    .arg(x)
                    .arg(y)
                    .arg(a.pixel(x, y), 8, 16)
                    .arg(b.pixel(x, y), 8, 16)
                    .toLatin1();
    return {};
}

} // namespace

class TestMapPainter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cachedEqualsDirect_data();
    void cachedEqualsDirect();
    void gridGeometry();
    void cellsBeyondTheTable();
    void edits();
    void areaEqualsWhole();
    void looksKeptBetweenPaints();

private:
    Document m_continents;
    Document m_island;
};

void TestMapPainter::initTestCase()
{
    QVERIFY(loadMapFile(Continents, m_continents).ok());
    QVERIFY(loadMapFile(Island, m_island).ok());
    QCOMPARE(m_continents.columnCount(), 64);
    QCOMPARE(m_continents.rowCount(), 40);
}

void TestMapPainter::cachedEqualsDirect_data()
{
    QTest::addColumn<bool>("island");
    QTest::addColumn<int>("cellSize");
    QTest::addColumn<int>("lineWidth");
    QTest::addColumn<int>("layerSet");
    for (int W : {4, 5, 7, 9, 10, 16, 24, 32, 64})
        for (int g : {0, 1})
            for (int set : {0, 1, 2})
                for (bool island : {false, true})
                    QTest::addRow("%s W%d g%d layers%d", island ? "island" : "continents", W, g, set)
                        << island << W << g << set;
}

// Every pixel of the tiled painting equals painting each cell directly, for
// both fixture maps, every size rule, grid lines on and off, scrolled views
// with partly visible cells, hatch phases off the 8-pixel grid and a
// highlighted cell.
void TestMapPainter::cachedEqualsDirect()
{
    QFETCH(bool, island);
    QFETCH(int, cellSize);
    QFETCH(int, lineWidth);
    QFETCH(int, layerSet);
    const Document &doc = island ? m_island : m_continents;
    GridPaintParams p = paramsFor(doc, cellSize, lineWidth);
    if (layerSet == 1) {
        p.layers.terrain = false;
        p.layers.ice = false;
        p.layers.mountain = false;
    } else if (layerSet == 2) {
        p.layers.feature = false;
        p.layers.team = false;
        p.layers.bonus = false;
    }
    p.leftCol = island ? 0 : 3;
    p.topRow = island ? 0 : 2;
    p.origin = QPoint(-3, -5);
    p.brushOrigin = QPoint(5, 3);
    p.highlight = qRgb(48, 140, 198);
    p.highlightCol = p.leftCol + 1;
    p.highlightRow = p.topRow + 2;

    const QSize size(qMin(900, doc.columnCount() * p.pitch() + 7), qMin(700, doc.rowCount() * p.pitch() + 9));
    QImage direct(size, QImage::Format_RGB32);
    QImage cached(size, QImage::Format_RGB32);
    paintGridDirect(direct, doc.PlotTexts, p);
    MapPainter painter;
    painter.paint(cached, doc.PlotTexts, p);
    QVERIFY2(cached == direct, firstDifference(cached, direct).constData());
    // Second paint from the filled cache.
    painter.paint(cached, doc.PlotTexts, p);
    QVERIFY2(cached == direct, firstDifference(cached, direct).constData());

    // Into a premultiplied target, as a widget's backing store may be.
    QImage premultiplied(size, QImage::Format_ARGB32_Premultiplied);
    painter.paint(premultiplied, doc.PlotTexts, p);
    QVERIFY(premultiplied.convertToFormat(QImage::Format_RGB32) == direct);
}

void TestMapPainter::gridGeometry()
{
    for (int g : {0, 1}) {
        GridPaintParams p = paramsFor(m_island, 16, g);
        const int pitch = 16 + g;
        QImage img(15 * pitch + 10, 15 * pitch + 10, QImage::Format_RGB32);
        MapPainter painter;
        painter.paint(img, m_island.PlotTexts, p);
        // North up: the bottom row is y 0, whose plot x 0 is grass, 16 x 16
        // from the cell's corner, then the line; the top row (y 14) starts
        // with two coast plots and then ocean.
        const int bottom = 14 * pitch;
        QCOMPARE(img.pixel(0, bottom), qRgb(0, 128, 0));
        QCOMPARE(img.pixel(15, bottom + 15), qRgb(0, 128, 0));
        QCOMPARE(img.pixel(0, 0), qRgb(0, 128, 128));
        if (g) {
            QCOMPARE(img.pixel(16, bottom + 5), Silver);
            QCOMPARE(img.pixel(5, bottom + 16), Silver);
            QCOMPARE(img.pixel(2 * pitch - 1, 5), Silver);
            QCOMPARE(img.pixel(15 * pitch - 1, 15 * pitch - 1), Silver); // after the last cell
        } else {
            QCOMPARE(img.pixel(16, bottom + 5), qRgb(0, 128, 128)); // x 1, y 0 is coast
            QCOMPARE(img.pixel(31, 5), qRgb(0, 128, 128));
        }
        QCOMPARE(img.pixel(2 * pitch, 5), qRgb(0, 0, 255)); // x 2, y 14 is ocean
        // Right of the last column and below the last row: background.
        QCOMPARE(img.pixel(15 * pitch + 2, 5), Bg);
        QCOMPARE(img.pixel(5, 15 * pitch + 2), Bg);
    }
    QCOMPARE(gridCellPen(1), QPen(QColor(192, 192, 192), 1));
    QCOMPARE(gridCellPen(0), QPen());
}

void TestMapPainter::cellsBeyondTheTable()
{
    PlotTable table;
    table.resize(2, 1);
    table.setText(0, 0, "TerrainType=TERRAIN_OCEAN");
    table.setText(1, 0, "TerrainType=TERRAIN_OCEAN");
    GridPaintParams p;
    p.cellSize = 8;
    p.colCount = 3; // one column more than the table
    p.rowCount = 2;
    p.cellPen = gridCellPen(1);
    QImage a(40, 30, QImage::Format_RGB32), b(40, 30, QImage::Format_RGB32);
    MapPainter().paint(a, table, p);
    paintGridDirect(b, table, p);
    QVERIFY(a == b);
    QCOMPARE(a.pixel(3, 3), qRgb(0, 0, 255));
    QCOMPARE(a.pixel(21, 3), Bg);  // column 2, beyond the table
    QCOMPARE(a.pixel(3, 12), Bg);  // row 1
    QCOMPARE(a.pixel(26, 3), Silver);
}

void TestMapPainter::edits()
{
    // The cache holds looks, not texts: an edited plot shows at the next paint.
    PlotTable table;
    table.resize(1, 1);
    table.setText(0, 0, "TerrainType=TERRAIN_OCEAN\nBonusType=B");
    GridPaintParams p;
    p.cellSize = 16;
    p.cellPen = gridCellPen(1);
    QImage img(17, 17, QImage::Format_RGB32);
    MapPainter painter;
    painter.paint(img, table, p);
    QCOMPARE(img.pixel(8, 8), qRgb(255, 0, 255));
    table.setText(0, 0, "TerrainType=TERRAIN_GRASS\nBonusType=B");
    painter.paint(img, table, p);
    QCOMPARE(img.pixel(0, 0), qRgb(0, 128, 0));
    p.layers.bonus = false;
    painter.paint(img, table, p);
    QCOMPARE(img.pixel(8, 8), qRgb(0, 128, 0));
    QVERIFY(painter.tileCount() >= 1);
}

// Painting part of the view gives the pixels of a whole paint there and
// leaves the rest alone: the grid repaints only the cells an edit changed.
void TestMapPainter::areaEqualsWhole()
{
    for (int W : {4, 9, 16, 32}) {
        for (int g : {0, 1}) {
            Document doc = m_continents;
            GridPaintParams p = paramsFor(doc, W, g);
            p.leftCol = 2;
            p.topRow = 1;
            p.origin = QPoint(-1, -2);
            p.brushOrigin = QPoint(3, 6);
            const QSize size(600, 400);
            QImage whole(size, QImage::Format_RGB32);
            MapPainter painter;
            painter.paint(whole, doc.PlotTexts, p);
            QImage part = whole.copy();

            doc.PlotTexts.setText(5, 4, "TerrainType=TERRAIN_DESERT\r\nFeatureType=FEATURE_FOREST\r\nPlotType=0");
            doc.PlotTexts.setText(6, 4, "");
            doc.PlotTexts.setText(7, 5, "TerrainType=TERRAIN_SNOW\r\nTeamReveal=12,");
            painter.paint(whole, doc.PlotTexts, p);
            const QRect cells = QRect(p.cellPos(5, 4), p.cellPos(7, 5) + QPoint(W - 1, W - 1));
            painter.paintArea(part, cells, doc.PlotTexts, p);
            QVERIFY2(part == whole, firstDifference(part, whole).constData());

            // Any area, also one that cuts through cells and lines.
            QImage noise(size, QImage::Format_RGB32);
            noise.fill(qRgb(1, 2, 3));
            const QRect area(37, 23, 151, 97);
            painter.paintArea(noise, area, doc.PlotTexts, p);
            for (int y = 0; y < size.height(); y += 3)
                for (int x = 0; x < size.width(); x += 3)
                    QCOMPARE(noise.pixel(x, y), area.contains(x, y) ? whole.pixel(x, y) : qRgb(1, 2, 3));
        }
    }
}

// With the plots' looks kept between paints, and those of edited plots
// forgotten, every paint gives the pixels of painting each cell anew, in
// both styles, team labels written out included; a plot not forgotten keeps
// its look, as the keeper was told nothing.
void TestMapPainter::looksKeptBetweenPaints()
{
    const QByteArray texts[] = {
        "TerrainType=TERRAIN_DESERT\r\nFeatureType=FEATURE_FOREST\r\nPlotType=0",
        "TerrainType=TERRAIN_SNOW\r\nTeamReveal=12,",
        "TerrainType=TERRAIN_SNOW\r\nTeamReveal=7,",
        "BonusType=B\r\nPlotType=1",
        "",
        "TerrainType=TERRAIN_OCEAN\r\nFeatureType=FEATURE_ICE\r\nImprovementType=X",
    };
    for (const MapStyle *style : {&MapStyle::classic(), &MapStyle::terrain()}) {
        for (int W : {4, 32}) {
            Document doc = m_continents;
            GridPaintParams p = paramsFor(doc, W, 1);
            p.style = *style;
            p.leftCol = 1;
            const QSize size(700, 500);
            QImage cached(size, QImage::Format_RGB32), direct(size, QImage::Format_RGB32);
            MapPainter painter;
            PlotLooks looks;
            painter.paint(cached, doc.PlotTexts, p, &looks);
            quint32 seed = 7;
            for (int round = 0; round < 6; ++round) {
                QRegion edited;
                for (int k = 0; k < 20; ++k) {
                    seed = seed * 1103515245u + 12345u;
                    const QPoint cell(int(seed >> 8) % 20 + 1, int(seed >> 20) % 14);
                    doc.PlotTexts.setText(cell.x(), cell.y(), texts[(seed >> 4) % 6]);
                    edited += QRect(cell, QSize(1, 1));
                }
                looks.forget(edited);
                painter.paint(cached, doc.PlotTexts, p, &looks);
                paintGridDirect(direct, doc.PlotTexts, p);
                QVERIFY2(cached == direct, firstDifference(cached, direct).constData());
            }
            // Told nothing, the keeper shows the plot as it last read it.
            const QByteArray before = doc.PlotTexts.text(3, 3);
            doc.PlotTexts.setText(3, 3, "TerrainType=TERRAIN_GRASS");
            painter.paintArea(cached, QRect(p.cellPos(3, 3), QSize(W, W)), doc.PlotTexts, p, &looks);
            doc.PlotTexts.setText(3, 3, before);
            paintGridDirect(direct, doc.PlotTexts, p);
            QCOMPARE(cached, direct);
            // Another table's size starts afresh.
            doc.PlotTexts.resize(30, 20);
            p.colCount = 30;
            p.rowCount = 20;
            painter.paint(cached, doc.PlotTexts, p, &looks);
            paintGridDirect(direct, doc.PlotTexts, p);
            QVERIFY2(cached == direct, firstDifference(cached, direct).constData());
        }
    }
}

QTEST_MAIN(TestMapPainter)
#include "tst_mappainter.moc"
