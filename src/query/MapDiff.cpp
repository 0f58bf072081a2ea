#include "MapDiff.h"

#include "TextUtil.h"

#include <algorithm>
#include <vector>

namespace vor4 {

namespace {

using Lines = std::vector<QByteArrayView>;

// The lines of a section's text as the writer writes them: trimmed.
void addTrimmedLines(Lines &out, QByteArrayView text)
{
    forEachLine(text, [&out](QByteArrayView line) { out.push_back(trimmed(line)); });
}

Lines plotLines(QByteArrayView text)
{
    Lines lines;
    forEachLine(text, [&lines](QByteArrayView line) { lines.push_back(line); });
    return lines;
}

// The map header as the writer writes it, without the plot count that
// follows from the size.
QList<QByteArray> headerLines(const Document &d)
{
    QList<QByteArray> lines;
    lines << "grid width=" + QByteArray::number(d.columnCount())
          << "grid height=" + QByteArray::number(d.rowCount())
          << "top latitude=" + d.Header.topLatitude
          << "bottom latitude=" + d.Header.bottomLatitude
          << "wrap X=" + QByteArray::number(d.Header.wrapX)
          << "wrap Y=" + QByteArray::number(d.Header.wrapY);
    lines += d.MapLines;
    return lines;
}

Lines trimmedViews(const QList<QByteArray> &list)
{
    Lines lines;
    lines.reserve(std::size_t(list.size()));
    for (const QByteArray &line : list)
        lines.push_back(trimmed(line));
    return lines;
}

Lines signLines(const Document &d)
{
    Lines lines;
    for (const QByteArray &sign : d.SignTexts) {
        lines.push_back("BeginSign");
        addTrimmedLines(lines, sign);
        lines.push_back("EndSign");
    }
    return lines;
}

class Differ
{
public:
    Differ(const MapDiff::Sink &sink, MapDiffStat &stat) : m_sink(sink), m_stat(stat) {}
    ~Differ() { flush(); }

    // Writes the heading and the lines that differ; false when none do.
    bool section(QByteArrayView heading, const Lines &a, const Lines &b)
    {
        m_ops.clear();
        diffLines(a, b);
        if (m_ops.empty())
            return false;
        put(heading);
        for (const Op &op : m_ops)
            line(op.sign, op.sign == '-' ? a[op.index] : b[op.index]);
        return true;
    }

    // A plot only one map has: all its lines under a marked heading.
    void whole(QByteArrayView heading, char sign, const Lines &lines)
    {
        put(heading);
        for (QByteArrayView l : lines)
            line(sign, l);
    }

    void flush()
    {
        if (m_sink && !m_buffer.isEmpty())
            m_sink(m_buffer);
        m_buffer.clear();
    }

private:
    struct Op
    {
        char sign;
        std::size_t index;
    };

    void put(QByteArrayView s)
    {
        if (!m_sink)
            return;
        m_buffer.append(s.data(), s.size());
        m_buffer.append('\n');
        if (m_buffer.size() >= (1 << 20))
            flush();
    }

    void line(char sign, QByteArrayView l)
    {
        (sign == '-' ? m_stat.linesRemoved : m_stat.linesAdded) += 1;
        if (!m_sink)
            return;
        m_buffer.append(sign);
        put(l);
    }

