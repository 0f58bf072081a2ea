// The map page of the main window: plot editor, zoom, hover hint, new map,
// and the map contents window and minimap working on it.

#include "PageParts.h"
#include "CurrentCell.h"
#include "PlotEditor.h"
#include "MiniMapFeed.h"
#include "DropDownComboBox.h"
#include "FakeDialogs.h"
#include "HintWindow.h"
#include "MapGrid.h"
#include "SectionMemo.h"
#include "SetPlotText.h"
#include "SideTabBar.h"
#include "SpinEdit.h"
#include "MainWindow.h"
#include "MapPage.h"
#include "SectionPage.h"
#include <QAction>
#include <QTimer>
#include "MapContentsWindow.h"
#include "MiniMapWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QSpontaneKeyEvent>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUndoStack>
#include <QtTest>

namespace {

const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");

// One wheel event as the window system sends it, so that the application
// gives the focus as it would for a real wheel.
void wheel(MapGrid *grid, const QPoint &pos, int delta)
{
    QWheelEvent ev(pos, grid->viewport()->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&ev);
    qApp->notify(grid->viewport(), &ev);
}

// A click into the field, then the text typed over what it held.
void typeInto(SpinEdit *spin, const char *text)
{
    QTest::mouseClick(spin->lineEdit(), Qt::LeftButton);
    spin->lineEdit()->selectAll();
    QTest::keyClicks(spin->lineEdit(), text);
}

bool writeData(const QString &installDir, const char *file, const QByteArray &bytes)
{
    const QString folder = installDir + "/Assets/XML/Terrain";
    QFile f(folder + "/" + file);
    return QDir().mkpath(folder) && f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class TestMapPage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void selectionFillsMemo();
    void autoApplyGoesToTheOldCell_data();
    void autoApplyGoesToTheOldCell();
    void autoApplyOff();
    void wheelKeepsTheMemoFocus();
    void noSelectedPlot_data();
    void noSelectedPlot();
    void clearRecallUndo();
    void bigPlotIsKeptAsItIs();
    void zoomByListAndWheel();
    void gridLinesAndLayers();
    void hoverHint();
    void newMapPrompt();
    void mapContentsChangeAndRecall();
    void textThatBreaksTheFileIsRefused();
    void catalogueBytesReachThePlot();
    void minimapFollowsGrid();

private:
    void clickCell(int col, int row);
    MainWindow *w = nullptr;
    FakeDialogs::State *dialogs = nullptr;
};

void TestMapPage::init()
{
    dialogs = FakeDialogs::install();
    w = new MainWindow;
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    dialogs->openAnswers << Continents;
    w->action(QStringLiteral("open"))->trigger();
    w->action(QStringLiteral("mapPage"))->trigger();
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (64 x 40)"));
}

void TestMapPage::cleanup()
{
    delete w;
}

void TestMapPage::clickCell(int col, int row)
{
    QTest::mouseClick(w->mapPage()->grid()->viewport(), Qt::LeftButton, {}, w->mapPage()->grid()->cellRect(col, row).center());
}

void TestMapPage::selectionFillsMemo()
{
    clickCell(3, 5);
    QCOMPARE(w->statusText(2), QStringLiteral("Current cell = (3 ,5)   x=3, y=34"));
    QByteArray text;
    QVERIFY(w->mapPage()->plotEditor()->memo()->bytes(&text));
    QCOMPARE(text, w->stores().PlotTexts.text(3, 5));
    QCOMPARE(w->mapPage()->grid()->currentCell()->chosenPlot(), QPoint(3, 5));
    // Right after a load nothing is selected: leaving the memo stores nothing.
    dialogs->openAnswers << Continents;
    w->action(QStringLiteral("open"))->trigger();
    QCOMPARE(w->mapPage()->grid()->currentCell()->chosenPlot(), QPoint(-1, -1));
    w->action(QStringLiteral("mapPage"))->trigger();
    const QByteArray before = w->stores().PlotTexts.text(0, 0);
    w->mapPage()->plotEditor()->memo()->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(w->mapPage()->plotEditor()->memo(), "Typed=1");
    w->sectionPage(vor4::SectionKind::Map)->edit()->setFocus(Qt::MouseFocusReason);
    QCOMPARE(w->stores().PlotTexts.text(0, 0), before);
}

void TestMapPage::autoApplyGoesToTheOldCell_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("click") << QStringLiteral("click");
    QTest::newRow("keyboard") << QStringLiteral("keyboard");
}

