// Regions through the real windows: keys on the grid, the Edit and Map
// menus, the system clipboard between two windows and with plain text, the
// floating paste, the resize dialog, and the selection over the grid, the
// minimap and in the status bar.

#include "CurrentCell.h"
#include "PlotEditor.h"
#include "MiniMapFeed.h"
#include "ChangeSelection.h"
#include "FakeDialogs.h"
#include "FindBar.h"
#include "HistoryWindow.h"
#include "CommandButtons.h"
#include "MapGrid.h"
#include "MapToolBox.h"
#include "MapWriter.h"
#include "PastePreview.h"
#include "PlotBlocksMimeData.h"
#include "RegionActions.h"
#include "ResizeMapDialog.h"
#include "ResizePreview.h"
#include "SectionMemo.h"
#include "RegionEdits.h"
#include "Transforms.h"
#include "MainWindow.h"
#include "MapPage.h"
#include "MiniMapWindow.h"

#include <QAction>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QUndoView>
#include <QUndoStack>
#include <QtTest>
#include <memory>

namespace {

const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");
const QString Island = QStringLiteral(VOR4_FIXTURES_DIR "/island-15x15.Vor4WorldBuilderSave");

QByteArray bytesOf(const MainWindow *w) { return vor4::buildSaveFile(w->stores()); }

QAction *menuAction(QMenu *menu, const char *name)
{
    for (QAction *a : menu->actions())
        if (a->objectName() == QLatin1String(name))
            return a;
    return nullptr;
}

// The mean lightness of a cell's pixels: hatches and glyphs average out.
int lightness(const QImage &image, const QRect &cell)
{
    qint64 sum = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            sum += image.pixelColor(x, y).lightness();
    return int(sum / (qint64(cell.width()) * cell.height()));
}

// A move of the pointer over a cell of this window's grid, whatever window
// the system's pointer is over.
void hover(MapGrid *grid, QPoint cell)
{
    const QPoint at = grid->cellRect(cell.x(), cell.y()).center();
    QMouseEvent move(QEvent::MouseMove, at, grid->viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(grid->viewport(), &move);
}

} // namespace

class TestRegions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void selectAllEscapeAndTheStatusBar();
    void regionToolDragsARectangle();
    void copyAndPasteBetweenTwoWindows();
    void pasteFloatsUntilAClick();
    void openAndNewForgetTheMapBefore();
    void foreignTextIsRefused();
    void clipboardTextKeepsEveryByte();
    void memoKeepsItsOwnKeys();
    void cutAndDelete();
    void transformsFromTheMapMenu();
    void resizeDialog();
    void cropToSelection();
    void selectionIsDrawn();
    void selectionChangesAreSteps_data();
    void selectionChangesAreSteps();
    void screenMatchesAFreshPaint();

private:
    MainWindow *newWindow(const QString &map);
    void focusGrid(MainWindow *form);
    void key(MainWindow *form, QKeySequence::StandardKey standard);
    MainWindow *w = nullptr;
    FakeDialogs::State *dialogs = nullptr;
};

MainWindow *TestRegions::newWindow(const QString &map)
{
    auto *form = new MainWindow;
    form->show();
    dialogs->openAnswers << map;
    form->action(QStringLiteral("open"))->trigger();
    form->action(QStringLiteral("mapPage"))->trigger();
    return form;
}

void TestRegions::init()
{
    dialogs = FakeDialogs::install();
    w = newWindow(Continents);
    QVERIFY(QTest::qWaitForWindowActive(w));
    focusGrid(w);
}

void TestRegions::cleanup()
{
    delete w;
    w = nullptr;
}

void TestRegions::focusGrid(MainWindow *form)
{
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    QTest::mouseClick(form->mapPage()->grid()->viewport(), Qt::LeftButton, {}, form->mapPage()->grid()->cellRect(1, 1).center());
    QVERIFY(form->mapPage()->grid()->hasFocus());
}

void TestRegions::key(MainWindow *form, QKeySequence::StandardKey standard)
{
    const QKeyCombination k = QKeySequence(standard)[0];
    QTest::keyClick(form->mapPage()->grid(), k.key(), k.keyboardModifiers());
}

