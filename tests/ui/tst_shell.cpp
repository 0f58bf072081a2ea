#include "FakeDialogs.h"
#include "MapGrid.h"
#include "MapReader.h"
#include "MapWriter.h"
#include "SectionMemo.h"
#include "AboutBox.h"
#include "MainWindow.h"
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
    QTest::mouseClick(w->OpenBtn, Qt::LeftButton);
}

void TestShell::startUpState()
{
    QCOMPARE(w->caption(), QStringLiteral("Vor4DemoMapEditor"));
    QCOMPARE(w->statusText(0), QString());
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (1 x 1)"));
    QCOMPARE(w->statusText(2), QString());
    QCOMPARE(w->WorkPages->currentIndex(), int(MainWindow::TitlePage));
    for (QToolButton *b : {w->RuleBtn, w->TeamBtn, w->PlayerBtn, w->MapBtn}) {
        QVERIFY(!b->isChecked());
        QCOMPARE(b->focusPolicy(), Qt::NoFocus);
    }
    QVERIFY(w->AutoApplyBtn->isChecked());
    QVERIFY(!w->CatchMapTimer->isActive());
    QVERIFY(w->ActiveMemo == nullptr);
    QCOMPARE(w->TeamComboBox->currentIndex(), -1);
    // Hints name their shortcuts.
    QCOMPARE(w->NewBtn->toolTip(), QStringLiteral("New (Ctrl+N)"));
    QCOMPARE(w->SaveAsBtn->toolTip(), QStringLiteral("Save as... (Ctrl+Shift+S)"));
    QCOMPARE(w->MapBtn->toolTip(), QStringLiteral("Map Editor (Alt+4)"));
    QCOMPARE(w->AutoApplyBtn->toolTip(), QStringLiteral("Auto apply changes: store a text field when it is left (Ctrl+Shift+A)"));
    QCOMPARE(w->Doc.columnCount(), 1);
    QCOMPARE(w->MiniMapBitmap.size(), QSize(0, 0));
}

void TestShell::pageButtonsGroup()
{
    QTest::mouseClick(w->TeamBtn, Qt::LeftButton);
    QCOMPARE(w->WorkPages->currentIndex(), int(MainWindow::TeamsPage));
    QVERIFY(w->TeamBtn->isChecked());
    QVERIFY(w->ActiveMemo == w->DMemo);
    QTest::mouseClick(w->MapBtn, Qt::LeftButton);
    QCOMPARE(w->WorkPages->currentIndex(), int(MainWindow::MapPage));
    QVERIFY(w->MapBtn->isChecked() && !w->TeamBtn->isChecked());
    QVERIFY(w->CatchMapTimer->isActive());
    QVERIFY(w->ActiveMemo == w->MMemo);

    // Clicking the button that is down raises it; the page stays.
    QTest::mouseClick(w->MapBtn, Qt::LeftButton);
    QCOMPARE(w->WorkPages->currentIndex(), int(MainWindow::MapPage));
    for (QToolButton *b : {w->RuleBtn, w->TeamBtn, w->PlayerBtn, w->MapBtn})
        QVERIFY(!b->isChecked());
    QTest::mouseClick(w->MapBtn, Qt::LeftButton);
    QVERIFY(w->MapBtn->isChecked());
    QCOMPARE(w->WorkPages->currentIndex(), int(MainWindow::MapPage));

    w->setStatusText(2, QStringLiteral("Current cell = (1 ,1)"));
    QTest::mouseClick(w->RuleBtn, Qt::LeftButton);
    QVERIFY(!w->CatchMapTimer->isActive());
    QCOMPARE(w->statusText(2), QString());
    QVERIFY(w->ActiveMemo == w->GMemo);
}

