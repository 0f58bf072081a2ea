#pragma once
// What the piece layers show of a document: the players' starts and the
// signs on the map, and for each plot whether units stand on it and which
// river edges it carries. A plot is read the first time it is asked for
// after it changed, so that a big map costs nothing until its plots come
// into view. Whoever edits the document tells it what changed.

#include "GridPaintParams.h"
#include "PiecePainter.h"
#include "PlotFacts.h"

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QRegion>
#include <QStringList>
#include <unordered_map>
#include <vector>

class QPainter;

namespace vor4 {

class Document;

class MapPieces : public QObject
{
    Q_OBJECT
public:
    explicit MapPieces(const Document *doc, QObject *parent = nullptr);

    struct Start
    {
        int slot = 0;
        QPoint cell; // column, row; row 0 north
    };
    // The starts on the map, in slot order.
    const QList<Start> &starts() const { return m_starts; }
    // The slot whose start is on the cell, or -1 (the last slot when several are).
    int startAt(QPoint cell) const;
    // A slot's colour in a style; -1 (no owner) has the style's grey.
    QColor colourOf(int slot, const MapStyle &style) const;

    struct Sign
    {
        QPoint cell;
        QByteArray caption;
    };
    const QList<Sign> &signs() const { return m_signs; }
    bool hasSign(QPoint cell) const;

    enum Fact : quint8 { Units = 1, SouthRiver = 2, EastRiver = 4 };
    // The facts of a cell on the map, 0 off it.
    quint8 factsAt(int col, int row) const;

    // The hover hint's lines for a cell: starts, units, signs and the rivers
    // along its four edges.
    QStringList describe(QPoint cell) const;

    // Draws the pieces of these cells whose layers are on, where and in the
    // style `at` says, step by step: rivers, units, starts, signs. Marks
    // reach into the cells around theirs (MapStyle::pieceReach), so a
    // caller painting part of a picture passes the cells around it too.
    void paint(QPainter &p, const GridPaintParams &at, const QRect &cells, const PieceLayers &layers) const;
    // The steps alone.
    void paintRivers(QPainter &p, const GridPaintParams &at, const QRect &cells) const;
    void paintUnits(QPainter &p, const GridPaintParams &at, const QRect &cells) const;
    void paintStarts(QPainter &p, const GridPaintParams &at, const QRect &cells) const;
    void paintSigns(QPainter &p, const GridPaintParams &at, const QRect &cells) const;

public Q_SLOTS:
    // The document was replaced: everything is read again.
    void reset();
    // The texts of these plots changed.
    void plotsChanged(const QRegion &cells);
    // The player texts or the signs changed.
    void playersChanged();
    void signsChanged();

Q_SIGNALS:
    // Cells whose marks may look different now.
    void changed(const QRegion &cells);

private:
    void readStarts();
    void readSigns();
    QRegion cellsOf(const QList<QPoint> &cells) const;

    const Document *m_doc;
    QList<Start> m_starts;
    QList<QByteArray> m_colours; // the "Color=" value of each slot
    QList<Sign> m_signs;
    // Per cell, row by row: its facts with bit 7 set once read.
    mutable std::vector<quint8> m_facts;
    // The plots with units, by the same index, once read: how many, and the
    // first one's owner.
    struct UnitSummary
    {
        int count = 0;
        int owner = -1;
    };
    mutable std::unordered_map<size_t, UnitSummary> m_units;
    mutable int m_cols = 0, m_rows = 0;
};

} // namespace vor4
