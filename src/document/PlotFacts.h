#pragma once
// What a plot's text and a player's text say about the map, read one way
// for everyone: the value of a key, the rivers along a plot's edges, the
// units on it and a player's start position. Flags and keys are matched
// trimmed and without regard to letter case.
//
// A river is an edge between two plots carried by one of them: "isNOfRiver"
// puts it along the carrier's south edge, flowing as "RiverWEDirection=D";
// "isWOfRiver" along its east edge, flowing as "RiverNSDirection=D".
// Directions are compass points: 0 north, 1 east, 2 south, 3 west.

#include "TextUtil.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPoint>
#include <QRect>
#include <functional>
#include <optional>

namespace vor4 {

class PlotTable;

class PlotFacts
{
public:
    enum Compass { North = 0, East = 1, South = 2, West = 3 };

    // The value of a key in a plot text. A line holds a key when the key
    // followed by "=" occurs in it (in any letter case); its value is the
    // text after the line's first "=", to the line's end. Readers differ
    // only in which line counts, and say so: the grid paints a plot's last
    // terrain line, the minimap and the thumbnail its first.
    static std::optional<QByteArrayView> firstValue(QByteArrayView plotText, QByteArrayView key);
    static std::optional<QByteArrayView> lastValue(QByteArrayView plotText, QByteArrayView key);
    // A value as the statistics count it: up to its first ",", trimmed.
    static QByteArrayView field(QByteArrayView value);

    // Whether the text before line[eq] ends with lowerKey (lower-case
    // letters only, so that (c | 0x20) compares without regard to case).
    static bool keyBefore(const char *line, qsizetype eq, QByteArrayView lowerKey)
    {
        if (eq < lowerKey.size())
            return false;
        const char *p = line + eq - lowerKey.size();
        for (qsizetype i = 0; i < lowerKey.size(); ++i)
            if ((p[i] | 0x20) != lowerKey[i])
                return false;
        return true;
    }
    // One pass over the lines for a reader of several keys at once.
    // keysAt(line, eq, next) gives, as bits, the keys ending at the "=" at
    // line[eq] (next: the byte after it, or 0); take(keys, value) hears of
    // each line with some, and returning false ends the pass.
    template <typename KeysAt, typename Take>
    static void forEachValue(QByteArrayView plotText, KeysAt &&keysAt, Take &&take)
    {
        const char *p = plotText.data();
        const char *const end = p + plotText.size();
        while (p < end) {
            const char *const line = p;
            const char *firstEq = nullptr;
            unsigned keys = 0;
            for (;;) {
                p = findEqualsOrLineEnd(p, end);
                if (p == end || *p != '=')
                    break;
                if (!firstEq)
                    firstEq = p;
                keys |= keysAt(line, p - line, p + 1 < end ? p[1] : '\0');
                ++p;
            }
            if (keys && !take(keys, QByteArrayView(firstEq + 1, p - firstEq - 1)))
                return;
            if (p < end && *p == '\r' && p + 1 < end && p[1] == '\n')
                p += 2;
            else if (p < end)
                ++p;
        }
    }

    // The river flags of one kind and the line of their direction.
    enum RiverKind { SouthEdge, EastEdge }; // isNOfRiver, isWOfRiver
    static QByteArrayView riverFlag(RiverKind kind);
    static QByteArrayView riverDirectionKey(RiverKind kind);

    struct Rivers
    {
        bool southEdge = false; // isNOfRiver
        bool eastEdge = false;  // isWOfRiver
        // The trimmed values of the first direction lines, when there are.
        std::optional<QByteArray> weDirection, nsDirection;
    };
    static Rivers riversOf(QByteArrayView plotText);
    // Whether the text may hold a river line ("iver" in any case): a quick
    // look, for skipping the many plots without.
    static bool mayHoldRiver(QByteArrayView plotText);
    // A compass point read from a direction value, or nothing.
    static std::optional<int> compass(QByteArrayView value);

    // The text without the flag of that kind and every direction line of
    // its key.
    static QByteArray withoutRiver(QByteArrayView plotText, RiverKind kind);
    // The text without the river lines of both kinds.
    static QByteArray withoutRivers(QByteArrayView plotText);
    // The text with the edge of that kind on it, flowing as written (no
    // direction line for nothing), replacing its own edge of that kind;
    // both kinds are written again in front, in the file's order.
    static QByteArray withRiver(QByteArrayView plotText, RiverKind kind, const std::optional<QByteArray> &flow);
    // The text with these river lines put in front, in the order
    // "RiverNSDirection=D", "isNOfRiver", "RiverWEDirection=D", "isWOfRiver"
    // (each pair only with its flag). A direction is a value as written.
    static QByteArray withRiversInFront(QByteArrayView plotText, const std::optional<QByteArray> &southEdgeFlow,
                                        const std::optional<QByteArray> &eastEdgeFlow, bool southEdge, bool eastEdge);

