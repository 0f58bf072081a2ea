#include "PlotSearch.h"

#include "MapDocument.h"

#include <algorithm>
#include <climits>

namespace vor4 {

PlotSearch::PlotSearch(MapDocument *doc, QObject *parent)
    : QObject(parent)
    , m_doc(doc)
{
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &PlotSearch::runSlice);
    connect(doc, &MapDocument::plotsChanged, this, [this](const QRegion &plots) { plotsChanged(plots.boundingRect()); });
    connect(doc, &MapDocument::documentReplaced, this, &PlotSearch::restart);
}

void PlotSearch::start(const PlotQuery &query, const QRect &area)
{
    m_query = query;
    m_requested = area;
    restart();
}

void PlotSearch::restart()
{
    const QRect old = m_area;
    const PlotTable &plots = m_doc->document().PlotTexts;
    m_columns = plots.columnCount();
    m_rows = plots.rowCount();
    const QRect all(0, 0, m_columns, m_rows);
    m_area = m_requested.isNull() ? all : m_requested & all;
    m_nextCol = m_area.left();
    m_query.forgetTooComplex();
    const bool hadMatches = !m_matches.empty();
    m_matches.clear();
    if (hadMatches)
        Q_EMIT matchesChanged(old);
    if (m_query.findsNothing() || m_area.isEmpty()) {
        m_timer.stop();
        m_nextCol = m_area.right() + 1;
        Q_EMIT finished(0);
        return;
    }
    m_timer.start();
}

void PlotSearch::runSlice()
{
    // Column by column, the order the texts are stored in (see PlotQuery).
    QElapsedTimer clock;
    clock.start();
    const PlotTable &plots = m_doc->document().PlotTexts;
    const int first = m_nextCol;
    std::vector<qint32> band;
    while (m_nextCol <= m_area.right()) {
        const int width = qMin(8, m_area.right() + 1 - m_nextCol);
        std::vector<qint32> found;
        m_query.collect(plots, QRect(m_nextCol, m_area.top(), width, m_area.height()), found);
        std::vector<qint32> merged(band.size() + found.size());
        std::merge(band.begin(), band.end(), found.begin(), found.end(), merged.begin());
        band.swap(merged);
        m_nextCol += width;
        if (clock.elapsed() >= m_sliceMs)
            break;
    }
    std::vector<qint32> merged(m_matches.size() + band.size());
    std::merge(m_matches.begin(), m_matches.end(), band.begin(), band.end(), merged.begin());
    m_matches.swap(merged);
    Q_EMIT matchesChanged(QRect(first, m_area.top(), m_nextCol - first, m_area.height()));
    if (m_nextCol > m_area.right()) {
        m_timer.stop();
        Q_EMIT finished(count());
    }
}

void PlotSearch::finish()
{
    if (!isRunning())
        return;
    const int slice = m_sliceMs;
    m_sliceMs = INT_MAX;
    runSlice();
    m_sliceMs = slice;
}

void PlotSearch::plotsChanged(const QRect &cells)
{
    const PlotTable &plots = m_doc->document().PlotTexts;
    if (plots.columnCount() != m_columns || plots.rowCount() != m_rows) {
        restart();
        return;
    }
    // Columns not searched yet are searched with their new texts later.
    QRect redo = cells & m_area;
    redo.setRight(qMin(redo.right(), m_nextCol - 1));
    if (m_query.findsNothing() || redo.isEmpty())
        return;
    std::vector<qint32> fresh;
    m_query.collect(plots, redo, fresh);
    // Keep the matches outside the searched cells, put in the new ones, in order.
    std::vector<qint32> merged;
    merged.reserve(m_matches.size() + fresh.size());
    const auto inRedo = [&](qint32 i) { return redo.contains(i % m_columns, i / m_columns); };
    auto f = fresh.begin();
    for (qint32 i : m_matches) {
        if (inRedo(i))
            continue;
        while (f != fresh.end() && *f < i)
            merged.push_back(*f++);
        merged.push_back(i);
    }
    merged.insert(merged.end(), f, fresh.end());
    m_matches.swap(merged);
    Q_EMIT matchesChanged(redo);
}

bool PlotSearch::contains(int col, int row) const
{
    if (!m_area.contains(col, row))
        return false;
    return std::binary_search(m_matches.begin(), m_matches.end(), indexOf(col, row));
}

std::optional<QPoint> PlotSearch::next(int col, int row) const
{
    if (m_matches.empty())
        return std::nullopt;
    const qint32 from = col < 0 || row < 0 ? -1 : indexOf(col, row);
    auto it = std::upper_bound(m_matches.begin(), m_matches.end(), from);
    return cellOf(it == m_matches.end() ? m_matches.front() : *it);
}

std::optional<QPoint> PlotSearch::previous(int col, int row) const
{
    if (m_matches.empty())
        return std::nullopt;
    const qint32 from = col < 0 || row < 0 ? INT_MAX : indexOf(col, row);
    auto it = std::lower_bound(m_matches.begin(), m_matches.end(), from);
    return cellOf(it == m_matches.begin() ? m_matches.back() : *(it - 1));
}

} // namespace vor4
