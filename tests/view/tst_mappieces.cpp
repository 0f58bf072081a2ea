// What the piece layers draw, against a fresh reading of the document after
// every kind of edit, its undo and its redo: the overlay's per-plot memory
// never lags behind the plots, starts and signs. And what the hover hint
// names on a plot.

#include "MapDocument.h"
#include "MapPieces.h"
#include "MapReader.h"
#include "MapWriter.h"
#include "PieceEdits.h"
#include "ReplaceDocument.h"
#include "Transforms.h"

#include <QPainter>
#include <QtTest>
#include <functional>

using namespace vor4;

class TestMapPieces : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void piecesFollowEveryEdit();
    void playerColours_data();
    void playerColours();
    void marksLieWhereThePiecesAre();
};

namespace {

// The pieces of an edited document, told of its edits as the editor tells them.
std::unique_ptr<MapPieces> followed(MapDocument &md)
{
    auto pieces = std::make_unique<MapPieces>(&md.document());
    MapPieces *p = pieces.get();
    QObject::connect(&md, &MapDocument::documentReplaced, p, &MapPieces::reset);
    QObject::connect(&md, &MapDocument::plotsChanged, p, &MapPieces::plotsChanged);
    QObject::connect(&md, &MapDocument::sectionChanged, p, [p](SectionKind kind) {
        if (kind == SectionKind::Player)
            p->playersChanged();
        else if (kind == SectionKind::Signs)
            p->signsChanged();
    });
    return pieces;
}

QStringList drawn(const MapDocument &md, const MapPieces &pieces)
{
    QStringList out;
    for (const MapPieces::Start &s : pieces.starts())
        out << QStringLiteral("start %1 at %2,%3 %4")
                   .arg(s.slot)
                   .arg(s.cell.x())
                   .arg(s.cell.y())
                   .arg(pieces.colourOf(s.slot, MapStyle::classic()).name());
    for (const MapPieces::Sign &s : pieces.signs())
        out << QStringLiteral("sign at %1,%2 %3").arg(s.cell.x()).arg(s.cell.y()).arg(QString::fromUtf8(s.caption));
    const Document &d = md.document();
    for (int row = 0; row < d.rowCount(); ++row)
        for (int col = 0; col < d.columnCount(); ++col)
            if (const int f = pieces.factsAt(col, row))
                out << QStringLiteral("facts %1 at %2,%3").arg(f).arg(col).arg(row);
    return out;
}

} // namespace

void TestMapPieces::piecesFollowEveryEdit()
{
    MapDocument md;
    Document doc;
    QVERIFY(loadMapFile(QStringLiteral(VOR4_GOLDEN_DIR "/starts-units/in"), doc).ok());
    QVERIFY(md.push(new ReplaceDocument(&md, std::move(doc), QStringLiteral("Open"))));
    const std::unique_ptr<MapPieces> followedPieces = followed(md);
    const MapPieces &pieces = *followedPieces;
    const QList<std::function<bool()>> edits = {
        [&] { return PieceEdits::setStart(md, 1, {0, 0}).ok; },
        [&] { return PieceEdits::removeStart(md, 0).ok; },
        [&] { return PieceEdits::moveUnits(md, {1, 0}, {2, 1}).ok; },
        [&] { return PieceEdits::removeUnits(md, {1, 0}).ok; },
        [&] { return PieceEdits::setRiver(md, {1, 1}, PieceEdits::North, PieceEdits::West).ok; },
        [&] { return PieceEdits::editRivers(md, {{{0, 0}, PieceEdits::East, PieceEdits::South}, {{0, 1}, PieceEdits::South, -1}}, QStringLiteral("Rivers")).ok; },
        [&] { return PieceEdits::addSign(md, {2, 0}, "Ford").ok; },
        [&] { return PieceEdits::removeSigns(md, {1, 1}).ok; },
        [&] { return Transforms::turn(md, MapTransform::FlipHorizontal).ok; },
        [&] { return Transforms::resize(md, QSize(4, 3), QPoint(1, 0)).ok; },
    };
    for (int i = 0; i < edits.size(); ++i) {
        drawn(md, pieces); // every plot read before the edit
        QVERIFY2(edits[i](), qPrintable(QString::number(i)));
        for (int pass = 0; pass < 3; ++pass) {
            const MapPieces fresh(&md.document());
            QCOMPARE(drawn(md, pieces), drawn(md, fresh));
            pass == 0 ? md.undoStack()->undo() : md.undoStack()->redo();
        }
    }
    // A new sign block as the file writes it, moved by the flip and resize.
    QVERIFY(buildSaveFile(md.document()).contains("BeginSign\r\n\tplotX=1\r\n\tplotY=1\r\n\tplayerType=-1\r\n\tcaption=Ford\r\nEndSign"));

    // The hint: the start, the units with their owners, the sign, and the
    // rivers along the plot's four edges, two of them carried by neighbours.
    MapDocument one;
    one.reset(3, 3);
    one.push(new ReplaceDocument(&one, [] {
        Document d;
        d.ResetDocument(3, 3);
        d.PlayerTexts[4] = "LeaderName=Ada\r\nNationDesc=Lovelace\r\nStartingX=1, StartingY=1\r\nTeam=4";
        d.PlotTexts.setText(1, 1, "isNOfRiver\r\nRiverWEDirection=1\r\nBeginUnit\r\nUnitType=UNIT_SCOUT, UnitOwner=4\r\nEndUnit\r\n"
                                  "BeginUnit\r\nUnitType=UNIT_SETTLER, UnitOwner=4\r\nEndUnit");
        d.PlotTexts.setText(0, 1, "RiverNSDirection=2\r\nisWOfRiver");
        d.PlotTexts.setText(1, 0, "isNOfRiver\r\nRiverWEDirection=1");
        d.SignTexts << "plotX=1\r\nplotY=1\r\ncaption=Here";
        return d;
    }(), QStringLiteral("New")));
    QCOMPARE(MapPieces(&one.document()).describe({1, 1}),
             QStringList({"Player 4 start: Ada / Lovelace", "2 units: UNIT_SCOUT, UNIT_SETTLER (player 4)", "Sign: Here",
                          "River flowing east", "River flowing south"}));
}

