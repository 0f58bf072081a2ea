#include "HistoryWindow.h"

#include <QHideEvent>
#include <QShowEvent>
#include <QUndoView>
#include <QVBoxLayout>

HistoryWindow::HistoryWindow(QUndoStack *stack, QWidget *parent)
    : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("HistoryWindow"));
    setWindowTitle(QStringLiteral("History"));
    setAttribute(Qt::WA_QuitOnClose, false);
    m_view = new QUndoView(stack);
    m_view->setObjectName(QStringLiteral("HistoryView"));
    m_view->setEmptyLabel(QStringLiteral("<opened or new map>"));
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
