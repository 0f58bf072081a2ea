#include "CellPainter.h"
#include "PlotClass.h"
#include "PlotTable.h"
#include "TextUtil.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

using namespace vor4;

namespace {

const QRgb Sentinel = qRgb(1, 2, 3); // around the cell: must never change
const QRgb Bg = qRgb(255, 255, 255);
const QRgb Silver = qRgb(192, 192, 192);
const QRgb Green = qRgb(0, 128, 0);
const QRgb Yellow = qRgb(255, 255, 0);
const QRgb Blue = qRgb(0, 0, 255);
const QRgb Magenta = qRgb(255, 0, 255);
const QRgb Red = qRgb(255, 0, 0);
const QRgb Lime = qRgb(0, 255, 0);
const QRgb Teal = qRgb(0, 128, 128);
constexpr int Margin = 8;

struct Painted
{
    QImage image; // the cell at (Margin, Margin)
    int W = 0;
    QRgb at(int x, int y) const { return image.pixel(Margin + x, Margin + y) | 0xff000000u; }
    int count(QRgb c) const
    {
        int n = 0;
        for (int y = 0; y < W; ++y)
            for (int x = 0; x < W; ++x)
                n += at(x, y) == c;
        return n;
    }
    bool outsideUntouched() const
    {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const bool inside = x >= Margin && y >= Margin && x < Margin + W && y < Margin + W;
                if (!inside && (image.pixel(x, y) | 0xff000000u) != Sentinel)
                    return false;
            }
        return true;
    }
};

// Paints cell (col, row) of a 2 x 2 table as the grid does: cleared to the
// background, the grid-line pen and a background brush on the painter.
Painted paint(const QByteArray &text, int W, const LayerSwitches &layers = {}, int col = 0, int row = 0)
{
    PlotTable table;
    table.resize(2, 2);
    table.setText(0, 0, text);
    Painted p;
    p.W = W;
    p.image = QImage(W + 2 * Margin, W + 2 * Margin, QImage::Format_RGB32);
    p.image.fill(Sentinel);
    QPainter painter(&p.image);
    const QRect cell(Margin, Margin, W, W);
    painter.fillRect(cell, QColor::fromRgb(Bg));
    painter.setPen(QPen(QColor::fromRgb(Silver), 1));
    painter.setBrush(QColor::fromRgb(Bg));
    drawCell(painter, table, col, row, cell, layers);
    return p;
}

LayerSwitches without(std::initializer_list<const char *> names)
{
    LayerSwitches l;
    for (const char *n : names)
        l[LayerSwitches::indexOf(QLatin1String(n))] = false;
    return l;
}

} // namespace

class TestCellPainter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void classification();
    void teamLabels();
    void terrainFills();
    void outOfRangeAndEmpty();
    void marks();
    void featureSwitches();
    void hatchDirections();
    void crossAndDiscBySize();
    void teamMarkBySize();
    void sharedBrush();
    void painterStateAfterCell();
    void nothingOutsideTheCell();
};

