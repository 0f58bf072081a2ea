// Whole pictures of a map, and the one look of a plot in every picture: the
// grid's cells, the minimap, the thumbnail and a written picture agree in
// both styles; a picture written band by band is the picture painted in one
// piece; the Terrain style tells land from sea at every cell size.

#include "Document.h"
#include "MapPainter.h"
#include "MapPicture.h"
#include "MapPieces.h"
#include "MapReader.h"
#include "MiniMap.h"
#include "MiniMapImage.h"
#include "Thumbnail.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

using namespace vor4;

namespace {

const QString Multiplayer = QStringLiteral(VOR4_FIXTURES_DIR "/multiplayer-9-52x52.Vor4WorldBuilderSave");

const MapStyle &styleNamed(const QString &name) { return *MapStyle::byName(name); }

// The picture painted in one piece, plainly: every cell by QPainter as the
// grid's reference paints it, then the pieces of every cell of the map over
// it, at (c - left) * pitch, (r - top) * pitch.
QImage reference(const Document &doc, const MapPictureOptions &o)
{
    const QRect cells = o.cells.isEmpty() ? QRect(0, 0, doc.columnCount(), doc.rowCount()) : o.cells;
    const int pitch = o.cellSize + (o.gridLines ? 1 : 0);
    QImage image(cells.width() * pitch, cells.height() * pitch, QImage::Format_RGB32);
    GridPaintParams at;
    at.cellSize = o.cellSize;
    at.lineWidth = o.gridLines ? 1 : 0;
    at.colCount = cells.right() + 1;
    at.rowCount = cells.bottom() + 1;
    at.leftCol = cells.left();
    at.topRow = cells.top();
    at.background = o.background;
    at.style = o.style;
    at.cellPen = gridCellPen(at.lineWidth, o.style.gridLine);
    at.layers = o.layers;
    paintGridDirect(image, doc.PlotTexts, at);
    if (o.pieces) {
        QPainter p(&image);
        MapPieces(&doc).paint(p, at, QRect(0, 0, doc.columnCount(), doc.rowCount()), o.pieceLayers);
    }
    return image;
}

double distance(QRgb a, QRgb b)
{
    const double r = qRed(a) - qRed(b), g = qGreen(a) - qGreen(b), bl = qBlue(a) - qBlue(b);
    return std::sqrt(r * r + g * g + bl * bl);
}

// The mean colour of an image.
QRgb mean(const QImage &image)
{
    qint64 r = 0, g = 0, b = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            r += qRed(c), g += qGreen(c), b += qBlue(c);
        }
    const qint64 n = qint64(image.width()) * image.height();
    return qRgb(int(r / n), int(g / n), int(b / n));
}

} // namespace

class TestMapPicture : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void oneColourEverywhere_data();
    void oneColourEverywhere();
    void bandsEqualOnePiece_data();
    void bandsEqualOnePiece();
    void cancelledAndRefused();
    void terrainTellsLandFromSea();
    void stylesByName();

private:
    QTemporaryDir m_dir;
    Document m_map;
};

void TestMapPicture::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(loadMapFile(Multiplayer, m_map).ok());
}

void TestMapPicture::oneColourEverywhere_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QRgb>("desert");
    QTest::newRow("Classic") << "classic" << qRgb(255, 255, 0);
    QTest::newRow("Terrain") << "terrain" << MapStyle::terrain().fill[TerrainDesert];
}

// A plot with two terrain lines, grass and then desert, shows the desert of
// its last line wherever it is drawn: a grid cell, the minimap (rendered
// whole, after an edit, and followed by the document's picture), the
// thumbnail and a whole picture, in memory and written.
void TestMapPicture::oneColourEverywhere()
{
    QFETCH(QString, style);
    QFETCH(QRgb, desert);
    const MapStyle &s = styleNamed(style);
    Document doc;
    doc.ResetDocument(3, 2);
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 2; ++r)
            doc.PlotTexts.setText(c, r, "TerrainType=TERRAIN_GRASS\r\nPlotType=2\r\nTerrainType=TERRAIN_DESERT");

    GridPaintParams grid;
    grid.style = s;
    grid.colCount = 3;
    grid.rowCount = 2;
    QImage view(60, 40, QImage::Format_RGB32);
    MapPainter().paint(view, doc.PlotTexts, grid);
    QImage direct(60, 40, QImage::Format_RGB32);
    paintGridDirect(direct, doc.PlotTexts, grid);

    QImage mini(miniMapSize(doc), QImage::Format_RGB32);
    mini.fill(Qt::white);
    renderMiniMap(doc.PlotTexts, mini, s);
    QImage edited = mini;
    renderMiniMapCells(doc.PlotTexts, edited, QRect(1, 1, 1, 1), s);
    MiniMapImage followed(&doc);
    followed.setStyle(s);
    followed.reset();
    followed.render();

    MapPictureOptions o;
    o.style = s;
    o.cellSize = 8;
    MapPicture picture(doc, o);
    const QImage whole = picture.image();
    const QString path = m_dir.filePath(style + QStringLiteral(".png"));
    QVERIFY(picture.write(path).ok);
    const QImage written = QImage(path).convertToFormat(QImage::Format_RGB32);

    const QList<QRgb> seen = {view.pixel(grid.cellRect(1, 1).center()), direct.pixel(grid.cellRect(2, 0).topLeft()),
                              mini.pixel(4, 4), edited.pixel(5, 5), followed.image().pixel(3, 0),
                              renderThumbnail(doc.PlotTexts, 30, s).pixel(15, 5), whole.pixel(12, 3),
                              written.pixel(20, 12), s.plotColour(classifyPlot(doc.PlotTexts.view(0, 0)))};
    for (int i = 0; i < seen.size(); ++i)
        QVERIFY2(seen[i] == desert, qPrintable(QStringLiteral("target %1: %2").arg(i).arg(seen[i], 8, 16)));
}

