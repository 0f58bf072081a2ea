#pragma once
// Make symmetric: one half of the map written over the other as its mirror
// image or its half-turn, with the rivers turned, the starts paired player
// by player, the units' owners following the pairing and the signs copied.
// With W x H plots and n = W / 2 (m = H / 2), the left half is x < n and
// its other side x > W - 1 - n; bottom is y < m (file coordinates, y from
// the bottom). An odd middle column or row belongs to neither side.

#include "MapDocument.h"

#include <QPoint>
#include <QString>
#include <optional>

namespace vor4 {

class Symmetry
{
public:
    enum Side { Left, Right, Bottom, Top };
    enum Mode { Mirror, HalfTurn };

    struct Result
    {
        bool ok = true;
        QString message; // the step's name and what it wrote, or why nothing was done
        QString warning; // source starts left without a partner, or empty
    };
    // One undo step.
    static Result makeSymmetric(MapDocument &doc, Side side, Mode mode);

    // "left", "right", "bottom", "top", letter case ignored.
    static std::optional<Side> sideNamed(QStringView word);
    static QString sideName(Side side);

    // The geometry, in cells (column, row; row 0 north) of a W x H grid.
    static bool inSource(QPoint cell, Side side, QSize grid);
    static bool inDestination(QPoint cell, Side side, QSize grid);
    static QPoint image(QPoint cell, Side side, Mode mode, QSize grid);
    static int turnedCompass(int direction, Side side, Mode mode);
};

} // namespace vor4
