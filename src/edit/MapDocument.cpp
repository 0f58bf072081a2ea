#include "MapDocument.h"

#include "EditCommand.h"
#include "GroupStep.h"

#include <QMutexLocker>

#include <utility>
#include <vector>

namespace vor4 {

MapDocument::MapDocument(QObject *parent)
    : QObject(parent)
{
    connect(&m_stack, &QUndoStack::cleanChanged, this, &MapDocument::updateModified);
    connect(&m_stack, &QUndoStack::indexChanged, this, &MapDocument::updateModified);
    // A new or resized grid keeps only the part of the selection inside it.
    connect(this, &MapDocument::documentReplaced, this, [this] {
        m_selection.setRegion(m_selection.region(), QSize(m_doc.columnCount(), m_doc.rowCount()));
    });
}

MapDocument::~MapDocument()
{
    delete m_group;
    // The steps refer to this document; they go before it does.
    m_stack.clear();
}

bool MapDocument::isModified() const
{
    const int clean = m_stack.cleanIndex();
    if (clean < 0)
        return true;
    // Only the steps between the saved state and now count.
    for (int i = qMin(clean, m_stack.index()); i < qMax(clean, m_stack.index()); ++i)
        if (static_cast<const EditCommand *>(m_stack.command(i))->changesFile())
            return true;
    return false;
}

void MapDocument::updateModified()
{
    if (m_rebuilding || isModified() == m_modified)
        return;
    m_modified = !m_modified;
    Q_EMIT modifiedChanged(m_modified);
}

bool MapDocument::push(EditCommand *command, QString *error)
{
    if (command->isNoOp()) {
        delete command;
        return false;
    }
    if (!command->fits()) {
        delete command;
        if (error)
            *error = QStringLiteral("The change is too large: the plot texts of a map are limited to 4 GiB");
        return false;
    }
    if (const QString why = command->refusal(); !why.isEmpty()) {
        delete command;
        if (error)
            *error = why + QStringLiteral(". Nothing was stored.");
        return false;
    }
    m_recording = true;
    if (m_group) {
        command->redo();
        m_group->append(command);
        m_recording = false;
        return true;
    }
    m_stack.push(command);
    m_recording = false;
    if (!m_keepsHistory)
        m_stack.clear();
    trimHistory();
    return true;
}

void MapDocument::beginGroup(const QString &name)
{
    if (!m_group)
        m_group = new GroupStep(this, name);
    m_groupMarks << m_group->stepCount();
}

bool MapDocument::endGroup()
{
    if (m_groupMarks.isEmpty())
        return false;
    m_groupMarks.removeLast();
    if (!m_groupMarks.isEmpty())
        return false;
    GroupStep *group = std::exchange(m_group, nullptr);
    if (group->isNoOp()) {
        delete group;
        return false;
    }
    // Its steps are done: the first redo, from the push, does nothing.
    m_recording = true;
    m_stack.push(group);
    m_recording = false;
    if (!m_keepsHistory)
        m_stack.clear();
    trimHistory();
    return true;
}

void MapDocument::cancelGroup()
{
    if (m_groupMarks.isEmpty())
        return;
    m_group->undoBack(m_groupMarks.takeLast());
    if (m_groupMarks.isEmpty())
        delete std::exchange(m_group, nullptr);
}

MapDocument::Group::Group(MapDocument &doc, const QString &name)
    : m_doc(&doc)
{
    doc.beginGroup(name);
}

MapDocument::Group::~Group()
{
    if (m_open)
        m_doc->endGroup();
}

bool MapDocument::Group::end()
{
    if (!std::exchange(m_open, false))
        return false;
    return m_doc->endGroup();
}

void MapDocument::Group::cancel()
{
    if (std::exchange(m_open, false))
        m_doc->cancelGroup();
}

void MapDocument::setHistoryBudget(qint64 bytes)
{
    m_budget = bytes;
    trimHistory();
}

qint64 MapDocument::historyBytes() const
{
    qint64 bytes = 0;
    for (int i = 0; i < m_stack.count(); ++i)
        bytes += static_cast<const EditCommand *>(m_stack.command(i))->byteCost();
    return bytes;
}

void MapDocument::trimHistory()
{
    // QUndoStack drops old steps only by count, and only on an empty stack:
    // over the budget, the history is rebuilt from the steps that stay.
    const int count = m_stack.count();
    if (m_budget <= 0 || count < 2)
        return;
    std::vector<qint64> costs(std::size_t(count), 0);
    qint64 total = 0;
    for (int i = 0; i < count; ++i)
        total += costs[std::size_t(i)] = static_cast<const EditCommand *>(m_stack.command(i))->byteCost();
    int drop = 0;
    // The newest step always stays; only done steps can be dropped.
    const int maxDrop = qMin(count - 1, m_stack.index());
    while (total > m_budget && drop < maxDrop)
        total -= costs[std::size_t(drop++)];
    if (drop == 0)
        return;

    std::vector<EditCommand *> kept;
    for (int i = drop; i < count; ++i)
        kept.push_back(const_cast<EditCommand *>(static_cast<const EditCommand *>(m_stack.command(i)))->takeOver());
    const int index = m_stack.index() - drop;
    const int clean = m_stack.cleanIndex() < drop ? -1 : m_stack.cleanIndex() - drop;

    m_rebuilding = true;
    m_stack.clear();
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (int(i) == clean)
            m_stack.setClean();
        m_stack.push(kept[i]);
    }
    if (clean == int(kept.size()))
        m_stack.setClean();
    m_stack.setIndex(index);
    if (clean < 0)
        m_stack.resetClean();
    m_rebuilding = false;
    updateModified();
}

Document MapDocument::snapshot() const
{
    // Edits wait while the copy is made: its memory is made ready first, so
    // that only the copying itself happens under the lock.
    PlotTable::CopySize size;
    {
        QMutexLocker lock(&m_writeLock);
        size = m_doc.PlotTexts.copySize();
    }
    PlotTable plots;
    plots.prepareCopy(size);
    QMutexLocker lock(&m_writeLock);
    return m_doc.deepCopy(std::move(plots));
}

void MapDocument::setFileName(const QString &path)
{
    QMutexLocker lock(&m_writeLock);
    m_doc.FileName = path;
}

void MapDocument::reset(int width, int height)
{
    m_stack.clear();
    QMutexLocker lock(&m_writeLock);
    m_doc.ResetDocument(width, height);
    lock.unlock();
    Q_EMIT documentReplaced();
}

void MapDocument::adopt(Document &&loaded)
{
    m_stack.clear();
    {
        QMutexLocker lock(&m_writeLock);
        std::swap(m_doc, loaded);
    }
    loaded = Document(); // the old stores go outside the lock
    m_stack.setClean();
    Q_EMIT documentReplaced();
}

LoadResult MapDocument::load(const QString &path, const LoadProgress &progress)
{
    // Only part of a file that fails is read: no name to save it back to.
    Document loaded;
    const LoadResult result = loadMapFile(path, loaded, progress);
    adopt(std::move(loaded));
    return result;
}

} // namespace vor4
