#include "Fill.h"

#include "PaintRule.h"
#include "PlotTable.h"

#include <cstdint>
#include <vector>

namespace vor4 {

QBitArray Fill::region(const PlotTable &plots, QPoint cell, QByteArrayView key)
{
    return region(plots, cell,
                  [&plots, key](int col, int row) { return PaintRule::valueOf(plots.view(col, row), key); });
}

QBitArray Fill::sameValue(const PlotTable &plots, QPoint cell, QByteArrayView key)
{
    if (!plots.contains(cell.x(), cell.y()))
        return {};
    const int cols = plots.columnCount(), rows = plots.rowCount();
    const QByteArray wanted = PaintRule::valueOf(plots.view(cell.x(), cell.y()), key).toByteArray();
    QBitArray mask(qsizetype(cols) * rows);
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < cols; ++col)
            if (PaintRule::valueOf(plots.view(col, row), key) == wanted)
                mask.setBit(qsizetype(row) * cols + col);
    return mask;
}

QBitArray Fill::region(const PlotTable &plots, QPoint cell,
                       const std::function<QByteArrayView(int col, int row)> &valueAt)
{
    const int cols = plots.columnCount();
    const int rows = plots.rowCount();
    if (!plots.contains(cell.x(), cell.y()))
        return {};
    QBitArray mask(qsizetype(cols) * rows);
    const QByteArray wanted = valueAt(cell.x(), cell.y()).toByteArray();

    // Scanline fill: a seed grows into the whole run of its line, and the
    // lines on either side are scanned along that run for new seeds. The
    // lines are columns when the texts lie column after column in memory:
    // a big fill then reads the pool in order instead of jumping a column's
    // worth of texts at each step. A cell's value is looked up once; the
    // answer is kept.
    const bool byColumn = plots.storedByColumn(QRect(0, 0, cols, rows));
    const int lines = byColumn ? cols : rows;
    const int length = byColumn ? rows : cols;
    const auto bit = [&](int line, int at) {
        return byColumn ? qsizetype(at) * cols + line : qsizetype(line) * cols + at;
    };
    enum : std::uint8_t { Unknown, Inside, Outside };
    std::vector<std::uint8_t> state(std::size_t(cols) * std::size_t(rows), Unknown);
    const auto inside = [&](int line, int at) {
        const qsizetype i = bit(line, at);
        if (state[std::size_t(i)] == Unknown) {
            const QByteArrayView value = byColumn ? valueAt(line, at) : valueAt(at, line);
            state[std::size_t(i)] = value == wanted ? Inside : Outside;
        }
        return state[std::size_t(i)] == Inside && !mask.testBit(i);
    };

    std::vector<QPoint> seeds{byColumn ? cell : cell.transposed()}; // x the line, y the place on it
    while (!seeds.empty()) {
        const QPoint seed = seeds.back();
        seeds.pop_back();
        const int line = seed.x();
        if (!inside(line, seed.y()))
            continue;
        int first = seed.y();
        while (first > 0 && inside(line, first - 1))
            --first;
        int last = seed.y();
        while (last + 1 < length && inside(line, last + 1))
            ++last;
        if (byColumn) {
            for (int at = first; at <= last; ++at)
                mask.setBit(bit(line, at));
        } else {
            mask.fill(true, bit(line, first), bit(line, last) + 1);
        }
        for (const int next : {line - 1, line + 1}) {
            if (next < 0 || next >= lines)
                continue;
            bool inRun = false;
            for (int at = first; at <= last; ++at) {
                const bool in = inside(next, at);
                if (in && !inRun)
                    seeds.push_back(QPoint(next, at));
                inRun = in;
            }
        }
    }
    return mask;
}

QBitArray Fill::whole(const PlotTable &plots)
{
    return QBitArray(qsizetype(plots.columnCount()) * plots.rowCount(), true);
}

} // namespace vor4