void TestCellPainter::classification()
{
    QCOMPARE(terrainIndex("TERRAIN_OCEAN"), int(TerrainOcean));
    QCOMPARE(terrainIndex("terrain_snow"), int(TerrainSnow));
    QCOMPARE(terrainIndex("Terrain_Tundra"), int(TerrainTundra));
    QCOMPARE(terrainIndex("TERRAIN_GRASS "), int(TerrainOther));
    QCOMPARE(terrainIndex(""), int(TerrainOther));
    QCOMPARE(terrainFill(TerrainCoast), Teal);
    QCOMPARE(terrainFill(TerrainOther), qRgb(0, 0, 0));

    // No terrain line: no fill, white marks.
    PlotClass c = classifyPlot("PlotType=2\r\nBonusType=BONUS_X");
    QVERIFY(!c.hasFill());
    QCOMPARE(c.mark(), qRgb(255, 255, 255));
    QVERIFY(c.bonus);

    // The last terrain line fills; black marks stay once set.
    c = classifyPlot("TerrainType=TERRAIN_DESERT\nTerrainType=TERRAIN_GRASS");
    QCOMPARE(c.fill(), Green);
    QCOMPARE(c.mark(), qRgb(0, 0, 0));
    c = classifyPlot("TerrainType=TERRAIN_GRASS\rterraintype=terrain_snow");
    QCOMPARE(c.fill(), qRgb(255, 255, 255));
    QCOMPARE(c.mark(), qRgb(0, 0, 0));
    c = classifyPlot("TerrainType=");
    QVERIFY(c.hasFill());
    QCOMPARE(c.fill(), qRgb(0, 0, 0));
    QCOMPARE(c.mark(), qRgb(0, 0, 0));

    // A line counts for its first key in test order; keys match anywhere, in any case.
    c = classifyPlot("TerrainType=TERRAIN_GRASS, BonusType=BONUS_IRON");
    QVERIFY(!c.bonus);
    QCOMPARE(c.fill(), qRgb(0, 0, 0)); // value runs to the line's end
    c = classifyPlot("  xxBONUSTYPE=whatever\r\nimprovementtype=\r\nplottype=0");
    QVERIFY(c.bonus && c.improvement && c.mountain && !c.hill);
    c = classifyPlot("PlotType=1\r\nPlotType=2\r\nPlotType=3");
    QVERIFY(c.hill && !c.mountain);
    c = classifyPlot("PlotType=3, BonusType=B");
    QVERIFY(c.bonus);
    c = classifyPlot("PlotType=");
    QVERIFY(!c.hill && !c.mountain);

    // Features: the last recognised line counts; unknown names keep the kind.
    c = classifyPlot("FeatureType=FEATURE_FOREST, FeatureVariety=1");
    QCOMPARE(c.feature, Feature::Forest);
    c = classifyPlot("FeatureType=FEATURE_ICE\nFeatureType=FEATURE_FALLOUT");
    QCOMPARE(c.feature, Feature::Ice);
    c = classifyPlot("FeatureType=FEATURE_OASIS\nFeatureType=feature_flood_plains");
    QCOMPARE(c.feature, Feature::FloodPlains);
    c = classifyPlot("FeatureType=FEATURE_JUNGLE");
    QCOMPARE(c.feature, Feature::Jungle);
    c = classifyPlot("FeatureType=FEATURE_NONE");
    QCOMPARE(c.feature, Feature::None);

    // Long stretches, which the scan skips in steps, hide no "=" or line end.
    const QByteArray run(45, 'a');
    c = classifyPlot(run + "TerrainType=TERRAIN_GRASS\r" + run + "PlotType=1" + run + "\n" + run + "=FeatureType=" + run
                     + "FEATURE_ICE");
    QVERIFY(c.fill() == Green && c.hill && c.feature == Feature::Ice);
    c = classifyPlot("TerrainType=TERRAIN_GRASS" + run + "\rBonusType=");
    QVERIFY(c.fill() == qRgb(0, 0, 0) && c.bonus);

    // Sub-block lines of units carry no keys the painter knows.
    c = classifyPlot("BeginUnit\r\nUnitType=UNIT_SETTLER, UnitOwner=1\r\nEndUnit");
    QVERIFY(!c.hasFill() && !c.bonus && !c.improvement && c.teamLabel.isEmpty());

    c = classifyGround("PlotType=1\nTerrainType=TERRAIN_DESERT\nTerrainType=TERRAIN_GRASS");
    QVERIFY(c.terrain == TerrainGrass && c.hill && !c.mountain);
    QCOMPARE(int(classifyGround("PlotType=1").terrain), -1);
    // The ground's fast scan held against the plain reading: the last line
    // holding the terrain key, whatever its case, with its value after the
    // first "="; a peak or hill only from a line whose first key is its own.
    const auto reference = [](QByteArrayView text) {
        int terrain = -1;
        bool peak = false;
        forEachLine(text, [&](QByteArrayView line) {
            if (containsCi(line, "TerrainType="))
                terrain = terrainIndex(valueOf(line));
            else if (!containsCi(line, "TeamReveal=") && !containsCi(line, "BonusType=")
                     && !containsCi(line, "FeatureType=") && !containsCi(line, "ImprovementType="))
                peak = peak || containsCi(line, "PlotType=0");
        });
        return std::pair(terrain, peak);
    };
    const QByteArrayView texts[] = {
        "terraintype=TERRAIN_GRASS",
        "TerrainType =TERRAIN_GRASS\nTERRAINTYPE=terrain_snow",
        "Name=a=b TerrainType=TERRAIN_HILL\r\nTerrainType=TERRAIN_DESERT",
        "MyTerrainType=TERRAIN_COAST\rTerrainType=TERRAIN_OCEAN",
        "errainType=TERRAIN_GRASS\nTerrainType",
        "=TerrainType=TERRAIN_TUNDRA=",
        "TerrainType=",
        "\r\n\r\nBonusType=X\r\n  TerrainType=TERRAIN_PLAINS, x=1\r\n",
        "",
        "PlotType=0\r\nTerrainType=TERRAIN_SNOW",
        "BonusType=B, PlotType=0\r\nTerrainType=TERRAIN_GRASS",
        "plottype=0, TeamReveal=1\nFeatureType=X PlotType=0",
    };
    for (QByteArrayView text : texts) {
        const PlotClass ground = classifyGround(text);
        QVERIFY(std::pair(int(ground.terrain), ground.mountain) == reference(text));
    }
}

