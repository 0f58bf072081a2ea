#include "Document.h"
#include "MapGrid.h"
#include "MapReader.h"
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
        bitmap = QImage(doc.miniMapSize, QImage::Format_RGB32);
        bitmap.fill(Qt::white);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(grid);
        grid->setFixedSize(gridSize);
        grid->setDocument(&doc);
        grid->setMiniMapBitmap(&bitmap);
        // DrawGridTopLeftChanged: the minimap step.
        QObject::connect(grid, &MapGrid::topLeftChanged, this, [this] {
            if (form.isVisible())
                ScrollMapTo(grid->leftCol(), grid->topRow(), true);
        });
        show();
    }
    // The state after a file is loaded and the minimap button pressed.
    bool showMiniMap()
    {
        RenderMiniMap();
        form.show();
        return QTest::qWaitForWindowExposed(&form);
    }
    void RenderMiniMap()
    {
        renderMiniMapAndShow(doc.PlotTexts, bitmap, &form);
        ScrollMapTo(0, 0, true);
    }
    bool ScrollMapTo(int col, int row, bool forced) override
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
    void setMiniMapBtnDown(bool down) override { miniMapBtnDown = down; }

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
    QVERIFY(!f.Dragging && !f.Moved && !f.Busy);
    QCOMPARE(f.DragAnchor, QPoint(0, 0));

    host.RenderMiniMap();
    // The full render with the frame at the grid's top-left corner.
    QCOMPARE(host.grid->leftCol(), 0);
    QCOMPARE(f.ViewRect, host.frameAtGrid());
    QVERIFY(host.pictureShows(f.ViewRect));
    QCOMPARE(f.Image1->size(), QSize(192, 120));

    host.grid->setTopLeft(5, 5);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    // FormShow: the frame at the grid's position; the window fits the image.
    QCOMPARE(f.ViewRect, host.frameAtGrid());
    QCOMPARE(f.ViewRect.left, 15);
    QCOMPARE(f.size(), QSize(192, 120));
    QCOMPARE(f.Image1->pos(), QPoint(0, 0));
    QCOMPARE(f.minimumSize(), f.maximumSize()); // not resizable
}

void TestMiniMap::frameFollowsGrid()
{
    FakeHost host(Continents);
    QVERIFY(host.showMiniMap());
    // Scrolling the grid (here with its scroll bar) moves the frame.
    host.grid->horizontalScrollBar()->setValue(12);
    QCOMPARE(host.form.ViewRect, host.frameAtGrid());
    QCOMPARE(host.form.ViewRect.left, 36);
    QVERIFY(host.pictureShows(host.form.ViewRect));
    // Zooming changes the frame's size through the minimap step.
    const int before = host.form.ViewRect.width();
    host.grid->setCellSize(32);
    host.ScrollMapTo(host.grid->leftCol(), host.grid->topRow(), true);
    QVERIFY(host.form.ViewRect.width() < before);
    QCOMPARE(host.form.ViewRect, host.frameAtGrid());
    // Painted cells reach the picture with the next frame.
    host.bitmap.setPixel(0, 119, qRgb(1, 2, 3));
    host.grid->setTopLeft(0, 0);
    QCOMPARE(host.form.picture().pixel(0, 119), qRgb(1, 2, 3));
    // Hidden: the grid still scrolls, the frame waits.
    host.form.hide();
    const FrameRect kept = host.form.ViewRect;
    host.grid->setTopLeft(3, 3);
    QCOMPARE(host.form.ViewRect, kept);
}

void TestMiniMap::scrollMapToClampsAndEndsAtGrid()
{
    FakeHost host(Continents);
    QVERIFY(host.showMiniMap());
    host.scrollCalls = 0;
    // Far beyond the map: the grid clamps, the nested minimap steps end,
    // and the frame is the one at the grid's final position.
    QVERIFY(host.ScrollMapTo(1000, 1000, false));
    QCOMPARE(host.grid->leftCol(), host.grid->maxLeftCol());
    QCOMPARE(host.grid->topRow(), host.grid->maxTopRow());
    QCOMPARE(host.form.ViewRect, host.frameAtGrid());
    QVERIFY(host.pictureShows(host.form.ViewRect));
    QVERIFY(host.form.ViewRect.right <= 192 && host.form.ViewRect.bottom <= 120);
    QVERIFY(host.maxDepth <= 2);
    QVERIFY(host.scrollCalls <= 3);
    // Negative values: clamped to 0.
    QVERIFY(host.ScrollMapTo(-7, -3, false));
    QCOMPARE(host.grid->leftCol(), 0);
    QCOMPARE(host.form.ViewRect, host.frameAtGrid());
    // Where the grid already is, not forced: nothing moves, false.
    host.form.ViewRect = FrameRect{1, 1, 2, 2};
    QVERIFY(!host.ScrollMapTo(0, 0, false));
    QCOMPARE(host.form.ViewRect, (FrameRect{1, 1, 2, 2}));
    QVERIFY(host.ScrollMapTo(0, 0, true));
    QCOMPARE(host.form.ViewRect, host.frameAtGrid());
}

