// The map contents window driven through its real widgets, against a fake
// main window that holds a plot memo and says whether its map page is shown.

#include "MapContentsHost.h"
#include "SectionMemo.h"
#include "SideTabBar.h"
#include "MapContentsWindow.h"

#include <QDir>
#include <QPointer>
#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTabBar>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {

class FakeHost : public QWidget, public MapContentsHost
{
public:
    FakeHost() : memo(new SectionMemo(this)) {}

    bool isMapPageActive() const override { return mapPage; }
    SectionMemo *plotMemo() const override { return memo; }
    void setRecallText(const QString &text) override { recallText = text; }
    bool applyPlotMemo(const QString &what) override
    {
        applied << memo->toPlainText();
        steps << what;
        return true;
    }
    void setMapContentsButtonDown(bool down) override { hintDown = down; }
    QStringList mapPlotLines() override { return mapLines; }

    SectionMemo *memo;
    bool mapPage = true;
    QString recallText = QStringLiteral("<untouched>");
    QStringList applied; // the memo's text at each Apply
    QStringList steps;   // and the name of its step
    bool hintDown = false;
    QStringList mapLines;
};

enum Tab { Terrains, Bonus, Features, Improvements, PlotType };

bool writeData(const QString &installDir, const char *file, const QByteArray &bytes)
{
    const QString folder = installDir + "/Assets/XML/Terrain";
    QFile f(folder + "/" + file);
    return QDir().mkpath(folder) && f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class TestMapContents : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void windowAndControls();
    void showAndHideMoveTheHintButton();
    void tabsListTheirItems();
    void change_data();
    void change();
    void clear_data();
    void clear();
    void doubleClick();
    void withoutTheGame();
    void nothingWithoutSelectionOrOffTheMapPage();
    void toolBarFollowsTheMapPage();
    void tabsWrapIntoColumns();
    void hostGoneWithWindowOpen();

private:
    void selectRow(int row);
    void selectTab(int tab);
    QString item(int row) const { return form->valueList()->item(row)->text(); }

    QTemporaryDir dir;
    QString full;   // every data file with items
    QString sparse; // improvements without any type, no features file
    std::unique_ptr<FakeHost> host;
    MapContentsWindow *form = nullptr;
};

void TestMapContents::initTestCase()
{
    QVERIFY(dir.isValid());
    full = dir.path() + "/Vor4";
    sparse = dir.path() + "/Sparse";
    QVERIFY(writeData(full, "VOR4TerrainInfos.xml",
                      "<Root>\n  <TerrainInfo>\n    <Type>TERRAIN_GRASS</Type>\n  </TerrainInfo>\n"
                      "    <Type>TERRAIN_PLAINS</Type>\n    <Type>TERRAIN_SNOW</Type>\n</Root>\n"));
    QVERIFY(writeData(full, "VOR4BonusInfos.xml", "<Type>BONUS_IRON</Type>\r\n<Type>BONUS_GOLD</Type>\r\n"));
    QVERIFY(writeData(full, "VOR4FeatureInfos.xml", "<Type>FEATURE_ICE</Type>\n<Type>FEATURE_FOREST</Type>\n"));
    QVERIFY(writeData(full, "VOR4ImprovementInfos.xml", "<Type>IMPROVEMENT_FARM</Type>\n<Type>IMPROVEMENT_MINE</Type>\n"));
    QVERIFY(writeData(sparse, "VOR4TerrainInfos.xml", "<Type>TERRAIN_DESERT</Type>\n"));
    QVERIFY(writeData(sparse, "VOR4ImprovementInfos.xml", "<Infos>\n  <Name>IMPROVEMENT_NONE</Name>\n</Infos>\n"));
}

void TestMapContents::init()
{
    host = std::make_unique<FakeHost>();
    form = new MapContentsWindow(host.get());
    form->setInstallDir(full);
}

void TestMapContents::cleanup()
{
    delete form;
    form = nullptr;
    host.reset();
}

void TestMapContents::selectRow(int row)
{
    QListWidgetItem *it = form->valueList()->item(row);
    QVERIFY(it);
    QTest::mouseClick(form->valueList()->viewport(), Qt::LeftButton, {}, form->valueList()->visualItemRect(it).center());
    QCOMPARE(form->valueList()->selectedItems().value(0), it);
}

