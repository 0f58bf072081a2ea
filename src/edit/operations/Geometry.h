#pragma once
// Cell geometry of the paint tools. A cell is QPoint(column, row), row 0 at
// the top.

#include <QBitArray>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QRegion>

namespace vor4 {

// The brush sizes, in plots a side.
inline constexpr int BrushSizes[] = {1, 2, 3, 5, 7, 9};

// The next brush size up (step > 0) or down (step < 0), stopping at the ends;
// a size that is not one of BrushSizes goes to the nearest one first.
int stepBrushSize(int size, int step);

// The square a brush of `size` covers around `cell`. An odd size is centred
// on the cell; an even one cannot be, and has the cell as the top-left of
// its middle four (size 2: the cell, its right, lower and lower-right
// neighbours).
inline QRect brushRect(QPoint cell, int size)
{
    size = qMax(size, 1);
    const int before = (size - 1) / 2;
    return QRect(cell.x() - before, cell.y() - before, size, size);
}

// The rectangle with corners a and b, both included, in either order.
inline QRect cellsBetween(QPoint a, QPoint b)
{
    return QRect(QPoint(qMin(a.x(), b.x()), qMin(a.y(), b.y())), QPoint(qMax(a.x(), b.x()), qMax(a.y(), b.y())));
}

// The cells of the straight line from a to b, both included, in order from
// a. Each cell touches the one before it, at a side or a corner, so a drag
// leaves no gaps; the line is the same in both directions.
QList<QPoint> pointsOnLine(QPoint a, QPoint b);

// The cells a brush of `size` covers when stamped at every cell of the line
// from a to b: one rectangle a row, one cell high, top row first.
QList<QRect> lineFootprint(QPoint a, QPoint b, int size);

// Regions of cells as bit masks over a grid (bit row * columns + column)
// and back; what lies outside the grid is left out.
QBitArray cellMask(const QRegion &cells, QSize grid);
QRegion maskRegion(const QBitArray &mask, int columns);

} // namespace vor4
