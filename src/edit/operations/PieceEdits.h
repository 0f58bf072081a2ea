#pragma once
// The pieces on the map changed one undoable step at a time: a player's
// start position, the units of a plot, a river edge. Plots are cells
// (column, row; row 0 north). vor4map edit calls them; so may the editor.

#include "EditOperations.h"

#include <QList>
#include <QPoint>

namespace vor4 {

class MapDocument;

class PieceEdits
{
public:
    using Result = EditOperations::Result;
    // The sides of a plot, numbered as the file numbers flows.
    enum Side { North = 0, East = 1, South = 2, West = 3 };

    // The start line rewritten as "StartingX=X, StartingY=Y", added at the
    // end of the player text when it has none.
    static Result setStart(MapDocument &doc, int player, QPoint cell);
    static Result removeStart(MapDocument &doc, int player);
    // The unit sub-blocks of `from` appended to the text of `to`, in order,
    // their bytes as they were.
    static Result moveUnits(MapDocument &doc, QPoint from, QPoint to);
    // The river edge on that side of the plot, flowing `flow` (a compass
    // point along the edge), written on the plot that carries it: the one
    // north of a horizontal edge, west of a vertical one. Its river lines
    // are written again in front, in the file's order.
    static Result setRiver(MapDocument &doc, QPoint cell, Side side, int flow);
    static Result removeRiver(MapDocument &doc, QPoint cell, Side side);
    // Several river edges added (flow a compass point) or removed (flow -1)
    // as one step; edges without a carrier on the map, or with a flow
    // across them, are skipped.
    struct RiverEdit
    {
        QPoint cell;
        Side side = North;
        int flow = -1;
    };
    static Result editRivers(MapDocument &doc, const QList<RiverEdit> &edits, const QString &name);
    static Result removeUnits(MapDocument &doc, QPoint cell);
    // A sign block "plotX=", "plotY=", "playerType=-1", "caption=" added
    // after the others; every sign on the plot removed.
    static Result addSign(MapDocument &doc, QPoint cell, const QByteArray &caption);
    static Result removeSigns(MapDocument &doc, QPoint cell);
};

} // namespace vor4
