#include "HintWindow.h"

HintWindow::HintWindow(QWidget *owner)
    : QLabel(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput)
{
    setObjectName(QStringLiteral("PlotHintWindow"));
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMargin(2);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMaximumWidth(1000);
}

void HintWindow::showHint(const QPoint &screenTopLeft, const QString &text)
{
    if (text != this->text()) {
        setText(text);
        adjustSize();
    }
    move(screenTopLeft);
    if (!isVisible())
        show();
}
