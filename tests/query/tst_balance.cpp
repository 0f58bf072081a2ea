// The balance report held against a plain count on generated maps, and the
// yields read from data files of the game's shape.

#include "BalanceReport.h"
#include "Document.h"
#include "GameYields.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using namespace vor4;

namespace {

using Yield = std::array<int, 3>;
// The data the test writes, held as the reference reads it: per type, the
// base yield (or change), hills and river changes.
const QMap<QByteArray, std::array<Yield, 3>> Terrains = {
    {"TERRAIN_GRASS", {{{2, 0, 0}, {0, 1, 0}, {0, 0, 1}}}},
    {"TERRAIN_PLAINS", {{{1, 1, 0}, {0, 2, 0}, {0, 0, 1}}}},
    {"TERRAIN_DESERT", {{{0, 0, 0}, {0, 0, 0}, {1, 0, 1}}}},
    {"TERRAIN_OCEAN", {{{1, 0, 2}, {0, 0, 0}, {0, 0, 0}}}}};
const QMap<QByteArray, Yield> Changes = {{"FEATURE_FOREST", {0, 1, 0}},
                                         {"FEATURE_JUNGLE", {-1, 0, -1}},
                                         {"BONUS_WHEAT", {1, 0, 0}},
                                         {"BONUS_GOLD", {0, 0, 6}}};

QByteArray yieldList(const char *tag, const char *item, const Yield &y, int count = 3)
{
    QByteArray out = QByteArray("<") + tag + ">";
    for (int i = 0; i < count; ++i)
        out += y[std::size_t(i)] ? QByteArray("<") + item + ">" + QByteArray::number(y[std::size_t(i)]) + "</" + item
                + ">"
                                 : QByteArray("<") + item + "/>";
    return out + "</" + tag + ">\n";
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Files of the game's shape: a declaration, a namespace, nested lists,
// short lists, empty numbers and entries without yields.
bool writeData(const QString &dir)
{
    QByteArray terrains = "<?xml version=\"1.0\"?>\n<Civ4TerrainInfos xmlns=\"x-schema:T.xml\">\n<TerrainInfos>\n";
    for (auto it = Terrains.cbegin(); it != Terrains.cend(); ++it)
        terrains += "<TerrainInfo>\n\t<Type>" + it.key() + "</Type>\n\t<Description>TXT</Description>\n"
            + yieldList("Yields", "iYield", it.value()[0]) + yieldList("RiverYieldChange", "iYield", it.value()[2])
            + yieldList("HillsYieldChange", "iYield", it.value()[1], 2) + "</TerrainInfo>\n";
    terrains += "<TerrainInfo><Type>TERRAIN_PEAK</Type></TerrainInfo>\n</TerrainInfos>\n</Civ4TerrainInfos>\n";
    QByteArray features = "<Civ4FeatureInfos><FeatureInfos>\n", bonuses = "<Civ4BonusInfos><BonusInfos>\n";
    for (auto it = Changes.cbegin(); it != Changes.cend(); ++it)
        (it.key().startsWith("FEATURE") ? features : bonuses) += "<Info><Type>" + it.key() + "</Type>"
            + yieldList("YieldChanges", "iYieldChange", it.value()) + "</Info>\n";
    return writeFile(dir + "/VOR4TerrainInfos.xml", terrains)
        && writeFile(dir + "/VOR4FeatureInfos.xml", features + "</FeatureInfos></Civ4FeatureInfos>\n")
        && writeFile(dir + "/VOR4BonusInfos.xml", bonuses + "</BonusInfos></Civ4BonusInfos>\n");
}

// A map whose plots hold each kind of line at random, rivers, settlers and
// other units, and start lines on, off and missing.
Document generate(quint32 seed)
{
    QRandomGenerator rng(seed);
    Document doc;
    doc.ResetDocument(3 + rng.bounded(10), 3 + rng.bounded(10));
    doc.Header.wrapX = rng.bounded(2);
    doc.Header.wrapY = rng.bounded(2);
    const QList<QByteArray> terrains = Terrains.keys() + QList<QByteArray>{"TERRAIN_SNOW"};
    const QList<QByteArray> extras = {"FeatureType=FEATURE_FOREST, FeatureVariety=0", "FeatureType=FEATURE_JUNGLE",
                                      "BonusType=BONUS_WHEAT", "BonusType=BONUS_GOLD", "BonusType=BONUS_NONE",
                                      "isNOfRiver", "isWOfRiver", "RiverWEDirection=1"};
    for (int row = 0; row < doc.rowCount(); ++row)
        for (int col = 0; col < doc.columnCount(); ++col) {
            QByteArray text;
            if (rng.bounded(8))
                text += "\tPlotType=" + QByteArray::number(rng.bounded(4)) + "\r\n";
            text += "\tTerrainType=" + terrains[rng.bounded(int(terrains.size()))] + "\r\n";
            for (const QByteArray &extra : extras)
                if (rng.bounded(4) == 0)
                    text += "\t" + extra + "\r\n";
            for (int u = rng.bounded(12) == 0 ? 1 + rng.bounded(2) : 0; u > 0; --u)
                text += QByteArray("\tBeginUnit\r\n\t\tUnitType=") + (rng.bounded(2) ? "UNIT_Settler" : "UNIT_WARRIOR")
                    + "\r\n\t\tUnitOwner=" + QByteArray::number(rng.bounded(6)) + "\r\n\tEndUnit\r\n";
            doc.PlotTexts.setText(col, row, text);
        }
    for (int slot = 0; slot < 8; ++slot)
        if (rng.bounded(4))
            doc.PlayerTexts[slot] = "\tStartingX=" + QByteArray::number(rng.bounded(doc.columnCount() + 2))
                + ", StartingY=" + QByteArray::number(rng.bounded(doc.rowCount() + 2)) + "\r\n";
    return doc;
}

// The plain reading of the generated lines: the text after the first "="
// of the first line with the key, up to a ",".
QByteArray plainValue(const QByteArray &text, const QByteArray &key)
{
    for (const QByteArray &line : text.split('\n'))
        if (line.contains(key + "="))
            return line.mid(line.indexOf('=') + 1).split(',').first().trimmed();
    return QByteArray();
}

bool plainFlag(const Document &doc, int x, int y, const char *flag)
{
    const int w = doc.columnCount(), h = doc.rowCount();
    if (doc.Header.wrapX)
        x = (x + w) % w;
    if (doc.Header.wrapY)
        y = (y + h) % h;
    if (x < 0 || y < 0 || x >= w || y >= h)
        return false;
    return doc.PlotTexts.text(x, h - 1 - y).split('\n').contains(QByteArray("\t") + flag + "\r");
}

QList<BalanceFigures> plainReport(const Document &doc, bool withYields)
{
    const int w = doc.columnCount(), h = doc.rowCount();
    QList<BalanceFigures> list;
    for (int slot = 0; slot < doc.PlayerTexts.size(); ++slot) {
        BalanceFigures f;
        f.start.player = slot;
        for (int x = 0; x < w && !f.start.fromSettler; ++x)
            for (int y = 0; y < h && !f.start.fromSettler; ++y) {
                const QList<QByteArray> units = doc.PlotTexts.text(x, h - 1 - y).split('B');
                for (const QByteArray &unit : units)
                    if (unit.contains("Settler") && plainValue(unit, "UnitOwner").toInt() == slot
                        && unit.contains("UnitOwner")) {
                        f.start = {slot, true, QPoint(x, y)};
                        break;
                    }
            }
        if (!f.start.fromSettler) {
            const QByteArray line = doc.PlayerTexts[slot];
            if (line.isEmpty())
                continue;
            f.start.at = QPoint(plainValue(line, "StartingX").toInt(), line.split('=').last().trimmed().toInt());
            if (f.start.at.x() >= w || f.start.at.y() >= h)
                continue;
        }
        list << f;
    }
    for (BalanceFigures &f : list) {
        Yield sum{};
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < h; ++y) {
                int ax = qAbs(x - f.start.at.x()), ay = qAbs(y - f.start.at.y());
                if (doc.Header.wrapX)
                    ax = qMin(ax, w - ax);
                if (doc.Header.wrapY)
                    ay = qMin(ay, h - ay);
                if (ax > 2 || ay > 2 || (ax == 2 && ay == 2))
                    continue;
                const QByteArray text = doc.PlotTexts.text(x, h - 1 - y);
                const QByteArray type = plainValue(text, "PlotType");
                const bool river = plainFlag(doc, x, y, "isNOfRiver") || plainFlag(doc, x, y, "isWOfRiver")
                    || plainFlag(doc, x, y + 1, "isNOfRiver") || plainFlag(doc, x - 1, y, "isWOfRiver");
                f.land += type == "0" || type == "1" || type == "2";
                f.water += type == "3";
                f.peaks += type == "0";
                f.hills += type == "1";
                f.flat += type == "2";
                f.river += river;
                const QByteArray feature = plainValue(text, "FeatureType"), bonus = plainValue(text, "BonusType");
                if (!feature.isEmpty())
                    ++f.features[feature];
                if (!bonus.isEmpty())
                    ++f.bonuses[bonus];
                const std::array<Yield, 3> t = Terrains.value(plainValue(text, "TerrainType"));
                for (std::size_t i = 0; i < 3 && type != "0"; ++i)
                    sum[i] += qMax(0, t[0][i] + (type == "1" ? t[1][i] : 0) + (river ? t[2][i] : 0)
                                          + Changes.value(feature)[i] + Changes.value(bonus)[i]);
            }
        if (withYields)
            f.yields = sum;
        for (const BalanceFigures &o : list) {
            int dx = qAbs(o.start.at.x() - f.start.at.x()), dy = qAbs(o.start.at.y() - f.start.at.y());
            if (doc.Header.wrapX)
                dx = qMin(dx, w - dx);
            if (doc.Header.wrapY)
                dy = qMin(dy, h - dy);
            if (o.start.player != f.start.player && (!f.nearestPlayer || qMax(dx, dy) < f.nearestDistance)) {
                f.nearestPlayer = o.start.player;
                f.nearestDistance = qMax(dx, dy);
            }
        }
    }
    return list;
}

} // namespace

