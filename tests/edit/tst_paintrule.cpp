// The paint rule: Change and Clear on plot texts as bytes, the map contents
// window's cases among them, and random texts against a plain version of
// the rule written out here.

#include "PaintRule.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace vor4;

namespace {

// The rule written out plainly: split the text into lines, find the first
// line outside every BeginX ... EndX whose text before its first "=",
// trimmed, is the key without regard to case, replace, append or delete it,
// and join the lines with CR LF. A BeginX without its EndX runs to the end:
// a line put in goes in front of it.
QList<QByteArray> plainSplit(const QByteArray &text)
{
    QList<QByteArray> lines;
    QByteArray line;
    for (int i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines << line;
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

int plainFind(const QList<QByteArray> &lines, const QByteArray &key, int *openAt = nullptr)
{
    int depth = 0, opened = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed().toLower();
        const int eq = line.indexOf('=');
        if (eq < 0 && line.startsWith("begin"))
            opened = depth++ == 0 ? i : opened;
        else if (eq < 0 && line.startsWith("end") && depth > 0)
            --depth;
        else if (eq >= 0 && depth == 0 && line.left(eq).trimmed() == key.toLower())
            return i;
    }
    if (openAt)
        *openAt = depth > 0 ? opened : -1;
    return -1;
}

QByteArray plainPut(const QByteArray &text, const QByteArray &key, const QByteArray &line)
{
    QList<QByteArray> lines = plainSplit(text);
    int open = -1;
    const int at = plainFind(lines, key, &open);
    if (at >= 0)
        lines[at] = line;
    else if (open >= 0)
        lines.insert(open, line);
    else
        lines << line;
    return lines.join("\r\n");
}

QByteArray plainTake(const QByteArray &text, const QByteArray &key, bool *found)
{
    QList<QByteArray> lines = plainSplit(text);
    const int at = plainFind(lines, key);
    *found = at >= 0;
    if (at >= 0)
        lines.removeAt(at);
    return lines.join("\r\n");
}

QByteArray crlf(QByteArray text) { return text.replace("\n", "\r\n"); }

} // namespace

class TestPaintRule : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void brushLinesAndKeys();
    void putLine_data();
    void putLine();
    void takeKey_data();
    void takeKey();
    void lineEndsAsTheReaderSplitsThem();
    void valueAndPaintOrErase();
    void randomTextsMatchThePlainRule();
};

void TestPaintRule::brushLinesAndKeys()
{
    QCOMPARE(PaintRule::keyOf("TerrainType=TERRAIN_GRASS"), QByteArrayView("TerrainType"));
    QCOMPARE(PaintRule::keyOf(" \tFeatureType =FEATURE_FOREST, FeatureVariety=0"), QByteArrayView("FeatureType"));
    QVERIFY(PaintRule::keyOf("PlotType").isEmpty());
    QVERIFY(PaintRule::keyOf("  =1").isEmpty());

    QString error;
    PaintRule rule = PaintRule::fromLine("  FeatureType=FEATURE_FOREST, FeatureVariety=0\t", &error);
    QVERIFY(rule.canPaint());
    QCOMPARE(rule.line(), QByteArray("FeatureType=FEATURE_FOREST, FeatureVariety=0"));
    QCOMPARE(rule.key(), QByteArray("FeatureType"));
    QVERIFY(error.isEmpty());

    for (const QByteArray &bad : {QByteArray("TerrainType"), QByteArray(""), QByteArray(" \t ")}) {
        error.clear();
        QVERIFY(!PaintRule::fromLine(bad, &error).isValid());
        QVERIFY2(error.contains("has no \"=\""), qPrintable(error));
    }
    error.clear();
    QVERIFY(!PaintRule::fromLine(" = TERRAIN_GRASS", &error).isValid());
    QCOMPARE(error, QStringLiteral("\"= TERRAIN_GRASS\" has an empty key before its \"=\""));
    // One line only: a break or a NUL inside would add lines or end the file;
    // nor a line the reader would take as a plot's coordinates.
    QVERIFY(!PaintRule::fromLine(" TerrainType=x=1,y=2", &error).isValid());
    QVERIFY(error.startsWith("The line \"TerrainType=x=1,y=2\" would read as a plot's coordinates"));
    for (const QByteArray &bad : {QByteArray("A=1\r\nB=2"), QByteArray("A=1\nB"), QByteArray("A=1\rB"),
                                  QByteArray("A=1\0B", 5)}) {
        error.clear();
        QVERIFY(!PaintRule::fromLine(bad, &error).isValid());
        QVERIFY2(error.contains("holds a line break or a NUL byte"), qPrintable(error));
    }

    const PaintRule key = PaintRule::fromKey(" BonusType ");
    QVERIFY(key.isValid());
    QVERIFY(!key.canPaint());
    QCOMPARE(key.key(), QByteArray("BonusType"));
    QVERIFY(!PaintRule::fromKey("  ", &error).isValid());
    QCOMPARE(error, QStringLiteral("The key is empty"));
    QVERIFY(!PaintRule().isValid());
}

