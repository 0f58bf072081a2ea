#include "EditScript.h"

#include "EditOperations.h"
#include "FileTarget.h"
#include "LintFixes.h"
#include "MapTransform.h"
#include "MapDocument.h"
#include "PieceEdits.h"
#include "Symmetry.h"
#include "TextUtil.h"
#include "PlotArea.h"
#include "RegionEdits.h"
#include "SetPlotTexts.h"
#include "Transforms.h"

#include <QBitArray>
#include <QRegularExpression>
#include <iterator>
#include <optional>

namespace vor4 {

namespace {

using Result = EditOperations::Result;

// Command-line texts are taken one character a byte, as the editor's text
// fields take them; a character beyond that has no place in a map file.
bool toBytes(const QString &text, QByteArray *out, QString *error)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xFF) {
            *error = QStringLiteral("\"%1\" holds a character that a map file cannot hold").arg(shownValue(text));
            return false;
        }
    }
    *out = text.toLatin1();
    return true;
}

Result refusal(const QString &message) { return {false, 0, message}; }

// What one operation works with: the map, its operands, the block the last
// --copy took and the notes for standard error.
struct Context
{
    MapDocument &doc;
    const QStringList &operands;
    std::optional<PlotRegion> &copied;
    QStringList *notes;
    QBitArray &added; // the cells the last resize added, while no plot has moved since
};

QSize mapSize(const MapDocument &doc)
{
    return QSize(doc.document().columnCount(), doc.document().rowCount());
}

// The cells of an optional AREA operand (default all).
bool areaCells(Context &c, int at, QRect *cells, QString *error)
{
    if (c.operands.size() > at && c.operands[at].startsWith(QLatin1String("matching:"), Qt::CaseInsensitive)) {
        *error = QStringLiteral("a matching: area is for --put, --take and --replace; this operation needs a rectangle");
        return false;
    }
    const PlotArea area = c.operands.size() > at ? PlotArea::parse(c.operands[at]) : PlotArea::all();
    return area.cells(mapSize(c.doc), cells, error);
}

// The paint rule of the first operand, a line or (with `key`) a key, and
// the cells the second names, read by `parse`.
bool ruleAndCells(Context &c, bool key, PlotArea (*parse)(const QString &), PaintRule *rule, QRect *cells,
                  QString *error)
{
    QByteArray bytes;
    if (!toBytes(c.operands[0], &bytes, error))
        return false;
    *rule = key ? PaintRule::fromKey(bytes, error) : PaintRule::fromLine(bytes, error);
    return rule->isValid() && parse(c.operands[1]).cells(mapSize(c.doc), cells, error);
}

// An AREA "matching:TEXT": the plots whose text holds TEXT, letter case
// ignored, as a mask; false for any other area.
bool matchingMask(const Context &c, const QString &area, QBitArray *mask)
{
    if (!area.startsWith(QLatin1String("matching:"), Qt::CaseInsensitive))
        return false;
    const QByteArray text = area.mid(9).toLatin1();
    const PlotTable &plots = c.doc.document().PlotTexts;
    *mask = QBitArray(qsizetype(plots.columnCount()) * plots.rowCount());
    for (int row = 0; row < plots.rowCount(); ++row)
        for (int col = 0; col < plots.columnCount(); ++col)
            if (containsCi(plots.view(col, row), text))
                mask->setBit(qsizetype(row) * plots.columnCount() + col);
    return true;
}

// --put and --take: on a rectangle, or on the plots matching a text.
Result runPaint(Context &c, EditOperations::Action action)
{
    PaintRule rule;
    QRect cells;
    QString error;
    QBitArray mask;
    if (matchingMask(c, c.operands[1], &mask)) {
        QByteArray bytes;
        if (!toBytes(c.operands[0], &bytes, &error))
            return refusal(error);
        rule = action == EditOperations::Put ? PaintRule::fromLine(bytes, &error) : PaintRule::fromKey(bytes, &error);
        return rule.isValid() ? EditOperations::apply(c.doc, rule, action, mask) : refusal(error);
    }
    if (!ruleAndCells(c, action == EditOperations::Take, &PlotArea::parse, &rule, &cells, &error))
        return refusal(error);
    return EditOperations::apply(c.doc, rule, action, cells);
}

Result runPut(Context &c) { return runPaint(c, EditOperations::Put); }

