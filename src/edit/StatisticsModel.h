#pragma once
// The statistics of the map, or of an area of it, as a table for a view:
// one row per value of each kind, with its number of plots and its share of
// the land plots. While following, it recounts only the cells an edit changed.

#include "PlotStatistics.h"

#include <QAbstractTableModel>
#include <QBitArray>
#include <QRegion>
#include <vector>

namespace vor4 {

class MapDocument;

class StatisticsModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { KindColumn, ValueColumn, PlotsColumn, ShareColumn, ColumnCount };
    enum Role {
        SortRole = Qt::UserRole, // numbers for the count columns, for a sort proxy
        FindPatternRole,         // see findPattern()
    };

    explicit StatisticsModel(MapDocument *doc, QObject *parent = nullptr);

    // Counts the cells (none: the whole map).
    void setArea(const QRegion &cells);
    // The bounding rectangle of the cells counted.
    QRect area() const { return m_area; }
    // Off, the model is empty and ignores edits (its window is closed).
    void setFollowing(bool following);
    bool isFollowing() const { return m_following; }
    const PlotStatistics &statistics() const { return m_stats; }

    // A regular expression, for a find with Match case on, for the lines that
    // give a plot this value of the kind (the key in any case); empty for
    // "(none)", which no line gives.
    static QString findPattern(int kind, const QByteArray &value);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Row
    {
        int kind;
        quint32 id;
    };
    void recount();
    void update(const QRect &cells);
    void syncRows();

    MapDocument *m_doc;
    QRegion m_requested;
    QRect m_area;
    QBitArray m_inside; // per cell of m_area, when the cells are no rectangle
    QSize m_mapSize;
    bool m_following = true;
    PlotStatistics m_stats;
    std::vector<PlotStatistics::Counted> m_cells; // per cell of m_area, row by row
    QList<Row> m_rows;
};

} // namespace vor4
