#pragma once
// How fair the players' starts are: for each player in use, what its start
// has around it (the plots of its work area counted by kind, their yields,
// its first ring), the land nearest to it (its territory) and a score that
// weighs these against the other starts'. Plots in the file's coordinates.

#include "GameYields.h"
#include "PlayerStarts.h"
#include "Territory.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPoint>
#include <QStringList>
#include <array>
#include <optional>

namespace vor4 {

class Document;

using BalanceStart = PlayerStart;

struct BalanceFigures
{
    BalanceStart start;
    // A player in use without an effective start has no figures.
    bool hasStart = true;
    // The work area: its plots on the map (fewer than 21 where an edge
    // that does not wrap cuts it), counted by kind.
    int plots = 0;
    int land = 0, water = 0, peaks = 0, hills = 0, flat = 0, unknown = 0, river = 0;
    QMap<QByteArray, int> features, bonuses;
    // Resources that need a technology to be seen, left out of the yields.
    QMap<QByteArray, int> hidden;
    std::array<int, 3> yields{}; // food, production, commerce
    // The 8 plots around the start, and the start's own plot.
    int firstRingFood = 0; // food resources seen from the start
    bool freshWater = false, coastal = false, onHill = false, onRiver = false;
    // The land nearest to the start, shared plots in parts.
    double territory = 0, territoryAcrossWater = 0;
    double landShare = 0; // of the map's land plots, 0 to 1
    std::optional<int> nearestPlayer;
    int nearestDistance = 0;
    double score = 0; // the best start's is 100
};

struct Balance
{
    // A column per player in use (a leader or nation other than NONE, a
    // start line or a unit on the map), in slot order.
    QList<BalanceFigures> players;
    qint64 landPlots = 0;
    qint64 unknownPlots = 0; // of the whole map
    // Work-area plots without a plot type, by x, then y.
    QList<QPoint> unknownInWorkAreas;
    // The worst start's score over the best's; the worst start's player.
    double spread = 1;
    std::optional<int> worstPlayer;

    const BalanceFigures *figuresOf(int player) const;
    // What a map maker should hear about besides the table: players in use
    // without a start, plots without a plot type.
    QStringList notes() const;
};

// The balance of a map kept up to date as it changes: the settlers and the
// territory are read again only where plots change.
class BalanceAnalysis
{
public:
    // Reads the whole map.
    void scan(const Document &doc);
    // Reads again the plots of a grid area (row 0 north) that changed.
    void rescan(const Document &doc, const QRect &gridArea);
    // The report of the document as it is now; player texts are always read
    // anew.
    Balance report(const Document &doc, const GameYields &yields);
    const Territory &territory() const { return m_territory; }

private:
    SettlerIndex m_settlers;
    Territory m_territory;
    bool m_scanned = false;
};

class BalanceReport
{
public:
    // The report of a document read once.
    static Balance of(const Document &doc, const GameYields &yields = GameYields());

    // The distinct plots within two of `at` without the 5 x 5 square's
    // corners, wrapped as the header says, in no set order.
    static QList<QPoint> workArea(const Document &doc, QPoint at);
    // Whether a river runs along any of the plot's four edges.
    static bool isRiverPlot(const Document &doc, QPoint at);

    // Gives each start its score from its figures (see the README).
    static void score(QList<BalanceFigures> &players, std::optional<int> *worstPlayer, double *spread);

    // The report as a table: a row per figure, a cell per player.
    struct Row
    {
        QByteArray name;
        QList<QByteArray> cells;
        // Whether a higher value is better (1), worse (-1) or neither (0);
        // rows that are not numbers are not compared at all.
        int better = 0;
        bool compared = false;
    };
    static QList<Row> rows(const Balance &balance);
    static QByteArray text(const Balance &balance);
    static QByteArray csv(const Balance &balance);
    static QByteArray json(const Balance &balance);
};

} // namespace vor4
