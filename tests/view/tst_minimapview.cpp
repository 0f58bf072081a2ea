#include "MapPainter.h"
#include "MapReader.h"
#include "MiniMap.h"
#include "MiniMapImage.h"
#include "MapDocument.h"
#include "SetPlotTexts.h"
#include "PlotClass.h"
#include "TextUtil.h"

#include <QtTest>

using namespace vor4;

namespace {

const QRgb WhitePx = qRgb(255, 255, 255);

QImage whiteImage(QSize size)
{
    QImage m(size, QImage::Format_RGB32);
    m.fill(WhitePx);
    return m;
}

} // namespace

class TestMiniMapView : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fullRender();
    void changedCellsRenderedAgain();
    void eitherStorageOrder();
    void imageFollowsEdits_data();
    void imageFollowsEdits();
    void frame();
    void dragAgainstEdges();
    void clickCentring();
    void tinyAndEmptyImages();
    void frameDrawing();
};

void TestMiniMapView::fullRender()
{
    Document doc;
    QVERIFY(loadMapFile(QStringLiteral(VOR4_FIXTURES_DIR "/island-15x15.Vor4WorldBuilderSave"), doc).ok());
    doc.PlotTexts.setText(14, 0, "PlotType=2");                    // no terrain: stays white
    doc.PlotTexts.setText(13, 0, "TerrainType=TERRAIN_MARSH");     // unrecognised: black
    doc.PlotTexts.setText(12, 0, "terraintype=terrain_desert\nTerrainType=TERRAIN_GRASS");
    QImage mini = whiteImage(vor4::miniMapSize(doc));
    QCOMPARE(mini.size(), QSize(45, 45));
    renderMiniMap(doc.PlotTexts, mini);
    // North up: the bottom row (y 0) starts with grass and coast, the top
    // row with coast and ocean after it; whole 3 x 3 blocks.
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            QCOMPARE(mini.pixel(x, 42 + y), qRgb(0, 128, 0));
            QCOMPARE(mini.pixel(3 + x, 42 + y), qRgb(0, 128, 128));
            QCOMPARE(mini.pixel(3 + x, y), qRgb(0, 128, 128));
            QCOMPARE(mini.pixel(6 + x, y), qRgb(0, 0, 255));
            QCOMPARE(mini.pixel(42 + x, y), WhitePx);
            QCOMPARE(mini.pixel(39 + x, y), qRgb(0, 0, 0));
            QCOMPARE(mini.pixel(36 + x, y), qRgb(0, 128, 0)); // the last terrain line, as the grid's
        }

    // A plot without terrain keeps what its block had.
    QImage red(45, 45, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    renderMiniMap(doc.PlotTexts, red);
    QCOMPARE(red.pixel(43, 1), qRgb(255, 0, 0));

    // A smaller image than the map is filled where it reaches, nothing more.
    QImage small = whiteImage(QSize(7, 2));
    renderMiniMap(doc.PlotTexts, small);
    QCOMPARE(small.pixel(0, 0), qRgb(0, 128, 128));
    QCOMPARE(small.pixel(6, 1), qRgb(0, 0, 255));
    QImage none;
    renderMiniMap(doc.PlotTexts, none);
    QVERIFY(none.isNull());
}

// After edits, rendering the changed area again gives the image a full
// render of the edited map gives, also where a terrain line went away.
void TestMiniMapView::changedCellsRenderedAgain()
{
    Document doc;
    QVERIFY(loadMapFile(QStringLiteral(VOR4_FIXTURES_DIR "/island-15x15.Vor4WorldBuilderSave"), doc).ok());
    QImage image(vor4::miniMapSize(doc), QImage::Format_RGB32);
    image.fill(Qt::white);
    renderMiniMap(doc.PlotTexts, image);
    doc.PlotTexts.setText(2, 3, "PlotType=1");
    doc.PlotTexts.setText(4, 4, "TerrainType=TERRAIN_SNOW\r\nTerrainType=TERRAIN_OCEAN");
    doc.PlotTexts.setText(14, 14, "TerrainType=TERRAIN_NONSENSE");
    renderMiniMapCells(doc.PlotTexts, image, QRect(QPoint(2, 3), QPoint(14, 14)));
    QImage fresh(vor4::miniMapSize(doc), QImage::Format_RGB32);
    fresh.fill(Qt::white);
    renderMiniMap(doc.PlotTexts, fresh);
    QVERIFY(image == fresh);
    QCOMPARE(image.pixel(7, 10), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(12, 12), qRgb(0, 0, 255)); // the last terrain line
    // Cells beyond the map are skipped.
    renderMiniMapCells(doc.PlotTexts, image, QRect(10, 10, 100, 100));
    QVERIFY(image == fresh);
}

