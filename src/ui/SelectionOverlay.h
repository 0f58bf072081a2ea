#pragma once
// The selected region drawn over the map grid (a light tint that leaves the
// cells' colours readable, and an outline along its edges, whatever its
// shape) and on the minimap's picture.

#include "MapOverlay.h"

#include <QRegion>

class MapGrid;

namespace vor4 {
class MapSelection;
}

class SelectionOverlay : public MapOverlay
{
    Q_OBJECT
public:
    SelectionOverlay(vor4::MapSelection *selection, MapGrid *grid, QObject *parent = nullptr);

    void paintOverlay(QPainter &painter, const QRect &area) override;
    void drawMarks(QImage &picture) override;

    // The pixels of the region `from` to `to` (exclusive) pixels in from its
    // edge, in the sense of a square step: an outline drawn inside it.
    static QRegion innerRing(const QRegion &pixels, int from, int to);

private:
    void selectionChanged(const QRegion &before, const QRegion &now);

    vor4::MapSelection *m_selection;
};
