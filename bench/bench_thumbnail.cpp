// vor4map thumbnail, balance and lint against vor4map check on the 1000 x
// 1000 benchmark map, each as the separate process a file manager or a
// script starts, with its peak memory; lint and check on a file of nothing
// but a 2048 x 2048 header; and the drawing alone, in this process, on the
// loaded map.

#include "MapGenerator.h"
#include "MapReader.h"
#include "Thumbnail.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

const QString &bigMap()
{
    static const QString path = benchmarkMapPath(1000, 1000);
    return path;
}

QString scratchPng()
{
    const QString dir = QDir::tempPath() + QStringLiteral("/vor4-bench");
    QDir().mkpath(dir);
    return QStringLiteral("%1/thumbnail-%2.png").arg(dir).arg(qint64(getpid()));
}

struct ToolTimes
{
    double wall = -1; // seconds; negative when the tool failed
    double cpu = 0;   // user and system seconds of the tool alone
    double peakMb = 0; // its largest resident size
};

// Runs vor4map with ARGS, its output thrown away; an exit status above
// worstOk is a failure.
ToolTimes runTool(const QStringList &args, int worstOk)
{
    QList<QByteArray> bytes{QByteArray(VOR4MAP_PATH)};
    for (const QString &a : args)
        bytes << QFile::encodeName(a);
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    timespec start{}, stop{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return {};
    int status = 0;
    struct rusage usage;
    std::memset(&usage, 0, sizeof usage);
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) > worstOk)
        return {};
    clock_gettime(CLOCK_MONOTONIC, &stop);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
    return {double(stop.tv_sec - start.tv_sec) + double(stop.tv_nsec - start.tv_nsec) * 1e-9,
            seconds(usage.ru_utime) + seconds(usage.ru_stime), double(usage.ru_maxrss) / 1024};
}

void toolBenchmark(benchmark::State &state, const QStringList &args, int worstOk = 0)
{
    if (bigMap().isEmpty()) {
        state.SkipWithError("benchmark map could not be generated");
        return;
    }
    double cpu = 0, peak = 0;
    for (auto _ : state) {
        const ToolTimes times = runTool(args, worstOk);
        if (times.wall < 0) {
            state.SkipWithError("vor4map failed");
            break;
        }
        state.SetIterationTime(times.wall);
        cpu += times.cpu;
        peak = std::max(peak, times.peakMb);
    }
    // On a busy machine the tool's own processor time says more than the wall time.
    state.counters["tool_cpu_ms"] = state.iterations() ? 1000 * cpu / double(state.iterations()) : 0;
    state.counters["peak_mb"] = peak;
}

// 3.9 KB of header for 2048 x 2048 plots without a line: every plot breaks
// two rules.
const QString &headerOnlyMap()
{
    static const QString path = [] {
        const QString file = QDir::tempPath() + QStringLiteral("/vor4-bench/header-only-2048.Vor4WorldBuilderSave");
        QDir().mkpath(QFileInfo(file).path());
        QFile f(file);
        QByteArray text = "Version=11\r\nBeginGame\r\nEndGame\r\n";
        for (int i = 0; i < 18; ++i)
            text += "BeginTeam\r\n\tTeamID=" + QByteArray::number(i) + "\r\nEndTeam\r\n";
        for (int i = 0; i < 18; ++i)
            text += "BeginPlayer\r\n\tTeam=" + QByteArray::number(i) + "\r\n\tLeaderType=NONE\r\nEndPlayer\r\n";
        text += "BeginMap\r\n\tgrid width=2048\r\n\tgrid height=2048\r\n\ttop latitude=90\r\n\tbottom latitude=-90\r\n"
                "\twrap X=1\r\n\twrap Y=0\r\n\tnum plots written=4194304\r\nEndMap\r\n";
        return f.open(QIODevice::WriteOnly) && f.write(text) == text.size() ? file : QString();
    }();
    return path;
}

void BM_CheckCommand(benchmark::State &state)
{
    toolBenchmark(state, {QStringLiteral("check"), bigMap()});
}

// The report with territory, yields from game data files of its own.
void BM_BalanceCommand(benchmark::State &state)
{
    const QString dir = QDir::tempPath() + QStringLiteral("/vor4-bench/balance-data");
    QDir().mkpath(dir);
    const char *const files[][2] = {
        {"VOR4TerrainInfos.xml", "<T><I><Type>TERRAIN_GRASS</Type><Yields><iYield>2</iYield></Yields></I></T>"},
        {"VOR4FeatureInfos.xml", "<F><I><Type>FEATURE_FOREST</Type><YieldChanges><iYieldChange>0</iYieldChange>"
                                 "<iYieldChange>1</iYieldChange></YieldChanges></I></F>"},
        {"VOR4BonusInfos.xml", "<B><I><Type>BONUS_IRON</Type><TechReveal>TECH_X</TechReveal></I></B>"},
        {"VOR4YieldInfos.xml", "<Y><I><Type>YIELD_FOOD</Type><iHillsChange>-1</iHillsChange></I></Y>"}};
    for (const auto &[name, text] : files) {
        QFile f(dir + u'/' + QLatin1String(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(text) < 0)
            state.SkipWithError("data files could not be written");
    }
    toolBenchmark(state, {QStringLiteral("balance"), bigMap(), QStringLiteral("--data"), dir});
}

void BM_LintCommand(benchmark::State &state)
{
    // Findings answer with 1.
    toolBenchmark(state, {QStringLiteral("lint"), bigMap()}, 1);
}

// Two rules broken on 4.2 million plots: one line each, in bounded memory.
void BM_CheckHeaderOnly(benchmark::State &state)
{
    toolBenchmark(state, {QStringLiteral("check"), headerOnlyMap()});
}

void BM_LintHeaderOnly(benchmark::State &state)
{
    toolBenchmark(state, {QStringLiteral("lint"), headerOnlyMap()}, 1);
}

void BM_ThumbnailCommand(benchmark::State &state)
{
    const QString out = scratchPng();
    toolBenchmark(state, {QStringLiteral("thumbnail"), bigMap(), out, QStringLiteral("--size"),
                          QString::number(state.range(0))});
    QFile::remove(out);
}

void BM_RenderThumbnail(benchmark::State &state)
{
    static const vor4::Document doc = [] {
        vor4::Document d;
        vor4::loadMapFile(bigMap(), d);
        return d;
    }();
    for (auto _ : state) {
        const QImage image = vor4::renderThumbnail(doc.PlotTexts, int(state.range(0)));
        benchmark::DoNotOptimize(image.constBits());
    }
}

} // namespace

BENCHMARK(BM_CheckCommand)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_BalanceCommand)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_LintCommand)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_CheckHeaderOnly)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_LintHeaderOnly)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_ThumbnailCommand)->Arg(256)->Arg(1024)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_RenderThumbnail)->Arg(128)->Arg(256)->Arg(1024)->Unit(benchmark::kMillisecond);

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
