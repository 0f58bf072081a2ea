#pragma once
// The modal dialogs of the editor behind one replaceable interface, so that
// tests can answer them without blocking.

#include <QStringList>
#include <memory>

class QWidget;

class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // Empty result: cancelled.
    virtual QString openFileName(QWidget *parent, const QString &folder, const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &folder, const QString &proposed,
                                 const QString &filter) = 0;
    virtual void error(QWidget *parent, const QString &text) = 0;
    // What a command did that the user should read, with an information
    // icon: it was done, nothing was refused.
    virtual void information(QWidget *parent, const QString &text);

    enum class SaveChoice { Save, Discard, Cancel };
    // "Save changes to NAME?" with Save, Discard and Cancel.
    virtual SaveChoice askSaveChanges(QWidget *parent, const QString &name) = 0;
    // A yes-or-no question; true for yes.
    virtual bool ask(QWidget *parent, const QString &question) = 0;
    // A line of text asked for; empty when cancelled.
    virtual QString text(QWidget *parent, const QString &label) = 0;
    // A question with its own buttons, the first the default; the index of
    // the one chosen, or the last when the dialog is closed without a choice
    // (which is all that dialogs without a screen answer).
    virtual int choose(QWidget *parent, const QString &question, const QStringList &buttons);

    // A message as a box shows it: cut at MaxMessage characters with "…".
    // A box lays out its whole text, and a message quoting a damaged file's
    // megabytes would hold the window for minutes.
    static constexpr qsizetype MaxMessage = 2000;
    static QString shown(const QString &text);

    // The dialogs every window uses; replaceable by tests.
    static Dialogs &instance();
    static void setInstance(std::unique_ptr<Dialogs> dialogs);
};