void TestMapContents::selectTab(int tab)
{
    const QRect r = form->keyTabs()->tabRect(tab);
    QVERIFY(form->keyTabs()->rect().contains(r)); // every tab fits, none scrolled away
    QTest::mouseClick(form->keyTabs(), Qt::LeftButton, {}, r.center());
    QCOMPARE(form->keyTabs()->currentIndex(), tab);
}

void TestMapContents::windowAndControls()
{
    QCOMPARE(form->windowTitle(), QStringLiteral("Map contents"));
    QVERIFY(form->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(form->windowType(), Qt::Tool);
    QVERIFY(form->isHidden());
    QCOMPARE(form->keyTabs()->shape(), QTabBar::RoundedEast);
    QStringList captions;
    for (int i = 0; i < form->keyTabs()->count(); ++i) {
        captions << form->keyTabs()->tabText(i);
        QVERIFY2(!form->keyTabs()->tabIcon(i).pixmap(16, 16).isNull(), "tab icon missing");
    }
    QCOMPARE(captions, (QStringList{"Terrains", "Bonus", "Features", "Improvements", "PlotType"}));
    QCOMPARE(form->keyTabs()->currentIndex(), 0);

    QCOMPARE(form->changeButton()->toolTip(), QStringLiteral("Make change to map"));
    QCOMPARE(form->clearButton()->toolTip(), QStringLiteral("Clear content in map"));
    QVERIFY(!form->changeButton()->icon().pixmap(16, 16).isNull());

    // Hidden at start: nothing built, both panels empty.
    QCOMPARE(form->catalogue().fileReads(), 0);
    QCOMPARE(form->panelText(0), QString());
    QCOMPARE(form->panelText(1), QString());

    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QVERIFY(form->valueList()->geometry().right() < form->keyTabs()->geometry().left());
    QCOMPARE(form->valueList()->visualItemRect(form->valueList()->item(1)).top(), 16);
    // The plot types are a fixed list.
    form->keyTabs()->setCurrentIndex(PlotType);
    QStringList plotTypes;
    for (int row = 0; row < form->valueList()->count(); ++row)
        plotTypes << item(row);
    QCOMPARE(plotTypes, (QStringList{"PlotType=0       <Mountain>", "PlotType=1       <Hill>", "PlotType=2       <Plain>",
                                     "PlotType=3       <Ocean>"}));
}

void TestMapContents::showAndHideMoveTheHintButton()
{
    form->show();
    QVERIFY(host->hintDown);
    QCOMPARE(form->valueList()->count(), 3);
    QCOMPARE(form->panelText(1), QStringLiteral(" 3 items found"));
    selectRow(1);

    // The close box only hides; the button goes up with it.
    QVERIFY(form->close());
    QVERIFY(form->isHidden());
    QVERIFY(!host->hintDown);

    // Shown again: the list is rebuilt from the built list, the selection lost.
    form->show();
    QVERIFY(host->hintDown);
    QCOMPARE(form->valueList()->count(), 3);
    QVERIFY(form->valueList()->selectedItems().isEmpty());
    QCOMPARE(form->catalogue().fileReads(), 1);

    form->hide();
    QVERIFY(!host->hintDown);
}

void TestMapContents::tabsListTheirItems()
{
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    const QStringList first = {"TerrainType=TERRAIN_GRASS", "BonusType=BONUS_IRON",
                               "FeatureType=FEATURE_ICE, FeatureVariety=", "ImprovementType=IMPROVEMENT_FARM",
                               "PlotType=0       <Mountain>"};
    const int counts[] = {3, 2, 2, 2, 4};
    for (int round = 0; round < 2; ++round) {
        for (int tab : {Bonus, Features, Improvements, PlotType, Terrains}) {
            selectTab(tab);
            QCOMPARE(item(0), first[tab]);
            QCOMPARE(form->valueList()->count(), counts[tab]);
            QCOMPARE(form->panelText(1), QStringLiteral(" %1 items found").arg(counts[tab]));
            QVERIFY(form->changeButton()->isEnabled());
            QVERIFY(form->valueList()->selectedItems().isEmpty());
        }
        // Coming back to a built tab reads nothing.
        QCOMPARE(form->catalogue().fileReads(), 4);
    }
}

void TestMapContents::change_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("status");

    QTest::newRow("terrain replaced in place")
        << int(Terrains) << 1 << "PlotType=2\nTerrainType=TERRAIN_GRASS\nBonusType=BONUS_IRON"
        << "PlotType=2\nTerrainType=TERRAIN_PLAINS\nBonusType=BONUS_IRON" << "TerrainType changed";
    QTest::newRow("terrain appended when absent")
        << int(Terrains) << 2 << "PlotType=1\nBonusType=BONUS_IRON"
        << "PlotType=1\nBonusType=BONUS_IRON\nTerrainType=TERRAIN_SNOW" << "TerrainType changed";
    QTest::newRow("empty memo") << int(Terrains) << 0 << "" << "TerrainType=TERRAIN_GRASS" << "TerrainType changed";
    QTest::newRow("final line break adds no line")
        << int(Terrains) << 0 << "PlotType=1\n" << "PlotType=1\nTerrainType=TERRAIN_GRASS" << "TerrainType changed";
    QTest::newRow("key in another case")
        << int(Bonus) << 1 << "terrainType=x\nbonustype=bonus_iron" << "terrainType=x\nBonusType=BONUS_GOLD"
        << "BonusType changed";
    QTest::newRow("key inside another key's line")
        << int(Bonus) << 1 << "TerrainType=T\nOldBonusType=7\nBonusType=BONUS_IRON"
        << "TerrainType=T\nOldBonusType=7\nBonusType=BONUS_GOLD" << "BonusType changed";
    QTest::newRow("feature variety dropped")
        << int(Features) << 0 << "FeatureType=FEATURE_FOREST, FeatureVariety=2\nPlotType=1"
        << "FeatureType=FEATURE_ICE, FeatureVariety=\nPlotType=1" << "FeatureType changed";
    QTest::newRow("first of two lines")
        << int(Improvements) << 1 << "ImprovementType=IMPROVEMENT_FARM\nRouteType=ROUTE_ROAD\nImprovementType=X"
        << "ImprovementType=IMPROVEMENT_MINE\nRouteType=ROUTE_ROAD\nImprovementType=X" << "ImprovementType changed";
    QTest::newRow("plot type label dropped")
        << int(PlotType) << 2 << "TerrainType=TERRAIN_GRASS\nPlotType=0" << "TerrainType=TERRAIN_GRASS\nPlotType=2"
        << "PlotType changed";
    QTest::newRow("plot type appended") << int(PlotType) << 3 << "TerrainType=TERRAIN_GRASS"
                                        << "TerrainType=TERRAIN_GRASS\nPlotType=3" << "PlotType changed";
}

