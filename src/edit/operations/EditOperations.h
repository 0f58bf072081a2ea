#pragma once
// Operations over many plots, each one undoable step on a MapDocument: the
// editor's tools and vor4map edit call the same functions.

#include "PaintRule.h"

#include <QBitArray>
#include <QByteArrayView>
#include <QPoint>
#include <QRect>
#include <QString>

namespace vor4 {

class MapDocument;
class SetPlotTexts;

class EditOperations
{
public:
    // Put: the rule's line goes into each plot (Change); Take: the first
    // line of the rule's key comes out (Clear).
    enum Action { Put, Take };

    struct Result
    {
        bool ok = true;
        int plots = 0;   // plots changed
        QString message; // the step's name ("Paint ... on 12 plots"), or why nothing was done
    };

    // The step's name pattern for an action with this rule ("%1" the count).
    static QString stepName(const PaintRule &rule, Action action, const QString &verb = QStringLiteral("Paint"));
    // Adds one cell to a step: the rule applied to its text, when that
    // changes it.
    static void addCell(SetPlotTexts *step, const PaintRule &rule, Action action, int col, int row);

    // The rule on every plot of a rectangle of cells, or of a mask as Fill
    // gives it.
    static Result apply(MapDocument &doc, const PaintRule &rule, Action action, const QRect &cells);
    static Result apply(MapDocument &doc, const PaintRule &rule, Action action, const QBitArray &mask,
                        const QString &verb = QStringLiteral("Paint"));
    // Fill from a cell: the rule on the region of equal value for its key
    // around the cell, or with wholeMap on every plot.
    static Result fill(MapDocument &doc, const PaintRule &rule, Action action, QPoint cell, bool wholeMap = false);
    // Every occurrence of `from` in the plot texts of the cells becomes `to`;
    // neither may hold a line break, so no match reaches across one.
    // With a mask, only the cells whose bit is set.
    static Result replace(MapDocument &doc, QByteArrayView from, QByteArrayView to, const QRect &cells,
                          const QBitArray &mask = {});
    // apply(put) on the cells, then fill(fill) from `cell`, as one step: when
    // the put covers most of a big map, one pass writes the table for both,
    // the fill's region found on the texts as the put leaves them. The map
    // and the results are those the two give one after the other. False,
    // with the map untouched, when they are better run one by one (or one
    // of them would be refused).
    static bool putThenFill(MapDocument &doc, const PaintRule &put, const QRect &cells, const PaintRule &fill,
                            QPoint cell, Result *putResult, Result *fillResult);

private:
    struct Stage
    {
        const PaintRule &rule;
        Action action;
        QRect cells;
        const QBitArray *mask; // instead of cells when given
        QString name;          // the step's name pattern ("%1" the count)
        int changed = 0;
    };
    static Result push(MapDocument &doc, SetPlotTexts *step, const QString &name);
    // The rule on the cells of `cells`, or of `mask` when given, by writing
    // the whole table anew: for changes to most of a big map.
    static Result rewrite(MapDocument &doc, const PaintRule &rule, Action action,
                          const QRect &cells, const QBitArray *mask, const QString &name);
    // The stages one after the other on each plot, in the same one pass,
    // as one step; the result tells of the last stage.
    static Result rewrite(MapDocument &doc, Stage *stages, int count);
};

} // namespace vor4
