// The paint tools through the real windows: the mouse on the grid's
// viewport, the keys, the tool bar's brush field and the map contents
// window; every stroke one undo step that gives back the saved bytes.

#include "MapToolBar.h"
#include "PageParts.h"
#include "CurrentCell.h"
#include "PlotEditor.h"
#include "MiniMapFeed.h"
#include "ChangeSelection.h"
#include "BrushField.h"
#include "FakeDialogs.h"
#include "CommandButtons.h"
#include "MapGrid.h"
#include "MapToolBox.h"
#include "MapTool.h"
#include "MapWriter.h"
#include "FileActions.h"
#include "HintWindow.h"
#include "PieceActions.h"
#include "PieceEdits.h"
#include "PiecePainter.h"
#include "PlotFacts.h"
#include "RiverTool.h"
#include "MapSelection.h"
#include "PaintSymmetry.h"
#include "RegionActions.h"
#include "FindBar.h"
#include "Symmetry.h"
#include "PaintRule.h"
#include "SectionMemo.h"
#include "SideTabBar.h"
#include "SpinEdit.h"
#include "ToolPreview.h"
#include "MainWindow.h"
#include "MapPage.h"
#include "MapContentsWindow.h"
#include "MiniMapWindow.h"

#include <QAbstractItemView>
#include <QAction>
#include <QActionGroup>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSpontaneKeyEvent>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>
#include <QtTest>
#include <queue>

using vor4::PaintRule;

namespace {

const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");

bool writeData(const QString &installDir, const char *file, const QByteArray &bytes)
{
    const QString folder = installDir + "/Assets/XML/Terrain";
    QFile f(folder + "/" + file);
    return QDir().mkpath(folder) && f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray terrain(const MainWindow *w, int col, int row)
{
    return PaintRule::valueOf(w->stores().PlotTexts.view(col, row), "TerrainType").toByteArray();
}

// The cells whose terrain line is `line`.
QSet<QPoint> cellsWith(const MainWindow *w, const QByteArray &line)
{
    QSet<QPoint> out;
    for (int r = 0; r < w->stores().rowCount(); ++r)
        for (int c = 0; c < w->stores().columnCount(); ++c)
            if (terrain(w, c, r) == line)
                out.insert(QPoint(c, r));
    return out;
}

} // namespace

class TestPaintTools : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void brushStrokesWithoutGaps();
    void lineRectangleFillPickerEraser();
    void escapeCancelsAndNoPaintingDuringLoad();
    void previewFollowsThePointer();
    void brushFieldAndMapContents();
    void brushFieldReturn();
    void shortcutsLeaveTextFieldsAlone();
    void stepsRefreshMemoMinimapAndStatus();
    void zoomKeepsThePlotInPlace();
    void piecesByMouseMenuAndRiverTool();
    void overlayHintAndMiniMapFollowTheDocument();
    void makeSymmetricFromTheMenu();
    void symmetricPaintingByMouse();
    void selectionsOfAnyShape();

private:
    void newMap(int width, int height);
    void typeBrush(const QString &line);
    QPoint at(int col, int row) const { return w->mapPage()->grid()->cellRect(col, row).center(); }
    void drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {});
    QByteArray bytes() const { return vor4::buildSaveFile(w->stores()); }
    QWidget *viewport() const { return w->mapPage()->grid()->viewport(); }

    MainWindow *w = nullptr;
    FakeDialogs::State *dialogs = nullptr;
    QTemporaryDir game;
};

void TestPaintTools::initTestCase()
{
    QVERIFY(game.isValid());
    QVERIFY(writeData(game.path(), "VOR4TerrainInfos.xml", "<Type>TERRAIN_GRASS</Type>\n<Type>TERRAIN_HILL</Type>\n"));
    QVERIFY(writeData(game.path(), "VOR4BonusInfos.xml", "<Type>BONUS_GOLD</Type>\n"));
    QVERIFY(writeData(game.path(), "VOR4FeatureInfos.xml", "<Type>FEATURE_ICE</Type>\n"));
    QVERIFY(writeData(game.path(), "VOR4ImprovementInfos.xml", "<Type>IMPROVEMENT_MINE</Type>\n"));
}

void TestPaintTools::init()
{
    dialogs = FakeDialogs::install();
    w = new MainWindow;
    w->mapContentsWindow()->setInstallDir(game.path());
    w->resize(900, 700);
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
}

void TestPaintTools::cleanup()
{
    delete w;
}

void TestPaintTools::newMap(int width, int height)
{
    w->action(QStringLiteral("newMap"))->trigger();
    mapWidthBox(w)->setValue(width);
    mapHeightBox(w)->setValue(height);
    QTest::mouseClick(newMapOkButton(w), Qt::LeftButton);
    QCOMPARE(w->stores().columnCount(), width);
    QCOMPARE(w->stores().rowCount(), height);
}

void TestPaintTools::typeBrush(const QString &line)
{
    QLineEdit *edit = w->mapPage()->tools()->brushField()->lineEdit();
    QTest::mouseClick(edit, Qt::LeftButton);
    edit->selectAll();
    QTest::keyClicks(edit, line);
    QTest::keyClick(edit, Qt::Key_Return);
}

void TestPaintTools::drag(QPoint from, QPoint to, Qt::MouseButton button, Qt::KeyboardModifiers keys)
{
    QTest::mousePress(viewport(), button, keys, from);
    QTest::mouseMove(viewport(), to);
    QTest::mouseRelease(viewport(), button, keys, to);
}

