#include "LandGenerator.h"

#include "SeededRandom.h"
#include "ValueNoise.h"

#include <algorithm>
#include <deque>
#include <functional>

namespace vor4 {

namespace {

// Heap keys: the priority above, the plot below, so that equal priorities
// pop in plot order whatever the heap's implementation.
std::uint64_t heapKey(int priority, int plot)
{
    return (std::uint64_t(std::uint32_t(priority + (1 << 30))) << 32) | (0xffffffffu - std::uint32_t(plot));
}
int plotOfKey(std::uint64_t key) { return int(0xffffffffu - std::uint32_t(key)); }

void pushKey(std::vector<std::uint64_t> &heap, std::uint64_t key)
{
    heap.push_back(key);
    std::push_heap(heap.begin(), heap.end());
}

std::uint64_t popKey(std::vector<std::uint64_t> &heap)
{
    std::pop_heap(heap.begin(), heap.end());
    const std::uint64_t key = heap.back();
    heap.pop_back();
    return key;
}

int isqrt(std::int64_t n)
{
    std::int64_t r = 0;
    while ((r + 1) * (r + 1) <= n)
        ++r;
    return int(r);
}

} // namespace

GeneratedLand LandGenerator::generate(const NewMapSettings &settings)
{
    LandGenerator g(settings);
    g.fillBase();
    if (settings.land != NewMapSettings::Land::None) {
        g.growLand();
        g.measureCoast();
        g.raiseHills();
        g.paintClimate();
        g.drawRivers();
    }
    return std::move(g.m_land);
}

LandGenerator::LandGenerator(const NewMapSettings &settings)
    : m_settings(settings)
{
    m_land.width = std::max(1, settings.width);
    m_land.height = std::max(1, settings.height);
    m_land.wrapX = settings.wrapX;
    m_land.wrapY = settings.wrapY;
}

template <typename F>
void LandGenerator::forNeighbours(int i, bool diagonals, F &&f) const
{
    const int w = m_land.width, h = m_land.height;
    const int x = i % w, y = i / w;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            if ((dx == 0 && dy == 0) || (!diagonals && dx != 0 && dy != 0))
                continue;
            int nx = x + dx, ny = y + dy;
            if (nx < 0 || nx >= w) {
                if (!m_land.wrapX || w < 3)
                    continue;
                nx = (nx + w) % w;
            }
            if (ny < 0 || ny >= h) {
                if (!m_land.wrapY || h < 3)
                    continue;
                ny = (ny + h) % h;
            }
            f(ny * w + nx);
        }
}

int LandGenerator::latitude(int row) const
{
    const int top = m_settings.topLatitude, bottom = m_settings.bottomLatitude;
    return top + (bottom - top) * (2 * row + 1) / (2 * m_land.height);
}

void LandGenerator::fillBase()
{
    const std::size_t n = std::size_t(m_land.width) * std::size_t(m_land.height);
    using Base = NewMapSettings::Base;
    const bool grass = m_settings.land == NewMapSettings::Land::None && m_settings.base == Base::Grass;
    const bool empty = m_settings.land == NewMapSettings::Land::None && m_settings.base == Base::Empty;
    m_land.plotType.assign(n, empty ? GeneratedLand::NoPlotType : grass ? GeneratedLand::Flat : GeneratedLand::Water);
    m_land.terrain.assign(n, empty ? GeneratedLand::NoTerrain : grass ? GeneratedLand::Grass : GeneratedLand::Ocean);
    m_land.feature.assign(n, GeneratedLand::NoFeature);
    m_land.southFlow.assign(n, GeneratedLand::NoRiver);
    m_land.eastFlow.assign(n, GeneratedLand::NoRiver);
    m_land.coastDistance.assign(n, grass ? 0xffff : 0);
}

