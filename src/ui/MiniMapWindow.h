#pragma once
// The minimap tool window: the whole map at 3 pixels per plot with a white
// frame around the grid's view. Dragging the frame, or clicking beside it,
// scrolls the grid through the host.

#include "MiniMap.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

class MiniMapHost;
class MiniMapMarks;
class QLabel;
class QScrollArea;

class MiniMapWindow : public QWidget
{
    Q_OBJECT
public:
    explicit MiniMapWindow(MiniMapHost *host = nullptr, QWidget *parent = nullptr);

    void setHost(MiniMapHost *host) { m_host = host; }
    MiniMapHost *host() const { return m_host; }

    // The label showing the picture pixel for pixel at (0, 0), and the
    // area that scrolls it when the screen has no room for all of it.
    QLabel *pictureLabel() const { return m_pictureLabel; }
    QScrollArea *scrollArea() const { return m_scrollArea; }
    // What the label shows now.
    const QImage &picture() const { return m_picture; }

    // The view frame in minimap pixels: where the grid's view lies.
    const vor4::FrameRect &viewFrame() const { return m_viewFrame; }
    // Takes the frame and draws it.
    void setViewFrame(const vor4::FrameRect &frame);
    // Draws the picture again with the current frame: after the image or a
    // mark changed.
    void refresh() { drawViewFrame(m_viewFrame); }
    // Marks drawn on every picture, in the order added; not owned.
    void addMarks(MiniMapMarks *marks);
    void removeMarks(MiniMapMarks *marks);
    // Shows a plain copy of the host's image, without frame or marks (the
    // full render's last look).
    void showPlainPicture();
    // Sizes the label to the host's image; the window fits itself around
    // it, but takes at most half the screen's available area each way.
    void fitToPicture();

    // The mouse on the picture, in its pixels: a press inside the frame
    // grips it, a move drags it, a release ends the drag; a click, or a
    // drag that never scrolled, centres the frame on the pointer.
    void pressPicture(Qt::MouseButton button, QPoint at);
    void movePointer(QPoint at);
    void releasePicture(Qt::MouseButton button, QPoint at);
    // The drag under way: whether the frame is gripped, whether the drag
    // has scrolled the grid yet, and where its next offset is measured from.
    bool isDraggingFrame() const { return m_dragging; }
    bool dragHasScrolled() const { return m_dragScrolled; }
    QPoint dragAnchor() const { return m_dragAnchor; }
    // A scroll asked for by the minimap is under way.
    bool isScrolling() const { return m_scrolling; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Gives the label a fresh copy of the host's image with the marks and
    // the frame's outline on it.
    void drawViewFrame(const vor4::FrameRect &rect);
    void setPicture(const QImage &picture);
    // Scrolls the last frame drawn into view.
    void scrollToFrame();
    QSize clientSizeFor(const QSize &image) const;
    void keepOnScreen();

    MiniMapHost *m_host = nullptr;
    QLabel *m_pictureLabel = nullptr;
    QScrollArea *m_scrollArea = nullptr;
    QImage m_picture;
    QList<MiniMapMarks *> m_marks;
    vor4::FrameRect m_viewFrame;
    vor4::FrameRect m_shownFrame;
    QPoint m_dragAnchor;
    bool m_dragging = false;
    bool m_dragScrolled = false;
    bool m_scrolling = false;
};
