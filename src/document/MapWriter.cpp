#include "MapWriter.h"

#include "ByteWriter.h"
#include "FileTarget.h"
#include "PlotBlocks.h"
#include "TextUtil.h"


namespace vor4 {

namespace {

const char SignCountKey[] = "num signs written=";

bool isHeaderKey(QByteArrayView line)
{
    static const char *const keys[] = {"grid width=", "grid height=", "top latitude=",
                                       "bottom latitude=", "wrap X=", "wrap Y=",
                                       "num plots written="};
    for (const char *k : keys)
        if (containsCi(line, k))
            return true;
    return false;
}

} // namespace

QByteArray buildSaveFile(const Document &doc)
{
    const qint64 cols = doc.columnCount();
    const qint64 rows = doc.rowCount();
    // Plot lines grow by their tabs and line ends; blocks by their keywords.
    ByteWriter out(doc.PlotTexts.poolSize() * 5 / 4 + cols * rows * 48 + 65536);

    out.line("Version=11");
    out.line("BeginGame");
    for (const QByteArray &l : doc.GameLines)
        out << "\t" << trimmed(l) << "\r\n";
    out.line("EndGame");
    for (const QByteArray &text : doc.TeamTexts) {
        out.line("BeginTeam");
        out.tabbedTrimmedLines(text);
        out.line("EndTeam");
    }
    for (const QByteArray &text : doc.PlayerTexts) {
        out.line("BeginPlayer");
        out.tabbedTrimmedLines(text);
        out.line("EndPlayer");
    }
    out.line("BeginMap");
    out << "\tgrid width=" << cols << "\r\n";
    out << "\tgrid height=" << rows << "\r\n";
    out << "\ttop latitude=" << trimmed(doc.Header.topLatitude) << "\r\n";
    out << "\tbottom latitude=" << trimmed(doc.Header.bottomLatitude) << "\r\n";
    out << "\twrap X=" << qint64(doc.Header.wrapX) << "\r\n";
    out << "\twrap Y=" << qint64(doc.Header.wrapY) << "\r\n";
    for (const QByteArray &l : doc.MapLines) {
        if (isHeaderKey(l))
            continue;
        // The game reads as many signs as the header says: the count follows
        // the signs that are written, after a crop or a symmetric copy too.
        const qsizetype signCount = indexOfCi(l, SignCountKey);
        if (signCount >= 0)
            out << "\t" << trimmed(QByteArrayView(l).first(signCount + qsizetype(sizeof SignCountKey) - 1))
                << qint64(doc.SignTexts.size()) << "\r\n";
        else
            out << "\t" << trimmed(l) << "\r\n";
    }
    out << "\tnum plots written=" << cols * rows << "\r\n";
    out.line("EndMap");
    out.line("");
    out.line("### Plot Info ###");
    for (qint64 col = 0; col < cols; ++col)
        for (qint64 r = rows - 1; r >= 0; --r)
            writePlotBlock(out, col, rows - 1 - r, doc.PlotTexts.view(int(col), int(r)));
    if (!doc.SignTexts.isEmpty()) {
        out.line("### Sign Info ###");
        for (const QByteArray &sign : doc.SignTexts) {
            out.line("BeginSign");
            out.tabbedTrimmedLines(sign);
            out.line("EndSign");
        }
    }
    return out.take();
}

SaveResult writeMapFile(const QString &path, const QByteArray &bytes)
{
    SaveResult result;
    result.message = replaceFile(path, bytes);
    result.ok = result.message.isEmpty();
    return result;
}

} // namespace vor4
