// Painting the map: a full repaint of a 1920 x 1080 view of the 1000 x 1000
// benchmark map with every layer on, through the grid's painter, and
// "vor4map render" of the whole map at cell size 4 as a separate process.

#include "MapGenerator.h"
#include "MapDocument.h"
#include "MapPainter.h"
#include "MapPieces.h"
#include "ReplaceDocument.h"
#include "MapReader.h"
#include "MiniMap.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>

#include <ctime>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

const vor4::Document &bigMap()
{
    static const vor4::Document *doc = [] {
        auto *d = new vor4::Document;
        const QString path = benchmarkMapPath(1000, 1000);
        if (path.isEmpty() || !vor4::loadMapFile(path, *d).ok())
            d->ResetDocument(0, 0);
        return d;
    }();
    return *doc;
}

// The grid's settings: default palette colours, grid lines, all layers, the
// view somewhere inside the map.
vor4::GridPaintParams viewParams(int cellSize, int lineWidth)
{
    const vor4::Document &doc = bigMap();
    vor4::GridPaintParams p;
    p.cellSize = cellSize;
    p.lineWidth = lineWidth;
    p.colCount = doc.columnCount();
    p.rowCount = doc.rowCount();
    p.leftCol = 300;
    p.topRow = 200;
    p.highlightCol = 310;
    p.highlightRow = 210;
    p.cellPen = vor4::gridCellPen(lineWidth);
    return p;
}

void paintView(benchmark::State &state, bool keepCache)
{
    const vor4::Document &doc = bigMap();
    if (doc.columnCount() < 1000) {
        state.SkipWithError("benchmark map not available");
        return;
    }
    const vor4::GridPaintParams params = viewParams(int(state.range(0)), int(state.range(1)));
    QImage view(1920, 1080, QImage::Format_RGB32);
    QImage miniMap(vor4::miniMapSize(doc), QImage::Format_RGB32);
    miniMap.fill(Qt::white);
    vor4::MapPainter painter;
    painter.paint(view, doc.PlotTexts, params, &miniMap); // the grid's first paint fills the cache
    for (auto _ : state) {
        if (!keepCache)
            painter.clearCache();
        painter.paint(view, doc.PlotTexts, params, &miniMap);
        benchmark::DoNotOptimize(view.constBits());
    }
    const int pitch = params.pitch();
    state.counters["cells"] = double(((1920 + pitch - 1) / pitch) * ((1080 + pitch - 1) / pitch));
    state.counters["tiles"] = double(painter.tileCount());
}

void BM_PaintView(benchmark::State &state)
{
    paintView(state, true);
}

// Every distinct cell look painted anew: the cost of the first paint at a size.
void BM_PaintViewColdCache(benchmark::State &state)
{
    paintView(state, false);
}

// The same view painted cell by cell with QPainter, for comparison.
void BM_PaintViewDirect(benchmark::State &state)
{
    const vor4::Document &doc = bigMap();
    if (doc.columnCount() < 1000) {
        state.SkipWithError("benchmark map not available");
        return;
    }
    const vor4::GridPaintParams params = viewParams(int(state.range(0)), int(state.range(1)));
    QImage view(1920, 1080, QImage::Format_RGB32);
    for (auto _ : state) {
        vor4::paintGridDirect(view, doc.PlotTexts, params, nullptr);
        benchmark::DoNotOptimize(view.constBits());
    }
}

// The same view with the four piece layers drawn over it, as the grid's
// overlay does after the cells: starts, units, signs and rivers.
void BM_PaintViewWithPieces(benchmark::State &state)
{
    static vor4::MapDocument *md = [] {
        auto *d = new vor4::MapDocument;
        d->push(new vor4::ReplaceDocument(d, bigMap().deepCopy(), QStringLiteral("Open")));
        return d;
    }();
    const vor4::Document &doc = md->document();
    if (doc.columnCount() < 1000) {
        state.SkipWithError("benchmark map not available");
        return;
    }
    const vor4::GridPaintParams params = viewParams(int(state.range(0)), int(state.range(1)));
    QImage view(1920, 1080, QImage::Format_RGB32);
    vor4::MapPainter painter;
    vor4::MapPieces pieces(md);
    const int pitch = params.pitch();
    const QRect cells(params.leftCol - 1, params.topRow - 1, 1920 / pitch + 3, 1080 / pitch + 3);
    const auto paint = [&] {
        painter.paint(view, doc.PlotTexts, params, nullptr);
        QPainter p(&view);
        pieces.paint(p, cells, vor4::PieceLayers(), params.cellSize, [&](int col, int row) {
            return QRect((col - params.leftCol) * pitch, (row - params.topRow) * pitch, params.cellSize, params.cellSize);
        });
    };
    paint(); // the first paint reads the plots in view
    for (auto _ : state) {
        paint();
        benchmark::DoNotOptimize(view.constBits());
    }
}

bool runProcess(const QStringList &args, double &seconds)
{
    QList<QByteArray> bytes;
    for (const QString &a : args)
        bytes << QFile::encodeName(a);
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    timespec start{}, stop{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return false;
    clock_gettime(CLOCK_MONOTONIC, &stop);
    seconds = double(stop.tv_sec - start.tv_sec) + double(stop.tv_nsec - start.tv_nsec) * 1e-9;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// vor4map render of the whole 1000 x 1000 map at cell size 4 (5000 x 5000
// pixels): loading, painting in bands and writing the PNG, as a user pays.
void BM_RenderCommand(benchmark::State &state)
{
    const QString map = benchmarkMapPath(1000, 1000);
    if (map.isEmpty()) {
        state.SkipWithError("benchmark map not available");
        return;
    }
    const QString out = QDir::temp().filePath(QStringLiteral("vor4-bench/render-cell4.png"));
    const QStringList args{QStringLiteral(VOR4MAP_PATH), QStringLiteral("render"), map, out,
                           QStringLiteral("--cell"), QStringLiteral("4")};
    for (auto _ : state) {
        double seconds = 0;
        if (!runProcess(args, seconds)) {
            state.SkipWithError("vor4map render failed");
            return;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["png_MB"] = double(QFile(out).size()) / 1e6;
    QFile::remove(out);
}

} // namespace

// Arguments: cell size, grid line width. Cell size 4 without lines is the
// most cells a 1920 x 1080 view can hold (480 x 270).
BENCHMARK(BM_PaintView)
    ->ArgNames({"cell", "lines"})
    ->Args({16, 1})
    ->Args({4, 1})
    ->Args({4, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_PaintViewWithPieces)
    ->ArgNames({"cell", "lines"})
    ->Args({16, 1})
    ->Args({4, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_PaintViewColdCache)
    ->ArgNames({"cell", "lines"})
    ->Args({16, 1})
    ->Args({4, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_PaintViewDirect)
    ->ArgNames({"cell", "lines"})
    ->Args({16, 1})
    ->Args({4, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_RenderCommand)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

int main(int argc, char **argv)
{
    // Fonts need a GUI application; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
