// Regions and transforms on the 1000 x 1000 benchmark map. Through the main
// window (a 1920 x 1080 view of the grid at cell size 4): a flip or a turn
// of the whole map from the Map menu with its undo step and the repaint of
// the grid and the minimap; Copy of a 500 x 500 region onto the system
// clipboard (the whole time the window waits) and its text when asked for;
// Paste of it, to the floating block and its placing by Enter. Below
// the windows: the region's copy, its text, its parse and its paste step,
// and a flip of the whole map with its river edges.

#include "ChangeSelection.h"
#include "BenchmarkWindow.h"
#include "MapDocument.h"
#include "MapGenerator.h"
#include "MapGrid.h"
#include "PastePreview.h"
#include "PlotBlocksMimeData.h"
#include "PlotFacts.h"
#include "RegionActions.h"
#include "RegionEdits.h"
#include "Transforms.h"
#include "MainWindow.h"
#include "MapPage.h"
#include "Symmetry.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMimeData>
#include <QToolButton>
#include <QUndoStack>
#include <benchmark/benchmark.h>

namespace {

const QRect Region500(250, 250, 500, 500);

MainWindow *window() { return benchmarkWindow(); }

bool requireMap(benchmark::State &state) { return requireBenchmarkMap(state); }

// The menu command, the step, the repaint; the undo is timed separately.
void transformWithUndo(benchmark::State &state, QAction *action)
{
    if (!requireMap(state))
        return;
    MainWindow *w = window();
    w->document()->push(new vor4::ChangeSelection(w->document(), QRegion()));
    QUndoStack *stack = w->document()->undoStack();
    const int before = stack->index();
    double undoMs = 0;
    for (auto _ : state) {
        action->trigger();
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (stack->index() != before + 1) {
            state.SkipWithError("no step was pushed");
            break;
        }
        QElapsedTimer t;
        t.start();
        w->action(QStringLiteral("undo"))->trigger();
        QCoreApplication::processEvents();
        undoMs += t.nsecsElapsed() / 1e6;
        state.ResumeTiming();
    }
    state.counters["undo_ms"] = benchmark::Counter(undoMs, benchmark::Counter::kAvgIterations);
}

void BM_WindowFlipWholeMap(benchmark::State &state)
{
    if (requireMap(state))
        transformWithUndo(state, window()->regions()->action(RegionActions::FlipHorizontal));
}
BENCHMARK(BM_WindowFlipWholeMap)->Unit(benchmark::kMillisecond);

void BM_WindowRotateWholeMap(benchmark::State &state)
{
    if (requireMap(state))
        transformWithUndo(state, window()->regions()->action(RegionActions::RotateClockwise));
}
BENCHMARK(BM_WindowRotateWholeMap)->Unit(benchmark::kMillisecond);

// Map > Make symmetric from the left half, mirrored: half the map written
// anew with its rivers, units, revealed plots and signs, the players paired
// by their effective starts (a look at every plot), the repaint, and its
// undo.
void BM_WindowMakeSymmetric(benchmark::State &state)
{
    // The step as the menu's makes it, without the information box that
    // names the players kept.
    QAction make;
    QObject::connect(&make, &QAction::triggered, [] {
        vor4::Symmetry::makeSymmetric(*window()->document(), vor4::Symmetry::Left, vor4::Symmetry::Mirror);
    });
    if (requireMap(state))
        transformWithUndo(state, &make);
}
BENCHMARK(BM_WindowMakeSymmetric)->Unit(benchmark::kMillisecond);

void BM_WindowCopy500(benchmark::State &state)
{
    if (!requireMap(state))
        return;
    MainWindow *w = window();
    w->document()->push(new vor4::ChangeSelection(w->document(), Region500));
    for (auto _ : state) {
        w->regions()->action(RegionActions::Copy)->trigger();
        QCoreApplication::processEvents();
    }
    w->document()->push(new vor4::ChangeSelection(w->document(), QRegion()));
}
BENCHMARK(BM_WindowCopy500)->Unit(benchmark::kMillisecond);

// The text of that copy, written when another program asks for it: the
// editor's own type and the plain text, as a paste elsewhere takes them.
void BM_ClipboardText500(benchmark::State &state)
{
    if (!requireMap(state))
        return;
    MainWindow *w = window();
    w->document()->push(new vor4::ChangeSelection(w->document(), Region500));
    qsizetype bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w->regions()->action(RegionActions::Copy)->trigger();
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        state.ResumeTiming();
        bytes = data->data(PlotBlocksMimeData::MimeType).size();
        benchmark::DoNotOptimize(data->text());
    }
    state.counters["text_MB"] = bytes / 1e6;
    w->document()->push(new vor4::ChangeSelection(w->document(), QRegion()));
}
BENCHMARK(BM_ClipboardText500)->Unit(benchmark::kMillisecond);

void pressOnGrid(int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(window()->mapPage()->grid(), &press);
}

