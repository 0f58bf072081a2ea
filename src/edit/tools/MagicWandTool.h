#pragma once
// Magic wand: a click selects the plots the Fill tool would fill from there
// (the brush's key, or the terrain without a brush); with Shift they are
// added to the selection, with Ctrl taken out of it. One step of the history.

#include "MapTool.h"

namespace vor4 {

class MagicWandTool : public MapTool
{
    Q_OBJECT
public:
    using MapTool::MapTool;
    QRegion footprint() const override;

protected:
    bool needsBrush() const override { return false; }
    void onPress(QPoint cell, Qt::KeyboardModifiers modifiers) override;
};

} // namespace vor4