// A fast diagonal drag, one move event from end to end, paints every cell
// of an unbroken line: each painted cell touches the one before it and lies
// within a cell of the straight line. With a bigger brush every cell of the
// swept band is painted. Right button: the brush erases.
void TestPaintTools::brushStrokesWithoutGaps()
{
    newMap(40, 30);
    const QByteArray empty = bytes();
    QTest::mouseClick(w->mapPage()->tools()->toolBar()->findChild<QToolButton *>("BrushToolBtn"), Qt::LeftButton);
    QVERIFY(w->mapPage()->tools()->activeTool());
    // Without a value nothing is painted and the field asks for one.
    QTest::mousePress(viewport(), Qt::LeftButton, {}, at(1, 1));
    QVERIFY(w->statusText(0).startsWith("Choose a brush value first"));
    QVERIFY(w->mapPage()->tools()->brushField()->hasFocus());
    QTest::mouseMove(viewport(), at(3, 3));
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, at(3, 3));
    QCOMPARE(bytes(), empty);

    typeBrush("TerrainType=TERRAIN_GRASS");
    QCOMPARE(w->mapPage()->tools()->brush().line(), QByteArray("TerrainType=TERRAIN_GRASS"));
    const QPoint a(2, 3), b(31, 17);
    drag(at(a.x(), a.y()), at(b.x(), b.y()));
    const QSet<QPoint> painted = cellsWith(w, "TerrainType=TERRAIN_GRASS");
    QCOMPARE(painted.size(), qMax(b.x() - a.x(), b.y() - a.y()) + 1);
    for (const QPoint &p : painted) {
        // Distance from the line through a and b, in cells.
        const double dx = b.x() - a.x(), dy = b.y() - a.y();
        const double d = std::abs(dy * (p.x() - a.x()) - dx * (p.y() - a.y())) / std::hypot(dx, dy);
        QVERIFY2(d <= 1.0, qPrintable(QStringLiteral("(%1,%2) off the line").arg(p.x()).arg(p.y())));
        if (p != a) {
            bool touches = false;
            for (const QPoint &q : painted)
                touches |= q != p && std::abs(q.x() - p.x()) <= 1 && std::abs(q.y() - p.y()) <= 1;
            QVERIFY(touches);
        }
    }
    QUndoStack *stack = w->document()->undoStack();
    QCOMPARE(stack->count(), 2); // the new map, the stroke
    QCOMPARE(w->action(QStringLiteral("undo"))->toolTip().section(" (", 0, 0),
             QStringLiteral("Undo Paint TerrainType=TERRAIN_GRASS on %1 plots").arg(painted.size()));
    const QByteArray stroke = bytes();
    w->action(QStringLiteral("undo"))->trigger();
    QCOMPARE(bytes(), empty);
    w->action(QStringLiteral("redo"))->trigger();
    QCOMPARE(bytes(), stroke);

    // Size 3 by the keys: a band three plots wide, the square at each end.
    w->mapPage()->grid()->setFocus();
    QTest::keyClick(w->mapPage()->grid(), Qt::Key_BracketRight);
    QTest::keyClick(w->mapPage()->grid(), Qt::Key_BracketRight);
    QCOMPARE(w->mapPage()->tools()->brushSize(), 3);
    QCOMPARE(w->mapPage()->tools()->sizeBox()->currentText(), QStringLiteral("3"));
    typeBrush("TerrainType=TERRAIN_HILL");
    drag(at(5, 25), at(25, 25));
    QCOMPARE(cellsWith(w, "TerrainType=TERRAIN_HILL").size(), 23 * 3);
    // The right button erases the key's line where it drags.
    drag(at(10, 25), at(12, 25), Qt::RightButton);
    for (int c = 9; c <= 13; ++c)
        for (int r = 24; r <= 26; ++r)
            QCOMPARE(terrain(w, c, r), QByteArray());
    QCOMPARE(cellsWith(w, "TerrainType=TERRAIN_HILL").size(), 18 * 3);
    QVERIFY(w->action(QStringLiteral("undo"))->toolTip().startsWith("Undo Erase TerrainType on 15 plots"));
    w->action(QStringLiteral("undo"))->trigger();
    w->action(QStringLiteral("undo"))->trigger();
    QCOMPARE(bytes(), stroke);
}

