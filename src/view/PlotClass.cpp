#include "PlotClass.h"

#include "TextUtil.h"

#include <cstring>

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

constexpr const char *Names[TerrainOther] = {
    "TERRAIN_OCEAN", "TERRAIN_COAST", "TERRAIN_GRASS", "TERRAIN_DESERT",
    "TERRAIN_PLAINS", "TERRAIN_TUNDRA", "TERRAIN_SNOW",
};

bool equalsUpper(QByteArrayView value, const char *name)
{
    const qsizetype n = qsizetype(std::strlen(name));
    if (value.size() != n)
        return false;
    for (qsizetype i = 0; i < n; ++i)
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

unsigned keysOf(QByteArrayView line)
{
    const char *d = line.data();
    const qsizetype n = line.size();
    unsigned keys = 0;
    const char *p = d;
    while (const void *hit = std::memchr(p, '=', std::size_t(d + n - p))) {
        const char *e = static_cast<const char *>(hit);
        const qsizetype eq = e - d;
        const char last = char(eq > 0 ? (d[eq - 1] | 0x20) : 0);
        if (last == 'e') { // ...Type
            if (endsWithName(d, eq, "terraintype", 11))
                keys |= KeyTerrain;
            else if (endsWithName(d, eq, "bonustype", 9))
                keys |= KeyBonus;
            else if (endsWithName(d, eq, "featuretype", 11))
                keys |= KeyFeature;
            else if (endsWithName(d, eq, "improvementtype", 15))
                keys |= KeyImprovement;
            else if (eq + 1 < n && endsWithName(d, eq, "plottype", 8)) {
                if (d[eq + 1] == '0')
                    keys |= KeyPlot0;
                else if (d[eq + 1] == '1')
                    keys |= KeyPlot1;
            }
        } else if (last == 'l' && endsWithName(d, eq, "teamreveal", 10)) {
            keys |= KeyTeam;
        }
        p = e + 1;
    }
    return keys;
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
    if (value.size() < 12 || value.size() > 14)
        return TerrainOther;
    for (int i = 0; i < TerrainOther; ++i)
        if (equalsUpper(value, Names[i]))
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
    PlotClass c;
    forEachLine(text, [&c](QByteArrayView line) {
        const unsigned keys = keysOf(line);
        if (!keys)
            return;
        const unsigned first = keys & (~keys + 1); // lowest bit: earliest test
        switch (first) {
        case KeyTerrain: {
            const int t = terrainIndex(valueOf(line));
            c.terrain = qint8(t);
            if (terrainBlackMarks(t))
                c.blackMarks = true;
            break;
        }
        case KeyTeam:
            c.teamLabel = teamLabelOf(valueOf(line));
            break;
        case KeyBonus:
            c.bonus = true;
            break;
        case KeyFeature: {
            const QByteArrayView v = valueOf(line);
            if (containsCi(v, "FEATURE_FOREST"))
                c.feature = Feature::Forest;
            else if (containsCi(v, "FEATURE_JUNGLE"))
                c.feature = Feature::Jungle;
            else if (containsCi(v, "FEATURE_ICE"))
                c.feature = Feature::Ice;
            else if (containsCi(v, "FEATURE_FLOOD_PLAINS"))
                c.feature = Feature::FloodPlains;
            else if (containsCi(v, "FEATURE_OASIS"))
                c.feature = Feature::Oasis;
            break;
        }
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
    });
    return c;
}

int firstTerrainIndex(QByteArrayView text)
{
    int found = -1;
    forEachLine(text, [&found](QByteArrayView line) {
        if (found < 0 && containsCi(line, "TerrainType="))
            found = terrainIndex(valueOf(line));
    });
    return found;
}

} // namespace vor4
