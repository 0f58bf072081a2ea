#pragma once
// The map page's tool bars on one row: "Map" with New map, the grid size
// list, grid lines, the minimap, find and statistics buttons; then the
// layer switches of the cells and of the pieces. They hold the zoom and
// the layers shown; the page wires what they do.

#include "CellPainter.h"
#include "PiecePainter.h"

#include <QWidget>

class DropDownComboBox;
class EditorActions;
class QToolBar;

class MapToolBar : public QWidget
{
    Q_OBJECT
public:
    // The grid's zoom steps, in pixels a cell.
    static const int GridSizes[17];
    static constexpr int DefaultZoom = 9; // 16

    explicit MapToolBar(EditorActions *actions, QWidget *parent = nullptr);

    // The size list's index, 0 to 16, and its cell size.
    int zoomIndex() const;
    int cellSize() const { return GridSizes[zoomIndex()]; }
    // Selects a size as the list does, without its signal.
    void setZoomIndex(int index);
    // The layer switches as they stand.
    vor4::LayerSwitches layers() const;
    vor4::PieceLayers pieceLayers() const;
    // New map's button, under which its prompt opens.
    QWidget *newMapButton() const;

Q_SIGNALS:
    // A size was chosen from the list.
    void zoomChosen();
    // The size list opened, or closed with or without a choice.
    void zoomListOpened();
    void zoomListClosed();
    // A layer switch was pressed.
    void layersChanged();

private:
    EditorActions *m_actions;
    QToolBar *m_mapBar;
    DropDownComboBox *m_zoomBox;
};
