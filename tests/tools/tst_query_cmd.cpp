// vor4map find, stats, pieces, balance and diff run as a user runs them: output and exit
// status on the fixture, held against what a plain reading of the file's
// text gives, and on pairs of files made from it.

#include "Vor4mapProcess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");

// The plot blocks of a file in the editor's own form, read plainly: the
// coordinates and the other lines, trimmed.
struct RawPlot
{
    int x = 0, y = 0;
    QList<QByteArray> lines;
};

QList<RawPlot> rawPlots(const QByteArray &file)
{
    QList<RawPlot> plots;
    bool inPlot = false;
    for (QByteArray line : file.split('\n')) {
        line = line.trimmed();
        if (line == "BeginPlot") {
            inPlot = true;
            plots.append(RawPlot());
        } else if (line == "EndPlot") {
            inPlot = false;
        } else if (inPlot && line.startsWith("x=") && line.contains(",y=")) {
            plots.last().x = line.mid(2, line.indexOf(',') - 2).toInt();
            plots.last().y = line.mid(line.indexOf(",y=") + 3).toInt();
        } else if (inPlot) {
            plots.last().lines.append(line);
        }
    }
    return plots;
}

// Reading order of the editor's grid: the top row (highest y) first.
bool readingOrder(const RawPlot &a, const RawPlot &b) { return a.y != b.y ? a.y > b.y : a.x < b.x; }

} // namespace

class TestQueryCommands : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void find();
    void stats();
    void diffOfCraftedPairs();
    void pieces();
    void balance_data();
    void balance();
    void troubleAndWrongCalls();

private:
    QByteArray m_file;
    QList<RawPlot> m_plots;
    QTemporaryDir m_dir;
};

void TestQueryCommands::initTestCase()
{
    m_file = readAll(Continents);
    QVERIFY(!m_file.isEmpty());
    m_plots = rawPlots(m_file);
    QCOMPARE(m_plots.size(), 64 * 40);
    std::sort(m_plots.begin(), m_plots.end(), readingOrder);
    QVERIFY(m_dir.isValid());
    // No game: balance reads yields only from --data.
    qputenv("WINEPREFIX", m_dir.filePath("wine").toLocal8Bit());
}

void TestQueryCommands::find()
{
    const auto expected = [this](const std::function<bool(const QByteArray &)> &matches) {
        QByteArray out;
        for (const RawPlot &p : std::as_const(m_plots)) {
            for (const QByteArray &line : p.lines) {
                if (matches(line)) {
                    out += QByteArray::number(p.x) + ',' + QByteArray::number(p.y) + ": " + line + '\n';
                    break;
                }
            }
        }
        return out;
    };

    const QByteArray bonuses = expected([](const QByteArray &l) { return l.contains("BONUS_"); });
    Run r = vor4map({"find", Continents, "BONUS_"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, bonuses);
    QVERIFY(r.out.count('\n') > 100);
    QCOMPARE(r.err, QByteArray());

    r = vor4map({"find", Continents, "bonus_", "--count"});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, QByteArray("0\n"));
    r = vor4map({"find", "--ignore-case", Continents, "bonus_"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, bonuses);
    r = vor4map({"find", Continents, "bonus_", "--ignore-case", "--count"});
    QCOMPARE(r.out, QByteArray::number(bonuses.count('\n')) + "\n");

    // A regular expression; the first matching line is printed.
    const QRegularExpression re(QStringLiteral("^(Feature|Terrain)Type=\\w+_(ICE|SNOW)\\b"));
    r = vor4map({"find", Continents, re.pattern(), "--regex"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, expected([&re](const QByteArray &l) { return re.match(QString::fromLatin1(l)).hasMatch(); }));

    r = vor4map({"find", Continents, "TERRAIN_MARS"});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, QByteArray());
    // "--" ends the options.
    r = vor4map({"find", Continents, "--", "--count"});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, QByteArray());
}

