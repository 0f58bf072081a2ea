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
    explicit LandGenerator(const NewMapSettings &settings);
    void fillBase();
    void growLand();
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
};

} // namespace vor4