void TestCellPainter::teamLabels()
{
    QCOMPARE(teamLabelOf("0,"), QByteArrayView("0"));
    QCOMPARE(teamLabelOf("12"), QByteArrayView("12"));
    QCOMPARE(teamLabelOf("0,1,"), QByteArrayView("*"));
    QCOMPARE(teamLabelOf("1,2"), QByteArrayView("*"));
    QCOMPARE(teamLabelOf("3,5,"), QByteArrayView("*"));
    QVERIFY(teamLabelOf("").isEmpty());
    QVERIFY(teamLabelOf(",").isEmpty());
    QCOMPARE(classifyPlot("TeamReveal=4,\r\nTeamReveal=7,").teamLabel, QByteArrayView("7"));
    // An empty value draws nothing, not even at disc sizes.
    const Painted p = paint("TeamReveal=", 8);
    QCOMPARE(p.count(Lime), 0);
}

void TestCellPainter::terrainFills()
{
    for (int W : {4, 16, 64}) {
        const Painted p = paint("TerrainType=TERRAIN_GRASS\r\nPlotType=2", W);
        QCOMPARE(p.count(Green), W * W);
        QVERIFY(p.outsideUntouched());
    }
    // Terrain hidden: no fill.
    const Painted hidden = paint("TerrainType=TERRAIN_OCEAN", 16, without({"terrain"}));
    QCOMPARE(hidden.count(Bg), 16 * 16);
}

void TestCellPainter::outOfRangeAndEmpty()
{
    // Column 2 of a 2 x 2 table: nothing drawn.
    PlotTable table;
    table.resize(2, 2);
    for (int c = 0; c < 2; ++c)
        for (int r = 0; r < 2; ++r)
            table.setText(c, r, "TerrainType=TERRAIN_OCEAN\nBonusType=B\nTeamReveal=1");
    QImage img(20, 20, QImage::Format_RGB32);
    img.fill(Sentinel);
    QPainter painter(&img);
    for (auto [c, r] : {std::pair{2, 0}, {0, 2}, {-1, 0}, {0, -1}, {5, 5}})
        drawCell(painter, table, c, r, QRect(2, 2, 16, 16), {});
    painter.end();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            QCOMPARE(img.pixel(x, y), Sentinel);

    const Painted empty = paint("", 16);
    QCOMPARE(empty.count(Bg), 16 * 16);
}

void TestCellPainter::marks()
{
    // Bonus: magenta disc outlined with the grid pen, corners untouched.
    Painted p = paint("TerrainType=TERRAIN_OCEAN\nBonusType=BONUS_FISH", 16);
    QCOMPARE(p.at(8, 8), Magenta);
    QCOMPARE(p.at(0, 0), Blue);
    QCOMPARE(p.at(15, 15), Blue);
    QCOMPARE(p.at(0, 8), Silver);
    QVERIFY(p.outsideUntouched());

    // Mountain outline in the mark colour: white on grass, black on desert.
    for (auto [terrain, fill, mark] : {std::tuple{"TERRAIN_GRASS", Green, qRgb(255, 255, 255)},
                                       std::tuple{"TERRAIN_DESERT", Yellow, qRgb(0, 0, 0)},
                                       std::tuple{"TERRAIN_BOG", qRgb(0, 0, 0), qRgb(0, 0, 0)}}) {
        p = paint(QByteArray("TerrainType=") + terrain + "\nPlotType=0", 32);
        // Base line of the triangle at B - W/4 = 24, from x = 8 to 24.
        QCOMPARE(p.at(16, 24), mark);
        QCOMPARE(p.at(2, 2), fill);
        QVERIFY(p.count(mark) > 20);
        QVERIFY(p.outsideUntouched());
    }

    // Hill: arc in the upper-left quarter and the diagonal, nothing lower right of the arc.
    p = paint("TerrainType=TERRAIN_PLAINS\nPlotType=1", 32);
    const QRgb olive = qRgb(128, 128, 0);
    QCOMPARE(p.at(16, 16), qRgb(255, 255, 255)); // on the diagonal
    QCOMPARE(p.at(16, 4), qRgb(255, 255, 255));  // top of the arc (T + P)
    QCOMPARE(p.at(4, 16), qRgb(255, 255, 255));  // left end of the arc
    QCOMPARE(p.at(27, 16), olive);               // no right half
    QCOMPARE(p.at(16, 27), olive);               // no lower half

    // Oasis: a flat ellipse in the lower half, nothing in the upper half.
    p = paint("TerrainType=TERRAIN_DESERT\nFeatureType=FEATURE_OASIS", 32);
    int upper = 0, lower = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (p.at(x, y) == qRgb(0, 0, 0))
                (y < 16 ? upper : lower)++;
    QCOMPARE(upper, 0);
    QVERIFY(lower > 30);
    QCOMPARE(p.at(16, 20), qRgb(0, 0, 0)); // top of the ellipse at T + W/2 + W/8
    QCOMPARE(p.at(16, 24), Yellow);        // inside: filled with the terrain brush
}

