#pragma once

#include <QStringList>

namespace vor4::tool {

// Runs one vor4map command line (without the program name); returns the exit code.
int run(const QStringList &args);

} // namespace vor4::tool
