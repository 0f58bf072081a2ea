#pragma once
// Several steps, each done when it was pushed, kept as one step of the
// history under one name (MapDocument::beginGroup). The first redo, when the
// group is recorded, finds its steps done already and does nothing; later
// ones redo them in order, undo undoes them in reverse.

#include "EditCommand.h"

#include <memory>
#include <vector>

namespace vor4 {

class GroupStep : public EditCommand
{
public:
    GroupStep(MapDocument *doc, const QString &name, QUndoCommand *parent = nullptr);
    ~GroupStep() override;

    // Takes a step that has just been done.
    void append(EditCommand *done);
    int stepCount() const { return int(m_steps.size()); }
    // Undoes and deletes the steps after the first `count`.
    void undoBack(int count);

    bool isNoOp() const override { return m_steps.empty(); }
    bool changesFile() const override;
    qint64 byteCost() const override;
    EditCommand *takeOver(QUndoCommand *parent) override;

protected:
    void undoStep() override;
    void redoStep() override;

private:
    std::vector<std::unique_ptr<EditCommand>> m_steps;
    bool m_done = true; // the steps are done as they come
};

} // namespace vor4