void TestMapPieces::playerColours_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("named") << 5 << QByteArray("PLAYERCOLOR_RED") << QColor(0xe02020);
    QTest::newRow("dark, any case, blanks") << 5 << QByteArray(" playercolor_Dark_Green ") << QColor(0x20b030).darker(140);
    QTest::newRow("light") << 5 << QByteArray("PLAYERCOLOR_LIGHT_YELLOW") << QColor(0xf0e020).lighter(130);
    QTest::newRow("none: by slot") << 1 << QByteArray("NONE") << playerColour(1, {});
    QTest::newRow("unknown: by slot") << 1 << QByteArray("PLAYERCOLOR_MAUVE") << playerColour(1, {});
    QTest::newRow("slots wrap") << 19 << QByteArray() << playerColour(1, {});
}

void TestMapPieces::playerColours()
{
    QFETCH(int, slot);
    QFETCH(QByteArray, value);
    QFETCH(QColor, colour);
    QCOMPARE(playerColour(slot, value), colour);
    QVERIFY(playerColour(0, {}) != playerColour(1, {}));
}

// Each mark in its place at cell 16 and 24: a river 3 pixels wide centred
// on its edge (an arrow only from 24), the start's colour in the middle of
// its plot, the units' badge at the top right, the sign at the bottom left;
// nothing of a layer switched off.
void TestMapPieces::marksLieWhereThePiecesAre()
{
    MapDocument md;
    Document d;
    d.ResetDocument(3, 3);
    d.PlayerTexts[2] = "Color=PLAYERCOLOR_BLUE\r\nStartingX=0, StartingY=2\r\nTeam=2"; // cell (0, 0)
    d.PlotTexts.setText(1, 1, "isNOfRiver\r\nRiverWEDirection=3");
    d.PlotTexts.setText(2, 2, "BeginUnit\r\nUnitType=UNIT_SCOUT, UnitOwner=2\r\nEndUnit");
    d.SignTexts << "plotX=2\r\nplotY=2\r\ncaption=Far"; // cell (2, 0)
    QVERIFY(md.push(new ReplaceDocument(&md, std::move(d), QStringLiteral("New"))));
    const MapPieces pieces(&md.document());
    const QColor blue = playerColour(0, "PLAYERCOLOR_BLUE");
    for (int size : {16, 24}) {
        for (bool on : {true, false}) {
            PieceLayers layers;
            if (!on)
                layers = {false, false, false, false};
            QImage image(3 * (size + 1), 3 * (size + 1), QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter p(&image);
            GridPaintParams at;
            at.cellSize = size;
            at.colCount = at.rowCount = 3;
            const auto cellAt = [&at](int c, int r) { return at.cellRect(c, r); };
            pieces.paint(p, at, QRect(0, 0, 3, 3), layers);
            p.end();
            const QRect river = cellAt(1, 1);
            const int edge = river.bottom() + 1, w = at.style.riverWidth(size);
            int blueRows = 0;
            for (int y = edge - 3; y <= edge + 3; ++y)
                blueRows += QColor(image.pixel(river.left() + 2, y)).blue() > 200 && QColor(image.pixel(river.left() + 2, y)).red() < 100;
            QCOMPARE(blueRows, on ? w : 0);
            QCOMPARE(w, size == 16 ? 3 : 5);
            bool dark = false; // the arrow's white rim
            for (int x = river.left(); x <= river.right(); ++x)
                dark |= image.pixel(x, edge - w / 2 - 2) != qRgb(255, 255, 255);
            QCOMPARE(dark, on && size >= 24);
            QCOMPARE(image.pixel(cellAt(0, 0).center() + QPoint(size / 4, 0)) == blue.rgb(), on);
            QCOMPARE(image.pixel(cellAt(2, 2).topRight() + QPoint(-2, 2)) == blue.rgb(), on);
            QCOMPARE(image.pixel(cellAt(2, 0).bottomLeft() + QPoint(3, -size / 2 + 2)) == QColor(255, 140, 0).rgb(), on);
        }
    }
}

QTEST_MAIN(TestMapPieces)
#include "tst_mappieces.moc"
