// The map tools driven by plain cell sequences, as the grid will drive them:
// what each press, drag and release changes, the preview, one undo step per
// drag, and Escape leaving the document and its history as they were.

#include "ChangeSelection.h"
#include "BrushTool.h"
#include "EraserTool.h"
#include "FillTool.h"
#include "Geometry.h"
#include "LineTool.h"
#include "MapDocument.h"
#include "MapWriter.h"
#include "PickerTool.h"
#include "PaintSymmetry.h"
#include "PieceEdits.h"
#include "PlotFacts.h"
#include "RectangleTool.h"
#include "RiverTool.h"
#include "SetPlotTexts.h"

#include <QSignalSpy>
#include <QtTest>
#include <memory>

using namespace vor4;

namespace {

const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");
const QByteArray Grass = "TerrainType=TERRAIN_GRASS";

QByteArray bytesOf(const MapDocument &md) { return buildSaveFile(md.document()); }

// The cells of a map whose text holds `line`, drawn one row a string.
QStringList painted(const MapDocument &md, const QByteArray &line)
{
    QStringList rows;
    const PlotTable &plots = md.document().PlotTexts;
    for (int r = 0; r < plots.rowCount(); ++r) {
        QString row;
        for (int c = 0; c < plots.columnCount(); ++c)
            row += plots.view(c, r).contains(line) ? QLatin1Char('x') : QLatin1Char('.');
        rows << row;
    }
    return rows;
}

QStringList drawnCells(int cols, int rows, const QRegion &cells)
{
    QStringList out;
    for (int r = 0; r < rows; ++r) {
        QString row;
        for (int c = 0; c < cols; ++c)
            row += cells.contains(QPoint(c, r)) ? QLatin1Char('x') : QLatin1Char('.');
        out << row;
    }
    return out;
}

QRegion squaresAlong(const QList<QPoint> &events, int size)
{
    QRegion region;
    for (int i = 0; i < events.size(); ++i)
        for (const QPoint &p : pointsOnLine(events[i ? i - 1 : 0], events[i]))
            region += brushRect(p, size);
    return region;
}

// A paint tool by name; "fill" and "shift fill" are the Fill tool.
std::unique_ptr<MapTool> paintTool(const QString &name, MapDocument &md)
{
    if (name == "brush")
        return std::make_unique<BrushTool>(&md);
    if (name == "eraser")
        return std::make_unique<EraserTool>(&md);
    if (name == "line")
        return std::make_unique<LineTool>(&md);
    if (name == "rectangle")
        return std::make_unique<RectangleTool>(&md);
    return std::make_unique<FillTool>(&md);
}

template <typename Tool>
std::unique_ptr<Tool> toolOn(MapDocument &md, const QByteArray &line, int size = 1)
{
    auto tool = std::make_unique<Tool>(&md);
    tool->setBrush(PaintRule::fromLine(line));
    tool->setBrushSize(size);
    return tool;
}

} // namespace

class TestTools : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void brushStrokeLeavesNoGaps_data();
    void brushStrokeLeavesNoGaps();
    void brushPreviewIsItsSquareOnTheMap();
    void toolsRefuseWithoutABrushValue();
    void erasingTakesOneLineAPlot();
    void escapeCancelsTheStroke();
    void strokeAfterASaveAndUnderAnUndo();
    void lineAppearsOnRelease();
    void rectanglePaintsEveryPlotInIt();
    void fillRegionWholeMapAndErase();
    void pickerTakesTheBrushValue();
    void eachToolUndoesByteForByte_data();
    void eachToolUndoesByteForByte();
    void stepNames();
    void everyStrokeIsOneStep_data();
    void everyStrokeIsOneStep();
    void riverToolMatchesEdgeByEdge();
    void symmetricStrokesPaintEveryImage();
};

void TestTools::brushStrokeLeavesNoGaps_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QList<QPoint>>("events");
    QTest::newRow("fast diagonal, size 1") << 1 << QList<QPoint>{{1, 1}, {17, 9}, {2, 13}};
    QTest::newRow("steep, size 2") << 2 << QList<QPoint>{{3, 0}, {5, 14}, {5, 14}, {6, 2}};
    QTest::newRow("size 9 over the edges") << 9 << QList<QPoint>{{0, 0}, {19, 14}, {-3, 20}};
    QTest::newRow("one cell") << 3 << QList<QPoint>{{10, 7}};
}

