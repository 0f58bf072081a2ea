// The typical road through the real windows: start-up, Open of a real map,
// the map page, a cell, a change from the map contents window with a game
// installation found under Wine, Recall, a new value, the minimap frame
// dragged, Save as, and the saved file checked by vor4map.

#include "PlotEditor.h"
#include "FakeDialogs.h"
#include "MapGrid.h"
#include "MapReader.h"
#include "SectionMemo.h"
#include "MainWindow.h"
#include "FileActions.h"
#include "MapPage.h"
#include <QAction>
#include "MapContentsWindow.h"
#include "MiniMapWindow.h"

#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QStackedWidget>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {

const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return QDir().mkpath(QFileInfo(path).path()) && f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QColor cellColour(MapGrid *grid, int col, int row)
{
    const QImage shot = grid->viewport()->grab().toImage();
    const QRect cell = grid->cellRect(col, row);
    return shot.pixelColor(cell.left() + 1, cell.top() + 1);
}

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void typicalRoad();
};

void TestEndToEnd::typicalRoad()
{
    if (!QFile::exists(Continents))
        QSKIP("fixtures not present");

    // A game installed under Wine, with two terrain types in its data.
    QTemporaryDir dir;
    const QString prefix = dir.filePath("wine");
    QVERIFY(writeFile(prefix + "/system.reg",
                      "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n"
                      "[Software\\\\Talvex Games\\\\Orwendel's Vorland 4] 1700000000\n"
                      "\"INSTALLDIR\"=\"C:\\\\Games\\\\Vor4\\\\\"\n"));
    QVERIFY(QDir().mkpath(prefix + "/dosdevices"));
    QVERIFY(QFile::link("../drive_c", prefix + "/dosdevices/c:"));
    QVERIFY(writeFile(prefix + "/drive_c/Games/Vor4/Assets/XML/Terrain/VOR4TerrainInfos.xml",
                      "<TerrainInfos>\r\n  <TerrainInfo>\r\n    <Type>TERRAIN_DESERT</Type>\r\n  </TerrainInfo>\r\n"
                      "  <TerrainInfo>\r\n    <Type>TERRAIN_SNOW</Type>\r\n  </TerrainInfo>\r\n</TerrainInfos>\r\n"));
    QVERIFY(QDir().mkpath(prefix + "/drive_c/Games/Vor4/PublicMaps"));
    qputenv("WINEPREFIX", prefix.toLocal8Bit());

    FakeDialogs::State *dialogs = FakeDialogs::install();
    auto *w = new MainWindow;
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));

    // Start-up: the title page, the installation found, nothing loaded.
    QCOMPARE(w->caption(), QStringLiteral("Vor4DemoMapEditor"));
    QCOMPARE(w->currentPage(), int(MainWindow::TitlePage));
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (1 x 1)"));
    QCOMPARE(w->files()->mapsDir(), prefix + "/dosdevices/c:/Games/Vor4//PublicMaps");

    // Open: the dialog starts in the game's maps folder.
    dialogs->openAnswers << Continents;
    w->action(QStringLiteral("open"))->trigger();
    QCOMPARE(dialogs->lastOpenFolder, w->files()->mapsDir());
    QCOMPARE(w->statusText(0), QStringLiteral("Map ready..."));
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (64 x 40)"));
    QCOMPARE(w->caption(), QStringLiteral("Vor4DemoMapEditor - continents-64x40.Vor4WorldBuilderSave"));
    QVERIFY(w->action(QStringLiteral("rulesPage"))->isChecked());

    // The map page and a click on a land cell.
    w->action(QStringLiteral("mapPage"))->trigger();
    MapGrid *grid = w->mapPage()->grid();
    // Only the terrain and bonus layers, so that a cell shows its fill plainly.
    for (const char *name : {"layerFeatureButton", "layerTeamButton", "layerHillButton", "layerImprovementButton"})
        QTest::mouseClick(w->findChild<QToolButton *>(QLatin1String(name)), Qt::LeftButton);
    QVERIFY(!grid->layers().feature && !grid->layers().hill && grid->layers().terrain);
    const int col = 14, row = 25; // x=14, y=14: grassland with a forest and units
    const QByteArray original = w->stores().PlotTexts.text(col, row);
    QVERIFY(original.contains("TerrainType=TERRAIN_GRASS"));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(col, row).center());
    QCOMPARE(w->statusText(2), QStringLiteral("Current cell = (14 ,25)   x=14, y=14"));
    QCOMPARE(w->mapPage()->plotEditor()->memo()->toPlainText().toLatin1(), QByteArray(original).replace("\r\n", "\n"));
    QCOMPARE(cellColour(grid, col, row), QColor(0, 128, 0));

    // The map contents window lists the game's terrains; a double click puts one in.
    w->action(QStringLiteral("mapContents"))->trigger();
    QVERIFY(w->mapContentsWindow()->isVisible());
    QCOMPARE(w->mapContentsWindow()->valueList()->count(), 2);
    QCOMPARE(w->mapContentsWindow()->valueList()->item(0)->text(), QStringLiteral("TerrainType=TERRAIN_DESERT"));
    QCOMPARE(w->mapContentsWindow()->panelText(1), QStringLiteral(" 2 items found"));
    const QRect desert = w->mapContentsWindow()->valueList()->visualItemRect(w->mapContentsWindow()->valueList()->item(0));
    QTest::mouseClick(w->mapContentsWindow()->valueList()->viewport(), Qt::LeftButton, {}, desert.center());
    QTest::mouseDClick(w->mapContentsWindow()->valueList()->viewport(), Qt::LeftButton, {}, desert.center());
    QCOMPARE(w->mapContentsWindow()->panelText(0), QStringLiteral("TerrainType changed"));
    QByteArray changed = original;
    changed.replace("TerrainType=TERRAIN_GRASS", "TerrainType=TERRAIN_DESERT");
    QCOMPARE(w->stores().PlotTexts.text(col, row), changed);
    QCOMPARE(cellColour(grid, col, row), QColor(255, 255, 0));

    // Recall in the main window undoes it.
    w->action(QStringLiteral("plotRecall"))->trigger();
    QCOMPARE(w->stores().PlotTexts.text(col, row), original);
    QCOMPARE(cellColour(grid, col, row), QColor(0, 128, 0));

    // A new value applied: snow from the list, then a hand-typed line.
    const QRect snow = w->mapContentsWindow()->valueList()->visualItemRect(w->mapContentsWindow()->valueList()->item(1));
    QTest::mouseClick(w->mapContentsWindow()->valueList()->viewport(), Qt::LeftButton, {}, snow.center());
    QTest::mouseClick(w->mapContentsWindow()->changeButton(), Qt::LeftButton);
    w->mapPage()->plotEditor()->memo()->setFocus(Qt::MouseFocusReason);
    w->mapPage()->plotEditor()->memo()->moveCursor(QTextCursor::End);
    QTest::keyClick(w->mapPage()->plotEditor()->memo(), Qt::Key_Return);
    QTest::keyClicks(w->mapPage()->plotEditor()->memo(), "BonusType=BONUS_IRON");
    w->action(QStringLiteral("plotApply"))->trigger();
    const QByteArray edited = w->stores().PlotTexts.text(col, row);
    QVERIFY(edited.contains("TerrainType=TERRAIN_SNOW"));
    QVERIFY(edited.endsWith("\r\nBonusType=BONUS_IRON"));
    const QImage shot = grid->viewport()->grab().toImage();
    const QRect cell = grid->cellRect(col, row);
    QCOMPARE(shot.pixelColor(cell.center()), QColor(255, 0, 255)); // the bonus disc
    QCOMPARE(shot.pixelColor(cell.left(), cell.top()), QColor(255, 255, 255)); // snow fill

    // The minimap: its frame dragged to the right scrolls the grid.
    w->action(QStringLiteral("miniMap"))->trigger();
    QVERIFY(w->miniMapWindow()->isVisible());
    const int leftBefore = grid->leftCol();
    const vor4::FrameRect frame = w->miniMapWindow()->viewFrame();
    const QPoint inside(frame.left + 2, frame.top + 2);
    QTest::mousePress(w->miniMapWindow()->pictureLabel(), Qt::LeftButton, {}, inside);
    QTest::mouseMove(w->miniMapWindow()->pictureLabel(), inside + QPoint(20, 0));
    QTest::mouseRelease(w->miniMapWindow()->pictureLabel(), Qt::LeftButton, {}, inside + QPoint(20, 0));
    QVERIFY(grid->maxLeftCol() > 0);
    QVERIFY(grid->leftCol() > leftBefore);
    QCOMPARE(w->miniMapWindow()->viewFrame().left, frame.left + 20); // the dragged frame stays the base

    // Save as, into the game's maps folder's neighbour; the extension is added.
    const QString saved = dir.filePath("edited");
    dialogs->saveAnswers << saved;
    w->action(QStringLiteral("saveAs"))->trigger();
    QCOMPARE(dialogs->lastSaveFolder, w->files()->mapsDir());
    QCOMPARE(w->statusText(0), QStringLiteral("File Saved"));
    QCOMPARE(w->caption(), QStringLiteral("Vor4DemoMapEditor - edited.Vor4WorldBuilderSave"));
    QVERIFY(dialogs->messages.isEmpty());
    delete w;

    // The saved file, read back by the tool and by the reader.
    QProcess check;
    check.start(QStringLiteral(VOR4MAP_PATH), {QStringLiteral("check"), saved + ".Vor4WorldBuilderSave"});
    QVERIFY(check.waitForFinished(60000));
    QCOMPARE(check.exitCode(), 0);
    QVERIFY(check.readAllStandardOutput().startsWith("Map size: 64 x 40\nTeam slots filled: 18\nPlayer slots filled: 18\n"));
    vor4::Document back, before;
    QVERIFY(vor4::loadMapFile(saved + ".Vor4WorldBuilderSave", back).ok());
    QVERIFY(vor4::loadMapFile(Continents, before).ok());
    QCOMPARE(back.PlotTexts.text(col, row), edited);
    for (int r = 0; r < 40; ++r)
        for (int c = 0; c < 64; ++c)
            if (c != col || r != row)
                QVERIFY(back.PlotTexts.view(c, r) == before.PlotTexts.view(c, r));
    QCOMPARE(back.GameLines, before.GameLines);
}

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
