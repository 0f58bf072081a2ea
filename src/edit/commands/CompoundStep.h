#pragma once
// One undo step made of several: resize and crop (the grid and the
// selection), paste (the plots and the selection). Children are done in
// order and undone in reverse.

#include "EditCommand.h"

namespace vor4 {

class CompoundStep : public EditCommand
{
public:
    CompoundStep(MapDocument *doc, const QString &name, QUndoCommand *parent = nullptr);

    // Children are created with this step as their parent.
    bool isNoOp() const override;
    bool fits() const override;
    bool changesFile() const override;
    EditCommand *takeOver(QUndoCommand *parent) override;

protected:
    void undoStep() override;
    void redoStep() override;

private:
    EditCommand *childStep(int i) const;
};

} // namespace vor4