// Whatever order the texts lie in memory (column by column as a file lists
// them, or row by row), and in any image format: the picture of a plain
// pixel-by-pixel reference.
void TestMiniMapView::eitherStorageOrder()
{
    const char *const lines[] = {"TerrainType=TERRAIN_GRASS", "PlotType=3\r\nTerrainType=TERRAIN_OCEAN",
                                 "PlotType=1", "", "terraintype=TERRAIN_SNOW", "TerrainType=TERRAIN_DESERT"};
    const int cols = 37, rows = 23;
    const auto textOf = [&](int c, int r) { return QByteArrayView(lines[(c * 7 + r * 3 + c * r) % 6]); };
    PlotTable byColumn, byRow;
    byColumn.resize(cols, rows);
    byRow.resize(cols, rows);
    for (int c = 0; c < cols; ++c)
        for (int r = rows - 1; r >= 0; --r)
            byColumn.setText(c, r, textOf(c, r));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            byRow.setText(c, r, textOf(c, r));
    QVERIFY(byColumn.storedByColumn(QRect(0, 0, cols, rows)));
    QVERIFY(!byRow.storedByColumn(QRect(0, 0, cols, rows)));
    QVERIFY(byColumn.storedByColumn(QRect(0, 0, 1, rows)));

    const auto reference = [&](QImage image, const QRect &cells, bool paintNone) {
        for (int r = cells.top(); r <= cells.bottom(); ++r)
            for (int c = cells.left(); c <= cells.right(); ++c) {
                int t = -1; // the last terrain line's
                forEachLine(textOf(c, r), [&t](QByteArrayView line) {
                    if (containsCi(line, "TerrainType="))
                        t = terrainIndex(valueOf(line));
                });
                if (t < 0 && !paintNone)
                    continue;
                for (int y = 3 * r; y < 3 * r + 3; ++y)
                    for (int x = 3 * c; x < 3 * c + 3; ++x)
                        if (x < image.width() && y < image.height())
                            image.setPixel(x, y, t < 0 ? WhitePx : terrainFill(t));
            }
        return image;
    };
    for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_RGB888}) {
        for (const PlotTable *table : {&byColumn, &byRow}) {
            QImage base(3 * cols - 2, 3 * rows, format);
            base.fill(qRgb(200, 0, 0));
            QImage full = base;
            renderMiniMap(*table, full);
            QCOMPARE(full, reference(base, QRect(0, 0, cols, rows), false));
            const QRect part(5, 2, 30, 40);
            QImage cells = base;
            renderMiniMapCells(*table, cells, part);
            QCOMPARE(cells, reference(base, part & QRect(0, 0, cols, rows), true));
        }
    }
}

void TestMiniMapView::imageFollowsEdits_data()
{
    QTest::addColumn<QList<QPoint>>("cells");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("undos"); // 2: undone and redone
    const QList<QPoint> scattered{{0, 0}, {14, 14}, {8, 2}, {7, 2}, {3, 9}};
    QList<QPoint> area;
    for (int c = 4; c < 9; ++c)
        for (int r = 5; r < 9; ++r)
            area << QPoint(c, r);
    QTest::newRow("one plot") << QList<QPoint>{{2, 3}} << QByteArray("TerrainType=TERRAIN_SNOW") << 0;
    QTest::newRow("terrain gone") << scattered << QByteArray("PlotType=1") << 0;
    QTest::newRow("area") << area << QByteArray("TerrainType=TERRAIN_DESERT") << 0;
    QTest::newRow("undone") << scattered << QByteArray("TerrainType=TERRAIN_SNOW") << 1;
    QTest::newRow("redone") << area << QByteArray("PlotType=1") << 2;
}

