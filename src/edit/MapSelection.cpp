#include "MapSelection.h"

namespace vor4 {

qint64 MapSelection::cellCount() const
{
    qint64 count = 0;
    for (const QRect &r : m_region)
        count += qint64(r.width()) * r.height();
    return count;
}

void MapSelection::setRegion(const QRegion &cells, const QSize &grid)
{
    const QRegion region = cells & QRect(QPoint(0, 0), grid);
    if (region == m_region)
        return;
    const QRegion before = m_region;
    m_region = region;
    Q_EMIT changed(before, m_region);
}

} // namespace vor4
