#include "MapPieces.h"

#include "Document.h"
#include "MapMarks.h"
#include "PiecePainter.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

namespace vor4 {

namespace {
constexpr quint8 Known = 0x80;
const char *const CompassNames[] = {"north", "east", "south", "west"};
} // namespace

MapPieces::MapPieces(const Document *doc, QObject *parent)
    : QObject(parent)
    , m_doc(doc)
{
    reset();
}

void MapPieces::reset()
{
    const Document &d = *m_doc;
    m_cols = d.columnCount();
    m_rows = d.rowCount();
    m_facts.assign(size_t(m_cols) * size_t(m_rows), 0);
    m_units.clear();
    readStarts();
    readSigns();
    Q_EMIT changed(QRegion(0, 0, m_cols, d.rowCount()));
}

void MapPieces::readStarts()
{
    const Document &d = *m_doc;
    m_colours.clear();
    for (int slot = 0; slot < d.PlayerTexts.size(); ++slot)
        m_colours << PlotFacts::firstValue(d.PlayerTexts[slot], "Color").value_or(QByteArrayView()).toByteArray();
    m_starts.clear();
    for (int slot = 0; slot < d.PlayerTexts.size(); ++slot) {
        const std::optional<QPoint> plot = PlotFacts::startOf(d.PlayerTexts[slot]).plot();
        if (!plot)
            continue;
        const QPoint cell(plot->x(), d.fileY(plot->y()));
        if (d.PlotTexts.contains(cell.x(), cell.y()))
            m_starts << Start{slot, cell};
    }
}

void MapPieces::readSigns()
{
    const Document &d = *m_doc;
    m_signs.clear();
    for (const QByteArray &sign : d.SignTexts) {
        const std::optional<QPoint> plot = MapMarks::signPlot(sign);
        if (!plot)
            continue;
        const QPoint cell(plot->x(), d.fileY(plot->y()));
        const std::optional<QByteArrayView> caption = PlotFacts::firstValue(sign, "caption");
        if (d.PlotTexts.contains(cell.x(), cell.y()))
            m_signs << Sign{cell, caption ? trimmed(*caption).toByteArray() : QByteArray()};
    }
}

QRegion MapPieces::cellsOf(const QList<QPoint> &cells) const
{
    QRegion r;
    for (const QPoint &c : cells)
        r += QRect(c, QSize(1, 1));
    return r;
}

void MapPieces::playersChanged()
{
    QList<QPoint> cells;
    for (const Start &s : std::as_const(m_starts))
        cells << s.cell;
    readStarts();
    for (const Start &s : std::as_const(m_starts))
        cells << s.cell;
    if (!cells.isEmpty())
        Q_EMIT changed(cellsOf(cells));
}

void MapPieces::signsChanged()
{
    QList<QPoint> cells;
    for (const Sign &s : std::as_const(m_signs))
        cells << s.cell;
    readSigns();
    for (const Sign &s : std::as_const(m_signs))
        cells << s.cell;
    if (!cells.isEmpty())
        Q_EMIT changed(cellsOf(cells));
}

void MapPieces::plotsChanged(const QRegion &cells)
{
    const QRect map(0, 0, m_cols, m_rows);
    for (const QRect &r : cells) {
        const QRect on = r & map;
        for (int row = on.top(); row <= on.bottom(); ++row) {
            std::memset(&m_facts[size_t(row) * m_cols + on.left()], 0, size_t(on.width()));
            for (int col = on.left(); !m_units.empty() && col <= on.right(); ++col)
                m_units.erase(size_t(row) * m_cols + col);
        }
    }
    Q_EMIT changed(cells);
}

quint8 MapPieces::factsAt(int col, int row) const
{
    const Document &d = *m_doc;
    if (d.columnCount() != m_cols || d.rowCount() != m_rows) {
        // A grid taken before its announcement (a load under way).
        m_cols = d.columnCount();
        m_rows = d.rowCount();
        m_facts.assign(size_t(m_cols) * size_t(m_rows), 0);
        m_units.clear();
    }
    if (col < 0 || row < 0 || col >= m_cols || row >= m_rows)
        return 0;
    const size_t at = size_t(row) * m_cols + col;
    quint8 &facts = m_facts[at];
    if (!(facts & Known)) {
        const QByteArrayView text = d.PlotTexts.view(col, row);
        const PlotFacts::Rivers rivers = PlotFacts::riversOf(text);
        const QList<PlotFacts::Unit> units = PlotFacts::unitsOf(text);
        facts = Known | (rivers.southEdge ? SouthRiver : 0) | (rivers.eastEdge ? EastRiver : 0)
            | (units.isEmpty() ? 0 : Units);
        if (!units.isEmpty())
            m_units[at] = UnitSummary{int(units.size()), units.first().owner};
    }
    return facts & ~Known;
}

int MapPieces::startAt(QPoint cell) const
{
    int slot = -1;
    for (const Start &s : m_starts)
        if (s.cell == cell)
            slot = s.slot;
    return slot;
}

QColor MapPieces::colourOf(int slot, const MapStyle &style) const
{
    if (slot < 0)
        return QColor::fromRgb(style.noOwner);
    return style.playerColour(slot, slot < m_colours.size() ? QByteArrayView(m_colours[slot]) : QByteArrayView());
}

bool MapPieces::hasSign(QPoint cell) const
{
    return std::any_of(m_signs.begin(), m_signs.end(), [cell](const Sign &s) { return s.cell == cell; });
}

QStringList MapPieces::describe(QPoint cell) const
{
    const Document &d = *m_doc;
    QStringList lines;
    if (!d.PlotTexts.contains(cell.x(), cell.y()))
        return lines;
    for (const Start &s : m_starts) {
        if (s.cell != cell)
            continue;
        QStringList names;
        for (const char *key : {"LeaderName", "NationDesc"})
            if (const auto value = PlotFacts::firstValue(d.PlayerTexts[s.slot], key); value && !trimmed(*value).isEmpty())
                names << QString::fromUtf8(trimmed(*value));
        lines << QStringLiteral("Player %1 start").arg(s.slot)
                + (names.isEmpty() ? QString() : QStringLiteral(": ") + names.join(QStringLiteral(" / ")));
    }
    const QList<PlotFacts::Unit> units = PlotFacts::unitsOf(d.PlotTexts.view(cell.x(), cell.y()));
    if (!units.isEmpty()) {
        QStringList types;
        QList<int> owners;
        for (const PlotFacts::Unit &u : units) {
            types << (u.type.isEmpty() ? QStringLiteral("?") : QString::fromUtf8(u.type));
            if (!owners.contains(u.owner))
                owners << u.owner;
        }
        QStringList ownerNames;
        for (int owner : std::as_const(owners))
            ownerNames << (owner < 0 ? QStringLiteral("none") : QString::number(owner));
        lines << QStringLiteral("%1 %2: %3 (%4 %5)")
                     .arg(units.size())
                     .arg(units.size() == 1 ? QStringLiteral("unit") : QStringLiteral("units"), types.join(QStringLiteral(", ")),
                          owners.size() == 1 ? QStringLiteral("player") : QStringLiteral("players"),
                          ownerNames.join(QStringLiteral(", ")));
    }
    for (const Sign &s : m_signs)
        if (s.cell == cell)
            lines << QStringLiteral("Sign: ") + QString::fromUtf8(s.caption);
    // The edges of the cell: its own south and east ones, and those the
    // cells north and west of it carry.
    const auto riverLine = [&](QPoint carrier, PlotFacts::RiverKind kind) {
        if (!d.PlotTexts.contains(carrier.x(), carrier.y()))
            return;
        const PlotFacts::Rivers r = PlotFacts::riversOf(d.PlotTexts.view(carrier.x(), carrier.y()));
        if (!(kind == PlotFacts::SouthEdge ? r.southEdge : r.eastEdge))
            return;
        const std::optional<QByteArray> &flow = kind == PlotFacts::SouthEdge ? r.weDirection : r.nsDirection;
        const std::optional<int> compass = flow ? PlotFacts::compass(*flow) : std::nullopt;
        const QString line = compass ? QStringLiteral("River flowing %1").arg(QLatin1String(CompassNames[*compass]))
                                     : QStringLiteral("River");
        if (!lines.contains(line))
            lines << line;
    };
    riverLine(cell, PlotFacts::SouthEdge);
    riverLine(cell, PlotFacts::EastEdge);
    riverLine(cell - QPoint(0, 1), PlotFacts::SouthEdge);
    riverLine(cell - QPoint(1, 0), PlotFacts::EastEdge);
    return lines;
}

void MapPieces::paint(QPainter &p, const GridPaintParams &at, const QRect &cells, const PieceLayers &layers) const
{
    // Flags and pins over every river and figure.
    if (layers.rivers)
        paintRivers(p, at, cells);
    if (layers.units)
        paintUnits(p, at, cells);
    if (layers.starts)
        paintStarts(p, at, cells);
    if (layers.signs)
        paintSigns(p, at, cells);
}

void MapPieces::paintRivers(QPainter &p, const GridPaintParams &at, const QRect &cells) const
{
    const PlotTable &plots = m_doc->PlotTexts;
    const auto flow = [](const std::optional<QByteArray> &v) {
        return (v ? PlotFacts::compass(*v) : std::nullopt).value_or(-1);
    };
    for (int row = cells.top(); row <= cells.bottom(); ++row)
        for (int col = cells.left(); col <= cells.right(); ++col) {
            const quint8 facts = factsAt(col, row);
            if (!(facts & (SouthRiver | EastRiver)))
                continue;
            // Flows are read only where an arrow shows them.
            PlotFacts::Rivers rivers;
            if (at.cellSize >= 24)
                rivers = PlotFacts::riversOf(plots.view(col, row));
            const QRect cell = at.cellRect(col, row);
            if (facts & SouthRiver)
                drawRiverEdge(p, cell, PlotFacts::SouthEdge, flow(rivers.weDirection), at.style);
            if (facts & EastRiver)
                drawRiverEdge(p, cell, PlotFacts::EastEdge, flow(rivers.nsDirection), at.style);
        }
}

void MapPieces::paintUnits(QPainter &p, const GridPaintParams &at, const QRect &cells) const
{
    for (int row = cells.top(); row <= cells.bottom(); ++row)
        for (int col = cells.left(); col <= cells.right(); ++col)
            if (factsAt(col, row) & Units) {
                const UnitSummary &units = m_units[size_t(row) * m_cols + col];
                drawUnits(p, at.cellRect(col, row), units.count, colourOf(units.owner, at.style), at.style);
            }
}

void MapPieces::paintStarts(QPainter &p, const GridPaintParams &at, const QRect &cells) const
{
    for (const Start &s : m_starts)
        if (cells.contains(s.cell))
            drawStart(p, at.cellRect(s.cell.x(), s.cell.y()), s.slot, colourOf(s.slot, at.style), at.style);
}

void MapPieces::paintSigns(QPainter &p, const GridPaintParams &at, const QRect &cells) const
{
    for (const Sign &s : m_signs)
        if (cells.contains(s.cell))
            drawSign(p, at.cellRect(s.cell.x(), s.cell.y()), at.style);
}

} // namespace vor4
