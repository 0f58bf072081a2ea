// The map view side of the main window: the grid's tool bars, zoom, layer
// switches, hover hint, minimap and map contents window.

#include "MainWindow.h"

#include "CellPainter.h"
#include "DropDownComboBox.h"
#include "HintWindow.h"
#include "MapGrid.h"
#include "MapToolBox.h"
#include "MiniMap.h"
#include "PlotTable.h"
#include "SectionMemo.h"
#include "ScrollMapTo.h"
#include "MapContentsWindow.h"
#include "MiniMapWindow.h"

#include <QCursor>
#include <QEvent>
#include <QPainter>
#include <QStackedWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

const int MainWindow::GridSizes[17] = {4, 5, 6, 7, 8, 9, 10, 12, 14, 16, 20, 24, 32, 40, 48, 56, 64};

namespace {

struct LayerButton
{
    const char *name;
    const char *hint;
    const char *sample; // plot text painted as the button's glyph
};

const LayerButton layerButtons[vor4::LayerSwitches::Count] = {
    {"ShowTerrainBtn", "Show Terrain", "TerrainType=TERRAIN_GRASS"},
    {"ShowBonusBtn", "Show Bonus", "TerrainType=TERRAIN_OCEAN\r\nBonusType=BONUS_FISH"},
    {"ShowFeatureBtn", "Show Feature", "TerrainType=TERRAIN_TUNDRA\r\nFeatureType=FEATURE_JUNGLE"},
    {"ShowImprovementBtn", "Show Improvement", "TerrainType=TERRAIN_PLAINS\r\nImprovementType=IMPROVEMENT_FARM"},
    {"ShowTeamBtn", "Show Team", "TerrainType=TERRAIN_COAST\r\nTeamReveal=1,"},
    {"ShowForestBtn", "Show Forest", "TerrainType=TERRAIN_GRASS\r\nFeatureType=FEATURE_FOREST"},
    {"ShowJungleBtn", "Show Jungle", "TerrainType=TERRAIN_GRASS\r\nFeatureType=FEATURE_JUNGLE"},
    {"ShowIceBtn", "Show Ice", "TerrainType=TERRAIN_OCEAN\r\nFeatureType=FEATURE_ICE"},
    {"ShowFloodBtn", "Show Flooding Plains", "TerrainType=TERRAIN_DESERT\r\nFeatureType=FEATURE_FLOOD_PLAINS"},
    {"ShowOasisBtn", "Show Oasis", "TerrainType=TERRAIN_DESERT\r\nFeatureType=FEATURE_OASIS"},
    {"ShowMountainBtn", "Show Mountain", "TerrainType=TERRAIN_PLAINS\r\nPlotType=0"},
    {"ShowHillBtn", "Show Hill", "TerrainType=TERRAIN_GRASS\r\nPlotType=1"},
};

// A layer's glyph is a cell painted by the cell painter itself.
QIcon layerIcon(const char *sample)
{
    vor4::PlotTable plot;
    plot.resize(1, 1);
    plot.setText(0, 0, sample);
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QColor(192, 192, 192));
    vor4::DrawGridDrawCell(p, plot, 0, 0, QRect(0, 0, 16, 16), vor4::LayerSwitches(), nullptr);
    p.end();
    return QIcon(QPixmap::fromImage(image));
}

} // namespace

MapGrid *MainWindow::createDrawGrid()
{
    auto *grid = new MapGrid;
    grid->setObjectName(QStringLiteral("DrawGrid"));
    grid->setDocument(&Doc);
    grid->setMiniMapBitmap(&MiniMapBitmap);
    connect(grid, &MapGrid::selectCell, this, &MainWindow::DrawGridSelectCell);
    connect(grid, &MapGrid::topLeftChanged, this, &MainWindow::DrawGridTopLeftChanged);
    connect(grid, &MapGrid::gridMouseMove, this, &MainWindow::DrawGridMouseMove);
    connect(grid, &MapGrid::wheelUp, this, &MainWindow::DrawGridMouseWheelUp);
    connect(grid, &MapGrid::wheelDown, this, &MainWindow::DrawGridMouseWheelDown);

    for (int size : GridSizes)
        MapGridSizeComboBox->addItem(QString::number(size));
    MapGridSizeComboBox->setCurrentIndex(9);
    connect(MapGridSizeComboBox, &QComboBox::activated, this, &MainWindow::MapGridSizeComboBoxSelect);
    connect(MapGridSizeComboBox, &DropDownComboBox::dropDown, this, &MainWindow::MapGridSizeComboBoxDropDown);
    connect(MapGridSizeComboBox, &DropDownComboBox::closeUp, this, [this] {
        // Closed without a choice too: the hint must not stay stuck.
        if (WorkPages->currentIndex() == MapPage && !PromptPanel1->isVisible())
            CatchMapTimer->start();
    });
    connect(ShowGridLineBtn, &QToolButton::clicked, this, &MainWindow::ShowGridLineBtnClick);
    connect(MiniMapBtn, &QToolButton::clicked, this, &MainWindow::MiniMapBtnClick);
    connect(CatchMapTimer, &QTimer::timeout, this, &MainWindow::CatchMapTimerTimer);
    buildLayerButtons();
    return grid;
}

