#include "CatalogueCommands.h"

#include "GameLocation.h"
#include "TypeCatalogue.h"

#include <QTextStream>

namespace vor4::tool {

namespace {

const char *const Kinds[TypeCatalogue::TabCount] = {"terrain", "bonus", "feature", "improvement", "plottype"};

int tabOf(const QString &kind)
{
    for (int tab = 0; tab < TypeCatalogue::TabCount; ++tab)
        if (kind == QLatin1String(Kinds[tab]))
            return tab;
    return -1;
}

void print(FILE *stream, const QString &text)
{
    QTextStream s(stream);
    s << text;
    s.flush();
}

int gameNotFound()
{
    print(stderr, QStringLiteral("The game was not found\n"));
    return 1;
}

} // namespace

int locateCommand()
{
    const GameLocation found = LocateGame();
    if (!found.error.isEmpty()) {
        print(stderr, found.error + u'\n');
        return 1;
    }
    if (found.InstallDir.isEmpty())
        return gameNotFound();
    print(stdout, QStringLiteral("InstallDir=%1\nMapsDir=%2\n").arg(found.InstallDir, found.MapsDir));
    return 0;
}

bool isCatalogueKind(const QString &kind)
{
    return tabOf(kind) >= 0;
}

int catalogueCommand(const QString &kind)
{
    const int tab = tabOf(kind);
    if (tab < 0)
        return 2;
    // Like the editor: a read error is reported and the lookup found nothing.
    const GameLocation found = LocateGame();
    if (!found.error.isEmpty())
        print(stderr, found.error + u'\n');
    if (found.InstallDir.isEmpty() && tab != TypeCatalogue::PlotTypeTab)
        return gameNotFound();
    TypeCatalogue catalogue(found.InstallDir);
    const TypeCatalogue::Build built = catalogue.build(tab);
    if (built.unreadable) {
        print(stderr, built.items.join(u'\n') + u'\n');
        return 1;
    }
    QString text;
    for (const QString &item : built.items)
        text += item + u'\n';
    print(stdout, text);
    return 0;
}

} // namespace vor4::tool