void TestShell::autoApplyIntoThePageLeft()
{
    openFile(Continents);
    const QList<QByteArray> game = w->Doc.GameLines;
    // Rules page: type into GMemo and switch to the teams page.
    w->GMemo->setFocus(Qt::MouseFocusReason);
    w->GMemo->moveCursor(QTextCursor::End);
    typeInto(w->GMemo, QStringLiteral("\nNewRule=1"));
    QTest::mouseClick(w->TeamBtn, Qt::LeftButton);
    QCOMPARE(w->Doc.GameLines, game + QList<QByteArray>{"NewRule=1"});

    // Teams page: the edit goes to the team row, never to the players.
    const auto players = w->Doc.PlayerTexts;
    w->DMemo->setFocus(Qt::MouseFocusReason);
    w->DMemo->selectAll();
    typeInto(w->DMemo, QStringLiteral("TeamID=0\nEdited=1"));
    QTest::mouseClick(w->PlayerBtn, Qt::LeftButton);
    QCOMPARE(w->Doc.TeamTexts[0], QByteArray("TeamID=0\r\nEdited=1"));
    QVERIFY(w->Doc.PlayerTexts == players);

    // With auto-apply off the store keeps its text; the memo keeps the edit.
    QTest::mouseClick(w->AutoApplyBtn, Qt::LeftButton);
    QVERIFY(!w->AutoApplyBtn->isChecked());
    w->PMemo->setFocus(Qt::MouseFocusReason);
    typeInto(w->PMemo, QStringLiteral("Lost=1"));
    QTest::mouseClick(w->RuleBtn, Qt::LeftButton);
    QCOMPARE(w->Doc.PlayerTexts, players);
    QVERIFY(w->PMemo->toPlainText().contains(QStringLiteral("Lost=1")));
}

void TestShell::selectorChangeAppliesToOldRow()
{
    openFile(Continents);
    QTest::mouseClick(w->TeamBtn, Qt::LeftButton);
    w->DMemo->setFocus(Qt::MouseFocusReason);
    w->DMemo->selectAll();
    typeInto(w->DMemo, QStringLiteral("Row0=edited"));
    // Clicking the selector takes the focus first; then the entry is chosen.
    QTest::mouseClick(w->TeamComboBox, Qt::LeftButton);
    w->TeamComboBox->hidePopup();
    QVERIFY(w->TeamComboBox->hasFocus());
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(w->TeamComboBox, Qt::Key_Down);
    QCOMPARE(w->TeamComboBox->currentIndex(), 5);
    QCOMPARE(w->Doc.TeamTexts[0], QByteArray("Row0=edited"));
    QCOMPARE(w->DMemo->toPlainText().toLatin1(), QByteArray(w->Doc.TeamTexts[5]).replace("\r\n", "\n"));
}

void TestShell::windowSwitchIsNoExit()
{
    openFile(Continents);
    const QList<QByteArray> game = w->Doc.GameLines;
    w->GMemo->setFocus(Qt::MouseFocusReason);
    typeInto(w->GMemo, QStringLiteral("X"));
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(w->GMemo, &out);
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(w->GMemo, &popup);
    QCOMPARE(w->Doc.GameLines, game);
    // Save does not take the focus: the memo's edit is not in the file yet.
    QVERIFY(w->GMemo->hasFocus());
}

void TestShell::applyRecallClearOnEveryPage()
{
    openFile(Continents);
    struct Case { QToolButton *page; SectionMemo *memo; const char *apply, *recall, *clear; };
    const Case cases[] = {
        {w->RuleBtn, w->GMemo, "ToolButton21", "ToolButton22", "ToolButton23"},
        {w->TeamBtn, w->DMemo, "ToolButton17", "ToolButton18", "ToolButton19"},
        {w->PlayerBtn, w->PMemo, "ToolButton13", "ToolButton14", "ToolButton15"},
        {w->MapBtn, w->MMemo, "ToolButton1", "ToolButton28", "ToolButton29"},
    };
    QTest::mouseClick(w->AutoApplyBtn, Qt::LeftButton); // off: only the buttons store
    for (const Case &c : cases) {
        QTest::mouseClick(c.page, Qt::LeftButton);
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
        QCOMPARE(c.memo->toPlainText(), QStringLiteral("  a=1\nb=2") + (c.page == w->TeamBtn || c.page == w->PlayerBtn ? QStringLiteral("\n") : QString()));
    }
    QCOMPARE(w->Doc.GameLines, (QList<QByteArray>{"  a=1", "b=2"}));
    QCOMPARE(w->Doc.MapLines, (QList<QByteArray>{"  a=1", "b=2"}));
    QCOMPARE(w->Doc.TeamTexts[0], QByteArray("  a=1\r\nb=2\r\n"));
    QCOMPARE(w->Doc.PlayerTexts[0], QByteArray("  a=1\r\nb=2\r\n"));

    // An emptied map-lines memo applied leaves the store empty.
    QTest::mouseClick(w->findChild<QToolButton *>(QStringLiteral("ToolButton29")), Qt::LeftButton);
    QTest::mouseClick(w->findChild<QToolButton *>(QStringLiteral("ToolButton1")), Qt::LeftButton);
    QVERIFY(w->Doc.MapLines.isEmpty());
}

