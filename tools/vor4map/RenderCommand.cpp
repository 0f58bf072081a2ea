#include "RenderCommand.h"

#include "CommandFiles.h"
#include "FileTarget.h"
#include "MapPicture.h"
#include "MapReader.h"
#include "MiniMap.h"
#include "PngBandWriter.h"

#include <QImage>
#include <QTextStream>

namespace vor4::tool {

namespace {

bool takeValue(const QStringList &args, int &i, const QString &option, QString &value)
{
    const QString &a = args[i];
    if (a.startsWith(option + QLatin1Char('='))) {
        value = a.mid(option.size() + 1);
        return true;
    }
    if (a == option && i + 1 < args.size()) {
        value = args[++i];
        return true;
    }
    return false;
}

} // namespace

bool isCellSize(int size)
{
    for (int s : {4, 5, 6, 7, 8, 9, 10, 12, 14, 16, 20, 24, 32, 40, 48, 56, 64})
        if (s == size)
            return true;
    return false;
}

bool parseRenderArgs(const QStringList &args, RenderOptions &options, QString *reason)
{
    QStringList files;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        QString value;
        if (a == QLatin1String("--no-grid-lines")) {
            options.lineWidth = 0;
        } else if (a == QLatin1String("--pieces")) {
            options.pieces = true;
        } else if (a.startsWith(QLatin1String("--style"))) {
            if (!takeValue(args, i, QStringLiteral("--style"), value)) {
                *reason = QStringLiteral("--style needs a style: classic or terrain");
                return false;
            }
            const MapStyle *style = MapStyle::byName(value);
            if (!style) {
                *reason = QStringLiteral("style must be classic or terrain, not '%1'").arg(shownValue(value));
                return false;
            }
            options.style = *style;
        } else if (a.startsWith(QLatin1String("--cell"))) {
            if (!takeValue(args, i, QStringLiteral("--cell"), value)) {
                *reason = QStringLiteral("--cell needs a size");
                return false;
            }
            bool ok = false;
            const int n = value.toInt(&ok);
            if (!ok || !isCellSize(n)) {
                *reason = QStringLiteral("cell size must be one of 4 5 6 7 8 9 10 12 14 16 20 24 32 40 48 56 64, not '%1'")
                              .arg(shownValue(value));
                return false;
            }
            options.cellSize = n;
        } else if (a.startsWith(QLatin1String("--hide"))) {
            if (!takeValue(args, i, QStringLiteral("--hide"), value)) {
                *reason = QStringLiteral("--hide needs layer names");
                return false;
            }
            for (const QString &name : value.split(QLatin1Char(','))) {
                const int index = LayerSwitches::indexOf(name);
                if (index < 0) {
                    *reason = QStringLiteral("unknown layer '%1'").arg(shownValue(name));
                    return false;
                }
                options.layers[index] = false;
            }
        } else if (a.startsWith(QLatin1String("--minimap"))) {
            if (!takeValue(args, i, QStringLiteral("--minimap"), value) || value.isEmpty()) {
                *reason = QStringLiteral("--minimap needs a file");
                return false;
            }
            options.miniMapFile = value;
        } else if (a.startsWith(QLatin1String("--")) && a.size() > 2) {
            *reason = QStringLiteral("unknown option '%1'").arg(shownValue(a));
            return false;
        } else {
            files << a;
        }
    }
    if (files.size() != 2) {
        *reason = QStringLiteral("needs FILE and OUT.png");
        return false;
    }
    options.mapFile = files[0];
    options.outFile = files[1];
    return true;
}

bool renderMapPicture(const Document &doc, const RenderOptions &options, QString *error)
{
    MapPictureOptions picture;
    picture.style = options.style;
    picture.cellSize = options.cellSize;
    picture.gridLines = options.lineWidth > 0;
    picture.layers = options.layers;
    picture.pieces = options.pieces;
    picture.background = RenderBackground;
    const MapPicture::Written written = MapPicture(doc, picture).write(options.outFile, {}, options.bandBytes);
    if (!written.ok)
        *error = written.error;
    return written.ok;
}

bool renderMiniMapPicture(const Document &doc, const QString &path, const MapStyle &style, QString *error)
{
    QImage mini(miniMapSize(doc), QImage::Format_RGB32);
    if (mini.isNull()) {
        *error = QStringLiteral("The map has no minimap image");
        return false;
    }
    mini.fill(style.noTerrain);
    renderMiniMap(doc.PlotTexts, mini, style);
    PngBandWriter writer;
    if (!writer.open(path, mini.width(), mini.height()) || !writer.writeBand(mini) || !writer.finish()) {
        *error = writer.failure();
        return false;
    }
    return true;
}

int renderCommand(const RenderOptions &options)
{
    QTextStream err(stderr);
    QStringList taken{options.mapFile};
    for (const QString &out : {options.outFile, options.miniMapFile}) {
        if (out.isEmpty())
            continue;
        const QString refusal = outputRefusal(out, taken);
        if (!refusal.isEmpty()) {
            err << "vor4map render: " << refusal << "\n";
            return 1;
        }
        taken << out;
    }
    Document doc;
    const LoadResult loaded = loadMapFile(options.mapFile, doc);
    if (!loaded.ok()) {
        err << loadFailure(options.mapFile, loaded) << "\n";
        return 1;
    }
    // Both pictures or neither: the minimap's absence is known before any writing.
    if (!options.miniMapFile.isEmpty() && miniMapSize(doc).isEmpty()) {
        err << "The map has no minimap image; nothing written\n";
        return 1;
    }
    QString error;
    if (!renderMapPicture(doc, options, &error)
        || (!options.miniMapFile.isEmpty() && !renderMiniMapPicture(doc, options.miniMapFile, options.style, &error))) {
        err << error << "\n";
        return 1;
    }
    return 0;
}

} // namespace vor4::tool
