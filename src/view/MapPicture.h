#pragma once
// A picture of a document's map, or of a rectangle of its cells, at a cell
// size and in a style: the cells, the lines between them, the layers over
// them and the pieces. One call gives it as an image or writes it as a PNG
// file, band by band, so that the largest map fits in memory at any size.
// "vor4map render", File > Export picture and every other whole picture
// of a map come from here.

#include "GridPaintParams.h"
#include "PiecePainter.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>

class QPainter;

namespace vor4 {

class Document;

// Something drawn over the cells of a picture, under its pieces: each band
// of a picture, and each paint of the grid, asks it for these cells, placed
// as `at` says. It draws from the document it was made for.
class MapLayer
{
public:
    virtual ~MapLayer() = default;
    virtual void paint(QPainter &p, const GridPaintParams &at, const QRect &cells) const = 0;
    // How many cells beyond its own a cell's drawing may reach.
    virtual int reach(const GridPaintParams &) const { return 0; }
};

struct MapPictureOptions
{
    MapStyle style = MapStyle::classic();
    int cellSize = 16;
    bool gridLines = true;
    LayerSwitches layers;
    // Starts, units, signs and rivers, as far as pieceLayers has them on.
    bool pieces = false;
    PieceLayers pieceLayers;
    // The cells shown, kept on the map; none for the whole map.
    QRect cells;
    // Under the cells, where a plot shows no terrain.
    QRgb background = 0xffffffffu;
    // Drawn over the cells and under the pieces, in order; not owned.
    QList<const MapLayer *> layersOver;
};

class MapPicture
{
public:
    MapPicture(const Document &doc, const MapPictureOptions &options);
    ~MapPicture();
    MapPicture(const MapPicture &) = delete;
    MapPicture &operator=(const MapPicture &) = delete;

    // The cells shown and the picture's size: cell (c, r) of them at
    // ((c - left) * (N + g), (r - top) * (N + g)), each followed by its line.
    QRect cells() const { return m_cells; }
    qint64 width() const;
    qint64 height() const;
    // Why the picture cannot be made, for the user; empty when it can. Too
    // large for the file format, or for memory when `whole` (one image
    // rather than bands).
    QString refusal(bool whole) const;

    // The whole picture as one image; null when it is refused.
    QImage image();
    // Rows [top, top + band.height()) of the picture, into an RGB32 or
    // ARGB32 image as wide as the picture.
    void paintBand(QImage &band, int top);

    // Writes the picture as a PNG file through a temporary file, band by
    // band; `progress` hears of the rows written and may stop the writing
    // by returning false, which leaves any file there was as it was.
    struct Written
    {
        bool ok = false;
        bool cancelled = false;
        QString error; // for the user, when neither
    };
    Written write(const QString &path, const std::function<bool(qint64 rows, qint64 total)> &progress = {},
                  qint64 bandBytes = qint64(64) << 20);

    // The placement of the cells in rows [top, ...) of the picture.
    GridPaintParams placement(int top) const;

private:
    struct Private;
    const Document &m_doc;
    MapPictureOptions m_options;
    QRect m_cells;
    std::unique_ptr<Private> d;
};

} // namespace vor4
