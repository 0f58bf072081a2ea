// The map view side of the main window: the grid's tool bars, zoom, layer
// switches, hover hint, minimap and map contents window.

#include "ZedMain.h"

#include "CellPainter.h"
#include "DropDownComboBox.h"
#include "HintWindow.h"
#include "MapGrid.h"
#include "MapToolBox.h"
#include "MiniMap.h"
#include "PlotTable.h"
#include "SectionMemo.h"
#include "ScrollMapTo.h"
#include "ZedMapContents.h"
#include "ZedMiniMap.h"

#include <QCursor>
#include <QEvent>
#include <QPainter>
#include <QStackedWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

const int TForm1::GridSizes[17] = {4, 5, 6, 7, 8, 9, 10, 12, 14, 16, 20, 24, 32, 40, 48, 56, 64};

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

MapGrid *TForm1::createDrawGrid()
{
    auto *grid = new MapGrid;
    grid->setObjectName(QStringLiteral("DrawGrid"));
    grid->setDocument(&Doc);
    grid->setMiniMapBitmap(&MiniMapBitmap);
    connect(grid, &MapGrid::selectCell, this, &TForm1::DrawGridSelectCell);
    connect(grid, &MapGrid::topLeftChanged, this, &TForm1::DrawGridTopLeftChanged);
    connect(grid, &MapGrid::gridMouseMove, this, &TForm1::DrawGridMouseMove);
    connect(grid, &MapGrid::wheelUp, this, &TForm1::DrawGridMouseWheelUp);
    connect(grid, &MapGrid::wheelDown, this, &TForm1::DrawGridMouseWheelDown);

    for (int size : GridSizes)
        MapGridSizeComboBox->addItem(QString::number(size));
    MapGridSizeComboBox->setCurrentIndex(9);
    connect(MapGridSizeComboBox, &QComboBox::activated, this, &TForm1::MapGridSizeComboBoxSelect);
    connect(MapGridSizeComboBox, &DropDownComboBox::dropDown, this, &TForm1::MapGridSizeComboBoxDropDown);
    connect(MapGridSizeComboBox, &DropDownComboBox::closeUp, this, [this] {
        // Closed without a choice too: the hint must not stay stuck.
        if (WorkPages->currentIndex() == MapPage && !PromptPanel1->isVisible())
            CatchMapTimer->start();
    });
    connect(ShowGridLineBtn, &QToolButton::clicked, this, &TForm1::ShowGridLineBtnClick);
    connect(MiniMapBtn, &QToolButton::clicked, this, &TForm1::MiniMapBtnClick);
    connect(CatchMapTimer, &QTimer::timeout, this, &TForm1::CatchMapTimerTimer);
    buildLayerButtons();
    return grid;
}

void TForm1::buildLayerButtons()
{
    for (int i = 0; i < vor4::LayerSwitches::Count; ++i) {
        const LayerButton &b = layerButtons[i];
        QToolButton *button = toolButton(ToolBar8, b.name, layerIcon(b.sample), QLatin1String(b.hint), true);
        button->setFixedWidth(26);
        button->setChecked(true);
        connect(button, &QToolButton::clicked, this, &TForm1::ShowBtnClick);
        ShowBtns[std::size_t(i)] = button;
        if (i == 4 || i == 9) // after "Show Team" and "Show Oasis"
            ToolBar8->addSeparator();
    }
}

void TForm1::mapPageShown()
{
    if (Form3)
        Form3->setToolBarVisible(true);
    CatchMapTimer->start();
}

void TForm1::mapPageHidden()
{
    if (Form3)
        Form3->setToolBarVisible(false);
    CatchMapTimer->stop();
    // The timer no longer hides the hint: it goes now, not over the text pages.
    hideHoverHint();
}

QPoint TForm1::focusedCell() const { return QPoint(DrawGrid->col(), DrawGrid->row()); }

void TForm1::RepaintMap() { DrawGrid->repaintMap(); }

// Zoom -------------------------------------------------------------------------

void TForm1::MapGridSizeComboBoxSelect()
{
    const int n = MapGridSizeComboBox->currentText().toInt();
    DrawGrid->zoomAt(n, DrawGrid->zoomAnchor());
    CatchMapTimer->start();
}

void TForm1::MapGridSizeComboBoxDropDown() { CatchMapTimer->stop(); }

void TForm1::SelectGridSize(int index)
{
    if (index == MapGridSizeComboBox->currentIndex())
        return;
    MapGridSizeComboBox->setCurrentIndex(index);
    MapGridSizeComboBoxSelect();
}

void TForm1::DrawGridMouseWheelUp()
{
    SelectGridSize(qMin(MapGridSizeComboBox->currentIndex() + 1, 16));
    miniMapStep();
}

