#pragma once
// The plot texts of every map cell, addressed by column and row.
// All texts live in one byte pool; each cell keeps an offset and a length,
// so a 1000 x 1000 map costs 8 bytes a cell beyond its text.

#include <QByteArray>
#include <QByteArrayView>
#include <QPoint>
#include <QRect>
#include <cstdint>
#include <vector>

namespace vor4 {

class PlotTable
{
public:
    // The pool's bound: offsets and lengths are 32-bit.
    static constexpr qsizetype MaxPoolBytes = qsizetype(UINT32_MAX);

    int columnCount() const { return m_cols; }
    int rowCount() const { return m_rows; }
    bool contains(qint64 col, qint64 row) const
    {
        return col >= 0 && row >= 0 && col < m_cols && row < m_rows;
    }

    // Keeps the cells inside the new bounds, drops the rest.
    void resize(int cols, int rows);
    // The new bounds with every cell moved by offset first: the text of
    // (c, r) goes to (c + offset.x, r + offset.y); what lands outside is
    // dropped, new cells are empty.
    void resize(int cols, int rows, QPoint offset);
    // Transforms move the cells' entries, never their texts. A flip mirrors
    // the cells of an area left to right (Qt::Horizontal) or top to bottom;
    // a quarter turn (clockwise as seen, row 0 at the top) turns a square
    // area about its centre, or the whole table, whose counts then swap.
    void flip(const QRect &area, Qt::Orientation orientation);
    void rotate(const QRect &area, bool clockwise);
    void clear();
    void reservePool(qsizetype bytes);
    // Copying a big table in two steps: room for a copy of a table of this
    // size is made first (the memory touched), so that copyFrom does nothing
    // but copy bytes. copyFrom makes this table an equal of `other` that
    // shares no memory with it, allocating only if `other` has grown.
    struct CopySize
    {
        qsizetype pool = 0;
        std::size_t cells = 0;
    };
    CopySize copySize() const { return {m_pool.size(), m_cells.size()}; }
    void prepareCopy(CopySize size);
    void copyFrom(const PlotTable &other);

    // Whether the texts of the area lie in the pool column after column (as
    // a map file lists its plots), so that reading them column by column
    // walks the memory in order; false when row after row is the better
    // walk. A guess from a few samples, for readers of many cells.
    bool storedByColumn(const QRect &area) const;
    // Valid until the table is next changed; empty for a cell outside it.
    QByteArrayView view(int col, int row) const;
    QByteArray text(int col, int row) const { return view(col, row).toByteArray(); }
    bool isEmpty(int col, int row) const { return view(col, row).isEmpty(); }

    void setText(int col, int row, QByteArrayView text);
    // Adds a line to the cell's text, joined by CR LF when the text is not empty.
    void appendLine(int col, int row, QByteArrayView line);

    qsizetype filledCount() const;
    qsizetype poolSize() const { return m_pool.size(); }
    // Whether `extra` more bytes of text fit under the bound; writing more
    // than fits throws std::length_error.
    bool canTake(qint64 extra) const { return m_pool.size() - m_garbage + extra <= MaxPoolBytes; }

private:
    struct Cell
    {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
    };
    Cell &cell(int col, int row) { return m_cells[std::size_t(row) * std::size_t(m_cols) + std::size_t(col)]; }
    const Cell &cell(int col, int row) const
    {
        return m_cells[std::size_t(row) * std::size_t(m_cols) + std::size_t(col)];
    }
    bool inPool(QByteArrayView text) const;
    void makeRoom(qsizetype extra);
    void compact();

    int m_cols = 0;
    int m_rows = 0;
    std::vector<Cell> m_cells;
    QByteArray m_pool;
    qsizetype m_garbage = 0;
};

} // namespace vor4
