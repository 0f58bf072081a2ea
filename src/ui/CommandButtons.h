#pragma once
// How commands look on the pages' tool bars: small flat buttons that never
// take the focus, and tool tips that name the command's key.

#include <QKeySequence>
#include <QString>

class QAction;
class QIcon;
class QToolBar;
class QToolButton;
class QWidget;

// "Hint (Ctrl+N)": a tool tip that names a shortcut.
QString hintWithKey(const QString &hint, const QKeySequence &key);
// A tool bar of a page: 16-pixel icons, fixed in place.
QToolBar *pageToolBar(const QString &name, Qt::Orientation orientation = Qt::Horizontal);
// The action's button on the bar, 24 x 24, named for finding it.
QToolButton *addCommandButton(QToolBar *bar, QAction *action, const QString &buttonName);
// A command of a text field whose key works while the field has the focus;
// the tool tip names the key.
QAction *fieldCommand(QWidget *field, const QString &id, const QIcon &icon, const QString &hint,
                      const QKeySequence &key);
