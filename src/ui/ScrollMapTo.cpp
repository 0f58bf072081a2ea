#include "ScrollMapTo.h"

#include "MapGrid.h"
#include "MiniMap.h"
#include "MiniMapWindow.h"

bool scrollMapTo(MapGrid &grid, MiniMapWindow *miniMap, const QImage &bitmap, int col, int row, bool forced)
{
    bool moved = forced;
    if (col != grid.leftCol()) {
        grid.setLeftCol(col);
        moved = true;
    }
    if (row != grid.topRow()) {
        grid.setTopRow(row);
        moved = true;
    }
    if (!moved)
        return false;
    // The grid may have clamped the values, and a nested call may already
    // have drawn a frame: the frame follows where the grid really is.
    const vor4::FrameRect frame = vor4::viewFrame(grid.leftCol(), grid.topRow(), grid.visibleColCount(),
                                                  grid.visibleRowCount(), bitmap.size());
    if (miniMap) {
        miniMap->setViewFrame(frame);
    }
    return true;
}

void renderMiniMapAndShow(const vor4::PlotTable &texts, QImage &bitmap, MiniMapWindow *miniMap)
{
    if (miniMap)
        miniMap->fitToPicture();
    vor4::renderMiniMap(texts, bitmap);
    if (miniMap)
        miniMap->showPlainPicture();
}
