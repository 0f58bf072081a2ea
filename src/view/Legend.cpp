#include "Legend.h"

#include "CellPainter.h"
#include "PlotTable.h"

#include <QPainter>
#include <iterator>

namespace vor4 {

namespace {

const LegendEntry Entries[] = {
    {"TerrainType=TERRAIN_OCEAN", "ocean (blue)"},
    {"TerrainType=TERRAIN_COAST", "coast (teal)"},
    {"TerrainType=TERRAIN_GRASS", "grassland (green)"},
    {"TerrainType=TERRAIN_PLAINS", "plains (olive)"},
    {"TerrainType=TERRAIN_DESERT", "desert (yellow, black marks)"},
    {"TerrainType=TERRAIN_TUNDRA", "tundra (grey)"},
    {"TerrainType=TERRAIN_SNOW", "snow (white, black marks)"},
    {"TerrainType=TERRAIN_MARSH", "any other terrain (black)"},
    {"", "no terrain line, or an empty plot"},
    {"TerrainType=TERRAIN_GRASS\r\nPlotType=0", "PlotType=0: peak (triangle)"},
    {"TerrainType=TERRAIN_GRASS\r\nPlotType=1", "PlotType=1: hill (quarter arc and slash)"},
    {"TerrainType=TERRAIN_OCEAN\r\nBonusType=BONUS_FISH", "any bonus (magenta disc)"},
    {"TerrainType=TERRAIN_GRASS\r\nFeatureType=FEATURE_FOREST", "forest (square and diagonal hatch)"},
    {"TerrainType=TERRAIN_GRASS\r\nFeatureType=FEATURE_JUNGLE", "jungle (diagonal cross hatch)"},
    {"TerrainType=TERRAIN_OCEAN\r\nFeatureType=FEATURE_ICE", "ice (diagonal hatch)"},
    {"TerrainType=TERRAIN_DESERT\r\nFeatureType=FEATURE_FLOOD_PLAINS", "flood plains (vertical hatch)"},
    {"TerrainType=TERRAIN_DESERT\r\nFeatureType=FEATURE_OASIS", "oasis (flat ring)"},
    {"TerrainType=TERRAIN_PLAINS\r\nImprovementType=IMPROVEMENT_FARM", "any improvement (red cross)"},
    {"TerrainType=TERRAIN_COAST\r\nTeamReveal=1,", "revealed to team 1 (green label)"},
    {"TerrainType=TERRAIN_COAST\r\nTeamReveal=1,2,", "revealed to several teams (*)"},
};

constexpr int Cell = 32, RowHeight = Cell + 8, ColumnWidth = 330;
constexpr int Rows = int(std::size(Entries) + 1) / 2;

} // namespace

QList<LegendEntry> legendEntries() { return QList<LegendEntry>(std::begin(Entries), std::end(Entries)); }

QRect legendCell(int index)
{
    return QRect(8 + index / Rows * ColumnWidth, 8 + index % Rows * RowHeight, Cell, Cell);
}

QImage legendImage()
{
    QImage image(2 * ColumnWidth, Rows * RowHeight + 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    PlotTable plot;
    plot.resize(1, 1);
    for (int i = 0; i < int(std::size(Entries)); ++i) {
        const QRect box = legendCell(i);
        plot.setText(0, 0, Entries[i].plotText);
        p.setPen(QColor(192, 192, 192)); // the grid's line pen, which the painter finds
        p.setBrush(Qt::white);
        p.drawRect(box.adjusted(-1, -1, 0, 0));
        drawCell(p, plot, 0, 0, box, LayerSwitches(), nullptr);
        p.setPen(Qt::black);
        p.drawText(QRect(box.topRight() + QPoint(11, 0), QSize(ColumnWidth - Cell - 18, Cell)),
                   Qt::AlignVCenter | Qt::AlignLeft, QLatin1String(Entries[i].meaning));
    }
    return image;
}

} // namespace vor4
