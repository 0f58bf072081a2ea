#include "ShortcutsWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialogButtonBox>
#include <QHash>
#include <QHeaderView>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString keyText(const QList<QKeySequence> &keys)
{
    QStringList names;
    for (const QKeySequence &k : keys)
        if (!k.isEmpty())
            names << k.toString(QKeySequence::NativeText);
    return names.join(QStringLiteral(", "));
}

QString keyText(std::initializer_list<QKeySequence> keys) { return keyText(QList<QKeySequence>(keys)); }

QString commandText(QString text)
{
    return text.remove(QLatin1Char('&')).remove(QLatin1String("...")).trimmed();
}

// "Smaller brush ([)" -> "Smaller brush"
QString withoutKey(const QString &toolTip)
{
    const qsizetype at = toolTip.lastIndexOf(QLatin1String(" ("));
    return at > 0 && toolTip.endsWith(QLatin1Char(')')) ? toolTip.left(at) : toolTip;
}

QString groupOf(const QObject *o)
{
    for (; o; o = o->parent()) {
        const QString group = o->property("shortcutGroup").toString();
        if (!group.isEmpty())
            return group;
    }
    return QStringLiteral("Other");
}

void addMenu(const QMenu *menu, const QString &path, QList<ShortcutEntry> &out, QSet<const QAction *> &seen)
{
    for (const QAction *a : menu->actions()) {
        if (const QMenu *sub = a->menu()) {
            addMenu(sub, path + QStringLiteral(" > ") + commandText(sub->title()), out, seen);
            continue;
        }
        seen.insert(a);
        if (!a->shortcuts().isEmpty())
            out.append({path, commandText(a->text()), keyText(a->shortcuts())});
    }
}

} // namespace

QList<ShortcutEntry> collectShortcuts(const QMainWindow *window)
{
    QList<ShortcutEntry> out;
    QSet<const QAction *> seen;
    for (const QAction *a : window->menuBar()->actions())
        if (const QMenu *menu = a->menu())
            addMenu(menu, commandText(menu->title()), out, seen);

    // Actions that live on a widget (the text fields' Apply, Recall, Clear),
    // and buttons with keys of their own (the find bar's).
    QSet<QPair<QString, QString>> listed;
    for (const QAction *a : window->findChildren<QAction *>()) {
        if (seen.contains(a) || a->shortcuts().isEmpty() || a->menu())
            continue;
        const ShortcutEntry e{groupOf(a), commandText(a->text()), keyText(a->shortcuts())};
        if (!listed.contains({e.command, e.keys})) {
            listed.insert({e.command, e.keys});
            out.append(e);
        }
    }
    const QList<QAbstractButton *> buttons = window->findChildren<QAbstractButton *>();
    for (const QAbstractButton *b : buttons)
        if (!b->shortcut().isEmpty())
            out.append({groupOf(b), withoutKey(b->toolTip()), keyText({b->shortcut()})});
    // A key of a bar whose button names it in its tool tip ("Replace all (Alt+A)").
    for (const QShortcut *s : window->findChildren<QShortcut *>()) {
        const QString keys = keyText(s->keys());
        QString command = s->whatsThis();
        for (const QAbstractButton *b : buttons)
            if (command.isEmpty() && b->toolTip().endsWith(QStringLiteral(" (%1)").arg(keys)))
                command = withoutKey(b->toolTip());
        if (!command.isEmpty() && !listed.contains({command, keys})) {
            listed.insert({command, keys});
            out.append({groupOf(s), command, keys});
        }
    }

    // Keys the grid and the text fields read themselves.
    const QString grid = QStringLiteral("Map grid");
    out.append({grid, QStringLiteral("Select the plot beside"),
                keyText({Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down})});
    out.append({grid, QStringLiteral("Move the view and the selection a page"),
                keyText({Qt::Key_PageUp, Qt::Key_PageDown})});
    out.append({grid, QStringLiteral("First or last plot of the row"), keyText({Qt::Key_Home, Qt::Key_End})});
    out.append({grid, QStringLiteral("First or last plot of the map"),
                keyText({Qt::CTRL | Qt::Key_Home, Qt::CTRL | Qt::Key_End})});
    out.append({grid, QStringLiteral("Give back the plots of the drag under way"), keyText({Qt::Key_Escape})});
    out.append({grid, QStringLiteral("Zoom in or out; the selected plot moves a row"), QStringLiteral("Wheel")});
    out.append({QStringLiteral("Find bar"), QStringLiteral("Next or previous match, from the find field"),
                keyText({Qt::Key_Enter, Qt::SHIFT | Qt::Key_Enter})});
    out.append({grid, QStringLiteral("Put the floating block down, or let it go"),
                keyText({Qt::Key_Enter, Qt::Key_Escape})});
    out.append({QStringLiteral("Text fields"), QStringLiteral("Leave the text field (Tab itself is text)"),
                keyText({Qt::CTRL | Qt::Key_Tab, Qt::CTRL | Qt::SHIFT | Qt::Key_Tab})});
    return out;
}

ShortcutsWindow::ShortcutsWindow(QMainWindow *window)
    : QDialog(window)
    , m_window(window)
{
    setObjectName(QStringLiteral("ShortcutsWindow"));
    setWindowTitle(QStringLiteral("Keyboard shortcuts"));
    setAttribute(Qt::WA_QuitOnClose, false);
    m_tree = new QTreeWidget;
    m_tree->setObjectName(QStringLiteral("ShortcutsTree"));
    m_tree->setColumnCount(2);
    m_tree->setHeaderLabels({QStringLiteral("Command"), QStringLiteral("Keys")});
    m_tree->setRootIsDecorated(false);
    m_tree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_tree->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_tree->header()->setStretchLastSection(false);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tree);
    layout->addWidget(buttons);
    resize(520, 560);
}

void ShortcutsWindow::showEvent(QShowEvent *event)
{
    refresh();
    QDialog::showEvent(event);
}

void ShortcutsWindow::refresh()
{
    m_tree->clear();
    QHash<QString, QTreeWidgetItem *> groups;
    for (const ShortcutEntry &e : collectShortcuts(m_window)) {
        QTreeWidgetItem *&group = groups[e.group];
        if (!group) {
            group = new QTreeWidgetItem(m_tree, {e.group});
            group->setFirstColumnSpanned(true);
            QFont bold = group->font(0);
            bold.setBold(true);
            group->setFont(0, bold);
        }
        new QTreeWidgetItem(group, {e.command, e.keys});
    }
    m_tree->expandAll();
}
