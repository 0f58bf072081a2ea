#include "PlayerStarts.h"

#include "Document.h"
#include "PlotFacts.h"

namespace vor4 {

void SettlerIndex::scan(const PlotTable &plots, const QRect &area)
{
    const QRect all(0, 0, plots.columnCount(), plots.rowCount());
    const QRect r = area.isNull() ? all : area & all;
    if (area.isNull())
        m_owners.clear();
    else
        for (auto it = m_owners.begin(); it != m_owners.end();)
            // Cells a smaller grid has lost go too.
            it = r.contains(it->first.first, it->first.second) || !all.contains(it->first.first, it->first.second)
                ? m_owners.erase(it)
                : std::next(it);
    for (int col = r.left(); col <= r.right(); ++col)
        for (int row = r.bottom(); row >= r.top(); --row) {
            const QList<int> owners = settlerOwners(PlotFacts::unitsOf(plots.view(col, row)));
            if (!owners.isEmpty())
                m_owners[{col, row}] = owners;
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
    for (const QPoint &cell : cells)
        setCell(cell.x(), cell.y(),
                plots.contains(cell.x(), cell.y()) ? settlerOwners(PlotFacts::unitsOf(plots.view(cell.x(), cell.y())))
                                                   : QList<int>());
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
