#include "MapPage.h"

#include "CommandButtons.h"
#include "DropDownComboBox.h"
#include "EditorActions.h"
#include "EditorContext.h"
#include "FindBar.h"
#include "Glyphs.h"
#include "HintWindow.h"
#include "MapContentsWindow.h"
#include "MapDocument.h"
#include "MapGrid.h"
#include "MapToolBox.h"
#include "MiniMap.h"
#include "MiniMapImage.h"
#include "MiniMapWindow.h"
#include "MapPieces.h"
#include "PieceActions.h"
#include "ScrollMapTo.h"
#include "SectionMemo.h"
#include "SectionPage.h"
#include "SetPlotText.h"
#include "SpinEdit.h"
#include "StatisticsWindow.h"
#include "ViewFollowers.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

const int MapPage::GridSizes[17] = {4, 5, 6, 7, 8, 9, 10, 12, 14, 16, 20, 24, 32, 40, 48, 56, 64};

MapPage::MapPage(EditorContext *context, EditorActions *actions, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
    , m_actions(actions)
{
    setObjectName(QStringLiteral("MapPage"));
    m_hoverTimer = new QTimer(this);
    m_hoverTimer->setInterval(100);
    m_hoverHint = new HintWindow(this);
    vor4::MapDocument *doc = context->document();
    // Before anyone else hears of a new document: no plot of it is selected.
    connect(doc, &vor4::MapDocument::documentReplaced, this, [this] { m_selectedPlot = QPoint(-1, -1); });

    m_miniMapImage = new vor4::MiniMapImage(&doc->document(), this);
    followEdits(m_miniMapImage, doc);
    m_grid = new MapGrid;
    m_grid->setObjectName(QStringLiteral("MapGrid"));
    m_grid->followDocument(doc);
    m_grid->setMinimumHeight(100);
    m_grid->setProperty("shortcutGroup", QStringLiteral("Map grid"));
    m_pieces = new PieceActions(context, m_grid, this);
    m_tools = new MapToolBox(doc, m_grid, this);
    m_tools->setCatalogueSource([this] { return m_contents ? m_contents->paintLines() : QStringList(); });
    m_tools->toolBar()->setProperty("shortcutGroup", QStringLiteral("Paint bar"));
    connect(m_tools, &MapToolBox::message, context, &EditorContext::say);
    m_findBar = new FindBar(doc, m_grid, &m_selectedPlot);
    m_findBar->setProperty("shortcutGroup", QStringLiteral("Find bar"));
    m_statistics = new StatisticsWindow(doc, this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildMapBars());
    layout->addWidget(m_tools->toolBar());

    // The grid over the map header and the plot editor; the find bar under
    // the grid.
    auto *gridArea = new QWidget;
    gridArea->setObjectName(QStringLiteral("GridArea"));
    auto *gridLayout = new QVBoxLayout(gridArea);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->setSpacing(0);
    gridLayout->addWidget(m_grid, 1);
    gridLayout->addWidget(m_findBar);
    auto *editors = new QSplitter(Qt::Horizontal);
    editors->setObjectName(QStringLiteral("EditorSplitter"));
    editors->setChildrenCollapsible(false);
    m_headerPage = new SectionPage(vor4::SectionKind::Map, context);
    editors->addWidget(m_headerPage);
    editors->addWidget(buildPlotEditor());
    editors->setSizes({440, 400});
    editors->setStretchFactor(1, 1);
    auto *split = new QSplitter(Qt::Vertical);
    split->setObjectName(QStringLiteral("MapSplitter"));
    split->setHandleWidth(4);
    split->setChildrenCollapsible(false);
    split->addWidget(gridArea);
    split->addWidget(editors);
    split->setStretchFactor(0, 1);
    split->setSizes({400, 128});
    layout->addWidget(split, 1);

    buildNewMapPrompt();
    connectGrid();
    connect(doc, &vor4::MapDocument::plotsChanged, this, &MapPage::plotsChanged);
}

MapPage::~MapPage()
{
    // The marks and the overlays leave the minimap while its picture exists.
    disconnect(m_context->document(), nullptr, this, nullptr);
    delete m_findBar;
    delete m_pieces;
    delete m_statistics;
}

QWidget *MapPage::buildMapBars()
{
    auto *row = new QWidget;
    row->setObjectName(QStringLiteral("MapBars"));
    auto *rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(4);
    m_mapBar = pageToolBar(QStringLiteral("MapToolBar"));
    auto *label = new QLabel(QStringLiteral("Map"));
    label->setFixedWidth(33);
    label->setAlignment(Qt::AlignCenter);
    m_mapBar->addWidget(label);
    addCommandButton(m_mapBar, m_actions->action(QStringLiteral("newMap")), QStringLiteral("NewMapButton"));
    m_mapBar->addSeparator();
    m_zoomBox = new DropDownComboBox;
    m_zoomBox->setObjectName(QStringLiteral("ZoomBox"));
    m_zoomBox->setToolTip(QStringLiteral("Map grid size"));
    m_zoomBox->setFixedWidth(60);
    m_zoomBox->setFocusPolicy(Qt::NoFocus);
    for (int size : GridSizes)
        m_zoomBox->addItem(QString::number(size));
    m_zoomBox->setCurrentIndex(9);
    m_mapBar->addWidget(m_zoomBox);
    addCommandButton(m_mapBar, m_actions->action(QStringLiteral("gridLines")), QStringLiteral("GridLinesButton"));
    m_mapBar->addSeparator();
    addCommandButton(m_mapBar, m_actions->action(QStringLiteral("miniMap")), QStringLiteral("MiniMapButton"));
    m_mapBar->addSeparator();
    addCommandButton(m_mapBar, m_actions->action(QStringLiteral("find")), QStringLiteral("FindButton"));
    addCommandButton(m_mapBar, m_actions->action(QStringLiteral("statistics")), QStringLiteral("StatisticsButton"));

    m_layerBar = pageToolBar(QStringLiteral("LayerToolBar"));
    const QStringList layerIds = EditorActions::layerIds();
    for (int i = 0; i < layerIds.size(); ++i) {
        QAction *layer = m_actions->action(layerIds[i]);
        addCommandButton(m_layerBar, layer, layerIds[i] + QStringLiteral("Button"))->setFixedWidth(26);
        connect(layer, &QAction::triggered, this, &MapPage::layersChanged);
        if (i == 4 || i == 9) // after Team and Oasis
            m_layerBar->addSeparator();
    }
    m_layerBar->addSeparator();
    for (const QString &id : EditorActions::pieceLayerIds()) {
        QAction *layer = m_actions->action(id);
        addCommandButton(m_layerBar, layer, id + QStringLiteral("Button"))->setFixedWidth(26);
        connect(layer, &QAction::triggered, this, &MapPage::layersChanged);
    }
    rowLayout->addWidget(m_mapBar);
    rowLayout->addWidget(m_layerBar);
    rowLayout->addStretch(1);

    connect(m_actions->action(QStringLiteral("newMap")), &QAction::triggered, this, &MapPage::showNewMapPrompt);
    connect(m_actions->action(QStringLiteral("gridLines")), &QAction::triggered, this,
            [this](bool on) { m_grid->setGridLineWidth(on ? 1 : 0); });
    connect(m_actions->action(QStringLiteral("miniMap")), &QAction::triggered, this, [this](bool on) {
        if (!m_miniMap)
            return;
        if (on)
            m_miniMap->show();
        else
            m_miniMap->close();
    });
    connect(m_actions->action(QStringLiteral("statistics")), &QAction::triggered, this, [this](bool on) {
        if (on) {
            m_statistics->placeOnScreen();
            m_statistics->show();
            m_statistics->raise();
        } else {
            m_statistics->hide();
        }
    });
    connect(m_statistics, &StatisticsWindow::visibilityChanged, m_actions->action(QStringLiteral("statistics")),
            &QAction::setChecked);
    connect(m_statistics, &StatisticsWindow::findRequested, this, [this](const QString &pattern) {
        vor4::FindOptions options;
        options.matchCase = true;
        options.regularExpression = true;
        m_findBar->findText(pattern, options);
        // The steps through the matches are keys of this window.
        window()->activateWindow();
        m_findBar->findField()->setFocus(Qt::OtherFocusReason);
    });
    connect(m_actions->action(QStringLiteral("find")), &QAction::triggered, m_findBar, &FindBar::openFind);
    connect(m_actions->action(QStringLiteral("findNext")), &QAction::triggered, m_findBar, &FindBar::findNext);
    connect(m_actions->action(QStringLiteral("findPrevious")), &QAction::triggered, m_findBar, &FindBar::findPrevious);
    connect(m_actions->action(QStringLiteral("replace")), &QAction::triggered, m_findBar, &FindBar::toggleReplace);
    // The bar's own buttons name the keys of the same commands.
    m_findBar->findNextButton()->setToolTip(m_actions->action(QStringLiteral("findNext"))->toolTip());
    m_findBar->findPreviousButton()->setToolTip(m_actions->action(QStringLiteral("findPrevious"))->toolTip());
    m_findBar->replaceToggle()->setToolTip(m_actions->action(QStringLiteral("replace"))->toolTip());
    connect(m_findBar, &FindBar::activated, this, [this] {
        Q_EMIT showRequested();
        m_findBar->setMiniMap(m_miniMap);
    });
    return row;
}

QWidget *MapPage::buildPlotEditor()
{
    auto *side = new QWidget;
    auto *layout = new QHBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_plotEdit = new SectionMemo;
    m_plotEdit->setObjectName(QStringLiteral("PlotEdit"));
    m_plotEdit->setMinimumSize(50, 100);
    m_plotEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_plotEdit->setKeptNotice(QStringLiteral("This plot's text is %1: it is kept as it is and cannot be edited here"));
    m_plotEdit->setProperty("shortcutGroup", QStringLiteral("Text fields"));
    connect(m_plotEdit, &SectionMemo::exited, this, [this] {
        m_recallText.clear();
        storePlotTyping();
    });
    connect(m_plotEdit, &SectionMemo::refused, m_context, &EditorContext::say);
    QAction *apply = fieldCommand(m_plotEdit, QStringLiteral("plotApply"), glyph("apply"), QStringLiteral("Store this text into the selected plot"),
                                  QKeySequence(Qt::CTRL | Qt::Key_Return));
    QAction *recall = fieldCommand(m_plotEdit, QStringLiteral("plotRecall"), glyph("recall"), QStringLiteral("Bring back the plot's text from before the last Clear or change"),
                                   QKeySequence(Qt::CTRL | Qt::Key_R));
    QAction *clear = fieldCommand(m_plotEdit, QStringLiteral("plotClear"), glyph("clear"), QStringLiteral("Empty the selected plot"),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete));
    for (QAction *a : {apply, recall, clear})
        m_actions->add(a->objectName(), a);
    connect(apply, &QAction::triggered, this, &MapPage::applyPlot);
    connect(recall, &QAction::triggered, this, &MapPage::recallPlot);
    connect(clear, &QAction::triggered, this, &MapPage::clearPlot);
    QAction *contents = m_actions->action(QStringLiteral("mapContents"));
    connect(contents, &QAction::triggered, this, [this](bool on) {
        if (!m_contents)
            return;
        if (on)
            m_contents->show();
        else
            m_contents->close();
    });
    QToolBar *bar = pageToolBar(QStringLiteral("PlotToolBar"), Qt::Vertical);
    addCommandButton(bar, apply, QStringLiteral("PlotApplyButton"));
    addCommandButton(bar, recall, QStringLiteral("PlotRecallButton"));
    addCommandButton(bar, clear, QStringLiteral("PlotClearButton"));
    addCommandButton(bar, contents, QStringLiteral("MapContentsButton"));
    layout->addWidget(m_plotEdit);
    layout->addWidget(bar);
    return side;
}

