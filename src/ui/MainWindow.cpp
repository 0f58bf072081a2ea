#include "MainWindow.h"

#include "AboutBox.h"
#include "BalanceWindow.h"
#include "CommandButtons.h"
#include "EditorActions.h"
#include "EditorContext.h"
#include "EditorSettings.h"
#include "ExportPictureDialog.h"
#include "FileActions.h"
#include "FindBar.h"
#include "Glyphs.h"
#include "HistoryWindow.h"
#include "Legend.h"
#include "PieceActions.h"
#include "PiecesOverlay.h"
#include "PlotEditor.h"
#include "ProblemsPanel.h"
#include "RecentFiles.h"
#include "MapContentsWindow.h"
#include "MapGrid.h"
#include "MapPage.h"
#include "MapToolBox.h"
#include "MiniMapFeed.h"
#include "MiniMapWindow.h"
#include "RegionActions.h"
#include "SectionMemo.h"
#include "SectionPage.h"
#include "ShortcutsWindow.h"
#include "SymmetryActions.h"
#include "TypeCatalogue.h"
#include "UserGuide.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

namespace {
const char *const PageActionIds[] = {"rulesPage", "teamsPage", "playersPage", "mapPage"};
} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainWindow"));
    resize(870, 640);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    m_context = new EditorContext(&m_document, this);
    m_actions = new EditorActions(m_document.undoStack(), this);

    // Three flat tool bars on one row.
    addCommandBar(QStringLiteral("FileToolBar"), {QStringLiteral("new"), QStringLiteral("open"), QStringLiteral("save"),
                                                  QStringLiteral("saveAs"), QStringLiteral("undo"), QStringLiteral("redo"),
                                                  QStringLiteral("history"), QStringLiteral("about")});
    addCommandBar(QStringLiteral("PageToolBar"), {QStringLiteral("rulesPage"), QStringLiteral("teamsPage"),
                                                  QStringLiteral("playersPage"), QStringLiteral("mapPage")});
    addCommandBar(QStringLiteral("AutoApplyToolBar"), {QStringLiteral("autoApply")});

    // The pages, one shown at a time, without tabs.
    m_pages = new QStackedWidget;
    m_pages->setObjectName(QStringLiteral("WorkPages"));
    const vor4::SectionKind kinds[] = {vor4::SectionKind::Game, vor4::SectionKind::Team, vor4::SectionKind::Player};
    for (std::size_t i = 0; i < 3; ++i) {
        m_sectionPages[i] = new SectionPage(kinds[i], m_context);
        m_pages->addWidget(m_sectionPages[i]);
    }
    m_mapPage = new MapPage(m_context, m_actions);
    m_pages->addWidget(m_mapPage);
    auto *title = new QLabel;
    title->setObjectName(QStringLiteral("TitlePage"));
    title->setPixmap(picture("title", QSize(480, 280)));
    title->setScaledContents(true);
    title->setMinimumSize(1, 1);
    m_pages->addWidget(title);
    setCentralWidget(m_pages);

    buildStatusBar();
    m_history = new HistoryWindow(m_document.undoStack(), this);
    m_files = new FileActions(m_context, this);
    m_mapPage->setNewMapHandler([this](int width, int height) { return m_files->createMap(width, height); });
    m_problems = new ProblemsPanel(m_mapPage, &m_document, this);
    addDockWidget(Qt::RightDockWidgetArea, m_problems);
    m_problems->hide();
    m_actions->add(QStringLiteral("problems"), m_problems->toggleViewAction());
    m_actions->add(QStringLiteral("startsFromSettlers"), m_problems->startsFromSettlersAction());
    connect(m_problems, &ProblemsPanel::statusMessage, m_context, &EditorContext::say);
    connect(m_problems, &ProblemsPanel::plotChosen, this, [this] { showPage(MapEditorPage); });
    m_balance = new BalanceWindow(&m_document, m_mapPage->grid(), this);
    addDockWidget(Qt::RightDockWidgetArea, m_balance);
    m_balance->hide();
    m_actions->add(QStringLiteral("territory"), m_balance->territoryAction());
    m_regions = new RegionActions(m_context, m_mapPage, this);
    statusBar()->addPermanentWidget(m_regions->selectionLabel());
    buildMenus();
    m_symmetry = new SymmetryActions(m_context, m_mapMenu, this);
    // The commands made where they live answer to their names too.
    for (QAction *a : m_regions->findChildren<QAction *>() + m_mapPage->tools()->actionGroup()->actions()
                          + m_symmetry->commands()->actions())
        if (!a->objectName().isEmpty())
            m_actions->add(a->objectName(), a);
    m_shortcuts = new ShortcutsWindow(this);
    connectCommands();
    watchFileDrops();

    m_miniMapWindow = new MiniMapWindow(m_mapPage->miniMap(), this);
    m_contentsWindow = new MapContentsWindow(m_mapPage->plotEditor(), this);
    m_contentsWindow->setInstallDir(m_files->installDir());
    m_mapPage->setToolWindows(m_miniMapWindow, m_contentsWindow);
    if (const QString dir = m_files->installDir(); !dir.isEmpty())
        m_balance->setDataFolder(QFileInfo(vor4::TypeCatalogue(dir).dataFilePath(0)).path());
    connect(action(QStringLiteral("balance")), &QAction::toggled, m_balance, &QWidget::setVisible);
    connect(m_balance, &QDockWidget::visibilityChanged, action(QStringLiteral("balance")), &QAction::setChecked);
    connect(m_balance, &BalanceWindow::startRequested, m_mapPage, [this](int col, int row) {
        m_mapPage->selectCell(col, row);
        m_mapPage->grid()->scrollIntoView(col, row);
    });
    m_aboutBox = new AboutBox(this);

    m_files->updateCaption();
    m_document.reset(0, 0);
    m_pages->setCurrentIndex(TitlePage);
}

