#include "AutoRecovery.h"

#include "Dialogs.h"
#include "MapDocument.h"

#include <QFileInfo>
#include <QLocale>
#include <QTimer>

AutoRecovery::AutoRecovery(vor4::MapDocument *doc, QObject *parent, const QString &folder)
    : QObject(parent)
    , m_doc(doc)
    , m_store(folder.isEmpty() ? vor4::RecoveryStore::defaultFolder() : folder)
    , m_timer(new QTimer(this))
{
    m_timer->setInterval(DefaultInterval);
    connect(m_timer, &QTimer::timeout, this, &AutoRecovery::writeNow);
    connect(doc, &vor4::MapDocument::modifiedChanged, this, &AutoRecovery::modifiedChanged);
}

void AutoRecovery::setInterval(int ms) { m_timer->setInterval(ms); }

void AutoRecovery::modifiedChanged(bool modified)
{
    if (modified) {
        if (!m_timer->isActive())
            m_timer->start();
        return;
    }
    // Saved, or undone to the saved state: the file on disk holds it all.
    m_timer->stop();
    m_store.remove();
}

void AutoRecovery::writeNow()
{
    if (m_doc->isModified())
        m_store.writeInBackground(*m_doc);
}

void AutoRecovery::discard()
{
    m_timer->stop();
    m_store.remove();
}

bool AutoRecovery::offerRestore(QWidget *parent,
                                const std::function<bool(const QString &, const QString &)> &open)
{
    using Entry = vor4::RecoveryStore::Entry;
    for (const Entry &entry : m_store.orphans()) {
        const QString name = entry.originalName.isEmpty() ? QStringLiteral("Untitled")
                                                          : QFileInfo(entry.originalName).fileName();
        const QString time = QLocale().toString(entry.written, QLocale::ShortFormat);
        if (entry.state == Entry::Unreadable) {
            // Told once, then out of the way: it must not hide the files after it.
            const QString aside = vor4::RecoveryStore::moveAside(entry);
            Dialogs::instance().error(parent, QStringLiteral("The unsaved changes to %1 from %2 cannot be restored: "
                                                             "the recovery file cannot be read (%3). It was moved to %4.")
                                                  .arg(name, time, entry.problem, aside));
            continue;
        }
        QString question = QStringLiteral("Restore unsaved changes to %1 from %2?").arg(name, time);
        if (entry.state == Entry::Damaged)
            question = QStringLiteral("This recovery file is damaged: %1 can be restored.\n").arg(entry.restorable())
                + question;
        const QStringList buttons{QStringLiteral("Restore"), QStringLiteral("Delete"), QStringLiteral("Later")};
        const int choice = Dialogs::instance().choose(parent, question, buttons);
        if (choice == 1) {
            vor4::RecoveryStore::discard(entry);
            continue;
        }
        if (choice != 0)
            continue; // Later: kept for the next start
        if (!open(entry.mapPath, entry.originalName)) {
            vor4::RecoveryStore::moveAside(entry);
            continue;
        }
        // The restored changes are this run's now.
        m_store.adopt(entry);
        if (!m_timer->isActive())
            m_timer->start();
        return true;
    }
    return false;
}
