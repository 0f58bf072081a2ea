#pragma once
// Plots and areas named the way the file names them: X,Y with x from the
// left and y from the bottom, both from 0 (the numbers of the plot blocks and
// of the players' StartingX and StartingY). An area is "X,Y", "X1,Y1:X2,Y2"
// (the rectangle between two corners, both included, in either order) or
// "all".

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

namespace vor4 {

class PlotArea
{
public:
    // Cells are QPoint(column, row) with row 0 at the top; files count y
    // from the bottom row.
    static QPoint cellOfPlot(QPoint plot, int rowCount) { return QPoint(plot.x(), rowCount - 1 - plot.y()); }
    static QPoint plotOfCell(QPoint cell, int rowCount) { return QPoint(cell.x(), rowCount - 1 - cell.y()); }

    // Invalid when the text is none of the three forms.
    static PlotArea parse(const QString &text);
    // One plot "X,Y" only.
    static PlotArea parsePlot(const QString &text);
    static PlotArea all();

    bool isValid() const { return m_kind != Invalid; }
    bool isAll() const { return m_kind == All; }

    // The cells of the area on a map of `size` columns and rows. False, with
    // *error saying so, when a named plot lies outside the map.
    bool cells(QSize size, QRect *out, QString *error = nullptr) const;
    // The area as it is written on a command line.
    QString text() const;

private:
    enum Kind { Invalid, All, Plot, Rectangle };
    Kind m_kind = Invalid;
    qint64 m_x1 = 0, m_y1 = 0, m_x2 = 0, m_y2 = 0;
};

} // namespace vor4
