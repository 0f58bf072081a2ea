#include "RectangleTool.h"

#include "Geometry.h"

namespace vor4 {

QRegion RectangleTool::footprint() const
{
    if (isDragging())
        return QRegion(cellsBetween(m_start, m_last) & mapRect());
    if (!m_hovering)
        return {};
    return QRegion(QRect(m_hover, QSize(1, 1)) & mapRect());
}

void RectangleTool::onRelease(QPoint cell)
{
    paintCells(QRegion(cellsBetween(m_start, cell)));
}

} // namespace vor4