void TestMiniMap::dragFrame()
{
    FakeHost host(Continents);
    QVERIFY(host.showMiniMap());
    MiniMapWindow &f = host.form;
    QLabel *img = f.Image1;
    const FrameRect start = f.ViewRect;
    const QPoint grip = start.centre();
    QTest::mousePress(img, Qt::LeftButton, {}, grip);
    QVERIFY(f.Dragging);
    QVERIFY(!f.Moved);
    QCOMPARE(f.DragAnchor, grip);

    const QPoint to = grip + QPoint(30, 15);
    QTest::mouseMove(img, to);
    const vor4::DragStep step = vor4::dragStep(start, grip, to, QSize(192, 120), 64, 40);
    QCOMPARE(host.grid->leftCol(), step.col);
    QCOMPARE(host.grid->topRow(), step.row);
    QVERIFY(f.Moved);
    QCOMPARE(f.ViewRect, step.frame); // the dragged frame is the base of the next move
    QCOMPARE(f.DragAnchor, to);
    // On screen the frame snapped to the grid's new position.
    QVERIFY(host.pictureShows(host.frameAtGrid()));
    QVERIFY(!f.Busy);

    QTest::mouseRelease(img, Qt::LeftButton, {}, to);
    QVERIFY(!f.Dragging && !f.Moved);
    QCOMPARE(f.DragAnchor, QPoint(0, 0));
    QCOMPARE(host.grid->leftCol(), step.col); // a release after a drag does not centre
}

void TestMiniMap::dragAgainstEdges()
{
    FakeHost host(Continents);
    QVERIFY(host.showMiniMap());
    MiniMapWindow &f = host.form;
    host.ScrollMapTo(20, 10, true);
    const FrameRect start = f.ViewRect;
    const int w = start.width(), h = start.height();
    QTest::mousePress(f.Image1, Qt::LeftButton, {}, start.centre());
    QTest::mouseMove(f.Image1, start.centre() - QPoint(150, 150));
    QCOMPARE(f.ViewRect, (FrameRect{0, 0, w, h}));
    QCOMPARE(host.grid->leftCol(), 0);
    QCOMPARE(host.grid->topRow(), 0);
    QTest::mouseMove(f.Image1, start.centre() + QPoint(190, 110));
    QCOMPARE(f.ViewRect, (FrameRect{191 - w, 119 - h, 191, 119}));
    QCOMPARE(host.grid->leftCol(), qMin(host.grid->maxLeftCol(), 64 * (191 - w + 1) / 191));
    QTest::mouseRelease(f.Image1, Qt::LeftButton, {}, start.centre() + QPoint(190, 110));
    // The release after a drag keeps the dragged frame as the base.
    QCOMPARE(f.ViewRect, (FrameRect{191 - w, 119 - h, 191, 119}));
}

void TestMiniMap::clicksCentre()
{
    FakeHost host(Continents);
    QVERIFY(host.showMiniMap());
    MiniMapWindow &f = host.form;
    const FrameRect start = f.ViewRect;
    // Outside the frame: the centre jumps to the click.
    QTest::mouseClick(f.Image1, Qt::LeftButton, {}, QPoint(120, 70));
    const vor4::DragStep step = vor4::dragStep(start, start.centre(), QPoint(120, 70), QSize(192, 120), 64, 40);
    QCOMPARE(step.frame.centre(), QPoint(120, 70));
    QCOMPARE(host.grid->leftCol(), step.col);
    QCOMPARE(host.grid->topRow(), step.row);
    QVERIFY(!f.Dragging && !f.Moved);
    // Inside the frame without dragging: same.
    const FrameRect now = f.ViewRect;
    const QPoint inside(now.left + 2, now.top + 2);
    QTest::mouseClick(f.Image1, Qt::LeftButton, {}, inside);
    const vor4::DragStep again = vor4::dragStep(now, now.centre(), inside, QSize(192, 120), 64, 40);
    QCOMPARE(host.grid->leftCol(), again.col);
    QCOMPARE(host.grid->topRow(), again.row);

    // A drag that starts outside the frame moves nothing until the release.
    host.ScrollMapTo(0, 0, true);
    const FrameRect home = f.ViewRect;
    QTest::mousePress(f.Image1, Qt::LeftButton, {}, QPoint(150, 100));
    QVERIFY(!f.Dragging);
    QTest::mouseMove(f.Image1, QPoint(160, 110));
    QCOMPARE(f.ViewRect, home);
    QCOMPARE(host.grid->leftCol(), 0);
    QTest::mouseRelease(f.Image1, Qt::LeftButton, {}, QPoint(100, 60));
    const vor4::DragStep late = vor4::dragStep(home, home.centre(), QPoint(100, 60), QSize(192, 120), 64, 40);
    QCOMPARE(host.grid->leftCol(), late.col);
    QCOMPARE(host.grid->topRow(), late.row);

    // Only the left button counts.
    host.ScrollMapTo(0, 0, true);
    QTest::mouseClick(f.Image1, Qt::RightButton, {}, QPoint(120, 70));
    QTest::mousePress(f.Image1, Qt::MiddleButton, {}, f.ViewRect.centre());
    QVERIFY(!f.Dragging);
    QTest::mouseMove(f.Image1, QPoint(150, 90));
    QTest::mouseRelease(f.Image1, Qt::MiddleButton, {}, QPoint(150, 90));
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
    QCOMPARE(host.form.ViewRect, host.frameAtGrid());
    QVERIFY(host.pictureShows(host.form.ViewRect));
}

