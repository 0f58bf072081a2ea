#pragma once
// A two-colour outline around pixels: white next to them, black outside
// that. One of the two stands out on any fill, so what it marks is found at
// every cell size and on every terrain colour.

#include <QRegion>

class QPainter;

namespace Outline {

// The pixels from `from` to `to` (exclusive) away from the region, in the
// sense of a square step: a corner pixel counts as near.
QRegion ring(const QRegion &pixels, int from, int to);
// Paints the outline, each colour `thickness` pixels wide.
void paint(QPainter &painter, const QRegion &pixels, int thickness);
// The pixels paint() covers.
QRegion area(const QRegion &pixels, int thickness);

} // namespace Outline
