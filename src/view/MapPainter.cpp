#include "MapPainter.h"

#include "PlotTable.h"

#include <QPainter>
#include <algorithm>
#include <cstring>
#include <memory>
#include <thread>

namespace vor4 {

namespace {

// Tiles are dropped when they hold more than this.
constexpr qint64 MaxCacheBytes = qint64(64) << 20;
constexpr std::size_t MaxContexts = 16;

// The look of a cell under the layer switches, packed:
// bits 0-3 fill (terrain index + 1, 0 for none shown), 4 black marks,
// 5 bonus, 6-8 feature, 9 improvement, 10 mountain, 11 hill, 12 team mark,
// 13-15 and 16-18 the hatch phase in x and y (only when a hatch shows).
enum : quint32 {
    LookFillMask = 0xfu,
    LookBlackMarks = 1u << 4,
    LookBonus = 1u << 5,
    LookFeatureShift = 6,
    LookImprovement = 1u << 9,
    LookMountain = 1u << 10,
    LookHill = 1u << 11,
    LookTeam = 1u << 12,
    LookPhaseShift = 13,
    // No look has every bit set: a cell beyond the plot table.
    NotInTable = ~0u,
};

bool isHatch(Feature f)
{
    return f == Feature::Forest || f == Feature::Jungle || f == Feature::Ice || f == Feature::FloodPlains;
}

quint32 lookOf(const PlotClass &c, const GridPaintParams &params, int x, int y)
{
    const LayerSwitches &layers = params.layers;
    const bool classic = params.style.look == MapStyle::Look::Classic;
    quint32 look = 0;
    if (c.hasFill() && layers.terrain)
        look |= quint32(c.terrain + 1);
    if (c.bonus && layers.bonus)
        look |= LookBonus;
    const Feature f = shownFeature(c.feature, layers);
    look |= quint32(f) << LookFeatureShift;
    if (c.improvement && layers.improvement)
        look |= LookImprovement;
    const bool mountain = c.mountain && layers.mountain;
    const bool hill = c.hill && layers.hill;
    if (mountain)
        look |= LookMountain;
    if (hill)
        look |= LookHill;
    if (!c.teamLabel.isEmpty() && layers.team)
        look |= LookTeam;
    // The mark colour only matters where a mark in it is drawn; only
    // Classic's hatches are anchored to the picture rather than the cell.
    if (classic && c.blackMarks && (f != Feature::None || mountain || hill))
        look |= LookBlackMarks;
    if (classic && isHatch(f)) {
        const quint32 px = quint32(x - params.brushOrigin.x()) & 7u;
        const quint32 py = quint32(y - params.brushOrigin.y()) & 7u;
        look |= (px | (py << 3)) << LookPhaseShift;
    }
    return look;
}

PlotClass plotOfLook(quint32 look, QByteArrayView label)
{
    PlotClass c;
    c.terrain = qint8(int(look & LookFillMask) - 1);
    c.blackMarks = look & LookBlackMarks;
    c.bonus = look & LookBonus;
    c.feature = Feature((look >> LookFeatureShift) & 7u);
    c.improvement = look & LookImprovement;
    c.mountain = look & LookMountain;
    c.hill = look & LookHill;
    if (look & LookTeam)
        c.teamLabel = label.isEmpty() ? QByteArrayView("*") : label;
    return c;
}

// A plot's classification, whatever the layers, in 16 bits: the look's
// lower 12 bits, a team mark in bit 12 (its label is read again where it is
// written out) and bit 15 once known.
constexpr quint16 KeyTeam = 1u << 12, KeyKnown = 1u << 15;

quint16 keyOf(const PlotClass &c)
{
    quint32 key = quint32(c.terrain + 1);
    if (c.blackMarks)
        key |= LookBlackMarks;
    if (c.bonus)
        key |= LookBonus;
    key |= quint32(c.feature) << LookFeatureShift;
    if (c.improvement)
        key |= LookImprovement;
    if (c.mountain)
        key |= LookMountain;
    if (c.hill)
        key |= LookHill;
    if (!c.teamLabel.isEmpty())
        key |= KeyTeam;
    return quint16(key | KeyKnown);
}

PlotClass plotOfKey(quint16 key) { return plotOfLook(key & ~KeyKnown, QByteArrayView()); }

bool isDirectFormat(QImage::Format f)
{
    return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 || f == QImage::Format_ARGB32_Premultiplied;
}

// x / y rounded towards minus infinity.
int floorDiv(int x, int y)
{
    return x >= 0 ? x / y : -((-x + y - 1) / y);
}

// Raw access to a 32-bit image: scanLine() checks for sharing on every call.
struct Pixels
{
    uchar *bits = nullptr;
    qsizetype bpl = 0;
    int width = 0;
    int height = 0;

