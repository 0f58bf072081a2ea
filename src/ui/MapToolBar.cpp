#include "MapToolBar.h"

#include "CommandButtons.h"
#include "DropDownComboBox.h"
#include "EditorActions.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolBar>
#include <QToolButton>

const int MapToolBar::GridSizes[17] = {4, 5, 6, 7, 8, 9, 10, 12, 14, 16, 20, 24, 32, 40, 48, 56, 64};

MapToolBar::MapToolBar(EditorActions *actions, QWidget *parent)
    : QWidget(parent)
    , m_actions(actions)
{
    setObjectName(QStringLiteral("MapBars"));
    auto *rowLayout = new QHBoxLayout(this);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(4);
    m_mapBar = pageToolBar(QStringLiteral("MapToolBar"));
    auto *label = new QLabel(QStringLiteral("Map"));
    label->setFixedWidth(33);
    label->setAlignment(Qt::AlignCenter);
    m_mapBar->addWidget(label);
    addCommandButton(m_mapBar, actions->action(QStringLiteral("newMap")), QStringLiteral("NewMapButton"));
    m_mapBar->addSeparator();
    m_zoomBox = new DropDownComboBox;
    m_zoomBox->setObjectName(QStringLiteral("ZoomBox"));
    m_zoomBox->setToolTip(QStringLiteral("Map grid size"));
    m_zoomBox->setFixedWidth(60);
    m_zoomBox->setFocusPolicy(Qt::NoFocus);
    for (int size : GridSizes)
        m_zoomBox->addItem(QString::number(size));
    m_zoomBox->setCurrentIndex(DefaultZoom);
    m_mapBar->addWidget(m_zoomBox);
    addCommandButton(m_mapBar, actions->action(QStringLiteral("gridLines")), QStringLiteral("GridLinesButton"));
    m_mapBar->addSeparator();
    addCommandButton(m_mapBar, actions->action(QStringLiteral("miniMap")), QStringLiteral("MiniMapButton"));
    m_mapBar->addSeparator();
    addCommandButton(m_mapBar, actions->action(QStringLiteral("find")), QStringLiteral("FindButton"));
    addCommandButton(m_mapBar, actions->action(QStringLiteral("statistics")), QStringLiteral("StatisticsButton"));

    QToolBar *layerBar = pageToolBar(QStringLiteral("LayerToolBar"));
    const QStringList layerIds = EditorActions::layerIds();
    for (int i = 0; i < layerIds.size(); ++i) {
        QAction *layer = actions->action(layerIds[i]);
        addCommandButton(layerBar, layer, layerIds[i] + QStringLiteral("Button"))->setFixedWidth(26);
        connect(layer, &QAction::triggered, this, &MapToolBar::layersChanged);
        if (i == 4 || i == 9) // after Team and Oasis
            layerBar->addSeparator();
    }
    layerBar->addSeparator();
    for (const QString &id : EditorActions::pieceLayerIds()) {
        QAction *layer = actions->action(id);
        addCommandButton(layerBar, layer, id + QStringLiteral("Button"))->setFixedWidth(26);
        connect(layer, &QAction::triggered, this, &MapToolBar::layersChanged);
    }
    rowLayout->addWidget(m_mapBar);
    rowLayout->addWidget(layerBar);
    rowLayout->addStretch(1);

    connect(m_zoomBox, &QComboBox::activated, this, &MapToolBar::zoomChosen);
    connect(m_zoomBox, &DropDownComboBox::dropDown, this, &MapToolBar::zoomListOpened);
    connect(m_zoomBox, &DropDownComboBox::closeUp, this, &MapToolBar::zoomListClosed);
}

int MapToolBar::zoomIndex() const { return qBound(0, m_zoomBox->currentIndex(), 16); }

void MapToolBar::setZoomIndex(int index) { m_zoomBox->setCurrentIndex(qBound(0, index, 16)); }

vor4::LayerSwitches MapToolBar::layers() const
{
    vor4::LayerSwitches layers;
    const QStringList ids = EditorActions::layerIds();
    for (int i = 0; i < vor4::LayerSwitches::Count; ++i)
        layers[i] = m_actions->action(ids[i])->isChecked();
    return layers;
}

vor4::PieceLayers MapToolBar::pieceLayers() const
{
    vor4::PieceLayers pieces;
    const QStringList ids = EditorActions::pieceLayerIds();
    for (int i = 0; i < vor4::PieceLayers::Count; ++i)
        pieces[i] = m_actions->action(ids[i])->isChecked();
    return pieces;
}

QWidget *MapToolBar::newMapButton() const
{
    return m_mapBar->widgetForAction(m_actions->action(QStringLiteral("newMap")));
}
