// The edit history through the real windows: undo and redo of every kind of
// change with keys, buttons and the menu, the memos' own undo, the step
// names in hints and the history window, the unsaved-changes questions, and
// crash recovery from one run to the next.

#include "AutoRecovery.h"
#include "FakeDialogs.h"
#include "HistoryWindow.h"
#include "MainMenu.h"
#include "MapGrid.h"
#include "MapReader.h"
#include "MapWriter.h"
#include "SectionMemo.h"
#include "MainWindow.h"
#include "SideTabBar.h"
#include "MapContentsWindow.h"

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUndoStack>
#include <QUndoView>
#include <QtTest>

namespace {

const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");
const QString Island = QStringLiteral(VOR4_FIXTURES_DIR "/island-15x15.Vor4WorldBuilderSave");

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray bytesOf(const MainWindow *w) { return vor4::buildSaveFile(w->Doc); }

} // namespace

class TestEditHistory : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void undoAndRedoOnEveryPage();
    void undoShowsStoresAndSelectsThePlot();
    void memoKeepsItsOwnUndo();
    void hintsAndHistoryNameTheSteps();
    void unsavedChangesQuestions();
    void crashRecovery();

private:
    MainWindow *newWindow();
    void openFile(const QString &path);
    void clickCell(int col, int row);
    QToolButton *button(const char *name) { return w->findChild<QToolButton *>(QLatin1String(name)); }
    QString copyOf(const QString &fixture);
    MainWindow *w = nullptr;
    FakeDialogs::State *dialogs = nullptr;
    QTemporaryDir dir;
};

void TestEditHistory::initTestCase()
{
    // Recovery files go to a folder of the tests, never the user's.
    QStandardPaths::setTestModeEnabled(true);
    QDir(vor4::RecoveryStore::defaultFolder()).removeRecursively();
}

MainWindow *TestEditHistory::newWindow()
{
    auto *form = new MainWindow;
    form->show();
    return form;
}

void TestEditHistory::init()
{
    dialogs = FakeDialogs::install();
    w = newWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
}

void TestEditHistory::cleanup()
{
    delete w;
    w = nullptr;
    QDir(vor4::RecoveryStore::defaultFolder()).removeRecursively();
}

void TestEditHistory::openFile(const QString &path)
{
    dialogs->openAnswers << path;
    QTest::mouseClick(w->OpenBtn, Qt::LeftButton);
}

void TestEditHistory::clickCell(int col, int row)
{
    w->DrawGrid->scrollIntoView(col, row);
    QTest::mouseClick(w->DrawGrid->viewport(), Qt::LeftButton, {}, w->DrawGrid->cellRect(col, row).center());
}

QString TestEditHistory::copyOf(const QString &fixture)
{
    const QString copy = dir.filePath(QFileInfo(fixture).fileName());
    QFile::remove(copy);
    QFile::copy(fixture, copy);
    QFile(copy).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return copy;
}

