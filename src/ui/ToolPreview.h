#pragma once
// The outline over the cells the active tool's next click would change, or
// its drag will change on release; it follows the pointer and goes when the
// pointer leaves the grid.

#include "GridOverlay.h"

#include <QObject>
#include <QPointer>
#include <QRegion>

class MapGrid;
namespace vor4 {
class MapTool;
}

class ToolPreview : public QObject, public GridOverlay
{
    Q_OBJECT
public:
    explicit ToolPreview(MapGrid *grid, QObject *parent = nullptr);
    ~ToolPreview() override;

    // The tool whose footprint is outlined; none outlines nothing.
    void setTool(vor4::MapTool *tool);
    // The cells outlined now.
    const QRegion &cells() const { return m_cells; }

    void paintOverlay(QPainter &painter, const QRect &area) override;

private:
    void follow();
    // The viewport pixels of the cells in view, the lines after them included.
    QRegion pixels(const QRegion &cells) const;

    QPointer<MapGrid> m_grid;
    QPointer<vor4::MapTool> m_tool;
    QMetaObject::Connection m_watch;
    QRegion m_cells;
};
