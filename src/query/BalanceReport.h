#pragma once
// How much each player's start has around it: the plots of its work area
// counted by kind, their yields when the game's data is known, and the
// distance to the nearest other start. Plots in the file's coordinates.

#include "PlayerStarts.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPoint>
#include <QRect>
#include <array>
#include <map>
#include <optional>

namespace vor4 {

class Document;
class GameYields;
class PlotTable;

using BalanceStart = PlayerStart;

struct BalanceFigures
{
    BalanceStart start;
    int land = 0, water = 0, peaks = 0, hills = 0, flat = 0, river = 0;
    QMap<QByteArray, int> features, bonuses;
    std::optional<std::array<int, 3>> yields; // food, production, commerce
    std::optional<int> nearestPlayer;
    int nearestDistance = 0;
};

class BalanceReport
{
public:
    // The distinct plots within two of `at` without the 5 x 5 square's
    // corners, wrapped as the header says, in no set order.
    static QList<QPoint> workArea(const Document &doc, QPoint at);
    static bool isRiverPlot(const Document &doc, QPoint at);
    // The larger of the axis distances, each the short way round on a
    // wrapping axis.
    static int distance(const Document &doc, QPoint a, QPoint b);

    static QList<BalanceFigures> figures(const Document &doc, const QList<BalanceStart> &starts,
                                         const GameYields *yields = nullptr);

    // The report as a table: a row per figure, a cell per start.
    struct Row
    {
        QByteArray name;
        QList<QByteArray> cells;
        bool compared = false; // numbers whose lowest and highest mean something
    };
    static QList<Row> rows(const QList<BalanceFigures> &figures);
    static QByteArray text(const QList<BalanceFigures> &figures);
    static QByteArray csv(const QList<BalanceFigures> &figures);
    static QByteArray json(const QList<BalanceFigures> &figures);
};

} // namespace vor4