// Paste until the block floats, then Enter places it: the two waits of a
// paste, each its own counter, their sum the time. The block comes from
// this editor's own copy, or from another editor's as its text.
void windowPaste(benchmark::State &state, bool fromAnotherEditor)
{
    if (!requireMap(state))
        return;
    MainWindow *w = window();
    w->document()->push(new vor4::ChangeSelection(w->document(), Region500));
    w->regions()->action(RegionActions::Copy)->trigger();
    w->document()->push(new vor4::ChangeSelection(w->document(), QRegion()));
    if (fromAnotherEditor) {
        auto *data = new QMimeData;
        data->setData(PlotBlocksMimeData::MimeType,
                      QGuiApplication::clipboard()->mimeData()->data(PlotBlocksMimeData::MimeType));
        QGuiApplication::clipboard()->setMimeData(data);
    }
    w->mapPage()->grid()->scrollIntoView(0, 0);
    QUndoStack *stack = w->document()->undoStack();
    const int before = stack->index();
    double floatMs = 0, placeMs = 0, stepMs = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        w->regions()->action(RegionActions::Paste)->trigger();
        QCoreApplication::processEvents();
        floatMs += t.nsecsElapsed() / 1e6;
        if (!w->regions()->pastePreview()) {
            state.SkipWithError("nothing floated");
            break;
        }
        w->regions()->pastePreview()->moveTo(QPoint(10, 10));
        t.start();
        pressOnGrid(Qt::Key_Return);
        stepMs += t.nsecsElapsed() / 1e6;
        QCoreApplication::processEvents();
        placeMs += t.nsecsElapsed() / 1e6;
        state.PauseTiming();
        if (stack->index() != before + 1) {
            state.SkipWithError("no step was pushed");
            break;
        }
        stack->undo();
        w->document()->push(new vor4::ChangeSelection(w->document(), QRegion()));
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["float_ms"] = benchmark::Counter(floatMs, benchmark::Counter::kAvgIterations);
    state.counters["place_ms"] = benchmark::Counter(placeMs, benchmark::Counter::kAvgIterations);
    // Of which the step, before the paint and the minimap.
    state.counters["step_ms"] = benchmark::Counter(stepMs, benchmark::Counter::kAvgIterations);
}

void BM_WindowPaste500(benchmark::State &state) { windowPaste(state, false); }
BENCHMARK(BM_WindowPaste500)->Unit(benchmark::kMillisecond);

void BM_WindowPasteFromAnotherEditor500(benchmark::State &state) { windowPaste(state, true); }
BENCHMARK(BM_WindowPasteFromAnotherEditor500)->Unit(benchmark::kMillisecond);

// Below the windows.
vor4::MapDocument &document()
{
    static vor4::MapDocument *doc = [] {
        auto *d = new vor4::MapDocument;
        d->load(benchmarkMapPath(1000, 1000));
        return d;
    }();
    return *doc;
}

void BM_CopyRegion500(benchmark::State &state)
{
    const vor4::MapDocument &doc = document();
    for (auto _ : state)
        benchmark::DoNotOptimize(vor4::RegionEdits::copy(doc, Region500));
}
BENCHMARK(BM_CopyRegion500)->Unit(benchmark::kMillisecond);

void BM_RegionText500(benchmark::State &state)
{
    const vor4::PlotRegion region = vor4::RegionEdits::copy(document(), Region500);
    for (auto _ : state)
        benchmark::DoNotOptimize(region.toText());
}
BENCHMARK(BM_RegionText500)->Unit(benchmark::kMillisecond);

void BM_ParseRegion500(benchmark::State &state)
{
    const QByteArray text = vor4::RegionEdits::copy(document(), Region500).toText();
    for (auto _ : state)
        benchmark::DoNotOptimize(vor4::PlotRegion::fromText(text));
    state.counters["text_MB"] = text.size() / 1e6;
}
BENCHMARK(BM_ParseRegion500)->Unit(benchmark::kMillisecond);

void BM_PasteRegion500(benchmark::State &state)
{
    vor4::MapDocument &doc = document();
    const vor4::PlotRegion region = vor4::RegionEdits::copy(doc, Region500);
    for (auto _ : state) {
        vor4::RegionEdits::paste(doc, region, QPoint(10, 10));
        state.PauseTiming();
        doc.undoStack()->undo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PasteRegion500)->Unit(benchmark::kMillisecond);

// The step of a whole-map flip, its river edges turned, and its undo,
// without the windows: what the Flip figure owes to the rivers.
void BM_FlipWholeMapWithRivers(benchmark::State &state)
{
    vor4::MapDocument &doc = document();
    const qsizetype edges = vor4::PlotFacts::riverEdgeCount(doc.document().PlotTexts);
    double undoMs = 0;
    for (auto _ : state) {
        vor4::Transforms::turn(doc, vor4::MapTransform::FlipHorizontal);
        state.PauseTiming();
        QElapsedTimer t;
        t.start();
        doc.undoStack()->undo();
        undoMs += t.nsecsElapsed() / 1e6;
        state.ResumeTiming();
    }
    state.counters["river_edges"] = double(edges);
    state.counters["undo_ms"] = benchmark::Counter(undoMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FlipWholeMapWithRivers)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return runWindowBenchmarks(argc, argv); }
