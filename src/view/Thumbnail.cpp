#include "Thumbnail.h"

#include "Document.h"
#include "MapStyle.h"
#include "PiecePainter.h"
#include "PlotClass.h"
#include "PlotTable.h"

#include <QPainter>

#include <vector>

namespace vor4 {

namespace {

// The plot under the centre of pixel i of n pixels across count plots.
int plotUnder(int i, int n, int count)
{
    return int((2 * qint64(i) + 1) * count / (2 * qint64(n)));
}

int scaledSide(int side, int longer, int longSide)
{
    return int(qMax<qint64>(1, (qint64(side) * longSide + longer / 2) / longer));
}

// For each of n pixels the index of its plot among the distinct plots under
// the pixels; those plots are appended to plots.
std::vector<int> samplePlots(int n, int count, std::vector<int> &plots)
{
    std::vector<int> indexOf(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const int plot = plotUnder(i, n, count);
        if (plots.empty() || plots.back() != plot)
            plots.push_back(plot);
        indexOf[std::size_t(i)] = int(plots.size()) - 1;
    }
    return indexOf;
}

} // namespace

QSize thumbnailSize(int columns, int rows, int longSide)
{
    columns = qMax(columns, 1);
    rows = qMax(rows, 1);
    longSide = qMax(longSide, 1);
    if (columns >= rows)
        return QSize(longSide, scaledSide(rows, columns, longSide));
    return QSize(scaledSide(columns, rows, longSide), longSide);
}

QImage renderThumbnail(const PlotTable &texts, int longSide, const MapStyle &style)
{
    const int cols = texts.columnCount();
    const int rows = texts.rowCount();
    const QSize size = thumbnailSize(cols, rows, longSide);
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull() || cols < 1 || rows < 1)
        return image;

    std::vector<int> sampleCols, sampleRows;
    const std::vector<int> colIndex = samplePlots(size.width(), cols, sampleCols);
    const std::vector<int> rowIndex = samplePlots(size.height(), rows, sampleRows);
    // Each plot is looked at once, column by column: maps are written column
    // by column, so that is the order in which their texts lie in memory.
    const std::size_t across = sampleCols.size();
    std::vector<QRgb> colours(across * sampleRows.size());
    for (std::size_t i = 0; i < across; ++i)
        for (std::size_t j = 0; j < sampleRows.size(); ++j) {
            colours[j * across + i] = style.plotColour(classifyGround(texts.view(sampleCols[i], sampleRows[j])));
        }
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const QRgb *plotColours = colours.data() + std::size_t(rowIndex[std::size_t(y)]) * across;
        for (int x = 0; x < size.width(); ++x)
            line[x] = plotColours[colIndex[std::size_t(x)]];
    }
    return image;
}

QImage mapPreview(const Document &doc, QSize fit, const MapStyle &style)
{
    // Sampled at the picture's size: the largest map's whole minimap would
    // be drawn only to be thrown away.
    const QSize fitted = QSize(qMax(1, doc.columnCount()), qMax(1, doc.rowCount())).scaled(fit, Qt::KeepAspectRatio);
    QImage picture = renderThumbnail(doc.PlotTexts, qMax(fitted.width(), fitted.height()), style);
    if (picture.isNull() || doc.columnCount() < 1)
        return picture;
    QPainter p(&picture);
    const double scale = double(picture.width()) / doc.columnCount();
    for (int slot = 0; slot < doc.PlayerTexts.size(); ++slot) {
        const std::optional<QPoint> at = PlotFacts::startOf(doc.PlayerTexts[slot]).plot();
        if (!at)
            continue;
        const QPoint centre(int((at->x() + 0.5) * scale), int((doc.fileY(at->y()) + 0.5) * scale));
        const QByteArrayView colour = PlotFacts::firstValue(doc.PlayerTexts[slot], "Color").value_or("");
        drawStart(p, QRect(centre - QPoint(4, 4), QSize(9, 9)), slot, style.playerColour(slot, colour), style);
    }
    return picture;
}

} // namespace vor4