MainWindow::~MainWindow()
{
    // The document and its history go before the widgets: nothing of this
    // window may hear from them any more.
    disconnect(&m_document, nullptr, this, nullptr);
    disconnect(m_document.undoStack(), nullptr, this, nullptr);
    delete m_history;
    delete m_balance;
    delete m_files;
    delete m_regions; // the selection leaves the minimap while its picture exists
    delete m_mapPage;
}

QAction *MainWindow::action(const QString &id) const { return m_actions->action(id); }

SectionPage *MainWindow::sectionPage(vor4::SectionKind kind) const
{
    switch (kind) {
    case vor4::SectionKind::Game: return m_sectionPages[0];
    case vor4::SectionKind::Team: return m_sectionPages[1];
    case vor4::SectionKind::Player: return m_sectionPages[2];
    case vor4::SectionKind::Map:
    case vor4::SectionKind::Signs: break;
    }
    return m_mapPage->headerPage();
}

QToolBar *MainWindow::addCommandBar(const QString &name, const QStringList &ids)
{
    QToolBar *bar = addToolBar(name);
    bar->setObjectName(name);
    bar->setMovable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setFloatable(false);
    bar->setContextMenuPolicy(Qt::PreventContextMenu); // no menu that could hide a bar
    for (const QString &id : ids)
        addCommandButton(bar, action(id), id + QStringLiteral("Button"));
    m_commandBars << bar;
    return bar;
}

void MainWindow::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MenuBar"));
    const auto add = [this](QMenu *menu, const QStringList &ids) {
        for (const QString &id : ids) {
            if (id.isEmpty())
                menu->addSeparator();
            else
                menu->addAction(action(id));
        }
    };
    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    add(file, {QStringLiteral("new"), QStringLiteral("newGeneratedMap"), QStringLiteral("open")});
    QMenu *recent = file->addMenu(QStringLiteral("Open &Recent"));
    recent->setObjectName(QStringLiteral("recentFilesMenu"));
    m_recent = new RecentFiles(recent, this);
    add(file, {QStringLiteral("save"), QStringLiteral("saveAs"), QString(), QStringLiteral("exportPicture"), QString(),
               QStringLiteral("quit")});
    m_editMenu = bar->addMenu(QStringLiteral("&Edit"));
    add(m_editMenu, {QStringLiteral("undo"), QStringLiteral("redo"), QStringLiteral("history"), QString(),
                     QStringLiteral("autoApply"), QString(), QStringLiteral("find"), QStringLiteral("findNext"),
                     QStringLiteral("findPrevious"), QStringLiteral("replace")});
    addActions(m_editMenu, m_regions->editMenuActions());
    QMenu *view = bar->addMenu(QStringLiteral("&View"));
    add(view, {QStringLiteral("rulesPage"), QStringLiteral("teamsPage"), QStringLiteral("playersPage"),
               QStringLiteral("mapPage"), QString(), QStringLiteral("gridLines"), QStringLiteral("miniMap"),
               QStringLiteral("mapContents"), QStringLiteral("problems"), QStringLiteral("territory")});
    QMenu *layerMenu = view->addMenu(QStringLiteral("&Layers"));
    add(layerMenu, EditorActions::layerIds());
    layerMenu->addSeparator();
    add(layerMenu, EditorActions::pieceLayerIds());
    QMenu *styleMenu = view->addMenu(QStringLiteral("Map &style"));
    styleMenu->setObjectName(QStringLiteral("mapStyleMenu"));
    add(styleMenu, EditorActions::styleIds());
    m_mapMenu = bar->addMenu(QStringLiteral("&Map"));
    add(m_mapMenu, {QStringLiteral("newMap"), QString()});
    m_mapPage->tools()->addToMenu(m_mapMenu);
    add(m_mapMenu, {QStringLiteral("statistics"), QStringLiteral("balance"), QStringLiteral("startsFromSettlers")});
    addActions(m_mapMenu, m_regions->mapMenuActions());
    QMenu *help = bar->addMenu(QStringLiteral("&Help"));
    add(help, {QStringLiteral("userGuide"), QStringLiteral("legend"), QStringLiteral("shortcuts"), QStringLiteral("about")});
}