void TestTools::brushStrokeLeavesNoGaps()
{
    QFETCH(int, size);
    QFETCH(QList<QPoint>, events);
    MapDocument md;
    md.reset(20, 15);
    const QByteArray before = bytesOf(md);
    auto brush = toolOn<BrushTool>(md, Grass, size);
    QSignalSpy changed(&md, &MapDocument::plotsChanged);
    brush->press(events.first());
    QVERIFY(brush->isDragging());
    for (const QPoint &p : events.mid(1))
        brush->move(p);
    brush->release(events.last());
    QVERIFY(!brush->isDragging());

    // Each pointer event's square and the squares of the line between two
    // events, and nothing else.
    const QRegion expected = squaresAlong(events, size) & QRect(0, 0, 20, 15);
    QCOMPARE(painted(md, Grass), drawnCells(20, 15, expected));
    int count = 0;
    for (const QRect &r : expected)
        count += r.width() * r.height();
    QCOMPARE(md.undoStack()->count(), 1);
    QCOMPARE(md.undoStack()->text(0), QStringLiteral("Paint TerrainType=TERRAIN_GRASS on %1 plot%2")
                                          .arg(QLocale(QLocale::English).toString(count), count == 1 ? "" : "s"));
    QVERIFY(changed.count() >= 1);

    const QByteArray after = bytesOf(md);
    md.undoStack()->undo();
    QCOMPARE(bytesOf(md), before);
    md.undoStack()->redo();
    QCOMPARE(bytesOf(md), after);
}

void TestTools::brushPreviewIsItsSquareOnTheMap()
{
    MapDocument md;
    md.reset(10, 8);
    auto brush = toolOn<BrushTool>(md, Grass, 5);
    QSignalSpy moved(brush.get(), &MapTool::footprintChanged);
    QVERIFY(brush->footprint().isEmpty());
    brush->move({0, 7});
    QCOMPARE(brush->footprint(), QRegion(0, 5, 3, 3));
    QCOMPARE(moved.count(), 1);
    brush->move({0, 7}); // the same cell: nothing to redraw
    QCOMPARE(moved.count(), 1);
    brush->setBrushSize(2);
    QCOMPARE(brush->footprint(), QRegion(0, 7, 2, 1));
    brush->leave();
    QVERIFY(brush->footprint().isEmpty());
    QCOMPARE(md.undoStack()->count(), 0); // hovering changes nothing
    brush->setBrushSize(4);
    QCOMPARE(brush->brushSize(), 3);
}

void TestTools::toolsRefuseWithoutABrushValue()
{
    MapDocument md;
    md.reset(6, 6);
    const QByteArray before = bytesOf(md);
    std::vector<std::unique_ptr<MapTool>> tools;
    tools.push_back(std::make_unique<BrushTool>(&md));
    tools.push_back(std::make_unique<EraserTool>(&md));
    tools.push_back(std::make_unique<LineTool>(&md));
    tools.push_back(std::make_unique<RectangleTool>(&md));
    tools.push_back(std::make_unique<FillTool>(&md));
    for (auto &tool : tools) {
        QSignalSpy refused(tool.get(), &MapTool::refused);
        tool->press({1, 1});
        tool->move({4, 4});
        tool->release({4, 4});
        QCOMPARE(refused.count(), 1);
        QVERIFY(refused.first().first().toString().startsWith("Choose a brush value first"));
        QVERIFY(!tool->isDragging());
    }
    // A key alone erases but does not paint.
    BrushTool brush(&md);
    brush.setBrush(PaintRule::fromKey("TerrainType"));
    QSignalSpy refused(&brush, &MapTool::refused);
    brush.press({1, 1});
    QCOMPARE(refused.count(), 1);
    brush.press({1, 1}, Qt::RightButton);
    QCOMPARE(refused.count(), 1);
    brush.release({1, 1});
    brush.press({1, 1}, Qt::MiddleButton); // not a painting button
    QVERIFY(!brush.isDragging());
    QCOMPARE(bytesOf(md), before);
    QCOMPARE(md.undoStack()->count(), 0);
}

