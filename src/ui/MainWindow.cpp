#include "MainWindow.h"

#include "AutoRecovery.h"
#include "Dialogs.h"
#include "FindBar.h"
#include "GameLocation.h"
#include "Glyphs.h"
#include "HintWindow.h"
#include "HistoryWindow.h"
#include "MapContentsWindow.h"
#include "MiniMapWindow.h"
#include "MainMenu.h"
#include "RegionActions.h"
#include "SectionMemo.h"
#include "StatisticsWindow.h"
#include "AboutBox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , Doc(MapDoc.document())
{
    setObjectName(QStringLiteral("MainWindow"));
    CatchMapTimer = new QTimer(this);
    CatchMapTimer->setInterval(100);
    PlotHintWindow = new HintWindow(this);
    resize(870, 640);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    // CoolBar1: three flat tool bars on one row.
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar4 = addToolBar(QStringLiteral("ToolBar4"));
    ToolBar10 = addToolBar(QStringLiteral("ToolBar10"));
    for (QToolBar *bar : {ToolBar1, ToolBar4, ToolBar10}) {
        bar->setObjectName(bar->windowTitle());
        bar->setMovable(false);
        bar->setIconSize(QSize(16, 16));
        bar->setFloatable(false);
        bar->setContextMenuPolicy(Qt::PreventContextMenu); // no menu that could hide a bar
    }
    NewBtn = toolButton(ToolBar1, "NewBtn", glyph("new", "document-new"), QStringLiteral("New"));
    OpenBtn = toolButton(ToolBar1, "OpenBtn", glyph("open", "document-open"), QStringLiteral("Open"));
    SaveBtn = toolButton(ToolBar1, "SaveBtn", glyph("save", "document-save"), QStringLiteral("Save"));
    SaveAsBtn = toolButton(ToolBar1, "SaveAsBtn", glyph("saveas", "document-save-as"),
                           QStringLiteral("Save as..."));
    UndoBtn = toolButton(ToolBar1, "UndoBtn", glyph("undo", "edit-undo"), QStringLiteral("Undo"));
    RedoBtn = toolButton(ToolBar1, "RedoBtn", glyph("redo", "edit-redo"), QStringLiteral("Redo"));
    HistoryBtn = toolButton(ToolBar1, "HistoryBtn", glyph("history", "view-history"),
                            QStringLiteral("Show the list of steps, to go back or forward to one"), true);
    AboutBtn = toolButton(ToolBar1, "AboutBtn", glyph("about"), QStringLiteral("About the editor: version and notes"));
    RuleBtn = toolButton(ToolBar4, "RuleBtn", glyph("rules"), QStringLiteral("Game Rules"), true);
    TeamBtn = toolButton(ToolBar4, "TeamBtn", glyph("team"), QStringLiteral("Team Info"), true);
    PlayerBtn = toolButton(ToolBar4, "PlayerBtn", glyph("player"), QStringLiteral("Player Info"), true);
    MapBtn = toolButton(ToolBar4, "MapBtn", glyph("map"), QStringLiteral("Map Editor"), true);
    AutoApplyBtn = toolButton(ToolBar10, "AutoApplyBtn", glyph("autoapply"),
                              QStringLiteral("Auto apply changes: store a text field when it is left"), true);
    AutoApplyBtn->setChecked(true);

    connect(NewBtn, &QToolButton::clicked, this, &MainWindow::NewBtnClick);
    connect(OpenBtn, &QToolButton::clicked, this, &MainWindow::OpenBtnClick);
    connect(SaveBtn, &QToolButton::clicked, this, &MainWindow::SaveBtnClick);
    connect(SaveAsBtn, &QToolButton::clicked, this, &MainWindow::SaveAsBtnClick);
    connect(UndoBtn, &QToolButton::clicked, this, &MainWindow::UndoBtnClick);
    connect(RedoBtn, &QToolButton::clicked, this, &MainWindow::RedoBtnClick);
    connect(HistoryBtn, &QToolButton::clicked, this, &MainWindow::HistoryBtnClick);
    connect(AboutBtn, &QToolButton::clicked, this, &MainWindow::AboutBtnClick);
    for (QToolButton *b : {RuleBtn, TeamBtn, PlayerBtn, MapBtn})
        connect(b, &QToolButton::clicked, this, [this, b] { MainButtonClick(b); });

    // WorkPages: five pages with hidden tabs.
    WorkPages = new QStackedWidget;
    WorkPages->setObjectName(QStringLiteral("WorkPages"));
    TabSheets[RulesPage] = buildRulesPage();
    TabSheets[TeamsPage] = buildSectionPage("Team", &TeamComboBox, "Team #", &DMemo, "ToolBar6");
    TabSheets[PlayersPage] = buildSectionPage("Player ", &PlayerComboBox, "Player #", &PMemo, "ToolBar5");
    TabSheets[MapPage] = buildMapPage();
    TabSheets[MapPage]->installEventFilter(this);
    TabSheets[TitlePage] = buildTitlePage();
    for (int i = 0; i < 5; ++i) {
        TabSheets[std::size_t(i)]->setObjectName(QStringLiteral("TabSheet%1").arg(i + 1));
        WorkPages->addWidget(TabSheets[std::size_t(i)]);
    }
    setCentralWidget(WorkPages);
    for (SectionMemo *memo : {GMemo, DMemo, PMemo, MMemo, Memo})
        connect(memo, &SectionMemo::refused, this, [this](const QString &why) { setStatusText(0, why); });

    // StatusBar1: three panels, 200, 200 and the rest.
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
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
        StatusPanels[std::size_t(i)] = panel;
    }
    statusBar()->setFixedHeight(24);

    History = new HistoryWindow(MapDoc.undoStack(), this);
    connect(History, &HistoryWindow::visibilityChanged, HistoryBtn, &QToolButton::setChecked);
    Recovery = new AutoRecovery(&MapDoc, this);
    connect(&MapDoc, &vor4::MapDocument::documentReplaced, this, &MainWindow::documentReplaced);
    connect(&MapDoc, &vor4::MapDocument::plotsChanged, this, &MainWindow::plotsChanged);
    connect(&MapDoc, &vor4::MapDocument::sectionChanged, this, &MainWindow::sectionChanged);
    connect(&MapDoc, &vor4::MapDocument::modifiedChanged, this, &MainWindow::updateCaption);
    connect(MapDoc.undoStack(), &QUndoStack::indexChanged, this, &MainWindow::updateUndoHints);
    connect(MapDoc.undoStack(), &QUndoStack::canUndoChanged, this, &MainWindow::updateUndoHints);
    connect(MapDoc.undoStack(), &QUndoStack::canRedoChanged, this, &MainWindow::updateUndoHints);
    Menu = new MainMenu(this);
    buildFindAndStatistics();
    Regions = new RegionActions(this);
    setUpHelp();

    watchFileDrops();
    FormCreate();
    m_miniMapWindow = new MiniMapWindow(this, this);
    m_contentsWindow = new MapContentsWindow(this, this);
    m_contentsWindow->setInstallDir(InstallDir);
    m_aboutBox = new AboutBox(this);
    updateUndoHints();
}

