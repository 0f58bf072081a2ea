#include "Geometry.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <vector>

namespace vor4 {

int stepBrushSize(int size, int step)
{
    const int count = int(std::size(BrushSizes));
    int at = 0;
    for (int i = 1; i < count; ++i)
        if (std::abs(BrushSizes[i] - size) < std::abs(BrushSizes[at] - size))
            at = i;
    if (BrushSizes[at] == size)
        at += step > 0 ? 1 : step < 0 ? -1 : 0;
    return BrushSizes[std::clamp(at, 0, count - 1)];
}

QList<QPoint> pointsOnLine(QPoint a, QPoint b)
{
    // Bresenham, always walked from the end with the smaller coordinate
    // along the long axis, so that both directions give the same cells.
    const bool reversed = std::abs(b.x() - a.x()) >= std::abs(b.y() - a.y()) ? a.x() > b.x() : a.y() > b.y();
    const QPoint from = reversed ? b : a;
    const QPoint to = reversed ? a : b;
    const int dx = std::abs(to.x() - from.x());
    const int dy = std::abs(to.y() - from.y());
    const int sx = from.x() < to.x() ? 1 : -1;
    const int sy = from.y() < to.y() ? 1 : -1;
    QList<QPoint> points;
    points.reserve(std::max(dx, dy) + 1);
    int x = from.x(), y = from.y();
    if (dx >= dy) {
        int err = 2 * dy - dx;
        for (int i = 0; i <= dx; ++i) {
            points.append(QPoint(x, y));
            if (err > 0) {
                y += sy;
                err -= 2 * dx;
            }
            err += 2 * dy;
            x += sx;
        }
    } else {
        int err = 2 * dx - dy;
        for (int i = 0; i <= dy; ++i) {
            points.append(QPoint(x, y));
            if (err > 0) {
                x += sx;
                err -= 2 * dy;
            }
            err += 2 * dx;
            y += sy;
        }
    }
    if (reversed)
        std::reverse(points.begin(), points.end());
    return points;
}

QList<QRect> lineFootprint(QPoint a, QPoint b, int size)
{
    const QList<QPoint> points = pointsOnLine(a, b);
    const QRect first = brushRect(points.first(), size);
    const QRect bounds = first.united(brushRect(points.last(), size));
    // Consecutive stamps overlap or touch, so each row is one span.
    std::vector<int> left(std::size_t(bounds.height()), bounds.right() + 1);
    std::vector<int> right(std::size_t(bounds.height()), bounds.left() - 1);
    for (const QPoint &p : points) {
        const QRect r = brushRect(p, size);
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const std::size_t i = std::size_t(y - bounds.top());
            left[i] = std::min(left[i], r.left());
            right[i] = std::max(right[i], r.right());
        }
    }
    QList<QRect> rows;
    rows.reserve(bounds.height());
    for (int i = 0; i < bounds.height(); ++i)
        if (left[std::size_t(i)] <= right[std::size_t(i)])
            rows.append(QRect(left[std::size_t(i)], bounds.top() + i, right[std::size_t(i)] - left[std::size_t(i)] + 1, 1));
    return rows;
}

QBitArray cellMask(const QRegion &cells, QSize grid)
{
    QBitArray mask(qsizetype(qMax(grid.width(), 0)) * qMax(grid.height(), 0));
    for (const QRect &r : cells & QRect(QPoint(0, 0), grid))
        for (int row = r.top(); row <= r.bottom(); ++row)
            mask.fill(true, qsizetype(row) * grid.width() + r.left(), qsizetype(row) * grid.width() + r.right() + 1);
    return mask;
}

QRegion maskRegion(const QBitArray &mask, int columns)
{
    // One rectangle a run, row by row: already the banded form QRegion
    // keeps, so it takes them as they are.
    QList<QRect> runs;
    if (columns <= 0)
        return {};
    for (qsizetype row = 0; row * columns < mask.size(); ++row) {
        const qsizetype start = row * columns, end = qMin(start + columns, mask.size());
        for (qsizetype i = start; i < end;) {
            if (!mask.testBit(i)) {
                ++i;
                continue;
            }
            qsizetype j = i;
            while (j < end && mask.testBit(j))
                ++j;
            runs.append(QRect(int(i - start), int(row), int(j - i), 1));
            i = j;
        }
    }
    QRegion region;
    region.setRects(runs.constData(), int(runs.size()));
    return region;
}

} // namespace vor4

