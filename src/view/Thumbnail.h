#pragma once
// A small picture of the whole map for file managers: the minimap (3 x 3
// pixels a plot, each in its plot's colour) scaled to a given longer side.

#include "MapStyle.h"

#include <QImage>
#include <QSize>

namespace vor4 {

class Document;
class PlotTable;

// The minimap's shape with its longer side longSide (at least 1 pixel each way).
QSize thumbnailSize(int columns, int rows, int longSide);

// Each pixel takes the colour of the plot under its centre, as nearest-pixel
// scaling of the minimap gives it (MapStyle::plotColour). Only the plots
// under a pixel are looked at, so big maps cost no more than small ones.
QImage renderThumbnail(const PlotTable &texts, int longSide, const MapStyle &style = MapStyle::classic());

// The thumbnail of a document fitted into `fit`, with each player's start
// marked in its colour: the New map dialog's picture of a generated map.
QImage mapPreview(const Document &doc, QSize fit, const MapStyle &style = MapStyle::classic());

} // namespace vor4
