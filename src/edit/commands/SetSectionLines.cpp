#include "SetSectionLines.h"

namespace vor4 {

SetSectionLines::SetSectionLines(MapDocument *doc, SectionKind kind, const QList<QByteArray> &lines,
                                 const QString &name, QUndoCommand *parent)
    : EditCommand(doc, name, parent)
    , m_kind(kind)
    , m_lines(lines)
{
    Q_ASSERT(kind == SectionKind::Game || kind == SectionKind::Map || kind == SectionKind::Signs);
}

QString SetSectionLines::refusal() const
{
    if (m_kind != SectionKind::Signs)
        return refusedLines(m_lines, TextPlace::Section);
    for (const QByteArray &sign : m_lines)
        if (QString why = refusedText(sign, TextPlace::Section); !why.isEmpty())
            return why;
    return {};
}

QList<QByteArray> &SetSectionLines::store() const
{
    switch (m_kind) {
    case SectionKind::Game: return target().GameLines;
    case SectionKind::Signs: return target().SignTexts;
    default: return target().MapLines;
    }
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
