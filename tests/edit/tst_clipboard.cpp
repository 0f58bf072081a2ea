// Regions: the plot-block text copy and paste carry (written by hand here,
// read back byte for byte, foreign text refused whole), paste and delete as
// undoable steps, and the region selection tool on plain cell sequences.

#include "MapDocument.h"
#include "MapReader.h"
#include "MapWriter.h"
#include "PlotRegion.h"
#include "RegionEdits.h"
#include "RegionSelectTool.h"
#include "SetPlotTexts.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace vor4;

namespace {

const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");

QByteArray bytesOf(const MapDocument &md) { return buildSaveFile(md.document()); }

// Texts a memo can give a plot besides what the reader gives: blanks at
// the start of a line, an empty line, a sub-block with a nested one, and
// a line that starts with a tab.
const QByteArray Awkward = "  Indented=1\r\n\r\nBeginUnit\r\nUnitType=UNIT_WARRIOR\r\nBeginPromotion\r\n\tDeep=1\r\n"
                           "EndPromotion\r\nEndUnit\r\nTrailing=1  ";

void load(MapDocument &md, const Document &doc, QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("map.Vor4WorldBuilderSave"));
    QVERIFY(writeMapFile(path, buildSaveFile(doc)).ok);
    QVERIFY(md.load(path).ok());
}

QStringList drawn(const QRect &area, int cols, int rows)
{
    QStringList out;
    for (int r = 0; r < rows; ++r) {
        QString row;
        for (int c = 0; c < cols; ++c)
            row += area.contains(QPoint(c, r)) ? QLatin1Char('x') : QLatin1Char('.');
        out << row;
    }
    return out;
}

} // namespace

class TestClipboard : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void textIsTheFilesPlotBlocks();
    void roundTripBetweenTwoDocuments();
    void foreignTextIsRefusedWhole_data();
    void foreignTextIsRefusedWhole();
    void blocksFromOtherHands();
    void pasteClipsToTheMapAndSelects();
    void deleteAndUndo();
    void regionSelectTool();

private:
    QTemporaryDir m_dir;
};

void TestClipboard::textIsTheFilesPlotBlocks()
{
    // A 2 x 2 region: x and y from its corner of smallest x and y, in the
    // file's order, each line indented as the writer indents it.
    PlotTable plots;
    plots.resize(3, 3);
    plots.setText(1, 0, "TerrainType=TERRAIN_GRASS");
    plots.setText(1, 1, "BeginUnit\r\nUnitType=UNIT_WARRIOR\r\nEndUnit");
    plots.setText(2, 1, "PlotType=3");
    const PlotRegion region = PlotRegion::copy(plots, QRect(1, 0, 2, 2));
    QCOMPARE(region.size(), QSize(2, 2));
    QCOMPARE(region.plotCount(), 4);
    const QByteArray expected = "BeginPlot\r\n\tx=0,y=0\r\n\tBeginUnit\r\n\t\tUnitType=UNIT_WARRIOR\r\n\tEndUnit\r\nEndPlot\r\n"
                                "BeginPlot\r\n\tx=0,y=1\r\n\tTerrainType=TERRAIN_GRASS\r\nEndPlot\r\n"
                                "BeginPlot\r\n\tx=1,y=0\r\n\tPlotType=3\r\nEndPlot\r\n"
                                "BeginPlot\r\n\tx=1,y=1\r\nEndPlot\r\n";
    QCOMPARE(region.toText(), expected);

    // The map's own writer writes its plots the same way.
    Document doc;
    doc.ResetDocument(2, 2);
    for (int c = 0; c < 2; ++c)
        for (int r = 0; r < 2; ++r)
            doc.PlotTexts.setText(c, r, region.view(c, r));
    QVERIFY(buildSaveFile(doc).endsWith("### Plot Info ###\r\n" + expected));
}

void TestClipboard::roundTripBetweenTwoDocuments()
{
    // Copied from one document as text, pasted into another: the pasted
    // plots hold the copied bytes, awkward ones included.
    MapDocument from;
    QVERIFY(from.load(Continents).ok());
    QVERIFY(from.push([&] {
        auto *c = new SetPlotTexts(&from, QStringLiteral("Edit"));
        c->add(10, 10, Awkward);
        return c;
    }()));
    const QRect source(8, 7, 12, 9);
    const QByteArray text = RegionEdits::copy(from, source).toText();

    MapDocument to;
    QVERIFY(to.load(QStringLiteral(VOR4_FIXTURES_DIR "/island-15x15.Vor4WorldBuilderSave")).ok());
    const QByteArray before = bytesOf(to);
    QString error;
    const std::optional<PlotRegion> pasted = PlotRegion::fromText(text, &error);
    QVERIFY2(pasted, qPrintable(error));
    QCOMPARE(pasted->size(), source.size());
    const RegionEdits::Result result = RegionEdits::paste(to, *pasted, QPoint(2, 3));
    QVERIFY(result.ok);
    QCOMPARE(result.message, QStringLiteral("Paste 108 plots"));
    for (int r = 0; r < source.height(); ++r)
        for (int c = 0; c < source.width(); ++c)
            QCOMPARE(to.document().PlotTexts.view(2 + c, 3 + r),
                     from.document().PlotTexts.view(source.left() + c, source.top() + r));
    QCOMPARE(to.document().PlotTexts.text(4, 6), Awkward);
    // Copied again from where it landed: the same text.
    QCOMPARE(RegionEdits::copy(to, QRect(QPoint(2, 3), source.size())).toText(), text);
    to.undoStack()->undo();
    QCOMPARE(bytesOf(to), before);
    QVERIFY(to.selection().isEmpty());
    to.undoStack()->redo();
    QCOMPARE(to.selection().boundingRect(), QRect(QPoint(2, 3), source.size()));
}

