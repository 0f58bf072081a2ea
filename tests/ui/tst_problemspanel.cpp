// The Problems panel through the real widgets: opened by its command,
// findings appearing after an edit with their mark on the grid, and a
// double click that selects the finding's plot.

#include "CurrentCell.h"
#include "PlotEditor.h"
#include "FakeDialogs.h"
#include "MainWindow.h"
#include "MapGrid.h"
#include "MapPage.h"
#include "ProblemsPanel.h"
#include "SectionMemo.h"

#include <QAction>
#include <QStandardItemModel>
#include <QTreeView>
#include <QtTest>

class TestProblemsPanel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void findingsFollowEditsAndLeadToPlots();
};

void TestProblemsPanel::findingsFollowEditsAndLeadToPlots()
{
    FakeDialogs::State *dialogs = FakeDialogs::install();
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    dialogs->openAnswers << QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");
    w.action(QStringLiteral("open"))->trigger();
    w.action(QStringLiteral("mapPage"))->trigger();

    ProblemsPanel *panel = w.problemsPanel();
    QAction *entry = w.action(QStringLiteral("problems"));
    QVERIFY(!panel->isVisible() && entry->toolTip().contains(QStringLiteral("Ctrl+Shift+P")));
    entry->trigger();
    QVERIFY(panel->isVisible());
    QCOMPARE(panel->model()->rowCount(), 0);

    // An ocean on land and a peak with a forest: two findings on (6, 4).
    MapGrid *grid = w.mapPage()->grid();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(6, 4).center());
    w.mapPage()->plotEditor()->memo()->setText(
        QStringLiteral("TerrainType=TERRAIN_OCEAN\nPlotType=0\nFeatureType=FEATURE_FOREST"));
    w.action(QStringLiteral("plotApply"))->trigger();
    QTRY_COMPARE(panel->findings().size(), 2);
    QCOMPARE(QPoint(panel->findings()[1].x, panel->findings()[1].y), QPoint(6, 35));
    QCOMPARE(panel->model()->item(1)->text(), QStringLiteral("peak-with-feature (1)"));
    const QRect cell = grid->cellRect(6, 4);
    QCOMPARE(grid->viewport()->grab().toImage().pixel(cell.right() - 1, cell.top() + 1), ProblemsPanel::Colour);

    // A double click on the finding selects its plot again.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(1, 1).center());
    QCOMPARE(w.mapPage()->grid()->currentCell()->chosenPlot(), QPoint(1, 1));
    QTreeView *view = panel->view();
    view->expandAll();
    const QPoint at = view->visualRect(panel->model()->item(1)->child(0, 1)->index()).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(w.mapPage()->grid()->currentCell()->chosenPlot(), QPoint(6, 4));
    QCOMPARE(QPoint(grid->col(), grid->row()), QPoint(6, 4));

    // Undone, the findings go.
    w.action(QStringLiteral("undo"))->trigger();
    QTRY_COMPARE(panel->findings().size(), 0);
}

QTEST_MAIN(TestProblemsPanel)
#include "tst_problemspanel.moc"