    explicit Pixels(QImage &image)
        : bits(image.bits()), bpl(image.bytesPerLine()), width(image.width()), height(image.height())
    {
    }
    QRgb *line(int y) const { return reinterpret_cast<QRgb *>(bits + y * bpl); }
};

void fillRect(const Pixels &target, int x, int y, int w, int h, QRgb colour)
{
    const int x0 = std::max(x, 0), x1 = std::min(x + w, target.width);
    const int y0 = std::max(y, 0), y1 = std::min(y + h, target.height);
    if (x0 >= x1 || y0 >= y1)
        return;
    for (int yy = y0; yy < y1; ++yy) {
        QRgb *line = target.line(yy);
        std::fill(line + x0, line + x1, colour);
    }
}

void blit(const Pixels &target, int x, int y, const QImage &tile)
{
    const int w = tile.width(), h = tile.height();
    const int x0 = std::max(x, 0), x1 = std::min(x + w, target.width);
    const int y0 = std::max(y, 0), y1 = std::min(y + h, target.height);
    if (x0 >= x1 || y0 >= y1)
        return;
    const std::size_t bytes = std::size_t(x1 - x0) * sizeof(QRgb);
    const uchar *src = tile.constBits() + (x0 - x) * sizeof(QRgb);
    const qsizetype srcBpl = tile.bytesPerLine();
    for (int yy = y0; yy < y1; ++yy)
        std::memcpy(target.line(yy) + x0, src + (yy - y) * srcBpl, bytes);
}

// The cells that reach into the target: [first, last] per axis, empty when last < first.
struct CellRange
{
    int firstCol, lastCol, firstRow, lastRow;
    bool isEmpty() const { return lastCol < firstCol || lastRow < firstRow; }
};

CellRange visibleCells(const QSize &size, const GridPaintParams &params)
{
    const int pitch = params.pitch();
    CellRange r;
    r.firstCol = std::max(0, params.leftCol + floorDiv(-params.origin.x(), pitch));
    r.firstRow = std::max(0, params.topRow + floorDiv(-params.origin.y(), pitch));
    r.lastCol = std::min(params.colCount - 1, params.leftCol + floorDiv(size.width() - 1 - params.origin.x(), pitch));
    r.lastRow = std::min(params.rowCount - 1, params.topRow + floorDiv(size.height() - 1 - params.origin.y(), pitch));
    return r;
}

// Cells plus the lines after them.
QRect cellArea(const CellRange &cells, const GridPaintParams &params)
{
    return QRect(params.cellPos(cells.firstCol, cells.firstRow), params.cellPos(cells.lastCol + 1, cells.lastRow + 1))
        .adjusted(0, 0, -1, -1);
}

bool isHighlighted(const GridPaintParams &params, int col, int row)
{
    return col == params.highlightCol && row == params.highlightRow;
}

} // namespace

QPen gridCellPen(int lineWidth, QRgb lineColour)
{
    return lineWidth > 0 ? QPen(QColor::fromRgb(lineColour), 1) : QPen();
}

QRect GridPaintParams::cellsUnder(const QRect &pixels, int margin) const
{
    if (pixels.isEmpty() || cellSize <= 0)
        return QRect();
    const int p = pitch();
    const QRect cells(QPoint(leftCol + floorDiv(pixels.left() - origin.x(), p) - margin,
                             topRow + floorDiv(pixels.top() - origin.y(), p) - margin),
                      QPoint(leftCol + floorDiv(pixels.right() - origin.x(), p) + margin,
                             topRow + floorDiv(pixels.bottom() - origin.y(), p) + margin));
    return cells & QRect(0, 0, colCount, rowCount);
}

void paintGridDirect(QImage &target, const PlotTable &texts, const GridPaintParams &params)
{
    QPainter p(&target);
    p.fillRect(target.rect(), QColor::fromRgb(params.background));
    if (params.cellSize <= 0)
        return;
    const CellRange cells = visibleCells(target.size(), params);
    if (cells.isEmpty())
        return;
    if (params.lineWidth > 0)
        p.fillRect(cellArea(cells, params), QColor::fromRgb(params.style.gridLine));
    p.setBrushOrigin(params.brushOrigin);
    const int W = params.cellSize;
    for (int row = cells.firstRow; row <= cells.lastRow; ++row) {
        for (int col = cells.firstCol; col <= cells.lastCol; ++col) {
            const QRect rect(params.cellPos(col, row), QSize(W, W));
            const QColor bg = QColor::fromRgb(isHighlighted(params, col, row) ? params.highlight : params.background);
            p.setPen(params.cellPen);
            p.setBrush(bg);
            p.fillRect(rect, bg);
            drawCell(p, texts, col, row, rect, params.layers, params.style);
        }
    }
}

void PlotLooks::reset(int cols, int rows)
{
    m_cols = cols;
    m_rows = rows;
    m_keys.assign(std::size_t(qMax(0, cols)) * std::size_t(qMax(0, rows)), 0);
}

void PlotLooks::forget(const QRegion &cells)
{
    for (const QRect &r : cells & QRect(0, 0, m_cols, m_rows))
        for (int row = r.top(); row <= r.bottom(); ++row)
            std::fill_n(m_keys.begin() + std::ptrdiff_t(row) * m_cols + r.left(), r.width(), quint16(0));
}

bool PlotLooks::fits(const PlotTable &texts) const
{
    return m_cols == texts.columnCount() && m_rows == texts.rowCount();
}

void MapPainter::Context::forget()
{
    index.clear();
    labelled.clear();
    tiles.clear();
    recentLook.fill(~0u); // no look has every bit set
    recentTile.fill(0);
}

void MapPainter::clearCache()
{
    m_contexts.clear();
    m_bytes = 0;
}

qsizetype MapPainter::tileCount() const
{
    qsizetype n = 0;
    for (const auto &c : m_contexts)
        n += qsizetype(c->tiles.size());
    return n;
}

MapPainter::Context &MapPainter::context(int cellSize, QRgb background, const QPen &pen, const MapStyle &style)
{
    for (const auto &c : m_contexts)
        if (c->cellSize == cellSize && c->background == background && c->pen == pen && c->style == style)
            return *c;
    auto c = std::make_unique<Context>();
    c->forget();
    c->cellSize = cellSize;
    c->background = background;
    c->pen = pen;
    c->style = style;
    m_contexts.push_back(std::move(c));
    return *m_contexts.back();
}

const QImage &MapPainter::tile(Context &ctx, quint32 look, QByteArrayView label)
{
    QByteArray labelKey;
    if (!label.isEmpty()) {
        labelKey = QByteArray(reinterpret_cast<const char *>(&look), sizeof look);
        labelKey.append(label.data(), label.size());
        const auto it = ctx.labelled.constFind(labelKey);
        if (it != ctx.labelled.constEnd())
            return ctx.tiles[std::size_t(it.value())];
    } else {
        const std::size_t slot = (look * 2654435761u) >> 22;
        if (ctx.recentLook[slot] == look)
            return ctx.tiles[std::size_t(ctx.recentTile[slot])];
        const auto it = ctx.index.find(look);
        if (it != ctx.index.end()) {
            ctx.recentLook[slot] = look;
            ctx.recentTile[slot] = it->second;
            return ctx.tiles[std::size_t(it->second)];
        }
    }

    const int W = ctx.cellSize;
    if (m_bytes > MaxCacheBytes) {
        // Keep the context objects (the caller holds them), drop their tiles.
        for (const auto &c : m_contexts)
            c->forget();
        m_bytes = 0;
    }
    QImage img(W, W, QImage::Format_RGB32);
    img.fill(ctx.background);
    {
        QPainter p(&img);
        p.setPen(ctx.pen);
        p.setBrush(QColor::fromRgb(ctx.background));
        const int phase = int(look >> LookPhaseShift);
        p.setBrushOrigin(-(phase & 7), -(phase >> 3));
        paintPlot(p, plotOfLook(look, label), img.rect(), LayerSwitches(), ctx.style);
    }
    m_bytes += img.sizeInBytes();
    const int at = int(ctx.tiles.size());
    ctx.tiles.push_back(std::move(img));
    if (!label.isEmpty())
        ctx.labelled.insert(labelKey, at);
    else
        ctx.index.emplace(look, at);
    return ctx.tiles.back();
}

void MapPainter::paint(QImage &target, const PlotTable &texts, const GridPaintParams &params, PlotLooks *looks)
{
    if (target.isNull())
        return;
    if (!isDirectFormat(target.format())) {
        QImage direct(target.size(), QImage::Format_RGB32);
        paint(direct, texts, params, looks);
        QPainter p(&target);
        p.drawImage(0, 0, direct);
        return;
    }
    const int W = params.cellSize;
    const CellRange cells = W > 0 ? visibleCells(target.size(), params) : CellRange{0, -1, 0, -1};
    if (cells.isEmpty()) {
        target.fill(params.background);
        return;
    }
    const Pixels pixels(target);
    const QRgb lineColour = params.style.gridLine;
    // Every pixel is written once: background around the cell area, the
    // lines inside it, then each cell.
    const QRect area = cellArea(cells, params);
    const QRect inside = area.intersected(target.rect());
    fillRect(pixels, 0, 0, pixels.width, inside.top(), params.background);
    fillRect(pixels, 0, inside.bottom() + 1, pixels.width, pixels.height, params.background);
    fillRect(pixels, 0, inside.top(), inside.left(), inside.height(), params.background);
    fillRect(pixels, inside.right() + 1, inside.top(), pixels.width, inside.height(), params.background);
    if (params.lineWidth > 0) {
        const int pitch = params.pitch();
        const int firstLineX = area.left() + W;
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            QRgb *line = pixels.line(y);
            if ((y - area.top()) % pitch == W) {
                std::fill(line + inside.left(), line + inside.right() + 1, lineColour);
                continue;
            }
            int x = firstLineX;
            if (x < inside.left())
                x += (inside.left() - x + pitch - 1) / pitch * pitch;
            for (; x <= inside.right(); x += pitch)
                line[x] = lineColour;
        }
    }