void TestTools::erasingTakesOneLineAPlot()
{
    MapDocument md;
    md.reset(8, 3);
    {
        auto *setup = new SetPlotTexts(&md, "setup");
        for (int c = 0; c < 8; ++c)
            setup->add(c, 1, "BonusType=BONUS_GOLD\r\nTerrainType=TERRAIN_PLAINS\r\nBonusType=BONUS_IRON");
        md.push(setup);
    }
    // Back and forth over the same plots: the second pass takes nothing more.
    auto eraser = toolOn<EraserTool>(md, "BonusType=BONUS_WHALE");
    eraser->press({1, 1}, Qt::RightButton);
    eraser->move({5, 1});
    eraser->move({1, 1});
    eraser->release({3, 1});
    for (int c = 0; c < 8; ++c)
        QCOMPARE(md.document().PlotTexts.text(c, 1),
                 c >= 1 && c <= 5 ? QByteArray("TerrainType=TERRAIN_PLAINS\r\nBonusType=BONUS_IRON")
                                  : QByteArray("BonusType=BONUS_GOLD\r\nTerrainType=TERRAIN_PLAINS\r\nBonusType=BONUS_IRON"));
    QCOMPARE(md.undoStack()->text(1), QStringLiteral("Erase BonusType on 5 plots"));

    // The brush's right button is the eraser for that stroke only.
    auto brush = toolOn<BrushTool>(md, "TerrainType=TERRAIN_SNOW", 3);
    brush->press({6, 1}, Qt::RightButton);
    brush->release({6, 1});
    QCOMPARE(md.document().PlotTexts.text(6, 1), QByteArray("BonusType=BONUS_GOLD\r\nBonusType=BONUS_IRON"));
    QCOMPARE(md.undoStack()->text(2), QStringLiteral("Erase TerrainType on 3 plots"));
    brush->press({6, 1});
    brush->release({6, 1});
    QCOMPARE(md.document().PlotTexts.text(6, 1),
             QByteArray("BonusType=BONUS_GOLD\r\nBonusType=BONUS_IRON\r\nTerrainType=TERRAIN_SNOW"));
    QCOMPARE(md.document().PlotTexts.text(6, 0), QByteArray("TerrainType=TERRAIN_SNOW"));
}

void TestTools::escapeCancelsTheStroke()
{
    MapDocument md;
    QVERIFY(md.load(Continents).ok());
    auto *earlier = new SetPlotTexts(&md, "earlier");
    earlier->add(0, 0, "Earlier=1");
    md.push(earlier);
    md.setClean();
    const QByteArray before = bytesOf(md);

    auto brush = toolOn<BrushTool>(md, Grass, 9);
    QSignalSpy changed(&md, &MapDocument::plotsChanged);
    brush->press({10, 10});
    brush->move({40, 20});
    brush->move({50, 30});
    QVERIFY(bytesOf(md) != before);
    QVERIFY(md.isModified());
    const int paintedSignals = changed.count();
    brush->cancel();
    QVERIFY(!brush->isDragging());
    QCOMPARE(bytesOf(md), before);
    QCOMPARE(md.undoStack()->count(), 1); // the earlier step only, still there
    QCOMPARE(md.undoStack()->index(), 1);
    QVERIFY(!md.isModified());
    QCOMPARE(changed.count(), paintedSignals + 1); // the undone cells repaint
    brush->release({50, 30}); // the button comes up after Escape: nothing more
    QCOMPARE(bytesOf(md), before);

    // The next stroke is a step of its own again.
    brush->press({1, 1});
    brush->release({1, 1});
    QCOMPARE(md.undoStack()->count(), 2);
    md.undoStack()->undo();
    QCOMPARE(bytesOf(md), before);
}

void TestTools::strokeAfterASaveAndUnderAnUndo()
{
    MapDocument md;
    md.reset(30, 30);
    const QByteArray empty = bytesOf(md);
    auto brush = toolOn<BrushTool>(md, Grass);

    // Saved in the middle of a stroke: the rest becomes a second step, and
    // Escape still takes back the whole stroke.
    brush->press({0, 0});
    brush->move({5, 0});
    md.setClean();
    brush->move({5, 5});
    brush->move({9, 9});
    QCOMPARE(md.undoStack()->count(), 2);
    brush->cancel();
    QCOMPARE(bytesOf(md), empty);
    QCOMPARE(md.undoStack()->count(), 0);

    // Undone from the keyboard in the middle of a drag: the stroke stops.
    brush->press({0, 0});
    brush->move({5, 0});
    md.undoStack()->undo();
    brush->move({5, 5});
    brush->release({9, 9});
    QCOMPARE(bytesOf(md), empty);
    QCOMPARE(md.undoStack()->count(), 1);
    QVERIFY(md.undoStack()->canRedo());
    brush->press({0, 0});
    brush->move({5, 0});
    md.undoStack()->undo();
    brush->cancel(); // nothing of its own left to take back
    QCOMPARE(bytesOf(md), empty);
    QCOMPARE(md.undoStack()->count(), 1);
}

