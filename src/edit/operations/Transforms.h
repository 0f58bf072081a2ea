#pragma once
// The map transforms as undoable steps on a MapDocument, shared by the
// editor's Map menu and vor4map edit: flips and turns of an area or the
// whole map, resize and crop.

#include "MapTransform.h"

#include <QBitArray>
#include <QByteArrayView>
#include <QString>

namespace vor4 {

class MapDocument;

class Transforms
{
public:
    struct Result
    {
        bool ok = true;
        QString message; // the step's name, or why nothing was done
        QString note;    // start positions and signs removed, or empty
    };

    // A flip or turn of the cells, or of the whole map when `cells` is empty.
    static Result turn(MapDocument &doc, MapTransform::Kind kind, const QRect &cells = QRect());
    // The new size; the plot at file (X, Y) goes to (X + dx, Y + dy). The
    // selection is cleared with it.
    // With `newPlots` the plots it adds get that text, in the same step.
    static Result resize(MapDocument &doc, QSize size, QPoint fileOffset, QByteArrayView newPlots = {});
    // The cells of the new grid that no old plot lands on, row by row.
    static QBitArray addedCells(QSize from, QSize to, QPoint fileOffset);
    // The cells become the map.
    static Result crop(MapDocument &doc, const QRect &cells);

private:
    static Result push(MapDocument &doc, const MapTransform &transform, QByteArrayView newPlots = {});
};

} // namespace vor4
