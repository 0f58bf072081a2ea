#include "LineCheck.h"

#include "FileTarget.h"
#include "SectionKeywords.h"

namespace vor4 {

QString quotedLine(QByteArrayView line)
{
    return QLatin1Char('"') + shownValue(line) + QLatin1Char('"');
}

QString refusedLine(QByteArrayView line, TextPlace place)
{
    if (line.contains('\r') || line.contains('\n') || line.contains('\0'))
        return QStringLiteral("The line %1 holds a line break or a NUL byte: it would not stay one line in the file")
            .arg(quotedLine(line));
    const QByteArrayView t = trimmed(line);
    if (keywordOf(t) != Keyword::None)
        return QStringLiteral("The line %1 is a section keyword: it would break the file").arg(quotedLine(t));
    if (place == TextPlace::Plot && isCoordinateLine(t))
        return QStringLiteral("The line %1 would read as a plot's coordinates (it holds \"x=\" and \"y=\") and "
                              "move the lines after it to another plot")
            .arg(quotedLine(t));
    return {};
}

QString refusedText(QByteArrayView text, TextPlace place)
{
    QString why;
    forEachLine(text, [&](QByteArrayView line) {
        if (why.isEmpty())
            why = refusedLine(line, place);
    });
    return why;
}

QString refusedLines(const QList<QByteArray> &lines, TextPlace place)
{
    for (const QByteArray &line : lines)
        if (QString why = refusedLine(line, place); !why.isEmpty())
            return why;
    return {};
}

} // namespace vor4
