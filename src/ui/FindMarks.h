#pragma once
// The marks of a find's matching plots: a frame around each matching cell
// of the grid, thin enough that the cell stays readable, and a ring around
// each matching plot's block on the minimap's picture. They follow the
// search as it runs and as edits change the matches.

#include "GridOverlay.h"
#include "MiniMapMarks.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QTimer>

class MapGrid;
class MiniMapWindow;

namespace vor4 {
class PlotSearch;
}

class FindMarks : public QObject, public GridOverlay, public MiniMapMarks
{
    Q_OBJECT
public:
    // Orange: no terrain, symbol or line of the painter has it.
    static constexpr QRgb Colour = 0xffff8c00;

    FindMarks(const vor4::PlotSearch *search, MapGrid *grid, QObject *parent = nullptr);
    ~FindMarks() override;

    // Shown or not; hidden marks are neither drawn nor registered.
    void setShown(bool shown);
    bool isShown() const { return m_shown; }
    // The minimap window whose picture carries the marks; may be null.
    void setMiniMap(MiniMapWindow *miniMap);

    void paintOverlay(QPainter &painter, const QRect &area) override;
    void drawMarks(QImage &picture) override;

private:
    void matchesChanged(const QRect &cells);
    void refreshMiniMap();

    const vor4::PlotSearch *m_search;
    QPointer<MapGrid> m_grid;
    QPointer<MiniMapWindow> m_miniMap;
    bool m_shown = false;
    // The minimap's picture is a copy of the whole map: one redraw for a
    // burst of changes, and none while a search is still under way.
    QTimer m_miniMapTimer;
};