void TestRegions::selectAllEscapeAndTheStatusBar()
{
    RegionActions *regions = w->regions();
    QVERIFY(!regions->action(RegionActions::Copy)->isEnabled());
    QVERIFY(regions->selectionLabel()->text().isEmpty());
    key(w, QKeySequence::SelectAll);
    QCOMPARE(w->document()->selection().boundingRect(), QRect(0, 0, 64, 40));
    QCOMPARE(regions->selectionLabel()->text(), QStringLiteral("Selection 64 x 40"));
    QVERIFY(regions->action(RegionActions::Copy)->isEnabled() && regions->action(RegionActions::Crop)->isEnabled());
    QVERIFY(!regions->action(RegionActions::RotateClockwise)->isEnabled()); // 64 x 40 is no square
    QTest::keyClick(w->mapPage()->grid(), Qt::Key_Escape);
    QVERIFY(w->document()->selection().isEmpty());
    QVERIFY(regions->selectionLabel()->text().isEmpty());
    QVERIFY(regions->action(RegionActions::RotateClockwise)->isEnabled()); // the whole map turns
    // Every command names its key; the menus carry them.
    QCOMPARE(regions->action(RegionActions::Copy)->toolTip(),
             QStringLiteral("Copy (%1)").arg(QKeySequence(QKeySequence::Copy).toString(QKeySequence::NativeText)));
    QVERIFY(menuAction(w->editMenu(), "PasteAction"));
    QVERIFY(menuAction(w->mapMenu(), "RotateCounterClockwiseAction"));
    QVERIFY(menuAction(w->mapMenu(), "ResizeMapAction"));
}

void TestRegions::regionToolDragsARectangle()
{
    MapGrid *grid = w->mapPage()->grid();
    QWidget *port = grid->viewport();
    const auto at = [grid](int col, int row) { return grid->cellRect(col, row).center(); };
    QTest::keyClick(grid, Qt::Key_M);
    QAction *tool = w->mapPage()->tools()->toolAction(QStringLiteral("Region"));
    QVERIFY(tool && tool->isChecked());
    QCOMPARE(tool->toolTip(), QStringLiteral("Select region (M)"));
    // A drag selects the plots between its ends, whichever way it goes.
    QTest::mousePress(port, Qt::LeftButton, {}, at(6, 5));
    QTest::mouseMove(port, at(4, 4));
    QTest::mouseMove(port, at(2, 3));
    QTest::mouseRelease(port, Qt::LeftButton, {}, at(2, 3));
    QCOMPARE(w->document()->selection().boundingRect(), QRect(2, 3, 5, 3));
    QCOMPARE(w->regions()->selectionLabel()->text(), QStringLiteral("Selection 5 x 3"));
    QCOMPARE(w->document()->undoStack()->count(), 1); // a step, yet the map is unmodified
    QVERIFY(!w->isWindowModified());
    // Shift takes in the selection there was.
    QTest::mousePress(port, Qt::LeftButton, Qt::ShiftModifier, at(10, 10));
    QTest::mouseMove(port, at(11, 11));
    QTest::mouseRelease(port, Qt::LeftButton, Qt::ShiftModifier, at(11, 11));
    QCOMPARE(w->document()->selection().boundingRect(), QRect(QPoint(2, 3), QPoint(11, 11)));
    // A click inside keeps it, a click outside lets it go.
    QTest::mouseClick(port, Qt::LeftButton, {}, at(5, 5));
    QCOMPARE(w->document()->selection().boundingRect(), QRect(QPoint(2, 3), QPoint(11, 11)));
    QTest::mouseClick(port, Qt::LeftButton, {}, at(30, 15));
    QVERIFY(w->document()->selection().isEmpty());
    // The Select tool keeps to one plot: a click selects it, no region.
    QTest::keyClick(grid, Qt::Key_S);
    QTest::mousePress(port, Qt::LeftButton, {}, at(3, 3));
    QTest::mouseMove(port, at(7, 7));
    QTest::mouseRelease(port, Qt::LeftButton, {}, at(7, 7));
    QVERIFY(w->document()->selection().isEmpty());
    QCOMPARE(QPoint(grid->col(), grid->row()), QPoint(7, 7));
}

