#include "MiniMapWindow.h"

#include "MiniMapHost.h"
#include "MiniMapMarks.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>

MiniMapWindow::MiniMapWindow(MiniMapHost *host, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint)
    , m_host(host)
{
    setObjectName(QStringLiteral("MiniMapWindow"));
    setWindowTitle(QStringLiteral("MiniMap"));
    Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setContentsMargins(0, 0, 0, 0);
    Image1->setFixedSize(177, 120);
    Image1->installEventFilter(this);
    // A big map's picture scrolls inside a window of limited size.
    ScrollBox = new QScrollArea;
    ScrollBox->setObjectName(QStringLiteral("ScrollBox"));
    ScrollBox->setFrameShape(QFrame::NoFrame);
    ScrollBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBox->setWidget(Image1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ScrollBox);
    setFixedSize(177, 120);
    move(819, 239);
    FormCreate();
}

void MiniMapWindow::FormCreate()
{
    Dragging = false;
    Busy = false;
    Moved = false;
    DragAnchor = QPoint(0, 0);
}

void MiniMapWindow::setPicture(const QImage &picture)
{
    m_picture = picture;
    Image1->setPixmap(QPixmap::fromImage(m_picture));
}

void MiniMapWindow::ShowBitmap()
{
    setPicture(m_host ? m_host->miniMapBitmap() : QImage());
}

void MiniMapWindow::DrawViewFrame(const vor4::FrameRect &rect)
{
    if (!m_host)
        return;
    QImage picture = m_host->miniMapBitmap();
    if (picture.format() != QImage::Format_RGB32 && !picture.isNull())
        picture = picture.convertToFormat(QImage::Format_RGB32);
    for (MiniMapMarks *marks : m_marks)
        marks->drawMarks(picture);
    vor4::drawFrame(picture, rect);
    setPicture(picture);
    m_shownFrame = rect;
    // While the mouse drags the frame it is the mouse that scrolls: moving
    // the picture under it would speed the frame up.
    if (!Dragging)
        scrollToFrame();
}

void MiniMapWindow::scrollToFrame()
{
    const vor4::FrameRect &f = m_shownFrame;
    if (f.width() <= 0 || f.height() <= 0)
        return;
    const QSize view = ScrollBox->viewport()->size();
    ScrollBox->ensureVisible(f.left + f.width() / 2, f.top + f.height() / 2, qMin(f.width(), view.width()) / 2,
                             qMin(f.height(), view.height()) / 2);
}

QSize MiniMapWindow::clientSizeFor(const QSize &image) const
{
    // At most half the screen's free area each way, frame included: the
    // window stays on top and must not hide the grid it steers. Before the
    // window is first shown its frame is not known, so a caption is assumed.
    const QScreen *s = screen();
    if (!s)
        return image;
    QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    if (frame.isNull())
        frame = QMargins(8, 32, 8, 8);
    const QSize room = (s->availableGeometry().size() / 2).shrunkBy(frame).expandedTo(QSize(1, 1));
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ScrollBox);
    QSize size = image;
    bool across = size.width() > room.width();
    bool down = size.height() > room.height();
    if (across)
        size.rheight() += bar;
    if (down)
        size.rwidth() += bar;
    // One scroll bar can make the other one needed.
    if (!down && size.height() > room.height()) {
        down = true;
        size.rwidth() += bar;
    }
    if (!across && size.width() > room.width())
        size.rheight() += bar;
    return size.boundedTo(room);
}

void MiniMapWindow::keepOnScreen()
{
    const QScreen *s = screen();
    if (!s)
        return;
    const QRect room = s->availableGeometry();
    const QRect outer = frameGeometry();
    QPoint at = outer.topLeft();
    at.setX(qMax(room.left(), qMin(at.x(), room.right() + 1 - outer.width())));
    at.setY(qMax(room.top(), qMin(at.y(), room.bottom() + 1 - outer.height())));
    if (at != outer.topLeft())
        move(at);
}

void MiniMapWindow::addMarks(MiniMapMarks *marks)
{
    m_marks.append(marks);
    refresh();
}

void MiniMapWindow::removeMarks(MiniMapMarks *marks)
{
    m_marks.removeAll(marks);
    refresh();
}

void MiniMapWindow::FitImage1()
{
    const QSize image = m_host ? m_host->miniMapBitmap().size() : QSize(0, 0);
    Image1->setFixedSize(image);
    setFixedSize(clientSizeFor(image));
    if (isVisible()) {
        layout()->activate();
        keepOnScreen();
        scrollToFrame();
    }
}

void MiniMapWindow::FormShow()
{
    if (!m_host)
        return;
    m_host->ScrollMapTo(m_host->gridLeftCol(), m_host->gridTopRow(), true);
    FitImage1();
}

void MiniMapWindow::FormClose()
{
    if (m_host)
        m_host->setMiniMapBtnDown(false);
}

void MiniMapWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void MiniMapWindow::closeEvent(QCloseEvent *event)
{
    // Closing only hides the window; fields and position stay.
    FormClose();
    event->accept();
}

bool MiniMapWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != Image1)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto *e = static_cast<QMouseEvent *>(event);
        const QPoint p = e->position().toPoint();
        Image1MouseDown(e->button(), p.x(), p.y());
        return true;
    }
    case QEvent::MouseMove: {
        const QPoint p = static_cast<QMouseEvent *>(event)->position().toPoint();
        Image1MouseMove(p.x(), p.y());
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto *e = static_cast<QMouseEvent *>(event);
        const QPoint p = e->position().toPoint();
        Image1MouseUp(e->button(), p.x(), p.y());
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void MiniMapWindow::Image1MouseDown(Qt::MouseButton button, int x, int y)
{
    if (button != Qt::LeftButton)
        return;
    Moved = false;
    Dragging = ViewRect.contains(QPoint(x, y));
    DragAnchor = QPoint(x, y);
}

void MiniMapWindow::Image1MouseMove(int x, int y)
{
    if (!Dragging || !m_host)
        return;
    const vor4::DragStep step = vor4::dragStep(ViewRect, DragAnchor, QPoint(x, y), m_host->miniMapBitmap().size(),
                                               m_host->gridColCount(), m_host->gridRowCount());
    DrawViewFrame(step.frame);
    if (Busy)
        return;
    Busy = true;
    if (m_host->ScrollMapTo(step.col, step.row, false)) {
        DragAnchor = QPoint(x, y);
        ViewRect = step.frame;
        Moved = true;
    }
    Busy = false;
}

void MiniMapWindow::Image1MouseUp(Qt::MouseButton button, int x, int y)
{
    if (button != Qt::LeftButton)
        return;
    if (!(Dragging && Moved)) {
        // A click, or a drag that never scrolled: the frame's centre jumps here.
        Dragging = true;
        DragAnchor = ViewRect.centre();
        Image1MouseMove(x, y);
    }
    Moved = false;
    Dragging = false;
    DragAnchor = QPoint(0, 0);
    scrollToFrame();
}
