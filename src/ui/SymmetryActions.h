#pragma once
// Map > Make symmetric: one half of the map written over the other, as a
// mirror or a half-turn, from each of the four sides. What was written, or
// why nothing was, goes to the status bar; a start left without a partner
// is said in a message.

#include <QObject>

class EditorContext;
class QActionGroup;
class QMenu;

class SymmetryActions : public QObject
{
    Q_OBJECT
public:
    // The submenu goes at the end of `mapMenu`.
    SymmetryActions(EditorContext *context, QMenu *mapMenu, QObject *parent = nullptr);
    QActionGroup *commands() const { return m_commands; }

private:
    EditorContext *m_context;
    QActionGroup *m_commands;
};
