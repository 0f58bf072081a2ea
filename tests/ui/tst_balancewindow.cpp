// The balance panel on a real multiplayer map: docked beside the grid with
// every player in view, sorted by the score with the worst start and the
// far figures marked, a double click going to a start, View > Territory
// tinting the grid, an edit followed by table and tint, and the CSV export.

#include "MapGrid.h"
#include "CurrentCell.h"
#include "PlotEditor.h"
#include "BalanceWindow.h"
#include "FakeDialogs.h"
#include "MainWindow.h"
#include "MapGrid.h"
#include "MapPage.h"
#include "PiecePainter.h"
#include "PlotFacts.h"
#include "SetPlotTexts.h"

#include <QAction>
#include <QHeaderView>
#include <QPainter>
#include <QLabel>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace vor4;

namespace {
const QString Teams = QStringLiteral(VOR4_FIXTURES_DIR "/multiplayer-12-teams-64x48.Vor4WorldBuilderSave");

int columnOf(const QStandardItemModel *m, const QString &name)
{
    for (int c = 0; c < m->columnCount(); ++c)
        if (m->horizontalHeaderItem(c)->text() == name)
            return c;
    return -1;
}
} // namespace

class TestBalanceWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void showsFollowsGoesAndExports();
};

void TestBalanceWindow::showsFollowsGoesAndExports()
{
    FakeDialogs::State *dialogs = FakeDialogs::install();
    MainWindow w;
    w.resize(1400, 900);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    dialogs->openAnswers << Teams;
    w.action(QStringLiteral("open"))->trigger();
    w.action(QStringLiteral("mapPage"))->trigger();
    QVERIFY(w.action(QStringLiteral("balance"))->toolTip().contains(QStringLiteral("Ctrl+Shift+B")));
    w.action(QStringLiteral("balance"))->trigger();
    BalanceWindow *b = w.balanceWindow();
    QVERIFY(QTest::qWaitForWindowExposed(b));
    QCOMPARE(w.dockWidgetArea(b), Qt::RightDockWidgetArea);
    QVERIFY(!b->isFloating() && b->features().testFlag(QDockWidget::DockWidgetFloatable));

    // A row per player in use, each in view; player 12 has no start.
    const Document &doc = w.stores();
    QStandardItemModel *m = b->model();
    QTableView *t = b->table();
    QCOMPARE(m->rowCount(), 13);
    QVERIFY(t->visualRect(t->model()->index(12, 0)).bottom() < t->viewport()->height());
    QCOMPARE(m->item(12, columnOf(m, QStringLiteral("From")))->text(), QStringLiteral("no start"));
    QVERIFY(b->summaryLabel()->text().contains(QStringLiteral("Player 12 is in use but has no start on the map.")));
    // Sorted by the score, best first, the worst start (player 8) last of
    // the starts and named; territory marked far from the mean: player 8's
    // 50.5 plots below, player 6's 158.7 above, player 9's 77.5 not.
    const int score = columnOf(m, QStringLiteral("Score")), territory = columnOf(m, QStringLiteral("Territory"));
    QCOMPARE(t->model()->index(0, score).data().toString(), QStringLiteral("100.0"));
    QCOMPARE(t->model()->headerData(11, Qt::Vertical).toString(), QStringLiteral("Player 8"));
    QCOMPARE(m->verticalHeaderItem(8)->font().bold(), true);
    QVERIFY(b->summaryLabel()->text().startsWith(QStringLiteral("12 starts; worst start 57% of the best (player 8).")));
    QCOMPARE(m->item(8, score)->background().color().rgb(), BalanceWindow::Worse);
    QCOMPARE(m->item(8, territory)->background().color().rgb(), BalanceWindow::Worse);
    QCOMPARE(m->item(6, territory)->text(), QStringLiteral("158.7"));
    QCOMPARE(m->item(6, territory)->background().color().rgb(), BalanceWindow::Better);
    QCOMPARE(m->item(9, territory)->background().style(), Qt::NoBrush);
    // No jungle is neither better nor worse.
    QVERIFY(m->item(0, columnOf(m, QStringLiteral("Feature FEATURE_JUNGLE")))->background().color().rgb()
            != BalanceWindow::Worse);

    // A double click on player 2's row selects its start (2,16).
    int shown2 = 0;
    while (t->model()->headerData(shown2, Qt::Vertical).toString() != QStringLiteral("Player 2"))
        ++shown2;
    const QRect cell = t->visualRect(t->model()->index(shown2, score));
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(t->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(w.mapPage()->grid()->currentCell()->chosenPlot(), QPoint(2, doc.fileY(16)));

    // View > Territory tints a plot of player 2's (4,18) with its colour
    // and hatches a shared plot in both players' colours.
    MapGrid *grid = w.mapPage()->grid();
    grid->setTopLeft(0, doc.fileY(30));
    QAction *tint = w.action(QStringLiteral("territory"));
    QVERIFY(tint->toolTip().contains(QStringLiteral("Ctrl+Shift+T")));
    const QPoint plain = grid->cellRect(4, doc.fileY(18)).center();
    const QRgb before = grid->viewport()->grab().toImage().pixel(plain);
    tint->trigger();
    const QImage shot = grid->viewport()->grab().toImage();
    const auto colourOf = [&doc, b](int start) {
        const int slot = b->territory().starts()[start].player;
        return playerColour(slot, PlotFacts::firstValue(doc.PlayerTexts[slot], "Color").value_or(QByteArrayView())).rgb();
    };
    QImage blended(1, 1, QImage::Format_RGB32);
    blended.fill(before);
    QPainter(&blended).fillRect(0, 0, 1, 1, QColor::fromRgba((colourOf(2) & 0xffffff) | 112u << 24));
    QCOMPARE(shot.pixel(plain), blended.pixel(0, 0));
    // A shared plot in view: lines of both players' colours across it.
    QSet<QRgb> seen;
    for (int row = grid->topRow(); row < grid->topRow() + grid->visibleRowCount() && seen.isEmpty(); ++row)
        for (int col = 0, second = -1; col < grid->visibleColCount() && seen.isEmpty(); ++col) {
            const int first = b->territory().ownerAt(QPoint(col, doc.fileY(row)), &second);
            for (int i = 0; second >= 0 && Territory::isLand(b->territory().kindAt(QPoint(col, doc.fileY(row))))
                 && i < grid->cellSize() * grid->cellSize(); ++i)
                seen << (shot.pixel(grid->cellRect(col, row).topLeft() + QPoint(i % grid->cellSize(), i / grid->cellSize())) | 0xff000000);
            QVERIFY(seen.isEmpty() || (seen.contains(colourOf(first)) && seen.contains(colourOf(second))));
        }
    QVERIFY(!seen.isEmpty());

    // An edit beside player 0's settler (8,40) floods a plot of its land:
    // the table and the tint follow.
    grid->setTopLeft(0, 0);
    const int land = columnOf(m, QStringLiteral("Land"));
    QCOMPARE(m->item(0, land)->text(), QStringLiteral("15"));
    auto *step = new SetPlotTexts(w.document(), QStringLiteral("Flood"));
    step->add(9, doc.fileY(40), "\tPlotType=3\r\n\tTerrainType=TERRAIN_COAST\r\n");
    QVERIFY(w.document()->push(step));
    QTRY_COMPARE(m->item(0, land)->text(), QStringLiteral("14"));
    const QPoint flooded = grid->cellRect(9, doc.fileY(40)).center();
    const QRgb afterEdit = grid->viewport()->grab().toImage().pixel(flooded);
    tint->trigger();
    QCOMPARE(afterEdit, grid->viewport()->grab().toImage().pixel(flooded));

    QTemporaryDir dir;
    dialogs->saveAnswers << dir.filePath("balance.csv");
    QVERIFY(b->exportButton()->toolTip().contains(QStringLiteral("Ctrl+E")));
    b->exportButton()->click();
    QFile csv(dir.filePath("balance.csv"));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QCOMPARE(csv.readAll(), BalanceReport::csv(BalanceReport::of(doc)));

    // Floating on request; closed by its own button, the command follows.
    b->setFloating(true);
    QVERIFY(b->isVisible() && w.action(QStringLiteral("balance"))->isChecked());
    b->close();
    QVERIFY(!w.action(QStringLiteral("balance"))->isChecked());
    w.action(QStringLiteral("balance"))->trigger();
    QVERIFY(b->isVisible());
}

QTEST_MAIN(TestBalanceWindow)
#include "tst_balancewindow.moc"
