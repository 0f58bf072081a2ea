#include "SetPlotText.h"

#include "LineCheck.h"
#include "MapDocument.h"

namespace vor4 {

SetPlotText::SetPlotText(MapDocument *doc, const QString &text, QUndoCommand *parent)
    : EditCommand(doc, text, parent)
{
}

SetPlotText::SetPlotText(MapDocument *doc, int col, int row, QByteArrayView text, const QString &what,
                         QUndoCommand *parent)
    : EditCommand(doc, what, parent)
    , m_col(col)
    , m_row(row)
    , m_middle(text.toByteArray())
{
}

bool SetPlotText::isNoOp() const
{
    const PlotTable &plots = m_doc->document().PlotTexts;
    return m_fresh && (!plots.contains(m_col, m_row) || plots.view(m_col, m_row) == m_middle);
}

QString SetPlotText::name() const
{
    return QStringLiteral("%1 at (%2, %3)").arg(text()).arg(m_col).arg(m_row);
}

bool SetPlotText::fits() const
{
    return target().PlotTexts.canTake(qint64(m_head) + m_tail + m_middle.size());
}

QString SetPlotText::refusal() const
{
    return m_fresh ? refusedText(m_middle, TextPlace::Plot) : QString();
}

EditCommand *SetPlotText::takeOver(QUndoCommand *parent)
{
    auto *c = new SetPlotText(m_doc, text(), parent);
    c->m_col = m_col;
    c->m_row = m_row;
    c->m_head = m_head;
    c->m_tail = m_tail;
    c->m_middle.swap(m_middle);
    c->m_fresh = m_fresh;
    return c;
}

void SetPlotText::swap()
{
    PlotTable &plots = target().PlotTexts;
    const QByteArrayView now = plots.view(m_col, m_row);
    if (m_fresh) {
        const QByteArrayView text = m_middle;
        const qsizetype shorter = qMin(now.size(), text.size());
        qsizetype head = 0;
        while (head < shorter && now[head] == text[head])
            ++head;
        qsizetype tail = 0;
        while (tail < shorter - head && now[now.size() - 1 - tail] == text[text.size() - 1 - tail])
            ++tail;
        m_head = quint32(head);
        m_tail = quint32(tail);
        m_middle = m_middle.sliced(head, text.size() - head - tail);
        m_fresh = false;
    }
    QByteArray next;
    next.reserve(qsizetype(m_head) + m_middle.size() + m_tail);
    next.append(now.first(m_head));
    next.append(m_middle);
    next.append(now.last(m_tail));
    m_middle = now.sliced(m_head, now.size() - m_head - m_tail).toByteArray();
    plots.setText(m_col, m_row, next);
    Q_EMIT mapDocument()->plotsChanged(QRegion(m_col, m_row, 1, 1));
}

} // namespace vor4
