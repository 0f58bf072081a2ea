#include "MapOverlay.h"

#include "MapGrid.h"
#include "MiniMapWindow.h"

MapOverlay::MapOverlay(MapGrid *grid, QObject *parent)
    : QObject(parent)
    , m_grid(grid)
{
    grid->addOverlay(this);
}

MapOverlay::~MapOverlay()
{
    if (m_grid)
        m_grid->removeOverlay(this);
    if (m_miniMap)
        m_miniMap->removeMarks(this);
}

void MapOverlay::setMiniMap(MiniMapWindow *miniMap)
{
    if (m_miniMap == miniMap)
        return;
    if (m_miniMap)
        m_miniMap->removeMarks(this);
    m_miniMap = miniMap;
    if (m_miniMap)
        m_miniMap->addMarks(this);
}
