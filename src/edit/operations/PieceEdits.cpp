#include "PieceEdits.h"

#include "MapDocument.h"
#include "PlotFacts.h"
#include "MapMarks.h"
#include "SetPlotTexts.h"
#include "SetSectionLines.h"

#include <QHash>
#include "SetSlotText.h"

namespace vor4 {

namespace {

using Result = PieceEdits::Result;

Result refusal(const QString &message) { return {false, 0, message}; }

const char *const SideNames[] = {"north", "east", "south", "west"};

// "Plot X,Y" as the file names it, y from the bottom.
QString plotName(const Document &d, QPoint cell)
{
    return QStringLiteral("Plot %1,%2").arg(cell.x()).arg(d.rowCount() - 1 - cell.y());
}

bool onMap(const Document &d, QPoint cell, QString *error)
{
    if (d.PlotTexts.contains(cell.x(), cell.y()))
        return true;
    *error = plotName(d, cell) + QStringLiteral(" is outside the map");
    return false;
}

bool playerSlot(const Document &d, int player, QString *error)
{
    if (player >= 0 && player < d.PlayerTexts.size())
        return true;
    *error = QStringLiteral("There is no player slot %1 (0 to %2)").arg(player).arg(d.PlayerTexts.size() - 1);
    return false;
}

Result setPlayerText(MapDocument &doc, int player, const QByteArray &text, const QString &name)
{
    QString error;
    if (!doc.push(new SetSlotText(&doc, SectionKind::Player, player, text, name), &error) && !error.isEmpty())
        return refusal(error);
    return {true, 0, name};
}

Result setPlots(MapDocument &doc, const QList<std::pair<QPoint, QByteArray>> &texts, const QString &name)
{
    auto *step = new SetPlotTexts(&doc, name);
    for (const auto &[cell, text] : texts)
        step->add(cell.x(), cell.y(), text);
    const int plots = step->cellCount();
    QString error;
    if (!doc.push(step, &error) && !error.isEmpty())
        return refusal(error);
    return {true, plots, name};
}

// The edge on that side of a plot: the plot that carries it and its kind;
// nothing, and why, when the plot is off the map or the side is its edge.
struct Edge
{
    QPoint carrier;
    PlotFacts::RiverKind kind;
};
std::optional<Edge> edgeOf(const Document &d, QPoint cell, PieceEdits::Side side, QString *error)
{
    if (!onMap(d, cell, error))
        return std::nullopt;
    const Edge e{side == PieceEdits::North ? cell - QPoint(0, 1) : side == PieceEdits::West ? cell - QPoint(1, 0) : cell,
                 side == PieceEdits::North || side == PieceEdits::South ? PlotFacts::SouthEdge : PlotFacts::EastEdge};
    if (d.PlotTexts.contains(e.carrier.x(), e.carrier.y()))
        return e;
    *error = QStringLiteral("The %1 side of %2 is the map's edge: no plot there carries a river")
                 .arg(QLatin1String(SideNames[side]), plotName(d, cell).toLower());
    return std::nullopt;
}

} // namespace

Result PieceEdits::setStart(MapDocument &doc, int player, QPoint cell)
{
    const Document &d = doc.document();
    QString error;
    if (!playerSlot(d, player, &error) || !onMap(d, cell, &error))
        return refusal(error);
    const QPoint plot(cell.x(), d.rowCount() - 1 - cell.y());
    return setPlayerText(doc, player, PlotFacts::withStart(d.PlayerTexts[player], plot),
                         QStringLiteral("Move start of player %1 to %2,%3").arg(player).arg(plot.x()).arg(plot.y()));
}

Result PieceEdits::removeStart(MapDocument &doc, int player)
{
    const Document &d = doc.document();
    QString error;
    if (!playerSlot(d, player, &error))
        return refusal(error);
    return setPlayerText(doc, player, PlotFacts::withStart(d.PlayerTexts[player], std::nullopt),
                         QStringLiteral("Remove start of player %1").arg(player));
}

Result PieceEdits::moveUnits(MapDocument &doc, QPoint from, QPoint to)
{
    const Document &d = doc.document();
    QString error;
    if (!onMap(d, from, &error) || !onMap(d, to, &error))
        return refusal(error);
    const int count = int(PlotFacts::unitsOf(d.PlotTexts.view(from.x(), from.y())).size());
    const QString name = (count == 1 ? QStringLiteral("Move 1 unit") : QStringLiteral("Move %1 units").arg(count))
        + QStringLiteral(" from %1 to %2").arg(plotName(d, from).mid(5), plotName(d, to).mid(5));
    if (from == to || count == 0)
        return {true, 0, name};
    QList<QByteArray> unitLines;
    const QByteArray left = PlotFacts::withoutUnits(d.PlotTexts.view(from.x(), from.y()), &unitLines);
    QByteArray target = d.PlotTexts.text(to.x(), to.y());
    for (const QByteArray &line : unitLines)
        target += (target.isEmpty() ? "" : "\r\n") + line;
    return setPlots(doc, {{from, left}, {to, target}}, name);
}

namespace {

// The carrier's text with the edge of that kind flowing `flow`, or without
// it for nothing.
QByteArray withRiver(QByteArrayView text, PlotFacts::RiverKind kind, std::optional<int> flow)
{
    return flow ? PlotFacts::withRiver(text, kind, QByteArray::number(*flow)) : PlotFacts::withoutRiver(text, kind);
}

// A river runs along its edge: east or west along a north or south side.
bool flowsAlong(int flow, PlotFacts::RiverKind kind)
{
    return flow >= PieceEdits::North && flow <= PieceEdits::West && (flow % 2 == 1) == (kind == PlotFacts::SouthEdge);
}

} // namespace

Result PieceEdits::setRiver(MapDocument &doc, QPoint cell, Side side, int flow)
{
    const Document &d = doc.document();
    QString error;
    const std::optional<Edge> edge = edgeOf(d, cell, side, &error);
    if (!edge)
        return refusal(error);
    const auto [carrier, kind] = *edge;
    if (!flowsAlong(flow, kind))
        return refusal(QStringLiteral("A river on the %1 side flows %2")
                           .arg(QLatin1String(SideNames[side]),
                                kind == PlotFacts::SouthEdge ? QStringLiteral("east or west")
                                                             : QStringLiteral("north or south")));
    return setPlots(doc, {{carrier, withRiver(d.PlotTexts.view(carrier.x(), carrier.y()), kind, flow)}},
                    QStringLiteral("River on the %1 side of %2 flowing %3")
                        .arg(QLatin1String(SideNames[side]), plotName(d, cell).toLower(),
                             QLatin1String(SideNames[flow])));
}

Result PieceEdits::removeRiver(MapDocument &doc, QPoint cell, Side side)
{
    const Document &d = doc.document();
    QString error;
    const std::optional<Edge> edge = edgeOf(d, cell, side, &error);
    if (!edge)
        return refusal(error);
    const auto [carrier, kind] = *edge;
    return setPlots(doc, {{carrier, PlotFacts::withoutRiver(d.PlotTexts.view(carrier.x(), carrier.y()), kind)}},
                    QStringLiteral("Remove river on the %1 side of %2")
                        .arg(QLatin1String(SideNames[side]), plotName(d, cell).toLower()));
}

Result PieceEdits::editRivers(MapDocument &doc, const QList<RiverEdit> &edits, const QString &name)
{
    const Document &d = doc.document();
    QHash<QPoint, QByteArray> texts; // carrier -> its text so far
    QList<QPoint> order;
    for (const RiverEdit &e : edits) {
        QString ignored;
        const std::optional<Edge> edge = edgeOf(d, e.cell, e.side, &ignored);
        if (!edge || (e.flow >= 0 && !flowsAlong(e.flow, edge->kind)))
            continue;
        const auto [carrier, kind] = *edge;
        auto it = texts.find(carrier);
        if (it == texts.end()) {
            it = texts.insert(carrier, d.PlotTexts.text(carrier.x(), carrier.y()));
            order << carrier;
        }
        *it = withRiver(*it, kind, e.flow >= 0 ? std::optional<int>(e.flow) : std::nullopt);
    }
    QList<std::pair<QPoint, QByteArray>> changed;
    for (const QPoint &cell : std::as_const(order))
        if (texts[cell] != d.PlotTexts.view(cell.x(), cell.y()))
            changed << std::pair{cell, texts[cell]};
    if (changed.isEmpty())
        return {true, 0, name};
    return setPlots(doc, changed, name);
}

Result PieceEdits::removeUnits(MapDocument &doc, QPoint cell)
{
    const Document &d = doc.document();
    QString error;
    if (!onMap(d, cell, &error))
        return refusal(error);
    return setPlots(doc, {{cell, PlotFacts::withoutUnits(d.PlotTexts.view(cell.x(), cell.y()))}},
                    QStringLiteral("Remove units of %1").arg(plotName(d, cell).toLower()));
}

Result PieceEdits::addSign(MapDocument &doc, QPoint cell, const QByteArray &caption)
{
    const Document &d = doc.document();
    QString error;
    if (!onMap(d, cell, &error))
        return refusal(error);
    const QPoint plot(cell.x(), d.rowCount() - 1 - cell.y());
    QList<QByteArray> signs = d.SignTexts;
    signs << "plotX=" + QByteArray::number(plot.x()) + "\r\nplotY=" + QByteArray::number(plot.y())
            + "\r\nplayerType=-1\r\ncaption=" + caption;
    const QString name = QStringLiteral("Add sign at %1,%2").arg(plot.x()).arg(plot.y());
    if (!doc.push(new SetSectionLines(&doc, SectionKind::Signs, signs, name), &error) && !error.isEmpty())
        return refusal(error);
    return {true, 0, name};
}

Result PieceEdits::removeSigns(MapDocument &doc, QPoint cell)
{
    const Document &d = doc.document();
    const QPoint plot(cell.x(), d.rowCount() - 1 - cell.y());
    QList<QByteArray> signs;
    for (const QByteArray &sign : d.SignTexts)
        if (MapMarks::signPlot(sign) != plot)
            signs << sign;
    const QString name = QStringLiteral("Remove sign at %1,%2").arg(plot.x()).arg(plot.y());
    QString error;
    if (!doc.push(new SetSectionLines(&doc, SectionKind::Signs, signs, name), &error) && !error.isEmpty())
        return refusal(error);
    return {true, 0, name};
}

} // namespace vor4
