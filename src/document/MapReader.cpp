#include "MapReader.h"

#include "FileTarget.h"
#include "SectionKeywords.h"
#include "TextUtil.h"

#include <QFile>
#include <QFileInfo>

#include <vector>

namespace vor4 {

namespace {

enum class Section { None, Game, Team, Player, Map, Plot };

// Stores a closed team or player block in its slot; slots beyond the first
// SlotCount come from the file alone.
void storeSlot(QList<QByteArray> &texts, qint64 slot, QByteArray &block)
{
    if (slot >= texts.size())
        texts.resize(slot + 1);
    texts[slot] = block;
    block.clear();
}

// Which cells the coordinate lines have named, to tell a plot read twice.
class SeenCells
{
public:
    // Marks the cell; false when it was marked before.
    bool mark(int col, int row, int cols, int rows)
    {
        if (cols != m_cols || rows != m_rows)
            resize(cols, rows);
        const std::size_t i = std::size_t(row) * std::size_t(cols) + std::size_t(col);
        if (m_seen[i])
            return false;
        m_seen[i] = true;
        ++m_marked;
        return true;
    }

    // Cells of a grid of this size that were never marked.
    qint64 unmarked(int cols, int rows)
    {
        if (cols != m_cols || rows != m_rows)
            resize(cols, rows);
        return qint64(cols) * rows - m_marked;
    }

private:
    void resize(int cols, int rows)
    {
        // The grid changed after plots were read: keep the marks of the
        // cells that are still inside it, as the plot table keeps their texts.
        std::vector<bool> seen(std::size_t(cols) * std::size_t(rows));
        m_marked = 0;
        for (int r = 0; r < qMin(rows, m_rows); ++r)
            for (int c = 0; c < qMin(cols, m_cols); ++c)
                m_marked += seen[std::size_t(r) * std::size_t(cols) + std::size_t(c)] =
                    m_seen[std::size_t(r) * std::size_t(m_cols) + std::size_t(c)];
        m_seen = std::move(seen);
        m_cols = cols;
        m_rows = rows;
    }

    std::vector<bool> m_seen;
    qint64 m_marked = 0;
    int m_cols = 0;
    int m_rows = 0;
};

class Parser
{
public:
    Parser(Document &doc, const LoadProgress &progress, const MapSizeRead &sizeRead)
        : m_doc(doc), m_progress(progress), m_sizeRead(sizeRead)
    {
    }

    LoadResult run()
    {
        const qint64 total = m_doc.FileLines.count();
        const QByteArray &bytes = m_doc.FileLines.bytes();
        // The plot texts cannot be larger than the file: one reservation
        // spares the pool its regrowth copies while reading.
        m_doc.PlotTexts.reservePool(bytes.size());
        qint64 n = 0;
        qint64 nextProgress = 0;
        const char *p = bytes.constData();
        const char *end = p + bytes.size();
        while (p < end) {
            const char *q = findLineEnd(p, end);
            if (n == nextProgress) {
                if (m_progress && !m_progress(n, total))
                    return fail(LoadResult::Cancelled, n + 1, QString());
                nextProgress += 500;
            }
            if (!handle(trimmed(QByteArrayView(p, q - p)), n + 1))
                return m_result;
            ++n;
            if (q < end && *q == '\r' && q + 1 < end && q[1] == '\n')
                q += 2;
            else if (q < end)
                ++q;
            p = q;
        }
        LoadStats &stats = m_result.stats;
        if (m_inSign)
            keepOpenSign();
        if (!m_block.isEmpty()) {
            // The last team or player block was never closed and no block
            // came after it to take its lines: it keeps them in its slot.
            if (m_carriedFrom > 0 && m_carriedFrom != m_blockLine)
                noteCarried(m_carriedFrom);
            const bool team = m_blockKind == Section::Team;
            stats.blockKeptInSlot = team ? "team" : "player";
            stats.blockKeptInSlotLine = m_blockLine;
            stats.blockKeptSlot = team ? m_teamSlot : m_playerSlot;
            storeSlot(team ? m_doc.TeamTexts : m_doc.PlayerTexts, stats.blockKeptSlot, m_block);
        }
        stats.nulLine = m_doc.FileLines.nulLine();
        stats.textAfterNul = m_doc.FileLines.textAfterNul();
        if (m_section != Section::None) {
            static const char *const names[] = {"BeginGame", "BeginTeam", "BeginPlayer", "BeginMap", "BeginPlot"};
            stats.openAtEnd = names[int(m_section) - 1];
            stats.openAtEndLine = m_openLine;
        }
        if (stats.mapRead)
            stats.plotsMissing = m_seen.unmarked(m_doc.columnCount(), m_doc.rowCount());
        if (!m_sawKeyword) {
            // A picture or a note read as a map would replace that file on
            // the next Save.
            m_doc.ResetDocument(0, 0);
            fail(LoadResult::NotAMap, 0,
                 QStringLiteral("%1 is not a world-builder map file").arg(shownPath(m_doc.FileName)));
        }
        return m_result;
    }

private:
    LoadResult fail(LoadResult::Status status, qint64 line, const QString &message)
    {
        m_result.status = status;
        m_result.line = line;
        m_result.message = message;
        return m_result;
    }

