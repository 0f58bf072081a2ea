#include "PastePreview.h"

#include "CellPainter.h"
#include "MapGrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
// Beyond this many cells in view the block shows as its footprint only:
// painting every plot on each move of the pointer would lag.
constexpr qint64 MaxPaintedCells = 20000;
} // namespace

PastePreview::PastePreview(vor4::PlotRegion region, MapGrid *grid, QPoint cell, QObject *parent)
    : QObject(parent)
    , m_region(std::move(region))
    , m_grid(grid)
    , m_position(cell)
{
    const QPoint pointer = grid->viewport()->mapFromGlobal(QCursor::pos());
    const QPoint under = grid->cellAt(pointer);
    if (grid->viewport()->rect().contains(pointer) && under.x() >= 0)
        m_position = under;
    grid->addOverlay(this);
    grid->installEventFilter(this);
    grid->viewport()->installEventFilter(this);
}

PastePreview::~PastePreview()
{
    if (!m_grid)
        return;
    m_grid->removeOverlay(this);
    m_grid->removeEventFilter(this);
    m_grid->viewport()->removeEventFilter(this);
}

void PastePreview::repaint(const QRect &cells)
{
    const QRect map(0, 0, m_grid->colCount(), m_grid->rowCount());
    const QRect inside = cells & map;
    if (!inside.isEmpty())
        m_grid->updateOverlays(m_grid->cellsArea(inside));
}

vor4::PlotRegion PastePreview::takeRegion()
{
    vor4::PlotRegion region = std::move(m_region);
    m_region = vor4::PlotRegion();
    return region;
}

void PastePreview::moveTo(QPoint cell)
{
    if (cell == m_position)
        return;
    const QRect before = footprint();
    m_position = cell;
    repaint(before);
    repaint(footprint());
}

void PastePreview::paintOverlay(QPainter &painter, const QRect &area)
{
    const QRect map(0, 0, m_grid->colCount(), m_grid->rowCount());
    const QRect cells = footprint() & map;
    if (cells.isEmpty())
        return;
    const QRect pixels = m_grid->cellsArea(cells);
    if (!pixels.intersects(area))
        return;
    // Only the cells of the part being painted.
    const QPoint first = m_grid->cellAt(area.topLeft());
    const QPoint last = m_grid->cellAt(area.bottomRight());
    QRect visible = cells;
    if (first.x() >= 0)
        visible &= QRect(first, QPoint(last.x() >= 0 ? last.x() : map.right(), last.y() >= 0 ? last.y() : map.bottom()));
    if (qint64(visible.width()) * visible.height() <= MaxPaintedCells) {
        painter.setOpacity(0.75);
        const vor4::LayerSwitches layers = m_grid->layers();
        for (int row = visible.top(); row <= visible.bottom(); ++row) {
            for (int col = visible.left(); col <= visible.right(); ++col) {
                const int u = col - m_position.x(), v = row - m_position.y();
                if (m_region.holds(u, v))
                    vor4::drawCell(painter, m_region.texts(), u, v, m_grid->cellRect(col, row), layers,
                                   m_grid->style());
            }
        }
        painter.setOpacity(1);
    } else {
        painter.fillRect(pixels & area, QColor(255, 255, 255, 110));
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0, 0, 0), 1, Qt::SolidLine));
    painter.drawRect(pixels.adjusted(0, 0, -1, -1));
    painter.setPen(QPen(QColor(255, 255, 255), 1, Qt::DashLine));
    painter.drawRect(pixels.adjusted(0, 0, -1, -1));
}

bool PastePreview::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove: {
        if (watched != m_grid->viewport())
            break;
        const QPoint cell = m_grid->cellAt(static_cast<QMouseEvent *>(event)->position().toPoint());
        if (cell.x() >= 0)
            moveTo(cell);
        break; // the hover hint goes on
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        if (watched != m_grid->viewport())
            break;
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            const QPoint cell = m_grid->cellAt(mouse->position().toPoint());
            if (cell.x() >= 0)
                moveTo(cell);
            Q_EMIT placed(m_position);
        } else {
            Q_EMIT cancelled();
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
        return watched == m_grid->viewport();
    case QEvent::KeyPress: {
        if (watched != m_grid)
            break;
        auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Escape: Q_EMIT cancelled(); return true;
        case Qt::Key_Return:
        case Qt::Key_Enter: Q_EMIT placed(m_position); return true;
        default: break;
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
