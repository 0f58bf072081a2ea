#include "GameYields.h"

#include "FileTarget.h"

#include <QFile>
#include <QXmlStreamReader>
#include <vector>

namespace vor4 {

namespace {

// The children of an entry that hold yields, up to three numbers each, in
// the order food, production, commerce.
enum List { YieldList, HillsList, RiverList, ChangesList, NotAList };

List listOf(QStringView name)
{
    if (name == u"Yields")
        return YieldList;
    if (name == u"HillsYieldChange")
        return HillsList;
    if (name == u"RiverYieldChange")
        return RiverList;
    if (name == u"YieldChanges")
        return ChangesList;
    return NotAList;
}

// The numbers of a yield list; the reader stands on its start and is left
// on its end. A missing or empty number is 0.
GameYields::Yield readList(QXmlStreamReader &xml)
{
    GameYields::Yield y{};
    std::size_t i = 0;
    while (xml.readNextStartElement()) {
        const QString text = xml.readElementText(QXmlStreamReader::SkipChildElements);
        if (i < y.size() && (xml.name() == u"iYield" || xml.name() == u"iYieldChange"))
            y[i++] = text.trimmed().toInt();
    }
    return y;
}

struct Standard
{
    const char *type;
    GameYields::Yield yields;
};

// The game as shipped. A river adds a commerce to every land terrain.
const Standard StandardTerrains[] = {
    {"TERRAIN_GRASS", {2, 0, 0}}, {"TERRAIN_PLAINS", {1, 1, 0}}, {"TERRAIN_TUNDRA", {1, 0, 0}},
    {"TERRAIN_DESERT", {0, 0, 0}}, {"TERRAIN_SNOW", {0, 0, 0}},  {"TERRAIN_COAST", {1, 0, 2}},
    {"TERRAIN_OCEAN", {1, 0, 1}}};
const Standard StandardFeatures[] = {{"FEATURE_FOREST", {0, 1, 0}},
                                     {"FEATURE_JUNGLE", {-1, 0, 0}},
                                     {"FEATURE_FLOOD_PLAINS", {3, 0, 0}},
                                     {"FEATURE_OASIS", {3, 0, 2}}};
const Standard StandardBonuses[] = {
    {"BONUS_BANANA", {1, 0, 0}},  {"BONUS_CLAM", {1, 0, 0}},    {"BONUS_CORN", {1, 0, 0}},
    {"BONUS_COW", {1, 0, 0}},     {"BONUS_CRAB", {1, 0, 0}},    {"BONUS_DEER", {1, 0, 0}},
    {"BONUS_FISH", {1, 0, 0}},    {"BONUS_PIG", {1, 0, 0}},     {"BONUS_RICE", {1, 0, 0}},
    {"BONUS_SHEEP", {1, 0, 0}},   {"BONUS_SUGAR", {1, 0, 0}},   {"BONUS_WHEAT", {1, 0, 0}},
    {"BONUS_WHALE", {1, 0, 0}},   {"BONUS_MARBLE", {0, 1, 0}},  {"BONUS_STONE", {0, 1, 0}},
    {"BONUS_IVORY", {0, 1, 0}},   {"BONUS_DYE", {0, 0, 1}},     {"BONUS_FUR", {0, 0, 1}},
    {"BONUS_GEMS", {0, 0, 1}},    {"BONUS_GOLD", {0, 0, 1}},    {"BONUS_INCENSE", {0, 0, 1}},
    {"BONUS_SILK", {0, 0, 1}},    {"BONUS_SILVER", {0, 0, 1}},  {"BONUS_SPICES", {0, 0, 1}},
    {"BONUS_WINE", {0, 0, 1}},    {"BONUS_ALUMINUM", {0, 0, 0}}, {"BONUS_COAL", {0, 0, 0}},
    {"BONUS_COPPER", {0, 0, 0}},  {"BONUS_HORSE", {0, 0, 0}},   {"BONUS_IRON", {0, 0, 0}},
    {"BONUS_OIL", {0, 1, 0}},     {"BONUS_URANIUM", {0, 0, 0}}};
const char *const StandardHidden[] = {"BONUS_ALUMINUM", "BONUS_COAL", "BONUS_COPPER", "BONUS_HORSE",
                                      "BONUS_IRON",     "BONUS_OIL",  "BONUS_URANIUM"};

} // namespace

const QStringList &GameYields::dataFiles()
{
    static const QStringList names = {QStringLiteral("VOR4TerrainInfos.xml"), QStringLiteral("VOR4FeatureInfos.xml"),
                                      QStringLiteral("VOR4BonusInfos.xml"), QStringLiteral("VOR4YieldInfos.xml")};
    return names;
}

GameYields::GameYields()
{
    for (const Standard &s : StandardTerrains) {
        Entry e;
        e.type = s.type;
        e.yields = s.yields;
        if (e.type != "TERRAIN_COAST" && e.type != "TERRAIN_OCEAN")
            e.river = {0, 0, 1};
        m_entries.insert(e.type, e);
    }
    const auto addChanges = [this](const auto &list) {
        for (const Standard &s : list) {
            Entry e;
            e.type = s.type;
            e.changes = s.yields;
            m_entries.insert(e.type, e);
        }
    };
    addChanges(StandardFeatures);
    addChanges(StandardBonuses);
    for (const char *type : StandardHidden)
        m_entries[type].hidden = true;
    m_hillsChange = {-1, 1, 0};
    m_lakeChange = {1, 0, 0};
}

bool GameYields::read(QIODevice &file, QList<Entry> &entries, QString *error)
{
    std::vector<Entry> stack; // an entry per open element; those with a type are kept
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = xml.name();
            const List list = listOf(name);
            if (stack.empty()) {
                stack.push_back({});
            } else if (list != NotAList) {
                const Yield y = readList(xml);
                Entry &e = stack.back();
                (list == YieldList ? e.yields : list == HillsList ? e.hills : list == RiverList ? e.river : e.changes) = y;
            } else if (name == u"Type") {
                stack.back().type = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed().toLatin1();
            } else if (name == u"TechReveal") {
                const QString tech = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
                stack.back().hidden = !tech.isEmpty() && tech != u"NONE";
            } else if (name == u"iHillsChange" || name == u"iLakeChange") {
                const int n = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed().toInt();
                (name == u"iHillsChange" ? stack.back().hillsChange : stack.back().lakeChange) = n;
            } else {
                stack.push_back({});
            }
        } else if (token == QXmlStreamReader::EndElement && !stack.empty()) {
            if (!stack.back().type.isEmpty())
                entries << stack.back();
            stack.pop_back();
        }
    }
    if (xml.hasError()) {
        *error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
        return false;
    }
    return true;
}

