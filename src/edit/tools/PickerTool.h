#pragma once
// Picker: a press takes the clicked plot's line of the brush's key as the
// new brush value (with no brush yet, its terrain line).

#include "MapTool.h"

namespace vor4 {

class PickerTool : public MapTool
{
    Q_OBJECT
public:
    using MapTool::MapTool;
    QRegion footprint() const override;

Q_SIGNALS:
    void brushPicked(const vor4::PaintRule &brush);

protected:
    bool needsBrush() const override { return false; }
    void onPress(QPoint cell, Qt::KeyboardModifiers modifiers) override;
};

} // namespace vor4
