#pragma once
// Where the players of a generated map start: on flat or hill land, spread
// so that the nearest two starts are as far apart as the map allows.

#include "GeneratedLand.h"

#include <cstdint>
#include <vector>

namespace vor4 {

class StartPlacement
{
public:
    // The plots a start may take: flat or hill grassland or plains not
    // beside water, with at most 2 peaks and 4 plots of snow, tundra or
    // desert among the 21 plots of its work area; when there are fewer
    // than `wanted` of them, without the work area's rule; when still too
    // few, any flat or hill plot. Row after row from the north-west corner.
    static std::vector<int> candidates(const GeneratedLand &land, int wanted);
    // Farthest-point placement: each start after the first on the
    // candidate farthest from those placed (the first candidate on a tie).
    // Tried from the first candidate and from a few chosen by the seed; the
    // try whose nearest two starts are farthest apart is kept. At most as
    // many starts as candidates.
    static std::vector<int> place(const GeneratedLand &land, const std::vector<int> &candidates, int count,
                                  std::uint64_t seed);
    // Farthest-point placement from one first plot.
    static std::vector<int> placeFrom(const GeneratedLand &land, const std::vector<int> &candidates, int count,
                                      std::size_t first);
    // The distance between the nearest two plots, or -1 for fewer than two.
    static int nearest(const GeneratedLand &land, const std::vector<int> &plots);
};

} // namespace vor4