// Landmasses grow from their seeds one plot at a time, each taking the
// plot of its coast where the noise is highest, less a pull towards its
// seed. A plot next to another landmass (diagonals too) is not taken, so
// the masses stay apart; when they cannot reach the share apart, the last
// plots join them.
void LandGenerator::growLand()
{
    const int w = m_land.width, h = m_land.height;
    const std::int64_t n = std::int64_t(w) * h;
    const std::int64_t target = std::min<std::int64_t>(n, (n * m_settings.landShare + 50) / 100);
    m_owner.assign(std::size_t(n), -1);
    if (target <= 0)
        return;
    std::vector<Mass> masses = seedMasses(target);
    // Read once a plot: a plot is weighed by each mass beside it.
    m_height.resize(std::size_t(n));
    const ValueNoise noise(m_settings.seed, w, h,
                           m_settings.land == NewMapSettings::Land::Islands ? 6 : std::max(6, std::min(w, h) / 4), 1,
                           m_land.wrapX, m_land.wrapY);
    for (int i = 0; i < n; ++i)
        m_height[std::size_t(i)] = std::uint16_t(noise.at(i % w, i / w));
    const std::int64_t grown = growMasses(masses, target);
    if (grown < target)
        joinRemainder(target - grown);
    for (int i = 0; i < n; ++i)
        if (m_owner[std::size_t(i)] >= 0) {
            m_land.plotType[std::size_t(i)] = GeneratedLand::Flat;
            m_land.terrain[std::size_t(i)] = GeneratedLand::Grass;
        }
}

// Seeds far apart, away from the poles: a few big masses take the best of
// many random plots, islands one plot in each cell of a grid. Each mass is
// given its share of the land.
std::vector<LandGenerator::Mass> LandGenerator::seedMasses(std::int64_t target) const
{
    using Land = NewMapSettings::Land;
    const int w = m_land.width, h = m_land.height;
    SeededRandom rng(std::uint64_t(m_settings.seed) * 0x100000001ULL + 0x4c414e44);
    const Land kind = m_settings.land;
    int count = kind == Land::Pangaea ? 1 : kind == Land::Continents ? 2 + int(rng.below(5)) : int(std::max<std::int64_t>(7, target / 30));
    count = int(std::min<std::int64_t>(count, target));
    const int band = kind == Land::Pangaea ? std::max(1, h * 2 / 5) : std::max(1, h * 7 / 10);
    const int bandTop = (h - band) / 2;
    std::vector<Mass> masses;
    // A seed keeps two plots of water between itself and the others.
    std::vector<bool> seeded(std::size_t(w) * std::size_t(h), false);
    const MapWrap surface = m_land.surface();
    const auto addSeed = [&](int plot) {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const std::optional<QPoint> q = surface.onMap(m_land.at(plot) + QPoint(dx, dy));
                if (q && seeded[std::size_t(m_land.index(q->x(), q->y()))])
                    return;
            }
        seeded[std::size_t(plot)] = true;
        Mass m;
        m.seed = plot;
        masses.push_back(std::move(m));
    };
    if (kind == Land::Islands) {
        const int cell = std::max(3, isqrt(std::int64_t(w) * band / count));
        for (int cy = 0; cy < band; cy += cell)
            for (int cx = 0; cx < w; cx += cell) {
                const int x = std::min(w - 1, cx + int(rng.below(std::uint32_t(cell))));
                const int y = std::min(h - 1, bandTop + cy + int(rng.below(std::uint32_t(cell))));
                addSeed(y * w + x);
            }
    } else {
        for (int k = 0; k < count; ++k) {
            int best = -1, bestDistance = -1;
            for (int t = 0; t < (k == 0 ? 1 : 24); ++t) {
                const int plot = int(rng.below(std::uint32_t(band)) + std::uint32_t(bandTop)) * w + int(rng.below(std::uint32_t(w)));
                int d = 1 << 30;
                for (const Mass &m : masses)
                    d = std::min(d, surface.distance(m_land.at(plot), m_land.at(m.seed)));
                if (d > bestDistance) {
                    best = plot;
                    bestDistance = d;
                }
            }
            addSeed(best);
        }
    }
    std::vector<int> weights;
    int weightSum = 0;
    for (std::size_t k = 0; k < masses.size(); ++k) {
        weights.push_back(kind == Land::Continents ? 2 + int(rng.below(4)) : kind == Land::Islands ? 1 + int(rng.below(4)) : 1);
        weightSum += weights.back();
    }
    std::int64_t shared = 0;
    for (std::size_t k = 0; k < masses.size(); ++k) {
        masses[k].target = target * weights[k] / weightSum;
        shared += masses[k].target;
        masses[k].radius = std::max(1, isqrt(masses[k].target));
    }
    masses[0].target += target - shared;
    return masses;
}

