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
        QStringList informations; // shown with an information icon
        QString lastOpenFolder;
        QString lastSaveFolder;
        QString lastSaveProposal;
        QString lastFilter;
        std::function<void()> onMessage; // runs while a message is "on screen"
        // Answers to "Save changes to NAME?", in order; Cancel when none is left.
        QList<SaveChoice> saveChoices;
        QStringList saveQuestions; // the names asked about
        QList<bool> answers;       // to yes-or-no questions; no when none is left
        QStringList questions;
        QList<int> choices;        // to questions with buttons; the last button when none is left
        QStringList choiceQuestions;
        QStringList texts; // answers to requests for a line of text; cancelled when none is left
        QList<QStringList> choiceButtons;
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
    void information(QWidget *, const QString &text) override { m_state.informations.append(text); }
    SaveChoice askSaveChanges(QWidget *, const QString &name) override
    {
        m_state.saveQuestions.append(name);
        return m_state.saveChoices.isEmpty() ? SaveChoice::Cancel : m_state.saveChoices.takeFirst();
    }
    bool ask(QWidget *, const QString &question) override
    {
        m_state.questions.append(question);
        return !m_state.answers.isEmpty() && m_state.answers.takeFirst();
    }

    QString text(QWidget *, const QString &) override { return m_state.texts.isEmpty() ? QString() : m_state.texts.takeFirst(); }

    int choose(QWidget *, const QString &question, const QStringList &buttons) override
    {
        m_state.choiceQuestions.append(question);
        m_state.choiceButtons.append(buttons);
        return m_state.choices.isEmpty() ? int(buttons.size()) - 1 : m_state.choices.takeFirst();
    }

private:
    State m_state;
};
