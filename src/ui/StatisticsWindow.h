#pragma once
// How many plots hold each value of the five kinds of line, for the whole
// map or the selected region, in a sortable table. Counts only while it is
// open, and then follows the edits. A double click on a row asks for a find
// of that value.

#include <QWidget>

class QComboBox;
class QLabel;
class QSortFilterProxyModel;
class QTableView;

namespace vor4 {
class MapDocument;
class StatisticsModel;
}

class StatisticsWindow : public QWidget
{
    Q_OBJECT
public:
    enum Area { WholeMap, SelectedRegion };

    StatisticsWindow(vor4::MapDocument *doc, QWidget *parent = nullptr);

    // "Whole map" or "Selected region" (an Area); what the counts cover;
    // a row per value with its kind and count.
    QComboBox *areaBox() const { return m_areaBox; }
    QLabel *summaryLabel() const { return m_summaryLabel; }
    QTableView *table() const { return m_table; }

    vor4::StatisticsModel *model() const { return m_model; }
    QSortFilterProxyModel *sortModel() const { return m_sort; }

    // The find a row stands for: a regular expression, matched with case;
    // empty for "(none)".
    QString findPatternAt(int row) const;

    // Inside the available screen, beside the main window the first time;
    // bigger than the screen it shrinks to fit.
    void placeOnScreen();

Q_SIGNALS:
    void visibilityChanged(bool visible);
    void findRequested(const QString &pattern);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QRegion requestedArea() const;
    void updateArea();
    void updateSummary();
    void rowDoubleClicked(const QModelIndex &index);

    vor4::MapDocument *m_doc;
    QComboBox *m_areaBox = nullptr;
    QLabel *m_summaryLabel = nullptr;
    QTableView *m_table = nullptr;
    vor4::StatisticsModel *m_model;
    QSortFilterProxyModel *m_sort;
    bool m_placed = false;
};
