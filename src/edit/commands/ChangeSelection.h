#pragma once
// The selected region as a step of the history: the select tool, Select all
// and Escape are steps of their own; a paste selects what it placed, a crop
// or resize leaves nothing selected. Undo brings the old selection back.
// Selecting alone leaves the document unmodified.

#include "EditCommand.h"

#include <QRegion>

namespace vor4 {

class ChangeSelection : public EditCommand
{
public:
    // The selection becomes `cells` (empty: none).
    ChangeSelection(MapDocument *doc, const QRegion &cells, QUndoCommand *parent = nullptr);

    bool isNoOp() const override { return m_before == m_after; }
    bool changesFile() const override { return false; }
    qint64 byteCost() const override;
    EditCommand *takeOver(QUndoCommand *parent) override;

protected:
    void undoStep() override { set(m_before); }
    void redoStep() override { set(m_after); }

private:
    void set(const QRegion &cells);

    QRegion m_before;
    QRegion m_after;
};

} // namespace vor4
