#pragma once
// The selected region as part of a step: a paste selects what it placed, a
// crop or resize leaves nothing selected, and their undo brings the old
// selection back.

#include "EditCommand.h"

#include <QRect>

namespace vor4 {

class ChangeSelection : public EditCommand
{
public:
    // The selection becomes `area` (empty: none).
    ChangeSelection(MapDocument *doc, const QRect &area, QUndoCommand *parent = nullptr);

    bool isNoOp() const override { return m_before == m_after; }
    EditCommand *takeOver(QUndoCommand *parent) override;

protected:
    void undoStep() override { set(m_before); }
    void redoStep() override { set(m_after); }

private:
    void set(const QRect &area);

    QRect m_before;
    QRect m_after;
};

} // namespace vor4
