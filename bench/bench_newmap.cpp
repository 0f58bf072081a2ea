// New maps: the generator alone and the dialog's picture on the largest
// map, and the New map dialog's picture on a 200 x 120 map, timed from a
// change of the seed to the picture shown (the target is 200 ms).

#include "BenchmarkWindow.h"
#include "NewMap.h"
#include "NewMapDialog.h"

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <benchmark/benchmark.h>

namespace {

void BM_GenerateLargest(benchmark::State &state)
{
    vor4::NewMapSettings s;
    s.width = s.height = 1000;
    s.players = 18;
    s.land = vor4::NewMapSettings::Land(state.range(0));
    for (auto _ : state) {
        const vor4::Document doc = vor4::NewMap::make(s);
        benchmark::DoNotOptimize(doc.PlotTexts.poolSize());
    }
}

// The dialog's picture of the largest map, made on its worker thread.
void BM_PictureOfLargest(benchmark::State &state)
{
    vor4::NewMapSettings s;
    s.width = s.height = 1000;
    s.players = 18;
    s.land = vor4::NewMapSettings::Land::Continents;
    const vor4::Document doc = vor4::NewMap::make(s);
    for (auto _ : state)
        benchmark::DoNotOptimize(NewMapDialog::pictureOf(doc).constBits());
}

void BM_DialogPreview(benchmark::State &state)
{
    vor4::NewMapSettings s;
    s.width = 200;
    s.height = 120;
    s.players = 8;
    s.land = vor4::NewMapSettings::Land::Continents;
    NewMapDialog dialog(s);
    dialog.show();
    QEventLoop loop;
    QObject::connect(&dialog, &NewMapDialog::previewShown, &loop, &QEventLoop::quit);
    loop.exec();
    quint32 seed = 1;
    for (auto _ : state) {
        dialog.seedEdit()->setText(QString::number(++seed));
        loop.exec();
    }
}

} // namespace

BENCHMARK(BM_GenerateLargest)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PictureOfLargest)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DialogPreview)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char **argv) { return runWindowBenchmarks(argc, argv); }
