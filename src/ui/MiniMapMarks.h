#pragma once
// Something marked on the minimap's picture besides the view frame: find
// marks, a selected region. Drawn on each fresh copy of the minimap image,
// before the frame; the image itself never carries them.

class QImage;

class MiniMapMarks
{
public:
    virtual ~MiniMapMarks() = default;
    // `picture` has 3 x 3 pixels a plot.
    virtual void drawMarks(QImage &picture) = 0;
};
