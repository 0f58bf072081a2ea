#pragma once
// The map page: the grid with its paint tools, zoom, layer switches, hover
// hint and find bar; the map header and the selected plot's text below it;
// the new-map prompt. It serves the minimap, with the picture that follows
// the document, and the map contents window.

#include "MapContentsHost.h"
#include "MiniMapHost.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <functional>

class DropDownComboBox;
class EditorActions;
class EditorContext;
class FindBar;
class HintWindow;
class MapContentsWindow;
class MapGrid;
namespace vor4 {
class MiniMapImage;
}
class MapToolBox;
class PieceActions;
class MiniMapWindow;
class QAction;
class QFrame;
class QPushButton;
class QTimer;
class QToolBar;
class SectionMemo;
class SectionPage;
class SpinEdit;
class StatisticsWindow;

class MapPage : public QWidget, public MiniMapHost, public MapContentsHost
{
    Q_OBJECT
public:
    // The grid's zoom steps, in pixels a cell.
    static const int GridSizes[17];

    MapPage(EditorContext *context, EditorActions *actions, QWidget *parent = nullptr);
    ~MapPage() override;

    MapGrid *grid() const { return m_grid; }
    MapToolBox *tools() const { return m_tools; }
    PieceActions *pieces() const { return m_pieces; }
    SectionMemo *plotEdit() const { return m_plotEdit; }
    SectionPage *headerPage() const { return m_headerPage; }
    FindBar *findBar() const { return m_findBar; }
    StatisticsWindow *statistics() const { return m_statistics; }
    DropDownComboBox *zoomBox() const { return m_zoomBox; }
    HintWindow *hoverHint() const { return m_hoverHint; }
    QTimer *hoverTimer() const { return m_hoverTimer; }
    QFrame *newMapPrompt() const { return m_prompt; }
    SpinEdit *mapWidthBox() const { return m_widthBox; }
    SpinEdit *mapHeightBox() const { return m_heightBox; }
    QPushButton *newMapOkButton() const { return m_okButton; }
    QPushButton *newMapCancelButton() const { return m_cancelButton; }
    QString recallText() const { return m_recallText; }

    // The windows the page serves; they are created after it.
    void setToolWindows(MiniMapWindow *miniMap, MapContentsWindow *contents);
    // Asked by the prompt's Ok: false keeps the prompt up (the question
    // about unsaved changes was cancelled).
    void setNewMapHandler(std::function<bool(int width, int height)> handler) { m_newMap = std::move(handler); }

    // Selects a plot as a click does: the plot text being typed is stored
    // first.
    void selectCell(int col, int row);
    // The plot last selected, the one the plot text shows; (-1, -1) while
    // none is (after Open, New or a change of the grid's size).
    QPoint selectedPlot() const { return m_selectedPlot; }
    // The plot editor's commands.
    bool applyPlot();
    void recallPlot();
    void clearPlot();
    // Auto apply's half of leaving the plot text: stored, Recall's text
    // kept. False when it could not be stored.
    bool storePlotTyping();
    // The header and the plot text show their stores.
    void showStores();
    // A document of another size: white minimap picture, grid dimensions.
    void mapSizeChanged();
    // The whole minimap picture drawn again, the frame at the top left.
    void renderMiniMap();
    void selectZoom(int index);
    void showNewMapPrompt();
    void pageShown();
    void pageHidden();

    // MiniMapHost
    bool scrollGridTo(int col, int row, bool forced) override;
    int gridColCount() const override;
    int gridRowCount() const override;
    int gridLeftCol() const override;
    int gridTopRow() const override;
    const QImage &miniMapBitmap() const override;
    void setMiniMapButtonDown(bool down) override;

    // MapContentsHost
    bool isMapPageActive() const override;
    SectionMemo *plotMemo() const override { return m_plotEdit; }
    void setRecallText(const QString &text) override { m_recallText = text; }
    bool plotSelected() const override;
    bool applyPlotMemo(const QString &what) override;
    void setMapContentsButtonDown(bool down) override;
    void mapContentsItemChosen(const QString &line) override;
    QStringList mapPlotLines() override;

Q_SIGNALS:
    // A command of the page wants the page shown (the menu's New map, the
    // find bar's keys).
    void showRequested();
    // A layer button was switched.
    void layersSwitched();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *buildMapBars();
    QWidget *buildPlotEditor();
    void buildNewMapPrompt();
    void connectGrid();
    void newMapAnswered(bool ok);
    void zoomChosen();
    void wheelZoom(int step);
    void layersChanged();
    void pointerMoved(const QPoint &pos);
    void hideHoverHint();
    void hoverTimerTick();
    void miniMapStep();
    void plotsChanged(const QRegion &plots);
    bool hasSelectedPlot();
    QPoint focusedCell() const;

    EditorContext *m_context;
    EditorActions *m_actions;
    MapGrid *m_grid = nullptr;
    MapToolBox *m_tools = nullptr;
    PieceActions *m_pieces = nullptr;
    FindBar *m_findBar = nullptr;
    StatisticsWindow *m_statistics = nullptr;
    SectionMemo *m_plotEdit = nullptr;
    SectionPage *m_headerPage = nullptr;
    DropDownComboBox *m_zoomBox = nullptr;
    QToolBar *m_mapBar = nullptr;
    QToolBar *m_layerBar = nullptr;
    HintWindow *m_hoverHint = nullptr;
    QTimer *m_hoverTimer = nullptr;
    QFrame *m_prompt = nullptr;
    SpinEdit *m_widthBox = nullptr;
    SpinEdit *m_heightBox = nullptr;
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    MiniMapWindow *m_miniMap = nullptr;
    MapContentsWindow *m_contents = nullptr;
    std::function<bool(int, int)> m_newMap;
    vor4::MiniMapImage *m_miniMapImage = nullptr;
    QString m_recallText;
    QPoint m_selectedPlot{-1, -1};
    bool m_active = false; // the page is the one shown
};
