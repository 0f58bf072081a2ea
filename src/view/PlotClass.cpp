#include "PlotClass.h"

#include "TextUtil.h"


namespace vor4 {

namespace {

constexpr QRgb Fills[TerrainCount] = {
    qRgb(0, 0, 255),     // ocean
    qRgb(0, 128, 128),   // coast
    qRgb(0, 128, 0),     // grass
    qRgb(255, 255, 0),   // desert
    qRgb(128, 128, 0),   // plains
    qRgb(128, 128, 128), // tundra
    qRgb(255, 255, 255), // snow
    qRgb(0, 0, 0),       // anything else
};

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

// Keys end in "=", so a key occurs in a line exactly where the text before
// one of its "=" ends with the key's name. Names are lower-case letters only,
// which makes (c | 0x20) an exact case-insensitive test.
bool endsWithName(const char *line, qsizetype eq, const char *name, qsizetype n)
{
    if (eq < n)
        return false;
    const char *p = line + eq - n;
    for (qsizetype i = 0; i < n; ++i)
        if ((p[i] | 0x20) != name[i])
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
        if (endsWithName(line, eq, "terraintype", 11))
            return KeyTerrain;
        if (endsWithName(line, eq, "bonustype", 9))
            return KeyBonus;
        if (endsWithName(line, eq, "featuretype", 11))
            return KeyFeature;
        if (endsWithName(line, eq, "improvementtype", 15))
            return KeyImprovement;
        if ((next == '0' || next == '1') && endsWithName(line, eq, "plottype", 8))
            return next == '0' ? KeyPlot0 : KeyPlot1;
    } else if (last == 'l' && endsWithName(line, eq, "teamreveal", 10)) {
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
    return Fills[qBound(0, index, int(TerrainOther))];
}

bool terrainBlackMarks(int index)
{
    return index == TerrainDesert || index == TerrainSnow || index < 0 || index >= TerrainOther;
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
    // One pass over the bytes: line ends as forEachLine finds them, and at
    // each "=" the key that ends there.
    PlotClass c;
    const char *p = text.data();
    const char *const end = p + text.size();
    while (p < end) {
        const char *line = p;
        const char *firstEq = nullptr;
        unsigned keys = 0;
        int run = 0; // bytes since the last "=" or the line's start
        for (; p < end; ++p) {
            const char ch = *p;
            if (ch == '=') {
                if (!firstEq)
                    firstEq = p;
                keys |= keyAt(line, p - line, p + 1 < end ? p[1] : '\0');
                run = 0;
            } else if (ch == '\n' || ch == '\r') {
                break;
            } else if (++run == 32) {
                p = findEqualsOrLineEnd(p + 1, end) - 1; // a long stretch: skip it quickly
                run = 0;
            }
        }
        if (keys)
            applyLine(c, keys, QByteArrayView(firstEq + 1, p - firstEq - 1));
        if (p < end && *p == '\r' && p + 1 < end && p[1] == '\n')
            p += 2;
        else if (p < end)
            ++p;
    }
    return c;
}

int firstTerrainIndex(QByteArrayView text)
{
    // The minimap colours every plot of the map through this: jump from one
    // "=" to the next, and stop at the first key. The key holds no line
    // break, so the first line holding it is the line of its first match.
    static constexpr QByteArrayView Key("TerrainType");
    const char *const begin = text.data();
    const char *const end = begin + text.size();
    // A plain loop: plot texts are short, a library search's start-up
    // costs more than the bytes.
    for (const char *eq = begin + Key.size(); eq < end; ++eq) {
        if (*eq != '=' || (eq[-1] | 0x20) != 'e' || !equalsCi(QByteArrayView(eq - Key.size(), Key.size()), Key))
            continue;
        const char *start = eq - Key.size();
        while (start > begin && start[-1] != '\n' && start[-1] != '\r')
            --start;
        return terrainIndex(valueOf(QByteArrayView(start, findLineEnd(eq, end) - start)));
    }
    return -1;
}

} // namespace vor4
