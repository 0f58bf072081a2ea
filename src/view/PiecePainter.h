#pragma once
// The marks of the pieces on the map, drawn over the cells: a player's
// start, the units on a plot, a sign, a river along a plot edge. The grid,
// the minimap, the legend and the layer buttons all draw them here.

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
};

// A player's colour: the one its "Color=" value names (PLAYERCOLOR_RED,
// PLAYERCOLOR_DARK_GREEN, …), else one of a fixed palette by slot.
QColor playerColour(int slot, QByteArrayView colorValue);

// Each mark keeps inside its cell, except a river, which lies on the edge.
void drawStartMarker(QPainter &p, const QRect &cell, int slot, const QColor &colour);
void drawUnitBadge(QPainter &p, const QRect &cell, int count, const QColor &colour);
void drawSignFlag(QPainter &p, const QRect &cell);
// The edge of that kind of its carrier cell, flowing `flow` (a compass
// point; an arrow shows it from cell size 24), or without arrow for -1.
void drawRiverEdge(QPainter &p, const QRect &carrierCell, PlotFacts::RiverKind kind, int flow);
// How thick a river is drawn: 3 pixels at cell size 16.
int riverWidth(int cellSize);

} // namespace vor4