void TestCellPainter::featureSwitches()
{
    const QByteArray forest = "TerrainType=TERRAIN_GRASS\r\nFeatureType=FEATURE_FOREST, FeatureVariety=2";
    const QRgb white = qRgb(255, 255, 255);
    QVERIFY(paint(forest, 16).count(white) > 0);
    QCOMPARE(paint(forest, 16, without({"forest"})).count(white), 0);
    QCOMPARE(paint(forest, 16, without({"feature"})).count(white), 0);
    // The sub-switches of other features don't matter.
    QVERIFY(paint(forest, 16, without({"jungle", "ice", "flood", "oasis"})).count(white) > 0);

    const struct
    {
        const char *feature;
        const char *layer;
    } kinds[] = {{"FEATURE_JUNGLE", "jungle"},
                 {"FEATURE_ICE", "ice"},
                 {"FEATURE_FLOOD_PLAINS", "flood"},
                 {"FEATURE_OASIS", "oasis"}};
    for (const auto &k : kinds) {
        const QByteArray text = QByteArray("TerrainType=TERRAIN_COAST\nFeatureType=") + k.feature;
        QVERIFY2(paint(text, 16).count(white) > 0, k.feature);
        QVERIFY2(paint(text, 16, without({k.layer})).count(white) == 0, k.feature);
        QVERIFY2(paint(text, 16, without({"feature"})).count(white) == 0, k.feature);
    }
    QCOMPARE(paint("TerrainType=TERRAIN_COAST\nFeatureType=FEATURE_FALLOUT", 16).count(Teal), 256);
}

void TestCellPainter::hatchDirections()
{
    const QRgb white = qRgb(255, 255, 255);
    const auto hatchOf = [&](const char *feature) {
        return paint(QByteArray("TerrainType=TERRAIN_GRASS\nFeatureType=") + feature, 16);
    };
    // Every hatch pixel lies on one family of lines 8 pixels apart; only the
    // lines are drawn, the terrain shows between them.
    const auto onLines = [&](const Painted &p, auto lineOf) {
        QSet<int> lines;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                if (p.at(x, y) == white)
                    lines.insert(lineOf(Margin + x, Margin + y));
                else if (p.at(x, y) != Green)
                    return false;
            }
        return lines.size() == 1;
    };
    // Ice: lines from upper left to lower right, so x - y is constant along each.
    const Painted ice = hatchOf("FEATURE_ICE");
    QCOMPARE(ice.count(white), 2 * 16);
    QVERIFY(onLines(ice, [](int x, int y) { return (x - y) & 7; }));
    QVERIFY(!onLines(ice, [](int x, int y) { return (x + y) & 7; }));
    // Flood plains: vertical lines.
    const Painted flood = hatchOf("FEATURE_FLOOD_PLAINS");
    QCOMPARE(flood.count(white), 2 * 16);
    QVERIFY(onLines(flood, [](int x, int) { return x & 7; }));
    // Jungle: both diagonals.
    const Painted jungle = hatchOf("FEATURE_JUNGLE");
    QVERIFY(jungle.count(white) > 2 * 16);
    QSet<int> down, up; // x - y of the "\\" lines, x + y of the rest
    const int iceLine = [&] {
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (ice.at(x, y) == white)
                    return (Margin + x - Margin - y) & 7;
        return -1;
    }();
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (jungle.at(x, y) == white) {
                if (((x - y) & 7) == iceLine)
                    down.insert(iceLine);
                else
                    up.insert((x + y) & 7);
            }
    QCOMPARE(down.size(), 1);
    QCOMPARE(up.size(), 1);
    // Forest: the cross hatch and the diagonal cross over it.
    const Painted forest = hatchOf("FEATURE_FOREST");
    int horizontal = 0;
    for (int y = 0; y < 16; ++y) {
        int run = 0;
        for (int x = 0; x < 16; ++x)
            run += forest.at(x, y) == white;
        horizontal += run == 16;
    }
    QCOMPARE(horizontal, 2);
    QVERIFY(forest.count(white) > jungle.count(white));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (jungle.at(x, y) == white)
                QCOMPARE(forest.at(x, y), white);
}

