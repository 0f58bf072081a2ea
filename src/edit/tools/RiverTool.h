#pragma once
// River: a drag draws river edges along the plot edges it passes, flowing
// the way the drag goes; with Shift it removes them. The tool works on the
// corners of the plots: corner (i, j) is the top left corner of cell
// (i, j), and the grid hands it the corner nearest the pointer. One drag is
// one undo step, made on release.

#include "MapTool.h"
#include "PieceEdits.h"

namespace vor4 {

class RiverTool : public MapTool
{
    Q_OBJECT
public:
    using MapTool::MapTool;
    bool usesCorners() const override { return true; }
    // The cells along the edges of the drag so far.
    QRegion footprint() const override;
    // The edge between two neighbouring corners, on the plot that names it
    // (a side of a cell of the map), flowing from `from` to `to`.
    static PieceEdits::RiverEdit edgeBetween(QPoint from, QPoint to);

protected:
    bool needsBrush() const override { return false; }
    bool paintsSymmetrically() const override { return true; }
    void onPress(QPoint corner, Qt::KeyboardModifiers modifiers) override;
    void onDrag(QPoint from, QPoint to) override;
    void onRelease(QPoint corner) override;

private:
    QList<PieceEdits::RiverEdit> m_edits;
    bool m_removing = false;
};

} // namespace vor4
