#pragma once
// Reading a world-builder save file into the document.

#include "Document.h"

#include <QList>
#include <QString>
#include <functional>
#include <utility>
#include <optional>

namespace vor4 {

// What the reader saw besides the stores: signs of a damaged map.
struct LoadStats
{
    qint64 plotBlocks = 0;                // "BeginPlot" lines
    std::optional<qint64> declaredPlots;  // the last "num plots written=" number
    qint64 plotsOutside = 0;              // coordinate lines naming no cell of the grid
    qint64 firstOutsideLine = 0;
    qint64 plotsRepeated = 0;             // coordinate lines naming a cell named before
    qint64 firstRepeatedLine = 0;
    bool mapRead = false;                 // a map section was opened
    qint64 plotsMissing = 0;              // cells of the grid that no coordinate line named
    qint64 nulLine = 0;                   // the first NUL byte, where reading stopped
    bool textAfterNul = false;
    QByteArray openAtEnd;                 // the keyword of a section the file ends inside
    qint64 openAtEndLine = 0;
    qint64 endMapLine = 0;                // the last "EndMap"
    // The first grid width or height below 1, read as 1.
    qint64 sizeBelowOneLine = 0;
    QByteArray sizeBelowOne;              // that line, trimmed
    // The count lines of the header, each line with its number (nothing
    // when it holds none), the first MaxRanges of each: the writer writes
    // them all anew, so each that disagrees is told.
    using CountLine = std::pair<qint64, std::optional<qint64>>;
    QList<CountLine> plotCounts, signCounts;
    qint64 signBlocks = 0;                // "BeginSign" lines
    std::optional<qint64> declaredSigns;  // the last "num signs written=" number
    qint64 signsNotClosed = 0;            // sign blocks cut short, kept as signs
    qint64 firstSignNotClosedLine = 0;
    // Team and player blocks left open: their lines go with the next block
    // that is closed; those of the last, when none follows, stay in its slot.
    qint64 blocksNotClosed = 0;
    qint64 firstBlockNotClosedLine = 0;
    QByteArray blockKeptInSlot;           // "team" or "player"
    qint64 blockKeptInSlotLine = 0;
    qint64 blockKeptSlot = -1;
    // Lines outside every section that the writer does not write again:
    // everything but "Version=11", the "### Plot Info ###" and
    // "### Sign Info ###" titles and sign blocks.
    qint64 strayLines = 0;
    QList<std::pair<qint64, qint64>> strayRanges; // the first MaxRanges runs, first and last line
    static constexpr int MaxRanges = 10;
};

struct LoadResult
{
    enum Status { Ok, FileError, StructureError, ValueError, TooLarge, NotAMap, Cancelled };
    Status status = Ok;
    qint64 line = 0;  // 1-based line of a structure, value or size error
    QString message;  // the text the user is shown; empty when Ok
    LoadStats stats;
    bool ok() const { return status == Ok; }
};

// Called before lines 0, 500, 1000, ... with the number of lines already
// handled and the total. Returning false abandons the load.
using LoadProgress = std::function<bool(qint64 handled, qint64 total)>;
// Called when a map line has changed the grid size.
using MapSizeRead = std::function<void(int columns, int rows)>;

// Files above this size are refused before they are read.
constexpr qint64 MaxFileSize = qint64(1) << 31;

// Reads the file's bytes into doc.FileLines (up to the first NUL).
LoadResult readFileLines(const QString &path, Document &doc);

// Runs the section state machine over doc.FileLines and fills the stores.
// Stops at the first error; the stores keep what was read before it. Lines
// without a single section keyword are no map: the document is reset and
// the result is NotAMap, naming doc.FileName.
LoadResult ParseFileLines(Document &doc, const LoadProgress &progress = {},
                          const MapSizeRead &sizeRead = {});

// ResetDocument(0, 0), read, parse and empty FileLines: Open without windows.
// FileName is set to the path, and emptied again when the load fails. Uses
// nothing but doc: it may run on any thread.
LoadResult loadMapFile(const QString &path, Document &doc, const LoadProgress &progress = {},
                       const MapSizeRead &sizeRead = {});

} // namespace vor4
