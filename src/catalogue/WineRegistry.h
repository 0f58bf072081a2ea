#pragma once
// HKEY_LOCAL_MACHINE of a Wine prefix, read from the prefix's system.reg:
// where the game's installer put its keys when the game runs under Wine.

#include "Registry.h"

#include <QByteArray>
#include <QStringView>

namespace vor4 {

class WineRegistry final : public Registry
{
public:
    explicit WineRegistry(const QString &prefix);

    // $WINEPREFIX, or ~/.wine when it is unset or empty.
    static QString defaultPrefix();
    QString prefix() const { return m_prefix; }

    std::unique_ptr<RegistryKey> openLocalMachineKey(const QString &path) const override;
    // "C:\Games\Vor4\" -> "<prefix>/dosdevices/c:/Games/Vor4/".
    QString toHostPath(const QString &registryPath) const override;

    // Decodes Wine's escapes in s up to the first unescaped `end`; *used gets
    // the index of that terminator, or -1 when s has none.
    static QString unescape(QStringView s, QChar end, qsizetype *used);

private:
    QString m_prefix;
};

} // namespace vor4
