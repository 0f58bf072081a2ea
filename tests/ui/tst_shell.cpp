#include "PageParts.h"
#include "PlotEditor.h"
#include "MiniMapFeed.h"
#include "FakeDialogs.h"
#include "MapGrid.h"
#include "MapReader.h"
#include "MapWriter.h"
#include "SectionMemo.h"
#include "AboutBox.h"
#include "MainWindow.h"
#include "FileActions.h"
#include "MapPage.h"
#include "RegionActions.h"
#include "EditorContext.h"
#include "MapContentsWindow.h"
#include "SectionPage.h"
#include <QAction>
#include "MapGrid.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QScreen>
#include <QSpontaneKeyEvent>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <csignal>
#ifdef Q_OS_LINUX
#include <sys/resource.h>
#endif

namespace {

const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");
const QString Island = QStringLiteral(VOR4_FIXTURES_DIR "/island-15x15.Vor4WorldBuilderSave");

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

void typeInto(QWidget *w, const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('\n'));
    for (int i = 0; i < parts.size(); ++i) {
        if (i)
            QTest::keyClick(w, Qt::Key_Return);
        for (const QChar c : parts[i]) {
            // keyClicks only knows ASCII; other characters go in as text events
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w, &press);
        }
    }
}

} // namespace

class TestShell : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void startUpState();
    void pageButtonsGroup();
    void autoApplyIntoThePageLeft();
    void selectorChangeAppliesToOldRow();
    void windowSwitchIsNoExit();
    void applyRecallClearOnEveryPage();
    void noSelectedRowKeepsStores();
    void openFixture();
    void openErrors();
    void loadShowsSizeAndTakesEvents();
    void notAMapIsRefused();
    void everySlotListed();
    void saveStoresTheFocusedMemo();
    void saveSaveAsAndNew();
    void failedSaveKeepsFile();
    void nonLatin1TextIsRefused();
    void memoTakesWhatAFileHolds();
    void everyByteSurvivesTheMemos();
    void commandsWaitForTheLoad();
    void aboutBox();
    void aboutBoxPlacementAndTexts();
    void toolBarsHaveNoMenu();

private:
    void openFile(const QString &path);
    MainWindow *w = nullptr;
    FakeDialogs::State *dialogs = nullptr;
    QTemporaryDir dir;
};

void TestShell::init()
{
    dialogs = FakeDialogs::install();
    w = new MainWindow;
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
}

void TestShell::cleanup()
{
    delete w;
}

void TestShell::openFile(const QString &path)
{
    dialogs->openAnswers << path;
    w->action(QStringLiteral("open"))->trigger();
}

void TestShell::startUpState()
{
    QCOMPARE(w->caption(), QStringLiteral("Vor4DemoMapEditor"));
    QCOMPARE(w->statusText(0), QString());
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (1 x 1)"));
    QCOMPARE(w->statusText(2), QString());
    QCOMPARE(w->currentPage(), int(MainWindow::TitlePage));
    for (QAction *b : {w->action(QStringLiteral("rulesPage")), w->action(QStringLiteral("teamsPage")), w->action(QStringLiteral("playersPage")), w->action(QStringLiteral("mapPage"))}) {
        QVERIFY(!b->isChecked());
    }
    QVERIFY(w->action(QStringLiteral("autoApply"))->isChecked());
    QVERIFY(!hoverTimer(w)->isActive());
    QCOMPARE(w->sectionPage(vor4::SectionKind::Team)->slotBox()->currentIndex(), -1);
    // Hints name their shortcuts.
    QCOMPARE(w->action(QStringLiteral("new"))->toolTip(), QStringLiteral("New (Ctrl+N)"));
    QCOMPARE(w->action(QStringLiteral("saveAs"))->toolTip(), QStringLiteral("Save as... (Ctrl+Shift+S)"));
    QCOMPARE(w->action(QStringLiteral("mapPage"))->toolTip(), QStringLiteral("Map Editor (Alt+4)"));
    QCOMPARE(w->action(QStringLiteral("autoApply"))->toolTip(), QStringLiteral("Auto apply changes: store a text field when it is left (Ctrl+Shift+A)"));
    QCOMPARE(w->stores().columnCount(), 1);
    QCOMPARE(w->mapPage()->miniMap()->miniMapBitmap().size(), QSize(0, 0));
}

void TestShell::pageButtonsGroup()
{
    w->action(QStringLiteral("teamsPage"))->trigger();
    QCOMPARE(w->currentPage(), int(MainWindow::TeamsPage));
    QVERIFY(w->action(QStringLiteral("teamsPage"))->isChecked());
    QVERIFY(w->sectionPage(vor4::SectionKind::Team)->edit()->isVisible());
    w->action(QStringLiteral("mapPage"))->trigger();
    QCOMPARE(w->currentPage(), int(MainWindow::MapEditorPage));
    QVERIFY(w->action(QStringLiteral("mapPage"))->isChecked() && !w->action(QStringLiteral("teamsPage"))->isChecked());
    QVERIFY(hoverTimer(w)->isActive());
    QVERIFY(w->sectionPage(vor4::SectionKind::Map)->edit()->isVisible());

    // Clicking the button that is down raises it; the page stays.
    w->action(QStringLiteral("mapPage"))->trigger();
    QCOMPARE(w->currentPage(), int(MainWindow::MapEditorPage));
    for (QAction *b : {w->action(QStringLiteral("rulesPage")), w->action(QStringLiteral("teamsPage")), w->action(QStringLiteral("playersPage")), w->action(QStringLiteral("mapPage"))})
        QVERIFY(!b->isChecked());
    w->action(QStringLiteral("mapPage"))->trigger();
    QVERIFY(w->action(QStringLiteral("mapPage"))->isChecked());
    QCOMPARE(w->currentPage(), int(MainWindow::MapEditorPage));

    w->setStatusText(2, QStringLiteral("Current cell = (1 ,1)"));
    w->action(QStringLiteral("rulesPage"))->trigger();
    QVERIFY(!hoverTimer(w)->isActive());
    QCOMPARE(w->statusText(2), QString());
    QVERIFY(w->sectionPage(vor4::SectionKind::Game)->edit()->isVisible());
}