void TestMapPage::autoApplyGoesToTheOldCell()
{
    QFETCH(QString, how);
    clickCell(10, 10);
    const QByteArray next = w->stores().PlotTexts.text(10, 11);
    w->mapPage()->plotEditor()->memo()->setFocus(Qt::MouseFocusReason);
    w->mapPage()->plotEditor()->memo()->selectAll();
    QTest::keyClicks(w->mapPage()->plotEditor()->memo(), "TerrainType=TERRAIN_SNOW");
    if (how == QLatin1String("click")) {
        clickCell(10, 11);
    } else {
        QTest::keyClick(w->mapPage()->plotEditor()->memo(), Qt::Key_Tab, Qt::ControlModifier); // leave the memo
        QVERIFY(!w->mapPage()->plotEditor()->memo()->hasFocus());
        w->mapPage()->grid()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(w->mapPage()->grid(), Qt::Key_Down);
    }
    QCOMPARE(w->stores().PlotTexts.text(10, 10), QByteArray("TerrainType=TERRAIN_SNOW"));
    QCOMPARE(w->statusText(2), QStringLiteral("Current cell = (10 ,11)   x=10, y=28"));
    QByteArray shown;
    QVERIFY(w->mapPage()->plotEditor()->memo()->bytes(&shown));
    QCOMPARE(shown, next);
    QCOMPARE(w->stores().PlotTexts.text(10, 11), next);
}

void TestMapPage::autoApplyOff()
{
    w->action(QStringLiteral("autoApply"))->trigger();
    clickCell(4, 4);
    const QByteArray stored = w->stores().PlotTexts.text(4, 4);
    w->mapPage()->plotEditor()->memo()->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(w->mapPage()->plotEditor()->memo(), "Lost=1");
    clickCell(5, 4);
    QCOMPARE(w->stores().PlotTexts.text(4, 4), stored);
    // Apply is the way in; an applied empty text leaves the plot empty.
    w->mapPage()->plotEditor()->memo()->clear();
    w->action(QStringLiteral("plotApply"))->trigger();
    QVERIFY(w->stores().PlotTexts.text(5, 4).isEmpty());
}

void TestMapPage::wheelKeepsTheMemoFocus()
{
    MapGrid *grid = w->mapPage()->grid();
    clickCell(10, 10);
    const QByteArray stored = w->stores().PlotTexts.text(10, 10);
    const QByteArray next = w->stores().PlotTexts.text(10, 11);
    w->mapPage()->plotEditor()->memo()->setFocus(Qt::MouseFocusReason);
    // A Clear leaves a step to undo; then an edit that is not applied.
    w->action(QStringLiteral("plotClear"))->trigger();
    QTest::keyClicks(w->mapPage()->plotEditor()->memo(), "Edited=1");
    const QString recall = QString::fromLatin1(stored).replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QCOMPARE(w->mapPage()->plotEditor()->recallText(), recall);

    // A notch towards the user: smaller cells and the next row, an ordinary
    // selection; the edit is stored into the old cell as a click stores it,
    // and Recall has nothing of the old cell to bring back.
    wheel(grid, grid->cellRect(10, 10).center(), -120);
    QCOMPARE(grid->cellSize(), 14);
    QCOMPARE(w->statusText(2), QStringLiteral("Current cell = (10 ,11)   x=10, y=28"));
    QVERIFY(w->mapPage()->plotEditor()->memo()->hasFocus());
    QCOMPARE(w->stores().PlotTexts.text(10, 10), QByteArray("Edited=1"));
    QVERIFY(w->mapPage()->plotEditor()->recallText().isEmpty());
    QByteArray shown;
    QVERIFY(w->mapPage()->plotEditor()->memo()->bytes(&shown));
    QCOMPARE(shown, next);

    // In row 0 a notch up only zooms: the memo keeps its unapplied edit,
    // which reaches the cell when the memo is left.
    clickCell(4, 0);
    const QByteArray top = w->stores().PlotTexts.text(4, 0);
    w->mapPage()->plotEditor()->memo()->setFocus(Qt::MouseFocusReason);
    w->mapPage()->plotEditor()->memo()->moveCursor(QTextCursor::End);
    QTest::keyClicks(w->mapPage()->plotEditor()->memo(), "Kept=1");
    wheel(grid, grid->cellRect(4, 0).center(), 120);
    QCOMPARE(grid->cellSize(), 16);
    QVERIFY(w->mapPage()->plotEditor()->memo()->hasFocus());
    QCOMPARE(w->stores().PlotTexts.text(4, 0), top);
    QVERIFY(w->mapPage()->plotEditor()->memo()->toPlainText().endsWith(QLatin1String("Kept=1")));
    w->sectionPage(vor4::SectionKind::Map)->edit()->setFocus(Qt::MouseFocusReason);
    QVERIFY(w->stores().PlotTexts.text(4, 0).endsWith("Kept=1"));
}

