#pragma once
// A flip, turn or resize of a map as a mapping of cells: where the text of
// each plot goes, and the grid it leaves behind. Cells are QPoint(column,
// row), row 0 at the top (north up, as seen); the players' start positions
// and the signs name plots in the file's coordinates, y from the bottom,
// and move with their plots. A flip or turn also turns the river edges its
// plots carry; a resize leaves river lines in their plots.

#include <QList>
#include <QMap>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

namespace vor4 {

class Document;
class PlotTable;

class MapTransform
{
public:
    enum Kind { FlipHorizontal, FlipVertical, Rotate180, RotateClockwise, RotateCounterClockwise, Resize };

    // The largest side a resize gives a map.
    static constexpr int MaxSide = 1000;

    MapTransform() = default;
    // A flip or turn of the cells of an area of a grid; a quarter turn needs
    // the whole map (whose sides then swap) or a square area.
    static MapTransform turn(Kind kind, const QRect &area, QSize grid);
    // The map becomes `size`; the plot at file (X, Y) goes to (X + dx, Y + dy).
    static MapTransform resize(QSize grid, QSize size, QPoint fileOffset);
    // The area becomes the map.
    static MapTransform crop(QSize grid, const QRect &area);

    Kind kind() const { return m_kind; }
    bool isCrop() const { return m_crop; }
    // The cells that move: the area of a flip or turn, the whole old map of
    // a resize.
    QRect area() const { return m_area; }
    QSize gridBefore() const { return m_grid; }
    QSize gridAfter() const;
    bool isWholeMap() const { return m_area == QRect(QPoint(0, 0), m_grid); }
    QPoint fileOffset() const { return m_offset; }

    // Whether it can be done; *error says why not.
    bool check(QString *error = nullptr) const;
    // The step's name as the user reads it, "Flip horizontally".
    QString name() const;
    // What brings the plots back: the same flip, the opposite turn, the
    // resize back (which cannot bring back what a shrink dropped).
    MapTransform inverse() const;

    // Where the text of a cell goes: the cell itself outside the area,
    // nothing when it leaves the map.
    std::optional<QPoint> cellAfter(QPoint cell) const;
    // The formula of a flip or turn for any cell, inside the area or not,
    // on the map or not: the neighbours of moved plots go by it too.
    QPoint turnedCell(QPoint cell) const;
    // A compass point (0 north, 1 east, 2 south, 3 west) as a flip or turn
    // turns it.
    int turnedCompass(int direction) const;
    // The same for a plot named in file coordinates. Plots outside the old
    // map stay where they are named.
    std::optional<QPoint> plotAfter(QPoint plot) const;
    // Whether the plot is one that moves: on the old map, and inside the
    // area of a flip or turn.
    bool moves(QPoint plot) const;

    // Moves the texts of the plot table; they stay where they are in memory.
    void applyTo(PlotTable &plots) const;

    // The player and sign texts whose start or sign moves, their lines
    // rewritten in the written form even where the numbers stay; signs are
    // one list, as dropping one renumbers those after it.
    struct Marks
    {
        QList<int> playerSlots;
        QList<QByteArray> playerTexts; // after, one per slot above
        bool signsChanged = false;
        QList<QByteArray> signTexts; // all of them after, when changed
        int startsRemoved = 0;
        int signsRemoved = 0;
        // The plots whose river lines a flip or turn rewrites, by their
        // cells after it, with their texts once moved and once rewritten.
        QList<QPoint> riverCells;
        QList<QByteArray> riverTextsBefore, riverTextsAfter;
        int riverEdgesRemoved = 0;
        // Units and cities on the plots a resize drops, units by owner (-1:
        // none), and the players in use that then start nowhere on the map:
        // their effective start leaves, and no settler or start line of
        // theirs stays.
        QMap<int, int> unitsRemoved;
        int citiesRemoved = 0;
        QList<int> startsLost;
        // "2 start positions and 1 sign left the map and were removed", or
        // empty; units are counted by owner, players left without a start named.
        QString removalNote() const;
    };
    Marks marksAfter(const Document &doc) const;

private:
    QPoint cellOffset() const;
    void turnRivers(const PlotTable &plots, Marks &marks) const;
    void dropPieces(const Document &doc, Marks &marks) const;

    Kind m_kind = FlipHorizontal;
    QRect m_area;
    QSize m_grid;
    QSize m_size;     // the new grid of a resize
    QPoint m_offset;  // file offset of a resize
    bool m_crop = false;
};

} // namespace vor4
