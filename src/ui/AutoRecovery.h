#pragma once
// Writes the modified document to its recovery file every few minutes, in
// the background, and removes the file when the document is saved or its
// changes are discarded; offers a file left by a run that ended without
// removing its own.

#include "RecoveryStore.h"

#include <QObject>
#include <functional>

class QTimer;
class QWidget;

namespace vor4 {
class MapDocument;
}

class AutoRecovery : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultInterval = 2 * 60 * 1000;

    AutoRecovery(vor4::MapDocument *doc, QObject *parent = nullptr, const QString &folder = {});

    vor4::RecoveryStore &store() { return m_store; }
    void setInterval(int ms);
    // Writes now, when the document is modified (tests, and after a restore).
    void writeNow();
    // The changes are thrown away: the recovery file goes with them.
    void discard();

    // Asks "Restore unsaved changes to NAME from TIME?" (Restore, Delete,
    // Later) for each file left behind, newest first, until one is restored
    // through `open(path, originalName)`; a damaged file says how many plots
    // it can give back. Delete removes the file, Later keeps it for the next
    // start; one that cannot be read is told about once and moved aside.
    // True when one was restored.
    bool offerRestore(QWidget *parent,
                      const std::function<bool(const QString &path, const QString &originalName)> &open);

private:
    void modifiedChanged(bool modified);

    vor4::MapDocument *m_doc;
    vor4::RecoveryStore m_store;
    QTimer *m_timer;
};
