#include "Territory.h"

#include "Document.h"
#include "PlotFacts.h"

#include <climits>
#include <map>
#include <thread>

namespace vor4 {

namespace {

// Land (1), water (2) or unknown (0): what joins into bodies.
int classOf(quint8 kind)
{
    static constexpr int classes[] = {0, 1, 1, 1, 2}; // by Territory::Kind
    return classes[kind];
}

bool sameStarts(const QList<PlayerStart> &a, const QList<PlayerStart> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].player != b[i].player || a[i].at != b[i].at)
            return false;
    return true;
}

} // namespace

Territory::Kind Territory::kindOf(QByteArrayView plotText)
{
    // The first line holding "PlotType=", as PlotFacts::firstValue reads it,
    // in the one pass that skips from one "=" to the next.
    std::optional<QByteArrayView> value;
    PlotFacts::forEachValue(
        plotText, [](const char *line, qsizetype eq, char) { return unsigned(PlotFacts::keyBefore(line, eq, "plottype")); },
        [&value](unsigned, QByteArrayView v) {
            value = v;
            return false;
        });
    const QByteArrayView type = value ? PlotFacts::field(*value) : QByteArrayView();
    if (type.size() != 1 || type[0] < '0' || type[0] > '3')
        return Unknown;
    static constexpr Kind kinds[] = {Peak, Hills, Flat, Water};
    return kinds[type[0] - '0'];
}

void Territory::scan(const Document &doc, SettlerIndex *settlers)
{
    m_surface = MapWrap::of(doc);
    m_kinds.assign(std::size_t(m_surface.width) * std::size_t(m_surface.height), Unknown);
    if (settlers)
        *settlers = SettlerIndex();
    // A few columns at a time, so that the units are read while the texts
    // are still in the cache; a big map in two halves at once.
    const int cols = m_surface.width, rows = m_surface.height;
    const auto read = [&](int first, int last, SettlerIndex *units) {
        for (int col = first; col < last; col += 16) {
            const QRect chunk(col, 0, qMin(16, last - col), rows);
            readPlots(doc, chunk);
            if (units)
                units->scan(doc.PlotTexts, chunk);
        }
    };
    if (qint64(cols) * rows < 65536 || cols < 2) {
        read(0, cols, settlers);
    } else {
        SettlerIndex east;
        std::thread other([&] { read(cols / 2, cols, settlers ? &east : nullptr); });
        read(0, cols / 2, settlers);
        other.join();
        if (settlers)
            settlers->merge(std::move(east));
    }
    m_bodiesStale = m_ownersStale = true;
}

void Territory::readPlots(const Document &doc, const QRect &gridArea)
{
    // Column by column from the bottom row: the order the reader stores
    // the texts in.
    const int rows = m_surface.height;
    for (int col = gridArea.left(); col <= gridArea.right(); ++col)
        for (int row = gridArea.bottom(); row >= gridArea.top(); --row)
            m_kinds[std::size_t(rows - 1 - row) * std::size_t(m_surface.width) + std::size_t(col)] =
                kindOf(doc.PlotTexts.view(col, row));
}

bool Territory::sameSize(const Document &doc) const
{
    return !m_kinds.empty() && doc.columnCount() == m_surface.width && doc.rowCount() == m_surface.height;
}

void Territory::rescan(const Document &doc, const QRect &gridArea)
{
    if (!sameSize(doc)) {
        scan(doc);
        return;
    }
    const QRect area = gridArea & QRect(0, 0, m_surface.width, m_surface.height);
    for (int col = area.left(); col <= area.right(); ++col)
        for (int row = area.top(); row <= area.bottom(); ++row) {
            const std::size_t i = std::size_t(m_surface.height - 1 - row) * std::size_t(m_surface.width) + std::size_t(col);
            const quint8 now = kindOf(doc.PlotTexts.view(col, row));
            if (classOf(now) != classOf(m_kinds[i]))
                m_bodiesStale = true;
            // Only land has owners; a plot that becomes land gets its own.
            if (isLand(Kind(now)) && !isLand(Kind(m_kinds[i])) && !m_ownersStale)
                m_owners[i] = nearestTo(col, m_surface.height - 1 - row);
            m_kinds[i] = now;
        }
}

void Territory::divide(const Document &doc, const QList<PlayerStart> &starts)
{
    if (!sameSize(doc))
        scan(doc);
    // The header's wrap may have changed since the plots were read.
    const MapWrap surface = MapWrap::of(doc);
    if (surface.wrapX != m_surface.wrapX || surface.wrapY != m_surface.wrapY) {
        m_surface = surface;
        m_bodiesStale = m_ownersStale = true;
    }
    if (!sameStarts(starts, m_starts)) {
        m_starts = starts;
        m_ownersStale = true;
    }
    if (m_bodiesStale)
        joinBodies();
    if (m_ownersStale)
        placeOwners();
    if (m_bodiesStale || m_ownersStale)
        countShares();
    m_bodiesStale = m_ownersStale = false;
}