void TestShell::autoApplyIntoThePageLeft()
{
    openFile(Continents);
    const QList<QByteArray> game = w->stores().GameLines;
    // Rules page: type into GMemo and switch to the teams page.
    w->sectionPage(vor4::SectionKind::Game)->edit()->setFocus(Qt::MouseFocusReason);
    w->sectionPage(vor4::SectionKind::Game)->edit()->moveCursor(QTextCursor::End);
    typeInto(w->sectionPage(vor4::SectionKind::Game)->edit(), QStringLiteral("\nNewRule=1"));
    w->action(QStringLiteral("teamsPage"))->trigger();
    QCOMPARE(w->stores().GameLines, game + QList<QByteArray>{"NewRule=1"});

    // Teams page: the edit goes to the team row, never to the players.
    const auto players = w->stores().PlayerTexts;
    w->sectionPage(vor4::SectionKind::Team)->edit()->setFocus(Qt::MouseFocusReason);
    w->sectionPage(vor4::SectionKind::Team)->edit()->selectAll();
    typeInto(w->sectionPage(vor4::SectionKind::Team)->edit(), QStringLiteral("TeamID=0\nEdited=1"));
    w->action(QStringLiteral("playersPage"))->trigger();
    QCOMPARE(w->stores().TeamTexts[0], QByteArray("TeamID=0\r\nEdited=1"));
    QVERIFY(w->stores().PlayerTexts == players);

    // With auto-apply off the store keeps its text; the memo keeps the edit.
    w->action(QStringLiteral("autoApply"))->trigger();
    QVERIFY(!w->action(QStringLiteral("autoApply"))->isChecked());
    w->sectionPage(vor4::SectionKind::Player)->edit()->setFocus(Qt::MouseFocusReason);
    typeInto(w->sectionPage(vor4::SectionKind::Player)->edit(), QStringLiteral("Lost=1"));
    w->action(QStringLiteral("rulesPage"))->trigger();
    QCOMPARE(w->stores().PlayerTexts, players);
    QVERIFY(w->sectionPage(vor4::SectionKind::Player)->edit()->toPlainText().contains(QStringLiteral("Lost=1")));
}

void TestShell::selectorChangeAppliesToOldRow()
{
    openFile(Continents);
    w->action(QStringLiteral("teamsPage"))->trigger();
    w->sectionPage(vor4::SectionKind::Team)->edit()->setFocus(Qt::MouseFocusReason);
    w->sectionPage(vor4::SectionKind::Team)->edit()->selectAll();
    typeInto(w->sectionPage(vor4::SectionKind::Team)->edit(), QStringLiteral("Row0=edited"));
    // Clicking the selector takes the focus first; then the entry is chosen.
    QTest::mouseClick(w->sectionPage(vor4::SectionKind::Team)->slotBox(), Qt::LeftButton);
    w->sectionPage(vor4::SectionKind::Team)->slotBox()->hidePopup();
    QVERIFY(w->sectionPage(vor4::SectionKind::Team)->slotBox()->hasFocus());
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(w->sectionPage(vor4::SectionKind::Team)->slotBox(), Qt::Key_Down);
    QCOMPARE(w->sectionPage(vor4::SectionKind::Team)->slotBox()->currentIndex(), 5);
    QCOMPARE(w->stores().TeamTexts[0], QByteArray("Row0=edited"));
    QCOMPARE(w->sectionPage(vor4::SectionKind::Team)->edit()->toPlainText().toLatin1(), QByteArray(w->stores().TeamTexts[5]).replace("\r\n", "\n"));
}

void TestShell::windowSwitchIsNoExit()
{
    openFile(Continents);
    const QList<QByteArray> game = w->stores().GameLines;
    w->sectionPage(vor4::SectionKind::Game)->edit()->setFocus(Qt::MouseFocusReason);
    typeInto(w->sectionPage(vor4::SectionKind::Game)->edit(), QStringLiteral("X"));
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(w->sectionPage(vor4::SectionKind::Game)->edit(), &out);
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(w->sectionPage(vor4::SectionKind::Game)->edit(), &popup);
    QCOMPARE(w->stores().GameLines, game);
    // Save does not take the focus: the memo's edit is not in the file yet.
    QVERIFY(w->sectionPage(vor4::SectionKind::Game)->edit()->hasFocus());
}

void TestShell::applyRecallClearOnEveryPage()
{
    openFile(Continents);
    struct Case { QAction *page; SectionMemo *memo; const char *apply, *recall, *clear; };
    const Case cases[] = {
        {w->action(QStringLiteral("rulesPage")), w->sectionPage(vor4::SectionKind::Game)->edit(), "rulesApplyButton", "rulesRecallButton", "rulesClearButton"},
        {w->action(QStringLiteral("teamsPage")), w->sectionPage(vor4::SectionKind::Team)->edit(), "teamApplyButton", "teamRecallButton", "teamClearButton"},
        {w->action(QStringLiteral("playersPage")), w->sectionPage(vor4::SectionKind::Player)->edit(), "playerApplyButton", "playerRecallButton", "playerClearButton"},
        {w->action(QStringLiteral("mapPage")), w->sectionPage(vor4::SectionKind::Map)->edit(), "mapHeaderApplyButton", "mapHeaderRecallButton", "mapHeaderClearButton"},
    };
    w->action(QStringLiteral("autoApply"))->trigger(); // off: only the buttons store
    for (const Case &c : cases) {
        c.page->trigger();
        auto *apply = w->findChild<QToolButton *>(QLatin1String(c.apply));
        auto *recall = w->findChild<QToolButton *>(QLatin1String(c.recall));
        auto *clear = w->findChild<QToolButton *>(QLatin1String(c.clear));
        QVERIFY(apply && recall && clear);
        const QString before = c.memo->toPlainText();
        QTest::mouseClick(clear, Qt::LeftButton);
        QVERIFY(c.memo->toPlainText().isEmpty());
        QTest::mouseClick(recall, Qt::LeftButton);
        QCOMPARE(c.memo->toPlainText(), before); // Clear then Recall: unchanged
        c.memo->setPlainText(QStringLiteral("  a=1\nb=2\n"));
        QTest::mouseClick(apply, Qt::LeftButton);
        c.memo->clear();
        QTest::mouseClick(recall, Qt::LeftButton);
        QCOMPARE(c.memo->toPlainText(), QStringLiteral("  a=1\nb=2") + (c.page == w->action(QStringLiteral("teamsPage")) || c.page == w->action(QStringLiteral("playersPage")) ? QStringLiteral("\n") : QString()));
    }
    QCOMPARE(w->stores().GameLines, (QList<QByteArray>{"  a=1", "b=2"}));
    QCOMPARE(w->stores().MapLines, (QList<QByteArray>{"  a=1", "b=2"}));
    QCOMPARE(w->stores().TeamTexts[0], QByteArray("  a=1\r\nb=2\r\n"));
    QCOMPARE(w->stores().PlayerTexts[0], QByteArray("  a=1\r\nb=2\r\n"));

    // An emptied map-lines memo applied leaves the store empty.
    QTest::mouseClick(w->findChild<QToolButton *>(QStringLiteral("mapHeaderClearButton")), Qt::LeftButton);
    QTest::mouseClick(w->findChild<QToolButton *>(QStringLiteral("mapHeaderApplyButton")), Qt::LeftButton);
    QVERIFY(w->stores().MapLines.isEmpty());
}

