#include "MapMarks.h"

#include "PlotFacts.h"
#include "TextUtil.h"

#include <QList>

namespace vor4 {

namespace {

// The integer right after key in line (blanks between allowed): the digits
// up to the first other character, with an optional sign.
std::optional<int> intAfter(QByteArrayView line, QByteArrayView key)
{
    const qsizetype at = indexOfCi(line, key);
    if (at < 0)
        return std::nullopt;
    QByteArrayView rest = line.sliced(at + key.size());
    while (!rest.isEmpty() && isBlank(rest[0]))
        rest = rest.sliced(1);
    qsizetype n = (!rest.isEmpty() && (rest[0] == '-' || rest[0] == '+')) ? 1 : 0;
    while (n < rest.size() && rest[n] >= '0' && rest[n] <= '9')
        ++n;
    return parseInt(rest.first(n));
}

qsizetype lineWith(const QList<QByteArray> &lines, QByteArrayView key)
{
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (containsCi(lines[i], key))
            return i;
    return -1;
}

} // namespace

std::optional<QPoint> MapMarks::startOf(QByteArrayView playerText)
{
    return PlotFacts::startOf(playerText).plot();
}

QByteArray MapMarks::withStart(QByteArrayView playerText, std::optional<QPoint> plot)
{
    return PlotFacts::withStart(playerText, plot);
}

std::optional<QPoint> MapMarks::signPlot(QByteArrayView signText)
{
    const QList<QByteArray> lines = splitLines(signText);
    const qsizetype xAt = lineWith(lines, "plotX=");
    const qsizetype yAt = lineWith(lines, "plotY=");
    if (xAt < 0 || yAt < 0)
        return std::nullopt;
    const std::optional<int> x = intAfter(lines[xAt], "plotX=");
    const std::optional<int> y = intAfter(lines[yAt], "plotY=");
    if (!x || !y)
        return std::nullopt;
    return QPoint(*x, *y);
}

QByteArray MapMarks::withSignPlot(QByteArrayView signText, QPoint plot)
{
    QList<QByteArray> lines = splitLines(signText);
    const qsizetype xAt = lineWith(lines, "plotX=");
    const qsizetype yAt = lineWith(lines, "plotY=");
    if (xAt < 0 || yAt < 0)
        return signText.toByteArray();
    const QByteArray xLine = "plotX=" + QByteArray::number(plot.x());
    const QByteArray yLine = "plotY=" + QByteArray::number(plot.y());
    if (xAt == yAt) {
        // Both on one line: each gets its own.
        lines[xAt] = yLine;
        lines.insert(xAt, xLine);
    } else {
        lines[xAt] = xLine;
        lines[yAt] = yLine;
    }
    return joinLines(lines);
}

std::optional<int> MapMarks::signOwner(QByteArrayView signText)
{
    const QList<QByteArray> lines = splitLines(signText);
    const qsizetype at = lineWith(lines, "playerType=");
    return at < 0 ? std::nullopt : intAfter(lines[at], "playerType=");
}

QByteArray MapMarks::withSignOwner(QByteArrayView signText, int owner)
{
    QList<QByteArray> lines = splitLines(signText);
    const qsizetype at = lineWith(lines, "playerType=");
    if (at < 0 || !intAfter(lines[at], "playerType="))
        return signText.toByteArray();
    QByteArray &line = lines[at];
    // The number as intAfter read it: after the key and any blanks.
    qsizetype from = indexOfCi(line, "playerType=") + 11;
    while (from < line.size() && isBlank(line[from]))
        ++from;
    qsizetype to = from + ((line[from] == '-' || line[from] == '+') ? 1 : 0);
    while (to < line.size() && line[to] >= '0' && line[to] <= '9')
        ++to;
    line.replace(from, to - from, QByteArray::number(owner));
    return joinLines(lines);
}

} // namespace vor4