void MapPage::buildNewMapPrompt()
{
    m_prompt = new QFrame(this);
    m_prompt->setObjectName(QStringLiteral("NewMapPrompt"));
    m_prompt->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_prompt->setAutoFillBackground(true);
    QPalette pal = m_prompt->palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    m_prompt->setPalette(pal);
    m_prompt->setFixedSize(153, 97);
    auto *label = new QLabel(QStringLiteral("New Map Size"), m_prompt);
    label->setObjectName(QStringLiteral("PromptLabel"));
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(2, 2, 149, 16);
    // White on the colour of an active caption, which Qt's palette gives as
    // the highlight colour.
    label->setAutoFillBackground(true);
    label->setBackgroundRole(QPalette::Highlight);
    QPalette labelPalette = label->palette();
    labelPalette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(labelPalette);
    m_widthBox = new SpinEdit(m_prompt);
    m_widthBox->setObjectName(QStringLiteral("MapWidthBox"));
    m_heightBox = new SpinEdit(m_prompt);
    m_heightBox->setObjectName(QStringLiteral("MapHeightBox"));
    for (SpinEdit *spin : {m_widthBox, m_heightBox}) {
        spin->setRange(0, 1000);
        spin->setValue(16);
    }
    m_widthBox->setGeometry(8, 28, 60, 24);
    auto *x = new QLabel(QStringLiteral("X"), m_prompt);
    x->setAlignment(Qt::AlignCenter);
    x->setGeometry(68, 28, 17, 24);
    m_heightBox->setGeometry(85, 28, 60, 24);
    m_okButton = new QPushButton(QStringLiteral("Ok"), m_prompt);
    m_okButton->setObjectName(QStringLiteral("NewMapOkButton"));
    m_okButton->setGeometry(8, 62, 64, 26);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), m_prompt);
    m_cancelButton->setObjectName(QStringLiteral("NewMapCancelButton"));
    m_cancelButton->setGeometry(81, 62, 64, 26);
    connect(m_okButton, &QPushButton::clicked, this, [this] { newMapAnswered(true); });
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { newMapAnswered(false); });
    m_prompt->hide();
}

