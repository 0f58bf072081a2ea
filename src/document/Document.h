#pragma once
// The one document of the editor: every store of a world-builder save file.

#include "LineBuffer.h"
#include "PlotTable.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <limits>

namespace vor4 {

// The map header values the editor keeps as read and writes back; a new
// map has the values below.
struct MapHeaderValues
{
    int wrapX = 1;
    int wrapY = 0;
    QByteArray topLatitude = "90";
    QByteArray bottomLatitude = "-90";
    bool operator==(const MapHeaderValues &o) const
    {
        return wrapX == o.wrapX && wrapY == o.wrapY && topLatitude == o.topLatitude
            && bottomLatitude == o.bottomLatitude;
    }
    bool operator!=(const MapHeaderValues &o) const { return !(*this == o); }
};

class Document
{
public:
    // Team and player slots of a new document; a file may bring more.
    static constexpr int SlotCount = 18;
    // Bound of the grid in plots; far above the game's largest maps.
    static constexpr qint64 MaxPlots = 4194304;

    Document() { ResetDocument(0, 0); }

    // Replaces every store; keeps FileName. Width and height below 1 give a
    // grid of one column or row, and a map without a size (hasSize).
    void ResetDocument(int width, int height);

    int columnCount() const { return PlotTexts.columnCount(); }
    int rowCount() const { return PlotTexts.rowCount(); }
    // A copy of every store that shares no plot text memory with this one;
    // `plots` may have been made ready with PlotTable::prepareCopy.
    Document deepCopy(PlotTable plots = {}) const;

    // The file's y of a grid row: rows count from the top (north), y from
    // the bottom; the file's x is the column. The same turns a y into its
    // row. Far off the map the result saturates: it stays off the map.
    int fileY(int row) const
    {
        const qint64 y = qint64(rowCount()) - 1 - row;
        return int(qBound(qint64(std::numeric_limits<int>::min()), y, qint64(std::numeric_limits<int>::max())));
    }
    // Sets the grid size (each at least 1) and gives PlotTexts the same counts.
    void setGridSize(int columns, int rows);

    LineBuffer FileLines;
    QList<QByteArray> GameLines;
    QList<QByteArray> TeamTexts;   // at least SlotCount slots
    QList<QByteArray> PlayerTexts; // at least SlotCount slots
    QList<QByteArray> MapLines;
    MapHeaderValues Header;
    // One text per sign block of the file, in file order.
    QList<QByteArray> SignTexts;
    PlotTable PlotTexts;
    // A size was given: by the reset, a map line read or a resize. The grid
    // of a map without one shows one plot, but there is no minimap picture.
    bool hasSize = false;
    QString FileName;
};

} // namespace vor4
