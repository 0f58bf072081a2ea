#include "GroupStep.h"

#include <utility>

namespace vor4 {

GroupStep::GroupStep(MapDocument *doc, const QString &name, QUndoCommand *parent)
    : EditCommand(doc, QString(), parent)
{
    // A group's name may hold a count ("Replace 1,234 plots"): not one of
    // the few shared step texts.
    setText(name);
}

GroupStep::~GroupStep()
{
    // The newest step goes first, as its texts may refer to older ones.
    while (!m_steps.empty())
        m_steps.pop_back();
}

void GroupStep::append(EditCommand *done) { m_steps.emplace_back(done); }

void GroupStep::undoBack(int count)
{
    while (int(m_steps.size()) > count) {
        m_steps.back()->undo();
        m_steps.pop_back();
    }
}

bool GroupStep::changesFile() const
{
    for (const auto &step : m_steps)
        if (step->changesFile())
            return true;
    return false;
}

qint64 GroupStep::byteCost() const
{
    qint64 bytes = EditCommand::byteCost();
    for (const auto &step : m_steps)
        bytes += step->byteCost();
    return bytes;
}

EditCommand *GroupStep::takeOver(QUndoCommand *parent)
{
    auto *group = new GroupStep(m_doc, text(), parent);
    group->m_steps = std::move(m_steps);
    group->m_done = false;
    return group;
}

void GroupStep::undoStep()
{
    m_done = false;
    for (auto it = m_steps.rbegin(); it != m_steps.rend(); ++it)
        (*it)->undo();
}

void GroupStep::redoStep()
{
    if (std::exchange(m_done, false))
        return;
    for (const auto &step : m_steps)
        step->redo();
}

} // namespace vor4
