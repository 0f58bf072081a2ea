#pragma once
// The plots of a generated map before they are written as text: one byte
// a fact, row after row from the north-west corner.

#include "MapWrap.h"

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
    QPoint at(int i) const { return QPoint(i % width, i / width); }
    bool isLand(int i) const { return plotType[std::size_t(i)] <= Flat; }
    MapWrap surface() const { return {width, height, wrapX, wrapY}; }
};

} // namespace vor4