void TestShell::noSelectedRowKeepsStores()
{
    w->action(QStringLiteral("teamsPage"))->trigger();
    w->sectionPage(vor4::SectionKind::Team)->edit()->setFocus(Qt::MouseFocusReason);
    typeInto(w->sectionPage(vor4::SectionKind::Team)->edit(), QStringLiteral("Orphan=1"));
    QTest::mouseClick(w->findChild<QToolButton *>(QStringLiteral("teamApplyButton")), Qt::LeftButton);
    w->action(QStringLiteral("rulesPage"))->trigger(); // auto-apply on leaving
    for (const QByteArray &t : w->stores().TeamTexts)
        QVERIFY(t.isEmpty());
    QVERIFY(w->statusText(0).startsWith(QStringLiteral("No team selected")));
}

void TestShell::openFixture()
{
    if (!QFile::exists(Continents))
        QSKIP("fixtures not present");
    w->action(QStringLiteral("mapPage"))->trigger();
    openFile(Continents);
    QCOMPARE(w->caption(), QStringLiteral("Vor4DemoMapEditor - continents-64x40.Vor4WorldBuilderSave"));
    QCOMPARE(w->currentPage(), int(MainWindow::RulesPage));
    QVERIFY(w->action(QStringLiteral("rulesPage"))->isChecked() && !w->action(QStringLiteral("mapPage"))->isChecked());
    QVERIFY(!hoverTimer(w)->isActive());
    QCOMPARE(w->statusText(0), QStringLiteral("Map ready..."));
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (64 x 40)"));
    QCOMPARE(w->statusText(2), QString());
    QCOMPARE(w->sectionPage(vor4::SectionKind::Team)->slotBox()->currentIndex(), 0);
    QCOMPARE(w->sectionPage(vor4::SectionKind::Player)->slotBox()->currentIndex(), 0);
    vor4::Document doc;
    QVERIFY(vor4::loadMapFile(Continents, doc).ok());
    bool ok = false;
    QCOMPARE(w->sectionPage(vor4::SectionKind::Game)->edit()->lines(&ok), doc.GameLines);
    QCOMPARE(w->sectionPage(vor4::SectionKind::Map)->edit()->lines(&ok), doc.MapLines);
    QByteArray team;
    QVERIFY(w->sectionPage(vor4::SectionKind::Team)->edit()->bytes(&team));
    QCOMPARE(team, doc.TeamTexts[0]);
    QVERIFY(w->sectionPage(vor4::SectionKind::Game)->edit()->isVisible());
    QCOMPARE(w->mapPage()->miniMap()->miniMapBitmap().size(), QSize(192, 120));
    QVERIFY(w->isEnabled() && w->action(QStringLiteral("open"))->isEnabled() && w->findChild<QStackedWidget *>(QStringLiteral("WorkPages"))->isEnabled());
    // Two filters: the map files first; "All files" shows every file, also
    // the names without a dot that "*.*" would hide on this system.
    const QStringList filters = dialogs->lastFilter.split(QStringLiteral(";;"));
    QCOMPARE(filters.size(), 2);
    QCOMPARE(filters[0], QStringLiteral("Vor4MapFiles (*.Vor4WorldBuilderSave)"));
    QVERIFY(filters[1].startsWith(QStringLiteral("All files (")) && filters[1].endsWith(QLatin1Char(')')));
    const QStringList patterns = filters[1].section(QLatin1Char('('), 1).chopped(1).split(QLatin1Char(' '));
    for (const char *name : {"README", "map.Vor4WorldBuilderSave", "a.b.c", "x."})
        QVERIFY2(QDir::match(patterns, QLatin1String(name)), name);
    QVERIFY(!QDir::match(QStringList{QStringLiteral("*.Vor4WorldBuilderSave")}, QStringLiteral("README")));
    w->action(QStringLiteral("saveAs"))->trigger(); // cancelled; the same filters
    QCOMPARE(dialogs->lastFilter, filters.join(QStringLiteral(";;")));

    // The next Open starts in the folder of this file; Save as proposes it.
    dialogs->openAnswers << QString();
    w->action(QStringLiteral("open"))->trigger();
    QCOMPARE(dialogs->lastOpenFolder, QFileInfo(Continents).absolutePath());
}