// Line paints the straight line from press to release only; Rectangle every
// plot between its corners; Fill the 4-connected region of equal value,
// held against a plain flood fill, or with Shift the selection; the picker
// takes a plot's line; the eraser deletes the key's line. Each one step.
void TestPaintTools::lineRectangleFillPickerEraser()
{
    newMap(24, 16);
    typeBrush("TerrainType=TERRAIN_OCEAN");
    QUndoStack *stack = w->document()->undoStack();
    QList<QByteArray> states{bytes()};

    // A line from (2,2) over a detour to (20,2): only row 2 is painted.
    w->mapPage()->tools()->activate("Line");
    QTest::mousePress(viewport(), Qt::LeftButton, {}, at(2, 2));
    QTest::mouseMove(viewport(), at(10, 12));
    QCOMPARE(w->mapPage()->tools()->preview()->cells().boundingRect(), QRect(QPoint(2, 2), QPoint(10, 12)));
    QCOMPARE(bytes(), states.last()); // nothing before the release
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, at(20, 2));
    QCOMPARE(cellsWith(w, "TerrainType=TERRAIN_OCEAN").size(), 19);
    QCOMPARE(terrain(w, 10, 12), QByteArray());
    states << bytes();

    // A closed frame by the rectangle and the eraser: a wall with a hole
    // inside, and an island in the middle.
    w->mapPage()->tools()->activate("Rectangle");
    drag(at(4, 4), at(15, 12));
    QCOMPARE(cellsWith(w, "TerrainType=TERRAIN_OCEAN").size(), 19 + 12 * 9);
    states << bytes();
    w->mapPage()->tools()->activate("Eraser");
    drag(at(5, 5), at(14, 5));
    w->mapPage()->tools()->setBrushSize(5);
    drag(at(7, 9), at(12, 9));
    w->mapPage()->tools()->setBrushSize(1);
    typeBrush("TerrainType=TERRAIN_SNOW");
    w->mapPage()->tools()->activate("Brush");
    drag(at(9, 9), at(10, 9));
    states << bytes();
    QCOMPARE(stack->count(), 6);

    // Fill from inside the hole, held against a plain 4-connected flood of
    // equal terrain lines.
    const int W = w->stores().columnCount(), H = w->stores().rowCount();
    const QPoint seed(6, 8); // in the hole, around the island
    const QByteArray seedValue = terrain(w, seed.x(), seed.y());
    QSet<QPoint> expected;
    std::queue<QPoint> todo;
    todo.push(seed);
    expected.insert(seed);
    while (!todo.empty()) {
        const QPoint p = todo.front();
        todo.pop();
        for (const QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
            const QPoint q = p + d;
            if (q.x() >= 0 && q.y() >= 0 && q.x() < W && q.y() < H && !expected.contains(q)
                && terrain(w, q.x(), q.y()) == seedValue) {
                expected.insert(q);
                todo.push(q);
            }
        }
    }
    QCOMPARE(expected.size(), 48);
    typeBrush("TerrainType=TERRAIN_GRASS");
    w->mapPage()->tools()->activate("Fill");
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, at(seed.x(), seed.y()));
    QCOMPARE(cellsWith(w, "TerrainType=TERRAIN_GRASS"), expected);
    QVERIFY(w->action(QStringLiteral("undo"))->toolTip().startsWith(QStringLiteral("Undo Fill TerrainType=TERRAIN_GRASS on %1 plots").arg(expected.size())));
    states << bytes();

    // The picker takes the clicked plot's line of the brush's key.
    w->mapPage()->tools()->activate("Picker");
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, at(9, 9));
    QCOMPARE(w->mapPage()->tools()->brush().line(), QByteArray("TerrainType=TERRAIN_SNOW"));
    QCOMPARE(w->mapPage()->tools()->brushField()->currentText(), QStringLiteral("TerrainType=TERRAIN_SNOW"));
    QCOMPARE(bytes(), states.last());

    // Shift+Fill: every selected plot, whatever the selection's shape.
    w->document()->push(new vor4::ChangeSelection(w->document(), QRegion(0, 0, W, 2) | QRect(0, 0, 2, H)));
    w->mapPage()->tools()->activate("Fill");
    QTest::mouseClick(viewport(), Qt::LeftButton, Qt::ShiftModifier, at(20, 15));
    QCOMPARE(cellsWith(w, "TerrainType=TERRAIN_SNOW").size(), 2 * W + 2 * H - 4 + 2);
    QCOMPARE(stack->count(), 9); // the selection is a step too

    // Undone step by step, Ctrl+Z over the map gives back every state.
    w->mapPage()->grid()->setFocus();
    for (int i = states.size() - 1; i > 0; --i) {
        for (int n = 0; n < 3 && bytes() != states[i]; ++n)
            QTest::keyClick(w->mapPage()->grid(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(bytes(), states[i]);
    }
    while (stack->canUndo())
        stack->undo();
    stack->redo();
    QCOMPARE(bytes(), states[0]);
}

// Escape in a drag gives back the plots as they were, with no step left;
// the release that follows does nothing. During a load the grid takes no
// strokes.
void TestPaintTools::escapeCancelsAndNoPaintingDuringLoad()
{
    newMap(30, 20);
    typeBrush("BonusType=BONUS_GOLD");
    w->mapPage()->tools()->activate("Brush");
    drag(at(1, 1), at(3, 1));
    const QByteArray before = bytes();
    QUndoStack *stack = w->document()->undoStack();
    const int steps = stack->count();
    for (const char *tool : {"Brush", "Line", "Rectangle", "Eraser"}) {
        w->mapPage()->tools()->activate(tool);
        QTest::mousePress(viewport(), Qt::LeftButton, {}, at(2, 8));
        QTest::mouseMove(viewport(), at(20, 14));
        QTest::mouseMove(viewport(), at(1, 1));
        QTest::keyClick(w->mapPage()->grid(), Qt::Key_Escape);
        QVERIFY(!w->mapPage()->tools()->activeTool()->isDragging());
        QTest::mouseMove(viewport(), at(10, 10));
        QTest::mouseRelease(viewport(), Qt::LeftButton, {}, at(10, 10));
        QCOMPARE(bytes(), before);
        QCOMPARE(stack->count(), steps);
        QVERIFY(!stack->canRedo());
    }

    // A load lets events in: a drag then reaches no tool.
    w->mapPage()->tools()->activate("Rectangle");
    bool tried = false, pressed = true;
    QTimer::singleShot(0, w, [&] {
        tried = w->isLoading();
        QTest::mousePress(viewport(), Qt::LeftButton, {}, at(0, 0));
        pressed = w->mapPage()->tools()->activeTool()->isDragging();
        QTest::mouseRelease(viewport(), Qt::LeftButton, {}, at(5, 5));
    });
    dialogs->saveChoices << Dialogs::SaveChoice::Discard;
    dialogs->openAnswers << Continents;
    w->action(QStringLiteral("open"))->trigger();
    QVERIFY(tried);
    QVERIFY(!pressed);
    QCOMPARE(stack->count(), 0);
    QVERIFY(!w->isWindowModified());
}

// The outline shows what a click would change, follows the pointer and the
// brush size, changes nothing, and goes when the pointer leaves the grid.
void TestPaintTools::previewFollowsThePointer()
{
    newMap(30, 20);
    typeBrush("TerrainType=TERRAIN_DESERT");
    const QByteArray before = bytes();
    ToolPreview *preview = w->mapPage()->tools()->preview();
    QTest::mouseMove(viewport(), at(6, 6));
    QVERIFY(preview->cells().isEmpty()); // Select has none
    w->mapPage()->grid()->setFocus();
    QTest::keyClick(w->mapPage()->grid(), Qt::Key_B);
    QTest::mouseMove(viewport(), at(6, 7));
    QCOMPARE(preview->cells(), QRegion(6, 7, 1, 1));
    w->mapPage()->tools()->setBrushSize(5);
    QCOMPARE(preview->cells(), QRegion(4, 5, 5, 5));
    QTest::mouseMove(viewport(), at(0, 0));
    QCOMPARE(preview->cells(), QRegion(0, 0, 3, 3)); // clipped to the map
    QTest::mouseMove(viewport(), at(10, 10));
    QCOMPARE(bytes(), before);

    // On the screen: white around the footprint, black around that.
    QCoreApplication::processEvents();
    const QImage shot = viewport()->grab().toImage();
    const QRect fp = w->mapPage()->grid()->cellsArea(QRect(8, 8, 5, 5));
    QCOMPARE(shot.pixel(fp.topLeft() - QPoint(1, 1)), qRgb(255, 255, 255));
    QCOMPARE(shot.pixel(fp.topLeft() - QPoint(2, 2)), qRgb(0, 0, 0));
    QCOMPARE(shot.pixel(fp.bottomRight() + QPoint(2, 2)), qRgb(0, 0, 0));
    QCOMPARE(shot.pixel(fp.center()), w->mapPage()->grid()->palette().color(QPalette::Base).rgb());

    // The pointer leaves the grid: no outline, and the screen shows none.
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(viewport(), &leave);
    QVERIFY(preview->cells().isEmpty());
    QCoreApplication::processEvents();
    QCOMPARE(viewport()->grab().toImage().pixel(fp.topLeft() - QPoint(2, 2)),
             w->mapPage()->grid()->palette().color(QPalette::Base).rgb());

    // Fill and the picker outline the plot under the pointer; the
    // rectangle its drag.
    w->mapPage()->tools()->activate("Fill");
    QTest::mouseMove(viewport(), at(3, 4));
    QCOMPARE(preview->cells(), QRegion(3, 4, 1, 1));
    w->mapPage()->tools()->activate("Rectangle");
    QTest::mousePress(viewport(), Qt::LeftButton, {}, at(3, 4));
    QTest::mouseMove(viewport(), at(9, 2));
    QCOMPARE(preview->cells(), QRegion(QRect(QPoint(3, 2), QPoint(9, 4))));
    QTest::keyClick(w->mapPage()->grid(), Qt::Key_Escape);
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, at(9, 2));
    QCOMPARE(bytes(), before);
}

