#pragma once
// The minimap image and the arithmetic of its view frame.

#include "MapStyle.h"

#include <QPoint>
#include <QRect>
#include <QSize>

class QImage;

namespace vor4 {

class Document;
class PlotTable;

// The minimap picture's size: 3 x 3 pixels a plot; none for a map without
// a size.
QSize miniMapSize(const Document &doc);
// Paints every plot's 3 x 3 block in its colour in the style
// (MapStyle::plotColour: the terrain of its last terrain line, as the grid
// paints it). Plots without one keep their block; pixels beyond the image
// are skipped.
void renderMiniMap(const PlotTable &texts, QImage &miniMap, const MapStyle &style = MapStyle::classic());
// Renders the cells of a changed area again, as the full render gives a
// new image: plots without a terrain line in the style's noTerrain colour.
void renderMiniMapCells(const PlotTable &texts, QImage &miniMap, const QRect &cells,
                        const MapStyle &style = MapStyle::classic());

// A frame in minimap pixels; right and bottom are exclusive.
struct FrameRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool contains(QPoint p) const { return left <= p.x() && p.x() < right && top <= p.y() && p.y() < bottom; }
    // (left + (right - left + 1) div 2, top + (bottom - top + 1) div 2)
    QPoint centre() const;
    FrameRect translated(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    bool operator==(const FrameRect &o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const FrameRect &o) const { return !(*this == o); }
};

// The frame around the grid's view: first visible column and row, the fully
// visible column and row counts, one more plot right and below for the
// partly visible ones, kept on the image.
FrameRect viewFrame(int col, int row, int visibleCols, int visibleRows, QSize image);

// One move step of a frame drag: the frame moved by the mouse's offset from
// the anchor and kept on the image, and the grid cell it asks for.
struct DragStep
{
    FrameRect frame;
    int col = 0;
    int row = 0;
};
DragStep dragStep(const FrameRect &viewRect, QPoint anchor, QPoint mouse, QSize image, int colCount, int rowCount);

// Draws the frame's outline (one pixel, white) on the image, its right and
// bottom edges on right - 1 and bottom - 1; pixels off the image are skipped.
void drawFrame(QImage &image, const FrameRect &frame);

} // namespace vor4
