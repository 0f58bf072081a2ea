#pragma once
// vor4map thumbnail: a small PNG picture of the whole map, as file managers
// show it (run through the desktop's thumbnailer entry).

#include <QString>
#include <QStringList>

namespace vor4::tool {

struct ThumbnailOptions
{
    QString mapFile;
    QString outFile;
    int size = 256;
};

constexpr int MaxThumbnailSize = 4096;

// The arguments after "thumbnail". False with a reason on a wrong call.
bool parseThumbnailArgs(const QStringList &args, ThumbnailOptions &options, QString *reason);

// Loads the map and writes the picture; 0, or 1 on a load error (OUT is not
// touched) or a write error (OUT is removed).
int thumbnailCommand(const ThumbnailOptions &options);

} // namespace vor4::tool
