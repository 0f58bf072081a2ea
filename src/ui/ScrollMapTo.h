#pragma once
// Scrolling the map grid with the minimap's frame following it, and the
// full render of the minimap: the main window's work, kept apart so that
// the minimap can be tested with a grid alone.

class MapGrid;
class QImage;
class MiniMapWindow;

namespace vor4 {
class PlotTable;
}

// Makes (col, row) the grid's first visible cell (the grid clamps it),
// then, when the grid moved or `forced`, computes the frame at the grid's
// actual position and gives it to the minimap, which draws it. Returns whether it did so. Safe to re-enter from the grid's
// topLeftChanged: the outermost call draws the frame last, at the final position.
bool scrollMapTo(MapGrid &grid, MiniMapWindow *miniMap, const QImage &bitmap, int col, int row, bool forced);

// The full render of every plot into the bitmap, the minimap's picture
// sized to it and showing a plain copy. The caller then scrolls to (0, 0),
// forced, to draw the frame.
void renderMiniMapAndShow(const vor4::PlotTable &texts, QImage &bitmap, MiniMapWindow *miniMap);
