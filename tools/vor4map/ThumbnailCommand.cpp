#include "ThumbnailCommand.h"

#include "CommandFiles.h"
#include "FileTarget.h"
#include "MapReader.h"
#include "Thumbnail.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTextStream>

namespace vor4::tool {

bool parseThumbnailArgs(const QStringList &args, ThumbnailOptions &options, QString *reason)
{
    QStringList files;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--size") || a.startsWith(QLatin1String("--size="))) {
            QString value;
            if (a.size() > 6)
                value = a.mid(7);
            else if (i + 1 < args.size())
                value = args[++i];
            bool ok = false;
            const int n = value.toInt(&ok);
            if (!ok || n < 1 || n > MaxThumbnailSize) {
                *reason = QStringLiteral("size must be a number from 1 to %1, not '%2'").arg(MaxThumbnailSize).arg(shownValue(value));
                return false;
            }
            options.size = n;
        } else if (a.startsWith(QLatin1String("--")) && a.size() > 2) {
            *reason = QStringLiteral("unknown option '%1'").arg(shownValue(a));
            return false;
        } else {
            files << a;
        }
    }
    if (files.size() != 2) {
        *reason = QStringLiteral("needs IN and OUT.png");
        return false;
    }
    options.mapFile = files[0];
    options.outFile = files[1];
    return true;
}

int thumbnailCommand(const ThumbnailOptions &options)
{
    QTextStream err(stderr);
    const QString refusal = outputRefusal(options.outFile, {options.mapFile});
    if (!refusal.isEmpty()) {
        err << "vor4map thumbnail: " << refusal << "\n";
        return 1;
    }
    Document doc;
    const LoadResult loaded = loadMapFile(options.mapFile, doc);
    if (!loaded.ok()) {
        err << loadFailure(options.mapFile, loaded) << "\n";
        return 1;
    }
    // Encoded whole first, then written atomically: a full disk or a size
    // limit leaves the previous picture in place.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter encoder(&buffer, "png");
    if (!encoder.write(renderThumbnail(doc.PlotTexts, options.size))) {
        err << writeFailure(options.outFile, encoder.errorString()) << "\n";
        return 1;
    }
    if (const QString failed = replaceFile(options.outFile, png); !failed.isEmpty()) {
        err << failed << "\n";
        return 1;
    }
    return 0;
}

} // namespace vor4::tool