void TestRegions::copyAndPasteBetweenTwoWindows()
{
    // Copied in one editor, pasted in another: the clipboard carries the
    // plot blocks under the editor's type and as plain text.
    w->document()->push(new vor4::ChangeSelection(w->document(), QRect(20, 10, 6, 4)));
    key(w, QKeySequence::Copy);
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data->hasFormat(PlotBlocksMimeData::MimeType));
    const QByteArray blocks = data->data(PlotBlocksMimeData::MimeType);
    QVERIFY(blocks.startsWith("BeginPlot\r\n\tx=0,y=0\r\n"));
    QCOMPARE(data->text().toLatin1(), blocks);
    QCOMPARE(w->statusText(0), QStringLiteral("Copied 24 plots"));

    // Another editor's copy reaches this one as bytes under the editor's
    // type, read from their text.
    auto *foreign = new QMimeData;
    foreign->setData(PlotBlocksMimeData::MimeType, blocks);
    QGuiApplication::clipboard()->setMimeData(foreign);
    std::unique_ptr<MainWindow> guard(newWindow(Island));
    MainWindow *other = guard.get();
    focusGrid(other);
    const QByteArray before = bytesOf(other);
    key(other, QKeySequence::Paste);
    PastePreview *preview = other->regions()->pastePreview();
    QVERIFY(preview);
    QCOMPARE(preview->footprint().size(), QSize(6, 4));
    hover(other->mapPage()->grid(), QPoint(3, 5));
    QCOMPARE(preview->position(), QPoint(3, 5));
    QTest::mouseClick(other->mapPage()->grid()->viewport(), Qt::LeftButton, {}, other->mapPage()->grid()->cellRect(4, 6).center());
    QVERIFY(!other->regions()->pastePreview());
    QCOMPARE(other->statusText(0), QStringLiteral("Paste 24 plots"));
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 6; ++c)
            QCOMPARE(other->stores().PlotTexts.view(4 + c, 6 + r), w->stores().PlotTexts.view(20 + c, 10 + r));
    QCOMPARE(other->document()->selection().boundingRect(), QRect(4, 6, 6, 4));
    QVERIFY(other->isWindowModified());
    QCOMPARE(other->document()->undoStack()->undoText(), QStringLiteral("Paste 24 plots"));
    other->action(QStringLiteral("undo"))->trigger();
    QCOMPARE(bytesOf(other), before);
}

void TestRegions::pasteFloatsUntilAClick()
{
    w->document()->push(new vor4::ChangeSelection(w->document(), QRect(0, 0, 3, 3)));
    key(w, QKeySequence::Copy);
    const QByteArray before = bytesOf(w);
    // Escape lets the floating block go, the selection stays.
    key(w, QKeySequence::Paste);
    QVERIFY(w->regions()->pastePreview());
    QTest::keyClick(w->mapPage()->grid(), Qt::Key_Escape);
    QVERIFY(!w->regions()->pastePreview());
    QCOMPARE(w->document()->selection().boundingRect(), QRect(0, 0, 3, 3));
    QCOMPARE(w->statusText(0), QStringLiteral("Paste cancelled"));
    // The right button too; the cell under it is not selected.
    key(w, QKeySequence::Paste);
    const QPoint current(w->mapPage()->grid()->col(), w->mapPage()->grid()->row());
    QTest::mouseClick(w->mapPage()->grid()->viewport(), Qt::RightButton, {}, w->mapPage()->grid()->cellRect(8, 8).center());
    QVERIFY(!w->regions()->pastePreview());
    QCOMPARE(QPoint(w->mapPage()->grid()->col(), w->mapPage()->grid()->row()), current);
    QCOMPARE(bytesOf(w), before);
    // Over the map's edge: what lands inside is placed, with Enter at the
    // block's last place.
    key(w, QKeySequence::Paste);
    w->mapPage()->grid()->scrollIntoView(62, 38);
    hover(w->mapPage()->grid(), QPoint(62, 38));
    QTest::keyClick(w->mapPage()->grid(), Qt::Key_Return);
    QCOMPARE(w->statusText(0), QStringLiteral("Paste 4 plots"));
    QCOMPARE(w->stores().PlotTexts.text(63, 39), w->stores().PlotTexts.text(1, 1));
    QCOMPARE(w->document()->selection().boundingRect(), QRect(62, 38, 2, 2));
}

void TestRegions::openAndNewForgetTheMapBefore()
{
    for (QAction *button : {w->action(QStringLiteral("open")), w->action(QStringLiteral("new"))}) {
        key(w, QKeySequence::SelectAll);
        key(w, QKeySequence::Copy);
        w->mapPage()->findBar()->findText(QStringLiteral("GRASS"), {});
        key(w, QKeySequence::Paste);
        dialogs->openAnswers << Island;
        button->trigger();
        QVERIFY(w->document()->selection().isEmpty() && !w->regions()->pastePreview() && w->mapPage()->findBar()->isHidden());
        QCOMPARE(w->statusText(0), button == w->action(QStringLiteral("open")) ? QStringLiteral("Map ready...") : QString());
    }
}

