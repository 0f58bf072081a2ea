#include "EditOperations.h"

#include "Fill.h"
#include "MapDocument.h"
#include "SetPlotTexts.h"

namespace vor4 {

namespace {

QString latin1(QByteArrayView text)
{
    return QString::fromLatin1(text.data(), text.size());
}

EditOperations::Result refusal(const QString &message)
{
    return {false, 0, message};
}

} // namespace

QString EditOperations::stepName(const PaintRule &rule, Action action, const QString &verb)
{
    if (action == Take)
        return QStringLiteral("Erase %1 on %2 plots").arg(latin1(rule.key()), QStringLiteral("%1"));
    return verb + QLatin1Char(' ') + latin1(rule.line()) + QStringLiteral(" on %1 plots");
}

void EditOperations::addCell(SetPlotTexts *step, const PaintRule &rule, Action action, int col, int row)
{
    const QByteArrayView text = step->mapDocument()->document().PlotTexts.view(col, row);
    const std::optional<QByteArray> changed = action == Put ? rule.paint(text) : rule.erase(text);
    if (changed)
        step->add(col, row, *changed);
}

EditOperations::Result EditOperations::push(MapDocument &doc, SetPlotTexts *step, const QString &name)
{
    const int plots = step->cellCount();
    QString error;
    if (!doc.push(step, &error) && !error.isEmpty())
        return refusal(error);
    return {true, plots, SetPlotTexts::nameFor(name, plots)};
}

EditOperations::Result EditOperations::apply(MapDocument &doc, const PaintRule &rule, Action action,
                                             const QRect &cells)
{
    if (action == Put ? !rule.canPaint() : !rule.isValid())
        return refusal(QStringLiteral("No brush value"));
    const QString name = stepName(rule, action);
    auto *step = new SetPlotTexts(&doc, name);
    const QRect r = cells & QRect(0, 0, doc.document().columnCount(), doc.document().rowCount());
    for (int row = r.top(); row <= r.bottom(); ++row)
        for (int col = r.left(); col <= r.right(); ++col)
            addCell(step, rule, action, col, row);
    return push(doc, step, name);
}

EditOperations::Result EditOperations::apply(MapDocument &doc, const PaintRule &rule, Action action,
                                             const QBitArray &mask, const QString &verb)
{
    if (action == Put ? !rule.canPaint() : !rule.isValid())
        return refusal(QStringLiteral("No brush value"));
    const QString name = stepName(rule, action, verb);
    auto *step = new SetPlotTexts(&doc, name);
    const int cols = doc.document().columnCount();
    const qsizetype cells = qMin(mask.size(), qsizetype(cols) * doc.document().rowCount());
    for (qsizetype i = 0; i < cells; ++i)
        if (mask.testBit(i))
            addCell(step, rule, action, int(i % cols), int(i / cols));
    return push(doc, step, name);
}

EditOperations::Result EditOperations::fill(MapDocument &doc, const PaintRule &rule, Action action, QPoint cell,
                                            bool wholeMap)
{
    const PlotTable &plots = doc.document().PlotTexts;
    if (!plots.contains(cell.x(), cell.y()))
        return refusal(QStringLiteral("The plot to fill from is outside the map"));
    if (!rule.isValid())
        return refusal(QStringLiteral("No brush value"));
    if (wholeMap || action == Take)
        return apply(doc, rule, action, wholeMap ? Fill::whole(plots) : Fill::region(plots, cell, rule.key()),
                     QStringLiteral("Fill"));
    // Every plot of the region has the pressed plot's value: either all of
    // them hold the line already, or none does.
    if (!rule.canPaint())
        return refusal(QStringLiteral("No brush value"));
    const QString name = stepName(rule, Put, QStringLiteral("Fill"));
    if (rule.holds(plots.view(cell.x(), cell.y())))
        return {true, 0, SetPlotTexts::nameFor(name, 0)};
    const QBitArray mask = Fill::region(plots, cell, rule.key());
    auto *step = new SetPlotTexts(&doc, name);
    const int cols = plots.columnCount();
    for (qsizetype i = 0; i < mask.size(); ++i) {
        if (mask.testBit(i)) {
            const int col = int(i % cols), row = int(i / cols);
            step->add(col, row, PaintRule::putLine(plots.view(col, row), rule.key(), rule.line()));
        }
    }
    return push(doc, step, name);
}

EditOperations::Result EditOperations::replace(MapDocument &doc, QByteArrayView from, QByteArrayView to,
                                               const QRect &cells)
{
    const auto oneLine = [](QByteArrayView s) {
        return !s.contains('\r') && !s.contains('\n') && !s.contains('\0');
    };
    if (from.isEmpty())
        return refusal(QStringLiteral("The text to replace is empty"));
    if (!oneLine(from) || !oneLine(to))
        return refusal(QStringLiteral("Replace works within one line: its texts cannot hold a line break"));
    const QString name = QStringLiteral("Replace \"%1\" with \"%2\" in %3 plots")
                             .arg(latin1(from), latin1(to), QStringLiteral("%1"));
    auto *step = new SetPlotTexts(&doc, name);
    const PlotTable &plots = doc.document().PlotTexts;
    const QRect r = cells & QRect(0, 0, plots.columnCount(), plots.rowCount());
    for (int row = r.top(); row <= r.bottom(); ++row) {
        for (int col = r.left(); col <= r.right(); ++col) {
            const QByteArrayView text = plots.view(col, row);
            // Neither text holds a line break, so a match never spans one.
            if (text.indexOf(from) >= 0)
                step->add(col, row, text.toByteArray().replace(from, to));
        }
    }
    return push(doc, step, name);
}

} // namespace vor4
