// The paint tools through the main window on the 1000 x 1000 benchmark map,
// a 1920 x 1080 view of the grid at cell size 4: the mouse on the grid's
// viewport, each step timed with the repaint of the grid, the preview and
// the minimap that follow it.

#include "ChangeSelection.h"
#include "BenchmarkWindow.h"
#include "LargestRegion.h"
#include "MapGenerator.h"
#include "MapGrid.h"
#include "MapToolBox.h"
#include "PlotLineSet.h"
#include "MainWindow.h"
#include "MapPage.h"
#include <QAction>

#include <QApplication>
#include <QMouseEvent>
#include <QToolButton>
#include <QUndoStack>
#include <benchmark/benchmark.h>

namespace {

MainWindow *window() { return benchmarkWindow(); }

bool requireMap(benchmark::State &state) { return requireBenchmarkMap(state); }

void send(QEvent::Type type, QPoint cell, Qt::MouseButtons buttons, Qt::KeyboardModifiers keys = {})
{
    QWidget *viewport = window()->mapPage()->grid()->viewport();
    const QPoint pos = window()->mapPage()->grid()->cellRect(cell.x(), cell.y()).center();
    QMouseEvent event(type, pos, viewport->mapToGlobal(pos),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, keys);
    QApplication::sendEvent(viewport, &event);
}

void addViewCounters(benchmark::State &state)
{
    const QSize view = window()->mapPage()->grid()->viewport()->size();
    state.counters["view_w"] = view.width();
    state.counters["view_h"] = view.height();
    state.counters["cell"] = window()->mapPage()->grid()->cellSize();
}

// One pointer move of a brush-9 drag, four cells to the right, across the
// view row by row: the step grows, the cells and the minimap are painted,
// the outline follows. Every 200 moves the stroke ends and is undone (not
// timed), so the history stays small. Argument 1: with four-way symmetry,
// each step painting its three images off screen too.
void BM_WindowBrushStrokeStep(benchmark::State &state)
{
    if (!requireMap(state))
        return;
    MainWindow *w = window();
    w->mapPage()->tools()->setSymmetry(state.range(0) ? vor4::PaintSymmetry::MirrorFourWays : vor4::PaintSymmetry::None);
    w->mapPage()->grid()->setTopLeft(100, 100);
    w->mapPage()->tools()->activate(QStringLiteral("Brush"));
    w->mapPage()->tools()->setBrush(vor4::PaintRule::fromLine("TerrainType=TERRAIN_DESERT"));
    w->mapPage()->tools()->setBrushSize(9);
    const QPoint first(105, 105);
    const int right = 100 + w->mapPage()->grid()->visibleColCount() - 6, bottom = 100 + w->mapPage()->grid()->visibleRowCount() - 6;
    QPoint at = first;
    int moves = 0;
    send(QEvent::MouseButtonPress, at, Qt::LeftButton);
    for (auto _ : state) {
        at.rx() += 4;
        if (at.x() > right)
            at = QPoint(first.x(), at.y() + 9 > bottom ? first.y() : at.y() + 9);
        send(QEvent::MouseMove, at, Qt::LeftButton);
        QCoreApplication::processEvents();
        if (++moves % 200 == 0) {
            state.PauseTiming();
            send(QEvent::MouseButtonRelease, at, Qt::NoButton);
            w->document()->undoStack()->undo();
            QCoreApplication::processEvents();
            send(QEvent::MouseButtonPress, at, Qt::LeftButton);
            state.ResumeTiming();
        }
    }
    send(QEvent::MouseButtonRelease, at, Qt::NoButton);
    w->document()->undoStack()->undo();
    QCoreApplication::processEvents();
    w->mapPage()->tools()->setSymmetry(vor4::PaintSymmetry::None);
    addViewCounters(state);
}
BENCHMARK(BM_WindowBrushStrokeStep)->ArgName("symmetric")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

const vor4::Region &largest()
{
    static const vor4::Region region = vor4::largestRegion(window()->stores().PlotTexts, "TerrainType");
    return region;
}

// A click of the fill tool on the largest region: the fill, its undo step,
// the repaint of the view and the minimap.
void BM_WindowFillLargestRegion(benchmark::State &state)
{
    if (!requireMap(state))
        return;
    MainWindow *w = window();
    const QPoint seed = largest().seed;
    w->mapPage()->grid()->scrollIntoView(seed.x(), seed.y());
    w->mapPage()->tools()->activate(QStringLiteral("Fill"));
    w->mapPage()->tools()->setBrush(vor4::PaintRule::fromLine("TerrainType=TERRAIN_SNOW"));
    QUndoStack *stack = w->document()->undoStack();
    const int before = stack->index();
    for (auto _ : state) {
        send(QEvent::MouseButtonPress, seed, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, seed, Qt::NoButton);
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (stack->index() != before + 1) {
            state.SkipWithError("the fill pushed no step");
            break;
        }
        stack->undo();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["plots"] = largest().size;
    addViewCounters(state);
}
BENCHMARK(BM_WindowFillLargestRegion)->Unit(benchmark::kMillisecond);

// A magic-wand click on the same region: it becomes the selection, drawn
// with its outline on the grid and the minimap.
void BM_WindowWandLargestRegion(benchmark::State &state)
{
    if (!requireMap(state))
        return;
    MainWindow *w = window();
    const QPoint seed = largest().seed;
    w->mapPage()->grid()->scrollIntoView(seed.x(), seed.y());
    w->mapPage()->tools()->activate(QStringLiteral("Wand"));
    w->mapPage()->tools()->setBrush(vor4::PaintRule::fromLine("TerrainType=TERRAIN_SNOW"));
    for (auto _ : state) {
        send(QEvent::MouseButtonPress, seed, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, seed, Qt::NoButton);
        QCoreApplication::processEvents();
        state.PauseTiming();
        w->document()->push(new vor4::ChangeSelection(w->document(), QRegion()));
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["plots"] = largest().size;
}
BENCHMARK(BM_WindowWandLargestRegion)->Unit(benchmark::kMillisecond);

// Undo of that fill by the Undo button, with the repaint that follows.
void BM_WindowUndoFill(benchmark::State &state)
{
    if (!requireMap(state))
        return;
    MainWindow *w = window();
    const QPoint seed = largest().seed;
    w->mapPage()->grid()->scrollIntoView(seed.x(), seed.y());
    w->mapPage()->tools()->activate(QStringLiteral("Fill"));
    w->mapPage()->tools()->setBrush(vor4::PaintRule::fromLine("TerrainType=TERRAIN_SNOW"));
    send(QEvent::MouseButtonPress, seed, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, seed, Qt::NoButton);
    QCoreApplication::processEvents();
    QUndoStack *stack = w->document()->undoStack();
    for (auto _ : state) {
        w->action(QStringLiteral("undo"))->trigger();
        QCoreApplication::processEvents();
        state.PauseTiming();
        stack->redo();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    stack->undo();
    state.counters["plots"] = largest().size;
    addViewCounters(state);
}
BENCHMARK(BM_WindowUndoFill)->Unit(benchmark::kMillisecond);

// The brush field's list from the open map, made again after each change
// when the field next takes the focus.
void BM_BrushChoicesFromTheMap(benchmark::State &state)
{
    if (!requireMap(state))
        return;
    qsizetype lines = 0;
    for (auto _ : state)
        lines = vor4::PlotLineSet::collect(window()->stores().PlotTexts).size();
    state.counters["lines"] = double(lines);
}
BENCHMARK(BM_BrushChoicesFromTheMap)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return runWindowBenchmarks(argc, argv); }