// The document's picture after edits, undos and redos is its full render;
// the blocks of one step are drawn once, after the step.
void TestMiniMapView::imageFollowsEdits()
{
    QFETCH(QList<QPoint>, cells);
    QFETCH(QByteArray, text);
    QFETCH(int, undos);
    MapDocument md;
    QVERIFY(md.load(QStringLiteral(VOR4_FIXTURES_DIR "/island-15x15.Vor4WorldBuilderSave")).ok());
    MiniMapImage mini(&md.document());
    connect(&md, &MapDocument::plotsChanged, &mini, &MiniMapImage::plotsChanged);
    mini.reset();
    mini.render();
    const QImage before = mini.image();
    QSignalSpy changed(&mini, &MiniMapImage::changed);
    auto *step = new SetPlotTexts(&md, QStringLiteral("x"));
    for (const QPoint &c : cells)
        step->add(c.x(), c.y(), text);
    QVERIFY(md.push(step));
    if (undos > 0)
        md.undoStack()->undo();
    if (undos > 1)
        md.undoStack()->redo();
    QCOMPARE(mini.image(), before);
    QTRY_COMPARE(changed.count(), 1);
    QImage full = whiteImage(vor4::miniMapSize(md.document()));
    renderMiniMap(md.document().PlotTexts, full);
    QCOMPARE(mini.image(), full);
    QCOMPARE(mini.image() == before, undos == 1);
}

void TestMiniMapView::frame()
{
    const QSize image(192, 120); // 64 x 40 map
    // Frame with one extra plot right and below.
    QCOMPARE(viewFrame(0, 0, 10, 6, image), (FrameRect{0, 0, 33, 21}));
    QCOMPARE(viewFrame(5, 7, 10, 6, image), (FrameRect{15, 21, 48, 42}));
    // Kept on the image at the far edges.
    QCOMPARE(viewFrame(60, 38, 10, 6, image), (FrameRect{180, 114, 192, 120}));
    QCOMPARE(viewFrame(-4, -1, 10, 6, image), (FrameRect{0, 0, 21, 18}));
    // Far out of range: no overflow.
    const FrameRect far = viewFrame(2000000000, 2000000000, 2000000000, 5, image);
    QVERIFY(far.right <= 192 && far.bottom <= 120);
    QCOMPARE(far.left, 2147483647);

    QCOMPARE((FrameRect{0, 0, 33, 21}).centre(), QPoint(17, 11));
    QCOMPARE((FrameRect{10, 4, 14, 8}).centre(), QPoint(12, 6));
    QVERIFY((FrameRect{10, 4, 14, 8}).contains({10, 4}));
    QVERIFY(!(FrameRect{10, 4, 14, 8}).contains({14, 4}));
    QVERIFY(!(FrameRect{10, 4, 14, 8}).contains({10, 8}));
}

void TestMiniMapView::dragAgainstEdges()
{
    const QSize image(192, 120);
    const FrameRect start{30, 30, 63, 51}; // 33 x 21
    // A plain move: the frame follows and asks for the matching cell.
    DragStep s = dragStep(start, {40, 40}, {50, 45}, image, 64, 40);
    QCOMPARE(s.frame, (FrameRect{40, 35, 73, 56}));
    QCOMPARE(s.col, 64 * 41 / 191);
    QCOMPARE(s.row, 40 * 36 / 119);

    // Left and top edges: starts at pixel 0, size kept.
    s = dragStep(start, {40, 40}, {0, 0}, image, 64, 40);
    QCOMPARE(s.frame, (FrameRect{0, 0, 33, 21}));
    QCOMPARE(s.col, 0);
    QCOMPARE(s.row, 0);

    // Right and bottom edges: right side stops at width - 1, bottom at height - 1.
    s = dragStep(start, {40, 40}, {400, 400}, image, 64, 40);
    QCOMPARE(s.frame, (FrameRect{191 - 33, 119 - 21, 191, 119}));
    QCOMPARE(s.col, 64 * (191 - 33 + 1) / 191);
    QCOMPARE(s.row, 40 * (119 - 21 + 1) / 119);

    // A frame as wide as the image cannot be kept on it: left ends at -1 and
    // the cell asked for is 0, not a negative division result.
    s = dragStep({0, 0, 192, 120}, {5, 5}, {9, 9}, image, 64, 40);
    QCOMPARE(s.frame.left, -1);
    QCOMPARE(s.col, 0);
    QCOMPARE(s.row, 0);
    s = dragStep({0, 0, 192, 120}, {5, 5}, {0, 0}, QSize(192, 120), 64, 40);
    QVERIFY(s.col >= -1 && s.col <= 0);
}

