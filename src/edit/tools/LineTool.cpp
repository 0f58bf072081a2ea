#include "LineTool.h"

#include "Geometry.h"

namespace vor4 {

QRegion LineTool::footprint() const
{
    if (!isDragging())
        return MapTool::footprint();
    return rowsRegion(lineFootprint(m_start, m_last, m_size));
}

void LineTool::onRelease(QPoint cell)
{
    paintCells(rowsRegion(lineFootprint(m_start, cell, m_size)));
}

} // namespace vor4