void TestMiniMap::emptyMap()
{
    FakeHost host; // ResetDocument(0, 0): a 1 x 1 grid and no pixels
    QVERIFY(host.bitmap.isNull() || host.bitmap.size().isEmpty());
    host.form.show(); // nothing to expose: the window shrinks to its smallest size
    QVERIFY(host.form.isVisible());
    QCOMPARE(host.form.Image1->size(), QSize(0, 0));
    QCOMPARE(host.form.ViewRect, (FrameRect{0, 0, 0, 0}));
    // Nothing to hit, nothing to divide by.
    host.form.Image1MouseDown(Qt::LeftButton, 0, 0);
    host.form.Image1MouseMove(3, 3);
    host.form.Image1MouseUp(Qt::LeftButton, 3, 3);
    QCOMPARE(host.grid->leftCol(), 0);

    // One column, many rows: a drag down scrolls the rows only.
    vor4::Document &doc = host.doc;
    doc.ResetDocument(1, 200);
    host.bitmap = QImage(doc.miniMapSize, QImage::Format_RGB32);
    host.bitmap.fill(Qt::white);
    host.grid->updateDimensions();
    host.RenderMiniMap();
    host.form.FitImage1();
    QTest::mouseClick(host.form.Image1, Qt::LeftButton, {}, QPoint(1, 400));
    QCOMPARE(host.grid->leftCol(), 0);
    QVERIFY(host.grid->topRow() > 100);
}

void TestMiniMap::bigMapStaysOnScreen()
{
    // 1000 x 1000 plots at 3 pixels each: far more than any screen.
    FakeHost host;
    host.doc.ResetDocument(1000, 1000);
    host.doc.PlotTexts.setText(999, 999, "TerrainType=TERRAIN_DESERT");
    host.bitmap = QImage(host.doc.miniMapSize, QImage::Format_RGB32);
    host.bitmap.fill(Qt::white);
    host.grid->updateDimensions();
    QVERIFY(host.showMiniMap());
    MiniMapWindow &f = host.form;
    const QRect room = f.screen()->availableGeometry();
    QVERIFY(room.contains(f.frameGeometry()));
    QVERIFY(f.frameGeometry().width() <= room.width() / 2 && f.frameGeometry().height() <= room.height() / 2);
    QCOMPARE(f.Image1->size(), QSize(3000, 3000));
    QCOMPARE(f.minimumSize(), f.maximumSize());

    // The part of the picture in view, in picture pixels.
    const auto view = [&f] {
        return QRect(f.Image1->mapFrom(f.ScrollBox->viewport(), QPoint(0, 0)), f.ScrollBox->viewport()->size());
    };
    const auto inView = [&view](const FrameRect &r) {
        return view().contains(QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)));
    };
    QVERIFY(inView(f.ViewRect));
    // The frame scrolls into view when the grid moves, also to the far corner.
    for (const QPoint to : {QPoint(990, 990), QPoint(400, 700), QPoint(0, 0)}) {
        host.grid->setTopLeft(to.x(), to.y());
        QCOMPARE(f.ViewRect, host.frameAtGrid());
        QVERIFY(host.pictureShows(f.ViewRect));
        QVERIFY(inView(f.ViewRect));
    }
    QCOMPARE(f.picture().pixel(2997, 2997), qRgb(255, 255, 0));

    // Mouse positions stay picture pixels: a click in view centres the frame there.
    host.grid->setTopLeft(500, 500);
    const FrameRect before = f.ViewRect;
    const QPoint at = view().center();
    QVERIFY(!before.contains(at));
    QTest::mouseClick(f.Image1, Qt::LeftButton, {}, at);
    const vor4::DragStep step = vor4::dragStep(before, before.centre(), at, QSize(3000, 3000), 1000, 1000);
    QCOMPARE(host.grid->leftCol(), step.col);
    QCOMPARE(host.grid->topRow(), step.row);
    QVERIFY(inView(f.ViewRect));
}

QTEST_MAIN(TestMiniMap)
#include "tst_minimap.moc"
