#pragma once
// Base of the map tools: pointer events on cells, without widgets. The grid
// turns pixels into cells (QPoint(column, row)) and forwards press, move
// and release; it draws footprint() as the preview. A press, drag and
// release changes the document by at most one undo step.

#include "EditOperations.h"
#include "PaintRule.h"
#include "PaintSymmetry.h"

#include <QBitArray>
#include <QObject>
#include <QPoint>
#include <QRegion>

namespace vor4 {

class MapDocument;

class MapTool : public QObject
{
    Q_OBJECT
public:
    explicit MapTool(MapDocument *doc, QObject *parent = nullptr);

    // The brush value and size, the same for every tool (the window keeps
    // them in step); tools that paint refuse to act without a valid value.
    void setBrush(const PaintRule &brush) { m_brush = brush; }
    const PaintRule &brush() const { return m_brush; }
    void setBrushSize(int size);
    int brushSize() const { return m_size; }

    // Cells may lie outside the map; what falls outside is left alone. The
    // right button erases the brush's key where the left one paints.
    void press(QPoint cell, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {});
    // With a button down it goes on with the drag; without, it moves the
    // preview.
    void move(QPoint cell);
    void release(QPoint cell);
    // Escape: the drag ends and whatever it changed is undone, leaving no
    // step in the history.
    void cancel();
    // The pointer left the map: no preview.
    void leave();

    bool isDragging() const { return m_dragging; }
    // Painting at the images of every plot too; a mode that does not fit
    // the map paints plainly.
    void setSymmetry(PaintSymmetry::Mode mode) { m_symmetryMode = mode; Q_EMIT footprintChanged(); }
    PaintSymmetry symmetry() const;
    // The footprint with its images, for a tool that paints symmetrically.
    QRegion outline() const;

    // Whether the tool is handed the plot corner nearest the pointer instead
    // of the cell under it.
    virtual bool usesCorners() const { return false; }
    // The cells the next press would change, or the current drag will have
    // changed on release; clipped to the map.
    virtual QRegion footprint() const;

Q_SIGNALS:
    void footprintChanged();
    // A press that did nothing, and why ("Choose a brush value first").
    void refused(const QString &message);

protected:
    virtual void onPress(QPoint cell, Qt::KeyboardModifiers modifiers) = 0;
    virtual void onDrag(QPoint from, QPoint to) { Q_UNUSED(from) Q_UNUSED(to) }
    virtual void onRelease(QPoint cell) { Q_UNUSED(cell) }
    // Whether the press needs a brush value with a line (painting) or only
    // its key (erasing); the picker needs neither.
    virtual bool needsBrush() const { return true; }
    // Whether the tool paints at the images of its plots.
    virtual bool paintsSymmetrically() const { return needsBrush(); }

    // The one way the paint tools change plots: each cell of `cells` on the
    // map gets the brush's line (or loses its key), as part of the stroke's
    // one undo step. A stroke runs from press to release; a cell is changed
    // at most once in it.
    void paintCells(const QRegion &cells);
    // The stroke's step is named "<verb> <line> on <n> plots".
    virtual QString verb() const { return QStringLiteral("Paint"); }

    QRect mapRect() const;
    // Rows of cells, one rectangle a row, top row first, as a region.
    QRegion rowsRegion(const QList<QRect> &rows) const;
    bool erasing() const { return m_button == Qt::RightButton; }
    // Put, or Take for the right button and the eraser.
    virtual bool takesKey() const { return erasing(); }
    EditOperations::Action action() const { return takesKey() ? EditOperations::Take : EditOperations::Put; }

    MapDocument *m_doc;
    PaintRule m_brush;
    int m_size = 1;
    bool m_dragging = false;
    bool m_hovering = false;
    QPoint m_hover;
    QPoint m_start;
    QPoint m_last;
    Qt::MouseButton m_button = Qt::NoButton;

private:
    QPoint bounded(QPoint cell) const;
    bool strokeStillOnTop() const;
    void beginStroke();
    void endStroke();
    void cancelStroke();
    void notePushed();

    PaintSymmetry::Mode m_symmetryMode = PaintSymmetry::None;
    bool m_stroking = false;
    QString m_strokeName;
    int m_strokeSteps = 0;   // steps of this stroke on the history, normally one
    int m_expectedIndex = 0; // the history's index after the stroke's last step
    QBitArray m_touched;     // cells the stroke has changed or passed over
};

} // namespace vor4
