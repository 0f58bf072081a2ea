#include "Document.h"
#include "GridOverlay.h"
#include "MapGrid.h"
#include "MiniMap.h"
#include "MapReader.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpontaneKeyEvent>
#include <QPainter>
#include <QtTest>

namespace {

// A window with a memo beside the grid, as on the map page.
struct Page : QObject
{
    QWidget window;
    QPlainTextEdit *memo = new QPlainTextEdit;
    MapGrid *grid = new MapGrid;
    vor4::Document doc;
    QStringList log;

    Page(int cols, int rows, QSize gridSize = QSize(300, 200))
    {
        doc.ResetDocument(cols, rows);
        auto *layout = new QHBoxLayout(&window);
        layout->addWidget(memo);
        layout->addWidget(grid);
        grid->setDocument(&doc);
        grid->setFixedSize(gridSize);
        memo->installEventFilter(this);
        connect(grid, &MapGrid::selectCell, this,
                [this](int c, int r) { log << QStringLiteral("select %1,%2").arg(c).arg(r); });
        connect(grid, &MapGrid::wheelUp, this, [this] { log << QStringLiteral("wheelUp"); });
        connect(grid, &MapGrid::wheelDown, this, [this] { log << QStringLiteral("wheelDown"); });
        window.show();
        window.activateWindow();
    }
    // The window goes before the log does: the memo's last focus-out must not reach it.
    ~Page() override { memo->removeEventFilter(this); }
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (o == memo && e->type() == QEvent::FocusOut)
            log << QStringLiteral("memo out");
        return false;
    }
    QPoint centreOf(int col, int row) const { return grid->cellRect(col, row).center(); }
    void click(int col, int row, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mouseClick(grid->viewport(), b, {}, centreOf(col, row));
    }
    void wheel(int delta)
    {
        const QPoint pos = centreOf(grid->leftCol(), grid->topRow());
        QWheelEvent e(pos, grid->viewport()->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        // As from the window system: the application itself may move the focus then.
        QSpontaneKeyEvent::setSpontaneous(&e);
        qApp->notify(grid->viewport(), &e);
    }
    QImage shot() const { return grid->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

} // namespace

class TestMapGrid : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void mouseSelection();
    void clicksOnGridLines();
    void keyboardSelection();
    void focusLeavesMemoFirst();
    void wheelSignalsThenSelection();
    void geometryAndClamping();
    void gridLinesOnScreen();
    void selectedCellLook();
    void scrollBarsOnRelease();
    void paintsInItsStyle();
    void dimensionsFollowTheDocument();
    void partialRepaintsAndOverlays();
};

void TestMapGrid::mouseSelection()
{
    Page page(40, 30);
    QVERIFY(QTest::qWaitForWindowActive(&page.window));
    page.grid->setFocus();
    page.log.clear();
    page.click(3, 2);
    QCOMPARE(page.log, QStringList{"select 3,2"});
    QCOMPARE(page.grid->col(), 3);
    QCOMPARE(page.grid->row(), 2);
    QVERIFY(page.grid->hasFocus());
    // The current cell again: raised again.
    page.click(3, 2);
    QCOMPARE(page.log.size(), 2);
    QCOMPARE(page.log.last(), QStringLiteral("select 3,2"));
    // The right button: no selection.
    page.click(5, 5, Qt::RightButton);
    QCOMPARE(page.log.size(), 2);
    // Dragging with the button down moves the selection along.
    QTest::mousePress(page.grid->viewport(), Qt::LeftButton, {}, page.centreOf(1, 1));
    QMouseEvent move(QEvent::MouseMove, page.centreOf(2, 1), page.grid->viewport()->mapToGlobal(page.centreOf(2, 1)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(page.grid->viewport(), &move);
    QTest::mouseRelease(page.grid->viewport(), Qt::LeftButton, {}, page.centreOf(2, 1));
    QCOMPARE(page.log.mid(2), (QStringList{"select 1,1", "select 2,1"}));
    // Setting the current cell from code raises nothing and is clamped.
    page.grid->setCurrentCell(99, -4);
    QCOMPARE(page.grid->col(), 39);
    QCOMPARE(page.grid->row(), 0);
    QCOMPARE(page.log.size(), 4);

    // Beyond the last column of a small map: no cell, no selection.
    Page small(3, 3);
    QVERIFY(QTest::qWaitForWindowActive(&small.window));
    QTest::mouseClick(small.grid->viewport(), Qt::LeftButton, {}, QPoint(3 * 17 + 20, 5));
    QTest::mouseClick(small.grid->viewport(), Qt::LeftButton, {}, QPoint(5, 3 * 17 + 20));
    QVERIFY(!small.log.join(' ').contains("select"));
}

void TestMapGrid::clicksOnGridLines()
{
    Page page(40, 30);
    QVERIFY(QTest::qWaitForWindowActive(&page.window));
    page.grid->setFocus();
    page.grid->setCellSize(4);
    // The cell a pixel belongs to, walking the cells and the line after each.
    const auto owner = [&page](int px) {
        int cell = 0, end = 0;
        for (;;) {
            end += page.grid->cellSize() + page.grid->gridLineWidth();
            if (px < end)
                return cell;
            ++cell;
        }
    };
    for (int lines : {1, 0}) {
        page.grid->setGridLineWidth(lines);
        const int pitch = 4 + lines;
        // Two cells and their lines each way, off the origin (QTest takes
        // the point (0, 0) for the widget's centre).
        for (int y = pitch; y < 3 * pitch; ++y) {
            for (int x = pitch; x < 3 * pitch; ++x) {
                page.log.clear();
                QTest::mouseClick(page.grid->viewport(), Qt::LeftButton, {}, QPoint(x, y));
                QCOMPARE(page.log, QStringList{QStringLiteral("select %1,%2").arg(owner(x)).arg(owner(y))});
            }
        }
    }
}

void TestMapGrid::keyboardSelection()
{
    Page page(40, 30);
    QVERIFY(QTest::qWaitForWindowActive(&page.window));
    page.grid->setFocus();
    page.log.clear();
    QSignalSpy moved(page.grid, &MapGrid::topLeftChanged);
    QTest::keyClick(page.grid, Qt::Key_Up); // row 0 already: nothing
    QTest::keyClick(page.grid, Qt::Key_Left);
    QVERIFY(page.log.isEmpty());
    QTest::keyClick(page.grid, Qt::Key_Right);
    QTest::keyClick(page.grid, Qt::Key_Down);
    QCOMPARE(page.log, (QStringList{"select 1,0", "select 1,1"}));
    page.log.clear();

    const int rows = page.grid->visibleRowCount();
    QTest::keyClick(page.grid, Qt::Key_PageDown);
    QCOMPARE(page.grid->row(), 1 + rows);
    QCOMPARE(page.grid->topRow(), rows);
    QTest::keyClick(page.grid, Qt::Key_PageUp);
    QCOMPARE(page.grid->row(), 1);
    QCOMPARE(page.grid->topRow(), 0);

    QTest::keyClick(page.grid, Qt::Key_End);
    QCOMPARE(page.grid->col(), 39);
    QCOMPARE(page.grid->row(), 1);
    // The selection is kept in view.
    QCOMPARE(page.grid->leftCol(), page.grid->maxLeftCol());
    QVERIFY(moved.count() > 0);
    QTest::keyClick(page.grid, Qt::Key_Home);
    QCOMPARE(page.grid->col(), 0);
    QCOMPARE(page.grid->leftCol(), 0);
    QTest::keyClick(page.grid, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(QPoint(page.grid->col(), page.grid->row()), QPoint(39, 29));
    QCOMPARE(page.grid->topRow(), page.grid->maxTopRow());
    page.log.clear();
    for (int i = 0; i < 3; ++i) { // clamped at the last row and column
        QTest::keyClick(page.grid, Qt::Key_Down);
        QTest::keyClick(page.grid, Qt::Key_Right);
        QTest::keyClick(page.grid, Qt::Key_PageDown);
    }
    QVERIFY(page.log.isEmpty());
    QTest::keyClick(page.grid, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(QPoint(page.grid->col(), page.grid->row()), QPoint(0, 0));
    QCOMPARE(page.log, QStringList{"select 0,0"});
}

void TestMapGrid::focusLeavesMemoFirst()
{
    Page page(40, 30);
    QVERIFY(QTest::qWaitForWindowActive(&page.window));
    // Mouse click.
    page.memo->setFocus();
    QVERIFY(page.memo->hasFocus());
    page.click(4, 4);
    QCOMPARE(page.log, (QStringList{"memo out", "select 4,4"}));
    QVERIFY(page.grid->hasFocus());

    // The wheel zooms and moves the selection, but leaves the focus alone.
    page.log.clear();
    page.memo->setFocus();
    page.wheel(-120);
    QCOMPARE(page.log, (QStringList{"wheelDown", "select 4,5"}));
    QVERIFY(page.memo->hasFocus());

    // Keyboard: Tab into the grid, then an arrow.
    page.log.clear();
    page.memo->setFocus();
    page.memo->setTabChangesFocus(true);
    QTest::keyClick(page.memo, Qt::Key_Tab);
    QVERIFY(page.grid->hasFocus());
    QTest::keyClick(page.grid, Qt::Key_Right);
    QCOMPARE(page.log, (QStringList{"memo out", "select 5,5"}));
}

void TestMapGrid::wheelSignalsThenSelection()
{
    Page page(10, 8);
    QVERIFY(QTest::qWaitForWindowActive(&page.window));
    page.grid->setFocus();
    page.log.clear();
    // Row 0: the notch is reported, the selection stays.
    page.wheel(120);
    QCOMPARE(page.log, QStringList{"wheelUp"});
    page.log.clear();
    page.wheel(-240);
    QCOMPARE(page.log, (QStringList{"wheelDown", "select 0,1", "wheelDown", "select 0,2"}));
    page.log.clear();
    page.wheel(120);
    QCOMPARE(page.log, (QStringList{"wheelUp", "select 0,1"}));
    // Half notches add up.
    page.log.clear();
    page.wheel(60);
    QVERIFY(page.log.isEmpty());
    page.wheel(60);
    QCOMPARE(page.log, (QStringList{"wheelUp", "select 0,0"}));
    // Last row: reported, no move.
    page.grid->setCurrentCell(3, 7);
    page.log.clear();
    page.wheel(-120);
    QCOMPARE(page.log, QStringList{"wheelDown"});
    QCOMPARE(page.grid->row(), 7);
}

void TestMapGrid::geometryAndClamping()
{
    Page page(100, 80, QSize(300, 200));
    QVERIFY(QTest::qWaitForWindowActive(&page.window));
    MapGrid &g = *page.grid;
    const QSize vp = g.viewport()->size();
    QCOMPARE(g.cellSize(), 16);
    QCOMPARE(g.gridLineWidth(), 1);
    QCOMPARE(g.visibleColCount(), (vp.width() - 16) / 17 + 1);
    QCOMPARE(g.visibleRowCount(), (vp.height() - 16) / 17 + 1);
    QCOMPARE(g.maxLeftCol(), 100 - g.visibleColCount());
    QCOMPARE(g.cellAt(QPoint(0, 0)), QPoint(0, 0));
    QCOMPARE(g.cellAt(QPoint(15, 15)), QPoint(0, 0));
    QCOMPARE(g.cellAt(QPoint(16, 3)), QPoint(0, 0));  // a vertical line: the cell on its left
    QCOMPARE(g.cellAt(QPoint(40, 16)), QPoint(2, 0)); // a horizontal line: the cell above
    QCOMPARE(g.cellAt(QPoint(17, 34)), QPoint(1, 2));
    QCOMPARE(g.cellRect(2, 1), QRect(34, 17, 16, 16));

    QSignalSpy moved(&g, &MapGrid::topLeftChanged);
    g.setTopLeft(-5, -5);
    QCOMPARE(moved.count(), 0);
    g.setTopLeft(1000000, 1000000);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(g.leftCol(), g.maxLeftCol());
    QCOMPARE(g.topRow(), g.maxTopRow());
    QCOMPARE(g.cellAt(QPoint(0, 0)), QPoint(g.maxLeftCol(), g.maxTopRow()));
    QCOMPARE(g.cellRect(g.leftCol(), g.topRow()).topLeft(), QPoint(0, 0));
    g.setTopLeft(2, 3);
    QCOMPARE(moved.count(), 2);
    QCOMPARE(g.horizontalScrollBar()->value(), 2);
    QCOMPARE(g.verticalScrollBar()->value(), 3);
    QCOMPARE(g.horizontalScrollBar()->maximum(), g.maxLeftCol());

    // Without lines the cells adjoin and more of them fit.
    g.setGridLineWidth(0);
    QCOMPARE(g.cellAt(QPoint(16, 3)), QPoint(3, 3));
    QCOMPARE(g.visibleColCount(), (vp.width() - 16) / 16 + 1);
    // Bigger cells: fewer fit, the position is kept when it still fits.
    g.setCellSize(64);
    QCOMPARE(g.visibleColCount(), qMax(1, (vp.width() - 64) / 64 + 1));
    QCOMPARE(g.leftCol(), 2);
    g.setGridLineWidth(1);

    // A map smaller than the view cannot scroll at all.
    Page small(3, 2);
    QCOMPARE(small.grid->maxLeftCol(), 0);
    small.grid->setTopLeft(5, 5);
    QCOMPARE(small.grid->leftCol(), 0);
    QCOMPARE(small.grid->visibleColCount(), 3);
    QCOMPARE(small.grid->visibleRowCount(), 2);
}

void TestMapGrid::gridLinesOnScreen()
{
    Page page(20, 20);
    QVERIFY(QTest::qWaitForWindowActive(&page.window));
    page.doc.PlotTexts.setText(0, 0, "TerrainType=TERRAIN_OCEAN");
    page.doc.PlotTexts.setText(1, 0, "TerrainType=TERRAIN_GRASS");
    page.memo->setFocus(); // no focus rectangle
    page.grid->setCurrentCell(5, 5);
    QImage img = page.shot();
    QCOMPARE(img.pixel(0, 0), qRgb(0, 0, 255));
    QCOMPARE(img.pixel(15, 15), qRgb(0, 0, 255));
    QCOMPARE(img.pixel(16, 4), qRgb(192, 192, 192));
    QCOMPARE(img.pixel(4, 16), qRgb(192, 192, 192));
    QCOMPARE(img.pixel(17, 4), qRgb(0, 128, 0));
    page.grid->setGridLineWidth(0);
    img = page.shot();
    QCOMPARE(img.pixel(15, 4), qRgb(0, 0, 255));
    QCOMPARE(img.pixel(16, 4), qRgb(0, 128, 0));
    QCOMPARE(img.pixel(31, 15), qRgb(0, 128, 0));
    QCOMPARE(img.pixel(32, 4), page.grid->palette().color(QPalette::Base).rgb());
    // Layer switches repaint with the new setting.
    page.grid->setLayer(0, false);
    img = page.shot();
    QCOMPARE(img.pixel(4, 4), page.grid->palette().color(QPalette::Base).rgb());
}

// The selected cell is ringed white, then black, outside the cell: one of
// the two shows on any terrain. Inside, the cell is drawn as any other (on
// the highlight colour while the grid is not the active control).
void TestMapGrid::selectedCellLook()
{
    Page page(20, 20);
    QVERIFY(QTest::qWaitForWindowActive(&page.window));
    const QRgb base = page.grid->palette().color(QPalette::Base).rgb();
    const QRgb highlight = page.grid->palette().color(QPalette::Highlight).rgb();
    const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0);
    QVERIFY(base != highlight);
    page.grid->setCurrentCell(2, 1);
    for (const int size : {16, 32}) {
        page.grid->setCellSize(size);
        const int t = size >= 24 ? 2 : 1;
        const QRect r = page.grid->cellRect(2, 1);
        for (const bool gridFocused : {false, true}) {
            if (gridFocused)
                page.grid->setFocus();
            else
                page.memo->setFocus();
            const QImage img = page.shot();
            const QRgb inside = gridFocused ? base : highlight;
            QCOMPARE(img.pixel(r.center()), inside);
            QCOMPARE(img.pixel(r.topLeft()), inside);
            QCOMPARE(img.pixel(r.bottomRight()), inside);
            for (int d = 1; d <= 2 * t; ++d) {
                const QRgb ring = d <= t ? white : black;
                QCOMPARE(img.pixel(r.topLeft() - QPoint(d, d)), ring);
                QCOMPARE(img.pixel(r.bottomRight() + QPoint(d, d)), ring);
                QCOMPARE(img.pixel(r.center().x(), r.top() - d), ring);
                QCOMPARE(img.pixel(r.right() + d, r.center().y()), ring);
            }
            QCOMPARE(img.pixel(r.topLeft() - QPoint(2 * t + 1, 2 * t + 1)), base);
            QCOMPARE(img.pixel(page.grid->cellRect(4, 1).center()), base);
        }
    }
    // Moving the selection takes the ring along and leaves nothing behind.
    page.grid->setCellSize(16);
    page.grid->setCurrentCell(6, 6);
    QCoreApplication::processEvents();
    const QImage moved = page.shot();
    page.grid->repaintMap();
    QVERIFY(moved == page.shot());
    QCOMPARE(moved.pixel(page.grid->cellRect(2, 1).topLeft() - QPoint(2, 2)), base);
}

void TestMapGrid::scrollBarsOnRelease()
{
    Page page(100, 100);
    QVERIFY(QTest::qWaitForWindowActive(&page.window));
    QScrollBar *h = page.grid->horizontalScrollBar();
    QVERIFY(!h->hasTracking());
    QVERIFY(!page.grid->verticalScrollBar()->hasTracking());
    QSignalSpy moved(page.grid, &MapGrid::topLeftChanged);
    h->setSliderDown(true);
    h->setSliderPosition(7);
    QCOMPARE(page.grid->leftCol(), 0);
    QCOMPARE(moved.count(), 0);
    h->setSliderDown(false);
    QCOMPARE(page.grid->leftCol(), 7);
    QCOMPARE(moved.count(), 1);
    page.grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(page.grid->topRow(), page.grid->visibleRowCount());
    QCOMPARE(moved.count(), 2);
}

// The grid paints its cells in its style, and a change of style repaints
// them all; it keeps no picture of the map but its own view.
void TestMapGrid::paintsInItsStyle()
{
    Page page(60, 60);
    QVERIFY(QTest::qWaitForWindowActive(&page.window));
    for (int c = 0; c < 60; ++c)
        for (int r = 0; r < 60; ++r)
            page.doc.PlotTexts.setText(c, r, "TerrainType=TERRAIN_DESERT\r\nTerrainType=TERRAIN_OCEAN");
    page.grid->setTopLeft(10, 10);
    page.grid->repaintMap();
    const QPoint inside = page.centreOf(12, 12);
    QCOMPARE(page.shot().pixel(inside), qRgb(0, 0, 255));
    page.grid->setStyle(vor4::MapStyle::terrain());
    QCOMPARE(page.shot().pixel(inside), vor4::MapStyle::terrain().fill[vor4::TerrainOcean]);
    QCOMPARE(page.grid->paintParams().style, vor4::MapStyle::terrain());
    QCOMPARE(page.shot().pixel(page.grid->cellRect(12, 12).bottomRight() + QPoint(1, 1)),
             vor4::MapStyle::terrain().gridLine);
}

void TestMapGrid::dimensionsFollowTheDocument()
{
    Page page(40, 30);
    page.grid->setCurrentCell(30, 20);
    page.grid->setTopLeft(20, 15);
    page.doc.ResetDocument(3, 0);
    page.grid->updateDimensions();
    QCOMPARE(page.grid->colCount(), 3);
    QCOMPARE(page.grid->rowCount(), 1);
    QCOMPARE(QPoint(page.grid->col(), page.grid->row()), QPoint(2, 0));
    QCOMPARE(QPoint(page.grid->leftCol(), page.grid->topRow()), QPoint(0, 0));
    QVERIFY(loadMapFile(QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave"), page.doc).ok());
    page.grid->updateDimensions();
    QCOMPARE(page.grid->colCount(), 64);
    QCOMPARE(page.grid->rowCount(), 40);
    // A grid without a document paints its background and has one cell.
    MapGrid lone;
    lone.resize(100, 100);
    QCOMPARE(lone.colCount(), 1);
    const QImage img = lone.viewport()->grab().toImage();
    QCOMPARE(img.pixel(5, 5), lone.palette().color(QPalette::Base).rgb());
}

namespace {
struct RedCell : GridOverlay
{
    MapGrid *grid;
    QRect cell;
    void paintOverlay(QPainter &p, const QRect &) override { p.fillRect(grid->cellRect(cell.x(), cell.y()), Qt::red); }
};
} // namespace

// Edits and selection moves repaint only their cells, and the view ends as
// a whole repaint draws it; overlays are drawn over the cells and survive
// repaints of other cells.
void TestMapGrid::partialRepaintsAndOverlays()
{
    Page page(30, 20);
    QVERIFY(QTest::qWaitForWindowActive(&page.window));
    page.grid->setFocus();
    const char *texts[] = {"TerrainType=TERRAIN_DESERT\r\nFeatureType=FEATURE_FOREST", "TerrainType=TERRAIN_OCEAN",
                           "TerrainType=TERRAIN_SNOW\r\nPlotType=0", ""};
    for (int i = 0; i < 12; ++i) {
        page.doc.PlotTexts.setText(i, i % 7, texts[i % 4]);
        page.grid->repaintCells(QRect(i, i % 7, 1, 1));
        page.grid->setCurrentCell(i % 5, i % 3);
        if (i == 6)
            page.memo->setFocus(); // the selection shows as a highlight now
        QCoreApplication::processEvents();
    }
    const QImage partial = page.shot();
    page.grid->repaintMap();
    QVERIFY(partial == page.shot());

    RedCell overlay;
    overlay.grid = page.grid;
    overlay.cell = QRect(4, 4, 1, 1);
    page.grid->addOverlay(&overlay);
    QCoreApplication::processEvents();
    const QPoint inside = page.grid->cellRect(4, 4).center();
    QCOMPARE(page.shot().pixel(inside), qRgb(255, 0, 0));
    page.doc.PlotTexts.setText(5, 4, "TerrainType=TERRAIN_GRASS");
    page.grid->repaintCells(QRect(5, 4, 1, 1));
    QCOMPARE(page.shot().pixel(inside), qRgb(255, 0, 0));
    QCOMPARE(page.shot().pixel(page.grid->cellRect(5, 4).center()), qRgb(0, 128, 0));
    page.grid->removeOverlay(&overlay);
    QCoreApplication::processEvents();
    QVERIFY(page.shot().pixel(inside) != qRgb(255, 0, 0));
}

QTEST_MAIN(TestMapGrid)
#include "tst_mapgrid.moc"
