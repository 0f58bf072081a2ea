#include "RegionEdits.h"

#include "ChangeSelection.h"
#include "CompoundStep.h"
#include "MapDocument.h"
#include "SetPlotTexts.h"


namespace vor4 {

PlotRegion RegionEdits::copy(const MapDocument &doc, const QRegion &cells)
{
    const PlotTable &plots = doc.document().PlotTexts;
    const QRect area = cells.boundingRect() & QRect(0, 0, plots.columnCount(), plots.rowCount());
    if (cells.rectCount() <= 1 || area.isEmpty())
        return PlotRegion::copy(plots, area);
    QBitArray held(qsizetype(area.width()) * area.height());
    for (const QRect &r : cells & area)
        for (int row = r.top(); row <= r.bottom(); ++row)
            for (int col = r.left(); col <= r.right(); ++col)
                held.setBit(qsizetype(row - area.top()) * area.width() + col - area.left());
    return PlotRegion::copy(plots, area, held);
}

RegionEdits::Result RegionEdits::paste(MapDocument &doc, const PlotRegion &region, QPoint topLeft)
{
    if (region.isEmpty())
        return {false, 0, QStringLiteral("There is nothing to paste")};
    const PlotTable &plots = doc.document().PlotTexts;
    const QRect map(0, 0, plots.columnCount(), plots.rowCount());
    const QRect placed = QRect(topLeft, region.size()) & map;
    if (placed.isEmpty())
        return {false, 0, QStringLiteral("The paste lies outside the map")};
    int count = 0;
    for (int row = placed.top(); row <= placed.bottom(); ++row)
        for (int col = placed.left(); col <= placed.right(); ++col)
            count += region.holds(col - topLeft.x(), row - topLeft.y());
    const QString name = SetPlotTexts::nameFor(QStringLiteral("Paste %1 plots"), count);
    auto *step = new CompoundStep(&doc, name);
    new ChangeSelection(&doc, placed, step);
    auto *texts = new SetPlotTexts(&doc, name, step);
    for (int row = placed.top(); row <= placed.bottom(); ++row) {
        for (int col = placed.left(); col <= placed.right(); ++col) {
            const int u = col - topLeft.x(), v = row - topLeft.y();
            if (region.holds(u, v))
                texts->add(col, row, region.view(u, v));
        }
    }
    QString error;
    if (!doc.push(step, &error) && !error.isEmpty())
        return {false, 0, error};
    return {true, count, name};
}

RegionEdits::Result RegionEdits::clear(MapDocument &doc, const QRegion &cells, const QString &verb)
{
    const PlotTable &plots = doc.document().PlotTexts;
    const QRegion inside = cells & QRect(0, 0, plots.columnCount(), plots.rowCount());
    if (inside.isEmpty())
        return {false, 0, QStringLiteral("No plots are selected")};
    int count = 0;
    for (const QRect &r : inside)
        count += r.width() * r.height();
    const QString name = SetPlotTexts::nameFor(verb + QStringLiteral(" %1 plots"), count);
    // Named for the plots asked for, not only those that held text.
    auto *step = new SetPlotTexts(&doc, name);
    for (const QRect &r : inside)
        for (int row = r.top(); row <= r.bottom(); ++row)
            for (int col = r.left(); col <= r.right(); ++col)
                step->add(col, row, QByteArrayView());
    QString error;
    if (!doc.push(step, &error) && !error.isEmpty())
        return {false, 0, error};
    return {true, count, name};
}

} // namespace vor4
