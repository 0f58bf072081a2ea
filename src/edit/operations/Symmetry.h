#pragma once
// Make symmetric: one half of the map written over the other as its mirror
// image or its half-turn, with the rivers turned and every player whole.
// With W x H plots and n = W / 2 (m = H / 2), the left half is x < n and
// its other side x > W - 1 - n; bottom is y < m (file coordinates, y from
// the bottom). An odd middle column or row belongs to neither side.
//
// Players are paired by their effective starts (PlayerStarts): those
// starting on this side with those on the other, the nearest first. In
// the images a player's number becomes its partner's and the partner's
// its own: units' and cities' owners, signs' owners, and the teams in
// "TeamReveal=" lines where two teams pair whole. Players left without a
// partner (an odd count, a start on the middle) keep what they have on
// both sides and get no image; owners that are no player in use
// (barbarians, animals) are copied as they are.

#include "MapDocument.h"
#include "PlayerStarts.h"

#include <QHash>
#include <QList>
#include <QPoint>
#include <QSet>
#include <QString>
#include <optional>

namespace vor4 {

struct MapWrap;

class Symmetry
{
public:
    enum Side { Left, Right, Bottom, Top };
    enum Mode { Mirror, HalfTurn };

    struct Result
    {
        bool ok = true;
        // The step's name with what it wrote, the pairs and the players
        // kept, or why nothing was done.
        QString message;
        // Whether the message names players kept as they were or what a
        // player lost: worth a dialog, not only the status bar.
        bool notable = false;
    };
    // One undo step.
    static Result makeSymmetric(MapDocument &doc, Side side, Mode mode);

    // Who takes whose place in the images.
    struct Pairing
    {
        QList<std::pair<int, int>> pairs; // (this side's player, the other side's), nearest first
        QHash<int, int> partner;          // both ways
        QSet<int> inUse;                  // players with an effective start
        QSet<int> kept;                   // players in use without a partner
        QHash<int, int> teamPartner;      // teams that swap, both ways
        QSet<int> teamsInUse, pairedTeams, keptTeams;

        // Teams from their players' pairs (teamOfPlayer: each player's team).
        void pairTeams(const QHash<int, int> &teamOfPlayer);
        // An owner or a team in an image: its partner, itself, or nothing
        // (a player kept, or a team of only kept players).
        std::optional<int> ownerInImage(int owner) const;
        std::optional<int> teamInImage(int team) const;
    };
    // Pairs the players starting on this side with those starting on the
    // other: of all such pairs the one whose image of this side's start lies
    // nearest to the other's start (the surface's distance), then the next
    // among the rest; ties go to the lower slots.
    static Pairing pairPlayers(const QList<PlayerStart> &starts, Side side, Mode mode, const MapWrap &surface);

    // "left", "right", "bottom", "top", letter case ignored.
    static std::optional<Side> sideNamed(QStringView word);
    static QString sideName(Side side);

    // The geometry, in cells (column, row; row 0 north) of a W x H grid.
    static bool inSource(QPoint cell, Side side, QSize grid);
    static bool inDestination(QPoint cell, Side side, QSize grid);
    static QPoint image(QPoint cell, Side side, Mode mode, QSize grid);
    static int turnedCompass(int direction, Side side, Mode mode);
};

} // namespace vor4
