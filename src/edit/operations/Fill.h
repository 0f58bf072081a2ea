#pragma once
// The plots a fill changes, as a bit mask over the grid: bit
// row * columnCount + column is set for each cell of the region.

#include <QBitArray>
#include <QByteArrayView>
#include <QPoint>

#include <functional>

namespace vor4 {

class PlotTable;

class Fill
{
public:
    // The 4-connected region around `cell` whose value for `key` (the first
    // line that holds it, trimmed; no such line is the empty value)
    // equals that of `cell`. It does not cross the map's edges. Empty when
    // the cell lies outside the map.
    static QBitArray region(const PlotTable &plots, QPoint cell, QByteArrayView key);
    // The same with the values valueAt gives for the cells of plots (each
    // valid until its next call): the region a fill would find after a
    // change not yet made.
    static QBitArray region(const PlotTable &plots, QPoint cell,
                            const std::function<QByteArrayView(int col, int row)> &valueAt);
    // Every cell of the map whose value for `key` equals that of `cell`,
    // connected or not (Select same).
    static QBitArray sameValue(const PlotTable &plots, QPoint cell, QByteArrayView key);
    // Every cell of the map (Shift+Fill).
    static QBitArray whole(const PlotTable &plots);
};

} // namespace vor4
