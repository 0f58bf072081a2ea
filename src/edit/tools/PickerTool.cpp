#include "PickerTool.h"

#include "MapDocument.h"

namespace vor4 {

QRegion PickerTool::footprint() const
{
    if (!m_hovering)
        return {};
    return QRegion(QRect(m_hover, QSize(1, 1)) & mapRect());
}

void PickerTool::onPress(QPoint cell, Qt::KeyboardModifiers)
{
    if (!mapRect().contains(cell))
        return;
    const QByteArray key = m_brush.isValid() ? m_brush.key() : QByteArray("TerrainType");
    const QByteArrayView value = PaintRule::valueOf(m_doc->document().PlotTexts.view(cell.x(), cell.y()), key);
    const PaintRule picked = PaintRule::fromLine(value);
    if (!picked.canPaint()) {
        Q_EMIT refused(QStringLiteral("This plot has no %1 line to pick").arg(QString::fromLatin1(key)));
        return;
    }
    setBrush(picked);
    Q_EMIT brushPicked(picked);
}

} // namespace vor4
