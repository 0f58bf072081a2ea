#include "ChangeSelection.h"

#include "MapDocument.h"

namespace vor4 {

ChangeSelection::ChangeSelection(MapDocument *doc, const QRect &area, QUndoCommand *parent)
    : EditCommand(doc, QStringLiteral("Select"), parent)
    , m_before(doc->selection().area())
    , m_after(area.normalized())
{
}

EditCommand *ChangeSelection::takeOver(QUndoCommand *parent)
{
    auto *c = new ChangeSelection(m_doc, m_after, parent);
    c->m_before = m_before;
    return c;
}

void ChangeSelection::set(const QRect &area)
{
    const Document &doc = mapDocument()->document();
    mapDocument()->selection().setArea(area, QSize(doc.columnCount(), doc.rowCount()));
}

} // namespace vor4
