#include "Document.h"

namespace vor4 {

void Document::ResetDocument(int width, int height)
{
    miniMapSize = QSize(3 * qBound(0, width, 1 << 20), 3 * qBound(0, height, 1 << 20));
    FileLines.clear();
    GameLines = {};
    MapLines = {};
    TeamTexts = QList<QByteArray>(SlotCount);
    PlayerTexts = QList<QByteArray>(SlotCount);
    Header = {};
    SignTexts = {};
    PlotTexts.clear();
    setGridSize(width, height);
    CurrentCol = -1;
    CurrentRow = -1;
}

void Document::setGridSize(int columns, int rows)
{
    PlotTexts.resize(qMax(columns, 1), qMax(rows, 1));
}

} // namespace vor4
