#pragma once
// Plots, starts and signs the game would handle badly, each finding under
// the name of its rule. A plot gives at most one finding per rule: starts or
// signs that share a plot share its finding. Values are read as the
// statistics read them (PlotFacts::field of the first line holding the key);
// units by PlotFacts::unitsOf, starts as PlotFacts::startOf finds them, a
// player's settler as PlayerStarts reads it, signs by MapMarks::signPlot.
// Positions are the file's plot coordinates, y from the bottom.

#include "PlayerStarts.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace vor4 {

class Document;

struct LintFinding
{
    enum Rule {
        // Rules about one plot's text (and its neighbours' river edges).
        NoTerrain,
        NoPlotType,
        WaterMismatch,
        DuplicateKey,
        PeakWithFeature,
        RiverOnWater,
        FloodplainsOffRiver,
        FeatureOnWrongTerrain,
        BonusOnWrongPlot,
        UnitOnWater,
        UnitNotClosed,
        PlotRuleCount,
        // Rules about the starts and the signs.
        StartOffMap = PlotRuleCount,
        StartOnWater,
        StartOnPeak,
        StartShared,
        StartApartFromSettler,
        SignOffMap,
        RuleCount
    };
    // "no-terrain", "no-plot-type", ...; -1 for a name that is none.
    static QByteArray ruleName(int rule);
    static int ruleNamed(QByteArrayView name);
    static bool isPlotRule(int rule) { return rule >= 0 && rule < PlotRuleCount; }
    static bool isStartRule(int rule) { return rule >= StartOffMap && rule <= StartApartFromSettler; }

    int x = 0, y = 0;
    int rule = 0;
    QString message;
    // The other plot the finding is about: a stale start's settler, the
    // land plot nearest to units on water.
    std::optional<QPoint> related;
    // The player slots a start finding names.
    QList<int> players;

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
// the plots it changed (and the neighbours whose river edges they carry),
// and the starts and signs, which are few. The plots' findings are kept as
// one bit a plot and rule, their explanations told when asked for, so that
// a map of a million broken plots costs a few megabytes.
class MapLint
{
public:
    // A rule with more findings than this is one line of the report unless
    // every finding is asked for.
    static constexpr qsizetype GroupedAbove = 100;
    // Units on water name the nearest land plot within this many plots.
    static constexpr int LandSearchRadius = 10;

    // Everything found in doc, in the report's order.
    static QList<LintFinding> lint(const Document &doc);

    void scan(const Document &doc);
    // Rescans the plots of some grid areas (columns and rows, row 0 north),
    // then the starts and signs. Edits far apart (a symmetric stroke) stay
    // small areas.
    void rescan(const Document &doc, const QList<QRect> &gridAreas);
    // Rescans the starts and signs alone.
    void rescanPieces(const Document &doc);

    qsizetype count(int rule) const;
    qsizetype total() const;
    // The rules whose findings, or what they tell, the last scan or rescan
    // may have changed, as bits (1 << rule): a list of them can keep the
    // others as they are.
    quint32 changedRules() const { return m_changed; }
    // The findings of one rule in the report's order, at most `limit` (all
    // when negative), told from doc as it was last scanned.
    QList<LintFinding> findings(const Document &doc, int rule, qsizetype limit = -1) const;
    // Every finding.
    QList<LintFinding> findings(const Document &doc) const;
    // Calls take for each finding of the rule in order, until it returns false.
    void forEach(const Document &doc, int rule, const std::function<bool(const LintFinding &)> &take) const;
    // The plots of a plot rule's findings, in the report's order.
    std::vector<QPoint> plotsOf(int rule) const;
    // Whether a plot on the map has a finding of a plot rule.
    bool hasPlotFinding(int x, int y) const;

    // The report: "X,Y: rule: explanation" a finding; a rule with more than
    // GroupedAbove findings is one line, "rule: N plots, first at X,Y",
    // unless `all`. JSON: a list of {"x", "y", "rule", "message"}, a grouped
    // rule with "plots" besides. Written in pieces to `out`.
    enum class Format { Text, Json };
    void write(const Document &doc, Format format, bool all, const std::function<void(QByteArrayView)> &out) const;
    static QByteArray text(const QList<LintFinding> &findings);

    // Whether the plot rule finds something in `text` put at grid cell
    // (col, row) of doc, the neighbours as they are: what a fix checks.
    static bool holds(const Document &doc, int rule, int col, int row, QByteArrayView text);
    // One plot rule's finding at grid cell (col, row), told; none when the
    // plot does not break the rule.
    static std::optional<LintFinding> plotFinding(const Document &doc, int rule, int col, int row);

private:
    void scanCells(const Document &doc, const QRect &area, bool byColumn,
                   std::array<std::vector<quint64>, LintFinding::PlotRuleCount> &bits,
                   std::vector<std::pair<QPoint, QList<int>>> &settlers) const;
    void setBits(qint64 index, unsigned rules);
    // The starts' and signs' findings anew; the rules that changed, as bits.
    quint32 lintPieces(const Document &doc);
    static qsizetype nextSet(const std::vector<quint64> &bits, qsizetype from);

    int m_rows = 0, m_cols = 0;
    // Per plot rule, a bit per plot in the report's order (x * rows + y);
    // empty while the rule has no finding.
    std::array<std::vector<quint64>, LintFinding::PlotRuleCount> m_bits;
    std::array<qsizetype, LintFinding::PlotRuleCount> m_counts{};
    SettlerIndex m_settlers;
    QList<LintFinding> m_pieces; // sorted
    quint32 m_changed = 0;
};

} // namespace vor4
