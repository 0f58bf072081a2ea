#include "MiniMap.h"

#include "Document.h"
#include "MapStyle.h"
#include "PlotClass.h"
#include "PlotTable.h"

#include <QImage>
#include <algorithm>
#include <limits>
#include <vector>

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

QSize miniMapSize(const Document &doc)
{
    return doc.hasSize ? QSize(3 * doc.columnCount(), 3 * doc.rowCount()) : QSize();
}

namespace {

// The ground of every cell of the area, row by row: -1 for none, else the
// terrain index plus 16 for a peak. A big area is read in the order its
// texts lie in memory: reading a map that lists its plots column by column
// row after row would miss the cache at every plot, which costs more than
// the rest of the picture.
std::vector<qint8> groundsOf(const PlotTable &texts, const QRect &area)
{
    std::vector<qint8> grounds(std::size_t(area.width()) * std::size_t(area.height()));
    const auto at = [&](int col, int row) -> qint8 & {
        return grounds[std::size_t(row - area.top()) * std::size_t(area.width()) + std::size_t(col - area.left())];
    };
    const auto groundOf = [&texts](int col, int row) {
        const PlotClass c = classifyGround(texts.view(col, row));
        return qint8(c.hasFill() ? c.terrain + (c.mountain ? 16 : 0) : -1);
    };
    if (texts.storedByColumn(area)) {
        for (int col = area.left(); col <= area.right(); ++col)
            for (int row = area.top(); row <= area.bottom(); ++row)
                at(col, row) = groundOf(col, row);
    } else {
        for (int row = area.top(); row <= area.bottom(); ++row)
            for (int col = area.left(); col <= area.right(); ++col)
                at(col, row) = groundOf(col, row);
    }
    return grounds;
}

bool isDirect(const QImage &image)
{
    const QImage::Format f = image.format();
    return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 || f == QImage::Format_ARGB32_Premultiplied;
}

// Three pixels a plot each way; a plot without terrain is painted `none`,
// or left as it is when `none` is null.
void paintCells(const PlotTable &texts, QImage &miniMap, const QRect &cells, const MapStyle &style, bool paintNone)
{
    // Only the cells whose three pixels start inside the picture.
    const QRect area = cells & QRect(0, 0, texts.columnCount(), texts.rowCount())
        & QRect(0, 0, int((qint64(miniMap.width()) + 2) / 3), int((qint64(miniMap.height()) + 2) / 3));
    if (area.isEmpty())
        return;
    const std::vector<qint8> terrains = groundsOf(texts, area);
    // The colour of each ground code.
    QRgb colours[32];
    for (int code = 0; code < 32; ++code) {
        PlotClass c;
        c.terrain = qint8(qMin(code % 16, int(TerrainOther)));
        c.mountain = code >= 16;
        colours[code] = style.plotColour(c);
    }
    const bool direct = isDirect(miniMap);
    const int width = miniMap.width(), height = miniMap.height();
    const qint8 *terrain = terrains.data();
    for (int row = area.top(); row <= area.bottom(); ++row) {
        const int y0 = 3 * row, y1 = std::min(y0 + 3, height);
        QRgb *lines[3] = {};
        if (direct)
            for (int y = y0; y < y1; ++y)
                lines[y - y0] = reinterpret_cast<QRgb *>(miniMap.scanLine(y));
        for (int col = area.left(); col <= area.right(); ++col, ++terrain) {
            if (*terrain < 0 && !paintNone)
                continue;
            const QRgb colour = *terrain < 0 ? style.noTerrain : colours[*terrain];
            const int x0 = 3 * col, x1 = std::min(x0 + 3, width);
            for (int y = y0; y < y1; ++y) {
                if (direct)
                    std::fill(lines[y - y0] + x0, lines[y - y0] + x1, colour);
                else
                    for (int x = x0; x < x1; ++x)
                        setPixel(miniMap, x, y, colour);
            }
        }
    }
}

} // namespace

void renderMiniMap(const PlotTable &texts, QImage &miniMap, const MapStyle &style)
{
    if (!miniMap.isNull())
        paintCells(texts, miniMap, QRect(0, 0, texts.columnCount(), texts.rowCount()), style, false);
}

void renderMiniMapCells(const PlotTable &texts, QImage &miniMap, const QRect &cells, const MapStyle &style)
{
    if (!miniMap.isNull())
        paintCells(texts, miniMap, cells, style, true);
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
