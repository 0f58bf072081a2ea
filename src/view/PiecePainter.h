#pragma once
// The marks of the pieces on the map, drawn over the cells in a style: a
// player's start, the units on a plot, a sign, a river along a plot edge.
// The grid, the exported pictures, the legend and the layer buttons all
// draw them here.

#include "MapStyle.h"
#include "PlotFacts.h"

#include <QByteArrayView>
#include <QColor>
#include <QRect>

class QPainter;

namespace vor4 {

// The four layer buttons of the pieces, after the twelve of the cells.
struct PieceLayers
{
    bool starts = true;
    bool units = true;
    bool signs = true;
    bool rivers = true;

    static constexpr int Count = 4;
    bool &operator[](int index);
    bool operator[](int index) const { return const_cast<PieceLayers &>(*this)[index]; }
    bool operator==(const PieceLayers &o) const;
    bool operator!=(const PieceLayers &o) const { return !(*this == o); }
};

// A player's colour in the Classic style: MapStyle::playerColour.
QColor playerColour(int slot, QByteArrayView colorValue);

// Each mark keeps inside its cell, except a river, which lies on the edge,
// and Terrain's start flag, which stands out of cells smaller than it
// (MapStyle::pieceReach says how far).
void drawStart(QPainter &p, const QRect &cell, int slot, const QColor &colour, const MapStyle &style);
void drawUnits(QPainter &p, const QRect &cell, int count, const QColor &colour, const MapStyle &style);
void drawSign(QPainter &p, const QRect &cell, const MapStyle &style);
// The edge of that kind of its carrier cell, flowing `flow` (a compass
// point; an arrow shows it from cell size 24), or without arrow for -1.
void drawRiverEdge(QPainter &p, const QRect &carrierCell, PlotFacts::RiverKind kind, int flow,
                   const MapStyle &style);

} // namespace vor4
