#pragma once
// The Windows registry through advapi32; built on Windows only.

#include "Registry.h"

#ifdef Q_OS_WIN

namespace vor4 {

class WindowsRegistry final : public Registry
{
public:
    std::unique_ptr<RegistryKey> openLocalMachineKey(const QString &path) const override;
    QString toHostPath(const QString &registryPath) const override { return registryPath; }
};

} // namespace vor4

#endif