void TestPaintRule::putLine_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("expected");

    // The map contents window's own cases, as plot texts.
    QTest::newRow("replaced in place") << crlf("PlotType=2\nTerrainType=TERRAIN_GRASS\nBonusType=BONUS_IRON")
                                       << QByteArray("TerrainType=TERRAIN_PLAINS")
                                       << crlf("PlotType=2\nTerrainType=TERRAIN_PLAINS\nBonusType=BONUS_IRON");
    QTest::newRow("appended when absent") << crlf("PlotType=1\nBonusType=BONUS_IRON")
                                          << QByteArray("TerrainType=TERRAIN_SNOW")
                                          << crlf("PlotType=1\nBonusType=BONUS_IRON\nTerrainType=TERRAIN_SNOW");
    QTest::newRow("empty text") << QByteArray() << QByteArray("TerrainType=TERRAIN_GRASS")
                                << QByteArray("TerrainType=TERRAIN_GRASS");
    QTest::newRow("final line break adds no line") << QByteArray("PlotType=1\r\n")
                                                   << QByteArray("TerrainType=TERRAIN_GRASS")
                                                   << crlf("PlotType=1\nTerrainType=TERRAIN_GRASS");
    QTest::newRow("key in another case") << crlf("terrainType=x\nbonustype=bonus_iron")
                                         << QByteArray("BonusType=BONUS_GOLD")
                                         << crlf("terrainType=x\nBonusType=BONUS_GOLD");
    // Keys match keys: another key holding the key's text is another key,
    // and a unit's lines are the unit's.
    QTest::newRow("key inside another key's line") << crlf("TerrainType=T\nOldBonusType=7\nBonusType=BONUS_IRON")
                                                   << QByteArray("BonusType=BONUS_GOLD")
                                                   << crlf("TerrainType=T\nOldBonusType=7\nBonusType=BONUS_GOLD");
    QTest::newRow("key is a part of another key") << crlf("TerrainType=T\nPlotType=1")
                                                   << QByteArray("Type=9") << crlf("TerrainType=T\nPlotType=1\nType=9");
    QTest::newRow("unit's lines are the unit's")
        << crlf("BeginUnit\nUnitType=U\nLevel=1, Experience=0\nX=4\nEndUnit\nPlotType=1")
        << QByteArray("X=1") << crlf("BeginUnit\nUnitType=U\nLevel=1, Experience=0\nX=4\nEndUnit\nPlotType=1\nX=1");
    QTest::newRow("after a nested sub-block") << crlf("BeginUnit\nBeginPromotion\nEndPromotion\nX=4\nEndUnit\n x =5")
                                              << QByteArray("X=1")
                                              << crlf("BeginUnit\nBeginPromotion\nEndPromotion\nX=4\nEndUnit\nX=1");
    // A unit without "EndUnit" runs to the plot's end: the line goes in front of it.
    QTest::newRow("before a unit without its end") << crlf("PlotType=1\nBeginUnit\nUnitType=U\nX=4")
                                                   << QByteArray("X=1") << crlf("PlotType=1\nX=1\nBeginUnit\nUnitType=U\nX=4");
    QTest::newRow("feature variety replaced") << crlf("FeatureType=FEATURE_FOREST, FeatureVariety=2\nPlotType=1")
                                              << QByteArray("FeatureType=FEATURE_ICE, FeatureVariety=0")
                                              << crlf("FeatureType=FEATURE_ICE, FeatureVariety=0\nPlotType=1");
    QTest::newRow("first of two lines")
        << crlf("ImprovementType=IMPROVEMENT_FARM\nRouteType=ROUTE_ROAD\nImprovementType=X")
        << QByteArray("ImprovementType=IMPROVEMENT_MINE")
        << crlf("ImprovementType=IMPROVEMENT_MINE\nRouteType=ROUTE_ROAD\nImprovementType=X");
    // Blank lines and indented sub-block lines stay where they are.
    QTest::newRow("blank and indented lines") << QByteArray("A=1\r\n\r\n\tBeginUnit\r\n\t\tUnitType=U\r\n\tEndUnit")
                                              << QByteArray("PlotType=1")
                                              << QByteArray("A=1\r\n\r\n\tBeginUnit\r\n\t\tUnitType=U\r\n\tEndUnit\r\nPlotType=1");
    QTest::newRow("a lone break is one empty line") << QByteArray("\r\n") << QByteArray("PlotType=1")
                                                    << QByteArray("\r\nPlotType=1");
}

