#include "RiverTool.h"

#include "MapDocument.h"

namespace vor4 {

PieceEdits::RiverEdit RiverTool::edgeBetween(QPoint from, QPoint to)
{
    PieceEdits::RiverEdit e;
    const QPoint low(qMin(from.x(), to.x()), qMin(from.y(), to.y()));
    if (from.y() == to.y()) {
        // A horizontal edge: the south side of the cell above the line, or
        // the north side of the one below it on the map's top line.
        e.flow = to.x() > from.x() ? PieceEdits::East : PieceEdits::West;
        e.cell = low.y() > 0 ? QPoint(low.x(), low.y() - 1) : low;
        e.side = low.y() > 0 ? PieceEdits::South : PieceEdits::North;
    } else {
        e.flow = to.y() > from.y() ? PieceEdits::South : PieceEdits::North;
        e.cell = low.x() > 0 ? QPoint(low.x() - 1, low.y()) : low;
        e.side = low.x() > 0 ? PieceEdits::East : PieceEdits::West;
    }
    return e;
}

void RiverTool::onPress(QPoint, Qt::KeyboardModifiers modifiers)
{
    m_edits.clear();
    m_removing = (modifiers & Qt::ShiftModifier) || erasing();
}

void RiverTool::onDrag(QPoint from, QPoint to)
{
    // Corner by corner, along x first where the pointer jumped diagonally.
    QPoint at = from;
    while (at != to) {
        QPoint next = at;
        if (at.x() != to.x())
            next.rx() += to.x() > at.x() ? 1 : -1;
        else
            next.ry() += to.y() > at.y() ? 1 : -1;
        PieceEdits::RiverEdit e = edgeBetween(at, next);
        if (m_removing)
            e.flow = -1;
        // Drawn back over itself, an edge takes the later flow.
        m_edits.removeIf([&e](const PieceEdits::RiverEdit &o) { return o.cell == e.cell && o.side == e.side; });
        m_edits << e;
        at = next;
    }
}

void RiverTool::onRelease(QPoint)
{
    const QList<PieceEdits::RiverEdit> drawn = std::exchange(m_edits, {});
    if (drawn.isEmpty())
        return;
    // Each edge also at its images, its side and flow turned with it; an
    // image that falls on a drawn edge (on an axis) leaves it as drawn.
    const auto edgeKey = [](const PieceEdits::RiverEdit &e) {
        return e.side == PieceEdits::North ? std::pair(e.cell - QPoint(0, 1), PieceEdits::South)
             : e.side == PieceEdits::West  ? std::pair(e.cell - QPoint(1, 0), PieceEdits::East)
                                           : std::pair(e.cell, e.side);
    };
    const PaintSymmetry images = symmetry();
    QList<PieceEdits::RiverEdit> edits = drawn;
    QList<std::pair<QPoint, PieceEdits::Side>> taken;
    for (const PieceEdits::RiverEdit &e : drawn)
        taken << edgeKey(e);
    for (int k = 1; k < images.imageCount(); ++k)
        for (const PieceEdits::RiverEdit &e : drawn) {
            const PieceEdits::RiverEdit i{images.image(e.cell, k), PieceEdits::Side(images.turned(e.side, k)),
                                          e.flow < 0 ? -1 : images.turned(e.flow, k)};
            if (!taken.contains(edgeKey(i))) {
                taken << edgeKey(i);
                edits << i;
            }
        }
    const QString name = (m_removing ? QStringLiteral("Remove river along %1 edges") : QStringLiteral("Draw river along %1 edges"))
                             .arg(drawn.size());
    const PieceEdits::Result result = PieceEdits::editRivers(*m_doc, edits, name);
    if (!result.ok)
        Q_EMIT refused(result.message);
}

QRegion RiverTool::footprint() const
{
    QRegion cells;
    for (const PieceEdits::RiverEdit &e : m_edits)
        cells += QRect(e.cell, QSize(1, 1));
    if (!isDragging() && m_hovering) {
        // The corner under the pointer: the four cells around it.
        cells += QRect(m_hover - QPoint(1, 1), QSize(2, 2));
    }
    return cells & mapRect();
}

} // namespace vor4