void TestQueryCommands::stats()
{
    static const char *const keys[] = {"TerrainType", "BonusType", "FeatureType", "ImprovementType", "PlotType"};
    // Plainly: the fixture has at most one line of each key in a plot.
    QMap<QByteArray, QMap<QByteArray, int>> counts;
    int filled = 0;
    for (const RawPlot &p : std::as_const(m_plots)) {
        filled += !p.lines.isEmpty();
        for (const char *key : keys) {
            QByteArray value = "(none)";
            for (const QByteArray &line : p.lines)
                if (line.startsWith(QByteArray(key) + '='))
                    value = line.mid(qsizetype(strlen(key)) + 1).split(',').first().trimmed();
            ++counts[key][value];
        }
    }

    Run r = vor4map({"stats", Continents, "--json"});
    QCOMPARE(r.code, 0);
    QJsonParseError error;
    const QJsonObject o = QJsonDocument::fromJson(r.out, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QVERIFY(r.out.startsWith("{\"columns\":64,\"rows\":40,\"plots_with_text\":" + QByteArray::number(filled)
                             + ",\"counts\":{\"TerrainType\":{"));
    for (const char *key : keys) {
        const QJsonObject values = o.value("counts").toObject().value(QLatin1String(key)).toObject();
        QCOMPARE(values.size(), counts[key].size());
        for (auto it = counts[key].begin(); it != counts[key].end(); ++it)
            QCOMPARE(values.value(QString::fromLatin1(it.key())).toInt(), it.value());
    }

    r = vor4map({"stats", Continents});
    QCOMPARE(r.code, 0);
    int land = 0;
    for (auto it = counts["PlotType"].begin(); it != counts["PlotType"].end(); ++it)
        land += it.key() != "3" ? it.value() : 0;
    QVERIFY(r.out.startsWith("Map size: 64 x 40\nPlots with text: " + QByteArray::number(filled)
                             + "\nLand plots: " + QByteArray::number(land) + "\n\nTerrainType:\n"));
    // Every "  value: count" line under its key, as counted plainly.
    QMap<QByteArray, QMap<QByteArray, int>> printed;
    QByteArray key;
    for (const QByteArray &line : r.out.split('\n')) {
        if (line.endsWith(':') && !line.startsWith(' '))
            key = line.chopped(1);
        else if (line.startsWith("  "))
            printed[key][line.mid(2, line.lastIndexOf(": ") - 2)] = line.mid(line.lastIndexOf(": ") + 2).split(' ').first().toInt();
    }
    QCOMPARE(printed, counts);
    QVERIFY(r.out.contains("\n  TERRAIN_OCEAN: " + QByteArray::number(counts["TerrainType"]["TERRAIN_OCEAN"]) + "\n"));
    QVERIFY(r.out.contains("\n  2: " + QByteArray::number(counts["PlotType"]["2"]) + " ("
                           + QByteArray::number(100.0 * counts["PlotType"]["2"] / land, 'f', 1) + "% of land)\n"));
}

void TestQueryCommands::diffOfCraftedPairs()
{
    const QString a = m_dir.filePath("a.Vor4WorldBuilderSave");
    const QString b = m_dir.filePath("b.Vor4WorldBuilderSave");
    QVERIFY(writeFile(a, m_file));

    // Line ends, indentation, blank lines and keyword case: no difference.
    QByteArray noisy;
    int i = 0;
    for (QByteArray line : m_file.split('\n')) {
        line = line.trimmed();
        if (line == "EndPlot")
            line = "endplot";
        const char *indent[] = {"", " ", "\t\t", "  \t"};
        noisy += indent[i % 4] + line + (i % 3 ? "  " : "") + (i % 7 == 0 ? "\r" : "") + "\n";
        if (i % 11 == 0)
            noisy += "\n";
        ++i;
    }
    QVERIFY(writeFile(b, noisy));
    Run r = vor4map({"diff", a, b});
    QCOMPARE(r.err, QByteArray());
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QByteArray());
    r = vor4map({"diff", a, b, "--stat"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QByteArray("sections changed: 0\nplots changed: 0\nplots added: 0\nplots removed: 0\n"
                               "lines removed: 0\nlines added: 0\n"));

    // One plot changed.
    QByteArray changed = m_file;
    const QByteArray plot = "\tx=5,y=7\r\n\tTerrainType=TERRAIN_OCEAN\r\n";
    QCOMPARE(changed.count(plot), 1);
    changed.replace(plot, "\tx=5,y=7\r\n\tTerrainType=TERRAIN_SNOW\r\n");
    QVERIFY(writeFile(b, changed));
    r = vor4map({"diff", a, b});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, QByteArray("@@ plot 5,7\n-TerrainType=TERRAIN_OCEAN\n+TerrainType=TERRAIN_SNOW\n"));
    r = vor4map({"diff", a, b, "--stat"});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, QByteArray("sections changed: 0\nplots changed: 1\nplots added: 0\nplots removed: 0\n"
                               "lines removed: 1\nlines added: 1\n"));

    // A column more: the size, and the new plots as added.
    QByteArray wider = m_file;
    wider.replace("grid width=64", "grid width=65");
    QVERIFY(writeFile(b, wider));
    r = vor4map({"diff", a, b});
    QCOMPARE(r.code, 1);
    QByteArray expected = "@@ map\n-grid width=64\n+grid width=65\n";
    for (int y = 0; y < 40; ++y)
        expected += "@@ plot 64," + QByteArray::number(y) + " (added)\n";
    QCOMPARE(r.out, expected);

    // A team slot: the fourth team block.
    QByteArray team = m_file;
    qsizetype block = -1;
    for (int n = 0; n < 4; ++n)
        block = team.indexOf("BeginTeam\r\n", block + 1);
    const qsizetype first = block + qsizetype(strlen("BeginTeam\r\n\t"));
    const QByteArray oldLine = team.mid(first, team.indexOf('\r', first) - first);
    team.replace(first, oldLine.size(), "TeamID=99");
    QVERIFY(writeFile(b, team));
    r = vor4map({"diff", a, b});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, "@@ team 3\n-" + oldLine + "\n+TeamID=99\n");
}

