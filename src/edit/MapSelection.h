#pragma once
// The selected region of the map: a set of cells of any shape, or none.
// Delete, Replace all and the statistics work on its cells; Copy, Cut, Crop
// and the transforms on its bounding rectangle. Without a selection they
// work on the whole map. It changes through ChangeSelection steps, so that
// undo brings back the selection there was.

#include <QObject>
#include <QRegion>

namespace vor4 {

class MapSelection : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Cells, column x and row y; empty when nothing is selected.
    const QRegion &region() const { return m_region; }
    QRect boundingRect() const { return m_region.boundingRect(); }
    bool isEmpty() const { return m_region.isEmpty(); }
    qint64 cellCount() const;

Q_SIGNALS:
    void changed(const QRegion &before, const QRegion &now);

private:
    // Only ChangeSelection steps change it, and the document keeps it inside
    // its grid; the cells kept inside a grid of this size.
    friend class ChangeSelection;
    friend class MapDocument;
    void setRegion(const QRegion &cells, const QSize &grid);

    QRegion m_region;
};

} // namespace vor4