    const bool labels = writesTeamLabel(params.style, W);
    if (m_contexts.size() > MaxContexts)
        clearCache();
    Context *normal = &context(W, params.background, params.cellPen, params.style);
    Context *highlighted = &context(W, params.highlight, params.cellPen, params.style);
    const auto &fills = params.style.fill;

    // The looks first, then the pixels: reading the plot texts is most of
    // the work, and a big view shares it out between two threads.
    const int across = cells.lastCol - cells.firstCol + 1;
    const int down = cells.lastRow - cells.firstRow + 1;
    const std::size_t count = std::size_t(across) * std::size_t(down);
    m_looks.resize(count);
    m_labels.resize(count);
    if (looks && !looks->fits(texts))
        looks->reset(texts.columnCount(), texts.rowCount());
    const auto classify = [&](int fromCol, int toCol) {
        // Column by column: a loaded map keeps each column's texts
        // together, so this walks memory in order.
        for (int col = fromCol; col < toCol; ++col) {
            const std::size_t at = std::size_t(col - cells.firstCol) * std::size_t(down);
            for (int row = cells.firstRow; row <= cells.lastRow; ++row) {
                const std::size_t i = at + std::size_t(row - cells.firstRow);
                if (!texts.contains(col, row)) {
                    m_looks[i] = NotInTable;
                    continue;
                }
                const QPoint pos = params.cellPos(col, row);
                quint16 *key = looks ? &looks->m_keys[std::size_t(row) * std::size_t(looks->m_cols) + std::size_t(col)]
                                     : nullptr;
                PlotClass plot;
                if (key && (*key & KeyKnown) && !(labels && (*key & KeyTeam))) {
                    plot = plotOfKey(*key);
                } else {
                    plot = classifyPlot(texts.view(col, row));
                    if (key)
                        *key = keyOf(plot);
                }
                m_looks[i] = lookOf(plot, params, pos.x(), pos.y());
                m_labels[i] = (m_looks[i] & LookTeam) && labels ? plot.teamLabel : QByteArrayView();
            }
        }
    };
    constexpr std::size_t SharedFrom = 16384;
    if (count >= SharedFrom) {
        const int half = cells.firstCol + across / 2;
        std::thread helper(classify, half, cells.lastCol + 1);
        classify(cells.firstCol, half);
        helper.join();
    } else {
        classify(cells.firstCol, cells.lastCol + 1);
    }

