// The find bar below the map grid and the statistics window, with their
// buttons on the map tool bar and their entries in the menus.

#include "MainWindow.h"

#include "FindBar.h"
#include "Glyphs.h"
#include "MainMenu.h"
#include "MapGrid.h"
#include "StatisticsWindow.h"
#include "MiniMapWindow.h"

#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// The platform's keys for a command, the given one first: it is the one
// the menu and the tool tip show.
QList<QKeySequence> keysFor(const QKeySequence &first, QKeySequence::StandardKey key)
{
    QList<QKeySequence> keys{first};
    for (const QKeySequence &k : QKeySequence::keyBindings(key))
        if (!keys.contains(k))
            keys << k;
    return keys;
}
} // namespace

void MainWindow::buildFindAndStatistics()
{
    // The bar goes under the grid, in the grid's place on the page.
    QWidget *gridParent = DrawGrid->parentWidget();
    auto *gridArea = new QWidget;
    gridArea->setObjectName(QStringLiteral("GridArea"));
    if (auto *splitter = qobject_cast<QSplitter *>(gridParent)) {
        const int index = splitter->indexOf(DrawGrid);
        splitter->replaceWidget(index, gridArea);
        splitter->setStretchFactor(index, 1);
    } else if (gridParent && gridParent->layout()) {
        delete gridParent->layout()->replaceWidget(DrawGrid, gridArea);
    }
    auto *layout = new QVBoxLayout(gridArea);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    MapFindBar = new FindBar(&MapDoc, DrawGrid);
    layout->addWidget(DrawGrid, 1);
    layout->addWidget(MapFindBar);
    DrawGrid->show();
    connect(MapFindBar, &FindBar::activated, this, [this] {
        if (WorkPages->currentIndex() != MapPage)
            showPage(MapPage);
        MapFindBar->setMiniMap(m_miniMapWindow);
    });

    Statistics = new StatisticsWindow(&MapDoc, this);
    connect(Statistics, &StatisticsWindow::findRequested, this, &MainWindow::StatisticsFindRequested);

    ToolBar2->addSeparator();
    FindBtn = toolButton(ToolBar2, "FindBtn", glyph("find", "edit-find"), QStringLiteral("Find in plot texts"));
    StatisticsBtn = toolButton(ToolBar2, "StatisticsBtn", glyph("statistics"), QStringLiteral("Show statistics"),
                               true);
    connect(FindBtn, &QToolButton::clicked, this, &MainWindow::FindBtnClick);
    connect(StatisticsBtn, &QToolButton::clicked, this, &MainWindow::StatisticsBtnClick);
    connect(Statistics, &StatisticsWindow::visibilityChanged, StatisticsBtn, &QToolButton::setChecked);

    QMenu *edit = Menu->editMenu;
    edit->addSeparator();
    Menu->mirror(edit, FindBtn, QStringLiteral("&Find..."), keysFor(Qt::CTRL | Qt::Key_F, QKeySequence::Find));
    Menu->mirror(edit, MapFindBar->findNextButton(), QStringLiteral("Find &next"),
                 keysFor(Qt::Key_F3, QKeySequence::FindNext));
    Menu->mirror(edit, MapFindBar->findPreviousButton(), QStringLiteral("Find pre&vious"),
                 keysFor(Qt::SHIFT | Qt::Key_F3, QKeySequence::FindPrevious));
    Menu->mirror(edit, MapFindBar->replaceToggle(), QStringLiteral("R&eplace..."),
                 keysFor(Qt::CTRL | Qt::Key_H, QKeySequence::Replace));
    Menu->mirror(Menu->mapMenu, StatisticsBtn, QStringLiteral("&Statistics"));
}

void MainWindow::FindBtnClick() { MapFindBar->openFind(); }

void MainWindow::StatisticsBtnClick()
{
    if (StatisticsBtn->isChecked()) {
        Statistics->placeOnScreen();
        Statistics->show();
        Statistics->raise();
    } else {
        Statistics->hide();
    }
}

void MainWindow::StatisticsFindRequested(const QString &pattern)
{
    vor4::FindOptions options;
    options.matchCase = true;
    options.regularExpression = true;
    MapFindBar->findText(pattern, options);
    // The steps through the matches are keys of this window.
    activateWindow();
    MapFindBar->findField()->setFocus(Qt::OtherFocusReason);
}
