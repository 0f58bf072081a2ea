#pragma once
// The pieces drawn over the map grid (rivers on their edges, unit badges,
// sign flags, start markers) and the starts on the minimap's picture. It
// follows the document through MapPieces and repaints what changed.

#include "MapOverlay.h"
#include "PiecePainter.h"

class MapGrid;
class QRegion;

namespace vor4 {
class MapPieces;
}

class PiecesOverlay : public MapOverlay
{
    Q_OBJECT
public:
    PiecesOverlay(vor4::MapPieces *pieces, MapGrid *grid, QObject *parent = nullptr);

    const vor4::PieceLayers &layers() const { return m_layers; }
    void setLayers(const vor4::PieceLayers &layers);

    void paintOverlay(QPainter &painter, const QRect &area) override;
    void drawMarks(QImage &picture) override;

private:
    void piecesChanged(const QRegion &cells);

    vor4::MapPieces *m_pieces;
    vor4::PieceLayers m_layers;
};
