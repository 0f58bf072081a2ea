#include "FillTool.h"

#include "EditOperations.h"

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
    const EditOperations::Result result =
        EditOperations::fill(*m_doc, m_brush, takesKey() ? EditOperations::Take : EditOperations::Put, cell,
                             modifiers.testFlag(Qt::ShiftModifier));
    if (!result.ok)
        Q_EMIT refused(result.message);
    else if (result.plots > 0)
        notePushed();
}

} // namespace vor4
