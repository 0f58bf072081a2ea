// Plot edits on the 1000 x 1000 benchmark map through the real windows:
// Apply, Recall, Clear and a Change from the map contents window, each with
// the full repaint of the visible grid that follows it.

#include "PlotEditor.h"
#include "BenchmarkWindow.h"
#include "AnswerDialogs.h"
#include "MapGenerator.h"
#include "MapGrid.h"
#include "SectionMemo.h"
#include "SideTabBar.h"
#include "MainWindow.h"
#include "FileActions.h"
#include "MapPage.h"
#include <QAction>
#include "MapContentsWindow.h"

#include <QApplication>
#include <QListWidget>
#include <QToolButton>
#include <QUndoStack>
#include <benchmark/benchmark.h>

namespace {

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
        form->mapPage()->grid()->setCurrentCell(420, 420);
        form->mapPage()->selectCell(420, 420);
        form->mapContentsWindow()->show();
        form->mapContentsWindow()->keyTabs()->setCurrentIndex(4);
        QCoreApplication::processEvents();
        return form;
    }();
    return w;
}

void BM_MapApply(benchmark::State &state)
{
    MainWindow *w = window();
    // Two texts in turn: applying the text a plot already holds is no step.
    const QString texts[2] = {QStringLiteral("TerrainType=TERRAIN_DESERT\nPlotType=1"),
                              QStringLiteral("TerrainType=TERRAIN_SNOW\nPlotType=0")};
    int n = 0;
    for (auto _ : state) {
        w->mapPage()->plotEditor()->memo()->setText(texts[n++ % 2]);
        w->mapPage()->plotEditor()->applyPlot();
    }
    const QSize view = w->mapPage()->grid()->viewport()->size();
    state.counters["view_w"] = view.width();
    state.counters["view_h"] = view.height();
}
BENCHMARK(BM_MapApply)->Unit(benchmark::kMillisecond);

// Undo and redo of a plot edit, each with the repaint of the changed cell,
// the selection of the plot and every memo shown again.
void BM_UndoRedoPlotEdit(benchmark::State &state)
{
    MainWindow *w = window();
    w->mapPage()->plotEditor()->memo()->setText(QStringLiteral("TerrainType=TERRAIN_TUNDRA"));
    w->mapPage()->plotEditor()->applyPlot();
    QUndoStack *stack = w->document()->undoStack();
    for (auto _ : state) {
        stack->undo();
        stack->redo();
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_UndoRedoPlotEdit)->Unit(benchmark::kMillisecond);

void BM_MapRecall(benchmark::State &state)
{
    MainWindow *w = window();
    for (auto _ : state)
        w->mapPage()->plotEditor()->recallPlot();
}
BENCHMARK(BM_MapRecall)->Unit(benchmark::kMillisecond);

void BM_MapClearThenRecall(benchmark::State &state)
{
    MainWindow *w = window();
    for (auto _ : state) {
        w->mapPage()->plotEditor()->clearPlot();
        w->mapPage()->plotEditor()->recallPlot();
    }
    state.SetItemsProcessed(state.iterations() * 2); // two edits, two repaints a round
}
BENCHMARK(BM_MapClearThenRecall)->Unit(benchmark::kMillisecond);

void BM_MapContentsChange(benchmark::State &state)
{
    MainWindow *w = window();
    int row = 0;
    for (auto _ : state) {
        w->mapContentsWindow()->valueList()->setCurrentRow(row++ % 4);
        w->mapContentsWindow()->changeClicked();
    }
    benchmark::DoNotOptimize(w->stores().PlotTexts.poolSize());
}
BENCHMARK(BM_MapContentsChange)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return runWindowBenchmarks(argc, argv); }
