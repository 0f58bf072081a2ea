// The edit history through the real windows: undo and redo of every kind of
// change with keys, buttons and the menu, the memos' own undo, the step
// names in hints and the history window, the unsaved-changes questions, and
// crash recovery and the recent files from one run to the next.

#include "CurrentCell.h"
#include "PlotEditor.h"
#include "MiniMapFeed.h"
#include "AutoRecovery.h"
#include "FakeDialogs.h"
#include "HistoryWindow.h"
#include "CommandButtons.h"
#include "MapGrid.h"
#include "MapReader.h"
#include "MapWriter.h"
#include "SectionMemo.h"
#include "MainWindow.h"
#include "EditorContext.h"
#include "FileActions.h"
#include "MapPage.h"
#include "SectionPage.h"
#include "SideTabBar.h"
#include "MapContentsWindow.h"
#include "RecentFiles.h"

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>
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
const QString Readme = QStringLiteral(VOR4_FIXTURES_DIR "/../../../README.md");

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray bytesOf(const MainWindow *w) { return vor4::buildSaveFile(w->stores()); }

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
    void recentFiles_data();
    void recentFiles();

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
    w->action(QStringLiteral("open"))->trigger();
}

void TestEditHistory::clickCell(int col, int row)
{
    w->mapPage()->grid()->scrollIntoView(col, row);
    QTest::mouseClick(w->mapPage()->grid()->viewport(), Qt::LeftButton, {}, w->mapPage()->grid()->cellRect(col, row).center());
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
    QVERIFY(!w->action(QStringLiteral("undo"))->isEnabled());
    QList<QByteArray> states{bytesOf(w)};

    // A change on every page, by the Apply buttons and by leaving a memo.
    const std::tuple<QAction *, SectionMemo *, const char *, const char *> pages[] = {
        {w->action(QStringLiteral("rulesPage")), w->sectionPage(vor4::SectionKind::Game)->edit(), "rulesApplyButton", "Era=ERA_MODERN"},
        {w->action(QStringLiteral("teamsPage")), w->sectionPage(vor4::SectionKind::Team)->edit(), "teamApplyButton", "TeamID=0\nEdited=1"},
        {w->action(QStringLiteral("playersPage")), w->sectionPage(vor4::SectionKind::Player)->edit(), "playerApplyButton", "Player edited"},
        {w->action(QStringLiteral("mapPage")), w->sectionPage(vor4::SectionKind::Map)->edit(), "mapHeaderApplyButton", "Map line"},
    };
    for (const auto &[page, memo, apply, text] : pages) {
        page->trigger();
        memo->setPlainText(QString::fromLatin1(text));
        QTest::mouseClick(button(apply), Qt::LeftButton);
        states << bytesOf(w);
        QVERIFY(states.last() != states[states.size() - 2]);
    }
    clickCell(20, 10);
    w->mapPage()->plotEditor()->memo()->setFocus();
    QTest::keyClicks(w->mapPage()->plotEditor()->memo(), "Z=1");
    w->action(QStringLiteral("plotApply"))->trigger();
    states << bytesOf(w);
    QTest::keyClicks(w->mapPage()->plotEditor()->memo(), "2");
    clickCell(21, 10); // the memo is left: auto-apply stores into (20, 10)
    states << bytesOf(w);
    QVERIFY(states.last() != states[states.size() - 2]);
    QVERIFY(w->isWindowModified());
    QCOMPARE(w->document()->undoStack()->count(), states.size() - 1);

    // Back step by step: Ctrl+Z with the grid in focus, the button, the menu.
    QVERIFY(w->mapPage()->grid()->hasFocus());
    QAction *undoAction = w->action(QStringLiteral("undo"));
    QVERIFY(undoAction);
    for (int i = states.size() - 2; i >= 0; --i) {
        switch (i % 3) {
        case 0: QTest::keyClick(w->mapPage()->grid(), Qt::Key_Z, Qt::ControlModifier); break;
        case 1: w->action(QStringLiteral("undo"))->trigger(); break;
        case 2: undoAction->trigger(); break;
        }
        QCOMPARE(bytesOf(w), states[i]);
    }
    QVERIFY(!w->isWindowModified());
    QVERIFY(!w->action(QStringLiteral("undo"))->isEnabled());
    QVERIFY(!undoAction->isEnabled());

    // And forward: Ctrl+Shift+Z, Ctrl+Y and the button.
    for (int i = 1; i < states.size(); ++i) {
        switch (i % 3) {
        case 0: QTest::keyClick(w->mapPage()->grid(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); break;
        case 1: QTest::keyClick(w->mapPage()->grid(), Qt::Key_Y, Qt::ControlModifier); break;
        case 2: w->action(QStringLiteral("redo"))->trigger(); break;
        }
        QCOMPARE(bytesOf(w), states[i]);
    }
    QVERIFY(w->isWindowModified());
    QVERIFY(!w->action(QStringLiteral("redo"))->isEnabled());
}

void TestEditHistory::undoShowsStoresAndSelectsThePlot()
{
    openFile(Continents);
    w->action(QStringLiteral("mapPage"))->trigger();
    const QByteArray before = w->stores().PlotTexts.text(20, 10);
    clickCell(20, 10);
    w->mapPage()->plotEditor()->memo()->setText(QStringLiteral("TerrainType=TERRAIN_DESERT"));
    w->action(QStringLiteral("plotApply"))->trigger();
    clickCell(5, 5);
    w->sectionPage(vor4::SectionKind::Map)->edit()->setPlainText(QStringLiteral("typed, never applied"));

    w->action(QStringLiteral("undo"))->trigger();
    QCOMPARE(w->stores().PlotTexts.text(20, 10), before);
    // The changed plot is selected, as a click on it would select it.
    QCOMPARE(QPoint(w->mapPage()->grid()->col(), w->mapPage()->grid()->row()), QPoint(20, 10));
    QCOMPARE(w->mapPage()->grid()->currentCell()->chosenPlot(), QPoint(20, 10));
    QCOMPARE(w->statusText(2), QStringLiteral("Current cell = (20 ,10)   x=20, y=29"));
    QByteArray shown;
    QVERIFY(w->mapPage()->plotEditor()->memo()->bytes(&shown));
    QCOMPARE(shown, before);
    // Every memo shows its store: what was typed and not applied is gone.
    bool ok = false;
    QCOMPARE(w->sectionPage(vor4::SectionKind::Map)->edit()->lines(&ok), w->stores().MapLines);

    // The grid shows the plot as it is now, the minimap too (grassland).
    const QRect cell = w->mapPage()->grid()->cellRect(20, 10);
    const QPoint inside = cell.topLeft() + QPoint(1, 1);
    const QColor yellow(255, 255, 0), green(0, 128, 0);
    QVERIFY(w->mapPage()->grid()->viewport()->grab().toImage().pixelColor(inside) != yellow);
    QCoreApplication::processEvents();
    QCOMPARE(w->mapPage()->miniMap()->miniMapBitmap().pixelColor(3 * 20 + 2, 3 * 10 + 2), green);
    w->action(QStringLiteral("redo"))->trigger();
    QCOMPARE(w->mapPage()->grid()->viewport()->grab().toImage().pixelColor(inside), yellow);
    QCoreApplication::processEvents();
    QCOMPARE(w->mapPage()->miniMap()->miniMapBitmap().pixelColor(3 * 20 + 2, 3 * 10 + 2), yellow);
    QVERIFY(w->mapPage()->plotEditor()->memo()->bytes(&shown));
    QCOMPARE(shown, QByteArray("TerrainType=TERRAIN_DESERT"));
}

void TestEditHistory::memoKeepsItsOwnUndo()
{
    openFile(Continents);
    w->action(QStringLiteral("rulesPage"))->trigger();
    w->sectionPage(vor4::SectionKind::Game)->edit()->setPlainText(QStringLiteral("A=1"));
    QTest::mouseClick(button("rulesApplyButton"), Qt::LeftButton);
    QCOMPARE(w->document()->undoStack()->index(), 1);

    // Inside the memo Ctrl+Z undoes the typing, not the stored change.
    w->sectionPage(vor4::SectionKind::Game)->edit()->setFocus();
    w->sectionPage(vor4::SectionKind::Game)->edit()->moveCursor(QTextCursor::End);
    QTest::keyClicks(w->sectionPage(vor4::SectionKind::Game)->edit(), "BC");
    QCOMPARE(w->sectionPage(vor4::SectionKind::Game)->edit()->toPlainText(), QStringLiteral("A=1BC"));
    QTest::keyClick(w->sectionPage(vor4::SectionKind::Game)->edit(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w->sectionPage(vor4::SectionKind::Game)->edit()->toPlainText(), QStringLiteral("A=1"));
    QCOMPARE(w->document()->undoStack()->index(), 1);
    QCOMPARE(w->stores().GameLines, QList<QByteArray>{"A=1"});

    // The tool button takes no focus: the typing becomes a step of its own,
    // which the undo takes back and Redo brings again; then the step before.
    QTest::keyClicks(w->sectionPage(vor4::SectionKind::Game)->edit(), "typed");
    w->action(QStringLiteral("undo"))->trigger();
    QVERIFY(w->sectionPage(vor4::SectionKind::Game)->edit()->hasFocus());
    QCOMPARE(w->document()->undoStack()->index(), 1);
    QCOMPARE(w->stores().GameLines, QList<QByteArray>{"A=1"});
    w->findChild<QAction *>(QStringLiteral("redo"))->trigger(); // the menu alike
    QCOMPARE(w->stores().GameLines, QList<QByteArray>{"A=1typed"});
    w->action(QStringLiteral("undo"))->trigger();
    w->action(QStringLiteral("undo"))->trigger();
    QCOMPARE(w->document()->undoStack()->index(), 0);
    bool ok = false;
    QCOMPARE(w->sectionPage(vor4::SectionKind::Game)->edit()->lines(&ok), w->stores().GameLines);
    QVERIFY(w->stores().GameLines != QList<QByteArray>{"A=1"});
}

void TestEditHistory::hintsAndHistoryNameTheSteps()
{
    openFile(Continents);
    w->action(QStringLiteral("mapPage"))->trigger();
    clickCell(20, 10);
    w->mapContentsWindow()->show();
    w->mapContentsWindow()->keyTabs()->setCurrentIndex(4); // the fixed plot types
    QVERIFY(!w->stores().PlotTexts.text(20, 10).contains("PlotType=0"));
    w->mapContentsWindow()->valueList()->setCurrentRow(0);
    QTest::mouseClick(w->mapContentsWindow()->changeButton(), Qt::LeftButton);
    QCOMPARE(w->mapContentsWindow()->panelText(0), QStringLiteral("PlotType changed"));
    QCOMPARE(w->action(QStringLiteral("undo"))->toolTip(), QStringLiteral("Undo PlotType changed at (20, 10) (Ctrl+Z)"));
    QCOMPARE(w->action(QStringLiteral("redo"))->toolTip().left(4), QStringLiteral("Redo"));

    // Clear, then Recall: two more steps; Recall stores the text back.
    const QByteArray changed = w->stores().PlotTexts.text(20, 10);
    w->action(QStringLiteral("plotClear"))->trigger();
    QVERIFY(w->stores().PlotTexts.isEmpty(20, 10));
    w->action(QStringLiteral("plotRecall"))->trigger();
    QCOMPARE(w->stores().PlotTexts.text(20, 10), changed);
    QCOMPARE(w->action(QStringLiteral("undo"))->toolTip(), QStringLiteral("Undo Recall plot at (20, 10) (Ctrl+Z)"));

    // The history window lists them; a click on a row goes back to it.
    QVERIFY(!w->historyWindow()->isVisible());
    w->action(QStringLiteral("history"))->trigger();
    QVERIFY(w->historyWindow()->isVisible());
    QUndoView *view = w->historyWindow()->view();
    QCOMPARE(view->model()->rowCount(), 4);
    view->setCurrentIndex(view->model()->index(1, 0));
    QCOMPARE(w->document()->undoStack()->index(), 1);
    QCOMPARE(w->stores().PlotTexts.text(20, 10), changed);
    QVERIFY(w->action(QStringLiteral("redo"))->toolTip().startsWith(QStringLiteral("Redo Clear plot at (20, 10) (")));
    w->historyWindow()->close();
    QVERIFY(!w->action(QStringLiteral("history"))->isChecked());
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
    QCOMPARE(w->stores().FileName, other);

    w->document()->undoStack(); // the history was emptied by Open
    QCOMPARE(w->document()->undoStack()->count(), 0);
    w->action(QStringLiteral("mapPage"))->trigger();
    clickCell(2, 2);
    w->mapPage()->plotEditor()->memo()->setText(QStringLiteral("PlotType=0"));
    w->action(QStringLiteral("plotApply"))->trigger();
    QVERIFY(w->isWindowModified());
    const QByteArray edited = bytesOf(w);

    // Cancel keeps everything: closing, Open and New.
    w->close();
    QVERIFY(w->isVisible());
    openFile(map);
    w->action(QStringLiteral("new"))->trigger();
    QCOMPARE(dialogs->saveQuestions, QStringList(3, QFileInfo(other).fileName()));
    QCOMPARE(w->stores().FileName, other);
    QCOMPARE(bytesOf(w), edited);

    // Save that fails (a folder in the file's place) keeps everything too.
    QVERIFY(QFile::remove(other) && QDir().mkdir(other));
    dialogs->saveChoices << Dialogs::SaveChoice::Save;
    openFile(map);
    QCOMPARE(dialogs->messages.last(), QStringLiteral("%1 is not an ordinary file; nothing written").arg(other));
    QCOMPARE(w->stores().FileName, other);
    QCOMPARE(bytesOf(w), edited);
    QVERIFY(w->isWindowModified());
    QVERIFY(QDir().rmdir(other));

    // Save writes, then the file opens.
    dialogs->saveChoices << Dialogs::SaveChoice::Save;
    openFile(map);
    QCOMPARE(readAll(other), edited);
    QCOMPARE(w->stores().FileName, map);
    QVERIFY(!w->isWindowModified());

    // Typing not yet stored counts: leaving would store it. Discard drops it.
    w->action(QStringLiteral("rulesPage"))->trigger();
    w->sectionPage(vor4::SectionKind::Game)->edit()->setFocus();
    QTest::keyClicks(w->sectionPage(vor4::SectionKind::Game)->edit(), "Typed=1");
    dialogs->saveQuestions.clear();
    dialogs->saveChoices << Dialogs::SaveChoice::Discard;
    w->action(QStringLiteral("new"))->trigger();
    QCOMPARE(dialogs->saveQuestions, QStringList{QFileInfo(map).fileName()});
    QCOMPARE(w->caption(), QStringLiteral("Vor4DemoMapEditor - Untitled"));
    QCOMPARE(readAll(map), saved);

    // An untitled document saved from the question goes through Save as.
    w->action(QStringLiteral("rulesPage"))->trigger();
    w->sectionPage(vor4::SectionKind::Game)->edit()->setPlainText(QStringLiteral("New=1"));
    QTest::mouseClick(button("rulesApplyButton"), Qt::LeftButton);
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
    vor4::RecoveryStore &store = w->files()->recovery()->store();
    w->files()->recovery()->setInterval(20);
    w->sectionPage(vor4::SectionKind::Game)->edit()->setPlainText(QStringLiteral("Recovered=1"));
    w->action(QStringLiteral("rulesPage"))->trigger();
    QTest::mouseClick(button("rulesApplyButton"), Qt::LeftButton);
    // Written every interval while modified, through the normal writer.
    QTRY_VERIFY(QFile::exists(store.mapPath()));
    store.waitForWrite();
    QCOMPARE(readAll(store.mapPath()), bytesOf(w));
    // A clean save removes it.
    w->action(QStringLiteral("save"))->trigger();
    QVERIFY(!QFile::exists(store.mapPath()));

    // Modified again, then the run ends without a word (a crash).
    w->files()->recovery()->setInterval(60 * 60 * 1000);
    w->sectionPage(vor4::SectionKind::Game)->edit()->setPlainText(QStringLiteral("Recovered=2"));
    QTest::mouseClick(button("rulesApplyButton"), Qt::LeftButton);
    w->files()->recovery()->writeNow();
    store.waitForWrite();
    const QByteArray unsaved = bytesOf(w);
    delete w;
    w = newWindow();

    // The next run offers it: restored as a modified document of that file.
    dialogs->choices << 0;
    QVERIFY(w->files()->offerRecovery());
    QCOMPARE(dialogs->choiceQuestions.size(), 1);
    QCOMPARE(dialogs->choiceButtons[0], (QStringList{"Restore", "Delete", "Later"}));
    QVERIFY(dialogs->choiceQuestions[0].startsWith(
        QStringLiteral("Restore unsaved changes to %1 from ").arg(QFileInfo(map).fileName())));
    QCOMPARE(bytesOf(w), unsaved);
    QCOMPARE(w->stores().FileName, map);
    QCOMPARE(w->recentFiles()->files().value(0), QFileInfo(map).canonicalFilePath()); // not the recovery file
    QVERIFY(w->isWindowModified());
    QCOMPARE(w->caption(), QStringLiteral("Vor4DemoMapEditor - ") + QFileInfo(map).fileName());
    // Its file is this run's now; another run finds nothing to offer.
    QTRY_VERIFY(QFile::exists(w->files()->recovery()->store().mapPath())); // written in the background
    QVERIFY(w->files()->recovery()->store().orphans().isEmpty());
    // The open dialog starts in the map's folder, not the recovery folder.
    w->action(QStringLiteral("open"))->trigger();
    QCOMPARE(dialogs->lastOpenFolder, QFileInfo(map).absolutePath());

    // Later keeps it for the next start; Delete removes it for good.
    delete w;
    w = newWindow();
    dialogs->choices << 2;
    QVERIFY(!w->files()->offerRecovery());
    dialogs->choices << 1;
    QVERIFY(!w->files()->offerRecovery());
    QCOMPARE(dialogs->choiceQuestions.size(), 3);
    QVERIFY(!w->files()->offerRecovery());
    QCOMPARE(dialogs->choiceQuestions.size(), 3);
    QVERIFY(!w->isWindowModified());
}

void TestEditHistory::recentFiles_data()
{
    QTest::addColumn<QStringList>("steps"); // an action and the file its dialog is given
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("newest first, once") << QStringList{"open a", "open b", "open ./a"} << QStringList{"a", "b"};
    QTest::newRow("save as") << QStringList{"open a", "saveAs c", "open b", "saveAs b"} << QStringList{"b", "c", "a"};
    QTest::newRow("a failed open stays out") << QStringList{"open a", "open broken"} << QStringList{"a"};
    QTest::newRow("at most 8") << QStringLiteral("open 0|open 1|open 2|open 3|open 4|open 5|open 6|open 7|open 8|open 9").split('|')
                               << QStringLiteral("9 8 7 6 5 4 3 2").split(' ');
}

void TestEditHistory::recentFiles()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, expected);
    QVERIFY(QDir(dir.path()).mkdir(QTest::currentDataTag()));
    const auto path = [&](const QString &name) { return dir.filePath(QTest::currentDataTag() + ('/' + name) + ".Vor4WorldBuilderSave"); };
    w->recentFiles()->clear();
    bool waited = true; // the menu waits while a file loads
    connect(w->context(), &EditorContext::statusChanged, w, [&] {
        waited = waited && (!w->isLoading() || !w->findChild<QMenu *>("recentFilesMenu")->menuAction()->isEnabled());
    });
    for (const QString &step : steps) {
        const QString name = path(step.section(' ', 1));
        QFile::copy(name.contains("broken") ? Readme : Island, name);
        (step.startsWith("open") ? dialogs->openAnswers : dialogs->saveAnswers) << name;
        w->action(step.section(' ', 0, 0))->trigger();
    }
    QVERIFY(waited);
    // The next run reads the same list; its menu names each file with its number.
    delete w;
    w = newWindow();
    QStringList files;
    for (const QString &name : expected)
        files << QFileInfo(path(name)).canonicalFilePath();
    QCOMPARE(w->recentFiles()->files(), files);
    QAction *first = w->findChild<QAction *>("recentFile1");
    QCOMPARE(first->text() + ' ' + first->toolTip(), "&1 " + QFileInfo(files[0]).fileName() + ' ' + files[0]);
    // A file gone is taken off the list and named, in the README's words; one still there opens.
    QFile::remove(files[0]);
    first->trigger();
    QCOMPARE(dialogs->messages.last(), files[0] + " no longer exists; it was removed from the recent files.");
    QCOMPARE(w->recentFiles()->files(), files.mid(1));
    QVERIFY(readAll(Readme).simplified().contains(dialogs->messages.last().replace(files[0], "FILE").toUtf8()));
    if (files.size() > 1) {
        w->findChild<QAction *>("recentFile1")->trigger();
        QCOMPARE(w->stores().FileName, files[1]);
    }
}

QTEST_MAIN(TestEditHistory)
#include "tst_edithistory.moc"
