#include "SetSlotText.h"

namespace vor4 {

SetSlotText::SetSlotText(MapDocument *doc, SectionKind kind, int slot, const QByteArray &text,
                         const QString &name, QUndoCommand *parent)
    : EditCommand(doc, name, parent)
    , m_kind(kind)
    , m_slot(slot)
    , m_text(text)
{
    Q_ASSERT(kind == SectionKind::Team || kind == SectionKind::Player);
}

QList<QByteArray> &SetSlotText::slotList() const
{
    return m_kind == SectionKind::Team ? target().TeamTexts : target().PlayerTexts;
}

bool SetSlotText::isNoOp() const
{
    return m_slot < 0 || m_slot >= slotList().size() || slotList()[m_slot] == m_text;
}

EditCommand *SetSlotText::takeOver(QUndoCommand *parent)
{
    auto *c = new SetSlotText(m_doc, m_kind, m_slot, {}, text(), parent);
    c->m_text.swap(m_text);
    return c;
}

void SetSlotText::swap()
{
    slotList()[m_slot].swap(m_text);
    Q_EMIT mapDocument()->sectionChanged(m_kind, m_slot);
}

} // namespace vor4
