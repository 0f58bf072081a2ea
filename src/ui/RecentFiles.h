#pragma once
// The maps opened or saved last, newest first, kept between runs: the File
// menu's Open Recent lists them. A map that has gone since is taken off the
// list when it is chosen, and the user is told.

#include <QObject>
#include <QStringList>

class QMenu;
class QWidget;

class RecentFiles : public QObject
{
    Q_OBJECT
public:
    static constexpr int Max = 8;

    // Fills `menu` now and whenever the list changes; messages go to `window`.
    RecentFiles(QMenu *menu, QWidget *window);

    QStringList files() const { return m_files; }
    // The file goes to the top, once.
    void add(const QString &path);
    void clear();
    // While a file loads the entries wait.
    void setBusy(bool busy);

Q_SIGNALS:
    // An entry whose file exists was chosen.
    void openRequested(const QString &path);

private:
    void choose(QString path); // a copy: the entry goes when the menu is refilled
    void reload();
    void store(const QStringList &files);
    void fillMenu();

    QMenu *m_menu;
    QWidget *m_window;
    QStringList m_files;
    bool m_busy = false;
};