void TestEditHistory::undoAndRedoOnEveryPage()
{
    openFile(Continents);
    QVERIFY(!w->isWindowModified());
    QVERIFY(!w->UndoBtn->isEnabled());
    QList<QByteArray> states{bytesOf(w)};

    // A change on every page, by the Apply buttons and by leaving a memo.
    const std::tuple<QToolButton *, SectionMemo *, const char *, const char *> pages[] = {
        {w->RuleBtn, w->GMemo, "ToolButton21", "Era=ERA_MODERN"},
        {w->TeamBtn, w->DMemo, "ToolButton17", "TeamID=0\nEdited=1"},
        {w->PlayerBtn, w->PMemo, "ToolButton13", "Player edited"},
        {w->MapBtn, w->MMemo, "ToolButton1", "Map line"},
    };
    for (const auto &[page, memo, apply, text] : pages) {
        QTest::mouseClick(page, Qt::LeftButton);
        memo->setPlainText(QString::fromLatin1(text));
        QTest::mouseClick(button(apply), Qt::LeftButton);
        states << bytesOf(w);
        QVERIFY(states.last() != states[states.size() - 2]);
    }
    clickCell(20, 10);
    w->Memo->setFocus();
    QTest::keyClicks(w->Memo, "Z=1");
    QTest::mouseClick(w->MapApplyBtn, Qt::LeftButton);
    states << bytesOf(w);
    QTest::keyClicks(w->Memo, "2");
    clickCell(21, 10); // the memo is left: auto-apply stores into (20, 10)
    states << bytesOf(w);
    QVERIFY(states.last() != states[states.size() - 2]);
    QVERIFY(w->isWindowModified());
    QCOMPARE(w->MapDoc.undoStack()->count(), states.size() - 1);

    // Back step by step: Ctrl+Z with the grid in focus, the button, the menu.
    QVERIFY(w->DrawGrid->hasFocus());
    QAction *undoAction = w->Menu->actionFor(w->UndoBtn);
    QVERIFY(undoAction);
    for (int i = states.size() - 2; i >= 0; --i) {
        switch (i % 3) {
        case 0: QTest::keyClick(w->DrawGrid, Qt::Key_Z, Qt::ControlModifier); break;
        case 1: QTest::mouseClick(w->UndoBtn, Qt::LeftButton); break;
        case 2: undoAction->trigger(); break;
        }
        QCOMPARE(bytesOf(w), states[i]);
    }
    QVERIFY(!w->isWindowModified());
    QVERIFY(!w->UndoBtn->isEnabled());
    QVERIFY(!undoAction->isEnabled());

    // And forward: Ctrl+Shift+Z, Ctrl+Y and the button.
    for (int i = 1; i < states.size(); ++i) {
        switch (i % 3) {
        case 0: QTest::keyClick(w->DrawGrid, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); break;
        case 1: QTest::keyClick(w->DrawGrid, Qt::Key_Y, Qt::ControlModifier); break;
        case 2: QTest::mouseClick(w->RedoBtn, Qt::LeftButton); break;
        }
        QCOMPARE(bytesOf(w), states[i]);
    }
    QVERIFY(w->isWindowModified());
    QVERIFY(!w->RedoBtn->isEnabled());
}

void TestEditHistory::undoShowsStoresAndSelectsThePlot()
{
    openFile(Continents);
    QTest::mouseClick(w->MapBtn, Qt::LeftButton);
    const QByteArray before = w->Doc.PlotTexts.text(20, 10);
    clickCell(20, 10);
    w->Memo->setText(QStringLiteral("TerrainType=TERRAIN_DESERT"));
    QTest::mouseClick(w->MapApplyBtn, Qt::LeftButton);
    clickCell(5, 5);
    w->MMemo->setPlainText(QStringLiteral("typed, never applied"));

    QTest::mouseClick(w->UndoBtn, Qt::LeftButton);
    QCOMPARE(w->Doc.PlotTexts.text(20, 10), before);
    // The changed plot is selected, as a click on it would select it.
    QCOMPARE(QPoint(w->DrawGrid->col(), w->DrawGrid->row()), QPoint(20, 10));
    QCOMPARE(QPoint(w->Doc.CurrentCol, w->Doc.CurrentRow), QPoint(20, 10));
    QCOMPARE(w->statusText(2), QStringLiteral("Current cell = (20 ,10)   x=20, y=29"));
    QByteArray shown;
    QVERIFY(w->Memo->bytes(&shown));
    QCOMPARE(shown, before);
    // Every memo shows its store: what was typed and not applied is gone.
    bool ok = false;
    QCOMPARE(w->MMemo->lines(&ok), w->Doc.MapLines);

    // The grid shows the plot as it is now, the minimap too (grassland).
    const QRect cell = w->DrawGrid->cellRect(20, 10);
    const QPoint inside = cell.topLeft() + QPoint(1, 1);
    const QColor yellow(255, 255, 0), green(0, 128, 0);
    QVERIFY(w->DrawGrid->viewport()->grab().toImage().pixelColor(inside) != yellow);
    QCoreApplication::processEvents();
    QCOMPARE(w->MiniMapBitmap.pixelColor(3 * 20 + 2, 3 * 10 + 2), green);
    QTest::mouseClick(w->RedoBtn, Qt::LeftButton);
    QCOMPARE(w->DrawGrid->viewport()->grab().toImage().pixelColor(inside), yellow);
    QCoreApplication::processEvents();
    QCOMPARE(w->MiniMapBitmap.pixelColor(3 * 20 + 2, 3 * 10 + 2), yellow);
    QVERIFY(w->Memo->bytes(&shown));
    QCOMPARE(shown, QByteArray("TerrainType=TERRAIN_DESERT"));
}

