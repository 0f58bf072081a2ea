#pragma once
// The map's current cell, kept in this one place: where the grid's focus
// is, which plot the plot editor shows and stores into, and where the find
// bar steps on from. After Open, New or a change of the map's size no plot
// is chosen, though the grid keeps a cell where its focus is.

#include <QObject>
#include <QPoint>

class CurrentCell : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    QPoint cell() const { return m_cell; }
    int col() const { return m_cell.x(); }
    int row() const { return m_cell.y(); }
    // Whether a plot was chosen: the one at cell().
    bool isChosen() const { return m_chosen; }
    // The chosen plot, or (-1, -1) while none is.
    QPoint chosenPlot() const { return m_chosen ? m_cell : QPoint(-1, -1); }

    // The plot at this cell becomes the chosen one, also when it already
    // was: whoever shows it shows it anew.
    void choose(QPoint cell);
    // The cell moves, the chosen plot with it while there is one.
    void moveTo(QPoint cell);
    // The cell stays; no plot is chosen.
    void forget();

Q_SIGNALS:
    // A chosen plot is about to be left, or chosen again: what is typed
    // for it is stored now.
    void leaving(QPoint plot);
    // The cell moved or a plot was chosen there.
    void changed(QPoint before, QPoint now);

private:
    void set(QPoint cell, bool chosen);

    QPoint m_cell{0, 0};
    bool m_chosen = false;
};
