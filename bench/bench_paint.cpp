// Painting the map: a full repaint of a 1920 x 1080 view of the 1000 x 1000
// benchmark map with every layer on, through the grid's painter, in each
// style, with the plots' looks kept as the grid keeps them and with every
// plot read anew; and "vor4map render" of the whole map at cell size 4 as a separate
// process, as today's plain render and as an export with the pieces, with
// its time and its peak memory against the map file's size.

#include "MapGenerator.h"
#include "MapPainter.h"
#include "MapPieces.h"
#include "MapReader.h"
#include "MapStyle.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>

#include <ctime>
#include <spawn.h>
#include <sys/resource.h>
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

const vor4::MapStyle &styleOf(int64_t index)
{
    return index == 0 ? vor4::MapStyle::classic() : vor4::MapStyle::terrain();
}

// The grid's settings: default palette colours, grid lines, all layers, the
// view somewhere inside the map.
vor4::GridPaintParams viewParams(int cellSize, int lineWidth, int64_t style = 0)
{
    const vor4::Document &doc = bigMap();
    vor4::GridPaintParams p;
    p.style = styleOf(style);
    p.cellSize = cellSize;
    p.lineWidth = lineWidth;
    p.colCount = doc.columnCount();
    p.rowCount = doc.rowCount();
    p.leftCol = 300;
    p.topRow = 200;
    p.highlightCol = 310;
    p.highlightRow = 210;
    p.cellPen = vor4::gridCellPen(lineWidth, p.style.gridLine);
    return p;
}

// keepCache: the tiles of the paint before are kept; read: every plot's
// text is read again rather than its look kept since the grid last read it.
void paintView(benchmark::State &state, bool keepCache, bool read = false)
{
    const vor4::Document &doc = bigMap();
    if (doc.columnCount() < 1000) {
        state.SkipWithError("benchmark map not available");
        return;
    }
    const vor4::GridPaintParams params = viewParams(int(state.range(0)), int(state.range(1)), state.range(2));
    QImage view(1920, 1080, QImage::Format_RGB32);
    vor4::MapPainter painter;
    vor4::PlotLooks looks;
    vor4::PlotLooks *kept = read ? nullptr : &looks;
    painter.paint(view, doc.PlotTexts, params, kept); // the grid's first paint fills the caches
    for (auto _ : state) {
        if (!keepCache)
            painter.clearCache();
        painter.paint(view, doc.PlotTexts, params, kept);
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

// Every plot's text read again, as for a view first shown after Open.
void BM_PaintViewUnread(benchmark::State &state)
{
    paintView(state, true, true);
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
        vor4::paintGridDirect(view, doc.PlotTexts, params);
        benchmark::DoNotOptimize(view.constBits());
    }
}

// The same view with the four piece layers drawn over it, as the grid's
// overlay does after the cells: starts, units, signs and rivers.
void BM_PaintViewWithPieces(benchmark::State &state)
{
    const vor4::Document &doc = bigMap();
    if (doc.columnCount() < 1000) {
        state.SkipWithError("benchmark map not available");
        return;
    }
    const vor4::GridPaintParams params = viewParams(int(state.range(0)), int(state.range(1)), state.range(2));
    QImage view(1920, 1080, QImage::Format_RGB32);
    vor4::MapPainter painter;
    vor4::PlotLooks looks;
    vor4::MapPieces pieces(&doc);
    const QRect cells = params.cellsUnder(view.rect(), params.style.pieceReach(params.cellSize));
    const auto paint = [&] {
        painter.paint(view, doc.PlotTexts, params, &looks);
        QPainter p(&view);
        pieces.paint(p, params, cells, vor4::PieceLayers());
    };
    paint(); // the first paint reads the plots in view
    for (auto _ : state) {
        paint();
        benchmark::DoNotOptimize(view.constBits());
    }
}

// Runs a program to its end: its wall time and its peak resident memory.
bool runProcess(const QStringList &args, double &seconds, double *peakMB = nullptr)
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
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return false;
    clock_gettime(CLOCK_MONOTONIC, &stop);
    if (peakMB)
        *peakMB = double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
    seconds = double(stop.tv_sec - start.tv_sec) + double(stop.tv_nsec - start.tv_nsec) * 1e-9;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// vor4map render of the whole 1000 x 1000 map at cell size 4 (5000 x 5000
// pixels): loading, painting in bands and writing the PNG, as a user pays.
// Argument: 0 the plain Classic picture, 1 the Terrain style with the
// pieces, as File > Export picture writes it.
void BM_RenderCommand(benchmark::State &state)
{
    const QString map = benchmarkMapPath(1000, 1000);
    if (map.isEmpty()) {
        state.SkipWithError("benchmark map not available");
        return;
    }
    const QString out = QDir::temp().filePath(QStringLiteral("vor4-bench/render-cell4.png"));
    QStringList args{QStringLiteral(VOR4MAP_PATH), QStringLiteral("render"), map, out,
                     QStringLiteral("--cell"), QStringLiteral("4")};
    if (state.range(0) == 1)
        args << QStringLiteral("--style") << QStringLiteral("terrain") << QStringLiteral("--pieces");
    double peak = 0;
    for (auto _ : state) {
        double seconds = 0;
        if (!runProcess(args, seconds, &peak)) {
            state.SkipWithError("vor4map render failed");
            return;
        }
        state.SetIterationTime(seconds);
    }
    const double mapMB = double(QFile(map).size()) / (1024.0 * 1024.0);
    state.counters["png_MB"] = double(QFile(out).size()) / 1e6;
    state.counters["peak_MiB"] = peak;
    state.counters["map_MiB"] = mapMB;
    state.counters["peak_per_map"] = peak / mapMB;
    QFile::remove(out);
}

} // namespace

// Arguments: cell size, grid line width. Cell size 4 without lines is the
// most cells a 1920 x 1080 view can hold (480 x 270).
// Arguments: cell size, grid line width, style (0 Classic, 1 Terrain).
BENCHMARK(BM_PaintView)
    ->ArgNames({"cell", "lines", "style"})
    ->Args({16, 1, 0})
    ->Args({4, 1, 0})
    ->Args({4, 0, 0})
    ->Args({16, 1, 1})
    ->Args({4, 1, 1})
    ->Args({4, 0, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_PaintViewUnread)
    ->ArgNames({"cell", "lines", "style"})
    ->Args({16, 1, 0})
    ->Args({4, 1, 0})
    ->Args({4, 0, 0})
    ->Args({16, 1, 1})
    ->Args({4, 1, 1})
    ->Args({4, 0, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_PaintViewWithPieces)
    ->ArgNames({"cell", "lines", "style"})
    ->Args({16, 1, 0})
    ->Args({4, 1, 0})
    ->Args({16, 1, 1})
    ->Args({4, 1, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_PaintViewColdCache)
    ->ArgNames({"cell", "lines", "style"})
    ->Args({16, 1, 0})
    ->Args({4, 0, 0})
    ->Args({16, 1, 1})
    ->Args({4, 0, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_PaintViewDirect)
    ->ArgNames({"cell", "lines"})
    ->Args({16, 1})
    ->Args({4, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_RenderCommand)
    ->ArgName("export")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);

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
