#include "TransformMap.h"

#include "Document.h"
#include "MapDocument.h"

namespace vor4 {

TransformMap::TransformMap(MapDocument *doc, const QString &text, QUndoCommand *parent)
    : EditCommand(doc, text, parent)
{
}

TransformMap::TransformMap(MapDocument *doc, const MapTransform &transform, QUndoCommand *parent)
    : EditCommand(doc, transform.name(), parent)
    , m_transform(transform)
{
    const Document &d = doc->document();
    const MapTransform::Marks marks = transform.marksAfter(d);
    m_slots = marks.playerSlots;
    m_playersAfter = marks.playerTexts;
    for (int slot : m_slots)
        m_playersBefore << d.PlayerTexts[slot];
    m_signsChange = marks.signsChanged;
    if (m_signsChange) {
        m_signsBefore = d.SignTexts;
        m_signsAfter = marks.signTexts;
    }
    m_removalNote = marks.removalNote();
    m_riverCells = marks.riverCells;
    m_riversBefore = marks.riverTextsBefore;
    m_riversAfter = marks.riverTextsAfter;

    const QSize grid = transform.gridBefore();
    if (transform.kind() == MapTransform::Resize) {
        const PlotTable &plots = d.PlotTexts;
        for (int row = 0; row < grid.height(); ++row) {
            for (int col = 0; col < grid.width(); ++col) {
                const QByteArrayView text = plots.view(col, row);
                if (text.isEmpty() || transform.cellAfter(QPoint(col, row)))
                    continue;
                m_dropped.push_back({col, row, quint32(m_droppedTexts.size()), quint32(text.size())});
                m_droppedTexts.append(text.data(), text.size());
            }
        }
        m_identity = transform.gridAfter() == grid && transform.fileOffset().isNull();
    } else {
        const QRect a = transform.area();
        switch (transform.kind()) {
        case MapTransform::FlipHorizontal: m_identity = a.width() <= 1; break;
        case MapTransform::FlipVertical: m_identity = a.height() <= 1; break;
        default: m_identity = a.width() <= 1 && a.height() <= 1; break;
        }
    }
}

bool TransformMap::isNoOp() const
{
    return m_identity && m_slots.isEmpty() && !m_signsChange && m_riverCells.isEmpty();
}

qint64 TransformMap::byteCost() const
{
    qint64 bytes = EditCommand::byteCost() + qint64(m_dropped.capacity() * sizeof(Dropped))
        + m_droppedTexts.capacity();
    bytes += m_riverCells.size() * qint64(sizeof(QPoint));
    for (const QList<QByteArray> *list :
         {&m_playersBefore, &m_playersAfter, &m_signsBefore, &m_signsAfter, &m_riversBefore, &m_riversAfter})
        for (const QByteArray &t : *list)
            bytes += t.size() + 24;
    return bytes;
}

EditCommand *TransformMap::takeOver(QUndoCommand *parent)
{
    auto *c = new TransformMap(m_doc, text(), parent);
    c->m_transform = m_transform;
    c->m_identity = m_identity;
    c->m_slots.swap(m_slots);
    c->m_playersBefore.swap(m_playersBefore);
    c->m_playersAfter.swap(m_playersAfter);
    c->m_signsChange = m_signsChange;
    c->m_signsBefore.swap(m_signsBefore);
    c->m_signsAfter.swap(m_signsAfter);
    c->m_removalNote = m_removalNote;
    c->m_riverCells.swap(m_riverCells);
    c->m_riversBefore.swap(m_riversBefore);
    c->m_riversAfter.swap(m_riversAfter);
    c->m_dropped.swap(m_dropped);
    c->m_droppedTexts.swap(m_droppedTexts);
    return c;
}

void TransformMap::redoStep()
{
    m_transform.applyTo(target().PlotTexts);
    setRivers(true);
    setMarks(true);
    announce();
}

void TransformMap::undoStep()
{
    setRivers(false);
    PlotTable &plots = target().PlotTexts;
    m_transform.inverse().applyTo(plots);
    for (const Dropped &d : m_dropped)
        plots.setText(d.col, d.row, QByteArrayView(m_droppedTexts.constData() + d.offset, d.length));
    setMarks(false);
    announce();
}

void TransformMap::setMarks(bool after)
{
    Document &doc = target();
    const QList<QByteArray> &players = after ? m_playersAfter : m_playersBefore;
    for (qsizetype i = 0; i < m_slots.size(); ++i)
        doc.PlayerTexts[m_slots[i]] = players[i];
    if (m_signsChange)
        doc.SignTexts = after ? m_signsAfter : m_signsBefore;
}

void TransformMap::setRivers(bool after)
{
    PlotTable &plots = target().PlotTexts;
    const QList<QByteArray> &texts = after ? m_riversAfter : m_riversBefore;
    for (qsizetype i = 0; i < m_riverCells.size(); ++i)
        plots.setText(m_riverCells[i].x(), m_riverCells[i].y(), texts[i]);
}

void TransformMap::announce()
{
    Document &doc = target();
    MapDocument *md = mapDocument();
    if (m_transform.gridBefore() != m_transform.gridAfter() || m_transform.kind() == MapTransform::Resize) {
        // A new grid: the windows take its size and paint every plot anew.
        doc.hasSize = true;
        Q_EMIT md->documentReplaced();
    } else {
        // Rivers may move onto the plots just outside the area.
        QRect a = m_transform.area();
        for (const QPoint &cell : m_riverCells)
            a |= QRect(cell, QSize(1, 1));
        Q_EMIT md->plotsChanged(QRegion(a));
    }
    for (int slot : m_slots)
        Q_EMIT md->sectionChanged(SectionKind::Player, slot);
    if (m_signsChange)
        Q_EMIT md->sectionChanged(SectionKind::Signs, -1);
}

} // namespace vor4
