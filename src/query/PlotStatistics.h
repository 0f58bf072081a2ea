#pragma once
// How many plots hold each value of the five kinds of line map makers ask
// about. A plot's value of a kind is PlotFacts::field of PlotFacts::firstValue
// of the kind's key: the text after the first "=" of the first line that
// holds the key, up to the first "," or the end of the line, trimmed. Plots
// without such a line count under "(none)". Land plots are those whose plot
// type is not 3.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QRect>
#include <array>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vor4 {

class PlotTable;

class PlotStatistics
{
public:
    enum Kind { Terrain, Bonus, Feature, Improvement, PlotType, KindCount };
    static QByteArray keyOf(int kind); // "TerrainType", ...
    static QByteArray noneValue() { return QByteArrayLiteral("(none)"); }

    // The value of each kind in one plot text; an empty optional for none.
    using Values = std::array<std::optional<QByteArrayView>, KindCount>;
    static Values valuesOf(QByteArrayView text);

    // One plot as counted: the id of its value of each kind (0 is "(none)")
    // and whether it has text at all.
    struct Counted
    {
        std::array<quint32, KindCount> id{};
        bool filled = false;
    };

    PlotStatistics();
    void clear();
    // Counts the plots of area (clipped to the table; a null area is the
    // whole table), replacing what was counted before. With cells, stores one
    // Counted per plot of the area, row by row, for remove().
    void count(const PlotTable &plots, const QRect &area = QRect(), std::vector<Counted> *cells = nullptr);
    Counted add(QByteArrayView text);
    void remove(const Counted &plot);

    qint64 plotCount() const { return m_plots; }
    qint64 filledCount() const { return m_filled; }
    qint64 landCount() const { return m_land; }

    int valueCount(int kind) const { return int(m_tables[kind].names.size()); }
    const QByteArray &value(int kind, quint32 id) const { return m_tables[kind].names[id]; }
    qint64 plots(int kind, quint32 id) const { return m_tables[kind].plots[id]; }
    qint64 landPlots(int kind, quint32 id) const { return m_tables[kind].land[id]; }
    bool isLand(const Counted &plot) const { return plot.id[PlotType] != m_waterId; }

    struct Entry
    {
        QByteArray value;
        qint64 plots = 0;
        qint64 landPlots = 0;
    };
    // The values that some plot holds: most plots first, equal counts by
    // value, "(none)" last.
    QList<Entry> entries(int kind) const;
    std::vector<quint32> sortedIds(int kind) const;

private:
    struct Table
    {
        std::unordered_map<std::string_view, quint32> ids;
        std::vector<QByteArray> names; // names[0] is "(none)"
        std::vector<qint64> plots;
        std::vector<qint64> land;
        quint32 last = 0;
    };
    quint32 intern(int kind, QByteArrayView value);

    std::array<Table, KindCount> m_tables;
    quint32 m_waterId = quint32(-1);
    qint64 m_plots = 0;
    qint64 m_filled = 0;
    qint64 m_land = 0;
};

} // namespace vor4
