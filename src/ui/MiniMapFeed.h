#pragma once
// What the minimap window shows and steers on the map page: the document's
// minimap picture in the grid's style, drawn by the view layer and kept in
// step with the edits, the view frame where the grid is, and scrolling the
// grid from the window.

#include "MiniMapHost.h"

#include <QObject>
#include <QPointer>

class MapGrid;
class MiniMapWindow;
class QAction;

namespace vor4 {
class MapDocument;
class MapStyle;
class MiniMapImage;
} // namespace vor4

class MiniMapFeed : public QObject, public MiniMapHost
{
    Q_OBJECT
public:
    MiniMapFeed(vor4::MapDocument *doc, MapGrid *grid, QAction *button, QObject *parent = nullptr);

    // The window shown by the button; it comes after the page.
    void setWindow(MiniMapWindow *window);
    vor4::MiniMapImage *image() const { return m_image; }
    void setStyle(const vor4::MapStyle &style);
    // A document of another size: a white picture of its size.
    void reset();
    // The whole picture drawn again, the grid and the frame at the top left.
    void render();
    // While the window shows: the frame where the grid is now.
    void followGrid();

    // MiniMapHost
    bool scrollGridTo(int col, int row, bool forced) override;
    int gridColCount() const override;
    int gridRowCount() const override;
    int gridLeftCol() const override;
    int gridTopRow() const override;
    const QImage &miniMapBitmap() const override;
    void setMiniMapButtonDown(bool down) override;

private:
    MapGrid *m_grid;
    QAction *m_button;
    vor4::MiniMapImage *m_image;
    QPointer<MiniMapWindow> m_window;
};