void TestShell::openErrors()
{
    const QString bad = dir.filePath("bad.Vor4WorldBuilderSave");
    writeFile(bad, "Version=11\r\nBeginGame\r\nA=1\r\n\r\nEndTeam\r\n");
    // The message comes while the wait cursor shows, before the minimap is
    // rendered from what was read.
    bool waiting = false;
    QSize miniMap;
    dialogs->onMessage = [&] {
        waiting = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        miniMap = w->mapPage()->miniMap()->miniMapBitmap().size();
    };
    openFile(bad);
    dialogs->onMessage = nullptr;
    QVERIFY(waiting);
    QCOMPARE(miniMap, QSize(0, 0));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QCOMPARE(dialogs->messages, QStringList{QStringLiteral("Error in map file - Line: 5")});
    QVERIFY(w->sectionPage(vor4::SectionKind::Game)->edit()->toPlainText().isEmpty());
    QCOMPARE(w->stores().GameLines, (QList<QByteArray>{"A=1"}));
    // The caption names no file, as Save has none; panel 0 keeps the error.
    QCOMPARE(w->statusText(0), QStringLiteral("Error in map file - Line: 5"));
    QCOMPARE(w->caption(), QStringLiteral("Vor4DemoMapEditor"));
    // A plain Save must not overwrite the file with the part that was read.
    w->action(QStringLiteral("save"))->trigger();
    QCOMPARE(dialogs->messages.last(), QStringLiteral("No map file is loaded!"));
    QCOMPARE(readAll(bad), QByteArray("Version=11\r\nBeginGame\r\nA=1\r\n\r\nEndTeam\r\n"));

    writeFile(bad, "BeginMap\r\nwrap X=x\r\nEndMap\r\n");
    openFile(Continents);
    openFile(bad);
    QCOMPARE(dialogs->messages.last(), QStringLiteral("'x' is not a valid integer value - Line: 2"));
    QCOMPARE(w->statusText(0), dialogs->messages.last());
    QCOMPARE(w->caption(), QStringLiteral("Vor4DemoMapEditor"));

    // A name that does not exist: said so, and the open map stays, its file
    // name too.
    openFile(Continents);
    const QString title = w->caption();
    dialogs->messages.clear();
    const QString missing = dir.filePath("missing.Vor4WorldBuilderSave");
    openFile(missing);
    QCOMPARE(dialogs->messages, QStringList{QStringLiteral("File not found: %1").arg(missing)});
    QCOMPARE(w->caption(), title);
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (64 x 40)"));
    QCOMPARE(w->stores().FileName, Continents);
}

void TestShell::loadShowsSizeAndTakesEvents()
{
    // The file is read off the window's thread, which takes the reader's
    // news meanwhile: the size panel shows the map's size as soon as its
    // lines are read, the progress text first shows 0 lines handled. The
    // stores take the map read in one step, at the end.
    const QString path = dir.filePath("slow.Vor4WorldBuilderSave");
    QByteArray bytes = "BeginMap\r\ngrid width=5\r\ngrid height=3\r\nEndMap\r\nBeginGame\r\n";
    for (int i = 0; i < 1495; ++i)
        bytes += "Line=" + QByteArray::number(i) + "\r\n";
    bytes += "EndGame\r\n"; // 1501 lines
    writeFile(path, bytes);
    QStringList progress, sizes;
    bool halfRead = false;
    connect(w->context(), &EditorContext::statusChanged, w, [&](int panel) {
        if (w->isLoading() && panel < 2)
            (panel == 0 ? progress : sizes) << w->statusText(panel);
        halfRead |= w->isLoading() && w->stores().columnCount() != 1;
    });
    openFile(path);
    QVERIFY(!halfRead);
    QCOMPARE(sizes.value(sizes.size() - 1), QStringLiteral("Map Size = (5 x 3)"));
    QCOMPARE(progress.value(0), QStringLiteral("Analyze(0/1501)"));
    static const QRegularExpression analyze(QStringLiteral("^Analyze\\((0|500|1000|1500)/1501\\)$"));
    for (const QString &text : progress)
        QVERIFY2(analyze.match(text).hasMatch(), qPrintable(text));
    QCOMPARE(w->statusText(0), QStringLiteral("Map ready..."));
}

void TestShell::notAMapIsRefused()
{
    openFile(Continents);
    QByteArray png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10\0\0\0\x10", 24);
    const QString picture = dir.filePath("picture.png");
    for (const QByteArray &bytes : {png, QByteArray()}) {
        writeFile(picture, bytes);
        dialogs->messages.clear();
        openFile(picture);
        QCOMPARE(dialogs->messages, QStringList{QStringLiteral("%1 is not a world-builder map file").arg(picture)});
        QVERIFY(w->stores().FileName.isEmpty());
        QVERIFY(w->stores().GameLines.isEmpty() && w->stores().MapLines.isEmpty());
        QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (1 x 1)"));
        QVERIFY(w->statusText(0) != QStringLiteral("Map ready..."));
        // Save has nothing to write to: the picture stays a picture.
        w->action(QStringLiteral("save"))->trigger();
        QCOMPARE(dialogs->messages.last(), QStringLiteral("No map file is loaded!"));
        QCOMPARE(readAll(picture), bytes);
    }
}