void MainWindow::addActions(QMenu *menu, const QList<QAction *> &actions)
{
    for (QAction *a : actions) {
        if (a)
            menu->addAction(a);
        else
            menu->addSeparator();
    }
}

void MainWindow::buildStatusBar()
{
    // Three panels: messages, the map's size and the selected cell.
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->setSizeGripEnabled(true);
    for (int i = 0; i < 3; ++i) {
        auto *panel = new QLabel;
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (i < 2)
            panel->setFixedWidth(200);
        else
            panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred); // never widens the window
        statusBar()->addWidget(panel, i == 2 ? 1 : 0);
        m_statusPanels[std::size_t(i)] = panel;
    }
    statusBar()->setFixedHeight(24);
    connect(m_context, &EditorContext::statusChanged, this, &MainWindow::fitStatusPanel);
}

void MainWindow::connectCommands()
{
    const auto on = [this](const char *id, auto slot) {
        connect(action(QLatin1String(id)), &QAction::triggered, this, slot);
    };
    on("new", [this] { m_files->newMap(); });
    on("newGeneratedMap", [this] { m_files->createGeneratedMap(); });
    on("open", [this] { m_files->open(); });
    on("save", [this] { m_files->save(); });
    on("saveAs", [this] { m_files->saveAs(); });
    on("quit", [this] { close(); });
    on("undo", [this] { stepThroughHistory(false); });
    on("redo", [this] { stepThroughHistory(true); });
    on("history", [this](bool shown) { m_history->setVisible(shown); });
    connect(m_history, &HistoryWindow::visibilityChanged, action(QStringLiteral("history")), &QAction::setChecked);
    on("autoApply", [this](bool on) { m_context->setAutoApply(on); });
    on("about", [this] {
        m_aboutBox->show();
        m_aboutBox->raise();
        m_aboutBox->activateWindow();
    });
    on("shortcuts", [this] {
        m_shortcuts->show();
        m_shortcuts->raise();
        m_shortcuts->activateWindow();
    });
    on("legend", [this] { showLegend(); });
    on("exportPicture", [this] {
        if (storeFocusedMemo())
            exportMapPicture(m_context, m_mapPage->pictureAsShown(), m_document.selection().boundingRect());
    });
    // The style chosen last time, and each one chosen kept for the next.
    for (const QString &id : EditorActions::styleIds())
        on(id.toLatin1().constData(), [this, id] { chooseStyle(action(id)->text().remove(QLatin1Char('&'))); });
    chooseStyle(editorSettings().value(QStringLiteral("mapStyle")).toString());
    on("userGuide", [this] { openUserGuide(this); });
    for (int i = 0; i < 4; ++i)
        on(PageActionIds[i], [this, i] { showPage(i); });
    connect(m_mapPage, &MapPage::showRequested, this, [this] { showPage(MapEditorPage); });
    connect(m_files, &FileActions::busyChanged, this, &MainWindow::setBusy);
    connect(m_files, &FileActions::mapClosing, this, &MainWindow::forgetMap);
    connect(m_files, &FileActions::fileUsed, m_recent, &RecentFiles::add);
    connect(m_recent, &RecentFiles::openRequested, m_files, &FileActions::openMapFile);

    connect(&m_document, &vor4::MapDocument::documentReplaced, this, &MainWindow::documentReplaced);
    connect(&m_document, &vor4::MapDocument::plotsChanged, this, [this] {
        if (m_document.isUndoingOrRedoing())
            showStores();
    });
    connect(&m_document, &vor4::MapDocument::sectionChanged, this, [this] {
        if (m_document.isUndoingOrRedoing())
            showStores();
    });
    connect(&m_document, &vor4::MapDocument::modifiedChanged, m_files, &FileActions::updateCaption);
    QUndoStack *stack = m_document.undoStack();
    connect(stack, &QUndoStack::indexChanged, m_actions, &EditorActions::updateUndoHints);
    connect(stack, &QUndoStack::canUndoChanged, m_actions, &EditorActions::updateUndoHints);
    connect(stack, &QUndoStack::canRedoChanged, m_actions, &EditorActions::updateUndoHints);
}

