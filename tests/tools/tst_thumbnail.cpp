#include "MapReader.h"
#include "MiniMap.h"
#include "PlotClass.h"
#include "Thumbnail.h"

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

QImage load(const QString &path)
{
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The minimap as the editor renders it, scaled to w x h by taking, for each
// pixel, the minimap pixel under its centre.
QImage reference(const Document &doc, int w, int h)
{
    QImage mini(3 * doc.columnCount(), 3 * doc.rowCount(), QImage::Format_RGB32);
    mini.fill(RgbWhite);
    renderMiniMap(doc.PlotTexts, mini);
    QImage out(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out.setPixel(x, y, mini.pixel(int((x + 0.5) * mini.width() / w), int((y + 0.5) * mini.height() / h)));
    return out;
}

// A map of COLS x ROWS whose plot (c, r) has terrain TERRAINS[(c + r) % n].
QByteArray stripedMap(int cols, int rows)
{
    static const char *const terrains[] = {"TERRAIN_OCEAN", "TERRAIN_GRASS", "TERRAIN_DESERT", "TERRAIN_SNOW"};
    QByteArray text = "Version=11\r\nBeginMap\r\ngrid width=" + QByteArray::number(cols) + "\r\ngrid height="
                      + QByteArray::number(rows) + "\r\nwrap X=1\r\nwrap Y=0\r\nEndMap\r\n";
    for (int c = 0; c < cols; ++c)
        for (int r = 0; r < rows; ++r)
            text += "BeginPlot\r\nx=" + QByteArray::number(c) + ",y=" + QByteArray::number(rows - 1 - r)
                    + "\r\nTerrainType=" + terrains[(c + r) % 4] + "\r\nEndPlot\r\n";
    return text;
}

} // namespace

class TestThumbnail : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void shape();
    void sameAsTheScaledMiniMap();
    void tinyAndOddMaps();
    void command();
    void wrongCalls();
    void filesThatAreNoMaps();

private:
    QTemporaryDir m_dir;
    QString out(const QString &name) const { return m_dir.filePath(name); }
};

void TestThumbnail::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QFile::exists(Continents) && QFile::exists(Island));
}

void TestThumbnail::shape()
{
    // The minimap's shape, its longer side N, the other rounded, never 0.
    QCOMPARE(thumbnailSize(64, 40, 256), QSize(256, 160));
    QCOMPARE(thumbnailSize(40, 64, 256), QSize(160, 256));
    QCOMPARE(thumbnailSize(10, 1000, 256), QSize(3, 256));
    QCOMPARE(thumbnailSize(1000, 1, 256), QSize(256, 1));
    QCOMPARE(thumbnailSize(3, 2, 1), QSize(1, 1));
}

void TestThumbnail::sameAsTheScaledMiniMap()
{
    for (const QString &path : {Continents, Island}) {
        Document doc;
        QVERIFY(loadMapFile(path, doc).ok());
        for (int n : {1, 7, 45, 100, 128, 256, 700}) {
            const QImage img = renderThumbnail(doc.PlotTexts, n);
            const QSize size = thumbnailSize(doc.columnCount(), doc.rowCount(), n);
            QCOMPARE(img.size(), size);
            QVERIFY2(img == reference(doc, size.width(), size.height()),
                     qPrintable(QStringLiteral("%1 at %2").arg(QFileInfo(path).fileName()).arg(n)));
        }
    }
}

void TestThumbnail::tinyAndOddMaps()
{
    // Enlarged, every plot is a block of its own colour, rows top down.
    const QString striped = out("striped.Vor4WorldBuilderSave");
    QVERIFY(writeFile(striped, stripedMap(2, 3)));
    Document doc;
    QVERIFY(loadMapFile(striped, doc).ok());
    QImage img = renderThumbnail(doc.PlotTexts, 300);
    QCOMPARE(img.size(), QSize(200, 300));
    QVERIFY(img == reference(doc, 200, 300));
    QCOMPARE(img.pixel(99, 99), terrainFill(TerrainOcean));
    QCOMPARE(img.pixel(100, 0), terrainFill(TerrainGrass));
    QCOMPARE(img.pixel(0, 200), terrainFill(TerrainDesert));

    // Long and thin in both directions, and more plots than pixels.
    for (QSize grid : {QSize(1, 40), QSize(40, 1), QSize(97, 13), QSize(13, 97)}) {
        QVERIFY(writeFile(striped, stripedMap(grid.width(), grid.height())));
        QVERIFY(loadMapFile(striped, doc).ok());
        for (int n : {1, 16, 64, 256}) {
            img = renderThumbnail(doc.PlotTexts, n);
            const QSize size = thumbnailSize(grid.width(), grid.height(), n);
            QVERIFY(img == reference(doc, size.width(), size.height()));
        }
    }

    // Plots without terrain stay white, unknown terrains are black.
    QVERIFY(writeFile(striped, "BeginMap\r\ngrid width=2\r\ngrid height=1\r\nEndMap\r\n"
                               "BeginPlot\r\nx=1,y=0\r\nTerrainType=TERRAIN_LAVA\r\nEndPlot\r\n"));
    QVERIFY(loadMapFile(striped, doc).ok());
    img = renderThumbnail(doc.PlotTexts, 4);
    QCOMPARE(img.size(), QSize(4, 2));
    QCOMPARE(img.pixel(0, 0), RgbWhite);
    QCOMPARE(img.pixel(3, 1), RgbBlack);
}

