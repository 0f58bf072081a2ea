#pragma once
// The edit history as a list of its steps: a click on a step undoes or
// redoes up to it. A tool window, hidden until asked for; closing it hides it.

#include <QWidget>

class QUndoStack;
class QUndoView;

class HistoryWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HistoryWindow(QUndoStack *stack, QWidget *parent = nullptr);

    QUndoView *view() const { return m_view; }

Q_SIGNALS:
    void visibilityChanged(bool visible);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QUndoView *m_view;
};
