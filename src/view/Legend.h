#pragma once
// The legend of the grid: a sample plot for every colour and mark, each
// painted by the grid's own painters in a style, with what it means. It
// shows the entries of the layers that are switched on.

#include "CellPainter.h"
#include "PiecePainter.h"

#include <QImage>
#include <QList>
#include <QRect>

namespace vor4 {

struct LegendEntry
{
    const char *plotText; // a cell sample, or for a piece the grass under it
    const char *meaning;  // in the Classic style
    int layer;            // a LayerSwitches index, or PieceLayer + a PieceLayers index
    const char *terrainMeaning; // in the Terrain style, where it says more than `meaning`
};
constexpr int PieceLayer = 100;

QList<LegendEntry> legendEntries();
// Whether an entry shows under these switches.
bool legendShows(const LegendEntry &entry, const LayerSwitches &layers, const PieceLayers &pieces);

// What an entry means in a style.
QString legendMeaning(const LegendEntry &entry, const MapStyle &style);

// The samples shown, at cell size 32 in two columns; where the i-th shown
// sample's cell lies.
QImage legendImage(const LayerSwitches &layers = {}, const PieceLayers &pieces = {},
                   const MapStyle &style = MapStyle::classic());
QRect legendCell(int index, int shown);

} // namespace vor4
