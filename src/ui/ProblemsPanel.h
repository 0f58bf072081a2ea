#pragma once
// The Problems panel: the map lint's findings, grouped by rule with their
// counts, kept up to date while the map is edited, and a mark on each grid
// cell with a finding while the panel is shown. A double click on a finding
// goes to its plot (a stale start: its settler, the start line in view too;
// a plot off the map: the nearest plot on its edge). Fix and Fix all mend
// what has one plain mend, each one undo step; the context menu moves a
// start. Map > Starts from settlers lives here too.

#include "GridOverlay.h"
#include "MapLint.h"

#include <QDockWidget>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QTimer>
#include <array>
#include <optional>
#include <vector>

class MapPage;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QStandardItem;
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
    QPushButton *fixButton() const { return m_fix; }
    QPushButton *fixAllButton() const { return m_fixAll; }
    QLabel *messageLabel() const { return m_message; }
    // Map > Starts from settlers.
    QAction *startsFromSettlersAction() const { return m_startsFromSettlers; }
    // The findings listed, at most ListedPerRule of each rule.
    QList<vor4::LintFinding> findings() const;
    const vor4::MapLint &lint() const { return m_lint; }
    // Brings the findings up to date now rather than after the short wait.
    void updateNow();
    // The context menu of a row (a finding or a rule); the caller owns it.
    QMenu *contextMenu(const QModelIndex &index);
    // While a file is read nothing may change the map.
    void setBusy(bool busy);

    void paintOverlay(QPainter &painter, const QRect &area) override;

Q_SIGNALS:
    // A finding on the map was chosen; its plot is selected.
    void plotChosen(const QPoint &cell);
    // What a fix or Starts from settlers did, for the status bar.
    void statusMessage(const QString &message);

private:
    void changed(const QRegion &cells, bool pieces, bool everything);
    void shownChanged(bool shown);
    void choose(const QModelIndex &index);
    // Rebuilds the groups of the rules whose findings changed (bits).
    void fillModel(quint32 changed);
    QStandardItem *groupOf(int rule, int *row = nullptr) const;
    void currentChanged();
    // The rule of a row, the finding of a finding's row.
    int ruleOf(const QModelIndex &index) const;
    const vor4::LintFinding *findingOf(const QModelIndex &index) const;
    void fix(const QModelIndex &index, bool all);
    void moveStart(int player);
    void startsFromSettlers();
    void tell(const QString &message);
    void goTo(int col, int row, std::optional<QPoint> alsoShown = std::nullopt);

    QPointer<MapPage> m_page; // may go before the panel
    vor4::MapDocument *m_document;
    QTreeView *m_view;
    QStandardItemModel *m_model;
    QPushButton *m_fix;
    QPushButton *m_fixAll;
    QLabel *m_message;
    QAction *m_startsFromSettlers;
    vor4::MapLint m_lint;
    // Per rule, the findings listed under it.
    std::array<QList<vor4::LintFinding>, vor4::LintFinding::RuleCount> m_listed;
    // The starts and signs with a finding, as grid cells (row * columns +
    // column), sorted; the plots' findings are asked of the lint.
    std::vector<qint64> m_marked;
    // What changed since the findings were last brought up to date.
    QRegion m_dirtyCells;
    bool m_dirtyPieces = false;
    bool m_dirtyAll = true;
    bool m_overlaid = false;
    bool m_busy = false;
    // A burst of edits (a brush stroke) is looked at once.
    QTimer m_timer;
};
