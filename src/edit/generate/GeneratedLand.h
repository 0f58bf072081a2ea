#pragma once
// The plots of a generated map before they are written as text: one byte
// a fact, row after row from the north-west corner.

#include <cstdint>
#include <vector>

namespace vor4 {

struct GeneratedLand
{
    enum PlotType : std::uint8_t { Peak = 0, Hill = 1, Flat = 2, Water = 3, NoPlotType = 255 };
    enum Terrain : std::uint8_t { NoTerrain, Ocean, Coast, Grass, Plains, Desert, Tundra, Snow };
    enum Feature : std::uint8_t { NoFeature, Forest, Jungle, Ice };
    static constexpr std::int8_t NoRiver = -1;

    int width = 0, height = 0;
    bool wrapX = false, wrapY = false;
    std::vector<std::uint8_t> plotType, terrain, feature;
    // The flow (a compass point) of the river along each plot's south and
    // east edge, or NoRiver.
    std::vector<std::int8_t> southFlow, eastFlow;
    // Steps to the nearest water plot; 0 on water.
    std::vector<std::uint16_t> coastDistance;

    int index(int x, int y) const { return y * width + x; }
    bool isLand(int i) const { return plotType[std::size_t(i)] <= Flat; }
    // The larger of the x and y distances, the short way round on a
    // wrapping axis: the balance report's distance between starts.
    int distance(int a, int b) const
    {
        int dx = a % width - b % width, dy = a / width - b / width;
        dx = dx < 0 ? -dx : dx;
        dy = dy < 0 ? -dy : dy;
        if (wrapX && width - dx < dx)
            dx = width - dx;
        if (wrapY && height - dy < dy)
            dy = height - dy;
        return dx > dy ? dx : dy;
    }
};

} // namespace vor4
