#pragma once
// A hint window in the style of tool tips that follows the pointer.

#include <QLabel>

class HintWindow : public QLabel
{
    Q_OBJECT
public:
    explicit HintWindow(QWidget *owner);
    // Sizes itself to the text (at most 1000 pixels wide) and shows at the
    // given screen position.
    void activateHint(const QPoint &screenTopLeft, const QString &text);
    void releaseHint() { hide(); }
};