void TestRegions::foreignTextIsRefused()
{
    const QByteArray before = bytesOf(w);
    QGuiApplication::clipboard()->setText(QStringLiteral("Shopping list: bread, milk"));
    key(w, QKeySequence::Paste);
    QVERIFY(!w->regions()->pastePreview());
    QVERIFY2(w->statusText(0).startsWith(QLatin1String("Nothing pasted: the clipboard holds no plots of a map")),
             qPrintable(w->statusText(0)));
    // Plot blocks typed in a text editor are taken.
    QGuiApplication::clipboard()->setText(QStringLiteral("BeginPlot\n  x=0,y=0\n  TerrainType=TERRAIN_SNOW\nEndPlot\n"));
    key(w, QKeySequence::Paste);
    QVERIFY(w->regions()->pastePreview());
    QTest::keyClick(w->mapPage()->grid(), Qt::Key_Escape);
    // A character no map file holds.
    QGuiApplication::clipboard()->setText(QStringLiteral("BeginPlot\nx=0,y=0\nName=\u20ac\nEndPlot\n"));
    key(w, QKeySequence::Paste);
    QVERIFY(!w->regions()->pastePreview());
    QCOMPARE(bytesOf(w), before);
    QCOMPARE(w->document()->undoStack()->count(), 0);
}

void TestRegions::clipboardTextKeepsEveryByte()
{
    // A plot with bytes beyond ASCII, copied: the editor's type carries the
    // bytes, plain text one character a byte, and a paste gives them back.
    QByteArray odd("Name=");
    for (int b = 0x80; b <= 0xFF; ++b)
        odd.append(char(b));
    const QByteArray before = w->stores().PlotTexts.text(3, 3);
    QTest::mouseClick(w->mapPage()->grid()->viewport(), Qt::LeftButton, {}, w->mapPage()->grid()->cellRect(3, 3).center());
    w->mapPage()->plotEditor()->memo()->setBytes(before + "\r\n" + odd);
    w->action(QStringLiteral("plotApply"))->trigger();
    const QByteArray stored = w->stores().PlotTexts.text(3, 3);
    QVERIFY(stored.endsWith(odd));
    focusGrid(w);
    w->document()->push(new vor4::ChangeSelection(w->document(), QRect(3, 3, 1, 1)));
    key(w, QKeySequence::Copy);
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    const QByteArray blocks = data->data(PlotBlocksMimeData::MimeType);
    QVERIFY(blocks.contains(odd));
    QCOMPARE(data->text(), QString::fromLatin1(blocks));
    QCOMPARE(data->data(QStringLiteral("text/plain")), QString::fromLatin1(blocks).toUtf8());
    // Read back from the plain text, as a text editor would hand it over.
    auto *plain = new QMimeData;
    plain->setText(data->text());
    QGuiApplication::clipboard()->setMimeData(plain);
    key(w, QKeySequence::Paste);
    QVERIFY(w->regions()->pastePreview());
    w->regions()->pastePreview()->moveTo(QPoint(10, 12));
    QTest::keyClick(w->mapPage()->grid(), Qt::Key_Return);
    QCOMPARE(w->stores().PlotTexts.text(10, 12), stored);
}

void TestRegions::memoKeepsItsOwnKeys()
{
    // Ctrl+C and Ctrl+V in the plot memo work on its text, not on plots.
    w->document()->push(new vor4::ChangeSelection(w->document(), QRect(0, 0, 2, 2)));
    QGuiApplication::clipboard()->setText(QStringLiteral("BonusType=BONUS_GOLD"));
    w->mapPage()->plotEditor()->memo()->setFocus();
    QVERIFY(w->mapPage()->plotEditor()->memo()->hasFocus());
    w->mapPage()->plotEditor()->memo()->selectAll();
    QTest::keyClick(w->mapPage()->plotEditor()->memo(), Qt::Key_End, Qt::ControlModifier);
    const QKeyCombination paste = QKeySequence(QKeySequence::Paste)[0];
    QTest::keyClick(w->mapPage()->plotEditor()->memo(), paste.key(), paste.keyboardModifiers());
    QVERIFY(w->mapPage()->plotEditor()->memo()->toPlainText().endsWith(QLatin1String("BonusType=BONUS_GOLD")));
    QVERIFY(!w->regions()->pastePreview());
    const QKeyCombination all = QKeySequence(QKeySequence::SelectAll)[0];
    QTest::keyClick(w->mapPage()->plotEditor()->memo(), all.key(), all.keyboardModifiers());
    QCOMPARE(w->document()->selection().boundingRect(), QRect(0, 0, 2, 2));
    const QKeyCombination copy = QKeySequence(QKeySequence::Copy)[0];
    QTest::keyClick(w->mapPage()->plotEditor()->memo(), copy.key(), copy.keyboardModifiers());
    QVERIFY(!QGuiApplication::clipboard()->mimeData()->hasFormat(PlotBlocksMimeData::MimeType));
}

