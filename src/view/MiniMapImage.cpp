#include "MiniMapImage.h"

#include "Document.h"
#include "MiniMap.h"

#include <QRegion>
#include <QTimer>

namespace vor4 {

MiniMapImage::MiniMapImage(const Document *doc, QObject *parent)
    : QObject(parent)
    , m_doc(doc)
{
}

void MiniMapImage::setStyle(const MapStyle &style)
{
    if (style == m_style)
        return;
    m_style = style;
    if (m_image.isNull())
        return;
    m_image.fill(m_style.noTerrain);
    render();
    Q_EMIT changed();
}

void MiniMapImage::documentReplaced()
{
    if (m_image.size() != miniMapSize(*m_doc))
        reset();
}

void MiniMapImage::reset()
{
    m_image = QImage(miniMapSize(*m_doc), QImage::Format_RGB32);
    m_image.fill(m_style.noTerrain);
    m_waiting = QRegion();
}

void MiniMapImage::render()
{
    renderMiniMap(m_doc->PlotTexts, m_image, m_style);
    m_waiting = QRegion();
}

void MiniMapImage::flush()
{
    if (m_waiting.isEmpty())
        return;
    // The parts apart (a symmetric stroke paints far corners), unless they
    // are too many to be worth it.
    if (m_waiting.rectCount() > 64)
        m_waiting = m_waiting.boundingRect();
    for (const QRect &r : std::as_const(m_waiting))
        renderMiniMapCells(m_doc->PlotTexts, m_image, r, m_style);
    m_waiting = QRegion();
    Q_EMIT changed();
}

void MiniMapImage::plotsChanged(const QRegion &cells)
{
    // Also for cells off the grid's view; a burst of changes is drawn once.
    if (m_waiting.isEmpty())
        QTimer::singleShot(0, this, &MiniMapImage::flush);
    m_waiting += cells.rectCount() > 64 ? QRegion(cells.boundingRect()) : cells;
}

} // namespace vor4