void TForm1::DrawGridMouseWheelDown()
{
    SelectGridSize(qMax(MapGridSizeComboBox->currentIndex() - 1, 0));
    miniMapStep();
}

// Layers and grid lines -----------------------------------------------------------

void TForm1::ShowBtnClick()
{
    vor4::LayerSwitches layers;
    for (int i = 0; i < vor4::LayerSwitches::Count; ++i)
        layers[i] = ShowBtns[std::size_t(i)]->isChecked();
    DrawGrid->setLayers(layers);
    RepaintMap();
}

void TForm1::ShowGridLineBtnClick() { DrawGrid->setGridLineWidth(ShowGridLineBtn->isChecked() ? 1 : 0); }

// Hover hint ----------------------------------------------------------------------

void TForm1::DrawGridMouseMove(const QPoint &pos)
{
    const QPoint cell = DrawGrid->cellAt(pos);
    if (cell.x() < 0 || cell.y() < 0) {
        // Over no cell the panel is emptied whatever it held; only the timer
        // spares other news.
        PlotHintWindow->releaseHint();
        setStatusText(0, QString());
        return;
    }
    const QString text = QStringLiteral("(%1,%2)   x=%3, y=%4")
                             .arg(cell.x())
                             .arg(cell.y())
                             .arg(cell.x())
                             .arg(Doc.fileY(cell.y()));
    PlotHintWindow->activateHint(DrawGrid->viewport()->mapToGlobal(pos + QPoint(16, 16)), text);
    setStatusText(0, text);
}

void TForm1::hideHoverHint()
{
    PlotHintWindow->releaseHint();
    // Only the hint's own text goes: "File Saved" and the like stay readable.
    if (statusText(0) == PlotHintWindow->text())
        setStatusText(0, QString());
}

void TForm1::CatchMapTimerTimer()
{
    const bool inside = DrawGrid->rect().contains(DrawGrid->mapFromGlobal(QCursor::pos()));
    if (!inside || !isActiveWindow())
        hideHoverHint();
}

// Minimap -------------------------------------------------------------------------

void TForm1::miniMapStep()
{
    if (Form2 && Form2->isVisible())
        ScrollMapTo(DrawGrid->leftCol(), DrawGrid->topRow(), true);
}

void TForm1::DrawGridTopLeftChanged() { miniMapStep(); }

void TForm1::TabSheet4Resize() { miniMapStep(); }

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (handleFileDrag(event))
        return true;
    if (watched == TabSheets[MapPage] && event->type() == QEvent::Resize)
        TabSheet4Resize();
    return QMainWindow::eventFilter(watched, event);
}

bool TForm1::ScrollMapTo(int col, int row, bool forced)
{
    return scrollMapTo(*DrawGrid, Form2, MiniMapBitmap, col, row, forced);
}

void TForm1::plotsChanged(const QRect &cells, int count)
{
    DrawGrid->repaintCells(cells);
    // The minimap follows from the document, also for cells off the view;
    // the blocks of one burst of changes are rendered together.
    if (m_miniMapCells.isNull())
        QTimer::singleShot(0, this, [this] {
            vor4::renderMiniMapCells(Doc.PlotTexts, MiniMapBitmap, m_miniMapCells);
            m_miniMapCells = QRect();
            if (Form2 && Form2->isVisible())
                Form2->refresh();
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

void TForm1::sectionChanged(vor4::SectionKind, int)
{
    if (MapDoc.isUndoingOrRedoing())
        showStores();
}

void TForm1::RenderMiniMap()
{
    renderMiniMapAndShow(Doc.PlotTexts, MiniMapBitmap, Form2);
    ScrollMapTo(0, 0, true);
}

int TForm1::gridColCount() const { return DrawGrid->colCount(); }
int TForm1::gridRowCount() const { return DrawGrid->rowCount(); }
int TForm1::gridLeftCol() const { return DrawGrid->leftCol(); }
int TForm1::gridTopRow() const { return DrawGrid->topRow(); }

void TForm1::MiniMapBtnClick()
{
    if (!Form2)
        return;
    if (MiniMapBtn->isChecked())
        Form2->show();
    else
        Form2->close();
}

void TForm1::setMiniMapBtnDown(bool down) { MiniMapBtn->setChecked(down); }

// Map contents window ---------------------------------------------------------------

void TForm1::MapHintBtnClick()
{
    if (!Form3)
        return;
    if (MapHintBtn->isChecked())
        Form3->show();
    else
        Form3->close();
}

void TForm1::setMapHintBtnDown(bool down) { MapHintBtn->setChecked(down); }

void TForm1::mapContentsItemChosen(const QString &line) { Tools->offerBrushLine(line); }

QStringList TForm1::mapPlotLines() { return Tools->mapLines(); }
