#pragma once
// The plot lines a map already uses, as brush values: every distinct line of
// the plot texts that has a key before an "=", trimmed, leaving out the
// lines inside Begin/End blocks (a plot's units). Painting then works from
// the map alone, on a machine without the game's catalogues.

#include <QByteArray>
#include <QList>

namespace vor4 {

class PlotTable;

class PlotLineSet
{
public:
    // Sorted; at most `limit` lines, the first found.
    static QList<QByteArray> collect(const PlotTable &plots, int limit = 5000);
};

} // namespace vor4
