// What a newcomer reads: the tool tips and keys, Help > Keyboard shortcuts,
// and the README's keys, menus and step names held against the program.

#include "CellPainter.h"
#include "FakeDialogs.h"
#include "Legend.h"
#include "MapGrid.h"
#include "MapTool.h"
#include "MapToolBox.h"
#include "SectionMemo.h"
#include "ShortcutsWindow.h"
#include "SideTabBar.h"
#include "MainWindow.h"
#include "MapPage.h"
#include "SectionPage.h"
#include <QAction>
#include "MapContentsWindow.h"

#include <QActionGroup>
#include <QDesktopServices>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

namespace {
QString readme()
{
    QFile f(QStringLiteral(VOR4_FIXTURES_DIR "/../../../README.md"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).simplified() : QString();
}
QString native(const QString &key) { return QKeySequence(key).toString(QKeySequence::NativeText); }
} // namespace

class TestHelp : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        // A window that paints on nothing is told of it: the minimap of a
        // map without a size has no picture for the start marks.
        QTest::failOnWarning(QRegularExpression(QStringLiteral("^QPainter::")));
        dialogs = FakeDialogs::install();
        w = new MainWindow;
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
        dialogs->openAnswers << QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");
        w->action(QStringLiteral("open"))->trigger();
    }
    void cleanup() { delete w; }
    void keysAndShortcutsWindow();
    void legendShowsEveryMark();
    void readmeKeysAndMenus();
    void readmeStepNamesAndMessages();
    void userGuide();

public Q_SLOTS:
    void openUrl(const QUrl &url) { opened << url; } // the desktop's viewer, in tests

private:
    MainWindow *w = nullptr;
    FakeDialogs::State *dialogs = nullptr;
    QList<QUrl> opened;
};

void TestHelp::keysAndShortcutsWindow()
{
    // Each says what it does, then its key; the keys work in the text field.
    for (const char *name : {"rulesApplyButton", "rulesRecallButton", "rulesClearButton", "PlotApplyButton", "historyButton", "aboutButton", "autoApplyButton"})
        QVERIFY2(QRegularExpression("^\\w+ \\w.* \\(.+\\)$").match(w->findChild<QToolButton *>(name)->toolTip()).hasMatch(), name);
    w->sectionPage(vor4::SectionKind::Game)->edit()->setFocus();
    QTest::keyClick(w->sectionPage(vor4::SectionKind::Game)->edit(), Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(w->sectionPage(vor4::SectionKind::Game)->edit()->toPlainText(), QString());
    QTest::keyClick(w->sectionPage(vor4::SectionKind::Game)->edit(), Qt::Key_R, Qt::ControlModifier);
    w->sectionPage(vor4::SectionKind::Game)->edit()->moveCursor(QTextCursor::End);
    QTest::keyClicks(w->sectionPage(vor4::SectionKind::Game)->edit(), QStringLiteral("X=1"));
    QTest::keyClick(w->sectionPage(vor4::SectionKind::Game)->edit(), Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(w->stores().GameLines.size() > 1 && w->stores().GameLines.last().endsWith("X=1"));
    w->findChild<QAction *>(QStringLiteral("new"))->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_N));
    QTest::keyClick(w, Qt::Key_F1, Qt::ControlModifier);
    QVERIFY(w->shortcutsWindow()->isVisible());
    QStringList rows;
    for (QTreeWidgetItemIterator it(w->shortcutsWindow()->tree()); *it; ++it)
        rows << (*it)->text(0) + QLatin1Char('=') + (*it)->text(1);
    for (const char *row : {"New=Ctrl+Alt+N", "Game Rules=Alt+1", "Map Editor=Alt+4", "Brush=B", "Eraser=E", "About=Shift+F1",
                            "Select the plot beside=Left, Right, Up, Down", "Store this text into the map=Ctrl+Return"})
        QVERIFY2(rows.contains(QLatin1String(row)), row);
    QCOMPARE(rows.filter(QRegularExpression(QStringLiteral("=PgUp, PgDown$|=Home, End$"))).size(), 2);
    // The grid's keys listed each move the selection.
    w->action(QStringLiteral("mapPage"))->trigger();
    for (const ShortcutEntry &e : collectShortcuts(w))
        for (const QString &key : e.keys.split(QStringLiteral(", ")))
            if (e.group == QLatin1String("Map grid") && !QRegularExpression("^(Esc|Enter|Wheel)$").match(key).hasMatch()) {
                w->mapPage()->grid()->setCurrentCell(30, 20);
                QTest::keySequence(w->mapPage()->grid(), QKeySequence(key));
                QVERIFY2(w->mapPage()->grid()->col() != 30 || w->mapPage()->grid()->row() != 20, qPrintable(key));
            }
}

