#include "UserGuide.h"

#include "Dialogs.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

QStringList userGuidePlaces()
{
    QStringList places;
    const QString program = QCoreApplication::applicationDirPath();
    // The sources' README only for the programs of their own build tree: an
    // installed editor shows the guide of its own version.
    const QString build = QFileInfo(QStringLiteral(VOR4_BUILD_DIR)).canonicalFilePath();
    if (!build.isEmpty() && (program == build || program.startsWith(build + QLatin1Char('/'))))
        places << QStringLiteral(VOR4_SOURCE_DIR "/README.md");
    places << QDir::cleanPath(program + QStringLiteral("/" VOR4_DOC_FROM_PROGRAM "/README.md"));
    for (const QString &data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        places << data + QStringLiteral("/doc/" VOR4_PACKAGE "/README.md");
    places.removeDuplicates();
    return places;
}

QString userGuidePath()
{
    for (const QString &place : userGuidePlaces())
        if (QFileInfo(place).isFile())
            return place;
    return QString();
}

void openUserGuide(QWidget *parent)
{
    const QString guide = userGuidePath();
    if (guide.isEmpty())
        Dialogs::instance().error(parent, QStringLiteral("The user guide was not found. It was looked for in:\n%1")
                                              .arg(QDir::toNativeSeparators(userGuidePlaces().join(QLatin1Char('\n')))));
    else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(guide)))
        Dialogs::instance().error(parent, QStringLiteral("No viewer could open the user guide %1")
                                              .arg(QDir::toNativeSeparators(guide)));
}
