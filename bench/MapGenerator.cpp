#include "MapGenerator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace vor4 {

namespace {

// Integer hashing and noise only: the same bytes on every compiler and
// machine, so benchmark figures always compare the same file.
std::uint32_t mix(std::uint32_t h)
{
    h ^= h >> 16;
    h *= 0x7feb352dU;
    h ^= h >> 15;
    h *= 0x846ca68bU;
    h ^= h >> 16;
    return h;
}

std::uint32_t hash(std::uint32_t seed, std::uint32_t a, std::uint32_t b, std::uint32_t salt)
{
    return mix(seed ^ mix(a * 0x9e3779b1U ^ mix(b * 0x85ebca77U ^ mix(salt + 0x27d4eb2fU))));
}

// A number in [0, n) for cell (x, y) and a purpose.
std::uint32_t pick(std::uint32_t seed, int x, int y, std::uint32_t salt, std::uint32_t n)
{
    return std::uint32_t((std::uint64_t(hash(seed, std::uint32_t(x), std::uint32_t(y), salt)) * n) >> 32);
}

// Smooth value noise, 0 .. 65535, summed over octaves from coarse to fine.
class Noise
{
public:
    Noise(std::uint32_t seed, std::uint32_t salt, int columns, int rows)
        : m_seed(seed), m_salt(salt)
    {
        // Slowly falling amplitudes keep the coarse lattice from showing.
        static const int amplitudes[] = {100, 60, 36, 22, 13, 8};
        int cell = std::max(2, std::max(columns, rows) / 4);
        for (int amplitude : amplitudes) {
            m_octaves.push_back({cell, amplitude});
            m_total += amplitude;
            cell = std::max(2, cell / 2);
        }
    }

    int at(int x, int y) const
    {
        std::int64_t sum = 0;
        for (std::size_t i = 0; i < m_octaves.size(); ++i)
            sum += std::int64_t(octave(x, y, m_octaves[i].cell, std::uint32_t(i))) * m_octaves[i].amplitude;
        return int(sum / m_total);
    }

private:
    struct Octave { int cell; int amplitude; };

    static std::int64_t smooth(std::int64_t t) // t in 0 .. 65536
    {
        return t * t * (3 * 65536 - 2 * t) / (std::int64_t(65536) * 65536);
    }

    int lattice(int gx, int gy, std::uint32_t octave) const
    {
        return int(hash(m_seed, std::uint32_t(gx), std::uint32_t(gy), m_salt * 16 + octave) >> 16);
    }

    int octave(int x, int y, int cell, std::uint32_t o) const
    {
        const int gx = x / cell, gy = y / cell;
        const std::int64_t tx = smooth(std::int64_t(x % cell) * 65536 / cell);
        const std::int64_t ty = smooth(std::int64_t(y % cell) * 65536 / cell);
        const std::int64_t a = lattice(gx, gy, o), b = lattice(gx + 1, gy, o);
        const std::int64_t c = lattice(gx, gy + 1, o), d = lattice(gx + 1, gy + 1, o);
        const std::int64_t top = a + (b - a) * tx / 65536;
        const std::int64_t bottom = c + (d - c) * tx / 65536;
        return int(top + (bottom - top) * ty / 65536);
    }

    std::uint32_t m_seed;
    std::uint32_t m_salt;
    std::vector<Octave> m_octaves;
    std::int64_t m_total = 0;
};

// The value below which the given share (per mille) of the samples lies.
int quantile(const std::vector<std::uint16_t> &values, int perMille)
{
    std::vector<qsizetype> histogram(65536, 0);
    for (std::uint16_t v : values)
        ++histogram[v];
    const qsizetype wanted = qsizetype(values.size()) * perMille / 1000;
    qsizetype seen = 0;
    for (int v = 0; v < 65536; ++v) {
        seen += histogram[std::size_t(v)];
        if (seen > wanted)
            return v;
    }
    return 65535;
}

class Writer
{
public:
    explicit Writer(qsizetype reserve) { m_bytes.reserve(reserve); }

