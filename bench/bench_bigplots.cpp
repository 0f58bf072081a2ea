// Maps with outsized texts through the main window: a plot holding one
// 50 MB line, a plot of 10 million lines and a 20 MB header value that is no
// number. Opening each is held against vor4map check on the same file
// (counter "cli_ms"); selecting and painting the big plot must stay quick.

#include "PlotEditor.h"
#include "AnswerDialogs.h"
#include "MapGenerator.h"
#include "MapGrid.h"
#include "SectionMemo.h"
#include "MainWindow.h"
#include "FileActions.h"
#include "MapPage.h"
#include <QAction>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QToolButton>
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>

extern char **environ;

namespace {

enum Kind { LongLine, ManyLines, BadValue };

// A 32 x 32 benchmark map with the outsized text put into the first plot
// block (x 0, y 0: column 0, bottom row) or into the grid width.
QString bigMapPath(Kind kind)
{
    static const char *const Names[] = {"longline", "manylines", "badvalue"};
    const QString path = QDir::temp().filePath(QStringLiteral("vor4-bench/big-%1.Vor4WorldBuilderSave")
                                                   .arg(QLatin1String(Names[kind])));
    if (QFile::exists(path))
        return path;
    QByteArray map = generateBenchmarkMap(32, 32);
    if (kind == BadValue) {
        const qsizetype at = map.indexOf("grid width=32") + 13;
        map.insert(at, QByteArray(20 << 20, 'x'));
    } else {
        const qsizetype plot = map.indexOf("BeginPlot");
        const qsizetype at = map.indexOf('\n', map.indexOf('\n', plot) + 1) + 1;
        QByteArray text;
        if (kind == LongLine) {
            text = "\tSign=" + QByteArray(50 << 20, 'A') + "\r\n";
        } else {
            text.reserve(10'000'000 * 7);
            for (int i = 0; i < 10'000'000; ++i)
                text += "\tK=" + QByteArray::number(i % 10) + "\r\n";
        }
        map.insert(at, text);
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(map) != map.size())
        return QString();
    return path;
}

// Dialogs that show an error as the real box would and close it at once.
class ShowingDialogs : public AnswerDialogs
{
public:
    using AnswerDialogs::AnswerDialogs;
    void error(QWidget *parent, const QString &text) override
    {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Vor4DemoMapEditor"), Dialogs::shown(text), QMessageBox::Ok,
                        parent);
        box.show();
        QCoreApplication::processEvents();
    }
};

MainWindow *window()
{
    static MainWindow *w = [] {
        Dialogs::setInstance(std::make_unique<ShowingDialogs>(QString()));
        auto *form = new MainWindow;
        form->resize(1200, 800);
        form->show();
        QCoreApplication::processEvents();
        return form;
    }();
    return w;
}

// Wall and CPU milliseconds of one run of vor4map check: the machine may be
// busy with other work, the CPU time tells what the command itself costs.
std::pair<double, double> runCheck(const QString &path)
{
    QByteArray tool = VOR4MAP_PATH, command = "check", file = QFile::encodeName(path);
    char *argv[] = {tool.data(), command.data(), file.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    timespec start{}, stop{};
    rusage before{}, after{};
    getrusage(RUSAGE_CHILDREN, &before);
    clock_gettime(CLOCK_MONOTONIC, &start);
    pid_t pid = 0;
    int status = 0;
    const bool ran = posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ) == 0 && waitpid(pid, &status, 0) == pid;
    posix_spawn_file_actions_destroy(&actions);
    clock_gettime(CLOCK_MONOTONIC, &stop);
    getrusage(RUSAGE_CHILDREN, &after);
    const auto ms = [](const timeval &t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) * 1e-3; };
    const double cpu = ms(after.ru_utime) + ms(after.ru_stime) - ms(before.ru_utime) - ms(before.ru_stime);
    const double wall = double(stop.tv_sec - start.tv_sec) * 1e3 + double(stop.tv_nsec - start.tv_nsec) * 1e-6;
    return ran ? std::pair(wall, cpu) : std::pair(-1.0, -1.0);
}

// Open through the window, the error report of the bad value included.
void BM_OpenBigText(benchmark::State &state)
{
    const QString path = bigMapPath(Kind(state.range(0)));
    if (path.isEmpty())
        return state.SkipWithError("map not written");
    MainWindow *w = window();
    for (auto _ : state) {
        w->files()->openMapFile(path);
        QCoreApplication::processEvents();
    }
    double wall = 0, cpu = 0;
    for (int i = 0; i < 3; ++i) {
        const auto [runWall, runCpu] = runCheck(path);
        wall += runWall / 3;
        cpu += runCpu / 3;
    }
    state.counters["cli_ms"] = wall;
    state.counters["cli_cpu_ms"] = cpu;
}
BENCHMARK(BM_OpenBigText)
    ->ArgName("kind")
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->MeasureProcessCPUTime();

// A click on the big plot, then on a small one, each memo shown at once;
// and the repaint of the grid with the big plot in view.
void BM_SelectBigPlot(benchmark::State &state)
{
    const QString path = bigMapPath(Kind(state.range(0)));
    MainWindow *w = window();
    if (path.isEmpty() || !w->files()->openMapFile(path))
        return state.SkipWithError("map not loaded");
    w->action(QStringLiteral("mapPage"))->trigger();
    const int bottom = w->stores().rowCount() - 1;
    w->mapPage()->grid()->setCurrentCell(0, bottom);
    for (auto _ : state) {
        w->mapPage()->selectCell(0, bottom);
        w->mapPage()->plotEditor()->memo()->repaint();
        w->mapPage()->selectCell(1, bottom);
        w->mapPage()->plotEditor()->memo()->repaint();
    }
}
BENCHMARK(BM_SelectBigPlot)->ArgName("kind")->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

void BM_PaintBigPlot(benchmark::State &state)
{
    const QString path = bigMapPath(Kind(state.range(0)));
    MainWindow *w = window();
    if (path.isEmpty() || !w->files()->openMapFile(path))
        return state.SkipWithError("map not loaded");
    w->action(QStringLiteral("mapPage"))->trigger();
    w->mapPage()->grid()->setTopLeft(0, w->stores().rowCount() - 8);
    w->mapPage()->grid()->setCurrentCell(0, w->stores().rowCount() - 1);
    if (!w->mapPage()->grid()->viewport()->rect().intersects(w->mapPage()->grid()->cellRect(0, w->stores().rowCount() - 1)))
        return state.SkipWithError("big plot out of view");
    for (auto _ : state)
        w->mapPage()->grid()->viewport()->repaint();
}
BENCHMARK(BM_PaintBigPlot)->ArgName("kind")->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
