#pragma once
// Read-only access to HKEY_LOCAL_MACHINE, just enough to find the game.

#include <QString>
#include <QtGlobal>
#include <memory>
#include <optional>

namespace vor4 {

// Registry value type codes (REG_*).
enum RegType : quint32 {
    RegNone = 0,
    RegSz = 1,
    RegExpandSz = 2,
    RegBinary = 3,
    RegDword = 4,
    RegMultiSz = 7,
    RegQword = 11,
};

struct RegistryValue
{
    quint32 type = RegNone;
    qsizetype dataSize = 0; // bytes of data the registry holds
    QString text;           // string types only: the data up to its first NUL
};

class RegistryKey
{
public:
    virtual ~RegistryKey() = default; // closes the key
    // Names compare without regard to case; nullopt when there is no such value.
    virtual std::optional<RegistryValue> queryValue(const QString &name) const = 0;
};

class Registry
{
public:
    virtual ~Registry() = default;
    // Opens an existing key below HKEY_LOCAL_MACHINE for reading; never creates
    // one. Returns null when the key does not exist or cannot be read.
    virtual std::unique_ptr<RegistryKey> openLocalMachineKey(const QString &path) const = 0;
    // Turns a folder as the registry holds it into a path this process can open.
    virtual QString toHostPath(const QString &registryPath) const = 0;
};

// The registry the game's installer wrote: the Windows registry on Windows,
// elsewhere the Wine prefix of $WINEPREFIX (or ~/.wine).
std::unique_ptr<Registry> systemRegistry();

} // namespace vor4
