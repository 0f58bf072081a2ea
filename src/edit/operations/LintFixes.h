#pragma once
// The mends of the map lint's findings that have one plain mend, shared by
// the Problems panel and vor4map lint --fix: each call is one undoable step
// named after its rule, and changes only the plots or players its findings
// name. Starts from settlers, for every player at once, lives here too.

#include "EditOperations.h"
#include "MapLint.h"

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <vector>

namespace vor4 {

class MapDocument;

class LintFixes
{
public:
    using Result = EditOperations::Result;

    // What a rule's fix does ("remove the resource line"); empty for a rule
    // without one.
    static QString fixText(int rule);
    static bool canFix(int rule) { return !fixText(rule).isEmpty(); }

    // One finding, or every finding of a rule as lint last found them in
    // doc, as one step: "Fix RULE at X,Y", "Fix all RULE (N)". *done gets a
    // line "X,Y: RULE: what was done" for each plot or player changed.
    static Result fixOne(MapDocument &doc, const LintFinding &finding, QStringList *done = nullptr);
    static Result fixAll(MapDocument &doc, const MapLint &lint, int rule, QStringList *done = nullptr);

    // The rule's fix on these plots (file's coordinates) as one step.
    static Result fixPlots(MapDocument &doc, int rule, const std::vector<QPoint> &plots, const QString &name,
                           QStringList *done = nullptr);
    // These players' start lines to their settlers, as one step.
    static Result fixStarts(MapDocument &doc, const QList<int> &players, const QString &name, QStringList *done = nullptr);

    // Every player with a settler gets its start line on its first
    // settler's plot, as one step "Starts from settlers"; the result counts
    // the players changed.
    static Result startsFromSettlers(MapDocument &doc);

    // A plot text with the rule's fix applied until the rule no longer
    // holds at grid cell (col, row) of doc; *what says what was done.
    static QByteArray fixedText(const Document &doc, int rule, int col, int row, QByteArrayView text,
                                QString *what = nullptr);
};

} // namespace vor4
