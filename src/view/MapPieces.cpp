#include "MapPieces.h"

#include "MapDocument.h"
#include "MapMarks.h"
#include "PiecePainter.h"

#include <algorithm>
#include <cstring>

namespace vor4 {

namespace {
constexpr quint8 Known = 0x80;
const char *const CompassNames[] = {"north", "east", "south", "west"};
} // namespace

MapPieces::MapPieces(MapDocument *doc, QObject *parent)
    : QObject(parent)
    , m_doc(doc)
{
    connect(doc, &MapDocument::documentReplaced, this, &MapPieces::reset);
    connect(doc, &MapDocument::plotsChanged, this, &MapPieces::plotsChanged);
    connect(doc, &MapDocument::sectionChanged, this, &MapPieces::sectionChanged);
    reset();
}

void MapPieces::reset()
{
    const Document &d = m_doc->document();
    m_cols = d.columnCount();
    m_rows = d.rowCount();
    m_facts.assign(size_t(m_cols) * size_t(m_rows), 0);
    readStarts();
    readSigns();
    Q_EMIT changed(QRegion(0, 0, m_cols, d.rowCount()));
}

void MapPieces::readStarts()
{
    const Document &d = m_doc->document();
    m_colours.clear();
    for (int slot = 0; slot < d.PlayerTexts.size(); ++slot) {
        const std::optional<QByteArrayView> colour = PlotFacts::firstValue(d.PlayerTexts[slot], "Color");
        m_colours << playerColour(slot, colour.value_or(QByteArrayView()));
    }
    m_starts.clear();
    for (int slot = 0; slot < d.PlayerTexts.size(); ++slot) {
        const std::optional<QPoint> plot = PlotFacts::startOf(d.PlayerTexts[slot]).plot();
        if (!plot)
            continue;
        const QPoint cell(plot->x(), d.fileY(plot->y()));
        if (d.PlotTexts.contains(cell.x(), cell.y()))
            m_starts << Start{slot, cell, colourOf(slot)};
    }
}

void MapPieces::readSigns()
{
    const Document &d = m_doc->document();
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

void MapPieces::sectionChanged(SectionKind kind)
{
    QList<QPoint> cells;
    if (kind == SectionKind::Player) {
        for (const Start &s : std::as_const(m_starts))
            cells << s.cell;
        readStarts();
        for (const Start &s : std::as_const(m_starts))
            cells << s.cell;
    } else if (kind == SectionKind::Signs) {
        for (const Sign &s : std::as_const(m_signs))
            cells << s.cell;
        readSigns();
        for (const Sign &s : std::as_const(m_signs))
            cells << s.cell;
    }
    if (!cells.isEmpty())
        Q_EMIT changed(cellsOf(cells));
}

void MapPieces::plotsChanged(const QRegion &cells)
{
    const QRect map(0, 0, m_cols, m_rows);
    for (const QRect &r : cells) {
        const QRect on = r & map;
        for (int row = on.top(); row <= on.bottom(); ++row)
            std::memset(&m_facts[size_t(row) * m_cols + on.left()], 0, size_t(on.width()));
    }
    Q_EMIT changed(cells);
}

quint8 MapPieces::factsAt(int col, int row) const
{
    const Document &d = m_doc->document();
    if (d.columnCount() != m_cols || d.rowCount() != m_rows) {
        // A grid taken before its announcement (a load under way).
        m_cols = d.columnCount();
        m_rows = d.rowCount();
        m_facts.assign(size_t(m_cols) * size_t(m_rows), 0);
    }
    if (col < 0 || row < 0 || col >= m_cols || row >= m_rows)
        return 0;
    quint8 &facts = m_facts[size_t(row) * m_cols + col];
    if (!(facts & Known)) {
        const QByteArrayView text = d.PlotTexts.view(col, row);
        const PlotFacts::Rivers rivers = PlotFacts::riversOf(text);
        facts = Known | (rivers.southEdge ? SouthRiver : 0) | (rivers.eastEdge ? EastRiver : 0)
            | (PlotFacts::unitsOf(text).isEmpty() ? 0 : Units);
    }
    return facts & ~Known;
}

const PlotTable &MapPieces::plotTable() const { return m_doc->document().PlotTexts; }

int MapPieces::startAt(QPoint cell) const
{
    int slot = -1;
    for (const Start &s : m_starts)
        if (s.cell == cell)
            slot = s.slot;
    return slot;
}

QColor MapPieces::colourOf(int slot) const
{
    if (slot < 0)
        return QColor(Qt::gray); // a unit without an owner
    return slot < m_colours.size() ? m_colours[slot] : playerColour(slot, {});
}

bool MapPieces::hasSign(QPoint cell) const
{
    return std::any_of(m_signs.begin(), m_signs.end(), [cell](const Sign &s) { return s.cell == cell; });
}

QStringList MapPieces::describe(QPoint cell) const
{
    const Document &d = m_doc->document();
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

} // namespace vor4
