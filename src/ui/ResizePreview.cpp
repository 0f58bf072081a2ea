#include "ResizePreview.h"

#include <QPainter>

ResizePreview::ResizePreview(QWidget *parent)
    : QWidget(parent)
{
    setMinimumSize(160, 120);
}

void ResizePreview::setMaps(QSize oldSize, QSize newSize, QPoint oldTopLeft)
{
    m_old = oldSize;
    m_new = newSize;
    m_at = oldTopLeft;
    update();
}

void ResizePreview::setOceanFill(bool ocean)
{
    m_ocean = ocean;
    update();
}

void ResizePreview::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    if (m_old.isEmpty() || m_new.isEmpty())
        return;
    // One scale for both, so that what sticks out of the new map shows.
    const QRectF both = QRectF(QPointF(0, 0), QSizeF(m_new)) | QRectF(QPointF(m_at), QSizeF(m_old));
    const QRectF room = QRectF(rect()).adjusted(6, 6, -6, -6);
    const qreal scale = qMin(room.width() / both.width(), room.height() / both.height());
    const QPointF origin = room.center() - both.center() * scale;
    const auto place = [&](const QRectF &cells) {
        return QRectF(origin + cells.topLeft() * scale, cells.size() * scale);
    };
    p.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DashLine));
    p.setBrush(m_ocean ? QColor(20, 60, 150) : QColor(255, 255, 255)); // the new plots
    p.drawRect(place(QRectF(QPointF(0, 0), QSizeF(m_new))));
    p.setPen(QPen(QColor(0, 0, 0), 1));
    p.setBrush(QColor(90, 170, 70, 200)); // the old map: land-green
    p.drawRect(place(QRectF(QPointF(m_at), QSizeF(m_old))));
}
