#pragma once
// Every command of the main window, created once as a QAction with an id,
// text, icon, keys and a tool tip naming the first key. Tool bars and menus
// are built from these; the pages connect what the commands do. Commands
// that belong to a text field or a tool (Apply, the paint tools, Cut) are
// created where they live and registered here under their ids.

#include <QHash>
#include <QKeySequence>
#include <QObject>

class QAction;
class QActionGroup;
class QUndoStack;

class EditorActions : public QObject
{
    Q_OBJECT
public:
    EditorActions(QUndoStack *history, QObject *parent);

    // The command with this id; null for an unknown id.
    QAction *action(const QString &id) const { return m_actions.value(id); }
    QList<QAction *> actions(const QStringList &ids) const;
    void add(const QString &id, QAction *action);
    // The four page commands: at most one checked, and all may be up.
    QActionGroup *pageGroup() const { return m_pages; }
    // The ids of the layer switches, in their order on the bar.
    static QStringList layerIds();
    // The switches of the pieces drawn over the cells: starts, units, signs, rivers.
    static QStringList pieceLayerIds();
    // The map styles, in the order of MapStyle::names; one is checked.
    static QStringList styleIds();
    QActionGroup *styleGroup() const { return m_styles; }
    // While a file loads the window's commands wait; Quit stays, to end the
    // load.
    void setBusy(bool busy);
    // The tool tips of Undo and Redo name the step they would take.
    void updateUndoHints();

private:
    QAction *create(const QString &id, const QString &text, const QIcon &icon, const QString &hint,
                    const QList<QKeySequence> &keys = {}, bool checkable = false);

    QUndoStack *m_history;
    QHash<QString, QAction *> m_actions;
    QList<QAction *> m_own; // made here, not registered
    QActionGroup *m_pages = nullptr;
    QActionGroup *m_styles = nullptr;
};
