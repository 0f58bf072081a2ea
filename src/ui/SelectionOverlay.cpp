#include "SelectionOverlay.h"

#include "MapGrid.h"
#include "MapSelection.h"
#include "MiniMapWindow.h"

#include <QPainter>

namespace {
// A tint light enough to read the terrain through, and an outline in two
// colours so that it stands out on light and dark cells alike.
const QColor Tint(255, 255, 255, 70);
const QColor OutlineDark(0, 0, 0);
const QColor OutlineLight(255, 255, 0);
} // namespace

SelectionOverlay::SelectionOverlay(vor4::MapSelection *selection, MapGrid *grid, QObject *parent)
    : QObject(parent)
    , m_selection(selection)
    , m_grid(grid)
{
    grid->addOverlay(this);
    connect(selection, &vor4::MapSelection::changed, this, &SelectionOverlay::selectionChanged);
}

SelectionOverlay::~SelectionOverlay()
{
    if (m_grid)
        m_grid->removeOverlay(this);
    if (m_miniMap)
        m_miniMap->removeMarks(this);
}

void SelectionOverlay::setMiniMap(MiniMapWindow *miniMap)
{
    if (m_miniMap == miniMap)
        return;
    if (m_miniMap)
        m_miniMap->removeMarks(this);
    m_miniMap = miniMap;
    if (m_miniMap)
        m_miniMap->addMarks(this);
}

void SelectionOverlay::selectionChanged(const QRect &before, const QRect &now)
{
    for (const QRect &cells : {before, now})
        if (!cells.isEmpty())
            m_grid->updateOverlays(m_grid->cellsArea(cells));
    if (m_miniMap && m_miniMap->isVisible())
        m_miniMap->refresh();
}

void SelectionOverlay::paintOverlay(QPainter &painter, const QRect &area)
{
    const QRect cells = m_selection->area();
    if (cells.isEmpty())
        return;
    const QRect pixels = m_grid->cellsArea(cells);
    if (!pixels.intersects(area))
        return;
    painter.fillRect(pixels & area, Tint);
    // Inside the selected cells' own pixels, so that repainting them is enough.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(OutlineDark, 1));
    painter.drawRect(pixels.adjusted(0, 0, -1, -1));
    painter.setPen(QPen(OutlineLight, 1));
    painter.drawRect(pixels.adjusted(1, 1, -2, -2));
    painter.setPen(QPen(OutlineDark, 1));
    painter.drawRect(pixels.adjusted(2, 2, -3, -3));
}

void SelectionOverlay::drawMarks(QImage &picture)
{
    const QRect cells = m_selection->area();
    if (cells.isEmpty() || picture.isNull())
        return;
    // Three pixels a plot.
    const QRect pixels(cells.left() * 3, cells.top() * 3, cells.width() * 3, cells.height() * 3);
    QPainter p(&picture);
    p.fillRect(pixels, Tint);
    p.setPen(OutlineLight);
    p.setBrush(Qt::NoBrush);
    p.drawRect(pixels.adjusted(0, 0, -1, -1));
}