void TestPaintRule::putLine()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, expected);
    const QByteArray key = PaintRule::keyOf(line).toByteArray();
    QCOMPARE(PaintRule::putLine(text, key, line), expected);
    QCOMPARE(plainPut(text, key, line), expected); // the reference agrees with the window
}

void TestPaintRule::takeKey_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<bool>("found");

    QTest::newRow("terrain") << crlf("TerrainType=TERRAIN_GRASS\nPlotType=1") << QByteArray("TerrainType")
                             << QByteArray("PlotType=1") << true;
    QTest::newRow("in the middle") << crlf("TerrainType=T\nBonusType=BONUS_IRON\nPlotType=1")
                                   << QByteArray("BonusType") << crlf("TerrainType=T\nPlotType=1") << true;
    QTest::newRow("on the last line") << crlf("TerrainType=T\nBonusType=BONUS_IRON") << QByteArray("BonusType")
                                      << QByteArray("TerrainType=T") << true;
    QTest::newRow("not found") << crlf("TerrainType=T\nPlotType=1") << QByteArray("BonusType")
                               << crlf("TerrainType=T\nPlotType=1") << false;
    QTest::newRow("empty") << QByteArray() << QByteArray("BonusType") << QByteArray() << false;
    QTest::newRow("first of two") << crlf("featuretype=A, FeatureVariety=1\nFeatureType=B")
                                  << QByteArray("FeatureType") << QByteArray("FeatureType=B") << true;
    QTest::newRow("key inside another key's line")
        << crlf("MyImprovementTypeNote=1\nImprovementType=IMPROVEMENT_FARM") << QByteArray("ImprovementType")
        << QByteArray("MyImprovementTypeNote=1") << true;
    QTest::newRow("unit's line stays") << crlf("BeginUnit\nLevel=1\nEndUnit") << QByteArray("Level")
                                       << crlf("BeginUnit\nLevel=1\nEndUnit") << false;
    // Not found still joins the lines again, as the window's Clear applies.
    QTest::newRow("not found, breaks joined again") << QByteArray("A=1\nB=2\r\n") << QByteArray("C")
                                                    << QByteArray("A=1\r\nB=2") << false;
    QTest::newRow("only line") << QByteArray("BonusType=X") << QByteArray("bonustype") << QByteArray() << true;
}

void TestPaintRule::takeKey()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, expected);
    QFETCH(bool, found);
    bool wasFound = !found;
    QCOMPARE(PaintRule::takeKey(text, key, &wasFound), expected);
    QCOMPARE(wasFound, found);
    QCOMPARE(PaintRule::takeKey(text, key), expected);
}

