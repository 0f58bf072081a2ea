#pragma once
// Eraser: the brush that deletes the first line of the brush's key from
// every plot it passes, whichever button drags it.

#include "BrushTool.h"

namespace vor4 {

class EraserTool : public BrushTool
{
    Q_OBJECT
public:
    using BrushTool::BrushTool;

protected:
    bool takesKey() const override { return true; }
};

} // namespace vor4
