// New maps, generated land included, read back from the file they make
// and held against what the generator promises: the same bytes for the same
// seed, the asked land share, the number of landmasses, no lint finding,
// starts at least as far apart as a plain farthest-point placement puts
// them, each with its player's settler.

#include "MapLint.h"
#include "MapReader.h"
#include "MapWriter.h"
#include "NewMap.h"
#include "PlotFacts.h"
#include "ValueNoise.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace vor4;

namespace {

using Land = NewMapSettings::Land;

struct Reading
{
    int cols = 0, rows = 0;
    bool wrapX = false, wrapY = false;
    QList<QByteArray> types, terrains; // row after row from the north-west

    int distance(int a, int b) const
    {
        int dx = std::abs(a % cols - b % cols), dy = std::abs(a / cols - b / cols);
        dx = wrapX ? std::min(dx, cols - dx) : dx;
        dy = wrapY ? std::min(dy, rows - dy) : dy;
        return std::max(dx, dy);
    }
    // Beside plot i, wrapped where the map wraps.
    QList<int> around(int i, bool diagonals) const
    {
        QList<int> n;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                int x = i % cols + dx, y = i / cols + dy;
                x = wrapX ? (x + cols) % cols : x;
                y = wrapY ? (y + rows) % rows : y;
                if ((dx || dy) && (diagonals || !dx || !dy) && x >= 0 && y >= 0 && x < cols && y < rows)
                    n << y * cols + x;
            }
        return n;
    }
    bool land(int i) const { return types[i] != "3"; }
};

Reading read(const Document &doc)
{
    Reading r{doc.columnCount(), doc.rowCount(), doc.Header.wrapX == 1, doc.Header.wrapY == 1, {}, {}};
    for (int row = 0; row < r.rows; ++row)
        for (int col = 0; col < r.cols; ++col) {
            const QByteArrayView text = doc.PlotTexts.view(col, row);
            r.types << PlotFacts::field(PlotFacts::firstValue(text, "PlotType").value_or("")).toByteArray();
            r.terrains << PlotFacts::field(PlotFacts::firstValue(text, "TerrainType").value_or("")).toByteArray();
        }
    return r;
}

int landmasses(const Reading &r)
{
    QList<bool> seen(r.types.size(), false);
    int masses = 0;
    for (int i = 0; i < r.types.size(); ++i) {
        if (!r.land(i) || seen[i])
            continue;
        ++masses;
        QList<int> todo{i};
        seen[i] = true;
        while (!todo.isEmpty())
            for (const int q : r.around(todo.takeLast(), true))
                if (r.land(q) && !seen[q]) {
                    seen[q] = true;
                    todo << q;
                }
    }
    return masses;
}

// Greedy farthest-point placement from the first plot a start may take:
// flat or hill grassland or plains with no water beside it and at most 2
// peaks and 4 snow, tundra or desert plots in its work area, else without
// the work area's rule, else any flat or hill plot.
int plainNearest(const Reading &r, int players, QList<int> *taken)
{
    QList<int> best, good, any;
    for (int i = 0; i < r.types.size(); ++i) {
        if (r.types[i] != "1" && r.types[i] != "2")
            continue;
        any << i;
        bool wet = false;
        for (const int q : r.around(i, false))
            wet = wet || !r.land(q);
        if (wet || (r.terrains[i] != "TERRAIN_GRASS" && r.terrains[i] != "TERRAIN_PLAINS"))
            continue;
        good << i;
        int peaks = 0, harsh = 0;
        QSet<int> area; // the 5 x 5 square without its corners, wrapped
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const int x = r.wrapX ? (i % r.cols + dx + r.cols) % r.cols : i % r.cols + dx;
                const int y = r.wrapY ? (i / r.cols + dy + r.rows) % r.rows : i / r.cols + dy;
                if (qAbs(dx) + qAbs(dy) < 4 && x >= 0 && y >= 0 && x < r.cols && y < r.rows)
                    area << y * r.cols + x;
            }
        for (const int q : area) {
            peaks += r.types[q] == "0";
            harsh += QList<QByteArray>{"TERRAIN_SNOW", "TERRAIN_TUNDRA", "TERRAIN_DESERT"}.contains(r.terrains[q]);
        }
        if (peaks <= 2 && harsh <= 4)
            best << i;
    }
    const QList<int> candidates = best.size() >= players ? best : good.size() >= players ? good : any;
    *taken = candidates;
    QList<int> placed;
    while (placed.size() < std::min<qsizetype>(players, candidates.size())) {
        int best = candidates[0], far = -1;
        for (const int c : candidates) {
            int gap = INT_MAX;
            for (const int p : placed)
                gap = std::min(gap, r.distance(c, p));
            if (gap > far) {
                far = gap;
                best = c;
            }
        }
        placed << best;
    }
    int nearest = INT_MAX;
    for (int a = 0; a < placed.size(); ++a)
        for (int b = a + 1; b < placed.size(); ++b)
            nearest = std::min(nearest, r.distance(placed[a], placed[b]));
    return nearest;
}

} // namespace

