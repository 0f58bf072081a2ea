#include "HistoryWindow.h"

#include "EditCommand.h"

#include <QHelpEvent>
#include <QHideEvent>
#include <QToolTip>
#include <QStyledItemDelegate>
#include <QUndoStack>
#include <QShowEvent>
#include <QUndoView>
#include <QVBoxLayout>

namespace {

// Steps of one kind share one text; the list shows each step's own name
// ("TerrainType changed at (20, 10)"). Row 0 is the state before any step.
class StepNameDelegate : public QStyledItemDelegate
{
public:
    StepNameDelegate(QUndoStack *stack, QObject *parent) : QStyledItemDelegate(parent), m_stack(stack) {}

    QString nameAt(const QModelIndex &index) const
    {
        const int step = index.row() - 1;
        if (step >= 0 && step < m_stack->count())
            if (const auto *c = dynamic_cast<const vor4::EditCommand *>(m_stack->command(step)))
                return c->name();
        return QString();
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (const QString name = nameAt(index); !name.isEmpty())
            option->text = name;
    }

    // A long name is cut short in the middle: its tool tip holds it whole.
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override
    {
        const QString name = nameAt(index);
        if (event->type() != QEvent::ToolTip || name.isEmpty())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        QToolTip::showText(event->globalPos(), name, view);
        return true;
    }

private:
    QUndoStack *m_stack;
};

} // namespace

HistoryWindow::HistoryWindow(QUndoStack *stack, QWidget *parent)
    : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("HistoryWindow"));
    setWindowTitle(QStringLiteral("History"));
    setAttribute(Qt::WA_QuitOnClose, false);
    m_view = new QUndoView(stack);
    m_view->setObjectName(QStringLiteral("HistoryView"));
    m_view->setEmptyLabel(QStringLiteral("<opened or new map>"));
    m_view->setItemDelegate(new StepNameDelegate(stack, m_view));
    m_view->setTextElideMode(Qt::ElideMiddle);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    resize(280, 360);
}

void HistoryWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        Q_EMIT visibilityChanged(true);
}

void HistoryWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        Q_EMIT visibilityChanged(false);
}
