#pragma once
// The map's surface: its size and the axes that wrap ("wrap X=1" joins the
// east and west edges, "wrap Y=1" the north and south ones). How far plots
// lie from each other and which lie around a start, one rule for the
// balance report and the map generator. The rules are the same with y
// counted up (the file's) or down (the grid's rows).

#include <QList>
#include <QPoint>
#include <optional>

namespace vor4 {

class Document;

struct MapWrap
{
    int width = 1, height = 1;
    bool wrapX = false, wrapY = false;

    static MapWrap of(const Document &doc);
    // The plot at `at`, wrapped where the axis wraps; nothing off the map.
    std::optional<QPoint> onMap(QPoint at) const;
    // How far apart two plots are along each axis, the short way round on
    // a wrapping axis.
    QPoint span(QPoint a, QPoint b) const
    {
        const int dx = qAbs(a.x() - b.x()), dy = qAbs(a.y() - b.y());
        return {wrapX ? qMin(dx, width - dx) : dx, wrapY ? qMin(dy, height - dy) : dy};
    }
    // The larger of the axis distances.
    int distance(QPoint a, QPoint b) const
    {
        const QPoint d = span(a, b);
        return qMax(d.x(), d.y());
    }
    // A start's work area: the distinct plots within two of `at`, without
    // the 5 x 5 square's corners, in no set order.
    QList<QPoint> workArea(QPoint at) const;
};

} // namespace vor4
