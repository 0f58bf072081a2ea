#pragma once
// The resize dialog's picture: the new map's outline, and the old map
// where it will lie in it, both scaled to fit.

#include <QPoint>
#include <QSize>
#include <QWidget>

class ResizePreview : public QWidget
{
    Q_OBJECT
public:
    explicit ResizePreview(QWidget *parent = nullptr);

    // The old map's top-left cell in the new map, as seen (row 0 at the top).
    void setMaps(QSize oldSize, QSize newSize, QPoint oldTopLeft);
    // New plots filled with ocean, or left empty (white, as the grid paints them).
    void setOceanFill(bool ocean);
    bool oceanFill() const { return m_ocean; }
    QSize sizeHint() const override { return QSize(220, 160); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSize m_old;
    QSize m_new;
    QPoint m_at;
    bool m_ocean = true;
};
