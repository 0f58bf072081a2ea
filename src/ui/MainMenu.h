#pragma once
// The main window's menu bar: every command of its tool bars and the new
// ones, each entry with its shortcut. An entry clicks its tool button, so
// both always do the same; the button's tool tip names the shortcut.

#include <QKeySequence>
#include <QObject>

class QAction;
class QMenu;
class QToolButton;
class MainWindow;

class MainMenu : public QObject
{
    Q_OBJECT
public:
    explicit MainMenu(MainWindow *window);

    QMenu *fileMenu = nullptr;
    QMenu *editMenu = nullptr;
    QMenu *viewMenu = nullptr;
    QMenu *mapMenu = nullptr;
    QMenu *helpMenu = nullptr;

    // An entry for a tool button: checkable, checked and enabled as the
    // button is. The first key is shown in the menu and in the tool tip.
    QAction *mirror(QMenu *menu, QToolButton *button, const QString &text, QList<QKeySequence> keys = {});
    // The entry of a tool button, or null.
    QAction *actionFor(const QToolButton *button) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QPair<QToolButton *, QAction *>> m_entries;
};

// "Hint (Ctrl+N)": a tool tip that names a shortcut.
QString hintWithKey(const QString &hint, const QKeySequence &key);
