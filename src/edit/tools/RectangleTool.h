#pragma once
// Rectangle: press, drag and release paint every plot of the rectangle
// between the pressed and the released cell; the brush size plays no part.

#include "MapTool.h"

namespace vor4 {

class RectangleTool : public MapTool
{
    Q_OBJECT
public:
    using MapTool::MapTool;
    QRegion footprint() const override;

protected:
    void onPress(QPoint, Qt::KeyboardModifiers) override {}
    void onRelease(QPoint cell) override;
};

} // namespace vor4
