#include "RecentFiles.h"

#include "Dialogs.h"
#include "EditorSettings.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace {

const QString Key = QStringLiteral("recentFiles");

// One name per file, however it was reached.
QString normalised(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

RecentFiles::RecentFiles(QMenu *menu, QWidget *window)
    : QObject(window)
    , m_menu(menu)
    , m_window(window)
{
    m_menu->setToolTipsVisible(true);
    reload();
    fillMenu();
}

void RecentFiles::reload()
{
    // Another editor running may have changed the list; what a hand edited
    // file holds is taken as far as it makes sense.
    QStringList files;
    for (const QString &path : editorSettings().value(Key).toStringList())
        if (!path.isEmpty() && !files.contains(path) && files.size() < Max)
            files << path;
    m_files = files;
}

void RecentFiles::store(const QStringList &files)
{
    m_files = files.mid(0, Max);
    editorSettings().setValue(Key, m_files);
    fillMenu();
}

void RecentFiles::add(const QString &path)
{
    reload();
    const QString file = normalised(path);
    QStringList files = m_files;
    files.removeAll(file);
    files.prepend(file);
    store(files);
}

void RecentFiles::clear() { store({}); }

void RecentFiles::setBusy(bool busy)
{
    m_busy = busy;
    m_menu->menuAction()->setEnabled(!busy && !m_files.isEmpty());
}

void RecentFiles::choose(QString path)
{
    if (QFileInfo(path).isFile()) {
        Q_EMIT openRequested(path);
        return;
    }
    reload();
    QStringList files = m_files;
    files.removeAll(path);
    store(files);
    Dialogs::instance().error(m_window, QStringLiteral("%1 no longer exists; it was removed from the recent files.")
                                           .arg(QDir::toNativeSeparators(path)));
}

void RecentFiles::fillMenu()
{
    m_menu->clear();
    for (int i = 0; i < m_files.size(); ++i) {
        const QString path = m_files[i];
        QString name = QFileInfo(path).fileName();
        name.replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction *entry = m_menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
        entry->setObjectName(QStringLiteral("recentFile%1").arg(i + 1));
        entry->setToolTip(QDir::toNativeSeparators(path));
        connect(entry, &QAction::triggered, this, [this, path] { choose(path); });
    }
    m_menu->addSeparator();
    QAction *clearList = m_menu->addAction(QStringLiteral("Clear list"));
    clearList->setObjectName(QStringLiteral("clearRecentFiles"));
    clearList->setToolTip(QStringLiteral("Forget the recent files"));
    connect(clearList, &QAction::triggered, this, &RecentFiles::clear);
    setBusy(m_busy);
}
