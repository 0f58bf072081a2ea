// The edit history on the 1000 x 1000 benchmark map: what 1,000 plot edits
// keep in memory against the texts they changed, and how long a crash
// recovery write holds up the window (taking the document's copy, and the
// first edit after it, which gives the document its own text pool again).

#include "MapDocument.h"
#include "MapGenerator.h"
#include "RecoveryStore.h"
#include "SetPlotText.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <malloc.h>

namespace {

vor4::MapDocument &bigDocument()
{
    static vor4::MapDocument *doc = [] {
        auto *d = new vor4::MapDocument;
        d->load(benchmarkMapPath(1000, 1000));
        return d;
    }();
    return *doc;
}

qint64 heapInUse() { return qint64(mallinfo2().uordblks); }

// Each edit changes one plot as a user would: one line of it replaced.
void BM_HistoryMemoryOf1000PlotEdits(benchmark::State &state)
{
    vor4::MapDocument &md = bigDocument();
    for (auto _ : state) {
        state.PauseTiming();
        md.undoStack()->clear();
        malloc_trim(0);
        state.ResumeTiming();
        const qint64 before = heapInUse();
        qint64 oldBytes = 0, newBytes = 0;
        QRandomGenerator rng(7);
        for (int i = 0; i < 1000; ++i) {
            const int col = rng.bounded(1000), row = rng.bounded(1000);
            const QByteArray old = md.document().PlotTexts.text(col, row);
            QByteArray text = old;
            text.replace("TERRAIN_GRASS", "TERRAIN_PLAINS");
            text.replace("TERRAIN_OCEAN", "TERRAIN_COAST");
            text += "\r\nBonusType=BONUS_GOLD";
            if (md.push(new vor4::SetPlotText(&md, col, row, text, QStringLiteral("Edit plot")))) {
                oldBytes += old.size();
                newBytes += text.size();
            }
        }
        const qint64 history = heapInUse() - before;
        state.counters["history_KiB"] = double(history) / 1024.0;
        state.counters["texts_changed_KiB"] = double(oldBytes + newBytes) / 1024.0;
        state.counters["history_per_texts_changed"] = double(history) / double(oldBytes + newBytes);
        state.counters["counted_bytes_KiB"] = double(md.historyBytes()) / 1024.0;
    }
}
BENCHMARK(BM_HistoryMemoryOf1000PlotEdits)->Unit(benchmark::kMillisecond)->Iterations(1);

// The window thread's share of a recovery write: starting it, and the
// longest a plot edit waits while the write runs (edits wait only while the
// writer copies the document).
void BM_RecoveryWriteBlocksWindow(benchmark::State &state)
{
    vor4::MapDocument &md = bigDocument();
    QTemporaryDir dir;
    vor4::RecoveryStore store(dir.path());
    double worstStart = 0, worstEdit = 0;
    int n = 0, edits = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        store.writeInBackground(md);
        const double start = t.nsecsElapsed() / 1e6;
        double worst = 0;
        while (store.isWriting()) {
            t.restart();
            md.push(new vor4::SetPlotText(&md, 500, 500, QByteArray("TerrainType=TERRAIN_SNOW\r\n") + QByteArray::number(n++),
                                          QStringLiteral("Edit plot")));
            worst = std::max(worst, t.nsecsElapsed() / 1e6);
            ++edits;
            QCoreApplication::processEvents(); // the write's end is announced here
        }
        state.SetIterationTime((start + worst) / 1e3);
        worstStart = std::max(worstStart, start);
        worstEdit = std::max(worstEdit, worst);
    }
    state.counters["worst_start_ms"] = worstStart;
    state.counters["worst_edit_during_write_ms"] = worstEdit;
    state.counters["edits_during_writes"] = edits;
}
BENCHMARK(BM_RecoveryWriteBlocksWindow)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
