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
    FindBar(vor4::MapDocument *doc, MapGrid *grid, QWidget *parent = nullptr);

    QLineEdit *FindEdit = nullptr;
    QCheckBox *MatchCaseBox = nullptr;
    QCheckBox *WholeLineBox = nullptr;
    QCheckBox *RegexBox = nullptr;
    QToolButton *FindPreviousBtn = nullptr;
    QToolButton *FindNextBtn = nullptr;
    QToolButton *ReplaceToggleBtn = nullptr; // down while the replace field shows
    QToolButton *CloseBtn = nullptr;
    QLabel *CountLabel = nullptr;  // "N plots", or why nothing can be found
    QWidget *ReplaceRow = nullptr;
    QLineEdit *ReplaceEdit = nullptr;
    QToolButton *ReplaceBtn = nullptr;
    QToolButton *ReplaceAllBtn = nullptr;
    QLabel *ReplaceLabel = nullptr; // what the last replace did, or why it did nothing

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
    vor4::PlotSearch m_search;
    FindMarks m_marks;
    QString m_error; // why the text finds nothing
};
