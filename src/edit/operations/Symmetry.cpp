#include "Symmetry.h"

#include "CompoundStep.h"
#include "MapMarks.h"
#include "PlotFacts.h"
#include "SetPlotTexts.h"
#include "SetSectionLines.h"
#include "SetSlotText.h"
#include "TextUtil.h"

#include <QHash>

namespace vor4 {

namespace {

bool horizontal(Symmetry::Side side) { return side == Symmetry::Left || side == Symmetry::Right; }

// The side's test on the file's coordinates: x, or y from the bottom.
bool onSide(QPoint cell, Symmetry::Side side, QSize grid, bool source)
{
    const int W = grid.width(), H = grid.height();
    if (!QRect(QPoint(0, 0), grid).contains(cell))
        return false;
    const int x = cell.x(), y = H - 1 - cell.y();
    const bool low = side == Symmetry::Left || side == Symmetry::Bottom; // the source lies low
    const int v = horizontal(side) ? x : y, half = horizontal(side) ? W / 2 : H / 2, size = horizontal(side) ? W : H;
    const bool inLow = v < half, inHigh = v > size - 1 - half;
    return source == low ? inLow : inHigh;
}

QString counted(int n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

} // namespace

std::optional<Symmetry::Side> Symmetry::sideNamed(QStringView word)
{
    for (Side s : {Left, Right, Bottom, Top})
        if (word.compare(sideName(s), Qt::CaseInsensitive) == 0)
            return s;
    return std::nullopt;
}

QString Symmetry::sideName(Side side)
{
    static const char *const names[] = {"left", "right", "bottom", "top"};
    return QLatin1String(names[side]);
}

bool Symmetry::inSource(QPoint cell, Side side, QSize grid) { return onSide(cell, side, grid, true); }
bool Symmetry::inDestination(QPoint cell, Side side, QSize grid) { return onSide(cell, side, grid, false); }

QPoint Symmetry::image(QPoint cell, Side side, Mode mode, QSize grid)
{
    const QPoint across(grid.width() - 1 - cell.x(), grid.height() - 1 - cell.y());
    if (mode == HalfTurn)
        return across;
    return horizontal(side) ? QPoint(across.x(), cell.y()) : QPoint(cell.x(), across.y());
}

int Symmetry::turnedCompass(int direction, Side side, Mode mode)
{
    if (mode == HalfTurn)
        return (direction + 2) % 4;
    // A mirror across a vertical axis swaps east and west; across a
    // horizontal one north and south.
    const bool eastWest = direction % 2 == 1;
    return eastWest == horizontal(side) ? (direction + 2) % 4 : direction;
}

Symmetry::Result Symmetry::makeSymmetric(MapDocument &doc, Side side, Mode mode)
{
    const Document &d = doc.document();
    const QSize grid(d.columnCount(), d.rowCount());
    const PlotTable &plots = d.PlotTexts;
    const auto onMap = [&](QPoint c) { return plots.contains(c.x(), c.y()); };
    const auto fileOf = [&](QPoint c) { return QPoint(c.x(), d.fileY(c.y())); };
    const auto cellOf = [&](QPoint p) { return QPoint(p.x(), d.fileY(p.y())); };

    // Starts paired in slot order: the k-th player starting on the other
    // side takes the image of the k-th start of this side.
    QList<int> sources, destinations;
    for (int slot = 0; slot < d.PlayerTexts.size(); ++slot) {
        const std::optional<QPoint> plot = PlotFacts::startOf(d.PlayerTexts[slot]).plot();
        if (!plot || !onMap(cellOf(*plot)))
            continue;
        if (inSource(cellOf(*plot), side, grid))
            sources << slot;
        else if (inDestination(cellOf(*plot), side, grid))
            destinations << slot;
    }
    QHash<int, int> partner;
    QList<std::pair<int, QByteArray>> players;
    for (qsizetype k = 0; k < qMin(sources.size(), destinations.size()); ++k) {
        partner.insert(sources[k], destinations[k]);
        const QPoint from = *PlotFacts::startOf(d.PlayerTexts[sources[k]]).plot();
        const QPoint to = fileOf(image(cellOf(from), side, mode, grid));
        players << std::pair{destinations[k], PlotFacts::withStart(d.PlayerTexts[destinations[k]], to)};
    }
    QStringList unpaired;
    for (qsizetype k = destinations.size(); k < sources.size(); ++k)
        unpaired << QString::number(sources[k]);

    // Every edge touching the other side goes; every edge touching this one
    // comes back at its image, turned. The images are gathered first, by
    // their carriers, so that each plot is written once.
    struct Added
    {
        PlotFacts::RiverKind kind;
        std::optional<QByteArray> flow;
    };
    QHash<QPoint, QList<Added>> added;
    QHash<QPoint, QByteArray> outside; // plots off the other side whose river lines change
    const auto textOf = [&](QPoint c) -> QByteArray {
        const auto it = outside.constFind(c);
        return it != outside.cend() ? *it : plots.text(c.x(), c.y());
    };
    const QList<PlotFacts::RiverEdge> edges = PlotFacts::riverEdges(plots, QRect(QPoint(0, 0), grid));
    for (const PlotFacts::RiverEdge &e : edges)
        if (!inDestination(e.carrier, side, grid) && inDestination(e.neighbour(), side, grid))
            outside.insert(e.carrier, PlotFacts::withoutRiver(textOf(e.carrier), e.kind));
    int riversLost = 0;
    for (const PlotFacts::RiverEdge &e : edges) {
        if (!inSource(e.carrier, side, grid) && !inSource(e.neighbour(), side, grid))
            continue;
        const QPoint a = image(e.carrier, side, mode, grid), b = image(e.neighbour(), side, mode, grid);
        // North of a horizontal edge, west of a vertical one.
        const QPoint carrier(qMin(a.x(), b.x()), qMin(a.y(), b.y()));
        if (!onMap(carrier)) {
            ++riversLost;
            continue;
        }
        std::optional<QByteArray> flow = e.flow;
        if (const std::optional<int> c = flow ? PlotFacts::compass(*flow) : std::nullopt)
            flow = QByteArray::number(turnedCompass(*c, side, mode));
        added[carrier] << Added{e.kind, flow};
        if (!inDestination(carrier, side, grid) && !outside.contains(carrier))
            outside.insert(carrier, plots.text(carrier.x(), carrier.y()));
    }
    const auto withAdded = [&](QPoint c, QByteArray text) {
        for (const Added &a : added.value(c))
            text = PlotFacts::withRiver(text, a.kind, a.flow);
        return text;
    };

    const QString name = QStringLiteral("Make symmetric from the %1 half (%2)")
                             .arg(sideName(side), mode == Mirror ? QStringLiteral("mirror") : QStringLiteral("half-turn"));
    auto *step = new CompoundStep(&doc, name);
    auto *plotStep = new SetPlotTexts(&doc, name, step);
    // The plots of the other side: copies, without their river lines, the
    // units' owners paired.
    int copied = 0, units = 0;
    for (int row = 0; row < grid.height(); ++row)
        for (int col = 0; col < grid.width(); ++col) {
            const QPoint c(col, row);
            if (!inDestination(c, side, grid))
                continue;
            const QPoint s = image(c, side, mode, grid);
            const QByteArrayView source = plots.view(s.x(), s.y());
            ++copied;
            // Most plots are copied as they are, without a copy of their own.
            const bool withUnits = containsCi(source, "BeginUnit");
            if (!withUnits && !containsCi(source, "river") && !added.contains(c)) {
                plotStep->add(col, row, source);
                continue;
            }
            QByteArray text = PlotFacts::withoutRiver(PlotFacts::withoutRiver(source, PlotFacts::SouthEdge), PlotFacts::EastEdge);
            if (withUnits) {
                units += int(PlotFacts::unitsOf(text).size());
                text = PlotFacts::withUnitOwners(text, partner);
            }
            plotStep->add(col, row, withAdded(c, std::move(text)));
        }
    for (auto it = outside.cbegin(); it != outside.cend(); ++it)
        plotStep->add(it.key().x(), it.key().y(), withAdded(it.key(), *it));

    // Signs: those of the other side go, those of this side are copied.
    QList<QByteArray> signs;
    int signsCopied = 0;
    for (const QByteArray &sign : d.SignTexts) {
        const std::optional<QPoint> plot = MapMarks::signPlot(sign);
        if (!plot || !inDestination(cellOf(*plot), side, grid))
            signs << sign;
    }
    for (const QByteArray &sign : d.SignTexts) {
        const std::optional<QPoint> plot = MapMarks::signPlot(sign);
        if (plot && onMap(cellOf(*plot)) && inSource(cellOf(*plot), side, grid)) {
            signs << MapMarks::withSignPlot(sign, fileOf(image(cellOf(*plot), side, mode, grid)));
            ++signsCopied;
        }
    }

    for (const auto &[slot, text] : players)
        new SetSlotText(&doc, SectionKind::Player, slot, text, name, step);
    if (signs != d.SignTexts)
        new SetSectionLines(&doc, SectionKind::Signs, signs, name, step);
    QString error;
    if (!doc.push(step, &error) && !error.isEmpty())
        return {false, error, {}};

    Result r;
    r.message = name + QStringLiteral(": ") + counted(copied, "plot", "plots") + QStringLiteral(", ")
        + counted(int(players.size()), "start", "starts") + QStringLiteral(", ") + counted(units, "unit", "units")
        + QStringLiteral(" and ") + counted(signsCopied, "sign", "signs") + QStringLiteral(" written");
    if (riversLost > 0)
        r.message += QStringLiteral("; ") + counted(riversLost, "river edge", "river edges") + QStringLiteral(" fell off the map");
    if (!unpaired.isEmpty())
        r.warning = QStringLiteral("No player starts on the other half to take the image of the start of player%1 %2")
                        .arg(unpaired.size() == 1 ? QString() : QStringLiteral("s"), unpaired.join(QStringLiteral(", ")));
    return r;
}

} // namespace vor4
