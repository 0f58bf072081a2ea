#include "RecoveryStore.h"

#include "MapCheck.h"
#include "MapDocument.h"
#include "MapReader.h"
#include "MapWriter.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUuid>

#include <algorithm>

namespace vor4 {

namespace {
const char MapSuffix[] = ".Vor4WorldBuilderSave";
const char InfoSuffix[] = ".json";
const char LockSuffix[] = ".lock";

QByteArray checksumOf(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// Checks an orphan's bytes against what its info file says was written and,
// when they differ or nothing was said, reads it as a map.
void check(RecoveryStore::Entry &e)
{
    using Entry = RecoveryStore::Entry;
    QFile file(e.mapPath);
    if (!file.open(QIODevice::ReadOnly)) {
        e.state = Entry::Unreadable;
        e.problem = file.errorString();
        return;
    }
    const QByteArray bytes = file.readAll();
    file.close();
    const bool known = e.size >= 0 && !e.checksum.isEmpty();
    if (known && bytes.size() == e.size && checksumOf(bytes) == e.checksum)
        return;
    Document doc;
    const LoadResult loaded = loadMapFile(e.mapPath, doc);
    if (!loaded.ok()) {
        e.state = Entry::Unreadable;
        e.problem = loaded.message;
        return;
    }
    if (known || !mapDamage(doc, loaded.stats).isEmpty()) {
        const LoadStats &stats = loaded.stats;
        const qint64 grid = qint64(doc.columnCount()) * doc.rowCount();
        e.state = Entry::Damaged;
        e.plotsWritten = qMax(grid, stats.declaredPlots.value_or(0));
        e.plotsRestorable = qMin(grid - stats.plotsMissing, e.plotsWritten);
        // A sign cut short is kept as far as it goes, but it is not whole.
        e.signsWritten = qMax(stats.signBlocks, stats.declaredSigns.value_or(0));
        e.signsRestorable = stats.signBlocks - stats.signsNotClosed;
    }
}
} // namespace

QString RecoveryStore::Entry::restorable() const
{
    QLocale numbers = QLocale::c();
    numbers.setNumberOptions(QLocale::DefaultNumberOptions); // "3,060"
    QString text = QStringLiteral("%1 of %2 plots").arg(numbers.toString(plotsRestorable), numbers.toString(plotsWritten));
    if (signsWritten > 0)
        text += QStringLiteral(" and %1 of %2 signs").arg(numbers.toString(signsRestorable), numbers.toString(signsWritten));
    return text;
}

QString RecoveryStore::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/recovery");
}

RecoveryStore::RecoveryStore(const QString &folder, QObject *parent)
    : QObject(parent)
    , m_folder(folder)
    , m_id(QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    m_pool.setMaxThreadCount(1);
}

RecoveryStore::~RecoveryStore()
{
    m_pool.waitForDone();
}

QString RecoveryStore::pathFor(const QString &id, const char *suffix) const
{
    return m_folder + QLatin1Char('/') + id + QLatin1String(suffix);
}

QString RecoveryStore::mapPath() const { return pathFor(m_id, MapSuffix); }

bool RecoveryStore::claim()
{
    // The lock tells later runs that this run's file is not an orphan.
    if (m_lock)
        return true;
    if (!QDir().mkpath(m_folder))
        return false;
    auto lock = std::make_unique<QLockFile>(pathFor(m_id, LockSuffix));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    m_lock = std::move(lock);
    return true;
}

bool RecoveryStore::writeInBackground(const MapDocument &doc)
{
    if (m_writing)
        return false;
    if (!claim()) {
        Q_EMIT written(QStringLiteral("Cannot create the recovery folder %1").arg(m_folder));
        return false;
    }
    m_writing = true;
    const quint64 generation = m_generation;
    const QString path = mapPath();
    const MapDocument *source = &doc;
    m_pool.start([this, source, path, generation] {
        QByteArray bytes;
        QString originalName;
        {
            const Document snapshot = source->snapshot();
            originalName = snapshot.FileName;
            bytes = buildSaveFile(snapshot);
        }
        const SaveResult result = writeMapFile(path, bytes);
        const qint64 size = bytes.size();
        const QByteArray checksum = checksumOf(bytes);
        QMetaObject::invokeMethod(this, [this, result, generation, originalName, size, checksum] {
            m_writing = false;
            if (generation != m_generation) {
                remove(); // removed while it was written
                return;
            }
            if (result.ok)
                writeInfo(originalName, QDateTime::currentDateTimeUtc(), size, checksum);
            Q_EMIT written(result.ok ? QString() : result.message);
        }, Qt::QueuedConnection);
    });
    return true;
}

void RecoveryStore::writeInfo(const QString &originalName, const QDateTime &written, qint64 size,
                              const QByteArray &checksum)
{
    QJsonObject info;
    if (size >= 0) {
        info.insert(QStringLiteral("size"), size);
        info.insert(QStringLiteral("sha256"), QString::fromLatin1(checksum));
    }
    info.insert(QStringLiteral("file"), originalName);
    info.insert(QStringLiteral("written"), written.toUTC().toString(Qt::ISODateWithMs));
    QSaveFile file(pathFor(m_id, InfoSuffix));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QJsonDocument(info).toJson());
        file.commit();
    }
}

