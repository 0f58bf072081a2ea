#include "PlotReplace.h"

#include "Geometry.h"
#include "LineCheck.h"
#include "MapDocument.h"
#include "SetPlotTexts.h"

#include <algorithm>
#include <memory>

namespace vor4 {

ReplaceResult replaceInPlots(MapDocument *doc, const PlotQuery &query, const QString &replacement,
                             const std::vector<qint32> &cells)
{
    ReplaceResult result;
    result.error = PlotQuery::replacementError(replacement);
    if (!result.ok())
        return result;
    const PlotTable &plots = doc->document().PlotTexts;
    const int columns = plots.columnCount();
    auto step = std::make_unique<SetPlotTexts>(doc, QStringLiteral("Replace %1 plots"));
    for (const qint32 cell : cells) {
        const int col = cell % columns;
        const int row = cell / columns;
        const QByteArrayView text = plots.view(col, row);
        if (!query.matches(text))
            continue;
        const QByteArray changed = query.replaced(text, replacement);
        if (const QString refused = refusedText(changed, TextPlace::Plot); !refused.isEmpty()) {
            result.error = refused + QStringLiteral(" (in plot %1,%2). Nothing was replaced.")
                                         .arg(col)
                                         .arg(doc->document().fileY(row));
            return result;
        }
        step->add(col, row, changed);
        // Checked as the step grows: one that cannot fit stops before it
        // holds more than the plot texts could.
        if (!step->fits()) {
            result.error = QStringLiteral("The replacement makes the plot texts too large: a map holds at most "
                                          "4 GiB of them. Nothing was replaced.");
            return result;
        }
    }
    const int changed = step->cellCount();
    if (changed == 0)
        return result;
    // One step of the history with the count in its name, whatever the
    // replace is made of.
    MapDocument::Group group(*doc, SetPlotTexts::nameFor(QStringLiteral("Replace %1 plots"), changed));
    if (!doc->push(step.release(), &result.error)) {
        group.cancel();
        return result;
    }
    result.plots = changed;
    return result;
}

ReplaceResult replaceInArea(MapDocument *doc, const PlotQuery &query, const QString &replacement,
                            const QRegion &cells)
{
    if (const QString error = PlotQuery::replacementError(replacement); !error.isEmpty())
        return {0, error};
    const PlotTable &plots = doc->document().PlotTexts;
    std::vector<qint32> found = query.find(plots, cells.boundingRect());
    if (cells.rectCount() > 1) {
        const QBitArray inside = cellMask(cells, QSize(plots.columnCount(), plots.rowCount()));
        found.erase(std::remove_if(found.begin(), found.end(), [&inside](qint32 cell) { return !inside.testBit(cell); }),
                    found.end());
    }
    return replaceInPlots(doc, query, replacement, found);
}

} // namespace vor4