// First each mass to its own size, then any that can still grow, apart;
// the plots taken.
std::int64_t LandGenerator::growMasses(std::vector<Mass> &masses, std::int64_t target)
{
    const MapWrap surface = m_land.surface();
    const auto priority = [&](int plot, const Mass &m) {
        const QPoint span = surface.span(m_land.at(plot), m_land.at(m.seed));
        const int d = std::max(span.x(), span.y()) + std::min(span.x(), span.y()) / 2;
        // Land thins out toward the poles.
        const int cold = std::max(0, std::abs(latitude(plot / m_land.width)) - 60) * 800;
        return m_height[std::size_t(plot)] - int(std::int64_t(24000) * d / m.radius) - cold;
    };
    std::int64_t total = 0;
    const auto take = [&](int plot, int k) {
        m_owner[std::size_t(plot)] = k;
        ++masses[std::size_t(k)].size;
        ++total;
        forNeighbours(plot, false, [&](int q) {
            if (m_owner[std::size_t(q)] < 0)
                pushKey(masses[std::size_t(k)].frontier, heapKey(priority(q, masses[std::size_t(k)]), q));
        });
    };
    const auto apart = [&](int plot, int k) {
        bool ok = m_owner[std::size_t(plot)] < 0;
        forNeighbours(plot, true, [&](int q) { ok = ok && (m_owner[std::size_t(q)] < 0 || m_owner[std::size_t(q)] == k); });
        return ok;
    };
    for (std::size_t k = 0; k < masses.size(); ++k)
        take(masses[k].seed, int(k));
    for (const bool toTarget : {true, false}) {
        for (Mass &m : masses)
            m.stalled = false;
        bool growing = true;
        while (growing && total < target) {
            growing = false;
            for (std::size_t k = 0; k < masses.size() && total < target; ++k) {
                Mass &m = masses[k];
                if (m.stalled || (toTarget && m.size >= m.target))
                    continue;
                int plot = -1;
                while (!m.frontier.empty() && plot < 0) {
                    const int q = plotOfKey(popKey(m.frontier));
                    if (apart(q, int(k)))
                        plot = q;
                }
                if (plot < 0) {
                    m.stalled = true;
                    continue;
                }
                take(plot, int(k));
                growing = true;
            }
        }
    }
    return total;
}

// The water beside the land that the noise rates highest becomes land, its
// landmass the first one beside it, until `count` plots more are land.
void LandGenerator::joinRemainder(std::int64_t count)
{
    const int n = m_land.width * m_land.height;
    const auto massBeside = [&](int plot) {
        int by = -1;
        forNeighbours(plot, false, [&](int q) { by = by < 0 ? m_owner[std::size_t(q)] : by; });
        return by;
    };
    std::vector<std::uint64_t> coast;
    for (int i = 0; i < n; ++i)
        if (m_owner[std::size_t(i)] < 0 && massBeside(i) >= 0)
            pushKey(coast, heapKey(m_height[std::size_t(i)], i));
    while (count > 0 && !coast.empty()) {
        const int plot = plotOfKey(popKey(coast));
        if (m_owner[std::size_t(plot)] >= 0)
            continue;
        m_owner[std::size_t(plot)] = massBeside(plot);
        --count;
        forNeighbours(plot, false, [&](int q) {
            if (m_owner[std::size_t(q)] < 0)
                pushKey(coast, heapKey(m_height[std::size_t(q)], q));
        });
    }
}

void LandGenerator::measureCoast()
{
    const int n = m_land.width * m_land.height;
    std::deque<int> queue;
    for (int i = 0; i < n; ++i) {
        const bool land = m_land.isLand(i);
        m_land.coastDistance[std::size_t(i)] = land ? 0xffff : 0;
        if (!land)
            queue.push_back(i);
    }
    while (!queue.empty()) {
        const int i = queue.front();
        queue.pop_front();
        const std::uint16_t next = std::uint16_t(std::min(0xfffe, m_land.coastDistance[std::size_t(i)] + 1));
        forNeighbours(i, false, [&](int q) {
            if (m_land.coastDistance[std::size_t(q)] > next) {
                m_land.coastDistance[std::size_t(q)] = next;
                queue.push_back(q);
            }
        });
    }
}