void TestMapContents::change()
{
    QFETCH(int, tab);
    QFETCH(int, row);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, status);

    host->memo->setPlainText(before);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    selectTab(tab);
    selectRow(row);
    QTest::mouseClick(form->changeButton(), Qt::LeftButton);

    QCOMPARE(host->memo->toPlainText(), after);
    QCOMPARE(host->recallText, before);
    QCOMPARE(host->applied, QStringList{after});
    QCOMPARE(host->steps, QStringList{status}); // the undo step is named as the status says
    QCOMPARE(form->panelText(0), status);

    // A second change keeps only one step to undo: the text before it.
    QTest::keyClick(form->valueList(), Qt::Key_Up);
    QVERIFY(!form->valueList()->selectedItems().isEmpty());
    QTest::mouseClick(form->changeButton(), Qt::LeftButton);
    QCOMPARE(host->recallText, after);
    QCOMPARE(host->applied.size(), 2);
}

void TestMapContents::clear_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("status");

    QTest::newRow("terrain") << int(Terrains) << "TerrainType=TERRAIN_GRASS\nPlotType=1" << "PlotType=1"
                             << "TerrainType cleared";
    QTest::newRow("bonus in the middle") << int(Bonus) << "TerrainType=T\nBonusType=BONUS_IRON\nPlotType=1"
                                         << "TerrainType=T\nPlotType=1" << "BonusType cleared";
    QTest::newRow("bonus on the last line") << int(Bonus) << "TerrainType=T\nBonusType=BONUS_IRON"
                                            << "TerrainType=T" << "BonusType cleared";
    QTest::newRow("bonus not found") << int(Bonus) << "TerrainType=T\nPlotType=1" << "TerrainType=T\nPlotType=1"
                                     << "BonusType not found";
    QTest::newRow("empty memo") << int(Bonus) << "" << "" << "BonusType not found";
    QTest::newRow("feature, first of two") << int(Features) << "featuretype=A, FeatureVariety=1\nFeatureType=B"
                                           << "FeatureType=B" << "FeatureType cleared";
    QTest::newRow("key inside another key's line")
        << int(Improvements) << "MyImprovementTypeNote=1\nImprovementType=IMPROVEMENT_FARM"
        << "MyImprovementTypeNote=1" << "ImprovementType cleared";
    QTest::newRow("plot type") << int(PlotType) << "PlotType=0\nTerrainType=T" << "TerrainType=T"
                               << "PlotType cleared";
}