void TestTools::lineAppearsOnRelease()
{
    MapDocument md;
    md.reset(12, 6);
    const QByteArray empty = bytesOf(md);
    auto line = toolOn<LineTool>(md, Grass, 1);
    line->move({1, 1});
    QCOMPARE(line->footprint(), QRegion(1, 1, 1, 1));
    line->press({1, 1});
    line->move({6, 3});
    line->move({10, 4});
    QCOMPARE(bytesOf(md), empty); // only the preview moves during the drag
    QCOMPARE(drawnCells(12, 6, line->footprint()), (QStringList{"............", ".xx.........", "...xxx......",
                                                                "......xxx...", ".........xx.", "............"}));
    line->release({10, 4});
    QCOMPARE(painted(md, Grass), drawnCells(12, 6, squaresAlong({{1, 1}, {10, 4}}, 1)));
    QCOMPARE(md.undoStack()->count(), 1);
    QCOMPARE(md.undoStack()->text(0), QStringLiteral("Paint TerrainType=TERRAIN_GRASS on 10 plots"));

    // Size 3, cancelled: nothing at all.
    line->setBrushSize(3);
    line->press({0, 5});
    line->move({11, 0});
    QCOMPARE(drawnCells(12, 6, line->footprint()), drawnCells(12, 6, squaresAlong({{0, 5}, {11, 0}}, 3)));
    line->cancel();
    line->release({11, 0});
    QCOMPARE(md.undoStack()->count(), 1);
    QCOMPARE(painted(md, Grass), drawnCells(12, 6, squaresAlong({{1, 1}, {10, 4}}, 1)));

    // A drag that ends far off the map paints up to the map's edge.
    line->setBrush(PaintRule::fromLine("TerrainType=TERRAIN_SNOW"));
    line->setBrushSize(1);
    line->press({0, 5});
    line->move({2000000000, 5});
    line->release({2000000000, 5});
    QCOMPARE(painted(md, "TERRAIN_SNOW"), (QStringList{"............", "............", "............",
                                                       "............", "............", "xxxxxxxxxxxx"}));
}

void TestTools::rectanglePaintsEveryPlotInIt()
{
    MapDocument md;
    md.reset(8, 6);
    auto rect = toolOn<RectangleTool>(md, Grass, 9); // the brush size plays no part
    rect->move({6, 4});
    QCOMPARE(rect->footprint(), QRegion(6, 4, 1, 1));
    rect->press({6, 4});
    rect->move({2, 1});
    QCOMPARE(rect->footprint(), QRegion(QRect(QPoint(2, 1), QPoint(6, 4))));
    QCOMPARE(md.undoStack()->count(), 0);
    rect->move({9, 7}); // dragged off the map: the preview stops at its edge
    QCOMPARE(rect->footprint(), QRegion(QRect(QPoint(6, 4), QPoint(7, 5))));
    rect->release({3, 2});
    QCOMPARE(painted(md, Grass), (QStringList{"........", "........", "...xxxx.", "...xxxx.", "...xxxx.", "........"}));
    QCOMPARE(md.undoStack()->text(0), QStringLiteral("Paint TerrainType=TERRAIN_GRASS on 12 plots"));

    // The right button takes the key out of the rectangle.
    rect->press({0, 3}, Qt::RightButton);
    rect->release({4, 3});
    QCOMPARE(painted(md, Grass), (QStringList{"........", "........", "...xxxx.", ".....xx.", "...xxxx.", "........"}));
    QCOMPARE(md.undoStack()->text(1), QStringLiteral("Erase TerrainType on 2 plots"));
    QCOMPARE(md.undoStack()->count(), 2);
}