void TestQueryCommands::pieces()
{
    // Against a plain reading of the file, with a sign added.
    const QString path = m_dir.filePath("signed.Vor4WorldBuilderSave");
    QVERIFY(writeFile(path, m_file + "BeginSign\r\n\tplotX=3\r\n\tplotY=4\r\n\tcaption=Ford \"A\"\r\nEndSign\r\n"));
    QByteArray expected;
    static const QRegularExpression start(QStringLiteral("StartingX=(\\d+), StartingY=(\\d+)"));
    int player = 0;
    for (const QString &block : QString::fromLatin1(m_file).split(QStringLiteral("BeginPlayer")).mid(1)) {
        const QRegularExpressionMatch m = start.match(block.section(QStringLiteral("EndPlayer"), 0, 0));
        if (m.hasMatch())
            expected += QStringLiteral("start %1 %2,%3\n").arg(player).arg(m.captured(1), m.captured(2)).toLatin1();
        ++player;
    }
    int rivers = 0;
    QJsonArray units;
    QMap<int, int> revealed;
    for (const RawPlot &p : std::as_const(m_plots)) {
        QSet<int> teams;
        for (const QByteArray &line : p.lines)
            if (line.startsWith("TeamReveal="))
                for (const QByteArray &t : line.mid(11).split(','))
                    if (!t.isEmpty())
                        teams << t.toInt();
        for (int t : std::as_const(teams))
            ++revealed[t];
        for (const QByteArray &line : p.lines) {
            rivers += line == "isNOfRiver" || line == "isWOfRiver";
            if (!line.startsWith("UnitType="))
                continue;
            const QByteArray type = line.mid(9, line.indexOf(',') - 9), owner = line.mid(line.indexOf("UnitOwner=") + 10);
            expected += "unit " + QByteArray::number(p.x) + ',' + QByteArray::number(p.y) + ' ' + owner + ' ' + type + '\n';
            units.append(QJsonObject{{"x", p.x}, {"y", p.y}, {"owner", owner.toInt()}, {"type", QString::fromLatin1(type)}});
        }
    }
    QVERIFY(units.size() >= 10 && rivers >= 50);
    expected += "sign 3,4 Ford \"A\"\nriver edges " + QByteArray::number(rivers) + '\n';
    QJsonArray reveals;
    for (auto it = revealed.cbegin(); it != revealed.cend(); ++it) {
        expected += "revealed to team " + QByteArray::number(it.key()) + ' ' + QByteArray::number(*it) + " plots\n";
        reveals.append(QJsonObject{{"team", it.key()}, {"plots", *it}});
    }
    QVERIFY(revealed.size() >= 5);
    Run r = vor4map({"pieces", path});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, expected);

    r = vor4map({"pieces", path, "--json"});
    QCOMPARE(r.code, 0);
    const QJsonObject json = QJsonDocument::fromJson(r.out).object();
    QCOMPARE(json.value("starts").toArray().size(), expected.count("start "));
    QCOMPARE(json.value("starts").toArray()[0].toObject(), (QJsonObject{{"player", 0}, {"x", 24}, {"y", 13}}));
    QCOMPARE(json.value("units").toArray(), units);
    QCOMPARE(json.value("signs").toArray(), (QJsonArray{QJsonObject{{"x", 3}, {"y", 4}, {"caption", "Ford \"A\""}}}));
    QCOMPARE(json.value("river_edges").toInt(), rivers);
    QCOMPARE(json.value("revealed").toArray(), reveals);
}

