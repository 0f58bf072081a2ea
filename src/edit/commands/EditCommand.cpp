#include "EditCommand.h"

#include "MapDocument.h"

#include <QMutexLocker>
#include <QSet>

namespace vor4 {

EditCommand::EditCommand(MapDocument *doc, const QString &text, QUndoCommand *parent)
    : QUndoCommand(shared(text), parent)
    , m_doc(doc)
{
}

QString EditCommand::shared(const QString &text)
{
    // Step texts are few ("Edit plot", "TerrainType changed", ...); the set
    // only grows by kinds of step, not by steps.
    static QSet<QString> texts;
    const auto it = texts.constFind(text);
    return it != texts.constEnd() ? *it : *texts.insert(text);
}

qint64 EditCommand::byteCost() const
{
    // The command object with Qt's own part of it, and its children.
    qint64 bytes = 160;
    for (int i = 0; i < childCount(); ++i)
        if (const auto *c = dynamic_cast<const EditCommand *>(child(i)))
            bytes += c->byteCost();
    return bytes;
}

void EditCommand::undo()
{
    if (replaying())
        return;
    QMutexLocker lock(&m_doc->m_writeLock);
    ++m_doc->m_stepping;
    undoStep();
    --m_doc->m_stepping;
}

void EditCommand::redo()
{
    if (replaying())
        return;
    QMutexLocker lock(&m_doc->m_writeLock);
    ++m_doc->m_stepping;
    redoStep();
    --m_doc->m_stepping;
}

bool EditCommand::replaying() const { return m_doc->isRebuildingHistory(); }

Document &EditCommand::target() const { return m_doc->m_doc; }

} // namespace vor4