void TestMapPage::noSelectedPlot_data()
{
    QTest::addColumn<QString>("button");
    for (const char *b : {"PlotApplyButton", "PlotRecallButton", "PlotClearButton", "ChangeBtn", "ClearBtn"})
        QTest::newRow(b) << QString::fromLatin1(b);
}

void TestMapPage::noSelectedPlot()
{
    // Right after Open nothing is selected, though the grid has a current cell.
    QFETCH(QString, button);
    w->action(QStringLiteral("mapContents"))->trigger();
    w->mapContentsWindow()->keyTabs()->setCurrentIndex(4); // the fixed plot types
    w->mapContentsWindow()->valueList()->setCurrentRow(0);
    auto *inContents = w->mapContentsWindow()->findChild<QToolButton *>(button);
    QTest::mouseClick(inContents ? inContents : w->findChild<QToolButton *>(button), Qt::LeftButton);
    QCOMPARE(w->document()->undoStack()->count(), 0);
    QCOMPARE(inContents ? w->mapContentsWindow()->panelText(0) : w->statusText(0), QStringLiteral("No plot selected"));
}

void TestMapPage::clearRecallUndo()
{
    clickCell(7, 7);
    const QByteArray original = w->stores().PlotTexts.text(7, 7);
    QVERIFY(!original.isEmpty());
    w->mapPage()->plotEditor()->memo()->setFocus(Qt::MouseFocusReason);
    // Clear, then Recall without leaving the memo: the text comes back.
    w->action(QStringLiteral("plotClear"))->trigger();
    QVERIFY(w->stores().PlotTexts.text(7, 7).isEmpty());
    QVERIFY(w->mapPage()->plotEditor()->memo()->hasFocus());
    w->action(QStringLiteral("plotRecall"))->trigger();
    QCOMPARE(w->stores().PlotTexts.text(7, 7), original);
    w->action(QStringLiteral("plotRecall"))->trigger(); // a second Recall: same text
    QCOMPARE(w->stores().PlotTexts.text(7, 7), original);
    // Save between Clear and Recall stores the memo but keeps what Recall brings.
    QTemporaryDir dir;
    dialogs->saveAnswers << dir.filePath(QStringLiteral("saved"));
    w->action(QStringLiteral("plotClear"))->trigger();
    w->action(QStringLiteral("saveAs"))->trigger();
    QCOMPARE(w->statusText(0), QStringLiteral("File Saved"));
    w->action(QStringLiteral("plotRecall"))->trigger();
    QCOMPARE(w->stores().PlotTexts.text(7, 7), original);

    // Clear, then a click in the map: Recall reloads the new cell's text.
    w->action(QStringLiteral("plotClear"))->trigger();
    clickCell(8, 7);
    QVERIFY(w->stores().PlotTexts.text(7, 7).isEmpty()); // auto-apply stored the cleared memo
    const QByteArray eight = w->stores().PlotTexts.text(8, 7);
    w->mapPage()->plotEditor()->memo()->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(w->mapPage()->plotEditor()->memo(), "Unapplied=1");
    w->action(QStringLiteral("plotRecall"))->trigger();
    QByteArray shown;
    QVERIFY(w->mapPage()->plotEditor()->memo()->bytes(&shown));
    QCOMPARE(shown, eight);
    QCOMPARE(w->stores().PlotTexts.text(8, 7), eight);

    // Clear on an empty memo leaves nothing to recall but the stored text.
    w->mapPage()->plotEditor()->memo()->clear();
    w->action(QStringLiteral("plotClear"))->trigger();
    w->action(QStringLiteral("plotRecall"))->trigger();
    QVERIFY(w->mapPage()->plotEditor()->memo()->toPlainText().isEmpty());
}