void TestMapContents::clear()
{
    QFETCH(int, tab);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, status);

    host->memo->setPlainText(before);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    selectTab(tab);
    // No item needs to be selected.
    QTest::mouseClick(form->clearButton(), Qt::LeftButton);

    QCOMPARE(host->memo->toPlainText(), after);
    QCOMPARE(host->recallText, before);
    QCOMPARE(host->applied, QStringList{after}); // applied also when nothing was found
    QCOMPARE(host->steps, QStringList{status.section(QLatin1Char(' '), 0, 0) + QStringLiteral(" cleared")});
    QCOMPARE(form->panelText(0), status);
}

void TestMapContents::doubleClick()
{
    host->memo->setPlainText("TerrainType=TERRAIN_GRASS\nBonusType=BONUS_IRON");
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    selectTab(Bonus);
    selectRow(0);
    // The double-clicked item is the one put in, not the one selected before:
    // press, release, then the double click, as the window system sends them.
    QListWidget *list = form->valueList();
    const QPoint second = list->visualItemRect(list->item(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
    QCOMPARE(host->memo->toPlainText(), QStringLiteral("TerrainType=TERRAIN_GRASS\nBonusType=BONUS_GOLD"));
    QCOMPARE(host->applied.size(), 1);
    QCOMPARE(form->panelText(0), QStringLiteral("BonusType changed"));

    // Tabs without items: the "Cannot open file" line below the list (of
    // the map's values, none here) and an empty list.
    form->setInstallDir(sparse);
    const QString text = host->memo->toPlainText();
    host->recallText = "<untouched>";
    selectTab(Features);
    QCOMPARE(list->count(), 0);
    QVERIFY(form->noGameLabel()->isVisible());
    QVERIFY(form->noGameLabel()->text().startsWith("Cannot open file : " + sparse
                                                 + "/Assets/XML/Terrain/VOR4FeatureInfos.xml\n"));
    QCOMPARE(form->panelText(1), QStringLiteral(" No items found"));
    QVERIFY(!form->changeButton()->isEnabled());
    QVERIFY(form->clearButton()->isEnabled());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(20, 8));
    selectTab(Improvements);
    QVERIFY(!form->noGameLabel()->isVisible());
    QCOMPARE(list->count(), 0);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(20, 8));
    QCOMPARE(host->memo->toPlainText(), text);
    QCOMPARE(host->applied.size(), 1);
    QCOMPARE(host->recallText, QStringLiteral("<untouched>"));
    QCOMPARE(form->panelText(0), QStringLiteral("BonusType changed"));
}

// Without the game each data tab lists the open map's values of its key,
// says why under the list, and Change puts them in.
void TestMapContents::withoutTheGame()
{
    form->setInstallDir(QString());
    host->mapLines = {"BonusType=BONUS_GOLD", "FeatureType=FEATURE_ICE, FeatureVariety=1", "PlotType=2",
                      "TerrainType=TERRAIN_DESERT", "terraintype=TERRAIN_SNOW"};
    host->memo->setPlainText("TerrainType=TERRAIN_GRASS");
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QCOMPARE(form->noGameLabel()->text(), QStringLiteral("Cannot open file : /Assets/XML/Terrain/VOR4TerrainInfos.xml\n"
                                                       "The game was not found: the lists show the values of this map"));
    QCOMPARE(form->panelText(1), QStringLiteral(" 2 items found"));
    selectRow(1);
    QTest::mouseClick(form->changeButton(), Qt::LeftButton);
    QCOMPARE(host->memo->toPlainText(), QStringLiteral("terraintype=TERRAIN_SNOW"));
    selectTab(Features);
    QCOMPARE(item(0), QStringLiteral("FeatureType=FEATURE_ICE, FeatureVariety=1"));
    // The brush field's list: the common lines stand in for the catalogues.
    const QStringList lines = form->paintLines();
    for (const char *line : {"TerrainType=TERRAIN_GRASS", "TerrainType=TERRAIN_OCEAN", "PlotType=3",
                             "FeatureType=FEATURE_FOREST, FeatureVariety=0"})
        QVERIFY2(lines.contains(QLatin1String(line)), line);
}

