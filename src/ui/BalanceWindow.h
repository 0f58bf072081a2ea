#pragma once
// The balance report of the players' starts, live: a column per start, a
// row per figure with its lowest and highest values marked, each start's
// work area outlined on the grid while the window is shown. A double click
// on a column asks to go to that start.

#include "BalanceReport.h"
#include "GameYields.h"
#include "GridOverlay.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

class MapGrid;
class QLabel;
class QStandardItemModel;
class QTableView;
class QToolButton;

namespace vor4 {
class MapDocument;
}

class BalanceWindow : public QWidget, public GridOverlay
{
    Q_OBJECT
public:
    BalanceWindow(vor4::MapDocument *doc, MapGrid *grid, QWidget *parent = nullptr);
    ~BalanceWindow() override;

    // The folder of the game's data files, for the yields; empty for none.
    void setDataFolder(const QString &folder);

    QTableView *table() const { return m_table; }
    QStandardItemModel *model() const { return m_model; }
    QLabel *summaryLabel() const { return m_summary; }
    QToolButton *exportButton() const { return m_exportButton; }
    const QList<vor4::BalanceFigures> &figures() const { return m_balance.players; }
    // Asks for a file name and writes the table there as CSV.
    void exportCsv();

    void paintOverlay(QPainter &painter, const QRect &area) override;

Q_SIGNALS:
    void visibilityChanged(bool visible);
    // A grid cell (row 0 north).
    void startRequested(int col, int row);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void plotsChanged(const QRegion &plots);
    void recount();
    void fillTable();
    void repaintOverlay();

    vor4::MapDocument *m_doc;
    QPointer<MapGrid> m_grid;
    QTableView *m_table;
    QStandardItemModel *m_model;
    QLabel *m_summary;
    QToolButton *m_exportButton;
    QTimer m_recount;
    vor4::BalanceAnalysis m_analysis;
    QRect m_dirty;          // cells to be read again
    bool m_rescanAll = true;
    vor4::GameYields m_yields;
    QString m_dataError;
    vor4::Balance m_balance;
};
