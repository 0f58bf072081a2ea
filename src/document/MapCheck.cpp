#include "MapCheck.h"

#include "PlotFacts.h"

namespace vor4 {

namespace {

QString blocks(qint64 n)
{
    return n == 1 ? QStringLiteral("1 plot block addresses") : QStringLiteral("%1 plot blocks address").arg(n);
}

} // namespace

QStringList mapWarnings(const Document &doc, const LoadStats &stats)
{
    QStringList warnings;
    const int cols = doc.columnCount();
    const int rows = doc.rowCount();
    if (stats.declaredPlots && *stats.declaredPlots != stats.plotBlocks)
        warnings << QStringLiteral("warning: %1 plot blocks read, but \"num plots written=\" says %2")
                        .arg(stats.plotBlocks)
                        .arg(*stats.declaredPlots);
    if (stats.plotsOutside > 0)
        warnings << QStringLiteral("warning: %1 a plot outside the %2 x %3 grid "
                                   "(first at line %4); dropped")
                        .arg(blocks(stats.plotsOutside))
                        .arg(cols)
                        .arg(rows)
                        .arg(stats.firstOutsideLine);
    if (stats.plotsRepeated > 0)
        warnings << QStringLiteral("warning: %1 a plot read before "
                                   "(first at line %2); its lines are added to that plot")
                        .arg(blocks(stats.plotsRepeated))
                        .arg(stats.firstRepeatedLine);
    for (qsizetype slot = 0; slot < doc.PlayerTexts.size(); ++slot) {
        const QByteArray &text = doc.PlayerTexts[slot];
        const PlotFacts::Start start = PlotFacts::startOf(text);
        const std::optional<int> x = start.x, y = start.y;
        const bool outside = (x && (*x < 0 || *x >= cols)) || (y && (*y < 0 || *y >= rows));
        if (!outside)
            continue;
        const auto shown = [](const std::optional<int> &v) {
            return v ? QString::number(*v) : QStringLiteral("?");
        };
        warnings << QStringLiteral("warning: player %1 starts at x=%2, y=%3, outside the %4 x %5 map")
                        .arg(slot)
                        .arg(shown(x), shown(y))
                        .arg(cols)
                        .arg(rows);
    }
    return warnings;
}

} // namespace vor4
