#include "MagicWandTool.h"

#include "ChangeSelection.h"
#include "Fill.h"
#include "Geometry.h"
#include "MapDocument.h"

namespace vor4 {

QRegion MagicWandTool::footprint() const
{
    return m_hovering ? QRegion(QRect(m_hover, QSize(1, 1)) & mapRect()) : QRegion();
}

void MagicWandTool::onPress(QPoint cell, Qt::KeyboardModifiers modifiers)
{
    const PlotTable &plots = m_doc->document().PlotTexts;
    if (!plots.contains(cell.x(), cell.y()))
        return;
    const QByteArray key = m_brush.isValid() ? m_brush.key() : QByteArray("TerrainType");
    const QRegion found = maskRegion(Fill::region(plots, cell, key), plots.columnCount());
    const QRegion before = m_doc->selection().region();
    const QRegion after = modifiers.testFlag(Qt::ShiftModifier)     ? before | found
                          : modifiers.testFlag(Qt::ControlModifier) ? before - found
                                                                    : found;
    m_doc->push(new ChangeSelection(m_doc, after));
}

} // namespace vor4
