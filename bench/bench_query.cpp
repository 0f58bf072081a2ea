// Seeing into the 1000 x 1000 benchmark map: find (plain, whole line,
// regular expression), the sliced search's longest slice, replace all with
// its undo, statistics and their following of an edit, the balance report
// with territory and its following of an edit, and vor4map diff of
// two versions against vor4map normalize as separate processes (wall time and
// peak resident memory).

#include "BalanceReport.h"
#include "MapDiff.h"
#include "MapDocument.h"
#include "MapGenerator.h"
#include "MapReader.h"
#include "MapWriter.h"
#include "PlotQuery.h"
#include "PlotReplace.h"
#include "PlotSearch.h"
#include "PlotStatistics.h"
#include "SetPlotTexts.h"
#include "StatisticsModel.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

vor4::MapDocument &bigMap()
{
    static vor4::MapDocument *doc = [] {
        auto *d = new vor4::MapDocument;
        d->load(benchmarkMapPath(1000, 1000));
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

void find(benchmark::State &state, const char *pattern, vor4::FindOptions options)
{
    if (!requireMap(state))
        return;
    const vor4::PlotQuery query = vor4::PlotQuery::compile(QString::fromLatin1(pattern), options);
    std::size_t found = 0;
    for (auto _ : state) {
        const std::vector<qint32> cells = query.find(bigMap().document().PlotTexts);
        found = cells.size();
        benchmark::DoNotOptimize(cells.data());
    }
    state.counters["plots_found"] = double(found);
}

void BM_FindText(benchmark::State &state) { find(state, "bonus_gold", {false, false, false}); }
void BM_FindTextMatchCase(benchmark::State &state) { find(state, "BONUS_GOLD", {true, false, false}); }
void BM_FindTextInEveryPlot(benchmark::State &state) { find(state, "terraintype", {false, false, false}); }
void BM_FindWholeLine(benchmark::State &state) { find(state, "plottype=1", {false, true, false}); }
void BM_FindRegex(benchmark::State &state) { find(state, "BONUS_(GOLD|SILVER)\\b", {true, false, true}); }
void BM_FindRegexIgnoreCase(benchmark::State &state) { find(state, "improvementtype=\\w+_(MINE|FARM)", {}); }
void BM_FindRegexInEveryPlot(benchmark::State &state) { find(state, "^PlotType=\\d$", {true, false, true}); }
void BM_FindRegexWholeLine(benchmark::State &state) { find(state, "TerrainType=TERRAIN_(SNOW|TUNDRA)", {true, true, true}); }
// A lookbehind can see past a line's end, so every line is matched alone.
void BM_FindRegexLineByLine(benchmark::State &state) { find(state, "(?<=Type=)BONUS_GOLD", {true, false, true}); }

// The window's view: the longest time the event loop waits for a slice.
void BM_SearchInSlices(benchmark::State &state)
{
    if (!requireMap(state))
        return;
    vor4::PlotSearch search(&bigMap());
    const vor4::PlotQuery query = vor4::PlotQuery::compile("BONUS_", {});
    double longest = 0;
    int slices = 0;
    for (auto _ : state) {
        search.start(query);
        slices = 0;
        while (search.isRunning()) {
            QElapsedTimer clock;
            clock.start();
            QCoreApplication::processEvents();
            longest = std::max(longest, double(clock.nsecsElapsed()) / 1e6);
            ++slices;
        }
    }
    state.counters["longest_slice_ms"] = longest;
    state.counters["slices"] = slices;
    state.counters["plots_found"] = search.count();
}

void BM_ReplaceAllAndUndo(benchmark::State &state)
{
    if (!requireMap(state))
        return;
    const vor4::PlotQuery query = vor4::PlotQuery::compile("TERRAIN_GRASS", {true, false, false});
    int plots = 0;
    double undoSeconds = 0;
    for (auto _ : state) {
        const vor4::ReplaceResult r = vor4::replaceInArea(&bigMap(), query, "TERRAIN_PLAINS");
        plots = r.plots;
        state.PauseTiming();
        QElapsedTimer clock;
        clock.start();
        bigMap().undoStack()->undo();
        undoSeconds += double(clock.nsecsElapsed()) / 1e9;
        state.ResumeTiming();
    }
    bigMap().undoStack()->clear();
    state.counters["plots_replaced"] = plots;
    state.counters["undo_ms"] = undoSeconds * 1e3 / double(state.iterations());
}

void BM_StatisticsOfWholeMap(benchmark::State &state)
{
    if (!requireMap(state))
        return;
    vor4::PlotStatistics stats;
    for (auto _ : state) {
        stats.count(bigMap().document().PlotTexts);
        benchmark::DoNotOptimize(stats.landCount());
    }
    state.counters["values"] = stats.valueCount(vor4::PlotStatistics::Bonus);
}

// The statistics window open while a plot is edited and the edit undone.
void BM_StatisticsFollowPlotEdit(benchmark::State &state)
{
    if (!requireMap(state))
        return;
    vor4::StatisticsModel model(&bigMap());
    for (auto _ : state) {
        auto *step = new vor4::SetPlotTexts(&bigMap(), QStringLiteral("Edit"));
        step->add(500, 500, "TerrainType=TERRAIN_MARS\r\nPlotType=2");
        bigMap().push(step);
        bigMap().undoStack()->undo();
    }
    bigMap().undoStack()->clear();
    state.counters["rows"] = model.rowCount();
}

// --- vor4map diff against vor4map normalize, each as a separate process.

QString scratchPath(const char *name)
{
    const QString dir = QDir::tempPath() + QStringLiteral("/vor4-bench");
    QDir().mkpath(dir);
    return QStringLiteral("%1/%2-%3.Vor4WorldBuilderSave").arg(dir, QLatin1String(name)).arg(qint64(getpid()));
}

bool changedMapWritten = false;

// The benchmark map with 1,000 plots changed, spread over the map.
const QString &changedMapPath()
{
    static const QString path = [] {
        changedMapWritten = true;
        const QString p = scratchPath("changed");
        vor4::Document doc;
        if (!vor4::loadMapFile(benchmarkMapPath(1000, 1000), doc).ok())
            return QString();
        // 997 is prime to 1,000,000: a thousand different cells.
        for (int i = 0; i < 1000; ++i) {
            const int cell = i * 997 % 1000000;
            doc.PlotTexts.setText(cell % 1000, cell / 1000, "TerrainType=TERRAIN_MARS\r\nPlotType=2");
        }
        return vor4::writeMapFile(p, vor4::buildSaveFile(doc)).ok ? p : QString();
    }();
    return path;
}

struct ChildFigures
{
    double seconds = 0;
    long maxRssKiB = 0;
};

// A process started from this one would report this process's peak as its
// own (Linux carries the high-water mark through exec). So a fresh copy of
// this program, still small, starts the tool and reports its figures.
const char *const MeasureOption = "--measure-child";

int measureChildMain(char **argv)
{
    timespec start{}, stop{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    pid_t pid = 0;
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawn(&pid, argv[0], &quiet, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0)
        return 1;
    int status = 0;
    struct rusage usage;
    std::memset(&usage, 0, sizeof usage);
    if (wait4(pid, &status, 0, &usage) != pid)
        return 1;
    clock_gettime(CLOCK_MONOTONIC, &stop);
    const double seconds = double(stop.tv_sec - start.tv_sec) + double(stop.tv_nsec - start.tv_nsec) * 1e-9;
    std::printf("%.9f %ld %d\n", seconds, usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    return 0;
}

// Runs vor4map with args as a grandchild; its figures and exit status.
bool runTool(const QList<QByteArray> &args, ChildFigures &figures, int &exitStatus)
{
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return false;
    self[n] = 0;
    const QByteArray tool = VOR4MAP_PATH;
    std::vector<char *> argv = {self, const_cast<char *>(MeasureOption), const_cast<char *>(tool.constData())};
    for (const QByteArray &a : args)
        argv.push_back(const_cast<char *>(a.constData()));
    argv.push_back(nullptr);

    int fds[2];
    if (pipe(fds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, self, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        return false;
    }
    char buf[128] = {};
    std::size_t got = 0;
    for (ssize_t r; got < sizeof buf - 1 && (r = read(fds[0], buf + got, sizeof buf - 1 - got)) > 0;)
        got += std::size_t(r);
    close(fds[0]);
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return false;
    return std::sscanf(buf, "%lf %ld %d", &figures.seconds, &figures.maxRssKiB, &exitStatus) == 3;
}

void BM_DiffAgainstNormalize(benchmark::State &state)
{
    const QString a = benchmarkMapPath(1000, 1000);
    const QString &b = changedMapPath();
    if (a.isEmpty() || b.isEmpty()) {
        state.SkipWithError("benchmark maps could not be written");
        return;
    }
    const QString out = scratchPath("normalized");
    double diffSeconds = 0, normalizeSeconds = 0;
    long diffPeak = 0, normalizePeak = 0;
    for (auto _ : state) {
        ChildFigures normalize, diff;
        int normalizeStatus = -1, diffStatus = -1;
        if (!runTool({"normalize", QFile::encodeName(a), QFile::encodeName(out)}, normalize, normalizeStatus)
            || normalizeStatus != 0
            || !runTool({"diff", QFile::encodeName(a), QFile::encodeName(b)}, diff, diffStatus) || diffStatus != 1) {
            state.SkipWithError("vor4map normalize or diff failed");
            break;
        }
        state.SetIterationTime(diff.seconds);
        diffSeconds += diff.seconds;
        normalizeSeconds += normalize.seconds;
        diffPeak = std::max(diffPeak, diff.maxRssKiB);
        normalizePeak = std::max(normalizePeak, normalize.maxRssKiB);
    }
    QFile::remove(out);
    const double twoFiles = double(QFileInfo(a).size() + QFileInfo(b).size());
    state.counters["normalize_ms"] = normalizeSeconds * 1e3 / double(state.iterations());
    state.counters["diff_per_normalize"] = normalizeSeconds > 0 ? diffSeconds / normalizeSeconds : 0.0;
    state.counters["diff_peak_rss_MiB"] = double(diffPeak) / 1024.0;
    state.counters["diff_rss_per_two_files"] = double(diffPeak) * 1024.0 / twoFiles;
    state.counters["normalize_peak_rss_MiB"] = double(normalizePeak) / 1024.0;
}

// The comparison alone, both documents in memory.
void BM_CompareDocuments(benchmark::State &state)
{
    if (!requireMap(state) || changedMapPath().isEmpty())
        return;
    static vor4::Document changed;
    if (changed.columnCount() != 1000)
        vor4::loadMapFile(changedMapPath(), changed);
    vor4::MapDiffStat stat;
    for (auto _ : state) {
        qint64 bytes = 0;
        stat = vor4::MapDiff::compare(bigMap().document(), changed, [&bytes](QByteArrayView s) { bytes += s.size(); });
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["plots_changed"] = double(stat.plotsChanged);
}

} // namespace

// The balance report with territory read afresh from the map in memory, as
// the map generator asks for it.
void BM_BalanceOfWholeMap(benchmark::State &state)
{
    if (!requireMap(state))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(vor4::BalanceReport::of(bigMap().document()));
}

// A plot beside the first start turned from land to water and back, the
// report kept up to date: the plot read again, the landmasses joined anew
// and the land shared out again.
void BM_BalanceFollowsLandEdit(benchmark::State &state)
{
    if (!requireMap(state))
        return;
    vor4::Document doc = bigMap().document().deepCopy();
    vor4::BalanceAnalysis analysis;
    analysis.report(doc, vor4::GameYields());
    const QPoint at = analysis.territory().starts().value(0).at + QPoint(1, 0);
    const int row = doc.fileY(at.y());
    const QByteArray land = doc.PlotTexts.text(at.x(), row);
    bool water = false;
    for (auto _ : state) {
        water = !water;
        doc.PlotTexts.setText(at.x(), row, water ? QByteArray("\tPlotType=3\r\n") : land);
        analysis.rescan(doc, QRect(at.x(), row, 1, 1));
        benchmark::DoNotOptimize(analysis.report(doc, vor4::GameYields()));
    }
}

BENCHMARK(BM_FindText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindTextMatchCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindTextInEveryPlot)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindWholeLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindRegex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindRegexIgnoreCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindRegexInEveryPlot)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindRegexWholeLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindRegexLineByLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchInSlices)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceAllAndUndo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StatisticsOfWholeMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StatisticsFollowPlotEdit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BalanceOfWholeMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BalanceFollowsLandEdit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompareDocuments)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DiffAgainstNormalize)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

int main(int argc, char **argv)
{
    if (argc > 2 && std::strcmp(argv[1], MeasureOption) == 0)
        return measureChildMain(argv + 2);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (changedMapWritten)
        QFile::remove(changedMapPath());
    return 0;
}
