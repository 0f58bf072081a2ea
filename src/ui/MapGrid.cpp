#include "MapGrid.h"

#include "CurrentCell.h"
#include "Document.h"
#include "GridOverlay.h"
#include "MapDocument.h"
#include "MapTool.h"
#include "Outline.h"

#include <QCursor>
#include <QKeyEvent>
#include <algorithm>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

MapGrid::MapGrid(QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_current(new CurrentCell(this))
{
    m_current->setObjectName(QStringLiteral("CurrentCell"));
    // Only the two cells whose look changes are painted again.
    connect(m_current, &CurrentCell::changed, this, [this](QPoint before, QPoint now) {
        if (before == now)
            return;
        updateCells(selectionArea(before.x(), before.y()));
        updateCells(selectionArea(now.x(), now.y()));
    });
    // Clicks and Tab focus the grid; the wheel only zooms and moves the
    // selection, so a memo being edited keeps the focus.
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The grid scrolls when a dragged thumb is released, not while it moves.
    horizontalScrollBar()->setTracking(false);
    verticalScrollBar()->setTracking(false);
    viewport()->setMouseTracking(true);
    viewport()->setBackgroundRole(QPalette::Base);
    // Every pixel is painted from the buffer.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    updateScrollBars();
}

void MapGrid::setDocument(const vor4::Document *doc)
{
    m_doc = doc;
    m_followed = false;
    m_plotLooks.reset(0, 0);
    updateDimensions();
}

void MapGrid::followDocument(vor4::MapDocument *doc)
{
    setDocument(&doc->document());
    m_followed = true;
    connect(doc, &vor4::MapDocument::documentReplaced, this, [this] { m_plotLooks.reset(0, 0); });
    connect(doc, &vor4::MapDocument::plotsChanged, this,
            [this](const QRegion &plots) {
                m_plotLooks.forget(plots);
                // Only the part in view: a symmetric stroke changes plots
                // far apart, whose bounding rectangle may be the whole view.
                const QRect inView(m_leftCol, m_topRow, visibleColCount() + 1, visibleRowCount() + 1);
                const QRect cells = plots.rectCount() == 1 ? plots.boundingRect() : (plots & inView).boundingRect();
                if (!cells.isEmpty())
                    repaintCells(cells);
            });
}

void MapGrid::updateDimensions()
{
    m_cols = m_doc ? qMax(1, m_doc->columnCount()) : 1;
    m_rows = m_doc ? qMax(1, m_doc->rowCount()) : 1;
    setCurrentCell(col(), row());
    updateScrollBars();
    setTopLeft(m_leftCol, m_topRow);
    updateCells();
}

void MapGrid::setCellSize(int size)
{
    size = qMax(1, size);
    if (size == m_cellSize)
        return;
    m_cellSize = size;
    updateScrollBars();
    setTopLeft(m_leftCol, m_topRow);
    updateCells();
}

void MapGrid::zoomAt(int size, const QPoint &viewportPos)
{
    const QPoint pos(qBound(0, viewportPos.x(), qMax(0, viewport()->width() - 1)),
                     qBound(0, viewportPos.y(), qMax(0, viewport()->height() - 1)));
    const QPoint anchor = cellAtAnyPoint(pos);
    setCellSize(size);
    const int pitch = m_cellSize + m_lineWidth;
    setTopLeft(anchor.x() - pos.x() / pitch, anchor.y() - pos.y() / pitch);
}

QPoint MapGrid::zoomAnchor() const
{
    if (m_wheeling)
        return m_wheelPos;
    const QRect selected = cellRect(col(), row());
    if (viewport()->rect().contains(selected.center()))
        return selected.center();
    return viewport()->rect().center();
}

void MapGrid::setGridLineWidth(int width)
{
    width = width > 0 ? 1 : 0;
    if (width == m_lineWidth)
        return;
    m_lineWidth = width;
    updateScrollBars();
    setTopLeft(m_leftCol, m_topRow);
    updateCells();
}

void MapGrid::setLayers(const vor4::LayerSwitches &layers)
{
    m_layers = layers;
    updateCells();
}

void MapGrid::setLayer(int index, bool on)
{
    m_layers[index] = on;
    updateCells();
}

void MapGrid::setStyle(const vor4::MapStyle &style)
{
    if (style == m_style)
        return;
    m_style = style;
    // The overlays draw in it too.
    m_overlayOnly = QRegion();
    updateCells();
}

int MapGrid::col() const { return m_current->col(); }

int MapGrid::row() const { return m_current->row(); }

void MapGrid::setCurrentCell(int col, int row)
{
    m_current->moveTo(QPoint(qBound(0, col, m_cols - 1), qBound(0, row, m_rows - 1)));
}

int MapGrid::selectionMargin() const
{
    // Thicker lines on big cells, where one pixel gets lost.
    return m_cellSize >= 24 ? 4 : 2;
}

QRect MapGrid::selectionArea(int col, int row) const
{
    const int m = selectionMargin();
    return cellArea(col, row) | cellRect(col, row).adjusted(-m, -m, m, m);
}

QRect MapGrid::cellArea(int col, int row) const
{
    const int pitch = m_cellSize + m_lineWidth;
    return QRect(cellRect(col, row).topLeft(), QSize(pitch, pitch));
}

int MapGrid::fitCols() const
{
    const int pitch = m_cellSize + m_lineWidth;
    return qMax(1, (viewport()->width() - m_cellSize) / pitch + 1);
}

int MapGrid::fitRows() const
{
    const int pitch = m_cellSize + m_lineWidth;
    return qMax(1, (viewport()->height() - m_cellSize) / pitch + 1);
}

int MapGrid::maxLeftCol() const
{
    return qMax(0, m_cols - fitCols());
}

int MapGrid::maxTopRow() const
{
    return qMax(0, m_rows - fitRows());
}

int MapGrid::visibleColCount() const
{
    return qMax(1, qMin(fitCols(), m_cols - m_leftCol));
}

int MapGrid::visibleRowCount() const
{
    return qMax(1, qMin(fitRows(), m_rows - m_topRow));
}

void MapGrid::setTopLeft(int col, int row)
{
    col = qBound(0, col, maxLeftCol());
    row = qBound(0, row, maxTopRow());
    if (col == m_leftCol && row == m_topRow)
        return;
    m_leftCol = col;
    m_topRow = row;
    m_syncingBars = true;
    horizontalScrollBar()->setValue(col);
    verticalScrollBar()->setValue(row);
    m_syncingBars = false;
    updateCells();
    Q_EMIT topLeftChanged();
}

void MapGrid::updateScrollBars()
{
    m_syncingBars = true;
    horizontalScrollBar()->setRange(0, maxLeftCol());
    horizontalScrollBar()->setPageStep(fitCols());
    horizontalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setRange(0, maxTopRow());
    verticalScrollBar()->setPageStep(fitRows());
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setValue(m_leftCol);
    verticalScrollBar()->setValue(m_topRow);
    m_syncingBars = false;
}

void MapGrid::scrollContentsBy(int, int)
{
    if (m_syncingBars)
        return;
    setTopLeft(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

QPoint MapGrid::cellAt(const QPoint &pos) const
{
    const int pitch = m_cellSize + m_lineWidth;
    if (pos.x() < 0 || pos.y() < 0)
        return {-1, -1};
    // A line belongs to the cell on its left or above it.
    const int col = m_leftCol + pos.x() / pitch;
    const int row = m_topRow + pos.y() / pitch;
    if (col >= m_cols || row >= m_rows)
        return {-1, -1};
    return {col, row};
}

QPoint MapGrid::cellAtAnyPoint(const QPoint &pos) const
{
    const int pitch = m_cellSize + m_lineWidth;
    // Rounded down, also left of and above the view.
    const auto cells = [pitch](int v) { return v >= 0 ? v / pitch : -((pitch - 1 - v) / pitch); };
    return {m_leftCol + cells(pos.x()), m_topRow + cells(pos.y())};
}

QPoint MapGrid::toolPoint(const QPoint &pos) const
{
    if (!m_tool || !m_tool->usesCorners())
        return cellAtAnyPoint(pos);
    // The corner nearest the point: half a cell on, rounded down.
    const int pitch = m_cellSize + m_lineWidth;
    return cellAtAnyPoint(pos + QPoint(pitch / 2, pitch / 2));
}

QRect MapGrid::cellRect(int col, int row) const
{
    const int pitch = m_cellSize + m_lineWidth;
    return QRect((col - m_leftCol) * pitch, (row - m_topRow) * pitch, m_cellSize, m_cellSize);
}

bool MapGrid::isActiveControl() const
{
    return window()->focusWidget() == this;
}

vor4::GridPaintParams MapGrid::paintParams() const
{
    vor4::GridPaintParams p;
    p.cellSize = m_cellSize;
    p.lineWidth = m_lineWidth;
    p.colCount = m_cols;
    p.rowCount = m_rows;
    p.leftCol = m_leftCol;
    p.topRow = m_topRow;
    p.background = palette().color(QPalette::Base).rgb();
    p.highlight = palette().color(QPalette::Highlight).rgb();
    if (!isActiveControl()) {
        p.highlightCol = col();
        p.highlightRow = row();
    }
    p.style = m_style;
    p.cellPen = vor4::gridCellPen(m_lineWidth, m_style.gridLine);
    p.layers = m_layers;
    return p;
}

void MapGrid::repaintMap()
{
    m_overlayOnly = QRegion();
    viewport()->repaint();
}

namespace {
// Whether two paints of the view give the same pixels for the same texts.
bool samePaint(const vor4::GridPaintParams &a, const vor4::GridPaintParams &b)
{
    return a.cellSize == b.cellSize && a.lineWidth == b.lineWidth && a.colCount == b.colCount
        && a.rowCount == b.rowCount && a.leftCol == b.leftCol && a.topRow == b.topRow && a.origin == b.origin
        && a.brushOrigin == b.brushOrigin && a.background == b.background && a.highlight == b.highlight
        && a.cellPen == b.cellPen && a.layers == b.layers && a.style == b.style;
    // The highlighted cell is left out: moving it paints its old and new cell.
}
} // namespace

void MapGrid::repaintCells(const QRect &cells)
{
    // Each cell with the line after it, the part of the view it owns.
    // A few cells are painted at once, so that a stroke follows the
    // pointer; a big change waits for the event loop, where the other
    // updates of its step (a selection, an overlay going) join it in one
    // paint instead of painting the view twice.
    constexpr qint64 PaintAtOnce = 4096;
    const QRect visible = cellsArea(cells).intersected(viewport()->rect());
    if (visible.isEmpty())
        return;
    if (qint64(cells.width()) * cells.height() <= PaintAtOnce) {
        m_overlayOnly -= visible;
        m_cellsAsked += visible; // until a paint has covered it
        viewport()->repaint(visible);
    } else {
        updateCells(visible);
    }
}

QRect MapGrid::cellsArea(const QRect &cells) const
{
    return cellArea(cells.left(), cells.top()) | cellArea(cells.right(), cells.bottom());
}

void MapGrid::addOverlay(GridOverlay *overlay)
{
    m_overlays.push_back(overlay);
    updateOverlays(QRegion(viewport()->rect()));
}

void MapGrid::removeOverlay(GridOverlay *overlay)
{
    m_overlays.erase(std::remove(m_overlays.begin(), m_overlays.end(), overlay), m_overlays.end());
    updateOverlays(QRegion(viewport()->rect()));
}

void MapGrid::updateOverlays(const QRegion &pixels)
{
    // What a change of the cells asked for stays to be painted anew.
    m_overlayOnly += pixels - m_cellsAsked;
    viewport()->update(pixels);
}

void MapGrid::updateCells(const QRect &pixels)
{
    const QRect area = pixels.isNull() ? viewport()->rect() : pixels;
    m_overlayOnly -= area;
    m_cellsAsked += area;
    viewport()->update(area);
}

void MapGrid::paintEvent(QPaintEvent *event)
{
    const QSize size = viewport()->size();
    if (size.isEmpty())
        return;
    if (m_buffer.size() != size) {
        m_buffer = QImage(size, QImage::Format_RGB32);
        m_bufferValid = false;
    }
    const vor4::GridPaintParams params = paintParams();
    // Only the asked-for parts are painted anew when the rest of the buffer
    // still shows this view (a moving outline asks for thin strips only),
    // and of them not those that only overlays asked for.
    QRegion region = event->region() & m_buffer.rect();
    QRegion cells = region - m_overlayOnly;
    if (!m_bufferValid || !samePaint(params, m_bufferParams))
        region = cells = m_buffer.rect();
    // Only what this paint covers is done; the rest keeps its reason.
    m_overlayOnly -= region;
    m_cellsAsked -= region;
    for (const QRect &area : cells) {
        if (m_doc)
            m_painter.paintArea(m_buffer, area, m_doc->PlotTexts, params, m_followed ? &m_plotLooks : nullptr);
        else
            m_buffer.fill(params.background);
    }
    m_bufferParams = params;
    m_bufferValid = m_doc != nullptr;
    QPainter p(viewport());
    for (const QRect &area : region)
        p.drawImage(area.topLeft(), m_buffer, area);
    // The selection and the overlays go on the screen, not into the
    // buffer: the cells stay reusable however often they move.
    p.setClipRegion(region);
    if (m_doc)
        paintSelection(p);
    const QRect bounds = region.boundingRect();
    for (GridOverlay *overlay : m_overlays) {
        p.save();
        overlay->paintOverlay(p, bounds);
        p.restore();
    }
}

void MapGrid::paintSelection(QPainter &painter)
{
    Outline::paint(painter, QRegion(cellRect(col(), row())), selectionMargin() / 2);
}

void MapGrid::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    setTopLeft(m_leftCol, m_topRow);
}

void MapGrid::scrollIntoView(int col, int row)
{
    int left = m_leftCol, top = m_topRow;
    if (col < left)
        left = col;
    else if (col >= left + fitCols())
        left = col - fitCols() + 1;
    if (row < top)
        top = row;
    else if (row >= top + fitRows())
        top = row - fitRows() + 1;
    setTopLeft(left, top);
}

void MapGrid::userSelect(int col, int row)
{
    m_current->choose(QPoint(col, row));
    Q_EMIT selectCell(col, row);
    scrollIntoView(col, row);
}

void MapGrid::setTool(vor4::MapTool *tool)
{
    if (tool == m_tool)
        return;
    // A drag going on ends where it is, as a release there would.
    endToolDrag();
    if (m_tool)
        m_tool->leave();
    m_tool = tool;
    m_selecting = false;
    if (m_tool && viewport()->underMouse())
        m_tool->move(toolPoint(viewport()->mapFromGlobal(QCursor::pos())));
}

void MapGrid::endToolDrag()
{
    if (m_tool && m_tool->isDragging())
        m_tool->release(m_toolCell);
    m_toolButton = Qt::NoButton;
}

void MapGrid::mousePressEvent(QMouseEvent *event)
{
    // Focus first, so that a memo elsewhere finishes before the selection
    // moves or a tool changes a plot.
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    if (m_tool) {
        if (m_toolButton != Qt::NoButton)
            return; // the other button during a drag
        m_toolCell = toolPoint(event->position().toPoint());
        m_tool->press(m_toolCell, event->button(), event->modifiers());
        if (m_tool->isDragging())
            m_toolButton = event->button();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint cell = cellAt(event->position().toPoint());
    if (cell.x() < 0)
        return;
    m_selecting = true;
    m_pressCell = cell;
    userSelect(cell.x(), cell.y());
}

void MapGrid::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    Q_EMIT gridMouseMove(pos);
    if (m_tool) {
        // The tool goes along every cell between two events itself.
        m_toolCell = toolPoint(pos);
        m_tool->move(m_toolCell);
        return;
    }
    if (!m_selecting || !(event->buttons() & Qt::LeftButton))
        return;
    // Dragging with the button down moves the selection to the cell under it.
    const QPoint cell = cellAt(pos);
    if (cell.x() >= 0 && cell != m_current->cell())
        userSelect(cell.x(), cell.y());
}

void MapGrid::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_tool) {
        if (event->button() != m_toolButton)
            return;
        m_toolButton = Qt::NoButton;
        m_toolCell = toolPoint(event->position().toPoint());
        m_tool->release(m_toolCell);
        return;
    }
    if (event->button() == Qt::LeftButton && m_selecting) {
        m_selecting = false;
        const QPoint cell = cellAt(event->position().toPoint());
        if (cell.x() >= 0 && cell != m_pressCell)
            Q_EMIT cellDragged(m_pressCell, cell);
    }
}