// A --put and the --fill after it in one pass, when EditOperations::putThenFill
// takes them: a put over the whole map followed by a fill costs about one
// writing of the map instead of two.
bool runPutThenFill(Context &c, const QStringList &fillOperands, Result *put, Result *fill)
{
    PaintRule putRule, fillRule;
    QRect cells, at;
    QString error;
    Context f{c.doc, fillOperands, c.copied, c.notes, c.added};
    return ruleAndCells(c, false, &PlotArea::parse, &putRule, &cells, &error)
           && ruleAndCells(f, false, &PlotArea::parsePlot, &fillRule, &at, &error)
           && EditOperations::putThenFill(c.doc, putRule, cells, fillRule, at.topLeft(), put, fill);
}

Result runTake(Context &c) { return runPaint(c, EditOperations::Take); }

Result runFill(Context &c)
{
    PaintRule rule;
    QRect cells;
    QString error;
    if (!ruleAndCells(c, false, &PlotArea::parsePlot, &rule, &cells, &error))
        return refusal(error);
    return EditOperations::fill(c.doc, rule, EditOperations::Put, cells.topLeft());
}

Result runReplace(Context &c)
{
    QByteArray from, to;
    QString error;
    QRect cells;
    QBitArray mask;
    const bool matching = c.operands.size() > 2 && matchingMask(c, c.operands[2], &mask);
    if (!toBytes(c.operands[0], &from, &error) || !toBytes(c.operands[1], &to, &error)
        || (!matching && !areaCells(c, 2, &cells, &error)))
        return refusal(error);
    return EditOperations::replace(c.doc, from, to, matching ? QRect(QPoint(0, 0), mapSize(c.doc)) : cells, mask);
}

Result fromTransform(Context &c, const Transforms::Result &r)
{
    c.added.clear();
    if (r.ok && !r.note.isEmpty() && c.notes)
        *c.notes << r.note;
    return {r.ok, 0, r.message};
}

Result runFlip(Context &c)
{
    QRect cells;
    QString error;
    if (!areaCells(c, 1, &cells, &error))
        return refusal(error);
    const bool horizontal = c.operands[0].compare(QLatin1String("horizontal"), Qt::CaseInsensitive) == 0;
    return fromTransform(c, Transforms::turn(c.doc, horizontal ? MapTransform::FlipHorizontal : MapTransform::FlipVertical,
                                             cells));
}

Result runRotate(Context &c)
{
    QRect cells;
    QString error;
    if (!areaCells(c, 1, &cells, &error))
        return refusal(error);
    const int degrees = c.operands[0].toInt();
    const MapTransform::Kind kind = degrees == 90    ? MapTransform::RotateClockwise
                                    : degrees == 180 ? MapTransform::Rotate180
                                                     : MapTransform::RotateCounterClockwise;
    return fromTransform(c, Transforms::turn(c.doc, kind, cells));
}

const QRegularExpression &sizePattern()
{
    static const QRegularExpression re(QRegularExpression::anchoredPattern(QStringLiteral(
        "\\s*(\\d+)\\s*,\\s*(\\d+)\\s*(?:,\\s*([+-]?\\d+)\\s*,\\s*([+-]?\\d+)\\s*)?")));
    return re;
}

// A number of the size operand; far beyond any map it is as good as any.
int sizeNumber(const QString &digits)
{
    bool ok = false;
    const qint64 v = digits.toLongLong(&ok);
    constexpr qint64 far = qint64(1) << 24;
    if (!ok)
        return digits.startsWith(QLatin1Char('-')) ? int(-far) : int(far);
    return int(qBound(-far, v, far));
}

Result runResize(Context &c)
{
    const QRegularExpressionMatch m = sizePattern().match(c.operands[0]);
    const QSize size(sizeNumber(m.captured(1)), sizeNumber(m.captured(2)));
    // A side far out of range is quoted as typed, not as the number it was cut to.
    if (size.width() > MapTransform::MaxSide || size.height() > MapTransform::MaxSide)
        return refusal(QStringLiteral("The map size must be 1 to %1 plots a side, not %2 x %3")
                           .arg(MapTransform::MaxSide)
                           .arg(shownValue(m.captured(1)), shownValue(m.captured(2))));
    const QPoint offset(m.captured(3).isEmpty() ? 0 : sizeNumber(m.captured(3)),
                        m.captured(4).isEmpty() ? 0 : sizeNumber(m.captured(4)));
    const QSize before = mapSize(c.doc);
    const Result r = fromTransform(c, Transforms::resize(c.doc, size, offset));
    if (r.ok)
        c.added = Transforms::addedCells(before, size, offset);
    return r;
}

