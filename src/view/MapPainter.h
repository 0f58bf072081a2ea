#pragma once
// Painting of a whole grid area: background, grid lines and every cell.
// The grid widget and "vor4map render" both paint through MapPainter.

#include "CellPainter.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QPen>
#include <QPoint>
#include <array>
#include <memory>
#include <unordered_map>
#include <vector>

namespace vor4 {

class PlotTable;

struct GridPaintParams
{
    int cellSize = 16;  // W; cells are square
    int lineWidth = 1;  // 1 or 0
    int colCount = 1;   // the grid's counts; cells beyond PlotTexts stay background
    int rowCount = 1;
    int leftCol = 0;    // the cell whose top-left corner is at `origin`
    int topRow = 0;
    QPoint origin;      // in target pixels
    QPoint brushOrigin; // hatch patterns are anchored here, in target pixels
    QRgb background = 0xffffffffu;
    QRgb lineColour = 0xffc0c0c0u; // silver
    QRgb highlight = 0xff308cc6u;
    // The selected cell is cleared to `highlight` instead of `background`.
    int highlightCol = -1;
    int highlightRow = -1;
    // The pen the cell painter finds: the grid-line pen while lines show.
    QPen cellPen;
    LayerSwitches layers;

    int pitch() const { return cellSize + lineWidth; }
    // Top-left pixel of a cell in the target.
    QPoint cellPos(int col, int row) const
    {
        return origin + QPoint((col - leftCol) * pitch(), (row - topRow) * pitch());
    }
};

// The pen the cell painter finds: silver and one pixel wide while grid lines
// show, otherwise the painter's default pen (black, one pixel).
QPen gridCellPen(int lineWidth, QRgb lineColour = 0xffc0c0c0u);

// Reference painting with QPainter alone: the area is filled with the
// background, the cell area with the line colour, then every cell in the
// target is cleared and painted by drawCell.
void paintGridDirect(QImage &target, const PlotTable &texts, const GridPaintParams &params,
                     QImage *miniMap);

// The same pixels as paintGridDirect, fast: each distinct look of a cell is
// painted once by the cell painter into a tile and then copied. 32-bit
// targets (RGB32, ARGB32, ARGB32 premultiplied) are copied into directly.
class MapPainter
{
public:
    void paint(QImage &target, const PlotTable &texts, const GridPaintParams &params, QImage *miniMap);
    // Paints only `area` of the target, with the pixels a whole paint gives
    // there; the rest of the target is left as it is.
    void paintArea(QImage &target, const QRect &area, const PlotTable &texts, const GridPaintParams &params,
                   QImage *miniMap);
    void clearCache();
    qsizetype tileCount() const;

private:
    struct Context
    {
        int cellSize = 0;
        QRgb background = 0;
        QPen pen;
        std::unordered_map<quint32, int> index; // look -> tile
        // Direct-mapped front of `index`: most lookups end here.
        std::array<quint32, 1024> recentLook;
        std::array<int, 1024> recentTile;
        void forget();
        QHash<QByteArray, int> labelled;        // look and label -> tile
        std::vector<QImage> tiles;
    };
    Context &context(int cellSize, QRgb background, const QPen &pen);
    const QImage &tile(Context &ctx, quint32 look, QByteArrayView label);

    std::vector<std::unique_ptr<Context>> m_contexts;
    qint64 m_bytes = 0;
};

} // namespace vor4