void TestRegions::cutAndDelete()
{
    const QByteArray before = bytesOf(w);
    // The plot memo follows: the selected plot is inside the cut.
    QTest::mouseClick(w->mapPage()->grid()->viewport(), Qt::LeftButton, {}, w->mapPage()->grid()->cellRect(5, 5).center());
    QVERIFY(!w->mapPage()->plotEditor()->memo()->toPlainText().isEmpty());
    w->document()->push(new vor4::ChangeSelection(w->document(), QRect(4, 4, 3, 2)));
    key(w, QKeySequence::Cut);
    QCOMPARE(w->statusText(0), QStringLiteral("Cut 6 plots"));
    QVERIFY(w->stores().PlotTexts.isEmpty(5, 5));
    QVERIFY(w->mapPage()->plotEditor()->memo()->toPlainText().isEmpty());
    QVERIFY(QGuiApplication::clipboard()->mimeData()->data(PlotBlocksMimeData::MimeType).contains("TerrainType="));
    w->document()->push(new vor4::ChangeSelection(w->document(), QRect(10, 10, 2, 2)));
    key(w, QKeySequence::Delete);
    QCOMPARE(w->statusText(0), QStringLiteral("Delete 4 plots"));
    QVERIFY(w->stores().PlotTexts.isEmpty(11, 11));
    for (int i = 0; i < 3; ++i) // Delete, the selection before it, Cut
        w->action(QStringLiteral("undo"))->trigger();
    QCOMPARE(bytesOf(w), before);
    QVERIFY(!w->mapPage()->plotEditor()->memo()->toPlainText().isEmpty());
}

void TestRegions::transformsFromTheMapMenu()
{
    const QByteArray before = bytesOf(w);
    const QByteArray corner = w->stores().PlotTexts.text(0, 0);
    menuAction(w->mapMenu(), "FlipHorizontalAction")->trigger();
    QCOMPARE(w->statusText(0), QStringLiteral("Flip horizontally"));
    QCOMPARE(w->stores().PlotTexts.text(63, 0), corner);
    // A square selection turns by itself; the map keeps its size.
    w->mapPage()->selectCell(1, 1);
    w->document()->push(new vor4::ChangeSelection(w->document(), QRect(2, 2, 5, 5)));
    QVERIFY(w->regions()->action(RegionActions::RotateClockwise)->isEnabled());
    const QByteArray inside = w->stores().PlotTexts.text(2, 2);
    w->regions()->action(RegionActions::RotateClockwise)->trigger();
    QCOMPARE(w->statusText(0), QStringLiteral("Rotate 90° clockwise 5 x 5 plots"));
    QCOMPARE(w->stores().PlotTexts.text(6, 2), inside);
    QCOMPARE(w->mapPage()->grid()->currentCell()->chosenPlot(), QPoint(1, 1));
    // The whole map turned: width and height swap, the panels follow and no
    // plot is selected.
    w->document()->push(new vor4::ChangeSelection(w->document(), QRegion()));
    menuAction(w->mapMenu(), "RotateCounterClockwiseAction")->trigger();
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (40 x 64)"));
    QCOMPARE(w->mapPage()->grid()->colCount(), 40);
    QCOMPARE(w->mapPage()->miniMap()->miniMapBitmap().size(), QSize(120, 192));
    QCOMPARE(w->mapPage()->grid()->currentCell()->chosenPlot(), QPoint(-1, -1));
    // The start positions moved with their plots: none was lost.
    QCOMPARE(w->statusText(0), QStringLiteral("Rotate 90° counter-clockwise"));
    QCOMPARE(w->document()->undoStack()->undoText(), QStringLiteral("Rotate 90° counter-clockwise"));
    for (int i = 0; i < 5; ++i) // the three transforms and two selections
        w->action(QStringLiteral("undo"))->trigger();
    QCOMPARE(bytesOf(w), before);
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (64 x 40)"));
    QCOMPARE(w->mapPage()->miniMap()->miniMapBitmap().size(), QSize(192, 120));
}

