#pragma once
// Something drawn over the map grid's cells: a tool's footprint, find
// marks, a selected region. The grid draws its overlays after the cells on
// every paint, clipped to the part of the view being painted; an overlay
// that changes asks the grid to repaint the cells it covered and covers.

class QPainter;
class QRect;

class GridOverlay
{
public:
    virtual ~GridOverlay() = default;
    // `area` is the part of the viewport being painted, in viewport pixels.
    virtual void paintOverlay(QPainter &painter, const QRect &area) = 0;
};
