#pragma once
// How a map picture looks: every colour, hatch, icon and mark that the
// cells, the pieces, the minimap, the legend and the exported pictures are
// drawn with. A style is a plain value; the painters take one and draw
// nothing from tables of their own.
//
// "Classic" is the editor's first look: pure terrain colours with symbols
// and hatches on them. "Terrain" is a calm look close to the game's: muted
// ground, relief shading, soft forests, small corner icons, and starts as
// flags in their player's colour.

#include "PlotClass.h"

#include <QByteArrayView>
#include <QColor>
#include <QString>
#include <QStringList>
#include <array>

namespace vor4 {

struct MapStyle
{
    // How cells and pieces are drawn; the colours below say in what.
    enum class Look : quint8 {
        Classic, // fills, hatches and symbols, sharing the grid's pen and brush
        Terrain, // muted fills, shading, textures and corner icons
    };
    enum class StartMark : quint8 { Disc, Flag };
    enum class UnitMark : quint8 { Badge, Figure };
    enum class SignMark : quint8 { Pennant, Pin };

    QString name; // as View > Map style and "vor4map render --style" name it
    Look look = Look::Classic;

    // Ground: a fill by TerrainIndex; the marks drawn on it are light, or
    // dark where `darkMarks` says so (Classic's desert, snow and others).
    std::array<QRgb, TerrainCount> fill{};
    std::array<bool, TerrainCount> darkMarks{};
    QRgb lightMark = 0xffffffffu;
    QRgb darkMark = 0xff000000u;
    // The minimap and thumbnail colour of a plot without a terrain line.
    QRgb noTerrain = 0xffffffffu;

    // Relief: Classic draws a triangle and an arc; Terrain shades the cell
    // as lit from the upper left, peaks blended towards rock.
    QRgb rock = 0xff000000u;
    int hillShade = 0; // alpha of the light and the shadow, 0 to 255
    int peakShade = 0;
    int peakRock = 0;  // how much of the rock a peak takes, 0 to 255

    // Features by Feature index: Classic's hatches (up to two, drawn in the
    // mark colour), Terrain's texture colours.
    std::array<std::array<Qt::BrushStyle, 2>, 6> hatches{};
    std::array<QRgb, 6> feature{};

    // Resources, improvements and team labels on a plot.
    QRgb bonus = 0;
    QRgb bonusOutline = 0;
    QRgb improvement = 0;
    QRgb improvementOutline = 0;
    QRgb team = 0;

    // Pieces.
    QRgb river = 0;
    int riverWidth16 = 3;  // width at cell size 16; scales with the cell
    QRgb markInk = 0;      // poles, pins' needles, outlines of pieces
    QRgb sign = 0;
    QRgb noOwner = 0;      // units without an owner
    StartMark start = StartMark::Disc;
    UnitMark units = UnitMark::Badge;
    SignMark signs = SignMark::Pennant;
    // Colours of the player slots whose "Color=" names none the style knows.
    std::array<QRgb, 18> slotPalette{};

    // The grid around the cells and the selected region over them.
    QRgb gridLine = 0;
    QRgb selectionTint = 0; // with alpha
    QRgb selectionLight = 0;
    QRgb selectionDark = 0;

    static const MapStyle &classic();
    static const MapStyle &terrain();
    // The styles' names, Classic first.
    static QStringList names();
    // A style by its name, letter case ignored; null for an unknown name.
    static const MapStyle *byName(QStringView name);

    // The ground colour of a classified plot as one colour, for the minimap
    // and the thumbnail: its terrain fill (peaks towards rock in Terrain),
    // `noTerrain` without a terrain line.
    QRgb plotColour(const PlotClass &plot) const;
    // A player's colour: the one its "Color=" value names
    // (PLAYERCOLOR_RED, PLAYERCOLOR_DARK_GREEN, ...), else the slot's.
    QColor playerColour(int slot, QByteArrayView colorValue) const;
    // Pixels a river is wide at this cell size, at least one.
    int riverWidth(int cellSize) const;
    // How many cells beyond its own a piece's mark may reach, at this
    // cell size: a start's flag stands out of a small cell.
    int pieceReach(int cellSize) const;

    bool operator==(const MapStyle &o) const;
    bool operator!=(const MapStyle &o) const { return !(*this == o); }
};

} // namespace vor4
