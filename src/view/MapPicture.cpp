#include "MapPicture.h"

#include "Document.h"
#include "MapPainter.h"
#include "MapPieces.h"
#include "PngBandWriter.h"

#include <QPainter>
#include <climits>
#include <optional>

namespace vor4 {

namespace {

// A band, or a whole picture in one image, holds at most this many bytes.
constexpr qint64 MaxImageBytes = qint64(1) << 30;

} // namespace

struct MapPicture::Private
{
    MapPainter painter;
    std::optional<MapPieces> pieces;
};

MapPicture::MapPicture(const Document &doc, const MapPictureOptions &options)
    : m_doc(doc)
    , m_options(options)
    , d(std::make_unique<Private>())
{
    const QRect map(0, 0, doc.columnCount(), doc.rowCount());
    m_cells = options.cells.isEmpty() ? map : options.cells & map;
    m_options.cellSize = qMax(1, m_options.cellSize);
    if (m_options.pieces)
        d->pieces.emplace(&doc);
}

MapPicture::~MapPicture() = default;

qint64 MapPicture::width() const
{
    return qint64(m_cells.width()) * (m_options.cellSize + (m_options.gridLines ? 1 : 0));
}

qint64 MapPicture::height() const
{
    return qint64(m_cells.height()) * (m_options.cellSize + (m_options.gridLines ? 1 : 0));
}

QString MapPicture::refusal(bool whole) const
{
    const qint64 w = width(), h = height();
    const qint64 pitch = m_options.cellSize + (m_options.gridLines ? 1 : 0);
    const bool inBands = !whole && PngBandWriter::streams();
    if (w < 1 || h < 1 || w > PngBandWriter::maxSide() || h > PngBandWriter::maxSide() || w * 4 > INT_MAX
        || w * 4 * pitch > MaxImageBytes || (!inBands && w * h * 4 > MaxImageBytes))
        return QStringLiteral("The picture would be %1 x %2 pixels, more than can be rendered; "
                              "choose a smaller cell size.")
            .arg(w)
            .arg(h);
    return QString();
}

GridPaintParams MapPicture::placement(int top) const
{
    GridPaintParams at;
    at.cellSize = m_options.cellSize;
    at.lineWidth = m_options.gridLines ? 1 : 0;
    at.colCount = m_doc.columnCount();
    at.rowCount = m_doc.rowCount();
    at.background = m_options.background;
    at.style = m_options.style;
    at.cellPen = gridCellPen(at.lineWidth, at.style.gridLine);
    at.layers = m_options.layers;
    // The picture's top-left cell at its corner, `top` rows above the band.
    const int pitch = at.pitch();
    at.leftCol = m_cells.left();
    at.topRow = m_cells.top() + top / pitch;
    at.origin = QPoint(0, -(top % pitch));
    // Hatches stay anchored to the whole picture's corner.
    at.brushOrigin = QPoint(0, int(-qint64(top) % 8));
    return at;
}

void MapPicture::paintBand(QImage &band, int top)
{
    GridPaintParams at = placement(top);
    // Only the picture's own cells: those beyond it lie outside its pixels
    // anyway, except below the last row of a band of a sub-rectangle.
    at.colCount = m_cells.right() + 1;
    at.rowCount = m_cells.bottom() + 1;
    d->painter.paint(band, m_doc.PlotTexts, at);
    if (m_options.layersOver.isEmpty() && !d->pieces)
        return;
    at.colCount = m_doc.columnCount();
    at.rowCount = m_doc.rowCount();
    QPainter p(&band);
    p.setClipRect(band.rect());
    for (const MapLayer *layer : m_options.layersOver) {
        p.save();
        layer->paint(p, at, at.cellsUnder(band.rect(), layer->reach(at)));
        p.restore();
    }
    if (d->pieces)
        d->pieces->paint(p, at, at.cellsUnder(band.rect(), at.style.pieceReach(at.cellSize)), m_options.pieceLayers);
}

QImage MapPicture::image()
{
    if (!refusal(true).isEmpty())
        return QImage();
    QImage picture(int(width()), int(height()), QImage::Format_RGB32);
    if (!picture.isNull())
        paintBand(picture, 0);
    return picture;
}

MapPicture::Written MapPicture::write(const QString &path,
                                      const std::function<bool(qint64 rows, qint64 total)> &progress,
                                      qint64 bandBytes)
{
    Written result;
    result.error = refusal(false);
    if (!result.error.isEmpty())
        return result;
    // The writer names the file, the system's reason, or why it is no place for a picture.
    const auto failure = [](const PngBandWriter &writer) { return writer.failure(); };
    const qint64 w = width(), h = height();
    PngBandWriter writer;
    if (!writer.open(path, int(w), int(h))) {
        result.error = failure(writer);
        return result;
    }
    // Whole rows of cells a band, as many as the memory for one allows.
    const qint64 pitch = m_options.cellSize + (m_options.gridLines ? 1 : 0);
    const qint64 rowsOfCells = qBound(qint64(1), bandBytes / (w * 4 * pitch), qint64(m_cells.height()));
    QImage band;
    for (qint64 top = 0; top < h; top += rowsOfCells * pitch) {
        const int n = int(qMin(rowsOfCells * pitch, h - top));
        if (band.height() != n)
            band = QImage(int(w), n, QImage::Format_RGB32);
        if (band.isNull()) {
            result.error = QStringLiteral("Not enough memory to render %1 x %2 pixels").arg(w).arg(h);
            return result;
        }
        paintBand(band, int(top));
        if (!writer.writeBand(band)) {
            result.error = failure(writer);
            return result;
        }
        if (progress && !progress(top + n, h)) {
            result.cancelled = true;
            return result;
        }
    }
    if (!writer.finish()) {
        result.error = failure(writer);
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace vor4
