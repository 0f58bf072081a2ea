#pragma once
// Crash recovery: while a document is modified the editor writes it now and
// then to a file of its own run, in the background, and removes it after a
// clean save or a discard. A file left behind by a run that ended without
// removing it is offered at the next start.

#include <QDateTime>
#include <QLockFile>
#include <QObject>
#include <QThreadPool>
#include <memory>

namespace vor4 {

class MapDocument;

class RecoveryStore : public QObject
{
    Q_OBJECT
public:
    // The folder for recovery files: "recovery" in the application's data folder.
    static QString defaultFolder();

    explicit RecoveryStore(const QString &folder = defaultFolder(), QObject *parent = nullptr);
    ~RecoveryStore() override; // waits for a write in progress

    QString folder() const { return m_folder; }
    // This run's recovery file; it exists only after a write.
    QString mapPath() const;

    // Writes the document in another thread, which takes its own copy of
    // it (edits wait only while the copy is made). False, and nothing
    // started, while an earlier write still runs. The document must live
    // until the write has ended (the store's destructor waits for it).
    bool writeInBackground(const MapDocument &doc);
    bool isWriting() const { return m_writing; }
    void waitForWrite();
    // Removes this run's recovery file, also one a running write is making.
    void remove();

    struct Entry
    {
        enum State { Sound, Damaged, Unreadable };
        QString mapPath;
        QString originalName; // the document's file name; empty when untitled
        QDateTime written;
        qint64 size = -1;     // as written; -1 when not known
        QByteArray checksum;  // SHA-256 of the bytes as written, hex
        State state = Sound;
        qint64 plotsRestorable = 0; // Damaged: plots that can be read
        qint64 plotsWritten = 0;    // Damaged: plots the file held when written
        qint64 signsRestorable = 0; // Damaged: signs read whole
        qint64 signsWritten = 0;    // Damaged: signs the file held when written
        // Damaged: "3,060 of 3,060 plots and 0 of 1 signs"
        QString restorable() const;
        QString problem;            // Unreadable: why
    };
    // Recovery files of runs that are gone, newest first, each checked
    // against the size and checksum it was written with.
    QList<Entry> orphans() const;
    // Makes a restored orphan this run's recovery file.
    bool adopt(const Entry &entry);
    static void discard(const Entry &entry);
    // Moves a file that cannot be restored into the folder's "unreadable"
    // folder, out of the way of the next start; returns where it went.
    static QString moveAside(const Entry &entry);

Q_SIGNALS:
    // A background write ended; message is empty when it succeeded.
    void written(const QString &message);

private:
    bool claim();
    QString pathFor(const QString &id, const char *suffix) const;
    void writeInfo(const QString &originalName, const QDateTime &written, qint64 size, const QByteArray &checksum);

    QString m_folder;
    QString m_id;
    std::unique_ptr<QLockFile> m_lock;
    QThreadPool m_pool;
    bool m_writing = false;
    quint64 m_generation = 0;
};

} // namespace vor4
