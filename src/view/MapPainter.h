#pragma once
// Painting of a whole grid area: background, grid lines and every cell, in
// a style. The grid widget and every map picture paint through MapPainter.

#include "CellPainter.h"
#include "GridPaintParams.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QPen>
#include <QPoint>
#include <QRegion>
#include <array>
#include <memory>
#include <unordered_map>
#include <vector>

namespace vor4 {

class PlotTable;

// Reference painting with QPainter alone: the area is filled with the
// background, the cell area with the line colour, then every cell in the
// target is cleared and painted by drawCell.
void paintGridDirect(QImage &target, const PlotTable &texts, const GridPaintParams &params);

// What the painter needs of each plot of a document, kept between paints:
// a plot's text is read again only after it was forgotten. Whoever keeps
// one says which plots changed; it starts afresh for a table of another
// size.
class PlotLooks
{
public:
    void reset(int cols, int rows);
    void forget(const QRegion &cells);

private:
    friend class MapPainter;
    bool fits(const PlotTable &texts) const;
    int m_cols = 0, m_rows = 0;
    std::vector<quint16> m_keys; // row by row; 0 while unknown
};

// The same pixels as paintGridDirect, fast: each distinct look of a cell is
// painted once by the cell painter into a tile and then copied; the tiles
// are kept by cell size, background, pen and style. 32-bit targets (RGB32,
// ARGB32, ARGB32 premultiplied) are copied into directly.
class MapPainter
{
public:
    // With `looks`, plots already read since they last changed are not read
    // again.
    void paint(QImage &target, const PlotTable &texts, const GridPaintParams &params, PlotLooks *looks = nullptr);
    // Paints only `area` of the target, with the pixels a whole paint gives
    // there; the rest of the target is left as it is.
    void paintArea(QImage &target, const QRect &area, const PlotTable &texts, const GridPaintParams &params,
                   PlotLooks *looks = nullptr);
    void clearCache();
    qsizetype tileCount() const;

private:
    struct Context
    {
        int cellSize = 0;
        QRgb background = 0;
        QPen pen;
        MapStyle style;
        std::unordered_map<quint32, int> index; // look -> tile
        // Direct-mapped front of `index`: most lookups end here.
        std::array<quint32, 1024> recentLook;
        std::array<int, 1024> recentTile;
        void forget();
        QHash<QByteArray, int> labelled;        // look and label -> tile
        std::vector<QImage> tiles;
    };
    Context &context(int cellSize, QRgb background, const QPen &pen, const MapStyle &style);
    const QImage &tile(Context &ctx, quint32 look, QByteArrayView label);

    std::vector<std::unique_ptr<Context>> m_contexts;
    qint64 m_bytes = 0;
    // The looks of the cells of one paint, column after column.
    std::vector<quint32> m_looks;
    std::vector<QByteArrayView> m_labels;
};

} // namespace vor4
