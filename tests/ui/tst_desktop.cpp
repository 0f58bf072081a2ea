#include "EditorCommandLine.h"
#include "FakeDialogs.h"
#include "MapGrid.h"
#include "MapReader.h"
#include "SectionMemo.h"
#include "ZedMain.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QProcess>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {

const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");
const QString Island = QStringLiteral(VOR4_FIXTURES_DIR "/island-15x15.Vor4WorldBuilderSave");
const QString StartCaption = QStringLiteral("Vor4DemoMapEditor");

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

// The editor program itself, with ENV added to (or, for an empty value,
// taken from) the test's environment.
Run editor(const QStringList &args, const QMap<QString, QString> &env)
{
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (auto it = env.begin(); it != env.end(); ++it) {
        if (it.value().isEmpty())
            e.remove(it.key());
        else
            e.insert(it.key(), it.value());
    }
    QProcess p;
    p.setProcessEnvironment(e);
    p.start(QStringLiteral(VOR4_EDITOR_PATH), args);
    if (!p.waitForFinished(30000))
        p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
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

struct DragAnswer
{
    bool enterAccepted = false;
    bool dropAccepted = false;
};

// A drag over TARGET that enters and is dropped, as the desktop delivers it.
DragAnswer dragAndDrop(QWidget *target, const QMimeData *data)
{
    const QPointF at(target->width() / 2, target->height() / 2);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    DragAnswer answer;
    answer.enterAccepted = enter.isAccepted() && enter.dropAction() != Qt::IgnoreAction;
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    answer.dropAccepted = drop.isAccepted();
    QCoreApplication::processEvents();
    return answer;
}

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void commandLine();
    void editorProgram();
    void startWithAFixture();
    void startWithAFileThatCannotBeOpened();
    void startWithAnError();
    void dropAMap();
    void dropOnATextField();
    void dropSomethingElse();
    void dropWhileLoading();

private:
    TForm1 *w = nullptr;
    FakeDialogs::State *dialogs = nullptr;
    QTemporaryDir dir;
};

void TestDesktop::init()
{
    dialogs = FakeDialogs::install();
    w = new TForm1;
    Form1 = w;
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
}

void TestDesktop::cleanup()
{
    delete w;
    Form1 = nullptr;
}

void TestDesktop::commandLine()
{
    struct Parsed
    {
        EditorCommandLine::Request request;
        QString file;
        QString error;
    };
    const auto parsed = [](QStringList args) {
        args.prepend(QStringLiteral("vor4-map-editor"));
        const EditorCommandLine c(args);
        return Parsed{c.request(), c.file(), c.errorText()};
    };
    Parsed c = parsed({});
    QCOMPARE(c.request, EditorCommandLine::StartEditor);
    QCOMPARE(c.file, QString());
    c = parsed({"maps/a.Vor4WorldBuilderSave"});
    QCOMPARE(c.request, EditorCommandLine::StartEditor);
    QCOMPARE(c.file, QStringLiteral("maps/a.Vor4WorldBuilderSave"));
    c = parsed({"--", "-odd name"});
    QCOMPARE(c.request, EditorCommandLine::StartEditor);
    QCOMPARE(c.file, QStringLiteral("-odd name"));
    for (const char *help : {"--help", "-h"})
        QCOMPARE(parsed({help}).request, EditorCommandLine::ShowHelp);
    for (const char *version : {"--version", "-v"})
        QCOMPARE(parsed({version}).request, EditorCommandLine::ShowVersion);
    c = parsed({"a", "b"});
    QCOMPARE(c.request, EditorCommandLine::WrongCall);
    QCOMPARE(c.error, QStringLiteral("Only one file can be opened."));
    c = parsed({"--frob"});
    QCOMPARE(c.request, EditorCommandLine::WrongCall);
    QVERIFY(c.error.contains(QLatin1String("frob")));
}

void TestDesktop::editorProgram()
{
    // Help and version need no display at all.
    const QMap<QString, QString> noDisplay{{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}};
    Run r = editor({"--help"}, noDisplay);
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.startsWith("Usage: "));
    QVERIFY(r.out.contains("[options] [FILE]"));
    QVERIFY(r.out.contains("--version"));
    r = editor({"--version"}, noDisplay);
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QByteArray("vor4-map-editor " VOR4_VERSION "\n"));
    // Qt's own options are taken before the editor's.
    r = editor({"-platform", "offscreen", "--version"}, {});
    QCOMPARE(r.out, QByteArray("vor4-map-editor " VOR4_VERSION "\n"));

    const QMap<QString, QString> offscreen{{"QT_QPA_PLATFORM", "offscreen"}};
    r = editor({"--frob"}, offscreen);
    QCOMPARE(r.code, 2);
    QVERIFY(r.err.contains("vor4-map-editor: Unknown option 'frob'.\n"));
    QVERIFY(r.err.contains("Usage: "));
    r = editor({Island, Continents}, offscreen);
    QCOMPARE(r.code, 2);
    QVERIFY(r.err.contains("vor4-map-editor: Only one file can be opened.\n"));
}

