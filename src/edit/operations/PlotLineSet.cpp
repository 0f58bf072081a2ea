#include "PlotLineSet.h"

#include "PaintRule.h"
#include "PlotTable.h"
#include "TextUtil.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

namespace vor4 {

namespace {
std::string_view sv(QByteArrayView v) { return {v.data(), std::size_t(v.size())}; }
} // namespace

QList<QByteArray> PlotLineSet::collect(const PlotTable &plots, int limit)
{
    // Views into the table: nothing is copied until the end. Most plots of
    // a map repeat a text seen before (open sea), so whole texts are looked
    // at only once.
    std::unordered_set<std::string_view> texts;
    std::unordered_set<std::string_view> lines;
    for (int row = 0; row < plots.rowCount() && int(lines.size()) < limit; ++row) {
        for (int col = 0; col < plots.columnCount(); ++col) {
            const QByteArrayView text = plots.view(col, row);
            if (text.isEmpty() || !texts.insert(sv(text)).second)
                continue;
            int depth = 0;
            forEachLine(text, [&](QByteArrayView line) {
                const QByteArrayView t = trimmed(line);
                const QByteArrayView key = PaintRule::keyOf(t);
                if (key.isEmpty()) {
                    // Block keywords have no "=": BeginUnit ... EndUnit.
                    if (startsWithCi(t, "Begin"))
                        ++depth;
                    else if (startsWithCi(t, "End"))
                        depth = qMax(0, depth - 1);
                } else if (depth == 0 && int(lines.size()) < limit) {
                    lines.insert(sv(t));
                }
            });
        }
    }
    QList<QByteArray> out;
    out.reserve(qsizetype(lines.size()));
    for (const std::string_view &l : lines)
        out.append(QByteArray(l.data(), qsizetype(l.size())));
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace vor4
