#include "FillTool.h"

#include "Fill.h"
#include "Geometry.h"
#include "MapDocument.h"

namespace vor4 {

QRegion FillTool::footprint() const
{
    if (!m_hovering)
        return {};
    return QRegion(QRect(m_hover, QSize(1, 1)) & mapRect());
}

void FillTool::onPress(QPoint cell, Qt::KeyboardModifiers modifiers)
{
    if (!mapRect().contains(cell))
        return;
    const QRegion &selected = m_doc->selection().region();
    if (modifiers.testFlag(Qt::ShiftModifier) && !selected.isEmpty()) {
        paintCells(selected);
        return;
    }
    const PlotTable &plots = m_doc->document().PlotTexts;
    // Every plot of the region has the pressed plot's value: either all of
    // them hold the line already, or none does.
    if (action() == EditOperations::Put && m_brush.holds(plots.view(cell.x(), cell.y())))
        return;
    paintCells(maskRegion(Fill::region(plots, cell, m_brush.key()), plots.columnCount()));
}

} // namespace vor4
