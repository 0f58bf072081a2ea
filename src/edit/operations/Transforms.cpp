#include "Transforms.h"

#include "ChangeSelection.h"
#include "CompoundStep.h"
#include "MapDocument.h"
#include "SetPlotTexts.h"
#include "TransformMap.h"

namespace vor4 {

namespace {

QSize gridOf(const MapDocument &doc)
{
    return QSize(doc.document().columnCount(), doc.document().rowCount());
}

} // namespace

Transforms::Result Transforms::push(MapDocument &doc, const MapTransform &transform, QByteArrayView newPlots)
{
    QString error;
    if (!transform.check(&error))
        return {false, error, QString()};
    QString note;
    EditCommand *step = nullptr;
    if (transform.kind() == MapTransform::Resize) {
        // The grid changes under the selection: nothing stays selected.
        auto *compound = new CompoundStep(&doc, transform.name());
        new ChangeSelection(&doc, QRect(), compound);
        note = (new TransformMap(&doc, transform, compound))->removalNote();
        if (!newPlots.isEmpty()) {
            auto *fill = new SetPlotTexts(&doc, transform.name(), compound);
            const QSize grid = transform.gridAfter();
            const QBitArray added = addedCells(transform.gridBefore(), grid, transform.fileOffset());
            for (qsizetype i = 0; i < added.size(); ++i)
                if (added.testBit(i))
                    fill->addCreated(int(i % grid.width()), int(i / grid.width()), newPlots);
        }
        step = compound;
    } else {
        auto *turn = new TransformMap(&doc, transform);
        note = turn->removalNote();
        step = turn;
    }
    if (!doc.push(step, &error) && !error.isEmpty())
        return {false, error, QString()};
    return {true, transform.name(), note};
}

Transforms::Result Transforms::turn(MapDocument &doc, MapTransform::Kind kind, const QRect &cells)
{
    const QSize grid = gridOf(doc);
    return push(doc, MapTransform::turn(kind, cells.isEmpty() ? QRect(QPoint(0, 0), grid) : cells, grid));
}

Transforms::Result Transforms::resize(MapDocument &doc, QSize size, QPoint fileOffset, QByteArrayView newPlots)
{
    return push(doc, MapTransform::resize(gridOf(doc), size, fileOffset), newPlots);
}

QBitArray Transforms::addedCells(QSize from, QSize to, QPoint fileOffset)
{
    if (to.isEmpty())
        return QBitArray();
    QBitArray added(qsizetype(to.width()) * to.height(), true);
    // Rows count down from the top, y up from the bottom row.
    const QRect old = QRect(QPoint(fileOffset.x(), to.height() - from.height() - fileOffset.y()), from)
        & QRect(QPoint(0, 0), to);
    for (int row = old.top(); row <= old.bottom(); ++row)
        added.fill(false, qsizetype(row) * to.width() + old.left(), qsizetype(row) * to.width() + old.right() + 1);
    return added;
}

Transforms::Result Transforms::crop(MapDocument &doc, const QRect &cells)
{
    const QSize grid = gridOf(doc);
    if (cells.isEmpty() || !QRect(QPoint(0, 0), grid).contains(cells.normalized()))
        return {false, QStringLiteral("The area to crop to is outside the map"), QString()};
    return push(doc, MapTransform::crop(grid, cells));
}

} // namespace vor4
