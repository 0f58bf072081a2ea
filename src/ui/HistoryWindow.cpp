#include "HistoryWindow.h"

#include "EditCommand.h"

#include <QHideEvent>
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

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const int step = index.row() - 1;
        if (step >= 0 && step < m_stack->count())
            if (const auto *c = dynamic_cast<const vor4::EditCommand *>(m_stack->command(step)))
                option->text = c->name();
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
