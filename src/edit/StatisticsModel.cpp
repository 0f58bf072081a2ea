#include "StatisticsModel.h"

#include "Geometry.h"
#include "MapDocument.h"

#include <QRegularExpression>

namespace vor4 {

StatisticsModel::StatisticsModel(MapDocument *doc, QObject *parent)
    : QAbstractTableModel(parent)
    , m_doc(doc)
{
    connect(doc, &MapDocument::plotsChanged, this, [this](const QRegion &plots) {
        if (m_following)
            update(plots.boundingRect());
    });
    connect(doc, &MapDocument::documentReplaced, this, [this] {
        if (m_following)
            recount();
    });
    recount();
}

void StatisticsModel::setArea(const QRegion &cells)
{
    m_requested = cells;
    if (m_following)
        recount();
}

void StatisticsModel::setFollowing(bool following)
{
    if (following == m_following)
        return;
    m_following = following;
    if (following) {
        recount();
        return;
    }
    beginResetModel();
    m_stats.clear();
    std::vector<PlotStatistics::Counted>().swap(m_cells);
    m_rows.clear();
    endResetModel();
}

void StatisticsModel::recount()
{
    beginResetModel();
    const PlotTable &plots = m_doc->document().PlotTexts;
    m_mapSize = QSize(plots.columnCount(), plots.rowCount());
    const QRect all(QPoint(0, 0), m_mapSize);
    const QRegion cells = m_requested.isEmpty() ? QRegion(all) : m_requested & all;
    m_area = cells.boundingRect();
    m_inside = QBitArray();
    if (cells.rectCount() == 1) {
        m_stats.count(plots, m_area, &m_cells);
    } else {
        m_inside = cellMask(cells.translated(-m_area.topLeft()), m_area.size());
        m_stats.clear();
        m_cells.assign(std::size_t(m_inside.size()), {});
        for (const QRect &r : cells)
            for (int col = r.left(); col <= r.right(); ++col)
                for (int row = r.bottom(); row >= r.top(); --row)
                    m_cells[std::size_t(row - m_area.top()) * std::size_t(m_area.width()) + std::size_t(col - m_area.left())] =
                        m_stats.add(plots.view(col, row));
    }
    m_rows.clear();
    for (int kind = 0; kind < PlotStatistics::KindCount; ++kind)
        for (quint32 id : m_stats.sortedIds(kind))
            m_rows.append({kind, id});
    endResetModel();
}

void StatisticsModel::update(const QRect &cells)
{
    const PlotTable &plots = m_doc->document().PlotTexts;
    if (QSize(plots.columnCount(), plots.rowCount()) != m_mapSize) {
        recount();
        return;
    }
    const QRect r = cells & m_area;
    if (r.isEmpty())
        return;
    for (int row = r.top(); row <= r.bottom(); ++row) {
        for (int col = r.left(); col <= r.right(); ++col) {
            const std::size_t i =
                std::size_t(row - m_area.top()) * std::size_t(m_area.width()) + std::size_t(col - m_area.left());
            if (!m_inside.isEmpty() && !m_inside.testBit(qsizetype(i)))
                continue;
            PlotStatistics::Counted &c = m_cells[i];
            m_stats.remove(c);
            c = m_stats.add(plots.view(col, row));
        }
    }
    syncRows();
}

void StatisticsModel::syncRows()
{
    for (int i = int(m_rows.size()) - 1; i >= 0; --i) {
        if (m_stats.plots(m_rows[i].kind, m_rows[i].id) == 0) {
            beginRemoveRows(QModelIndex(), i, i);
            m_rows.removeAt(i);
            endRemoveRows();
        }
    }
    std::vector<std::vector<bool>> shown(PlotStatistics::KindCount);
    for (int kind = 0; kind < PlotStatistics::KindCount; ++kind)
        shown[std::size_t(kind)].resize(std::size_t(m_stats.valueCount(kind)));
    for (const Row &row : std::as_const(m_rows))
        shown[std::size_t(row.kind)][row.id] = true;
    QList<Row> added;
    for (int kind = 0; kind < PlotStatistics::KindCount; ++kind)
        for (quint32 id : m_stats.sortedIds(kind))
            if (!shown[std::size_t(kind)][id])
                added.append({kind, id});
    if (!added.isEmpty()) {
        beginInsertRows(QModelIndex(), int(m_rows.size()), int(m_rows.size() + added.size()) - 1);
        m_rows += added;
        endInsertRows();
    }
    // Every share moves with the number of land plots.
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0, PlotsColumn), index(int(m_rows.size()) - 1, ShareColumn));
}

QString StatisticsModel::findPattern(int kind, const QByteArray &value)
{
    // The key before the line's first "=", the value up to a "," or the end.
    return QStringLiteral("^[^=]*(?i:%1)=[\\x00-\\x20]*%2[\\x00-\\x20]*(,|$)")
        .arg(QString::fromLatin1(PlotStatistics::keyOf(kind)),
             QRegularExpression::escape(QString::fromLatin1(value)));
}

int StatisticsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int StatisticsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant StatisticsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    const Row &row = m_rows[index.row()];
    const qint64 plots = m_stats.plots(row.kind, row.id);
    const qint64 land = m_stats.landPlots(row.kind, row.id);
    const bool hasShare = land > 0 && m_stats.landCount() > 0;
    const double share = hasShare ? 100.0 * double(land) / double(m_stats.landCount()) : -1.0;
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case KindColumn: return QString::fromLatin1(PlotStatistics::keyOf(row.kind));
        case ValueColumn: return QString::fromLatin1(m_stats.value(row.kind, row.id));
        case PlotsColumn: return plots;
        case ShareColumn: return hasShare ? QStringLiteral("%1%").arg(share, 0, 'f', 1) : QString();
        }
        break;
    case SortRole:
        switch (index.column()) {
        case KindColumn: return row.kind;
        case ValueColumn: return QString::fromLatin1(m_stats.value(row.kind, row.id));
        case PlotsColumn: return plots;
        case ShareColumn: return share;
        }
        break;
    case Qt::TextAlignmentRole:
        if (index.column() >= PlotsColumn)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        break;
    case FindPatternRole:
        return row.id == 0 ? QString() : findPattern(row.kind, m_stats.value(row.kind, row.id));
    }
    return QVariant();
}

QVariant StatisticsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case KindColumn: return QStringLiteral("Kind");
    case ValueColumn: return QStringLiteral("Value");
    case PlotsColumn: return QStringLiteral("Plots");
    case ShareColumn: return QStringLiteral("Share of land");
    }
    return QVariant();
}

} // namespace vor4
