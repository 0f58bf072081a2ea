#pragma once
// Plot blocks, the file's form of one plot: "BeginPlot", "x=X,y=Y", the
// plot's lines and "EndPlot". The writer of a map writes them; copy and
// paste carry plots as a run of them.

#include "ByteWriter.h"

#include <QByteArrayView>
#include <QString>
#include <functional>

namespace vor4 {

// The block as the writer writes it: each line of the text untrimmed after
// a tab, with a second tab inside a sub-block ("Begin..." to "End...").
void writePlotBlock(ByteWriter &out, qint64 x, qint64 y, QByteArrayView text);

// Reads text made only of plot blocks (blank lines between them allowed)
// and calls plot(x, y, text) for each. A line the writer indented loses
// exactly that indent, so written blocks read back byte for byte; a line
// written by other hands loses its leading blanks, as the reader drops
// them. False, with *error saying where, for text that is not plot blocks;
// plot may have been called for the blocks before the fault.
using PlotBlockFound = std::function<void(int x, int y, QByteArrayView text)>;
bool readPlotBlocks(QByteArrayView text, const PlotBlockFound &plot, QString *error = nullptr);

} // namespace vor4
