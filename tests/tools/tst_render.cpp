#include "MapPainter.h"
#include "MapPicture.h"
#include "MapReader.h"
#include "MiniMap.h"
#include "RenderCommand.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace vor4;

namespace {

struct Run
{
    int code = -1;
    QByteArray out, err;
};

Run vor4map(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(VOR4MAP_PATH), args);
    p.waitForFinished(120000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");
const QString Island = QStringLiteral(VOR4_FIXTURES_DIR "/island-15x15.Vor4WorldBuilderSave");
const QRgb Silver = qRgb(192, 192, 192);
const QRgb WhitePx = qRgb(255, 255, 255);

QImage load(const QString &path)
{
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

// The whole map painted in one piece, as the grid paints it.
QImage reference(const Document &doc, int W, int g, const LayerSwitches &layers = {})
{
    GridPaintParams p;
    p.cellSize = W;
    p.lineWidth = g;
    p.colCount = doc.columnCount();
    p.rowCount = doc.rowCount();
    p.background = WhitePx;
    p.cellPen = gridCellPen(g);
    p.layers = layers;
    QImage img(doc.columnCount() * (W + g), doc.rowCount() * (W + g), QImage::Format_RGB32);
    paintGridDirect(img, doc.PlotTexts, p);
    return img;
}

} // namespace

class TestRender : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void geometry();
    void sameAsTheGrid();
    void bandsKeepHatches();
    void hideLayers();
    void stylesAndPieces();
    void miniMap();
    void wrongCalls();
    void loadAndSizeErrors();

private:
    QTemporaryDir m_dir;
    Document m_continents;
    QString out(const QString &name) const { return m_dir.filePath(name); }
};

void TestRender::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(loadMapFile(Continents, m_continents).ok());
}

void TestRender::geometry()
{
    Run r = vor4map({"render", Continents, out("c16.png")});
    QCOMPARE(r.code, 0);
    QImage img = load(out("c16.png"));
    QCOMPARE(img.size(), QSize(64 * 17, 40 * 17));
    // Cell (k, r) at (17k, 17r), the line after it.
    QCOMPARE(img.pixel(16, 3), Silver);
    QCOMPARE(img.pixel(3, 16), Silver);
    QCOMPARE(img.pixel(64 * 17 - 1, 40 * 17 - 1), Silver);
    // A plot with nothing but terrain fills its whole cell.
    QPoint plain(-1, -1);
    for (int row = 0; row < 40 && plain.x() < 0; ++row)
        for (int col = 0; col < 64 && plain.x() < 0; ++col) {
            const PlotClass c = classifyPlot(m_continents.PlotTexts.view(col, row));
            if (c.hasFill() && !c.bonus && c.feature == Feature::None && !c.improvement && !c.mountain && !c.hill
                && c.teamLabel.isEmpty())
                plain = QPoint(col, row);
        }
    QVERIFY(plain.x() >= 0);
    const QRgb fill = classifyPlot(m_continents.PlotTexts.view(plain.x(), plain.y())).fill();
    QCOMPARE(img.pixel(plain.x() * 17, plain.y() * 17), fill);
    QCOMPARE(img.pixel(plain.x() * 17 + 15, plain.y() * 17 + 15), fill);

    r = vor4map({"render", Continents, out("c4.png"), "--cell", "4", "--no-grid-lines"});
    QCOMPARE(r.code, 0);
    img = load(out("c4.png"));
    QCOMPARE(img.size(), QSize(64 * 4, 40 * 4));
    QCOMPARE(img.pixel(plain.x() * 4 + 3, plain.y() * 4 + 3), fill);

    r = vor4map({"render", Island, out("i64.png"), "--cell=64"});
    QCOMPARE(r.code, 0);
    QCOMPARE(load(out("i64.png")).size(), QSize(15 * 65, 15 * 65));
}

