#pragma once
// A find over the map that runs in short slices on the window's thread, so
// that typing goes on while a big map is searched; a new search abandons the
// old one. The matches follow the edits of the document.

#include "PlotQuery.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QTimer>
#include <optional>
#include <vector>

namespace vor4 {

class MapDocument;

class PlotSearch : public QObject
{
    Q_OBJECT
public:
    explicit PlotSearch(MapDocument *doc, QObject *parent = nullptr);

    // Abandons a search under way and starts this one over area (clipped to
    // the map; a null area is the whole map).
    void start(const PlotQuery &query, const QRect &area = QRect());
    void clear() { start(PlotQuery()); }
    // Searches what is left at once.
    void finish();
    bool isRunning() const { return m_timer.isActive(); }

    const PlotQuery &query() const { return m_query; }
    QRect area() const { return m_area; }
    // The matches so far as row * columnCount + column, in reading order.
    const std::vector<qint32> &matches() const { return m_matches; }
    int count() const { return int(m_matches.size()); }
    QPoint cellOf(qint32 index) const { return QPoint(index % m_columns, index / m_columns); }
    qint32 indexOf(int col, int row) const { return row * m_columns + col; }
    bool contains(int col, int row) const;
    // The match after, or before, a cell in reading order, wrapping at the
    // ends; from no cell (-1, -1) the first, or the last.
    std::optional<QPoint> next(int col, int row) const;
    std::optional<QPoint> previous(int col, int row) const;

    // How long one slice may run before the window gets its events.
    void setSliceMilliseconds(int ms) { m_sliceMs = ms; }

Q_SIGNALS:
    // The marks of these cells may have changed.
    void matchesChanged(const QRect &cells);
    void finished(int count);

private:
    void restart();
    void runSlice();
    void plotsChanged(const QRect &cells);

    MapDocument *m_doc;
    PlotQuery m_query;
    QRect m_requested;
    QRect m_area;
    int m_columns = 1;
    int m_rows = 1;
    int m_nextCol = 0; // columns of the area left of this one are searched
    std::vector<qint32> m_matches;
    QTimer m_timer;
    int m_sliceMs = 10;
};

} // namespace vor4
