#include "Registry.h"

#include "WineRegistry.h"
#ifdef Q_OS_WIN
#include "WindowsRegistry.h"
#endif

namespace vor4 {

std::unique_ptr<Registry> systemRegistry()
{
#ifdef Q_OS_WIN
    return std::make_unique<WindowsRegistry>();
#else
    return std::make_unique<WineRegistry>(WineRegistry::defaultPrefix());
#endif
}

} // namespace vor4
