#pragma once
// The largest 4-connected region of plots with equal value for a key (the
// first line containing it, trimmed), found plainly: what a benchmark fill
// covers at most.

#include <QByteArray>
#include <QPoint>

namespace vor4 {

class PlotTable;

struct Region
{
    QPoint seed; // a cell of the region
    int size = 0;
};

Region largestRegion(const PlotTable &plots, const QByteArray &key);

} // namespace vor4
