#pragma once
// The main window the window benchmarks drive: the 1000 x 1000 benchmark
// map opened on the map page, the grid's own view 1920 x 1080 at cell
// size 4. Made once, on first use, and kept for the program's run.

#include <benchmark/benchmark.h>

class MainWindow;

MainWindow *benchmarkWindow();
// False, with the benchmark marked as skipped, when the map did not load.
bool requireBenchmarkMap(benchmark::State &state);
// The main of a benchmark program with windows: an application, offscreen
// unless a platform is named, and the benchmarks asked for.
int runWindowBenchmarks(int argc, char **argv);
