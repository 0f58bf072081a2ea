#pragma once
// The axes of symmetric painting drawn over the grid as thin lines: the
// vertical middle of the map for a left–right mirror, the horizontal one
// for top–bottom, both for four ways and the turns.

#include "GridOverlay.h"
#include "PaintSymmetry.h"

#include <QPointer>

class MapGrid;

class SymmetryGuides : public GridOverlay
{
public:
    explicit SymmetryGuides(MapGrid *grid);
    ~SymmetryGuides() override;
    void setMode(vor4::PaintSymmetry::Mode mode);
    void paintOverlay(QPainter &painter, const QRect &area) override;

private:
    QPointer<MapGrid> m_grid;
    vor4::PaintSymmetry::Mode m_mode = vor4::PaintSymmetry::None;
};
