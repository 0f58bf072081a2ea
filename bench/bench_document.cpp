// Reading and writing the document: the 1000 x 1000 benchmark map, the
// vor4map normalize round trip as a separate process (wall time and peak
// resident memory), and the small fixtures for regression tracking.

#include "MapGenerator.h"
#include "MapReader.h"
#include "MapWriter.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <vector>
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

struct BigMap
{
    QString path;
    qint64 size = 0;
    qint64 lines = 0;
};

const BigMap &bigMap()
{
    static const BigMap map = [] {
        BigMap m;
        m.path = benchmarkMapPath(1000, 1000);
        QFile file(m.path);
        if (!m.path.isEmpty() && file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            m.size = bytes.size();
            m.lines = bytes.count('\n');
        }
        return m;
    }();
    return map;
}

// The map read and parsed once, for the writer's benchmarks.
const vor4::Document &loadedBigMap()
{
    static const vor4::Document doc = [] {
        vor4::Document d;
        vor4::loadMapFile(bigMap().path, d);
        return d;
    }();
    return doc;
}

QString scratchPath(const char *name)
{
    const QString dir = QDir::tempPath() + QStringLiteral("/vor4-bench");
    QDir().mkpath(dir);
    return QStringLiteral("%1/%2-%3.Vor4WorldBuilderSave").arg(dir, QLatin1String(name)).arg(qint64(getpid()));
}

bool requireMap(benchmark::State &state)
{
    if (bigMap().size > 0)
        return true;
    state.SkipWithError("benchmark map could not be generated");
    return false;
}

void setBytes(benchmark::State &state, qint64 bytes)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
}

// Bytes and lines of the benchmark map per second.
void setMapThroughput(benchmark::State &state)
{
    setBytes(state, bigMap().size);
    state.SetItemsProcessed(int64_t(state.iterations()) * bigMap().lines);
}

// The floor for reading: the file's bytes and nothing else.
void BM_ReadFileBytes(benchmark::State &state)
{
    if (!requireMap(state))
        return;
    for (auto _ : state) {
        QFile file(bigMap().path);
        file.open(QIODevice::ReadOnly);
        QByteArray bytes = file.readAll();
        benchmark::DoNotOptimize(bytes.data());
    }
    setBytes(state, bigMap().size);
}

void BM_ReadFileLines(benchmark::State &state)
{
    if (!requireMap(state))
        return;
    vor4::Document doc;
    for (auto _ : state) {
        state.PauseTiming();
        doc.ResetDocument(0, 0);
        state.ResumeTiming();
        const vor4::LoadResult r = vor4::readFileLines(bigMap().path, doc);
        if (!r.ok())
            state.SkipWithError(qPrintable(r.message));
    }
    setMapThroughput(state);
}

void BM_ParseFileLines(benchmark::State &state)
{
    if (!requireMap(state))
        return;
    vor4::Document source;
    vor4::readFileLines(bigMap().path, source);
    vor4::Document doc;
    for (auto _ : state) {
        state.PauseTiming();
        doc.ResetDocument(0, 0);
        doc.FileLines = source.FileLines; // shares the bytes
        state.ResumeTiming();
        const vor4::LoadResult r = vor4::ParseFileLines(doc);
        if (!r.ok())
            state.SkipWithError(qPrintable(r.message));
    }
    setMapThroughput(state);
}

// Open without the window: reset, read, parse, release the file's bytes.
void BM_LoadMapFile(benchmark::State &state)
{
    if (!requireMap(state))
        return;
    vor4::Document doc;
    for (auto _ : state) {
        const vor4::LoadResult r = vor4::loadMapFile(bigMap().path, doc);
        if (!r.ok())
            state.SkipWithError(qPrintable(r.message));
    }
    setMapThroughput(state);
}

void BM_BuildSaveFile(benchmark::State &state)
{
    if (!requireMap(state))
        return;
    const vor4::Document &doc = loadedBigMap();
    qint64 size = 0;
    for (auto _ : state) {
        const QByteArray bytes = vor4::buildSaveFile(doc);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.constData());
    }
    if (size != bigMap().size)
        state.SkipWithError("the written map differs in size from the generated one");
    setMapThroughput(state);
}

void BM_BuildAndWriteMapFile(benchmark::State &state)
{
    if (!requireMap(state))
        return;
    const vor4::Document &doc = loadedBigMap();
    const QString out = scratchPath("write");
    for (auto _ : state) {
        const vor4::SaveResult r = vor4::writeMapFile(out, vor4::buildSaveFile(doc));
        if (!r.ok)
            state.SkipWithError(qPrintable(r.message));
    }
    QFile::remove(out);
    setMapThroughput(state);
}

