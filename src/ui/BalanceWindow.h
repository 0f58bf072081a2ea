#pragma once
// The balance of the players' starts, live, in a panel beside the map: a
// row per player in use, a column per figure, sorted by the score; the
// worst start and the figures far from the others' mean marked; each
// start's work area outlined on the grid while the panel is shown. View >
// Territory tints the grid with the land nearest to each start. A double
// click on a row asks to go to that start.

#include "BalanceReport.h"
#include "GameYields.h"
#include "GridOverlay.h"

#include <QDockWidget>
#include <QPointer>
#include <QTimer>
#include <memory>

class MapGrid;
class QLabel;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;
class QToolButton;
class TerritoryOverlay;

namespace vor4 {
class MapDocument;
}

class BalanceWindow : public QDockWidget, public GridOverlay
{
    Q_OBJECT
public:
    // Cells far below the others' mean, far above it, and far from it where
    // more is neither better nor worse.
    static constexpr QRgb Worse = 0xffffbebe, Better = 0xffbef0be, Apart = 0xffffe6aa;

    BalanceWindow(vor4::MapDocument *doc, MapGrid *grid, QWidget *parent = nullptr);
    ~BalanceWindow() override;

    // The folder of the game's data files, for the yields; empty for the
    // standard values.
    void setDataFolder(const QString &folder);

    QTableView *table() const { return m_table; }
    // A row per player in slot order; the table shows it sorted.
    QStandardItemModel *model() const { return m_model; }
    QLabel *summaryLabel() const { return m_summary; }
    QToolButton *exportButton() const { return m_exportButton; }
    // View > Territory.
    QAction *territoryAction() const { return m_territoryAction; }
    const vor4::Balance &balance() const { return m_balance; }
    const QList<vor4::BalanceFigures> &figures() const { return m_balance.players; }
    const vor4::Territory &territory() const { return m_analysis.territory(); }
    // Asks for a file name and writes the table there as CSV.
    void exportCsv();

    void paintOverlay(QPainter &painter, const QRect &area) override;

Q_SIGNALS:
    // A grid cell (row 0 north).
    void startRequested(int col, int row);
    // The table and the territory follow the document again.
    void reportUpdated();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    // The report is kept up to date while the panel or the territory shows.
    bool following() const;
    void follow();
    void plotsChanged(const QRegion &plots);
    void recount();
    void fillTable();
    void markOutliers(int column, int better);
    void repaintOverlay();

    vor4::MapDocument *m_doc;
    QPointer<MapGrid> m_grid;
    QTableView *m_table;
    QStandardItemModel *m_model;
    QSortFilterProxyModel *m_sorted;
    QLabel *m_summary;
    QToolButton *m_exportButton;
    QAction *m_territoryAction;
    std::unique_ptr<TerritoryOverlay> m_territory;
    QTimer m_recount;
    vor4::BalanceAnalysis m_analysis;
    QRect m_dirty; // cells to be read again
    bool m_rescanAll = true;
    bool m_outlined = false;
    bool m_widened = false;
    vor4::GameYields m_yields;
    QString m_dataError;
    vor4::Balance m_balance;
};