MainWindow::~MainWindow()
{
    // The document and its history go before the widgets: nothing of this
    // window may hear from them any more.
    disconnect(&MapDoc, nullptr, this, nullptr);
    disconnect(MapDoc.undoStack(), nullptr, this, nullptr);
    delete History;
    delete Recovery;
    delete MapFindBar; // its marks leave the minimap while the picture still exists
    delete Regions;    // so does the selection
    delete Statistics;
}

QToolButton *MainWindow::toolButton(QToolBar *bar, const char *name, const QIcon &icon, const QString &hint,
                                bool checkable)
{
    auto *b = new QToolButton;
    b->setObjectName(QLatin1String(name));
    b->setIcon(icon);
    b->setToolTip(hint);
    b->setAutoRaise(true);
    b->setCheckable(checkable);
    b->setFocusPolicy(Qt::NoFocus); // tool buttons never take the input focus
    b->setFixedSize(24, 24);
    bar->addWidget(b);
    return b;
}

void MainWindow::addApplyRecallClear(QToolBar *bar, const char *applyName, const char *recallName,
                                 const char *clearName)
{
    QToolButton *apply = toolButton(bar, applyName, glyph("apply"), QStringLiteral("Apply"));
    QToolButton *recall = toolButton(bar, recallName, glyph("recall"), QStringLiteral("Recall"));
    QToolButton *clear = toolButton(bar, clearName, glyph("clear"), QStringLiteral("Clear"));
    connect(apply, &QToolButton::clicked, this, &MainWindow::GeneralApplyBtnClick);
    connect(recall, &QToolButton::clicked, this, &MainWindow::GeneralRecallBtnClick);
    connect(clear, &QToolButton::clicked, this, &MainWindow::GeneralClearBtnClick);
}