    for (int col = cells.firstCol; col <= cells.lastCol; ++col) {
        quint32 lastLook = ~0u;
        const QImage *lastTile = nullptr;
        const std::size_t at = std::size_t(col - cells.firstCol) * std::size_t(down);
        for (int row = cells.firstRow; row <= cells.lastRow; ++row) {
            const std::size_t i = at + std::size_t(row - cells.firstRow);
            const QPoint pos = params.cellPos(col, row);
            const bool hl = isHighlighted(params, col, row);
            const QRgb bg = hl ? params.highlight : params.background;
            const quint32 look = m_looks[i];
            if (look == NotInTable) {
                fillRect(pixels, pos.x(), pos.y(), W, W, bg);
                continue;
            }
            if ((look & ~LookFillMask) == 0) {
                // Nothing but the fill, or nothing at all: one colour.
                fillRect(pixels, pos.x(), pos.y(), W, W, look ? fills[std::size_t(look - 1)] : bg);
                continue;
            }
            const QByteArrayView label = m_labels[i];
            if (!hl && label.isEmpty() && look == lastLook) {
                blit(pixels, pos.x(), pos.y(), *lastTile);
                continue;
            }
            const QImage &t = tile(hl ? *highlighted : *normal, look, label);
            blit(pixels, pos.x(), pos.y(), t);
            if (!hl && label.isEmpty()) {
                lastLook = look;
                lastTile = &t;
            } else {
                lastLook = ~0u;
            }
        }
    }
}

void MapPainter::paintArea(QImage &target, const QRect &area, const PlotTable &texts,
                           const GridPaintParams &params, PlotLooks *looks)
{
    const QRect r = area.intersected(target.rect());
    if (r.isEmpty())
        return;
    if (!isDirectFormat(target.format())) {
        QImage part = target.copy(r);
        paintArea(part, part.rect(), texts, params, looks);
        QPainter p(&target);
        p.drawImage(r.topLeft(), part);
        return;
    }
    // A view into the target's own pixels, with the grid moved to match.
    QImage view(target.bits() + r.y() * target.bytesPerLine() + r.x() * 4, r.width(), r.height(),
                target.bytesPerLine(), target.format());
    GridPaintParams moved = params;
    moved.origin -= r.topLeft();
    moved.brushOrigin -= r.topLeft();
    paint(view, texts, moved, looks);
}

} // namespace vor4