// Ridges are where a smooth noise crosses its middle; inland plots stand
// higher. The highest land becomes peaks (never on the coast), the next
// hills, by the asked shares.
void LandGenerator::raiseHills()
{
    const int w = m_land.width, n = w * m_land.height;
    const ValueNoise ridges(std::uint64_t(m_settings.seed) ^ 0x52494447ULL, w, m_land.height,
                            std::max(10, std::min(w, m_land.height) / 10), 2, m_land.wrapX,
                            m_land.wrapY);
    std::vector<std::uint64_t> ranked;
    for (int i = 0; i < n; ++i)
        if (m_land.isLand(i)) {
            const int ridge = 65535 - 2 * std::abs(ridges.at(i % w, i / w) - 32768);
            const int score = ridge + std::min<int>(m_land.coastDistance[std::size_t(i)], 4) * 1500;
            ranked.push_back(heapKey(score, i));
        }
    std::sort(ranked.begin(), ranked.end(), std::greater<>());
    std::int64_t peaks = std::int64_t(ranked.size()) * m_settings.peakShare / 100;
    std::int64_t hills = std::int64_t(ranked.size()) * m_settings.hillShare / 100;
    for (const std::uint64_t key : ranked) {
        const int i = plotOfKey(key);
        if (peaks > 0 && m_land.coastDistance[std::size_t(i)] >= 2) {
            m_land.plotType[std::size_t(i)] = GeneratedLand::Peak;
            --peaks;
        } else if (hills > 0) {
            m_land.plotType[std::size_t(i)] = GeneratedLand::Hill;
            --hills;
        }
    }
}

// Snow and tundra toward the poles, desert and plains in the dry belts
// (20 to 38 degrees), grassland elsewhere; jungle near the equator and
// forest in the temperate and cold belts where it is wet; ice on polar
// water. A little noise on the latitude keeps the belts from being lines.
void LandGenerator::paintClimate()
{
    const int w = m_land.width, h = m_land.height;
    const ValueNoise warmth(std::uint64_t(m_settings.seed) ^ 0x5741524dULL, w, h, std::max(8, std::min(w, h) / 8), 4,
                             m_land.wrapX, m_land.wrapY);
    const ValueNoise moisture(std::uint64_t(m_settings.seed) ^ 0x4d4f4953ULL, w, h, std::max(10, std::min(w, h) / 6), 2,
                               m_land.wrapX, m_land.wrapY);
    for (int y = 0; y < h; ++y) {
        const int lat = std::abs(latitude(y));
        for (int x = 0; x < w; ++x) {
            const std::size_t i = std::size_t(y) * std::size_t(w) + std::size_t(x);
            const int a = lat + (warmth.at(x, y) - 32768) * 8 / 32768;
            if (!m_land.isLand(int(i))) {
                bool byLand = false;
                forNeighbours(int(i), true, [&](int q) { byLand = byLand || m_land.isLand(q); });
                m_land.terrain[i] = byLand ? GeneratedLand::Coast : GeneratedLand::Ocean;
                if (a >= 80)
                    m_land.feature[i] = GeneratedLand::Ice;
                continue;
            }
            const int m = moisture.at(x, y);
            std::uint8_t terrain = GeneratedLand::Grass, feature = GeneratedLand::NoFeature;
            if (a >= 78) {
                terrain = GeneratedLand::Snow;
            } else if (a >= 66) {
                terrain = GeneratedLand::Tundra;
                feature = m > 36000 ? GeneratedLand::Forest : GeneratedLand::NoFeature;
            } else if (a >= 20 && a < 38) {
                terrain = m < 26000 ? GeneratedLand::Desert : m < 40000 ? GeneratedLand::Plains : GeneratedLand::Grass;
                feature = m > 46000 ? GeneratedLand::Forest : GeneratedLand::NoFeature;
            } else {
                terrain = m < 24000 ? GeneratedLand::Plains : GeneratedLand::Grass;
                if (a < 20 && terrain == GeneratedLand::Grass && m > 34000)
                    feature = GeneratedLand::Jungle;
                else if (a >= 38 && m > 38000)
                    feature = GeneratedLand::Forest;
            }
            m_land.terrain[i] = terrain;
            m_land.feature[i] = m_land.plotType[i] == GeneratedLand::Peak ? std::uint8_t(GeneratedLand::NoFeature) : feature;
        }
    }
}