void MapPage::showNewMapPrompt()
{
    Q_EMIT showRequested(); // from the menu: the prompt lives on this page
    QWidget *button = m_mapBar->widgetForAction(m_actions->action(QStringLiteral("newMap")));
    m_prompt->move(button->mapTo(this, QPoint(0, button->height() + 1)));
    m_hoverTimer->stop();
    m_prompt->raise();
    m_prompt->show();
}

void MapPage::newMapAnswered(bool ok)
{
    if (ok && m_newMap && !m_newMap(m_widthBox->readValue(), m_heightBox->readValue()))
        return; // the prompt stays for another answer
    m_prompt->hide();
    m_hoverTimer->start();
}

void MapPage::connectGrid()
{
    connect(m_grid, &MapGrid::selectCell, this, &MapPage::selectCell);
    connect(m_grid, &MapGrid::topLeftChanged, this, &MapPage::miniMapStep);
    connect(m_grid, &MapGrid::gridMouseMove, this, &MapPage::pointerMoved);
    connect(m_grid, &MapGrid::wheelUp, this, [this] { wheelZoom(+1); });
    connect(m_grid, &MapGrid::wheelDown, this, [this] { wheelZoom(-1); });
    connect(m_zoomBox, &QComboBox::activated, this, &MapPage::zoomChosen);
    connect(m_zoomBox, &DropDownComboBox::dropDown, m_hoverTimer, &QTimer::stop);
    connect(m_zoomBox, &DropDownComboBox::closeUp, this, [this] {
        // Closed without a choice too: the hint must not stay stuck.
        if (m_active && !m_prompt->isVisible())
            m_hoverTimer->start();
    });
    connect(m_hoverTimer, &QTimer::timeout, this, &MapPage::hoverTimerTick);
}