class TestNewMap : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void generatedMapsKeepTheirPromises_data();
    void generatedMapsKeepTheirPromises();
    void sameSeedSameBytesEverywhere();
    void noiseHasNoSeamWhereTheMapWraps();
};

void TestNewMap::generatedMapsKeepTheirPromises_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("seed");
    QTest::addColumn<int>("base");
    for (const Land kind : {Land::Continents, Land::Pangaea, Land::Islands})
        for (int seed = 1; seed <= 20; ++seed)
            QTest::addRow("kind %d seed %d", int(kind), seed) << int(kind) << seed << 0;
    for (int base = 0; base < 3; ++base)
        QTest::addRow("no land, base %d", base) << int(Land::None) << 4 << base;
}

void TestNewMap::generatedMapsKeepTheirPromises()
{
    QFETCH(int, kind);
    QFETCH(int, seed);
    QFETCH(int, base);
    NewMapSettings s;
    s.land = Land(kind);
    s.base = NewMapSettings::Base(base);
    s.seed = quint32(seed) * 2654435761u;
    s.width = 40 + seed * 3;
    s.height = 30 + (seed * 7) % 25;
    s.wrapX = seed % 4 != 1;
    s.wrapY = seed % 3 == 0;
    s.players = seed % 10;
    s.landShare = 10 + (seed * 13) % 81;
    s.topLatitude = seed % 5 == 0 ? 60 : 90;
    s.bottomLatitude = seed % 7 == 0 ? 0 : -90;
    QVERIFY(s.problem().isEmpty());

    const QByteArray bytes = buildSaveFile(NewMap::make(s));
    QCOMPARE(buildSaveFile(NewMap::make(s)), bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("new.Vor4WorldBuilderSave"));
    QVERIFY(writeMapFile(path, bytes).ok);
    Document doc;
    QVERIFY(loadMapFile(path, doc).ok());
    QCOMPARE(buildSaveFile(doc), bytes);

    const Reading r = read(doc);
    if (s.land == Land::None) {
        const QByteArray only[] = {"TerrainType=TERRAIN_OCEAN\r\nPlotType=3", "TerrainType=TERRAIN_GRASS\r\nPlotType=2", ""};
        for (int i = 0; i < r.types.size(); ++i)
            if (doc.PlotTexts.view(i % r.cols, i / r.cols) != only[base])
                QVERIFY(s.base == NewMapSettings::Base::Grass && !PlotFacts::unitsOf(doc.PlotTexts.view(i % r.cols, i / r.cols)).isEmpty());
    }
    qsizetype landPlots = 0, hills = 0, peaks = 0;
    for (int i = 0; i < r.types.size(); ++i) {
        landPlots += r.land(i) && r.types[i] != "";
        hills += r.types[i] == "1";
        peaks += r.types[i] == "0";
        // Climate by latitude, the noise on it at most 8 degrees.
        const int row = i / r.cols, lat = qAbs(s.topLatitude + (s.bottomLatitude - s.topLatitude) * (2 * row + 1) / (2 * r.rows));
        const QByteArray &t = r.terrains[i];
        QVERIFY2((t != "TERRAIN_SNOW" || lat >= 70) && (t != "TERRAIN_TUNDRA" || lat >= 58) && (t != "TERRAIN_DESERT" || (lat >= 12 && lat < 46)),
                 qPrintable(QStringLiteral("%1 at latitude %2").arg(QString::fromLatin1(t)).arg(lat)));
        const QByteArrayView feature = PlotFacts::firstValue(doc.PlotTexts.view(i % r.cols, row), "FeatureType").value_or("");
        QVERIFY(!feature.startsWith("FEATURE_ICE") || (lat >= 72 && !r.land(i)));
        QVERIFY(!feature.startsWith("FEATURE_JUNGLE") || lat < 28);
        if (r.types[i] == "0")
            for (const int q : r.around(i, false))
                QVERIFY2(r.land(q), "a peak on the coast");
    }
    if (s.land != Land::None) {
        QVERIFY2(qAbs(landPlots * 100 - qsizetype(r.types.size()) * s.landShare) <= 2 * r.types.size(),
                 qPrintable(QStringLiteral("%1 land plots of %2").arg(landPlots).arg(r.types.size())));
        QCOMPARE(hills, landPlots * s.hillShare / 100);
        QVERIFY(peaks <= landPlots * s.peakShare / 100);
        const int masses = landmasses(r);
        if (s.landShare <= 75)
            QVERIFY2(s.land == Land::Pangaea ? masses == 1 : s.land == Land::Continents ? masses >= 2 && masses <= 6 : masses >= 7,
                     qPrintable(QStringLiteral("%1 landmasses").arg(masses)));
    }
    const QList<LintFinding> findings = MapLint::lint(doc);
    QVERIFY2(findings.isEmpty() == (s.base != NewMapSettings::Base::Empty), MapLint::text(findings).constData());

    // Each player starts where there is flat or hill land, with a settler.
    QList<int> starts;
    for (int slot = 0; slot < s.players; ++slot) {
        const std::optional<QPoint> at = PlotFacts::startOf(doc.PlayerTexts[slot]).plot();
        QCOMPARE(bool(at), hills + landPlots - peaks > 0 && s.base != NewMapSettings::Base::Empty);
        if (!at)
            continue;
        const int row = doc.fileY(at->y());
        starts << row * r.cols + at->x();
        const QList<PlotFacts::Unit> units = PlotFacts::unitsOf(doc.PlotTexts.view(at->x(), row));
        QVERIFY(std::any_of(units.begin(), units.end(),
                            [&](const PlotFacts::Unit &u) { return PlotFacts::isSettler(u) && u.owner == slot; }));
    }
    int nearest = INT_MAX;
    for (int a = 0; a < starts.size(); ++a)
        for (int b = a + 1; b < starts.size(); ++b)
            nearest = std::min(nearest, r.distance(starts[a], starts[b]));
    QList<int> candidates;
    QVERIFY(nearest >= plainNearest(r, s.players, &candidates));
    for (const int start : std::as_const(starts))
        QVERIFY(candidates.contains(start));

    // A river runs between two land plots.
    for (const PlotFacts::RiverEdge &e : PlotFacts::riverEdges(doc.PlotTexts, QRect(0, 0, r.cols, r.rows))) {
        QVERIFY(r.land(e.carrier.y() * r.cols + e.carrier.x()));
        QVERIFY(r.land(e.neighbour().y() * r.cols + e.neighbour().x()));
    }
}

