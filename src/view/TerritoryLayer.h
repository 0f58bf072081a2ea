#pragma once
// The territory layer: each land plot tinted with the colour of the player
// whose start is nearest to it, a plot as near to several starts hatched in
// the colours of two of them, and a border where the land changes hands.
// Drawn over the cells of a grid picture from a document and the territory
// shared out on it.

#include <QColor>
#include <QList>
#include <QRect>

class QPainter;

namespace vor4 {

class Document;
class Territory;
struct GridPaintParams;

class TerritoryLayer
{
public:
    // How much of a player's colour a plot takes.
    static constexpr int TintAlpha = 112;

    // The tint of each start of the territory, from its player's colour.
    static QList<QColor> tints(const Document &doc, const Territory &territory);
    // Draws the layer over the cells (grid cells, row 0 north) that the
    // parameters place in the picture; nothing when the territory is not
    // of the document's size.
    static void paint(QPainter &p, const Document &doc, const Territory &territory, const GridPaintParams &params,
                      const QRect &cells);
};

} // namespace vor4
