#include "NewMap.h"

#include "GeneratedLand.h"
#include "LandGenerator.h"
#include "PlotFacts.h"
#include "StartPlacement.h"

#include <array>

namespace vor4 {

namespace {

const char *const gameRules[] = {
    "Era=ERA_ANCIENT",       "Speed=GAMESPEED_NORMAL",  "Calendar=CALENDAR_DEFAULT", "Victory=VICTORY_TIME",
    "Victory=VICTORY_CONQUEST", "Victory=VICTORY_DOMINATION", "Victory=VICTORY_CULTURAL",
    "Victory=VICTORY_SPACE_RACE", "Victory=VICTORY_DIPLOMATIC", "GameTurn=0", "MaxTurns=500",
    "MaxCityElimination=0", "NumAdvancedStartPoints=600", "TargetScore=0", "StartYear=-4000", "Description=",
    "ModPath="};

const char *const colours[] = {"RED",       "BLUE",     "GREEN",     "YELLOW",   "PURPLE",     "ORANGE",
                               "CYAN",      "PINK",     "WHITE",     "BROWN",    "PEACH",      "DARK_GREEN",
                               "DARK_RED",  "DARK_BLUE", "DARK_CYAN", "DARK_PURPLE", "DARK_LEMON", "GRAY"};

QByteArray teamBlock(int slot)
{
    const QByteArray n = QByteArray::number(slot);
    return "TeamID=" + n + "\r\nContactWithTeam=" + n + "\r\nRevealMap=0";
}

QByteArray closedPlayerBlock(int slot)
{
    return "Team=" + QByteArray::number(slot)
        + "\r\nLeaderType=NONE\r\nNationType=NONE\r\nColor=NONE\r\nArtStyle=NONE\r\nHandicap=HANDICAP_NOBLE";
}

// A player to be chosen in the game: no leader or nation yet, the usual
// start of an ancient-era game.
QByteArray playerBlock(int slot, const std::optional<QPoint> &start)
{
    QByteArray b = "Team=" + QByteArray::number(slot)
        + "\r\nLeaderType=NONE\r\nLeaderName=\r\nNationDesc=\r\nNationShortDesc=\r\nNationAdjective=\r\nFlagDecal="
          "\r\nWhiteFlag=0\r\nNationType=NONE\r\nColor=PLAYERCOLOR_"
        + QByteArray(colours[std::size_t(slot) % std::size(colours)])
        + "\r\nArtStyle=NONE\r\nPlayableNation=1\r\nMinorNationStatus=0\r\nStartingGold=0";
    if (start)
        b += "\r\nStartingX=" + QByteArray::number(start->x()) + ", StartingY=" + QByteArray::number(start->y());
    return b
        + "\r\nStateReligion=\r\nStartingEra=ERA_ANCIENT\r\nRandomStartLocation=false"
          "\r\nCivicOption=CIVICOPTION_GOVERNMENT, Civic=CIVIC_DESPOTISM"
          "\r\nCivicOption=CIVICOPTION_LEGAL, Civic=CIVIC_BARBARISM"
          "\r\nCivicOption=CIVICOPTION_LABOR, Civic=CIVIC_TRIBALISM"
          "\r\nCivicOption=CIVICOPTION_ECONOMY, Civic=CIVIC_DECENTRALIZATION"
          "\r\nCivicOption=CIVICOPTION_RELIGION, Civic=CIVIC_PAGANISM\r\nHandicap=HANDICAP_NOBLE";
}

QByteArray settler(int owner)
{
    return "BeginUnit\r\nUnitType=UNIT_SETTLER, UnitOwner=" + QByteArray::number(owner)
        + "\r\nDamage=0\r\nLevel=1, Experience=0\r\nFacingDirection=4\r\nUnitAIType=UNITAI_SETTLE\r\nEndUnit";
}

// The game's size names, by the plots of their usual maps.
QByteArray worldSize(qint64 plots)
{
    const std::pair<qint64, const char *> sizes[] = {{960, "DUEL"},     {1664, "TINY"},  {2560, "SMALL"},
                                                     {4368, "STANDARD"}, {6656, "LARGE"}, {10240, "HUGE"}};
    for (const auto &[bound, name] : sizes)
        if (plots <= bound)
            return QByteArray("WORLDSIZE_") + name;
    return "WORLDSIZE_HUGE";
}

// The text of a plot without rivers and units: one per kind of plot.
QByteArray plainPlot(std::uint8_t type, std::uint8_t terrain, std::uint8_t feature)
{
    static const char *const terrains[] = {"", "OCEAN", "COAST", "GRASS", "PLAINS", "DESERT", "TUNDRA", "SNOW"};
    static const char *const features[] = {"", "FOREST", "JUNGLE", "ICE"};
    if (terrain == GeneratedLand::NoTerrain)
        return {};
    QByteArray t;
    if (feature != GeneratedLand::NoFeature)
        t += QByteArray("FeatureType=FEATURE_") + features[feature] + ", FeatureVariety=0\r\n";
    return t + "TerrainType=TERRAIN_" + terrains[terrain] + "\r\nPlotType=" + QByteArray::number(type);
}

} // namespace

Document NewMap::make(const NewMapSettings &settings, QStringList *notes)
{
    return make(settings, LandGenerator::generate(settings), notes);
}

Document NewMap::make(const NewMapSettings &settings, const GeneratedLand &land, QStringList *notes)
{
    Document doc;
    const int w = land.width, h = land.height;
    doc.ResetDocument(w, h);
    doc.Header.wrapX = settings.wrapX ? 1 : 0;
    doc.Header.wrapY = settings.wrapY ? 1 : 0;
    doc.Header.topLatitude = QByteArray::number(settings.topLatitude);
    doc.Header.bottomLatitude = QByteArray::number(settings.bottomLatitude);
    doc.MapLines = {"world size=" + worldSize(qint64(w) * h), "climate=CLIMATE_TEMPERATE", "sealevel=SEALEVEL_MEDIUM",
                    "num signs written=0", "Randomize Resources=false"};
    for (const char *rule : gameRules)
        doc.GameLines << QByteArray(rule);

    const std::vector<int> starts =
        StartPlacement::place(land, StartPlacement::candidates(land, settings.players), settings.players, settings.seed);
    if (int(starts.size()) < settings.players && notes)
        *notes << QStringLiteral("%1 of %2 players have no start: there is no flat or hill land for them")
                      .arg(settings.players - int(starts.size()))
                      .arg(settings.players);
    const int slots = std::max<int>(Document::SlotCount, settings.players);
    doc.TeamTexts.resize(slots);
    doc.PlayerTexts.resize(slots);
    std::vector<int> ownerAt(std::size_t(w) * std::size_t(h), -1);
    for (int slot = 0; slot < slots; ++slot) {
        doc.TeamTexts[slot] = teamBlock(slot);
        std::optional<QPoint> start;
        if (slot < int(starts.size())) {
            const int i = starts[std::size_t(slot)];
            ownerAt[std::size_t(i)] = slot;
            start = QPoint(i % w, doc.fileY(i / w));
        }
        doc.PlayerTexts[slot] = slot < settings.players ? playerBlock(slot, start) : closedPlayerBlock(slot);
    }

    // Column after column, as the file lists them.
    std::array<QByteArray, 4 * 8 * 4> plain;
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y) {
            const std::size_t i = std::size_t(y) * std::size_t(w) + std::size_t(x);
            const std::uint8_t type = land.plotType[i], terrain = land.terrain[i], feature = land.feature[i];
            const std::int8_t south = land.southFlow[i], east = land.eastFlow[i];
            if (south == GeneratedLand::NoRiver && east == GeneratedLand::NoRiver && ownerAt[i] < 0) {
                QByteArray &text = plain[std::size_t((type & 3) * 32 + terrain * 4 + feature)];
                if (text.isEmpty())
                    text = plainPlot(type, terrain, feature);
                doc.PlotTexts.setText(x, y, text);
                continue;
            }
            QByteArray text = plainPlot(type, terrain, feature);
            if (south != GeneratedLand::NoRiver || east != GeneratedLand::NoRiver) {
                const auto flow = [](std::int8_t f) {
                    return f == GeneratedLand::NoRiver ? std::nullopt : std::optional<QByteArray>(QByteArray::number(f));
                };
                text = PlotFacts::withRiversInFront(text, flow(south), flow(east), south != GeneratedLand::NoRiver,
                                                    east != GeneratedLand::NoRiver);
            }
            if (ownerAt[i] >= 0)
                text += "\r\n" + settler(ownerAt[i]);
            doc.PlotTexts.setText(x, y, text);
        }
    return doc;
}

} // namespace vor4
