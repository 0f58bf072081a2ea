#include "LargestRegion.h"

#include "PlotTable.h"

#include <QHash>
#include <QList>
#include <vector>

namespace vor4 {

namespace {
QByteArray valueOf(const QByteArray &text, const QByteArray &key)
{
    QByteArray lines = text;
    lines.replace("\r\n", "\n").replace('\r', '\n');
    for (const QByteArray &line : lines.split('\n'))
        if (line.toLower().contains(key.toLower()))
            return line.trimmed();
    return {};
}
} // namespace

Region largestRegion(const PlotTable &plots, const QByteArray &key)
{
    // Each cell's value interned, then a breadth-first labelling.
    Region best;
    const int cols = plots.columnCount(), rows = plots.rowCount();
    QHash<QByteArray, int> ids;
    std::vector<int> value(std::size_t(cols) * std::size_t(rows));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            const QByteArray v = valueOf(plots.text(c, r), key);
            const int id = ids.value(v, int(ids.size()));
            ids.insert(v, id);
            value[std::size_t(r) * cols + c] = id;
        }
    std::vector<bool> seen(value.size());
    std::vector<int> queue;
    for (std::size_t start = 0; start < value.size(); ++start) {
        if (seen[start])
            continue;
        seen[start] = true;
        queue.assign(1, int(start));
        for (std::size_t i = 0; i < queue.size(); ++i) {
            const int at = queue[i], c = at % cols, r = at / cols;
            const int next[4][2] = {{c - 1, r}, {c + 1, r}, {c, r - 1}, {c, r + 1}};
            for (const auto &n : next) {
                if (n[0] < 0 || n[1] < 0 || n[0] >= cols || n[1] >= rows)
                    continue;
                const std::size_t j = std::size_t(n[1]) * cols + n[0];
                if (!seen[j] && value[j] == value[start]) {
                    seen[j] = true;
                    queue.push_back(int(j));
                }
            }
        }
        if (int(queue.size()) > best.size)
            best = {QPoint(int(start % cols), int(start / cols)), int(queue.size())};
    }
    return best;
}

} // namespace vor4