void RecoveryStore::waitForWrite()
{
    m_pool.waitForDone();
    QCoreApplication::sendPostedEvents(this);
}

void RecoveryStore::remove()
{
    ++m_generation;
    QFile::remove(mapPath());
    QFile::remove(pathFor(m_id, InfoSuffix));
}

QList<RecoveryStore::Entry> RecoveryStore::orphans() const
{
    QList<Entry> found;
    const QDir dir(m_folder);
    const QStringList maps = dir.entryList({QStringLiteral("*") + QLatin1String(MapSuffix)}, QDir::Files);
    for (const QString &name : maps) {
        const QString id = name.chopped(int(sizeof MapSuffix - 1));
        if (id == m_id)
            continue;
        QLockFile lock(pathFor(id, LockSuffix));
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0))
            continue; // its run is still going
        lock.unlock();
        Entry e;
        e.mapPath = pathFor(id, MapSuffix);
        e.written = QFileInfo(e.mapPath).lastModified();
        QFile infoFile(pathFor(id, InfoSuffix));
        if (infoFile.open(QIODevice::ReadOnly)) {
            const QJsonObject info = QJsonDocument::fromJson(infoFile.readAll()).object();
            e.originalName = info.value(QStringLiteral("file")).toString();
            const QDateTime t = QDateTime::fromString(info.value(QStringLiteral("written")).toString(), Qt::ISODateWithMs);
            if (t.isValid())
                e.written = t.toLocalTime();
            if (info.contains(QStringLiteral("size"))) {
                e.size = info.value(QStringLiteral("size")).toInteger(-1);
                e.checksum = info.value(QStringLiteral("sha256")).toString().toLatin1();
            }
        }
        check(e);
        found << e;
    }
    std::sort(found.begin(), found.end(), [](const Entry &a, const Entry &b) { return a.written > b.written; });
    return found;
}

bool RecoveryStore::adopt(const Entry &entry)
{
    if (!claim())
        return false;
    waitForWrite();
    remove();
    if (!QFile::rename(entry.mapPath, mapPath()))
        return false;
    // A damaged file restored is this run's work now: its checksum is its own.
    QFile restored(mapPath());
    const QByteArray bytes = restored.open(QIODevice::ReadOnly) ? restored.readAll() : QByteArray();
    writeInfo(entry.originalName, entry.written, bytes.size(), checksumOf(bytes));
    discard(entry);
    return true;
}

QString RecoveryStore::moveAside(const Entry &entry)
{
    const QFileInfo map(entry.mapPath);
    QDir aside(map.absolutePath() + QStringLiteral("/unreadable"));
    aside.mkpath(QStringLiteral("."));
    QString info = entry.mapPath;
    info.chop(int(sizeof MapSuffix - 1));
    info += QLatin1String(InfoSuffix);
    const QString to = aside.filePath(map.fileName());
    QFile::remove(to);
    QFile::remove(aside.filePath(QFileInfo(info).fileName()));
    // Moved, or if even that fails, removed: it must not stand in the way again.
    if (!QFile::rename(entry.mapPath, to))
        QFile::remove(entry.mapPath);
    if (!QFile::rename(info, aside.filePath(QFileInfo(info).fileName())))
        QFile::remove(info);
    return to;
}

void RecoveryStore::discard(const Entry &entry)
{
    QFile::remove(entry.mapPath);
    QString info = entry.mapPath;
    info.chop(int(sizeof MapSuffix - 1));
    QFile::remove(info + QLatin1String(InfoSuffix));
}

} // namespace vor4
