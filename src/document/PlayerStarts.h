#pragma once
// Where each player starts, one rule for every feature: a player's
// effective start is the plot of its first settler (the first in the order
// x, then y, of the file's coordinates), else its start line. The game
// founds the first city where the settler stands, so a start line away
// from the settler is stale. Plots are in the file's coordinates (x from
// the left, y from the bottom).

#include "PlotFacts.h"

#include <QList>
#include <QMap>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <map>
#include <optional>

namespace vor4 {

class Document;
class PlotTable;

// The settlers on the map by cell, and the owners of all units, kept up to
// date by rescanning the cells that change, so that finding the starts does
// not read the whole map.
class SettlerIndex
{
public:
    // Rescans the cells of the area (grid cells, row 0 north; a null area is
    // the whole table, and forgets every other cell).
    void scan(const PlotTable &plots, const QRect &area = QRect());
    // Rescans only these cells (say the plots known to hold units).
    void scanCells(const PlotTable &plots, const QList<QPoint> &cells);
    // Takes in the cells of an index of other cells of the same table (a
    // scan in parts at once).
    void merge(SettlerIndex &&other);
    // Each owner's first settler plot in the order x, then y (file's plots).
    QMap<int, QPoint> firstPlots(int rows) const;
    // Each owner's settler plots, in the order x, then y.
    QMap<int, QList<QPoint>> plotsByOwner(int rows) const;
    // The owners of the units on the map, settlers or not, each once.
    QList<int> unitOwners() const;

    // The owners of the settlers among a plot's units, each once: which
    // unit makes its owner start there.
    static QList<int> settlerOwners(const QList<PlotFacts::Unit> &units);
    // One cell's settler owners as a reader of the whole plot found them
    // (none forgets the cell), for readers that look at every plot anyway;
    // unitOwners() does not follow such a cell.
    void setCell(int col, int row, const QList<int> &owners);
    void clear() { m_owners.clear(); }

private:
    std::map<std::pair<int, int>, QList<int>> m_owners; // cell -> settler owners
    std::map<std::pair<int, int>, QList<int>> m_units;  // cell -> owners of every unit
    QSize m_size; // of the grid last scanned
};

struct PlayerStart
{
    int player = 0;
    bool fromSettler = false; // else the player's start line
    QPoint at;                // file's plot
};

class PlayerStarts
{
public:
    // Per player slot, in slot order: its effective start; none for a slot
    // with neither a settler nor a start line, or whose plot is off the map.
    static QList<PlayerStart> effective(const Document &doc, const SettlerIndex &settlers);
    static QList<PlayerStart> effective(const Document &doc);
    // One slot's effective start, read from the whole map.
    static std::optional<PlayerStart> effectiveOf(const Document &doc, int slot);
};

} // namespace vor4
