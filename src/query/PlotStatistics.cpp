#include "PlotStatistics.h"

#include "PlotFacts.h"
#include "PlotTable.h"

#include <algorithm>

namespace vor4 {

namespace {

// The kind whose key ends just before the "=" at line[eq], or -1. A key
// followed by "=" occurs in a line exactly where one of its "=" has the key's
// name before it.
int kindBefore(const char *line, qsizetype eq)
{
    if (eq < 8 || !PlotFacts::keyBefore(line, eq, "type"))
        return -1;
    switch (line[eq - 5] | 0x20) {
    case 'n':
        return PlotFacts::keyBefore(line, eq, "terraintype") ? PlotStatistics::Terrain : -1;
    case 's':
        return PlotFacts::keyBefore(line, eq, "bonustype") ? PlotStatistics::Bonus : -1;
    case 'e':
        return PlotFacts::keyBefore(line, eq, "featuretype") ? PlotStatistics::Feature : -1;
    case 't':
        if (PlotFacts::keyBefore(line, eq, "plottype"))
            return PlotStatistics::PlotType;
        return PlotFacts::keyBefore(line, eq, "improvementtype") ? PlotStatistics::Improvement : -1;
    default:
        return -1;
    }
}

// Calls take(kind, value) once for each kind the text has a line of, in one
// pass that stops when every kind is found.
template <typename F>
void scanValues(QByteArrayView text, F &&take)
{
    unsigned pending = (1u << PlotStatistics::KindCount) - 1;
    const auto keysAt = [](const char *line, qsizetype eq, char) {
        const int kind = kindBefore(line, eq);
        return kind < 0 ? 0u : 1u << kind;
    };
    PlotFacts::forEachValue(text, keysAt, [&](unsigned keys, QByteArrayView value) {
        const unsigned here = keys & pending;
        if (here) {
            const QByteArrayView counted = PlotFacts::field(value);
            for (int kind = 0; kind < PlotStatistics::KindCount; ++kind)
                if (here & (1u << kind))
                    take(kind, counted);
            pending &= ~here;
        }
        return pending != 0;
    });
}

} // namespace

QByteArray PlotStatistics::keyOf(int kind)
{
    static const char *const keys[KindCount] = {"TerrainType", "BonusType", "FeatureType", "ImprovementType",
                                                "PlotType"};
    return QByteArray(keys[kind]);
}

PlotStatistics::Values PlotStatistics::valuesOf(QByteArrayView text)
{
    Values values;
    scanValues(text, [&values](int kind, QByteArrayView value) { values[std::size_t(kind)] = value; });
    return values;
}

PlotStatistics::PlotStatistics() { clear(); }

void PlotStatistics::clear()
{
    for (Table &t : m_tables) {
        t = Table();
        t.names.push_back(noneValue());
        t.plots.push_back(0);
        t.land.push_back(0);
    }
    m_waterId = quint32(-1);
    m_plots = m_filled = m_land = 0;
}

quint32 PlotStatistics::intern(int kind, QByteArrayView value)
{
    // Neighbouring plots mostly repeat a value: the last one is tried first.
    Table &t = m_tables[std::size_t(kind)];
    if (t.last != 0 && QByteArrayView(t.names[t.last]) == value)
        return t.last;
    const auto it = t.ids.find(std::string_view(value.data(), std::size_t(value.size())));
    if (it != t.ids.end())
        return t.last = it->second;
    const quint32 id = quint32(t.names.size());
    t.names.push_back(value.toByteArray());
    const QByteArray &stored = t.names.back();
    t.ids.emplace(std::string_view(stored.constData(), std::size_t(stored.size())), id);
    t.plots.push_back(0);
    t.land.push_back(0);
    if (kind == PlotType && value == "3")
        m_waterId = id;
    return t.last = id;
}

PlotStatistics::Counted PlotStatistics::add(QByteArrayView text)
{
    Counted c;
    c.filled = !text.isEmpty();
    if (c.filled)
        scanValues(text, [&](int kind, QByteArrayView value) { c.id[std::size_t(kind)] = intern(kind, value); });
    const bool land = isLand(c);
    for (int kind = 0; kind < KindCount; ++kind) {
        Table &t = m_tables[std::size_t(kind)];
        ++t.plots[c.id[std::size_t(kind)]];
        t.land[c.id[std::size_t(kind)]] += land;
    }
    ++m_plots;
    m_filled += c.filled;
    m_land += land;
    return c;
}

void PlotStatistics::remove(const Counted &plot)
{
    const bool land = isLand(plot);
    for (int kind = 0; kind < KindCount; ++kind) {
        Table &t = m_tables[std::size_t(kind)];
        --t.plots[plot.id[std::size_t(kind)]];
        t.land[plot.id[std::size_t(kind)]] -= land;
    }
    --m_plots;
    m_filled -= plot.filled;
    m_land -= land;
}

void PlotStatistics::count(const PlotTable &plots, const QRect &area, std::vector<Counted> *cells)
{
    clear();
    const QRect all(0, 0, plots.columnCount(), plots.rowCount());
    const QRect r = area.isNull() ? all : area & all;
    if (cells) {
        cells->clear();
        cells->resize(std::size_t(qMax(0, r.width())) * std::size_t(qMax(0, r.height())));
    }
    // Column by column from the bottom row: the order the reader stores the
    // texts in, which reads them one after the other.
    for (int col = r.left(); col <= r.right(); ++col) {
        for (int row = r.bottom(); row >= r.top(); --row) {
            const Counted c = add(plots.view(col, row));
            if (cells)
                (*cells)[std::size_t(row - r.top()) * std::size_t(r.width()) + std::size_t(col - r.left())] = c;
        }
    }
}

std::vector<quint32> PlotStatistics::sortedIds(int kind) const
{
    const Table &t = m_tables[std::size_t(kind)];
    std::vector<quint32> ids;
    for (quint32 id = 0; id < t.names.size(); ++id)
        if (t.plots[id] > 0)
            ids.push_back(id);
    std::sort(ids.begin(), ids.end(), [&t](quint32 a, quint32 b) {
        if ((a == 0) != (b == 0))
            return b == 0;
        if (t.plots[a] != t.plots[b])
            return t.plots[a] > t.plots[b];
        return t.names[a] < t.names[b];
    });
    return ids;
}

QList<PlotStatistics::Entry> PlotStatistics::entries(int kind) const
{
    const Table &t = m_tables[std::size_t(kind)];
    const std::vector<quint32> ids = sortedIds(kind);
    QList<Entry> list;
    list.reserve(qsizetype(ids.size()));
    for (quint32 id : ids)
        list.append({t.names[id], t.plots[id], t.land[id]});
    return list;
}

} // namespace vor4
