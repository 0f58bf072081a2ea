#include "MiniMapImage.h"

#include "MapDocument.h"
#include "MiniMap.h"

#include <QRegion>
#include <QTimer>

namespace vor4 {

MiniMapImage::MiniMapImage(MapDocument *doc, QObject *parent)
    : QObject(parent)
    , m_doc(doc)
{
    connect(doc, &MapDocument::plotsChanged, this,
            [this](const QRegion &plots) { plotsChanged(plots); });
    // Another size needs another picture; the one of the same size is kept
    // until the new document is rendered into it.
    connect(doc, &MapDocument::documentReplaced, this, [this] {
        if (m_image.size() != miniMapSize(m_doc->document()))
            reset();
    });
}

void MiniMapImage::reset()
{
    m_image = QImage(miniMapSize(m_doc->document()), QImage::Format_RGB32);
    m_image.fill(Qt::white);
    m_waiting = QRegion();
}

void MiniMapImage::render()
{
    renderMiniMap(m_doc->document().PlotTexts, m_image);
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
        renderMiniMapCells(m_doc->document().PlotTexts, m_image, r);
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