    bool structureError(qint64 line)
    {
        fail(LoadResult::StructureError, line,
             QStringLiteral("Error in map file - Line: %1").arg(line));
        return false;
    }

    bool integer(QByteArrayView text, qint64 line, int &out)
    {
        if (const std::optional<int> v = parseInt(text)) {
            out = *v;
            return true;
        }
        fail(LoadResult::ValueError, line,
             QStringLiteral("'%1' is not a valid integer value").arg(shownValue(text)));
        return false;
    }

    bool handle(QByteArrayView line, qint64 lineNo)
    {
        if (line.isEmpty())
            return true;
        const qint64 previousLine = m_lastLine;
        m_lastLine = lineNo;
        const Keyword keyword = keywordOf(line);
        if (keyword != Keyword::None) {
            m_sawKeyword = true;
            m_openLine = lineNo;
            // A sign block cut short by a section is kept as far as it goes.
            if (m_inSign)
                keepOpenSign();
            if (isOpening(keyword) && (m_section == Section::Team || m_section == Section::Player)
                && !m_block.isEmpty() && m_carriedFrom == 0)
                m_carriedFrom = m_blockLine;
        }
        switch (keyword) {
        case Keyword::BeginGame:
            m_section = Section::Game;
            return true;
        case Keyword::EndGame:
            if (m_section != Section::Game)
                return structureError(lineNo);
            m_section = Section::None;
            return true;
        case Keyword::BeginTeam:
            ++m_teamSlot;
            m_section = Section::Team;
            m_blockKind = Section::Team;
            m_blockLine = lineNo;
            return true;
        case Keyword::EndTeam:
            if (m_section != Section::Team)
                return structureError(lineNo);
            storeBlock(m_doc.TeamTexts, m_teamSlot);
            m_section = Section::None;
            return true;
        case Keyword::BeginPlayer:
            ++m_playerSlot;
            m_section = Section::Player;
            m_blockKind = Section::Player;
            m_blockLine = lineNo;
            return true;
        case Keyword::EndPlayer:
            if (m_section != Section::Player)
                return structureError(lineNo);
            storeBlock(m_doc.PlayerTexts, m_playerSlot);
            m_section = Section::None;
            return true;
        case Keyword::BeginMap:
            m_result.stats.mapRead = true;
            m_section = Section::Map;
            return true;
        case Keyword::EndMap:
            if (m_section != Section::Map)
                return structureError(lineNo);
            m_result.stats.endMapLine = lineNo;
            m_section = Section::None;
            return true;
        case Keyword::BeginPlot:
            ++m_result.stats.plotBlocks;
            m_section = Section::Plot;
            return true;
        case Keyword::EndPlot:
            if (m_section != Section::Plot)
                return structureError(lineNo);
            m_section = Section::None;
            return true;
        case Keyword::None:
            break;
        }

        switch (m_section) {
        case Section::None:
            signLine(line, lineNo, previousLine);
            return true;
        case Section::Game:
            m_doc.GameLines.append(line.toByteArray());
            return true;
        case Section::Team:
        case Section::Player:
            if (!m_block.isEmpty())
                m_block += "\r\n";
            m_block.append(line.data(), line.size());
            return true;
        case Section::Map:
            return mapLine(line, lineNo);
        case Section::Plot:
            return plotLine(line, lineNo);
        }
        return true;
    }

    static bool isOpening(Keyword k)
    {
        return k == Keyword::BeginGame || k == Keyword::BeginTeam || k == Keyword::BeginPlayer
            || k == Keyword::BeginMap || k == Keyword::BeginPlot;
    }

