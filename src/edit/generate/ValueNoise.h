#pragma once
// Smooth noise over a map, 0 to 65535, in fixed point: values at the points
// of a lattice, hashed from the seed, blended with a smoothstep, several
// octaves summed with halving weights. On an axis that wraps the lattice
// repeats over the map, so the noise has no seam there.

#include <cstdint>
#include <vector>

namespace vor4 {

class ValueNoise
{
public:
    // cell: the coarsest lattice spacing, in plots; each octave halves it,
    // down to `finest`.
    ValueNoise(std::uint64_t seed, int width, int height, int cell, int finest, bool wrapX, bool wrapY);

    int at(int x, int y) const;

private:
    struct Octave
    {
        int periodX = 1, periodY = 1; // lattice cells over the map
        int weight = 1;
        std::vector<std::uint16_t> values; // (periodX + 1) x (periodY + 1)
        // Per column and per row: the lattice cell, and the smoothstep of
        // the place in it (16-bit fixed point), worked out once.
        std::vector<int> cellX, cellY, stepX, stepY;
    };
    static int smoothstep(int t);
    static int blend(int a, int b, int s) { return a + int(((std::int64_t(b) - a) * s) >> 16); }

    int m_width, m_height;
    int m_weights = 0;
    std::vector<Octave> m_octaves;
};

} // namespace vor4
