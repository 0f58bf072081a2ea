#pragma once
// The block being pasted, floating over the map grid with its top-left plot
// under the pointer: its plots drawn faintly over the cells with an outline
// around its footprint. A click (or Enter) places it, Escape or the right
// button lets it go; the grid takes no other use of the mouse meanwhile.

#include "GridOverlay.h"
#include "PlotRegion.h"

#include <QObject>
#include <QPointer>
#include <QPoint>

class MapGrid;

class PastePreview : public QObject, public GridOverlay
{
    Q_OBJECT
public:
    // Starts floating at `cell` (the block's top-left), or under the pointer
    // when it is over the grid.
    PastePreview(vor4::PlotRegion region, MapGrid *grid, QPoint cell, QObject *parent = nullptr);
    ~PastePreview() override;

    const vor4::PlotRegion &region() const { return m_region; }
    // The block, for placing it: the preview shows nothing after.
    vor4::PlotRegion takeRegion();
    // The block's top-left cell.
    QPoint position() const { return m_position; }
    void moveTo(QPoint cell);
    // The cells the block covers now (may reach beyond the map).
    QRect footprint() const { return QRect(m_position, m_region.size()); }

    void paintOverlay(QPainter &painter, const QRect &area) override;

Q_SIGNALS:
    // The user put it down with its top-left at `cell`, or let it go.
    void placed(QPoint cell);
    void cancelled();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void repaint(const QRect &cells);

    vor4::PlotRegion m_region;
    QPointer<MapGrid> m_grid; // windows go before their helpers at exit
    QPoint m_position;
};
