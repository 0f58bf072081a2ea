#pragma once
// Dialogs for window benchmarks: Open always answers one file; a message
// means the benchmark went wrong.

#include "Dialogs.h"

class AnswerDialogs : public Dialogs
{
public:
    explicit AnswerDialogs(QString path) : m_path(std::move(path)) {}
    QString openFileName(QWidget *, const QString &, const QString &) override { return m_path; }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    void error(QWidget *, const QString &text) override { qFatal("%s", qPrintable(text)); }
    SaveChoice askSaveChanges(QWidget *, const QString &) override { return SaveChoice::Discard; }
    bool ask(QWidget *, const QString &) override { return false; }
    QString text(QWidget *, const QString &) override { return {}; }

private:
    QString m_path;
};
