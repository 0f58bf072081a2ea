// Walks the editor through its pages with a map file and saves a picture of
// the screen at each step: vor4-screenshots MAPFILE OUTDIR
// With --legend OUT.png it saves the editor's legend of the grid's colours
// and marks instead (Help > Legend); with --styles MAPFILE OUTDIR the same
// part of the map on the grid in each map style, as style-NAME.png.

#include "ChangeSelection.h"
#include "Dialogs.h"
#include "SectionMemo.h"
#include "SideTabBar.h"
#include "SpinEdit.h"
#include "DropDownComboBox.h"
#include "MapGrid.h"
#include "MapTool.h"
#include "MapToolBox.h"
#include "PastePreview.h"
#include "RegionActions.h"
#include "Transforms.h"
#include "ShortcutsWindow.h"
#include "AboutBox.h"
#include "HistoryWindow.h"
#include "BalanceWindow.h"
#include "MainWindow.h"
#include "MapPage.h"
#include "NewMapDialog.h"
#include <QAction>
#include "MapContentsWindow.h"
#include "MiniMapFeed.h"
#include "MiniMapWindow.h"
#include "PlotEditor.h"
#include "Legend.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QToolButton>
#include <QUndoStack>

namespace {

class ScriptedDialogs : public Dialogs
{
public:
    ScriptedDialogs(QString path, QString savePath) : m_path(std::move(path)), m_savePath(std::move(savePath)) {}
    QString openFileName(QWidget *, const QString &, const QString &) override { return m_path; }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override { return m_savePath; }
    void error(QWidget *, const QString &text) override { qWarning("message: %s", qPrintable(text)); }
    SaveChoice askSaveChanges(QWidget *, const QString &) override { return SaveChoice::Discard; }
    bool ask(QWidget *, const QString &) override { return false; }
    QString text(QWidget *, const QString &) override { return {}; }

private:
    QString m_path;
    QString m_savePath;
};

void settle(int ms = 400)
{
    QElapsedTimer t;
    t.start();
    while (!t.hasExpired(ms)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

void shoot(const QDir &out, const char *name)
{
    settle();
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    screen.save(out.filePath(QLatin1String(name) + QLatin1String(".png")));
}

// A part of a window by its name.
template <typename T>
T *part(const QObject *root, const char *name)
{
    return root->findChild<T *>(QLatin1String(name));
}

// Moves a window to the given place, or as near as the screen allows.
void placeOnScreen(QWidget *window, QPoint at)
{
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize size = window->frameGeometry().size();
    at.setX(qMax(room.left(), qMin(at.x(), room.right() + 1 - size.width())));
    at.setY(qMax(room.top(), qMin(at.y(), room.bottom() + 1 - size.height())));
    window->move(at);
}

} // namespace

// The grid on the map page at cell size 16, showing the map from `corner`
// on, in each style.
int shootStyles(const QString &map, const QDir &out, QPoint corner)
{
    Dialogs::setInstance(std::make_unique<ScriptedDialogs>(map, QString()));
    auto *window = new MainWindow;
    window->resize(1000, 900);
    window->show();
    window->action(QStringLiteral("open"))->trigger();
    window->action(QStringLiteral("mapPage"))->trigger();
    window->mapPage()->selectZoom(9); // 16
    MapGrid *grid = window->mapPage()->grid();
    grid->setMinimumSize(600, 440);
    settle();
    grid->setTopLeft(corner.x(), corner.y());
    settle();
    bool ok = true;
    for (const QString &style : vor4::MapStyle::names()) {
        window->action(QStringLiteral("style") + style)->trigger();
        grid->setTopLeft(corner.x(), corner.y());
        settle(200);
        ok = grid->viewport()->grab(QRect(0, 0, 560, 400))
                 .save(out.filePath(QStringLiteral("style-%1.png").arg(style.toLower())))
            && ok;
    }
    // The next run starts in the Classic style again.
    window->action(QStringLiteral("styleClassic"))->trigger();
    delete window;
    return ok ? 0 : 1;
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--legend") == 0)
        return vor4::legendImage().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    if (argc == 4 && qstrcmp(argv[1], "--styles") == 0)
        return shootStyles(QString::fromLocal8Bit(argv[2]), QDir(QString::fromLocal8Bit(argv[3])), QPoint(24, 8));
    if (argc < 3) {
        qWarning("usage: vor4-screenshots MAPFILE OUTDIR [MULTIPLAYER-MAPFILE]");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[2]));
    Dialogs::setInstance(std::make_unique<ScriptedDialogs>(QString::fromLocal8Bit(argv[1]),
                                                           out.filePath(QStringLiteral("new-map"))));
    auto *window = new MainWindow;
    window->move(10, 10);
    window->show();
    shoot(out, "start");

    window->action(QStringLiteral("open"))->trigger();
    shoot(out, "rules");
    window->action(QStringLiteral("teamsPage"))->trigger();
    shoot(out, "teams");
    window->action(QStringLiteral("playersPage"))->trigger();
    shoot(out, "players");
    window->action(QStringLiteral("mapPage"))->trigger();
    window->mapPage()->grid()->setFocus();
    window->mapPage()->selectCell(14, 25);
    shoot(out, "map");
    window->action(QStringLiteral("miniMap"))->trigger();
    placeOnScreen(window->miniMapWindow(), QPoint(window->frameGeometry().right() + 12, window->geometry().top()));
    window->action(QStringLiteral("mapContents"))->trigger();
    placeOnScreen(window->mapContentsWindow(), QPoint(window->frameGeometry().right() + 12, window->miniMapWindow()->frameGeometry().bottom() + 12));
    window->mapContentsWindow()->valueList()->setCurrentRow(1);
    shoot(out, "map-windows");

    // Terrain, feature and plot type from the map contents window, then Recall.
    const auto change = [window](int tab, int row) {
        window->mapContentsWindow()->keyTabs()->setCurrentIndex(tab);
        window->mapContentsWindow()->valueList()->setCurrentRow(row);
        window->mapContentsWindow()->changeClicked();
    };
    window->mapPage()->plotEditor()->memo()->setFocus();
    change(0, 2);
    change(2, 1);
    change(4, 0);
    shoot(out, "map-changed");
    window->action(QStringLiteral("plotRecall"))->trigger();
    shoot(out, "map-recalled");
    // The history of those steps beside the map, alone.
    window->miniMapWindow()->close();
    window->mapContentsWindow()->close();
    window->action(QStringLiteral("history"))->trigger();
    placeOnScreen(window->historyWindow(), QPoint(window->frameGeometry().right() + 12, window->geometry().top()));
    shoot(out, "history");
    window->historyWindow()->close();
    window->action(QStringLiteral("newMap"))->trigger();
    part<SpinEdit>(window, "MapWidthBox")->setValue(40);
    part<SpinEdit>(window, "MapHeightBox")->setValue(25);
    shoot(out, "map-prompt");
    part<QPushButton>(window, "NewMapOkButton")->click();
    window->mapPage()->selectCell(3, 3);
    change(0, 0);
    window->action(QStringLiteral("saveAs"))->trigger();
    shoot(out, "map-new");
    window->action(QStringLiteral("open"))->trigger();
    window->mapPage()->selectZoom(4);
    window->mapPage()->miniMap()->scrollGridTo(0, 0, true);
    shoot(out, "map-small");
    window->mapPage()->selectZoom(12);
    window->mapPage()->miniMap()->scrollGridTo(10, 20, true);
    shoot(out, "map-large");

    // Painting a new map: an island by the brush, a lake by the fill inside
    // a shore drawn with lines, hills by the rectangle, the brush's outline
    // under the pointer.
    window->action(QStringLiteral("newMap"))->trigger();
    part<SpinEdit>(window, "MapWidthBox")->setValue(48);
    part<SpinEdit>(window, "MapHeightBox")->setValue(18);
    part<QPushButton>(window, "NewMapOkButton")->click();
    window->mapPage()->selectZoom(9); // 16
    window->mapPage()->miniMap()->scrollGridTo(0, 0, true);
    const auto paint = [window](const char *tool, const char *line, int size, const QList<QPoint> &drag) {
        window->mapPage()->tools()->activate(QLatin1String(tool));
        window->mapPage()->tools()->setBrush(vor4::PaintRule::fromLine(line));
        window->mapPage()->tools()->setBrushSize(size);
        vor4::MapTool *t = window->mapPage()->tools()->activeTool();
        t->press(drag.first());
        for (const QPoint &p : drag)
            t->move(p);
        t->release(drag.last());
    };
    paint("Brush", "TerrainType=TERRAIN_GRASS", 5,
          {{9, 5}, {14, 3}, {22, 3}, {30, 5}, {34, 9}, {31, 13}, {24, 14}, {16, 14}, {10, 11}, {9, 7}, {14, 7},
           {22, 8}, {28, 9}, {24, 11}, {16, 10}});
    for (const auto &[from, to] : {std::pair{QPoint(13, 6), QPoint(20, 6)}, {QPoint(20, 6), QPoint(20, 11)},
                                   {QPoint(20, 11), QPoint(13, 11)}, {QPoint(13, 11), QPoint(13, 6)}})
        paint("Line", "TerrainType=TERRAIN_COAST", 1, {from, to});
    paint("Fill", "TerrainType=TERRAIN_OCEAN", 1, {{16, 8}});
    paint("Rectangle", "PlotType=1", 1, {{24, 7}, {29, 11}});
    paint("Brush", "BonusType=BONUS_GOLD", 1, {{11, 12}});
    paint("Brush", "TerrainType=TERRAIN_DESERT", 3, {{8, 9}});
    window->action(QStringLiteral("undo"))->trigger(); // the desert was a slip
    window->mapPage()->tools()->activate(QStringLiteral("Brush"));
    window->mapPage()->tools()->setBrush(vor4::PaintRule::fromLine("TerrainType=TERRAIN_GRASS"));
    window->mapPage()->tools()->activeTool()->move(QPoint(37, 9));
    window->setStatusText(0, window->action(QStringLiteral("undo"))->toolTip());
    for (QAction *shown : {window->action(QStringLiteral("miniMap")), window->action(QStringLiteral("mapContents"))})
        if (shown->isChecked())
            shown->trigger();
    shoot(out, "painting");

    // Regions: the map grown to the right and the new plots made ocean, the
    // island selected and copied, its copy floating over the new ocean; the
    // selection on the grid and the minimap.
    vor4::Transforms::resize(*window->document(), QSize(78, 18), QPoint(0, 0));
    window->mapPage()->renderMiniMap();
    window->mapPage()->selectZoom(6); // 10
    window->mapPage()->miniMap()->scrollGridTo(0, 0, true);
    paint("Fill", "TerrainType=TERRAIN_OCEAN", 1, {{60, 9}});
    window->mapPage()->tools()->activate(QStringLiteral("Region"));
    window->document()->push(new vor4::ChangeSelection(window->document(), QRect(6, 1, 31, 16)));
    window->mapPage()->grid()->setFocus();
    window->regions()->copy();
    window->regions()->paste();
    if (PastePreview *floating = window->regions()->pastePreview())
        floating->moveTo(QPoint(43, 1));
    window->action(QStringLiteral("miniMap"))->trigger();
    placeOnScreen(window->miniMapWindow(), QPoint(window->frameGeometry().right() + 12, window->geometry().top()));
    shoot(out, "regions");
    window->action(QStringLiteral("miniMap"))->trigger();
    window->aboutBox()->show();
    shoot(out, "about");
    window->aboutBox()->close();
    window->action(QStringLiteral("shortcuts"))->trigger();
    window->shortcutsWindow()->resize(660, 660);
    placeOnScreen(window->shortcutsWindow(), QPoint(window->frameGeometry().right() + 12, 0));
    shoot(out, "shortcuts");
    window->shortcutsWindow()->close();

    // The balance panel beside a multiplayer map, its territory shown; the
    // faked game's data files hold no yields, so the standard ones count.
    window->regions()->forgetMap();
    if (argc > 3 && window->document()->load(QString::fromLocal8Bit(argv[3])).ok()) {
        window->balanceWindow()->setDataFolder(QString());
        window->mapPage()->grid()->setTopLeft(0, 0);
        window->action(QStringLiteral("balance"))->trigger();
        window->action(QStringLiteral("territory"))->trigger();
        shoot(out, "balance");
        window->action(QStringLiteral("balance"))->trigger();
    }

    // File > New map: continents for six players, their starts on the picture.
    vor4::NewMapSettings settings;
    settings.land = vor4::NewMapSettings::Land::Continents;
    settings.players = 6;
    settings.seed = 2027;
    NewMapDialog newMap(settings);
    newMap.show();
    QEventLoop shown;
    QObject::connect(&newMap, &NewMapDialog::previewShown, &shown, &QEventLoop::quit);
    if (!newMap.previewReady())
        shown.exec();
    settle();
    newMap.grab().save(out.filePath(QStringLiteral("new-map.png")));
    newMap.close();
    delete window;
    return 0;
}
