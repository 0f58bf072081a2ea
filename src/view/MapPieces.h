#pragma once
// What the piece layers show, kept in step with the document: the players'
// starts and the signs on the map, and for each plot whether units stand on
// it and which river edges it carries. A plot is read the first time it is
// asked for after it changed, so that a big map costs nothing until its
// plots come into view.

#include "PiecePainter.h"
#include "PlotFacts.h"
#include "PlotTable.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QRegion>
#include <QStringList>
#include <vector>

namespace vor4 {

class MapDocument;
}
class QPainter;
namespace vor4 {
enum class SectionKind;

class MapPieces : public QObject
{
    Q_OBJECT
public:
    explicit MapPieces(MapDocument *doc, QObject *parent = nullptr);

    struct Start
    {
        int slot = 0;
        QPoint cell; // column, row; row 0 north
        QColor colour;
    };
    // The starts on the map, in slot order.
    const QList<Start> &starts() const { return m_starts; }
    // The slot whose start is on the cell, or -1 (the last slot when several are).
    int startAt(QPoint cell) const;
    QColor colourOf(int slot) const;

    struct Sign
    {
        QPoint cell;
        QByteArray caption;
    };
    const QList<Sign> &signs() const { return m_signs; }
    bool hasSign(QPoint cell) const;

    enum Fact : quint8 { Units = 1, SouthRiver = 2, EastRiver = 4 };
    // The facts of a cell on the map, 0 off it.
    quint8 factsAt(int col, int row) const;

    // The hover hint's lines for a cell: starts, units, signs and the rivers
    // along its four edges.
    QStringList describe(QPoint cell) const;

    // Draws the pieces of these cells whose layers are on, cell (c, r) at
    // `cellAt(c, r)`; rivers reach across their edges into the cells beside.
    template <typename CellAt>
    void paint(QPainter &p, const QRect &cells, const PieceLayers &layers, int cellSize, CellAt &&cellAt) const;

Q_SIGNALS:
    // Cells whose marks may look different now.
    void changed(const QRegion &cells);

private:
    void reset();
    void readStarts();
    void readSigns();
    void plotsChanged(const QRegion &cells);
    void sectionChanged(SectionKind kind);
    QRegion cellsOf(const QList<QPoint> &cells) const;
    const PlotTable &plotTable() const;

    MapDocument *m_doc;
    QList<Start> m_starts;
    QList<QColor> m_colours; // by slot
    QList<Sign> m_signs;
    // Per cell, row by row: its facts with bit 7 set once read.
    mutable std::vector<quint8> m_facts;
    mutable int m_cols = 0, m_rows = 0;
};

template <typename CellAt>
void MapPieces::paint(QPainter &p, const QRect &cells, const PieceLayers &layers, int cellSize, CellAt &&cellAt) const
{
    const PlotTable &plots = plotTable();
    if (layers.rivers || layers.units) {
        for (int row = cells.top(); row <= cells.bottom(); ++row) {
            for (int col = cells.left(); col <= cells.right(); ++col) {
                const quint8 facts = factsAt(col, row);
                if (!layers.rivers || !(facts & (SouthRiver | EastRiver)))
                    continue;
                // Flows are read only where an arrow shows them.
                PlotFacts::Rivers rivers;
                if (cellSize >= 24)
                    rivers = PlotFacts::riversOf(plots.view(col, row));
                const auto flow = [](const std::optional<QByteArray> &v) {
                    return (v ? PlotFacts::compass(*v) : std::nullopt).value_or(-1);
                };
                const QRect cell = cellAt(col, row);
                if (facts & SouthRiver)
                    drawRiverEdge(p, cell, PlotFacts::SouthEdge, flow(rivers.weDirection));
                if (facts & EastRiver)
                    drawRiverEdge(p, cell, PlotFacts::EastEdge, flow(rivers.nsDirection));
            }
        }
        // Badges over every river.
        for (int row = cells.top(); layers.units && row <= cells.bottom(); ++row)
            for (int col = cells.left(); col <= cells.right(); ++col)
                if (factsAt(col, row) & Units) {
                    const QList<PlotFacts::Unit> units = PlotFacts::unitsOf(plots.view(col, row));
                    drawUnitBadge(p, cellAt(col, row), int(units.size()),
                                  colourOf(units.isEmpty() ? -1 : units.first().owner));
                }
    }
    if (layers.starts)
        for (const Start &s : m_starts)
            if (cells.contains(s.cell))
                drawStartMarker(p, cellAt(s.cell.x(), s.cell.y()), s.slot, s.colour);
    // A flag stays seen on a start.
    if (layers.signs)
        for (const Sign &s : m_signs)
            if (cells.contains(s.cell))
                drawSignFlag(p, cellAt(s.cell.x(), s.cell.y()));
}

} // namespace vor4
