#include "SymmetryGuides.h"

#include "Document.h"
#include "MapGrid.h"

#include <QPainter>

SymmetryGuides::SymmetryGuides(MapGrid *grid)
    : m_grid(grid)
{
    grid->addOverlay(this);
}

SymmetryGuides::~SymmetryGuides()
{
    if (m_grid)
        m_grid->removeOverlay(this);
}

void SymmetryGuides::setMode(vor4::PaintSymmetry::Mode mode)
{
    m_mode = mode;
    if (m_grid)
        m_grid->updateOverlays(m_grid->viewport()->rect());
}

void SymmetryGuides::paintOverlay(QPainter &painter, const QRect &)
{
    if (m_mode == vor4::PaintSymmetry::None || !m_grid || !m_grid->document())
        return;
    const int w = m_grid->colCount(), h = m_grid->rowCount();
    if (vor4::PaintSymmetry(m_mode, QSize(w, h)).imageCount() == 1)
        return;
    // The middle of the map in pixels: between two cells, or through the
    // middle one of an odd count.
    const QRect first = m_grid->cellRect(0, 0), last = m_grid->cellRect(w - 1, h - 1);
    const int x = (first.left() + last.right() + 1) / 2, y = (first.top() + last.bottom() + 1) / 2;
    painter.save();
    painter.setPen(QPen(QColor(255, 0, 255), 1, Qt::DashLine));
    if (m_mode != vor4::PaintSymmetry::MirrorTopBottom)
        painter.drawLine(x, first.top(), x, last.bottom());
    if (m_mode != vor4::PaintSymmetry::MirrorLeftRight)
        painter.drawLine(first.left(), y, last.right(), y);
    painter.restore();
}
