#include "BrushTool.h"

#include "Geometry.h"

namespace vor4 {

void BrushTool::onPress(QPoint cell, Qt::KeyboardModifiers)
{
    paintCells(QRegion(brushRect(cell, m_size)));
}

void BrushTool::onDrag(QPoint from, QPoint to)
{
    paintCells(rowsRegion(lineFootprint(from, to, m_size)));
}

} // namespace vor4