void TestHelp::legendShowsEveryMark()
{
    QTest::keyClick(w, Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    auto *window = w->findChild<QDialog *>(QStringLiteral("LegendWindow"));
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->findChild<QLabel *>()->pixmap().toImage().convertToFormat(QImage::Format_RGB32), vor4::legendImage());
    // It follows the layer buttons: a layer switched off leaves it.
    vor4::LayerSwitches hills;
    vor4::PieceLayers rivers;
    hills.hill = rivers.rivers = false;
    w->action(QStringLiteral("layerHill"))->trigger();
    w->action(QStringLiteral("layerRivers"))->trigger();
    QCOMPARE(window->findChild<QLabel *>()->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
             vor4::legendImage(hills, rivers));
    QVERIFY(vor4::legendImage(hills, rivers) != vor4::legendImage());
    // Each layer switch changes some sample: no mark of the grid goes unexplained.
    const auto paint = [](const char *text, const vor4::LayerSwitches &layers) {
        QImage image(32, 32, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        vor4::paintPlot(p, vor4::classifyPlot(text), image.rect(), layers);
        return image;
    };
    for (int layer = 0; layer < vor4::LayerSwitches::Count; ++layer) {
        vor4::LayerSwitches off;
        off[layer] = false;
        bool shown = false;
        for (const vor4::LegendEntry &e : vor4::legendEntries())
            shown = shown || paint(e.plotText, off) != paint(e.plotText, {});
        QVERIFY2(shown, vor4::LayerSwitches::name(layer));
    }
}

void TestHelp::readmeKeysAndMenus()
{
    const QString text = readme();
    QMultiHash<QString, QString> keysOf; // command -> key
    for (const ShortcutEntry &e : collectShortcuts(w))
        for (const QString &key : e.keys.split(QStringLiteral(", ")))
            keysOf.insert(e.command.toLower(), key);
    const QString key = QStringLiteral("(?:(?:Ctrl|Alt|Shift)\\+)*(?:[A-Z0-9]|F\\d+|Tab|Enter|Return|Delete|Home|End)");
    for (const auto &m : QRegularExpression("\\b((?:Ctrl|Alt|Shift)\\+" + key + ")\\b").globalMatch(text))
        QVERIFY2(keysOf.values().contains(native(m.captured(1))), qPrintable(m.captured(1)));
    // "Save as (Ctrl+Shift+S)", "Brush (B)": the command of that name has that key.
    int pairs = 0;
    for (const auto &m : QRegularExpression("((?:\\w+ ){0,2}\\w+)\\*? \\((" + key + ")[,)]").globalMatch(text)) {
        QStringList words = m.captured(1).toLower().split(QLatin1Char(' '));
        while (!words.isEmpty() && !keysOf.contains(words.join(QLatin1Char(' '))))
            words.removeFirst();
        if (!words.isEmpty() && ++pairs)
            QVERIFY2(keysOf.values(words.join(QLatin1Char(' '))).contains(native(m.captured(2))), qPrintable(m.captured(0)));
    }
    QVERIFY(pairs >= 8);
    QStringList entries; // "Edit > Find", every menu entry
    for (QMenu *menu : w->menuBar()->findChildren<QMenu *>(QString(), Qt::FindDirectChildrenOnly))
        for (QAction *a : menu->actions())
            entries << QString(menu->title() + " > " + a->text()).remove(QLatin1Char('&')).remove(QLatin1String("..."));
    for (const auto &m : QRegularExpression("\\b(?:File|Edit|View|Map|Help) > [\\w ]*\\w").globalMatch(text))
        QVERIFY2(entries.contains(m.captured(0)), qPrintable(m.captured(0)));
}

void TestHelp::readmeStepNamesAndMessages()
{
    // The messages the README quotes are the editor's own.
    const QString text = readme();
    w->action(QStringLiteral("mapPage"))->trigger();
    w->action(QStringLiteral("plotApply"))->trigger(); // nothing selected since Open
    QVERIFY2(text.contains("say \"" + w->statusText(0) + "\""), qPrintable(w->statusText(0)));
    const QString missing = QStringLiteral("/nowhere/NAME");
    dialogs->openAnswers << missing;
    w->action(QStringLiteral("open"))->trigger();
    QVERIFY2(text.contains("\"" + dialogs->messages.value(0).replace(missing, "NAME") + "\""),
             qPrintable(dialogs->messages.value(0)));
    QStringList erasing;
    for (QAction *a : w->mapPage()->tools()->actionGroup()->actions()) {
        a->trigger();
        w->mapPage()->tools()->setBrush(vor4::PaintRule::fromLine("TerrainType=TERRAIN_GRASS"));
        const int steps = w->document()->undoStack()->index();
        if (vor4::MapTool *tool = w->mapPage()->tools()->activeTool()) {
            tool->press(QPoint(5, 5), Qt::RightButton, {});
            tool->release(QPoint(5, 5));
        }
        if (!w->stores().PlotTexts.text(5, 5).contains("TerrainType") && !a->text().startsWith(QLatin1String("Eraser")))
            erasing << a->text().section(QStringLiteral(" ("), 0, 0);
        w->document()->undoStack()->setIndex(steps);
    }
    const QString tools = erasing.join(QLatin1String(", ")).replace(QRegularExpression(", (\\w+)$"), " or \\1");
    QVERIFY2(text.contains("right button with the " + tools + " tool"), qPrintable(tools));
    QVERIFY(text.contains(QLatin1String("each notch of the wheel also moves the selected plot one row")));
    w->action(QStringLiteral("rulesPage"))->trigger();
    w->sectionPage(vor4::SectionKind::Game)->edit()->setFocus(); // typed, then another page shown: stored
    QTest::keyClicks(w->sectionPage(vor4::SectionKind::Game)->edit(), QStringLiteral("X=1"));
    w->action(QStringLiteral("mapPage"))->trigger();
    QVERIFY(text.contains("(the history then shows \"" + w->action(QStringLiteral("undo"))->toolTip().section(" (", 0, 0).mid(5) + "\""));
    w->mapPage()->selectCell(20, 10);
    w->mapPage()->grid()->setCurrentCell(20, 10);
    w->mapContentsWindow()->keyTabs()->setCurrentIndex(4); // the plot types
    w->mapContentsWindow()->valueList()->setCurrentRow(0);
    w->mapContentsWindow()->changeButton()->click();
    QVERIFY(text.contains("(\"" + w->action(QStringLiteral("undo"))->toolTip().section(" (", 0, 1) + "\")"));
}

void TestHelp::userGuide()
{
    // F1 hands the README of these sources to the desktop's viewer (an
    // installed editor's is checked with the installed files).
    QCOMPARE(w->action(QStringLiteral("userGuide"))->toolTip(), QStringLiteral("Open the user guide (F1)"));
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openUrl");
    QTest::keyClick(w, Qt::Key_F1);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(QDir::cleanPath(VOR4_FIXTURES_DIR "/../../../README.md"))});
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