void MainWindow::chooseStyle(const QString &name)
{
    const vor4::MapStyle *style = vor4::MapStyle::byName(name);
    if (!style)
        style = &vor4::MapStyle::classic();
    const int index = int(vor4::MapStyle::names().indexOf(style->name));
    action(EditorActions::styleIds().value(index))->setChecked(true);
    m_mapPage->setStyle(*style);
    if (name == style->name)
        editorSettings().setValue(QStringLiteral("mapStyle"), style->name);
}

void MainWindow::showLegend()
{
    auto *window = findChild<QDialog *>(QStringLiteral("LegendWindow"));
    if (!window) {
        // Drawn by the grid's painters, as the README's picture is, for
        // the layers switched on.
        window = new QDialog(this);
        window->setObjectName(QStringLiteral("LegendWindow"));
        window->setWindowTitle(QStringLiteral("Legend"));
        auto *picture = new QLabel;
        (new QVBoxLayout(window))->addWidget(picture);
        const auto draw = [this, picture] {
            picture->setPixmap(QPixmap::fromImage(vor4::legendImage(
                m_mapPage->grid()->layers(), m_mapPage->pieces()->overlay()->layers(), m_mapPage->style())));
        };
        draw();
        connect(m_mapPage, &MapPage::layersSwitched, picture, draw);
    }
    window->show();
    window->raise();
}

// Pages ---------------------------------------------------------------------------

int MainWindow::currentPage() const { return m_pages->currentIndex(); }

void MainWindow::showPage(int index)
{
    const int old = m_pages->currentIndex();
    if (index == old)
        return;
    // The focus leaves the old page first, so that a text field's auto apply
    // stores into the page being left.
    QWidget *oldPage = m_pages->widget(old);
    if (QWidget *focus = QApplication::focusWidget(); focus && oldPage->isAncestorOf(focus))
        focus->clearFocus();
    m_pages->setCurrentIndex(index);
    pageShown(index, old);
}

void MainWindow::pageShown(int index, int old)
{
    if (index < TitlePage)
        action(QLatin1String(PageActionIds[index]))->setChecked(true); // the group unchecks the others
    if (index == MapEditorPage)
        m_mapPage->pageShown();
    if (old == MapEditorPage)
        m_mapPage->pageHidden();
}

// Following the document ---------------------------------------------------------------

void MainWindow::stepThroughHistory(bool forward)
{
    // The typing in the field being edited becomes a step of its own first:
    // this undo takes it back, and Redo brings it again.
    if (!storeFocusedMemo())
        return;
    if (forward)
        m_document.undoStack()->redo();
    else
        m_document.undoStack()->undo();
}

void MainWindow::documentReplaced()
{
    m_mapPage->mapSizeChanged();
    for (SectionPage *page : m_sectionPages)
        page->listSlots();
    setStatusText(2, QString());
    if (m_document.isUndoingOrRedoing()) {
        // Undone or redone: the old document's picture and its name come back.
        m_files->followHistory();
        m_mapPage->renderMiniMap();
    }
    showStores();
    m_files->updateCaption();
}

void MainWindow::showStores()
{
    // Every text field shows its store; what was typed and not applied is
    // dropped, as a change of selection drops it.
    for (SectionPage *page : m_sectionPages)
        page->showStore();
    m_mapPage->showStores();
}

