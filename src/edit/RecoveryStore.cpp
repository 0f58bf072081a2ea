#include "RecoveryStore.h"

#include "MapDocument.h"
#include "MapWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUuid>

#include <algorithm>

namespace vor4 {

namespace {
const char MapSuffix[] = ".Vor4WorldBuilderSave";
const char InfoSuffix[] = ".json";
const char LockSuffix[] = ".lock";
} // namespace

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
        QMetaObject::invokeMethod(this, [this, result, generation, originalName] {
            m_writing = false;
            if (generation != m_generation) {
                remove(); // removed while it was written
                return;
            }
            if (result.ok)
                writeInfo(originalName, QDateTime::currentDateTimeUtc());
            Q_EMIT written(result.ok ? QString() : result.message);
        }, Qt::QueuedConnection);
    });
    return true;
}

void RecoveryStore::writeInfo(const QString &originalName, const QDateTime &written)
{
    QJsonObject info;
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
        }
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
    writeInfo(entry.originalName, entry.written);
    discard(entry);
    return true;
}

void RecoveryStore::discard(const Entry &entry)
{
    QFile::remove(entry.mapPath);
    QString info = entry.mapPath;
    info.chop(int(sizeof MapSuffix - 1));
    QFile::remove(info + QLatin1String(InfoSuffix));
}

} // namespace vor4
