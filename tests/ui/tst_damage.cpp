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
}

void TestDamage::recoveryFilesAreChecked()
{
    vor4::MapDocument doc;
    QVERIFY(doc.load(Island).ok());
    QStringList paths;
    for (int i = 0; i < 3; ++i) {
        vor4::RecoveryStore crashed(vor4::RecoveryStore::defaultFolder());
        QVERIFY(crashed.writeInBackground(doc));
        crashed.waitForWrite();
        paths << crashed.mapPath();
    }
    const QByteArray whole = readAll(paths[0]);
    QVERIFY(writeFile(paths[1], whole.left(whole.indexOf("BeginPlot", whole.size() / 2))));
    QVERIFY(writeFile(paths[2], "EndPlot\r\n"));
    // The unreadable one is told once and moved aside; the others are still
    // offered, the damaged one saying what it can give back. Later keeps them.
    QVERIFY(!w->files()->offerRecovery());
    QVERIFY(dialogs->messages.size() == 1 && dialogs->messages[0].contains("cannot be read"));
    const QStringList damaged = dialogs->choiceQuestions.filter("This recovery file is damaged: ");
    QVERIFY2(dialogs->choiceQuestions.size() == 2 && damaged.size() == 1
                 && damaged[0].contains(QRegularExpression("\\d+ of 225 plots can be restored")),
             qPrintable(dialogs->choiceQuestions.join('\n')));
    QVERIFY(!QFile::exists(paths[2]) && QFile::exists(paths[0]) && QFile::exists(paths[1]));
    QVERIFY(!w->files()->offerRecovery());
    QVERIFY(dialogs->messages.size() == 1 && dialogs->choiceQuestions.size() == 4);
}

QTEST_MAIN(TestDamage)
#include "tst_damage.moc"
