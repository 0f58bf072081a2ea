#include "PiecesOverlay.h"

#include "Document.h"
#include "MapGrid.h"
#include "MapPieces.h"
#include "MiniMapWindow.h"
#include "PlotTable.h"

#include <QImage>
#include <QPainter>

PiecesOverlay::PiecesOverlay(vor4::MapPieces *pieces, MapGrid *grid, QObject *parent)
    : MapOverlay(grid, parent)
    , m_pieces(pieces)
{
    connect(pieces, &vor4::MapPieces::changed, this, &PiecesOverlay::piecesChanged);
}

void PiecesOverlay::setLayers(const vor4::PieceLayers &layers)
{
    if (layers == m_layers)
        return;
    m_layers = layers;
    if (m_grid)
        m_grid->updateOverlays(m_grid->viewport()->rect());
    if (m_miniMap && m_miniMap->isVisible())
        m_miniMap->refresh();
}

void PiecesOverlay::piecesChanged(const QRegion &cells)
{
    if (!m_grid || cells.isEmpty())
        return;
    // A river is drawn across its edge, into the cells beside it, and a
    // flag may stand out of a small cell; parts out of view (a symmetric
    // stroke's far images) need nothing.
    const int reach = m_grid->style().pieceReach(m_grid->cellSize());
    const QRect inView(m_grid->leftCol() - reach, m_grid->topRow() - reach, m_grid->visibleColCount() + 2 * reach + 1,
                       m_grid->visibleRowCount() + 2 * reach + 1);
    const QRect bounds = (cells & inView).boundingRect().adjusted(-reach, -reach, reach, reach) & inView;
    if (!bounds.isEmpty())
        m_grid->updateOverlays(m_grid->cellsArea(bounds));
    if (m_miniMap && m_miniMap->isVisible() && m_layers.starts)
        m_miniMap->refresh();
}

void PiecesOverlay::paintOverlay(QPainter &painter, const QRect &area)
{
    if (!m_grid->document())
        return;
    // The cells under the area, and those around it whose marks reach in.
    const vor4::GridPaintParams at = m_grid->paintParams();
    m_pieces->paint(painter, at, at.cellsUnder(area, at.style.pieceReach(at.cellSize)), m_layers);
}

void PiecesOverlay::drawMarks(QImage &picture)
{
    // A map without a size has no picture to mark.
    if (!m_layers.starts || picture.isNull())
        return;
    const vor4::MapStyle &style = m_grid ? m_grid->style() : vor4::MapStyle::classic();
    QPainter p(&picture);
    for (const vor4::MapPieces::Start &s : m_pieces->starts()) {
        // 3 pixels a plot: a square of 7 around the plot's block, outlined.
        const QRect mark(3 * s.cell.x() - 2, 3 * s.cell.y() - 2, 7, 7);
        p.fillRect(mark, Qt::black);
        p.fillRect(mark.adjusted(1, 1, -1, -1), m_pieces->colourOf(s.slot, style));
    }
}
