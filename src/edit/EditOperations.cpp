#include "EditOperations.h"

#include "Fill.h"
#include "LineCheck.h"
#include "MapDocument.h"
#include "SetPlotTable.h"
#include "SetPlotTexts.h"

#include <stdexcept>

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

// Most of a big map changes: one pass writes the whole table anew, which
// costs about what writing the file once does.
bool worthRewriting(qsizetype cells, const PlotTable &plots)
{
    const qsizetype all = qsizetype(plots.columnCount()) * plots.rowCount();
    return all >= 4096 && cells * 2 >= all;
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

EditOperations::Result EditOperations::rewrite(MapDocument &doc, const PaintRule &rule, Action action,
                                               const QRect &cells, const QBitArray *mask, const QString &name)
{
    const PlotTable &plots = doc.document().PlotTexts;
    const int cols = plots.columnCount(), rows = plots.rowCount();
    PlotTable fresh;
    fresh.resize(cols, rows);
    fresh.reservePool(plots.poolSize() + plots.poolSize() / 8);
    QByteArray scratch;
    int changed = 0;
    int left = cols, top = rows, right = -1, bottom = -1;
    const auto visit = [&](int col, int row) {
        const QByteArrayView text = plots.view(col, row);
        const bool inside = mask ? mask->testBit(qsizetype(row) * cols + col) : cells.contains(col, row);
        if (inside && (action == Take || !rule.holds(text))) {
            const qsizetype room = PaintRule::room(text, rule.line());
            if (scratch.size() < room)
                scratch.resize(room);
            bool found = true;
            const qsizetype n = action == Put ? PaintRule::putLineTo(scratch.data(), text, rule.key(), rule.line())
                                              : PaintRule::takeKeyTo(scratch.data(), text, rule.key(), &found);
            const QByteArrayView next(scratch.constData(), n);
            if (found && next != text) {
                fresh.setText(col, row, next);
                ++changed;
                left = qMin(left, col), right = qMax(right, col);
                top = qMin(top, row), bottom = qMax(bottom, row);
                return;
            }
        }
        fresh.setText(col, row, text);
    };
    try {
        // In the order the texts lie in memory: the pass reads it straight through.
        if (plots.storedByColumn(QRect(0, 0, cols, rows))) {
            for (int col = 0; col < cols; ++col)
                for (int row = 0; row < rows; ++row)
                    visit(col, row);
        } else {
            for (int row = 0; row < rows; ++row)
                for (int col = 0; col < cols; ++col)
                    visit(col, row);
        }
    } catch (const std::length_error &) {
        return refusal(QStringLiteral("The change is too large: the plot texts of a map are limited to 4 GiB"));
    }
    const QString done = SetPlotTexts::nameFor(name, changed);
    QString error;
    if (changed > 0
        && !doc.push(new SetPlotTable(&doc, std::move(fresh), QRect(QPoint(left, top), QPoint(right, bottom)),
                                      changed, done),
                     &error)
        && !error.isEmpty())
        return refusal(error);
    return {true, changed, done};
}

EditOperations::Result EditOperations::apply(MapDocument &doc, const PaintRule &rule, Action action,
                                             const QRect &cells)
{
    if (action == Put ? !rule.canPaint() : !rule.isValid())
        return refusal(QStringLiteral("No brush value"));
    const QString name = stepName(rule, action);
    const QRect inside = cells & QRect(0, 0, doc.document().columnCount(), doc.document().rowCount());
    if (worthRewriting(qsizetype(inside.width()) * inside.height(), doc.document().PlotTexts))
        return rewrite(doc, rule, action, inside, nullptr, name);
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
    if (worthRewriting(mask.count(true), doc.document().PlotTexts))
        return rewrite(doc, rule, action, QRect(), &mask, name);
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
    if (worthRewriting(mask.count(true), plots))
        return rewrite(doc, rule, Put, QRect(), &mask, name);
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
            if (text.indexOf(from) < 0)
                continue;
            const QByteArray changed = text.toByteArray().replace(from, to);
            if (const QString refused = refusedText(changed, TextPlace::Plot); !refused.isEmpty()) {
                delete step;
                return refusal(refused + QStringLiteral(" (in plot %1,%2). Nothing was replaced.")
                                             .arg(col)
                                             .arg(doc.document().fileY(row)));
            }
            step->add(col, row, changed);
        }
    }
    return push(doc, step, name);
}

} // namespace vor4