void TestClipboard::foreignTextIsRefusedWhole_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("prose") << QByteArray("Hello, map makers") << "Line 1 is outside a plot block";
    QTest::newRow("empty") << QByteArray("\r\n  \r\n") << "The text holds no plot blocks";
    QTest::newRow("no coordinates") << QByteArray("BeginPlot\r\n\tTerrainType=X\r\nEndPlot\r\n")
                                    << "Line 2 should name the plot as x=X,y=Y";
    QTest::newRow("bad number") << QByteArray("BeginPlot\r\n\tx=a,y=1\r\nEndPlot\r\n") << "Line 2 should name";
    QTest::newRow("cut short") << QByteArray("BeginPlot\r\n\tx=0,y=0\r\n\tA=1\r\n") << "Line 3 ends inside a plot block";
    QTest::newRow("a section inside") << QByteArray("BeginPlot\r\n\tx=0,y=0\r\nBeginMap\r\nEndPlot\r\n")
                                      << "Line 3 breaks a plot block";
    QTest::newRow("two coordinates") << QByteArray("BeginPlot\r\n\tx=0,y=0\r\n\tx=1,y=1\r\nEndPlot\r\n")
                                     << "Line 3 breaks a plot block";
    QTest::newRow("good, then prose") << QByteArray("BeginPlot\r\n\tx=0,y=0\r\nEndPlot\r\nthanks\r\n")
                                      << "Line 4 is outside a plot block";
    QTest::newRow("twice") << QByteArray("BeginPlot\r\nx=0,y=0\r\nEndPlot\r\nBeginPlot\r\nx=0,y=0\r\nEndPlot")
                           << "The plot blocks name the plot x=0,y=0 twice";
    QTest::newRow("a whole file") << QByteArray("Version=11\r\nBeginGame\r\nEndGame\r\n") << "Line 1 is outside";
    QTest::newRow("too wide") << QByteArray("BeginPlot\r\nx=0,y=0\r\nEndPlot\r\nBeginPlot\r\nx=5000000,y=0\r\nEndPlot")
                              << "more than a map can hold";
}

