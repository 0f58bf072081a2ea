#pragma once
// The selected region of the map: a rectangle of cells, or none. Copy, Cut,
// Delete, the transforms, Replace all and the statistics work on it when
// there is one, on the whole map otherwise.

#include <QObject>
#include <QRect>

namespace vor4 {

class MapSelection : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Cells, column x and row y; empty when nothing is selected.
    QRect area() const { return m_area; }
    bool isEmpty() const { return m_area.isEmpty(); }
    // The area kept inside a grid of this size (empty when it falls outside).
    void setArea(const QRect &cells, const QSize &grid);
    void clear() { setArea(QRect(), QSize()); }

Q_SIGNALS:
    void changed(const QRect &before, const QRect &now);

private:
    QRect m_area;
};

} // namespace vor4