void TestMapPicture::bandsEqualOnePiece_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<int>("cell");
    QTest::addColumn<bool>("lines");
    QTest::addColumn<bool>("pieces");
    QTest::addColumn<QRect>("cells");
    for (const char *style : {"classic", "terrain"})
        for (int cell : {4, 9, 16, 24})
            for (bool pieces : {false, true})
                QTest::addRow("%s %d%s", style, cell, pieces ? " pieces" : "")
                    << style << cell << (cell != 9) << pieces << QRect();
    // Part of the map: pieces and rivers from cells around it reach in.
    QTest::newRow("terrain 4 part") << "terrain" << 4 << true << true << QRect(9, 5, 23, 17);
    QTest::newRow("classic 16 part") << "classic" << 16 << false << true << QRect(20, 30, 7, 4);
    QTest::newRow("off the map") << "terrain" << 8 << true << true << QRect(45, 45, 20, 20);
}

// One row of cells a band, the smallest memory allows: the PNG written is
// the picture painted plainly in one piece, and so is the picture in memory.
void TestMapPicture::bandsEqualOnePiece()
{
    QFETCH(QString, style);
    QFETCH(int, cell);
    QFETCH(bool, lines);
    QFETCH(bool, pieces);
    QFETCH(QRect, cells);
    MapPictureOptions o;
    o.style = styleNamed(style);
    o.cellSize = cell;
    o.gridLines = lines;
    o.pieces = pieces;
    o.pieceLayers.signs = cell != 24; // a layer off
    o.layers.forest = cell != 16;
    o.cells = cells;
    MapPicture picture(m_map, o);
    const QString path = m_dir.filePath(QStringLiteral("bands.png"));
    QList<qint64> rows;
    const MapPicture::Written written = picture.write(path, [&rows](qint64 done, qint64) {
        rows << done;
        return true;
    }, 1);
    QVERIFY2(written.ok, qPrintable(written.error));
    MapPictureOptions plain = o;
    const QRect map(0, 0, m_map.columnCount(), m_map.rowCount());
    plain.cells = cells.isEmpty() ? map : cells & map;
    const QImage expected = reference(m_map, plain);
    QCOMPARE(picture.width(), qint64(expected.width()));
    QCOMPARE(QImage(path).convertToFormat(QImage::Format_RGB32), expected);
    QCOMPARE(picture.image(), expected);
    // A band for each row of cells, the progress told after each.
    QCOMPARE(rows.size(), plain.cells.height());
    QCOMPARE(rows.last(), picture.height());
}

// Cancelled between bands, a picture leaves the file there was; one too
// large is refused with its size before anything is written.
void TestMapPicture::cancelledAndRefused()
{
    const QString path = m_dir.filePath(QStringLiteral("kept.png"));
    QFile kept(path);
    QVERIFY(kept.open(QIODevice::WriteOnly));
    kept.write("an earlier picture");
    kept.close();
    MapPictureOptions o;
    o.cellSize = 4;
    o.pieces = true;
    int bands = 0;
    const MapPicture::Written cancelled = MapPicture(m_map, o).write(path, [&bands](qint64, qint64) {
        return ++bands < 3;
    }, 1);
    QVERIFY(cancelled.cancelled && !cancelled.ok);
    QCOMPARE(bands, 3);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("an earlier picture"));
    kept.close();

    Document wide;
    wide.ResetDocument(4000000, 1);
    o.cellSize = 64;
    MapPicture huge(wide, o);
    QCOMPARE(huge.refusal(false), QStringLiteral("The picture would be 260000000 x 65 pixels, more than can be "
                                                 "rendered; choose a smaller cell size."));
    QVERIFY(huge.image().isNull());
    QVERIFY(!huge.write(m_dir.filePath(QStringLiteral("huge.png"))).ok);
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("huge.png"))));
    // Bands make big pictures possible that one image could not hold.
    wide.ResetDocument(400, 400);
    MapPicture big(wide, o);
    QVERIFY(big.refusal(false).isEmpty());
    QVERIFY(!big.refusal(true).isEmpty());
}