class TestBalance : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void againstPlainCounts();
    void settlerIndexFollowsEdits();
};

void TestBalance::againstPlainCounts()
{
    QTemporaryDir dir;
    QVERIFY(writeData(dir.path()));
    GameYields yields;
    QString error;
    QVERIFY2(yields.load(dir.path(), &error), qPrintable(error));
    int settlers = 0, lines = 0, wrapped = 0;
    for (quint32 seed = 1; seed <= 300; ++seed) {
        const Document doc = generate(seed);
        const bool withYields = seed % 2;
        const QList<BalanceFigures> fast =
            BalanceReport::figures(doc, PlayerStarts::effective(doc), withYields ? &yields : nullptr);
        QCOMPARE(BalanceReport::json(fast), BalanceReport::json(plainReport(doc, withYields)));
        for (const BalanceFigures &f : fast)
            (f.start.fromSettler ? settlers : lines) += 1;
        wrapped += doc.Header.wrapX && doc.Header.wrapY;
    }
    // The cases the maps were made for did occur.
    QVERIFY(settlers > 100 && lines > 100 && wrapped > 30);
    // A peak yields nothing; a jungle on desert is held at 0.
    QCOMPARE(yields.plotYield("TERRAIN_GRASS", "FEATURE_FOREST", "BONUS_GOLD", true, false, true), (Yield{0, 0, 0}));
    QCOMPARE(yields.plotYield("TERRAIN_DESERT", "FEATURE_JUNGLE", "", false, false, false), (Yield{0, 0, 0}));
    QCOMPARE(yields.plotYield("TERRAIN_PLAINS", "", "BONUS_WHEAT", false, true, true), (Yield{2, 3, 1}));
}

void TestBalance::settlerIndexFollowsEdits()
{
    Document doc = generate(7);
    SettlerIndex index;
    index.scan(doc.PlotTexts);
    for (quint32 seed = 20; seed < 40; ++seed) {
        const Document other = generate(seed);
        const QRect area(int(seed % 3), int(seed % 2), 2, 3);
        for (int row = area.top(); row <= area.bottom(); ++row)
            for (int col = area.left(); col <= area.right(); ++col)
                doc.PlotTexts.setText(col, row, other.PlotTexts.view(col, row));
        index.scan(doc.PlotTexts, area);
        SettlerIndex fresh;
        fresh.scan(doc.PlotTexts);
        QCOMPARE(index.firstPlots(doc.rowCount()), fresh.firstPlots(doc.rowCount()));
    }
}

QTEST_GUILESS_MAIN(TestBalance)
#include "tst_balance.moc"
