// The Problems panel through the real widgets: opened by its command,
// findings appearing after an edit with their mark on the grid, a double
// click that goes to the finding's plot (a stale start's settler, the edge
// nearest a plot off the map), Fix, Fix all, Move start and Map > Starts
// from settlers, each one undo step, undone back to the file's bytes.

#include "CurrentCell.h"
#include "PlotEditor.h"
#include "FakeDialogs.h"
#include "MainWindow.h"
#include "MapDocument.h"
#include "MapGrid.h"
#include "MapPage.h"
#include "MapWriter.h"
#include "PlotFacts.h"
#include "ProblemsPanel.h"
#include "SectionMemo.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTreeView>
#include <QUndoStack>
#include <QtTest>

namespace {

// The group row of a rule, or one of its findings.
QModelIndex rowOf(ProblemsPanel *panel, const QString &rule, int finding = -1)
{
    for (int r = 0; r < panel->model()->rowCount(); ++r) {
        QStandardItem *group = panel->model()->item(r);
        if (group->text().startsWith(rule + QStringLiteral(" (")))
            return finding < 0 ? group->index() : group->child(finding, 0)->index();
    }
    return {};
}

// Clicks a row as a user does, its group open.
void click(ProblemsPanel *panel, const QModelIndex &index, bool twice = false)
{
    QTreeView *view = panel->view();
    view->expandAll();
    view->scrollTo(index);
    const QPoint at = view->visualRect(index).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    if (twice)
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

QByteArray plotAt(MainWindow &w, int x, int y)
{
    const vor4::Document &doc = w.stores();
    return doc.PlotTexts.text(x, doc.fileY(y));
}

} // namespace

class TestProblemsPanel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void findingsFollowEditsAndLeadToPlots();
    void fixesUndoToTheFile();
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
    // A clean map says so.
    QCOMPARE(panel->model()->rowCount(), 1);
    QCOMPARE(panel->model()->item(0)->text(), QStringLiteral("No problems found"));
    QVERIFY(!panel->fixButton()->isEnabled() && !panel->fixAllButton()->isEnabled());

    // An ocean on land and a peak with fallout: two findings on (6, 4).
    MapGrid *grid = w.mapPage()->grid();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(6, 4).center());
    w.mapPage()->plotEditor()->memo()->setText(
        QStringLiteral("TerrainType=TERRAIN_OCEAN\nPlotType=0\nFeatureType=FEATURE_FALLOUT"));
    w.action(QStringLiteral("plotApply"))->trigger();
    QTRY_COMPARE(panel->findings().size(), 2);
    QCOMPARE(QPoint(panel->findings()[1].x, panel->findings()[1].y), QPoint(6, 35));
    QCOMPARE(panel->model()->item(1)->text(), QStringLiteral("peak-with-feature (1)"));
    QCOMPARE(panel->model()->item(1, 1)->text(), QStringLiteral("Fix: remove the feature"));
    const QRect cell = grid->cellRect(6, 4);
    QCOMPARE(grid->viewport()->grab().toImage().pixel(cell.right() - 1, cell.top() + 1), ProblemsPanel::Colour);

    // A double click on the finding selects its plot again.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(1, 1).center());
    QCOMPARE(w.mapPage()->grid()->currentCell()->chosenPlot(), QPoint(1, 1));
    click(panel, rowOf(panel, QStringLiteral("peak-with-feature"), 0), true);
    QCOMPARE(w.mapPage()->grid()->currentCell()->chosenPlot(), QPoint(6, 4));
    QCOMPARE(QPoint(grid->col(), grid->row()), QPoint(6, 4));

    // Undone, the findings go.
    w.action(QStringLiteral("undo"))->trigger();
    QTRY_COMPARE(panel->findings().size(), 0);
    QCOMPARE(panel->model()->item(0)->text(), QStringLiteral("No problems found"));
}

