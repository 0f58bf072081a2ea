#pragma once
// The editor's command line: vor4-map-editor [FILE], --help and --version.

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

class EditorCommandLine
{
public:
    enum Request { StartEditor, ShowHelp, ShowVersion, WrongCall };

    // The arguments start with the program's name, as QCoreApplication gives them.
    explicit EditorCommandLine(const QStringList &arguments);

    Request request() const { return m_request; }
    // The map to open after start-up; empty for none.
    QString file() const { return m_file; }
    QString errorText() const { return m_error; }

    // Prints the help, the version or the reason of a wrong call with the
    // help (needs an application object); the exit status: 0, or 2 for a
    // wrong call.
    int answer();

private:
    QCommandLineParser m_parser;
    Request m_request = StartEditor;
    QString m_file;
    QString m_error;
};
