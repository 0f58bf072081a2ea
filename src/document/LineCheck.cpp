#include "LineCheck.h"

#include "SectionKeywords.h"

namespace vor4 {

QString quotedLine(QByteArrayView line)
{
    constexpr qsizetype Shown = 80;
    QString out(QLatin1Char('"'));
    for (qsizetype i = 0; i < line.size() && i < Shown; ++i) {
        const uchar c = uchar(line[i]);
        if (c < 32 || c == 127)
            out += QStringLiteral("\\x") + QStringLiteral("%1").arg(c, 2, 16, QLatin1Char('0')).toUpper();
        else
            out += QChar(c);
    }
    if (line.size() > Shown)
        out += QChar(0x2026);
    return out + QLatin1Char('"');
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
