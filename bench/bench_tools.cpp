// The paint tools on the 1000 x 1000 benchmark map, the edit part only (the
// window's repaint is measured with the windows): a brush-9 stroke step, a
// fill of the map's largest region with its undo step, the undo of it, and
// "vor4map edit --fill" over that region next to "vor4map normalize".

#include "BrushTool.h"
#include "EditOperations.h"
#include "MapDocument.h"
#include "MapGenerator.h"
#include "PlotArea.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QUndoStack>

#include <vector>

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

struct Region
{
    QPoint seed;
    int size = 0;
};

// The largest 4-connected region of equal terrain line, found plainly once:
// each cell's line interned, then a breadth-first labelling.
const Region &largestRegion()
{
    static const Region region = [] {
        Region best;
        const vor4::PlotTable &plots = bigMap().document().PlotTexts;
        const int cols = plots.columnCount(), rows = plots.rowCount();
        QHash<QByteArray, int> ids;
        std::vector<int> value(std::size_t(cols) * rows);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) {
                const QByteArray v = vor4::PaintRule::valueOf(plots.view(c, r), "TerrainType").toByteArray();
                value[std::size_t(r) * cols + c] = ids.value(v, int(ids.size()));
                ids.insert(v, value[std::size_t(r) * cols + c]);
            }
        std::vector<bool> seen(value.size());
        std::vector<int> queue;
        for (std::size_t start = 0; start < value.size(); ++start) {
            if (seen[start])
                continue;
            seen[start] = true;
            queue.assign(1, int(start));
            for (std::size_t i = 0; i < queue.size(); ++i) {
                const int at = queue[i], c = at % cols, r = at / cols;
                const int next[4][2] = {{c - 1, r}, {c + 1, r}, {c, r - 1}, {c, r + 1}};
                for (const auto &n : next) {
                    if (n[0] < 0 || n[1] < 0 || n[0] >= cols || n[1] >= rows)
                        continue;
                    const std::size_t j = std::size_t(n[1]) * cols + n[0];
                    if (!seen[j] && value[j] == value[start]) {
                        seen[j] = true;
                        queue.push_back(int(j));
                    }
                }
            }
            if (int(queue.size()) > best.size)
                best = {QPoint(int(start % cols), int(start / cols)), int(queue.size())};
        }
        return best;
    }();
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
    int plots = 0;
    for (auto _ : state) {
        plots = vor4::EditOperations::fill(md, rule, vor4::EditOperations::Put, largestRegion().seed).plots;
        state.PauseTiming();
        md.undoStack()->undo();
        state.ResumeTiming();
    }
    if (plots != largestRegion().size)
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
