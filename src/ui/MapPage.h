#pragma once
// The map page: the map tool bars, the paint tools, the grid with its
// hover hint and find bar, and under them the map header and the plot
// editor; the new-map prompt. It wires them to each other and to the
// document, the minimap window and the map contents window; what each does
// lives in its own class.

#include "MapView.h"

#include <QWidget>
#include <functional>

class EditorActions;
class EditorContext;
class FindBar;
class HintWindow;
class MapContentsWindow;
class MapGrid;
class MapToolBar;
class MapToolBox;
class MiniMapFeed;
class MiniMapWindow;
class PieceActions;
class PlotEditor;
class QFrame;
class QTimer;
class SectionPage;
class SpinEdit;
class StatisticsWindow;

namespace vor4 {
struct MapPictureOptions;
struct MapStyle;
} // namespace vor4

class MapPage : public QWidget, public MapView
{
    Q_OBJECT
public:
    MapPage(EditorContext *context, EditorActions *actions, QWidget *parent = nullptr);
    ~MapPage() override;

    MapGrid *grid() const override { return m_grid; }
    MapToolBox *tools() const { return m_tools; }
    PieceActions *pieces() const { return m_pieces; }
    PlotEditor *plotEditor() const { return m_plotEditor; }
    SectionPage *headerPage() const { return m_headerPage; }
    FindBar *findBar() const { return m_findBar; }
    // The minimap's picture and the grid's scrolling from the minimap.
    MiniMapFeed *miniMap() const { return m_miniMap; }

    // The windows the page serves; they are created after it.
    void setToolWindows(MiniMapWindow *miniMap, MapContentsWindow *contents);
    // Asked by the prompt's Ok: false keeps the prompt up (the question
    // about unsaved changes was cancelled).
    void setNewMapHandler(std::function<bool(int width, int height)> handler) { m_newMap = std::move(handler); }

    // Chooses a plot as a click does: the plot text being typed is stored
    // first.
    void selectCell(int col, int row);
    // The header and the plot text show their stores.
    void showStores();
    // A document of another size: white minimap picture, grid dimensions.
    void mapSizeChanged();
    // The whole minimap picture drawn again, the frame at the top left.
    void renderMiniMap() override;
    // Picks a size of the size list, as choosing it there does.
    void selectZoom(int index);
    void showNewMapPrompt();
    void pageShown();
    void pageHidden();
    bool isShown() const override { return m_active; }
    QByteArray brushKey() const override;
    MiniMapWindow *miniMapWindow() const override { return m_miniMapWindow; }

    // The look of the grid, the minimap and the legend.
    const vor4::MapStyle &style() const;
    void setStyle(const vor4::MapStyle &style);
    // A picture of the map as the grid shows it now: its style, cell size,
    // grid lines and layers.
    vor4::MapPictureOptions pictureAsShown() const;

Q_SIGNALS:
    // A command of the page wants the page shown (the menu's New map, the
    // find bar's keys).
    void showRequested();
    // A layer button was switched, or the style changed.
    void layersSwitched();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildNewMapPrompt();
    void connectParts();
    void newMapAnswered(bool ok);
    void zoomChosen();
    void wheelZoom(int step);
    void layersChanged();
    void pointerMoved(const QPoint &pos);
    void hideHoverHint();
    void hoverTimerTick();

    EditorContext *m_context;
    EditorActions *m_actions;
    MapToolBar *m_mapBars = nullptr;
    MapGrid *m_grid = nullptr;
    MapToolBox *m_tools = nullptr;
    PieceActions *m_pieces = nullptr;
    FindBar *m_findBar = nullptr;
    StatisticsWindow *m_statistics = nullptr;
    PlotEditor *m_plotEditor = nullptr;
    SectionPage *m_headerPage = nullptr;
    MiniMapFeed *m_miniMap = nullptr;
    HintWindow *m_hoverHint = nullptr;
    QTimer *m_hoverTimer = nullptr;
    QFrame *m_prompt = nullptr;
    SpinEdit *m_widthBox = nullptr;
    SpinEdit *m_heightBox = nullptr;
    MapContentsWindow *m_contents = nullptr;
    MiniMapWindow *m_miniMapWindow = nullptr;
    std::function<bool(int, int)> m_newMap;
    bool m_active = false; // the page is the one shown
};
