// What a newcomer reads: the tool tips and keys, Help > Keyboard shortcuts,
// Save on a new map, and the README's keys, menus and step names held
// against the program.

#include "FakeDialogs.h"
#include "MainMenu.h"
#include "MapGrid.h"
#include "MapTool.h"
#include "MapToolBox.h"
#include "PaintRule.h"
#include "RegionActions.h"
#include "SectionMemo.h"
#include "ShortcutsWindow.h"
#include "SideTabBar.h"
#include "ZedMain.h"
#include "ZedMapContents.h"

#include <QAction>
#include <QActionGroup>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

namespace {
const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");

QString readme()
{
    QFile f(QStringLiteral(VOR4_FIXTURES_DIR "/../../../README.md"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QStringList matches(const QString &pattern, const QString &text, int group = 1)
{
    QStringList out;
    for (const auto &m : QRegularExpression(pattern).globalMatch(text))
        out << m.captured(group);
    return out;
}
} // namespace

class TestHelp : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup() { delete w; }
    void toolTipsAndTextKeys();
    void saveOnANewMapAsksForAName();
    void shortcutsWindowReadsTheActions();
    void readmeKeysAndMenus();
    void readmeRightButtonTools();
    void readmeStepNames();
    void readmeWheel();

private:
    TForm1 *w = nullptr;
    FakeDialogs::State *dialogs = nullptr;
};

void TestHelp::init()
{
    dialogs = FakeDialogs::install();
    w = Form1 = new TForm1;
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    dialogs->openAnswers << Continents;
    w->OpenBtn->click();
}

void TestHelp::toolTipsAndTextKeys()
{
    // Each says what it does, then its key; the keys work in the text field.
    for (const char *name : {"ToolButton21", "ToolButton22", "ToolButton23", "MapApplyBtn", "HistoryBtn", "AboutBtn"})
        QVERIFY2(QRegularExpression(QStringLiteral("^\\w+ \\w.* \\(.+\\)$"))
                     .match(w->findChild<QToolButton *>(name)->toolTip()).hasMatch(), name);
    w->GMemo->setFocus();
    QTest::keyClick(w->GMemo, Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(w->GMemo->toPlainText(), QString());
    QTest::keyClick(w->GMemo, Qt::Key_R, Qt::ControlModifier);
    QVERIFY(!w->GMemo->toPlainText().isEmpty());
    w->GMemo->moveCursor(QTextCursor::End);
    QTest::keyClicks(w->GMemo, QStringLiteral("X=1"));
    QTest::keyClick(w->GMemo, Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(w->Doc.GameLines.last().endsWith("X=1"));
}

void TestHelp::saveOnANewMapAsksForAName()
{
    w->MapsDir = QStringLiteral("/maps");
    w->NewBtn->click();
    QTest::keyClick(w, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(dialogs->lastSaveProposal, QStringLiteral("/maps/Untitled.Vor4WorldBuilderSave"));
    QCOMPARE(dialogs->messages, QStringList());
}

void TestHelp::shortcutsWindowReadsTheActions()
{
    w->findChild<QAction *>(QStringLiteral("NewBtnAction"))->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_N));
    QTest::keyClick(w, Qt::Key_F1, Qt::ControlModifier);
    QTRY_VERIFY(w->Shortcuts->isVisible());
    QStringList rows;
    for (QTreeWidgetItemIterator it(w->Shortcuts->tree()); *it; ++it)
        rows << (*it)->text(0) + QLatin1Char('=') + (*it)->text(1);
    for (const char *row : {"New=Ctrl+Alt+N", "Game Rules=Alt+1", "Map Editor=Alt+4", "Brush=B", "Eraser=E",
                            "Select the plot beside=Left, Right, Up, Down", "Store this text into the map=Ctrl+Return"})
        QVERIFY2(rows.contains(QLatin1String(row)), row);
    QVERIFY(rows.filter(QRegularExpression(QStringLiteral("PgUp, PgDown|Home, End"))).size() == 2);
}

void TestHelp::readmeKeysAndMenus()
{
    const QString text = readme();
    QMultiHash<QString, QString> keysOf; // command -> key
    for (const ShortcutEntry &e : collectShortcuts(w))
        for (const QString &key : e.keys.split(QStringLiteral(", ")))
            keysOf.insert(e.command.toLower(), key);
    const QStringList known = keysOf.values();
    const QString key = QStringLiteral("(?:(?:Ctrl|Alt|Shift)\\+)*(?:[A-Z0-9]|F\\d+|Tab|Enter|Return|Delete|Home|End)");
    const auto native = [](const QString &k) { return QKeySequence(k).toString(QKeySequence::NativeText); };
    for (const QString &k : matches(QStringLiteral("\\b((?:Ctrl|Alt|Shift)\\+") + key + QStringLiteral(")\\b"), text))
        QVERIFY2(known.contains(native(k)), qPrintable(k));
    // "Save as (Ctrl+Shift+S)", "Brush (B)": the command that has that name has that key.
    int pairs = 0;
    for (const auto &m : QRegularExpression(QStringLiteral("((?:\\w+ ){0,2}\\w+)\\*? \\((") + key + QStringLiteral(")[,)]"))
                             .globalMatch(text)) {
        QStringList words = m.captured(1).toLower().split(QLatin1Char(' '));
        while (!words.isEmpty() && !keysOf.contains(words.join(QLatin1Char(' '))))
            words.removeFirst();
        if (!words.isEmpty() && ++pairs)
            QVERIFY2(keysOf.values(words.join(QLatin1Char(' '))).contains(native(m.captured(2))), qPrintable(m.captured(0)));
    }
    QVERIFY(pairs >= 8);
    for (const auto &m : QRegularExpression(QStringLiteral("\\b(File|Edit|View|Map|Help) > ([\\w ]+)")).globalMatch(text)) {
        QMenu *menu = nullptr;
        for (QAction *a : w->menuBar()->actions())
            if (a->text().remove(QLatin1Char('&')) == m.captured(1))
                menu = a->menu();
        QVERIFY(menu);
        QStringList entries;
        for (QAction *a : menu->actions())
            entries << a->text().remove(QLatin1Char('&')).remove(QLatin1String("..."));
        QVERIFY2(entries.contains(m.captured(2).trimmed()), qPrintable(m.captured(0)));
    }
}

void TestHelp::readmeRightButtonTools()
{
    const QString said = matches(QStringLiteral("right button with the ([\\w, ]+) tool"), readme()).value(0);
    QStringList erasing;
    for (QAction *a : w->Tools->actionGroup()->actions()) {
        a->trigger();
        w->Tools->setBrush(vor4::PaintRule::fromLine("TerrainType=TERRAIN_GRASS"));
        const int steps = w->MapDoc.undoStack()->index();
        if (vor4::MapTool *tool = w->Tools->activeTool()) {
            tool->press(QPoint(5, 5), Qt::RightButton, {});
            tool->release(QPoint(5, 5));
        }
        const QString name = a->text().section(QStringLiteral(" ("), 0, 0);
        if (!w->Doc.PlotTexts.text(5, 5).contains("TerrainType") && name != QLatin1String("Eraser"))
            erasing << name;
        w->MapDoc.undoStack()->setIndex(steps);
    }
    QCOMPARE(said, erasing.join(QLatin1String(", ")).replace(QRegularExpression(", (\\w+)$"), " or \\1"));
}

void TestHelp::readmeStepNames()
{
    // Each name the README quotes is the one Undo names after that step.
    const QString text = readme();
    QStringList shown;
    w->GMemo->setFocus(); // typed, then another page shown: stored
    QTest::keyClicks(w->GMemo, QStringLiteral("X=1"));
    QTest::mouseClick(w->MapBtn, Qt::LeftButton);
    shown << w->UndoBtn->toolTip();
    w->DrawGridSelectCell(20, 10);
    Form3 = new TForm3(w, w);
    Form3->TabControl1->setCurrentIndex(4);
    Form3->ListBox1->setCurrentRow(0);
    Form3->ChangeBtn->click();
    const QString changed = w->UndoBtn->toolTip();
    w->Tools->activate(QStringLiteral("Rectangle"));
    w->Tools->setBrush(vor4::PaintRule::fromLine("TerrainType=TERRAIN_GRASS"));
    w->Tools->activeTool()->press(QPoint(0, 0), Qt::LeftButton, {});
    w->Tools->activeTool()->release(QPoint(63, 39));
    shown << w->UndoBtn->toolTip();
    w->MapDoc.selection().setArea(QRect(0, 0, 13, 27), QSize(64, 40));
    w->Regions->flipHorizontalAction->trigger();
    shown << w->UndoBtn->toolTip() << changed;
    const QStringList quoted = matches(QStringLiteral("\"((?:Undo|Paint|Flip|Apply)\\s[^\"]*)\""), text);
    QCOMPARE(quoted.size(), 4);
    for (int i = 0; i < 4; ++i) {
        QString pattern = QRegularExpression::escape(quoted[i].simplified().remove(QRegularExpression("^Undo ")));
        pattern.replace(QRegularExpression(QStringLiteral("\\d[\\d,]*")), QStringLiteral("\\d[\\d,]*"));
        QVERIFY2(QRegularExpression(QStringLiteral("^Undo ") + pattern + QStringLiteral(" \\(")).match(shown[i]).hasMatch(),
                 qPrintable(shown[i] + " / " + quoted[i]));
    }
    delete Form3;
    Form3 = nullptr;
}

void TestHelp::readmeWheel()
{
    QVERIFY(readme().simplified().contains(QLatin1String("each notch of the wheel also moves the selected plot one row")));
    w->MapBtn->click();
    w->DrawGridSelectCell(3, 7);
    w->DrawGrid->setCurrentCell(3, 7);
    QWheelEvent notch(QPointF(5, 5), QPointF(5, 5), {}, QPoint(0, -120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w->DrawGrid->viewport(), &notch);
    QCOMPARE(w->Doc.CurrentRow, 8);
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
