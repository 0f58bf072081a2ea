#pragma once
// Fill: a press fills the region around the pressed plot whose value for
// the brush's key equals that plot's (4-connected, within the map); with
// Shift, every selected plot instead (with nothing selected, Shift makes no
// difference). The region is found on the press, never while hovering, so
// the preview is the plot under the pointer.

#include "MapTool.h"

namespace vor4 {

class FillTool : public MapTool
{
    Q_OBJECT
public:
    using MapTool::MapTool;
    QRegion footprint() const override;

protected:
    void onPress(QPoint cell, Qt::KeyboardModifiers modifiers) override;
    QString verb() const override { return QStringLiteral("Fill"); }
};

} // namespace vor4