void TestDesktop::startWithAFixture()
{
    // Through the same path main() takes after start-up, with a relative name.
    QVERIFY(QDir::setCurrent(QFileInfo(Continents).absolutePath()));
    w->openStartupFile(QFileInfo(Continents).fileName());
    QVERIFY(dialogs->messages.isEmpty());
    QCOMPARE(w->windowTitle(), QStringLiteral("Vor4DemoMapEditor - continents-64x40.Vor4WorldBuilderSave"));
    QCOMPARE(w->Doc.FileName, QFileInfo(Continents).absoluteFilePath());
    QCOMPARE(w->statusText(0), QStringLiteral("Map ready..."));
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (64 x 40)"));
    QCOMPARE(w->WorkPages->currentIndex(), int(TForm1::RulesPage));
    QVERIFY(w->RuleBtn->isChecked());
    vor4::Document doc;
    QVERIFY(vor4::loadMapFile(Continents, doc).ok());
    bool ok = false;
    QCOMPARE(w->GMemo->lines(&ok), doc.GameLines);
    QCOMPARE(w->MiniMapBitmap.size(), QSize(192, 120));
    // The next Open starts in the file's folder, as after Open.
    dialogs->openAnswers << QString();
    QTest::mouseClick(w->OpenBtn, Qt::LeftButton);
    QCOMPARE(dialogs->lastOpenFolder, QFileInfo(Continents).absolutePath());
}

void TestDesktop::startWithAFileThatCannotBeOpened()
{
    // Unlike a name chosen in the dialog, a name on the command line that
    // names no file is reported; the editor starts with an empty document.
    const QString missing = dir.filePath("missing.Vor4WorldBuilderSave");
    for (const QString &path : {missing, dir.path()}) {
        dialogs->messages.clear();
        w->openStartupFile(path);
        QCOMPARE(dialogs->messages, QStringList{QStringLiteral("Cannot open file %1").arg(path)});
        QCOMPARE(w->windowTitle(), StartCaption);
        QCOMPARE(w->Doc.FileName, QString());
        QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (1 x 1)"));
        QCOMPARE(w->WorkPages->currentIndex(), int(TForm1::TitlePage));
    }

    // Files that are no maps are refused as Open refuses them: a message
    // naming the file, and nothing of it in the document.
    QImage png(4, 4, QImage::Format_RGB32);
    png.fill(Qt::blue);
    const QString picture = dir.filePath("picture.png");
    QVERIFY(png.save(picture));
    const QString readme = dir.filePath("README.md");
    QVERIFY(writeFile(readme, "# A project\n\nBuild it with cmake.\n"));
    for (const QString &path : {picture, readme}) {
        dialogs->messages.clear();
        w->openStartupFile(path);
        QVERIFY2(dialogs->messages.size() == 1, qPrintable(path));
        QVERIFY(dialogs->messages.first().contains(path));
        QCOMPARE(w->Doc.FileName, QString());
        QVERIFY(w->Doc.GameLines.isEmpty());
        QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (1 x 1)"));
    }
}

