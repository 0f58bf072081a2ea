// The map page of the main window: plot editor, zoom, hover hint, new map,
// and the map contents window and minimap working on it.

#include "DropDownComboBox.h"
#include "FakeDialogs.h"
#include "HintWindow.h"
#include "MapGrid.h"
#include "SectionMemo.h"
#include "SpinEdit.h"
#include "ZedMain.h"
#include "ZedMapContents.h"
#include "ZedMiniMap.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <QtTest>

namespace {

const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");

void wheel(MapGrid *grid, const QPoint &pos, int delta)
{
    QWheelEvent ev(pos, grid->viewport()->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid->viewport(), &ev);
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
    void clearRecallUndo();
    void zoomByListAndWheel();
    void gridLinesAndLayers();
    void hoverHint();
    void newMapPrompt();
    void mapContentsChangeAndRecall();
    void minimapFollowsGrid();

private:
    void clickCell(int col, int row);
    TForm1 *w = nullptr;
    FakeDialogs::State *dialogs = nullptr;
};

void TestMapPage::init()
{
    dialogs = FakeDialogs::install();
    w = new TForm1;
    Form1 = w;
    Form2 = new TForm2(w, w);
    Form3 = new TForm3(w, w);
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    dialogs->openAnswers << Continents;
    QTest::mouseClick(w->OpenBtn, Qt::LeftButton);
    QTest::mouseClick(w->MapBtn, Qt::LeftButton);
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (64 x 40)"));
}

void TestMapPage::cleanup()
{
    delete w;
    Form1 = nullptr;
    Form2 = nullptr;
    Form3 = nullptr;
}

void TestMapPage::clickCell(int col, int row)
{
    QTest::mouseClick(w->DrawGrid->viewport(), Qt::LeftButton, {}, w->DrawGrid->cellRect(col, row).center());
}

void TestMapPage::selectionFillsMemo()
{
    clickCell(3, 5);
    QCOMPARE(w->statusText(2), QStringLiteral("Current cell = (3 ,5)   x=3, y=34"));
    QByteArray text;
    QVERIFY(w->Memo->bytes(&text));
    QCOMPARE(text, w->Doc.PlotTexts.text(3, 5));
    QCOMPARE(w->Doc.CurrentCol, 3);
    QCOMPARE(w->Doc.CurrentRow, 5);
    // Right after a load nothing is selected: leaving the memo stores nothing.
    dialogs->openAnswers << Continents;
    QTest::mouseClick(w->OpenBtn, Qt::LeftButton);
    QCOMPARE(w->Doc.CurrentCol, -1);
    QTest::mouseClick(w->MapBtn, Qt::LeftButton);
    const QByteArray before = w->Doc.PlotTexts.text(0, 0);
    w->Memo->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(w->Memo, "Typed=1");
    w->MMemo->setFocus(Qt::MouseFocusReason);
    QCOMPARE(w->Doc.PlotTexts.text(0, 0), before);
}

void TestMapPage::autoApplyGoesToTheOldCell_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("click") << QStringLiteral("click");
    QTest::newRow("wheel") << QStringLiteral("wheel");
    QTest::newRow("keyboard") << QStringLiteral("keyboard");
}

void TestMapPage::autoApplyGoesToTheOldCell()
{
    QFETCH(QString, how);
    clickCell(10, 10);
    const QByteArray next = w->Doc.PlotTexts.text(10, 11);
    w->Memo->setFocus(Qt::MouseFocusReason);
    w->Memo->selectAll();
    QTest::keyClicks(w->Memo, "TerrainType=TERRAIN_SNOW");
    if (how == QLatin1String("click")) {
        clickCell(10, 11);
    } else if (how == QLatin1String("wheel")) {
        wheel(w->DrawGrid, w->DrawGrid->cellRect(10, 10).center(), -120); // towards the user: a row down
    } else {
        QTest::keyClick(w->Memo, Qt::Key_Tab, Qt::ControlModifier); // leave the memo
        QVERIFY(!w->Memo->hasFocus());
        w->DrawGrid->setFocus(Qt::TabFocusReason);
        QTest::keyClick(w->DrawGrid, Qt::Key_Down);
    }
    QCOMPARE(w->Doc.PlotTexts.text(10, 10), QByteArray("TerrainType=TERRAIN_SNOW"));
    QCOMPARE(w->statusText(2), QStringLiteral("Current cell = (10 ,11)   x=10, y=28"));
    QByteArray shown;
    QVERIFY(w->Memo->bytes(&shown));
    QCOMPARE(shown, next);
    QCOMPARE(w->Doc.PlotTexts.text(10, 11), next);
}