void TestRender::sameAsTheGrid()
{
    // Every pixel as the grid's painter draws the whole map.
    for (int W : {8, 24, 32}) {
        for (int g : {0, 1}) {
            QStringList args{"render", Continents, out("same.png"), "--cell", QString::number(W)};
            if (!g)
                args << "--no-grid-lines";
            QCOMPARE(vor4map(args).code, 0);
            QVERIFY2(load(out("same.png")) == reference(m_continents, W, g), qPrintable(args.join(' ')));
        }
    }
}

void TestRender::bandsKeepHatches()
{
    // One row of cells per band: hatch patterns still run on across band
    // borders as in one piece.
    for (int W : {9, 16}) {
        tool::RenderOptions o;
        o.mapFile = Continents;
        o.outFile = out("bands.png");
        o.cellSize = W;
        o.bandBytes = 1;
        QString error;
        QVERIFY2(tool::renderMapPicture(m_continents, o, &error), qPrintable(error));
        QVERIFY(load(out("bands.png")) == reference(m_continents, W, 1));
    }
}

void TestRender::hideLayers()
{
    LayerSwitches layers;
    layers.terrain = false;
    layers.team = false;
    layers.forest = false;
    Run r = vor4map({"render", Continents, out("hidden.png"), "--hide", "terrain,team,forest"});
    QCOMPARE(r.code, 0);
    const QImage img = load(out("hidden.png"));
    QVERIFY(img == reference(m_continents, 16, 1, layers));
    QVERIFY(img != load(out("c16.png")));
    // Every layer name is known.
    r = vor4map({"render", Island, out("none.png"), "--hide",
                 "terrain,bonus,feature,improvement,team,forest,jungle,ice,flood,oasis,mountain,hill"});
    QCOMPARE(r.code, 0);
    const QImage none = load(out("none.png"));
    for (int y = 0; y < none.height(); ++y)
        for (int x = 0; x < none.width(); ++x)
            QVERIFY(none.pixel(x, y) == WhitePx || none.pixel(x, y) == Silver);
}

// --style and --pieces give the picture of the view layer: the Terrain
// style, the pieces over the cells, the minimap in the same style.
void TestRender::stylesAndPieces()
{
    Run r = vor4map({"render", Continents, out("t.png"), "--style", "Terrain", "--pieces", "--cell=8", "--hide",
                     "forest", "--minimap", out("t-mini.png")});
    QCOMPARE(r.code, 0);
    MapPictureOptions o;
    o.style = MapStyle::terrain();
    o.cellSize = 8;
    o.pieces = true;
    o.layers.forest = false;
    QCOMPARE(load(out("t.png")), MapPicture(m_continents, o).image());
    QImage mini(miniMapSize(m_continents), QImage::Format_RGB32);
    mini.fill(WhitePx);
    renderMiniMap(m_continents.PlotTexts, mini, MapStyle::terrain());
    QCOMPARE(load(out("t-mini.png")), mini);
    // Without pieces the cells alone; classic is the default.
    QCOMPARE(vor4map({"render", Continents, out("c.png"), "--style=classic", "--cell", "8"}).code, 0);
    QCOMPARE(load(out("c.png")), reference(m_continents, 8, 1));
    QVERIFY(load(out("c.png")) != load(out("t.png")));
}