// Every land plot and every sea plot at every cell size of the grid, each
// with what may cover it, as a cell of the Terrain style: the colours of a
// land cell, taken together, stay far from those of any sea cell. And a
// player's start flag is a mark of its own, bigger than a resource's.
void TestMapPicture::terrainTellsLandFromSea()
{
    const MapStyle &s = MapStyle::terrain();
    const QByteArrayList land = {"TERRAIN_GRASS", "TERRAIN_PLAINS", "TERRAIN_DESERT", "TERRAIN_TUNDRA", "TERRAIN_SNOW"};
    const QByteArrayList sea = {"TERRAIN_OCEAN", "TERRAIN_COAST"};
    const QByteArrayList onLand = {"", "FeatureType=FEATURE_FOREST", "FeatureType=FEATURE_JUNGLE",
                                   "FeatureType=FEATURE_FLOOD_PLAINS", "FeatureType=FEATURE_OASIS", "PlotType=1",
                                   "PlotType=0", "BonusType=BONUS_IRON", "ImprovementType=IMPROVEMENT_FARM",
                                   "TeamReveal=1,"};
    const QByteArrayList onSea = {"", "FeatureType=FEATURE_ICE", "BonusType=BONUS_FISH", "TeamReveal=1,"};
    const auto cellColour = [&s](const QByteArray &terrain, const QByteArray &extra, int size) {
        QImage cell(size, size, QImage::Format_RGB32);
        cell.fill(Qt::white);
        QPainter p(&cell);
        paintPlot(p, classifyPlot("TerrainType=" + terrain + "\r\n" + extra), cell.rect(), LayerSwitches(), s);
        p.end();
        return mean(cell);
    };
    for (int size : {4, 5, 6, 7, 8, 9, 10, 12, 14, 16, 20, 24, 32, 40, 48, 56, 64}) {
        QList<QRgb> landColours, seaColours;
        for (const QByteArray &t : land)
            for (const QByteArray &e : onLand)
                landColours << cellColour(t, e, size);
        for (const QByteArray &t : sea)
            for (const QByteArray &e : onSea)
                seaColours << cellColour(t, e, size);
        double nearest = 1e9;
        for (QRgb l : landColours)
            for (QRgb w : seaColours)
                nearest = qMin(nearest, distance(l, w));
        QVERIFY2(nearest >= 45, qPrintable(QStringLiteral("cell %1: %2").arg(size).arg(nearest)));

        // The flag's pixels against the resource's, each on an empty cell.
        const auto marked = [size](const std::function<void(QPainter &, const QRect &)> &draw) {
            QImage image(3 * 16 + 64, 3 * 16 + 64, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter p(&image);
            draw(p, QRect(24, 40, size, size));
            p.end();
            int n = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    n += image.pixel(x, y) != qRgb(255, 255, 255);
            return n;
        };
        const int flag = marked([&s](QPainter &p, const QRect &cell) { drawStart(p, cell, 12, QColor(s.slotPalette[3]), s); });
        const int resource = marked([&s](QPainter &p, const QRect &cell) {
            PlotClass bonus;
            bonus.bonus = true;
            paintPlot(p, bonus, cell, LayerSwitches(), s);
        });
        QVERIFY2(flag >= 3 * resource, qPrintable(QStringLiteral("cell %1: %2 against %3").arg(size).arg(flag).arg(resource)));
    }
}

void TestMapPicture::stylesByName()
{
    QCOMPARE(MapStyle::names(), QStringList({"Classic", "Terrain"}));
    QCOMPARE(MapStyle::byName(u"TERRAIN"), &MapStyle::terrain());
    QCOMPARE(MapStyle::byName(u"classic"), &MapStyle::classic());
    QVERIFY(!MapStyle::byName(u"calm"));
    QVERIFY(MapStyle::classic() != MapStyle::terrain());
    // A flag standing out of a small cell reaches over the cells above it.
    QCOMPARE(MapStyle::classic().pieceReach(4), 1);
    QCOMPARE(MapStyle::terrain().pieceReach(4), 4);
    QCOMPARE(MapStyle::terrain().pieceReach(16), 1);
}

QTEST_MAIN(TestMapPicture)
#include "tst_mappicture.moc"
