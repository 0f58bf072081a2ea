#include "Symmetry.h"

#include "CompoundStep.h"
#include "MapMarks.h"
#include "MapWrap.h"
#include "PlotFacts.h"
#include "SetPlotTexts.h"
#include "SetSectionLines.h"
#include "SetSlotText.h"
#include "TextUtil.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <memory>
#include <tuple>
#include <vector>

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

Symmetry::Pairing Symmetry::pairPlayers(const QList<PlayerStart> &starts, Side side, Mode mode, const MapWrap &surface)
{
    const QSize grid(surface.width, surface.height);
    // A file plot's cell, and a cell's file plot: the rule is its own inverse.
    const auto cellOf = [&](QPoint p) { return QPoint(p.x(), grid.height() - 1 - p.y()); };
    Pairing pairing;
    QList<const PlayerStart *> sources, destinations;
    for (const PlayerStart &s : starts) {
        pairing.inUse << s.player;
        if (inSource(cellOf(s.at), side, grid))
            sources << &s;
        else if (inDestination(cellOf(s.at), side, grid))
            destinations << &s;
    }
    // Every source with every destination, the nearest first: the distance
    // from the image of the source's start to the destination's start.
    struct Candidate
    {
        int distance, source, destination;
    };
    std::vector<Candidate> candidates;
    for (const PlayerStart *from : sources) {
        const QPoint imageAt = cellOf(image(cellOf(from->at), side, mode, grid));
        for (const PlayerStart *to : destinations)
            candidates.push_back({surface.distance(imageAt, to->at), from->player, to->player});
    }
    std::sort(candidates.begin(), candidates.end(), [](const Candidate &a, const Candidate &b) {
        return std::tie(a.distance, a.source, a.destination) < std::tie(b.distance, b.source, b.destination);
    });
    for (const Candidate &c : candidates) {
        if (pairing.partner.contains(c.source) || pairing.partner.contains(c.destination))
            continue;
        pairing.partner.insert(c.source, c.destination);
        pairing.partner.insert(c.destination, c.source);
        pairing.pairs << std::pair(c.source, c.destination);
    }
    for (const PlayerStart &s : starts)
        if (!pairing.partner.contains(s.player))
            pairing.kept << s.player;
    return pairing;
}

void Symmetry::Pairing::pairTeams(const QHash<int, int> &teamOfPlayer)
{
    // A team swaps with another when each pair that involves either pairs it
    // with the other and all their players with a start are paired.
    QHash<int, QSet<int>> partnersOf;
    for (int player : std::as_const(inUse)) {
        const int team = teamOfPlayer.value(player, -1);
        if (team < 0)
            continue;
        teamsInUse << team;
        if (kept.contains(player))
            keptTeams << team;
        else
            partnersOf[team] << teamOfPlayer.value(partner.value(player), -1);
    }
    for (auto it = partnersOf.cbegin(); it != partnersOf.cend(); ++it) {
        pairedTeams << it.key();
        if (it->size() != 1)
            continue;
        const int other = *it->cbegin();
        if (other >= 0 && other != it.key() && partnersOf.value(other) == QSet<int>{it.key()}
            && !keptTeams.contains(it.key()) && !keptTeams.contains(other))
            teamPartner.insert(it.key(), other);
    }
}

std::optional<int> Symmetry::Pairing::ownerInImage(int owner) const
{
    if (const auto it = partner.constFind(owner); it != partner.cend())
        return *it;
    if (kept.contains(owner))
        return std::nullopt;
    return owner;
}

std::optional<int> Symmetry::Pairing::teamInImage(int team) const
{
    if (const auto it = teamPartner.constFind(team); it != teamPartner.cend())
        return *it;
    if (teamsInUse.contains(team) && !pairedTeams.contains(team))
        return std::nullopt;
    return team;
}

