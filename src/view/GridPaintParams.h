#pragma once
// Where the cells of a map lie in a picture and how they are painted: the
// one description that the cells, the pieces and any layer over them share,
// for the grid's view, an exported picture and each band of one.

#include "CellPainter.h"
#include "MapStyle.h"

#include <QPen>
#include <QPoint>
#include <QRect>

namespace vor4 {

struct GridPaintParams
{
    int cellSize = 16;  // W; cells are square
    int lineWidth = 1;  // 1 or 0
    int colCount = 1;   // the grid's counts; cells beyond PlotTexts stay background
    int rowCount = 1;
    int leftCol = 0;    // the cell whose top-left corner is at `origin`
    int topRow = 0;
    QPoint origin;      // in target pixels
    QPoint brushOrigin; // hatch patterns are anchored here, in target pixels
    QRgb background = 0xffffffffu;
    QRgb highlight = 0xff308cc6u;
    // The selected cell is cleared to `highlight` instead of `background`.
    int highlightCol = -1;
    int highlightRow = -1;
    // The pen the cell painter finds: the grid-line pen while lines show.
    QPen cellPen;
    LayerSwitches layers;
    // The colours and marks; the lines between the cells are its gridLine.
    MapStyle style = MapStyle::classic();

    int pitch() const { return cellSize + lineWidth; }
    // Top-left pixel of a cell in the target.
    QPoint cellPos(int col, int row) const
    {
        return origin + QPoint((col - leftCol) * pitch(), (row - topRow) * pitch());
    }
    QRect cellRect(int col, int row) const { return QRect(cellPos(col, row), QSize(cellSize, cellSize)); }
    // The cells of the map that reach into these target pixels, widened by
    // `margin` cells on every side and kept on the map; empty for none.
    QRect cellsUnder(const QRect &pixels, int margin = 0) const;
};

// The pen the cell painter finds: the line colour and one pixel wide while
// grid lines show, otherwise the painter's default pen (black, one pixel).
QPen gridCellPen(int lineWidth, QRgb lineColour = 0xffc0c0c0u);

} // namespace vor4
