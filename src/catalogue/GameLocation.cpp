#include "GameLocation.h"

#include "Registry.h"

namespace vor4 {

QStringList gameRegistryKeys()
{
    static const char *const Keys[] = {
        "SOFTWARE\\Talvex Games\\Orwendel's Vorland 4 Demo",
        "SOFTWARE\\Talvex Games\\Orwendel's Vorland 4",
    };
    const QString software = QStringLiteral("SOFTWARE\\");
    QStringList keys;
    for (const char *k : Keys) {
        const QString key = QString::fromLatin1(k);
        keys << key;
        // A 32-bit installer in a 64-bit system writes below Wow6432Node.
        keys << QStringLiteral("Software\\Wow6432Node\\") + key.mid(software.size());
    }
    return keys;
}

GameLocation LocateGame(const Registry &registry)
{
    GameLocation result;
    for (const QString &path : gameRegistryKeys()) {
        const std::unique_ptr<RegistryKey> key = registry.openLocalMachineKey(path);
        if (!key)
            continue;
        const QString name = QStringLiteral("INSTALLDIR");
        const std::optional<RegistryValue> value = key->queryValue(name);
        if (value && value->dataSize > 0) {
            if (value->type != RegSz && value->type != RegExpandSz) {
                result.error = QStringLiteral("Invalid data type for '%1'").arg(name);
                return result;
            }
            result.InstallDir = registry.toHostPath(value->text);
        }
        if (!result.InstallDir.isEmpty())
            result.MapsDir = result.InstallDir + PathSep + QStringLiteral("PublicMaps");
        // The first key that opens is the one used, value or not.
        return result;
    }
    return result;
}

GameLocation LocateGame()
{
    return LocateGame(*systemRegistry());
}

} // namespace vor4