    Writer &operator<<(const char *s) { m_bytes.append(s, qsizetype(std::strlen(s))); return *this; }
    Writer &operator<<(int n)
    {
        char buf[16];
        char *p = buf + sizeof buf;
        unsigned u = n < 0 ? 0U - unsigned(n) : unsigned(n);
        do {
            *--p = char('0' + u % 10);
            u /= 10;
        } while (u);
        if (n < 0)
            *--p = '-';
        m_bytes.append(p, buf + sizeof buf - p);
        return *this;
    }
    void line(const char *s) { *this << s << "\r\n"; }
    QByteArray take() { return std::move(m_bytes); }

private:
    QByteArray m_bytes;
};

const char *const Techs[] = {
    "TECH_MYSTICISM", "TECH_MEDITATION", "TECH_FISHING", "TECH_THE_WHEEL", "TECH_AGRICULTURE",
    "TECH_POTTERY", "TECH_HUNTING", "TECH_MINING", "TECH_ARCHERY", "TECH_BRONZE_WORKING",
};

const char *const Nations[] = {
    "ROMAN", "GREEK", "EGYPTIAN", "OTTOMAN", "PERSIAN", "CHINESE", "AZTEC", "VIKING", "MALI",
    "INCAN", "ENGLISH", "FRENCH", "RUSSIAN", "JAPANESE", "MONGOL", "ARABIAN", "KHMER", "CELTIC",
};

const char *const Colors[] = {
    "RED", "BLUE", "YELLOW", "DARK_GREEN", "PURPLE", "ORANGE", "CYAN", "WHITE", "BROWN",
    "PINK", "DARK_BLUE", "GREEN", "GOLDENROD", "DARK_PURPLE", "LIGHT_BLUE", "GRAY", "DARK_RED", "PEACH",
};

void writeHeader(Writer &out, int columns, int rows, std::uint32_t seed)
{
    out.line("Version=11");
    out.line("BeginGame");
    for (const char *l : {"Era=ERA_ANCIENT", "Speed=GAMESPEED_NORMAL", "Calendar=CALENDAR_DEFAULT",
                          "Option=GAMEOPTION_NO_GOODY_HUTS", "Option=GAMEOPTION_NO_EVENTS",
                          "Victory=VICTORY_TIME", "Victory=VICTORY_CONQUEST", "Victory=VICTORY_DOMINATION",
                          "Victory=VICTORY_CULTURAL", "GameTurn=0", "MaxTurns=500",
                          "NumAdvancedStartPoints=600", "StartYear=-4000", "Description=", "ModPath="})
        out << "\t" << l << "\r\n";
    out.line("EndGame");

    for (int team = 0; team < 18; ++team) {
        out.line("BeginTeam");
        out << "\tTeamID=" << team << "\r\n";
        const int techs = int(pick(seed, team, 0, 101, 4));
        for (int t = 0; t < techs; ++t)
            out << "\tTech=" << Techs[pick(seed, team, t, 102, 10)] << "\r\n";
        out << "\tContactWithTeam=" << team << "\r\n";
        out.line("\tRevealMap=0");
        out.line("EndTeam");
    }

    for (int player = 0; player < 18; ++player) {
        out.line("BeginPlayer");
        out << "\tTeam=" << player << "\r\n";
        out << "\tLeaderType=LEADER_" << Nations[player] << "\r\n";
        out.line("\tLeaderName=Mapmaker");
        out << "\tNationDesc=TXT_KEY_NATION_" << Nations[player] << "_DESC\r\n";
        out << "\tNationType=NATION_" << Nations[player] << "\r\n";
        out << "\tColor=PLAYERCOLOR_" << Colors[player] << "\r\n";
        out.line("\tWhiteFlag=0");
        out.line(player < 8 ? "\tPlayableNation=1" : "\tPlayableNation=0");
        out.line("\tMinorNationStatus=0");
        out.line("\tStartingGold=0");
        out << "\tStartingX=" << int(pick(seed, player, 1, 103, std::uint32_t(columns)))
            << ", StartingY=" << int(pick(seed, player, 2, 103, std::uint32_t(rows))) << "\r\n";
        out.line(player < 8 ? "\tHandicap=HANDICAP_NOBLE" : "\tHandicap=HANDICAP_CHIEFTAIN");
        out.line("EndPlayer");
    }

    out.line("BeginMap");
    out << "\tgrid width=" << columns << "\r\n";
    out << "\tgrid height=" << rows << "\r\n";
    out.line("\ttop latitude=90");
    out.line("\tbottom latitude=-90");
    out.line("\twrap X=1");
    out.line("\twrap Y=0");
    out.line("\tworld size=WORLDSIZE_HUGE");
    out.line("\tclimate=CLIMATE_TEMPERATE");
    out.line("\tsealevel=SEALEVEL_MEDIUM");
    out.line("\tnum signs written=0");
    out.line("\tRandomize Resources=false");
    out << "\tnum plots written=" << int(qint64(columns) * rows) << "\r\n";
    out.line("EndMap");
    out.line("");
    out.line("### Plot Info ###");
}

enum Terrain { Ocean, Coast, Grass, Plains, Desert, Tundra, Snow };

const char *const TerrainLines[] = {
    "\tTerrainType=TERRAIN_OCEAN\r\n", "\tTerrainType=TERRAIN_COAST\r\n",
    "\tTerrainType=TERRAIN_GRASS\r\n", "\tTerrainType=TERRAIN_PLAINS\r\n",
    "\tTerrainType=TERRAIN_DESERT\r\n", "\tTerrainType=TERRAIN_TUNDRA\r\n",
    "\tTerrainType=TERRAIN_SNOW\r\n",
};

const char *const LandBonuses[] = {
    "WHEAT", "CORN", "RICE", "COW", "SHEEP", "PIG", "DEER", "HORSE", "IRON", "COPPER", "STONE",
    "MARBLE", "GOLD", "SILVER", "GEMS", "WINE", "SILK", "SPICES", "SUGAR", "DYE", "FUR", "IVORY",
    "INCENSE", "BANANA", "COAL", "OIL", "ALUMINUM", "URANIUM",
};
const char *const SeaBonuses[] = {"FISH", "CLAM", "CRAB", "WHALE", "OIL"};

const char *const FlatImprovements[] = {"FARM", "COTTAGE", "PASTURE", "PLANTATION", "HAMLET", "WINERY"};
const char *const HillImprovements[] = {"MINE", "QUARRY", "FORT"};

const char *const Units[] = {"WARRIOR", "ARCHER", "SCOUT", "SETTLER", "WORKER", "SPEARMAN"};
const char *const UnitAIs[] = {"UNITAI_CITY_DEFENSE", "UNITAI_EXPLORE", "UNITAI_ATTACK",
                               "UNITAI_SETTLE", "UNITAI_WORKER", "UNITAI_COUNTER"};

} // namespace