void TestShell::everySlotListed()
{
    // A map for 20 players: both selectors list all 20 slots, the editors
    // reach the last one, and Save writes them all back.
    QByteArray bytes;
    for (int i = 0; i < 20; ++i)
        bytes += "BeginTeam\r\nTeamID=" + QByteArray::number(i) + "\r\nEndTeam\r\n";
    for (int i = 0; i < 20; ++i)
        bytes += "BeginPlayer\r\nTeam=0\r\nLeaderName=L" + QByteArray::number(i) + "\r\nEndPlayer\r\n";
    const QString path = dir.filePath("twenty.Vor4WorldBuilderSave");
    writeFile(path, bytes);
    openFile(path);
    for (QComboBox *box : {w->sectionPage(vor4::SectionKind::Team)->slotBox(), w->sectionPage(vor4::SectionKind::Player)->slotBox()}) {
        QCOMPARE(box->count(), 20);
        QCOMPARE(box->itemText(19), QStringLiteral("19"));
        QCOMPARE(box->currentIndex(), 0);
    }
    w->action(QStringLiteral("playersPage"))->trigger();
    w->sectionPage(vor4::SectionKind::Player)->slotBox()->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(w->sectionPage(vor4::SectionKind::Player)->slotBox(), Qt::Key_End);
    QCOMPARE(w->sectionPage(vor4::SectionKind::Player)->slotBox()->currentIndex(), 19);
    QCOMPARE(w->sectionPage(vor4::SectionKind::Player)->edit()->toPlainText(), QStringLiteral("Team=0\nLeaderName=L19"));
    w->sectionPage(vor4::SectionKind::Player)->edit()->setFocus(Qt::MouseFocusReason);
    w->sectionPage(vor4::SectionKind::Player)->edit()->moveCursor(QTextCursor::End);
    typeInto(w->sectionPage(vor4::SectionKind::Player)->edit(), QStringLiteral("\nEdited=1"));
    QTest::mouseClick(w->findChild<QToolButton *>(QStringLiteral("playerApplyButton")), Qt::LeftButton);
    QCOMPARE(w->stores().PlayerTexts[19], QByteArray("Team=0\r\nLeaderName=L19\r\nEdited=1"));
    QCOMPARE(w->stores().PlayerTexts[0], QByteArray("Team=0\r\nLeaderName=L0"));
    w->action(QStringLiteral("save"))->trigger();
    vor4::Document back;
    QVERIFY(vor4::loadMapFile(path, back).ok());
    QCOMPARE(back.TeamTexts, w->stores().TeamTexts);
    QCOMPARE(back.PlayerTexts, w->stores().PlayerTexts);

    // New brings back the 18 slots of a new map.
    w->action(QStringLiteral("new"))->trigger();
    QCOMPARE(w->sectionPage(vor4::SectionKind::Team)->slotBox()->count(), 18);
    QCOMPARE(w->sectionPage(vor4::SectionKind::Player)->slotBox()->count(), 18);
    QCOMPARE(w->sectionPage(vor4::SectionKind::Player)->slotBox()->currentIndex(), -1);
    QCOMPARE(w->sectionPage(vor4::SectionKind::Team)->slotBox()->currentIndex(), 0);
}

void TestShell::saveStoresTheFocusedMemo()
{
    const QString path = dir.filePath("typed.Vor4WorldBuilderSave");
    QVERIFY(QFile::copy(Continents, path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    openFile(path);

    // Typed into a section memo, then Save straight away: the tool button
    // takes no focus, yet the file has the text, as leaving would store it.
    w->action(QStringLiteral("playersPage"))->trigger();
    w->sectionPage(vor4::SectionKind::Player)->edit()->setFocus(Qt::MouseFocusReason);
    w->sectionPage(vor4::SectionKind::Player)->edit()->moveCursor(QTextCursor::End);
    typeInto(w->sectionPage(vor4::SectionKind::Player)->edit(), QStringLiteral("\nTyped=1"));
    w->action(QStringLiteral("save"))->trigger();
    QVERIFY(w->sectionPage(vor4::SectionKind::Player)->edit()->hasFocus());
    QCOMPARE(w->statusText(0), QStringLiteral("File Saved"));
    vor4::Document back;
    QVERIFY(vor4::loadMapFile(path, back).ok());
    QVERIFY(back.PlayerTexts[0].endsWith("\r\nTyped=1"));

    // The plot memo likewise, through Save as.
    w->action(QStringLiteral("mapPage"))->trigger();
    const QPoint cell = w->mapPage()->grid()->cellRect(2, 3).center();
    QTest::mouseClick(w->mapPage()->grid()->viewport(), Qt::LeftButton, {}, cell);
    w->mapPage()->plotEditor()->memo()->setFocus(Qt::MouseFocusReason);
    w->mapPage()->plotEditor()->memo()->selectAll();
    typeInto(w->mapPage()->plotEditor()->memo(), QStringLiteral("TerrainType=TERRAIN_SNOW"));
    const QString copy = dir.filePath("typed-copy.Vor4WorldBuilderSave");
    dialogs->saveAnswers << copy;
    w->action(QStringLiteral("saveAs"))->trigger();
    QVERIFY(vor4::loadMapFile(copy, back).ok());
    QCOMPARE(back.PlotTexts.text(2, 3), QByteArray("TerrainType=TERRAIN_SNOW"));

    // Auto apply up: leaving would store nothing, and neither does Save.
    w->action(QStringLiteral("autoApply"))->trigger();
    w->mapPage()->plotEditor()->memo()->selectAll();
    typeInto(w->mapPage()->plotEditor()->memo(), QStringLiteral("TerrainType=TERRAIN_DESERT"));
    w->action(QStringLiteral("save"))->trigger();
    QVERIFY(vor4::loadMapFile(copy, back).ok());
    QCOMPARE(back.PlotTexts.text(2, 3), QByteArray("TerrainType=TERRAIN_SNOW"));

    // Text a map file cannot hold (set, not typed) stops the Save with the usual warning.
    w->action(QStringLiteral("autoApply"))->trigger();
    w->mapPage()->plotEditor()->memo()->insertPlainText(QString::fromUtf8("\u0141"));
    const QByteArray before = readAll(copy);
    w->setStatusText(0, QString());
    w->action(QStringLiteral("save"))->trigger();
    QTRY_COMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->messages[0].contains(QStringLiteral("cannot store")));
    QVERIFY(w->statusText(0) != QStringLiteral("File Saved"));
    QCOMPARE(readAll(copy), before);
}

void TestShell::saveSaveAsAndNew()
{
    w->action(QStringLiteral("save"))->trigger();
    QCOMPARE(dialogs->messages, QStringList{QStringLiteral("No map file is loaded!")});

    openFile(Continents);
    const QByteArray normalised = [&] {
        vor4::Document doc;
        vor4::loadMapFile(Continents, doc);
        return vor4::buildSaveFile(doc);
    }();

    // Save as: no extension, the extension in another case, another extension.
    const QString plain = dir.filePath("plain");
    dialogs->saveAnswers << plain;
    w->action(QStringLiteral("saveAs"))->trigger();
    QCOMPARE(dialogs->lastSaveProposal, Continents);
    QCOMPARE(readAll(plain + ".Vor4WorldBuilderSave"), normalised);
    QCOMPARE(w->caption(), QStringLiteral("Vor4DemoMapEditor - plain.Vor4WorldBuilderSave"));
    QCOMPARE(w->statusText(0), QStringLiteral("File Saved"));
    const QString upper = dir.filePath("UP.VOR4WORLDBUILDERSAVE");
    dialogs->saveAnswers << upper;
    w->action(QStringLiteral("saveAs"))->trigger();
    QCOMPARE(dialogs->lastSaveProposal, plain);
    QCOMPARE(readAll(upper), normalised);
    const QString txt = dir.filePath("map.txt");
    dialogs->saveAnswers << txt;
    w->action(QStringLiteral("saveAs"))->trigger();
    QVERIFY(!QFile::exists(txt));
    QCOMPARE(readAll(txt + ".Vor4WorldBuilderSave"), normalised);

    // Cancelled Save as changes nothing.
    w->action(QStringLiteral("saveAs"))->trigger();
    QCOMPARE(w->stores().FileName, txt + ".Vor4WorldBuilderSave");
    // The extended name exists: asked; No goes back to the dialog, Yes replaces.
    for (const bool yes : {false, true}) {
        QVERIFY(QFile(plain + ".Vor4WorldBuilderSave").open(QIODevice::WriteOnly));
        const QString other = dir.filePath(yes ? "other1" : "other2");
        dialogs->saveAnswers = QStringList{plain, other};
        dialogs->answers = {yes};
        dialogs->questions.clear();
        w->action(QStringLiteral("saveAs"))->trigger();
        QCOMPARE(dialogs->questions,
                 QStringList{QDir::toNativeSeparators(plain + ".Vor4WorldBuilderSave") + " already exists. Replace it?"});
        QCOMPARE(readAll(plain + ".Vor4WorldBuilderSave"), yes ? normalised : QByteArray());
        QCOMPARE(QFile::exists(other + ".Vor4WorldBuilderSave"), !yes); // No: back in the dialog
    }
    dialogs->saveAnswers.clear();

    // New gives an untitled document: Save does not overwrite the file
    // opened or saved before with an empty map, but asks for a new name.
    w->files()->setMapsDir(dir.path());
    w->action(QStringLiteral("new"))->trigger();
    QCOMPARE(w->caption(), QStringLiteral("Vor4DemoMapEditor - Untitled"));
    QVERIFY(w->stores().FileName.isEmpty());
    QVERIFY(w->sectionPage(vor4::SectionKind::Game)->edit()->toPlainText().isEmpty());
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (1 x 1)"));
    dialogs->messages.clear();
    w->action(QStringLiteral("save"))->trigger(); // asks for a name, which is not given
    QCOMPARE(dialogs->messages, QStringList());
    QCOMPARE(dialogs->lastSaveProposal, dir.filePath("Untitled.Vor4WorldBuilderSave"));
    QCOMPARE(readAll(txt + ".Vor4WorldBuilderSave"), normalised);
    // Undo of New brings the document back, and its name.
    QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w->caption(), QStringLiteral("Vor4DemoMapEditor - plain.Vor4WorldBuilderSave"));
    QCOMPARE(vor4::buildSaveFile(w->stores()), normalised);
}

