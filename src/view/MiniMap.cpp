#include "MiniMap.h"

#include "PlotClass.h"
#include "PlotTable.h"

#include <QImage>
#include <algorithm>
#include <limits>

namespace vor4 {

namespace {

int clampToInt(qint64 v)
{
    return int(std::clamp<qint64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// x / y rounded towards minus infinity; y > 0.
qint64 floorDiv(qint64 x, qint64 y)
{
    return x >= 0 ? x / y : -((-x + y - 1) / y);
}

void setPixel(QImage &image, int x, int y, QRgb colour)
{
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height())
        return;
    const QImage::Format f = image.format();
    if (f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 || f == QImage::Format_ARGB32_Premultiplied)
        reinterpret_cast<QRgb *>(image.scanLine(y))[x] = colour;
    else
        image.setPixelColor(x, y, QColor::fromRgb(colour));
}

} // namespace

void renderMiniMap(const PlotTable &texts, QImage &miniMap)
{
    if (miniMap.isNull())
        return;
    for (int row = 0; row < texts.rowCount(); ++row) {
        const qint64 y0 = 3 * qint64(row);
        if (y0 >= miniMap.height())
            break;
        for (int col = 0; col < texts.columnCount(); ++col) {
            const qint64 x0 = 3 * qint64(col);
            if (x0 >= miniMap.width())
                break;
            const int terrain = firstTerrainIndex(texts.view(col, row));
            if (terrain < 0)
                continue;
            const QRgb colour = terrainFill(terrain);
            for (int y = int(y0); y < y0 + 3; ++y)
                for (int x = int(x0); x < x0 + 3; ++x)
                    setPixel(miniMap, x, y, colour);
        }
    }
}

void renderMiniMapCells(const PlotTable &texts, QImage &miniMap, const QRect &cells)
{
    const QRect area = cells.intersected(QRect(0, 0, texts.columnCount(), texts.rowCount()));
    const QImage::Format f = miniMap.format();
    const bool direct = f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 || f == QImage::Format_ARGB32_Premultiplied;
    for (int row = area.top(); row <= area.bottom(); ++row) {
        if (!direct) {
            for (int col = area.left(); col <= area.right(); ++col) {
                const int terrain = firstTerrainIndex(texts.view(col, row));
                const QRgb colour = terrain < 0 ? qRgb(255, 255, 255) : terrainFill(terrain);
                for (int y = 3 * row; y < 3 * row + 3; ++y)
                    for (int x = 3 * col; x < 3 * col + 3; ++x)
                        setPixel(miniMap, x, y, colour);
            }
            continue;
        }
        // A fill or its undo renders most of a big map: the three lines of
        // the row are taken once, not once a pixel.
        QRgb *lines[3];
        int count = 0;
        for (qint64 y = 3 * qint64(row); y < 3 * qint64(row) + 3 && y < miniMap.height(); ++y)
            lines[count++] = reinterpret_cast<QRgb *>(miniMap.scanLine(int(y)));
        if (count == 0)
            break;
        const int width = miniMap.width();
        for (int col = area.left(); col <= area.right() && 3 * qint64(col) < width; ++col) {
            const int terrain = firstTerrainIndex(texts.view(col, row));
            const QRgb colour = terrain < 0 ? qRgb(255, 255, 255) : terrainFill(terrain);
            const int x0 = 3 * col, x1 = std::min(x0 + 3, width);
            for (int i = 0; i < count; ++i)
                std::fill(lines[i] + x0, lines[i] + x1, colour);
        }
    }
}

QPoint FrameRect::centre() const
{
    return QPoint(left + (right - left + 1) / 2, top + (bottom - top + 1) / 2);
}

FrameRect viewFrame(int col, int row, int visibleCols, int visibleRows, QSize image)
{
    FrameRect f;
    f.left = clampToInt(std::max<qint64>(3 * qint64(col), 0));
    f.top = clampToInt(std::max<qint64>(3 * qint64(row), 0));
    f.right = clampToInt(std::min<qint64>(3 * (qint64(col) + visibleCols + 1), image.width()));
    f.bottom = clampToInt(std::min<qint64>(3 * (qint64(row) + visibleRows + 1), image.height()));
    return f;
}

DragStep dragStep(const FrameRect &viewRect, QPoint anchor, QPoint mouse, QSize image, int colCount, int rowCount)
{
    const int dx = mouse.x() - anchor.x();
    const int dy = mouse.y() - anchor.y();
    const int w = viewRect.width();
    const int h = viewRect.height();
    const int maxX = image.width() - 1;
    const int maxY = image.height() - 1;

    DragStep s;
    FrameRect &r = s.frame;
    r = viewRect.translated(dx, dy);
    if (r.left < 0) {
        r.left = 0;
        r.right = w;
    }
    if (r.top < 0) {
        r.top = 0;
        r.bottom = h;
    }
    if (r.right > maxX) {
        r.right = maxX;
        r.left = maxX - w;
    }
    if (r.bottom > maxY) {
        r.bottom = maxY;
        r.top = maxY - h;
    }
    // An image one pixel wide or high (or none) gives no range to divide by.
    s.col = maxX > 0 ? clampToInt(floorDiv(qint64(colCount) * (qint64(r.left) + 1), maxX)) : 0;
    s.row = maxY > 0 ? clampToInt(floorDiv(qint64(rowCount) * (qint64(r.top) + 1), maxY)) : 0;
    return s;
}

void drawFrame(QImage &image, const FrameRect &frame)
{
    if (image.isNull() || frame.width() <= 0 || frame.height() <= 0)
        return;
    const QRgb white = qRgb(255, 255, 255);
    const int x0 = std::max(frame.left, 0), x1 = std::min(frame.right - 1, image.width() - 1);
    const int y0 = std::max(frame.top, 0), y1 = std::min(frame.bottom - 1, image.height() - 1);
    for (int x = x0; x <= x1; ++x) {
        setPixel(image, x, frame.top, white);
        setPixel(image, x, frame.bottom - 1, white);
    }
    for (int y = y0; y <= y1; ++y) {
        setPixel(image, frame.left, y, white);
        setPixel(image, frame.right - 1, y, white);
    }
}

} // namespace vor4
