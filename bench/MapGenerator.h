#pragma once
// The benchmark map: a deterministic, realistic world-builder save file in the
// form the editor writes. Generated at run time, never kept in the repository.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace vor4 {

// The whole file: CR LF line ends, game, 18 team and 18 player blocks, map
// header and one plot block per cell in the writer's order (x from 0, within
// it y from 0). The same arguments always give the same bytes. At 1000 x 1000
// it is about 96 MB and 5.7 million lines.
QByteArray generateBenchmarkMap(int columns = 1000, int rows = 1000, quint32 seed = 1);

// Path of a cached copy of generateBenchmarkMap(columns, rows) with seed 1,
// written on first use (under QDir::tempPath() + "/vor4-bench/") and reused
// while its size still matches. Empty when it cannot be written.
QString benchmarkMapPath(int columns = 1000, int rows = 1000);

} // namespace vor4

using vor4::benchmarkMapPath;
using vor4::generateBenchmarkMap;
