#include "PlayerStarts.h"

#include "Document.h"
#include "PlotFacts.h"

namespace vor4 {

void SettlerIndex::scan(const PlotTable &plots, const QRect &area)
{
    const QRect all(0, 0, plots.columnCount(), plots.rowCount());
    const QRect r = area.isNull() ? all : area & all;
    const bool resized = all.size() != m_size;
    m_size = all.size();
    for (auto *map : {&m_owners, &m_units}) {
        if (area.isNull()) {
            map->clear();
        } else if (resized) {
            for (auto it = map->begin(); it != map->end();)
                // Cells a smaller grid has lost go too.
                it = r.contains(it->first.first, it->first.second) || !all.contains(it->first.first, it->first.second)
                    ? map->erase(it)
                    : std::next(it);
        } else {
            for (int col = r.left(); col <= r.right(); ++col)
                map->erase(map->lower_bound({col, r.top()}), map->upper_bound({col, r.bottom()}));
        }
    }
    for (int col = r.left(); col <= r.right(); ++col)
        for (int row = r.bottom(); row >= r.top(); --row) {
            QList<int> settlers, owners;
            // Const: a loop over a temporary list would detach, and allocate, even an empty one.
            const QList<PlotFacts::Unit> units = PlotFacts::unitsOf(plots.view(col, row));
            for (const PlotFacts::Unit &unit : units) {
                if (unit.owner < 0)
                    continue;
                if (!owners.contains(unit.owner))
                    owners << unit.owner;
                if (PlotFacts::isSettler(unit) && !settlers.contains(unit.owner))
                    settlers << unit.owner;
            }
            if (!settlers.isEmpty())
                m_owners[{col, row}] = settlers;
            if (!owners.isEmpty())
                m_units[{col, row}] = owners;
        }
}

QList<int> SettlerIndex::settlerOwners(const QList<PlotFacts::Unit> &units)
{
    QList<int> owners;
    for (const PlotFacts::Unit &unit : units)
        if (PlotFacts::isSettler(unit) && unit.owner >= 0 && !owners.contains(unit.owner))
            owners << unit.owner;
    return owners;
}

void SettlerIndex::setCell(int col, int row, const QList<int> &owners)
{
    if (owners.isEmpty())
        m_owners.erase({col, row});
    else
        m_owners[{col, row}] = owners;
}

void SettlerIndex::scanCells(const PlotTable &plots, const QList<QPoint> &cells)
{
    for (const QPoint &cell : cells) {
        const QList<PlotFacts::Unit> units =
            plots.contains(cell.x(), cell.y()) ? PlotFacts::unitsOf(plots.view(cell.x(), cell.y())) : QList<PlotFacts::Unit>();
        setCell(cell.x(), cell.y(), settlerOwners(units));
        QList<int> owners;
        for (const PlotFacts::Unit &unit : units)
            if (unit.owner >= 0 && !owners.contains(unit.owner))
                owners << unit.owner;
        if (owners.isEmpty())
            m_units.erase({cell.x(), cell.y()});
        else
            m_units[{cell.x(), cell.y()}] = owners;
    }
}

void SettlerIndex::merge(SettlerIndex &&other)
{
    m_owners.merge(other.m_owners);
    m_units.merge(other.m_units);
}

QList<int> SettlerIndex::unitOwners() const
{
    QList<int> owners;
    for (const auto &[cell, here] : m_units)
        for (int owner : here)
            if (!owners.contains(owner))
                owners << owner;
    std::sort(owners.begin(), owners.end());
    return owners;
}

QMap<int, QList<QPoint>> SettlerIndex::plotsByOwner(int rows) const
{
    QMap<int, QList<QPoint>> byOwner;
    for (const auto &[cell, owners] : m_owners) {
        const QPoint at(cell.first, rows - 1 - cell.second);
        for (int owner : owners) {
            QList<QPoint> &plots = byOwner[owner];
            if (!plots.contains(at))
                plots << at;
        }
    }
    for (QList<QPoint> &plots : byOwner)
        std::sort(plots.begin(), plots.end(),
                  [](QPoint a, QPoint b) { return std::pair(a.x(), a.y()) < std::pair(b.x(), b.y()); });
    return byOwner;
}

QMap<int, QPoint> SettlerIndex::firstPlots(int rows) const
{
    QMap<int, QPoint> first;
    for (const auto &[cell, owners] : m_owners) {
        const QPoint at(cell.first, rows - 1 - cell.second);
        for (int owner : owners) {
            const auto it = first.find(owner);
            if (it == first.end())
                first.insert(owner, at);
            else if (std::pair(at.x(), at.y()) < std::pair(it->x(), it->y()))
                *it = at;
        }
    }
    return first;
}

QList<PlayerStart> PlayerStarts::effective(const Document &doc)
{
    SettlerIndex settlers;
    settlers.scan(doc.PlotTexts);
    return effective(doc, settlers);
}

QList<PlayerStart> PlayerStarts::effective(const Document &doc, const SettlerIndex &settlers)
{
    const QMap<int, QPoint> first = settlers.firstPlots(doc.rowCount());
    QList<PlayerStart> list;
    for (int slot = 0; slot < doc.PlayerTexts.size(); ++slot) {
        PlayerStart s;
        s.player = slot;
        s.fromSettler = first.contains(slot);
        const std::optional<QPoint> at =
            s.fromSettler ? first.value(slot) : PlotFacts::startOf(doc.PlayerTexts[slot]).plot();
        if (!at || !doc.PlotTexts.contains(at->x(), at->y()))
            continue;
        s.at = *at;
        list << s;
    }
    return list;
}

std::optional<PlayerStart> PlayerStarts::effectiveOf(const Document &doc, int slot)
{
    for (const PlayerStart &s : effective(doc))
        if (s.player == slot)
            return s;
    return std::nullopt;
}

} // namespace vor4
