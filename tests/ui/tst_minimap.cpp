#include "Document.h"
#include "MapGrid.h"
#include "MapReader.h"
#include "MiniMap.h"
#include "MiniMapHost.h"
#include "ScrollMapTo.h"
#include "MiniMapWindow.h"

#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QtTest>

using vor4::FrameRect;

namespace {

// A main window in small: a real grid, the bitmap, the minimap step on
// every change of the grid's position, and the minimap button's state.
class FakeHost : public QWidget, public MiniMapHost
{
public:
    vor4::Document doc;
    QImage bitmap;
    MapGrid *grid = new MapGrid;
    MiniMapWindow form{this};
    bool miniMapBtnDown = true;
    int scrollCalls = 0;
    int depth = 0;
    int maxDepth = 0;

    explicit FakeHost(const QString &file = {}, QSize gridSize = QSize(300, 200))
    {
        if (!file.isEmpty())
            QVERIFY(vor4::loadMapFile(file, doc).ok());
        bitmap = QImage(vor4::miniMapSize(doc), QImage::Format_RGB32);
        bitmap.fill(Qt::white);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(grid);
        grid->setFixedSize(gridSize);
        grid->setDocument(&doc);
        // The grid moved: the minimap step.
        QObject::connect(grid, &MapGrid::topLeftChanged, this, [this] {
            if (form.isVisible())
                scrollGridTo(grid->leftCol(), grid->topRow(), true);
        });
        show();
    }
    // The state after a file is loaded and the minimap button pressed.
    bool showMiniMap()
    {
        renderMiniMap();
        form.show();
        return QTest::qWaitForWindowExposed(&form);
    }
    void renderMiniMap()
    {
        renderMiniMapAndShow(doc.PlotTexts, bitmap, &form);
        scrollGridTo(0, 0, true);
    }
    bool scrollGridTo(int col, int row, bool forced) override
    {
        ++scrollCalls;
        maxDepth = qMax(maxDepth, ++depth);
        const bool moved = scrollMapTo(*grid, &form, bitmap, col, row, forced);
        --depth;
        return moved;
    }
    int gridColCount() const override { return grid->colCount(); }
    int gridRowCount() const override { return grid->rowCount(); }
    int gridLeftCol() const override { return grid->leftCol(); }
    int gridTopRow() const override { return grid->topRow(); }
    const QImage &miniMapBitmap() const override { return bitmap; }
    void setMiniMapButtonDown(bool down) override { miniMapBtnDown = down; }

    FrameRect frameAtGrid() const
    {
        return vor4::viewFrame(grid->leftCol(), grid->topRow(), grid->visibleColCount(), grid->visibleRowCount(),
                               bitmap.size());
    }
    // The frame's outline is on the picture and nowhere else differs from the bitmap.
    bool pictureShows(const FrameRect &f) const
    {
        QImage expected = bitmap;
        vor4::drawFrame(expected, f);
        return form.picture() == expected;
    }
};

const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");

} // namespace

class TestMiniMap : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void windowAndShow();
    void frameFollowsGrid();
    void scrollMapToClampsAndEndsAtGrid();
    void dragFrame();
    void dragAgainstEdges();
    void clicksCentre();
    void closeReleasesButton();
    void emptyMap();
    void bigMapStaysOnScreen();
};

