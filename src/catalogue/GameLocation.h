#pragma once
// Finding the game's installation: its folder and the public maps folder
// below it, where the file dialogs start.

#include <QString>
#include <QStringList>

namespace vor4 {

class Registry;

// Folder names are joined with the platform's separator, as they stand.
#ifdef Q_OS_WIN
inline constexpr QChar PathSep = u'\\';
#else
inline constexpr QChar PathSep = u'/';
#endif

struct GameLocation
{
    QString InstallDir; // empty when the game was not found
    QString MapsDir;    // InstallDir + "PublicMaps" after a separator; empty with it
    QString error;      // a registry read error to show; both folders are then empty
};

// The keys tried, in order; the first that opens is used.
QStringList gameRegistryKeys();

GameLocation LocateGame(const Registry &registry);
GameLocation LocateGame(); // the system registry (Windows, or the Wine prefix)

} // namespace vor4
