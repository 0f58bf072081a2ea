#pragma once
// Damage that a load survives but a map maker should hear about: plot
// counts that disagree, plots outside the grid or read twice, start
// positions off the map.

#include "MapReader.h"

#include <QStringList>

namespace vor4 {

// One line per kind of damage, each beginning with "warning: ".
QStringList mapWarnings(const Document &doc, const LoadStats &stats);

} // namespace vor4
