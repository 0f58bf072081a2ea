// The paint tools on the 1000 x 1000 benchmark map, the edit part only (the
// window's repaint is measured with the windows): a brush-9 stroke step, a
// fill of the map's largest region with its undo step, the undo of it, and
// "vor4map edit --fill" over that region next to "vor4map normalize".

#include "BrushTool.h"
#include "EditOperations.h"
#include "LargestRegion.h"
#include "MapDocument.h"
#include "MapGenerator.h"
#include "PlotArea.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QUndoStack>

namespace {

vor4::MapDocument &bigMap()
{
    static vor4::MapDocument *doc = [] {
        auto *d = new vor4::MapDocument;
        const QString path = benchmarkMapPath(1000, 1000);
        if (path.isEmpty() || !d->load(path).ok())
            d->reset(1, 1);
        return d;
    }();
    return *doc;
}

bool requireMap(benchmark::State &state)
{
    if (bigMap().document().columnCount() == 1000)
        return true;
    state.SkipWithError("benchmark map could not be loaded");
    return false;
}

const vor4::Region &largestRegion()
{
    static const vor4::Region region = vor4::largestRegion(bigMap().document().PlotTexts, "TerrainType");
    return region;
}

// One pointer move of a drag with the brush at size 9: four cells to the
// right, the lines of the map in turn. Every 200 moves the stroke ends and
// is undone (not timed), so the map and the history stay the same size.
void BM_BrushStrokeStep(benchmark::State &state)
{
    if (!requireMap(state))
        return;
    vor4::MapDocument &md = bigMap();
    vor4::BrushTool brush(&md);
    brush.setBrush(vor4::PaintRule::fromLine("TerrainType=TERRAIN_DESERT"));
    brush.setBrushSize(9);
    QPoint at(5, 5);
    int moves = 0;
    brush.press(at);
    for (auto _ : state) {
        at.rx() += 4;
        if (at.x() > 995)
            at = QPoint(5, at.y() + 9 > 995 ? 5 : at.y() + 9);
        brush.move(at);
        if (++moves % 200 == 0) {
            state.PauseTiming();
            brush.release(at);
            md.undoStack()->undo();
            brush.press(at);
            state.ResumeTiming();
        }
    }
    brush.release(at);
    md.undoStack()->undo();
    state.counters["moves_per_stroke"] = 200;
}
BENCHMARK(BM_BrushStrokeStep)->Unit(benchmark::kMicrosecond);

// Fill of the largest region with the undo step it pushes.
void BM_FillLargestRegion(benchmark::State &state)
{
    if (!requireMap(state))
        return;
    vor4::MapDocument &md = bigMap();
    const vor4::PaintRule rule = vor4::PaintRule::fromLine("TerrainType=TERRAIN_SNOW");
    const vor4::Region &region = largestRegion(); // found once, outside the timing
    int plots = 0;
    for (auto _ : state) {
        plots = vor4::EditOperations::fill(md, rule, vor4::EditOperations::Put, region.seed).plots;
        state.PauseTiming();
        md.undoStack()->undo();
        state.ResumeTiming();
    }
    if (plots != region.size)
        state.SkipWithError("the fill did not cover the largest region");
    state.counters["plots"] = plots;
}
BENCHMARK(BM_FillLargestRegion)->Unit(benchmark::kMillisecond);

void BM_UndoFillOfLargestRegion(benchmark::State &state)
{
    if (!requireMap(state))
        return;
    vor4::MapDocument &md = bigMap();
    const vor4::PaintRule rule = vor4::PaintRule::fromLine("TerrainType=TERRAIN_SNOW");
    vor4::EditOperations::fill(md, rule, vor4::EditOperations::Put, largestRegion().seed);
    for (auto _ : state) {
        md.undoStack()->undo();
        state.PauseTiming();
        md.undoStack()->redo();
        state.ResumeTiming();
    }
    md.undoStack()->undo();
    state.counters["plots"] = largestRegion().size;
}
BENCHMARK(BM_UndoFillOfLargestRegion)->Unit(benchmark::kMillisecond);

// The tool as a separate process, wall time.
double runTool(const QStringList &args)
{
    QProcess p;
    QElapsedTimer timer;
    timer.start();
    p.start(QStringLiteral(VOR4MAP_PATH), args);
    if (!p.waitForFinished(600000) || p.exitCode() != 0)
        return -1;
    return double(timer.nsecsElapsed()) * 1e-9;
}

QString scratchPath()
{
    const QString dir = QDir::tempPath() + QStringLiteral("/vor4-bench");
    QDir().mkpath(dir);
    return dir + QStringLiteral("/tools-%1.Vor4WorldBuilderSave").arg(QCoreApplication::applicationPid());
}

void toolBenchmark(benchmark::State &state, const QStringList &operations)
{
    if (!requireMap(state))
        return;
    const QString out = scratchPath();
    for (auto _ : state) {
        const double seconds = runTool(QStringList{operations.first(), benchmarkMapPath(1000, 1000), out}
                                       + operations.mid(1));
        if (seconds < 0) {
            state.SkipWithError("vor4map failed");
            break;
        }
        state.SetIterationTime(seconds);
    }
    QFile::remove(out);
}

void BM_Vor4mapNormalize(benchmark::State &state)
{
    toolBenchmark(state, {"normalize"});
}
BENCHMARK(BM_Vor4mapNormalize)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

void BM_Vor4mapEditFill(benchmark::State &state)
{
    const QPoint plot = vor4::PlotArea::plotOfCell(largestRegion().seed, 1000);
    toolBenchmark(state, {"edit", "--fill", "TerrainType=TERRAIN_SNOW", QStringLiteral("%1,%2").arg(plot.x()).arg(plot.y())});
    state.counters["plots"] = largestRegion().size;
}
BENCHMARK(BM_Vor4mapEditFill)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