// The field takes typed lines and refuses others with a reason; its list
// holds the catalogues' lines and the open map's. With a paint tool active
// the item selected in the map contents window becomes the brush value; its
// Change and Clear still change the selected plot as before.
void TestPaintTools::brushFieldAndMapContents()
{
    dialogs->openAnswers << Continents;
    w->action(QStringLiteral("open"))->trigger();
    w->action(QStringLiteral("mapPage"))->trigger();
    BrushField *field = w->mapPage()->tools()->brushField();
    QVERIFY(!field->hasFocus()); // not the page's first field: the keys stay the map's
    // With no value yet the picker takes the plot's terrain line.
    w->mapPage()->tools()->activate("Picker");
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, at(30, 20));
    QCOMPARE(w->mapPage()->tools()->brush().line(), terrain(w, 30, 20));
    QVERIFY(!w->mapPage()->tools()->brush().line().isEmpty());
    w->mapPage()->tools()->activate("Select");
    typeBrush("  FeatureType=FEATURE_FOREST, FeatureVariety=1 ");
    QVERIFY(field->hasFocus()); // entered: the focus stays, the next letters are no tool keys
    QCOMPARE(w->mapPage()->tools()->brush().line(), QByteArray("FeatureType=FEATURE_FOREST, FeatureVariety=1"));
    QCOMPARE(w->mapPage()->tools()->brush().key(), QByteArray("FeatureType"));
    typeBrush("Grassland");
    QCOMPARE(w->mapPage()->tools()->brush().key(), QByteArray("FeatureType"));
    QVERIFY(field->hasFocus()); // refused: to be mended
    QCOMPARE(w->statusText(0), QStringLiteral("\"Grassland\" is not a plot line: it has no \"=\""));
    field->lineEdit()->setText(QStringLiteral("Name=\u0416"));
    QTest::keyClick(field->lineEdit(), Qt::Key_Return);
    QCOMPARE(w->statusText(0), QStringLiteral("A plot line holds single-byte characters only"));
    QCOMPARE(w->mapPage()->tools()->brush().key(), QByteArray("FeatureType"));

    const QStringList choices = field->choices();
    for (const char *line : {"TerrainType=TERRAIN_GRASS", "BonusType=BONUS_GOLD", "PlotType=0",
                             "FeatureType=FEATURE_ICE, FeatureVariety=", "TerrainType=TERRAIN_OCEAN",
                             "FeatureType=FEATURE_ICE, FeatureVariety=0", "PlotType=3"})
        QVERIFY2(choices.contains(QLatin1String(line)), line);
    QCOMPARE(choices.count(QStringLiteral("TerrainType=TERRAIN_GRASS")), 1);
    for (const QString &c : choices)
        QVERIFY2(!c.startsWith("Unit"), qPrintable(c)); // the units' lines are no plot lines
    // Typing part of a line offers the lines that contain it.
    QLineEdit *edit = field->lineEdit();
    edit->clear();
    QTest::keyClicks(edit, "ocea");
    QCompleter *completer = field->completer();
    QVERIFY(completer->popup()->isVisible());
    QStringList offered;
    for (int i = 0; completer->setCurrentRow(i); ++i)
        offered << completer->currentCompletion();
    QVERIFY(offered.contains("TerrainType=TERRAIN_OCEAN"));
    for (const QString &o : offered)
        QVERIFY(o.contains("ocea", Qt::CaseInsensitive));
    QTest::keyClick(completer->popup(), Qt::Key_Escape);

    // The map contents window feeds the brush while a paint tool is active.
    w->action(QStringLiteral("mapContents"))->trigger();
    QVERIFY(w->mapContentsWindow()->isVisible());
    w->mapContentsWindow()->keyTabs()->setCurrentIndex(4); // plot types
    const auto choose = [this](int row) {
        QTest::mouseClick(w->mapContentsWindow()->valueList()->viewport(), Qt::LeftButton, {},
                          w->mapContentsWindow()->valueList()->visualItemRect(w->mapContentsWindow()->valueList()->item(row)).center());
    };
    choose(1);
    QCOMPARE(w->mapPage()->tools()->brush().key(), QByteArray("FeatureType")); // Select is active
    w->mapPage()->tools()->activate("Brush");
    choose(1);
    QCOMPARE(w->mapPage()->tools()->brush().line(), QByteArray("PlotType=1"));
    QCOMPARE(field->currentText(), QStringLiteral("PlotType=1"));
    w->mapContentsWindow()->keyTabs()->setCurrentIndex(1); // bonus
    choose(0);
    QCOMPARE(w->mapPage()->tools()->brush().line(), QByteArray("BonusType=BONUS_GOLD"));

    // Change and Clear: the paint rule on the selected plot, one step each,
    // named as the status says, with Recall's text kept.
    w->mapPage()->tools()->activate("Select");
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, at(5, 5));
    const QByteArray plot = w->stores().PlotTexts.text(5, 5);
    QTest::mouseClick(w->mapContentsWindow()->changeButton(), Qt::LeftButton);
    QCOMPARE(w->mapContentsWindow()->panelText(0), QStringLiteral("BonusType changed"));
    QCOMPARE(w->stores().PlotTexts.text(5, 5), PaintRule::putLine(plot, "BonusType", "BonusType=BONUS_GOLD"));
    QCOMPARE(w->mapPage()->plotEditor()->recallText().toLatin1(), QByteArray(plot).replace("\r\n", "\n"));
    QVERIFY(w->action(QStringLiteral("undo"))->toolTip().startsWith("Undo BonusType changed"));
    QTest::mouseClick(w->mapContentsWindow()->clearButton(), Qt::LeftButton);
    QCOMPARE(w->mapContentsWindow()->panelText(0), QStringLiteral("BonusType cleared"));
    QCOMPARE(w->stores().PlotTexts.text(5, 5), PaintRule::takeKey(PaintRule::putLine(plot, "BonusType", "BonusType=BONUS_GOLD"), "BonusType"));
    QTest::mouseClick(w->mapContentsWindow()->clearButton(), Qt::LeftButton);
    QCOMPARE(w->mapContentsWindow()->panelText(0), QStringLiteral("BonusType not found"));
}

