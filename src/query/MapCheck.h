#pragma once
// Damage that a load survives but a map maker should hear about: plot
// counts that disagree, plots outside the grid or read twice, start
// positions off the map, blocks left open, lines outside every section.

#include "MapReader.h"

#include <QStringList>

namespace vor4 {

// What a load found damaged, one line per kind, each beginning with
// "warning: ". `dropped` names what a save would lose beyond what was read
// (or that the file is cut short); `hidden` names damage that a save would
// make look whole (a count written anew, plots read twice joined). Writing
// then needs a go-ahead.
struct MapDamage
{
    QStringList findings;
    QStringList dropped;
    QStringList hidden;
    bool isEmpty() const { return findings.isEmpty(); }
    bool dropsData() const { return !dropped.isEmpty(); }
    bool needsGoAhead() const { return !dropped.isEmpty() || !hidden.isEmpty(); }
    // "drop A and B, and hide C": what writing would do, for "writing
    // would ..." and "Saving will ...".
    QString consequences() const;
};
MapDamage mapDamage(const Document &doc, const LoadStats &stats);

// check's warnings: plot and sign counts that disagree, plots outside the
// grid or read twice, blocks left open, stray lines, start positions off
// the map and units without "EndUnit".
QStringList mapWarnings(const Document &doc, const LoadStats &stats);

// "lines 5, 9-10 and 14", the runs as they were counted, "…" when more
// lines than those were.
QString lineRanges(const QList<std::pair<qint64, qint64>> &ranges, qint64 lines);

} // namespace vor4
