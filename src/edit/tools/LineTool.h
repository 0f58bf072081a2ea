#pragma once
// Line: press, drag and release paint a straight line of brush squares from
// the pressed cell to the released one; the preview follows the drag.

#include "MapTool.h"

namespace vor4 {

class LineTool : public MapTool
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
