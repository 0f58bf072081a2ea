// The statistics window through the real widgets: its rows against a plain
// count of the plots, sorting by a column, the selected region, following
// edits while open and resting while closed, and a double click that starts
// a find for a row's value.

#include "PageParts.h"
#include "PlotEditor.h"
#include "ChangeSelection.h"
#include "FakeDialogs.h"
#include "FindBar.h"
#include "CommandButtons.h"
#include "MapGrid.h"
#include "SectionMemo.h"
#include "StatisticsModel.h"
#include "StatisticsWindow.h"
#include "MainWindow.h"
#include "MapPage.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QLineEdit>
#include <QMap>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

namespace {

const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");
const char *const Keys[] = {"TerrainType", "BonusType", "FeatureType", "ImprovementType", "PlotType"};

// "Key value" -> plots, counted one plot and one line at a time.
QMap<QString, qint64> plainCount(const vor4::Document &doc, const QRect &area = QRect())
{
    QMap<QString, qint64> counts;
    for (int row = 0; row < doc.PlotTexts.rowCount(); ++row)
        for (int col = 0; col < doc.PlotTexts.columnCount(); ++col) {
            if (!area.isNull() && !area.contains(col, row))
                continue;
            QByteArray text = doc.PlotTexts.text(col, row);
            text.replace("\r\n", "\n").replace('\r', '\n');
            const QList<QByteArray> lines = text.split('\n');
            for (const char *key : Keys) {
                QString value = QStringLiteral("(none)");
                for (const QByteArray &line : lines) {
                    if (!line.toLower().contains(QByteArray(key).toLower() + '='))
                        continue;
                    QByteArray v = line.mid(line.indexOf('=') + 1);
                    if (v.contains(','))
                        v.truncate(v.indexOf(','));
                    value = QString::fromLatin1(v.trimmed());
                    break;
                }
                ++counts[QStringLiteral("%1 %2").arg(QLatin1String(key), value)];
            }
        }
    return counts;
}

// A user's double click: the first click's press and release, then the
// second press, which Qt reports as the double click.
void doubleClick(QTableView *table, const QPoint &at)
{
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class TestStatisticsWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void rowsAgainstAPlainCount();
    void regionAndFollowingEdits();
    void doubleClickStartsAFind();

private:
    StatisticsWindow *stats() const { return statisticsWindow(w); }
    QMap<QString, qint64> shown() const;
    int rowOf(const QString &kind, const QString &value) const;
    void openWindow();
    MainWindow *w = nullptr;
    FakeDialogs::State *dialogs = nullptr;
};

void TestStatisticsWindow::init()
{
    dialogs = FakeDialogs::install();
    w = new MainWindow;
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    dialogs->openAnswers << Continents;
    w->action(QStringLiteral("open"))->trigger();
    w->action(QStringLiteral("mapPage"))->trigger();
}

void TestStatisticsWindow::cleanup()
{
    delete w;
    w = nullptr;
}

void TestStatisticsWindow::openWindow()
{
    QVERIFY(!stats()->isVisible());
    w->action(QStringLiteral("statistics"))->trigger();
    QVERIFY(stats()->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(stats()));
    QVERIFY(w->action(QStringLiteral("statistics"))->isChecked());
    QVERIFY(w->screen()->availableGeometry().contains(stats()->frameGeometry()));
}

QMap<QString, qint64> TestStatisticsWindow::shown() const
{
    const QAbstractItemModel *m = stats()->table()->model();
    QMap<QString, qint64> rows;
    for (int r = 0; r < m->rowCount(); ++r) {
        const QString key = m->index(r, vor4::StatisticsModel::KindColumn).data().toString() + QLatin1Char(' ')
                            + m->index(r, vor4::StatisticsModel::ValueColumn).data().toString();
        if (rows.contains(key))
            return {}; // a value shown twice
        rows[key] = m->index(r, vor4::StatisticsModel::PlotsColumn).data().toLongLong();
    }
    return rows;
}

int TestStatisticsWindow::rowOf(const QString &kind, const QString &value) const
{
    const QAbstractItemModel *m = stats()->table()->model();
    for (int r = 0; r < m->rowCount(); ++r)
        if (m->index(r, vor4::StatisticsModel::KindColumn).data().toString() == kind
            && m->index(r, vor4::StatisticsModel::ValueColumn).data().toString() == value)
            return r;
    return -1;
}

void TestStatisticsWindow::rowsAgainstAPlainCount()
{
    // Closed, it counts nothing.
    QCOMPARE(stats()->table()->model()->rowCount(), 0);
    openWindow();
    const QMap<QString, qint64> expected = plainCount(w->stores());
    QCOMPARE(shown(), expected);
    QVERIFY(stats()->summaryLabel()->text().startsWith(QStringLiteral("Map of 64 x 40: 2560 plots")));

    // Shares: of the land plots, where a value has some.
    const QAbstractItemModel *m = stats()->table()->model();
    const qint64 land = 64 * 40 - expected.value(QStringLiteral("PlotType 3"));
    const qint64 grass = expected.value(QStringLiteral("TerrainType TERRAIN_GRASS"));
    QCOMPARE(m->index(rowOf(QStringLiteral("TerrainType"), QStringLiteral("TERRAIN_GRASS")),
                      vor4::StatisticsModel::ShareColumn)
                 .data()
                 .toString(),
             QStringLiteral("%1%").arg(100.0 * double(grass) / double(land), 0, 'f', 1));
    QCOMPARE(m->index(rowOf(QStringLiteral("PlotType"), QStringLiteral("3")), vor4::StatisticsModel::ShareColumn)
                 .data()
                 .toString(),
             QString());

    // A click on the Plots header sorts by number, a second one the other way.
    QHeaderView *header = stats()->table()->horizontalHeader();
    const QPoint plotsHeader(header->sectionViewportPosition(vor4::StatisticsModel::PlotsColumn) + 5, 5);
    for (const bool ascending : {true, false}) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, plotsHeader);
        for (int r = 1; r < m->rowCount(); ++r) {
            const qint64 a = m->index(r - 1, 2).data().toLongLong(), b = m->index(r, 2).data().toLongLong();
            QVERIFY(ascending ? a <= b : a >= b);
        }
    }
    QCOMPARE(shown(), expected);

    // Closing it stops the counting; the menu opens it again.
    stats()->close();
    QVERIFY(!w->action(QStringLiteral("statistics"))->isChecked());
    QCOMPARE(m->rowCount(), 0);
    QAction *entry = w->action(QStringLiteral("statistics"));
    QVERIFY(entry && w->mapMenu()->actions().contains(entry));
    entry->trigger();
    QVERIFY(stats()->isVisible());
    QCOMPARE(shown(), expected);
}