    // One river edge of the grid, by the cell (column, row; row 0 north)
    // that carries it.
    struct RiverEdge
    {
        QPoint carrier;
        RiverKind kind = SouthEdge;
        // The flow as written ("1"), or nothing when the line is missing.
        std::optional<QByteArray> flow;
        // The other plot of the edge: south or east of the carrier.
        QPoint neighbour() const { return kind == SouthEdge ? carrier + QPoint(0, 1) : carrier + QPoint(1, 0); }
    };
    // The river edges carried by the plots of the area, in no set order.
    static QList<RiverEdge> riverEdges(const PlotTable &plots, const QRect &area);
    static qsizetype riverEdgeCount(const PlotTable &plots);

    // A unit sub-block, "BeginUnit" to "EndUnit", of a plot text. One
    // without "EndUnit" ends before the next "BeginUnit", else at the end
    // of the plot: every reader and every edit takes it so.
    struct Unit
    {
        QByteArray type; // from "UnitType=", empty when missing
        int owner = -1;  // from "UnitOwner=", -1 when missing or not a number
        qsizetype firstLine = 0, lastLine = 0; // of the text, split as the reader splits it
        bool closed = true; // false: no "EndUnit"; lastLine is the plot's last or the one before a "BeginUnit"
    };
    static QList<Unit> unitsOf(QByteArrayView plotText);
    // A settler: a unit whose type holds "SETTLER", letter case ignored.
    static bool isSettler(const Unit &unit);
    // The text without its unit sub-blocks, and those sub-blocks' lines in
    // order, bytes as they were.
    static QByteArray withoutUnits(QByteArrayView plotText, QList<QByteArray> *unitLines = nullptr);

    // A sub-block of a plot text that a player owns: a unit ("BeginUnit" to
    // "EndUnit", its owner from "UnitOwner=", read as unitsOf reads it) or a
    // city ("BeginCity" to "EndCity", from "CityOwner=").
    struct OwnedBlock
    {
        int owner = -1; // -1 when missing or not a number
        bool city = false;
        bool settler = false; // a unit whose type holds "SETTLER"
        qsizetype firstLine = 0, lastLine = 0;
        // In bytes of the text: from its first line's start to its last
        // line's end, and the owner's number (-1: no owner line).
        qsizetype begin = 0, end = 0, ownerAt = -1, ownerSize = 0;
    };
    static QList<OwnedBlock> ownedBlocksOf(QByteArrayView plotText);
    // What the text may hold, in one quick look for skipping the many plots
    // without: a key ending in "Owner" (MayNameOwners) or in "Reveal"
    // (MayReveal) before an "=", or a river line (MayHoldRiver, as
    // mayHoldRiver).
    enum Holds { MayNameOwners = 1, MayReveal = 2, MayHoldRiver = 4 };
    static unsigned mayHold(QByteArrayView plotText);
    // The text with each owned sub-block as `owner` says from its owner: the
    // same number leaves the block as it is, another rewrites the owner, and
    // nothing leaves the block out (its lines, bytes as they were, then go to
    // *leftOut).
    using NumberMap = std::function<std::optional<int>(int)>;
    static QByteArray withOwners(QByteArrayView plotText, const NumberMap &owner, QList<QByteArray> *leftOut = nullptr);

    // The teams a plot is revealed to: the numbers of its "TeamReveal=" lines
    // ("0,3," names teams 0 and 3), each once, ascending. A line holding
    // anything but numbers and commas is not read.
    static QList<int> revealedTeams(QByteArrayView plotText);
    // The text with the numbers of its reveal lines passed through `team`
    // (nothing drops a number; a line left without any goes) and the
    // numbers `added` joining its first reveal line, or a new line at the
    // end. A line that changes is written "TeamReveal=0,3,", ascending; the
    // others stay as they were.
    static QByteArray withRevealedTeams(QByteArrayView plotText, const NumberMap &team, const QList<int> &added = {});

    // A player's team: the number of its "Team=" line.
    static std::optional<int> teamOf(QByteArrayView playerText);

    // The start position of a player text: the first line holding both
    // "StartingX=" and "StartingY="; each number is the text after its
    // key, up to a blank or ",". Line -1 when there is no such line.
    struct Start
    {
        qsizetype line = -1;
        std::optional<int> x, y;
        std::optional<QPoint> plot() const
        {
            return x && y ? std::optional<QPoint>(QPoint(*x, *y)) : std::nullopt;
        }
    };
    static Start startOf(QByteArrayView playerText);
    // The player text with its start line rewritten as
    // "StartingX=X, StartingY=Y" (added at the end when it has none), or
    // removed for nothing.
    static QByteArray withStart(QByteArrayView playerText, std::optional<QPoint> plot);
};

} // namespace vor4
