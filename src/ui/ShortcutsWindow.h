#pragma once
// Help > Keyboard shortcuts: every key of the main window, read from its
// actions each time the window is shown, so that the list cannot go stale.

#include <QDialog>

class QMainWindow;
class QTreeWidget;

struct ShortcutEntry
{
    QString group;   // "File", "View > Layers", "Text fields", "Map grid" ...
    QString command; // what the key does
    QString keys;    // "Ctrl+Z, Ctrl+Y"
};

// The keys of the window's menus (by menu), of its other actions and
// buttons (by their "shortcutGroup" property, looked up through their
// parents), then the keys that the grid and the text fields handle
// themselves. An action listed once is not listed again.
QList<ShortcutEntry> collectShortcuts(const QMainWindow *window);

class ShortcutsWindow : public QDialog
{
    Q_OBJECT
public:
    explicit ShortcutsWindow(QMainWindow *window);

    QTreeWidget *tree() const { return m_tree; }
    // Lists the keys anew.
    void refresh();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QMainWindow *m_window;
    QTreeWidget *m_tree;
};
