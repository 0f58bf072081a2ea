#pragma once
// The random numbers of the map generator, in integers only, so that a seed
// gives the same map on every machine and compiler: splitmix64.

#include <cstdint>

namespace vor4 {

class SeededRandom
{
public:
    explicit SeededRandom(std::uint64_t seed) : m_state(seed) {}

    // splitmix64's finaliser, also the hash of the noise lattices.
    static std::uint64_t mix(std::uint64_t z)
    {
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

    std::uint64_t next()
    {
        m_state += 0x9e3779b97f4a7c15ULL;
        return mix(m_state);
    }
    // 0 to n - 1; n above 0.
    std::uint32_t below(std::uint32_t n) { return std::uint32_t(((next() >> 32) * n) >> 32); }

private:
    std::uint64_t m_state;
};

} // namespace vor4
