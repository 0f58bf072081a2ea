#include "EditScript.h"

#include "EditOperations.h"
#include "MapDocument.h"
#include "PlotArea.h"

#include <iterator>

namespace vor4 {

namespace {

using Result = EditOperations::Result;

// Command-line texts are taken one character a byte, as the editor's text
// fields take them; a character beyond that has no place in a map file.
bool toBytes(const QString &text, QByteArray *out, QString *error)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xFF) {
            *error = QStringLiteral("\"%1\" holds a character that a map file cannot hold").arg(text);
            return false;
        }
    }
    *out = text.toLatin1();
    return true;
}

Result refusal(const QString &message) { return {false, 0, message}; }

QSize mapSize(const MapDocument &doc)
{
    return QSize(doc.document().columnCount(), doc.document().rowCount());
}

Result runPut(MapDocument &doc, const QStringList &operands)
{
    QByteArray line;
    QString error;
    if (!toBytes(operands[0], &line, &error))
        return refusal(error);
    const PaintRule rule = PaintRule::fromLine(line, &error);
    QRect cells;
    if (!rule.isValid() || !PlotArea::parse(operands[1]).cells(mapSize(doc), &cells, &error))
        return refusal(error);
    return EditOperations::apply(doc, rule, EditOperations::Put, cells);
}

Result runTake(MapDocument &doc, const QStringList &operands)
{
    QByteArray key;
    QString error;
    if (!toBytes(operands[0], &key, &error))
        return refusal(error);
    const PaintRule rule = PaintRule::fromKey(key, &error);
    QRect cells;
    if (!rule.isValid() || !PlotArea::parse(operands[1]).cells(mapSize(doc), &cells, &error))
        return refusal(error);
    return EditOperations::apply(doc, rule, EditOperations::Take, cells);
}

Result runFill(MapDocument &doc, const QStringList &operands)
{
    QByteArray line;
    QString error;
    if (!toBytes(operands[0], &line, &error))
        return refusal(error);
    const PaintRule rule = PaintRule::fromLine(line, &error);
    QRect cells;
    if (!rule.isValid() || !PlotArea::parsePlot(operands[1]).cells(mapSize(doc), &cells, &error))
        return refusal(error);
    return EditOperations::fill(doc, rule, EditOperations::Put, cells.topLeft());
}

Result runReplace(MapDocument &doc, const QStringList &operands)
{
    QByteArray from, to;
    QString error;
    if (!toBytes(operands[0], &from, &error) || !toBytes(operands[1], &to, &error))
        return refusal(error);
    QRect cells;
    const PlotArea area = operands.size() > 2 ? PlotArea::parse(operands[2]) : PlotArea::all();
    if (!area.cells(mapSize(doc), &cells, &error))
        return refusal(error);
    return EditOperations::replace(doc, from, to, cells);
}

enum class Operand { Text, Area, Plot };

struct Operation
{
    const char *option;
    QList<Operand> operands;
    int optional; // how many of the last operands may be left out
    const char *synopsis;
    const char *help;
    Result (*run)(MapDocument &, const QStringList &);
};

const Operation Operations[] = {
    {"--put", {Operand::Text, Operand::Area}, 0, "--put LINE AREA",
     "put the plot line LINE into every plot of AREA: it\n"
     "replaces the first line that holds LINE's key (the text\n"
     "before its \"=\", letter case ignored) or is appended",
     runPut},
    {"--take", {Operand::Text, Operand::Area}, 0, "--take KEY AREA",
     "delete the first line that holds KEY (letter case\n"
     "ignored) from every plot of AREA",
     runTake},
    {"--fill", {Operand::Text, Operand::Plot}, 0, "--fill LINE X,Y",
     "put LINE into the region around plot X,Y: the plots\n"
     "reached through their sides whose first line holding\n"
     "LINE's key, trimmed, equals that of X,Y (a plot without\n"
     "such a line matches one without)",
     runFill},
    {"--replace", {Operand::Text, Operand::Text, Operand::Area}, 1, "--replace OLD NEW [AREA]",
     "in every plot of AREA (default all), every occurrence\n"
     "of the text OLD becomes NEW (exact, letter case counts,\n"
     "never across a line break)",
     runReplace},
};

bool isOption(const QString &arg) { return arg.startsWith(QLatin1String("--")); }

} // namespace

bool EditScript::parse(const QStringList &args, QString *error)
{
    m_steps.clear();
    for (qsizetype i = 0; i < args.size();) {
        const QString &option = args[i];
        int row = -1;
        for (int r = 0; r < int(std::size(Operations)); ++r)
            if (option == QLatin1String(Operations[r].option))
                row = r;
        if (row < 0) {
            *error = isOption(option) ? QStringLiteral("unknown operation %1").arg(option)
                                      : QStringLiteral("\"%1\" is not an operation").arg(option);
            return false;
        }
        const Operation &op = Operations[row];
        Step step;
        step.operation = row;
        ++i;
        for (qsizetype k = 0; k < op.operands.size(); ++k, ++i) {
            const bool optional = k >= op.operands.size() - op.optional;
            if (i >= args.size() || (optional && isOption(args[i]))) {
                if (optional)
                    break;
                *error = QStringLiteral("%1 needs %2").arg(option, QString::fromLatin1(op.synopsis).section(QLatin1Char(' '), 1));
                return false;
            }
            const QString &arg = args[i];
            const Operand kind = op.operands[k];
            if (kind == Operand::Area && !PlotArea::parse(arg).isValid()) {
                *error = QStringLiteral("%1: \"%2\" is not an area (X,Y or X1,Y1:X2,Y2 or all)").arg(option, arg);
                return false;
            }
            if (kind == Operand::Plot && !PlotArea::parsePlot(arg).isValid()) {
                *error = QStringLiteral("%1: \"%2\" is not a plot (X,Y)").arg(option, arg);
                return false;
            }
            step.operands << arg;
        }
        m_steps << step;
    }
    if (m_steps.isEmpty()) {
        *error = QStringLiteral("no operation given");
        return false;
    }
    return true;
}

bool EditScript::run(MapDocument &doc, QStringList *log, QString *error) const
{
    for (const Step &step : m_steps) {
        const Operation &op = Operations[step.operation];
        const Result result = op.run(doc, step.operands);
        if (!result.ok) {
            *error = QLatin1String(op.option) + QStringLiteral(": ") + result.message;
            return false;
        }
        if (log)
            *log << result.message;
    }
    return true;
}

QString EditScript::synopsis(const QString &first, const QString &indent)
{
    QString text;
    for (const Operation &op : Operations)
        text += (text.isEmpty() ? first : indent) + QLatin1String(op.synopsis) + QLatin1Char('\n');
    return text;
}

QString EditScript::help(const QString &optionIndent, const QString &textIndent)
{
    QString text;
    for (const Operation &op : Operations) {
        text += optionIndent + QLatin1String(op.synopsis) + QLatin1Char('\n');
        for (const QString &line : QString::fromLatin1(op.help).split(QLatin1Char('\n')))
            text += textIndent + line + QLatin1Char('\n');
    }
    return text;
}

} // namespace vor4
