#pragma once
// What the minimap window needs from the main window: the grid's position
// and size, the minimap image, scrolling the grid and the tool bar button.

class QImage;

class MiniMapHost
{
public:
    virtual ~MiniMapHost() = default;
    // Scrolls the grid and places the view frame; true when it moved the
    // grid or was forced.
    virtual bool scrollGridTo(int col, int row, bool forced) = 0;
    virtual int gridColCount() const = 0;
    virtual int gridRowCount() const = 0;
    virtual int gridLeftCol() const = 0; // first visible column
    virtual int gridTopRow() const = 0;  // first visible row
    // The whole map at 3 x 3 pixels a plot, without frame or marks.
    virtual const QImage &miniMapBitmap() const = 0;
    // The main window's minimap button follows the window; setting it must
    // not raise its click.
    virtual void setMiniMapButtonDown(bool down) = 0;
};