void TestShell::noSelectedRowKeepsStores()
{
    QTest::mouseClick(w->TeamBtn, Qt::LeftButton);
    w->DMemo->setFocus(Qt::MouseFocusReason);
    typeInto(w->DMemo, QStringLiteral("Orphan=1"));
    QTest::mouseClick(w->findChild<QToolButton *>(QStringLiteral("ToolButton17")), Qt::LeftButton);
    QTest::mouseClick(w->RuleBtn, Qt::LeftButton); // auto-apply on leaving
    for (const QByteArray &t : w->Doc.TeamTexts)
        QVERIFY(t.isEmpty());
    QVERIFY(w->statusText(0).startsWith(QStringLiteral("No team selected")));
}

void TestShell::openFixture()
{
    if (!QFile::exists(Continents))
        QSKIP("fixtures not present");
    QTest::mouseClick(w->MapBtn, Qt::LeftButton);
    openFile(Continents);
    QCOMPARE(w->caption(), QStringLiteral("Vor4DemoMapEditor - continents-64x40.Vor4WorldBuilderSave"));
    QCOMPARE(w->WorkPages->currentIndex(), int(MainWindow::RulesPage));
    QVERIFY(w->RuleBtn->isChecked() && !w->MapBtn->isChecked());
    QVERIFY(!w->CatchMapTimer->isActive());
    QCOMPARE(w->statusText(0), QStringLiteral("Map ready..."));
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (64 x 40)"));
    QCOMPARE(w->statusText(2), QString());
    QCOMPARE(w->TeamComboBox->currentIndex(), 0);
    QCOMPARE(w->PlayerComboBox->currentIndex(), 0);
    vor4::Document doc;
    QVERIFY(vor4::loadMapFile(Continents, doc).ok());
    bool ok = false;
    QCOMPARE(w->GMemo->lines(&ok), doc.GameLines);
    QCOMPARE(w->MMemo->lines(&ok), doc.MapLines);
    QByteArray team;
    QVERIFY(w->DMemo->bytes(&team));
    QCOMPARE(team, doc.TeamTexts[0]);
    QVERIFY(w->ActiveMemo == w->GMemo);
    QCOMPARE(w->MiniMapBitmap.size(), QSize(192, 120));
    QVERIFY(w->isEnabled() && w->OpenBtn->isEnabled() && w->WorkPages->isEnabled());
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
    QTest::mouseClick(w->SaveAsBtn, Qt::LeftButton); // cancelled; the same filters
    QCOMPARE(dialogs->lastFilter, filters.join(QStringLiteral(";;")));

    // The next Open starts in the folder of this file; Save as proposes it.
    dialogs->openAnswers << QString();
    QTest::mouseClick(w->OpenBtn, Qt::LeftButton);
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
        miniMap = w->MiniMapBitmap.size();
    };
    openFile(bad);
    dialogs->onMessage = nullptr;
    QVERIFY(waiting);
    QCOMPARE(miniMap, QSize(0, 0));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QCOMPARE(dialogs->messages, QStringList{QStringLiteral("Error in map file - Line: 5")});
    QVERIFY(w->GMemo->toPlainText().isEmpty());
    QCOMPARE(w->Doc.GameLines, (QList<QByteArray>{"A=1"}));
    // The caption names no file, as Save has none; panel 0 keeps the error.
    QCOMPARE(w->statusText(0), QStringLiteral("Error in map file - Line: 5"));
    QCOMPARE(w->caption(), QStringLiteral("Vor4DemoMapEditor"));
    // A plain Save must not overwrite the file with the part that was read.
    QTest::mouseClick(w->SaveBtn, Qt::LeftButton);
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
    QCOMPARE(w->Doc.FileName, Continents);
}