void TestMapPage::bigPlotIsKeptAsItIs()
{
    // A plot text above 1 MB shows as a notice and its first lines,
    // read-only, and nothing that goes through the memo changes it.
    const QByteArray stored = "Sign=" + QByteArray(3 << 20, 'A') + QByteArray("\r\nK=1").repeated(99999);
    w->document()->push(new vor4::SetPlotText(w->document(), 0, 39, stored, QStringLiteral("Big plot")));
    clickCell(0, 39);
    const QString notice = QStringLiteral("This plot's text is 3 MB: it is kept as it is and cannot be edited here");
    QVERIFY(w->mapPage()->plotEditor()->memo()->isReadOnly() && w->mapPage()->plotEditor()->memo()->toPlainText().size() < 20000);
    QVERIFY(w->mapPage()->plotEditor()->memo()->toPlainText().startsWith(notice + QStringLiteral("\n\nSign=AAA")));
    w->mapPage()->plotEditor()->memo()->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(w->mapPage()->plotEditor()->memo(), "x");
    QCOMPARE(w->statusText(0), notice);
    w->action(QStringLiteral("plotClear"))->trigger();
    w->action(QStringLiteral("plotRecall"))->trigger(); // the whole text back
    clickCell(1, 39); // leaving stores it as it is
    QCOMPARE(w->stores().PlotTexts.text(0, 39), stored);
    QCOMPARE(w->document()->undoStack()->count(), 3);
    // A message quoting such a text is cut before the status bar lays it out.
    w->setStatusText(0, QString(3 << 20, u'x'));
    QCOMPARE(w->statusText(0).size(), Dialogs::MaxMessage);
}

void TestMapPage::zoomByListAndWheel()
{
    MapGrid *grid = w->mapPage()->grid();
    QCOMPARE(grid->cellSize(), 16);
    QCOMPARE(zoomBox(w)->currentIndex(), 9);
    // Choosing from the list.
    zoomBox(w)->setFocus();
    QTest::keyClick(zoomBox(w), Qt::Key_Down);
    QCOMPARE(grid->cellSize(), 20);
    // The list opening stops the hint timer; a choice starts it again.
    zoomBox(w)->showPopup();
    QVERIFY(!hoverTimer(w)->isActive());
    zoomBox(w)->hidePopup();
    QVERIFY(hoverTimer(w)->isActive()); // closed without a choice
    QTest::keyClick(zoomBox(w), Qt::Key_Up);
    QVERIFY(hoverTimer(w)->isActive());
    QCOMPARE(grid->cellSize(), 16);

    // The wheel: one size per notch, stopping at 64; the selection still moves.
    clickCell(2, 5);
    for (int i = 0; i < 9; ++i)
        wheel(grid, grid->cellRect(grid->col(), grid->row()).center(), 120);
    QCOMPARE(grid->cellSize(), 64);
    QCOMPARE(zoomBox(w)->currentIndex(), 16);
    QCOMPARE(grid->row(), 0);
    QCOMPARE(w->statusText(2), QStringLiteral("Current cell = (2 ,0)   x=2, y=39"));
    for (int i = 0; i < 20; ++i)
        wheel(grid, QPoint(5, 5), -120);
    QCOMPARE(grid->cellSize(), 4);
    QCOMPARE(grid->row(), 20);
}