void TestShell::failedSaveKeepsFile()
{
    openFile(Continents);
    const QString gone = dir.filePath("gone/map.Vor4WorldBuilderSave");
    dialogs->saveAnswers << gone;
    w->action(QStringLiteral("saveAs"))->trigger();
    QCOMPARE(dialogs->messages, QStringList{QStringLiteral("Cannot create file %1: No such file or directory").arg(gone)});
    QVERIFY(w->statusText(0) != QStringLiteral("File Saved"));
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    // A folder in the way of the file: the folder stays a folder.
    const QString blocked = dir.filePath("blocked.Vor4WorldBuilderSave");
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("blocked.Vor4WorldBuilderSave")));
    dialogs->saveAnswers << blocked;
    w->action(QStringLiteral("saveAs"))->trigger();
    QCOMPARE(dialogs->messages.last(), QStringLiteral("%1 is not an ordinary file; nothing written").arg(blocked));
    QVERIFY(QFileInfo(blocked).isDir());

#ifdef Q_OS_LINUX
    // A write that breaks off half way (a size limit, as a full disk would):
    // the old file stays whole.
    const QString kept = dir.filePath("kept.Vor4WorldBuilderSave");
    writeFile(kept, "old map\r\n");
    dialogs->saveAnswers << kept;
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 16 * 1024;
    std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    w->action(QStringLiteral("saveAs"))->trigger();
    setrlimit(RLIMIT_FSIZE, &old);
    QCOMPARE(dialogs->messages.last(),
             QStringLiteral("Cannot write %1: File too large; the previous file is left as it was").arg(kept));
    QCOMPARE(readAll(kept), QByteArray("old map\r\n"));
    QVERIFY(w->statusText(0) != QStringLiteral("File Saved"));
#endif
}

void TestShell::nonLatin1TextIsRefused()
{
    openFile(Continents);
    const QList<QByteArray> game = w->stores().GameLines;
    w->sectionPage(vor4::SectionKind::Game)->edit()->setFocus(Qt::MouseFocusReason);
    // What typing and pasting cannot bring in, setting the text can: Apply refuses it.
    w->sectionPage(vor4::SectionKind::Game)->edit()->insertPlainText(QString::fromUtf8("Name=\u0141\u00f3d\u017a"));
    QTest::mouseClick(w->findChild<QToolButton *>(QStringLiteral("rulesApplyButton")), Qt::LeftButton);
    QCOMPARE(w->stores().GameLines, game);
    QTRY_COMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->messages[0].contains(QStringLiteral("cannot store")));

    // Latin-1 characters pass through byte for byte.
    w->sectionPage(vor4::SectionKind::Game)->edit()->setPlainText(QString::fromUtf8("Name=\u00e9\u00fc\u00ff"));
    QTest::mouseClick(w->findChild<QToolButton *>(QStringLiteral("rulesApplyButton")), Qt::LeftButton);
    QCOMPARE(w->stores().GameLines, (QList<QByteArray>{QByteArray("Name=\xe9\xfc\xff")}));
}