void TestStatisticsWindow::regionAndFollowingEdits()
{
    openWindow();
    // An edit of a plot: its old values lose one, its new ones gain one.
    QTest::mouseClick(w->mapPage()->grid()->viewport(), Qt::LeftButton, {}, w->mapPage()->grid()->cellRect(6, 4).center());
    w->mapPage()->plotEditor()->memo()->setText(QStringLiteral("TerrainType=TERRAIN_SNOW\nBonusType=BONUS_ZINC, 2\nPlotType=1"));
    w->action(QStringLiteral("plotApply"))->trigger();
    QMap<QString, qint64> now = plainCount(w->stores());
    QCOMPARE(now.value(QStringLiteral("BonusType BONUS_ZINC")), qint64(1));
    QCOMPARE(shown(), now);
    QVERIFY(rowOf(QStringLiteral("BonusType"), QStringLiteral("BONUS_ZINC")) >= 0);
    w->action(QStringLiteral("undo"))->trigger();
    QCOMPARE(shown(), plainCount(w->stores()));
    QCOMPARE(rowOf(QStringLiteral("BonusType"), QStringLiteral("BONUS_ZINC")), -1);

    // The selected region; without one, the whole map.
    stats()->areaBox()->setCurrentIndex(StatisticsWindow::SelectedRegion);
    QVERIFY(stats()->summaryLabel()->text().startsWith(QStringLiteral("No region is selected")));
    QCOMPARE(shown(), plainCount(w->stores()));
    const QRect region(10, 5, 20, 12);
    w->document()->push(new vor4::ChangeSelection(w->document(), region));
    QCOMPARE(shown(), plainCount(w->stores(), region));
    QVERIFY(stats()->summaryLabel()->text().startsWith(QStringLiteral("Region of 20 x 12, x=10..29, y=23..34: 240 plots")));
    // Edits inside and outside it.
    w->mapPage()->grid()->setFocus();
    for (const QPoint cell : {QPoint(12, 6), QPoint(40, 30)}) {
        w->mapPage()->grid()->scrollIntoView(cell.x(), cell.y());
        QTest::mouseClick(w->mapPage()->grid()->viewport(), Qt::LeftButton, {},
                          w->mapPage()->grid()->cellRect(cell.x(), cell.y()).center());
        w->mapPage()->plotEditor()->memo()->setText(QStringLiteral("TerrainType=TERRAIN_DESERT\nPlotType=2"));
        w->action(QStringLiteral("plotApply"))->trigger();
        QCOMPARE(shown(), plainCount(w->stores(), region));
    }
    stats()->areaBox()->setCurrentIndex(StatisticsWindow::WholeMap);
    QCOMPARE(shown(), plainCount(w->stores()));

    // A newly opened map is counted anew.
    dialogs->saveChoices << Dialogs::SaveChoice::Discard;
    dialogs->openAnswers << Continents;
    w->action(QStringLiteral("open"))->trigger();
    QCOMPARE(shown(), plainCount(w->stores()));

    // Left outside the screen, or grown beyond it, it opens inside.
    w->action(QStringLiteral("statistics"))->trigger();
    stats()->resize(5000, 5000);
    stats()->move(6000, -300);
    openWindow();
}