void TestTools::fillRegionWholeMapAndErase()
{
    MapDocument md;
    md.reset(6, 4);
    auto *setup = new SetPlotTexts(&md, "setup");
    const QStringList map{"AAB...", "ABBA..", "AABBBA", "B....A"};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 6; ++c)
            if (map[r][c] != QLatin1Char('.'))
                setup->add(c, r, QByteArray("PlotType=2\r\nTerrainType=TERRAIN_") + map[r][c].toLatin1());
    md.push(setup);

    auto fill = toolOn<FillTool>(md, "TerrainType=TERRAIN_C");
    fill->move({3, 3});
    QCOMPARE(fill->footprint(), QRegion(3, 3, 1, 1)); // the region is found on the press
    fill->press({0, 0});
    QCOMPARE(md.undoStack()->count(), 2); // done on the press
    fill->release({0, 0});
    QCOMPARE(painted(md, "TERRAIN_C"), (QStringList{"xx....", "x.....", "xx....", "......"}));
    QCOMPARE(md.undoStack()->text(1), QStringLiteral("Fill TerrainType=TERRAIN_C on 5 plots"));

    // Plots without the key are a region of their own.
    fill->press({4, 0});
    fill->release({4, 0});
    QCOMPARE(painted(md, "TERRAIN_C"), (QStringList{"xx.xxx", "x...xx", "xx....", "......"}));
    // Filling a region with its own value changes nothing.
    fill->press({0, 0});
    fill->release({0, 0});
    QCOMPARE(md.undoStack()->count(), 3);

    // Escape while the button is still down takes the fill back.
    md.push(new ChangeSelection(&md, QRect(0, 0, 6, 4)));
    const QByteArray before = bytesOf(md);
    fill->press({2, 2}, Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(painted(md, "TERRAIN_C"), QStringList(4, "xxxxxx"));
    fill->cancel();
    QCOMPARE(bytesOf(md), before);
    QCOMPARE(md.undoStack()->count(), 4); // the selection's step and no more

    // Shift: every selected plot; the right button: the key out of the region.
    fill->press({2, 2}, Qt::LeftButton, Qt::ShiftModifier);
    fill->release({2, 2});
    QCOMPARE(md.undoStack()->text(4), QStringLiteral("Fill TerrainType=TERRAIN_C on 14 plots"));
    fill->setBrush(PaintRule::fromLine("TerrainType=TERRAIN_B"));
    fill->press({1, 0}, Qt::RightButton);
    fill->release({1, 0});
    QCOMPARE(md.undoStack()->text(5), QStringLiteral("Erase TerrainType on 24 plots"));
    QCOMPARE(md.document().PlotTexts.text(5, 3), QByteArray("PlotType=2"));
    QCOMPARE(md.document().PlotTexts.text(1, 3), QByteArray());
}

void TestTools::pickerTakesTheBrushValue()
{
    MapDocument md;
    md.reset(3, 1);
    auto *setup = new SetPlotTexts(&md, "setup");
    setup->add(0, 0, "FeatureType=FEATURE_FOREST, FeatureVariety=1\r\n  TerrainType=TERRAIN_HILL ");
    setup->add(1, 0, "PlotType=1");
    md.push(setup);
    const QByteArray before = bytesOf(md);

    PickerTool picker(&md);
    QSignalSpy picked(&picker, &PickerTool::brushPicked);
    QSignalSpy refused(&picker, &MapTool::refused);
    picker.press({0, 0}); // no brush yet: the terrain line
    picker.release({0, 0});
    QCOMPARE(picked.count(), 1);
    QCOMPARE(picker.brush().line(), QByteArray("TerrainType=TERRAIN_HILL"));
    QCOMPARE(picked.last().first().value<PaintRule>().line(), QByteArray("TerrainType=TERRAIN_HILL"));

    picker.setBrush(PaintRule::fromLine("FeatureType=FEATURE_ICE, FeatureVariety=0"));
    picker.press({0, 0});
    picker.release({0, 0});
    QCOMPARE(picker.brush().line(), QByteArray("FeatureType=FEATURE_FOREST, FeatureVariety=1"));
    QCOMPARE(picker.brush().key(), QByteArray("FeatureType"));

    picker.press({1, 0}); // no line of the key: the brush stays
    picker.release({1, 0});
    QCOMPARE(refused.count(), 1);
    QCOMPARE(refused.last().first().toString(), QStringLiteral("This plot has no FeatureType line to pick"));
    QCOMPARE(picker.brush().key(), QByteArray("FeatureType"));
    QCOMPARE(picked.count(), 2);
    QCOMPARE(bytesOf(md), before);
    QCOMPARE(md.undoStack()->count(), 1);
}

void TestTools::eachToolUndoesByteForByte_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<int>("button");
    for (const char *tool : {"brush", "eraser", "line", "rectangle", "fill", "shift fill"}) {
        QTest::newRow(tool) << QString::fromLatin1(tool) << int(Qt::LeftButton);
        QTest::newRow(QByteArray(tool) + ", right button") << QString::fromLatin1(tool) << int(Qt::RightButton);
    }
}