void TestPaintRule::lineEndsAsTheReaderSplitsThem()
{
    // CR LF, a lone LF and a lone CR each end one line; LF CR is two.
    const QByteArray text("A=1\rB=2\nC=3\r\n\n\rD=4\n\r");
    QCOMPARE(PaintRule::putLine(text, "X", "X=1"), QByteArray("A=1\r\nB=2\r\nC=3\r\n\r\n\r\nD=4\r\n\r\nX=1"));
    QCOMPARE(PaintRule::takeKey(text, "c"), QByteArray("A=1\r\nB=2\r\n\r\n\r\nD=4\r\n"));
    QCOMPARE(PaintRule::lineWithKey(text, "D"), 5);
    QCOMPARE(PaintRule::lineWithKey(text, "E"), -1);
}

void TestPaintRule::valueAndPaintOrErase()
{
    const QByteArray text = crlf("OldBonusType=7\n  BonusType=BONUS_GOLD \nTerrainType=TERRAIN_GRASS");
    // The first line holding the key, trimmed, whatever else it holds.
    QCOMPARE(PaintRule::valueOf(text, "BonusType"), QByteArrayView("BonusType=BONUS_GOLD"));
    QCOMPARE(PaintRule::valueOf(text, "terraintype"), QByteArrayView("TerrainType=TERRAIN_GRASS"));
    QVERIFY(PaintRule::valueOf(text, "PlotType").isEmpty());

    const PaintRule grass = PaintRule::fromLine("TerrainType=TERRAIN_GRASS");
    QVERIFY(grass.holds(text));
    QVERIFY(!grass.paint(text)); // nothing to change
    const PaintRule plains = PaintRule::fromLine("TerrainType=TERRAIN_PLAINS");
    QCOMPARE(plains.paint(text).value(), crlf("OldBonusType=7\n  BonusType=BONUS_GOLD \nTerrainType=TERRAIN_PLAINS"));
    QCOMPARE(plains.erase(text).value(), crlf("OldBonusType=7\n  BonusType=BONUS_GOLD "));
    QVERIFY(!PaintRule::fromKey("ImprovementType").erase(text));
    QVERIFY(!PaintRule().paint(text));
    QVERIFY(!PaintRule::fromKey("TerrainType").paint(text)); // a key alone paints nothing
}

void TestPaintRule::randomTextsMatchThePlainRule()
{
    static const char *const pieces[] = {"TerrainType=TERRAIN_GRASS", "terraintype=x", "BonusType=BONUS_GOLD",
                                         "OldBonusType=1", "\tBeginUnit", "\t\tUnitType=UNIT_WARRIOR",
                                         "\tEndUnit", "", " ", "PlotType=1", "FEATURETYPE=F, FeatureVariety=2",
                                         "Level=1, Experience=0", " unittype =x", "BeginPromotion", "EndPromotion"};
    static const char *const breaks[] = {"\r\n", "\n", "\r"};
    static const char *const keys[] = {"TerrainType", "BonusType", "PlotType", "FeatureType", "Unit",
                                         "UnitType", "Level", "Type", "Nothing"};
    QRandomGenerator rng(12);
    for (int round = 0; round < 20000; ++round) {
        QByteArray text;
        for (int n = rng.bounded(6); n > 0; --n) {
            text += pieces[rng.bounded(int(std::size(pieces)))];
            if (n > 1 || rng.bounded(3) == 0)
                text += breaks[rng.bounded(3)];
        }
        const QByteArray key = keys[rng.bounded(int(std::size(keys)))];
        const QByteArray line = key + "=" + QByteArray::number(rng.bounded(3));
        QCOMPARE(PaintRule::putLine(text, key, line), plainPut(text, key, line));
        bool found = false, plainFound = false;
        QCOMPARE(PaintRule::takeKey(text, key, &found), plainTake(text, key, &plainFound));
        QCOMPARE(found, plainFound);
        const QList<QByteArray> lines = plainSplit(text);
        const int at = plainFind(lines, key);
        QCOMPARE(PaintRule::lineWithKey(text, key), qsizetype(at));
        QCOMPARE(PaintRule::valueOf(text, key).toByteArray(), at < 0 ? QByteArray() : lines[at].trimmed());
    }
}

QTEST_GUILESS_MAIN(TestPaintRule)
#include "tst_paintrule.moc"
