// The map page: its tool bars, the plot editor and the new-map prompt.

#include "MainWindow.h"

#include "DropDownComboBox.h"
#include "Glyphs.h"
#include "MapGrid.h"
#include "MapToolBox.h"
#include "HintWindow.h"
#include "SectionMemo.h"
#include "SetPlotText.h"
#include "SpinEdit.h"
#include "MapContentsWindow.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

QWidget *MainWindow::buildMapPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // CoolBar2: ToolBar2 and ToolBar8 on one line.
    auto *coolBar = new QWidget;
    coolBar->setObjectName(QStringLiteral("CoolBar2"));
    auto *coolLayout = new QHBoxLayout(coolBar);
    coolLayout->setContentsMargins(0, 0, 0, 0);
    coolLayout->setSpacing(4);
    ToolBar2 = newToolBar("ToolBar2");
    auto *mapLabel = new QLabel(QStringLiteral("Map"));
    mapLabel->setFixedWidth(33);
    mapLabel->setAlignment(Qt::AlignCenter);
    ToolBar2->addWidget(mapLabel);
    CreateNewMapBtn = toolButton(ToolBar2, "CreateNewMapBtn", glyph("newmap"), QStringLiteral("Create a new map"));
    connect(CreateNewMapBtn, &QToolButton::clicked, this, &MainWindow::CreateNewMapBtnClick);
    ToolBar2->addSeparator();
    MapGridSizeComboBox = new DropDownComboBox;
    MapGridSizeComboBox->setObjectName(QStringLiteral("MapGridSizeComboBox"));
    MapGridSizeComboBox->setToolTip(QStringLiteral("Map grid size"));
    MapGridSizeComboBox->setFixedWidth(60);
    MapGridSizeComboBox->setFocusPolicy(Qt::NoFocus);
    ToolBar2->addWidget(MapGridSizeComboBox);
    ShowGridLineBtn = toolButton(ToolBar2, "ShowGridLineBtn", glyph("gridlines"), QStringLiteral("Show Grid Line"), true);
    ShowGridLineBtn->setChecked(true);
    ToolBar2->addSeparator();
    MiniMapBtn = toolButton(ToolBar2, "MiniMapBtn", glyph("minimap"), QStringLiteral("Show MiniMap"), true);
    ToolBar8 = newToolBar("ToolBar8");
    coolLayout->addWidget(ToolBar2);
    coolLayout->addWidget(ToolBar8);
    coolLayout->addStretch(1);
    layout->addWidget(coolBar);

    auto *splitter1 = new QSplitter(Qt::Vertical);
    splitter1->setObjectName(QStringLiteral("Splitter1"));
    splitter1->setHandleWidth(4);
    splitter1->setChildrenCollapsible(false);
    DrawGrid = createDrawGrid();
    DrawGrid->setMinimumHeight(100);
    Tools = new MapToolBox(&MapDoc, DrawGrid, this);
    Tools->setCatalogueSource([this] { return m_contentsWindow ? m_contentsWindow->paintLines() : QStringList(); });
    connect(Tools, &MapToolBox::message, this, [this](const QString &text) { setStatusText(0, text); });
    layout->addWidget(Tools->toolBar());
    splitter1->addWidget(DrawGrid);

    // Panel1: the map header editor and the plot editor side by side.
    auto *panel1 = new QSplitter(Qt::Horizontal);
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->setChildrenCollapsible(false);
    auto *headerSide = new QWidget;
    auto *headerLayout = new QHBoxLayout(headerSide);
    headerLayout->setContentsMargins(0, 0, 0, 0);
    headerLayout->setSpacing(0);
    MMemo = new SectionMemo;
    MMemo->setObjectName(QStringLiteral("MMemo"));
    MMemo->setMinimumSize(50, 100);
    MMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(MMemo, &SectionMemo::exited, this, &MainWindow::MemoExit);
    QToolBar *toolBar9 = newToolBar("ToolBar9", Qt::Vertical);
    addApplyRecallClear(toolBar9, "ToolButton1", "ToolButton28", "ToolButton29");
    headerLayout->addWidget(MMemo);
    headerLayout->addWidget(toolBar9);

    auto *plotSide = new QWidget;
    auto *plotLayout = new QHBoxLayout(plotSide);
    plotLayout->setContentsMargins(0, 0, 0, 0);
    plotLayout->setSpacing(0);
    Memo = new SectionMemo;
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setMinimumSize(50, 100);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setKeptNotice(QStringLiteral("This plot's text is %1: it is kept as it is and cannot be edited here"));
    connect(Memo, &SectionMemo::exited, this, &MainWindow::MapMemoExit);
    QToolBar *plotBar = newToolBar("PlotToolBar", Qt::Vertical);
    MapApplyBtn = toolButton(plotBar, "MapApplyBtn", glyph("apply"), QStringLiteral("Apply"));
    MapRecallBtn = toolButton(plotBar, "MapRecallBtn", glyph("recall"), QStringLiteral("Recall"));
    MapClearBtn = toolButton(plotBar, "MapClearBtn", glyph("clear"), QStringLiteral("Clear"));
    MapHintBtn = toolButton(plotBar, "MapHintBtn", glyph("mapcontents"), QStringLiteral("Show map contents"), true);
    connect(MapApplyBtn, &QToolButton::clicked, this, &MainWindow::MapApplyBtnClick);
    connect(MapRecallBtn, &QToolButton::clicked, this, &MainWindow::MapRecallBtnClick);
    connect(MapClearBtn, &QToolButton::clicked, this, &MainWindow::MapClearBtnClick);
    connect(MapHintBtn, &QToolButton::clicked, this, &MainWindow::MapHintBtnClick);
    plotLayout->addWidget(Memo);
    plotLayout->addWidget(plotBar);

    panel1->addWidget(headerSide);
    panel1->addWidget(plotSide);
    panel1->setSizes({440, 400});
    panel1->setStretchFactor(1, 1);
    splitter1->addWidget(panel1);
    splitter1->setStretchFactor(0, 1);
    splitter1->setSizes({400, 128});
    layout->addWidget(splitter1, 1);

    buildNewMapPrompt(page);
    return page;
}

