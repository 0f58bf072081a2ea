#pragma once
// A rectangle of plots lifted out of a map, as copy and paste carry it: the
// plot texts by cell (row 0 at the top) and which cells it holds. Its text
// is the file's own plot blocks, numbered from 0,0 at the corner with the
// smallest x and y (x to the right, y upwards, as in the file), so that it
// reads like a small map's plots and goes to and from a text editor.

#include "PlotTable.h"

#include <QBitArray>
#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

namespace vor4 {

class PlotRegion
{
public:
    PlotRegion() = default;
    // Every plot of the cells (clipped to the table).
    static PlotRegion copy(const PlotTable &plots, const QRect &cells);
    // Only the cells whose bit of `held` is set (row by row over the
    // rectangle, which must lie on the table): a shape.
    static PlotRegion copy(const PlotTable &plots, const QRect &cells, const QBitArray &held);
    // Plot blocks as toText gives them; any numbering is taken, from its
    // smallest x and y. Nothing, with *error saying why, for text that is
    // not plot blocks, that names a plot twice or spans more than a map may.
    static std::optional<PlotRegion> fromText(QByteArrayView text, QString *error = nullptr);
    QByteArray toText() const;

    QSize size() const { return QSize(m_texts.columnCount(), m_texts.rowCount()); }
    bool isEmpty() const { return m_count == 0; }
    // Plots the region holds: all of its cells unless it was read from
    // blocks that left some out.
    qsizetype plotCount() const { return m_count; }
    bool holds(int col, int row) const
    {
        return m_texts.contains(col, row)
            && (m_held.isEmpty() || m_held.testBit(qsizetype(row) * m_texts.columnCount() + col));
    }
    QByteArrayView view(int col, int row) const { return m_texts.view(col, row); }
    const PlotTable &texts() const { return m_texts; }
    // Bytes of plot text it holds.
    qsizetype textBytes() const { return m_texts.poolSize(); }

private:
    PlotTable m_texts;
    QBitArray m_held; // empty when every cell is held
    qsizetype m_count = 0;
};

} // namespace vor4
