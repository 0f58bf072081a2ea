// Find and statistics through the real windows on the 1000 x 1000 benchmark
// map: a find typed into the find bar until its search is done, with the
// longest time the window waited for its events, the statistics window's
// first count when it is opened, the Problems panel's first lint and its
// following of a plot edit, and the same two of the balance window.

#include "PlotEditor.h"
#include "BenchmarkWindow.h"
#include "AnswerDialogs.h"
#include "BalanceWindow.h"
#include "FindBar.h"
#include "SetPlotTexts.h"
#include "MapGenerator.h"
#include "MapGrid.h"
#include "StatisticsModel.h"
#include "StatisticsWindow.h"
#include "MainWindow.h"
#include "FileActions.h"
#include "MapPage.h"
#include "ProblemsPanel.h"
#include "SectionMemo.h"
#include <QAction>
#include "MiniMapWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QToolButton>
#include <benchmark/benchmark.h>

namespace {

// Counts the paints of a widget.
struct PaintWatch : QObject
{
    explicit PaintWatch(QWidget *widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::Paint;
        return false;
    }
    int count = 0;
};

MainWindow *window()
{
    static MainWindow *w = [] {
        Dialogs::setInstance(std::make_unique<AnswerDialogs>(benchmarkMapPath(1000, 1000)));
        auto *form = new MainWindow;
        form->resize(1920, 1080);
        form->show();
        form->files()->open();
        form->action(QStringLiteral("mapPage"))->trigger();
        form->mapPage()->grid()->setTopLeft(400, 400);
        QCoreApplication::processEvents();
        return form;
    }();
    return w;
}

// Types a find into the bar and lets the window run until the search is
// done: the time is the whole search with its marks; "longest_wait_ms" is
// the longest the window went without handling its events.
void findThroughBar(benchmark::State &state, bool withMiniMap)
{
    MainWindow *w = window();
    w->miniMapWindow()->setVisible(withMiniMap);
    FindBar *bar = w->mapPage()->findBar();
    bar->openFind();
    const QString texts[2] = {QStringLiteral("BONUS_GOLD"), QStringLiteral("bonus_iron")};
    qint64 longest = 0;
    int n = 0;
    int found = 0;
    for (auto _ : state) {
        bar->findField()->setText(texts[n++ % 2]);
        QElapsedTimer pass;
        while (bar->search().isRunning()) {
            pass.start();
            QCoreApplication::processEvents();
            longest = qMax(longest, pass.nsecsElapsed());
        }
        found = bar->search().count();
    }
    state.counters["matches"] = found;
    state.counters["longest_wait_ms"] = double(longest) / 1e6;
    bar->closeBar();
    w->miniMapWindow()->hide();
}

void BM_FindThroughBar(benchmark::State &state) { findThroughBar(state, false); }
BENCHMARK(BM_FindThroughBar)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FindThroughBarWithMiniMap(benchmark::State &state) { findThroughBar(state, true); }
BENCHMARK(BM_FindThroughBarWithMiniMap)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same search at once, as F3 finishes one that is still under way.
void BM_FindFinishedAtOnce(benchmark::State &state)
{
    MainWindow *w = window();
    FindBar *bar = w->mapPage()->findBar();
    bar->openFind();
    const QString texts[2] = {QStringLiteral("BONUS_GOLD"), QStringLiteral("bonus_iron")};
    int n = 0;
    for (auto _ : state) {
        bar->findField()->setText(texts[n++ % 2]);
        bar->search().finish();
    }
    state.counters["matches"] = bar->search().count();
    bar->closeBar();
    QCoreApplication::processEvents();
}
BENCHMARK(BM_FindFinishedAtOnce)->Unit(benchmark::kMillisecond)->UseRealTime();

// Opening the statistics window counts the whole map once.
void BM_StatisticsFirstFill(benchmark::State &state)
{
    MainWindow *w = window();
    for (auto _ : state) {
        w->findChild<StatisticsWindow *>(QStringLiteral("StatisticsWindow"))->show();
        state.PauseTiming();
        w->findChild<StatisticsWindow *>(QStringLiteral("StatisticsWindow"))->hide();
        state.ResumeTiming();
    }
    w->findChild<StatisticsWindow *>(QStringLiteral("StatisticsWindow"))->show();
    state.counters["rows"] = w->findChild<StatisticsWindow *>(QStringLiteral("StatisticsWindow"))->model()->rowCount();
    w->findChild<StatisticsWindow *>(QStringLiteral("StatisticsWindow"))->hide();
}
BENCHMARK(BM_StatisticsFirstFill)->Unit(benchmark::kMillisecond)->UseRealTime();

// Showing the Problems panel lints the whole map once.
void BM_ProblemsFirstScan(benchmark::State &state)
{
    MainWindow *w = window();
    ProblemsPanel *panel = w->problemsPanel();
    for (auto _ : state) {
        state.PauseTiming();
        w->document()->documentReplaced(); // everything to look at again
        state.ResumeTiming();
        panel->show();
        state.PauseTiming();
        panel->hide();
        state.ResumeTiming();
    }
    panel->show();
    state.counters["findings"] = double(panel->findings().size());
    panel->hide();
}
BENCHMARK(BM_ProblemsFirstScan)->Unit(benchmark::kMillisecond)->UseRealTime();

// A plot edit by Apply with the panel shown, and the panel following it:
// only the changed plot is linted again.
void BM_ProblemsFollowPlotEdit(benchmark::State &state)
{
    MainWindow *w = window();
    ProblemsPanel *panel = w->problemsPanel();
    panel->show();
    w->mapPage()->selectCell(450, 450);
    const QString texts[2] = {QStringLiteral("TerrainType=TERRAIN_OCEAN\nPlotType=1"),
                              QStringLiteral("TerrainType=TERRAIN_GRASS\nPlotType=1")};
    int n = 0;
    for (auto _ : state) {
        w->mapPage()->plotEditor()->memo()->setText(texts[n++ % 2]);
        w->action(QStringLiteral("plotApply"))->trigger();
        panel->updateNow();
    }
    state.counters["findings"] = double(panel->findings().size());
    panel->hide();
}
BENCHMARK(BM_ProblemsFollowPlotEdit)->Unit(benchmark::kMillisecond)->UseRealTime();

// Opening the balance panel after the map changed while it was hidden:
// every plot read again for its kind and units, the landmasses joined, the
// land shared out and the table filled.
void BM_BalanceFirstFill(benchmark::State &state)
{
    MainWindow *w = window();
    const QByteArray text = w->stores().PlotTexts.text(0, 0);
    for (auto _ : state) {
        w->balanceWindow()->show();
        state.PauseTiming();
        w->balanceWindow()->hide();
        auto *step = new vor4::SetPlotTexts(w->document(), QStringLiteral("Edit"));
        step->add(0, 0, w->stores().PlotTexts.view(0, 0) == text ? text + "\r\nFeatureType=FEATURE_ICE" : text);
        w->document()->push(step);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BalanceFirstFill)->Unit(benchmark::kMillisecond)->UseRealTime();

// A plot edit beside the first start, land to water and back, until the
// table and the territory tint show it: the report counted, the table
// filled and the grid painted again, with View > Territory on.
void BM_BalanceFollowsPlotEdit(benchmark::State &state)
{
    MainWindow *w = window();
    BalanceWindow *b = w->balanceWindow();
    b->show();
    b->territoryAction()->setChecked(true);
    QCoreApplication::processEvents();
    if (b->territory().starts().isEmpty()) {
        state.SkipWithError("no start on the benchmark map");
        return;
    }
    const QPoint at = b->territory().starts().first().at + QPoint(1, 0);
    const int row = w->stores().fileY(at.y());
    w->mapPage()->grid()->scrollIntoView(at.x(), row);
    QCoreApplication::processEvents();
    PaintWatch painted(w->mapPage()->grid()->viewport());
    for (auto _ : state) {
        const bool water = w->stores().PlotTexts.view(at.x(), row) != "\tPlotType=3\r\n";
        bool shown = false;
        const QMetaObject::Connection c = QObject::connect(b, &BalanceWindow::reportUpdated, [&shown] { shown = true; });
        auto *step = new vor4::SetPlotTexts(w->document(), QStringLiteral("Edit"));
        step->add(at.x(), row, water ? "\tPlotType=3\r\n" : "\tPlotType=2\r\n");
        step->setMergeable(false);
        if (!w->document()->push(step)) {
            state.SkipWithError("the edit was refused");
            break;
        }
        while (!shown)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        painted.count = 0;
        while (painted.count == 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QObject::disconnect(c);
    }
    b->territoryAction()->setChecked(false);
    b->hide();
}
BENCHMARK(BM_BalanceFollowsPlotEdit)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) { return runWindowBenchmarks(argc, argv); }