void TestQueryCommands::balance_data()
{
    // A 7 x 5 map wrapping east-west: hills with a river along the west
    // edge, one settler of player 1 beside player 1's stale start line,
    // player 2 by its start line only, player 3 off the map.
    QByteArray map = "BeginMap\r\n\tgrid width=7\r\n\tgrid height=5\r\n\twrap X=1\r\n\twrap Y=0\r\nEndMap\r\n";
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 5; ++y)
            map += "BeginPlot\r\n\tx=" + QByteArray::number(x) + ",y=" + QByteArray::number(y) + "\r\n"
                + (x == 6 ? "\tisWOfRiver\r\n" : "") + (x == 1 && y == 2 ? "\tFeatureType=FEATURE_FOREST\r\n" : "")
                + (x == 0 && y == 2 ? "\tBeginUnit\r\n\t\tUnitType=UNIT_SETTLER\r\n\t\tUnitOwner=1\r\n\tEndUnit\r\n" : "")
                + "\tTerrainType=TERRAIN_GRASS\r\n\tPlotType=" + (x < 3 ? "1" : "3") + "\r\nEndPlot\r\n";
    QByteArray players;
    for (const char *start : {"", "StartingX=4, StartingY=4", "StartingX=5, StartingY=2", "StartingX=9, StartingY=2"})
        players += QByteArray("BeginPlayer\r\n\t") + start + "\r\nEndPlayer\r\n";
    const QString path = m_dir.filePath("balance.Vor4WorldBuilderSave");
    QVERIFY(writeFile(path, "BeginGame\r\nEndGame\r\n" + players + map));
    QDir(m_dir.path()).mkpath("data");
    const QString data = m_dir.filePath("data");
    QVERIFY(writeFile(data + "/VOR4TerrainInfos.xml", "<T><I><Type>TERRAIN_GRASS</Type><Yields><iYield>2</iYield>"
                                                      "</Yields><RiverYieldChange><iYield/><iYield/><iYield>1</iYield>"
                                                      "</RiverYieldChange><HillsYieldChange><iYield>-1</iYield>"
                                                      "<iYield>2</iYield></HillsYieldChange></I></T>"));
    QVERIFY(writeFile(data + "/VOR4FeatureInfos.xml", "<F><I><Type>FEATURE_FOREST</Type><YieldChanges><iYieldChange>"
                                                      "0</iYieldChange><iYieldChange>1</iYieldChange></YieldChanges></I></F>"));
    QVERIFY(writeFile(data + "/VOR4BonusInfos.xml", "<B/>"));
    QVERIFY(writeFile(data + "/VOR4YieldInfos.xml", "<Y/>"));

    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    // Player 1 at 0,2 sees x 5, 6, 0, 1, 2: hills on 0..2, rivers on x 6 and
    // on x 0 (its west neighbour's edge, across the wrap); the sea beside
    // it, a river under it. Of the 15 land plots it is nearest to all but
    // x=0 at y=0 and 4, which it shares with player 2 on the water.
    const QByteArray p1 = R"({"player":1,"from":"settler","x":0,"y":2,"score":100.0,"territory":14.0,)"
                          R"("territoryAcrossWater":0.0,"landShare":0.9333,"firstRingFood":0,"freshWater":true,)"
                          R"("coastal":true,"onHill":true,"onRiver":true,)";
    const QByteArray p1Counts = R"("plots":21,"land":13,"water":8,"peaks":0,"hills":13,"flat":0,"unknown":0,)"
                                R"("river":10,"features":{"FEATURE_FOREST":1},"bonuses":{},"hidden":{},)"
                                R"("nearest":{"player":2,"distance":2}},)";
    const QByteArray p2 = R"("territory":1.0,"territoryAcrossWater":1.0,"landShare":0.0667,"firstRingFood":0,)"
                          R"("freshWater":true,"coastal":true,"onHill":false,"onRiver":false,)";
    const QByteArray p2Counts = R"("plots":21,"land":3,"water":18,"peaks":0,"hills":3,"flat":0,"unknown":0,)"
                                R"("river":8,"features":{},"bonuses":{},"hidden":{},)"
                                R"("nearest":{"player":1,"distance":2}},{"player":3,"from":"none"}],)";
    const QByteArray noStart = "warning: player 3 is in use but has no start on the map\n";
    // A river adds to the land only: grass hills 1/2/0, the water's grass
    // 2/0/0.
    QTest::newRow("json") << QStringList{"balance", path, "--json", "--data", data} << 0
                          << "{\"players\":[" + p1 + R"("food":29,"production":27,"commerce":5,)" + p1Counts
                                 + R"({"player":2,"from":"start","x":5,"y":2,"score":32.3,)" + p2
                                 + R"("food":39,"production":6,"commerce":3,)" + p2Counts
                                 + R"("spread":0.323,"worst":2,"landPlots":15,"unknownPlots":[]})" + "\n"
                          << noStart;
    QTest::newRow("table") << QStringList{"balance", path} << 0
                           << QByteArray("player                         1         2         3\n"
                                         "from                     settler     start  no start\n"
                                         "x                              0         5         -\n"
                                         "y                              2         2         -\n"
                                         "score                      100.0      34.4         -\n")
                           << noStart;
    QTest::newRow("missing file") << QStringList{"balance", m_dir.filePath("none")} << 2 << QByteArray()
                                  << QByteArray("Cannot open file ");
    QTest::newRow("missing data") << QStringList{"balance", path, "--data", m_dir.path()} << 2 << QByteArray()
                                  << m_dir.filePath("VOR4TerrainInfos.xml").toUtf8() + ": No such file or directory\n";
    QTest::newRow("wrong call") << QStringList{"balance", path, path} << 2 << QByteArray() << QByteArray("vor4map");
}

