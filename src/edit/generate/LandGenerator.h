#pragma once
// Land for a new map: landmasses grown from seeds over smooth noise to the
// asked share of the map, hills and peaks along ridges, terrain and
// features by latitude and moisture, coast on water next to land, and
// rivers along plot edges from high ground to the sea. Integer arithmetic
// only: a seed gives the same land everywhere.

#include "GeneratedLand.h"
#include "NewMapSettings.h"

#include <cstdint>
#include <vector>

namespace vor4 {

class LandGenerator
{
public:
    static GeneratedLand generate(const NewMapSettings &settings);

private:
    // A landmass as it grows: its plots are those whose owner it is.
    struct Mass
    {
        int seed = 0;
        std::int64_t target = 0, size = 0;
        int radius = 1; // the distance at which the pull to the seed tells
        std::vector<std::uint64_t> frontier; // a heap of the water beside it
        bool stalled = false;
    };

    explicit LandGenerator(const NewMapSettings &settings);
    void fillBase();
    void growLand();
    std::vector<Mass> seedMasses(std::int64_t target) const;
    std::int64_t growMasses(std::vector<Mass> &masses, std::int64_t target);
    void joinRemainder(std::int64_t count);
    void measureCoast();
    void raiseHills();
    void paintClimate();
    void drawRivers();

    // Each neighbour of plot i: the four beside it, or all eight, wrapped
    // where the map wraps.
    template <typename F>
    void forNeighbours(int i, bool diagonals, F &&f) const;
    // The latitude of a row, from the top latitude at the north edge to the
    // bottom latitude at the south edge.
    int latitude(int row) const;

    NewMapSettings m_settings;
    GeneratedLand m_land;
    std::vector<int> m_owner; // the landmass of each plot, -1 on water
    std::vector<std::uint16_t> m_height; // the noise the land grows over
};

} // namespace vor4
