#pragma once
// The minimap picture of an edited document, kept in step with it: the
// blocks of the plots changed in one turn of the event loop are drawn
// together, after it.

#include <QImage>
#include <QObject>
#include <QRect>
#include <QRegion>

namespace vor4 {

class MapDocument;

class MiniMapImage : public QObject
{
    Q_OBJECT
public:
    explicit MiniMapImage(MapDocument *doc, QObject *parent = nullptr);

    const QImage &image() const { return m_image; }
    // The grid draws the blocks of the cells it paints straight into it.
    QImage *bitmap() { return &m_image; }

    // A white picture of the document's size; blocks waiting are dropped.
    void reset();
    // Every block drawn from the document.
    void render();
    // The blocks waiting are drawn now rather than after this turn.
    void flush();

Q_SIGNALS:
    // Blocks were drawn after plots changed.
    void changed();

private:
    void plotsChanged(const QRegion &cells);

    MapDocument *m_doc;
    QImage m_image;
    QRegion m_waiting; // cells whose blocks are to be drawn
};

} // namespace vor4