void TestMapPage::gridLinesAndLayers()
{
    MapGrid *grid = w->mapPage()->grid();
    QCOMPARE(grid->cellRect(1, 0).left(), 17);
    w->action(QStringLiteral("gridLines"))->trigger();
    QCOMPARE(grid->gridLineWidth(), 0);
    QCOMPARE(grid->cellRect(1, 0).left(), 16);
    QCOMPARE(grid->cellRect(1, 0).width(), 16);

    // A layer button takes its layer off the painted grid.
    auto *terrain = w->findChild<QToolButton *>(QStringLiteral("layerTerrainButton"));
    QVERIFY(terrain && terrain->isChecked());
    QCOMPARE(terrain->toolTip(), QStringLiteral("Show Terrain"));
    QTest::mouseClick(terrain, Qt::LeftButton);
    QVERIFY(!grid->layers().terrain);
    QVERIFY(grid->layers().hill);
    QCOMPARE(w->findChild<QToolButton *>(QStringLiteral("layerFloodButton"))->toolTip(),
             QStringLiteral("Show Flooding Plains"));
}

void TestMapPage::hoverHint()
{
    MapGrid *grid = w->mapPage()->grid();
    // A grid line names the cell on its left (vertical) or above it (horizontal).
    const QRect c = grid->cellRect(7, 2);
    QTest::mouseMove(grid->viewport(), QPoint(c.right() + 1, c.center().y()));
    const QString seven = QStringLiteral("(7,2)   x=7, y=37");
    QTRY_COMPARE(w->statusText(0), seven);
    QTest::mouseMove(grid->viewport(), QPoint(c.center().x(), c.bottom() + 1));
    QTRY_COMPARE(::hoverHint(w)->text(), seven);
    QTest::mouseMove(grid->viewport(), c.bottomRight() + QPoint(1, 1));
    QTRY_COMPARE(w->statusText(0), seven);

    const QPoint inCell = grid->cellRect(12, 3).center();
    QTest::mouseMove(grid->viewport(), inCell);
    QTRY_COMPARE(w->statusText(0), QStringLiteral("(12,3)   x=12, y=36"));
    QVERIFY(::hoverHint(w)->isVisible());
    QCOMPARE(::hoverHint(w)->text(), QStringLiteral("(12,3)   x=12, y=36"));
    QCOMPARE(::hoverHint(w)->pos(), grid->viewport()->mapToGlobal(inCell + QPoint(16, 16)));
    // Beyond the last column: hidden at once, and panel 0 emptied whatever it held.
    w->mapPage()->selectZoom(0);
    w->setStatusText(0, QStringLiteral("File Saved"));
    QTest::mouseMove(grid->viewport(), QPoint(grid->viewport()->width() - 3, 5));
    QTRY_VERIFY(!::hoverHint(w)->isVisible());
    QCOMPARE(w->statusText(0), QString());

    // Off the grid the timer hides the hint, but leaves other news alone.
    QTest::mouseMove(grid->viewport(), grid->cellRect(12, 3).center());
    QTRY_COMPARE(w->statusText(0), QStringLiteral("(12,3)   x=12, y=36"));
    QTest::mouseMove(w->mapPage()->plotEditor()->memo(), QPoint(5, 5));
    QTRY_VERIFY(!::hoverHint(w)->isVisible());
    QCOMPARE(w->statusText(0), QString());
    w->setStatusText(0, QStringLiteral("File Saved"));
    QTest::qWait(250); // the timer ticks with the pointer off the grid
    QCOMPARE(w->statusText(0), QStringLiteral("File Saved"));
    // Another page hides the hint at once: no timer hides it there.
    QTest::mouseMove(grid->viewport(), grid->cellRect(12, 3).center());
    QTRY_VERIFY(::hoverHint(w)->isVisible());
    w->action(QStringLiteral("rulesPage"))->trigger();
    QVERIFY(!::hoverHint(w)->isVisible());
}