void TestCellPainter::crossAndDiscBySize()
{
    const QByteArray text = "TerrainType=TERRAIN_GRASS\nImprovementType=IMPROVEMENT_FARM";
    // 9: solid red disc with the grid pen's outline.
    Painted p = paint(text, 9);
    QCOMPARE(p.at(4, 4), Red);
    QCOMPARE(p.at(4, 1), Red);
    QCOMPARE(p.at(0, 0), Green);
    QVERIFY(p.count(Silver) > 0);
    // 10: a red cross from (L+2, T+2), one pixel wide; no disc.
    p = paint(text, 10);
    QCOMPARE(p.at(2, 2), Red);
    QCOMPARE(p.at(8, 2), Red);
    QCOMPARE(p.at(2, 8), Red);
    QCOMPARE(p.at(8, 8), Red);
    QCOMPARE(p.at(5, 2), Green);
    QCOMPARE(p.at(1, 1), Green);
    QCOMPARE(p.count(Silver), 0);
    // 64: pen width 8, still inside the cell.
    p = paint(text, 64);
    QCOMPARE(p.at(32, 32), Red);
    QCOMPARE(p.at(32, 2), Green);
    QVERIFY(p.outsideUntouched());
}

void TestCellPainter::teamMarkBySize()
{
    const QByteArray one = "TerrainType=TERRAIN_OCEAN\nTeamReveal=5,";
    // 9: lime disc.
    Painted p = paint(one, 9);
    QCOMPARE(p.at(4, 4), Lime);
    QCOMPARE(p.at(0, 0), Blue);
    // 10: the written label, lime glyph pixels only, no white box.
    p = paint(one, 10);
    QVERIFY(p.count(Lime) > 0);
    QCOMPARE(p.count(Lime) + p.count(Blue), 100);
    QVERIFY(p.count(Lime) < 40);

    // Two characters at 16 start at x = 0; three start left of the cell and are clipped.
    const auto leftmost = [](const Painted &q) {
        for (int x = 0; x < q.W; ++x)
            for (int y = 0; y < q.W; ++y)
                if (q.at(x, y) == Lime)
                    return x;
        return -1;
    };
    p = paint("TerrainType=TERRAIN_OCEAN\nTeamReveal=11,", 16);
    QVERIFY(leftmost(p) >= 0 && leftmost(p) <= 2);
    QCOMPARE(p.count(Lime) + p.count(Blue), 256);
    p = paint("TerrainType=TERRAIN_OCEAN\nTeamReveal=111", 16);
    QCOMPARE(leftmost(p), 0);
    QVERIFY(p.outsideUntouched());

    // Bold from 26 (W/2 > 12): more lime than a regular face at the same size.
    QVERIFY(!labelFont(24).bold());
    QVERIFY(!labelFont(25).bold());
    QVERIFY(labelFont(26).bold());
    QVERIFY(labelFont(32).bold());
    QCOMPARE(labelFont(16).pixelSize(), 11); // 8 points at 96 dpi, rounded
    QCOMPARE(labelFont(24).pixelSize(), 16);
    const auto limeOf = [](int W, bool bold) {
        QImage img(W, W, QImage::Format_RGB32);
        img.fill(Qt::black);
        QPainter painter(&img);
        QFont f = labelFont(W);
        f.setBold(bold);
        painter.setFont(f);
        painter.setPen(QColor::fromRgb(Lime));
        painter.drawText(W / 4 - W / 8, QFontMetrics(f).ascent(), QStringLiteral("8"));
        painter.end();
        int n = 0;
        for (int y = 0; y < W; ++y)
            for (int x = 0; x < W; ++x)
                n += (img.pixel(x, y) | 0xff000000u) == Lime;
        return n;
    };
    const QByteArray eight = "TerrainType=TERRAIN_OCEAN\nTeamReveal=8";
    QCOMPARE(paint(eight, 24).count(Lime), limeOf(24, false));
    QVERIFY(limeOf(24, false) != limeOf(24, true));
    QCOMPARE(paint(eight, 32).count(Lime), limeOf(32, true));
    QVERIFY(limeOf(32, false) < limeOf(32, true));
    QCOMPARE(labelFontFamily(), QStringLiteral("DejaVu Sans"));
}

