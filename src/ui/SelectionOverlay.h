#pragma once
// The selected region drawn over the map grid (an outline and a light tint
// that leaves the cells' colours readable) and on the minimap's picture.

#include "GridOverlay.h"
#include "MiniMapMarks.h"

#include <QObject>
#include <QPointer>
#include <QRect>

class MapGrid;
class MiniMapWindow;

namespace vor4 {
class MapSelection;
}

class SelectionOverlay : public QObject, public GridOverlay, public MiniMapMarks
{
    Q_OBJECT
public:
    SelectionOverlay(vor4::MapSelection *selection, MapGrid *grid, QObject *parent = nullptr);
    ~SelectionOverlay() override;

    // The minimap window to mark; it may come after the grid.
    void setMiniMap(MiniMapWindow *miniMap);

    void paintOverlay(QPainter &painter, const QRect &area) override;
    void drawMarks(QImage &picture) override;

private:
    void selectionChanged(const QRect &before, const QRect &now);

    vor4::MapSelection *m_selection;
    QPointer<MapGrid> m_grid; // windows go before their helpers at exit
    QPointer<MiniMapWindow> m_miniMap;
};
