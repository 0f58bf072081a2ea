#include "Legend.h"

#include "CellPainter.h"

#include <QPainter>
#include <iterator>

namespace vor4 {

namespace {

const LegendEntry Entries[] = {
    {"TerrainType=TERRAIN_OCEAN", "ocean (blue)", 0, "ocean (deep blue)"},
    {"TerrainType=TERRAIN_COAST", "coast (teal)", 0, "coast (light blue)"},
    {"TerrainType=TERRAIN_GRASS", "grassland (green)", 0, "grassland (green)"},
    {"TerrainType=TERRAIN_PLAINS", "plains (olive)", 0, "plains (khaki)"},
    {"TerrainType=TERRAIN_DESERT", "desert (yellow, black marks)", 0, "desert (sand)"},
    {"TerrainType=TERRAIN_TUNDRA", "tundra (grey)", 0, "tundra (grey green)"},
    {"TerrainType=TERRAIN_SNOW", "snow (white, black marks)", 0, "snow (white)"},
    {"TerrainType=TERRAIN_MARSH", "any other terrain (black)", 0, "any other terrain (mauve)"},
    {"", "no terrain line, or an empty plot", 0, nullptr},
    {"TerrainType=TERRAIN_GRASS\r\nPlotType=0", "PlotType=0: peak (triangle)", 10,
     "PlotType=0: peak (rock, shaded)"},
    {"TerrainType=TERRAIN_GRASS\r\nPlotType=1", "PlotType=1: hill (quarter arc and slash)", 11,
     "PlotType=1: hill (shaded)"},
    {"TerrainType=TERRAIN_OCEAN\r\nBonusType=BONUS_FISH", "any bonus (magenta disc)", 1,
     "any bonus (gold diamond, upper left)"},
    {"TerrainType=TERRAIN_GRASS\r\nFeatureType=FEATURE_FOREST", "forest (square and diagonal hatch)", 5,
     "forest (dark crowns)"},
    {"TerrainType=TERRAIN_GRASS\r\nFeatureType=FEATURE_JUNGLE", "jungle (diagonal cross hatch)", 6,
     "jungle (dense crowns)"},
    {"TerrainType=TERRAIN_OCEAN\r\nFeatureType=FEATURE_ICE", "ice (diagonal hatch)", 7, "ice (white floes)"},
    {"TerrainType=TERRAIN_DESERT\r\nFeatureType=FEATURE_FLOOD_PLAINS", "flood plains (vertical hatch)", 8,
     "flood plains (green stripes)"},
    {"TerrainType=TERRAIN_DESERT\r\nFeatureType=FEATURE_OASIS", "oasis (flat ring)", 9, "oasis (a pool)"},
    {"TerrainType=TERRAIN_PLAINS\r\nImprovementType=IMPROVEMENT_FARM", "any improvement (red cross)", 3,
     "any improvement (a field, lower left)"},
    {"TerrainType=TERRAIN_COAST\r\nTeamReveal=1,", "revealed to team 1 (green label)", 4,
     "revealed to team 1 (faint green frame, label)"},
    {"TerrainType=TERRAIN_COAST\r\nTeamReveal=1,2,", "revealed to several teams (*)", 4,
     "revealed to several teams (*)"},
    {"TerrainType=TERRAIN_GRASS", "Player 3 start (its colour, its number)", PieceLayer + 0,
     "Player 3 start (its flag and number)"},
    {"TerrainType=TERRAIN_GRASS", "units: how many, in the owner's colour", PieceLayer + 1,
     "units: a figure in the owner's colour"},
    {"TerrainType=TERRAIN_GRASS", "a sign", PieceLayer + 2, "a sign (a pin)"},
    {"TerrainType=TERRAIN_GRASS", "river along a plot edge, flowing east", PieceLayer + 3, nullptr},
};

constexpr int Cell = 32, RowHeight = Cell + 8, ColumnWidth = 330;

// A piece's mark on its sample cell, as the grid's overlay draws it.
void drawPiece(QPainter &p, int piece, const QRect &cell, const MapStyle &style)
{
    const QColor colour = style.playerColour(3, {});
    switch (piece) {
    case 0: drawStart(p, cell, 3, colour, style); break;
    case 1: drawUnits(p, cell, 2, colour, style); break;
    case 2: drawSign(p, cell, style); break;
    default:
        drawRiverEdge(p, cell.adjusted(0, -Cell / 2, 0, -Cell / 2), PlotFacts::SouthEdge, PlotFacts::East, style);
        break;
    }
}

} // namespace

QList<LegendEntry> legendEntries() { return QList<LegendEntry>(std::begin(Entries), std::end(Entries)); }

bool legendShows(const LegendEntry &entry, const LayerSwitches &layers, const PieceLayers &pieces)
{
    if (entry.layer >= PieceLayer)
        return pieces[entry.layer - PieceLayer];
    // The five feature marks go with their master switch too.
    return layers[entry.layer] && (entry.layer < 5 || entry.layer > 9 || layers.feature);
}

QRect legendCell(int index, int shown)
{
    const int rows = qMax(1, (shown + 1) / 2);
    return QRect(8 + index / rows * ColumnWidth, 8 + index % rows * RowHeight, Cell, Cell);
}

QString legendMeaning(const LegendEntry &entry, const MapStyle &style)
{
    const bool terrain = style.look == MapStyle::Look::Terrain && entry.terrainMeaning;
    return QLatin1String(terrain ? entry.terrainMeaning : entry.meaning);
}

QImage legendImage(const LayerSwitches &layers, const PieceLayers &pieces, const MapStyle &style)
{
    QList<LegendEntry> shown;
    for (const LegendEntry &e : Entries)
        if (legendShows(e, layers, pieces))
            shown << e;
    const int rows = qMax(1, int(shown.size() + 1) / 2);
    QImage image(2 * ColumnWidth, rows * RowHeight + 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (int i = 0; i < int(shown.size()); ++i) {
        const QRect box = legendCell(i, int(shown.size()));
        p.setPen(QColor::fromRgb(style.gridLine)); // the grid's line pen, which the painter finds
        p.setBrush(Qt::white);
        p.drawRect(box.adjusted(-1, -1, 0, 0));
        paintPlot(p, classifyPlot(shown[i].plotText), box, layers, style);
        if (shown[i].layer >= PieceLayer)
            drawPiece(p, shown[i].layer - PieceLayer, box, style);
        p.setPen(Qt::black);
        p.drawText(QRect(box.topRight() + QPoint(11, 0), QSize(ColumnWidth - Cell - 18, Cell)),
                   Qt::AlignVCenter | Qt::AlignLeft, legendMeaning(shown[i], style));
    }
    return image;
}

} // namespace vor4