void TestCellPainter::sharedBrush()
{
    // The triangle's inside (12, 20 at W = 32) shows the brush the earlier layers left.
    const auto inside = [](const QByteArray &text, const LayerSwitches &l = {}) {
        return paint(text + "\nPlotType=0", 32, l).at(16, 20);
    };
    QCOMPARE(inside("TerrainType=TERRAIN_COAST"), Teal);
    QCOMPARE(inside("TerrainType=TERRAIN_COAST\nBonusType=B"), Magenta);
    QCOMPARE(inside("TerrainType=TERRAIN_COAST\nImprovementType=I"), Teal); // the cross sets no brush
    QCOMPARE(inside("PlotType=2"), Bg);                                     // the grid's background
    QCOMPARE(inside("TerrainType=TERRAIN_COAST", without({"terrain"})), Bg);
    // After a hatch the triangle is hatched too: both colours inside it.
    const Painted hatched = paint("TerrainType=TERRAIN_COAST\nFeatureType=FEATURE_FLOOD_PLAINS\nPlotType=0", 32,
                                  without({"flood"}));
    QCOMPARE(hatched.at(16, 20), Teal);
    const Painted p = paint("TerrainType=TERRAIN_COAST\nFeatureType=FEATURE_FLOOD_PLAINS\nPlotType=0", 32);
    int whiteInRow = 0;
    for (int x = 12; x < 21; ++x)
        whiteInRow += p.at(x, 20) == qRgb(255, 255, 255);
    QVERIFY(whiteInRow >= 1 && whiteInRow <= 2);
    // Small improvement disc at 8 leaves solid red for the triangle.
    QCOMPARE(paint("TerrainType=TERRAIN_COAST\nImprovementType=I\nPlotType=0", 8).at(4, 5), Red);
}

void TestCellPainter::painterStateAfterCell()
{
    PlotTable table;
    table.resize(1, 1);
    table.setText(0, 0, "TerrainType=TERRAIN_GRASS\nFeatureType=FEATURE_FOREST\nPlotType=1\nTeamReveal=2");
    QImage img(64, 64, QImage::Format_RGB32);
    QPainter painter(&img);
    const QPen pen(QColor::fromRgb(Silver), 1);
    painter.setPen(pen);
    painter.setBrush(QColor::fromRgb(Bg));
    painter.setClipRect(QRect(0, 0, 50, 50));
    drawCell(painter, table, 0, 0, QRect(0, 0, 32, 32), {});
    QCOMPARE(painter.pen(), pen);
    QCOMPARE(painter.brush().style(), Qt::SolidPattern);
    QCOMPARE(painter.brush().color(), QColor(255, 255, 255)); // the hatch's mark colour
    QCOMPARE(painter.clipRegion(), QRegion(0, 0, 50, 50));
}

void TestCellPainter::nothingOutsideTheCell()
{
    // Every mark at every cell size stays inside the cell (the oasis and the
    // discs at small sizes once set a pixel left of it).
    const char *texts[] = {
        "TerrainType=TERRAIN_DESERT\nFeatureType=FEATURE_OASIS\nBonusType=B\nImprovementType=I\nTeamReveal=123",
        "TerrainType=TERRAIN_GRASS\nFeatureType=FEATURE_FOREST\nPlotType=0\nTeamReveal=1,2",
        "FeatureType=FEATURE_JUNGLE\nPlotType=1\nImprovementType=I\nTeamReveal=9",
        "BonusType=B\nFeatureType=FEATURE_OASIS",
    };
    for (int W : {4, 5, 6, 7, 8, 9, 10, 12, 14, 16, 20, 24, 32, 40, 48, 56, 64})
        for (const char *text : texts)
            QVERIFY2(paint(text, W).outsideUntouched(), qPrintable(QStringLiteral("W %1: %2").arg(W).arg(text)));
}

QTEST_MAIN(TestCellPainter)
#include "tst_cellpainter.moc"
