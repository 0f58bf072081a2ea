#pragma once
// The minimap tool window. The whole map at 3 pixels per plot with a
// white frame around the grid's view; dragging the frame or clicking scrolls
// the grid through the host's ScrollMapTo.

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

    // The picture, shown pixel for pixel at (0, 0); scrolled when the
    // screen has no room for all of it.
    QLabel *Image1 = nullptr;
    QScrollArea *ScrollBox = nullptr;

    vor4::FrameRect ViewRect; // the view frame in minimap pixels
    QPoint DragAnchor;        // where the current drag offset is measured from
    bool Dragging = false;    // a drag of the frame is in progress
    bool Moved = false;       // the current drag has scrolled the grid
    bool Busy = false;        // a scroll requested by the minimap is under way

    // Gives Image1 a fresh copy of MiniMapBitmap with the marks and the
    // frame's outline on it.
    void DrawViewFrame(const vor4::FrameRect &rect);
    // Draws the picture again with the current frame: after the image or a
    // mark changed.
    void refresh() { DrawViewFrame(ViewRect); }
    // Marks drawn on every picture, in the order added; not owned.
    void addMarks(MiniMapMarks *marks);
    void removeMarks(MiniMapMarks *marks);
    // Gives Image1 a plain copy of MiniMapBitmap (the full render's last look).
    void ShowBitmap();
    // Sizes Image1 to MiniMapBitmap; the window fits itself around it, but
    // takes at most half the screen's available area each way.
    void FitImage1();
    // What Image1 shows now.
    const QImage &picture() const { return m_picture; }

    void FormCreate();
    void FormShow();
    void FormClose();
    void Image1MouseDown(Qt::MouseButton button, int x, int y);
    void Image1MouseMove(int x, int y);
    void Image1MouseUp(Qt::MouseButton button, int x, int y);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setPicture(const QImage &picture);
    // Scrolls the last frame drawn into view.
    void scrollToFrame();
    QSize clientSizeFor(const QSize &image) const;
    void keepOnScreen();
    MiniMapHost *m_host = nullptr;
    QImage m_picture;
    QList<MiniMapMarks *> m_marks;
    vor4::FrameRect m_shownFrame;
};