    // A shortest edit between the lines: the common head first, then a
    // longest common subsequence of the rest, matching lines as early as it
    // can (so a block added after a like block shows as added at the end).
    // Only when the rest is too large is the common tail taken off too; a
    // middle still too large is shown as replaced whole.
    void diffLines(const Lines &a, const Lines &b)
    {
        constexpr std::size_t Limit = std::size_t(1) << 22;
        std::size_t head = 0;
        while (head < a.size() && head < b.size() && a[head] == b[head])
            ++head;
        std::size_t tail = 0;
        if ((a.size() - head) * (b.size() - head) > Limit) {
            while (tail < a.size() - head && tail < b.size() - head
                   && a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
                ++tail;
        }
        const std::size_t n = a.size() - head - tail;
        const std::size_t m = b.size() - head - tail;
        if (n == 0 && m == 0)
            return;
        if (n * m > Limit) {
            for (std::size_t i = 0; i < n; ++i)
                m_ops.push_back({'-', head + i});
            for (std::size_t j = 0; j < m; ++j)
                m_ops.push_back({'+', head + j});
            return;
        }
        // lcs[i][j]: the longest common subsequence of a[head+i..] and
        // b[head+j..]; never above min(n, m) <= 2048.
        const std::size_t w = m + 1;
        std::vector<quint16> lcs((n + 1) * w, 0);
        for (std::size_t i = n; i-- > 0;)
            for (std::size_t j = m; j-- > 0;)
                lcs[i * w + j] = a[head + i] == b[head + j] ? quint16(lcs[(i + 1) * w + j + 1] + 1)
                                                            : std::max(lcs[(i + 1) * w + j], lcs[i * w + j + 1]);
        std::size_t i = 0, j = 0;
        while (i < n || j < m) {
            if (i < n && j < m && a[head + i] == b[head + j]) {
                ++i;
                ++j;
            } else if (j == m || (i < n && lcs[(i + 1) * w + j] >= lcs[i * w + j + 1])) {
                m_ops.push_back({'-', head + i++});
            } else {
                m_ops.push_back({'+', head + j++});
            }
        }
    }

    const MapDiff::Sink &m_sink;
    MapDiffStat &m_stat;
    QByteArray m_buffer;
    std::vector<Op> m_ops;
};

QByteArray plotHeading(int x, int y, const char *mark = "")
{
    return "@@ plot " + QByteArray::number(x) + ',' + QByteArray::number(y) + mark;
}

} // namespace

MapDiffStat MapDiff::compare(const Document &a, const Document &b, const Sink &sink)
{
    MapDiffStat stat;
    Differ differ(sink, stat);

    stat.sections += differ.section("@@ game", trimmedViews(a.GameLines), trimmedViews(b.GameLines));
    const auto compareSlots = [&](const char *name, const QList<QByteArray> &sa, const QList<QByteArray> &sb) {
        // A slot that one map lacks reads as an empty one.
        for (qsizetype i = 0; i < qMax(sa.size(), sb.size()); ++i) {
            Lines la, lb;
            if (i < sa.size())
                addTrimmedLines(la, sa[i]);
            if (i < sb.size())
                addTrimmedLines(lb, sb[i]);
            stat.sections += differ.section(QByteArray("@@ ") + name + ' ' + QByteArray::number(i), la, lb);
        }
    };
    compareSlots("team", a.TeamTexts, b.TeamTexts);
    compareSlots("player", a.PlayerTexts, b.PlayerTexts);
    const QList<QByteArray> headerA = headerLines(a);
    const QList<QByteArray> headerB = headerLines(b);
    stat.sections += differ.section("@@ map", trimmedViews(headerA), trimmedViews(headerB));
    stat.sections += differ.section("@@ signs", signLines(a), signLines(b));

    // Plots by the file's coordinates: x = column, y = height - 1 - row, each
    // map by its own height. Walked in the file's order, x from 0 and within
    // it y from 0, which is also the order the reader stores the texts in.
    const PlotTable &pa = a.PlotTexts;
    const PlotTable &pb = b.PlotTexts;
    const int wa = pa.columnCount(), ha = pa.rowCount();
    const int wb = pb.columnCount(), hb = pb.rowCount();
    const int commonW = qMin(wa, wb), commonH = qMin(ha, hb);
    const qint64 maxH = qMax(ha, hb);
    std::vector<qint64> changed; // x * maxH + y, ascending
    for (int x = 0; x < commonW; ++x)
        for (int y = 0; y < commonH; ++y)
            if (pa.view(x, ha - 1 - y) != pb.view(x, hb - 1 - y))
                changed.push_back(x * maxH + y);

    auto next = changed.begin();
    for (int x = 0, maxW = qMax(wa, wb); x < maxW; ++x) {
        for (int y = 0; y < maxH; ++y) {
            const bool inA = x < wa && y < ha;
            const bool inB = x < wb && y < hb;
            if (inA && inB) {
                if (next == changed.end() || *next != x * maxH + y)
                    continue;
                ++next;
                stat.plotsChanged += differ.section(plotHeading(x, y), plotLines(pa.view(x, ha - 1 - y)),
                                                    plotLines(pb.view(x, hb - 1 - y)));
            } else if (inA) {
                ++stat.plotsRemoved;
                differ.whole(plotHeading(x, y, " (removed)"), '-', plotLines(pa.view(x, ha - 1 - y)));
            } else if (inB) {
                ++stat.plotsAdded;
                differ.whole(plotHeading(x, y, " (added)"), '+', plotLines(pb.view(x, hb - 1 - y)));
            }
        }
    }
    differ.flush();
    return stat;
}

QByteArray MapDiff::text(const Document &a, const Document &b)
{
    QByteArray out;
    compare(a, b, [&out](QByteArrayView piece) { out.append(piece.data(), piece.size()); });
    return out;
}

QByteArray MapDiff::statText(const MapDiffStat &stat)
{
    QByteArray out;
    const auto line = [&out](const char *name, qint64 n) { out += name + QByteArray(": ") + QByteArray::number(n) + '\n'; };
    line("sections changed", stat.sections);
    line("plots changed", stat.plotsChanged);
    line("plots added", stat.plotsAdded);
    line("plots removed", stat.plotsRemoved);
    line("lines removed", stat.linesRemoved);
    line("lines added", stat.linesAdded);
    return out;
}

} // namespace vor4
