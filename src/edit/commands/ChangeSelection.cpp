#include "ChangeSelection.h"

#include "MapDocument.h"

namespace vor4 {

namespace {
QSize gridOf(const MapDocument *doc)
{
    return QSize(doc->document().columnCount(), doc->document().rowCount());
}
} // namespace

ChangeSelection::ChangeSelection(MapDocument *doc, const QRegion &cells, QUndoCommand *parent)
    : EditCommand(doc, QStringLiteral("Select"), parent)
    , m_before(doc->selection().region())
    , m_after(cells & QRect(QPoint(0, 0), gridOf(doc)))
{
}

qint64 ChangeSelection::byteCost() const
{
    return EditCommand::byteCost() + (m_before.rectCount() + m_after.rectCount()) * qint64(sizeof(QRect));
}

EditCommand *ChangeSelection::takeOver(QUndoCommand *parent)
{
    auto *c = new ChangeSelection(m_doc, QRegion(), parent);
    c->m_before = m_before;
    c->m_after = m_after;
    return c;
}

void ChangeSelection::set(const QRegion &cells)
{
    mapDocument()->selection().setRegion(cells, gridOf(mapDocument()));
}

} // namespace vor4
