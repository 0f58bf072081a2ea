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
    m_pictureLabel = new QLabel;
    m_pictureLabel->setObjectName(QStringLiteral("pictureLabel"));
    m_pictureLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_pictureLabel->setContentsMargins(0, 0, 0, 0);
    m_pictureLabel->setFixedSize(177, 120);
    m_pictureLabel->installEventFilter(this);
    // A big map's picture scrolls inside a window of limited size.
    m_scrollArea = new QScrollArea;
    m_scrollArea->setObjectName(QStringLiteral("scrollArea"));
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_scrollArea->setWidget(m_pictureLabel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_scrollArea);
    setFixedSize(177, 120);
    move(819, 239);
}

void MiniMapWindow::setPicture(const QImage &picture)
{
    m_picture = picture;
    m_pictureLabel->setPixmap(QPixmap::fromImage(m_picture));
}

void MiniMapWindow::showPlainPicture()
{
    setPicture(m_host ? m_host->miniMapBitmap() : QImage());
}

void MiniMapWindow::setViewFrame(const vor4::FrameRect &frame)
{
    m_viewFrame = frame;
    drawViewFrame(frame);
}

void MiniMapWindow::drawViewFrame(const vor4::FrameRect &rect)
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
    if (!m_dragging)
        scrollToFrame();
}

void MiniMapWindow::scrollToFrame()
{
    const vor4::FrameRect &f = m_shownFrame;
    if (f.width() <= 0 || f.height() <= 0)
        return;
    const QSize view = m_scrollArea->viewport()->size();
    m_scrollArea->ensureVisible(f.left + f.width() / 2, f.top + f.height() / 2, qMin(f.width(), view.width()) / 2,
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
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scrollArea);
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

void MiniMapWindow::fitToPicture()
{
    const QSize image = m_host ? m_host->miniMapBitmap().size() : QSize(0, 0);
    m_pictureLabel->setFixedSize(image);
    setFixedSize(clientSizeFor(image));
    if (isVisible()) {
        layout()->activate();
        keepOnScreen();
        scrollToFrame();
    }
}

void MiniMapWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The frame where the grid is now; the window fits the picture.
    if (!event->spontaneous() && m_host) {
        m_host->scrollGridTo(m_host->gridLeftCol(), m_host->gridTopRow(), true);
        fitToPicture();
    }
}

void MiniMapWindow::closeEvent(QCloseEvent *event)
{
    // Closing only hides the window; fields and position stay.
    if (m_host)
        m_host->setMiniMapButtonDown(false);
    event->accept();
}

bool MiniMapWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_pictureLabel)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto *e = static_cast<QMouseEvent *>(event);
        pressPicture(e->button(), e->position().toPoint());
        return true;
    }
    case QEvent::MouseMove: {
        movePointer(static_cast<QMouseEvent *>(event)->position().toPoint());
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto *e = static_cast<QMouseEvent *>(event);
        releasePicture(e->button(), e->position().toPoint());
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void MiniMapWindow::pressPicture(Qt::MouseButton button, QPoint at)
{
    if (button != Qt::LeftButton)
        return;
    m_dragScrolled = false;
    m_dragging = m_viewFrame.contains(at);
    m_dragAnchor = at;
}

void MiniMapWindow::movePointer(QPoint at)
{
    if (!m_dragging || !m_host)
        return;
    const vor4::DragStep step = vor4::dragStep(m_viewFrame, m_dragAnchor, at, m_host->miniMapBitmap().size(),
                                               m_host->gridColCount(), m_host->gridRowCount());
    drawViewFrame(step.frame);
    if (m_scrolling)
        return;
    m_scrolling = true;
    if (m_host->scrollGridTo(step.col, step.row, false)) {
        m_dragAnchor = at;
        m_viewFrame = step.frame;
        m_dragScrolled = true;
    }
    m_scrolling = false;
}

void MiniMapWindow::releasePicture(Qt::MouseButton button, QPoint at)
{
    if (button != Qt::LeftButton)
        return;
    if (!(m_dragging && m_dragScrolled)) {
        // A click, or a drag that never scrolled: the frame's centre jumps here.
        m_dragging = true;
        m_dragAnchor = m_viewFrame.centre();
        movePointer(at);
    }
    m_dragScrolled = false;
    m_dragging = false;
    m_dragAnchor = QPoint(0, 0);
    scrollToFrame();
}
