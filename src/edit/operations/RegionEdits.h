#pragma once
// Copy, paste and delete of a region of plots as undoable steps on a
// MapDocument, shared by the editor's Edit menu and vor4map edit. Copy and
// paste move plot texts only: start positions and signs stay.

#include "EditOperations.h"
#include "PlotRegion.h"

#include <QPoint>
#include <QRect>
#include <QRegion>

namespace vor4 {

class MapDocument;

class RegionEdits
{
public:
    using Result = EditOperations::Result;

    static PlotRegion copy(const MapDocument &doc, const QRegion &cells);
    // Every plot the region holds replaces the plot under it whole, empty
    // ones included; the region's top-left cell lands on `topLeft` and
    // what falls beyond the map is dropped. The placed plots become the
    // selection. Refused, with nothing changed, when the plot texts would
    // pass their bound.
    static Result paste(MapDocument &doc, const PlotRegion &region, QPoint topLeft);
    // Empties every plot of the cells; verb names the step ("Delete", "Cut").
    static Result clear(MapDocument &doc, const QRegion &cells, const QString &verb = QStringLiteral("Delete"));
};

} // namespace vor4