void MapPage::setToolWindows(MiniMapWindow *miniMap, MapContentsWindow *contents)
{
    m_miniMap = miniMap;
    m_contents = contents;
    m_pieces->setMiniMap(miniMap);
    if (miniMap)
        connect(m_miniMapImage, &vor4::MiniMapImage::changed, miniMap, [miniMap] {
            if (miniMap->isVisible())
                miniMap->refresh();
        });
}

// Plot editor ----------------------------------------------------------------

void MapPage::selectCell(int col, int row)
{
    // Every selection stores the plot text being typed first, as a click
    // does by taking the focus: the wheel, the find bar and the other
    // windows leave the focus in the field, which is about to show another
    // plot. An undo selects the plot it changed and stores nothing.
    vor4::MapDocument *doc = m_context->document();
    // The window's own focus: it stays in the field while another window
    // is active.
    if (window()->focusWidget() == m_plotEdit && !doc->isUndoingOrRedoing()) {
        m_recallText.clear();
        storePlotTyping();
    }
    m_selectedPlot = QPoint(col, row);
    m_plotEdit->setBytes(doc->document().PlotTexts.text(col, row));
    // The file's x and y too: the numbers of the plot blocks, of the players'
    // start positions and of the game.
    m_context->setStatus(2, QStringLiteral("Current cell = (%1 ,%2)   x=%3, y=%4")
                                .arg(col)
                                .arg(row)
                                .arg(col)
                                .arg(doc->document().fileY(row)));
}

bool MapPage::plotSelected() const { return m_selectedPlot.x() >= 0 && m_selectedPlot.y() >= 0; }

