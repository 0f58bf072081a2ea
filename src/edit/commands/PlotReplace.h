#pragma once
// Replacing in plot texts: every match of a query in a set of plots, as one
// undoable step named with the number of plots it changes.

#include "PlotQuery.h"

#include <QRegion>
#include <QString>
#include <vector>

namespace vor4 {

class MapDocument;

struct ReplaceResult
{
    int plots = 0;  // plots changed
    QString error;  // why nothing was changed; empty when all went well
    bool ok() const { return error.isEmpty(); }
};

// Replaces in the given cells (row * columnCount + column, each at most once)
// as PlotQuery::replaced does, as one step. A replacement that a plot cannot
// hold, or that would pass the plot texts' bound, changes nothing and says why.
ReplaceResult replaceInPlots(MapDocument *doc, const PlotQuery &query, const QString &replacement,
                             const std::vector<qint32> &cells);
// The same over every match in the cells (none: the whole map).
ReplaceResult replaceInArea(MapDocument *doc, const PlotQuery &query, const QString &replacement,
                            const QRegion &cells = QRegion());

} // namespace vor4
