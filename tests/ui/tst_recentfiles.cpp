// File > Open Recent: the maps opened or saved last, kept between runs.

#include "EditorContext.h"
#include "FakeDialogs.h"
#include "MainWindow.h"
#include "RecentFiles.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

class TestRecentFiles : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void keptBetweenRuns_data();
    void keptBetweenRuns();
};

void TestRecentFiles::keptBetweenRuns_data()
{
    QTest::addColumn<QStringList>("steps"); // "open NAME" or "save NAME" (Save as)
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("newest first, once") << QStringList{"open a", "open b", "open ./a"} << QStringList{"a", "b"};
    QTest::newRow("save as") << QStringList{"open a", "save c", "open b", "save b"} << QStringList{"b", "c", "a"};
    QTest::newRow("a failed open stays out") << QStringList{"open a", "open broken"} << QStringList{"a"};
    QStringList ten, last8;
    for (int i = 0; i < 10; ++i)
        ten << QStringLiteral("open m%1").arg(i);
    for (int i = 9; i >= 2; --i)
        last8 << QStringLiteral("m%1").arg(i);
    QTest::newRow("at most 8") << ten << last8;
}

void TestRecentFiles::keptBetweenRuns()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, expected);
    FakeDialogs::State *dialogs = FakeDialogs::install();
    QTemporaryDir dir;
    const auto path = [&](const QString &name) { return dir.filePath(name + ".Vor4WorldBuilderSave"); };
    QFile broken(path("broken"));
    QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("no map\n") > 0);
    broken.close();
    auto w = std::make_unique<MainWindow>();
    w->recentFiles()->clear();
    bool waited = true; // the menu waits while a file loads
    connect(w->context(), &EditorContext::statusChanged, w.get(), [&] {
        waited = waited && (!w->isLoading() || !w->findChild<QMenu *>("recentFilesMenu")->menuAction()->isEnabled());
    });
    for (const QString &step : steps) {
        const QString name = path(step.section(' ', 1)), existing = QDir::cleanPath(name);
        if (!QFile::exists(existing))
            QFile::copy(QStringLiteral(VOR4_FIXTURES_DIR "/island-15x15.Vor4WorldBuilderSave"), existing);
        (step.startsWith("open") ? dialogs->openAnswers : dialogs->saveAnswers) << name;
        w->action(step.section(' ', 0, 0) == "open" ? "open" : "saveAs")->trigger();
    }
    QVERIFY(waited);
    // Another run reads the same list; its menu names each file with its number.
    w = std::make_unique<MainWindow>();
    QStringList files, entries;
    for (const QString &name : expected)
        files << QFileInfo(path(name)).canonicalFilePath();
    QCOMPARE(w->recentFiles()->files(), files);
    for (QAction *a : w->findChild<QMenu *>("recentFilesMenu")->actions())
        entries << a->text() + ' ' + a->toolTip();
    QCOMPARE(entries.first(), "&1 " + QFileInfo(files.first()).fileName() + ' ' + files.first());
    QCOMPARE(entries.size(), expected.size() + 2); // a separator, Clear list
    // A file gone is taken off the list and named; one still there opens.
    QFile::remove(files.first());
    dialogs->messages.clear();
    w->findChild<QAction *>("recentFile1")->trigger();
    QCOMPARE(dialogs->messages, QStringList(files.first() + " no longer exists; it was removed from the recent files."));
    QCOMPARE(w->recentFiles()->files(), files.mid(1));
    QFile readme(QStringLiteral(VOR4_FIXTURES_DIR "/../../../README.md")); // quotes the message
    QVERIFY(readme.open(QIODevice::ReadOnly) && readme.readAll().simplified().contains(dialogs->messages[0].replace(files[0], "FILE").toUtf8()));
    if (files.size() > 1) {
        w->findChild<QAction *>("recentFile1")->trigger();
        QCOMPARE(w->stores().FileName, files[1]);
    }
}

QTEST_MAIN(TestRecentFiles)
#include "tst_recentfiles.moc"