void TestShell::loadShowsSizeAndTakesEvents()
{
    // The message loop runs at every 500th line; the size panel shows the
    // map's size as soon as its lines are read, the progress text first
    // shows 0 lines handled.
    const QString path = dir.filePath("slow.Vor4WorldBuilderSave");
    QByteArray bytes = "BeginMap\r\ngrid width=5\r\ngrid height=3\r\nEndMap\r\nBeginGame\r\n";
    for (int i = 0; i < 1495; ++i)
        bytes += "Line=" + QByteArray::number(i) + "\r\n";
    bytes += "EndGame\r\n"; // 1501 lines
    writeFile(path, bytes);
    QStringList progress, sizes;
    QTimer watch;
    watch.setInterval(0);
    connect(&watch, &QTimer::timeout, w, [&] {
        progress << w->statusText(0);
        sizes << w->statusText(1);
    });
    watch.start();
    openFile(path);
    watch.stop();
    QCOMPARE(sizes, (QStringList{"Map Size = (1 x 1)", "Map Size = (5 x 3)", "Map Size = (5 x 3)",
                                 "Map Size = (5 x 3)"}));
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
        QVERIFY(w->Doc.FileName.isEmpty());
        QVERIFY(w->Doc.GameLines.isEmpty() && w->Doc.MapLines.isEmpty());
        QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (1 x 1)"));
        QVERIFY(w->statusText(0) != QStringLiteral("Map ready..."));
        // Save has nothing to write to: the picture stays a picture.
        QTest::mouseClick(w->SaveBtn, Qt::LeftButton);
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
    for (QComboBox *box : {w->TeamComboBox, w->PlayerComboBox}) {
        QCOMPARE(box->count(), 20);
        QCOMPARE(box->itemText(19), QStringLiteral("19"));
        QCOMPARE(box->currentIndex(), 0);
    }
    QTest::mouseClick(w->PlayerBtn, Qt::LeftButton);
    w->PlayerComboBox->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(w->PlayerComboBox, Qt::Key_End);
    QCOMPARE(w->PlayerComboBox->currentIndex(), 19);
    QCOMPARE(w->PMemo->toPlainText(), QStringLiteral("Team=0\nLeaderName=L19"));
    w->PMemo->setFocus(Qt::MouseFocusReason);
    w->PMemo->moveCursor(QTextCursor::End);
    typeInto(w->PMemo, QStringLiteral("\nEdited=1"));
    QTest::mouseClick(w->findChild<QToolButton *>(QStringLiteral("ToolButton13")), Qt::LeftButton);
    QCOMPARE(w->Doc.PlayerTexts[19], QByteArray("Team=0\r\nLeaderName=L19\r\nEdited=1"));
    QCOMPARE(w->Doc.PlayerTexts[0], QByteArray("Team=0\r\nLeaderName=L0"));
    QTest::mouseClick(w->SaveBtn, Qt::LeftButton);
    vor4::Document back;
    QVERIFY(vor4::loadMapFile(path, back).ok());
    QCOMPARE(back.TeamTexts, w->Doc.TeamTexts);
    QCOMPARE(back.PlayerTexts, w->Doc.PlayerTexts);

    // New brings back the 18 slots of a new map.
    QTest::mouseClick(w->NewBtn, Qt::LeftButton);
    QCOMPARE(w->TeamComboBox->count(), 18);
    QCOMPARE(w->PlayerComboBox->count(), 18);
    QCOMPARE(w->PlayerComboBox->currentIndex(), -1);
    QCOMPARE(w->TeamComboBox->currentIndex(), 0);
}

