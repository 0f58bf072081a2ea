#include "MapTransform.h"

#include "Document.h"
#include "MapMarks.h"
#include "PlayerStarts.h"
#include "PlotFacts.h"

#include <algorithm>
#include <map>

namespace vor4 {

MapTransform MapTransform::turn(Kind kind, const QRect &area, QSize grid)
{
    MapTransform t;
    t.m_kind = kind == Resize ? FlipHorizontal : kind;
    t.m_area = area.normalized();
    t.m_grid = grid;
    return t;
}

MapTransform MapTransform::resize(QSize grid, QSize size, QPoint fileOffset)
{
    MapTransform t;
    t.m_kind = Resize;
    t.m_area = QRect(QPoint(0, 0), grid);
    t.m_grid = grid;
    t.m_size = size;
    t.m_offset = fileOffset;
    return t;
}

MapTransform MapTransform::crop(QSize grid, const QRect &area)
{
    // The area's corner of smallest x and y (its bottom-left as seen) goes
    // to 0,0: x = column, y = rows - 1 - row.
    const QRect a = area.normalized();
    MapTransform t = resize(grid, a.size(), QPoint(-a.left(), -(grid.height() - 1 - a.bottom())));
    t.m_crop = true;
    return t;
}

QSize MapTransform::gridAfter() const
{
    if (m_kind == Resize)
        return m_size;
    if ((m_kind == RotateClockwise || m_kind == RotateCounterClockwise) && isWholeMap())
        return m_grid.transposed();
    return m_grid;
}

QPoint MapTransform::cellOffset() const
{
    // Rows count down from the top, y up from the bottom row.
    return QPoint(m_offset.x(), m_size.height() - m_grid.height() - m_offset.y());
}

bool MapTransform::check(QString *error) const
{
    const auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    if (m_kind == Resize) {
        const int w = m_size.width(), h = m_size.height();
        if (w < 1 || h < 1 || w > MaxSide || h > MaxSide)
            return fail(QStringLiteral("The map size must be 1 to %1 plots a side, not %2 x %3")
                            .arg(MaxSide)
                            .arg(w)
                            .arg(h));
        if (qint64(w) * h > Document::MaxPlots)
            return fail(QStringLiteral("A map of %1 x %2 plots is too large").arg(w).arg(h));
        return true;
    }
    if (m_area.isEmpty() || !QRect(QPoint(0, 0), m_grid).contains(m_area))
        return fail(QStringLiteral("The area is outside the map"));
    if ((m_kind == RotateClockwise || m_kind == RotateCounterClockwise) && !isWholeMap()
        && m_area.width() != m_area.height())
        return fail(QStringLiteral("A quarter turn needs the whole map or a square area, not %1 x %2 plots")
                        .arg(m_area.width())
                        .arg(m_area.height()));
    return true;
}

QString MapTransform::name() const
{
    QString name;
    switch (m_kind) {
    case FlipHorizontal: name = QStringLiteral("Flip horizontally"); break;
    case FlipVertical: name = QStringLiteral("Flip vertically"); break;
    case Rotate180: name = QStringLiteral("Rotate 180°"); break;
    case RotateClockwise: name = QStringLiteral("Rotate 90° clockwise"); break;
    case RotateCounterClockwise: name = QStringLiteral("Rotate 90° counter-clockwise"); break;
    case Resize:
        return (m_crop ? QStringLiteral("Crop map to %1 x %2") : QStringLiteral("Resize map to %1 x %2"))
            .arg(m_size.width())
            .arg(m_size.height());
    }
    if (!isWholeMap())
        name += QStringLiteral(" %1 x %2 plots").arg(m_area.width()).arg(m_area.height());
    return name;
}

MapTransform MapTransform::inverse() const
{
    switch (m_kind) {
    case FlipHorizontal:
    case FlipVertical:
    case Rotate180:
        return *this;
    case RotateClockwise:
    case RotateCounterClockwise: {
        const Kind back = m_kind == RotateClockwise ? RotateCounterClockwise : RotateClockwise;
        return turn(back, isWholeMap() ? QRect(QPoint(0, 0), gridAfter()) : m_area, gridAfter());
    }
    case Resize:
        return resize(m_size, m_grid, -m_offset);
    }
    return *this;
}

std::optional<QPoint> MapTransform::cellAfter(QPoint cell) const
{
    if (m_kind == Resize) {
        const QPoint to = cell + cellOffset();
        if (!QRect(QPoint(0, 0), m_size).contains(to))
            return std::nullopt;
        return to;
    }
    if (!m_area.contains(cell))
        return cell;
    return turnedCell(cell);
}

QPoint MapTransform::turnedCell(QPoint cell) const
{
    if (m_kind == Resize)
        return cell + cellOffset();
    const QRect &a = m_area;
    const int u = cell.x() - a.left(), v = cell.y() - a.top();
    switch (m_kind) {
    case FlipHorizontal: return QPoint(a.left() + a.width() - 1 - u, cell.y());
    case FlipVertical: return QPoint(cell.x(), a.top() + a.height() - 1 - v);
    case Rotate180: return QPoint(a.left() + a.width() - 1 - u, a.top() + a.height() - 1 - v);
    case RotateClockwise: return QPoint(a.left() + a.height() - 1 - v, a.top() + u);
    case RotateCounterClockwise: return QPoint(a.left() + v, a.top() + a.width() - 1 - u);
    case Resize: break;
    }
    return cell;
}

int MapTransform::turnedCompass(int direction) const
{
    switch (m_kind) {
    case FlipHorizontal: return direction % 2 == 1 ? 4 - direction : direction;
    case FlipVertical: return direction % 2 == 0 ? 2 - direction : direction;
    case Rotate180: return (direction + 2) % 4;
    case RotateClockwise: return (direction + 1) % 4;
    case RotateCounterClockwise: return (direction + 3) % 4;
    case Resize: break;
    }
    return direction;
}

namespace {

// The cell of a plot named in file coordinates, when it is on the grid: any
// int may be named, so the row is worked out in 64 bits.
std::optional<QPoint> cellOfPlot(QPoint plot, QSize grid)
{
    const qint64 row = qint64(grid.height()) - 1 - plot.y();
    if (plot.x() < 0 || plot.x() >= grid.width() || row < 0 || row >= grid.height())
        return std::nullopt;
    return QPoint(plot.x(), int(row));
}

} // namespace

std::optional<QPoint> MapTransform::plotAfter(QPoint plot) const
{
    const std::optional<QPoint> cell = cellOfPlot(plot, m_grid);
    if (!cell)
        return plot;
    const std::optional<QPoint> to = cellAfter(*cell);
    if (!to)
        return std::nullopt;
    return QPoint(to->x(), gridAfter().height() - 1 - to->y());
}

bool MapTransform::moves(QPoint plot) const
{
    const std::optional<QPoint> cell = cellOfPlot(plot, m_grid);
    return cell && (m_kind == Resize || m_area.contains(*cell));
}

void MapTransform::applyTo(PlotTable &plots) const
{
    switch (m_kind) {
    case FlipHorizontal: plots.flip(m_area, Qt::Horizontal); break;
    case FlipVertical: plots.flip(m_area, Qt::Vertical); break;
    case Rotate180:
        plots.flip(m_area, Qt::Horizontal);
        plots.flip(m_area, Qt::Vertical);
        break;
    case RotateClockwise: plots.rotate(m_area, true); break;
    case RotateCounterClockwise: plots.rotate(m_area, false); break;
    case Resize: plots.resize(m_size.width(), m_size.height(), cellOffset()); break;
    }
}

MapTransform::Marks MapTransform::marksAfter(const Document &doc) const
{
    Marks marks;
    for (int slot = 0; slot < doc.PlayerTexts.size(); ++slot) {
        const QByteArray &text = doc.PlayerTexts[slot];
        const std::optional<QPoint> start = MapMarks::startOf(text);
        if (!start || !moves(*start))
            continue;
        const std::optional<QPoint> to = plotAfter(*start);
        marks.playerSlots << slot;
        marks.playerTexts << MapMarks::withStart(text, to);
        marks.startsRemoved += !to;
    }
    for (const QByteArray &sign : doc.SignTexts) {
        const std::optional<QPoint> at = MapMarks::signPlot(sign);
        if (!at || !moves(*at)) {
            marks.signTexts << sign;
            continue;
        }
        marks.signsChanged = true;
        if (const std::optional<QPoint> to = plotAfter(*at))
            marks.signTexts << MapMarks::withSignPlot(sign, *to);
        else
            ++marks.signsRemoved;
    }
    if (!marks.signsChanged)
        marks.signTexts.clear();
    if (m_kind != Resize)
        turnRivers(doc.PlotTexts, marks);
    else
        dropPieces(doc, marks);
    return marks;
}

void MapTransform::dropPieces(const Document &doc, Marks &marks) const
{
    // A flip or turn keeps every plot; a resize drops those outside the new grid.
    const PlotTable &plots = doc.PlotTexts;
    const QRect kept = QRect(-cellOffset(), m_size) & QRect(QPoint(0, 0), m_grid);
    for (int row = 0; row < m_grid.height(); ++row)
        for (int col = 0; col < m_grid.width(); ++col) {
            if (kept.contains(col, row))
                continue;
            for (const PlotFacts::OwnedBlock &b : PlotFacts::ownedBlocksOf(plots.view(col, row))) {
                if (b.city)
                    ++marks.citiesRemoved;
                else
                    ++marks.unitsRemoved[b.owner];
            }
        }
    if (marks.unitsRemoved.isEmpty() && marks.startsRemoved == 0)
        return;
    // Who still starts somewhere: a settler of its own that stays, else its
    // start line that stays.
    SettlerIndex settlers;
    settlers.scan(plots);
    const QMap<int, QList<QPoint>> settlerPlots = settlers.plotsByOwner(m_grid.height());
    const auto stays = [this](QPoint plot) { return moves(plot) && plotAfter(plot); };
    for (const PlayerStart &s : PlayerStarts::effective(doc, settlers)) {
        const QList<QPoint> own = settlerPlots.value(s.player);
        const std::optional<QPoint> line = MapMarks::startOf(doc.PlayerTexts[s.player]);
        if (std::none_of(own.cbegin(), own.cend(), stays) && !(line && stays(*line)))
            marks.startsLost << s.player;
    }
}

void MapTransform::turnRivers(const PlotTable &plots, Marks &marks) const
{
    const QList<PlotFacts::RiverEdge> edges = PlotFacts::riverEdges(plots, m_area);
    if (edges.isEmpty())
        return;
    // What each cell of the new grid loses and gains, by its row and column.
    struct Change
    {
        bool drop[2] = {false, false};
        bool put[2] = {false, false};
        std::optional<QByteArray> flow[2];
    };
    const auto key = [](QPoint c) { return std::pair<int, int>(c.y(), c.x()); };
    std::map<std::pair<int, int>, Change> changes;
    const QRect grid(QPoint(0, 0), gridAfter());
    for (const PlotFacts::RiverEdge &edge : edges) {
        const QPoint from = turnedCell(edge.carrier), to = turnedCell(edge.neighbour());
        changes[key(from)].drop[edge.kind] = true;
        // Carried again by the plot north of a horizontal edge, west of a vertical one.
        const bool horizontal = from.x() == to.x();
        const QPoint carrier = horizontal ? (from.y() < to.y() ? from : to) : (from.x() < to.x() ? from : to);
        if (!grid.contains(carrier)) {
            ++marks.riverEdgesRemoved;
            continue;
        }
        Change &change = changes[key(carrier)];
        const PlotFacts::RiverKind kind = horizontal ? PlotFacts::SouthEdge : PlotFacts::EastEdge;
        change.put[kind] = true;
        change.flow[kind] = edge.flow;
        if (edge.flow)
            if (const std::optional<int> d = PlotFacts::compass(*edge.flow))
                change.flow[kind] = QByteArray::number(turnedCompass(*d));
    }
    const MapTransform back = inverse();
    for (const auto &[at, change] : changes) {
        const QPoint cell(at.second, at.first);
        const QPoint source = back.cellAfter(cell).value_or(cell);
        const QByteArray before = plots.text(source.x(), source.y());
        QByteArray text = before;
        for (const PlotFacts::RiverKind kind : {PlotFacts::SouthEdge, PlotFacts::EastEdge})
            if (change.drop[kind] || change.put[kind])
                text = PlotFacts::withoutRiver(text, kind);
        text = PlotFacts::withRiversInFront(text, change.flow[PlotFacts::SouthEdge], change.flow[PlotFacts::EastEdge],
                                            change.put[PlotFacts::SouthEdge], change.put[PlotFacts::EastEdge]);
        if (text == before)
            continue;
        marks.riverCells << cell;
        marks.riverTextsBefore << before;
        marks.riverTextsAfter << text;
    }
}

QString MapTransform::Marks::removalNote() const
{
    QStringList parts;
    if (startsRemoved)
        parts << (startsRemoved == 1 ? QStringLiteral("1 start position")
                                     : QStringLiteral("%1 start positions").arg(startsRemoved));
    if (signsRemoved)
        parts << (signsRemoved == 1 ? QStringLiteral("1 sign") : QStringLiteral("%1 signs").arg(signsRemoved));
    if (riverEdgesRemoved)
        parts << (riverEdgesRemoved == 1 ? QStringLiteral("1 river edge")
                                         : QStringLiteral("%1 river edges").arg(riverEdgesRemoved));
    int units = 0;
    QStringList owners;
    for (auto it = unitsRemoved.cbegin(); it != unitsRemoved.cend(); ++it) {
        units += *it;
        owners << (it.key() < 0 ? QStringLiteral("%1 of no player").arg(*it)
                                : QStringLiteral("%1 of player %2").arg(*it).arg(it.key()));
    }
    if (units)
        parts << (units == 1 ? QStringLiteral("1 unit") : QStringLiteral("%1 units").arg(units))
                + QStringLiteral(" (") + owners.join(QStringLiteral(", ")) + QLatin1Char(')');
    if (citiesRemoved)
        parts << (citiesRemoved == 1 ? QStringLiteral("1 city") : QStringLiteral("%1 cities").arg(citiesRemoved));
    if (parts.isEmpty())
        return QString();
    const QString last = parts.takeLast();
    const QString list = parts.isEmpty() ? last : parts.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
    QString note = list + QStringLiteral(" left the map and %1 removed")
                              .arg(startsRemoved + signsRemoved + riverEdgesRemoved + units + citiesRemoved == 1
                                       ? QStringLiteral("was")
                                       : QStringLiteral("were"));
    if (startsLost.size() == 1)
        note += QStringLiteral("; player %1 starts nowhere on the map now").arg(startsLost.first());
    else if (!startsLost.isEmpty()) {
        QStringList names;
        for (int player : startsLost)
            names << QString::number(player);
        const QString lastName = names.takeLast();
        note += QStringLiteral("; players %1 and %2 start nowhere on the map now")
                    .arg(names.join(QStringLiteral(", ")), lastName);
    }
    return note;
}

} // namespace vor4
