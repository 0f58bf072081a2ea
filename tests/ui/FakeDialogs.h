#pragma once
// Answers the editor's dialogs in tests: queued file names, recorded messages.

#include "Dialogs.h"

#include <QStringList>
#include <functional>

class FakeDialogs : public Dialogs
{
public:
    struct State
    {
        QStringList openAnswers;
        QStringList saveAnswers;
        QStringList messages;
        QString lastOpenFolder;
        QString lastSaveFolder;
        QString lastSaveProposal;
        QString lastFilter;
        std::function<void()> onMessage; // runs while a message is "on screen"
    };

    // Installs a fake and returns its state, valid until the next install.
    static State *install()
    {
        auto fake = std::make_unique<FakeDialogs>();
        State *state = &fake->m_state;
        Dialogs::setInstance(std::move(fake));
        return state;
    }

    QString openFileName(QWidget *, const QString &folder, const QString &filter) override
    {
        m_state.lastOpenFolder = folder;
        m_state.lastFilter = filter;
        return m_state.openAnswers.isEmpty() ? QString() : m_state.openAnswers.takeFirst();
    }
    QString saveFileName(QWidget *, const QString &folder, const QString &proposed, const QString &filter) override
    {
        m_state.lastSaveFolder = folder;
        m_state.lastSaveProposal = proposed;
        m_state.lastFilter = filter;
        return m_state.saveAnswers.isEmpty() ? QString() : m_state.saveAnswers.takeFirst();
    }
    void error(QWidget *, const QString &text) override
    {
        m_state.messages.append(text);
        if (m_state.onMessage)
            m_state.onMessage();
    }

private:
    State m_state;
};