QToolBar *MainWindow::newToolBar(const char *name, Qt::Orientation orientation)
{
    auto *bar = new QToolBar;
    bar->setObjectName(QLatin1String(name));
    bar->setOrientation(orientation);
    bar->setIconSize(QSize(16, 16));
    return bar;
}

static QLabel *barLabel(const char *text, int width = 0)
{
    auto *label = new QLabel(QString::fromLatin1(text));
    label->setAlignment(Qt::AlignCenter);
    label->setContentsMargins(6, 0, 6, 0);
    if (width)
        label->setFixedWidth(width);
    return label;
}

QWidget *MainWindow::buildRulesPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QToolBar *bar = newToolBar("ToolBar7");
    bar->addWidget(barLabel("Rules"));
    bar->addSeparator();
    addApplyRecallClear(bar, "ToolButton21", "ToolButton22", "ToolButton23");
    GMemo = new SectionMemo;
    GMemo->setObjectName(QStringLiteral("GMemo"));
    GMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(GMemo, &SectionMemo::exited, this, &MainWindow::MemoExit);
    layout->addWidget(bar);
    layout->addWidget(GMemo);
    return page;
}

QWidget *MainWindow::buildSectionPage(const char *label, QComboBox **combo, const char *hint,
                                  SectionMemo **memo, const char *toolBarName)
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QToolBar *bar = newToolBar(toolBarName);
    bar->addWidget(barLabel(label));
    auto *box = new QComboBox;
    box->setObjectName(QLatin1String(label[0] == 'T' ? "TeamComboBox" : "PlayerComboBox"));
    box->setToolTip(QLatin1String(hint));
    box->setFixedWidth(60);
    for (int i = 0; i < vor4::Document::SlotCount; ++i)
        box->addItem(QString::number(i));
    box->setCurrentIndex(-1);
    connect(box, &QComboBox::activated, this, &MainWindow::GeneralComboBoxSelect);
    bar->addWidget(box);
    bar->addSeparator();
    if (label[0] == 'T')
        addApplyRecallClear(bar, "ToolButton17", "ToolButton18", "ToolButton19");
    else
        addApplyRecallClear(bar, "ToolButton13", "ToolButton14", "ToolButton15");
    auto *m = new SectionMemo;
    m->setObjectName(QLatin1String(label[0] == 'T' ? "DMemo" : "PMemo"));
    connect(m, &SectionMemo::exited, this, &MainWindow::MemoExit);
    layout->addWidget(bar);
    layout->addWidget(m);
    *combo = box;
    *memo = m;
    return page;
}

QWidget *MainWindow::buildTitlePage()
{
    auto *title = new QLabel;
    title->setPixmap(picture("title", QSize(480, 280)));
    title->setScaledContents(true);
    title->setMinimumSize(1, 1);
    return title;
}