bool GameYields::load(const QString &folder, QString *error)
{
    QList<Entry> files[4];
    for (int i = 0; i < 4; ++i) {
        QFile file(folder + u'/' + dataFiles()[i]);
        QString why;
        if (!file.open(QIODevice::ReadOnly))
            why = file.errorString();
        else if (!read(file, files[i], &why))
            why = QStringLiteral("not a data file: ") + why;
        if (!why.isEmpty()) {
            *error = QStringLiteral("%1: %2").arg(shownPath(file.fileName()), why);
            return false;
        }
    }
    m_entries.clear();
    for (int i = 0; i < 3; ++i)
        for (const Entry &e : std::as_const(files[i]))
            if (!m_entries.contains(e.type))
                m_entries.insert(e.type, e);
    // One entry per yield, in the order food, production, commerce.
    m_hillsChange = m_lakeChange = {};
    for (qsizetype i = 0; i < qMin<qsizetype>(3, files[3].size()); ++i) {
        m_hillsChange[std::size_t(i)] = files[3][i].hillsChange;
        m_lakeChange[std::size_t(i)] = files[3][i].lakeChange;
    }
    m_folder = folder;
    return true;
}

const GameYields::Entry *GameYields::entry(QByteArrayView type) const
{
    const auto it = type.isEmpty() ? m_entries.cend() : m_entries.constFind(type.toByteArray());
    return it == m_entries.cend() ? nullptr : &*it;
}

bool GameYields::isHidden(QByteArrayView bonus) const
{
    const Entry *e = entry(bonus);
    return e && e->hidden;
}

bool GameYields::isFood(QByteArrayView bonus) const
{
    const Entry *e = entry(bonus);
    return e && !e->hidden && e->changes[0] > 0;
}

GameYields::Yield GameYields::plotYield(QByteArrayView terrain, QByteArrayView feature, QByteArrayView bonus,
                                        Relief relief, bool river, bool lake) const
{
    Yield y{};
    if (relief == Peak)
        return y;
    const auto add = [&y](const Yield &change) {
        for (std::size_t i = 0; i < y.size(); ++i)
            y[i] += change[i];
    };
    if (const Entry *t = entry(terrain)) {
        add(t->yields);
        if (relief == Hills)
            add(t->hills);
        if (river && relief != Water)
            add(t->river);
    }
    if (relief == Hills)
        add(m_hillsChange);
    if (lake && relief == Water)
        add(m_lakeChange);
    if (const Entry *f = entry(feature))
        add(f->changes);
    if (const Entry *b = entry(bonus); b && !b->hidden)
        add(b->changes);
    for (int &v : y)
        v = qMax(0, v);
    return y;
}

} // namespace vor4