QByteArray generateBenchmarkMap(int columns, int rows, quint32 seed)
{
    columns = std::max(columns, 1);
    rows = std::max(rows, 1);
    const std::size_t cells = std::size_t(columns) * std::size_t(rows);
    Writer out(qsizetype(cells) * 100 + 16384);
    writeHeader(out, columns, rows, seed);

    // Elevation decides land and sea; the thresholds come from its own
    // distribution, so every size and seed gets the same proportions.
    const Noise elevationNoise(seed, 1, columns, rows);
    const Noise moistureNoise(seed, 2, columns, rows);
    const Noise riverNoise(seed, 3, columns / 3, rows / 3);
    std::vector<std::uint16_t> elevation(cells);
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < columns; ++col)
            elevation[std::size_t(row) * std::size_t(columns) + std::size_t(col)] =
                std::uint16_t(elevationNoise.at(col, row));
    const int coastLevel = quantile(elevation, 520);
    const int seaLevel = quantile(elevation, 620);
    const int hillLevel = quantile(elevation, 900);
    const int peakLevel = quantile(elevation, 975);

    // Writer order: x from 0, within it y from 0 (the bottom row upwards).
    for (int x = 0; x < columns; ++x) {
        for (int y = 0; y < rows; ++y) {
            const int row = rows - 1 - y;
            const int e = elevation[std::size_t(row) * std::size_t(columns) + std::size_t(x)];
            // 0 at the equator, 1000 at either pole.
            const int latitude = rows > 1 ? int(std::abs(2 * y - (rows - 1)) * 1000LL / (rows - 1)) : 0;
            const int moisture = moistureNoise.at(x, y) * 1000 / 65536;
            const bool land = e >= seaLevel;
            const std::uint32_t roll = pick(seed, x, y, 11, 1000);

            Terrain terrain;
            int plotType = 2;
            if (!land) {
                terrain = e >= coastLevel ? Coast : Ocean;
                plotType = 3;
            } else {
                const int cold = latitude + (moisture - 500) / 4;
                if (cold > 900)
                    terrain = Snow;
                else if (cold > 760)
                    terrain = Tundra;
                else if (moisture < 330 && latitude < 550)
                    terrain = Desert;
                else if (moisture < 520)
                    terrain = Plains;
                else
                    terrain = Grass;
                if (e >= peakLevel)
                    plotType = 0;
                else if (e >= hillLevel)
                    plotType = 1;
            }

            const bool river = land && plotType != 0
                && std::abs(riverNoise.at(x, y) - 32768) < 1300;
            const char *feature = nullptr;
            int variety = 0;
            if (!land) {
                if (latitude > 850 && roll < 620)
                    feature = "ICE";
            } else if (plotType != 0) {
                if (terrain == Desert) {
                    if (river)
                        feature = "FLOOD_PLAINS";
                    else if (roll < 40)
                        feature = "OASIS";
                } else if (terrain == Grass && latitude < 420 && moisture > 560 && roll < 900) {
                    feature = "JUNGLE";
                } else if (terrain != Snow && moisture > 380 && roll < 800) {
                    feature = "FOREST";
                    variety = terrain == Tundra ? 2 : int(pick(seed, x, y, 12, 2));
                }
            }

            out.line("BeginPlot");
            out << "\tx=" << x << ",y=" << y << "\r\n";
            if (river) {
                if (pick(seed, x, y, 13, 2))
                    out << "\tRiverNSDirection=" << int(pick(seed, x, y, 14, 2) * 2) << "\r\n\tisWOfRiver\r\n";
                else
                    out << "\tisNOfRiver\r\n\tRiverWEDirection=" << int(pick(seed, x, y, 14, 2) * 2 + 1) << "\r\n";
            }
            if (pick(seed, x, y, 15, 1000) < 80) {
                if (land)
                    out << "\tBonusType=BONUS_" << LandBonuses[pick(seed, x, y, 16, 28)] << "\r\n";
                else
                    out << "\tBonusType=BONUS_" << SeaBonuses[pick(seed, x, y, 16, 5)] << "\r\n";
            }
            if (land && plotType != 0 && pick(seed, x, y, 17, 1000) < 84) {
                if (plotType == 1)
                    out << "\tImprovementType=IMPROVEMENT_" << HillImprovements[pick(seed, x, y, 18, 3)] << "\r\n";
                else
                    out << "\tImprovementType=IMPROVEMENT_" << FlatImprovements[pick(seed, x, y, 18, 6)] << "\r\n";
            }
            if (feature)
                out << "\tFeatureType=FEATURE_" << feature << ", FeatureVariety=" << variety << "\r\n";
            out << TerrainLines[terrain];
            out << "\tPlotType=" << plotType << "\r\n";
            if (land && plotType != 0 && pick(seed, x, y, 19, 1000) < 22) {
                const int owner = int(pick(seed, x, y, 20, 18));
                const int count = 1 + int(pick(seed, x, y, 21, 3) == 0);
                for (int u = 0; u < count; ++u) {
                    out << "\tBeginUnit\r\n\t\tUnitType=UNIT_" << Units[pick(seed, x, y, 22 + u, 6)]
                        << ", UnitOwner=" << owner << "\r\n";
                    out << "\t\tDamage=0\r\n\t\tLevel=1, Experience=0\r\n\t\tFacingDirection=4\r\n";
                    out << "\t\tUnitAIType=" << UnitAIs[pick(seed, x, y, 24 + u, 6)] << "\r\n";
                    out << "\tEndUnit\r\n";
                }
            }
            if (pick(seed, x, y, 26, 1000) < 100) {
                out << "\tTeamReveal=" << int(pick(seed, x, y, 27, 18)) << ",";
                if (pick(seed, x, y, 28, 4) == 0)
                    out << int(pick(seed, x, y, 29, 18)) << ",";
                out << "\r\n";
            }
            out.line("EndPlot");
        }
    }
    return out.take();
}