    void noteCarried(qint64 line)
    {
        LoadStats &stats = m_result.stats;
        if (stats.blocksNotClosed++ == 0)
            stats.firstBlockNotClosedLine = line;
    }

    // A team or player block is closed: its lines, with those of open
    // blocks before it, go into its slot.
    void storeBlock(QList<QByteArray> &texts, qint64 slot)
    {
        if (m_carriedFrom > 0)
            noteCarried(m_carriedFrom);
        m_carriedFrom = 0;
        storeSlot(texts, slot, m_block);
    }

    // A sign block without "EndSign" ends where it was cut: nothing of it is lost.
    void keepOpenSign()
    {
        LoadStats &stats = m_result.stats;
        if (stats.signsNotClosed++ == 0)
            stats.firstSignNotClosedLine = m_signLine;
        m_doc.SignTexts.append(m_sign);
        m_sign.clear();
        m_inSign = false;
    }

    // Outside every section: sign blocks, the lines the writer writes again,
    // and stray lines, which are counted.
    void signLine(QByteArrayView line, qint64 lineNo, qint64 previousLine)
    {
        if (m_inSign && equalsCi(line, "EndSign")) {
            m_doc.SignTexts.append(m_sign);
            m_sign.clear();
            m_inSign = false;
            return;
        }
        if (equalsCi(line, "BeginSign")) {
            // Signs do not nest: the one open has lost its "EndSign".
            if (m_inSign)
                keepOpenSign();
            m_inSign = true;
            m_signLine = lineNo;
            ++m_result.stats.signBlocks;
            return;
        }
        if (m_inSign) {
            if (!m_sign.isEmpty())
                m_sign += "\r\n";
            m_sign.append(line.data(), line.size());
            return;
        }
        if (equalsCi(line, "Version=11") || equalsCi(line, "### Plot Info ###") || equalsCi(line, "### Sign Info ###"))
            return;
        LoadStats &stats = m_result.stats;
        ++stats.strayLines;
        if (!stats.strayRanges.isEmpty() && stats.strayRanges.last().second == previousLine)
            stats.strayRanges.last().second = lineNo;
        else if (stats.strayRanges.size() < LoadStats::MaxRanges)
            stats.strayRanges.append({lineNo, lineNo});
    }

    bool setSize(qint64 cols, qint64 rows, qint64 lineNo)
    {
        cols = qMax<qint64>(cols, 1);
        rows = qMax<qint64>(rows, 1);
        if (cols * rows > Document::MaxPlots) {
            fail(LoadResult::TooLarge, lineNo,
                 QStringLiteral("Map size %1 x %2 is too large").arg(cols).arg(rows));
            return false;
        }
        if (cols == m_doc.columnCount() && rows == m_doc.rowCount())
            return true;
        m_doc.setGridSize(int(cols), int(rows));
        if (m_sizeRead)
            m_sizeRead(int(cols), int(rows));
        return true;
    }

    bool mapLine(QByteArrayView line, qint64 lineNo)
    {
        const QByteArrayView value = valueOf(line);
        int v = 0;
        LoadStats &stats = m_result.stats;
        const auto side = [&](bool width) {
            if (!integer(value, lineNo, v))
                return false;
            if (v < 1 && stats.sizeBelowOneLine == 0) {
                stats.sizeBelowOneLine = lineNo;
                stats.sizeBelowOne = line.toByteArray();
            }
            return width ? setSize(v, m_doc.rowCount(), lineNo) : setSize(m_doc.columnCount(), v, lineNo);
        };
        if (containsCi(line, "grid width=")) {
            if (!side(true))
                return false;
        } else if (containsCi(line, "grid height=")) {
            if (!side(false))
                return false;
        } else if (containsCi(line, "wrap X=")) {
            if (!integer(value, lineNo, m_doc.Header.wrapX))
                return false;
        } else if (containsCi(line, "wrap Y=")) {
            if (!integer(value, lineNo, m_doc.Header.wrapY))
                return false;
        } else if (containsCi(line, "latitude=")) {
            if (containsCi(line, "top latitude="))
                m_doc.Header.topLatitude = trimmed(value).toByteArray();
            else if (containsCi(line, "bottom latitude="))
                m_doc.Header.bottomLatitude = trimmed(value).toByteArray();
            else
                m_doc.MapLines.append(line.toByteArray()); // no latitude the writer writes
        } else if (containsCi(line, "num plots written=")) {
            // Regenerated by the writer; kept only to tell a damaged map.
            stats.declaredPlots = parseInt(trimmed(value));
            if (stats.plotCounts.size() < LoadStats::MaxRanges)
                stats.plotCounts.append({lineNo, stats.declaredPlots});
        } else {
            if (containsCi(line, "num signs written=")) {
                stats.declaredSigns = parseInt(trimmed(afterKey(line, "num signs written=")));
                if (stats.signCounts.size() < LoadStats::MaxRanges)
                    stats.signCounts.append({lineNo, stats.declaredSigns});
            }
            m_doc.MapLines.append(line.toByteArray());
        }
        m_doc.hasSize = true;
        return true;
    }

