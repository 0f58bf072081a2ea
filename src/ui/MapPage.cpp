#include "MapPage.h"

#include "CurrentCell.h"
#include "EditorActions.h"
#include "EditorContext.h"
#include "FindBar.h"
#include "HintWindow.h"
#include "MapContentsWindow.h"
#include "MapDocument.h"
#include "MapGrid.h"
#include "MapPicture.h"
#include "MapPieces.h"
#include "MapToolBar.h"
#include "MapToolBox.h"
#include "MiniMapFeed.h"
#include "MiniMapWindow.h"
#include "PaintRule.h"
#include "PieceActions.h"
#include "PiecesOverlay.h"
#include "PlotEditor.h"
#include "SectionPage.h"
#include "SpinEdit.h"
#include "StatisticsWindow.h"

#include <QAction>
#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

MapPage::MapPage(EditorContext *context, EditorActions *actions, QWidget *parent)
    : QWidget(parent)
    , m_context(context)
    , m_actions(actions)
{
    setObjectName(QStringLiteral("MapPage"));
    m_hoverTimer = new QTimer(this);
    m_hoverTimer->setObjectName(QStringLiteral("HoverTimer"));
    m_hoverTimer->setInterval(100);
    m_hoverHint = new HintWindow(this);
    vor4::MapDocument *doc = context->document();

    m_grid = new MapGrid;
    m_grid->setObjectName(QStringLiteral("MapGrid"));
    // Before anyone else hears of a new document: no plot of it is chosen.
    connect(doc, &vor4::MapDocument::documentReplaced, m_grid->currentCell(), &CurrentCell::forget);
    m_grid->followDocument(doc);
    m_grid->setMinimumHeight(100);
    m_grid->setProperty("shortcutGroup", QStringLiteral("Map grid"));
    m_miniMap = new MiniMapFeed(doc, m_grid, actions->action(QStringLiteral("miniMap")), this);
    m_pieces = new PieceActions(context, m_grid, this);
    m_tools = new MapToolBox(doc, m_grid, this);
    m_tools->setCatalogueSource([this] { return m_contents ? m_contents->paintLines() : QStringList(); });
    m_tools->toolBar()->setProperty("shortcutGroup", QStringLiteral("Paint bar"));
    connect(m_tools, &MapToolBox::message, context, &EditorContext::say);
    m_findBar = new FindBar(doc, m_grid);
    m_findBar->setProperty("shortcutGroup", QStringLiteral("Find bar"));
    m_statistics = new StatisticsWindow(doc, this);
    m_mapBars = new MapToolBar(actions);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_mapBars);
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
    m_plotEditor = new PlotEditor(context, actions, m_grid->currentCell(), m_tools);
    editors->addWidget(m_plotEditor);
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
    connectParts();
}

MapPage::~MapPage()
{
    // The marks and the overlays leave the minimap while its picture exists.
    disconnect(m_context->document(), nullptr, this, nullptr);
    delete m_findBar;
    delete m_pieces;
    delete m_statistics;
}

void MapPage::connectParts()
{
    const auto action = [this](const char *id) { return m_actions->action(QLatin1String(id)); };
    connect(action("newMap"), &QAction::triggered, this, &MapPage::showNewMapPrompt);
    connect(action("gridLines"), &QAction::triggered, this, [this](bool on) { m_grid->setGridLineWidth(on ? 1 : 0); });
    connect(action("statistics"), &QAction::triggered, this, [this](bool on) {
        if (on) {
            m_statistics->placeOnScreen();
            m_statistics->show();
            m_statistics->raise();
        } else {
            m_statistics->hide();
        }
    });
    connect(m_statistics, &StatisticsWindow::visibilityChanged, action("statistics"), &QAction::setChecked);
    connect(m_statistics, &StatisticsWindow::findRequested, this, [this](const QString &pattern) {
        vor4::FindOptions options;
        options.matchCase = true;
        options.regularExpression = true;
        m_findBar->findText(pattern, options);
        // The steps through the matches are keys of this window.
        window()->activateWindow();
        m_findBar->findField()->setFocus(Qt::OtherFocusReason);
    });
    connect(action("find"), &QAction::triggered, m_findBar, &FindBar::openFind);
    connect(action("findNext"), &QAction::triggered, m_findBar, &FindBar::findNext);
    connect(action("findPrevious"), &QAction::triggered, m_findBar, &FindBar::findPrevious);
    connect(action("replace"), &QAction::triggered, m_findBar, &FindBar::toggleReplace);
    // The bar's own buttons name the keys of the same commands.
    m_findBar->findNextButton()->setToolTip(action("findNext")->toolTip());
    m_findBar->findPreviousButton()->setToolTip(action("findPrevious")->toolTip());
    m_findBar->replaceToggle()->setToolTip(action("replace")->toolTip());
    connect(m_findBar, &FindBar::activated, this, [this] {
        Q_EMIT showRequested();
        m_findBar->setMiniMap(m_miniMapWindow);
    });
    connect(action("mapContents"), &QAction::triggered, this, [this](bool on) {
        if (!m_contents)
            return;
        if (on)
            m_contents->show();
        else
            m_contents->close();
    });

    connect(m_grid, &MapGrid::gridMouseMove, this, &MapPage::pointerMoved);
    connect(m_grid, &MapGrid::wheelUp, this, [this] { wheelZoom(+1); });
    connect(m_grid, &MapGrid::wheelDown, this, [this] { wheelZoom(-1); });
    connect(m_mapBars, &MapToolBar::zoomChosen, this, &MapPage::zoomChosen);
    connect(m_mapBars, &MapToolBar::zoomListOpened, m_hoverTimer, &QTimer::stop);
    connect(m_mapBars, &MapToolBar::zoomListClosed, this, [this] {
        // Closed without a choice too: the hint must not stay stuck.
        if (m_active && !m_prompt->isVisible())
            m_hoverTimer->start();
    });
    connect(m_mapBars, &MapToolBar::layersChanged, this, &MapPage::layersChanged);
    connect(m_hoverTimer, &QTimer::timeout, this, &MapPage::hoverTimerTick);
    // An undone or redone plot is chosen by the plot editor, and shown.
    connect(m_context->document(), &vor4::MapDocument::plotsChanged, this, [this](const QRegion &plots) {
        const QRect cells = plots.boundingRect();
        if (m_context->document()->isUndoingOrRedoing() && cells.width() == 1 && cells.height() == 1)
            m_grid->scrollIntoView(cells.x(), cells.y());
    });
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
    auto *ok = new QPushButton(QStringLiteral("Ok"), m_prompt);
    ok->setObjectName(QStringLiteral("NewMapOkButton"));
    ok->setGeometry(8, 62, 64, 26);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), m_prompt);
    cancel->setObjectName(QStringLiteral("NewMapCancelButton"));
    cancel->setGeometry(81, 62, 64, 26);
    connect(ok, &QPushButton::clicked, this, [this] { newMapAnswered(true); });
    connect(cancel, &QPushButton::clicked, this, [this] { newMapAnswered(false); });
    m_prompt->hide();
}

