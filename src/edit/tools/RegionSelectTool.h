#pragma once
// Select region: press, drag and release select the rectangle of plots
// between the pressed and the released cell; with Shift the rectangle is
// added to the selection there was. A click without a drag clears the
// selection when it falls outside it. The selection changes on release, as
// one step of the history; the footprint shows it while dragging.

#include "MapTool.h"

namespace vor4 {

class RegionSelectTool : public MapTool
{
    Q_OBJECT
public:
    using MapTool::MapTool;
    QRegion footprint() const override;

protected:
    bool needsBrush() const override { return false; }
    void onPress(QPoint cell, Qt::KeyboardModifiers modifiers) override;
    void onRelease(QPoint cell) override;

private:
    QRegion pending(QPoint end) const;

    bool m_extend = false;
    QRegion m_before;
};

} // namespace vor4
