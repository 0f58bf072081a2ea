#include "MainMenu.h"

#include "MapToolBox.h"
#include "MainWindow.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

QString hintWithKey(const QString &hint, const QKeySequence &key)
{
    if (key.isEmpty())
        return hint;
    return QStringLiteral("%1 (%2)").arg(hint, key.toString(QKeySequence::NativeText));
}

namespace {
QList<QKeySequence> keysOf(QKeySequence::StandardKey key, QList<QKeySequence> more = {})
{
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    for (const QKeySequence &k : more)
        if (!keys.contains(k))
            keys << k;
    return keys;
}
} // namespace

MainMenu::MainMenu(MainWindow *w)
    : QObject(w)
{
    QMenuBar *bar = w->menuBar();
    bar->setObjectName(QStringLiteral("MenuBar"));

    fileMenu = bar->addMenu(QStringLiteral("&File"));
    mirror(fileMenu, w->NewBtn, QStringLiteral("&New"), keysOf(QKeySequence::New));
    mirror(fileMenu, w->OpenBtn, QStringLiteral("&Open..."), keysOf(QKeySequence::Open));
    mirror(fileMenu, w->SaveBtn, QStringLiteral("&Save"), keysOf(QKeySequence::Save));
    mirror(fileMenu, w->SaveAsBtn, QStringLiteral("Save &as..."),
           keysOf(QKeySequence::SaveAs, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}));
    fileMenu->addSeparator();
    QAction *quit = fileMenu->addAction(QIcon::fromTheme(QStringLiteral("application-exit")), QStringLiteral("&Quit"));
    quit->setObjectName(QStringLiteral("QuitAction"));
    quit->setShortcuts(keysOf(QKeySequence::Quit, {QKeySequence(Qt::CTRL | Qt::Key_Q)}));
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, w, &QWidget::close);

    editMenu = bar->addMenu(QStringLiteral("&Edit"));
    mirror(editMenu, w->UndoBtn, QStringLiteral("&Undo"), keysOf(QKeySequence::Undo));
    mirror(editMenu, w->RedoBtn, QStringLiteral("&Redo"),
           keysOf(QKeySequence::Redo, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}));
    mirror(editMenu, w->HistoryBtn, QStringLiteral("&History"), {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H)});
    editMenu->addSeparator();
    mirror(editMenu, w->AutoApplyBtn, QStringLiteral("Auto &apply changes"), {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A)});

    viewMenu = bar->addMenu(QStringLiteral("&View"));
    mirror(viewMenu, w->RuleBtn, QStringLiteral("Game &Rules"), {QKeySequence(Qt::ALT | Qt::Key_1)});
    mirror(viewMenu, w->TeamBtn, QStringLiteral("&Team Info"), {QKeySequence(Qt::ALT | Qt::Key_2)});
    mirror(viewMenu, w->PlayerBtn, QStringLiteral("&Player Info"), {QKeySequence(Qt::ALT | Qt::Key_3)});
    mirror(viewMenu, w->MapBtn, QStringLiteral("&Map Editor"), {QKeySequence(Qt::ALT | Qt::Key_4)});
    viewMenu->addSeparator();
    mirror(viewMenu, w->ShowGridLineBtn, QStringLiteral("&Grid Lines"));
    mirror(viewMenu, w->MiniMapBtn, QStringLiteral("Mini&Map"));
    mirror(viewMenu, w->MapHintBtn, QStringLiteral("Map &Contents"));
    QMenu *layers = viewMenu->addMenu(QStringLiteral("&Layers"));
    for (QToolButton *b : w->ShowBtns)
        mirror(layers, b, b->toolTip().mid(5)); // "Show Terrain" -> "Terrain"

    mapMenu = bar->addMenu(QStringLiteral("&Map"));
    mirror(mapMenu, w->CreateNewMapBtn, QStringLiteral("Create a &New Map..."));
    mapMenu->addSeparator();
    w->Tools->addToMenu(mapMenu);

    helpMenu = bar->addMenu(QStringLiteral("&Help"));
    mirror(helpMenu, w->AboutBtn, QStringLiteral("&About"), {QKeySequence(Qt::SHIFT | Qt::Key_F1)});
}

QAction *MainMenu::mirror(QMenu *menu, QToolButton *button, const QString &text, QList<QKeySequence> keys)
{
    auto *action = menu->addAction(button->icon(), text);
    action->setObjectName(button->objectName() + QStringLiteral("Action"));
    action->setCheckable(button->isCheckable());
    action->setChecked(button->isChecked());
    action->setEnabled(button->isEnabled());
    action->setShortcuts(keys);
    if (!keys.isEmpty())
        button->setToolTip(hintWithKey(button->toolTip(), keys.first()));
    // The button's own click: its handlers and its check state stay the one truth.
    connect(action, &QAction::triggered, button, [action, button] {
        if (button->isCheckable())
            action->setChecked(button->isChecked()); // undone: the click below decides
        button->click();
    });
    connect(button, &QToolButton::toggled, action, &QAction::setChecked);
    button->installEventFilter(this);
    m_entries.append({button, action});
    return action;
}

QAction *MainMenu::actionFor(const QToolButton *button) const
{
    for (const auto &[b, a] : m_entries)
        if (b == button)
            return a;
    return nullptr;
}

bool MainMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        if (auto *button = qobject_cast<QToolButton *>(watched))
            if (QAction *a = actionFor(button))
                a->setEnabled(button->isEnabled());
    return QObject::eventFilter(watched, event);
}