void TestClipboard::foreignTextIsRefusedWhole()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, message);
    QString error;
    QVERIFY(!PlotRegion::fromText(text, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
}

void TestClipboard::blocksFromOtherHands()
{
    // Blocks typed in a text editor: any numbering, blanks, lower case,
    // spaces for tabs, a plot left out. The region spans them all; the
    // plot left out is not part of it and a paste leaves its target alone.
    const QByteArray typed = "\n  beginplot\n    x= 11, y=21\n    TerrainType=TERRAIN_SNOW\n  endplot\n\n"
                             "BeginPlot\n x=10,y=20\n\tPlotType=1\nEndPlot\n"
                             "BeginPlot\n x=10,y=21\nEndPlot\n";
    QString error;
    const std::optional<PlotRegion> region = PlotRegion::fromText(typed, &error);
    QVERIFY2(region, qPrintable(error));
    QCOMPARE(region->size(), QSize(2, 2));
    QCOMPARE(region->plotCount(), 3);
    QVERIFY(region->holds(0, 0) && region->holds(1, 0) && region->holds(0, 1) && !region->holds(1, 1));
    QCOMPARE(region->view(1, 0), QByteArrayView("TerrainType=TERRAIN_SNOW"));
    QCOMPARE(region->view(0, 1), QByteArrayView("PlotType=1"));
    QCOMPARE(region->view(0, 0), QByteArrayView());

    MapDocument md;
    QVERIFY(md.load(Continents).ok());
    const QByteArray kept = md.document().PlotTexts.text(6, 6);
    QVERIFY(RegionEdits::paste(md, *region, QPoint(5, 5)).ok);
    QCOMPARE(md.document().PlotTexts.text(6, 6), kept);
    QCOMPARE(md.document().PlotTexts.text(5, 5), QByteArray());
    QCOMPARE(md.document().PlotTexts.text(6, 5), QByteArray("TerrainType=TERRAIN_SNOW"));
}

void TestClipboard::pasteClipsToTheMapAndSelects()
{
    MapDocument md;
    QVERIFY(md.load(Continents).ok());
    const PlotRegion region = RegionEdits::copy(md, QRect(0, 0, 5, 4));
    // Hanging over the bottom-right corner: only the 2 x 3 inside lands.
    const RegionEdits::Result corner = RegionEdits::paste(md, region, QPoint(62, 37));
    QVERIFY(corner.ok);
    QCOMPARE(corner.plots, 6);
    QCOMPARE(md.selection().boundingRect(), QRect(62, 37, 2, 3));
    QCOMPARE(md.document().PlotTexts.text(63, 39), md.document().PlotTexts.text(1, 2));
    // Wholly off the map: refused, nothing changed.
    const int steps = md.undoStack()->count();
    const RegionEdits::Result off = RegionEdits::paste(md, region, QPoint(-10, 0));
    QVERIFY(!off.ok);
    QCOMPARE(off.message, QStringLiteral("The paste lies outside the map"));
    QCOMPARE(md.undoStack()->count(), steps);
    QVERIFY(!RegionEdits::paste(md, PlotRegion(), QPoint(0, 0)).ok);

    // A shape (an L) copies and pastes its own plots only, in text too.
    const QRegion shape = QRegion(10, 10, 1, 3) | QRect(11, 12, 2, 1);
    const PlotRegion l = RegionEdits::copy(md, shape);
    QCOMPARE(l.plotCount(), 5);
    QCOMPARE(l.toText().count("BeginPlot"), 5);
    const Document before = md.document().deepCopy();
    QCOMPARE(RegionEdits::paste(md, *PlotRegion::fromText(l.toText()), QPoint(30, 20)).plots, 5);
    for (int row = 20; row < 23; ++row)
        for (int col = 30; col < 33; ++col)
            QCOMPARE(md.document().PlotTexts.view(col, row),
                     shape.contains(QPoint(col - 20, row - 10)) ? before.PlotTexts.view(col - 20, row - 10)
                                                                : before.PlotTexts.view(col, row));
}

void TestClipboard::deleteAndUndo()
{
    MapDocument md;
    QVERIFY(md.load(Continents).ok());
    const QByteArray before = bytesOf(md);
    QSignalSpy changed(&md, &MapDocument::plotsChanged);
    const RegionEdits::Result cut = RegionEdits::clear(md, QRect(3, 4, 5, 2), QStringLiteral("Cut"));
    QVERIFY(cut.ok);
    QCOMPARE(cut.message, QStringLiteral("Cut 10 plots"));
    QCOMPARE(md.undoStack()->undoText(), QStringLiteral("Cut 10 plots"));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed[0][0].value<QRegion>(), QRegion(3, 4, 5, 2));
    for (int r = 4; r < 6; ++r)
        for (int c = 3; c < 8; ++c)
            QVERIFY(md.document().PlotTexts.isEmpty(c, r));
    QVERIFY(!md.document().PlotTexts.isEmpty(2, 4));
    md.undoStack()->undo();
    QCOMPARE(bytesOf(md), before);
    QVERIFY(!RegionEdits::clear(md, QRect()).ok);
}

void TestClipboard::regionSelectTool()
{
    MapDocument md;
    Document doc;
    doc.ResetDocument(8, 5);
    load(md, doc, m_dir);
    RegionSelectTool tool(&md);
    MapSelection &selection = md.selection();

    // A drag selects on release; the footprint shows it meanwhile.
    tool.press(QPoint(5, 1));
    tool.move(QPoint(2, 3));
    QCOMPARE(tool.footprint(), QRegion(QRect(2, 1, 4, 3)));
    QVERIFY(selection.isEmpty());
    tool.release(QPoint(2, 3));
    QCOMPARE(drawn(selection.boundingRect(), 8, 5), QStringList({"........", "..xxxx..", "..xxxx..", "..xxxx..", "........"}));

    // Shift takes the old selection in; a drag off the map stops at its edge.
    tool.press(QPoint(6, 0), Qt::LeftButton, Qt::ShiftModifier);
    tool.release(QPoint(9, -3));
    QCOMPARE(selection.boundingRect(), QRect(2, 0, 6, 4));

    // A click inside keeps it, outside lets go; Escape in a drag changes nothing.
    tool.press(QPoint(3, 2));
    tool.release(QPoint(3, 2));
    QCOMPARE(selection.boundingRect(), QRect(2, 0, 6, 4));
    tool.press(QPoint(0, 0));
    tool.move(QPoint(1, 1));
    tool.cancel();
    QCOMPARE(selection.boundingRect(), QRect(2, 0, 6, 4));
    tool.press(QPoint(0, 4));
    tool.release(QPoint(0, 4));
    QVERIFY(selection.isEmpty());
    // Shift+click with nothing selected selects nothing; each change was a
    // step, none of which modified the map.
    tool.press(QPoint(1, 1), Qt::LeftButton, Qt::ShiftModifier);
    tool.release(QPoint(1, 1));
    QVERIFY(selection.isEmpty());
    QCOMPARE(md.undoStack()->count(), 3);
    QVERIFY(!md.isModified());
    // Hovering shows the cell under the pointer.
    tool.move(QPoint(4, 4));
    QCOMPARE(tool.footprint(), QRegion(QRect(4, 4, 1, 1)));
}

QTEST_GUILESS_MAIN(TestClipboard)
#include "tst_clipboard.moc"
