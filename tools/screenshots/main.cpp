// Walks the editor through its pages with a map file and saves a picture of
// the screen at each step: vor4-screenshots MAPFILE OUTDIR
// With --legend OUT.png it saves the editor's legend of the grid's colours
// and marks instead (Help > Legend).

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
#include "MainWindow.h"
#include "MapContentsWindow.h"
#include "MiniMapWindow.h"
#include "Legend.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
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

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--legend") == 0)
        return vor4::legendImage().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    if (argc < 3) {
        qWarning("usage: vor4-screenshots MAPFILE OUTDIR");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[2]));
    Dialogs::setInstance(std::make_unique<ScriptedDialogs>(QString::fromLocal8Bit(argv[1]),
                                                           out.filePath(QStringLiteral("new-map"))));
    auto *window = new MainWindow;
    window->move(10, 10);
    window->show();
    shoot(out, "start");

    window->OpenBtn->click();
    shoot(out, "rules");
    window->TeamBtn->click();
    shoot(out, "teams");
    window->PlayerBtn->click();
    shoot(out, "players");
    window->MapBtn->click();
    window->DrawGrid->setFocus();
    QMetaObject::invokeMethod(window->DrawGrid, "selectCell", Q_ARG(int, 14), Q_ARG(int, 25));
    window->DrawGrid->setCurrentCell(14, 25);
    shoot(out, "map");
    window->MiniMapBtn->click();
    placeOnScreen(window->miniMapWindow(), QPoint(window->frameGeometry().right() + 12, window->geometry().top()));
    window->MapHintBtn->click();
    placeOnScreen(window->mapContentsWindow(), QPoint(window->frameGeometry().right() + 12, window->miniMapWindow()->frameGeometry().bottom() + 12));
    window->mapContentsWindow()->valueList()->setCurrentRow(1);
    shoot(out, "map-windows");

    // Terrain, feature and plot type from the map contents window, then Recall.
    const auto change = [window](int tab, int row) {
        window->mapContentsWindow()->keyTabs()->setCurrentIndex(tab);
        window->mapContentsWindow()->valueList()->setCurrentRow(row);
        window->mapContentsWindow()->changeClicked();
    };
    window->Memo->setFocus();
    change(0, 2);
    change(2, 1);
    change(4, 0);
    shoot(out, "map-changed");
    window->MapRecallBtn->click();
    shoot(out, "map-recalled");
    // The history of those steps beside the map, alone.
    window->miniMapWindow()->close();
    window->mapContentsWindow()->close();
    window->HistoryBtn->click();
    placeOnScreen(window->History, QPoint(window->frameGeometry().right() + 12, window->geometry().top()));
    shoot(out, "history");
    window->History->close();
    window->CreateNewMapBtn->click();
    window->SpinEdit1->setValue(40);
    window->SpinEdit2->setValue(25);
    shoot(out, "map-prompt");
    window->NewMapOKBtn->click();
    window->DrawGrid->setCurrentCell(3, 3);
    window->DrawGridSelectCell(3, 3);
    change(0, 0);
    window->SaveAsBtn->click();
    shoot(out, "map-new");
    window->OpenBtn->click();
    window->MapGridSizeComboBox->setCurrentIndex(4);
    window->MapGridSizeComboBoxSelect();
    window->ScrollMapTo(0, 0, true);
    shoot(out, "map-small");
    window->MapGridSizeComboBox->setCurrentIndex(12);
    window->MapGridSizeComboBoxSelect();
    window->ScrollMapTo(10, 20, true);
    shoot(out, "map-large");

    // Painting a new map: an island by the brush, a lake by the fill inside
    // a shore drawn with lines, hills by the rectangle, the brush's outline
    // under the pointer.
    window->CreateNewMapBtn->click();
    window->SpinEdit1->setValue(48);
    window->SpinEdit2->setValue(18);
    window->NewMapOKBtn->click();
    window->SelectGridSize(9); // 16
    window->ScrollMapTo(0, 0, true);
    const auto paint = [window](const char *tool, const char *line, int size, const QList<QPoint> &drag) {
        window->Tools->activate(QLatin1String(tool));
        window->Tools->setBrush(vor4::PaintRule::fromLine(line));
        window->Tools->setBrushSize(size);
        vor4::MapTool *t = window->Tools->activeTool();
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
    window->UndoBtn->click(); // the desert was a slip
    window->Tools->activate(QStringLiteral("Brush"));
    window->Tools->setBrush(vor4::PaintRule::fromLine("TerrainType=TERRAIN_GRASS"));
    window->Tools->activeTool()->move(QPoint(37, 9));
    window->setStatusText(0, window->UndoBtn->toolTip());
    for (QToolButton *window : {window->MiniMapBtn, window->MapHintBtn})
        if (window->isChecked())
            window->click();
    shoot(out, "painting");

    // Regions: the map grown to the right and the new plots made ocean, the
    // island selected and copied, its copy floating over the new ocean; the
    // selection on the grid and the minimap.
    vor4::Transforms::resize(window->MapDoc, QSize(78, 18), QPoint(0, 0));
    window->RenderMiniMap();
    window->SelectGridSize(window->MapGridSizeComboBox->findText(QStringLiteral("10")));
    window->ScrollMapTo(0, 0, true);
    paint("Fill", "TerrainType=TERRAIN_OCEAN", 1, {{60, 9}});
    window->Tools->activate(QStringLiteral("Region"));
    window->MapDoc.selection().setRegion(QRect(6, 1, 31, 16), QSize(78, 18));
    window->DrawGrid->setFocus();
    window->Regions->copy();
    window->Regions->paste();
    if (PastePreview *floating = window->Regions->pastePreview())
        floating->moveTo(QPoint(43, 1));
    window->MiniMapBtn->click();
    placeOnScreen(window->miniMapWindow(), QPoint(window->frameGeometry().right() + 12, window->geometry().top()));
    shoot(out, "regions");
    window->MiniMapBtn->click();
    window->aboutBox()->show();
    shoot(out, "about");
    window->aboutBox()->close();
    window->KeyboardShortcutsClick();
    window->Shortcuts->resize(660, 660);
    placeOnScreen(window->Shortcuts, QPoint(window->frameGeometry().right() + 12, 0));
    shoot(out, "shortcuts");
    delete window;
    return 0;
}
