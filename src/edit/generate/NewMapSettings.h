#pragma once
// What a new map is made of: its size, wrap and latitudes, the plots it
// starts from, its players and the land generated on it.

#include <QString>
#include <QtGlobal>

namespace vor4 {

struct NewMapSettings
{
    enum class Base { Ocean, Grass, Empty };
    enum class Land { None, Continents, Pangaea, Islands };

    static constexpr int MaxSide = 1000;
    // Slots beyond the game's 18 are made when more players are asked for.
    static constexpr int MaxPlayers = 64;

    int width = 64;
    int height = 40;
    bool wrapX = true; // east–west
    bool wrapY = false; // north–south
    int topLatitude = 90;
    int bottomLatitude = -90;
    // The plots of a map without generated land; generated land lies in
    // the ocean.
    Base base = Base::Ocean;
    int players = 0;
    Land land = Land::None;
    quint32 seed = 1;
    int landShare = 35; // percent of the map, 10 to 90
    int hillShare = 18; // percent of the land
    int peakShare = 4;  // percent of the land

    // Why these settings make no map ("Width must be 1 to 1000"), or empty.
    QString problem() const;

    bool operator==(const NewMapSettings &o) const;
    bool operator!=(const NewMapSettings &o) const { return !(*this == o); }
};

} // namespace vor4
