#include "MapCheck.h"

#include "PlotFacts.h"

namespace vor4 {

namespace {

QString blocks(qint64 n)
{
    return n == 1 ? QStringLiteral("1 plot block addresses") : QStringLiteral("%1 plot blocks address").arg(n);
}

} // namespace

MapDamage mapDamage(const Document &doc, const LoadStats &stats)
{
    MapDamage damage;
    QStringList &warnings = damage.findings;
    const int cols = doc.columnCount();
    const int rows = doc.rowCount();
    if (stats.nulLine > 0) {
        warnings << QStringLiteral("warning: a NUL byte at line %1 ends the readable text%2")
                        .arg(stats.nulLine)
                        .arg(stats.textAfterNul ? QStringLiteral("; the text after it is left out") : QString());
        if (stats.textAfterNul)
            damage.dropped << QStringLiteral("the text after the NUL byte at line %1").arg(stats.nulLine);
    }
    if (!stats.openAtEnd.isEmpty()) {
        warnings << QStringLiteral("warning: the file ends inside a section (\"%1\" at line %2 is not closed); "
                                   "it is cut short")
                        .arg(QString::fromLatin1(stats.openAtEnd))
                        .arg(stats.openAtEndLine);
        damage.dropped << QStringLiteral("whatever followed the end of the file, which is cut short");
    }
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
    if (stats.plotsOutside > 0)
        damage.dropped << (stats.plotsOutside == 1 ? QStringLiteral("1 plot outside the grid")
                                                   : QStringLiteral("%1 plots outside the grid").arg(stats.plotsOutside));
    if (stats.plotsRepeated > 0)
        warnings << QStringLiteral("warning: %1 a plot read before "
                                   "(first at line %2); its lines are added to that plot")
                        .arg(blocks(stats.plotsRepeated))
                        .arg(stats.firstRepeatedLine);
    if (stats.plotsMissing > 0)
        warnings << QStringLiteral("warning: %1 of the %2 x %3 grid's plots are missing; they are written empty")
                        .arg(stats.plotsMissing)
                        .arg(cols)
                        .arg(rows);
    return damage;
}

QStringList mapWarnings(const Document &doc, const LoadStats &stats)
{
    // check's report stays as it was: the kinds of damage it always told.
    LoadStats told = stats;
    told.nulLine = 0;
    told.openAtEnd.clear();
    told.plotsMissing = 0;
    QStringList warnings = mapDamage(doc, told).findings;
    const int cols = doc.columnCount();
    const int rows = doc.rowCount();
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
