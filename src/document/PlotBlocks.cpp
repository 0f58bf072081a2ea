#include "PlotBlocks.h"

#include "SectionKeywords.h"
#include "TextUtil.h"

namespace vor4 {

void writePlotBlock(ByteWriter &out, qint64 x, qint64 y, QByteArrayView text)
{
    out << "BeginPlot\r\n\tx=" << x << ",y=" << y << "\r\n";
    bool inner = false;
    forEachLine(text, [&](QByteArrayView l) {
        // The first letter rules out nearly every line before the
        // case-insensitive comparisons.
        const char first = l.isEmpty() ? 0 : asciiLower(l[0]);
        if (first == 'e' && startsWithCi(l, "End"))
            inner = false;
        out.plotLine(l, inner);
        if (first == 'b' && startsWithCi(l, "Begin"))
            inner = true;
    });
    out << "EndPlot\r\n";
}

namespace {

bool refuse(QString *error, qint64 line, const char *what)
{
    if (error)
        *error = QStringLiteral("Line %1 %2: the text is not plot blocks").arg(line).arg(QLatin1String(what));
    return false;
}

// "x=X,y=Y" as the reader takes it: the number after the first "=" of the
// part before the first ",", and of the part after it. Blanks around the
// numbers are forgiven here: the text may come from a text editor.
bool coordinates(QByteArrayView line, int *x, int *y)
{
    const qsizetype comma = line.indexOf(',');
    if (comma < 0)
        return false;
    const QByteArrayView before = line.first(comma);
    const QByteArrayView after = line.sliced(comma + 1);
    if (before.indexOf('=') < 0 || after.indexOf('=') < 0)
        return false;
    const std::optional<int> vx = parseInt(trimmed(valueOf(before)));
    const std::optional<int> vy = parseInt(trimmed(valueOf(after)));
    if (!vx || !vy)
        return false;
    *x = *vx;
    *y = *vy;
    return true;
}

} // namespace

bool readPlotBlocks(QByteArrayView text, const PlotBlockFound &plot, QString *error)
{
    enum class State { Outside, Coordinates, Lines } state = State::Outside;
    qint64 lineNo = 0;
    int x = 0, y = 0;
    bool inner = false;
    bool firstLine = true;
    bool any = false;
    bool ok = true;
    QByteArray body;
    forEachLine(text, [&](QByteArrayView raw) {
        if (!ok)
            return;
        ++lineNo;
        const QByteArrayView line = trimmed(raw);
        const Keyword keyword = keywordOf(line);
        switch (state) {
        case State::Outside:
            if (line.isEmpty())
                return;
            if (keyword != Keyword::BeginPlot) {
                ok = refuse(error, lineNo, "is outside a plot block");
                return;
            }
            state = State::Coordinates;
            return;
        case State::Coordinates:
            if (line.isEmpty())
                return;
            if (!isCoordinateLine(line) || !coordinates(line, &x, &y)) {
                ok = refuse(error, lineNo, "should name the plot as x=X,y=Y");
                return;
            }
            body.resize(0); // keeps its room for the next block
            inner = false;
            firstLine = true;
            state = State::Lines;
            return;
        case State::Lines:
            break;
        }
        if (keyword == Keyword::EndPlot) {
            plot(x, y, body);
            any = true;
            state = State::Outside;
            return;
        }
        if (keyword != Keyword::None || isCoordinateLine(line)) {
            ok = refuse(error, lineNo, "breaks a plot block");
            return;
        }
        if (line.isEmpty() && !raw.startsWith('\t'))
            return; // spacing of a hand-written block
        // The writer's indent: one tab, and a second inside a sub-block
        // unless the line closes it.
        QByteArrayView l = raw;
        if (l.startsWith('\t')) {
            l = l.sliced(1);
            if (inner && l.startsWith('\t'))
                l = l.sliced(1);
        } else {
            while (!l.isEmpty() && isBlank(l[0]))
                l = l.sliced(1);
        }
        if (startsWithCi(l, "End"))
            inner = false;
        if (startsWithCi(l, "Begin"))
            inner = true;
        if (!firstLine)
            body += "\r\n";
        firstLine = false;
        body.append(l.data(), l.size());
    });
    if (!ok)
        return false;
    if (state != State::Outside)
        return refuse(error, lineNo, "ends inside a plot block");
    if (!any) {
        if (error)
            *error = QStringLiteral("The text holds no plot blocks");
        return false;
    }
    return true;
}

} // namespace vor4
