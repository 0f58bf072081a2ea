#include "EditCommand.h"

#include "MapDocument.h"

namespace vor4 {

EditCommand::EditCommand(MapDocument *doc, const QString &text, QUndoCommand *parent)
    : QUndoCommand(text, parent)
    , m_doc(doc)
{
}

qint64 EditCommand::byteCost() const
{
    // The command object, its name and its children.
    qint64 bytes = 128 + text().size() * 2;
    for (int i = 0; i < childCount(); ++i)
        if (const auto *c = dynamic_cast<const EditCommand *>(child(i)))
            bytes += c->byteCost();
    return bytes;
}

bool EditCommand::replaying() const { return m_doc->isRebuildingHistory(); }

Document &EditCommand::target() const { return m_doc->m_doc; }

} // namespace vor4
