#pragma once
// Replaces the whole document (New, a new map) in one step; undo brings the
// old one back, file name included. Swapping costs no copy.

#include "EditCommand.h"

#include "Document.h"

namespace vor4 {

class ReplaceDocument : public EditCommand
{
public:
    ReplaceDocument(MapDocument *doc, Document &&replacement, const QString &name, QUndoCommand *parent = nullptr);

    qint64 byteCost() const override;
    EditCommand *takeOver(QUndoCommand *parent) override;

protected:
    void undoStep() override { swap(); }
    void redoStep() override { swap(); }

private:
    void swap();
    Document m_other; // the document not in use
};

} // namespace vor4
