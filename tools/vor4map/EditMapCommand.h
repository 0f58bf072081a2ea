#pragma once

#include <QStringList>

namespace vor4::tool {

// vor4map edit IN OUT OPERATION...: args without "edit". Returns the exit code.
int editCommand(const QStringList &args);

} // namespace vor4::tool
