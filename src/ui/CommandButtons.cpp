#include "CommandButtons.h"

#include <QAction>
#include <QToolBar>
#include <QToolButton>

QString hintWithKey(const QString &hint, const QKeySequence &key)
{
    if (key.isEmpty())
        return hint;
    return QStringLiteral("%1 (%2)").arg(hint, key.toString(QKeySequence::NativeText));
}

QToolBar *pageToolBar(const QString &name, Qt::Orientation orientation)
{
    auto *bar = new QToolBar;
    bar->setObjectName(name);
    bar->setOrientation(orientation);
    bar->setIconSize(QSize(16, 16));
    return bar;
}

QToolButton *addCommandButton(QToolBar *bar, QAction *action, const QString &buttonName)
{
    bar->addAction(action);
    auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(action));
    if (!button)
        return nullptr;
    button->setObjectName(buttonName);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus); // the text being edited keeps the focus
    button->setFixedSize(24, 24);
    return button;
}

QAction *fieldCommand(QWidget *field, const QString &id, const QIcon &icon, const QString &hint,
                      const QKeySequence &key)
{
    auto *action = new QAction(icon, hint, field);
    action->setObjectName(id);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetShortcut);
    action->setToolTip(hintWithKey(hint, key));
    field->addAction(action);
    return action;
}
