#include "SetSectionLines.h"

namespace vor4 {

SetSectionLines::SetSectionLines(MapDocument *doc, SectionKind kind, const QList<QByteArray> &lines,
                                 const QString &name, QUndoCommand *parent)
    : EditCommand(doc, name, parent)
    , m_kind(kind)
    , m_lines(lines)
{
    Q_ASSERT(kind == SectionKind::Game || kind == SectionKind::Map);
}

QList<QByteArray> &SetSectionLines::store() const
{
    return m_kind == SectionKind::Game ? target().GameLines : target().MapLines;
}

bool SetSectionLines::isNoOp() const { return store() == m_lines; }

qint64 SetSectionLines::byteCost() const
{
    qint64 bytes = EditCommand::byteCost() + m_lines.size() * qint64(sizeof(QByteArray) + 24);
    for (const QByteArray &l : m_lines)
        bytes += l.size();
    return bytes;
}

EditCommand *SetSectionLines::takeOver(QUndoCommand *parent)
{
    auto *c = new SetSectionLines(m_doc, m_kind, {}, text(), parent);
    c->m_lines.swap(m_lines);
    return c;
}

void SetSectionLines::swap()
{
    store().swap(m_lines);
    Q_EMIT mapDocument()->sectionChanged(m_kind, -1);
}

} // namespace vor4