void TestProblemsPanel::fixesUndoToTheFile()
{
    FakeDialogs::State *dialogs = FakeDialogs::install();
    MainWindow w;
    w.resize(1200, 800);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    dialogs->openAnswers << QStringLiteral(VOR4_FIXTURES_DIR "/../lint/rules.Vor4WorldBuilderSave");
    w.action(QStringLiteral("open"))->trigger();
    w.action(QStringLiteral("mapPage"))->trigger();
    const QByteArray original = vor4::buildSaveFile(w.stores());
    QUndoStack *history = w.document()->undoStack();
    ProblemsPanel *panel = w.problemsPanel();
    w.action(QStringLiteral("problems"))->trigger();
    QVERIFY(!panel->findings().isEmpty());

    // Fix: the finding chosen, one step named after its rule.
    click(panel, rowOf(panel, QStringLiteral("bonus-on-wrong-plot"), 0));
    QVERIFY(panel->fixButton()->isEnabled());
    QTest::mouseClick(panel->fixButton(), Qt::LeftButton);
    QCOMPARE(history->count(), 1);
    QCOMPARE(history->text(0), QStringLiteral("Fix bonus-on-wrong-plot at 0,0"));
    QCOMPARE(plotAt(w, 0, 0), QByteArray("TerrainType=TERRAIN_GRASS\r\nPlotType=2"));
    QVERIFY(!rowOf(panel, QStringLiteral("bonus-on-wrong-plot")).isValid());
    QVERIFY(w.statusText(0).startsWith(QStringLiteral("Fix bonus-on-wrong-plot at 0,0: 1 plot changed")));

    // Fix all on the rule's row: every plot it names, nothing else.
    const QByteArray untouched = plotAt(w, 3, 1);
    click(panel, rowOf(panel, QStringLiteral("feature-on-wrong-terrain")));
    QVERIFY(!panel->fixButton()->isEnabled());
    QCOMPARE(panel->fixAllButton()->text(), QStringLiteral("Fix &all 3"));
    QTest::mouseClick(panel->fixAllButton(), Qt::LeftButton);
    QCOMPARE(history->count(), 2);
    QCOMPARE(history->text(1), QStringLiteral("Fix all feature-on-wrong-terrain (3)"));
    for (const QPoint &p : {QPoint(1, 2), QPoint(2, 1), QPoint(2, 2)})
        QVERIFY(!plotAt(w, p.x(), p.y()).contains("FeatureType"));
    QCOMPARE(plotAt(w, 3, 1), untouched);
    QVERIFY(!rowOf(panel, QStringLiteral("feature-on-wrong-terrain")).isValid());
    QVERIFY(!panel->view()->currentIndex().isValid() && !panel->fixAllButton()->isEnabled());
    // Floodplains went with their plot's other finding.
    QVERIFY(!rowOf(panel, QStringLiteral("floodplains-off-river")).isValid());

    // A double click on a stale start goes to the settler, the start line in view.
    MapGrid *grid = w.mapPage()->grid();
    const QModelIndex stale = rowOf(panel, QStringLiteral("start-apart-from-settler"), 1);
    QCOMPARE(stale.siblingAtColumn(1).data().toString(),
             QStringLiteral("player 0 starts away from its settler at 3,0"));
    click(panel, stale, true);
    QCOMPARE(w.mapPage()->grid()->currentCell()->chosenPlot(), QPoint(3, 2));
    QVERIFY(grid->viewport()->rect().contains(grid->cellRect(2, 1).center()));
    QVERIFY(grid->viewport()->rect().contains(grid->cellRect(3, 2).center()));
    // One off the map: the nearest plot on its edge, and why.
    click(panel, rowOf(panel, QStringLiteral("start-off-map"), 0), true);
    QCOMPARE(w.mapPage()->grid()->currentCell()->chosenPlot(), QPoint(3, 1));
    QCOMPARE(panel->messageLabel()->text(),
             QStringLiteral("7,1 is outside the 4 x 3 map: the nearest plot on its edge, 3,1, is shown"));

    // The context menu: Fix, Fix all and Move start for the players it names.
    std::unique_ptr<QMenu> menu(panel->contextMenu(rowOf(panel, QStringLiteral("start-shared"), 0)));
    QStringList texts;
    for (QAction *a : menu->actions())
        texts << a->text();
    QCOMPARE(texts, QStringList({QStringLiteral("Move start of player 3 to…"), QStringLiteral("Move start of player 4 to…")}));
    dialogs->texts << QStringLiteral("0,0");
    menu->actions()[1]->trigger();
    QCOMPARE(history->count(), 3);
    QCOMPARE(history->text(2), QStringLiteral("Move start of player 4 to 0,0"));
    QCOMPARE(vor4::PlotFacts::startOf(w.stores().PlayerTexts[4]).plot(), QPoint(0, 0));
    menu.reset(panel->contextMenu(rowOf(panel, QStringLiteral("start-apart-from-settler"), 0)));
    QCOMPARE(menu->actions()[0]->text(), QStringLiteral("Fix"));
    QCOMPARE(menu->actions()[1]->text(), QStringLiteral("Fix all 2"));
    menu->actions()[0]->trigger();
    QCOMPARE(history->text(3), QStringLiteral("Fix start-apart-from-settler at 1,1"));
    QCOMPARE(vor4::PlotFacts::startOf(w.stores().PlayerTexts[1]).plot(), QPoint(2, 0));

    // Map > Starts from settlers: the one stale start left, counted in the status bar.
    QAction *starts = w.action(QStringLiteral("startsFromSettlers"));
    QVERIFY(w.mapMenu()->actions().contains(starts));
    starts->trigger();
    QCOMPARE(history->count(), 5);
    QCOMPARE(history->text(4), QStringLiteral("Starts from settlers"));
    QCOMPARE(w.statusText(0), QStringLiteral("Starts from settlers: 1 player changed"));
    panel->updateNow();
    QVERIFY(!rowOf(panel, QStringLiteral("start-apart-from-settler")).isValid());

    // Undone step by step, the map is the file again.
    while (history->canUndo())
        w.action(QStringLiteral("undo"))->trigger();
    QCOMPARE(vor4::buildSaveFile(w.stores()), original);
    panel->updateNow();
    QCOMPARE(panel->lint().count(vor4::LintFinding::FeatureOnWrongTerrain), 3);
}

QTEST_MAIN(TestProblemsPanel)
#include "tst_problemspanel.moc"
