#pragma once
// The pieces drawn over the map grid (rivers on their edges, unit badges,
// sign flags, start markers) and the starts on the minimap's picture. It
// follows the document through MapPieces and repaints what changed.

#include "GridOverlay.h"
#include "MiniMapMarks.h"
#include "PiecePainter.h"

#include <QObject>
#include <QPointer>

class MapGrid;
class MiniMapWindow;
class QRegion;

namespace vor4 {
class MapPieces;
}

class PiecesOverlay : public QObject, public GridOverlay, public MiniMapMarks
{
    Q_OBJECT
public:
    PiecesOverlay(vor4::MapPieces *pieces, MapGrid *grid, QObject *parent = nullptr);
    ~PiecesOverlay() override;

    void setMiniMap(MiniMapWindow *miniMap);
    const vor4::PieceLayers &layers() const { return m_layers; }
    void setLayers(const vor4::PieceLayers &layers);

    void paintOverlay(QPainter &painter, const QRect &area) override;
    void drawMarks(QImage &picture) override;

private:
    void piecesChanged(const QRegion &cells);

    vor4::MapPieces *m_pieces;
    QPointer<MapGrid> m_grid;
    QPointer<MiniMapWindow> m_miniMap;
    vor4::PieceLayers m_layers;
};