bool MapPage::hasSelectedPlot()
{
    if (plotSelected())
        return true;
    // After Open or New the grid still shows a current cell, but no plot
    // was chosen: nothing may be written into it.
    m_context->say(QStringLiteral("No plot selected"));
    return false;
}

QPoint MapPage::focusedCell() const { return QPoint(m_grid->col(), m_grid->row()); }

bool MapPage::applyPlot() { return applyPlotMemo(QStringLiteral("Edit plot")); }

bool MapPage::applyPlotMemo(const QString &what)
{
    if (!hasSelectedPlot())
        return false;
    QByteArray text;
    if (!m_plotEdit->bytes(&text)) {
        m_context->warnNotSingleByte();
        return false;
    }
    const QPoint cell = focusedCell();
    m_context->push(new vor4::SetPlotText(m_context->document(), cell.x(), cell.y(), text, what));
    return !m_context->lastRefused();
}

void MapPage::recallPlot()
{
    if (!hasSelectedPlot())
        return;
    const QPoint cell = focusedCell();
    if (!m_recallText.isEmpty())
        m_plotEdit->setText(m_recallText);
    else
        m_plotEdit->setBytes(m_context->stores().PlotTexts.text(cell.x(), cell.y()));
    m_plotEdit->repaint();
    applyPlotMemo(QStringLiteral("Recall plot"));
}

void MapPage::clearPlot()
{
    if (!hasSelectedPlot())
        return;
    m_recallText = m_plotEdit->text();
    m_plotEdit->clear();
    applyPlotMemo(QStringLiteral("Clear plot"));
}

bool MapPage::storePlotTyping()
{
    if (!m_context->autoApply() || !plotSelected())
        return true;
    QByteArray text;
    if (!m_plotEdit->bytes(&text)) {
        m_context->warnNotSingleByte();
        return false;
    }
    m_context->push(new vor4::SetPlotText(m_context->document(), m_selectedPlot.x(), m_selectedPlot.y(), text,
                                          QStringLiteral("Edit plot")),
                    true);
    return !m_context->lastRefused();
}

void MapPage::showStores()
{
    m_headerPage->showStore();
    const vor4::Document &doc = m_context->stores();
    if (plotSelected())
        m_plotEdit->setBytes(doc.PlotTexts.text(m_selectedPlot.x(), m_selectedPlot.y()));
    else
        m_plotEdit->clear();
}

bool MapPage::isMapPageActive() const { return m_active; }

// Following the document ------------------------------------------------------

void MapPage::plotsChanged(const QRegion &plots)
{
    const QRect cells = plots.boundingRect();
    vor4::MapDocument *doc = m_context->document();
    const vor4::Document &stores = doc->document();
    if (!doc->isUndoingOrRedoing()) {
        // A tool painted over the selected plot: the field shows it. A text
        // that was just applied is there already and is left alone, its
        // cursor with it.
        const QPoint selected = m_selectedPlot;
        QByteArray shown;
        if (plots.contains(selected)
            && (!m_plotEdit->bytes(&shown) || shown != stores.PlotTexts.view(selected.x(), selected.y())))
            m_plotEdit->setBytes(stores.PlotTexts.text(selected.x(), selected.y()));
        return;
    }
    // Undone or redone: one plot changed is selected, as a click on it
    // would; the window shows every store again.
    if (cells.width() == 1 && cells.height() == 1) {
        m_grid->setCurrentCell(cells.x(), cells.y());
        m_grid->scrollIntoView(cells.x(), cells.y());
        selectCell(cells.x(), cells.y());
    }
}

void MapPage::mapSizeChanged()
{
    // A new, white minimap picture of the document's size; the grid and the
    // size panel follow the document.
    const vor4::Document &doc = m_context->stores();
    m_miniMapImage->reset();
    m_grid->updateDimensions();
    m_context->setStatus(1, QStringLiteral("Map Size = (%1 x %2)").arg(doc.columnCount()).arg(doc.rowCount()));
}

void MapPage::renderMiniMap()
{
    if (m_miniMap)
        m_miniMap->fitToPicture();
    m_miniMapImage->render();
    if (m_miniMap)
        m_miniMap->showPlainPicture();
    scrollGridTo(0, 0, true);
}

// Zoom, layers, hover hint ------------------------------------------------------

void MapPage::zoomChosen()
{
    m_grid->zoomAt(m_zoomBox->currentText().toInt(), m_grid->zoomAnchor());
    m_hoverTimer->start();
}

