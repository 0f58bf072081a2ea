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
#include "ZedAbout.h"
#include "HistoryWindow.h"
#include "ZedMain.h"
#include "ZedMapContents.h"
#include "ZedMiniMap.h"
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
    Form1 = new TForm1;
    Form2 = new TForm2(Form1, Form1);
    Form3 = new TForm3(Form1, Form1);
    Form3->setInstallDir(Form1->InstallDir);
    AboutBox = new TAboutBox(Form1);
    Form1->move(10, 10);
    Form1->show();
    shoot(out, "start");

    Form1->OpenBtn->click();
    shoot(out, "rules");
    Form1->TeamBtn->click();
    shoot(out, "teams");
    Form1->PlayerBtn->click();
    shoot(out, "players");
    Form1->MapBtn->click();
    Form1->DrawGrid->setFocus();
    QMetaObject::invokeMethod(Form1->DrawGrid, "selectCell", Q_ARG(int, 14), Q_ARG(int, 25));
    Form1->DrawGrid->setCurrentCell(14, 25);
    shoot(out, "map");
    Form1->MiniMapBtn->click();
    placeOnScreen(Form2, QPoint(Form1->frameGeometry().right() + 12, Form1->geometry().top()));
    Form1->MapHintBtn->click();
    placeOnScreen(Form3, QPoint(Form1->frameGeometry().right() + 12, Form2->frameGeometry().bottom() + 12));
    Form3->ListBox1->setCurrentRow(1);
    shoot(out, "map-windows");

    // Terrain, feature and plot type from the map contents window, then Recall.
    const auto change = [](int tab, int row) {
        Form3->TabControl1->setCurrentIndex(tab);
        Form3->ListBox1->setCurrentRow(row);
        Form3->ToolButton1Click();
    };
    Form1->Memo->setFocus();
    change(0, 2);
    change(2, 1);
    change(4, 0);
    shoot(out, "map-changed");
    Form1->MapRecallBtn->click();
    shoot(out, "map-recalled");
    // The history of those steps beside the map, alone.
    Form2->close();
    Form3->close();
    Form1->HistoryBtn->click();
    placeOnScreen(Form1->History, QPoint(Form1->frameGeometry().right() + 12, Form1->geometry().top()));
    shoot(out, "history");
    Form1->History->close();
    Form1->CreateNewMapBtn->click();
    Form1->SpinEdit1->setValue(40);
    Form1->SpinEdit2->setValue(25);
    shoot(out, "map-prompt");
    Form1->NewMapOKBtn->click();
    Form1->DrawGrid->setCurrentCell(3, 3);
    Form1->DrawGridSelectCell(3, 3);
    change(0, 0);
    Form1->SaveAsBtn->click();
    shoot(out, "map-new");
    Form1->OpenBtn->click();
    Form1->MapGridSizeComboBox->setCurrentIndex(4);
    Form1->MapGridSizeComboBoxSelect();
    Form1->ScrollMapTo(0, 0, true);
    shoot(out, "map-small");
    Form1->MapGridSizeComboBox->setCurrentIndex(12);
    Form1->MapGridSizeComboBoxSelect();
    Form1->ScrollMapTo(10, 20, true);
    shoot(out, "map-large");

    // Painting a new map: an island by the brush, a lake by the fill inside
    // a shore drawn with lines, hills by the rectangle, the brush's outline
    // under the pointer.
    Form1->CreateNewMapBtn->click();
    Form1->SpinEdit1->setValue(48);
    Form1->SpinEdit2->setValue(18);
    Form1->NewMapOKBtn->click();
    Form1->SelectGridSize(9); // 16
    Form1->ScrollMapTo(0, 0, true);
    const auto paint = [](const char *tool, const char *line, int size, const QList<QPoint> &drag) {
        Form1->Tools->activate(QLatin1String(tool));
        Form1->Tools->setBrush(vor4::PaintRule::fromLine(line));
        Form1->Tools->setBrushSize(size);
        vor4::MapTool *t = Form1->Tools->activeTool();
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
    Form1->UndoBtn->click(); // the desert was a slip
    Form1->Tools->activate(QStringLiteral("Brush"));
    Form1->Tools->setBrush(vor4::PaintRule::fromLine("TerrainType=TERRAIN_GRASS"));
    Form1->Tools->activeTool()->move(QPoint(37, 9));
    Form1->setStatusText(0, Form1->UndoBtn->toolTip());
    for (QToolButton *window : {Form1->MiniMapBtn, Form1->MapHintBtn})
        if (window->isChecked())
            window->click();
    shoot(out, "painting");

    // Regions: the map grown to the right and the new plots made ocean, the
    // island selected and copied, its copy floating over the new ocean; the
    // selection on the grid and the minimap.
    vor4::Transforms::resize(Form1->MapDoc, QSize(78, 18), QPoint(0, 0));
    Form1->RenderMiniMap();
    Form1->SelectGridSize(Form1->MapGridSizeComboBox->findText(QStringLiteral("10")));
    Form1->ScrollMapTo(0, 0, true);
    paint("Fill", "TerrainType=TERRAIN_OCEAN", 1, {{60, 9}});
    Form1->Tools->activate(QStringLiteral("Region"));
    Form1->MapDoc.selection().setArea(QRect(6, 1, 31, 16), QSize(78, 18));
    Form1->DrawGrid->setFocus();
    Form1->Regions->copy();
    Form1->Regions->paste();
    if (PastePreview *floating = Form1->Regions->pastePreview())
        floating->moveTo(QPoint(43, 1));
    Form1->MiniMapBtn->click();
    placeOnScreen(Form2, QPoint(Form1->frameGeometry().right() + 12, Form1->geometry().top()));
    shoot(out, "regions");
    Form1->MiniMapBtn->click();
    AboutBox->show();
    shoot(out, "about");
    AboutBox->close();
    Form1->KeyboardShortcutsClick();
    Form1->Shortcuts->resize(660, 660);
    placeOnScreen(Form1->Shortcuts, QPoint(Form1->frameGeometry().right() + 12, 0));
    shoot(out, "shortcuts");
    delete Form1;
    return 0;
}
