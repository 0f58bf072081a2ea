#include "PlotEditor.h"
#include "FakeDialogs.h"
#include "MapGrid.h"
#include "SectionMemo.h"
#include "MainWindow.h"
#include "FileActions.h"
#include "MapPage.h"
#include "SectionPage.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {

const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");
const QString Island = QStringLiteral(VOR4_FIXTURES_DIR "/island-15x15.Vor4WorldBuilderSave");
const QString StartCaption = QStringLiteral("Vor4DemoMapEditor");
const QString EmptyMapSize = QStringLiteral("Map Size = (1 x 1)");

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

struct Run
{
    int code = -1;
    QByteArray out, err;
};

// The editor program itself; an empty value in ENV removes the variable.
Run editor(const QStringList &args, const QMap<QString, QString> &env)
{
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (auto it = env.begin(); it != env.end(); ++it)
        it.value().isEmpty() ? e.remove(it.key()) : e.insert(it.key(), it.value());
    QProcess p;
    p.setProcessEnvironment(e);
    p.start(QStringLiteral(VOR4_EDITOR_PATH), args);
    if (!p.waitForFinished(30000))
        p.kill();
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

std::unique_ptr<QMimeData> urls(const QStringList &paths)
{
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> list;
    for (const QString &p : paths)
        list << (p.contains(QLatin1String("://")) ? QUrl(p) : QUrl::fromLocalFile(p));
    data->setUrls(list);
    return data;
}

// A drag that enters TARGET and is dropped there, as the desktop delivers it.
// Whether entering and dropping were accepted; a refused entry is what makes
// the desktop show the forbidden pointer.
std::pair<bool, bool> dragAndDrop(QWidget *target, const QMimeData *data)
{
    const QPoint at(target->width() / 2, target->height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QCoreApplication::processEvents();
    return {enter.isAccepted() && enter.dropAction() != Qt::IgnoreAction, drop.isAccepted()};
}

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void editorCommandLine();
    void startWithAFile();
    void startWithAFileThatCannotBeOpened();
    void dropAMap();
    void dropSomethingElse();
    void typedTextAsks();

private:
    MainWindow *w = nullptr;
    FakeDialogs::State *dialogs = nullptr;
    QTemporaryDir dir;
};

void TestDesktop::init()
{
    dialogs = FakeDialogs::install();
    w = new MainWindow;
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
}

void TestDesktop::cleanup()
{
    delete w;
}

void TestDesktop::editorCommandLine()
{
    // Help and version need no display at all; Qt's own options come first.
    const QMap<QString, QString> noDisplay{{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}};
    Run r = editor({"--help"}, noDisplay);
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.startsWith("Usage: ") && r.out.contains("[options] [FILE]") && r.out.contains("--version"));
    for (const QStringList &args : {QStringList{"-v"}, QStringList{"-platform", "offscreen", "--version"}}) {
        r = editor(args, noDisplay);
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, QByteArray("vor4-map-editor " VOR4_VERSION "\n"));
    }
    const std::pair<QStringList, QByteArray> wrong[] = {
        {{"--frob"}, "vor4-map-editor: Unknown option 'frob'.\n"},
        {{Island, Continents}, "vor4-map-editor: Only one file can be opened.\n"}};
    for (const auto &[args, message] : wrong) {
        r = editor(args, {{"QT_QPA_PLATFORM", "offscreen"}});
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains(message) && r.err.contains("Usage: "));
    }
}