struct ChildFigures
{
    double seconds = 0;
    long maxRssKiB = 0;
};

// Runs argv[0] with argv and waits for it; figures of that child alone.
bool runChild(char **argv, ChildFigures &figures)
{
    timespec start{}, stop{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    // The tool's own output (edit's log) must not mix with the figures.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return false;
    int status = 0;
    struct rusage usage;
    std::memset(&usage, 0, sizeof usage);
    if (wait4(pid, &status, 0, &usage) != pid)
        return false;
    clock_gettime(CLOCK_MONOTONIC, &stop);
    figures.seconds = double(stop.tv_sec - start.tv_sec) + double(stop.tv_nsec - start.tv_nsec) * 1e-9;
    figures.maxRssKiB = usage.ru_maxrss;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A process started from this one would report this process's peak as its
// own (Linux carries the high-water mark through exec). So a fresh copy of
// this program, still small, starts the tool and reports its figures.
const char *const MeasureOption = "--measure-child";

int measureChildMain(int argc, char **argv)
{
    if (argc < 3)
        return 2;
    ChildFigures figures;
    const bool ok = runChild(argv + 2, figures);
    std::printf("%.9f %ld\n", figures.seconds, figures.maxRssKiB);
    return ok ? 0 : 1;
}

// Runs vor4map with these arguments as a separate process, as a user of the
// tool pays.
bool runTool(const QList<QByteArray> &args, ChildFigures &figures)
{
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return false;
    self[n] = 0;
    const QByteArray tool = VOR4MAP_PATH;
    std::vector<char *> argv{self, const_cast<char *>(MeasureOption), const_cast<char *>(tool.constData())};
    for (const QByteArray &arg : args)
        argv.push_back(const_cast<char *>(arg.constData()));
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
    return std::sscanf(buf, "%lf %ld", &figures.seconds, &figures.maxRssKiB) == 2;
}

bool runNormalize(const QString &in, const QString &out, ChildFigures &figures)
{
    return runTool({"normalize", QFile::encodeName(in), QFile::encodeName(out)}, figures);
}

// `vor4map OPERATION IN OUT ARGS...` on the file: wall time, peak resident
// memory against the file's size. Returns the mean seconds.
double toolBenchmark(benchmark::State &state, const QByteArray &operation, const QString &in, qint64 inSize,
                   const QList<QByteArray> &args = {})
{
    const QString out = scratchPath(operation.constData());
    long peakKiB = 0;
    double total = 0;
    int runs = 0;
    for (auto _ : state) {
        ChildFigures figures;
        if (!runTool(QList<QByteArray>{operation, QFile::encodeName(in), QFile::encodeName(out)} + args, figures)) {
            state.SkipWithError("vor4map failed");
            break;
        }
        state.SetIterationTime(figures.seconds);
        peakKiB = std::max(peakKiB, figures.maxRssKiB);
        total += figures.seconds;
        ++runs;
    }
    QFile::remove(out);
    const double peakBytes = double(peakKiB) * 1024.0;
    state.counters["peak_rss_MiB"] = peakBytes / (1024.0 * 1024.0);
    state.counters["rss_per_file"] = inSize > 0 ? peakBytes / double(inSize) : 0.0;
    setBytes(state, inSize);
    return runs > 0 ? total / runs : 0.0;
}

void normalizeBenchmark(benchmark::State &state, const QString &in, qint64 inSize)
{
    static_cast<void>(toolBenchmark(state, "normalize", in, inSize));
}

void BM_Normalize(benchmark::State &state)
{
    if (!requireMap(state))
        return;
    // The generated map is already in the written form: the round trip must
    // give the same bytes, or the figures measure something else.
    static const bool sameBytes = [] {
        const QString out = scratchPath("check");
        ChildFigures figures;
        bool same = false;
        if (runNormalize(bigMap().path, out, figures)) {
            QFile a(bigMap().path), b(out);
            same = a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly) && a.readAll() == b.readAll();
        }
        QFile::remove(out);
        return same;
    }();
    if (!sameBytes) {
        state.SkipWithError("normalize does not reproduce the generated map");
        return;
    }
    normalizeBenchmark(state, bigMap().path, bigMap().size);
}

// A put that changes every plot and a fill over the whole map: together at
// most 1.6 x normalize, peak memory at most 2 x the file. "per_normalize"
// is the mean time against normalize's best of three.
void BM_EditPutAllAndFill(benchmark::State &state)
{
    if (!requireMap(state))
        return;
    static const double normalizeSeconds = [] {
        double best = 0;
        const QString out = scratchPath("normalize");
        for (int i = 0; i < 3; ++i) {
            ChildFigures figures;
            if (runNormalize(bigMap().path, out, figures) && (best == 0 || figures.seconds < best))
                best = figures.seconds;
        }
        QFile::remove(out);
        return best;
    }();
    const double seconds = toolBenchmark(state, "edit", bigMap().path, bigMap().size,
                                         {"--put", "TerrainType=TERRAIN_OCEAN", "all", "--fill",
                                          "TerrainType=TERRAIN_GRASS", "0,0"});
    if (normalizeSeconds > 0)
        state.counters["per_normalize"] = seconds / normalizeSeconds;
}

// vor4map new on the largest map with 18 players: at most 2 x normalize of
// the map it wrote. "per_normalize" is the mean time against normalize's
// best of three.
void BM_NewMap(benchmark::State &state, const char *land)
{
    const QString out = scratchPath("new");
    double total = 0;
    int runs = 0;
    for (auto _ : state) {
        ChildFigures figures;
        if (!runTool({"new", QFile::encodeName(out), "--size", "1000,1000", "--players", "18", "--land", land,
                      "--seed", "3"},
                     figures)) {
            state.SkipWithError("vor4map new failed");
            return;
        }
        state.SetIterationTime(figures.seconds);
        total += figures.seconds;
        ++runs;
    }
    double best = 0;
    const QString again = scratchPath("normalized");
    for (int i = 0; i < 3; ++i) {
        ChildFigures figures;
        if (runNormalize(out, again, figures) && (best == 0 || figures.seconds < best))
            best = figures.seconds;
    }
    setBytes(state, QFileInfo(out).size());
    QFile::remove(out);
    QFile::remove(again);
    if (best > 0 && runs > 0)
        state.counters["per_normalize"] = total / runs / best;
}

void BM_NormalizeSmallFixture(benchmark::State &state)
{
    const QString path = QStringLiteral(VOR4_FIXTURES_DIR "/island-15x15.Vor4WorldBuilderSave");
    normalizeBenchmark(state, path, QFileInfo(path).size());
}

void BM_LoadFixture(benchmark::State &state, const char *name)
{
    const QString path = QStringLiteral(VOR4_FIXTURES_DIR "/") + QLatin1String(name);
    vor4::Document doc;
    for (auto _ : state) {
        const vor4::LoadResult r = vor4::loadMapFile(path, doc);
        if (!r.ok()) {
            state.SkipWithError(qPrintable(r.message));
            break;
        }
    }
    setBytes(state, QFileInfo(path).size());
}

void BM_BuildFixture(benchmark::State &state, const char *name)
{
    const QString path = QStringLiteral(VOR4_FIXTURES_DIR "/") + QLatin1String(name);
    vor4::Document doc;
    vor4::loadMapFile(path, doc);
    for (auto _ : state) {
        const QByteArray bytes = vor4::buildSaveFile(doc);
        benchmark::DoNotOptimize(bytes.constData());
    }
    setBytes(state, QFileInfo(path).size());
}

} // namespace

BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadFileLines)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ParseFileLines)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadMapFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BuildSaveFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BuildAndWriteMapFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Normalize)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_EditPutAllAndFill)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK_CAPTURE(BM_NewMap, continents, "continents")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK_CAPTURE(BM_NewMap, islands, "islands")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_NormalizeSmallFixture)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK_CAPTURE(BM_LoadFixture, island_15x15, "island-15x15.Vor4WorldBuilderSave")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_LoadFixture, continents_64x40, "continents-64x40.Vor4WorldBuilderSave")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_BuildFixture, island_15x15, "island-15x15.Vor4WorldBuilderSave")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_BuildFixture, continents_64x40, "continents-64x40.Vor4WorldBuilderSave")
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], MeasureOption) == 0)
        return measureChildMain(argc, argv);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const BigMap &map = bigMap();
    std::fprintf(stderr, "benchmark map: %s, %lld bytes, %lld lines\n", qPrintable(map.path),
                 static_cast<long long>(map.size), static_cast<long long>(map.lines));
    benchmark::AddCustomContext("benchmark_map_bytes", std::to_string(map.size));
    benchmark::AddCustomContext("benchmark_map_lines", std::to_string(map.lines));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
