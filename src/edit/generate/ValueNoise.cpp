#include "ValueNoise.h"

#include "SeededRandom.h"

#include <algorithm>

namespace vor4 {

ValueNoise::ValueNoise(std::uint64_t seed, int width, int height, int cell, int finest, bool wrapX, bool wrapY)
    : m_width(std::max(1, width))
    , m_height(std::max(1, height))
{
    int octaves = 1;
    while (octaves < 10 && (cell >> octaves) >= std::max(1, finest))
        ++octaves;
    for (int o = 0; o < octaves; ++o) {
        const int spacing = std::max(1, cell >> o);
        Octave oct;
        oct.periodX = std::max(1, (m_width + spacing / 2) / spacing);
        oct.periodY = std::max(1, (m_height + spacing / 2) / spacing);
        oct.weight = 1 << (octaves - 1 - o);
        const int stride = oct.periodX + 1;
        oct.values.resize(std::size_t(stride) * std::size_t(oct.periodY + 1));
        for (int j = 0; j <= oct.periodY; ++j)
            for (int i = 0; i <= oct.periodX; ++i) {
                // The last lattice line repeats the first on a wrapping axis.
                const int li = wrapX && i == oct.periodX ? 0 : i;
                const int lj = wrapY && j == oct.periodY ? 0 : j;
                const std::uint64_t h = SeededRandom::mix(seed ^ (std::uint64_t(o + 1) << 56)
                                                          ^ (std::uint64_t(lj) << 28) ^ std::uint64_t(li));
                oct.values[std::size_t(j) * std::size_t(stride) + std::size_t(i)] = std::uint16_t(h >> 48);
            }
        for (int x = 0; x < m_width; ++x) {
            const std::int64_t f = (std::int64_t(x) * oct.periodX << 16) / m_width;
            oct.cellX.push_back(int(f >> 16));
            oct.stepX.push_back(smoothstep(int(f & 0xffff)));
        }
        for (int y = 0; y < m_height; ++y) {
            const std::int64_t f = (std::int64_t(y) * oct.periodY << 16) / m_height;
            oct.cellY.push_back(int(f >> 16));
            oct.stepY.push_back(smoothstep(int(f & 0xffff)));
        }
        m_weights += oct.weight;
        m_octaves.push_back(std::move(oct));
    }
}

int ValueNoise::smoothstep(int t)
{
    // Of t in [0, 65536), in 16-bit fixed point.
    const std::int64_t tt = t;
    return int((tt * tt * (3 * 65536 - 2 * tt)) >> 32);
}

int ValueNoise::at(int x, int y) const
{
    std::int64_t sum = 0;
    for (const Octave &o : m_octaves) {
        const std::size_t stride = std::size_t(o.periodX + 1);
        const std::uint16_t *row0 =
            o.values.data() + std::size_t(o.cellY[std::size_t(y)]) * stride + std::size_t(o.cellX[std::size_t(x)]);
        const std::uint16_t *row1 = row0 + stride;
        const int sx = o.stepX[std::size_t(x)];
        sum += std::int64_t(blend(blend(row0[0], row0[1], sx), blend(row1[0], row1[1], sx), o.stepY[std::size_t(y)]))
             * o.weight;
    }
    return m_weights ? int(sum / m_weights) : 0;
}

} // namespace vor4