void MainWindow::buildNewMapPrompt(QWidget *page)
{
    PromptPanel1 = new QFrame(page);
    PromptPanel1->setObjectName(QStringLiteral("PromptPanel1"));
    PromptPanel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PromptPanel1->setAutoFillBackground(true);
    QPalette pal = PromptPanel1->palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    PromptPanel1->setPalette(pal);
    PromptPanel1->setFixedSize(153, 97);
    auto *label = new QLabel(QStringLiteral("New Map Size"), PromptPanel1);
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
    SpinEdit1 = new SpinEdit(PromptPanel1);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit2 = new SpinEdit(PromptPanel1);
    SpinEdit2->setObjectName(QStringLiteral("SpinEdit2"));
    for (SpinEdit *spin : {SpinEdit1, SpinEdit2}) {
        spin->setRange(0, 1000);
        spin->setValue(16);
    }
    SpinEdit1->setGeometry(8, 28, 60, 24);
    auto *x = new QLabel(QStringLiteral("X"), PromptPanel1);
    x->setObjectName(QStringLiteral("Label6"));
    x->setAlignment(Qt::AlignCenter);
    x->setGeometry(68, 28, 17, 24);
    SpinEdit2->setGeometry(85, 28, 60, 24);
    NewMapOKBtn = new QPushButton(QStringLiteral("Ok"), PromptPanel1);
    NewMapOKBtn->setObjectName(QStringLiteral("NewMapOKBtn"));
    NewMapOKBtn->setProperty("tag", 0);
    NewMapOKBtn->setGeometry(8, 62, 64, 26);
    NewMapCancelBtn = new QPushButton(QStringLiteral("Cancel"), PromptPanel1);
    NewMapCancelBtn->setObjectName(QStringLiteral("NewMapCancelBtn"));
    NewMapCancelBtn->setProperty("tag", 1);
    NewMapCancelBtn->setGeometry(81, 62, 64, 26);
    for (QPushButton *b : {NewMapOKBtn, NewMapCancelBtn})
        connect(b, &QPushButton::clicked, this, [this, b] { NewMapOKBtnClick(b); });
    PromptPanel1->hide();
}

