#include "ReplaceDocument.h"

#include "MapDocument.h"

#include <utility>

namespace vor4 {

ReplaceDocument::ReplaceDocument(MapDocument *doc, Document &&replacement, const QString &name,
                                 QUndoCommand *parent)
    : EditCommand(doc, name, parent)
    , m_other(std::move(replacement))
{
}

qint64 ReplaceDocument::byteCost() const
{
    const auto texts = [](const QList<QByteArray> &list) {
        qint64 n = 0;
        for (const QByteArray &t : list)
            n += t.size() + 24;
        return n;
    };
    return EditCommand::byteCost() + m_other.PlotTexts.poolSize()
        + qint64(m_other.columnCount()) * m_other.rowCount() * 8 + texts(m_other.GameLines)
        + texts(m_other.MapLines) + texts(m_other.TeamTexts) + texts(m_other.PlayerTexts)
        + texts(m_other.SignTexts);
}

EditCommand *ReplaceDocument::takeOver(QUndoCommand *parent)
{
    return new ReplaceDocument(m_doc, std::move(m_other), text(), parent);
}

void ReplaceDocument::swap()
{
    Document &doc = target();
    std::swap(doc, m_other);
    Q_EMIT mapDocument()->documentReplaced();
}

} // namespace vor4
