#pragma once
// The map view's scroll and minimap operations that the main window's
// ScrollMapTo and RenderMiniMap delegate to.

class MapGrid;
class QImage;
class MiniMapWindow;

namespace vor4 {
class PlotTable;
}

// ScrollMapTo: makes (col, row) the grid's first visible cell (the grid
// clamps it), then, when the grid moved or `forced`, computes the frame at
// the grid's actual position, stores it in the minimap's ViewRect and draws
// it. Returns whether it did so. Safe to re-enter from the grid's
// topLeftChanged: the outermost call draws the frame last, at the final position.
bool scrollMapTo(MapGrid &grid, MiniMapWindow *miniMap, const QImage &bitmap, int col, int row, bool forced);

// Steps 1 to 3 of RenderMiniMap: the full render of every plot into the
// bitmap, the minimap's Image1 sized to it and showing a copy. The caller
// then runs ScrollMapTo(0, 0, true).
void renderMiniMapAndShow(const vor4::PlotTable &texts, QImage &bitmap, MiniMapWindow *miniMap);
