#pragma once
// View > Territory on the map grid: the territory layer drawn over the
// cells while it is shown, from the document and the territory that the
// balance window keeps up to date.

#include "GridOverlay.h"

#include <QPointer>

class MapGrid;

namespace vor4 {
class Document;
class Territory;
}

class TerritoryOverlay : public GridOverlay
{
public:
    TerritoryOverlay(MapGrid *grid, const vor4::Document *doc, const vor4::Territory *territory);
    ~TerritoryOverlay() override;

    bool isShown() const { return m_shown; }
    void setShown(bool shown);
    // Repaints the cells in view while shown: the territory changed.
    void update();

    void paintOverlay(QPainter &painter, const QRect &area) override;

private:
    QPointer<MapGrid> m_grid; // may go first at exit
    const vor4::Document *m_doc;
    const vor4::Territory *m_territory;
    bool m_shown = false;
};