void TestRegions::resizeDialog()
{
    const QByteArray before = bytesOf(w);
    const QByteArray topLeft = w->stores().PlotTexts.text(0, 0);
    // Ocean grows on the right and at the top: the old map is held at the
    // bottom left.
    bool seen = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<ResizeMapDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        seen = true;
        QCOMPARE(dialog->widthBox()->value(), 64);
        dialog->widthBox()->selectAll();
        QTest::keyClicks(dialog->widthBox(), QStringLiteral("80"));
        dialog->heightBox()->selectAll();
        QTest::keyClicks(dialog->heightBox(), QStringLiteral("50"));
        QTest::mouseClick(dialog->anchorButtons()->button(6), Qt::LeftButton);
        QCOMPARE(dialog->fileOffset(), QPoint(0, 0));
        QCOMPARE(dialog->summaryLabel()->text(), QStringLiteral("64 x 40 becomes 80 x 50: 4,000 plots."));
        QTest::mouseClick(dialog->anchorButtons()->button(0), Qt::LeftButton);
        QCOMPARE(dialog->fileOffset(), QPoint(0, 10));
        QTest::mouseClick(dialog->anchorButtons()->button(6), Qt::LeftButton);
        dialog->accept();
    });
    w->regions()->action(RegionActions::ResizeMap)->trigger();
    QVERIFY(seen);
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (80 x 50)"));
    QCOMPARE(w->statusText(0), QStringLiteral("Resize map to 80 x 50"));
    QCOMPARE(w->stores().PlotTexts.text(0, 10), topLeft);
    // New plots are ocean, as the picture paints them, in the same step; or empty.
    for (const QPoint cell : {QPoint(70, 45), QPoint(5, 5)})
        QCOMPARE(w->stores().PlotTexts.text(cell.x(), cell.y()), QByteArray("TerrainType=TERRAIN_OCEAN\r\nPlotType=3"));
    QCOMPARE(w->mapPage()->grid()->rowCount(), 50);
    // Cancelled: nothing happens.
    QTimer::singleShot(0, this, [] { QApplication::activeModalWidget()->close(); });
    w->regions()->action(RegionActions::ResizeMap)->trigger();
    QCOMPARE(w->document()->undoStack()->count(), 1);
    w->action(QStringLiteral("undo"))->trigger();
    QCOMPARE(bytesOf(w), before);
    QTimer::singleShot(0, this, [] {
        auto *dialog = qobject_cast<ResizeMapDialog *>(QApplication::activeModalWidget());
        dialog->widthBox()->setValue(70);
        dialog->newPlotsBox()->setCurrentIndex(1);
        QVERIFY(!dialog->preview()->oceanFill());
        dialog->accept();
    });
    w->regions()->action(RegionActions::ResizeMap)->trigger();
    QVERIFY(w->stores().PlotTexts.isEmpty(66, 5));

    // The offsets of the anchors, and the picture's promise.
    QCOMPARE(ResizeMapDialog::fileOffset(QSize(10, 10), QSize(14, 16), 4), QPoint(2, 3));
    QCOMPARE(ResizeMapDialog::fileOffset(QSize(10, 10), QSize(14, 16), 2), QPoint(4, 6));
    QCOMPARE(ResizeMapDialog::fileOffset(QSize(10, 10), QSize(6, 6), 8), QPoint(-4, 0));
}

void TestRegions::cropToSelection()
{
    const QByteArray before = bytesOf(w);
    const QByteArray kept = w->stores().PlotTexts.text(30, 20);
    w->document()->push(new vor4::ChangeSelection(w->document(), QRect(30, 20, 10, 8)));
    w->regions()->action(RegionActions::Crop)->trigger();
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (10 x 8)"));
    QVERIFY(w->statusText(0).startsWith(QLatin1String("Crop map to 10 x 8: ")));
    // The panel widens to show the note (whose players' units fell off the
    // map); a text longer than half the window is cut short, whole in the
    // tool tip, and never widens the window.
    QVERIFY(w->statusText(0).contains(QLatin1String(" units (2 of player 0, 3 of player 1")));
    QLabel *panel = w->findChild<QLabel *>(QStringLiteral("StatusPanel0"));
    QVERIFY(panel->toolTip() == w->statusText(0) && panel->width() > 200);
    const int width = w->width();
    w->setStatusText(0, w->statusText(0).repeated(8));
    QCoreApplication::processEvents();
    QVERIFY(w->width() == width && panel->width() == width / 2);
    QVERIFY(panel->text().contains(QChar(0x2026)) && panel->text().startsWith("Crop map to 10 x 8"));
    QCOMPARE(panel->toolTip(), w->statusText(0));
    // And the History window's step names.
    w->action(QStringLiteral("history"))->trigger();
    QUndoView *view = w->historyWindow()->view();
    const QPoint at = view->visualRect(view->model()->index(view->model()->rowCount() - 1, 0)).center();
    QHelpEvent tip(QEvent::ToolTip, at, view->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view->viewport(), &tip);
    QTRY_COMPARE(QToolTip::text(), QStringLiteral("Crop map to 10 x 8"));
    QCOMPARE(w->stores().PlotTexts.text(0, 0), kept);
    QVERIFY(w->document()->selection().isEmpty());
    QVERIFY(!w->regions()->action(RegionActions::Crop)->isEnabled());
    w->action(QStringLiteral("undo"))->trigger();
    QCOMPARE(bytesOf(w), before);
    QCOMPARE(w->document()->selection().boundingRect(), QRect(30, 20, 10, 8));
    QCOMPARE(w->regions()->selectionLabel()->text(), QStringLiteral("Selection 10 x 8"));
}

