#include "PlotClass.h"

#include "MapStyle.h"
#include "PlotFacts.h"
#include "TextUtil.h"

namespace vor4 {

namespace {

// The names without their common "TERRAIN_" prefix.
constexpr QByteArrayView Names[TerrainOther] = {
    "OCEAN", "COAST", "GRASS", "DESERT", "PLAINS", "TUNDRA", "SNOW",
};

bool equalsUpper(const char *value, QByteArrayView name)
{
    for (qsizetype i = 0; i < name.size(); ++i)
        if (asciiUpper(value[i]) != name[i])
            return false;
    return true;
}

enum Key : unsigned {
    KeyTerrain = 1u << 0,
    KeyTeam = 1u << 1,
    KeyBonus = 1u << 2,
    KeyFeature = 1u << 3,
    KeyImprovement = 1u << 4,
    KeyPlot0 = 1u << 5,
    KeyPlot1 = 1u << 6,
};

// The key, if any, whose name ends just before the "=" at `eq`.
unsigned keyAt(const char *line, qsizetype eq, char next)
{
    const char last = char(eq > 0 ? (line[eq - 1] | 0x20) : 0);
    if (last == 'e') { // ...Type
        if (PlotFacts::keyBefore(line, eq, "terraintype"))
            return KeyTerrain;
        if (PlotFacts::keyBefore(line, eq, "bonustype"))
            return KeyBonus;
        if (PlotFacts::keyBefore(line, eq, "featuretype"))
            return KeyFeature;
        if (PlotFacts::keyBefore(line, eq, "improvementtype"))
            return KeyImprovement;
        if ((next == '0' || next == '1') && PlotFacts::keyBefore(line, eq, "plottype"))
            return next == '0' ? KeyPlot0 : KeyPlot1;
    } else if (last == 'l' && PlotFacts::keyBefore(line, eq, "teamreveal")) {
        return KeyTeam;
    }
    return 0;
}

void applyLine(PlotClass &c, unsigned keys, QByteArrayView value)
{
    const unsigned first = keys & (~keys + 1); // lowest bit: earliest test
    switch (first) {
    case KeyTerrain: {
        const int t = terrainIndex(value);
        c.terrain = qint8(t);
        if (terrainBlackMarks(t))
            c.blackMarks = true;
        break;
    }
    case KeyTeam:
        c.teamLabel = teamLabelOf(value);
        break;
    case KeyBonus:
        c.bonus = true;
        break;
    case KeyFeature:
        if (containsCi(value, "FEATURE_FOREST"))
            c.feature = Feature::Forest;
        else if (containsCi(value, "FEATURE_JUNGLE"))
            c.feature = Feature::Jungle;
        else if (containsCi(value, "FEATURE_ICE"))
            c.feature = Feature::Ice;
        else if (containsCi(value, "FEATURE_FLOOD_PLAINS"))
            c.feature = Feature::FloodPlains;
        else if (containsCi(value, "FEATURE_OASIS"))
            c.feature = Feature::Oasis;
        break;
    case KeyImprovement:
        c.improvement = true;
        break;
    case KeyPlot0:
        c.mountain = true;
        break;
    case KeyPlot1:
        c.hill = true;
        break;
    }
}

} // namespace

QRgb terrainFill(int index)
{
    return MapStyle::classic().fill[std::size_t(qBound(0, index, int(TerrainOther)))];
}

bool terrainBlackMarks(int index)
{
    return MapStyle::classic().darkMarks[std::size_t(qBound(0, index, int(TerrainOther)))];
}

int terrainIndex(QByteArrayView value)
{
    if (value.size() < 12 || value.size() > 14 || !equalsUpper(value.data(), "TERRAIN_"))
        return TerrainOther;
    const char *rest = value.data() + 8;
    const qsizetype n = value.size() - 8;
    for (int i = 0; i < TerrainOther; ++i)
        if (Names[i].size() == n && equalsUpper(rest, Names[i]))
            return i;
    return TerrainOther;
}

QByteArrayView teamLabelOf(QByteArrayView value)
{
    // A "," at the very end does not start another entry.
    const QByteArrayView body = value.endsWith(',') ? value.chopped(1) : value;
    if (body.contains(','))
        return QByteArrayView("*");
    return body;
}

PlotClass classifyPlot(QByteArrayView text)
{
    // One pass over the lines for every key; a later terrain line wins, as
    // PlotFacts::lastValue reads it.
    PlotClass c;
    PlotFacts::forEachValue(text, keyAt, [&c](unsigned keys, QByteArrayView value) {
        applyLine(c, keys, value);
        return true;
    });
    return c;
}

PlotClass classifyGround(QByteArrayView text)
{
    // A line counts for its first key, as in classifyPlot: "BonusType=B,
    // PlotType=0" makes no peak.
    PlotClass c;
    PlotFacts::forEachValue(text, keyAt, [&c](unsigned keys, QByteArrayView value) {
        if ((keys & (~keys + 1)) & (KeyTerrain | KeyPlot0 | KeyPlot1))
            applyLine(c, keys, value);
        return true;
    });
    c.blackMarks = false;
    return c;
}

} // namespace vor4