// A river starts at a corner among hills or peaks and walks from corner to
// corner along edges between two land plots, always to the lowest corner
// it has not passed (a corner is as low as its plots are near the sea),
// until a corner touches water or another river. Walks that end nowhere
// are dropped.
void LandGenerator::drawRivers()
{
    const int w = m_land.width, h = m_land.height;
    const int cw = w + 1;
    const auto plot = [&](int x, int y) { return y * w + x; };
    const auto cornerHeight = [&](int cx, int cy, bool *wet) {
        int sum = 0;
        *wet = false;
        for (int dy = -1; dy <= 0; ++dy)
            for (int dx = -1; dx <= 0; ++dx) {
                const int x = cx + dx, y = cy + dy;
                if (x < 0 || y < 0 || x >= w || y >= h)
                    continue;
                const int d = m_land.coastDistance[std::size_t(plot(x, y))];
                *wet = *wet || d == 0;
                sum += d;
            }
        return sum;
    };
    std::vector<int> sources;
    for (int cy = 1; cy < h; ++cy)
        for (int cx = 1; cx < w; ++cx) {
            const int around[] = {plot(cx - 1, cy - 1), plot(cx, cy - 1), plot(cx - 1, cy), plot(cx, cy)};
            bool land = true, high = false;
            for (const int p : around) {
                land = land && m_land.isLand(p);
                high = high || m_land.plotType[std::size_t(p)] <= GeneratedLand::Hill;
            }
            if (land && high)
                sources.push_back(cy * cw + cx);
        }
    std::int64_t landPlots = 0;
    for (int i = 0; i < w * h; ++i)
        landPlots += m_land.isLand(i);
    SeededRandom rng(std::uint64_t(m_settings.seed) ^ 0x52495645ULL);
    std::vector<std::uint8_t> onRiver(std::size_t(cw) * std::size_t(h + 1), 0);
    struct Step
    {
        int carrier;
        bool south; // along the carrier's south edge, else its east edge
        std::int8_t flow;
    };
    // East, south, west, north: the corner moved to and the edge passed.
    const int dxs[] = {1, 0, -1, 0}, dys[] = {0, 1, 0, -1};
    const std::int8_t flows[] = {1, 2, 3, 0};
    for (std::int64_t wanted = std::max<std::int64_t>(1, landPlots / 100); wanted > 0 && !sources.empty();) {
        const std::size_t pick = rng.below(std::uint32_t(sources.size()));
        int cx = sources[pick] % cw, cy = sources[pick] / cw;
        sources[pick] = sources.back();
        sources.pop_back();
        if (onRiver[std::size_t(cy * cw + cx)])
            continue;
        std::vector<Step> steps;
        std::vector<int> passed{cy * cw + cx};
        bool arrived = false;
        for (int guard = 0; guard < 4 * (w + h) && !arrived; ++guard) {
            int best = -1, bestHeight = 0;
            Step bestStep{};
            for (int d = 0; d < 4; ++d) {
                const int nx = cx + dxs[d], ny = cy + dys[d];
                if (nx < 0 || ny < 0 || nx > w || ny > h)
                    continue;
                // The two plots beside the edge, and its carrier (north or west).
                const bool horizontal = dys[d] == 0;
                const int ex = horizontal ? std::min(cx, nx) : cx - 1, ey = horizontal ? cy - 1 : std::min(cy, ny);
                const int ox = horizontal ? ex : ex + 1, oy = horizontal ? ey + 1 : ey;
                if (ex < 0 || ey < 0 || ox >= w || oy >= h)
                    continue;
                const int a = plot(ex, ey), b = plot(ox, oy);
                const std::int8_t taken = horizontal ? m_land.southFlow[std::size_t(a)] : m_land.eastFlow[std::size_t(a)];
                const int next = ny * cw + nx;
                if (!m_land.isLand(a) || !m_land.isLand(b) || taken != GeneratedLand::NoRiver
                    || std::find(passed.begin(), passed.end(), next) != passed.end())
                    continue;
                bool wet = false;
                const int height = cornerHeight(nx, ny, &wet) - (wet || onRiver[std::size_t(next)] ? 1000 : 0);
                if (best < 0 || height < bestHeight) {
                    best = next;
                    bestHeight = height;
                    bestStep = Step{a, horizontal, flows[d]};
                }
            }
            if (best < 0)
                break;
            steps.push_back(bestStep);
            passed.push_back(best);
            cx = best % cw;
            cy = best / cw;
            bool wet = false;
            cornerHeight(cx, cy, &wet);
            arrived = wet || onRiver[std::size_t(best)];
        }
        if (!arrived || steps.size() < 3)
            continue;
        for (const Step &s : steps)
            (s.south ? m_land.southFlow : m_land.eastFlow)[std::size_t(s.carrier)] = s.flow;
        for (const int c : passed)
            onRiver[std::size_t(c)] = 1;
        --wanted;
    }
}

} // namespace vor4
