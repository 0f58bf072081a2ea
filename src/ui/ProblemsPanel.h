#pragma once
// The Problems panel: the map lint's findings, grouped by rule with their
// counts, kept up to date while the map is edited, and a mark on each grid
// cell with a finding while the panel is shown. A double click on a finding
// selects its plot and scrolls the grid to it.

#include "GridOverlay.h"
#include "MapLint.h"

#include <QDockWidget>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QTimer>
#include <vector>

class MapPage;
class QStandardItemModel;
class QTreeView;

namespace vor4 {
class MapDocument;
}

class ProblemsPanel : public QDockWidget, public GridOverlay
{
    Q_OBJECT
public:
    // Red: the grid's colours and the find marks (orange) stay apart.
    static constexpr QRgb Colour = 0xffe00000;
    // Findings listed under a rule; the count says how many there are.
    static constexpr int ListedPerRule = 1000;

    ProblemsPanel(MapPage *page, vor4::MapDocument *document, QWidget *parent = nullptr);
    ~ProblemsPanel() override;

    QTreeView *view() const { return m_view; }
    QStandardItemModel *model() const { return m_model; }
    const QList<vor4::LintFinding> &findings() const { return m_findings; }
    // Brings the findings up to date now rather than after the short wait.
    void updateNow();

    void paintOverlay(QPainter &painter, const QRect &area) override;

Q_SIGNALS:
    // A finding on the map was chosen; its plot is selected.
    void plotChosen(const QPoint &cell);

private:
    void changed(const QRegion &cells, bool pieces, bool everything);
    void shownChanged(bool shown);
    void choose(const QModelIndex &index);
    void fillModel();

    QPointer<MapPage> m_page; // may go before the panel
    vor4::MapDocument *m_document;
    QTreeView *m_view;
    QStandardItemModel *m_model;
    vor4::MapLint m_lint;
    QList<vor4::LintFinding> m_findings;
    // The grid cells with a finding, as row * columns + column, sorted.
    std::vector<qint64> m_marked;
    // What changed since the findings were last brought up to date.
    QRegion m_dirtyCells;
    bool m_dirtyPieces = false;
    bool m_dirtyAll = true;
    bool m_overlaid = false;
    // A burst of edits (a brush stroke) is looked at once.
    QTimer m_timer;
};