void TestMapPage::newMapPrompt()
{
    QVERIFY(!::newMapPrompt(w)->isVisible());
    w->action(QStringLiteral("newMap"))->trigger();
    QVERIFY(::newMapPrompt(w)->isVisible());
    // The title bar has the colour of an active caption: the highlight.
    auto *label = ::newMapPrompt(w)->findChild<QLabel *>(QStringLiteral("PromptLabel"));
    QVERIFY(label);
    const QImage title = label->grab().toImage();
    const QColor caption = label->palette().color(QPalette::Active, QPalette::Highlight);
    QCOMPARE(title.pixelColor(1, title.height() - 2), caption);
    QCOMPARE(title.pixelColor(title.width() - 2, 1), caption);
    QVERIFY(!hoverTimer(w)->isActive());
    QCOMPARE(mapWidthBox(w)->value(), 16);
    QTest::mouseClick(newMapOkButton(w), Qt::LeftButton);
    QVERIFY(!::newMapPrompt(w)->isVisible());
    QVERIFY(hoverTimer(w)->isActive());
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (16 x 16)"));
    // An untitled map: Save cannot overwrite the file opened before.
    QCOMPARE(w->caption(), QStringLiteral("Vor4DemoMapEditor - Untitled"));
    QVERIFY(w->stores().FileName.isEmpty());
    QCOMPARE(w->currentPage(), int(MainWindow::MapEditorPage));

    // 40 x 25 typed; a terrain applied at (30, 20) paints there.
    w->action(QStringLiteral("newMap"))->trigger();
    for (auto [spin, text] : {std::pair{mapWidthBox(w), "40"}, std::pair{mapHeightBox(w), "25"}})
        typeInto(spin, text);
    QTest::mouseClick(newMapOkButton(w), Qt::LeftButton);
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (40 x 25)"));
    QCOMPARE(w->mapPage()->miniMap()->miniMapBitmap().size(), QSize(120, 75));
    w->mapPage()->grid()->setTopLeft(25, 15);
    clickCell(30, 20);
    w->mapPage()->plotEditor()->memo()->setPlainText(QStringLiteral("TerrainType=TERRAIN_DESERT"));
    w->action(QStringLiteral("plotApply"))->trigger();
    const QImage shot = w->mapPage()->grid()->viewport()->grab().toImage();
    const QRect cell = w->mapPage()->grid()->cellRect(30, 20);
    QCOMPARE(shot.pixelColor(cell.left() + 1, cell.top() + 1), QColor(255, 255, 0));

    // Cancel changes nothing but keeps what was typed.
    w->action(QStringLiteral("newMap"))->trigger();
    typeInto(mapWidthBox(w), "7");
    QTest::mouseClick(newMapCancelButton(w), Qt::LeftButton);
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (40 x 25)"));
    QCOMPARE(mapWidthBox(w)->readValue(), 7);

    // Out of range and letters: the number is brought to its bound, the
    // letters stay as typed and read as 0; 0 x 0 gives one cell.
    w->action(QStringLiteral("newMap"))->trigger();
    typeInto(mapWidthBox(w), "5000");
    typeInto(mapHeightBox(w), "abc");
    // The 40 x 25 map holds an edit: Ok asks first, and Cancel keeps it all.
    QTest::mouseClick(newMapOkButton(w), Qt::LeftButton);
    QCOMPARE(dialogs->saveQuestions, QStringList{QStringLiteral("Untitled")});
    QVERIFY(::newMapPrompt(w)->isVisible());
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (40 x 25)"));
    dialogs->saveChoices << Dialogs::SaveChoice::Discard;
    QTest::mouseClick(newMapOkButton(w), Qt::LeftButton);
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (1000 x 1)"));
    QCOMPARE(mapWidthBox(w)->lineEdit()->text(), QStringLiteral("1000"));
    QCOMPARE(mapHeightBox(w)->lineEdit()->text(), QStringLiteral("abc"));
    w->action(QStringLiteral("newMap"))->trigger();
    QCOMPARE(mapHeightBox(w)->lineEdit()->text(), QStringLiteral("abc"));
    QTest::mouseClick(mapHeightBox(w)->lineEdit(), Qt::LeftButton);
    QTest::keyClick(mapHeightBox(w), Qt::Key_Up); // the arrows start from what it reads
    QCOMPARE(mapHeightBox(w)->lineEdit()->text(), QStringLiteral("1"));
    typeInto(mapHeightBox(w), "-7");
    QTest::mouseClick(newMapCancelButton(w), Qt::LeftButton);
    QCOMPARE(mapHeightBox(w)->lineEdit()->text(), QStringLiteral("0"));
    w->action(QStringLiteral("newMap"))->trigger();
    typeInto(mapWidthBox(w), "0");
    QTest::mouseClick(newMapOkButton(w), Qt::LeftButton);
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (1 x 1)"));
    QCOMPARE(w->mapPage()->miniMap()->miniMapBitmap().size(), QSize(0, 0));
}