    bool plotLine(QByteArrayView line, qint64 lineNo)
    {
        if (isCoordinateLine(line)) {
            const qsizetype comma = line.indexOf(',');
            const QByteArrayView before = comma < 0 ? QByteArrayView() : line.first(comma);
            const QByteArrayView after = comma < 0 ? QByteArrayView() : line.sliced(comma + 1);
            int x = 0, y = 0;
            if (!integer(valueOf(before), lineNo, x) || !integer(valueOf(after), lineNo, y))
                return false;
            // North up: y counts rows from the bottom, whatever the wrap
            // lines say (they are the game's topology, not a flip).
            const int cols = m_doc.columnCount();
            const int rows = m_doc.rowCount();
            m_col = x;
            m_row = qint64(rows) - 1 - y;
            LoadStats &stats = m_result.stats;
            if (!m_doc.PlotTexts.contains(m_col, m_row)) {
                if (stats.plotsOutside++ == 0)
                    stats.firstOutsideLine = lineNo;
            } else if (!m_seen.mark(int(m_col), int(m_row), cols, rows)) {
                if (stats.plotsRepeated++ == 0)
                    stats.firstRepeatedLine = lineNo;
            }
            return true;
        }
        if (m_doc.PlotTexts.contains(m_col, m_row))
            m_doc.PlotTexts.appendLine(int(m_col), int(m_row), line);
        return true;
    }

    Document &m_doc;
    const LoadProgress &m_progress;
    const MapSizeRead &m_sizeRead;
    LoadResult m_result;
    Section m_section = Section::None;
    qint64 m_teamSlot = -1;
    qint64 m_playerSlot = -1;
    QByteArray m_block;
    Section m_blockKind = Section::None; // of the last team or player block opened
    qint64 m_blockLine = 0;               // its "Begin" line
    qint64 m_carriedFrom = 0;             // the first open block whose lines wait in m_block
    bool m_inSign = false;
    qint64 m_signLine = 0;
    QByteArray m_sign;
    qint64 m_lastLine = 0; // the last line that was not blank
    bool m_sawKeyword = false;
    qint64 m_openLine = 0;
    qint64 m_col = 0;
    qint64 m_row = 0;
    SeenCells m_seen;
};

} // namespace

LoadResult readFileLines(const QString &path, Document &doc)
{
    LoadResult result;
    QFile file(path);
    const QFileInfo info(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        result.status = LoadResult::FileError;
        result.message = QStringLiteral("Cannot open file %1").arg(shownPath(path));
        return result;
    }
    if (file.size() > MaxFileSize) {
        result.status = LoadResult::FileError;
        result.message = QStringLiteral("File %1 is too large to be a map file").arg(shownPath(path));
        return result;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.status = LoadResult::FileError;
        result.message = QStringLiteral("Cannot open file %1").arg(shownPath(path));
        return result;
    }
    doc.FileLines = LineBuffer(std::move(bytes));
    return result;
}

LoadResult ParseFileLines(Document &doc, const LoadProgress &progress, const MapSizeRead &sizeRead)
{
    return Parser(doc, progress, sizeRead).run();
}

LoadResult loadMapFile(const QString &path, Document &doc, const LoadProgress &progress, const MapSizeRead &sizeRead)
{
    doc.FileName = path;
    doc.ResetDocument(0, 0);
    LoadResult result = readFileLines(path, doc);
    if (result.ok())
        result = ParseFileLines(doc, progress, sizeRead);
    doc.FileLines.clear();
    if (!result.ok())
        doc.FileName.clear();
    return result;
}

} // namespace vor4