QString benchmarkMapPath(int columns, int rows)
{
    // The version tag changes whenever the generator's output does.
    const QString dir = QDir::tempPath() + QStringLiteral("/vor4-bench");
    const QString base = QStringLiteral("%1/map-v1-%2x%3").arg(dir).arg(columns).arg(rows);
    const QString path = base + QStringLiteral(".Vor4WorldBuilderSave");
    const QString sizePath = base + QStringLiteral(".size");

    // The size file is written after the map itself, so a map left half
    // written by an interrupted run never passes.
    QFile sizeFile(sizePath);
    if (sizeFile.open(QIODevice::ReadOnly)) {
        bool ok = false;
        const qint64 expected = sizeFile.readAll().trimmed().toLongLong(&ok);
        if (ok && QFileInfo(path).size() == expected)
            return path;
    }

    if (!QDir().mkpath(dir))
        return QString();
    const QByteArray bytes = generateBenchmarkMap(columns, rows, 1);
    QSaveFile map(path);
    if (!map.open(QIODevice::WriteOnly) || map.write(bytes) != bytes.size() || !map.commit())
        return QString();
    QSaveFile size(sizePath);
    if (!size.open(QIODevice::WriteOnly) || size.write(QByteArray::number(bytes.size())) < 0
        || !size.commit())
        return QString();
    return path;
}

} // namespace vor4
