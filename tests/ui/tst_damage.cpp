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

// The island with one sign, counted in its header, at its end.
QByteArray islandWithSign()
{
    QByteArray bytes = readAll(Island);
    return bytes.replace("num signs written=0", "num signs written=1") + "BeginSign\r\n\tplotX=3\r\n\tcaption=Bay\r\nEndSign\r\n";
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
    void openTellsWhatSavingDoes_data();
    void openTellsWhatSavingDoes();
    void recoveryFilesAreChecked();
    void damagedRecoverySaysWhatIsLeft_data();
    void damagedRecoverySaysWhatIsLeft();

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

void TestDamage::openTellsWhatSavingDoes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("saving"); // what Open says a Save would do
    const QByteArray sound = islandWithSign();
    const qsizetype cut = sound.indexOf("EndPlot\r\n", sound.size() / 2) + 9;
    QTest::newRow("cut between blocks") << sound.left(cut) << "\nSaving will hide a plot count that disagrees with the "
                                           "plots read (line 302) and a sign count that disagrees with the signs read (line 303).";
    QTest::newRow("a stray line") << QByteArray(sound).insert(cut, "Stray=1\r\n")
                                  << QStringLiteral("\nSaving will drop 1 line outside every section (line %1).")
                                         .arg(sound.left(cut).count('\n') + 1);
    QTest::newRow("a sign left open") << sound.chopped(9) << "; it is kept as far as it goes\nSaving will drop nothing more";
}

void TestDamage::openTellsWhatSavingDoes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, saving);
    const QString path = dir.filePath("told.Vor4WorldBuilderSave");
    QVERIFY(writeFile(path, bytes) && w->files()->openMapFile(path));
    QVERIFY2(dialogs->messages.size() == 1 && dialogs->messages[0].startsWith("This file is damaged:\n- ")
                 && dialogs->messages[0].contains(saving) && w->isWindowModified(),
             qPrintable(dialogs->messages.join('\n')));
}

void TestDamage::damagedRecoverySaysWhatIsLeft_data()
{
    QTest::addColumn<int>("cut");  // bytes left out at the end of the recovery file
    QTest::addColumn<int>("info"); // 0 no info file, 1 cut short, 2 as written
    QTest::newRow("cut inside the signs, no info file") << 12 << 0;
    QTest::newRow("cut inside the signs, info cut short") << 12 << 1;
    QTest::newRow("no signs") << int(qstrlen("BeginSign\r\n\tplotX=3\r\n\tcaption=Bay\r\nEndSign\r\n")) << 2;
}

void TestDamage::damagedRecoverySaysWhatIsLeft()
{
    QFETCH(int, cut);
    QFETCH(int, info);
    vor4::MapDocument doc;
    QVERIFY(writeFile(dir.filePath("signed"), islandWithSign()) && doc.load(dir.filePath("signed")).ok());
    QString map;
    {
        vor4::RecoveryStore crashed(vor4::RecoveryStore::defaultFolder());
        QVERIFY(crashed.writeInBackground(doc));
        crashed.waitForWrite();
        map = crashed.mapPath();
    }
    const QString infoFile = map.chopped(21) + ".json";
    QVERIFY(writeFile(map, readAll(map).chopped(cut)) && (info == 2 || QFile::remove(infoFile))
            && (info != 1 || writeFile(infoFile, "{\"size\": 1")));
    QVERIFY(!w->files()->offerRecovery());
    QCOMPARE(dialogs->choiceQuestions.value(0).section('\n', 0, 0),
             QStringLiteral("This recovery file is damaged: 225 of 225 plots and 0 of 1 signs can be restored."));
}

QTEST_MAIN(TestDamage)
#include "tst_damage.moc"
