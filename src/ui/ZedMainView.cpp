// The map view side of the main window.

#include "ZedMain.h"

#include <QTimer>
#include <QToolButton>

QWidget *TForm1::createDrawGrid()
{
    auto *grid = new QWidget;
    grid->setObjectName(QStringLiteral("DrawGrid"));
    return grid;
}

void TForm1::mapDimensionsChanged() {}

void TForm1::mapPageShown() { CatchMapTimer->start(); }

void TForm1::mapPageHidden() { CatchMapTimer->stop(); }

QPoint TForm1::focusedCell() const { return QPoint(0, 0); }

void TForm1::RepaintMap() {}

void TForm1::RenderMiniMap() {}

void TForm1::MapHintBtnClick() {}

void TForm1::setMapHintBtnDown(bool down) { MapHintBtn->setChecked(down); }
