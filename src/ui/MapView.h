#pragma once
// What commands on the map need of the map page, and no more: its grid
// (with the current cell), whether it is the page shown, the brush's key,
// the minimap window to mark, and drawing the minimap's picture anew.

#include <QByteArray>

class MapGrid;
class MiniMapWindow;

class MapView
{
public:
    virtual ~MapView() = default;
    virtual MapGrid *grid() const = 0;
    virtual bool isShown() const = 0;
    // The key of the paint tools' brush, TerrainType without a brush.
    virtual QByteArray brushKey() const = 0;
    // The minimap window, once there is one.
    virtual MiniMapWindow *miniMapWindow() const = 0;
    // After the grid changed its size: the whole picture, the view at the top left.
    virtual void renderMiniMap() = 0;
};
