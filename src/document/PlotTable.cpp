#include "PlotTable.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#ifdef __linux__
#include <sys/mman.h>
#endif

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
    resize(cols, rows, QPoint(0, 0));
}

void PlotTable::resize(int cols, int rows, QPoint offset)
{
    cols = qMax(cols, 0);
    rows = qMax(rows, 0);
    if (cols == m_cols && rows == m_rows && offset.isNull())
        return;
    std::vector<Cell> cells(std::size_t(cols) * std::size_t(rows));
    // The old cells that land inside: columns [c0, c1), rows [r0, r1).
    const int c0 = qBound(0, -offset.x(), m_cols), c1 = qBound(c0, cols - offset.x(), m_cols);
    const int r0 = qBound(0, -offset.y(), m_rows), r1 = qBound(r0, rows - offset.y(), m_rows);
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_cols; ++c) {
            if (r >= r0 && r < r1 && c >= c0 && c < c1)
                cells[std::size_t(r + offset.y()) * std::size_t(cols) + std::size_t(c + offset.x())] = cell(c, r);
            else
                m_garbage += cell(c, r).length;
        }
    }
    m_cells.swap(cells);
    m_cols = cols;
    m_rows = rows;
}

void PlotTable::flip(const QRect &area, Qt::Orientation orientation)
{
    const QRect a = area & QRect(0, 0, m_cols, m_rows);
    if (a.isEmpty())
        return;
    if (orientation == Qt::Horizontal) {
        for (int r = a.top(); r <= a.bottom(); ++r) {
            Cell *row = &cell(a.left(), r);
            std::reverse(row, row + a.width());
        }
        return;
    }
    for (int top = a.top(), bottom = a.bottom(); top < bottom; ++top, --bottom)
        std::swap_ranges(&cell(a.left(), top), &cell(a.left(), top) + a.width(), &cell(a.left(), bottom));
}

void PlotTable::rotate(const QRect &area, bool clockwise)
{
    const QRect whole(0, 0, m_cols, m_rows);
    if (area == whole) {
        // The counts swap: the turned table is built anew. Clockwise the
        // cell (c, r) goes to (rows - 1 - r, c), counter-clockwise to
        // (r, cols - 1 - c).
        std::vector<Cell> cells(m_cells.size());
        const std::size_t newCols = std::size_t(m_rows);
        for (int r = 0; r < m_rows; ++r) {
            const Cell *from = &cell(0, r);
            for (int c = 0; c < m_cols; ++c) {
                const std::size_t nc = clockwise ? std::size_t(m_rows - 1 - r) : std::size_t(r);
                const std::size_t nr = clockwise ? std::size_t(c) : std::size_t(m_cols - 1 - c);
                cells[nr * newCols + nc] = from[c];
            }
        }
        m_cells.swap(cells);
        std::swap(m_cols, m_rows);
        return;
    }
    const QRect a = area & whole;
    if (a.isEmpty() || a.width() != a.height())
        return;
    const int n = a.width();
    std::vector<Cell> square(std::size_t(n) * std::size_t(n));
    for (int v = 0; v < n; ++v)
        for (int u = 0; u < n; ++u)
            square[std::size_t(v) * std::size_t(n) + std::size_t(u)] = cell(a.left() + u, a.top() + v);
    for (int v = 0; v < n; ++v) {
        for (int u = 0; u < n; ++u) {
            const int nu = clockwise ? n - 1 - v : v;
            const int nv = clockwise ? u : n - 1 - u;
            cell(a.left() + nu, a.top() + nv) = square[std::size_t(v) * std::size_t(n) + std::size_t(u)];
        }
    }
}

void PlotTable::clear()
{
    m_cols = m_rows = 0;
    std::vector<Cell>().swap(m_cells);
    m_pool = QByteArray();
    m_garbage = 0;
}

bool PlotTable::storedByColumn(const QRect &area) const
{
    const QRect a = area & QRect(0, 0, m_cols, m_rows);
    if (a.width() < 2 || a.height() < 2)
        return a.width() < 2;
    const auto distance = [this](int c1, int r1, int c2, int r2) {
        return std::abs(qint64(cell(c1, r1).offset) - qint64(cell(c2, r2).offset));
    };
    // Samples along the diagonal: the nearer neighbour in the pool wins.
    constexpr int Samples = 16;
    int byColumn = 0;
    for (int i = 0; i < Samples; ++i) {
        const int c = a.left() + int(qint64(a.width() - 1) * i / Samples);
        const int r = a.top() + int(qint64(a.height() - 1) * i / Samples);
        if (distance(c, r, c, r + 1) < distance(c, r, c + 1, r))
            ++byColumn;
    }
    return 2 * byColumn > Samples;
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

void PlotTable::reservePool(qsizetype bytes)
{
    m_pool.reserve(bytes);
#ifdef MADV_HUGEPAGE
    // A big pool is filled once from end to end: in pages of 2 MiB the
    // kernel takes one fault where it took 512.
    constexpr quintptr Huge = 2 * 1024 * 1024;
    const quintptr begin = (quintptr(m_pool.data()) + Huge - 1) & ~(Huge - 1);
    const quintptr end = (quintptr(m_pool.data()) + quintptr(bytes)) & ~(Huge - 1);
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#endif
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
