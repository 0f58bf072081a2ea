#pragma once
// The one document of the editor: every store of a world-builder save file.

#include "LineBuffer.h"
#include "PlotTable.h"

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>
#include <array>

namespace vor4 {

class Document
{
public:
    static constexpr int SlotCount = 18;
    // Bound of the grid in plots; far above the game's largest maps.
    static constexpr qint64 MaxPlots = 4194304;

    Document() { ResetDocument(0, 0); }

    // Replaces every store; keeps FileName. Width and height below 1 give a
    // grid of one column or row, while the minimap image follows the request.
    void ResetDocument(int width, int height);

    int columnCount() const { return PlotTexts.columnCount(); }
    int rowCount() const { return PlotTexts.rowCount(); }
    // Sets the grid size (each at least 1) and gives PlotTexts the same counts.
    void setGridSize(int columns, int rows);

    LineBuffer FileLines;
    QList<QByteArray> GameLines;
    std::array<QByteArray, SlotCount> TeamTexts;
    std::array<QByteArray, SlotCount> PlayerTexts;
    QList<QByteArray> MapLines;
    PlotTable PlotTexts;
    QSize miniMapSize; // pixels of the minimap image, 3 per plot
    int CurrentCol = -1;
    int CurrentRow = -1;
    QString FileName;
};

} // namespace vor4
