#include "EditOperations.h"

#include "Fill.h"
#include "LineCheck.h"
#include "MapDocument.h"
#include "SetPlotTable.h"
#include "SetPlotTexts.h"

#include <QStringList>

#include <stdexcept>
#include <vector>

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

// Why a replacement may not change the text so: it makes a line open or
// close a sub-block (BeginUnit, EndUnit), or stop doing so, which moves
// lines into or out of a unit. Both texts have the same lines.
QString changedSubBlock(QByteArrayView before, QByteArrayView after)
{
    const QList<QByteArray> old = splitLines(before), now = splitLines(after);
    for (qsizetype i = 0; i < qMin(old.size(), now.size()); ++i)
        if (PaintRule::subBlockLine(old[i]) != PaintRule::subBlockLine(now[i]))
            return QStringLiteral("The line %1 would become %2, which %3 a sub-block such as a unit (BeginUnit ... "
                                  "EndUnit)")
                .arg(quotedLine(old[i]), quotedLine(now[i]),
                     PaintRule::subBlockLine(now[i]) != 0 ? QStringLiteral("opens or closes")
                                                          : QStringLiteral("no longer opens or closes"));
    return {};
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
    Stage stage{rule, action, cells, mask, name};
    return rewrite(doc, &stage, 1);
}

EditOperations::Result EditOperations::rewrite(MapDocument &doc, Stage *stages, int count)
{
    const PlotTable &plots = doc.document().PlotTexts;
    const int cols = plots.columnCount(), rows = plots.rowCount();
    PlotTable fresh;
    fresh.resize(cols, rows);
    fresh.reservePool(plots.poolSize() + plots.poolSize() / 8);
    // A stage reads what the one before it wrote: each writes into its own.
    std::vector<QByteArray> scratch(static_cast<std::size_t>(count));
    int changed = 0;
    int left = cols, top = rows, right = -1, bottom = -1;
    const auto visit = [&](int col, int row) {
        const QByteArrayView text = plots.view(col, row);
        QByteArrayView now = text;
        for (int s = 0; s < count; ++s) {
            Stage &stage = stages[s];
            if (!(stage.mask ? stage.mask->testBit(qsizetype(row) * cols + col) : stage.cells.contains(col, row)))
                continue;
            QByteArray &out = scratch[std::size_t(s)];
            const qsizetype room = PaintRule::room(now, stage.rule.line());
            if (out.size() < room)
                out.resize(room);
            // A plot that holds the line already keeps its text as it is.
            bool held = false;
            bool found = true;
            const qsizetype n = stage.action == Put
                                    ? PaintRule::putLineTo(out.data(), now, stage.rule.key(), stage.rule.line(), &held)
                                    : PaintRule::takeKeyTo(out.data(), now, stage.rule.key(), &found);
            const QByteArrayView next(out.constData(), n);
            // A put that finds no line to keep always changes the text.
            if (stage.action == Put ? !held : found && next != now) {
                now = next;
                ++stage.changed;
            }
        }
        fresh.setText(col, row, now);
        if (now.data() != text.data()) {
            ++changed;
            left = qMin(left, col), right = qMax(right, col);
            top = qMin(top, row), bottom = qMax(bottom, row);
        }
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
    QStringList names;
    for (int s = 0; s < count; ++s)
        names << SetPlotTexts::nameFor(stages[s].name, stages[s].changed);
    const QString done = names.last();
    QString error;
    if (changed > 0
        && !doc.push(new SetPlotTable(&doc, std::move(fresh), QRect(QPoint(left, top), QPoint(right, bottom)),
                                      changed, names.join(QStringLiteral(", then "))),
                     &error)
        && !error.isEmpty())
        return refusal(error);
    return {true, stages[count - 1].changed, done};
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

bool EditOperations::putThenFill(MapDocument &doc, const PaintRule &put, const QRect &cells, const PaintRule &fill,
                                 QPoint cell, Result *putResult, Result *fillResult)
{
    const PlotTable &plots = doc.document().PlotTexts;
    const QRect inside = cells & QRect(0, 0, plots.columnCount(), plots.rowCount());
    if (!put.canPaint() || !fill.canPaint() || !plots.contains(cell.x(), cell.y())
        || !worthRewriting(qsizetype(inside.width()) * inside.height(), plots))
        return false;
    // The fill's region is found on the values the put leaves.
    const auto valueAfterPut = [&](int col, int row) {
        const QByteArrayView text = plots.view(col, row);
        return inside.contains(col, row) ? PaintRule::valueAfterPut(text, fill.key(), put.key(), put.line())
                                         : PaintRule::valueOf(text, fill.key());
    };
    // As fill() does: a pressed plot that holds the line already fills nothing.
    QBitArray mask(qsizetype(plots.columnCount()) * plots.rowCount());
    if (valueAfterPut(cell.x(), cell.y()) != fill.line())
        mask = Fill::region(plots, cell, valueAfterPut);
    Stage stages[] = {{put, Put, inside, nullptr, stepName(put, Put)},
                      {fill, Put, QRect(), &mask, stepName(fill, Put, QStringLiteral("Fill"))}};
    if (!rewrite(doc, stages, 2).ok)
        return false;
    *putResult = {true, stages[0].changed, SetPlotTexts::nameFor(stages[0].name, stages[0].changed)};
    *fillResult = {true, stages[1].changed, SetPlotTexts::nameFor(stages[1].name, stages[1].changed)};
    return true;
}

EditOperations::Result EditOperations::replace(MapDocument &doc, QByteArrayView from, QByteArrayView to,
                                               const QRect &cells, const QBitArray &mask)
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
            if ((!mask.isEmpty() && !mask.testBit(qsizetype(row) * plots.columnCount() + col)) || text.indexOf(from) < 0)
                continue;
            const QByteArray changed = text.toByteArray().replace(from, to);
            QString refused = refusedText(changed, TextPlace::Plot);
            if (refused.isEmpty())
                refused = changedSubBlock(text, changed);
            if (!refused.isEmpty()) {
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