namespace {

// The pieces a plot holds: what its players own, and the teams it is revealed to.
struct Pieces
{
    QList<PlotFacts::OwnedBlock> blocks;
    QList<int> teams;
};

// What the players own and the teams see, counted over plots.
struct Holdings
{
    QHash<int, int> units, settlers, revealed;
    void add(const Pieces &p, int sign)
    {
        for (const PlotFacts::OwnedBlock &b : p.blocks)
            if (!b.city) {
                units[b.owner] += sign;
                settlers[b.owner] += sign * int(b.settler);
            }
        for (int t : p.teams)
            revealed[t] += sign;
    }
};

QString slotList(QList<int> slots)
{
    std::sort(slots.begin(), slots.end());
    QStringList names;
    for (int s : slots)
        names << QString::number(s);
    const QString last = names.takeLast();
    return names.isEmpty() ? last : names.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

// What the players had and have now, said where one lost all its units,
// its one settler or all its team's revealed plots, or found a second
// settler; `change` is what the operation took and brought.
QStringList lossesOf(const Symmetry::Pairing &pairing, const Holdings &before, const Holdings &change)
{
    QStringList losses;
    QList<int> inUse(pairing.inUse.cbegin(), pairing.inUse.cend());
    std::sort(inUse.begin(), inUse.end());
    for (int player : std::as_const(inUse)) {
        const int unitsBefore = before.units.value(player), unitsAfter = unitsBefore + change.units.value(player);
        const int settlersBefore = before.settlers.value(player),
                  settlersAfter = settlersBefore + change.settlers.value(player);
        if (unitsBefore > 0 && unitsAfter == 0)
            losses << QStringLiteral("player %1 has no unit left").arg(player);
        else if (settlersBefore == 1 && settlersAfter == 0)
            losses << QStringLiteral("player %1 has no settler left").arg(player);
        if (settlersAfter > 1 && settlersAfter > settlersBefore)
            losses << QStringLiteral("player %1 has %2 settlers").arg(player).arg(settlersAfter);
    }
    QList<int> teams(pairing.teamsInUse.cbegin(), pairing.teamsInUse.cend());
    std::sort(teams.begin(), teams.end());
    for (int team : std::as_const(teams))
        if (before.revealed.value(team) > 0 && before.revealed.value(team) + change.revealed.value(team) == 0)
            losses << QStringLiteral("team %1 has no revealed plot left").arg(team);
    return losses;
}

} // namespace

Symmetry::Result Symmetry::makeSymmetric(MapDocument &doc, Side side, Mode mode)
{
    const Document &d = doc.document();
    const QSize grid(d.columnCount(), d.rowCount());
    const PlotTable &plots = d.PlotTexts;
    const auto onMap = [&](QPoint c) { return plots.contains(c.x(), c.y()); };
    const auto fileOf = [&](QPoint c) { return QPoint(c.x(), d.fileY(c.y())); };
    const auto cellOf = [&](QPoint p) { return QPoint(p.x(), d.fileY(p.y())); };
    const auto key = [&](QPoint c) { return qint64(c.y()) * grid.width() + c.x(); }; // a cell's place in a row-by-row list

    // One look at every plot for what players own and teams see; most plots
    // hold neither and are passed at a glance.
    const std::size_t cells = std::size_t(grid.width()) * std::size_t(grid.height());
    std::vector<qint32> piecesAt(cells, -1);
    std::vector<quint8> holds(cells, 0);
    std::vector<Pieces> pieces;
    QList<QPoint> unitCells;
    Holdings before;
    for (int row = 0; row < grid.height(); ++row)
        for (int col = 0; col < grid.width(); ++col) {
            const QByteArrayView text = plots.view(col, row);
            const unsigned may = PlotFacts::mayHold(text);
            holds[std::size_t(key(QPoint(col, row)))] = quint8(may);
            if (!(may & (PlotFacts::MayNameOwners | PlotFacts::MayReveal)))
                continue;
            Pieces p;
            if (may & PlotFacts::MayNameOwners)
                p.blocks = PlotFacts::ownedBlocksOf(text);
            if (may & PlotFacts::MayReveal)
                p.teams = PlotFacts::revealedTeams(text);
            if (p.blocks.isEmpty() && p.teams.isEmpty())
                continue;
            if (!p.blocks.isEmpty())
                unitCells << QPoint(col, row);
            before.add(p, 1);
            piecesAt[std::size_t(key(QPoint(col, row)))] = qint32(pieces.size());
            pieces.push_back(std::move(p));
        }
    SettlerIndex settlers;
    settlers.scanCells(plots, unitCells);
    const QList<PlayerStart> starts = PlayerStarts::effective(d, settlers);
    Pairing pairing = pairPlayers(starts, side, mode, MapWrap::of(d));
    QHash<int, int> teamOfPlayer;
    for (int player : std::as_const(pairing.inUse))
        if (const std::optional<int> team = PlotFacts::teamOf(d.PlayerTexts[player]))
            teamOfPlayer.insert(player, *team);
    pairing.pairTeams(teamOfPlayer);
    const auto ownerInImage = [&](int owner) { return pairing.ownerInImage(owner); };
    const auto teamInImage = [&](int team) { return pairing.teamInImage(team); };
    const auto keptOwner = [&](int owner) { return pairing.kept.contains(owner) ? std::nullopt : std::optional(owner); };

    // Each destination player starts at the image of its partner's start.
    QList<std::pair<int, QByteArray>> players;
    for (const PlayerStart &s : starts)
        if (pairing.partner.contains(s.player) && inSource(cellOf(s.at), side, grid)) {
            const int to = pairing.partner.value(s.player);
            players << std::pair{to, PlotFacts::withStart(d.PlayerTexts[to], fileOf(image(cellOf(s.at), side, mode, grid)))};
        }

    // Every edge touching the other side goes; every edge touching this one
    // comes back at its image, turned. The images are gathered first, by
    // their carriers, so that each plot is written once.
    struct Added
    {
        PlotFacts::RiverKind kind;
        std::optional<QByteArray> flow;
    };
    QHash<QPoint, QList<Added>> added;
    std::vector<bool> hasAdded(cells, false); // a quick look before the hash's
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
        hasAdded[std::size_t(key(carrier))] = true;
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
    auto plotStep = std::make_unique<SetPlotTexts>(&doc, name);
    // The plots of the other side: images of this side's, their owners and
    // teams swapped along the pairing, without their river lines; what the
    // players kept as they were have there stays.
    int copied = 0, units = 0;
    Holdings change; // on the other side: what goes, what comes
    const auto piecesOf = [&](QPoint c) -> const Pieces * {
        const qint32 i = piecesAt[std::size_t(key(c))];
        return i < 0 ? nullptr : &pieces[std::size_t(i)];
    };
    for (int row = 0; row < grid.height(); ++row)
        for (int col = 0; col < grid.width(); ++col) {
            const QPoint c(col, row);
            if (!inDestination(c, side, grid))
                continue;
            const QPoint s = image(c, side, mode, grid);
            const QByteArrayView source = plots.view(s.x(), s.y());
            ++copied;
            // What the image brings: owners and teams as they become.
            Pieces brought;
            bool ownersRenamed = false, teamsRenamed = false;
            if (const Pieces *from = piecesOf(s)) {
                for (PlotFacts::OwnedBlock b : from->blocks) {
                    const std::optional<int> owner = ownerInImage(b.owner);
                    ownersRenamed |= owner != b.owner;
                    if (!owner)
                        continue;
                    b.owner = *owner;
                    brought.blocks << b;
                    units += !b.city;
                }
                for (int t : from->teams) {
                    const std::optional<int> to = teamInImage(t);
                    teamsRenamed |= to != t;
                    if (to && !brought.teams.contains(*to))
                        brought.teams << *to;
                }
            }
            // What stays of the plot: the pieces of the players kept.
            QList<int> keptTeams;
            bool keepsUnits = false;
            if (const Pieces *here = piecesOf(c)) {
                change.add(*here, -1);
                for (const PlotFacts::OwnedBlock &b : here->blocks)
                    if (pairing.kept.contains(b.owner)) {
                        keepsUnits = true;
                        brought.blocks << b;
                    }
                for (int t : here->teams)
                    if (pairing.keptTeams.contains(t)) {
                        keptTeams << t;
                        if (!brought.teams.contains(t))
                            brought.teams << t;
                    }
            }
            change.add(brought, 1);
            const bool river = holds[std::size_t(key(s))] & PlotFacts::MayHoldRiver;
            // The source's text, rewritten only where it differs: most
            // plots are copied as they are.
            QByteArray text;
            QByteArrayView current = source;
            if (river) {
                text = PlotFacts::withoutRivers(source);
                current = text;
            }
            if (ownersRenamed) {
                text = PlotFacts::withOwners(current, ownerInImage);
                current = text;
            }
            if (teamsRenamed || !keptTeams.isEmpty()) {
                // The teams kept here join the image's reveal line.
                text = PlotFacts::withRevealedTeams(current, teamInImage, keptTeams);
                current = text;
            }
            if (keepsUnits) {
                QList<QByteArray> keptBlocks;
                PlotFacts::withOwners(plots.view(col, row), keptOwner, &keptBlocks);
                text = current.isEmpty() ? joinLines(keptBlocks) : current.toByteArray() + "\r\n" + joinLines(keptBlocks);
                current = text;
            }
            // Without river lines now, it takes its edges in front at once.
            if (const auto edges = hasAdded[std::size_t(key(c))] ? added.constFind(c) : added.cend(); edges != added.cend()) {
                std::optional<QByteArray> flow[2];
                bool has[2] = {false, false};
                for (const Added &a : *edges) {
                    has[a.kind] = true;
                    flow[a.kind] = a.flow;
                }
                plotStep->add(col, row,
                              PlotFacts::withRiversInFront(current, flow[PlotFacts::SouthEdge], flow[PlotFacts::EastEdge],
                                                           has[PlotFacts::SouthEdge], has[PlotFacts::EastEdge]));
            } else {
                plotStep->add(col, row, current);
            }
        }
    for (auto it = outside.cbegin(); it != outside.cend(); ++it)
        plotStep->add(it.key().x(), it.key().y(), withAdded(it.key(), *it));

    // Signs: those on the other side go and those of this side come as
    // their images, owners swapped, save the signs of the players kept.
    QList<QByteArray> signs;
    int signsCopied = 0;
    const auto keptSign = [&](const QByteArray &sign) {
        const std::optional<int> owner = MapMarks::signOwner(sign);
        return owner && pairing.kept.contains(*owner);
    };
    for (const QByteArray &sign : d.SignTexts) {
        const std::optional<QPoint> plot = MapMarks::signPlot(sign);
        if (!plot || !inDestination(cellOf(*plot), side, grid) || keptSign(sign))
            signs << sign;
    }
    for (const QByteArray &sign : d.SignTexts) {
        const std::optional<QPoint> plot = MapMarks::signPlot(sign);
        if (!plot || !onMap(cellOf(*plot)) || !inSource(cellOf(*plot), side, grid) || keptSign(sign))
            continue;
        QByteArray copy = MapMarks::withSignPlot(sign, fileOf(image(cellOf(*plot), side, mode, grid)));
        if (const std::optional<int> owner = MapMarks::signOwner(sign); owner && pairing.partner.contains(*owner))
            copy = MapMarks::withSignOwner(copy, pairing.partner.value(*owner));
        signs << copy;
        ++signsCopied;
    }

    // One step of the history.
    MapDocument::Group group(doc, name);
    QString error;
    const auto refused = [&](bool pushed) { return !pushed && !error.isEmpty(); };
    if (refused(doc.push(plotStep.release(), &error))) {
        group.cancel();
        return {false, error, false};
    }
    for (const auto &[slot, text] : players)
        if (refused(doc.push(new SetSlotText(&doc, SectionKind::Player, slot, text, name), &error))) {
            group.cancel();
            return {false, error, false};
        }
    if (signs != d.SignTexts && refused(doc.push(new SetSectionLines(&doc, SectionKind::Signs, signs, name), &error))) {
        group.cancel();
        return {false, error, false};
    }
    group.end();

    const QStringList losses = lossesOf(pairing, before, change);
    QStringList pairs;
    QList<std::pair<int, int>> ordered;
    for (const auto &[a, b] : std::as_const(pairing.pairs))
        ordered << std::pair(qMin(a, b), qMax(a, b));
    std::sort(ordered.begin(), ordered.end());
    for (const auto &[a, b] : std::as_const(ordered))
        pairs << QStringLiteral("%1\u2194%2").arg(a).arg(b);
    Result r;
    r.message = name + QStringLiteral(": ") + counted(copied, "plot", "plots") + QStringLiteral(", ");
    r.message += pairs.isEmpty() ? QStringLiteral("no pair of players")
                                 : counted(int(pairs.size()), "pair", "pairs") + QStringLiteral(" of players (")
            + pairs.join(QStringLiteral(", ")) + QLatin1Char(')');
    if (!pairing.kept.isEmpty()) {
        const QList<int> kept(pairing.kept.cbegin(), pairing.kept.cend());
        r.message += kept.size() == 1 ? QStringLiteral(", player %1 kept as it was").arg(kept.first())
                                      : QStringLiteral(", players %1 kept as they were").arg(slotList(kept));
    }
    r.message += QStringLiteral(", ") + counted(units, "unit", "units") + QStringLiteral(" and ")
        + counted(signsCopied, "sign", "signs") + QStringLiteral(" copied");
    if (riversLost > 0)
        r.message += QStringLiteral("; ") + counted(riversLost, "river edge", "river edges") + QStringLiteral(" fell off the map");
    if (!losses.isEmpty())
        r.message += QStringLiteral("; ") + losses.join(QStringLiteral(", "));
    r.notable = !pairing.kept.isEmpty() || !losses.isEmpty();
    return r;
}

} // namespace vor4
