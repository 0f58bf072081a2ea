#pragma once
// Plots, starts and signs the game would handle badly, each finding under
// the name of its rule. A plot gives at most one finding per rule: starts or
// signs that share a plot share its finding. Values are read as the
// statistics read them (PlotFacts::field of the first line holding the key);
// starts as PlotFacts::startOf finds them, signs by MapMarks::signPlot.
// Positions are the file's plot coordinates, y from the bottom.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QRect>
#include <QString>
#include <unordered_map>

namespace vor4 {

class Document;
class PlotTable;

struct LintFinding
{
    enum Rule {
        NoTerrain,
        NoPlotType,
        WaterMismatch,
        DuplicateKey,
        PeakWithFeature,
        RiverOnWater,
        StartOffMap,
        StartOnWater,
        StartOnPeak,
        StartShared,
        StartApartFromSettler,
        SignOffMap,
        RuleCount
    };
    // "no-terrain", "no-plot-type", ...
    static QByteArray ruleName(int rule);

    int x = 0, y = 0;
    int rule = 0;
    QString message;

    // The order of the report: by rule, then x, then y.
    bool operator<(const LintFinding &o) const
    {
        return rule != o.rule ? rule < o.rule : x != o.x ? x < o.x : y < o.y;
    }
    bool operator==(const LintFinding &o) const
    {
        return x == o.x && y == o.y && rule == o.rule && message == o.message;
    }
};

// The findings of a map, kept up to date plot by plot: an edit rescans only
// the plots it changed, and the starts and signs, which are few.
class MapLint
{
public:
    // Everything found in doc, in the report's order.
    static QList<LintFinding> lint(const Document &doc);
    // "X,Y: rule: explanation" a line.
    static QByteArray text(const QList<LintFinding> &findings);
    // [{"x":..,"y":..,"rule":"…","message":"…"}, ...]
    static QByteArray json(const QList<LintFinding> &findings);

    void scan(const Document &doc);
    // Rescans the plots of some grid areas (columns and rows, row 0 north),
    // then the starts and signs. Edits far apart (a symmetric stroke) stay
    // small areas.
    void rescan(const Document &doc, const QList<QRect> &gridAreas);
    // Rescans the starts and signs alone.
    void rescanPieces(const Document &doc);
    QList<LintFinding> findings() const;

private:
    struct Plot
    {
        QList<LintFinding> findings;
        QList<int> settlerOwners;
    };
    // The plot's findings and settlers; false when it has neither.
    static bool lintPlot(QByteArrayView text, int x, int y, Plot &plot);
    void scanColumns(const PlotTable &plots, int first, int last, std::unordered_map<qint64, Plot> &found) const;

    int m_rows = 0, m_cols = 0;
    // Only the plots with something to tell: most plots have nothing.
    std::unordered_map<qint64, Plot> m_plots;
    QList<LintFinding> m_pieces;
};

} // namespace vor4