void TestMiniMap::windowAndShow()
{
    FakeHost host(Continents);
    MiniMapWindow &f = host.form;
    QCOMPARE(f.windowTitle(), QStringLiteral("MiniMap"));
    QVERIFY(f.windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(f.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    QVERIFY(!f.isDraggingFrame() && !f.dragHasScrolled() && !f.isScrolling());
    QCOMPARE(f.dragAnchor(), QPoint(0, 0));

    host.renderMiniMap();
    // The full render with the frame at the grid's top-left corner.
    QCOMPARE(host.grid->leftCol(), 0);
    QCOMPARE(f.viewFrame(), host.frameAtGrid());
    QVERIFY(host.pictureShows(f.viewFrame()));
    QCOMPARE(f.pictureLabel()->size(), QSize(192, 120));

    host.grid->setTopLeft(5, 5);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    // Shown: the frame at the grid's position; the window fits the image.
    QCOMPARE(f.viewFrame(), host.frameAtGrid());
    QCOMPARE(f.viewFrame().left, 15);
    QCOMPARE(f.size(), QSize(192, 120));
    QCOMPARE(f.pictureLabel()->pos(), QPoint(0, 0));
    QCOMPARE(f.minimumSize(), f.maximumSize()); // not resizable
}

void TestMiniMap::frameFollowsGrid()
{
    FakeHost host(Continents);
    QVERIFY(host.showMiniMap());
    // Scrolling the grid (here with its scroll bar) moves the frame.
    host.grid->horizontalScrollBar()->setValue(12);
    QCOMPARE(host.form.viewFrame(), host.frameAtGrid());
    QCOMPARE(host.form.viewFrame().left, 36);
    QVERIFY(host.pictureShows(host.form.viewFrame()));
    // Zooming changes the frame's size through the minimap step.
    const int before = host.form.viewFrame().width();
    host.grid->setCellSize(32);
    host.scrollGridTo(host.grid->leftCol(), host.grid->topRow(), true);
    QVERIFY(host.form.viewFrame().width() < before);
    QCOMPARE(host.form.viewFrame(), host.frameAtGrid());
    // Painted cells reach the picture with the next frame.
    host.bitmap.setPixel(0, 119, qRgb(1, 2, 3));
    host.grid->setTopLeft(0, 0);
    QCOMPARE(host.form.picture().pixel(0, 119), qRgb(1, 2, 3));
    // Hidden: the grid still scrolls, the frame waits.
    host.form.hide();
    const FrameRect kept = host.form.viewFrame();
    host.grid->setTopLeft(3, 3);
    QCOMPARE(host.form.viewFrame(), kept);
}

void TestMiniMap::scrollMapToClampsAndEndsAtGrid()
{
    FakeHost host(Continents);
    QVERIFY(host.showMiniMap());
    host.scrollCalls = 0;
    // Far beyond the map: the grid clamps, the nested minimap steps end,
    // and the frame is the one at the grid's final position.
    QVERIFY(host.scrollGridTo(1000, 1000, false));
    QCOMPARE(host.grid->leftCol(), host.grid->maxLeftCol());
    QCOMPARE(host.grid->topRow(), host.grid->maxTopRow());
    QCOMPARE(host.form.viewFrame(), host.frameAtGrid());
    QVERIFY(host.pictureShows(host.form.viewFrame()));
    QVERIFY(host.form.viewFrame().right <= 192 && host.form.viewFrame().bottom <= 120);
    QVERIFY(host.maxDepth <= 2);
    QVERIFY(host.scrollCalls <= 3);
    // Negative values: clamped to 0.
    QVERIFY(host.scrollGridTo(-7, -3, false));
    QCOMPARE(host.grid->leftCol(), 0);
    QCOMPARE(host.form.viewFrame(), host.frameAtGrid());
    // Where the grid already is, not forced: nothing moves, false.
    host.form.setViewFrame(FrameRect{1, 1, 2, 2});
    QVERIFY(!host.scrollGridTo(0, 0, false));
    QCOMPARE(host.form.viewFrame(), (FrameRect{1, 1, 2, 2}));
    QVERIFY(host.scrollGridTo(0, 0, true));
    QCOMPARE(host.form.viewFrame(), host.frameAtGrid());
}

void TestMiniMap::dragFrame()
{
    FakeHost host(Continents);
    QVERIFY(host.showMiniMap());
    MiniMapWindow &f = host.form;
    QLabel *img = f.pictureLabel();
    const FrameRect start = f.viewFrame();
    const QPoint grip = start.centre();
    QTest::mousePress(img, Qt::LeftButton, {}, grip);
    QVERIFY(f.isDraggingFrame());
    QVERIFY(!f.dragHasScrolled());
    QCOMPARE(f.dragAnchor(), grip);

    const QPoint to = grip + QPoint(30, 15);
    QTest::mouseMove(img, to);
    const vor4::DragStep step = vor4::dragStep(start, grip, to, QSize(192, 120), 64, 40);
    QCOMPARE(host.grid->leftCol(), step.col);
    QCOMPARE(host.grid->topRow(), step.row);
    QVERIFY(f.dragHasScrolled());
    QCOMPARE(f.viewFrame(), step.frame); // the dragged frame is the base of the next move
    QCOMPARE(f.dragAnchor(), to);
    // On screen the frame snapped to the grid's new position.
    QVERIFY(host.pictureShows(host.frameAtGrid()));
    QVERIFY(!f.isScrolling());

    QTest::mouseRelease(img, Qt::LeftButton, {}, to);
    QVERIFY(!f.isDraggingFrame() && !f.dragHasScrolled());
    QCOMPARE(f.dragAnchor(), QPoint(0, 0));
    QCOMPARE(host.grid->leftCol(), step.col); // a release after a drag does not centre
}

void TestMiniMap::dragAgainstEdges()
{
    FakeHost host(Continents);
    QVERIFY(host.showMiniMap());
    MiniMapWindow &f = host.form;
    host.scrollGridTo(20, 10, true);
    const FrameRect start = f.viewFrame();
    const int w = start.width(), h = start.height();
    QTest::mousePress(f.pictureLabel(), Qt::LeftButton, {}, start.centre());
    QTest::mouseMove(f.pictureLabel(), start.centre() - QPoint(150, 150));
    QCOMPARE(f.viewFrame(), (FrameRect{0, 0, w, h}));
    QCOMPARE(host.grid->leftCol(), 0);
    QCOMPARE(host.grid->topRow(), 0);
    QTest::mouseMove(f.pictureLabel(), start.centre() + QPoint(190, 110));
    QCOMPARE(f.viewFrame(), (FrameRect{191 - w, 119 - h, 191, 119}));
    QCOMPARE(host.grid->leftCol(), qMin(host.grid->maxLeftCol(), 64 * (191 - w + 1) / 191));
    QTest::mouseRelease(f.pictureLabel(), Qt::LeftButton, {}, start.centre() + QPoint(190, 110));
    // The release after a drag keeps the dragged frame as the base.
    QCOMPARE(f.viewFrame(), (FrameRect{191 - w, 119 - h, 191, 119}));
}

void TestMiniMap::clicksCentre()
{
    FakeHost host(Continents);
    QVERIFY(host.showMiniMap());
    MiniMapWindow &f = host.form;
    const FrameRect start = f.viewFrame();
    // Outside the frame: the centre jumps to the click.
    QTest::mouseClick(f.pictureLabel(), Qt::LeftButton, {}, QPoint(120, 70));
    const vor4::DragStep step = vor4::dragStep(start, start.centre(), QPoint(120, 70), QSize(192, 120), 64, 40);
    QCOMPARE(step.frame.centre(), QPoint(120, 70));
    QCOMPARE(host.grid->leftCol(), step.col);
    QCOMPARE(host.grid->topRow(), step.row);
    QVERIFY(!f.isDraggingFrame() && !f.dragHasScrolled());
    // Inside the frame without dragging: same.
    const FrameRect now = f.viewFrame();
    const QPoint inside(now.left + 2, now.top + 2);
    QTest::mouseClick(f.pictureLabel(), Qt::LeftButton, {}, inside);
    const vor4::DragStep again = vor4::dragStep(now, now.centre(), inside, QSize(192, 120), 64, 40);
    QCOMPARE(host.grid->leftCol(), again.col);
    QCOMPARE(host.grid->topRow(), again.row);

    // A drag that starts outside the frame moves nothing until the release.
    host.scrollGridTo(0, 0, true);
    const FrameRect home = f.viewFrame();
    QTest::mousePress(f.pictureLabel(), Qt::LeftButton, {}, QPoint(150, 100));
    QVERIFY(!f.isDraggingFrame());
    QTest::mouseMove(f.pictureLabel(), QPoint(160, 110));
    QCOMPARE(f.viewFrame(), home);
    QCOMPARE(host.grid->leftCol(), 0);
    QTest::mouseRelease(f.pictureLabel(), Qt::LeftButton, {}, QPoint(100, 60));
    const vor4::DragStep late = vor4::dragStep(home, home.centre(), QPoint(100, 60), QSize(192, 120), 64, 40);
    QCOMPARE(host.grid->leftCol(), late.col);
    QCOMPARE(host.grid->topRow(), late.row);

    // Only the left button counts.
    host.scrollGridTo(0, 0, true);
    QTest::mouseClick(f.pictureLabel(), Qt::RightButton, {}, QPoint(120, 70));
    QTest::mousePress(f.pictureLabel(), Qt::MiddleButton, {}, f.viewFrame().centre());
    QVERIFY(!f.isDraggingFrame());
    QTest::mouseMove(f.pictureLabel(), QPoint(150, 90));
    QTest::mouseRelease(f.pictureLabel(), Qt::MiddleButton, {}, QPoint(150, 90));
    QCOMPARE(host.grid->leftCol(), 0);
    QCOMPARE(host.grid->topRow(), 0);
}

void TestMiniMap::closeReleasesButton()
{
    FakeHost host(Continents);
    QVERIFY(host.showMiniMap());
    host.form.move(100, 120);
    const QPoint where = host.form.pos();
    QVERIFY(host.form.close());
    QVERIFY(!host.form.isVisible());
    QVERIFY(!host.miniMapBtnDown);
    // Shown again: same place, fresh frame at the grid's position.
    host.grid->setTopLeft(9, 4);
    host.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host.form));
    QCOMPARE(host.form.pos(), where);
    QCOMPARE(host.form.viewFrame(), host.frameAtGrid());
    QVERIFY(host.pictureShows(host.form.viewFrame()));
}

