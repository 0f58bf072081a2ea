#include "PlotRegion.h"

#include "Document.h"
#include "PlotBlocks.h"

#include <climits>
#include <vector>

namespace vor4 {

PlotRegion PlotRegion::copy(const PlotTable &plots, const QRect &cells, const QBitArray &held)
{
    PlotRegion region = copy(plots, cells);
    if (held.isEmpty() || region.isEmpty() || held.size() != qsizetype(region.size().width()) * region.size().height())
        return region;
    // Only those plots are held; the rest of the rectangle is left out of
    // the text and of a paste.
    region.m_held = held;
    region.m_count = held.count(true);
    return region;
}

PlotRegion PlotRegion::copy(const PlotTable &plots, const QRect &cells)
{
    PlotRegion region;
    const QRect r = cells.normalized() & QRect(0, 0, plots.columnCount(), plots.rowCount());
    if (r.isEmpty())
        return region;
    qsizetype bytes = 0;
    for (int row = r.top(); row <= r.bottom(); ++row)
        for (int col = r.left(); col <= r.right(); ++col)
            bytes += plots.view(col, row).size();
    region.m_texts.resize(r.width(), r.height());
    region.m_texts.reservePool(bytes);
    for (int row = r.top(); row <= r.bottom(); ++row)
        for (int col = r.left(); col <= r.right(); ++col)
            region.m_texts.setText(col - r.left(), row - r.top(), plots.view(col, row));
    region.m_count = qsizetype(r.width()) * r.height();
    return region;
}

QByteArray PlotRegion::toText() const
{
    const qint64 cols = m_texts.columnCount();
    const qint64 rows = m_texts.rowCount();
    ByteWriter out(m_texts.poolSize() * 5 / 4 + cols * rows * 40 + 256);
    // The file's order: x from the left, within it y from the bottom.
    for (qint64 col = 0; col < cols; ++col)
        for (qint64 row = rows - 1; row >= 0; --row)
            if (holds(int(col), int(row)))
                writePlotBlock(out, col, rows - 1 - row, m_texts.view(int(col), int(row)));
    return out.take();
}

std::optional<PlotRegion> PlotRegion::fromText(QByteArrayView text, QString *error)
{
    struct Block
    {
        int x, y;
        qsizetype offset, length;
    };
    std::vector<Block> blocks;
    QByteArray pool;
    pool.reserve(text.size());
    int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
    const bool read = readPlotBlocks(
        text,
        [&](int x, int y, QByteArrayView t) {
            blocks.push_back({x, y, pool.size(), t.size()});
            pool.append(t.data(), t.size());
            minX = qMin(minX, x);
            minY = qMin(minY, y);
            maxX = qMax(maxX, x);
            maxY = qMax(maxY, y);
        },
        error);
    if (!read)
        return std::nullopt;
    const qint64 cols = qint64(maxX) - minX + 1;
    const qint64 rows = qint64(maxY) - minY + 1;
    if (cols * rows > Document::MaxPlots) {
        if (error)
            *error = QStringLiteral("The plot blocks span %1 x %2 plots, more than a map can hold").arg(cols).arg(rows);
        return std::nullopt;
    }
    PlotRegion region;
    region.m_texts.resize(int(cols), int(rows));
    region.m_texts.reservePool(pool.size());
    QBitArray held(cols * rows);
    for (const Block &b : blocks) {
        const int col = b.x - minX;
        const int row = int(rows - 1 - (b.y - minY));
        const qsizetype i = qsizetype(row) * cols + col;
        if (held.testBit(i)) {
            if (error)
                *error = QStringLiteral("The plot blocks name the plot x=%1,y=%2 twice").arg(b.x).arg(b.y);
            return std::nullopt;
        }
        held.setBit(i);
        region.m_texts.setText(col, row, QByteArrayView(pool.constData() + b.offset, b.length));
    }
    region.m_count = qsizetype(blocks.size());
    if (region.m_count < cols * rows)
        region.m_held = held;
    return region;
}

} // namespace vor4
