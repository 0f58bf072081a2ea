#include "StartPlacement.h"

#include "SeededRandom.h"

#include <algorithm>
#include <climits>

namespace vor4 {

std::vector<int> StartPlacement::candidates(const GeneratedLand &land, int wanted)
{
    const MapWrap surface = land.surface();
    std::vector<int> best, good, any;
    for (int i = 0; i < land.width * land.height; ++i) {
        const std::uint8_t type = land.plotType[std::size_t(i)], terrain = land.terrain[std::size_t(i)];
        if (type != GeneratedLand::Flat && type != GeneratedLand::Hill)
            continue;
        any.push_back(i);
        if ((terrain != GeneratedLand::Grass && terrain != GeneratedLand::Plains) || land.coastDistance[std::size_t(i)] < 2)
            continue;
        good.push_back(i);
        int peaks = 0, harsh = 0;
        for (const QPoint &p : surface.workArea(land.at(i))) {
            const std::size_t q = std::size_t(land.index(p.x(), p.y()));
            peaks += land.plotType[q] == GeneratedLand::Peak;
            harsh += land.terrain[q] == GeneratedLand::Snow || land.terrain[q] == GeneratedLand::Tundra
                  || land.terrain[q] == GeneratedLand::Desert;
        }
        if (peaks <= 2 && harsh <= 4)
            best.push_back(i);
    }
    return int(best.size()) >= wanted ? best : int(good.size()) >= wanted ? good : any;
}

std::vector<int> StartPlacement::placeFrom(const GeneratedLand &land, const std::vector<int> &candidates, int count,
                                           std::size_t first)
{
    std::vector<int> placed;
    if (candidates.empty() || count <= 0)
        return placed;
    const MapWrap surface = land.surface();
    std::vector<QPoint> points;
    for (const int c : candidates)
        points.push_back(land.at(c));
    std::vector<int> gap(candidates.size(), INT_MAX);
    std::size_t next = first;
    while (int(placed.size()) < count && int(placed.size()) < int(candidates.size())) {
        const int plot = candidates[next];
        placed.push_back(plot);
        std::size_t far = 0;
        for (std::size_t c = 0; c < candidates.size(); ++c) {
            gap[c] = std::min(gap[c], surface.distance(points[next], points[c]));
            if (gap[c] > gap[far])
                far = c;
        }
        next = far;
    }
    return placed;
}

std::vector<int> StartPlacement::place(const GeneratedLand &land, const std::vector<int> &candidates, int count,
                                       std::uint64_t seed)
{
    std::vector<int> best = placeFrom(land, candidates, count, 0);
    if (best.size() < 2)
        return best;
    int bestNearest = nearest(land, best);
    SeededRandom rng(seed ^ 0x53544152ULL);
    // Fewer tries on big maps: each costs a pass over the candidates a start.
    const int tries = candidates.size() > 200000 ? 3 : 7;
    for (int t = 0; t < tries; ++t) {
        std::vector<int> tried = placeFrom(land, candidates, count, rng.below(std::uint32_t(candidates.size())));
        const int d = nearest(land, tried);
        if (d > bestNearest) {
            best = std::move(tried);
            bestNearest = d;
        }
    }
    return best;
}

int StartPlacement::nearest(const GeneratedLand &land, const std::vector<int> &plots)
{
    const MapWrap surface = land.surface();
    int d = -1;
    for (std::size_t a = 0; a < plots.size(); ++a)
        for (std::size_t b = a + 1; b < plots.size(); ++b) {
            const int ab = surface.distance(land.at(plots[a]), land.at(plots[b]));
            d = d < 0 ? ab : std::min(d, ab);
        }
    return d;
}

} // namespace vor4
