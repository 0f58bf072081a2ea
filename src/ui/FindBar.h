#pragma once
// The find bar below the map grid: finds plots by their text as the user
// types, marks them on the grid and the minimap, steps through them and,
// with its second field open, replaces in them. The search runs in slices,
// so typing goes on while a big map is searched.

#include "FindMarks.h"
#include "PlotSearch.h"

#include <QWidget>
#include <optional>

class MapGrid;
class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;
class MiniMapWindow;

namespace vor4 {
class MapDocument;
}

class FindBar : public QWidget
{
    Q_OBJECT
public:
    // Steps on from the grid's current cell while a plot is chosen there.
    FindBar(vor4::MapDocument *doc, MapGrid *grid, QWidget *parent = nullptr);

    // The find row: the text, its options, the steps, the count ("N
    // plots", or why nothing can be found) and Close; the toggle is down
    // while the replace row shows.
    QLineEdit *findField() const { return m_findField; }
    QCheckBox *matchCaseBox() const { return m_matchCaseBox; }
    QCheckBox *wholeLineBox() const { return m_wholeLineBox; }
    QCheckBox *regexBox() const { return m_regexBox; }
    QToolButton *findPreviousButton() const { return m_findPreviousButton; }
    QToolButton *findNextButton() const { return m_findNextButton; }
    QToolButton *replaceToggle() const { return m_replaceToggle; }
    QToolButton *closeButton() const { return m_closeButton; }
    QToolButton *selectFoundButton() const { return m_selectFoundButton; }
    // The matching plots become the selection, as one step.
    void selectFound();
    QLabel *countLabel() const { return m_countLabel; }
    // The replace row: the replacement, Replace, Replace all, and what the
    // last replace did or why it did nothing.
    QLineEdit *replaceField() const { return m_replaceField; }
    QToolButton *replaceButton() const { return m_replaceButton; }
    QToolButton *replaceAllButton() const { return m_replaceAllButton; }
    QLabel *replaceResultLabel() const { return m_replaceResultLabel; }

    const vor4::PlotSearch &search() const { return m_search; }
    vor4::PlotSearch &search() { return m_search; }
    FindMarks &marks() { return m_marks; }
    // The window whose picture carries the marks too.
    void setMiniMap(MiniMapWindow *miniMap) { m_marks.setMiniMap(miniMap); }

    // Shows the bar with its field focused and its text selected; the
    // replace field goes.
    void openFind();
    // Shows the bar with the replace field too.
    void openReplace();
    // The replace field goes when it shows, else shows as openReplace().
    void toggleReplace();
    // Finds this text with these options, as if typed.
    void findText(const QString &text, const vor4::FindOptions &options);
    // Hides the bar and its marks; the grid gets the focus if the bar had it.
    void closeBar();

    // The match after, or before, the selected plot, wrapping at the ends,
    // selected as a click would select it.
    void findNext();
    void findPrevious();
    // Replaces in the selected plot when it matches, then goes on to the
    // next match; when it does not match, only goes to the next match.
    void replaceCurrent();
    // Replaces every match in the selected region, or in the map when none
    // is selected, as one step.
    void replaceAll();

    vor4::FindOptions options() const;

Q_SIGNALS:
    // A command of the bar is about to act: the map page must be shown.
    void activated();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showBar();
    void setReplaceShown(bool shown);
    void restartSearch();
    void showCount();
    void step(bool forward);
    void goTo(const QPoint &cell);
    void reselectIfChanged(const QPoint &cell, const QByteArray &before);
    std::optional<QPoint> selectedCell() const;
    void setNote(QLabel *label, const QString &text, bool error);

    vor4::MapDocument *m_doc;
    MapGrid *m_grid;
    QLineEdit *m_findField = nullptr;
    QCheckBox *m_matchCaseBox = nullptr;
    QCheckBox *m_wholeLineBox = nullptr;
    QCheckBox *m_regexBox = nullptr;
    QToolButton *m_findPreviousButton = nullptr;
    QToolButton *m_findNextButton = nullptr;
    QToolButton *m_replaceToggle = nullptr;
    QToolButton *m_closeButton = nullptr;
    QToolButton *m_selectFoundButton = nullptr;
    QLabel *m_countLabel = nullptr;
    QWidget *m_replaceRow = nullptr;
    QLineEdit *m_replaceField = nullptr;
    QToolButton *m_replaceButton = nullptr;
    QToolButton *m_replaceAllButton = nullptr;
    QLabel *m_replaceResultLabel = nullptr;
    vor4::PlotSearch m_search;
    FindMarks m_marks;
    QString m_error; // why the text finds nothing
};