void TestRender::miniMap()
{
    Run r = vor4map({"render", Continents, out("m.png"), "--minimap", out("mini.png")});
    QCOMPARE(r.code, 0);
    const QImage mini = load(out("mini.png"));
    QCOMPARE(mini.size(), QSize(192, 120));
    QImage expected(192, 120, QImage::Format_RGB32);
    expected.fill(WhitePx);
    renderMiniMap(m_continents.PlotTexts, expected);
    QVERIFY(mini == expected);
    // 3 x 3 blocks of the last terrain line, as the grid picture has it;
    // white where a plot has none.
    Document doc;
    doc.ResetDocument(2, 1);
    QTemporaryDir dir;
    QFile f(dir.filePath("two.Vor4WorldBuilderSave"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("BeginMap\r\ngrid width=2\r\ngrid height=1\r\nEndMap\r\nBeginPlot\r\nx=0,y=0\r\n"
            "TerrainType=TERRAIN_DESERT\r\nTerrainType=TERRAIN_GRASS\r\nEndPlot\r\n");
    f.close();
    r = vor4map({"render", f.fileName(), out("two.png"), "--minimap", out("two-mini.png")});
    QCOMPARE(r.code, 0);
    const QImage two = load(out("two-mini.png"));
    QCOMPARE(two.size(), QSize(6, 3));
    QCOMPARE(two.pixel(2, 2), qRgb(0, 128, 0));
    QCOMPARE(two.pixel(0, 0), qRgb(0, 128, 0));
    QCOMPARE(two.pixel(3, 0), WhitePx);
    QCOMPARE(load(out("two.png")).pixel(0, 0), qRgb(0, 128, 0));
}

void TestRender::wrongCalls()
{
    const QStringList wrong[] = {
        {"render"},
        {"render", Continents},
        {"render", Continents, out("x.png"), "extra"},
        {"render", Continents, out("x.png"), "--cell", "15"},
        {"render", Continents, out("x.png"), "--cell", "3"},
        {"render", Continents, out("x.png"), "--cell", "sixteen"},
        {"render", Continents, out("x.png"), "--cell"},
        {"render", Continents, out("x.png"), "--hide", "terrain,rivers"},
        {"render", Continents, out("x.png"), "--hide", "Terrain"},
        {"render", Continents, out("x.png"), "--minimap"},
        {"render", Continents, out("x.png"), "--zoom", "2"},
        {"render", Continents, out("x.png"), "--style", "calm"},
        {"render", Continents, out("x.png"), "--style"},
    };
    for (const QStringList &args : wrong) {
        const Run r = vor4map(args);
        QVERIFY2(r.code == 2, qPrintable(args.join(' ')));
        QVERIFY(r.err.contains("Usage: vor4map"));
        QVERIFY(r.err.contains("render FILE OUT.png"));
    }
    QVERIFY(!QFile::exists(out("x.png")));
    const Run help = vor4map({"--help"});
    QCOMPARE(help.code, 0);
    QVERIFY(help.out.contains("--minimap MINI.png"));
    QVERIFY(help.out.contains("--style STYLE") && help.out.contains("--pieces"));
}

void TestRender::loadAndSizeErrors()
{
    // The editor's own message for a file it cannot open.
    const QString missing = out("missing.Vor4WorldBuilderSave");
    Document doc;
    const LoadResult expected = loadMapFile(missing, doc);
    QVERIFY(!expected.ok());
    Run r = vor4map({"render", missing, out("e.png")});
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains(expected.message.toUtf8()));
    QVERIFY(!QFile::exists(out("e.png")));

    // A structure error: the message names the line.
    QFile bad(out("bad.Vor4WorldBuilderSave"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("BeginGame\r\nEndMap\r\n");
    bad.close();
    const LoadResult badResult = loadMapFile(bad.fileName(), doc);
    QVERIFY(!badResult.ok());
    r = vor4map({"render", bad.fileName(), out("e.png")});
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains(badResult.message.toUtf8()));

    // Too large for a picture: refused with a clear message, nothing written.
    QFile wide(out("wide.Vor4WorldBuilderSave"));
    QVERIFY(wide.open(QIODevice::WriteOnly));
    wide.write("BeginMap\r\ngrid width=4194304\r\ngrid height=1\r\nEndMap\r\n");
    wide.close();
    r = vor4map({"render", wide.fileName(), out("wide.png"), "--cell", "64"});
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains("272629760 x 65 pixels"));
    QVERIFY(!QFile::exists(out("wide.png")));

    // An output that cannot be written.
    r = vor4map({"render", Island, out("no/such/dir/x.png")});
    QCOMPARE(r.code, 1);
    QVERIFY(!r.err.isEmpty());
}

QTEST_MAIN(TestRender)
#include "tst_render.moc"
