#pragma once
// vor4map locate and vor4map catalogue: the game lookup and the map contents
// lists exactly as the editor finds and shows them.

#include <QString>

namespace vor4::tool {

// Prints "InstallDir=" and "MapsDir=" lines; 1 on a registry read error.
int locateCommand();

// KIND is terrain, bonus, feature, improvement or plottype.
bool isCatalogueKind(const QString &kind);
// Prints the items of that tab one a line; 1 when its data file cannot be read.
int catalogueCommand(const QString &kind);

} // namespace vor4::tool