void TestTools::eachToolUndoesByteForByte()
{
    QFETCH(QString, tool);
    QFETCH(int, button);
    MapDocument md;
    QVERIFY(md.load(Continents).ok());
    const QByteArray original = bytesOf(md);
    const std::unique_ptr<MapTool> t = paintTool(tool, md);
    t->setBrush(PaintRule::fromLine("TerrainType=TERRAIN_DESERT"));
    t->setBrushSize(7);
    t->press({3, 38}, Qt::MouseButton(button), tool == "shift fill" ? Qt::ShiftModifier : Qt::NoModifier);
    for (const QPoint &p : {QPoint(20, 5), QPoint(60, 30), QPoint(33, 19)})
        t->move(p);
    t->release({33, 19});
    QCOMPARE(md.undoStack()->count(), 1);
    const QByteArray after = bytesOf(md);
    QVERIFY(after != original);
    md.undoStack()->undo();
    QCOMPARE(bytesOf(md), original);
    QVERIFY(!md.isModified());
    md.undoStack()->redo();
    QCOMPARE(bytesOf(md), after);
}

void TestTools::stepNames()
{
    QCOMPARE(SetPlotTexts::nameFor("Paint A=1 on %1 plots", 1234), QStringLiteral("Paint A=1 on 1,234 plots"));
    QCOMPARE(SetPlotTexts::nameFor("Paint A=1 on %1 plots", 1), QStringLiteral("Paint A=1 on 1 plot"));
    QCOMPARE(SetPlotTexts::nameFor("Paint A=1 on %1 plots", 0), QStringLiteral("Paint A=1 on 0 plots"));
    // A brush value may hold "%1" itself: only the count is filled in.
    QCOMPARE(SetPlotTexts::nameFor("Paint Name=%1 on %1 plots", 2), QStringLiteral("Paint Name=%1 on 2 plots"));
    MapDocument md;
    md.reset(4, 4);
    auto brush = toolOn<BrushTool>(md, "Note=50%1 done");
    brush->press({0, 0});
    brush->release({0, 0});
    QCOMPARE(md.undoStack()->text(0), QStringLiteral("Paint Note=50%1 done on 1 plot"));
}

void TestTools::everyStrokeIsOneStep_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QRegion>("selected");
    QTest::addColumn<QList<QPoint>>("events");
    QTest::addColumn<QRegion>("changed");
    const QRegion none, islands = QRegion(1, 1, 2, 2) | QRect(30, 40, 5, 3);
    const QRegion west(0, 0, 70, 60); // the fill's region: a wall stands at column 70
    const QList<QPoint> back{{1, 1}, {6, 1}, {1, 1}, {1, 4}};
    QTest::newRow("brush, back over itself") << "brush" << none << back << squaresAlong(back, 3);
    QTest::newRow("eraser") << "eraser" << none << back << squaresAlong(back, 3);
    QTest::newRow("line") << "line" << none << QList<QPoint>{{2, 2}, {40, 30}, {9, 6}} << squaresAlong({{2, 2}, {9, 6}}, 3);
    QTest::newRow("rectangle") << "rectangle" << none << QList<QPoint>{{3, 3}, {8, 10}} << QRegion(3, 3, 6, 8);
    QTest::newRow("fill, only inside the selection") << "fill" << islands << QList<QPoint>{{2, 2}} << islands;
    QTest::newRow("shift fill: two islands") << "shift fill" << islands << QList<QPoint>{{75, 2}} << islands;
    QTest::newRow("shift fill, nothing selected") << "shift fill" << none << QList<QPoint>{{2, 2}} << west;
}