// Return takes the highlighted suggestion, or the only one, or the line as
// typed; the focus stays in the field. Without the game the common lines
// are offered, so "grass" finds the grass line on an empty map.
void TestPaintTools::brushFieldReturn()
{
    w->mapContentsWindow()->setInstallDir(QString());
    newMap(8, 8);
    BrushField *field = w->mapPage()->tools()->brushField();
    QLineEdit *edit = field->lineEdit();
    typeBrush("grass");
    QCOMPARE(w->mapPage()->tools()->brush().line(), QByteArray("TerrainType=TERRAIN_GRASS"));
    // A suggestion highlighted with Down, not the list's first.
    edit->selectAll();
    QTest::keyClicks(edit, "type=");
    QAbstractItemView *popup = field->completer()->popup();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(popup, Qt::Key_Down);
    const QString highlighted = popup->currentIndex().data().toString();
    QTest::keyClick(popup, Qt::Key_Return);
    QCOMPARE(QString::fromLatin1(w->mapPage()->tools()->brush().line()), highlighted);
    // Two suggestions and no plot line: the message, whole.
    typeBrush("plains");
    QCOMPARE(QString::fromLatin1(w->mapPage()->tools()->brush().line()), highlighted);
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("StatusPanel0"))->text(), QStringLiteral("\"plains\" is not a plot line: it has no \"=\""));
    typeBrush("BonusType=BONUS_WINE"); // nothing suggests it
    QTest::keyClick(edit, Qt::Key_Escape);
    QCOMPARE(w->mapPage()->tools()->brush().line(), QByteArray("BonusType=BONUS_WINE"));
    QVERIFY(field->hasFocus());
}