void TestThumbnail::command()
{
    Document doc;
    QVERIFY(loadMapFile(Continents, doc).ok());
    Run r = vor4map({"thumbnail", Continents, out("c.png")});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.isEmpty() && r.err.isEmpty());
    QVERIFY(load(out("c.png")) == renderThumbnail(doc.PlotTexts, 256));

    // The thumbnailer's own form of the call, and the joined one.
    r = vor4map({"thumbnail", Continents, out("c128.png"), "--size", "128"});
    QCOMPARE(r.code, 0);
    QCOMPARE(load(out("c128.png")).size(), QSize(128, 80));
    r = vor4map({"thumbnail", "--size=1024", Island, out("i.png")});
    QCOMPARE(r.code, 0);
    QCOMPARE(load(out("i.png")).size(), QSize(1024, 1024));
    r = vor4map({"thumbnail", Island, out("i1.png"), "--size", "1"});
    QCOMPARE(r.code, 0);
    QCOMPARE(load(out("i1.png")).size(), QSize(1, 1));

    // An existing picture is replaced.
    QVERIFY(writeFile(out("old.png"), "old"));
    QCOMPARE(vor4map({"thumbnail", Island, out("old.png"), "--size", "64"}).code, 0);
    QCOMPARE(load(out("old.png")).size(), QSize(64, 64));

    // An output that cannot be written: exit 1 with a message.
    r = vor4map({"thumbnail", Island, out("no/such/dir/x.png")});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, "Cannot create file " + out("no/such/dir/x.png").toUtf8() + ": No such file or directory\n");
}

void TestThumbnail::wrongCalls()
{
    const QStringList wrong[] = {
        {"thumbnail"},
        {"thumbnail", Island},
        {"thumbnail", Island, out("w.png"), "extra"},
        {"thumbnail", Island, out("w.png"), "--size"},
        {"thumbnail", Island, out("w.png"), "--size", "0"},
        {"thumbnail", Island, out("w.png"), "--size", "4097"},
        {"thumbnail", Island, out("w.png"), "--size", "big"},
        {"thumbnail", Island, out("w.png"), "--size="},
        {"thumbnail", Island, out("w.png"), "--cell", "16"},
    };
    for (const QStringList &args : wrong) {
        const Run r = vor4map(args);
        QVERIFY2(r.code == 2, qPrintable(args.join(' ')));
        QVERIFY(r.err.startsWith("vor4map thumbnail: "));
        QVERIFY(r.err.contains("thumbnail IN OUT.png [--size N]"));
    }
    QVERIFY(!QFile::exists(out("w.png")));
    const Run help = vor4map({"--help"});
    QVERIFY(help.out.contains("thumbnail IN OUT.png"));
    QVERIFY(help.out.contains("--size N"));
}

void TestThumbnail::filesThatAreNoMaps()
{
    // Whatever keeps a file from loading, nothing is written and an existing
    // picture stays as it was.
    QVERIFY(writeFile(out("keep.png"), "keep"));
    QImage png(8, 8, QImage::Format_RGB32);
    png.fill(Qt::red);
    QVERIFY(png.save(out("picture.png")));
    QVERIFY(writeFile(out("README.md"), "# Some project\n\nIt builds with cmake.\n"));
    QVERIFY(writeFile(out("bad.Vor4WorldBuilderSave"), "BeginGame\r\nEndMap\r\n"));
    const QString inputs[] = {out("missing.Vor4WorldBuilderSave"), out("bad.Vor4WorldBuilderSave"),
                              m_dir.path(), out("picture.png"), out("README.md")};
    for (const QString &in : inputs) {
        Document doc;
        const LoadResult expected = loadMapFile(in, doc);
        for (const QString &target : {out("new.png"), out("keep.png")}) {
            const Run r = vor4map({"thumbnail", in, target});
            QVERIFY2(r.code == 1, qPrintable(in));
            if (!expected.ok())
                QVERIFY(r.err.endsWith(expected.message.toUtf8() + "\n"));
            QVERIFY(!r.err.isEmpty());
        }
        QVERIFY2(!QFile::exists(out("new.png")), qPrintable(in));
        QCOMPARE(readAll(out("keep.png")), QByteArray("keep"));
    }
}

QTEST_GUILESS_MAIN(TestThumbnail)
#include "tst_thumbnail.moc"