void TestMiniMap::emptyMap()
{
    FakeHost host; // ResetDocument(0, 0): a 1 x 1 grid and no pixels
    QVERIFY(host.bitmap.isNull() || host.bitmap.size().isEmpty());
    host.form.show(); // nothing to expose: the window shrinks to its smallest size
    QVERIFY(host.form.isVisible());
    QCOMPARE(host.form.pictureLabel()->size(), QSize(0, 0));
    QCOMPARE(host.form.viewFrame(), (FrameRect{0, 0, 0, 0}));
    // Nothing to hit, nothing to divide by.
    host.form.pressPicture(Qt::LeftButton, QPoint(0, 0));
    host.form.movePointer(QPoint(3, 3));
    host.form.releasePicture(Qt::LeftButton, QPoint(3, 3));
    QCOMPARE(host.grid->leftCol(), 0);

    // One column, many rows: a drag down scrolls the rows only.
    vor4::Document &doc = host.doc;
    doc.ResetDocument(1, 200);
    host.bitmap = QImage(vor4::miniMapSize(doc), QImage::Format_RGB32);
    host.bitmap.fill(Qt::white);
    host.grid->updateDimensions();
    host.renderMiniMap();
    host.form.fitToPicture();
    QTest::mouseClick(host.form.pictureLabel(), Qt::LeftButton, {}, QPoint(1, 400));
    QCOMPARE(host.grid->leftCol(), 0);
    QVERIFY(host.grid->topRow() > 100);
}

