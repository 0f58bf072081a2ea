#include "CompoundStep.h"

namespace vor4 {

CompoundStep::CompoundStep(MapDocument *doc, const QString &name, QUndoCommand *parent)
    : EditCommand(doc, name, parent)
{
}

EditCommand *CompoundStep::childStep(int i) const
{
    return const_cast<EditCommand *>(static_cast<const EditCommand *>(child(i)));
}

bool CompoundStep::isNoOp() const
{
    for (int i = 0; i < childCount(); ++i)
        if (!childStep(i)->isNoOp())
            return false;
    return true;
}

bool CompoundStep::fits() const
{
    for (int i = 0; i < childCount(); ++i)
        if (!childStep(i)->fits())
            return false;
    return true;
}

bool CompoundStep::changesFile() const
{
    for (int i = 0; i < childCount(); ++i)
        if (childStep(i)->changesFile())
            return true;
    return false;
}

EditCommand *CompoundStep::takeOver(QUndoCommand *parent)
{
    auto *c = new CompoundStep(m_doc, text(), parent);
    for (int i = 0; i < childCount(); ++i)
        childStep(i)->takeOver(c);
    return c;
}

void CompoundStep::undoStep()
{
    for (int i = childCount() - 1; i >= 0; --i)
        childStep(i)->undo();
}

void CompoundStep::redoStep()
{
    for (int i = 0; i < childCount(); ++i)
        childStep(i)->redo();
}

} // namespace vor4