void TestTools::everyStrokeIsOneStep()
{
    QFETCH(QString, tool);
    QFETCH(QRegion, selected);
    QFETCH(QList<QPoint>, events);
    QFETCH(QRegion, changed);
    MapDocument md;
    md.reset(80, 60);
    auto *setup = new SetPlotTexts(&md, "setup");
    for (int i = 0; i < 80 * 60; ++i)
        setup->add(i % 80, i / 80, i % 80 == 70 ? "TerrainType=TERRAIN_B" : "TerrainType=TERRAIN_A");
    md.push(setup);
    md.push(new ChangeSelection(&md, selected));
    const int steps = md.undoStack()->count();
    const Document before = md.document().deepCopy();
    const std::unique_ptr<MapTool> t = paintTool(tool, md);
    t->setBrush(PaintRule::fromLine(Grass));
    t->setBrushSize(3);
    t->press(events[0], Qt::LeftButton, tool == "shift fill" ? Qt::ShiftModifier : Qt::NoModifier);
    for (const QPoint &p : events)
        t->move(p);
    t->release(events.last());
    QCOMPARE(md.undoStack()->count(), steps + 1);
    QRegion done;
    int count = 0;
    for (int i = 0; i < 80 * 60; ++i)
        if (md.document().PlotTexts.view(i % 80, i / 80) != before.PlotTexts.view(i % 80, i / 80))
            done += QRect(i % 80, i / 80, 1, 1), ++count;
    QCOMPARE(done, changed);
    QVERIFY(md.undoStack()->text(steps).endsWith(QStringLiteral(" %1 plots").arg(QLocale(QLocale::English).toString(count))));
    md.undoStack()->undo();
    QCOMPARE(bytesOf(md), buildSaveFile(before));
}

// The River tool against a plain reference: every step of the drag from
// corner to corner (x first) added or removed on its own with setRiver,
// the edge named by the plot on its other side. One step, undone whole.
void TestTools::riverToolMatchesEdgeByEdge()
{
    QRandomGenerator rng(23);
    const int cols = 5, rows = 4;
    for (int round = 0; round < 80; ++round) {
        MapDocument tool, reference;
        for (MapDocument *md : {&tool, &reference}) {
            md->reset(cols, rows);
            for (int k = 0; k < 4; ++k) // the same rivers on both to begin with
                PieceEdits::setRiver(*md, QPoint(k, k % rows), PieceEdits::East, k % 2 ? PieceEdits::North : PieceEdits::South);
        }
        const QByteArray before = bytesOf(tool);
        const int steps = tool.undoStack()->count();
        QList<QPoint> corners;
        for (int i = 2 + rng.bounded(6); i > 0; --i)
            corners << QPoint(rng.bounded(-1, cols + 2), rng.bounded(-1, rows + 2));
        const bool removing = rng.bounded(3) == 0;
        RiverTool river(&tool);
        river.press(corners[0], Qt::LeftButton, removing ? Qt::ShiftModifier : Qt::NoModifier);
        for (const QPoint &c : corners.mid(1))
            river.move(c);
        river.release(corners.last());

        QPoint at = corners[0];
        for (const QPoint &to : corners.mid(1)) {
            while (at != to) {
                const QPoint next = at.x() != to.x() ? at + QPoint(to.x() > at.x() ? 1 : -1, 0)
                                                     : at + QPoint(0, to.y() > at.y() ? 1 : -1);
                QPoint cell;
                PieceEdits::Side side;
                int flow;
                if (next.y() == at.y()) {
                    const int x = qMin(at.x(), next.x());
                    cell = at.y() < rows ? QPoint(x, at.y()) : QPoint(x, at.y() - 1);
                    side = at.y() < rows ? PieceEdits::North : PieceEdits::South;
                    flow = next.x() > at.x() ? PieceEdits::East : PieceEdits::West;
                } else {
                    const int y = qMin(at.y(), next.y());
                    cell = at.x() < cols ? QPoint(at.x(), y) : QPoint(at.x() - 1, y);
                    side = at.x() < cols ? PieceEdits::West : PieceEdits::East;
                    flow = next.y() > at.y() ? PieceEdits::South : PieceEdits::North;
                }
                if (removing)
                    PieceEdits::removeRiver(reference, cell, side);
                else
                    PieceEdits::setRiver(reference, cell, side, flow);
                at = next;
            }
        }
        QCOMPARE(bytesOf(tool), bytesOf(reference));
        QVERIFY(tool.undoStack()->count() - steps <= 1);
        tool.undoStack()->setIndex(steps);
        QCOMPARE(bytesOf(tool), before);
    }
}