void Territory::joinBodies()
{
    // Runs of one class along each row, joined with the runs they touch in
    // the next row (diagonals included) and across the edges that wrap.
    const int w = m_surface.width, h = m_surface.height;
    // The buffers stay from one joining to the next: no new pages to touch.
    std::vector<Run> &runs = m_runs;
    std::vector<std::size_t> &rowStart = m_rowStart, &parent = m_parent;
    runs.clear();
    rowStart.resize(std::size_t(h) + 1);
    for (int y = 0; y < h; ++y) {
        rowStart[std::size_t(y)] = runs.size();
        const quint8 *row = m_kinds.data() + std::size_t(y) * std::size_t(w);
        for (int x = 0; x < w;) {
            const int cls = classOf(row[x]);
            int end = x;
            while (end + 1 < w && classOf(row[end + 1]) == cls)
                ++end;
            runs.push_back({x, end, cls});
            x = end + 1;
        }
    }
    rowStart[std::size_t(h)] = runs.size();
    parent.resize(runs.size());
    for (std::size_t i = 0; i < parent.size(); ++i)
        parent[i] = i;
    const auto find = [&parent](std::size_t a) {
        while (parent[a] != a)
            a = parent[a] = parent[parent[a]];
        return a;
    };
    const auto join = [&](std::size_t a, std::size_t b) {
        if (runs[a].cls != 0 && runs[a].cls == runs[b].cls) {
            a = find(a), b = find(b);
            parent[std::max(a, b)] = std::min(a, b);
        }
    };
    // Whether the east edge meets the west one, by the surface's rule.
    const bool acrossX = m_surface.onMap(QPoint(w, 0)).has_value();
    for (int y = 0; y < h; ++y) {
        const std::size_t first = rowStart[std::size_t(y)], last = rowStart[std::size_t(y) + 1] - 1;
        if (acrossX)
            join(first, last);
        const std::optional<QPoint> next = m_surface.onMap(QPoint(0, y + 1));
        if (!next)
            continue;
        const std::size_t nextFirst = rowStart[std::size_t(next->y())], nextEnd = rowStart[std::size_t(next->y()) + 1];
        std::size_t p = first;
        for (std::size_t q = nextFirst; q < nextEnd; ++q) {
            while (runs[p].x1 < runs[q].x0 - 1)
                ++p;
            for (std::size_t r = p; r <= last && runs[r].x0 <= runs[q].x1 + 1; ++r)
                join(r, q);
        }
        if (acrossX) {
            join(first, nextEnd - 1);
            join(last, nextFirst);
        }
    }
    m_bodies.resize(m_kinds.size());
    m_bodySizes.clear();
    m_landCount = m_unknownCount = 0;
    std::vector<qint32> &ids = m_ids;
    ids.assign(runs.size(), -1);
    for (int y = 0; y < h; ++y)
        for (std::size_t i = rowStart[std::size_t(y)]; i < rowStart[std::size_t(y) + 1]; ++i) {
            const Run &run = runs[i];
            const int length = run.x1 - run.x0 + 1;
            qint32 body = -1;
            if (run.cls != 0) {
                qint32 &id = ids[find(i)];
                if (id < 0) {
                    id = qint32(m_bodySizes.size());
                    m_bodySizes.push_back(0);
                }
                body = id;
                m_bodySizes[std::size_t(body)] += length;
            }
            m_landCount += run.cls == 1 ? length : 0;
            m_unknownCount += run.cls == 0 ? length : 0;
            std::fill_n(m_bodies.begin() + std::ptrdiff_t(std::size_t(y) * std::size_t(w) + std::size_t(run.x0)), length, body);
        }
}

