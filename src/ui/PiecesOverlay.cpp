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
    // A river is drawn across its edge, into the cells beside it; parts out
    // of view (a symmetric stroke's far images) need nothing.
    const QRect inView(m_grid->leftCol() - 1, m_grid->topRow() - 1, m_grid->visibleColCount() + 3,
                       m_grid->visibleRowCount() + 3);
    const QRect bounds = (cells & inView).boundingRect().adjusted(-1, -1, 1, 1) & inView;
    if (!bounds.isEmpty())
        m_grid->updateOverlays(m_grid->cellsArea(bounds));
    if (m_miniMap && m_miniMap->isVisible() && m_layers.starts)
        m_miniMap->refresh();
}

void PiecesOverlay::paintOverlay(QPainter &painter, const QRect &area)
{
    const vor4::Document *doc = m_grid->document();
    if (!doc)
        return;
    const int size = m_grid->cellSize();
    const int pitch = size + m_grid->gridLineWidth();
    // The cells under the area, and one more before it: the edges its
    // neighbours carry reach in.
    const QRect cells = QRect(QPoint(m_grid->leftCol() + area.left() / pitch - 1, m_grid->topRow() + area.top() / pitch - 1),
                              QPoint(m_grid->leftCol() + area.right() / pitch + 1, m_grid->topRow() + area.bottom() / pitch + 1))
        & QRect(0, 0, doc->columnCount(), doc->rowCount());
    m_pieces->paint(painter, cells, m_layers, size, [this](int col, int row) { return m_grid->cellRect(col, row); });
}

void PiecesOverlay::drawMarks(QImage &picture)
{
    // A map without a size has no picture to mark.
    if (!m_layers.starts || picture.isNull())
        return;
    QPainter p(&picture);
    for (const vor4::MapPieces::Start &s : m_pieces->starts()) {
        // 3 pixels a plot: a square of 7 around the plot's block, outlined.
        const QRect mark(3 * s.cell.x() - 2, 3 * s.cell.y() - 2, 7, 7);
        p.fillRect(mark, Qt::black);
        p.fillRect(mark.adjusted(1, 1, -1, -1), s.colour);
    }
}
