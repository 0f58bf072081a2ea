#include "SetPlotTexts.h"

#include "MapDocument.h"

#include <QLocale>
#include <unordered_set>

namespace vor4 {

SetPlotTexts::SetPlotTexts(MapDocument *doc, const QString &name, QUndoCommand *parent)
    : EditCommand(doc, name, parent)
    , m_name(name)
{
}

void SetPlotTexts::append(qint32 col, qint32 row, QByteArrayView text)
{
    // Strokes and fills write one text into many cells, and most of a map's
    // cells repeat their neighbour's text: equal neighbours share their bytes.
    Entry e{col, row, quint32(m_pool.size()), quint32(text.size())};
    if (!m_entries.empty() && textOf(m_entries.back()) == text)
        e.offset = m_entries.back().offset;
    else
        m_pool.append(text.data(), text.size());
    m_entries.push_back(e);
    m_bounds |= QRect(col, row, 1, 1);
}

void SetPlotTexts::add(int col, int row, QByteArrayView text)
{
    const PlotTable &plots = mapDocument()->document().PlotTexts;
    if (!plots.contains(col, row) || plots.view(col, row) == text)
        return;
    append(col, row, text);
    m_newBytes += text.size();
    rename();
}

void SetPlotTexts::rename()
{
    if (m_name.contains(QLatin1String("%1")))
        setText(m_name.arg(QLocale(QLocale::English).toString(cellCount())));
}

bool SetPlotTexts::fits() const
{
    return target().PlotTexts.canTake(m_newBytes);
}

qint64 SetPlotTexts::byteCost() const
{
    return EditCommand::byteCost() + qint64(m_entries.capacity() * sizeof(Entry)) + m_pool.capacity();
}

EditCommand *SetPlotTexts::takeOver(QUndoCommand *parent)
{
    auto *c = new SetPlotTexts(m_doc, m_name, parent);
    c->setText(text());
    c->m_entries.swap(m_entries);
    c->m_pool.swap(m_pool);
    c->m_newBytes = m_newBytes;
    c->m_bounds = m_bounds;
    c->m_mergeable = m_mergeable;
    return c;
}

int SetPlotTexts::id() const { return replaying() ? -1 : Id; }

bool SetPlotTexts::mergeWith(const QUndoCommand *other)
{
    const auto *next = static_cast<const SetPlotTexts *>(other);
    if (!next->m_mergeable || next->m_doc != m_doc)
        return false;
    // Both steps are done: this one holds the oldest text of its cells, the
    // next one the texts in between, which the merged step no longer needs.
    std::unordered_set<qint64> mine;
    mine.reserve(m_entries.size() + next->m_entries.size());
    const auto key = [](const Entry &e) { return (qint64(e.col) << 32) | quint32(e.row); };
    for (const Entry &e : m_entries)
        mine.insert(key(e));
    for (const Entry &e : next->m_entries)
        if (mine.insert(key(e)).second)
            append(e.col, e.row, next->textOf(e));
    m_newBytes += next->m_newBytes;
    rename();
    return true;
}

void SetPlotTexts::swap()
{
    if (m_entries.empty())
        return;
    PlotTable &plots = target().PlotTexts;
    QByteArray other;
    other.reserve(m_pool.size());
    const Entry *previous = nullptr;
    for (Entry &e : m_entries) {
        const QByteArrayView now = plots.view(e.col, e.row);
        const quint32 offset = quint32(other.size());
        const quint32 length = quint32(now.size());
        if (previous && previous->length == length
            && QByteArrayView(other.constData() + previous->offset, length) == now) {
            plots.setText(e.col, e.row, textOf(e));
            e.offset = previous->offset;
        } else {
            other.append(now.data(), now.size());
            plots.setText(e.col, e.row, textOf(e));
            e.offset = offset;
        }
        e.length = length;
        previous = &e;
    }
    m_pool.swap(other);
    m_pool.squeeze();
    Q_EMIT mapDocument()->plotsChanged(m_bounds, cellCount());
}

} // namespace vor4
