#pragma once
// What differs between two documents as read, so that line-end and
// indentation noise never shows: the game lines, each team and player slot,
// the map header (size, header values and retained lines), the sign blocks
// and each plot, by the file's coordinates.
//
// The text form has one heading per part that differs ("@@ game",
// "@@ team N", "@@ player N", "@@ map", "@@ signs", "@@ plot X,Y"), followed
// by the lines only A has, each after "-", and the lines only B has, each
// after "+". Plots are compared where both maps have them (x and y from 0);
// a plot only one map has is listed as "@@ plot X,Y (removed)" or
// "@@ plot X,Y (added)" with all its lines. Plots come in the file's order:
// x from 0, within it y from 0.

#include "Document.h"

#include <QByteArray>
#include <QByteArrayView>
#include <functional>

namespace vor4 {

struct MapDiffStat
{
    int sections = 0; // game, map and signs, and each team and player slot, that differ
    qint64 plotsChanged = 0;
    qint64 plotsAdded = 0;
    qint64 plotsRemoved = 0;
    qint64 linesRemoved = 0;
    qint64 linesAdded = 0;
    bool same() const { return sections == 0 && plotsChanged == 0 && plotsAdded == 0 && plotsRemoved == 0; }
};

class MapDiff
{
public:
    // Receives the text in pieces, in order.
    using Sink = std::function<void(QByteArrayView)>;

    // Compares a with b; the text goes to sink when one is given.
    static MapDiffStat compare(const Document &a, const Document &b, const Sink &sink = Sink());
    static QByteArray text(const Document &a, const Document &b);
    // The counts, one "name: number" line each.
    static QByteArray statText(const MapDiffStat &stat);
};

} // namespace vor4
