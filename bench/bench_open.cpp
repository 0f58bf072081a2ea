// Opening the 1000 x 1000 benchmark map through the main window's Open,
// memos, status texts and progress included.

#include "AnswerDialogs.h"
#include "MapGenerator.h"
#include "MainWindow.h"
#include "FileActions.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

void BM_OpenBtnClick(benchmark::State &state)
{
    const QString path = benchmarkMapPath(1000, 1000);
    Dialogs::setInstance(std::make_unique<AnswerDialogs>(path));
    MainWindow window;
    window.show();
    for (auto _ : state) {
        window.files()->open();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(window.stores().PlotTexts.poolSize());
    }
    state.counters["plots"] = double(window.stores().PlotTexts.filledCount());
}
BENCHMARK(BM_OpenBtnClick)->Unit(benchmark::kMillisecond)->Iterations(3);

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
