#include "PlotArea.h"

#include "Geometry.h"

#include <QRegularExpression>
#include <limits>

namespace vor4 {

namespace {

const QString PlotPattern = QStringLiteral("\\s*([+-]?\\d+)\\s*,\\s*([+-]?\\d+)\\s*");

// A number too large for 64 bits is still a plot outside any map.
qint64 toCoordinate(const QString &digits)
{
    bool ok = false;
    const qint64 v = digits.toLongLong(&ok);
    if (ok)
        return v;
    return digits.startsWith(QLatin1Char('-')) ? std::numeric_limits<qint64>::min()
                                               : std::numeric_limits<qint64>::max();
}

QString plotText(qint64 x, qint64 y)
{
    return QStringLiteral("%1,%2").arg(x).arg(y);
}

} // namespace

PlotArea PlotArea::parsePlot(const QString &text)
{
    static const QRegularExpression re(QRegularExpression::anchoredPattern(PlotPattern));
    const QRegularExpressionMatch m = re.match(text);
    PlotArea area;
    if (!m.hasMatch())
        return area;
    area.m_kind = Plot;
    area.m_x1 = area.m_x2 = toCoordinate(m.captured(1));
    area.m_y1 = area.m_y2 = toCoordinate(m.captured(2));
    return area;
}

PlotArea PlotArea::all()
{
    PlotArea area;
    area.m_kind = All;
    return area;
}

PlotArea PlotArea::parse(const QString &text)
{
    if (text.trimmed().compare(QLatin1String("all"), Qt::CaseInsensitive) == 0)
        return all();
    static const QRegularExpression re(QRegularExpression::anchoredPattern(PlotPattern + QLatin1Char(':') + PlotPattern));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return parsePlot(text);
    PlotArea area;
    area.m_kind = Rectangle;
    area.m_x1 = toCoordinate(m.captured(1));
    area.m_y1 = toCoordinate(m.captured(2));
    area.m_x2 = toCoordinate(m.captured(3));
    area.m_y2 = toCoordinate(m.captured(4));
    return area;
}

bool PlotArea::cells(QSize size, QRect *out, QString *error) const
{
    const int cols = size.width();
    const int rows = size.height();
    switch (m_kind) {
    case Invalid:
        if (error)
            *error = QStringLiteral("No plot or area given");
        return false;
    case All:
        *out = QRect(0, 0, cols, rows);
        return true;
    case Plot:
    case Rectangle:
        break;
    }
    const auto onMap = [&](qint64 x, qint64 y) { return x >= 0 && y >= 0 && x < cols && y < rows; };
    if (!onMap(m_x1, m_y1) || !onMap(m_x2, m_y2)) {
        if (error)
            *error = (m_kind == Plot ? QStringLiteral("Plot ") : QStringLiteral("Area ")) + text()
                + QStringLiteral(" is outside the map (x 0 to %1, y 0 to %2)").arg(cols - 1).arg(rows - 1);
        return false;
    }
    const QPoint a = cellOfPlot(QPoint(int(m_x1), int(m_y1)), rows);
    const QPoint b = cellOfPlot(QPoint(int(m_x2), int(m_y2)), rows);
    *out = cellsBetween(a, b);
    return true;
}

QString PlotArea::text() const
{
    switch (m_kind) {
    case Invalid: return QString();
    case All: return QStringLiteral("all");
    case Plot: return plotText(m_x1, m_y1);
    case Rectangle: return plotText(m_x1, m_y1) + QLatin1Char(':') + plotText(m_x2, m_y2);
    }
    return QString();
}

} // namespace vor4
