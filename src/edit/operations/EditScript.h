#pragma once
// A list of edit operations as a command line gives them ("--put LINE AREA
// --fill LINE X,Y ..."), run in order on a MapDocument. Each operation is
// one row of a table: its option, its operands and a function that runs
// it, so that a new operation is a new row.

#include <QList>
#include <QString>
#include <QStringList>

namespace vor4 {

class MapDocument;

class EditScript
{
public:
    // Reads the operations. False, with *error saying why, for a wrong call:
    // an unknown option, a missing operand, a malformed plot or area.
    bool parse(const QStringList &args, QString *error);
    bool isEmpty() const { return m_steps.isEmpty(); }

    // Runs the operations in order and stops at the first that cannot be
    // done (*error says why, naming the operation). *log gets one line per
    // operation done, the name of its step; *notes, when given, what else
    // the user should know (start positions and signs a resize removed).
    bool run(MapDocument &doc, QStringList *log, QString *error, QStringList *notes = nullptr) const;

    // The operations for a usage text: one synopsis a line, the first line
    // after `first`, the others after `indent`; and each synopsis followed
    // by its explanation.
    static QString synopsis(const QString &first, const QString &indent);
    static QString help(const QString &optionIndent, const QString &textIndent);

private:
    struct Step
    {
        int operation = 0; // row of the table
        QStringList operands;
    };
    QList<Step> m_steps;
};

} // namespace vor4
