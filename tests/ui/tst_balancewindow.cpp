// The balance window on a real map: the figures it shows and marks, its
// following an edit, a double click going to a start and the CSV export.

#include "MapGrid.h"
#include "CurrentCell.h"
#include "PlotEditor.h"
#include "BalanceWindow.h"
#include "FakeDialogs.h"
#include "MainWindow.h"
#include "MapPage.h"
#include "SetPlotTexts.h"

#include <QAction>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace vor4;

namespace {
const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");
}

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
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    dialogs->openAnswers << Continents;
    w.action(QStringLiteral("open"))->trigger();
    w.action(QStringLiteral("mapPage"))->trigger();
    QVERIFY(w.action(QStringLiteral("balance"))->toolTip().contains(QStringLiteral("Ctrl+Shift+B")));
    w.action(QStringLiteral("balance"))->trigger();
    BalanceWindow *b = w.balanceWindow();
    QVERIFY(QTest::qWaitForWindowExposed(b));

    // The table is the report of the document, less its header row.
    const Document &doc = w.stores();
    const auto expected = [&doc] { return BalanceReport::rows(BalanceReport::figures(doc, PlayerStarts::effective(doc))); };
    const auto shownMatches = [b](const QList<BalanceReport::Row> &rows) {
        if (b->model()->columnCount() != rows[0].cells.size() || b->model()->rowCount() != rows.size() - 1)
            return false;
        for (int r = 1; r < rows.size(); ++r)
            for (int c = 0; c < rows[0].cells.size(); ++c)
                if (b->model()->item(r - 1, c)->text().toLatin1() != rows[r].cells[c])
                    return false;
        return true;
    };
    QVERIFY(shownMatches(expected()));
    QCOMPARE(b->model()->columnCount(), 7);
    // Land: player 5 has the least (14), players 0 to 2 the most (21).
    const int land = 3;
    QCOMPARE(b->model()->verticalHeaderItem(land)->text(), QStringLiteral("land"));
    QCOMPARE(b->model()->item(land, 5)->background().color(), QColor(255, 190, 190));
    QCOMPARE(b->model()->item(land, 0)->background().color(), QColor(190, 240, 190));
    QCOMPARE(b->model()->item(land, 3)->background().style(), Qt::NoBrush);

    // An edit next to player 0's settler (24,13) is counted anew.
    auto *step = new SetPlotTexts(w.document(), QStringLiteral("Flood"));
    step->add(25, doc.fileY(13), "\tPlotType=3\r\n\tTerrainType=TERRAIN_COAST\r\n");
    QVERIFY(w.document()->push(step));
    QTRY_VERIFY(b->model()->item(land + 1, 0)->text() == QStringLiteral("1"));
    QVERIFY(shownMatches(expected()));

    // A double click on player 2's column selects its start (41,13).
    QTableView *t = b->table();
    const QRect cell = t->visualRect(b->model()->index(4, 2));
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(t->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(w.mapPage()->grid()->currentCell()->chosenPlot(), QPoint(41, doc.fileY(13)));

    QTemporaryDir dir;
    dialogs->saveAnswers << dir.filePath("balance.csv");
    QVERIFY(b->exportButton()->toolTip().contains(QStringLiteral("Ctrl+E")));
    b->exportButton()->click();
    QFile csv(dir.filePath("balance.csv"));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QCOMPARE(csv.readAll(), BalanceReport::csv(b->figures()));
    QVERIFY(BalanceReport::csv(b->figures()).startsWith("player,0,1,2,3,4,5,6\r\nfrom,settler,"));

    w.action(QStringLiteral("balance"))->trigger();
    QVERIFY(!b->isVisible());
    // Closing the editor with the window shown.
    w.action(QStringLiteral("balance"))->trigger();
    QVERIFY(b->isVisible());
}

QTEST_MAIN(TestBalanceWindow)
#include "tst_balancewindow.moc"