void MainWindow::FormCreate()
{
    updateCaption();
    MapDoc.reset(0, 0);
    LocateGame();
    WorkPages->setCurrentIndex(TitlePage);
}

void MainWindow::LocateGame()
{
    // The game's installation is looked up once; without it the dialogs
    // open in the platform's default folder.
    const vor4::GameLocation found = vor4::LocateGame();
    if (!found.error.isEmpty()) {
        Dialogs::instance().error(this, found.error);
        return;
    }
    InstallDir = found.InstallDir;
    MapsDir = found.MapsDir;
    m_openFolder = MapsDir;
}

QString MainWindow::statusText(int panel) const { return m_statusTexts[std::size_t(panel)]; }

void MainWindow::setStatusText(int panel, const QString &text)
{
    // Measured and shown whole on hovering: bounded as a message box's text.
    m_statusTexts[std::size_t(panel)] = Dialogs::shown(text);
    fitStatusPanel(panel);
}

void MainWindow::fitStatusPanel(int panel)
{
    QLabel *label = StatusPanels[std::size_t(panel)];
    const QString &text = m_statusTexts[std::size_t(panel)];
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

QString MainWindow::caption() const
{
    QString title = windowTitle();
    return title.remove(QLatin1String("[*]"));
}

void MainWindow::updateCaption()
{
    // The file's name once one is opened or saved; "Untitled" after New.
    QString title = QStringLiteral("Vor4DemoMapEditor");
    if (!m_captionName.isEmpty())
        title += QStringLiteral(" - ") + m_captionName;
    setWindowTitle(title + QStringLiteral("[*]"));
    setWindowModified(MapDoc.isModified());
}

void MainWindow::AboutBtnClick()
{
    m_aboutBox->show();
    m_aboutBox->raise();
    m_aboutBox->activateWindow();
}

// Page switching ------------------------------------------------------------

void MainWindow::MainButtonClick(QToolButton *sender)
{
    // The four page buttons form a group in which at most one is down and all
    // may be up; Qt has already toggled the clicked one.
    if (sender->isChecked())
        for (QToolButton *b : {RuleBtn, TeamBtn, PlayerBtn, MapBtn})
            if (b != sender)
                b->setChecked(false);
    const int index = sender == RuleBtn ? RulesPage : sender == TeamBtn ? TeamsPage
                      : sender == PlayerBtn ? PlayersPage : MapPage;
    showPage(index);
}

void MainWindow::showPage(int index)
{
    const int old = WorkPages->currentIndex();
    if (index == old)
        return;
    // The focus leaves the old page first, so a memo's auto-apply stores into
    // the page being left while its binding still holds.
    QWidget *oldPage = WorkPages->widget(old);
    if (QWidget *focus = QApplication::focusWidget(); focus && oldPage->isAncestorOf(focus))
        focus->clearFocus();
    WorkPages->setCurrentIndex(index);
    TabSheetShow(index);
    if (old == MapPage)
        TabSheet4Hide();
}

void MainWindow::TabSheetShow(int index)
{
    clearPageBinding();
    QToolButton *button = nullptr;
    switch (index) {
    case RulesPage: button = RuleBtn; break;
    case TeamsPage: button = TeamBtn; break;
    case PlayersPage: button = PlayerBtn; break;
    case MapPage: button = MapBtn; break;
    default: return;
    }
    if (index == MapPage)
        mapPageShown();
    button->setChecked(true);
    for (QToolButton *b : {RuleBtn, TeamBtn, PlayerBtn, MapBtn})
        if (b != button)
            b->setChecked(false);
    setPageBinding(index);
}

void MainWindow::TabSheet4Hide()
{
    mapPageHidden();
    setStatusText(2, QString());
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_loading) {
        // The loader is still on the stack: let it stop, then close.
        m_closeAfterLoad = true;
        event->ignore();
        return;
    }
    if (!maybeSave()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}
