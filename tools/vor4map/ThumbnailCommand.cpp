#include "ThumbnailCommand.h"

#include "MapReader.h"
#include "Thumbnail.h"

#include <QBuffer>
#include <QFile>
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
                *reason = QStringLiteral("size must be a number from 1 to %1").arg(MaxThumbnailSize);
                return false;
            }
            options.size = n;
        } else if (a.startsWith(QLatin1String("--")) && a.size() > 2) {
            *reason = QStringLiteral("unknown option '%1'").arg(a);
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
    Document doc;
    const LoadResult loaded = loadMapFile(options.mapFile, doc);
    if (!loaded.ok()) {
        err << loaded.message << "\n";
        return 1;
    }
    // A thumbnail is cache data: written in one piece, without waiting for
    // the disk as a saved map does.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter encoder(&buffer, "png");
    QFile out(options.outFile);
    if (!encoder.write(renderThumbnail(doc.PlotTexts, options.size))) {
        err << QStringLiteral("Cannot write %1: %2").arg(options.outFile, encoder.errorString()) << "\n";
        return 1;
    }
    if (!out.open(QIODevice::WriteOnly) || out.write(png) != png.size() || !out.flush()) {
        err << QStringLiteral("Cannot write %1: %2").arg(options.outFile, out.errorString()) << "\n";
        if (out.isOpen())
            out.remove();
        return 1;
    }
    return 0;
}

} // namespace vor4::tool
