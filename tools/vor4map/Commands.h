#pragma once

#include "MapCheck.h"

#include <QStringList>

namespace vor4::tool {

// Runs one vor4map command line (without the program name); returns the exit code.
int run(const QStringList &args);

// Tells the damage found in IN on standard error; false, after saying why,
// when writing would drop data and force is not given.
bool writeDespiteDamage(const QString &in, const MapDamage &damage, bool force);

} // namespace vor4::tool