void MainWindow::CreateNewMapBtnClick()
{
    if (WorkPages->currentIndex() != MapPage)
        showPage(MapPage); // from the menu: the prompt lives on the map page
    QWidget *page = TabSheets[MapPage];
    PromptPanel1->move(CreateNewMapBtn->mapTo(page, QPoint(0, CreateNewMapBtn->height() + 1)));
    CatchMapTimer->stop();
    PromptPanel1->raise();
    PromptPanel1->show();
}

void MainWindow::NewMapOKBtnClick(QObject *sender)
{
    if (m_loading)
        return;
    if (sender->property("tag").toInt() == 0) {
        if (!maybeSave())
            return; // the prompt stays for another answer
        const int width = qMax(1, SpinEdit1->readValue()), height = qMax(1, SpinEdit2->readValue());
        newDocument(SpinEdit1->readValue(), SpinEdit2->readValue(),
                    QStringLiteral("New map %1 x %2").arg(width).arg(height));
    }
    PromptPanel1->hide();
    CatchMapTimer->start();
}

// Plot editor ----------------------------------------------------------------

void MainWindow::DrawGridSelectCell(int col, int row)
{
    // Every selection stores the plot memo being typed into first, as a
    // click does by taking the focus: the wheel, the find bar and the other
    // windows leave the focus in the memo, which is about to show another
    // plot. An undo selects the plot it changed and stores nothing.
    if (focusWidget() == Memo && !MapDoc.isUndoingOrRedoing())
        MapMemoExit();
    MapDoc.setCurrentCell(col, row);
    Memo->setBytes(Doc.PlotTexts.text(col, row));
    // The file's x and y too: the numbers of the plot blocks, of the players'
    // start positions and of the game.
    setStatusText(2, QStringLiteral("Current cell = (%1 ,%2)   x=%3, y=%4")
                         .arg(col)
                         .arg(row)
                         .arg(col)
                         .arg(Doc.fileY(row)));
}

bool MainWindow::MapApplyBtnClick() { return applyPlotMemo(QStringLiteral("Edit plot")); }

bool MainWindow::hasSelectedPlot()
{
    if (Doc.CurrentCol >= 0 && Doc.CurrentRow >= 0)
        return true;
    // After Open or New the grid still shows a current cell, but no plot
    // was chosen: nothing may be written into it.
    setStatusText(0, QStringLiteral("No plot selected"));
    return false;
}

bool MainWindow::applyPlotMemo(const QString &what)
{
    if (m_loading || !hasSelectedPlot())
        return false;
    QByteArray text;
    if (!Memo->bytes(&text)) {
        warnNotSingleByte();
        return false;
    }
    const QPoint cell = focusedCell();
    pushStep(new vor4::SetPlotText(&MapDoc, cell.x(), cell.y(), text, what));
    return !m_stepRefused;
}

void MainWindow::MapRecallBtnClick()
{
    if (m_loading || !hasSelectedPlot())
        return;
    const QPoint cell = focusedCell();
    if (!RecallText.isEmpty())
        Memo->setText(RecallText);
    else
        Memo->setBytes(Doc.PlotTexts.text(cell.x(), cell.y()));
    Memo->repaint();
    applyPlotMemo(QStringLiteral("Recall plot"));
}

void MainWindow::MapClearBtnClick()
{
    if (m_loading || !hasSelectedPlot())
        return;
    RecallText = Memo->text();
    Memo->clear();
    applyPlotMemo(QStringLiteral("Clear plot"));
}

void MainWindow::MapMemoExit()
{
    RecallText.clear();
    storePlotMemo();
}

bool MainWindow::storePlotMemo()
{
    if (m_loading || !AutoApplyBtn->isChecked() || Doc.CurrentCol < 0 || Doc.CurrentRow < 0)
        return true;
    QByteArray text;
    if (!Memo->bytes(&text)) {
        warnNotSingleByte();
        return false;
    }
    m_leavingMemo = true;
    pushStep(new vor4::SetPlotText(&MapDoc, Doc.CurrentCol, Doc.CurrentRow, text, QStringLiteral("Edit plot")));
    m_leavingMemo = false;
    return !m_stepRefused;
}

bool MainWindow::isMapPageActive() const { return WorkPages->currentIndex() == MapPage && !m_loading; }

SectionMemo *MainWindow::plotMemo() const { return Memo; }