void TestShell::saveStoresTheFocusedMemo()
{
    const QString path = dir.filePath("typed.Vor4WorldBuilderSave");
    QVERIFY(QFile::copy(Continents, path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    openFile(path);

    // Typed into a section memo, then Save straight away: the tool button
    // takes no focus, yet the file has the text, as leaving would store it.
    QTest::mouseClick(w->PlayerBtn, Qt::LeftButton);
    w->PMemo->setFocus(Qt::MouseFocusReason);
    w->PMemo->moveCursor(QTextCursor::End);
    typeInto(w->PMemo, QStringLiteral("\nTyped=1"));
    QTest::mouseClick(w->SaveBtn, Qt::LeftButton);
    QVERIFY(w->PMemo->hasFocus());
    QCOMPARE(w->statusText(0), QStringLiteral("File Saved"));
    vor4::Document back;
    QVERIFY(vor4::loadMapFile(path, back).ok());
    QVERIFY(back.PlayerTexts[0].endsWith("\r\nTyped=1"));

    // The plot memo likewise, through Save as.
    QTest::mouseClick(w->MapBtn, Qt::LeftButton);
    const QPoint cell = w->DrawGrid->cellRect(2, 3).center();
    QTest::mouseClick(w->DrawGrid->viewport(), Qt::LeftButton, {}, cell);
    w->Memo->setFocus(Qt::MouseFocusReason);
    w->Memo->selectAll();
    typeInto(w->Memo, QStringLiteral("TerrainType=TERRAIN_SNOW"));
    const QString copy = dir.filePath("typed-copy.Vor4WorldBuilderSave");
    dialogs->saveAnswers << copy;
    QTest::mouseClick(w->SaveAsBtn, Qt::LeftButton);
    QVERIFY(vor4::loadMapFile(copy, back).ok());
    QCOMPARE(back.PlotTexts.text(2, 3), QByteArray("TerrainType=TERRAIN_SNOW"));

    // Auto apply up: leaving would store nothing, and neither does Save.
    QTest::mouseClick(w->AutoApplyBtn, Qt::LeftButton);
    w->Memo->selectAll();
    typeInto(w->Memo, QStringLiteral("TerrainType=TERRAIN_DESERT"));
    QTest::mouseClick(w->SaveBtn, Qt::LeftButton);
    QVERIFY(vor4::loadMapFile(copy, back).ok());
    QCOMPARE(back.PlotTexts.text(2, 3), QByteArray("TerrainType=TERRAIN_SNOW"));

    // Text a map file cannot hold (set, not typed) stops the Save with the usual warning.
    QTest::mouseClick(w->AutoApplyBtn, Qt::LeftButton);
    w->Memo->insertPlainText(QString::fromUtf8("\u0141"));
    const QByteArray before = readAll(copy);
    w->setStatusText(0, QString());
    QTest::mouseClick(w->SaveBtn, Qt::LeftButton);
    QTRY_COMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->messages[0].contains(QStringLiteral("cannot store")));
    QVERIFY(w->statusText(0) != QStringLiteral("File Saved"));
    QCOMPARE(readAll(copy), before);
}

void TestShell::saveSaveAsAndNew()
{
    QTest::mouseClick(w->SaveBtn, Qt::LeftButton);
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
    QTest::mouseClick(w->SaveAsBtn, Qt::LeftButton);
    QCOMPARE(dialogs->lastSaveProposal, Continents);
    QCOMPARE(readAll(plain + ".Vor4WorldBuilderSave"), normalised);
    QCOMPARE(w->caption(), QStringLiteral("Vor4DemoMapEditor - plain.Vor4WorldBuilderSave"));
    QCOMPARE(w->statusText(0), QStringLiteral("File Saved"));
    const QString upper = dir.filePath("UP.VOR4WORLDBUILDERSAVE");
    dialogs->saveAnswers << upper;
    QTest::mouseClick(w->SaveAsBtn, Qt::LeftButton);
    QCOMPARE(dialogs->lastSaveProposal, plain);
    QCOMPARE(readAll(upper), normalised);
    const QString txt = dir.filePath("map.txt");
    dialogs->saveAnswers << txt;
    QTest::mouseClick(w->SaveAsBtn, Qt::LeftButton);
    QVERIFY(!QFile::exists(txt));
    QCOMPARE(readAll(txt + ".Vor4WorldBuilderSave"), normalised);

    // Cancelled Save as changes nothing.
    QTest::mouseClick(w->SaveAsBtn, Qt::LeftButton);
    QCOMPARE(w->Doc.FileName, txt + ".Vor4WorldBuilderSave");
    // The extended name exists: asked; No goes back to the dialog, Yes replaces.
    for (const bool yes : {false, true}) {
        QVERIFY(QFile(plain + ".Vor4WorldBuilderSave").open(QIODevice::WriteOnly));
        const QString other = dir.filePath(yes ? "other1" : "other2");
        dialogs->saveAnswers = QStringList{plain, other};
        dialogs->answers = {yes};
        dialogs->questions.clear();
        QTest::mouseClick(w->SaveAsBtn, Qt::LeftButton);
        QCOMPARE(dialogs->questions,
                 QStringList{QDir::toNativeSeparators(plain + ".Vor4WorldBuilderSave") + " already exists. Replace it?"});
        QCOMPARE(readAll(plain + ".Vor4WorldBuilderSave"), yes ? normalised : QByteArray());
        QCOMPARE(QFile::exists(other + ".Vor4WorldBuilderSave"), !yes); // No: back in the dialog
    }
    dialogs->saveAnswers.clear();

    // New gives an untitled document: Save does not overwrite the file
    // opened or saved before with an empty map, but asks for a new name.
    w->MapsDir = dir.path();
    QTest::mouseClick(w->NewBtn, Qt::LeftButton);
    QCOMPARE(w->caption(), QStringLiteral("Vor4DemoMapEditor - Untitled"));
    QVERIFY(w->Doc.FileName.isEmpty());
    QVERIFY(w->GMemo->toPlainText().isEmpty());
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (1 x 1)"));
    dialogs->messages.clear();
    QTest::mouseClick(w->SaveBtn, Qt::LeftButton); // asks for a name, which is not given
    QCOMPARE(dialogs->messages, QStringList());
    QCOMPARE(dialogs->lastSaveProposal, dir.filePath("Untitled.Vor4WorldBuilderSave"));
    QCOMPARE(readAll(txt + ".Vor4WorldBuilderSave"), normalised);
    // Undo of New brings the document back, and its name.
    QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w->caption(), QStringLiteral("Vor4DemoMapEditor - plain.Vor4WorldBuilderSave"));
    QCOMPARE(vor4::buildSaveFile(w->Doc), normalised);
}

