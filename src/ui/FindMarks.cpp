#include "FindMarks.h"

#include "MapGrid.h"
#include "PlotSearch.h"
#include "MiniMapWindow.h"

#include <QPainter>
#include <algorithm>

FindMarks::FindMarks(const vor4::PlotSearch *search, MapGrid *grid, QObject *parent)
    : QObject(parent)
    , m_search(search)
    , m_grid(grid)
{
    m_miniMapTimer.setSingleShot(true);
    m_miniMapTimer.setInterval(30);
    connect(&m_miniMapTimer, &QTimer::timeout, this, &FindMarks::refreshMiniMap);
    connect(search, &vor4::PlotSearch::matchesChanged, this, &FindMarks::matchesChanged);
    connect(search, &vor4::PlotSearch::finished, this, [this] {
        if (m_shown)
            m_miniMapTimer.start();
    });
}

FindMarks::~FindMarks() { setShown(false); }

void FindMarks::setShown(bool shown)
{
    if (shown == m_shown)
        return;
    m_shown = shown;
    if (m_grid) {
        if (shown)
            m_grid->addOverlay(this);
        else
            m_grid->removeOverlay(this);
    }
    if (m_miniMap) {
        if (shown)
            m_miniMap->addMarks(this);
        else
            m_miniMap->removeMarks(this);
    }
}

void FindMarks::setMiniMap(MiniMapWindow *miniMap)
{
    if (miniMap == m_miniMap)
        return;
    if (m_miniMap && m_shown)
        m_miniMap->removeMarks(this);
    m_miniMap = miniMap;
    if (m_miniMap && m_shown)
        m_miniMap->addMarks(this);
}

void FindMarks::matchesChanged(const QRect &cells)
{
    if (!m_shown)
        return;
    if (m_grid) {
        const QRect visible = m_grid->cellsArea(cells).intersected(m_grid->viewport()->rect());
        if (!visible.isEmpty())
            m_grid->updateOverlays(visible);
    }
    if (!m_search->isRunning())
        m_miniMapTimer.start();
}

void FindMarks::refreshMiniMap()
{
    if (m_shown && m_miniMap && m_miniMap->isVisible())
        m_miniMap->refresh();
}

void FindMarks::paintOverlay(QPainter &painter, const QRect &area)
{
    if (!m_grid || m_search->count() == 0)
        return;
    const int pitch = m_grid->cellSize() + m_grid->gridLineWidth();
    const int left = m_grid->leftCol() + qMax(0, area.left()) / pitch;
    const int top = m_grid->topRow() + qMax(0, area.top()) / pitch;
    const int right = qMin(m_grid->colCount() - 1, m_grid->leftCol() + area.right() / pitch);
    const int bottom = qMin(m_grid->rowCount() - 1, m_grid->topRow() + area.bottom() / pitch);
    const int size = m_grid->cellSize();
    // A frame inside the cell: the plot's own symbols stay in view. The
    // selected plot's frame is thicker, so that stepping shows where it is.
    const int thin = size >= 10 ? 2 : 1;
    const int thick = qMax(thin, qMin(2 * thin, size / 3));
    const QPoint selected(m_grid->col(), m_grid->row());
    const QColor colour = QColor::fromRgb(Colour);
    const std::vector<qint32> &matches = m_search->matches();
    for (int row = top; row <= bottom; ++row) {
        auto it = std::lower_bound(matches.begin(), matches.end(), m_search->indexOf(left, row));
        for (; it != matches.end(); ++it) {
            const QPoint cell = m_search->cellOf(*it);
            if (cell.y() != row || cell.x() > right)
                break;
            const QRect r = m_grid->cellRect(cell.x(), cell.y());
            const int w = cell == selected ? thick : thin;
            painter.fillRect(r.left(), r.top(), r.width(), w, colour);
            painter.fillRect(r.left(), r.bottom() + 1 - w, r.width(), w, colour);
            painter.fillRect(r.left(), r.top() + w, w, r.height() - 2 * w, colour);
            painter.fillRect(r.right() + 1 - w, r.top() + w, w, r.height() - 2 * w, colour);
        }
    }
}

void FindMarks::drawMarks(QImage &picture)
{
    // Three pixels a plot: the ring of eight around the block's centre,
    // which keeps the terrain's colour.
    if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32)
        return;
    const int width = picture.width(), height = picture.height();
    for (const qint32 index : m_search->matches()) {
        const QPoint cell = m_search->cellOf(index);
        const int x = 3 * cell.x(), y = 3 * cell.y();
        if (x + 2 >= width || y + 2 >= height)
            continue;
        for (int dy = 0; dy < 3; ++dy) {
            QRgb *line = reinterpret_cast<QRgb *>(picture.scanLine(y + dy)) + x;
            line[0] = Colour;
            line[2] = Colour;
            if (dy != 1)
                line[1] = Colour;
        }
    }
}
