#include "NewMapSettings.h"

namespace vor4 {

QString NewMapSettings::problem() const
{
    const auto outside = [](int v, int low, int high) { return v < low || v > high; };
    if (outside(width, 1, MaxSide) || outside(height, 1, MaxSide))
        return QStringLiteral("The size must be 1 to %1 plots each way").arg(MaxSide);
    if (outside(topLatitude, -90, 90) || outside(bottomLatitude, -90, 90))
        return QStringLiteral("Latitudes must be -90 to 90");
    if (outside(players, 0, MaxPlayers))
        return QStringLiteral("Players must be 0 to %1").arg(MaxPlayers);
    if (outside(landShare, 10, 90))
        return QStringLiteral("The land share must be 10 to 90 percent");
    if (outside(hillShare, 0, 100) || outside(peakShare, 0, 100) || hillShare + peakShare > 100)
        return QStringLiteral("Hills and peaks must share at most 100 percent of the land");
    if (land != Land::None && base != Base::Ocean)
        return QStringLiteral("Generated land lies in the ocean: choose the ocean as the base");
    return {};
}

bool NewMapSettings::operator==(const NewMapSettings &o) const
{
    return width == o.width && height == o.height && wrapX == o.wrapX && wrapY == o.wrapY
        && topLatitude == o.topLatitude && bottomLatitude == o.bottomLatitude && base == o.base
        && players == o.players && land == o.land && seed == o.seed && landShare == o.landShare
        && hillShare == o.hillShare && peakShare == o.peakShare;
}

} // namespace vor4
