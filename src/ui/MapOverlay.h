#pragma once
// Marks drawn both over the map grid and on the minimap's picture: the base
// that puts them on each and takes them off again, whichever goes first.

#include "GridOverlay.h"
#include "MiniMapMarks.h"

#include <QObject>
#include <QPointer>

class MapGrid;
class MiniMapWindow;

class MapOverlay : public QObject, public GridOverlay, public MiniMapMarks
{
    Q_OBJECT
public:
    MapOverlay(MapGrid *grid, QObject *parent = nullptr);
    ~MapOverlay() override;
    // The minimap window to mark; it may come after the grid.
    void setMiniMap(MiniMapWindow *miniMap);

protected:
    QPointer<MapGrid> m_grid; // windows go before their helpers at exit
    QPointer<MiniMapWindow> m_miniMap;
};