void TestEditHistory::memoKeepsItsOwnUndo()
{
    openFile(Continents);
    QTest::mouseClick(w->RuleBtn, Qt::LeftButton);
    w->GMemo->setPlainText(QStringLiteral("A=1"));
    QTest::mouseClick(button("ToolButton21"), Qt::LeftButton);
    QCOMPARE(w->MapDoc.undoStack()->index(), 1);

    // Inside the memo Ctrl+Z undoes the typing, not the stored change.
    w->GMemo->setFocus();
    w->GMemo->moveCursor(QTextCursor::End);
    QTest::keyClicks(w->GMemo, "BC");
    QCOMPARE(w->GMemo->toPlainText(), QStringLiteral("A=1BC"));
    QTest::keyClick(w->GMemo, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w->GMemo->toPlainText(), QStringLiteral("A=1"));
    QCOMPARE(w->MapDoc.undoStack()->index(), 1);
    QCOMPARE(w->Doc.GameLines, QList<QByteArray>{"A=1"});

    // The tool button takes no focus: the typing becomes a step of its own,
    // which the undo takes back and Redo brings again; then the step before.
    QTest::keyClicks(w->GMemo, "typed");
    QTest::mouseClick(w->UndoBtn, Qt::LeftButton);
    QVERIFY(w->GMemo->hasFocus());
    QCOMPARE(w->MapDoc.undoStack()->index(), 1);
    QCOMPARE(w->Doc.GameLines, QList<QByteArray>{"A=1"});
    w->findChild<QAction *>(QStringLiteral("RedoBtnAction"))->trigger(); // the menu alike
    QCOMPARE(w->Doc.GameLines, QList<QByteArray>{"A=1typed"});
    QTest::mouseClick(w->UndoBtn, Qt::LeftButton);
    QTest::mouseClick(w->UndoBtn, Qt::LeftButton);
    QCOMPARE(w->MapDoc.undoStack()->index(), 0);
    bool ok = false;
    QCOMPARE(w->GMemo->lines(&ok), w->Doc.GameLines);
    QVERIFY(w->Doc.GameLines != QList<QByteArray>{"A=1"});
}