void TestMiniMap::bigMapStaysOnScreen()
{
    // 1000 x 1000 plots at 3 pixels each: far more than any screen.
    FakeHost host;
    host.doc.ResetDocument(1000, 1000);
    host.doc.PlotTexts.setText(999, 999, "TerrainType=TERRAIN_DESERT");
    host.bitmap = QImage(vor4::miniMapSize(host.doc), QImage::Format_RGB32);
    host.bitmap.fill(Qt::white);
    host.grid->updateDimensions();
    QVERIFY(host.showMiniMap());
    MiniMapWindow &f = host.form;
    const QRect room = f.screen()->availableGeometry();
    QVERIFY(room.contains(f.frameGeometry()));
    QVERIFY(f.frameGeometry().width() <= room.width() / 2 && f.frameGeometry().height() <= room.height() / 2);
    QCOMPARE(f.pictureLabel()->size(), QSize(3000, 3000));
    QCOMPARE(f.minimumSize(), f.maximumSize());

    // The part of the picture in view, in picture pixels.
    const auto view = [&f] {
        return QRect(f.pictureLabel()->mapFrom(f.scrollArea()->viewport(), QPoint(0, 0)), f.scrollArea()->viewport()->size());
    };
    const auto inView = [&view](const FrameRect &r) {
        return view().contains(QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)));
    };
    QVERIFY(inView(f.viewFrame()));
    // The frame scrolls into view when the grid moves, also to the far corner.
    for (const QPoint to : {QPoint(990, 990), QPoint(400, 700), QPoint(0, 0)}) {
        host.grid->setTopLeft(to.x(), to.y());
        QCOMPARE(f.viewFrame(), host.frameAtGrid());
        QVERIFY(host.pictureShows(f.viewFrame()));
        QVERIFY(inView(f.viewFrame()));
    }
    QCOMPARE(f.picture().pixel(2997, 2997), qRgb(255, 255, 0));

    // Mouse positions stay picture pixels: a click in view centres the frame there.
    host.grid->setTopLeft(500, 500);
    const FrameRect before = f.viewFrame();
    const QPoint at = view().center();
    QVERIFY(!before.contains(at));
    QTest::mouseClick(f.pictureLabel(), Qt::LeftButton, {}, at);
    const vor4::DragStep step = vor4::dragStep(before, before.centre(), at, QSize(3000, 3000), 1000, 1000);
    QCOMPARE(host.grid->leftCol(), step.col);
    QCOMPARE(host.grid->topRow(), step.row);
    QVERIFY(inView(f.viewFrame()));
}

QTEST_MAIN(TestMiniMap)
#include "tst_minimap.moc"
