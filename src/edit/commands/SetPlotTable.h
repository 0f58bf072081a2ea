#pragma once
// Sets the plot texts of most of the map at once: the whole table was
// written anew in one pass, and the step keeps the other table whole, so
// undo and redo swap two tables instead of a million texts.

#include "EditCommand.h"
#include "PlotTable.h"

#include <QRect>

namespace vor4 {

class SetPlotTable : public EditCommand
{
public:
    // `table` has the document's size; `bounds` and `count` are the cells
    // whose texts differ, for the repaint.
    SetPlotTable(MapDocument *doc, PlotTable &&table, const QRect &bounds, int count, const QString &name,
                 QUndoCommand *parent = nullptr);

    qint64 byteCost() const override;
    EditCommand *takeOver(QUndoCommand *parent) override;

protected:
    void undoStep() override { swap(); }
    void redoStep() override { swap(); }

private:
    void swap();

    PlotTable m_table; // the table not in the document
    QRect m_bounds;
    int m_count = 0;
};

} // namespace vor4
