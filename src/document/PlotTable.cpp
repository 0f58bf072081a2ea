#include "PlotTable.h"

#include <cstring>
#include <stdexcept>

namespace vor4 {

namespace {

// QByteArray::append takes the general insert path; the reader adds millions
// of short lines, so the pool grows by resize and a plain copy.
char *growBy(QByteArray &pool, qsizetype n)
{
    const qsizetype old = pool.size();
    pool.resize(old + n);
    return pool.data() + old;
}

void appendBytes(QByteArray &pool, const char *s, qsizetype n)
{
    if (n > 0)
        std::memcpy(growBy(pool, n), s, std::size_t(n));
}
}

void PlotTable::resize(int cols, int rows)
{
    cols = qMax(cols, 0);
    rows = qMax(rows, 0);
    if (cols == m_cols && rows == m_rows)
        return;
    std::vector<Cell> cells(std::size_t(cols) * std::size_t(rows));
    const int keepCols = qMin(cols, m_cols);
    const int keepRows = qMin(rows, m_rows);
    for (int r = 0; r < keepRows; ++r)
        for (int c = 0; c < keepCols; ++c)
            cells[std::size_t(r) * std::size_t(cols) + std::size_t(c)] = cell(c, r);
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_cols; ++c)
            if (r >= keepRows || c >= keepCols)
                m_garbage += cell(c, r).length;
    m_cells.swap(cells);
    m_cols = cols;
    m_rows = rows;
}

void PlotTable::clear()
{
    m_cols = m_rows = 0;
    std::vector<Cell>().swap(m_cells);
    m_pool = QByteArray();
    m_garbage = 0;
}

QByteArrayView PlotTable::view(int col, int row) const
{
    if (!contains(col, row))
        return {};
    const Cell &c = cell(col, row);
    return QByteArrayView(m_pool.constData() + c.offset, c.length);
}

void PlotTable::makeRoom(qsizetype extra)
{
    if (m_garbage > 4096 && m_garbage * 2 > m_pool.size())
        compact();
    if (m_pool.size() + extra > MaxPoolBytes) {
        compact();
        if (m_pool.size() + extra > MaxPoolBytes)
            throw std::length_error("plot texts exceed 4 GiB");
    }
}

bool PlotTable::inPool(QByteArrayView text) const
{
    const char *b = m_pool.constData();
    return !text.isEmpty() && text.data() >= b && text.data() < b + m_pool.size();
}

void PlotTable::setText(int col, int row, QByteArrayView text)
{
    if (!contains(col, row))
        return;
    if (inPool(text)) {
        const QByteArray copy = text.toByteArray();
        setText(col, row, copy);
        return;
    }
    Cell &old = cell(col, row);
    if (text.size() <= qsizetype(old.length)) {
        // Fits where it stands: no new pool space needed.
        if (!text.isEmpty())
            std::copy(text.begin(), text.end(), m_pool.data() + old.offset);
        m_garbage += old.length - text.size();
        old.length = std::uint32_t(text.size());
        return;
    }
    makeRoom(text.size());
    Cell &c = cell(col, row);
    m_garbage += c.length;
    c.offset = std::uint32_t(m_pool.size());
    c.length = std::uint32_t(text.size());
    appendBytes(m_pool, text.data(), text.size());
}

void PlotTable::appendLine(int col, int row, QByteArrayView line)
{
    if (!contains(col, row))
        return;
    if (inPool(line)) {
        const QByteArray copy = line.toByteArray();
        appendLine(col, row, copy);
        return;
    }
    Cell &c = cell(col, row);
    if (c.length == 0) {
        makeRoom(line.size());
        Cell &fresh = cell(col, row);
        fresh.offset = std::uint32_t(m_pool.size());
        fresh.length = std::uint32_t(line.size());
        appendBytes(m_pool, line.data(), line.size());
        return;
    }
    if (qsizetype(c.offset) + c.length == m_pool.size()) {
        // The usual case while reading: the cell's text ends the pool.
        makeRoom(line.size() + 2);
        Cell &last = cell(col, row);
        if (qsizetype(last.offset) + last.length == m_pool.size()) {
            char *to = growBy(m_pool, line.size() + 2);
            to[0] = '\r';
            to[1] = '\n';
            if (!line.isEmpty())
                std::memcpy(to + 2, line.data(), std::size_t(line.size()));
            last.length += std::uint32_t(line.size() + 2);
            return;
        }
    }
    QByteArray joined = view(col, row).toByteArray();
    joined += "\r\n";
    joined.append(line.data(), line.size());
    setText(col, row, joined);
}

void PlotTable::prepareCopy(CopySize size)
{
    // Some room beyond: the table may grow before the copy is made.
    const qsizetype pool = size.pool + size.pool / 16 + 65536;
    m_pool = QByteArray();
    m_pool.resize(pool);
    std::memset(m_pool.data(), 0, std::size_t(pool));
    m_cells.assign(size.cells + size.cells / 16 + 64, Cell());
}

void PlotTable::copyFrom(const PlotTable &other)
{
    // Sized within what prepareCopyOf made room for, nothing is allocated.
    m_pool.resize(other.m_pool.size());
    if (!other.m_pool.isEmpty())
        std::memcpy(m_pool.data(), other.m_pool.constData(), std::size_t(other.m_pool.size()));
    m_cells.assign(other.m_cells.begin(), other.m_cells.end());
    m_cols = other.m_cols;
    m_rows = other.m_rows;
    m_garbage = other.m_garbage;
}

qsizetype PlotTable::filledCount() const
{
    qsizetype n = 0;
    for (const Cell &c : m_cells)
        n += c.length != 0;
    return n;
}

void PlotTable::compact()
{
    QByteArray pool;
    pool.reserve(m_pool.size() - m_garbage);
    for (Cell &c : m_cells) {
        const std::uint32_t offset = std::uint32_t(pool.size());
        if (c.length)
            pool.append(m_pool.constData() + c.offset, c.length);
        c.offset = offset;
    }
    m_pool.swap(pool);
    m_garbage = 0;
}

} // namespace vor4
