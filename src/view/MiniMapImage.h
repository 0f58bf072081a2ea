#pragma once
// The minimap picture of a document in a style, kept in step with it: the
// blocks of the plots changed in one turn of the event loop are drawn
// together, after it. Whoever edits the document tells it what changed.

#include "MapStyle.h"

#include <QImage>
#include <QObject>
#include <QRect>
#include <QRegion>

namespace vor4 {

class Document;

class MiniMapImage : public QObject
{
    Q_OBJECT
public:
    explicit MiniMapImage(const Document *doc, QObject *parent = nullptr);

    const QImage &image() const { return m_image; }
    const MapStyle &style() const { return m_style; }
    // Another style draws every block again.
    void setStyle(const MapStyle &style);

    // A white picture of the document's size; blocks waiting are dropped.
    void reset();
    // Every block drawn from the document.
    void render();
    // The blocks waiting are drawn now rather than after this turn.
    void flush();

public Q_SLOTS:
    // The texts of these plots changed: their blocks are drawn after this turn.
    void plotsChanged(const QRegion &cells);
    // Another document: another size needs another picture; the one of the
    // same size is kept until the new document is rendered into it.
    void documentReplaced();

Q_SIGNALS:
    // Blocks were drawn after plots changed, or the style changed.
    void changed();

private:
    const Document *m_doc;
    MapStyle m_style = MapStyle::classic();
    QImage m_image;
    QRegion m_waiting; // cells whose blocks are to be drawn
};

} // namespace vor4