void TestMapContents::nothingWithoutSelectionOrOffTheMapPage()
{
    const QString text = "TerrainType=TERRAIN_GRASS\nBonusType=BONUS_IRON";
    host->memo->setPlainText(text);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QTest::mouseClick(form->clearButton(), Qt::LeftButton);
    QCOMPARE(form->panelText(0), QStringLiteral("TerrainType cleared"));
    host->memo->setPlainText(text);
    host->applied.clear();
    host->recallText = "<untouched>";

    // No item selected: only panel 0 is emptied.
    QVERIFY(form->valueList()->selectedItems().isEmpty());
    QTest::mouseClick(form->changeButton(), Qt::LeftButton);
    QCOMPARE(form->panelText(0), QString());
    QCOMPARE(host->memo->toPlainText(), text);

    // Another page of the main window: Change, Clear and a double click do
    // nothing but empty panel 0.
    host->mapPage = false;
    selectRow(2);
    QTest::mouseClick(form->changeButton(), Qt::LeftButton);
    QTest::mouseDClick(form->valueList()->viewport(), Qt::LeftButton, {},
                       form->valueList()->visualItemRect(form->valueList()->item(2)).center());
    QTest::mouseClick(form->clearButton(), Qt::LeftButton);
    QCOMPARE(form->panelText(0), QString());
    QCOMPARE(host->memo->toPlainText(), text);
    QVERIFY(host->applied.isEmpty());
    QCOMPARE(host->recallText, QStringLiteral("<untouched>"));
}

void TestMapContents::toolBarFollowsTheMapPage()
{
    form->show();
    QVERIFY(form->changeBar()->isVisible()); // visible until the map page is first left
    form->setToolBarVisible(false);
    QVERIFY(!form->changeBar()->isVisible());
    QVERIFY(form->isVisible()); // the window itself stays open
    // Set while the window is hidden, it holds when the window comes back.
    form->hide();
    form->setToolBarVisible(true);
    form->show();
    QVERIFY(form->changeBar()->isVisible() && form->isToolBarVisible());
}

void TestMapContents::tabsWrapIntoColumns()
{
    // The design bounds (400 x 550 at 120 pixels per inch) hold: the tabs
    // never make the window taller.
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QCOMPARE(form->size(), QSize(320, 440));
    SideTabBar *tabs = form->keyTabs();
    const auto checkLaidOut = [&] {
        QList<int> lefts;
        for (int i = 0; i < tabs->count(); ++i) {
            const QRect r = tabs->tabRect(i);
            QVERIFY(tabs->rect().contains(r));
            for (int j = 0; j < i; ++j)
                QVERIFY(!r.intersects(tabs->tabRect(j)));
            if (!lefts.contains(r.left()))
                lefts << r.left();
        }
        QCOMPARE(lefts.size(), tabs->columnCount());
        QVERIFY(tabs->geometry().right() <= form->width() - 1);
        QVERIFY(form->valueList()->geometry().right() < tabs->geometry().left());
    };
    checkLaidOut();

    // A short window: the tabs wrap into further columns, each one reachable.
    form->resize(320, 200);
    QTRY_VERIFY(tabs->columnCount() > 1);
    QTRY_VERIFY(tabs->width() >= tabs->columnCount() * tabs->tabRect(0).width());
    checkLaidOut();
    QCOMPARE(form->height(), 200);
    for (int tab : {Improvements, Bonus, PlotType, Terrains, Features}) {
        selectTab(tab);
        // The selected tab's column lies next to the list.
        QCOMPARE(tabs->tabRect(tab).left(), 0);
        checkLaidOut();
    }
    QCOMPARE(form->valueList()->count(), 2); // the features list

    // Tall enough: one column.
    form->resize(320, 800);
    QTRY_COMPARE(tabs->columnCount(), 1);
    checkLaidOut();
}

void TestMapContents::hostGoneWithWindowOpen()
{
    // The main window owns the map contents window and is destroyed first at
    // exit, possibly with the window open: no call may reach it then.
    cleanup();
    auto *owner = new FakeHost;
    QPointer<MapContentsWindow> child = new MapContentsWindow(owner, owner);
    owner->show();
    child->show();
    QVERIFY(QTest::qWaitForWindowExposed(child));
    QVERIFY(owner->hintDown);
    delete owner;
    QVERIFY(child.isNull());
    init();
}

QTEST_MAIN(TestMapContents)
#include "tst_mapcontents.moc"
