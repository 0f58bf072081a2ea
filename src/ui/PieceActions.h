#pragma once
// The pieces on the map page: their overlay and layer switches, the menu of
// a plot (starts, units, signs) and the drags of the Select tool that move
// a start or the units of a plot. Each command hands its edit to
// PieceEdits and says in the status bar why one was refused.

#include "PiecePainter.h"

#include <QObject>
#include <QPoint>
#include <QStringList>

class EditorContext;
class MapGrid;
class MiniMapWindow;
class PiecesOverlay;
class QMenu;

namespace vor4 {
class MapPieces;
}

class PieceActions : public QObject
{
    Q_OBJECT
public:
    PieceActions(EditorContext *context, MapGrid *grid, QObject *parent = nullptr);

    vor4::MapPieces *pieces() const { return m_pieces; }
    PiecesOverlay *overlay() const { return m_overlay; }
    void setMiniMap(MiniMapWindow *miniMap);
    void setLayers(const vor4::PieceLayers &layers);

    // The menu of a plot: "Set start of" each player slot, "Remove start of
    // player N" for the starts on it, "Remove units", "Add sign…",
    // "Remove sign". The caller owns it.
    QMenu *menuFor(QPoint cell);
    // A drag of the Select tool from one plot to another: the start on it
    // moves, else its units do, as far as their layers are shown.
    void dragged(QPoint from, QPoint to);

private:
    void showMenu(const QPoint &viewportPos);
    void report(bool ok, const QString &message);

    EditorContext *m_context;
    MapGrid *m_grid;
    vor4::MapPieces *m_pieces;
    PiecesOverlay *m_overlay;
};
