#include "RectangleTool.h"

#include "EditOperations.h"
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
    const EditOperations::Result result = EditOperations::apply(
        *m_doc, m_brush, takesKey() ? EditOperations::Take : EditOperations::Put, cellsBetween(m_start, cell));
    if (!result.ok)
        Q_EMIT refused(result.message);
}

} // namespace vor4
