#include "Thumbnail.h"

#include "PlotClass.h"
#include "PlotTable.h"

#include <cstring>
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

QImage renderThumbnail(const PlotTable &texts, int longSide)
{
    const int cols = texts.columnCount();
    const int rows = texts.rowCount();
    const QSize size = thumbnailSize(cols, rows, longSide);
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull() || cols < 1 || rows < 1)
        return image;

    std::vector<int> colOf(std::size_t(size.width()));
    for (int x = 0; x < size.width(); ++x)
        colOf[std::size_t(x)] = plotUnder(x, size.width(), cols);

    int previousRow = -1;
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const int row = plotUnder(y, size.height(), rows);
        if (row == previousRow) {
            // An enlarged map: this line shows the same plots as the last.
            std::memcpy(line, image.constScanLine(y - 1), std::size_t(size.width()) * sizeof(QRgb));
            continue;
        }
        previousRow = row;
        int lastCol = -1;
        QRgb colour = RgbWhite;
        for (int x = 0; x < size.width(); ++x) {
            const int col = colOf[std::size_t(x)];
            if (col != lastCol) {
                const int terrain = firstTerrainIndex(texts.view(col, row));
                colour = terrain < 0 ? RgbWhite : terrainFill(terrain);
                lastCol = col;
            }
            line[x] = colour;
        }
    }
    return image;
}

} // namespace vor4