// One-key shortcuts work over the map and type into text fields; every
// tool's tip names its key.
void TestPaintTools::shortcutsLeaveTextFieldsAlone()
{
    newMap(10, 10);
    const std::pair<const char *, Qt::Key> keys[] = {{"Brush", Qt::Key_B}, {"Line", Qt::Key_L},
                                                     {"Rectangle", Qt::Key_R}, {"Fill", Qt::Key_F},
                                                     {"Picker", Qt::Key_I}, {"Eraser", Qt::Key_E},
                                                     {"Select", Qt::Key_S}};
    for (const auto &[name, key] : keys) {
        w->mapPage()->grid()->setFocus();
        QTest::keyClick(w->mapPage()->grid(), key);
        QAction *action = w->mapPage()->tools()->toolAction(name);
        QVERIFY2(action->isChecked(), name);
        const QString keyName = QKeySequence(key).toString(QKeySequence::NativeText);
        QVERIFY(action->toolTip().endsWith(" (" + keyName + ")"));
        QCOMPARE(w->mapPage()->tools()->toolBar()->findChild<QToolButton *>(QString(name) + "ToolBtn")->toolTip(),
                 action->toolTip());
        QVERIFY2(w->mapMenu()->actions().contains(action), name);
    }
    // In the plot memo and the brush field the letters are typed.
    w->mapPage()->plotEditor()->memo()->setFocus();
    QTest::keyClicks(w->mapPage()->plotEditor()->memo(), "blr]e");
    QCOMPARE(w->mapPage()->plotEditor()->memo()->text(), QStringLiteral("blr]e"));
    QVERIFY(w->mapPage()->tools()->toolAction("Select")->isChecked());
    QCOMPARE(w->mapPage()->tools()->brushSize(), 1);
    w->mapPage()->tools()->brushField()->setFocus();
    QTest::keyClicks(w->mapPage()->tools()->brushField()->lineEdit(), "fib[");
    QCOMPARE(w->mapPage()->tools()->brushField()->currentText(), QStringLiteral("fib["));
    QVERIFY(w->mapPage()->tools()->toolAction("Select")->isChecked());
    QCOMPARE(w->mapPage()->tools()->brushSize(), 1);
}

// A stroke over the selected plot shows in the memo; the minimap and the
// status bar follow each step. Select clicks still select.
void TestPaintTools::stepsRefreshMemoMinimapAndStatus()
{
    newMap(20, 20);
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, at(4, 4));
    QCOMPARE(w->statusText(2), QStringLiteral("Current cell = (4 ,4)   x=4, y=15"));
    typeBrush("TerrainType=TERRAIN_OCEAN");
    w->mapPage()->tools()->activate("Rectangle");
    drag(at(2, 2), at(6, 6));
    QCOMPARE(w->mapPage()->plotEditor()->memo()->text(), QStringLiteral("TerrainType=TERRAIN_OCEAN"));
    QCOMPARE(w->statusText(0), QStringLiteral("Paint TerrainType=TERRAIN_OCEAN on 25 plots"));
    QCOMPARE(w->statusText(2), QStringLiteral("Current cell = (4 ,4)   x=4, y=15")); // still selected
    QTRY_COMPARE(w->mapPage()->miniMap()->miniMapBitmap().pixel(4 * 3, 4 * 3), qRgb(0, 0, 255));
    // Applied memo text stays as typed, cursor and all.
    w->mapPage()->plotEditor()->memo()->setFocus();
    w->mapPage()->plotEditor()->memo()->moveCursor(QTextCursor::End);
    QTest::keyClick(w->mapPage()->plotEditor()->memo(), Qt::Key_Return);
    QTest::keyClicks(w->mapPage()->plotEditor()->memo(), "BonusType=BONUS_FISH");
    w->action(QStringLiteral("plotApply"))->trigger();
    QCOMPARE(w->mapPage()->plotEditor()->memo()->textCursor().position(), w->mapPage()->plotEditor()->memo()->text().size());
    // Erasing the terrain over it empties the memo's terrain line too.
    w->mapPage()->tools()->activate("Eraser");
    drag(at(4, 4), at(4, 4));
    QCOMPARE(w->mapPage()->plotEditor()->memo()->text(), QStringLiteral("BonusType=BONUS_FISH"));
    w->action(QStringLiteral("undo"))->trigger();
    QCOMPARE(w->mapPage()->plotEditor()->memo()->text(), QStringLiteral("TerrainType=TERRAIN_OCEAN\nBonusType=BONUS_FISH"));
}

// The wheel keeps the plot under the pointer in place; the size list keeps
// the selected plot in place. The wheel still moves the selection a row.
void TestPaintTools::zoomKeepsThePlotInPlace()
{
    newMap(300, 300);
    MapGrid *grid = w->mapPage()->grid();
    grid->setTopLeft(100, 100);
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, at(120, 110));
    const QPoint pointer = at(110, 105) + QPoint(3, 2);
    for (const int delta : {120, 120, -120, -120, -120}) {
        const QPoint under = grid->cellAt(pointer);
        const int row = grid->row();
        QWheelEvent ev(pointer, viewport()->mapToGlobal(pointer), QPoint(), QPoint(0, delta), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(&ev);
        qApp->notify(viewport(), &ev);
        QCOMPARE(grid->cellAt(pointer), under);
        QCOMPARE(grid->row(), row - delta / 120);
        QCOMPARE(w->mapPage()->grid()->currentCell()->chosenPlot().y(), grid->row());
    }
    QCOMPARE(grid->cellSize(), 14);
    // The list: the selected plot stays where it is on the screen, as near
    // as a whole cell of the new size allows.
    const QPoint selected(grid->col(), grid->row());
    QPoint shown = grid->cellRect(selected.x(), selected.y()).center();
    QVERIFY(viewport()->rect().contains(shown));
    for (const int index : {16, 0, 12}) {
        w->mapPage()->selectZoom(index);
        QCOMPARE(grid->cellSize(), MapToolBar::GridSizes[index]);
        const QPoint now = grid->cellRect(selected.x(), selected.y()).center();
        const int pitch = grid->cellSize() + grid->gridLineWidth();
        QVERIFY(std::abs(now.x() - shown.x()) < pitch && std::abs(now.y() - shown.y()) < pitch);
        shown = now;
    }
}

