#pragma once
// A small picture of the whole map for file managers: the minimap (3 x 3
// pixels a plot, coloured by each plot's first terrain line) scaled to a
// given longer side.

#include <QImage>
#include <QSize>

namespace vor4 {

class PlotTable;

// The minimap's shape with its longer side longSide (at least 1 pixel each way).
QSize thumbnailSize(int columns, int rows, int longSide);

// Each pixel takes the colour of the plot under its centre, as nearest-pixel
// scaling of the minimap gives it; plots without a terrain line are white.
// Only the plots under a pixel are looked at, so big maps cost no more than
// small ones.
QImage renderThumbnail(const PlotTable &texts, int longSide);

} // namespace vor4