void TestMapPage::mapContentsChangeAndRecall()
{
    clickCell(20, 20);
    const QByteArray before = w->stores().PlotTexts.text(20, 20);
    QVERIFY(before.contains("PlotType="));
    w->action(QStringLiteral("mapContents"))->trigger();
    QVERIFY(w->mapContentsWindow()->isVisible());
    QVERIFY(w->mapContentsWindow()->isToolBarVisible());
    w->mapContentsWindow()->keyTabs()->setCurrentIndex(4); // PlotType: the fixed list
    w->mapContentsWindow()->valueList()->setCurrentRow(0);
    QTest::mouseClick(w->mapContentsWindow()->changeButton(), Qt::LeftButton);
    QVERIFY(w->stores().PlotTexts.text(20, 20).contains("PlotType=0"));
    QCOMPARE(w->mapContentsWindow()->panelText(0), QStringLiteral("PlotType changed"));
    // Recall in the main window undoes the change (the memo kept the focus).
    w->action(QStringLiteral("plotRecall"))->trigger();
    QCOMPARE(w->stores().PlotTexts.text(20, 20), before);

    // Leaving the map page hides the Change/Clear bar; the window stays.
    w->action(QStringLiteral("rulesPage"))->trigger();
    QVERIFY(!w->mapContentsWindow()->isToolBarVisible());
    QVERIFY(w->mapContentsWindow()->isVisible());
    w->action(QStringLiteral("mapPage"))->trigger();
    QVERIFY(w->mapContentsWindow()->isToolBarVisible());
    w->mapContentsWindow()->close();
    QVERIFY(!w->action(QStringLiteral("mapContents"))->isChecked());
}

void TestMapPage::textThatBreaksTheFileIsRefused()
{
    // Apply, Save and leaving the memo refuse a keyword line alike; the plot keeps its text.
    const int steps = w->document()->undoStack()->count();
    clickCell(4, 4);
    const QByteArray plot = w->stores().PlotTexts.text(4, 4);
    w->mapPage()->plotEditor()->memo()->setFocus(Qt::MouseFocusReason);
    w->mapPage()->plotEditor()->memo()->moveCursor(QTextCursor::End);
    QTest::keyClick(w->mapPage()->plotEditor()->memo(), Qt::Key_Return);
    QTest::keyClicks(w->mapPage()->plotEditor()->memo(), " endplot ");
    w->action(QStringLiteral("plotApply"))->trigger();
    w->action(QStringLiteral("save"))->trigger();
    QTRY_COMPARE(dialogs->messages.size(), 2);
    clickCell(5, 4);
    QTRY_COMPARE(dialogs->messages.size(), 3);
    QVERIFY(dialogs->messages.first().contains("\"endplot\""));
    QCOMPARE(w->stores().PlotTexts.text(4, 4), plot);
    QVERIFY(!w->statusText(0).contains("Saved"));
    // A coordinate line only breaks a plot; in the game rules a keyword does.
    w->mapPage()->plotEditor()->memo()->setPlainText("TerrainType=x=1,y=2");
    QVERIFY(!w->mapPage()->plotEditor()->applyPlot() && dialogs->messages.last().contains("plot's coordinates"));
    w->action(QStringLiteral("rulesPage"))->trigger();
    w->sectionPage(vor4::SectionKind::Game)->edit()->setPlainText("x=1,y=2\nEndGame");
    w->sectionPage(vor4::SectionKind::Game)->applyAction()->trigger();
    QVERIFY(dialogs->messages.last().contains("\"EndGame\"") && !w->stores().GameLines.contains("EndGame"));
    QCOMPARE(w->document()->undoStack()->count(), steps);
}