// The pieces through the mouse and the plot's menu: a start and a plot's
// units dragged with Select (not while their layer is off), the menu's
// commands, and a river drawn and taken away with the River tool (V). Each
// is one step named for it.
void TestPaintTools::piecesByMouseMenuAndRiverTool()
{
    // 3 x 2 plots; file (x, y) is cell (x, 1 - y). Player 0 starts on cell
    // (0, 0), a warrior stands on cell (1, 0).
    QVERIFY(w->files()->openMapFile(QStringLiteral(VOR4_FIXTURES_DIR "/../edit/starts-units/in")));
    w->action(QStringLiteral("mapPage"))->trigger();
    const QUndoStack *history = w->document()->undoStack();
    const auto startOf = [this](int slot) { return vor4::PlotFacts::startOf(w->stores().PlayerTexts[slot]).plot(); };
    const auto units = [this](int col, int row) { return vor4::PlotFacts::unitsOf(w->stores().PlotTexts.view(col, row)).size(); };
    drag(at(0, 0), at(2, 0));
    QCOMPARE(startOf(0), QPoint(2, 1));
    QCOMPARE(history->undoText(), QStringLiteral("Move start of player 0 to 2,1"));
    drag(at(1, 0), at(0, 1));
    QCOMPARE(units(0, 1), 1);
    QCOMPARE(history->undoText(), QStringLiteral("Move 1 unit from 1,1 to 0,0"));
    w->action(QStringLiteral("layerUnits"))->trigger();
    const int steps = history->count();
    drag(at(0, 1), at(1, 1));
    QCOMPARE(history->count(), steps);
    w->action(QStringLiteral("layerUnits"))->trigger();

    const auto command = [this](QPoint cell, const QString &text) {
        std::unique_ptr<QMenu> menu(w->mapPage()->pieces()->menuFor(cell));
        for (QAction *a : menu->actions() + menu->actions().first()->menu()->actions())
            if (a->text() == text && a->isEnabled()) {
                a->trigger();
                return true;
            }
        return false;
    };
    QVERIFY(command({1, 1}, QStringLiteral("player 1")));
    QCOMPARE(startOf(1), QPoint(1, 0));
    dialogs->texts << QStringLiteral("Ford");
    QVERIFY(command({1, 1}, QStringLiteral("Add sign…")));
    QCOMPARE(w->stores().SignTexts.size(), 3);
    QVERIFY(w->stores().SignTexts.last().endsWith("caption=Ford"));
    QVERIFY(command({1, 1}, QStringLiteral("Remove sign")));
    QVERIFY(command({1, 1}, QStringLiteral("Remove start of player 1")));
    QCOMPARE(startOf(1), std::nullopt);
    QCOMPARE(w->stores().SignTexts.size(), 1); // the plot's own sign went with the new one
    QVERIFY(command({0, 1}, QStringLiteral("Remove units")));
    QCOMPARE(units(0, 1), 0);
    QVERIFY(!command({0, 1}, QStringLiteral("Remove units")));

    // The river runs along the top edges of cells (0, 1) and (1, 1),
    // carried by the cells above them, flowing east.
    QTest::keyClick(w->mapPage()->grid(), Qt::Key_V);
    QVERIFY(qobject_cast<vor4::RiverTool *>(w->mapPage()->tools()->activeTool()));
    const auto corner = [this](int col, int row) { return w->mapPage()->grid()->cellRect(col, row).topLeft(); };
    drag(corner(0, 1), corner(2, 1));
    QCOMPARE(history->undoText(), QStringLiteral("Draw river along 2 edges"));
    for (int col : {0, 1}) {
        const vor4::PlotFacts::Rivers r = vor4::PlotFacts::riversOf(w->stores().PlotTexts.view(col, 0));
        QVERIFY(r.southEdge && r.weDirection == "1");
    }
    drag(corner(2, 1), corner(0, 1), Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(vor4::PlotFacts::riverEdgeCount(w->stores().PlotTexts), 0);
}

// The grid, the hover hint and the minimap show the pieces as each step,
// undo and redo leaves them, and the layer buttons take them away.
void TestPaintTools::overlayHintAndMiniMapFollowTheDocument()
{
    newMap(6, 5);
    w->action(QStringLiteral("miniMap"))->trigger();
    const QRect cell = w->mapPage()->grid()->cellRect(2, 2);
    const auto riverShown = [&] {
        const QColor c = viewport()->grab().toImage().pixel(cell.left() + 3, cell.bottom() + 1);
        return c.blue() > 200 && c.red() < 100;
    };
    const QColor red = vor4::playerColour(0, {});
    const auto startShown = [&] { return w->miniMapWindow()->picture().pixel(3 * 4 + 1, 3 * 1 + 1) == red.rgb(); };
    vor4::PieceEdits::setRiver(*w->document(), {2, 2}, vor4::PieceEdits::South, vor4::PieceEdits::East);
    vor4::PieceEdits::setStart(*w->document(), 0, {4, 1});
    QVERIFY(riverShown() && startShown());
    w->action(QStringLiteral("undo"))->trigger();
    w->action(QStringLiteral("undo"))->trigger();
    QVERIFY(!riverShown() && !startShown());
    w->action(QStringLiteral("redo"))->trigger();
    w->action(QStringLiteral("redo"))->trigger();
    QVERIFY(riverShown() && startShown());
    QTest::mouseMove(viewport(), cell.center());
    QVERIFY(hoverHint(w)->text().endsWith(QStringLiteral("\nRiver flowing east")));
    w->action(QStringLiteral("layerRivers"))->trigger();
    w->action(QStringLiteral("layerStarts"))->trigger();
    QVERIFY(!riverShown() && !startShown());
}

// Each entry of Map > Make symmetric hands its side and mode to the edit
// layer, on a played 9-player map: the other half becomes the image of
// this one, in one step; the status bar says what the edit layer says, and
// players kept without a partner come in an information box, never an
// error.
void TestPaintTools::makeSymmetricFromTheMenu()
{
    QVERIFY(w->files()->openMapFile(QStringLiteral(VOR4_FIXTURES_DIR "/multiplayer-9-52x52.Vor4WorldBuilderSave")));
    const QList<QAction *> entries = w->findChild<QMenu *>(QStringLiteral("MakeSymmetricMenu"))->actions();
    QCOMPARE(entries.size(), 8);
    const vor4::Document original = w->stores().deepCopy();
    for (int i = 0; i < entries.size(); ++i) {
        const vor4::Symmetry::Side side = vor4::Symmetry::Side(i / 2);
        const auto mode = vor4::Symmetry::Mode(i % 2);
        vor4::MapDocument alone;
        alone.adopt(original.deepCopy());
        const vor4::Symmetry::Result expected = vor4::Symmetry::makeSymmetric(alone, side, mode);
        const int steps = w->document()->undoStack()->index();
        const qsizetype informations = dialogs->informations.size();
        entries[i]->trigger();
        QCOMPARE(w->statusText(0), expected.message);
        QCOMPARE(buildSaveFile(w->stores()), buildSaveFile(alone.document()));
        QCOMPARE(w->document()->undoStack()->index(), steps + 1);
        QCOMPARE(dialogs->informations.size(), informations + (expected.notable ? 1 : 0));
        if (expected.notable)
            QCOMPARE(dialogs->informations.last(), expected.message);
        w->document()->undoStack()->undo();
        QCOMPARE(buildSaveFile(w->stores()), buildSaveFile(original));
    }
    QVERIFY(dialogs->messages.isEmpty());
    QVERIFY(!dialogs->informations.isEmpty());
}

// The Symmetry choice reaches every tool: a brush drag paints its mirror
// image too, in one step; a quarter turn waits for a square map and says so.
void TestPaintTools::symmetricPaintingByMouse()
{
    newMap(9, 6);
    const QList<QAction *> modes = w->mapPage()->tools()->symmetryGroup()->actions();
    QVERIFY(!modes[vor4::PaintSymmetry::Rotate90FourWays]->isEnabled());
    QCOMPARE(modes[vor4::PaintSymmetry::Rotate90FourWays]->toolTip(), QStringLiteral("Rotate 90° four ways needs a square map"));
    modes[vor4::PaintSymmetry::MirrorFourWays]->trigger();
    typeBrush(QStringLiteral("TerrainType=TERRAIN_GRASS"));
    w->mapPage()->tools()->activate(QStringLiteral("Brush"));
    const int steps = w->document()->undoStack()->count();
    drag(at(1, 1), at(2, 1));
    QCOMPARE(cellsWith(w, "TerrainType=TERRAIN_GRASS"),
             QSet<QPoint>({{1, 1}, {2, 1}, {7, 1}, {6, 1}, {1, 4}, {2, 4}, {7, 4}, {6, 4}}));
    QCOMPARE(w->document()->undoStack()->count(), steps + 1);
    dialogs->saveChoices << FakeDialogs::SaveChoice::Discard;
    newMap(6, 6);
    QVERIFY(modes[vor4::PaintSymmetry::Rotate90FourWays]->isEnabled());
}

// The magic wand (W) selects what a fill reaches, Shift adds and Ctrl takes
// away; Select same and the find bar's Select found make shapes too; the
// status bar counts them, and the brush paints only inside.
void TestPaintTools::selectionsOfAnyShape()
{
    newMap(6, 4);
    typeBrush(QStringLiteral("TerrainType=TERRAIN_OCEAN"));
    w->mapPage()->tools()->activate(QStringLiteral("Rectangle"));
    drag(at(0, 0), at(1, 1));
    drag(at(4, 2), at(5, 3));
    // Regions compared by the plots they hold, not by how they are cut up.
    const vor4::MapSelection &selection = w->document()->selection();
    QTest::keyClick(w->mapPage()->grid(), Qt::Key_W);
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, at(0, 0));
    QVERIFY((selection.region() ^ (QRegion(0, 0, 2, 2))).isEmpty());
    QTest::mouseClick(viewport(), Qt::LeftButton, Qt::ShiftModifier, at(5, 3));
    QVERIFY((selection.region() ^ (QRegion(0, 0, 2, 2) | QRect(4, 2, 2, 2))).isEmpty());
    QCOMPARE(w->regions()->selectionLabel()->text(), QStringLiteral("Selection: 8 plots"));
    QTest::mouseClick(viewport(), Qt::LeftButton, Qt::ControlModifier, at(1, 1));
    QVERIFY((selection.region() ^ (QRegion(4, 2, 2, 2))).isEmpty());
    typeBrush(QStringLiteral("TerrainType=TERRAIN_GRASS"));
    w->mapPage()->tools()->activate(QStringLiteral("Brush"));
    drag(at(3, 3), at(5, 3));
    QCOMPARE(cellsWith(w, "TerrainType=TERRAIN_GRASS"), QSet<QPoint>({{4, 3}, {5, 3}}));

    w->mapPage()->selectCell(0, 1);
    typeBrush(QStringLiteral("TerrainType=TERRAIN_OCEAN"));
    w->action(QStringLiteral("SelectSameAction"))->trigger();
    QVERIFY((selection.region() ^ (QRegion(0, 0, 2, 2) | QRect(4, 2, 2, 1))).isEmpty());
    vor4::FindOptions exact;
    w->mapPage()->findBar()->findText(QStringLiteral("GRASS"), exact);
    QTRY_COMPARE(w->mapPage()->findBar()->search().count(), 2);
    QTest::mouseClick(w->mapPage()->findBar()->selectFoundButton(), Qt::LeftButton);
    QVERIFY((selection.region() ^ (QRegion(4, 3, 2, 1))).isEmpty());
}

QTEST_MAIN(TestPaintTools)
#include "tst_painttools.moc"