void Territory::placeOwners()
{
    const int w = m_surface.width, h = m_surface.height;
    const std::size_t n = std::size_t(m_starts.size());
    // The axis distances from each column and each row to each start.
    m_dx.resize(std::size_t(w) * n);
    m_dy.resize(std::size_t(h) * n);
    for (std::size_t s = 0; s < n; ++s) {
        const QPoint start = m_starts[qsizetype(s)].at;
        for (int x = 0; x < w; ++x)
            m_dx[std::size_t(x) * n + s] = m_surface.span(QPoint(x, 0), QPoint(start.x(), 0)).x();
        for (int y = 0; y < h; ++y)
            m_dy[std::size_t(y) * n + s] = m_surface.span(QPoint(0, y), QPoint(0, start.y())).y();
    }
    m_ties.clear();
    m_tieIndex.clear();
    m_owners.assign(m_kinds.size(), -1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (isLand(Kind(m_kinds[std::size_t(y) * std::size_t(w) + std::size_t(x)])))
                m_owners[std::size_t(y) * std::size_t(w) + std::size_t(x)] = nearestTo(x, y);
}

qint32 Territory::nearestTo(int x, int y)
{
    const std::size_t n = std::size_t(m_starts.size());
    const int *dx = m_dx.data() + std::size_t(x) * n, *dy = m_dy.data() + std::size_t(y) * n;
    int best = INT_MAX, first = -1, count = 0;
    for (std::size_t s = 0; s < n; ++s) {
        const int d = qMax(dx[s], dy[s]);
        if (d < best) {
            best = d;
            first = int(s);
            count = 1;
        } else if (d == best) {
            ++count;
        }
    }
    if (count <= 1)
        return first;
    // As near to several starts: the set of them, each set kept once.
    std::vector<int> tie;
    for (std::size_t s = std::size_t(first); s < n; ++s)
        if (qMax(dx[s], dy[s]) == best)
            tie.push_back(int(s));
    const auto it = m_tieIndex.try_emplace(tie, int(m_ties.size())).first;
    if (it->second == int(m_ties.size()))
        m_ties.push_back(tie);
    return -2 - it->second;
}

void Territory::countShares()
{
    const int n = int(m_starts.size());
    m_shares = QList<Share>(n);
    if (n == 0)
        return;
    std::vector<int> home(static_cast<std::size_t>(n));
    for (int s = 0; s < n; ++s)
        home[std::size_t(s)] = isLand(kindAt(m_starts[s].at)) ? bodyAt(m_starts[s].at) : -1;
    // Whole plots and parts are summed apart, so that the parts add up the
    // same whatever the order.
    std::vector<qint64> whole(static_cast<std::size_t>(n)), wholeAway(static_cast<std::size_t>(n));
    std::vector<qint64> tieCount(m_ties.size()), tieAway(m_ties.size() * std::size_t(n));
    // Along the land runs the landmasses were joined by: one landmass a run.
    const std::size_t w = std::size_t(m_surface.width);
    for (std::size_t y = 0; y + 1 < m_rowStart.size(); ++y)
        for (std::size_t r = m_rowStart[y]; r < m_rowStart[y + 1]; ++r) {
            const Run &run = m_runs[r];
            if (run.cls != 1)
                continue;
            const qint32 body = m_bodies[y * w + std::size_t(run.x0)];
            for (std::size_t i = y * w + std::size_t(run.x0); i <= y * w + std::size_t(run.x1); ++i) {
                const qint32 owner = m_owners[i];
                if (owner >= 0) {
                    ++whole[std::size_t(owner)];
                    wholeAway[std::size_t(owner)] += body != home[std::size_t(owner)];
                } else if (owner <= -2) {
                    const std::size_t t = std::size_t(-2 - owner);
                    ++tieCount[t];
                    for (int s : m_ties[t])
                        tieAway[t * std::size_t(n) + std::size_t(s)] += body != home[std::size_t(s)];
                }
            }
        }
    for (int s = 0; s < n; ++s) {
        m_shares[s].plots = double(whole[std::size_t(s)]);
        m_shares[s].acrossWater = double(wholeAway[std::size_t(s)]);
    }
    for (std::size_t t = 0; t < m_ties.size(); ++t) {
        const double part = 1.0 / double(m_ties[t].size());
        for (int s : m_ties[t]) {
            m_shares[s].plots += double(tieCount[t]) * part;
            m_shares[s].acrossWater += double(tieAway[t * std::size_t(n) + std::size_t(s)]) * part;
        }
    }
}

void Territory::nearestStarts(QPoint plot, Owners &owners) const
{
    owners.clear();
    const qint32 owner = m_owners.empty() ? -1 : m_owners[index(plot)];
    if (owner >= 0)
        owners.append(owner);
    else if (owner <= -2)
        for (int s : m_ties[std::size_t(-2 - owner)])
            owners.append(s);
}

int Territory::ownerAt(QPoint plot, int *second) const
{
    const qint32 owner = m_owners.empty() ? -1 : m_owners[index(plot)];
    *second = -1;
    if (owner > -2)
        return owner;
    const std::vector<int> &tie = m_ties[std::size_t(-2 - owner)];
    *second = tie[1];
    return tie[0];
}

} // namespace vor4