void TestRegions::selectionIsDrawn()
{
    w->action(QStringLiteral("miniMap"))->trigger();
    QVERIFY(w->miniMapWindow()->isVisible());
    MapGrid *grid = w->mapPage()->grid();
    const QRect cell = grid->cellRect(3, 3);
    const QImage plain = grid->viewport()->grab().toImage();
    w->document()->push(new vor4::ChangeSelection(w->document(), QRect(2, 2, 3, 3)));
    const QImage view = grid->viewport()->grab().toImage();
    // Lighter inside, yet the cell's own colour shows through.
    QVERIFY(lightness(view, cell) > lightness(plain, cell));
    QVERIFY(lightness(view, cell) < 250);
    // The outline around it, and nothing outside.
    const QRect pixels = grid->cellsArea(QRect(2, 2, 3, 3));
    QCOMPARE(view.pixelColor(pixels.topLeft() + QPoint(1, 1)), QColor(255, 255, 0));
    QCOMPARE(view.pixel(grid->cellRect(8, 8).center()), grid->viewport()->grab().toImage().pixel(grid->cellRect(8, 8).center()));
    // On the minimap, three pixels a plot.
    QCOMPARE(w->miniMapWindow()->picture().pixelColor(6, 6), QColor(255, 255, 0));
    QTest::keyClick(grid, Qt::Key_Escape);
    QVERIFY(w->miniMapWindow()->picture().pixelColor(6, 6) != QColor(255, 255, 0));
    QCOMPARE(grid->viewport()->grab().toImage(), plain);
}

void TestRegions::selectionChangesAreSteps_data()
{
    QTest::addColumn<QRegion>("prior");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QRegion>("after");
    const QRegion rect(2, 3, 5, 3), bar(2, 3, 2, 5), ell = bar | QRect(2, 6, 6, 2);
    const QRegion islands = QRegion(1, 1, 2, 2) | QRect(8, 8, 3, 2);
    QTest::newRow("drag") << ell << "drag 6,5 2,3" << rect;
    QTest::newRow("shift drag: L") << bar << "shift 4,6 7,7" << ell;
    QTest::newRow("shift drag: two islands") << QRegion(1, 1, 2, 2) << "shift 10,9 8,8" << islands;
    QTest::newRow("click outside") << islands << "drag 5,5 5,5" << QRegion();
    QTest::newRow("select all") << ell << "all" << QRegion(0, 0, 64, 40);
    QTest::newRow("escape") << islands << "escape" << QRegion();
    QTest::newRow("paste") << ell << "paste" << QRegion(5, 5, 3, 2);
}

