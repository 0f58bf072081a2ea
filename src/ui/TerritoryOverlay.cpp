#include "TerritoryOverlay.h"

#include "MapGrid.h"
#include "TerritoryLayer.h"

TerritoryOverlay::TerritoryOverlay(MapGrid *grid, const vor4::Document *doc, const vor4::Territory *territory)
    : m_grid(grid)
    , m_doc(doc)
    , m_territory(territory)
{
}

TerritoryOverlay::~TerritoryOverlay() { setShown(false); }

void TerritoryOverlay::setShown(bool shown)
{
    if (shown == m_shown || !m_grid)
        return;
    m_shown = shown;
    if (shown)
        m_grid->addOverlay(this);
    else
        m_grid->removeOverlay(this);
    m_grid->updateOverlays(QRegion(m_grid->viewport()->rect()));
}

void TerritoryOverlay::update()
{
    if (m_grid && m_shown)
        m_grid->updateOverlays(QRegion(m_grid->viewport()->rect()));
}

void TerritoryOverlay::paintOverlay(QPainter &painter, const QRect &area)
{
    if (!m_grid)
        return;
    const vor4::GridPaintParams params = m_grid->paintParams();
    // The cells under the area's pixels (QPoint's division rounds).
    const auto cell = [&params](QPoint pixel) {
        const QPoint d = pixel - params.origin;
        return QPoint(params.leftCol + qMax(0, d.x()) / params.pitch(), params.topRow + qMax(0, d.y()) / params.pitch());
    };
    const QRect cells(cell(area.topLeft()), cell(area.bottomRight()));
    vor4::TerritoryLayer::paint(painter, *m_doc, *m_territory, params, cells);
}
