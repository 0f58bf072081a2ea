#pragma once
// vor4map render: the whole map painted exactly as the editor's grid paints
// it, in a style and with the pieces if asked, written as a PNG picture;
// optionally the minimap image beside it.

#include "CellPainter.h"
#include "MapStyle.h"

#include <QString>
#include <QStringList>

namespace vor4 {
class Document;
}

namespace vor4::tool {

struct RenderOptions
{
    QString mapFile;
    QString outFile;
    QString miniMapFile; // empty: no minimap picture
    int cellSize = 16;
    int lineWidth = 1;
    LayerSwitches layers;
    MapStyle style = MapStyle::classic();
    bool pieces = false;
    // Memory for one band of picture rows (at least one row of cells).
    qint64 bandBytes = qint64(64) << 20;
};

// The cell sizes of the editor's size list.
bool isCellSize(int size);

// The arguments after "render". False with a reason on a wrong call.
bool parseRenderArgs(const QStringList &args, RenderOptions &options, QString *reason);

// Cells are cleared to this before they are painted: the usual system window
// colour, white.
constexpr QRgb RenderBackground = 0xffffffffu;

// Writes the picture of the whole map: cell (k, r) at (k * (N + g), r * (N + g)),
// painted in bands of rows. False with a message when it cannot.
bool renderMapPicture(const Document &doc, const RenderOptions &options, QString *error);
// Writes the minimap image in the style, as the full render leaves it
// after loading.
bool renderMiniMapPicture(const Document &doc, const QString &path, const MapStyle &style, QString *error);

// Loads the map and writes the pictures; 0, or 1 on a load or write error.
int renderCommand(const RenderOptions &options);

} // namespace vor4::tool
