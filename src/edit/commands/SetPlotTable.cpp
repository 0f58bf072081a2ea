#include "SetPlotTable.h"

#include "MapDocument.h"

#include <utility>

namespace vor4 {

SetPlotTable::SetPlotTable(MapDocument *doc, PlotTable &&table, const QRect &bounds, int count,
                           const QString &name, QUndoCommand *parent)
    : EditCommand(doc, name, parent)
    , m_table(std::move(table))
    , m_bounds(bounds)
    , m_count(count)
{
}

qint64 SetPlotTable::byteCost() const
{
    return EditCommand::byteCost() + m_table.poolSize()
        + qint64(m_table.columnCount()) * m_table.rowCount() * qint64(2 * sizeof(quint32));
}

EditCommand *SetPlotTable::takeOver(QUndoCommand *parent)
{
    return new SetPlotTable(m_doc, std::move(m_table), m_bounds, m_count, text(), parent);
}

void SetPlotTable::swap()
{
    std::swap(target().PlotTexts, m_table);
    Q_EMIT mapDocument()->plotsChanged(QRegion(m_bounds));
}

} // namespace vor4