void TestRegions::selectionChangesAreSteps()
{
    QFETCH(QRegion, prior);
    QFETCH(QString, change);
    QFETCH(QRegion, after);
    MapGrid *grid = w->mapPage()->grid();
    const QImage plain = grid->viewport()->grab().toImage();
    QGuiApplication::clipboard()->setMimeData(new PlotBlocksMimeData(
        std::make_shared<const vor4::PlotRegion>(vor4::RegionEdits::copy(*w->document(), QRect(20, 20, 3, 2)))));
    w->document()->push(new vor4::ChangeSelection(w->document(), prior));
    const int steps = w->document()->undoStack()->count();
    const QByteArray before = bytesOf(w);
    const QStringList words = change.split(' ');
    const auto at = [grid](const QString &cell) {
        return grid->cellRect(cell.section(',', 0, 0).toInt(), cell.section(',', 1).toInt()).center();
    };
    if (words.size() == 3) {
        QTest::keyClick(grid, Qt::Key_M);
        const Qt::KeyboardModifiers mods = words[0] == "shift" ? Qt::ShiftModifier : Qt::NoModifier;
        QTest::mousePress(grid->viewport(), Qt::LeftButton, mods, at(words[1]));
        QTest::mouseMove(grid->viewport(), at(words[2]));
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, mods, at(words[2]));
        QTest::keyClick(grid, Qt::Key_S); // no tool preview in the picture
    } else if (change == "all") {
        key(w, QKeySequence::SelectAll);
    } else if (change == "escape") {
        QTest::keyClick(grid, Qt::Key_Escape);
    } else {
        key(w, QKeySequence::Paste);
        hover(grid, QPoint(5, 5));
        QTest::keyClick(grid, Qt::Key_Return);
    }
    QCOMPARE(w->document()->selection().region(), after);
    QCOMPARE(w->document()->undoStack()->count(), steps + 1);
    QCOMPARE(w->isWindowModified(), change == "paste");
    // The outline runs along the region's own edges: a corner pixel of a
    // cell is dark where a neighbour on that side is not selected.
    const QImage view = grid->viewport()->grab().toImage();
    for (int row = 0; row < 12; ++row) {
        for (int col = 0; col < 12; ++col) {
            const QRect pixels = grid->cellsArea(QRect(col, row, 1, 1));
            if (!after.contains(QPoint(col, row))) {
                QCOMPARE(view.pixel(pixels.topLeft()), plain.pixel(pixels.topLeft()));
                continue;
            }
            for (const int d : {-1, 1}) {
                const bool edge = !after.contains(QPoint(col + d, row)) || !after.contains(QPoint(col, row + d))
                                  || !after.contains(QPoint(col + d, row + d));
                const QPoint corner = d < 0 ? pixels.topLeft() : pixels.bottomRight();
                QCOMPARE(view.pixelColor(corner) == Qt::black, edge);
            }
        }
    }
    w->action(QStringLiteral("undo"))->trigger();
    QCOMPARE(w->document()->selection().region(), prior);
    QCOMPARE(bytesOf(w), before);
    // Delete empties the selected plots, and only them.
    const vor4::Document kept = w->stores().deepCopy();
    w->document()->push(new vor4::ChangeSelection(w->document(), after));
    key(w, QKeySequence::Delete);
    for (int row = 0; row < 40; ++row)
        for (int col = 0; col < 64; ++col)
            QCOMPARE(w->stores().PlotTexts.text(col, row),
                     after.contains(QPoint(col, row)) ? QByteArray() : kept.PlotTexts.text(col, row));
}

void TestRegions::screenMatchesAFreshPaint()
{
    // Overlays that change take their cells from the grid's buffer; cells
    // that change in the same turn of the event loop are painted anew.
    MapGrid *grid = w->mapPage()->grid();
    // Big enough that a change of all its cells waits for the event loop.
    QVERIFY(vor4::Transforms::resize(*w->document(), QSize(100, 60), QPoint(0, 20)).ok); // the old map at the top
    grid->setFocus();
    // What the window shows: its backing store, as the screen has it (a
    // widget's grab would paint everything anew).
    const auto shown = [grid] {
        QCoreApplication::processEvents();
        QWidget *port = grid->viewport();
        const QPoint at = port->mapTo(port->window(), QPoint(0, 0));
        return QGuiApplication::primaryScreen()
            ->grabWindow(port->window()->winId(), at.x(), at.y(), port->width(), port->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    const auto fresh = [grid, &shown] {
        grid->repaintMap();
        return shown();
    };
    // In this order: the screen first, then the fresh paint.
    const auto matchesFresh = [&] {
        const QImage screen = shown();
        return !screen.isNull() && screen == fresh();
    };
    w->document()->push(new vor4::ChangeSelection(w->document(), QRect(2, 2, 6, 5)));
    key(w, QKeySequence::Delete);                                      // a few cells, at once
    QVERIFY(matchesFresh());
    // Below the windows: a change of many cells, then the overlay's, in one turn.
    QVERIFY(vor4::RegionEdits::paste(*w->document(), vor4::RegionEdits::copy(*w->document(), QRect(0, 0, 100, 60)),
                                     QPoint(3, 2)).ok);
    w->document()->push(new vor4::ChangeSelection(w->document(), QRect(0, 0, 100, 60)));
    QVERIFY(matchesFresh());
    key(w, QKeySequence::SelectAll);
    key(w, QKeySequence::Copy);
    key(w, QKeySequence::Delete);                                      // the whole map
    w->document()->push(new vor4::ChangeSelection(w->document(), QRect(1, 1, 3, 3))); // and an overlay, in one turn
    QVERIFY(matchesFresh());
    key(w, QKeySequence::Paste);
    hover(grid, QPoint(0, 0));
    QVERIFY(matchesFresh());
    QTest::keyClick(grid, Qt::Key_Return);                             // cells, selection, preview gone
    QVERIFY(matchesFresh());
    w->action(QStringLiteral("undo"))->trigger();
    QVERIFY(matchesFresh());
}

QTEST_MAIN(TestRegions)
#include "tst_regions.moc"