void TestEditHistory::hintsAndHistoryNameTheSteps()
{
    openFile(Continents);
    QTest::mouseClick(w->MapBtn, Qt::LeftButton);
    clickCell(20, 10);
    w->mapContentsWindow()->show();
    w->mapContentsWindow()->keyTabs()->setCurrentIndex(4); // the fixed plot types
    QVERIFY(!w->Doc.PlotTexts.text(20, 10).contains("PlotType=0"));
    w->mapContentsWindow()->valueList()->setCurrentRow(0);
    QTest::mouseClick(w->mapContentsWindow()->changeButton(), Qt::LeftButton);
    QCOMPARE(w->mapContentsWindow()->panelText(0), QStringLiteral("PlotType changed"));
    QCOMPARE(w->UndoBtn->toolTip(), QStringLiteral("Undo PlotType changed at (20, 10) (Ctrl+Z)"));
    QCOMPARE(w->RedoBtn->toolTip().left(4), QStringLiteral("Redo"));

    // Clear, then Recall: two more steps; Recall stores the text back.
    const QByteArray changed = w->Doc.PlotTexts.text(20, 10);
    QTest::mouseClick(w->MapClearBtn, Qt::LeftButton);
    QVERIFY(w->Doc.PlotTexts.isEmpty(20, 10));
    QTest::mouseClick(w->MapRecallBtn, Qt::LeftButton);
    QCOMPARE(w->Doc.PlotTexts.text(20, 10), changed);
    QCOMPARE(w->UndoBtn->toolTip(), QStringLiteral("Undo Recall plot at (20, 10) (Ctrl+Z)"));

    // The history window lists them; a click on a row goes back to it.
    QVERIFY(!w->History->isVisible());
    QTest::mouseClick(w->HistoryBtn, Qt::LeftButton);
    QVERIFY(w->History->isVisible());
    QUndoView *view = w->History->view();
    QCOMPARE(view->model()->rowCount(), 4);
    view->setCurrentIndex(view->model()->index(1, 0));
    QCOMPARE(w->MapDoc.undoStack()->index(), 1);
    QCOMPARE(w->Doc.PlotTexts.text(20, 10), changed);
    QVERIFY(w->RedoBtn->toolTip().startsWith(QStringLiteral("Redo Clear plot at (20, 10) (")));
    w->History->close();
    QVERIFY(!w->HistoryBtn->isChecked());
}

void TestEditHistory::unsavedChangesQuestions()
{
    const QString map = copyOf(Continents);
    const QString other = copyOf(Island);
    openFile(map);
    const QByteArray saved = readAll(map);
    // Unmodified: never asked.
    openFile(other);
    QVERIFY(dialogs->saveQuestions.isEmpty());
    QCOMPARE(w->Doc.FileName, other);

    w->MapDoc.undoStack(); // the history was emptied by Open
    QCOMPARE(w->MapDoc.undoStack()->count(), 0);
    QTest::mouseClick(w->MapBtn, Qt::LeftButton);
    clickCell(2, 2);
    w->Memo->setText(QStringLiteral("PlotType=0"));
    QTest::mouseClick(w->MapApplyBtn, Qt::LeftButton);
    QVERIFY(w->isWindowModified());
    const QByteArray edited = bytesOf(w);

    // Cancel keeps everything: closing, Open and New.
    w->close();
    QVERIFY(w->isVisible());
    openFile(map);
    QTest::mouseClick(w->NewBtn, Qt::LeftButton);
    QCOMPARE(dialogs->saveQuestions, QStringList(3, QFileInfo(other).fileName()));
    QCOMPARE(w->Doc.FileName, other);
    QCOMPARE(bytesOf(w), edited);

    // Save that fails (a folder in the file's place) keeps everything too.
    QVERIFY(QFile::remove(other) && QDir().mkdir(other));
    dialogs->saveChoices << Dialogs::SaveChoice::Save;
    openFile(map);
    QCOMPARE(dialogs->messages.last(), QStringLiteral("Cannot create file %1").arg(other));
    QCOMPARE(w->Doc.FileName, other);
    QCOMPARE(bytesOf(w), edited);
    QVERIFY(w->isWindowModified());
    QVERIFY(QDir().rmdir(other));

    // Save writes, then the file opens.
    dialogs->saveChoices << Dialogs::SaveChoice::Save;
    openFile(map);
    QCOMPARE(readAll(other), edited);
    QCOMPARE(w->Doc.FileName, map);
    QVERIFY(!w->isWindowModified());

    // Typing not yet stored counts: leaving would store it. Discard drops it.
    QTest::mouseClick(w->RuleBtn, Qt::LeftButton);
    w->GMemo->setFocus();
    QTest::keyClicks(w->GMemo, "Typed=1");
    dialogs->saveQuestions.clear();
    dialogs->saveChoices << Dialogs::SaveChoice::Discard;
    QTest::mouseClick(w->NewBtn, Qt::LeftButton);
    QCOMPARE(dialogs->saveQuestions, QStringList{QFileInfo(map).fileName()});
    QCOMPARE(w->caption(), QStringLiteral("Vor4DemoMapEditor - Untitled"));
    QCOMPARE(readAll(map), saved);

    // An untitled document saved from the question goes through Save as.
    QTest::mouseClick(w->RuleBtn, Qt::LeftButton);
    w->GMemo->setPlainText(QStringLiteral("New=1"));
    QTest::mouseClick(button("ToolButton21"), Qt::LeftButton);
    const QString named = dir.filePath(QStringLiteral("named"));
    dialogs->saveChoices << Dialogs::SaveChoice::Save;
    dialogs->saveAnswers << named;
    // Quit (Ctrl+Q) closes through the question.
    QTest::keyClick(w, Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!w->isVisible());
    QVERIFY(readAll(named + QStringLiteral(".Vor4WorldBuilderSave")).contains("\tNew=1\r\n"));
}