void TestMapPage::autoApplyOff()
{
    QTest::mouseClick(w->AutoApplyBtn, Qt::LeftButton);
    clickCell(4, 4);
    const QByteArray stored = w->Doc.PlotTexts.text(4, 4);
    w->Memo->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(w->Memo, "Lost=1");
    clickCell(5, 4);
    QCOMPARE(w->Doc.PlotTexts.text(4, 4), stored);
    // Apply is the way in; an applied empty text leaves the plot empty.
    w->Memo->clear();
    QTest::mouseClick(w->MapApplyBtn, Qt::LeftButton);
    QVERIFY(w->Doc.PlotTexts.text(5, 4).isEmpty());
}

void TestMapPage::clearRecallUndo()
{
    clickCell(7, 7);
    const QByteArray original = w->Doc.PlotTexts.text(7, 7);
    QVERIFY(!original.isEmpty());
    w->Memo->setFocus(Qt::MouseFocusReason);
    // Clear, then Recall without leaving the memo: the text comes back.
    QTest::mouseClick(w->MapClearBtn, Qt::LeftButton);
    QVERIFY(w->Doc.PlotTexts.text(7, 7).isEmpty());
    QVERIFY(w->Memo->hasFocus());
    QTest::mouseClick(w->MapRecallBtn, Qt::LeftButton);
    QCOMPARE(w->Doc.PlotTexts.text(7, 7), original);
    QTest::mouseClick(w->MapRecallBtn, Qt::LeftButton); // a second Recall: same text
    QCOMPARE(w->Doc.PlotTexts.text(7, 7), original);

    // Clear, then a click in the map: Recall reloads the new cell's text.
    QTest::mouseClick(w->MapClearBtn, Qt::LeftButton);
    clickCell(8, 7);
    QVERIFY(w->Doc.PlotTexts.text(7, 7).isEmpty()); // auto-apply stored the cleared memo
    const QByteArray eight = w->Doc.PlotTexts.text(8, 7);
    w->Memo->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(w->Memo, "Unapplied=1");
    QTest::mouseClick(w->MapRecallBtn, Qt::LeftButton);
    QByteArray shown;
    QVERIFY(w->Memo->bytes(&shown));
    QCOMPARE(shown, eight);
    QCOMPARE(w->Doc.PlotTexts.text(8, 7), eight);

    // Clear on an empty memo leaves nothing to recall but the stored text.
    w->Memo->clear();
    QTest::mouseClick(w->MapClearBtn, Qt::LeftButton);
    QTest::mouseClick(w->MapRecallBtn, Qt::LeftButton);
    QVERIFY(w->Memo->toPlainText().isEmpty());
}

void TestMapPage::zoomByListAndWheel()
{
    MapGrid *grid = w->DrawGrid;
    QCOMPARE(grid->cellSize(), 16);
    QCOMPARE(w->MapGridSizeComboBox->currentIndex(), 9);
    // Choosing from the list.
    w->MapGridSizeComboBox->setFocus();
    QTest::keyClick(w->MapGridSizeComboBox, Qt::Key_Down);
    QCOMPARE(grid->cellSize(), 20);
    // The list opening stops the hint timer; a choice starts it again.
    w->MapGridSizeComboBox->showPopup();
    QVERIFY(!w->CatchMapTimer->isActive());
    w->MapGridSizeComboBox->hidePopup();
    QTest::keyClick(w->MapGridSizeComboBox, Qt::Key_Up);
    QVERIFY(w->CatchMapTimer->isActive());
    QCOMPARE(grid->cellSize(), 16);

    // The wheel: one size per notch, stopping at 64; the selection still moves.
    clickCell(2, 5);
    for (int i = 0; i < 9; ++i)
        wheel(grid, grid->cellRect(grid->col(), grid->row()).center(), 120);
    QCOMPARE(grid->cellSize(), 64);
    QCOMPARE(w->MapGridSizeComboBox->currentIndex(), 16);
    QCOMPARE(grid->row(), 0);
    QCOMPARE(w->statusText(2), QStringLiteral("Current cell = (2 ,0)   x=2, y=39"));
    for (int i = 0; i < 20; ++i)
        wheel(grid, QPoint(5, 5), -120);
    QCOMPARE(grid->cellSize(), 4);
    QCOMPARE(grid->row(), 20);
}

