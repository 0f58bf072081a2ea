#pragma once
// A hint in the style of tool tips that follows the pointer: the plot
// under it, over the map grid.

#include <QLabel>

class HintWindow : public QLabel
{
    Q_OBJECT
public:
    explicit HintWindow(QWidget *owner);
    // Sizes itself to the text (at most 1000 pixels wide) and shows at the
    // given screen position.
    void showHint(const QPoint &screenTopLeft, const QString &text);
    void hideHint() { hide(); }
};