void TestShell::memoTakesWhatAFileHolds()
{
    // What a map file cannot hold is refused as typed or pasted; Ctrl+Tab leaves the field on every page.
    openFile(Continents);
    const std::pair<QAction *, SectionMemo *> memos[] = {
        {w->action(QStringLiteral("rulesPage")), w->sectionPage(vor4::SectionKind::Game)->edit()}, {w->action(QStringLiteral("teamsPage")), w->sectionPage(vor4::SectionKind::Team)->edit()}, {w->action(QStringLiteral("playersPage")), w->sectionPage(vor4::SectionKind::Player)->edit()}, {w->action(QStringLiteral("mapPage")), w->sectionPage(vor4::SectionKind::Map)->edit()}, {w->action(QStringLiteral("mapPage")), w->mapPage()->plotEditor()->memo()}};
    for (const auto &[page, m] : memos) {
        page->trigger();
        m->clear();
        m->setFocus(Qt::MouseFocusReason);
        typeInto(m, QString::fromUtf8("a\u0141\u00e9"));
        QCOMPARE(w->statusText(0), QString::fromUtf8("Not typed: a map file cannot hold \"\u0141\" (U+0141)"));
        QApplication::clipboard()->setText(QString::fromUtf8("b\U0001F642c"));
        m->paste();
        QCOMPARE(w->statusText(0), QString::fromUtf8("Not pasted: a map file cannot hold \"\U0001F642\" (U+1F642)"));
        QTest::keyClick(m, Qt::Key_Tab, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget() ? QApplication::focusWidget() : w, "zz");
        QCOMPARE(m->toPlainText(), QString::fromUtf8("a\u00e9"));
    }
}

void TestShell::everyByteSurvivesTheMemos()
{
    // One line with every byte a file line can hold, in each section that a
    // memo edits; the plot block is the one at x=0, y=1.
    QByteArray line = "Bytes=";
    for (int b = 1; b < 256; ++b)
        if (b != '\n' && b != '\r')
            line += char(b);
    QByteArray bytes = readAll(Island);
    for (const char *after : {"BeginGame\r\n", "BeginTeam\r\n", "BeginPlayer\r\n", "BeginMap\r\n", "\tx=0,y=1\r\n"}) {
        const qsizetype at = bytes.indexOf(after);
        QVERIFY2(at >= 0, after);
        bytes.insert(at + qstrlen(after), "\t" + line + "\r\n");
    }
    const QString path = dir.filePath("bytes.Vor4WorldBuilderSave");
    writeFile(path, bytes);
    vor4::Document expected;
    QVERIFY(vor4::loadMapFile(path, expected).ok());
    const QByteArray normalised = vor4::buildSaveFile(expected);
    QCOMPARE(normalised.count(line), 5);

    openFile(path);
    QPoint plot(-1, -1);
    for (int c = 0; c < w->stores().columnCount(); ++c)
        for (int r = 0; r < w->stores().rowCount(); ++r)
            if (w->stores().PlotTexts.text(c, r).contains(line))
                plot = QPoint(c, r);
    QVERIFY(plot.x() >= 0);
    const auto clickInto = [](SectionMemo *memo) {
        QTest::mouseClick(memo->viewport(), Qt::LeftButton, {}, QPoint(4, 4));
        QVERIFY(memo->hasFocus());
    };
    const auto press = [this](const char *button) {
        QTest::mouseClick(w->findChild<QToolButton *>(QLatin1String(button)), Qt::LeftButton);
    };

    // Once with the Apply buttons, once by leaving each memo with auto-apply.
    for (const bool autoApply : {false, true}) {
        if (w->action(QStringLiteral("autoApply"))->isChecked() != autoApply)
            w->action(QStringLiteral("autoApply"))->trigger();
        if (!w->action(QStringLiteral("rulesPage"))->isChecked())
            w->action(QStringLiteral("rulesPage"))->trigger();
        clickInto(w->sectionPage(vor4::SectionKind::Game)->edit());
        if (!autoApply)
            press("rulesApplyButton");
        w->action(QStringLiteral("teamsPage"))->trigger();
        clickInto(w->sectionPage(vor4::SectionKind::Team)->edit());
        if (!autoApply)
            press("teamApplyButton");
        w->action(QStringLiteral("playersPage"))->trigger();
        clickInto(w->sectionPage(vor4::SectionKind::Player)->edit());
        if (!autoApply)
            press("playerApplyButton");
        w->action(QStringLiteral("mapPage"))->trigger();
        QTest::mouseClick(w->mapPage()->grid()->viewport(), Qt::LeftButton, {},
                          w->mapPage()->grid()->cellRect(plot.x(), plot.y()).center());
        clickInto(w->sectionPage(vor4::SectionKind::Map)->edit());
        if (!autoApply)
            press("mapHeaderApplyButton");
        clickInto(w->mapPage()->plotEditor()->memo());
        if (!autoApply)
            press("PlotApplyButton");
        clickInto(w->sectionPage(vor4::SectionKind::Map)->edit());

        QCOMPARE(w->stores().GameLines, expected.GameLines);
        QCOMPARE(w->stores().TeamTexts[0], expected.TeamTexts[0]);
        QCOMPARE(w->stores().PlayerTexts[0], expected.PlayerTexts[0]);
        QCOMPARE(w->stores().MapLines, expected.MapLines);
        QCOMPARE(w->stores().PlotTexts.text(plot.x(), plot.y()), expected.PlotTexts.text(plot.x(), plot.y()));
    }
    w->action(QStringLiteral("save"))->trigger();
    QCOMPARE(w->statusText(0), QStringLiteral("File Saved"));
    QCOMPARE(readAll(path), normalised);
    QVERIFY(dialogs->messages.isEmpty());
}

