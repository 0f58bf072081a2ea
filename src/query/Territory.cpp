#include "Territory.h"

#include "Document.h"
#include "PlotFacts.h"

#include <climits>
#include <map>
#include <thread>

namespace vor4 {

namespace {

// Land, water or unknown: what joins into bodies.
int classOf(quint8 kind) { return kind == Territory::Water ? 2 : Territory::isLand(Territory::Kind(kind)) ? 1 : 0; }

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
    const std::optional<QByteArrayView> value = PlotFacts::firstValue(plotText, "PlotType");
    if (!value)
        return Unknown;
    const QByteArrayView type = PlotFacts::field(*value);
    if (type.size() != 1)
        return Unknown;
    switch (type[0]) {
    case '0': return Peak;
    case '1': return Hills;
    case '2': return Flat;
    case '3': return Water;
    default: return Unknown;
    }
}

void Territory::scan(const Document &doc)
{
    m_surface = MapWrap::of(doc);
    m_kinds.assign(std::size_t(m_surface.width) * std::size_t(m_surface.height), Unknown);
    // A big map is read in two halves at once.
    const int cols = m_surface.width, rows = m_surface.height;
    if (qint64(cols) * rows < 65536 || cols < 2) {
        readPlots(doc, QRect(0, 0, cols, rows));
    } else {
        std::thread other([&] { readPlots(doc, QRect(cols / 2, 0, cols - cols / 2, rows)); });
        readPlots(doc, QRect(0, 0, cols / 2, rows));
        other.join();
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
            quint8 &kind = m_kinds[std::size_t(m_surface.height - 1 - row) * std::size_t(m_surface.width) + std::size_t(col)];
            const quint8 now = kindOf(doc.PlotTexts.view(col, row));
            if (classOf(now) != classOf(kind))
                m_bodiesStale = true;
            kind = now;
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
    // A flood from each plot not yet reached, over its own class.
    const int w = m_surface.width;
    m_bodies.assign(m_kinds.size(), -1);
    m_bodySizes.clear();
    m_landCount = m_unknownCount = 0;
    std::vector<qint32> stack;
    for (std::size_t start = 0; start < m_kinds.size(); ++start) {
        const int cls = classOf(m_kinds[start]);
        m_landCount += cls == 1;
        m_unknownCount += cls == 0;
        if (cls == 0 || m_bodies[start] >= 0)
            continue;
        const qint32 body = qint32(m_bodySizes.size());
        qint32 size = 0;
        m_bodies[start] = body;
        stack.push_back(qint32(start));
        while (!stack.empty()) {
            const qint32 at = stack.back();
            stack.pop_back();
            ++size;
            const QPoint p(at % w, at / w);
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const std::optional<QPoint> n = m_surface.onMap(p + QPoint(dx, dy));
                    if (!n)
                        continue;
                    const std::size_t i = std::size_t(n->y()) * std::size_t(w) + std::size_t(n->x());
                    if (m_bodies[i] < 0 && classOf(m_kinds[i]) == cls) {
                        m_bodies[i] = body;
                        stack.push_back(qint32(i));
                    }
                }
        }
        m_bodySizes.push_back(size);
    }
}

void Territory::placeOwners()
{
    const int w = m_surface.width, h = m_surface.height;
    const int n = int(m_starts.size());
    m_owners.assign(m_kinds.size(), -1);
    m_ties.clear();
    if (n == 0)
        return;
    // The axis distances to each start, by column and by row.
    std::vector<int> dx(std::size_t(w) * std::size_t(n)), dy(static_cast<std::size_t>(n));
    for (int x = 0; x < w; ++x)
        for (int s = 0; s < n; ++s)
            dx[std::size_t(x) * std::size_t(n) + std::size_t(s)] =
                m_surface.span(QPoint(x, 0), QPoint(m_starts[s].at.x(), 0)).x();
    std::map<std::vector<int>, int> tieIndex;
    std::vector<int> tie;
    for (int y = 0; y < h; ++y) {
        for (int s = 0; s < n; ++s)
            dy[std::size_t(s)] = m_surface.span(QPoint(0, y), QPoint(0, m_starts[s].at.y())).y();
        qint32 *owners = m_owners.data() + std::size_t(y) * std::size_t(w);
        for (int x = 0; x < w; ++x) {
            const int *d = dx.data() + std::size_t(x) * std::size_t(n);
            int best = INT_MAX, first = -1, count = 0;
            for (int s = 0; s < n; ++s) {
                const int dist = qMax(d[s], dy[std::size_t(s)]);
                if (dist < best) {
                    best = dist;
                    first = s;
                    count = 1;
                } else if (dist == best) {
                    ++count;
                }
            }
            if (count == 1) {
                owners[x] = first;
                continue;
            }
            tie.clear();
            for (int s = first; s < n; ++s)
                if (qMax(d[s], dy[std::size_t(s)]) == best)
                    tie.push_back(s);
            const auto it = tieIndex.try_emplace(tie, int(m_ties.size())).first;
            if (it->second == int(m_ties.size()))
                m_ties.push_back(tie);
            owners[x] = -2 - it->second;
        }
    }
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
    for (std::size_t i = 0; i < m_kinds.size(); ++i) {
        if (!isLand(Kind(m_kinds[i])))
            continue;
        const qint32 owner = m_owners[i];
        const qint32 body = m_bodies[i];
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