void TestDesktop::startWithAFile()
{
    // Through the call main() makes once the window is up; a relative name.
    QVERIFY(QDir::setCurrent(QFileInfo(Continents).absolutePath()));
    w->files()->openStartupFile(QFileInfo(Continents).fileName());
    QVERIFY(dialogs->messages.isEmpty());
    QCOMPARE(w->caption(), StartCaption + QStringLiteral(" - continents-64x40.Vor4WorldBuilderSave"));
    QCOMPARE(w->stores().FileName, QFileInfo(Continents).absoluteFilePath());
    QCOMPARE(w->statusText(0), QStringLiteral("Map ready..."));
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (64 x 40)"));
    QVERIFY(w->action(QStringLiteral("rulesPage"))->isChecked() && !w->sectionPage(vor4::SectionKind::Game)->edit()->toPlainText().isEmpty());

    // A file with an error: exactly as Open, the message, what was read
    // before the faulty line and no file to save to, nor one in the caption.
    const QString bad = dir.filePath("bad.Vor4WorldBuilderSave");
    QVERIFY(writeFile(bad, "Version=11\r\nBeginGame\r\nA=1\r\nEndTeam\r\n"));
    w->files()->openStartupFile(bad);
    QCOMPARE(dialogs->messages, QStringList{QStringLiteral("Error in map file - Line: 4")});
    QCOMPARE(w->caption(), StartCaption);
    QCOMPARE(w->stores().GameLines, (QList<QByteArray>{"A=1"}));
    QCOMPARE(w->stores().FileName, QString());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void TestDesktop::startWithAFileThatCannotBeOpened()
{
    // Unlike a name chosen in the dialog, a name on the command line that
    // names no file is reported.
    const QString missing = dir.filePath("missing.Vor4WorldBuilderSave");
    for (const QString &path : {missing, dir.path()}) {
        dialogs->messages.clear();
        w->files()->openStartupFile(path);
        QCOMPARE(dialogs->messages, QStringList{QStringLiteral("Cannot open file %1").arg(path)});
        QCOMPARE(w->caption(), StartCaption);
        QCOMPARE(w->statusText(1), EmptyMapSize);
    }
    // Files that are no maps: a message naming the file, an empty document.
    QImage png(4, 4, QImage::Format_RGB32);
    png.fill(Qt::blue);
    QVERIFY(png.save(dir.filePath("picture.png")));
    QVERIFY(writeFile(dir.filePath("README.md"), "# A project\n\nBuild it with cmake.\n"));
    for (const QString &path : {dir.filePath("picture.png"), dir.filePath("README.md")}) {
        dialogs->messages.clear();
        w->files()->openStartupFile(path);
        QVERIFY2(dialogs->messages.size() == 1 && dialogs->messages.first().contains(path), qPrintable(path));
        QCOMPARE(w->stores().FileName, QString());
        QCOMPARE(w->statusText(1), EmptyMapSize);
    }
}

void TestDesktop::dropAMap()
{
    // Anywhere on the window, text fields and the grid included; a renamed
    // copy counts by its first lines, an upper-case name by the name.
    const QString renamed = dir.filePath("my map");
    const QString upper = dir.filePath("CONTINENTS.VOR4WORLDBUILDERSAVE");
    QVERIFY(QFile::copy(Island, renamed) && QFile::copy(Continents, upper));
    w->action(QStringLiteral("rulesPage"))->trigger();
    const std::tuple<QString, QWidget *, QString> drops[] = {
        {Continents, w, "Map Size = (64 x 40)"},
        {renamed, w->sectionPage(vor4::SectionKind::Game)->edit()->viewport(), "Map Size = (15 x 15)"},
        {upper, w->mapPage()->grid()->viewport(), "Map Size = (64 x 40)"}};
    for (const auto &[path, target, size] : drops) {
        const auto data = urls({path});
        QCOMPARE(dragAndDrop(target, data.get()), std::make_pair(true, true));
        QTRY_COMPARE(w->statusText(1), size);
        QCOMPARE(w->stores().FileName, path);
        QCOMPARE(w->caption(), StartCaption + QStringLiteral(" - ") + QFileInfo(path).fileName());
    }
    // The text field shows the map's lines, not the file's name.
    QVERIFY(w->sectionPage(vor4::SectionKind::Game)->edit()->toPlainText().startsWith(QStringLiteral("Era=")));
    QVERIFY(dialogs->messages.isEmpty());

    // On a modified document a drop asks first; Cancel keeps it.
    w->sectionPage(vor4::SectionKind::Game)->edit()->setPlainText(QStringLiteral("Edited=1"));
    QTest::mouseClick(w->findChild<QToolButton *>(QStringLiteral("rulesApplyButton")), Qt::LeftButton);
    const auto again = urls({Continents});
    QCOMPARE(dragAndDrop(w, again.get()), std::make_pair(true, true));
    QTRY_COMPARE(dialogs->saveQuestions, QStringList{QFileInfo(upper).fileName()});
    QCOMPARE(w->stores().FileName, upper);
    QCOMPARE(w->stores().GameLines, QList<QByteArray>{"Edited=1"});

    // A load lets events in; a drop then must not start a second one.
    QByteArray big = "BeginGame\r\n";
    for (int i = 0; i < 3000; ++i)
        big += "Line=" + QByteArray::number(i) + "\r\n";
    QVERIFY(writeFile(dir.filePath("big.Vor4WorldBuilderSave"), big + "EndGame\r\n"));
    bool refused = false;
    QTimer::singleShot(0, w, [&] {
        const auto data = urls({Island});
        refused = w->isLoading() && dragAndDrop(w, data.get()) == std::make_pair(false, false);
    });
    dialogs->saveChoices << Dialogs::SaveChoice::Discard;
    w->files()->openStartupFile(dir.filePath("big.Vor4WorldBuilderSave"));
    QVERIFY(refused);
    QTest::qWait(20);
    QCOMPARE(w->stores().GameLines.size(), 3000);
}

void TestDesktop::typedTextAsks()
{
    // Typed into the plot memo and never left: Quit and a drop ask first,
    // and Cancel keeps the typing, stored.
    w->files()->openStartupFile(Continents);
    w->action(QStringLiteral("mapPage"))->trigger();
    w->mapPage()->grid()->chooseCell(2, 2);
    w->mapPage()->plotEditor()->memo()->setFocus();
    QTest::keyClicks(w->mapPage()->plotEditor()->memo(), "Typed=1");
    w->findChild<QAction *>(QStringLiteral("quit"))->trigger();
    const auto data = urls({Island});
    dragAndDrop(w, data.get());
    QTRY_COMPARE(dialogs->saveQuestions, QStringList(2, QFileInfo(Continents).fileName()));
    QVERIFY(w->isVisible() && w->stores().PlotTexts.text(2, 2).startsWith("Typed=1"));
}

void TestDesktop::dropSomethingElse()
{
    QImage png(4, 4, QImage::Format_RGB32);
    png.fill(Qt::blue);
    QVERIFY(png.save(dir.filePath("picture.png")));
    QVERIFY(writeFile(dir.filePath("README.md"), "# A project\n"));
    QVERIFY(writeFile(dir.filePath("notes"), "Version=2\nSome notes\n"));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("folder.Vor4WorldBuilderSave")));
    const QStringList refused[] = {
        {dir.filePath("picture.png")}, {dir.filePath("README.md")}, {dir.filePath("notes")},
        {dir.filePath("folder.Vor4WorldBuilderSave")}, {dir.filePath("gone.Vor4WorldBuilderSave")},
        {Continents, Island}, {"https://example.org/a.Vor4WorldBuilderSave"}};
    w->action(QStringLiteral("rulesPage"))->trigger();
    for (const QStringList &paths : refused) {
        const auto data = urls(paths);
        for (QWidget *target : {static_cast<QWidget *>(w), w->sectionPage(vor4::SectionKind::Game)->edit()->viewport()})
            QVERIFY2(dragAndDrop(target, data.get()) == std::make_pair(false, false), qPrintable(paths.join(' ')));
    }
    QVERIFY(w->sectionPage(vor4::SectionKind::Game)->edit()->toPlainText().isEmpty());
    // Text is no file: the window refuses it, a text field takes it as text.
    QMimeData text;
    text.setText(QStringLiteral("Era=ERA_ANCIENT"));
    QVERIFY(!dragAndDrop(w, &text).first);
    QVERIFY(dragAndDrop(w->sectionPage(vor4::SectionKind::Game)->edit()->viewport(), &text).second);
    QCOMPARE(w->sectionPage(vor4::SectionKind::Game)->edit()->toPlainText(), QStringLiteral("Era=ERA_ANCIENT"));

    QTest::qWait(20);
    QCOMPARE(w->caption(), StartCaption);
    QCOMPARE(w->statusText(1), EmptyMapSize);
    QVERIFY(dialogs->messages.isEmpty());
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
