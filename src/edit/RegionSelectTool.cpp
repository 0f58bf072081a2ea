#include "RegionSelectTool.h"

#include "Geometry.h"
#include "MapDocument.h"

namespace vor4 {

QRect RegionSelectTool::pending(QPoint end) const
{
    QRect area = cellsBetween(m_start, end) & mapRect();
    if (m_extend)
        area |= m_before;
    return area;
}

QRegion RegionSelectTool::footprint() const
{
    if (isDragging())
        return QRegion(pending(m_last));
    if (!m_hovering)
        return {};
    return QRegion(QRect(m_hover, QSize(1, 1)) & mapRect());
}

void RegionSelectTool::onPress(QPoint, Qt::KeyboardModifiers modifiers)
{
    m_before = m_doc->selection().area();
    m_extend = (modifiers & Qt::ShiftModifier) && !m_before.isEmpty();
}

void RegionSelectTool::onRelease(QPoint cell)
{
    MapSelection &selection = m_doc->selection();
    const QSize grid = mapRect().size();
    if (cell == m_start && !m_extend) {
        // A click: outside the selection (or the map) it lets go of it.
        if (!m_before.contains(cell))
            selection.clear();
        return;
    }
    selection.setArea(pending(cell), grid);
}

} // namespace vor4
