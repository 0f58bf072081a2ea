#pragma once
// What a plot text says about the look of its cell: terrain colour, marks and
// team label. Shared by the cell painter and the minimap render.

#include <QByteArrayView>
#include <QColor>
#include <QtGlobal>

namespace vor4 {

// The terrain colour table. Index 7 stands for every other value (black).
enum TerrainIndex : quint8 {
    TerrainOcean, TerrainCoast, TerrainGrass, TerrainDesert,
    TerrainPlains, TerrainTundra, TerrainSnow, TerrainOther,
    TerrainCount
};

constexpr QRgb RgbWhite = 0xffffffffu;
constexpr QRgb RgbBlack = 0xff000000u;

// Fill colour of a terrain index in the Classic style.
QRgb terrainFill(int index);
// Whether a terrain line of this index turns the marks black: the Classic
// style draws black marks on its light fills.
bool terrainBlackMarks(int index);
// The value of a "TerrainType=" line, as found in the file: upper-cased (a to z
// only) and compared whole, so a trailing blank makes it unrecognised.
int terrainIndex(QByteArrayView value);

enum class Feature : quint8 { None, Forest, Jungle, Ice, FloodPlains, Oasis };

struct PlotClass
{
    qint8 terrain = -1; // TerrainIndex of the last terrain line; -1 without one
    bool blackMarks = false;
    bool bonus = false;
    Feature feature = Feature::None;
    bool improvement = false;
    bool mountain = false;
    bool hill = false;
    // Points into the classified text (or a static "*"): valid as long as it.
    QByteArrayView teamLabel;

    bool hasFill() const { return terrain >= 0; }
    // The Classic style's fill and mark colours.
    QRgb fill() const { return terrainFill(terrain); }
    QRgb mark() const { return blackMarks ? RgbBlack : RgbWhite; }
};

// Reads the plot text line by line, the lines as PlotFacts reads them; each
// line counts for the first key it holds.
PlotClass classifyPlot(QByteArrayView text);

// The team label of a "TeamReveal=" value: the value without its commas when
// it names one entry, "*" for several, empty for none.
QByteArrayView teamLabelOf(QByteArrayView value);

// Only what one colour of the plot needs, as classifyPlot finds it: the
// terrain of its last terrain line and whether it is a peak or a hill. The
// minimap and the thumbnail read plots so, faster than whole.
PlotClass classifyGround(QByteArrayView text);

} // namespace vor4