void TestMapPage::gridLinesAndLayers()
{
    MapGrid *grid = w->DrawGrid;
    QCOMPARE(grid->cellRect(1, 0).left(), 17);
    QTest::mouseClick(w->ShowGridLineBtn, Qt::LeftButton);
    QCOMPARE(grid->gridLineWidth(), 0);
    QCOMPARE(grid->cellRect(1, 0).left(), 16);
    QCOMPARE(grid->cellRect(1, 0).width(), 16);

    // A layer button takes its layer off the painted grid.
    auto *terrain = w->findChild<QToolButton *>(QStringLiteral("ShowTerrainBtn"));
    QVERIFY(terrain && terrain->isChecked());
    QCOMPARE(terrain->toolTip(), QStringLiteral("Show Terrain"));
    QTest::mouseClick(terrain, Qt::LeftButton);
    QVERIFY(!grid->layers().terrain);
    QVERIFY(grid->layers().hill);
    QCOMPARE(w->findChild<QToolButton *>(QStringLiteral("ShowFloodBtn"))->toolTip(),
             QStringLiteral("Show Flooding Plains"));
}

void TestMapPage::hoverHint()
{
    MapGrid *grid = w->DrawGrid;
    const QPoint inCell = grid->cellRect(12, 3).center();
    QTest::mouseMove(grid->viewport(), inCell);
    QTRY_COMPARE(w->statusText(0), QStringLiteral("(12,3)   x=12, y=36"));
    QVERIFY(w->PlotHintWindow->isVisible());
    QCOMPARE(w->PlotHintWindow->text(), QStringLiteral("(12,3)   x=12, y=36"));
    QCOMPARE(w->PlotHintWindow->pos(), grid->viewport()->mapToGlobal(inCell + QPoint(16, 16)));
    // Beyond the last column: hidden at once.
    w->MapGridSizeComboBox->setCurrentIndex(0);
    w->MapGridSizeComboBoxSelect();
    QTest::mouseMove(grid->viewport(), QPoint(grid->viewport()->width() - 3, 5));
    QTRY_VERIFY(!w->PlotHintWindow->isVisible());
    QCOMPARE(w->statusText(0), QString());

    // Off the grid the timer hides the hint, but leaves other news alone.
    QTest::mouseMove(grid->viewport(), grid->cellRect(12, 3).center());
    QTRY_COMPARE(w->statusText(0), QStringLiteral("(12,3)   x=12, y=36"));
    QTest::mouseMove(w->Memo, QPoint(5, 5));
    QTRY_VERIFY(!w->PlotHintWindow->isVisible());
    QCOMPARE(w->statusText(0), QString());
    w->setStatusText(0, QStringLiteral("File Saved"));
    w->CatchMapTimerTimer();
    QCOMPARE(w->statusText(0), QStringLiteral("File Saved"));
}

