#pragma once
// The map grid, drawn by the editor itself: one square cell per plot; only
// the visible cells are painted, through the shared grid painter, in a
// map style.

#include "MapPainter.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QRegion>
#include <vector>

class CurrentCell;
class GridOverlay;

namespace vor4 {
class Document;
class MapDocument;
class MapTool;
}

class MapGrid : public QAbstractScrollArea
{
    Q_OBJECT
public:
    static constexpr int DefaultCellSize = 16;

    explicit MapGrid(QWidget *parent = nullptr);

    // The document whose PlotTexts are painted and whose size the grid takes.
    void setDocument(const vor4::Document *doc);
    // The same for an edited document, whose changed plots the grid then
    // repaints as they are announced.
    void followDocument(vor4::MapDocument *doc);
    const vor4::Document *document() const { return m_doc; }
    // Takes the column and row counts from the document (at least 1 each) and
    // keeps the position and the current cell inside them. Call after a reset or load.
    void updateDimensions();
    int colCount() const { return m_cols; }
    int rowCount() const { return m_rows; }

    // Default column width and row height, always equal.
    int cellSize() const { return m_cellSize; }
    void setCellSize(int size);
    // A new cell size that keeps the cell under a viewport point where it
    // is, as near as whole cells allow.
    void zoomAt(int size, const QPoint &viewportPos);
    // Where a zoom keeps the view: the pointer during a wheel notch, else
    // the selected cell while it is in view, else the view's centre.
    QPoint zoomAnchor() const;
    // 1 draws silver lines between the cells, 0 none.
    int gridLineWidth() const { return m_lineWidth; }
    void setGridLineWidth(int width);

    const vor4::LayerSwitches &layers() const { return m_layers; }
    void setLayers(const vor4::LayerSwitches &layers);
    void setLayer(int index, bool on);
    // The colours and marks of the cells and of what is drawn over them.
    const vor4::MapStyle &style() const { return m_style; }
    void setStyle(const vor4::MapStyle &style);

    // The current cell, always inside the grid; the one place that keeps it.
    CurrentCell *currentCell() const { return m_current; }
    int col() const;
    int row() const;
    // Moves the current cell without raising selectCell and without
    // scrolling; a chosen plot moves with it.
    void setCurrentCell(int col, int row);

    // First visible column and row.
    int leftCol() const { return m_leftCol; }
    int topRow() const { return m_topRow; }
    // Clamped to the grid; raises topLeftChanged when the position changes.
    void setTopLeft(int col, int row);
    void setLeftCol(int col) { setTopLeft(col, m_topRow); }
    void setTopRow(int row) { setTopLeft(m_leftCol, row); }
    int maxLeftCol() const;
    int maxTopRow() const;
    // Columns and rows fully visible from the current position (at least 1).
    int visibleColCount() const;
    int visibleRowCount() const;

    // The cell under a viewport point: a grid line counts to the cell on its
    // left (vertical) or above it (horizontal); (-1, -1) over no cell (the
    // empty area beyond the last column or row).
    QPoint cellAt(const QPoint &viewportPos) const;
    // A cell's rectangle in viewport coordinates.
    QRect cellRect(int col, int row) const;

    // Whether the grid is its window's focus widget: the selected cell then
    // shows a focus rectangle instead of the highlight.
    bool isActiveControl() const;

    // Repaints every visible cell now.
    void repaintMap();
    // Repaints only the visible ones of these cells (their texts changed):
    // at once when they are few, with the next paint when they are many.
    void repaintCells(const QRect &cells);
    // Scrolls the least that shows the cell.
    void scrollIntoView(int col, int row);
    // Selects a cell as a click on it does, focus aside: selectCell, then
    // scrolled into view.
    void chooseCell(int col, int row) { userSelect(qBound(0, col, m_cols - 1), qBound(0, row, m_rows - 1)); }

    // Drawn over the cells, in the order added; the grid does not own them.
    void addOverlay(GridOverlay *overlay);
    void removeOverlay(GridOverlay *overlay);
    // Paints these viewport pixels again for a change of the overlays only:
    // the cells under them come from the buffer, not painted anew.
    void updateOverlays(const QRegion &pixels);
    // The viewport pixels of a rectangle of cells, lines after them included.
    QRect cellsArea(const QRect &cells) const;

    // The paint parameters of the current view, as the grid paints it.
    vor4::GridPaintParams paintParams() const;

    // The tool the mouse works with on the cells: presses, moves, releases
    // and Escape go to it in cells. None: a click selects the cell.
    void setTool(vor4::MapTool *tool);
    vor4::MapTool *tool() const { return m_tool; }
    // The cell under a viewport point, also beyond the map's cells.
    QPoint cellAtAnyPoint(const QPoint &viewportPos) const;
    // Where the active tool is pointed: the cell under a viewport point, or
    // for a tool of plot corners the corner nearest it.
    QPoint toolPoint(const QPoint &viewportPos) const;
    // The selected cell's outline reaches this far beyond the cell.
    int selectionMargin() const;

Q_SIGNALS:
    // Every selection by the user, also of the current cell.
    void selectCell(int col, int row);
    // A press on one cell and its release on another, without a tool.
    void cellDragged(const QPoint &from, const QPoint &to);
    // The first visible column or row changed.
    void topLeftChanged();
    // The mouse moved over the viewport (viewport coordinates).
    void gridMouseMove(const QPoint &pos);
    // One per wheel notch, before the selection moves a row.
    void wheelUp();
    void wheelDown();
    // Escape on the grid that no tool took for its drag.
    void escapePressed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void userSelect(int col, int row);
    void updateScrollBars();
    int fitCols() const;
    int fitRows() const;

    void paintSelection(QPainter &painter);
    QRect selectionArea(int col, int row) const;
    void endToolDrag();
    // A cell with the lines after it, in viewport pixels.
    QRect cellArea(int col, int row) const;

    const vor4::Document *m_doc = nullptr;
    std::vector<GridOverlay *> m_overlays;
    vor4::LayerSwitches m_layers;
    vor4::MapStyle m_style = vor4::MapStyle::classic();
    vor4::MapPainter m_painter;
    // What each plot looks like, while the grid hears of every change to
    // the plots: a followed document's.
    vor4::PlotLooks m_plotLooks;
    bool m_followed = false;
    QImage m_buffer;
    // What the buffer shows: a paint of part of the view may reuse the rest.
    vor4::GridPaintParams m_bufferParams;
    bool m_bufferValid = false;
    // Asked for by overlays only since the last paint, and not since
    // touched by a change of the cells.
    QRegion m_overlayOnly;
    QRegion m_cellsAsked; // since the last paint
    // Paints the pixels (the whole view when null) again, cells and all.
    void updateCells(const QRect &pixels = QRect());
    int m_cols = 1;
    int m_rows = 1;
    int m_cellSize = DefaultCellSize;
    int m_lineWidth = 1;
    CurrentCell *m_current;
    int m_leftCol = 0;
    int m_topRow = 0;
    int m_wheelDelta = 0;
    vor4::MapTool *m_tool = nullptr;
    Qt::MouseButton m_toolButton = Qt::NoButton;
    QPoint m_toolCell;
    QPoint m_pressCell;
    QPoint m_wheelPos;
    bool m_wheeling = false;
    bool m_selecting = false;
    bool m_syncingBars = false;
};
