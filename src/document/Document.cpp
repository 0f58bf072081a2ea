#include "Document.h"

namespace vor4 {

void Document::ResetDocument(int width, int height)
{
    hasSize = width > 0 && height > 0;
    FileLines.clear();
    GameLines = {};
    MapLines = {};
    TeamTexts = QList<QByteArray>(SlotCount);
    PlayerTexts = QList<QByteArray>(SlotCount);
    Header = {};
    SignTexts = {};
    PlotTexts.clear();
    setGridSize(width, height);
}

Document Document::deepCopy(PlotTable plots) const
{
    // Lists share their texts with this document's; a text is never changed
    // where it stands, only replaced, so sharing them is safe.
    Document copy;
    copy.FileLines = FileLines;
    copy.GameLines = GameLines;
    copy.TeamTexts = TeamTexts;
    copy.PlayerTexts = PlayerTexts;
    copy.MapLines = MapLines;
    copy.Header = Header;
    copy.SignTexts = SignTexts;
    plots.copyFrom(PlotTexts);
    copy.PlotTexts = std::move(plots);
    copy.hasSize = hasSize;
    copy.FileName = FileName;
    return copy;
}

void Document::setGridSize(int columns, int rows)
{
    PlotTexts.resize(qMax(columns, 1), qMax(rows, 1));
}

} // namespace vor4