void TestMiniMapView::clickCentring()
{
    // Release after a click: the anchor is the frame's centre and the move
    // step runs at the release point, so the centre lands there.
    const QSize image(192, 120);
    const FrameRect frame{0, 0, 33, 21};
    DragStep s = dragStep(frame, frame.centre(), {100, 60}, image, 64, 40);
    QCOMPARE(s.frame.centre(), QPoint(100, 60));
    QCOMPARE(s.frame.width(), 33);
    // Near a corner the frame is clamped to the image.
    s = dragStep(frame, frame.centre(), {190, 2}, image, 64, 40);
    QCOMPARE(s.frame, (FrameRect{191 - 33, 0, 191, 21}));
}

void TestMiniMapView::tinyAndEmptyImages()
{
    // One column: image 3 wide, maxX 2. One row likewise.
    DragStep s = dragStep(viewFrame(0, 0, 1, 5, QSize(3, 300)), {1, 1}, {1, 200}, QSize(3, 300), 1, 100);
    QCOMPARE(s.col, 0);
    QVERIFY(s.row >= 0 && s.row < 100);
    s = dragStep(viewFrame(0, 0, 5, 1, QSize(300, 3)), {1, 1}, {200, 1}, QSize(300, 3), 100, 1);
    QCOMPARE(s.row, 0);
    // Images one pixel wide or high, or empty: nothing to divide by.
    s = dragStep({0, 0, 1, 1}, {0, 0}, {3, 3}, QSize(1, 1), 1, 1);
    QCOMPARE(s.col, 0);
    QCOMPARE(s.row, 0);
    s = dragStep({0, 0, 0, 0}, {0, 0}, {3, 3}, QSize(0, 0), 1, 1);
    QCOMPARE(s.col, 0);
    QCOMPARE(s.row, 0);
    QCOMPARE(viewFrame(0, 0, 1, 1, QSize(0, 0)), (FrameRect{0, 0, 0, 0}));
    QImage empty;
    drawFrame(empty, {0, 0, 5, 5});
    QVERIFY(empty.isNull());
}

void TestMiniMapView::frameDrawing()
{
    QImage img(20, 10, QImage::Format_RGB32);
    img.fill(qRgb(0, 0, 255));
    drawFrame(img, {2, 1, 8, 6});
    // Outline from (2, 1) to (7, 5), unfilled.
    QCOMPARE(img.pixel(2, 1), WhitePx);
    QCOMPARE(img.pixel(7, 1), WhitePx);
    QCOMPARE(img.pixel(2, 5), WhitePx);
    QCOMPARE(img.pixel(7, 5), WhitePx);
    QCOMPARE(img.pixel(8, 1), qRgb(0, 0, 255));
    QCOMPARE(img.pixel(2, 6), qRgb(0, 0, 255));
    QCOMPARE(img.pixel(4, 3), qRgb(0, 0, 255));
    int white = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            white += img.pixel(x, y) == WhitePx;
    QCOMPARE(white, 2 * 6 + 2 * 3);
    // Partly off the image: only the pixels on it.
    drawFrame(img, {-3, -3, 25, 4});
    QCOMPARE(img.pixel(0, 3), WhitePx);
    QCOMPARE(img.pixel(19, 3), WhitePx);
    QCOMPARE(img.pixel(10, 2), qRgb(0, 0, 255));
}

QTEST_MAIN(TestMiniMapView)
#include "tst_minimapview.moc"
