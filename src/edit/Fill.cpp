#include "Fill.h"

#include "PaintRule.h"
#include "PlotTable.h"

#include <cstdint>
#include <vector>

namespace vor4 {

QBitArray Fill::region(const PlotTable &plots, QPoint cell, QByteArrayView key)
{
    const int cols = plots.columnCount();
    const int rows = plots.rowCount();
    if (!plots.contains(cell.x(), cell.y()))
        return {};
    QBitArray mask(qsizetype(cols) * rows);
    const QByteArray wanted = PaintRule::valueOf(plots.view(cell.x(), cell.y()), key).toByteArray();

    // Scanline fill: a seed grows into the whole run of its row, and the
    // rows above and below are scanned along that run for new seeds. A
    // cell's value is looked up once; the answer is kept.
    enum : std::uint8_t { Unknown, Inside, Outside };
    std::vector<std::uint8_t> state(std::size_t(cols) * std::size_t(rows), Unknown);
    const auto inside = [&](int col, int row) {
        const std::size_t i = std::size_t(row) * std::size_t(cols) + std::size_t(col);
        if (state[i] == Unknown)
            state[i] = PaintRule::valueOf(plots.view(col, row), key) == wanted ? Inside : Outside;
        return state[i] == Inside && !mask.testBit(qsizetype(i));
    };

    std::vector<QPoint> seeds{cell};
    while (!seeds.empty()) {
        const QPoint seed = seeds.back();
        seeds.pop_back();
        const int row = seed.y();
        if (!inside(seed.x(), row))
            continue;
        int left = seed.x();
        while (left > 0 && inside(left - 1, row))
            --left;
        int right = seed.x();
        while (right + 1 < cols && inside(right + 1, row))
            ++right;
        const qsizetype base = qsizetype(row) * cols;
        mask.fill(true, base + left, base + right + 1);
        for (const int next : {row - 1, row + 1}) {
            if (next < 0 || next >= rows)
                continue;
            bool inRun = false;
            for (int col = left; col <= right; ++col) {
                const bool in = inside(col, next);
                if (in && !inRun)
                    seeds.push_back(QPoint(col, next));
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
