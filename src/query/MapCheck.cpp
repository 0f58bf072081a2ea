#include "MapCheck.h"

#include "LineCheck.h"
#include "MapMarks.h"
#include "PlotFacts.h"
#include "PlotTable.h"

namespace vor4 {

namespace {

QString blocks(qint64 n)
{
    return n == 1 ? QStringLiteral("1 plot block addresses") : QStringLiteral("%1 plot blocks address").arg(n);
}

// The first count line whose number is not `read`.
const LoadStats::CountLine *disagreeing(const QList<LoadStats::CountLine> &counts, qint64 read)
{
    for (const LoadStats::CountLine &c : counts)
        if (c.second != read)
            return &c;
    return nullptr;
}

QString andList(const QStringList &parts)
{
    if (parts.size() < 2)
        return parts.join(QString());
    return parts.mid(0, parts.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") + parts.last();
}

} // namespace

QString lineRanges(const QList<std::pair<qint64, qint64>> &ranges, qint64 lines)
{
    QStringList parts;
    qint64 named = 0;
    for (const auto &[first, last] : ranges) {
        parts << (first == last ? QString::number(first) : QStringLiteral("%1-%2").arg(first).arg(last));
        named += last - first + 1;
    }
    if (named < lines)
        parts << QString(QChar(0x2026));
    return (named == 1 && lines == 1 ? QStringLiteral("line ") : QStringLiteral("lines ")) + andList(parts);
}

QString MapDamage::consequences() const
{
    QStringList parts;
    if (!dropped.isEmpty())
        parts << QStringLiteral("drop ") + andList(dropped);
    if (!hidden.isEmpty())
        parts << QStringLiteral("hide ") + andList(hidden);
    return parts.join(QStringLiteral(", and "));
}

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
    if (stats.sizeBelowOneLine > 0)
        warnings << QStringLiteral("warning: %1 at line %2 gives no plots; the map is read as %3 x %4")
                        .arg(quotedLine(stats.sizeBelowOne))
                        .arg(stats.sizeBelowOneLine)
                        .arg(cols)
                        .arg(rows);
    if (const LoadStats::CountLine *c = disagreeing(stats.plotCounts, stats.plotBlocks)) {
        warnings << QStringLiteral("warning: %1 plot blocks read, but \"num plots written=\" at line %2 says %3")
                        .arg(stats.plotBlocks)
                        .arg(c->first)
                        .arg(c->second ? QString::number(*c->second) : QStringLiteral("no number"));
        damage.hidden << QStringLiteral("a plot count that disagrees with the plots read (line %1)").arg(c->first);
    }
    if (stats.endMapLine > 0 && stats.plotBlocks == 0) {
        warnings << QStringLiteral("warning: the file ends after \"EndMap\" at line %1: none of the %2 x %3 grid's "
                                   "plots was read")
                        .arg(stats.endMapLine)
                        .arg(cols)
                        .arg(rows);
        damage.hidden << QStringLiteral("a file that ends after \"EndMap\" (line %1)").arg(stats.endMapLine);
    }
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
    if (stats.plotsRepeated > 0) {
        warnings << QStringLiteral("warning: %1 a plot read before "
                                   "(first at line %2); its lines are added to that plot")
                        .arg(blocks(stats.plotsRepeated))
                        .arg(stats.firstRepeatedLine);
        damage.hidden << QStringLiteral("plots read twice (first at line %1)").arg(stats.firstRepeatedLine);
    }
    if (stats.plotsMissing > 0)
        warnings << QStringLiteral("warning: %1 of the %2 x %3 grid's plots are missing; they are written empty")
                        .arg(stats.plotsMissing)
                        .arg(cols)
                        .arg(rows);
    const qint64 signs = doc.SignTexts.size();
    if (const LoadStats::CountLine *c = disagreeing(stats.signCounts, signs)) {
        warnings << QStringLiteral("warning: %1 sign blocks read, but \"num signs written=\" at line %2 says %3")
                        .arg(signs)
                        .arg(c->first)
                        .arg(c->second ? QString::number(*c->second) : QStringLiteral("no number"));
        damage.hidden << QStringLiteral("a sign count that disagrees with the signs read (line %1)").arg(c->first);
    }
    if (stats.signsNotClosed > 0)
        warnings << (stats.signsNotClosed == 1
                         ? QStringLiteral("warning: the sign block at line %1 has no \"EndSign\"; it is kept as far as "
                                          "it goes")
                               .arg(stats.firstSignNotClosedLine)
                         : QStringLiteral("warning: %1 sign blocks have no \"EndSign\" (first at line %2); they are "
                                          "kept as far as they go")
                               .arg(stats.signsNotClosed)
                               .arg(stats.firstSignNotClosedLine));
    if (stats.blocksNotClosed > 0)
        warnings << (stats.blocksNotClosed == 1
                         ? QStringLiteral("warning: the block at line %1 is not closed; its lines go with the next "
                                          "team or player block")
                               .arg(stats.firstBlockNotClosedLine)
                         : QStringLiteral("warning: %1 team or player blocks are not closed (first at line %2); their "
                                          "lines go with the next team or player block")
                               .arg(stats.blocksNotClosed)
                               .arg(stats.firstBlockNotClosedLine));
    if (stats.blockKeptSlot >= 0) {
        const QString kind = QString::fromLatin1(stats.blockKeptInSlot);
        warnings << QStringLiteral("warning: the %1 block at line %2 has no \"End%3\"; its lines are kept in %1 slot %4")
                        .arg(kind)
                        .arg(stats.blockKeptInSlotLine)
                        .arg(kind.left(1).toUpper() + kind.mid(1))
                        .arg(stats.blockKeptSlot);
    }
    if (stats.strayLines > 0) {
        const QString what = QStringLiteral("%1 outside every section (%2)")
                                 .arg(stats.strayLines == 1 ? QStringLiteral("1 line")
                                                            : QStringLiteral("%1 lines").arg(stats.strayLines))
                                 .arg(lineRanges(stats.strayRanges, stats.strayLines));
        warnings << QStringLiteral("warning: ") + what
                        + (stats.strayLines == 1 ? QStringLiteral("; it is not written back")
                                                 : QStringLiteral("; they are not written back"));
        damage.dropped << what;
    }
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
    for (qsizetype i = 0; i < doc.SignTexts.size(); ++i) {
        const std::optional<QPoint> at = MapMarks::signPlot(doc.SignTexts[i]);
        if (at && !QRect(0, 0, cols, rows).contains(*at))
            warnings << QStringLiteral("warning: sign %1 is at x=%2, y=%3, outside the %4 x %5 map")
                            .arg(i)
                            .arg(at->x())
                            .arg(at->y())
                            .arg(cols)
                            .arg(rows);
    }
    // Units as every reader reads them: one without "EndUnit" runs to the
    // end of its plot.
    qint64 open = 0;
    QPoint first;
    const PlotTable &plots = doc.PlotTexts;
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col) {
            const QByteArrayView text = plots.view(col, row);
            if (!containsCi(text, "BeginUnit"))
                continue;
            for (const PlotFacts::Unit &unit : PlotFacts::unitsOf(text))
                if (!unit.closed && open++ == 0)
                    first = QPoint(col, doc.fileY(row));
        }
    }
    if (open > 0)
        warnings << QStringLiteral("warning: %1 without \"EndUnit\" (first at %2,%3); each is read to the end of "
                                   "its plot")
                        .arg(open == 1 ? QStringLiteral("1 unit") : QStringLiteral("%1 units").arg(open))
                        .arg(first.x())
                        .arg(first.y());
    return warnings;
}

} // namespace vor4