Result runFillNew(Context &c)
{
    if (c.added.isEmpty())
        return refusal(QStringLiteral("no --resize before it, or plots moved since"));
    QByteArray bytes;
    QString error;
    if (!toBytes(c.operands[0], &bytes, &error))
        return refusal(error);
    const PaintRule rule = PaintRule::fromLine(bytes, &error);
    if (!rule.isValid())
        return refusal(error);
    return EditOperations::apply(c.doc, rule, EditOperations::Put, c.added);
}

Result runCrop(Context &c)
{
    QRect cells;
    QString error;
    if (!areaCells(c, 0, &cells, &error))
        return refusal(error);
    return fromTransform(c, Transforms::crop(c.doc, cells));
}

Result runCopy(Context &c)
{
    QRect cells;
    QString error;
    if (!areaCells(c, 0, &cells, &error))
        return refusal(error);
    c.copied = RegionEdits::copy(c.doc, cells);
    const int plots = int(c.copied->plotCount());
    return {true, plots, SetPlotTexts::nameFor(QStringLiteral("Copy %1 plots"), plots)};
}

Result runPaste(Context &c)
{
    if (!c.copied)
        return refusal(QStringLiteral("nothing was copied before it: use --copy AREA first"));
    QRect cells;
    QString error;
    if (!PlotArea::parsePlot(c.operands[0]).cells(mapSize(c.doc), &cells, &error))
        return refusal(error);
    // X,Y names the block's corner of smallest x and y: its bottom-left cell.
    const QPoint topLeft(cells.left(), cells.top() - (c.copied->size().height() - 1));
    return RegionEdits::paste(c.doc, *c.copied, topLeft);
}

// The cell of a plot operand, X,Y as the file names it.
bool plotCell(Context &c, int at, QPoint *cell, QString *error)
{
    QRect cells;
    if (!PlotArea::parsePlot(c.operands[at]).cells(mapSize(c.doc), &cells, error))
        return false;
    *cell = cells.topLeft();
    return true;
}

const QStringList &compassWords()
{
    static const QStringList words{"north", "east", "south", "west"};
    return words;
}

// A side or flow: a compass word or its number, 0 north to 3 west; -1 for neither.
int compassOf(const QString &text)
{
    const int word = int(compassWords().indexOf(text.toLower()));
    if (word >= 0)
        return word;
    return text.size() == 1 && text[0] >= QLatin1Char('0') && text[0] <= QLatin1Char('3') ? text.toInt() : -1;
}

Result runStart(Context &c)
{
    QPoint cell;
    QString error;
    if (!plotCell(c, 1, &cell, &error))
        return refusal(error);
    return PieceEdits::setStart(c.doc, c.operands[0].toInt(), cell);
}

Result runNoStart(Context &c) { return PieceEdits::removeStart(c.doc, c.operands[0].toInt()); }

Result runStartsFromSettlers(Context &c) { return LintFixes::startsFromSettlers(c.doc); }

Result runMoveUnits(Context &c)
{
    QPoint from, to;
    QString error;
    if (!plotCell(c, 0, &from, &error) || !plotCell(c, 1, &to, &error))
        return refusal(error);
    return PieceEdits::moveUnits(c.doc, from, to);
}

Result runRiver(Context &c)
{
    QPoint cell;
    QString error;
    if (!plotCell(c, 0, &cell, &error))
        return refusal(error);
    return PieceEdits::setRiver(c.doc, cell, PieceEdits::Side(compassOf(c.operands[1])), compassOf(c.operands[2]));
}

Result runNoRiver(Context &c)
{
    QPoint cell;
    QString error;
    if (!plotCell(c, 0, &cell, &error))
        return refusal(error);
    return PieceEdits::removeRiver(c.doc, cell, PieceEdits::Side(compassOf(c.operands[1])));
}

Result runHalf(Context &c, Symmetry::Mode mode)
{
    c.added.clear();
    const Symmetry::Result r = Symmetry::makeSymmetric(c.doc, *Symmetry::sideNamed(c.operands[0]), mode);
    return {r.ok, 0, r.message};
}

Result runMirrorHalf(Context &c) { return runHalf(c, Symmetry::Mirror); }
Result runRotateHalf(Context &c) { return runHalf(c, Symmetry::HalfTurn); }

