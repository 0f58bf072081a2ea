#include "Outline.h"

#include <QPainter>

namespace Outline {

namespace {
// Grows a region by k pixels on every side. Growing each rectangle grows
// their union: a square step spreads over a union.
QRegion grown(const QRegion &pixels, int k)
{
    if (k == 0)
        return pixels;
    QRegion out;
    for (const QRect &r : pixels)
        out += r.adjusted(-k, -k, k, k);
    return out;
}
} // namespace

QRegion ring(const QRegion &pixels, int from, int to)
{
    return grown(pixels, to) - grown(pixels, from);
}

void paint(QPainter &painter, const QRegion &pixels, int thickness)
{
    for (const QRect &r : ring(pixels, 0, thickness))
        painter.fillRect(r, Qt::white);
    for (const QRect &r : ring(pixels, thickness, 2 * thickness))
        painter.fillRect(r, Qt::black);
}

QRegion area(const QRegion &pixels, int thickness)
{
    return ring(pixels, 0, 2 * thickness);
}

} // namespace Outline
