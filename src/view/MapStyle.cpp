#include "MapStyle.h"

#include "TextUtil.h"

#include <iterator>

namespace vor4 {

namespace {

struct NamedColour
{
    const char *name;
    QRgb rgb;
};

// The game's player colours by the names of their "Color=" values.
const NamedColour BaseColours[] = {
    {"BLACK", 0x202020}, {"BLUE", 0x2050e0},   {"BROWN", 0x8b5a2b}, {"CYAN", 0x20d0e0},   {"GRAY", 0x909090},
    {"GREY", 0x909090},  {"GREEN", 0x20b030},  {"LEMON", 0xe8f048}, {"ORANGE", 0xf08020}, {"PEACH", 0xf8b888},
    {"PINK", 0xf070c0},  {"PURPLE", 0x9030c0}, {"RED", 0xe02020},   {"WHITE", 0xf4f4f4},  {"YELLOW", 0xf0e020},
};

// Distinct enough from each other and from the terrain colours.
constexpr std::array<QRgb, 18> SlotPalette = {
    0xffe02020, 0xff2050e0, 0xfff0e020, 0xff9030c0, 0xff20b030, 0xfff08020, 0xff20d0e0, 0xfff070c0, 0xff8b5a2b,
    0xfff4f4f4, 0xff202020, 0xff906000, 0xff008080, 0xff800000, 0xff808000, 0xff000080, 0xffa0a0ff, 0xffff8080};

MapStyle makeClassic()
{
    MapStyle s;
    s.name = QStringLiteral("Classic");
    s.look = MapStyle::Look::Classic;
    s.fill = {qRgb(0, 0, 255),     qRgb(0, 128, 128),   qRgb(0, 128, 0),     qRgb(255, 255, 0),
              qRgb(128, 128, 0),   qRgb(128, 128, 128), qRgb(255, 255, 255), qRgb(0, 0, 0)};
    s.darkMarks = {false, false, false, true, false, false, true, true};
    s.lightMark = qRgb(255, 255, 255);
    s.darkMark = qRgb(0, 0, 0);
    s.noTerrain = qRgb(255, 255, 255);
    s.rock = qRgb(0, 0, 0);
    s.hatches[int(Feature::Forest)] = {Qt::CrossPattern, Qt::DiagCrossPattern};
    s.hatches[int(Feature::Jungle)] = {Qt::DiagCrossPattern, Qt::NoBrush};
    // Lines from upper left to lower right.
    s.hatches[int(Feature::Ice)] = {Qt::FDiagPattern, Qt::NoBrush};
    s.hatches[int(Feature::FloodPlains)] = {Qt::VerPattern, Qt::NoBrush};
    s.bonus = qRgb(255, 0, 255);
    s.improvement = qRgb(255, 0, 0);
    s.team = qRgb(0, 255, 0);
    s.river = qRgb(30, 90, 255);
    s.riverWidth16 = 3;
    s.markInk = qRgb(0, 0, 0);
    s.sign = qRgb(255, 140, 0);
    s.noOwner = qRgb(160, 160, 164);
    s.start = MapStyle::StartMark::Disc;
    s.units = MapStyle::UnitMark::Badge;
    s.signs = MapStyle::SignMark::Pennant;
    s.slotPalette = SlotPalette;
    s.gridLine = qRgb(192, 192, 192);
    // A tint light enough to read the terrain through, and an outline in two
    // colours that stands out on light and dark cells alike.
    s.selectionTint = qRgba(255, 255, 255, 70);
    s.selectionLight = qRgb(255, 255, 0);
    s.selectionDark = qRgb(0, 0, 0);
    return s;
}

MapStyle makeTerrain()
{
    MapStyle s = makeClassic();
    s.name = QStringLiteral("Terrain");
    s.look = MapStyle::Look::Terrain;
    // Sea in two blues, land in greens and earth colours: the two tell
    // apart by hue and by lightness, down to a pixel.
    s.fill = {qRgb(38, 86, 140),   qRgb(84, 146, 196),  qRgb(112, 156, 74),  qRgb(222, 202, 140),
              qRgb(170, 164, 92),  qRgb(150, 152, 128), qRgb(240, 243, 246), qRgb(120, 102, 118)};
    s.darkMarks = {false, false, false, false, false, false, false, false};
    s.rock = qRgb(128, 116, 100);
    s.hillShade = 70;
    s.peakShade = 110;
    s.peakRock = 150;
    s.hatches = {};
    s.feature[int(Feature::Forest)] = qRgb(46, 92, 40);
    s.feature[int(Feature::Jungle)] = qRgb(24, 104, 58);
    s.feature[int(Feature::Ice)] = qRgb(244, 248, 252);
    s.feature[int(Feature::FloodPlains)] = qRgb(92, 134, 60);
    s.feature[int(Feature::Oasis)] = qRgb(60, 150, 190);
    s.bonus = qRgb(240, 184, 32);
    s.bonusOutline = qRgb(80, 56, 10);
    s.improvement = qRgb(236, 222, 190);
    s.improvementOutline = qRgb(120, 74, 40);
    s.team = qRgba(150, 255, 120, 150);
    s.river = qRgb(52, 120, 210);
    s.riverWidth16 = 2;
    s.markInk = qRgb(28, 28, 28);
    s.sign = qRgb(214, 44, 44);
    s.start = MapStyle::StartMark::Flag;
    s.units = MapStyle::UnitMark::Figure;
    s.signs = MapStyle::SignMark::Pin;
    s.gridLine = qRgb(100, 110, 118);
    return s;
}

} // namespace

const MapStyle &MapStyle::classic()
{
    static const MapStyle style = makeClassic();
    return style;
}

const MapStyle &MapStyle::terrain()
{
    static const MapStyle style = makeTerrain();
    return style;
}

QStringList MapStyle::names()
{
    return {classic().name, terrain().name};
}

const MapStyle *MapStyle::byName(QStringView name)
{
    for (const MapStyle *s : {&classic(), &terrain()})
        if (name.compare(s->name, Qt::CaseInsensitive) == 0)
            return s;
    return nullptr;
}

QRgb MapStyle::plotColour(const PlotClass &plot) const
{
    if (!plot.hasFill())
        return noTerrain;
    const QRgb ground = fill[std::size_t(qBound(0, int(plot.terrain), int(TerrainOther)))];
    if (look != Look::Terrain || !plot.mountain || peakRock <= 0)
        return ground;
    const auto mix = [this](int a, int b) { return (a * (255 - peakRock) + b * peakRock + 127) / 255; };
    return qRgb(mix(qRed(ground), qRed(rock)), mix(qGreen(ground), qGreen(rock)), mix(qBlue(ground), qBlue(rock)));
}

QColor MapStyle::playerColour(int slot, QByteArrayView colorValue) const
{
    QByteArray colour = trimmed(colorValue).toByteArray().toUpper();
    if (colour.startsWith("PLAYERCOLOR_")) {
        colour = colour.mid(12);
        int shade = 100; // QColor::darker/lighter factor
        for (;;) {
            if (colour.startsWith("DARK_")) {
                shade += 40;
                colour = colour.mid(5);
            } else if (colour.startsWith("LIGHT_")) {
                shade -= 30;
                colour = colour.mid(6);
            } else if (colour.startsWith("MIDDLE_")) {
                colour = colour.mid(7);
            } else {
                break;
            }
        }
        for (const NamedColour &c : BaseColours)
            if (colour == c.name) {
                const QColor base(c.rgb);
                return shade >= 100 ? base.darker(shade) : base.lighter(200 - shade);
            }
    }
    return QColor(slotPalette[std::size_t(qAbs(slot)) % slotPalette.size()]);
}

int MapStyle::riverWidth(int cellSize) const
{
    return qMax(1, (cellSize * riverWidth16 + 8) / 16);
}

int MapStyle::pieceReach(int cellSize) const
{
    // A flag is at least FlagBox pixels tall, standing on its cell's bottom.
    constexpr int FlagBox = 14;
    if (start != StartMark::Flag || cellSize >= FlagBox)
        return 1; // rivers lie on the edge to the next cell
    return (FlagBox - cellSize + cellSize - 1) / cellSize + 1;
}

bool MapStyle::operator==(const MapStyle &o) const
{
    return name == o.name && look == o.look && fill == o.fill && darkMarks == o.darkMarks && lightMark == o.lightMark
        && darkMark == o.darkMark && noTerrain == o.noTerrain && rock == o.rock && hillShade == o.hillShade
        && peakShade == o.peakShade && peakRock == o.peakRock && hatches == o.hatches && feature == o.feature
        && bonus == o.bonus && bonusOutline == o.bonusOutline && improvement == o.improvement
        && improvementOutline == o.improvementOutline && team == o.team && river == o.river
        && riverWidth16 == o.riverWidth16 && markInk == o.markInk && sign == o.sign && noOwner == o.noOwner
        && start == o.start && units == o.units && signs == o.signs && slotPalette == o.slotPalette
        && gridLine == o.gridLine && selectionTint == o.selectionTint && selectionLight == o.selectionLight
        && selectionDark == o.selectionDark;
}

} // namespace vor4