void TestEditHistory::crashRecovery()
{
    const QString map = copyOf(Continents);
    openFile(map);
    vor4::RecoveryStore &store = w->Recovery->store();
    w->Recovery->setInterval(20);
    w->GMemo->setPlainText(QStringLiteral("Recovered=1"));
    QTest::mouseClick(w->RuleBtn, Qt::LeftButton);
    QTest::mouseClick(button("ToolButton21"), Qt::LeftButton);
    // Written every interval while modified, through the normal writer.
    QTRY_VERIFY(QFile::exists(store.mapPath()));
    store.waitForWrite();
    QCOMPARE(readAll(store.mapPath()), bytesOf(w));
    // A clean save removes it.
    QTest::mouseClick(w->SaveBtn, Qt::LeftButton);
    QVERIFY(!QFile::exists(store.mapPath()));

    // Modified again, then the run ends without a word (a crash).
    w->Recovery->setInterval(60 * 60 * 1000);
    w->GMemo->setPlainText(QStringLiteral("Recovered=2"));
    QTest::mouseClick(button("ToolButton21"), Qt::LeftButton);
    w->Recovery->writeNow();
    store.waitForWrite();
    const QByteArray unsaved = bytesOf(w);
    delete w;
    w = newWindow();

    // The next run offers it: restored as a modified document of that file.
    dialogs->choices << 0;
    QVERIFY(w->offerRecovery());
    QCOMPARE(dialogs->choiceQuestions.size(), 1);
    QCOMPARE(dialogs->choiceButtons[0], (QStringList{"Restore", "Delete", "Later"}));
    QVERIFY(dialogs->choiceQuestions[0].startsWith(
        QStringLiteral("Restore unsaved changes to %1 from ").arg(QFileInfo(map).fileName())));
    QCOMPARE(bytesOf(w), unsaved);
    QCOMPARE(w->Doc.FileName, map);
    QVERIFY(w->isWindowModified());
    QCOMPARE(w->caption(), QStringLiteral("Vor4DemoMapEditor - ") + QFileInfo(map).fileName());
    // Its file is this run's now; another run finds nothing to offer.
    QVERIFY(QFile::exists(w->Recovery->store().mapPath()));
    QVERIFY(w->Recovery->store().orphans().isEmpty());
    // The open dialog starts in the map's folder, not the recovery folder.
    QTest::mouseClick(w->OpenBtn, Qt::LeftButton);
    QCOMPARE(dialogs->lastOpenFolder, QFileInfo(map).absolutePath());

    // Later keeps it for the next start; Delete removes it for good.
    delete w;
    w = newWindow();
    dialogs->choices << 2;
    QVERIFY(!w->offerRecovery());
    dialogs->choices << 1;
    QVERIFY(!w->offerRecovery());
    QCOMPARE(dialogs->choiceQuestions.size(), 3);
    QVERIFY(!w->offerRecovery());
    QCOMPARE(dialogs->choiceQuestions.size(), 3);
    QVERIFY(!w->isWindowModified());
}

QTEST_MAIN(TestEditHistory)
#include "tst_edithistory.moc"
