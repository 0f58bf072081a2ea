// What the main window tells about itself: the tool tips and keys of the
// text fields' buttons, Help > Legend and Help > Keyboard shortcuts.

#include "MainWindow.h"

#include "FindBar.h"
#include "Legend.h"
#include "MainMenu.h"
#include "MapGrid.h"
#include "MapToolBox.h"
#include "SectionMemo.h"
#include "ShortcutsWindow.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A key that works while the text field has the focus and clicks the
// field's button, whose tool tip then names it.
void bindKey(SectionMemo *memo, QToolButton *button, const QString &hint, const QKeySequence &key)
{
    auto *action = new QAction(hint, memo);
    action->setObjectName(button->objectName() + QStringLiteral("Action"));
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetShortcut);
    memo->addAction(action);
    QObject::connect(action, &QAction::triggered, button, &QToolButton::click);
    button->setToolTip(hintWithKey(hint, key));
}

} // namespace

void MainWindow::setUpHelp()
{
    const QKeySequence apply(Qt::CTRL | Qt::Key_Return), recall(Qt::CTRL | Qt::Key_R),
        clear(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete);
    struct Section
    {
        SectionMemo *memo;
        const char *apply, *recall, *clear;
    };
    for (const Section &s : {Section{GMemo, "ToolButton21", "ToolButton22", "ToolButton23"},
                             Section{DMemo, "ToolButton17", "ToolButton18", "ToolButton19"},
                             Section{PMemo, "ToolButton13", "ToolButton14", "ToolButton15"},
                             Section{MMemo, "ToolButton1", "ToolButton28", "ToolButton29"}}) {
        const auto button = [this](const char *name) { return findChild<QToolButton *>(QLatin1String(name)); };
        bindKey(s.memo, button(s.apply), QStringLiteral("Store this text into the map"), apply);
        bindKey(s.memo, button(s.recall), QStringLiteral("Bring back the text stored in the map"), recall);
        bindKey(s.memo, button(s.clear), QStringLiteral("Empty this text field (Apply stores the empty text)"),
                clear);
    }
    bindKey(Memo, MapApplyBtn, QStringLiteral("Store this text into the selected plot"), apply);
    bindKey(Memo, MapRecallBtn, QStringLiteral("Bring back the plot's text from before the last Clear or change"),
            recall);
    bindKey(Memo, MapClearBtn, QStringLiteral("Empty the selected plot"), clear);
    for (SectionMemo *memo : {GMemo, DMemo, PMemo, MMemo, Memo})
        memo->setProperty("shortcutGroup", QStringLiteral("Text fields"));
    Tools->toolBar()->setProperty("shortcutGroup", QStringLiteral("Paint bar"));
    MapFindBar->setProperty("shortcutGroup", QStringLiteral("Find bar"));
    DrawGrid->setProperty("shortcutGroup", QStringLiteral("Map grid"));

    Shortcuts = new ShortcutsWindow(this);
    QAction *keys = Menu->helpMenu->addAction(QStringLiteral("&Keyboard shortcuts"));
    keys->setObjectName(QStringLiteral("KeyboardShortcutsAction"));
    keys->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F1));
    keys->setToolTip(hintWithKey(QStringLiteral("List every key of the editor"), keys->shortcut()));
    Menu->helpMenu->insertAction(Menu->helpMenu->actions().value(0), keys);
    connect(keys, &QAction::triggered, this, &MainWindow::KeyboardShortcutsClick);

    QAction *legend = new QAction(QStringLiteral("&Legend"), Menu->helpMenu);
    legend->setObjectName(QStringLiteral("LegendAction"));
    legend->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L));
    legend->setToolTip(hintWithKey(QStringLiteral("What the grid's colours and marks mean"), legend->shortcut()));
    Menu->helpMenu->insertAction(keys, legend);
    connect(legend, &QAction::triggered, this, [this] {
        auto *window = findChild<QDialog *>(QStringLiteral("LegendWindow"));
        if (!window) {
            // Drawn once, by the cell painter, as the README's picture is.
            window = new QDialog(this);
            window->setObjectName(QStringLiteral("LegendWindow"));
            window->setWindowTitle(QStringLiteral("Legend"));
            auto *picture = new QLabel;
            picture->setPixmap(QPixmap::fromImage(vor4::legendImage()));
            (new QVBoxLayout(window))->addWidget(picture);
        }
        window->show();
        window->raise();
    });
}

void MainWindow::KeyboardShortcutsClick()
{
    Shortcuts->show();
    Shortcuts->raise();
    Shortcuts->activateWindow();
}

bool MainWindow::isUntitled() const { return m_captionName == QLatin1String("Untitled"); }