void TestQueryCommands::balance()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    const Run r = vor4map(args);
    QCOMPARE(r.code, code);
    QVERIFY2(r.out.startsWith(out) && (out.isEmpty() == r.out.isEmpty()), r.out.constData());
    QVERIFY2(r.err.startsWith(err), r.err.constData());
    // The table ends with its verdict.
    if (QByteArray(QTest::currentDataTag()) == "table")
        QVERIFY(r.out.endsWith("\nworst start: player 2, 34% of the best\n"));
}

void TestQueryCommands::troubleAndWrongCalls()
{
    const QString missing = m_dir.filePath("missing.Vor4WorldBuilderSave");
    const QString bad = m_dir.filePath("bad.Vor4WorldBuilderSave");
    QVERIFY(writeFile(bad, "Version=11\r\nBeginGame\r\n\r\nEndMap\r\n"));
    for (const QStringList &args : {QStringList{"find", missing, "x"}, QStringList{"stats", missing},
                                    QStringList{"pieces", missing},
                                    QStringList{"diff", Continents, missing}, QStringList{"diff", missing, Continents}}) {
        const Run r = vor4map(args);
        QCOMPARE(r.code, 2);
        QCOMPARE(r.err, ("Cannot open file " + missing + "\n").toUtf8());
        QCOMPARE(r.out, QByteArray());
    }
    for (const QStringList &args : {QStringList{"find", bad, "x"}, QStringList{"stats", bad, "--json"},
                                    QStringList{"diff", bad, Continents, "--stat"}}) {
        const Run r = vor4map(args);
        QCOMPARE(r.code, 2);
        QCOMPARE(r.err, bad.toUtf8() + ":4: Error in map file - Line: 4\n");
    }
    Run r = vor4map({"find", Continents, "BONUS_(", "--regex"});
    QCOMPARE(r.code, 2);
    QCOMPARE(r.err, QByteArray("The regular expression is not valid: missing closing parenthesis at position 7\n"));

    for (const QStringList &args : {QStringList{"find", Continents}, QStringList{"find", Continents, "x", "--frob"},
                                    QStringList{"stats"}, QStringList{"stats", Continents, Continents},
                                    QStringList{"pieces", Continents, "--xml"},
                                    QStringList{"diff", Continents}, QStringList{"diff", "--stat"}}) {
        r = vor4map(args);
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.startsWith("vor4map " + args[0].toUtf8() + ": "), r.err.constData());
        QVERIFY(r.err.contains("Usage: vor4map"));
        QCOMPARE(r.out, QByteArray());
    }
    r = vor4map({"--help"});
    for (const char *text : {"find FILE PATTERN", "--ignore-case", "stats FILE", "--json", "diff A B", "--stat"})
        QVERIFY2(r.out.contains(text), text);
}

QTEST_GUILESS_MAIN(TestQueryCommands)
#include "tst_query_cmd.moc"
