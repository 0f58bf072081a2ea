#pragma once
// The texts that name a plot besides the plot blocks: a player's start
// position (as PlotFacts reads it) and a sign's place (its "plotX=" and
// "plotY=" lines).
// Positions are the file's plot coordinates, y from the bottom.

#include <QByteArray>
#include <QByteArrayView>
#include <QPoint>
#include <optional>

namespace vor4 {

class MapMarks
{
public:
    // The start position of a player text; nothing without a start line or
    // when its numbers cannot be read.
    static std::optional<QPoint> startOf(QByteArrayView playerText);
    // The player text with its start line rewritten as
    // "StartingX=X, StartingY=Y" (added when it has none), or deleted for
    // nothing.
    static QByteArray withStart(QByteArrayView playerText, std::optional<QPoint> plot);

    // The plot of a sign text; nothing without both lines or numbers.
    static std::optional<QPoint> signPlot(QByteArrayView signText);
    // The sign text with its lines rewritten as "plotX=X" and "plotY=Y".
    static QByteArray withSignPlot(QByteArrayView signText, QPoint plot);
    // The player a sign belongs to, from its "playerType=" line (-1: nobody);
    // nothing without the line or a number.
    static std::optional<int> signOwner(QByteArrayView signText);
    // The sign text with that line's number rewritten.
    static QByteArray withSignOwner(QByteArrayView signText, int owner);
};

} // namespace vor4
