#include "MapSelection.h"

namespace vor4 {

void MapSelection::setArea(const QRect &cells, const QSize &grid)
{
    const QRect area = cells.normalized().intersected(QRect(QPoint(0, 0), grid));
    if (area == m_area)
        return;
    const QRect before = m_area;
    m_area = area;
    Q_EMIT changed(before, m_area);
}

} // namespace vor4