bool MapGrid::viewportEvent(QEvent *event)
{
    // The pointer left the cells: no preview of what a click would change.
    if (event->type() == QEvent::Leave && m_tool && !m_tool->isDragging())
        m_tool->leave();
    return QAbstractScrollArea::viewportEvent(event);
}

void MapGrid::changeEvent(QEvent *event)
{
    // A disabled grid (a load running) gets no release: the drag is
    // dropped, as Escape drops it.
    if (event->type() == QEvent::EnabledChange && !isEnabled() && m_tool) {
        m_tool->cancel();
        m_toolButton = Qt::NoButton;
    }
    QAbstractScrollArea::changeEvent(event);
}

void MapGrid::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && m_tool && m_tool->isDragging()) {
        // Whatever the drag changed is undone; the button's release then
        // does nothing.
        m_tool->cancel();
        m_toolButton = Qt::NoButton;
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape)
        Q_EMIT escapePressed();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    int col = this->col(), row = this->row();
    int scroll = 0;
    switch (event->key()) {
    case Qt::Key_Left: --col; break;
    case Qt::Key_Right: ++col; break;
    case Qt::Key_Up: --row; break;
    case Qt::Key_Down: ++row; break;
    case Qt::Key_PageUp: scroll = -visibleRowCount(); break;
    case Qt::Key_PageDown: scroll = visibleRowCount(); break;
    case Qt::Key_Home:
        col = 0;
        if (ctrl)
            row = 0;
        break;
    case Qt::Key_End:
        col = m_cols - 1;
        if (ctrl)
            row = m_rows - 1;
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
    if (scroll) {
        // A page moves the view and the selection together.
        row += scroll;
        setTopLeft(m_leftCol, m_topRow + scroll);
    }
    col = qBound(0, col, m_cols - 1);
    row = qBound(0, row, m_rows - 1);
    if (col != this->col() || row != this->row())
        userSelect(col, row);
}

void MapGrid::wheelEvent(QWheelEvent *event)
{
    event->accept();
    // A zoom by the wheel keeps the plot under the pointer in place; the
    // selection moves a row without scrolling the view away from it.
    m_wheelPos = event->position().toPoint();
    m_wheeling = true;
    m_wheelDelta += event->angleDelta().y();
    while (m_wheelDelta >= QWheelEvent::DefaultDeltasPerStep) {
        m_wheelDelta -= QWheelEvent::DefaultDeltasPerStep;
        Q_EMIT wheelUp();
        if (row() > 0) {
            m_current->choose(QPoint(col(), row() - 1));
            Q_EMIT selectCell(col(), row());
        }
    }
    while (m_wheelDelta <= -QWheelEvent::DefaultDeltasPerStep) {
        m_wheelDelta += QWheelEvent::DefaultDeltasPerStep;
        Q_EMIT wheelDown();
        if (row() < m_rows - 1) {
            m_current->choose(QPoint(col(), row() + 1));
            Q_EMIT selectCell(col(), row());
        }
    }
    m_wheeling = false;
}

void MapGrid::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    updateCells();
}

void MapGrid::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    updateCells();
}