void TestStatisticsWindow::doubleClickStartsAFind()
{
    openWindow();
    QTableView *table = stats()->table();
    const int gold = rowOf(QStringLiteral("BonusType"), QStringLiteral("BONUS_GOLD"));
    QVERIFY(gold >= 0);
    const qint64 plots = table->model()->index(gold, vor4::StatisticsModel::PlotsColumn).data().toLongLong();
    table->scrollTo(table->model()->index(gold, 1));
    QCoreApplication::processEvents();
    const QPoint at = table->visualRect(table->model()->index(gold, 1)).center();
    doubleClick(table, at);

    FindBar *bar = w->mapPage()->findBar();
    QVERIFY(bar->isVisible());
    QVERIFY(bar->regexBox()->isChecked());
    QVERIFY(bar->matchCaseBox()->isChecked());
    QVERIFY(!bar->wholeLineBox()->isChecked());
    QCOMPARE(bar->findField()->text(), vor4::StatisticsModel::findPattern(vor4::PlotStatistics::Bonus, "BONUS_GOLD"));
    QTRY_VERIFY(!bar->search().isRunning());
    QCOMPARE(bar->search().count(), int(plots));
    // Every match is a plot whose bonus is gold.
    for (qint32 i : bar->search().matches()) {
        const QPoint cell = bar->search().cellOf(i);
        QVERIFY(w->stores().PlotTexts.text(cell.x(), cell.y()).contains("BonusType=BONUS_GOLD"));
    }

    // "(none)" is no line: nothing to find, said in the window.
    const int none = rowOf(QStringLiteral("FeatureType"), QStringLiteral("(none)"));
    QVERIFY(none >= 0);
    table->scrollTo(table->model()->index(none, 1));
    QCoreApplication::processEvents();
    doubleClick(table, table->visualRect(table->model()->index(none, 1)).center());
    QCOMPARE(bar->findField()->text(), vor4::StatisticsModel::findPattern(vor4::PlotStatistics::Bonus, "BONUS_GOLD"));
    QVERIFY(stats()->summaryLabel()->text().contains(QStringLiteral("no line to find")));
}

QTEST_MAIN(TestStatisticsWindow)
#include "tst_statisticswindow.moc"