void MapPage::showNewMapPrompt()
{
    Q_EMIT showRequested(); // from the menu: the prompt lives on this page
    QWidget *button = m_mapBars->newMapButton();
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

void MapPage::setToolWindows(MiniMapWindow *miniMap, MapContentsWindow *contents)
{
    m_contents = contents;
    m_miniMapWindow = miniMap;
    m_miniMap->setWindow(miniMap);
    m_pieces->setMiniMap(miniMap);
}

void MapPage::selectCell(int col, int row)
{
    m_grid->currentCell()->choose(QPoint(qBound(0, col, m_grid->colCount() - 1), qBound(0, row, m_grid->rowCount() - 1)));
}

void MapPage::showStores()
{
    m_headerPage->showStore();
    m_plotEditor->showStore();
}

void MapPage::mapSizeChanged()
{
    // A new, white minimap picture of the document's size; the grid and the
    // size panel follow the document.
    const vor4::Document &doc = m_context->stores();
    m_miniMap->reset();
    m_grid->updateDimensions();
    m_context->setStatus(1, QStringLiteral("Map Size = (%1 x %2)").arg(doc.columnCount()).arg(doc.rowCount()));
}

void MapPage::renderMiniMap() { m_miniMap->render(); }

QByteArray MapPage::brushKey() const
{
    const vor4::PaintRule &brush = m_tools->brush();
    return brush.isValid() ? brush.key() : QByteArray("TerrainType");
}

// Zoom, layers, style, hover hint -------------------------------------------------

void MapPage::zoomChosen()
{
    m_grid->zoomAt(m_mapBars->cellSize(), m_grid->zoomAnchor());
    m_hoverTimer->start();
}

void MapPage::selectZoom(int index)
{
    if (index == m_mapBars->zoomIndex())
        return;
    m_mapBars->setZoomIndex(index);
    zoomChosen();
}

void MapPage::wheelZoom(int step)
{
    selectZoom(qBound(0, m_mapBars->zoomIndex() + step, 16));
    m_miniMap->followGrid();
}

void MapPage::layersChanged()
{
    m_pieces->setLayers(m_mapBars->pieceLayers());
    m_grid->setLayers(m_mapBars->layers());
    m_grid->repaintMap();
    Q_EMIT layersSwitched();
}

const vor4::MapStyle &MapPage::style() const { return m_grid->style(); }

void MapPage::setStyle(const vor4::MapStyle &style)
{
    if (style == m_grid->style())
        return;
    m_grid->setStyle(style);
    m_miniMap->setStyle(style);
    m_grid->repaintMap();
    Q_EMIT layersSwitched();
}

vor4::MapPictureOptions MapPage::pictureAsShown() const
{
    vor4::MapPictureOptions o;
    o.style = m_grid->style();
    o.cellSize = m_grid->cellSize();
    o.gridLines = m_grid->gridLineWidth() > 0;
    o.layers = m_grid->layers();
    o.pieces = true;
    o.pieceLayers = m_pieces->overlay()->layers();
    return o;
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
    m_plotEditor->setPageActive(true);
    if (m_contents)
        m_contents->setToolBarVisible(true);
    m_hoverTimer->start();
}

void MapPage::pageHidden()
{
    m_active = false;
    m_plotEditor->setPageActive(false);
    if (m_contents)
        m_contents->setToolBarVisible(false);
    m_hoverTimer->stop();
    // The timer no longer hides the hint: it goes now, not over the text pages.
    hideHoverHint();
    m_context->setStatus(2, QString());
}

void MapPage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_miniMap->followGrid();
}
