#include "LintFixes.h"

#include "CompoundStep.h"
#include "Document.h"
#include "FileTarget.h"
#include "MapDocument.h"
#include "PlayerStarts.h"
#include "PlotFacts.h"
#include "SetPlotTexts.h"
#include "SetSlotText.h"
#include "TextUtil.h"

namespace vor4 {

namespace {

using Result = LintFixes::Result;

QString ruleText(int rule) { return QString::fromLatin1(LintFinding::ruleName(rule)); }

// The text without its first line holding the key (lower case: the key
// ends right before one of the line's "="), as the lint reads values; the
// other bytes as they were. *line gets the line taken.
QByteArray withoutLineHolding(QByteArrayView text, QByteArrayView lowerKey, QByteArray *line)
{
    const char *const begin = text.data(), *const end = begin + text.size();
    for (const char *start = begin; start < end;) {
        const char *const stop = findLineEnd(start, end);
        const char *next = stop;
        if (next < end && *next == '\r' && next + 1 < end && next[1] == '\n')
            next += 2;
        else if (next < end)
            ++next;
        for (const char *q = start; q < stop; ++q) {
            if (*q != '=' || !PlotFacts::keyBefore(start, q - start, lowerKey))
                continue;
            *line = QByteArray(start, stop - start);
            if (next < end || start == begin)
                return QByteArray(begin, start - begin) + QByteArray(next, end - next);
            // The last line: the line break before it goes with it.
            const char *cut = start - 1;
            if (*cut == '\n' && cut > begin && cut[-1] == '\r')
                --cut;
            return QByteArray(begin, cut - begin);
        }
        start = next;
    }
    return text.toByteArray();
}

// "player 3's start line to its settler at 5,6".
QString startMoved(int player, QPoint to)
{
    return QStringLiteral("start line of player %1 to its settler at %2,%3").arg(player).arg(to.x()).arg(to.y());
}

} // namespace

QString LintFixes::fixText(int rule)
{
    switch (rule) {
    case LintFinding::PeakWithFeature:
    case LintFinding::FloodplainsOffRiver:
    case LintFinding::FeatureOnWrongTerrain:
        return QStringLiteral("remove the feature");
    case LintFinding::RiverOnWater:
        return QStringLiteral("remove the river flags");
    case LintFinding::BonusOnWrongPlot:
        return QStringLiteral("remove the resource line");
    case LintFinding::UnitNotClosed:
        return QStringLiteral("close the unit where it ends");
    case LintFinding::StartApartFromSettler:
        return QStringLiteral("start line to the settler");
    default:
        return QString();
    }
}

namespace {

// The text with "EndUnit" after the last line of its first unit without
// one: before the next "BeginUnit", else at the plot's end, as every
// reader takes such a unit.
QByteArray closedFirstUnit(const QByteArray &text)
{
    const QList<PlotFacts::Unit> units = PlotFacts::unitsOf(text);
    const auto open = std::find_if(units.begin(), units.end(), [](const PlotFacts::Unit &u) { return !u.closed; });
    if (open == units.end())
        return text;
    QList<QByteArray> lines = splitLines(text);
    lines.insert(qMin(open->lastLine + 1, lines.size()), "EndUnit");
    return lines.join("\r\n");
}

} // namespace

QByteArray LintFixes::fixedText(const Document &doc, int rule, int col, int row, QByteArrayView text, QString *what)
{
    QByteArray fixed = text.toByteArray();
    QStringList done;
    while (MapLint::holds(doc, rule, col, row, fixed)) {
        QByteArray next, line;
        bool acted = true;
        switch (rule) {
        case LintFinding::PeakWithFeature:
        case LintFinding::FloodplainsOffRiver:
        case LintFinding::FeatureOnWrongTerrain:
            next = withoutLineHolding(fixed, "featuretype", &line);
            break;
        case LintFinding::BonusOnWrongPlot:
            next = withoutLineHolding(fixed, "bonustype", &line);
            break;
        case LintFinding::RiverOnWater:
            next = PlotFacts::withoutRiver(PlotFacts::withoutRiver(fixed, PlotFacts::SouthEdge), PlotFacts::EastEdge);
            break;
        case LintFinding::UnitNotClosed:
            next = closedFirstUnit(fixed);
            break;
        default:
            acted = false;
            break;
        }
        // A fix that changes nothing more would run for ever.
        if (!acted || next == fixed)
            break;
        done << (rule == LintFinding::UnitNotClosed ? QStringLiteral("added \"EndUnit\"")
                 : rule == LintFinding::RiverOnWater ? QStringLiteral("removed the river flags")
                                                      : QStringLiteral("removed \"%1\"").arg(shownValue(trimmed(line))));
        fixed = next;
    }
    if (what)
        *what = done.join(QStringLiteral(", "));
    return fixed;
}

Result LintFixes::fixPlots(MapDocument &doc, int rule, const std::vector<QPoint> &plots, const QString &name,
                           QStringList *done)
{
    if (!canFix(rule) || !LintFinding::isPlotRule(rule))
        return {false, 0, QStringLiteral("%1 has no fix").arg(ruleText(rule))};
    const Document &d = doc.document();
    auto *step = new SetPlotTexts(&doc, name);
    QStringList lines;
    for (const QPoint &at : plots) {
        const int row = d.rowCount() - 1 - at.y();
        if (!d.PlotTexts.contains(at.x(), row))
            continue;
        QString what;
        const QByteArray text = fixedText(d, rule, at.x(), row, d.PlotTexts.view(at.x(), row), &what);
        if (what.isEmpty())
            continue;
        step->add(at.x(), row, text);
        lines << QStringLiteral("%1,%2: %3: %4").arg(at.x()).arg(at.y()).arg(ruleText(rule), what);
    }
    const int changed = step->cellCount();
    QString error;
    if (!doc.push(step, &error) && !error.isEmpty())
        return {false, 0, error};
    if (done)
        *done += lines;
    return {true, changed, name};
}

Result LintFixes::fixStarts(MapDocument &doc, const QList<int> &players, const QString &name, QStringList *done)
{
    const Document &d = doc.document();
    const QList<PlayerStart> starts = PlayerStarts::effective(d);
    auto *step = new CompoundStep(&doc, name);
    QStringList lines;
    for (const PlayerStart &s : starts) {
        if (!s.fromSettler || !players.contains(s.player))
            continue;
        const QByteArray &text = d.PlayerTexts[s.player];
        const std::optional<QPoint> was = PlotFacts::startOf(text).plot();
        if (was == s.at)
            continue;
        new SetSlotText(&doc, SectionKind::Player, s.player, PlotFacts::withStart(text, s.at), name, step);
        const QPoint from = was.value_or(s.at);
        lines << QStringLiteral("%1,%2: %3: %4")
                     .arg(from.x())
                     .arg(from.y())
                     .arg(ruleText(LintFinding::StartApartFromSettler), startMoved(s.player, s.at));
    }
    const int changed = step->childCount();
    QString error;
    if (!doc.push(step, &error) && !error.isEmpty())
        return {false, 0, error};
    if (done)
        *done += lines;
    return {true, changed, name};
}

Result LintFixes::fixOne(MapDocument &doc, const LintFinding &finding, QStringList *done)
{
    const QString name = QStringLiteral("Fix %1 at %2,%3").arg(ruleText(finding.rule)).arg(finding.x).arg(finding.y);
    if (finding.rule == LintFinding::StartApartFromSettler)
        return fixStarts(doc, finding.players, name, done);
    return fixPlots(doc, finding.rule, {QPoint(finding.x, finding.y)}, name, done);
}

Result LintFixes::fixAll(MapDocument &doc, const MapLint &lint, int rule, QStringList *done)
{
    const QString name = QStringLiteral("Fix all %1 (%2)").arg(ruleText(rule)).arg(lint.count(rule));
    if (rule != LintFinding::StartApartFromSettler)
        return fixPlots(doc, rule, lint.plotsOf(rule), name, done);
    QList<int> players;
    for (const LintFinding &f : lint.findings(doc.document(), rule))
        players += f.players;
    return fixStarts(doc, players, name, done);
}

Result LintFixes::startsFromSettlers(MapDocument &doc)
{
    QList<int> players;
    for (int slot = 0; slot < doc.document().PlayerTexts.size(); ++slot)
        players << slot;
    const Result r = fixStarts(doc, players, QStringLiteral("Starts from settlers"));
    if (!r.ok)
        return r;
    return {true, r.plots,
            r.plots == 0 ? QStringLiteral("Starts from settlers: every start line is on its player's settler")
                         : r.plots == 1 ? QStringLiteral("Starts from settlers: 1 player changed")
                                        : QStringLiteral("Starts from settlers: %1 players changed").arg(r.plots)};
}

} // namespace vor4
