#pragma once
// vor4map new: a new map, with players and generated land, written as the
// editor saves.

#include <QStringList>

namespace vor4::tool {

int newMapCommand(const QStringList &args);

} // namespace vor4::tool
