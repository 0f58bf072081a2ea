#include "MapWrap.h"

#include "Document.h"

namespace vor4 {

MapWrap MapWrap::of(const Document &doc)
{
    return {doc.columnCount(), doc.rowCount(), doc.Header.wrapX == 1, doc.Header.wrapY == 1};
}

std::optional<QPoint> MapWrap::onMap(QPoint at) const
{
    if (wrapX)
        at.rx() = ((at.x() % width) + width) % width;
    if (wrapY)
        at.ry() = ((at.y() % height) + height) % height;
    if (at.x() < 0 || at.y() < 0 || at.x() >= width || at.y() >= height)
        return std::nullopt;
    return at;
}

QList<QPoint> MapWrap::workArea(QPoint at) const
{
    QList<QPoint> area;
    area.reserve(21);
    // Only a wrapping axis shorter than the area reaches a plot twice.
    const bool twice = (wrapX && width < 5) || (wrapY && height < 5);
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            if (qAbs(dx) == 2 && qAbs(dy) == 2)
                continue;
            const std::optional<QPoint> p = onMap(at + QPoint(dx, dy));
            if (p && (!twice || !area.contains(*p)))
                area << *p;
        }
    return area;
}

} // namespace vor4