enum class Operand { Text, Area, Plot, Flip, Angle, Size, Player, Compass, Half };

struct Operation
{
    const char *option;
    QList<Operand> operands;
    int optional; // how many of the last operands may be left out
    const char *synopsis;
    const char *help;
    Result (*run)(Context &);
};

const Operation Operations[] = {
    {"--put", {Operand::Text, Operand::Area}, 0, "--put LINE AREA",
     "put the plot line LINE into every plot of AREA: it\n"
     "replaces the first line whose key (the text before its\n"
     "first \"=\", letter case ignored) is LINE's, the lines of\n"
     "a sub-block such as BeginUnit ... EndUnit aside, or is\n"
     "appended",
     runPut},
    {"--take", {Operand::Text, Operand::Area}, 0, "--take KEY AREA",
     "delete the first line whose key is KEY (letter case\n"
     "ignored, sub-blocks aside) from every plot of AREA",
     runTake},
    {"--fill", {Operand::Text, Operand::Plot}, 0, "--fill LINE X,Y",
     "put LINE into the region around plot X,Y: the plots\n"
     "reached through their sides whose first line of LINE's\n"
     "key, trimmed, equals that of X,Y (a plot without\n"
     "such a line matches one without)",
     runFill},
    {"--replace", {Operand::Text, Operand::Text, Operand::Area}, 1, "--replace OLD NEW [AREA]",
     "in every plot of AREA (default all), every occurrence\n"
     "of the text OLD becomes NEW (exact, letter case counts,\n"
     "never across a line break); a line it would make a\n"
     "section keyword or a plot's coordinates is refused",
     runReplace},
    {"--flip", {Operand::Flip, Operand::Area}, 1, "--flip horizontal|vertical [AREA]",
     "mirror the plots of AREA (default all) left to right or\n"
     "top to bottom: X,Y goes to x1+x2-X,Y or X,y1+y2-Y",
     runFlip},
    {"--rotate", {Operand::Angle, Operand::Area}, 1, "--rotate 90|180|270 [AREA]",
     "turn the plots of AREA (default all) clockwise as seen\n"
     "on screen, north up; 90 and 270 need the whole map (its\n"
     "width and height swap) or a square AREA",
     runRotate},
    {"--resize", {Operand::Size}, 0, "--resize COLS,ROWS[,DX,DY]",
     "make the map COLS x ROWS plots (1 to 1000 each); the plot\n"
     "at X,Y moves to X+DX,Y+DY (default 0,0), plots that land\n"
     "outside are dropped and new plots are empty",
     runResize},
    {"--fill-new", {Operand::Text}, 0, "--fill-new LINE",
     "put LINE into the plots the last --resize added (with no\n"
     "--flip, --rotate or --crop since); repeat it for more lines",
     runFillNew},
    {"--crop", {Operand::Area}, 0, "--crop AREA",
     "make AREA the map, its corner of smallest x and y at 0,0",
     runCrop},
    {"--copy", {Operand::Area}, 0, "--copy AREA",
     "remember the plots of AREA for the --paste operations\n"
     "after it",
     runCopy},
    {"--paste", {Operand::Plot}, 0, "--paste X,Y",
     "put the plots copied last with their corner of smallest\n"
     "x and y at X,Y, whole plots replacing whole plots; what\n"
     "falls beyond the map is dropped",
     runPaste},
    {"--start", {Operand::Player, Operand::Plot}, 0, "--start PLAYER X,Y",
     "set the start position of player slot PLAYER (from 0) to\n"
     "X,Y: its start line becomes \"StartingX=X, StartingY=Y\",\n"
     "added at the end of the player when it has none",
     runStart},
    {"--no-start", {Operand::Player}, 0, "--no-start PLAYER",
     "remove the start line of player slot PLAYER",
     runNoStart},
    {"--starts-from-settlers", {}, 0, "--starts-from-settlers",
     "set each player's start line to the plot of its first\n"
     "settler (the first in the order x, then y); players\n"
     "without a settler keep theirs",
     runStartsFromSettlers},
    {"--move-units", {Operand::Plot, Operand::Plot}, 0, "--move-units X1,Y1 X2,Y2",
     "move the unit blocks (BeginUnit to EndUnit) of plot X1,Y1\n"
     "to the end of plot X2,Y2, in order, bytes unchanged",
     runMoveUnits},
    {"--river", {Operand::Plot, Operand::Compass, Operand::Compass}, 0, "--river X,Y SIDE DIRECTION",
     "put a river on SIDE (north, south, east or west) of plot\n"
     "X,Y flowing DIRECTION (a compass word or 0 north, 1 east,\n"
     "2 south, 3 west; along the side); the plot north of the\n"
     "side or west of it carries it as isNOfRiver and\n"
     "RiverWEDirection or isWOfRiver and RiverNSDirection",
     runRiver},
    {"--no-river", {Operand::Plot, Operand::Compass}, 0, "--no-river X,Y SIDE",
     "remove the river on SIDE of plot X,Y",
     runNoRiver},
    {"--mirror-half", {Operand::Half}, 0, "--mirror-half SIDE",
     "make the map symmetric: the SIDE half (left, right, bottom\n"
     "or top) written over the other as its mirror image, rivers\n"
     "turned, each player starting on it paired with the nearest\n"
     "starting on the other (first settler, else start line),\n"
     "owners, signs and revealing teams swapped along the pairs;\n"
     "players without a partner keep what they have",
     runMirrorHalf},
    {"--rotate-half", {Operand::Half}, 0, "--rotate-half SIDE",
     "the same with the SIDE half turned half round",
     runRotateHalf},
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
            *error = isOption(option) ? QStringLiteral("unknown operation %1").arg(shownValue(option))
                                      : QStringLiteral("\"%1\" is not an operation").arg(shownValue(option));
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
            // A matching: area is read when the operation runs: those that
            // need a rectangle refuse it there.
            const bool matching = arg.startsWith(QLatin1String("matching:"), Qt::CaseInsensitive);
            if (kind == Operand::Area && !matching && !PlotArea::parse(arg).isValid()) {
                *error = QStringLiteral("%1: \"%2\" is not an area (X,Y or X1,Y1:X2,Y2 or all)").arg(option, shownValue(arg));
                return false;
            }
            if (kind == Operand::Plot && !PlotArea::parsePlot(arg).isValid()) {
                *error = QStringLiteral("%1: \"%2\" is not a plot (X,Y)").arg(option, shownValue(arg));
                return false;
            }
            if (kind == Operand::Flip && arg.compare(QLatin1String("horizontal"), Qt::CaseInsensitive) != 0
                && arg.compare(QLatin1String("vertical"), Qt::CaseInsensitive) != 0) {
                *error = QStringLiteral("%1: \"%2\" is not horizontal or vertical").arg(option, shownValue(arg));
                return false;
            }
            if (kind == Operand::Angle && arg != QLatin1String("90") && arg != QLatin1String("180")
                && arg != QLatin1String("270")) {
                *error = QStringLiteral("%1: \"%2\" is not 90, 180 or 270").arg(option, shownValue(arg));
                return false;
            }
            if (kind == Operand::Player && !QRegularExpression(QStringLiteral("^\\d{1,6}$")).match(arg).hasMatch()) {
                *error = QStringLiteral("%1: \"%2\" is not a player slot number").arg(option, shownValue(arg));
                return false;
            }
            if (kind == Operand::Compass && compassOf(arg) < 0) {
                *error = QStringLiteral("%1: \"%2\" is not north, east, south or west (or 0 to 3)").arg(option, shownValue(arg));
                return false;
            }
            if (kind == Operand::Half && !Symmetry::sideNamed(arg)) {
                *error = QStringLiteral("%1: \"%2\" is not left, right, bottom or top").arg(option, shownValue(arg));
                return false;
            }
            if (kind == Operand::Size && !sizePattern().match(arg).hasMatch()) {
                *error = QStringLiteral("%1: \"%2\" is not a size (COLS,ROWS or COLS,ROWS,DX,DY)").arg(option, shownValue(arg));
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

bool EditScript::run(MapDocument &doc, QStringList *log, QString *error, QStringList *notes) const
{
    std::optional<PlotRegion> copied;
    QBitArray added;
    for (qsizetype i = 0; i < m_steps.size(); ++i) {
        const Step &step = m_steps[i];
        const Operation &op = Operations[step.operation];
        Context context{doc, step.operands, copied, notes, added};
        Result put, fill;
        if (op.run == runPut && i + 1 < m_steps.size() && Operations[m_steps[i + 1].operation].run == runFill
            && runPutThenFill(context, m_steps[i + 1].operands, &put, &fill)) {
            if (log)
                *log << put.message << fill.message;
            ++i;
            continue;
        }
        const Result result = op.run(context);
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
