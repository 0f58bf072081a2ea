#pragma once
// Replaces the text of one team or player slot.

#include "EditCommand.h"
#include "LineCheck.h"
#include "MapDocument.h"

#include <QByteArray>

namespace vor4 {

class SetSlotText : public EditCommand
{
public:
    // kind is SectionKind::Team or SectionKind::Player; slot must exist.
    SetSlotText(MapDocument *doc, SectionKind kind, int slot, const QByteArray &text, const QString &name,
                QUndoCommand *parent = nullptr);

    bool isNoOp() const override;
    QString refusal() const override { return refusedText(m_text, TextPlace::Section); }
    qint64 byteCost() const override { return EditCommand::byteCost() + m_text.size(); }
    EditCommand *takeOver(QUndoCommand *parent) override;

protected:
    void undoStep() override { swap(); }
    void redoStep() override { swap(); }

private:
    QList<QByteArray> &slotList() const;
    void swap();

    SectionKind m_kind;
    int m_slot;
    QByteArray m_text; // the text not in the document
};

} // namespace vor4