void MainWindow::buildLayerButtons()
{
    for (int i = 0; i < vor4::LayerSwitches::Count; ++i) {
        const LayerButton &b = layerButtons[i];
        QToolButton *button = toolButton(ToolBar8, b.name, layerIcon(b.sample), QLatin1String(b.hint), true);
        button->setFixedWidth(26);
        button->setChecked(true);
        connect(button, &QToolButton::clicked, this, &MainWindow::ShowBtnClick);
        ShowBtns[std::size_t(i)] = button;
        if (i == 4 || i == 9) // after "Show Team" and "Show Oasis"
            ToolBar8->addSeparator();
    }
}

void MainWindow::mapPageShown()
{
    if (m_contentsWindow)
        m_contentsWindow->setToolBarVisible(true);
    CatchMapTimer->start();
}

void MainWindow::mapPageHidden()
{
    if (m_contentsWindow)
        m_contentsWindow->setToolBarVisible(false);
    CatchMapTimer->stop();
    // The timer no longer hides the hint: it goes now, not over the text pages.
    hideHoverHint();
}

QPoint MainWindow::focusedCell() const { return QPoint(DrawGrid->col(), DrawGrid->row()); }

void MainWindow::RepaintMap() { DrawGrid->repaintMap(); }

// Zoom -------------------------------------------------------------------------

void MainWindow::MapGridSizeComboBoxSelect()
{
    const int n = MapGridSizeComboBox->currentText().toInt();
    DrawGrid->zoomAt(n, DrawGrid->zoomAnchor());
    CatchMapTimer->start();
}

void MainWindow::MapGridSizeComboBoxDropDown() { CatchMapTimer->stop(); }

void MainWindow::SelectGridSize(int index)
{
    if (index == MapGridSizeComboBox->currentIndex())
        return;
    MapGridSizeComboBox->setCurrentIndex(index);
    MapGridSizeComboBoxSelect();
}

void MainWindow::DrawGridMouseWheelUp()
{
    SelectGridSize(qMin(MapGridSizeComboBox->currentIndex() + 1, 16));
    miniMapStep();
}

void MainWindow::DrawGridMouseWheelDown()
{
    SelectGridSize(qMax(MapGridSizeComboBox->currentIndex() - 1, 0));
    miniMapStep();
}

// Layers and grid lines -----------------------------------------------------------

void MainWindow::ShowBtnClick()
{
    vor4::LayerSwitches layers;
    for (int i = 0; i < vor4::LayerSwitches::Count; ++i)
        layers[i] = ShowBtns[std::size_t(i)]->isChecked();
    DrawGrid->setLayers(layers);
    RepaintMap();
}

void MainWindow::ShowGridLineBtnClick() { DrawGrid->setGridLineWidth(ShowGridLineBtn->isChecked() ? 1 : 0); }

// Hover hint ----------------------------------------------------------------------

void MainWindow::DrawGridMouseMove(const QPoint &pos)
{
    const QPoint cell = DrawGrid->cellAt(pos);
    if (cell.x() < 0 || cell.y() < 0) {
        // Over no cell the panel is emptied whatever it held; only the timer
        // spares other news.
        PlotHintWindow->hideHint();
        setStatusText(0, QString());
        return;
    }
    const QString text = QStringLiteral("(%1,%2)   x=%3, y=%4")
                             .arg(cell.x())
                             .arg(cell.y())
                             .arg(cell.x())
                             .arg(Doc.fileY(cell.y()));
    PlotHintWindow->showHint(DrawGrid->viewport()->mapToGlobal(pos + QPoint(16, 16)), text);
    setStatusText(0, text);
}