// Every mode of symmetric painting against plain image formulas: a brush
// stroke paints the closure of what it paints alone, a river drag draws
// its edges at their images with the flow turned; one step each. A quarter
// turn on a map that is not square paints plainly.
void TestTools::symmetricStrokesPaintEveryImage()
{
    QRandomGenerator rng(41);
    // The images of a cell by mode, as a map maker would work them out.
    const auto images = [](QPoint c, int mode, QSize g) {
        const int w = g.width(), h = g.height();
        const QPoint lr(w - 1 - c.x(), c.y()), tb(c.x(), h - 1 - c.y()), half(w - 1 - c.x(), h - 1 - c.y());
        switch (mode) {
        case PaintSymmetry::MirrorLeftRight: return QList<QPoint>{c, lr};
        case PaintSymmetry::MirrorTopBottom: return QList<QPoint>{c, tb};
        case PaintSymmetry::MirrorFourWays: return QList<QPoint>{c, lr, tb, half};
        case PaintSymmetry::Rotate180: return QList<QPoint>{c, half};
        case PaintSymmetry::Rotate90FourWays:
            if (w == h)
                return QList<QPoint>{c, half, {w - 1 - c.y(), c.x()}, {c.y(), h - 1 - c.x()}};
            break;
        }
        return QList<QPoint>{c};
    };
    for (int round = 0; round < 60; ++round) {
        const QSize grid = round % 2 ? QSize(6, 6) : QSize(7, 5);
        const int mode = 1 + round % 5;
        MapDocument plain, symmetric;
        plain.reset(grid.width(), grid.height());
        symmetric.reset(grid.width(), grid.height());
        auto alone = toolOn<BrushTool>(plain, Grass, 1 + rng.bounded(2));
        auto both = toolOn<BrushTool>(symmetric, Grass, alone->brushSize());
        both->setSymmetry(PaintSymmetry::Mode(mode));
        QList<QPoint> stroke;
        for (int i = 1 + rng.bounded(4); i > 0; --i)
            stroke << QPoint(rng.bounded(grid.width()), rng.bounded(grid.height()));
        for (MapTool *tool : {static_cast<MapTool *>(alone.get()), static_cast<MapTool *>(both.get())}) {
            tool->press(stroke[0]);
            for (const QPoint &p : stroke)
                tool->move(p);
            tool->release(stroke.last());
        }
        QSet<QPoint> expected, painted;
        for (int r = 0; r < grid.height(); ++r)
            for (int c = 0; c < grid.width(); ++c) {
                if (plain.document().PlotTexts.view(c, r) == Grass)
                    for (const QPoint &i : images({c, r}, mode, grid))
                        expected << i;
                if (symmetric.document().PlotTexts.view(c, r) == Grass)
                    painted << QPoint(c, r);
            }
        QCOMPARE(painted, expected);
        QCOMPARE(symmetric.undoStack()->count(), 1);

        // A river along the top of the stroke's first plot, eastwards.
        MapDocument rivers;
        rivers.reset(grid.width(), grid.height());
        RiverTool river(&rivers);
        river.setSymmetry(PaintSymmetry::Mode(mode));
        const QPoint at = stroke[0] + QPoint(0, 1);
        river.press(at);
        river.release(at + QPoint(1, 0));
        QSet<QString> edges, expectedEdges;
        for (const PlotFacts::RiverEdge &e : PlotFacts::riverEdges(rivers.document().PlotTexts, QRect(QPoint(0, 0), grid)))
            edges << QStringLiteral("%1,%2|%3,%4 %5").arg(e.carrier.x()).arg(e.carrier.y()).arg(e.neighbour().x())
                         .arg(e.neighbour().y()).arg(QString::fromLatin1(e.flow.value_or("-")));
        if (at.y() >= grid.height())
            continue;
        const QList<QPoint> from = images(at + QPoint(0, -1), mode, grid), to = images(at, mode, grid);
        const QList<QPoint> flowEnd = images(at + QPoint(1, -1), mode, grid);
        for (qsizetype k = 0; k < from.size(); ++k) {
            const QPoint a = from[k], b = to[k], ahead = flowEnd[k] - a; // the edge's plots, and where it flows
            const QPoint carrier(qMin(a.x(), b.x()), qMin(a.y(), b.y())), other = carrier == a ? b : a;
            const int flow = ahead.x() > 0 ? 1 : ahead.x() < 0 ? 3 : ahead.y() > 0 ? 2 : 0;
            const QString edge = QStringLiteral("%1,%2|%3,%4 ").arg(carrier.x()).arg(carrier.y()).arg(other.x()).arg(other.y());
            if (std::none_of(expectedEdges.cbegin(), expectedEdges.cend(), [&](const QString &s) { return s.startsWith(edge); }))
                expectedEdges << edge + QString::number(flow); // an image on the drawn edge leaves it
        }
        QCOMPARE(edges, expectedEdges);
    }
}

QTEST_GUILESS_MAIN(TestTools)
#include "tst_tools.moc"
