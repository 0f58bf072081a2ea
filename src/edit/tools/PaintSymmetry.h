#pragma once
// Symmetric painting: every plot a tool paints is painted at its images
// too, and a river edge drawn at its images turned as the transforms turn
// rivers. Cells are (column, row), row 0 north, on a W x H grid.

#include <QList>
#include <QPoint>
#include <QRegion>
#include <QSize>
#include <QString>

namespace vor4 {

class PaintSymmetry
{
public:
    enum Mode { None, MirrorLeftRight, MirrorTopBottom, MirrorFourWays, Rotate180, Rotate90FourWays };
    static constexpr int ModeCount = 6;

    PaintSymmetry() = default;
    PaintSymmetry(Mode mode, QSize grid) : m_mode(mode), m_grid(grid) {}

    static QString name(Mode mode);
    // Why the mode cannot be used on the grid (a quarter turn needs a
    // square map), or empty.
    static QString refusal(Mode mode, QSize grid);

    Mode mode() const { return m_mode; }
    // The number of images, the plot itself included; 1 when the mode does
    // not fit the grid.
    int imageCount() const;
    // The k-th image of a cell, k = 0 the cell itself.
    QPoint image(QPoint cell, int k) const;
    // A compass point (0 north … 3 west) as the k-th image turns it.
    int turned(int compass, int k) const;
    // The cells and all their images.
    QRegion withImages(const QRegion &cells) const;

private:
    enum Turn { Same, LeftRight, TopBottom, HalfTurn, Quarter, ThreeQuarters };
    Turn turnOf(int k) const;

    Mode m_mode = None;
    QSize m_grid;
};

} // namespace vor4
