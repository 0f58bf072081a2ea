#include "SetPlotTexts.h"

#include "MapDocument.h"

#include <QLocale>
#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace vor4 {

namespace {

// QByteArray::append takes the general insert path; a fill appends the
// texts of hundreds of thousands of plots.
void appendBytes(QByteArray &pool, QByteArrayView text)
{
    const qsizetype old = pool.size();
    pool.resize(old + text.size());
    if (!text.isEmpty())
        std::memcpy(pool.data() + old, text.data(), std::size_t(text.size()));
}

} // namespace

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
        appendBytes(m_pool, text);
    m_entries.push_back(e);
    m_bounds |= QRect(col, row, 1, 1);
    m_region = QRegion();
}

const QRegion &SetPlotTexts::region()
{
    if (!m_region.isEmpty() || m_entries.empty())
        return m_region;
    if (qint64(m_bounds.width()) * m_bounds.height() == qint64(m_entries.size())) {
        m_region = QRegion(m_bounds); // fills and pastes: one rectangle
        return m_region;
    }
    // Runs of cells along the rows, in the order QRegion keeps its bands;
    // built once, as undo and redo announce the same cells.
    std::vector<qint64> cells;
    cells.reserve(m_entries.size());
    for (const Entry &e : m_entries)
        cells.push_back((qint64(e.row) << 32) | quint32(e.col));
    std::sort(cells.begin(), cells.end());
    std::vector<QRect> runs;
    for (qint64 c : cells) {
        const int row = int(c >> 32);
        const int col = int(quint32(c));
        if (!runs.empty() && runs.back().top() == row && runs.back().right() + 1 >= col)
            runs.back().setRight(qMax(col, runs.back().right()));
        else
            runs.emplace_back(col, row, 1, 1);
    }
    m_region.setRects(runs.data(), int(runs.size()));
    return m_region;
}

void SetPlotTexts::add(int col, int row, QByteArrayView text)
{
    const PlotTable &plots = mapDocument()->document().PlotTexts;
    if (!plots.contains(col, row) || plots.view(col, row) == text)
        return;
    append(col, row, text);
    m_newBytes += text.size();
}

void SetPlotTexts::addCreated(int col, int row, QByteArrayView text)
{
    append(col, row, text);
    m_newBytes += text.size();
}

QString SetPlotTexts::nameFor(const QString &name, int count)
{
    // Only the last "%1" is the count: the rest of the name may quote a
    // user's text, which may hold "%1" itself.
    const qsizetype at = name.lastIndexOf(QLatin1String("%1"));
    if (at < 0)
        return name;
    QString rest = name.mid(at + 2);
    if (count == 1 && rest.startsWith(QLatin1String(" plots")))
        rest.remove(5, 1);
    return name.left(at) + QLocale(QLocale::English).toString(count) + rest;
}

void SetPlotTexts::rename()
{
    // Named once done rather than on each add: a fill adds a million cells.
    setText(nameFor(m_name, cellCount()));
}

bool SetPlotTexts::fits() const
{
    return target().PlotTexts.canTake(m_newBytes);
}

qint64 SetPlotTexts::byteCost() const
{
    return EditCommand::byteCost() + qint64(m_entries.capacity() * sizeof(Entry)) + m_pool.capacity()
        + qint64(m_cellIndex.bucket_count() * sizeof(void *) + m_cellIndex.size() * 2 * sizeof(qint64));
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
    // The cell index lives as long as the stroke goes on, so each merge
    // costs only its own cells.
    const auto key = [](const Entry &e) { return (qint64(e.col) << 32) | quint32(e.row); };
    if (m_cellIndex.empty()) {
        m_cellIndex.reserve(m_entries.size() + next->m_entries.size());
        for (const Entry &e : m_entries)
            m_cellIndex.insert(key(e));
    }
    for (const Entry &e : next->m_entries)
        if (m_cellIndex.insert(key(e)).second)
            append(e.col, e.row, next->textOf(e));
    m_newBytes += next->m_newBytes;
    rename();
    return true;
}

void SetPlotTexts::swap()
{
    rename();
    // An undo or redo ends any stroke this step was part of.
    std::unordered_set<qint64>().swap(m_cellIndex);
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
            appendBytes(other, now);
            plots.setText(e.col, e.row, textOf(e));
            e.offset = offset;
        }
        e.length = length;
        previous = &e;
    }
    m_pool.swap(other);
    m_pool.squeeze();
    Q_EMIT mapDocument()->plotsChanged(region());
}

} // namespace vor4