void TestShell::failedSaveKeepsFile()
{
    openFile(Continents);
    const QString gone = dir.filePath("gone/map.Vor4WorldBuilderSave");
    dialogs->saveAnswers << gone;
    QTest::mouseClick(w->SaveAsBtn, Qt::LeftButton);
    QCOMPARE(dialogs->messages, QStringList{QStringLiteral("Cannot create file %1").arg(gone)});
    QVERIFY(w->statusText(0) != QStringLiteral("File Saved"));
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    // A folder in the way of the file: the folder stays a folder.
    const QString blocked = dir.filePath("blocked.Vor4WorldBuilderSave");
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("blocked.Vor4WorldBuilderSave")));
    dialogs->saveAnswers << blocked;
    QTest::mouseClick(w->SaveAsBtn, Qt::LeftButton);
    QCOMPARE(dialogs->messages.last(), QStringLiteral("Cannot create file %1").arg(blocked));
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
    QTest::mouseClick(w->SaveAsBtn, Qt::LeftButton);
    setrlimit(RLIMIT_FSIZE, &old);
    QCOMPARE(dialogs->messages.last(), QStringLiteral("Stream write error"));
    QCOMPARE(readAll(kept), QByteArray("old map\r\n"));
    QVERIFY(w->statusText(0) != QStringLiteral("File Saved"));
#endif
}

void TestShell::nonLatin1TextIsRefused()
{
    openFile(Continents);
    const QList<QByteArray> game = w->Doc.GameLines;
    w->GMemo->setFocus(Qt::MouseFocusReason);
    // What typing and pasting cannot bring in, setting the text can: Apply refuses it.
    w->GMemo->insertPlainText(QString::fromUtf8("Name=\u0141\u00f3d\u017a"));
    QTest::mouseClick(w->findChild<QToolButton *>(QStringLiteral("ToolButton21")), Qt::LeftButton);
    QCOMPARE(w->Doc.GameLines, game);
    QTRY_COMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->messages[0].contains(QStringLiteral("cannot store")));

    // Latin-1 characters pass through byte for byte.
    w->GMemo->setPlainText(QString::fromUtf8("Name=\u00e9\u00fc\u00ff"));
    QTest::mouseClick(w->findChild<QToolButton *>(QStringLiteral("ToolButton21")), Qt::LeftButton);
    QCOMPARE(w->Doc.GameLines, (QList<QByteArray>{QByteArray("Name=\xe9\xfc\xff")}));
}

