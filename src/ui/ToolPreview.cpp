#include "ToolPreview.h"

#include "MapGrid.h"
#include "MapTool.h"
#include "Outline.h"

#include <QPainter>

ToolPreview::ToolPreview(MapGrid *grid, QObject *parent)
    : QObject(parent)
    , m_grid(grid)
{
    grid->addOverlay(this);
}

ToolPreview::~ToolPreview()
{
    if (m_grid)
        m_grid->removeOverlay(this);
}

void ToolPreview::setTool(vor4::MapTool *tool)
{
    disconnect(m_watch);
    m_tool = tool;
    if (tool)
        m_watch = connect(tool, &vor4::MapTool::footprintChanged, this, &ToolPreview::follow);
    follow();
}

void ToolPreview::follow()
{
    const QRegion cells = m_tool ? m_tool->outline() : QRegion();
    if (cells == m_cells || !m_grid)
        return;
    // Only the old and the new outline are painted again: thin strips.
    const int thickness = m_grid->selectionMargin() / 2;
    const QRegion dirty = Outline::area(pixels(m_cells), thickness) | Outline::area(pixels(cells), thickness);
    m_cells = cells;
    m_grid->updateOverlays(dirty);
}

QRegion ToolPreview::pixels(const QRegion &cells) const
{
    const QRect inView(m_grid->leftCol(), m_grid->topRow(), m_grid->visibleColCount() + 1,
                       m_grid->visibleRowCount() + 1);
    QRegion out;
    for (const QRect &r : cells & inView)
        out += m_grid->cellsArea(r);
    return out;
}

void ToolPreview::paintOverlay(QPainter &painter, const QRect &)
{
    if (!m_cells.isEmpty())
        Outline::paint(painter, pixels(m_cells), m_grid->selectionMargin() / 2);
}