void TestShell::commandsWaitForTheLoad()
{
    // While the file is read the window takes events, every command that
    // would change the stores waits, and closing the window only ends the load.
    const QString big = dir.filePath("big.Vor4WorldBuilderSave");
    QByteArray bytes = "BeginGame\r\n";
    for (int i = 0; i < 3000; ++i)
        bytes += "Line=" + QByteArray::number(i) + "\r\n";
    bytes += "EndGame\r\n";
    writeFile(big, bytes);
    bool checked = false;
    connect(w->context(), &EditorContext::statusChanged, w, [&](int panel) {
        if (checked || panel != 0 || !w->statusText(0).startsWith(QStringLiteral("Analyze(")))
            return;
        checked = true;
        QVERIFY(w->isLoading());
        QVERIFY(!w->action(QStringLiteral("open"))->isEnabled() && !w->action(QStringLiteral("new"))->isEnabled() && !w->action(QStringLiteral("save"))->isEnabled());
        QVERIFY(!w->action(QStringLiteral("rulesPage"))->isEnabled() && !w->findChild<QStackedWidget *>(QStringLiteral("WorkPages"))->isEnabled());
        QVERIFY(!w->regions()->action(RegionActions::RotateClockwise)->isEnabled() && !w->mapContentsWindow()->isEnabled());
        w->close();
    });
    openFile(big);
    QVERIFY(checked);
    QVERIFY(!w->isLoading());
    QVERIFY(!w->isVisible());
    QVERIFY(dialogs->messages.isEmpty());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void TestShell::aboutBox()
{
    AboutBox *box = w->aboutBox();
    w->action(QStringLiteral("about"))->trigger();
    QVERIFY(box->isVisible());
    QCOMPARE(box->windowTitle(), QStringLiteral("About"));
    QCOMPARE(box->versionLabel()->text(), QStringLiteral("Version 1.2.1.0"));
    QCOMPARE(box->productLabel()->text(), QStringLiteral("Vor4 Map Editor"));
    QCOMPARE(box->pages()->currentIndex(), 0);
    const char *pictures[] = {"programIcon", "gamePicture", "blankPicture", "toolkitPicture"};
    for (int i = 0; i < 4; ++i) {
        auto *picture = box->findChild<QLabel *>(QLatin1String(pictures[i]));
        QVERIFY(picture);
        QCOMPARE(box->pages()->currentIndex(), i);
        QTest::mouseClick(picture, Qt::LeftButton);
    }
    QCOMPARE(box->pages()->currentIndex(), 0);
    QTest::mouseClick(box->findChild<QLabel *>(QStringLiteral("programIcon")), Qt::LeftButton);
    QTest::mouseClick(box->findChild<QLabel *>(QStringLiteral("gamePicture")), Qt::LeftButton);
    QCOMPARE(box->pages()->currentIndex(), 2);
    w->action(QStringLiteral("about"))->trigger(); // already open: keeps its page
    QCOMPARE(box->pages()->currentIndex(), 2);
    QTest::keyClick(box, Qt::Key_Escape);
    QVERIFY(box->isVisible());
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(!box->isVisible());
    w->action(QStringLiteral("about"))->trigger();
    QCOMPARE(box->pages()->currentIndex(), 0);
}

void TestShell::aboutBoxPlacementAndTexts()
{
    AboutBox *box = w->aboutBox();
    // In the centre of the screen, wherever the main window is.
    w->move(300, 200);
    w->action(QStringLiteral("about"))->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(box));
    const QPoint off = box->geometry().center() - box->screen()->geometry().center();
    QVERIFY2(off.manhattanLength() <= 2, qPrintable(QStringLiteral("%1,%2").arg(off.x()).arg(off.y())));

    // Only a left click on a picture turns the page.
    auto *icon = box->findChild<QLabel *>(QStringLiteral("programIcon"));
    QTest::mouseClick(icon, Qt::RightButton);
    QTest::mouseClick(icon, Qt::MiddleButton);
    QCOMPARE(box->pages()->currentIndex(), 0);

    // Every text fits its box at the default font, inside the bevel.
    int texts = 0;
    for (int i = 0; i < box->pages()->count(); ++i) {
        QWidget *page = box->pages()->widget(i);
        const QRect inner = page->rect().adjusted(7, 7, -7, -7);
        for (QLabel *label : page->findChildren<QLabel *>()) {
            if (label->text().isEmpty())
                continue;
            ++texts;
            const QRect at(label->mapTo(page, QPoint(0, 0)), label->size());
            QVERIFY2(inner.contains(at), qPrintable(label->text()));
            const QSize needed = label->wordWrap() ? QSize(label->width(), label->heightForWidth(label->width()))
                                                   : label->sizeHint();
            QVERIFY2(needed.width() <= at.width() && needed.height() <= at.height(), qPrintable(label->text()));
        }
    }
    QCOMPARE(texts, 6);
}

void TestShell::toolBarsHaveNoMenu()
{
    // No right click on the main tool bars offers to hide them.
    int menus = 0;
    const auto closeMenu = [&menus] {
        if (QWidget *popup = QApplication::activePopupWidget()) {
            ++menus;
            popup->close();
        }
    };
    for (QWidget *target : {static_cast<QWidget *>(w->findChild<QToolBar *>(QStringLiteral("FileToolBar"))), w->findChild<QToolBar *>(QStringLiteral("PageToolBar"))->widgetForAction(w->action(QStringLiteral("rulesPage"))),
                            w->findChild<QToolBar *>(QStringLiteral("AutoApplyToolBar"))->widgetForAction(w->action(QStringLiteral("autoApply")))}) {
        QTimer::singleShot(50, closeMenu); // in case a menu would run its own loop
        const QPoint at = target->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
        QSpontaneKeyEvent::setSpontaneous(&event);
        qApp->notify(target, &event);
        closeMenu();
        QTest::qWait(60);
    }
    QCOMPARE(menus, 0);
    for (QToolBar *bar : {w->findChild<QToolBar *>(QStringLiteral("FileToolBar")), w->findChild<QToolBar *>(QStringLiteral("PageToolBar")), w->findChild<QToolBar *>(QStringLiteral("AutoApplyToolBar"))})
        QVERIFY(bar->isVisible());
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
