#include "MapTool.h"

#include "EditOperations.h"
#include "Geometry.h"
#include "MapDocument.h"
#include "SetPlotTexts.h"

#include <QUndoStack>

namespace vor4 {

MapTool::MapTool(MapDocument *doc, QObject *parent)
    : QObject(parent)
    , m_doc(doc)
{
}

void MapTool::setBrushSize(int size)
{
    m_size = stepBrushSize(size, 0);
    Q_EMIT footprintChanged();
}

QPoint MapTool::bounded(QPoint cell) const
{
    // A line to a cell far off the map would have millions of cells that
    // all fall outside; one map's width away is as good as any farther.
    const QRect map = mapRect();
    const int mx = map.width() + 16, my = map.height() + 16;
    return QPoint(qBound(-mx, cell.x(), map.width() - 1 + mx), qBound(-my, cell.y(), map.height() - 1 + my));
}

void MapTool::press(QPoint cell, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    cell = bounded(cell);
    if (m_dragging || (button != Qt::LeftButton && button != Qt::RightButton))
        return;
    m_button = button;
    if (needsBrush() && (takesKey() ? !m_brush.isValid() : !m_brush.canPaint())) {
        m_button = Qt::NoButton;
        Q_EMIT refused(QStringLiteral("Choose a brush value first: a plot line such as TerrainType=TERRAIN_GRASS"));
        return;
    }
    m_dragging = true;
    m_start = m_last = m_hover = cell;
    m_hovering = true;
    m_strokeSteps = 0;
    if (needsBrush())
        beginStroke();
    onPress(cell, modifiers);
    Q_EMIT footprintChanged();
}

void MapTool::move(QPoint cell)
{
    cell = bounded(cell);
    if (m_hovering && cell == m_hover)
        return;
    m_hover = cell;
    m_hovering = true;
    if (m_dragging && cell != m_last) {
        onDrag(m_last, cell);
        m_last = cell;
    }
    Q_EMIT footprintChanged();
}

void MapTool::release(QPoint cell)
{
    if (!m_dragging)
        return;
    cell = bounded(cell);
    move(cell);
    onRelease(cell);
    endStroke();
    m_dragging = false;
    m_button = Qt::NoButton;
    m_strokeSteps = 0;
    Q_EMIT footprintChanged();
}

void MapTool::cancel()
{
    if (!m_dragging)
        return;
    cancelStroke();
    m_dragging = false;
    m_button = Qt::NoButton;
    Q_EMIT footprintChanged();
}

void MapTool::leave()
{
    m_hovering = false;
    Q_EMIT footprintChanged();
}

QRegion MapTool::footprint() const
{
    if (!m_hovering)
        return {};
    return QRegion(brushRect(m_hover, m_size) & mapRect());
}

PaintSymmetry MapTool::symmetry() const { return PaintSymmetry(m_symmetryMode, mapRect().size()); }

QRegion MapTool::outline() const
{
    return paintsSymmetrically() ? symmetry().withImages(footprint()) & mapRect() : footprint();
}

QRect MapTool::mapRect() const
{
    return QRect(0, 0, m_doc->document().columnCount(), m_doc->document().rowCount());
}

QRegion MapTool::rowsRegion(const QList<QRect> &rows) const
{
    QList<QRect> kept;
    kept.reserve(rows.size());
    const QRect map = mapRect();
    for (const QRect &r : rows)
        if (const QRect c = r & map; !c.isEmpty())
            kept.append(c);
    // One rectangle a row, sorted: the banded form QRegion keeps itself.
    QRegion region;
    region.setRects(kept.constData(), int(kept.size()));
    return region;
}

void MapTool::beginStroke()
{
    m_stroking = true;
    m_strokeSteps = 0;
    m_strokeName = EditOperations::stepName(m_brush, action(), verb());
    m_touched = QBitArray(qsizetype(mapRect().width()) * mapRect().height());
}

bool MapTool::strokeStillOnTop() const
{
    const QUndoStack *stack = m_doc->undoStack();
    return stack->index() == m_expectedIndex && stack->count() == m_expectedIndex;
}

void MapTool::paintCells(const QRegion &cells)
{
    if (!m_stroking)
        return;
    const QRect map = mapRect();
    // Something else changed the history or the map under the stroke (an
    // undo, an opened file): the stroke ends where it is.
    if ((m_strokeSteps > 0 && !strokeStillOnTop()) || m_touched.size() != qsizetype(map.width()) * map.height()) {
        m_stroking = false;
        return;
    }
    // With a selection the tools paint only inside it.
    const QRegion &selected = m_doc->selection().region();
    QRegion inside = symmetry().withImages(cells & map) & map;
    if (!selected.isEmpty())
        inside &= selected;
    qint64 count = 0;
    for (const QRect &r : inside)
        count += qint64(r.width()) * r.height();
    if (m_strokeSteps == 0 && count >= 4096) {
        // A fill or a rectangle over much of the map, the stroke's first
        // step: the operation that may write the whole table anew.
        const QBitArray mask = cellMask(inside, map.size());
        m_touched |= mask;
        const EditOperations::Result result = EditOperations::apply(*m_doc, m_brush, action(), mask, verb());
        if (!result.ok)
            Q_EMIT refused(result.message);
        else if (result.plots > 0)
            notePushed();
        return;
    }
    auto *step = new SetPlotTexts(m_doc, m_strokeName);
    for (const QRect &r : inside) {
        for (int row = r.top(); row <= r.bottom(); ++row) {
            for (int col = r.left(); col <= r.right(); ++col) {
                const qsizetype i = qsizetype(row) * map.width() + col;
                if (m_touched.testBit(i))
                    continue;
                m_touched.setBit(i);
                EditOperations::addCell(step, m_brush, action(), col, row);
            }
        }
    }
    // The history joins a step to the one before unless that is the saved
    // state; then the stroke goes on as a second step.
    const bool joins = m_strokeSteps > 0 && !m_doc->undoStack()->isClean();
    step->setMergeable(joins);
    QString error;
    if (m_doc->push(step, &error)) {
        if (!joins)
            ++m_strokeSteps;
        m_expectedIndex = m_doc->undoStack()->index();
    } else if (!error.isEmpty()) {
        Q_EMIT refused(error);
    }
}

void MapTool::endStroke()
{
    m_stroking = false;
    m_touched = QBitArray();
}

void MapTool::notePushed()
{
    ++m_strokeSteps;
    m_expectedIndex = m_doc->undoStack()->index();
}

void MapTool::cancelStroke()
{
    if (m_strokeSteps > 0 && strokeStillOnTop()) {
        QUndoStack *stack = m_doc->undoStack();
        for (int i = 0; i < m_strokeSteps && stack->index() > 0; ++i) {
            // Undone here, then dropped: an obsolete step is deleted by the
            // history's undo without being undone again.
            auto *step = const_cast<QUndoCommand *>(stack->command(stack->index() - 1));
            step->undo();
            step->setObsolete(true);
            stack->undo();
        }
    }
    m_strokeSteps = 0;
    endStroke();
}

} // namespace vor4
