#include "TerritoryLayer.h"

#include "Document.h"
#include "MapPainter.h"
#include "PiecePainter.h"
#include "PlotFacts.h"
#include "Territory.h"

#include <QImage>
#include <QPainter>

namespace vor4 {

QList<QColor> TerritoryLayer::tints(const Document &doc, const Territory &territory)
{
    QList<QColor> tints;
    for (const PlayerStart &start : territory.starts()) {
        const QByteArrayView text =
            start.player < doc.PlayerTexts.size() ? QByteArrayView(doc.PlayerTexts[start.player]) : QByteArrayView();
        QColor c = playerColour(start.player, PlotFacts::firstValue(text, "Color").value_or(QByteArrayView()));
        c.setAlpha(TintAlpha);
        tints << c;
    }
    return tints;
}

void TerritoryLayer::paint(QPainter &p, const Document &doc, const Territory &territory,
                           const GridPaintParams &params, const QRect &cells)
{
    const int w = doc.columnCount(), h = doc.rowCount();
    const QRect area = cells & QRect(0, 0, w, h);
    if (area.isEmpty() || territory.surface().width != w || territory.surface().height != h
        || territory.starts().isEmpty())
        return;
    const QList<QColor> colours = tints(doc, territory);
    // One pixel a plot, scaled to the cells; shared plots hatched after.
    QImage tint(area.size(), QImage::Format_ARGB32_Premultiplied);
    tint.fill(Qt::transparent);
    QList<std::array<int, 4>> shared; // col, row, two starts
    // Whose land a plot is, to draw a border where that changes.
    const auto ownerOf = [&territory, h](int col, int row, int *second) {
        const QPoint plot(col, h - 1 - row);
        *second = -1;
        return Territory::isLand(territory.kindAt(plot)) ? territory.ownerAt(plot, second) : -1;
    };
    QList<QLine> borders;
    const int pitch = params.pitch();
    for (int row = area.top(); row <= area.bottom(); ++row) {
        auto *line = reinterpret_cast<QRgb *>(tint.scanLine(row - area.top()));
        for (int col = area.left(); col <= area.right(); ++col) {
            int second = -1, east = -1, south = -1;
            const int owner = ownerOf(col, row, &second);
            const QPoint corner = params.cellPos(col, row) + QPoint(pitch, pitch) - QPoint(1, 1);
            if (col < area.right() && (ownerOf(col + 1, row, &east) != owner || east != second))
                borders << QLine(corner - QPoint(0, pitch - 1), corner);
            if (row < area.bottom() && (ownerOf(col, row + 1, &south) != owner || south != second))
                borders << QLine(corner - QPoint(pitch - 1, 0), corner);
            if (owner >= 0 && second < 0)
                line[col - area.left()] = qPremultiply(colours[owner].rgba());
            else if (owner >= 0)
                shared.append({col, row, owner, second});
        }
    }
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QPoint origin = params.cellPos(area.left(), area.top());
    p.drawImage(QRect(origin, area.size() * params.pitch()), tint);
    p.setBrushOrigin(params.brushOrigin);
    for (const auto &[col, row, a, b] : std::as_const(shared)) {
        const QRect cell(params.cellPos(col, row), QSize(params.cellSize, params.cellSize));
        p.fillRect(cell, QBrush(QColor(colours[a].rgb()), Qt::BDiagPattern));
        p.fillRect(cell, QBrush(QColor(colours[b].rgb()), Qt::FDiagPattern));
    }
    p.setPen(QPen(QColor(0, 0, 0, 150), qMax(1, params.cellSize / 8)));
    p.drawLines(borders);
    p.restore();
}

} // namespace vor4
