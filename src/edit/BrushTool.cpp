#include "BrushTool.h"

#include "Geometry.h"

namespace vor4 {

void BrushTool::onPress(QPoint cell, Qt::KeyboardModifiers)
{
    beginStroke(takesKey() ? QStringLiteral("Erase") : QStringLiteral("Paint"));
    strokeRects({brushRect(cell, m_size)});
}

void BrushTool::onDrag(QPoint from, QPoint to)
{
    strokeRects(lineFootprint(from, to, m_size));
}

} // namespace vor4