void TestShell::memoTakesWhatAFileHolds()
{
    // What a map file cannot hold is refused as typed or pasted; Ctrl+Tab leaves the field on every page.
    openFile(Continents);
    const std::pair<QToolButton *, SectionMemo *> memos[] = {
        {w->RuleBtn, w->GMemo}, {w->TeamBtn, w->DMemo}, {w->PlayerBtn, w->PMemo}, {w->MapBtn, w->MMemo}, {w->MapBtn, w->Memo}};
    for (const auto &[page, m] : memos) {
        QTest::mouseClick(page, Qt::LeftButton);
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
    for (int c = 0; c < w->Doc.columnCount(); ++c)
        for (int r = 0; r < w->Doc.rowCount(); ++r)
            if (w->Doc.PlotTexts.text(c, r).contains(line))
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
        if (w->AutoApplyBtn->isChecked() != autoApply)
            QTest::mouseClick(w->AutoApplyBtn, Qt::LeftButton);
        if (!w->RuleBtn->isChecked())
            QTest::mouseClick(w->RuleBtn, Qt::LeftButton);
        clickInto(w->GMemo);
        if (!autoApply)
            press("ToolButton21");
        QTest::mouseClick(w->TeamBtn, Qt::LeftButton);
        clickInto(w->DMemo);
        if (!autoApply)
            press("ToolButton17");
        QTest::mouseClick(w->PlayerBtn, Qt::LeftButton);
        clickInto(w->PMemo);
        if (!autoApply)
            press("ToolButton13");
        QTest::mouseClick(w->MapBtn, Qt::LeftButton);
        QTest::mouseClick(w->DrawGrid->viewport(), Qt::LeftButton, {},
                          w->DrawGrid->cellRect(plot.x(), plot.y()).center());
        clickInto(w->MMemo);
        if (!autoApply)
            press("ToolButton1");
        clickInto(w->Memo);
        if (!autoApply)
            press("MapApplyBtn");
        clickInto(w->MMemo);

        QCOMPARE(w->Doc.GameLines, expected.GameLines);
        QCOMPARE(w->Doc.TeamTexts[0], expected.TeamTexts[0]);
        QCOMPARE(w->Doc.PlayerTexts[0], expected.PlayerTexts[0]);
        QCOMPARE(w->Doc.MapLines, expected.MapLines);
        QCOMPARE(w->Doc.PlotTexts.text(plot.x(), plot.y()), expected.PlotTexts.text(plot.x(), plot.y()));
    }
    QTest::mouseClick(w->SaveBtn, Qt::LeftButton);
    QCOMPARE(w->statusText(0), QStringLiteral("File Saved"));
    QCOMPARE(readAll(path), normalised);
    QVERIFY(dialogs->messages.isEmpty());
}

void TestShell::commandsWaitForTheLoad()
{
    // A load lets events in: while it runs, nothing may replace the stores,
    // and closing the window only ends the load.
    const QString big = dir.filePath("big.Vor4WorldBuilderSave");
    QByteArray bytes = "BeginGame\r\n";
    for (int i = 0; i < 3000; ++i)
        bytes += "Line=" + QByteArray::number(i) + "\r\n";
    bytes += "EndGame\r\n";
    writeFile(big, bytes);
    bool checked = false;
    QTimer::singleShot(0, w, [&] {
        checked = true;
        QVERIFY(w->isLoading());
        QVERIFY(!w->OpenBtn->isEnabled() && !w->NewBtn->isEnabled() && !w->SaveBtn->isEnabled());
        QVERIFY(!w->RuleBtn->isEnabled() && !w->WorkPages->isEnabled());
        w->NewBtnClick();
        w->MapApplyBtnClick();
        QVERIFY(w->statusText(0).startsWith(QStringLiteral("Analyze(")));
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
    QTest::mouseClick(w->AboutBtn, Qt::LeftButton);
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
    QTest::mouseClick(w->AboutBtn, Qt::LeftButton); // already open: keeps its page
    QCOMPARE(box->pages()->currentIndex(), 2);
    QTest::keyClick(box, Qt::Key_Escape);
    QVERIFY(box->isVisible());
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(!box->isVisible());
    QTest::mouseClick(w->AboutBtn, Qt::LeftButton);
    QCOMPARE(box->pages()->currentIndex(), 0);
}

void TestShell::aboutBoxPlacementAndTexts()
{
    AboutBox *box = w->aboutBox();
    // In the centre of the screen, wherever the main window is.
    w->move(300, 200);
    QTest::mouseClick(w->AboutBtn, Qt::LeftButton);
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
    for (QWidget *target : {static_cast<QWidget *>(w->ToolBar1), static_cast<QWidget *>(w->RuleBtn),
                            static_cast<QWidget *>(w->AutoApplyBtn)}) {
        QTimer::singleShot(50, closeMenu); // in case a menu would run its own loop
        const QPoint at = target->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
        QSpontaneKeyEvent::setSpontaneous(&event);
        qApp->notify(target, &event);
        closeMenu();
        QTest::qWait(60);
    }
    QCOMPARE(menus, 0);
    for (QToolBar *bar : {w->ToolBar1, w->ToolBar4, w->ToolBar10})
        QVERIFY(bar->isVisible());
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
