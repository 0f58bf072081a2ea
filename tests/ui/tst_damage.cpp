// Damage in the editor: a damaged file is announced after Open and its
// first Save asks; read-only files are not replaced; recovery files are
// checked before they are offered.

#include "FakeDialogs.h"
#include "FileActions.h"
#include "MainWindow.h"
#include "MapWriter.h"
#include "RecoveryStore.h"

#include <QAction>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Island = QStringLiteral(VOR4_FIXTURES_DIR "/island-15x15.Vor4WorldBuilderSave");

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class TestDamage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        cleanup();
    }
    void init()
    {
        dialogs = FakeDialogs::install();
        w = new MainWindow;
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
    }
    void cleanup()
    {
        delete w;
        w = nullptr;
        QDir(vor4::RecoveryStore::defaultFolder()).removeRecursively();
    }
    void damagedFileIsAnnouncedAndSaveAsks();
    void recoveryFilesAreChecked();

private:
    MainWindow *w = nullptr;
    FakeDialogs::State *dialogs = nullptr;
    QTemporaryDir dir;
};

void TestDamage::damagedFileIsAnnouncedAndSaveAsks()
{
    QByteArray damaged = readAll(Island);
    damaged.insert(damaged.indexOf("BeginPlot", damaged.size() / 2), '\0');
    const QString path = dir.filePath("damaged.Vor4WorldBuilderSave");
    QVERIFY(writeFile(path, damaged) && w->files()->openMapFile(path));
    QVERIFY2(dialogs->messages.size() == 1 && dialogs->messages[0].startsWith("This file is damaged:\n- a NUL byte at line ")
                 && w->isWindowModified(), qPrintable(dialogs->messages.join('\n')));
    // The first Save asks; No leaves the file, Yes writes it, and once written it asks no more.
    w->action(QStringLiteral("save"))->trigger();
    QCOMPARE(readAll(path), damaged);
    dialogs->answers << true;
    w->action(QStringLiteral("save"))->trigger();
    QCOMPARE(readAll(path), vor4::buildSaveFile(w->stores()));
    w->action(QStringLiteral("save"))->trigger();
    QCOMPARE(dialogs->questions.size(), 2);
    // A sound file: no word. Marked read-only, it is not replaced and the editor says why.
    const QString kept = dir.filePath("kept");
    QVERIFY(QFile::copy(Island, kept) && w->files()->openMapFile(kept) && !w->isWindowModified());
    QVERIFY(QFile::setPermissions(kept, QFile::ReadOwner | QFile::ReadGroup));
    w->action(QStringLiteral("save"))->trigger();
    QCOMPARE(dialogs->messages.value(1), QStringLiteral("%1 is read-only").arg(kept));
    // Cut between two plots: the counts a Save would write anew are said.
    QVERIFY(writeFile(path, damaged.left(damaged.indexOf("BeginPlot", damaged.size() / 2))) && w->files()->openMapFile(path));
    QVERIFY2(dialogs->messages.value(2).endsWith("Saving will hide a plot count that disagrees with the plots read (line 302)."),
             qPrintable(dialogs->messages.value(2)));
}

void TestDamage::recoveryFilesAreChecked()
{
    // The island with a sign, counted in its header.
    const QString signed_ = dir.filePath("signed");
    QVERIFY(writeFile(signed_, readAll(Island).replace("num signs written=0", "num signs written=1")
                                   + "BeginSign\r\nplotX=3\r\nEndSign\r\n"));
    vor4::MapDocument doc;
    QVERIFY(doc.load(signed_).ok());
    QStringList paths;
    for (int i = 0; i < 6; ++i) {
        vor4::RecoveryStore crashed(vor4::RecoveryStore::defaultFolder());
        QVERIFY(crashed.writeInBackground(doc));
        crashed.waitForWrite();
        paths << crashed.mapPath();
    }
    const QByteArray whole = readAll(paths[0]);
    QVERIFY(writeFile(paths[1], whole.left(whole.indexOf("BeginPlot", whole.size() / 2))));
    QVERIFY(writeFile(paths[2], "EndPlot\r\n"));
    // Cut inside the sign with no info file or with one cut short, or without the signs: none is whole.
    const QString info3 = paths[3].chopped(21) + ".json", info4 = paths[4].chopped(21) + ".json";
    QVERIFY(writeFile(paths[3], whole.chopped(11)) && writeFile(paths[4], whole.chopped(11)) && QFile::remove(info3)
            && writeFile(info4, readAll(info4).left(9)) && writeFile(paths[5], whole.chopped(30)));
    // The unreadable one is told once and moved aside; the others are still
    // offered, the damaged one saying what it can give back. Later keeps them.
    QVERIFY(!w->files()->offerRecovery());
    QVERIFY(dialogs->messages.size() == 1 && dialogs->messages[0].contains("cannot be read"));
    const QStringList damaged = dialogs->choiceQuestions.filter("This recovery file is damaged: ");
    QVERIFY2(dialogs->choiceQuestions.size() == 5 && damaged.size() == 4
                 && damaged.filter(" of 225 plots and 0 of 1 signs can be restored.\n").size() == 4
                 && damaged.filter("damaged: 225 of 225 plots").size() == 3,
             qPrintable(dialogs->choiceQuestions.join('\n')));
    QVERIFY(!QFile::exists(paths[2]) && QFile::exists(paths[0]) && QFile::exists(paths[1]));
    QVERIFY(!w->files()->offerRecovery());
    QVERIFY(dialogs->messages.size() == 1 && dialogs->choiceQuestions.size() == 10);
}

QTEST_MAIN(TestDamage)
#include "tst_damage.moc"
