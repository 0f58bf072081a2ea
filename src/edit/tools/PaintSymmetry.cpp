#include "PaintSymmetry.h"

namespace vor4 {

QString PaintSymmetry::name(Mode mode)
{
    static const char *const names[] = {"No symmetry",     "Mirror left–right", "Mirror top–bottom",
                                        "Mirror four ways", "Rotate 180°",       "Rotate 90° four ways"};
    return QString::fromUtf8(names[mode]);
}

QString PaintSymmetry::refusal(Mode mode, QSize grid)
{
    if (mode == Rotate90FourWays && grid.width() != grid.height())
        return QStringLiteral("Rotate 90° four ways needs a square map");
    return {};
}

int PaintSymmetry::imageCount() const
{
    if (!refusal(m_mode, m_grid).isEmpty())
        return 1;
    switch (m_mode) {
    case None: return 1;
    case MirrorLeftRight:
    case MirrorTopBottom:
    case Rotate180: return 2;
    case MirrorFourWays:
    case Rotate90FourWays: return 4;
    }
    return 1;
}

PaintSymmetry::Turn PaintSymmetry::turnOf(int k) const
{
    if (k <= 0 || k >= imageCount())
        return Same;
    switch (m_mode) {
    case MirrorLeftRight: return LeftRight;
    case MirrorTopBottom: return TopBottom;
    case Rotate180: return HalfTurn;
    case MirrorFourWays: return k == 1 ? LeftRight : k == 2 ? TopBottom : HalfTurn;
    case Rotate90FourWays: return k == 1 ? Quarter : k == 2 ? HalfTurn : ThreeQuarters;
    case None: break;
    }
    return Same;
}

QPoint PaintSymmetry::image(QPoint cell, int k) const
{
    const int w = m_grid.width(), h = m_grid.height();
    switch (turnOf(k)) {
    case Same: return cell;
    case LeftRight: return {w - 1 - cell.x(), cell.y()};
    case TopBottom: return {cell.x(), h - 1 - cell.y()};
    case HalfTurn: return {w - 1 - cell.x(), h - 1 - cell.y()};
    case Quarter: return {w - 1 - cell.y(), cell.x()}; // clockwise, on a square
    case ThreeQuarters: return {cell.y(), h - 1 - cell.x()};
    }
    return cell;
}

int PaintSymmetry::turned(int compass, int k) const
{
    switch (turnOf(k)) {
    case Same: return compass;
    case LeftRight: return compass % 2 == 1 ? (compass + 2) % 4 : compass;
    case TopBottom: return compass % 2 == 0 ? (compass + 2) % 4 : compass;
    case HalfTurn: return (compass + 2) % 4;
    case Quarter: return (compass + 1) % 4;
    case ThreeQuarters: return (compass + 3) % 4;
    }
    return compass;
}

QRegion PaintSymmetry::withImages(const QRegion &cells) const
{
    const int n = imageCount();
    if (n == 1)
        return cells;
    QRegion all = cells;
    for (int k = 1; k < n; ++k)
        for (const QRect &r : cells) { // a rectangle's image is a rectangle
            const QPoint a = image(r.topLeft(), k), b = image(r.bottomRight(), k);
            all += QRect(QPoint(qMin(a.x(), b.x()), qMin(a.y(), b.y())), QPoint(qMax(a.x(), b.x()), qMax(a.y(), b.y())));
        }
    return all;
}

} // namespace vor4