void TestMapPage::newMapPrompt()
{
    QVERIFY(!w->PromptPanel1->isVisible());
    QTest::mouseClick(w->CreateNewMapBtn, Qt::LeftButton);
    QVERIFY(w->PromptPanel1->isVisible());
    QVERIFY(!w->CatchMapTimer->isActive());
    QCOMPARE(w->SpinEdit1->value(), 16);
    QTest::mouseClick(w->NewMapOKBtn, Qt::LeftButton);
    QVERIFY(!w->PromptPanel1->isVisible());
    QVERIFY(w->CatchMapTimer->isActive());
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (16 x 16)"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Vor4DemoMapEditor - continents-64x40.Vor4WorldBuilderSave"));
    QCOMPARE(w->WorkPages->currentIndex(), int(TForm1::MapPage));

    // 40 x 25 typed; a terrain applied at (30, 20) paints there.
    QTest::mouseClick(w->CreateNewMapBtn, Qt::LeftButton);
    for (auto [spin, text] : {std::pair{w->SpinEdit1, "40"}, std::pair{w->SpinEdit2, "25"}}) {
        spin->lineEdit()->selectAll();
        QTest::keyClicks(spin->lineEdit(), text);
    }
    QTest::mouseClick(w->NewMapOKBtn, Qt::LeftButton);
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (40 x 25)"));
    QCOMPARE(w->MiniMapBitmap.size(), QSize(120, 75));
    w->DrawGrid->setTopLeft(25, 15);
    clickCell(30, 20);
    w->Memo->setPlainText(QStringLiteral("TerrainType=TERRAIN_DESERT"));
    QTest::mouseClick(w->MapApplyBtn, Qt::LeftButton);
    const QImage shot = w->DrawGrid->viewport()->grab().toImage();
    const QRect cell = w->DrawGrid->cellRect(30, 20);
    QCOMPARE(shot.pixelColor(cell.left() + 1, cell.top() + 1), QColor(255, 255, 0));

    // Cancel changes nothing but keeps what was typed.
    QTest::mouseClick(w->CreateNewMapBtn, Qt::LeftButton);
    w->SpinEdit1->lineEdit()->selectAll();
    QTest::keyClicks(w->SpinEdit1->lineEdit(), "7");
    QTest::mouseClick(w->NewMapCancelBtn, Qt::LeftButton);
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (40 x 25)"));
    QCOMPARE(w->SpinEdit1->readValue(), 7);

    // Out of range and letters; 0 x 0 gives one cell.
    QTest::mouseClick(w->CreateNewMapBtn, Qt::LeftButton);
    w->SpinEdit1->lineEdit()->selectAll();
    QTest::keyClicks(w->SpinEdit1->lineEdit(), "5000");
    w->SpinEdit2->lineEdit()->selectAll();
    QTest::keyClicks(w->SpinEdit2->lineEdit(), "abc");
    QTest::mouseClick(w->NewMapOKBtn, Qt::LeftButton);
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (1000 x 1)"));
    QCOMPARE(w->SpinEdit1->lineEdit()->text(), QStringLiteral("1000"));
    QTest::mouseClick(w->CreateNewMapBtn, Qt::LeftButton);
    w->SpinEdit1->lineEdit()->selectAll();
    QTest::keyClicks(w->SpinEdit1->lineEdit(), "0");
    QTest::mouseClick(w->NewMapOKBtn, Qt::LeftButton);
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (1 x 1)"));
    QCOMPARE(w->MiniMapBitmap.size(), QSize(0, 0));
}

void TestMapPage::mapContentsChangeAndRecall()
{
    clickCell(20, 20);
    const QByteArray before = w->Doc.PlotTexts.text(20, 20);
    QVERIFY(before.contains("PlotType="));
    QTest::mouseClick(w->MapHintBtn, Qt::LeftButton);
    QVERIFY(Form3->isVisible());
    QVERIFY(Form3->isToolBarVisible());
    Form3->TabControl1->setCurrentIndex(4); // PlotType: the fixed list
    Form3->ListBox1->setCurrentRow(0);
    QTest::mouseClick(Form3->ChangeBtn, Qt::LeftButton);
    QVERIFY(w->Doc.PlotTexts.text(20, 20).contains("PlotType=0"));
    QCOMPARE(Form3->panelText(0), QStringLiteral("PlotType changed"));
    // Recall in the main window undoes the change (the memo kept the focus).
    QTest::mouseClick(w->MapRecallBtn, Qt::LeftButton);
    QCOMPARE(w->Doc.PlotTexts.text(20, 20), before);

    // Leaving the map page hides the Change/Clear bar; the window stays.
    QTest::mouseClick(w->RuleBtn, Qt::LeftButton);
    QVERIFY(!Form3->isToolBarVisible());
    QVERIFY(Form3->isVisible());
    QTest::mouseClick(w->MapBtn, Qt::LeftButton);
    QVERIFY(Form3->isToolBarVisible());
    Form3->close();
    QVERIFY(!w->MapHintBtn->isChecked());
}

void TestMapPage::minimapFollowsGrid()
{
    QTest::mouseClick(w->MiniMapBtn, Qt::LeftButton);
    QVERIFY(Form2->isVisible());
    w->DrawGrid->setTopLeft(5, 3);
    QCOMPARE(Form2->ViewRect.left, 15);
    QCOMPARE(Form2->ViewRect.top, 9);
    // Asked beyond the end, the grid stops at its last position; so does the frame.
    w->ScrollMapTo(1000, 1000, false);
    QCOMPARE(w->DrawGrid->leftCol(), w->DrawGrid->maxLeftCol());
    QCOMPARE(Form2->ViewRect.left, 3 * w->DrawGrid->maxLeftCol());
    // A click on the minimap scrolls the grid to centre there.
    QTest::mouseClick(Form2->Image1, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(w->DrawGrid->leftCol(), 0);
    QCOMPARE(w->DrawGrid->topRow(), 0);
    Form2->close();
    QVERIFY(!w->MiniMapBtn->isChecked());
}

QTEST_MAIN(TestMapPage)
#include "tst_mappage.moc"
