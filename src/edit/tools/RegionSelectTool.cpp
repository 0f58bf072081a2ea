#include "RegionSelectTool.h"

#include "ChangeSelection.h"
#include "Geometry.h"
#include "MapDocument.h"

namespace vor4 {

QRegion RegionSelectTool::pending(QPoint end) const
{
    const QRegion cells(cellsBetween(m_start, end) & mapRect());
    return m_extend ? cells | m_before : cells;
}

QRegion RegionSelectTool::footprint() const
{
    if (isDragging())
        return pending(m_last);
    if (!m_hovering)
        return {};
    return QRegion(QRect(m_hover, QSize(1, 1)) & mapRect());
}

void RegionSelectTool::onPress(QPoint, Qt::KeyboardModifiers modifiers)
{
    m_before = m_doc->selection().region();
    m_extend = (modifiers & Qt::ShiftModifier) && !m_before.isEmpty();
}

void RegionSelectTool::onRelease(QPoint cell)
{
    // A click outside the selection (or the map) lets go of it; inside, it
    // keeps it.
    const bool click = cell == m_start && !m_extend;
    if (click && m_before.contains(cell))
        return;
    m_doc->push(new ChangeSelection(m_doc, click ? QRegion() : pending(cell)));
}

} // namespace vor4
