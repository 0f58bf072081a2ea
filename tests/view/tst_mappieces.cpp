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

#include <QtTest>
#include <functional>

using namespace vor4;

class TestMapPieces : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void piecesFollowEveryEdit();
};

namespace {

QStringList drawn(const MapDocument &md, const MapPieces &pieces)
{
    QStringList out;
    for (const MapPieces::Start &s : pieces.starts())
        out << QStringLiteral("start %1 at %2,%3 %4").arg(s.slot).arg(s.cell.x()).arg(s.cell.y()).arg(s.colour.name());
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
    MapPieces pieces(&md);
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
            const MapPieces fresh(&md);
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
    QCOMPARE(MapPieces(&one).describe({1, 1}),
             QStringList({"Player 4 start: Ada / Lovelace", "2 units: UNIT_SCOUT, UNIT_SETTLER (player 4)", "Sign: Here",
                          "River flowing east", "River flowing south"}));
}

QTEST_GUILESS_MAIN(TestMapPieces)
#include "tst_mappieces.moc"
