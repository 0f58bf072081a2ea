#pragma once
// Brush: press and drag paint the brush's square at every cell the pointer
// passes; between two pointer events the cells of the straight line are
// painted too, so a fast drag leaves no gaps. One drag is one undo step.

#include "MapTool.h"

namespace vor4 {

class BrushTool : public MapTool
{
    Q_OBJECT
public:
    using MapTool::MapTool;

protected:
    void onPress(QPoint cell, Qt::KeyboardModifiers modifiers) override;
    void onDrag(QPoint from, QPoint to) override;
};

} // namespace vor4