void TestDesktop::startWithAnError()
{
    // Exactly as Open: the message, the caption, what was read before the
    // faulty line, and no file to save to.
    const QString bad = dir.filePath("bad.Vor4WorldBuilderSave");
    QVERIFY(writeFile(bad, "Version=11\r\nBeginGame\r\nA=1\r\nEndTeam\r\n"));
    w->openStartupFile(bad);
    QCOMPARE(dialogs->messages, QStringList{QStringLiteral("Error in map file - Line: 4")});
    QCOMPARE(w->windowTitle(), QStringLiteral("Vor4DemoMapEditor - bad.Vor4WorldBuilderSave"));
    QCOMPARE(w->Doc.GameLines, (QList<QByteArray>{"A=1"}));
    QCOMPARE(w->statusText(0), QStringLiteral("Analyze(0/4)"));
    QCOMPARE(w->Doc.FileName, QString());
    QVERIFY(!w->isLoading());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void TestDesktop::dropAMap()
{
    // Renamed copies count by their first lines, upper-case names by the name.
    const QString renamed = dir.filePath("my map");
    QVERIFY(QFile::copy(Island, renamed));
    const QString upper = dir.filePath("CONTINENTS.VOR4WORLDBUILDERSAVE");
    QVERIFY(QFile::copy(Continents, upper));
    const std::pair<QString, QString> drops[] = {
        {Continents, "Map Size = (64 x 40)"}, {renamed, "Map Size = (15 x 15)"}, {upper, "Map Size = (64 x 40)"}};
    for (const auto &[path, size] : drops) {
        const auto data = urls({path});
        const DragAnswer answer = dragAndDrop(w, data.get());
        QVERIFY2(answer.enterAccepted && answer.dropAccepted, qPrintable(path));
        QTRY_COMPARE(w->statusText(1), size);
        QCOMPARE(w->Doc.FileName, path);
        QCOMPARE(w->windowTitle(), StartCaption + QStringLiteral(" - ") + QFileInfo(path).fileName());
        QCOMPARE(w->statusText(0), QStringLiteral("Map ready..."));
    }
    QVERIFY(dialogs->messages.isEmpty());
}

void TestDesktop::dropOnATextField()
{
    // Over a text field the map opens too, and the field does not take the
    // file's name as text.
    QTest::mouseClick(w->RuleBtn, Qt::LeftButton);
    w->GMemo->setPlainText(QStringLiteral("Era=ERA_ANCIENT"));
    const auto data = urls({Island});
    const DragAnswer answer = dragAndDrop(w->GMemo->viewport(), data.get());
    QVERIFY(answer.enterAccepted && answer.dropAccepted);
    QTRY_COMPARE(w->statusText(1), QStringLiteral("Map Size = (15 x 15)"));
    vor4::Document doc;
    QVERIFY(vor4::loadMapFile(Island, doc).ok());
    bool ok = false;
    QCOMPARE(w->GMemo->lines(&ok), doc.GameLines);

    // Over the map grid as well.
    QTest::mouseClick(w->MapBtn, Qt::LeftButton);
    const auto other = urls({Continents});
    QVERIFY(dragAndDrop(w->DrawGrid->viewport(), other.get()).dropAccepted);
    QTRY_COMPARE(w->statusText(1), QStringLiteral("Map Size = (64 x 40)"));
}

void TestDesktop::dropSomethingElse()
{
    QVERIFY(QFile::copy(Island, dir.filePath("a.Vor4WorldBuilderSave")));
    QImage png(4, 4, QImage::Format_RGB32);
    png.fill(Qt::blue);
    QVERIFY(png.save(dir.filePath("picture.png")));
    QVERIFY(writeFile(dir.filePath("README.md"), "# A project\n"));
    QVERIFY(writeFile(dir.filePath("notes"), "Version=2\nSome notes\n"));
    QDir(dir.path()).mkdir(QStringLiteral("folder.Vor4WorldBuilderSave"));

    std::vector<std::unique_ptr<QMimeData>> refused;
    refused.push_back(urls({dir.filePath("picture.png")}));
    refused.push_back(urls({dir.filePath("README.md")}));
    refused.push_back(urls({dir.filePath("notes")}));
    refused.push_back(urls({dir.filePath("folder.Vor4WorldBuilderSave")}));
    refused.push_back(urls({dir.filePath("gone.Vor4WorldBuilderSave")}));
    refused.push_back(urls({Continents, dir.filePath("a.Vor4WorldBuilderSave")}));
    refused.push_back(urls({"https://example.org/a.Vor4WorldBuilderSave"}));
    QTest::mouseClick(w->RuleBtn, Qt::LeftButton);
    for (const auto &data : refused) {
        for (QWidget *target : {static_cast<QWidget *>(w), static_cast<QWidget *>(w->GMemo->viewport())}) {
            const DragAnswer answer = dragAndDrop(target, data.get());
            // Not accepted on entering: the desktop shows the forbidden pointer.
            QVERIFY2(!answer.enterAccepted && !answer.dropAccepted, qPrintable(data->urls().value(0).toString()));
        }
    }
    QVERIFY(w->GMemo->toPlainText().isEmpty());
    // Text is no file: the window refuses it, while a text field still takes
    // it as text.
    QMimeData text;
    text.setText(QStringLiteral("Era=ERA_ANCIENT"));
    QVERIFY(!dragAndDrop(w, &text).enterAccepted);
    QVERIFY(dragAndDrop(w->GMemo->viewport(), &text).dropAccepted);
    QCOMPARE(w->GMemo->toPlainText(), QStringLiteral("Era=ERA_ANCIENT"));

    QTest::qWait(20);
    QCOMPARE(w->windowTitle(), StartCaption);
    QCOMPARE(w->statusText(1), QStringLiteral("Map Size = (1 x 1)"));
    QVERIFY(dialogs->messages.isEmpty());
}

void TestDesktop::dropWhileLoading()
{
    // A load lets events in; a drop then must not start a second one.
    const QString big = dir.filePath("big.Vor4WorldBuilderSave");
    QByteArray bytes = "BeginGame\r\n";
    for (int i = 0; i < 3000; ++i)
        bytes += "Line=" + QByteArray::number(i) + "\r\n";
    bytes += "EndGame\r\n";
    QVERIFY(writeFile(big, bytes));
    bool checked = false;
    QTimer::singleShot(0, w, [&] {
        QVERIFY(w->isLoading());
        const auto data = urls({Island});
        const DragAnswer answer = dragAndDrop(w, data.get());
        QVERIFY(!answer.enterAccepted && !answer.dropAccepted);
        checked = true;
    });
    w->openStartupFile(big);
    QVERIFY(checked);
    QTest::qWait(20);
    QCOMPARE(w->Doc.FileName, big);
    QCOMPARE(w->Doc.GameLines.size(), 3000);
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