void MapPage::selectZoom(int index)
{
    if (index == m_zoomBox->currentIndex())
        return;
    m_zoomBox->setCurrentIndex(index);
    zoomChosen();
}

void MapPage::wheelZoom(int step)
{
    selectZoom(qBound(0, m_zoomBox->currentIndex() + step, 16));
    miniMapStep();
}

void MapPage::layersChanged()
{
    vor4::LayerSwitches layers;
    const QStringList ids = EditorActions::layerIds();
    for (int i = 0; i < vor4::LayerSwitches::Count; ++i)
        layers[i] = m_actions->action(ids[i])->isChecked();
    vor4::PieceLayers pieces;
    const QStringList pieceIds = EditorActions::pieceLayerIds();
    for (int i = 0; i < vor4::PieceLayers::Count; ++i)
        pieces[i] = m_actions->action(pieceIds[i])->isChecked();
    m_pieces->setLayers(pieces);
    m_grid->setLayers(layers);
    m_grid->repaintMap();
    Q_EMIT layersSwitched();
}

void MapPage::pointerMoved(const QPoint &pos)
{
    const QPoint cell = m_grid->cellAt(pos);
    if (cell.x() < 0 || cell.y() < 0) {
        // Over no cell the panel is emptied whatever it held; only the timer
        // spares other news.
        m_hoverHint->hideHint();
        m_context->say(QString());
        return;
    }
    const QString text = QStringLiteral("(%1,%2)   x=%3, y=%4")
                             .arg(cell.x())
                             .arg(cell.y())
                             .arg(cell.x())
                             .arg(m_context->stores().fileY(cell.y()));
    // The hint names the pieces on the plot too; the status bar only where.
    QStringList lines = m_pieces->pieces()->describe(cell);
    lines.prepend(text);
    m_hoverHint->showHint(m_grid->viewport()->mapToGlobal(pos + QPoint(16, 16)), lines.join(QLatin1Char('\n')));
    m_context->say(text);
}

void MapPage::hideHoverHint()
{
    m_hoverHint->hideHint();
    // Only the hint's own text goes: "File Saved" and the like stay readable.
    if (m_context->status(0) == m_hoverHint->text().section(QLatin1Char('\n'), 0, 0))
        m_context->say(QString());
}

void MapPage::hoverTimerTick()
{
    const bool inside = m_grid->rect().contains(m_grid->mapFromGlobal(QCursor::pos()));
    if (!inside || !window()->isActiveWindow())
        hideHoverHint();
}

void MapPage::pageShown()
{
    m_active = true;
    if (m_contents)
        m_contents->setToolBarVisible(true);
    m_hoverTimer->start();
}

void MapPage::pageHidden()
{
    m_active = false;
    if (m_contents)
        m_contents->setToolBarVisible(false);
    m_hoverTimer->stop();
    // The timer no longer hides the hint: it goes now, not over the text pages.
    hideHoverHint();
    m_context->setStatus(2, QString());
}

// Minimap ---------------------------------------------------------------------------

void MapPage::miniMapStep()
{
    if (m_miniMap && m_miniMap->isVisible())
        scrollGridTo(m_grid->leftCol(), m_grid->topRow(), true);
}

void MapPage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    miniMapStep();
}

bool MapPage::scrollGridTo(int col, int row, bool forced)
{
    return scrollMapTo(*m_grid, m_miniMap, m_miniMapImage->image(), col, row, forced);
}

const QImage &MapPage::miniMapBitmap() const { return m_miniMapImage->image(); }

int MapPage::gridColCount() const { return m_grid->colCount(); }
int MapPage::gridRowCount() const { return m_grid->rowCount(); }
int MapPage::gridLeftCol() const { return m_grid->leftCol(); }
int MapPage::gridTopRow() const { return m_grid->topRow(); }

void MapPage::setMiniMapButtonDown(bool down) { m_actions->action(QStringLiteral("miniMap"))->setChecked(down); }

// Map contents window ---------------------------------------------------------------

void MapPage::setMapContentsButtonDown(bool down) { m_actions->action(QStringLiteral("mapContents"))->setChecked(down); }

void MapPage::mapContentsItemChosen(const QString &line) { m_tools->offerBrushLine(line); }

QStringList MapPage::mapPlotLines() { return m_tools->mapLines(); }
