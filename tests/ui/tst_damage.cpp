// Damage in the editor: a damaged file is announced after Open and its
// first Save asks; read-only files are not replaced; recovery files are
// checked before they are offered.

#include "AutoRecovery.h"
#include "FakeDialogs.h"
#include "MapWriter.h"
#include "RecoveryStore.h"
#include "ZedMain.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
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
    void initTestCase();
    void init();
    void cleanup();
    void damagedFileIsAnnouncedAndSaveAsks();
    void readOnlyFileIsNotReplaced();
    void recoveryFilesAreChecked();

private:
    TForm1 *w = nullptr;
    FakeDialogs::State *dialogs = nullptr;
    QTemporaryDir dir;
};

void TestDamage::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QDir(vor4::RecoveryStore::defaultFolder()).removeRecursively();
}

void TestDamage::init()
{
    dialogs = FakeDialogs::install();
    w = new TForm1;
    Form1 = w;
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
}

void TestDamage::cleanup()
{
    delete w;
    Form1 = nullptr;
    QDir(vor4::RecoveryStore::defaultFolder()).removeRecursively();
}

void TestDamage::damagedFileIsAnnouncedAndSaveAsks()
{
    const QByteArray whole = readAll(Island);
    const qsizetype cut = whole.indexOf("BeginPlot", whole.size() / 2);
    QByteArray damaged = whole;
    damaged.insert(cut, '\0');
    const QString path = dir.filePath("damaged.Vor4WorldBuilderSave");
    QVERIFY(writeFile(path, damaged));
    QVERIFY(w->openMapFile(path));
    QCOMPARE(dialogs->messages.size(), 1);
    const QString &told = dialogs->messages[0];
    QVERIFY2(told.startsWith(QStringLiteral("This file is damaged:\n- a NUL byte at line ")), qPrintable(told));
    QVERIFY2(told.contains(QStringLiteral("Saving will drop the text after the NUL byte")), qPrintable(told));
    QVERIFY(w->isWindowModified());

    // The first Save asks; No leaves the file, Yes writes it, and once written it asks no more.
    QTest::mouseClick(w->SaveBtn, Qt::LeftButton);
    QCOMPARE(dialogs->questions.size(), 1);
    QCOMPARE(readAll(path), damaged);
    dialogs->answers << true;
    QTest::mouseClick(w->SaveBtn, Qt::LeftButton);
    QCOMPARE(readAll(path), vor4::buildSaveFile(w->Doc));
    QTest::mouseClick(w->SaveBtn, Qt::LeftButton);
    QCOMPARE(dialogs->questions.size(), 2);

    // A sound file: no word, no question.
    QVERIFY(w->openMapFile(Island));
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(!w->isWindowModified());
}

void TestDamage::readOnlyFileIsNotReplaced()
{
    const QString path = dir.filePath("kept.Vor4WorldBuilderSave");
    QVERIFY(QFile::copy(Island, path));
    QVERIFY(w->openMapFile(path));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
    // Root included: the mark is the owner's.
    QTest::mouseClick(w->SaveBtn, Qt::LeftButton);
    QCOMPARE(dialogs->messages.value(0), QStringLiteral("%1 is read-only").arg(path));
    QCOMPARE(readAll(path), readAll(Island));
}

void TestDamage::recoveryFilesAreChecked()
{
    vor4::MapDocument doc;
    QVERIFY(doc.load(Island).ok());
    const QString folder = vor4::RecoveryStore::defaultFolder();
    QStringList paths;
    for (int i = 0; i < 3; ++i) {
        vor4::RecoveryStore crashed(folder);
        QVERIFY(crashed.writeInBackground(doc));
        crashed.waitForWrite();
        paths << crashed.mapPath();
    }
    const QByteArray whole = readAll(paths[0]);
    QVERIFY(writeFile(paths[1], whole.left(whole.indexOf("BeginPlot", whole.size() / 2))));
    QVERIFY(writeFile(paths[2], "EndPlot\r\n"));

    // The unreadable one is told once and moved aside; the others are still
    // offered, the damaged one saying what it can give back. Later keeps them.
    QVERIFY(!w->offerRecovery());
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->messages[0].contains(QStringLiteral("cannot be read")));
    QCOMPARE(dialogs->choiceQuestions.size(), 2);
    const QStringList damaged = dialogs->choiceQuestions.filter(QStringLiteral("This recovery file is damaged: "));
    QCOMPARE(damaged.size(), 1);
    QVERIFY2(damaged[0].contains(QRegularExpression(QStringLiteral("\\d+ of 225 plots can be restored.\nRestore unsaved "
                                                                   "changes to island-15x15.Vor4WorldBuilderSave from "))),
             qPrintable(damaged[0]));
    QVERIFY(!QFile::exists(paths[2]) && QFile::exists(paths[0]) && QFile::exists(paths[1]));
    QVERIFY(!w->offerRecovery());
    QCOMPARE(dialogs->messages.size(), 1);
    QCOMPARE(dialogs->choiceQuestions.size(), 4);
}

QTEST_MAIN(TestDamage)
#include "tst_damage.moc"
