#include "SelectionOverlay.h"

#include "MapGrid.h"
#include "MapSelection.h"
#include "MiniMapWindow.h"

#include <QPainter>
#include <QTransform>

SelectionOverlay::SelectionOverlay(vor4::MapSelection *selection, MapGrid *grid, QObject *parent)
    : MapOverlay(grid, parent)
    , m_selection(selection)
{
    connect(selection, &vor4::MapSelection::changed, this, &SelectionOverlay::selectionChanged);
}

namespace {
// The pixels whose every neighbour, corners included, is in the region.
QRegion eroded(const QRegion &pixels)
{
    const QRegion across = pixels & pixels.translated(1, 0) & pixels.translated(-1, 0);
    return across & across.translated(0, 1) & across.translated(0, -1);
}
} // namespace

QRegion SelectionOverlay::innerRing(const QRegion &pixels, int from, int to)
{
    QRegion outer = pixels;
    for (int k = 0; k < from; ++k)
        outer = eroded(outer);
    QRegion inner = outer;
    for (int k = from; k < to; ++k)
        inner = eroded(inner);
    return outer - inner;
}

void SelectionOverlay::selectionChanged(const QRegion &before, const QRegion &now)
{
    for (const QRegion &cells : {before, now})
        if (!cells.isEmpty())
            m_grid->updateOverlays(m_grid->cellsArea(cells.boundingRect()));
    if (m_miniMap && m_miniMap->isVisible())
        m_miniMap->refresh();
}

void SelectionOverlay::paintOverlay(QPainter &painter, const QRect &area)
{
    // The cells in view and one more on every side, so that where the view
    // cuts the region no edge is drawn.
    const QRect inView(m_grid->leftCol() - 1, m_grid->topRow() - 1, m_grid->visibleColCount() + 3,
                       m_grid->visibleRowCount() + 3);
    const QRegion cells = m_selection->region() & inView;
    if (cells.isEmpty())
        return;
    QRegion pixels;
    for (const QRect &r : cells)
        pixels += m_grid->cellsArea(r);
    if (!pixels.intersects(area))
        return;
    const vor4::MapStyle &style = m_grid->style();
    for (const QRect &r : pixels & area)
        painter.fillRect(r, QColor::fromRgba(style.selectionTint));
    // Inside the selected cells' own pixels, so that repainting them is enough.
    const QColor dark = QColor::fromRgb(style.selectionDark);
    const QColor colours[] = {dark, QColor::fromRgb(style.selectionLight), dark};
    for (int k = 0; k < 3; ++k)
        for (const QRect &r : innerRing(pixels, k, k + 1) & area)
            painter.fillRect(r, colours[k]);
}

void SelectionOverlay::drawMarks(QImage &picture)
{
    const QRegion &cells = m_selection->region();
    if (cells.isEmpty() || picture.isNull())
        return;
    // Three pixels a plot.
    const QRegion pixels = QTransform::fromScale(3, 3).map(cells);
    const vor4::MapStyle &style = m_grid ? m_grid->style() : vor4::MapStyle::classic();
    QPainter p(&picture);
    for (const QRect &r : pixels)
        p.fillRect(r, QColor::fromRgba(style.selectionTint));
    for (const QRect &r : innerRing(pixels, 0, 1))
        p.fillRect(r, QColor::fromRgb(style.selectionLight));
}