void MainWindow::hideHoverHint()
{
    PlotHintWindow->hideHint();
    // Only the hint's own text goes: "File Saved" and the like stay readable.
    if (statusText(0) == PlotHintWindow->text())
        setStatusText(0, QString());
}

void MainWindow::CatchMapTimerTimer()
{
    const bool inside = DrawGrid->rect().contains(DrawGrid->mapFromGlobal(QCursor::pos()));
    if (!inside || !isActiveWindow())
        hideHoverHint();
}

// Minimap -------------------------------------------------------------------------

void MainWindow::miniMapStep()
{
    if (m_miniMapWindow && m_miniMapWindow->isVisible())
        ScrollMapTo(DrawGrid->leftCol(), DrawGrid->topRow(), true);
}

void MainWindow::DrawGridTopLeftChanged() { miniMapStep(); }

void MainWindow::TabSheet4Resize() { miniMapStep(); }

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (handleFileDrag(event))
        return true;
    if (watched == TabSheets[MapPage] && event->type() == QEvent::Resize)
        TabSheet4Resize();
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::ScrollMapTo(int col, int row, bool forced)
{
    return scrollMapTo(*DrawGrid, m_miniMapWindow, MiniMapBitmap, col, row, forced);
}

void MainWindow::plotsChanged(const QRect &cells, int count)
{
    DrawGrid->repaintCells(cells);
    // The minimap follows from the document, also for cells off the view;
    // the blocks of one burst of changes are rendered together.
    if (m_miniMapCells.isNull())
        QTimer::singleShot(0, this, [this] {
            vor4::renderMiniMapCells(Doc.PlotTexts, MiniMapBitmap, m_miniMapCells);
            m_miniMapCells = QRect();
            if (m_miniMapWindow && m_miniMapWindow->isVisible())
                m_miniMapWindow->refresh();
        });
    m_miniMapCells |= cells;
    if (!MapDoc.isUndoingOrRedoing()) {
        // A tool painted over the selected plot: the memo shows it. A memo
        // that was just applied holds the stored text already and is left
        // alone, its cursor with it.
        const QPoint selected(Doc.CurrentCol, Doc.CurrentRow);
        QByteArray shown;
        if (cells.contains(selected) && (!Memo->bytes(&shown) || shown != Doc.PlotTexts.view(selected.x(), selected.y())))
            Memo->setBytes(Doc.PlotTexts.text(selected.x(), selected.y()));
        return;
    }
    // Undone or redone: the memos show their stores, and one plot changed
    // is selected, as a click on it would.
    if (count == 1) {
        DrawGrid->setCurrentCell(cells.x(), cells.y());
        DrawGrid->scrollIntoView(cells.x(), cells.y());
        DrawGridSelectCell(cells.x(), cells.y());
    }
    showStores();
}

void MainWindow::sectionChanged(vor4::SectionKind, int)
{
    if (MapDoc.isUndoingOrRedoing())
        showStores();
}

void MainWindow::RenderMiniMap()
{
    renderMiniMapAndShow(Doc.PlotTexts, MiniMapBitmap, m_miniMapWindow);
    ScrollMapTo(0, 0, true);
}

int MainWindow::gridColCount() const { return DrawGrid->colCount(); }
int MainWindow::gridRowCount() const { return DrawGrid->rowCount(); }
int MainWindow::gridLeftCol() const { return DrawGrid->leftCol(); }
int MainWindow::gridTopRow() const { return DrawGrid->topRow(); }

void MainWindow::MiniMapBtnClick()
{
    if (!m_miniMapWindow)
        return;
    if (MiniMapBtn->isChecked())
        m_miniMapWindow->show();
    else
        m_miniMapWindow->close();
}

void MainWindow::setMiniMapBtnDown(bool down) { MiniMapBtn->setChecked(down); }

// Map contents window ---------------------------------------------------------------

void MainWindow::MapHintBtnClick()
{
    if (!m_contentsWindow)
        return;
    if (MapHintBtn->isChecked())
        m_contentsWindow->show();
    else
        m_contentsWindow->close();
}

void MainWindow::setMapHintBtnDown(bool down) { MapHintBtn->setChecked(down); }

void MainWindow::mapContentsItemChosen(const QString &line) { Tools->offerBrushLine(line); }

QStringList MainWindow::mapPlotLines() { return Tools->mapLines(); }