void TestMapPage::catalogueBytesReachThePlot()
{
    // A data file in UTF-8: its bytes reach the plot as they are.
    QTemporaryDir dir;
    QVERIFY(writeData(dir.path(), "VOR4TerrainInfos.xml",
                      "<Type>TERRAIN_CAF\xC3\x89</Type>\n<Type>TERRAIN_\xE2\x82\xAC</Type>\n"));
    w->mapContentsWindow()->setInstallDir(dir.path());
    clickCell(6, 6);
    w->mapPage()->plotEditor()->memo()->setFocus(Qt::MouseFocusReason);
    w->mapPage()->plotEditor()->memo()->setBytes("Note=a\xA0" "b\xA0\r\nTerrainType=TERRAIN_GRASS");
    w->action(QStringLiteral("mapContents"))->trigger();
    for (const QByteArray &type : {QByteArray("TERRAIN_CAF\xC3\x89"), QByteArray("TERRAIN_\xE2\x82\xAC")}) {
        w->mapContentsWindow()->valueList()->setCurrentRow(type.endsWith("\xAC") ? 1 : 0);
        QTest::mouseClick(w->mapContentsWindow()->changeButton(), Qt::LeftButton);
        QCOMPARE(w->stores().PlotTexts.text(6, 6), "Note=a\xA0" "b\xA0\r\nTerrainType=" + type);
        QCOMPARE(w->mapContentsWindow()->panelText(0), QStringLiteral("TerrainType changed"));
    }
    QVERIFY(dialogs->messages.isEmpty());

    // A character that no map file can hold: nothing is stored, and neither
    // Change nor Clear says otherwise.
    const QByteArray stored = w->stores().PlotTexts.text(6, 6);
    w->mapPage()->plotEditor()->memo()->moveCursor(QTextCursor::End);
    w->mapPage()->plotEditor()->memo()->insertPlainText(QString::fromUtf8("\nName=\u0141\u00f3d\u017a"));
    w->mapContentsWindow()->valueList()->setCurrentRow(0);
    QTest::mouseClick(w->mapContentsWindow()->changeButton(), Qt::LeftButton);
    QCOMPARE(w->mapContentsWindow()->panelText(0), QStringLiteral("TerrainType not stored"));
    QTest::mouseClick(w->mapContentsWindow()->clearButton(), Qt::LeftButton);
    QCOMPARE(w->mapContentsWindow()->panelText(0), QStringLiteral("TerrainType not stored"));
    QCOMPARE(w->stores().PlotTexts.text(6, 6), stored);
    QTRY_COMPARE(dialogs->messages.size(), 2);
}

void TestMapPage::minimapFollowsGrid()
{
    w->action(QStringLiteral("miniMap"))->trigger();
    QVERIFY(w->miniMapWindow()->isVisible());
    w->mapPage()->grid()->setTopLeft(5, 3);
    QCOMPARE(w->miniMapWindow()->viewFrame().left, 15);
    QCOMPARE(w->miniMapWindow()->viewFrame().top, 9);
    // Asked beyond the end, the grid stops at its last position; so does the frame.
    w->mapPage()->miniMap()->scrollGridTo(1000, 1000, false);
    QCOMPARE(w->mapPage()->grid()->leftCol(), w->mapPage()->grid()->maxLeftCol());
    QCOMPARE(w->miniMapWindow()->viewFrame().left, 3 * w->mapPage()->grid()->maxLeftCol());
    // A click on the minimap scrolls the grid to centre there.
    QTest::mouseClick(w->miniMapWindow()->pictureLabel(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(w->mapPage()->grid()->leftCol(), 0);
    QCOMPARE(w->mapPage()->grid()->topRow(), 0);
    w->miniMapWindow()->close();
    QVERIFY(!w->action(QStringLiteral("miniMap"))->isChecked());
}

QTEST_MAIN(TestMapPage)
#include "tst_mappage.moc"
