// Crash recovery files: written in the background, found after a run that
// did not remove its own, adopted or discarded, never left behind by a
// removal that races a write.

#include "MapDocument.h"
#include "MapReader.h"
#include "MapWriter.h"
#include "RecoveryStore.h"
#include "SetPlotText.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace vor4;

namespace {
const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void writesTheDocumentInTheBackground();
    void removalWinsOverARunningWrite();
    void orphansAreFoundAdoptedAndDiscarded();
};

void TestRecovery::writesTheDocumentInTheBackground()
{
    QTemporaryDir dir;
    MapDocument md;
    QVERIFY(md.load(Continents).ok());
    RecoveryStore store(dir.path() + QStringLiteral("/deep/recovery"));
    QSignalSpy written(&store, &RecoveryStore::written);
    const QByteArray before = buildSaveFile(md.document());
    QVERIFY(store.writeInBackground(md));
    QVERIFY(!store.writeInBackground(md)); // one at a time
    // Editing goes on at once: the file holds the document as it was before
    // or after the edit, never a mixture.
    md.push(new SetPlotText(&md, 0, 0, "TerrainType=TERRAIN_SNOW", QStringLiteral("Edit plot")));
    const QByteArray after = buildSaveFile(md.document());
    QVERIFY(written.wait(10000));
    QCOMPARE(written.last().at(0).toString(), QString());
    const QByteArray file = fileBytes(store.mapPath());
    QVERIFY(file == before || file == after);
    QVERIFY(store.orphans().isEmpty()); // its own file is no orphan
    store.remove();
    QVERIFY(!QFile::exists(store.mapPath()));
}

void TestRecovery::removalWinsOverARunningWrite()
{
    QTemporaryDir dir;
    MapDocument doc;
    QVERIFY(doc.load(Continents).ok());
    RecoveryStore store(dir.path());
    QVERIFY(store.writeInBackground(doc));
    store.remove(); // a clean save while the write still runs
    store.waitForWrite();
    QVERIFY(!store.isWriting());
    QVERIFY(!QFile::exists(store.mapPath()));
    QVERIFY(QDir(dir.path()).entryList({QStringLiteral("*.Vor4WorldBuilderSave")}, QDir::Files).isEmpty());
}

void TestRecovery::orphansAreFoundAdoptedAndDiscarded()
{
    QTemporaryDir dir;
    MapDocument doc;
    QVERIFY(doc.load(Continents).ok());
    const QByteArray expected = buildSaveFile(doc.document());
    QString leftBehind;
    {
        // A run that ends without removing its file (a crash).
        RecoveryStore crashed(dir.path());
        QVERIFY(crashed.writeInBackground(doc));
        crashed.waitForWrite();
        leftBehind = crashed.mapPath();
        MapDocument untitled;
        RecoveryStore second(dir.path());
        QVERIFY(second.writeInBackground(untitled));
        second.waitForWrite();
        // Both runs still going: nothing is offered.
        QVERIFY(RecoveryStore(dir.path()).orphans().isEmpty());
    }
    RecoveryStore next(dir.path());
    QList<RecoveryStore::Entry> found = next.orphans();
    QCOMPARE(found.size(), 2);
    QVERIFY(found[0].written >= found[1].written);
    const auto named = std::find_if(found.begin(), found.end(),
                                     [](const RecoveryStore::Entry &e) { return !e.originalName.isEmpty(); });
    QVERIFY(named != found.end());
    QCOMPARE(named->originalName, Continents);
    QCOMPARE(named->mapPath, leftBehind);
    QVERIFY(named->written.secsTo(QDateTime::currentDateTime()) < 60);

    // Restored: it becomes the new run's own file, no longer an orphan.
    QVERIFY(next.adopt(*named));
    QCOMPARE(fileBytes(next.mapPath()), expected);
    found = next.orphans();
    QCOMPARE(found.size(), 1);
    QCOMPARE(found[0].originalName, QString());
    RecoveryStore::discard(found[0]);
    QVERIFY(next.orphans().isEmpty());
    // The adopted file keeps its name for a run after this one.
    next.waitForWrite();
}

QTEST_GUILESS_MAIN(TestRecovery)
#include "tst_recovery.moc"