// A file made once and kept: every machine and compiler must make it again.
void TestNewMap::sameSeedSameBytesEverywhere()
{
    NewMapSettings s;
    s.width = 24;
    s.height = 16;
    s.players = 3;
    s.land = Land::Continents;
    s.seed = 4;
    s.landShare = 45;
    QFile golden(QStringLiteral(VOR4_FIXTURES_DIR "/generated-continents-24x16.Vor4WorldBuilderSave"));
    QVERIFY(golden.open(QIODevice::ReadOnly));
    QCOMPARE(buildSaveFile(NewMap::make(s)), golden.readAll());
}

// Across a wrapping edge the noise steps no more than between neighbours
// elsewhere; across an edge that does not wrap it may jump.
void TestNewMap::noiseHasNoSeamWhereTheMapWraps()
{
    for (const int cell : {6, 37}) {
        const ValueNoise noise(cell * 5, 97, 61, cell, 1, true, true);
        int inside = 0, seam = 0;
        for (int y = 0; y < 61; ++y)
            for (int x = 0; x + 1 < 97; ++x)
                inside = std::max(inside, std::abs(noise.at(x + 1, y) - noise.at(x, y)));
        for (int y = 0; y < 61; ++y)
            seam = std::max(seam, std::abs(noise.at(0, y) - noise.at(96, y)));
        for (int x = 0; x < 97; ++x)
            seam = std::max(seam, std::abs(noise.at(x, 0) - noise.at(x, 60)));
        QVERIFY2(seam <= inside, qPrintable(QStringLiteral("seam %1, inside %2").arg(seam).arg(inside)));
    }
}

QTEST_GUILESS_MAIN(TestNewMap)
#include "tst_newmap.moc"