bool MainWindow::storeFocusedMemo()
{
    QWidget *focus = focusWidget();
    if (!focus)
        return true;
    if (focus == m_mapPage->plotEditor()->memo())
        return m_mapPage->plotEditor()->storeTyping();
    for (vor4::SectionKind kind : {vor4::SectionKind::Game, vor4::SectionKind::Team, vor4::SectionKind::Player,
                                   vor4::SectionKind::Map})
        if (focus == sectionPage(kind)->edit())
            return sectionPage(kind)->storeTyping();
    return true;
}

void MainWindow::clearTextFields()
{
    for (SectionPage *page : m_sectionPages)
        page->edit()->clear();
    m_mapPage->headerPage()->edit()->clear();
    m_mapPage->plotEditor()->memo()->clear();
}

void MainWindow::showReadMap(bool whole)
{
    showPage(RulesPage);
    if (!whole)
        return;
    for (SectionPage *page : m_sectionPages)
        page->showFirstSlot();
    m_mapPage->headerPage()->showFirstSlot();
}

void MainWindow::renderMiniMap() { m_mapPage->renderMiniMap(); }

void MainWindow::showMapPage() { showPage(MapEditorPage); }

void MainWindow::forgetMap()
{
    // No region selected, no block floating, no find marks and no news of
    // the map before: Delete must not empty plots of the new one.
    m_regions->forgetMap();
    m_mapPage->findBar()->closeBar();
    setStatusText(0, QString());
    setStatusText(2, QString());
}

bool MainWindow::isLoading() const { return m_context->isLoading(); }

void MainWindow::setBusy(bool busy)
{
    // While a file is read the window handles its events, but nothing may
    // change or replace the stores: this is the one place that says so.
    for (QToolBar *bar : m_commandBars)
        bar->setEnabled(!busy);
    m_pages->setEnabled(!busy);
    m_actions->setBusy(busy);
    m_recent->setBusy(busy);
    m_regions->setBusy(busy);
    m_symmetry->commands()->setEnabled(!busy);
    m_problems->setBusy(busy);
    for (QWidget *tool : {static_cast<QWidget *>(m_contentsWindow), static_cast<QWidget *>(m_history)})
        if (tool)
            tool->setEnabled(!busy);
}

// Caption and status bar -------------------------------------------------------------

QString MainWindow::caption() const
{
    QString title = windowTitle();
    return title.remove(QLatin1String("[*]"));
}

QString MainWindow::statusText(int panel) const { return m_context->status(panel); }

void MainWindow::setStatusText(int panel, const QString &text) { m_context->setStatus(panel, text); }

void MainWindow::fitStatusPanel(int panel)
{
    QLabel *label = m_statusPanels[std::size_t(panel)];
    const QString text = m_context->status(panel);
    const QFontMetrics metrics = label->fontMetrics();
    const int frame = label->width() - label->contentsRect().width();
    if (panel == 0) {
        // Messages grow the panel up to half the window, never the window.
        const int room = qMax(200, width() / 2);
        label->setFixedWidth(qBound(200, metrics.horizontalAdvance(text) + frame + 4, room));
    }
    // The last panel takes what is left and cuts its text short.
    const int inside = label->width() - frame;
    const bool fits = panel == 2 || metrics.horizontalAdvance(text) <= inside;
    label->setText(fits ? text : metrics.elidedText(text, Qt::ElideMiddle, inside));
    // The whole of it on hovering.
    label->setToolTip(text);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    fitStatusPanel(0);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_files->mayClose()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

// Map files dropped on the window ------------------------------------------------------

void MainWindow::watchFileDrops()
{
    setAcceptDrops(true);
    // Text fields take drops of their own; files dragged over them are the
    // window's, so that a map opens wherever it is dropped and no path lands
    // in a text.
    for (QWidget *child : findChildren<QWidget *>())
        if (child->acceptDrops())
            child->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (handleFileDrag(event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::handleFileDrag(QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        break;
    default:
        return false;
    }
    auto *drag = static_cast<QDropEvent *>(event);
    if (!drag->mimeData() || !drag->mimeData()->hasUrls())
        return false;
    if (event->type() == QEvent::Drop)
        dropEvent(drag);
    else
        dragMoveEvent(static_cast<QDragMoveEvent *>(event));
    return true;
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event) { dragMoveEvent(event); }

void MainWindow::dragMoveEvent(QDragMoveEvent *event)
{
    // Ignored, the desktop shows the forbidden pointer.
    if (m_files->acceptsDrop(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    if (!m_files->acceptsDrop(event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    m_files->drop(event->mimeData());
}
