#pragma once
// Damage that a load survives but a map maker should hear about: plot
// counts that disagree, plots outside the grid or read twice, start
// positions off the map.

#include "MapReader.h"

#include <QStringList>

namespace vor4 {

// What a load found damaged, one line per kind, each beginning with
// "warning: ". `dropped` names what a save would lose beyond what was read
// (or that the file is cut short): writing it back then needs a go-ahead.
struct MapDamage
{
    QStringList findings;
    QStringList dropped;
    bool isEmpty() const { return findings.isEmpty(); }
    bool dropsData() const { return !dropped.isEmpty(); }
};
MapDamage mapDamage(const Document &doc, const LoadStats &stats);

// check's warnings: plot counts that disagree, plots outside the grid or
// read twice, start positions off the map.
QStringList mapWarnings(const Document &doc, const LoadStats &stats);

} // namespace vor4
