#pragma once
// Sets the text of one plot: the plot editor's Apply, Recall and Clear, and
// the map contents window's Change and Clear. Kept small, as a history holds
// many of them: only the part of the text that differs between the old and
// the new text is stored, and the step's text is shared with its kind.

#include "EditCommand.h"

#include <QByteArray>
#include <QByteArrayView>

namespace vor4 {

class SetPlotText : public EditCommand
{
public:
    // `what` names the kind of edit ("Edit plot", "TerrainType changed");
    // the step is named "what at (col, row)".
    SetPlotText(MapDocument *doc, int col, int row, QByteArrayView text, const QString &what,
                QUndoCommand *parent = nullptr);

    int col() const { return m_col; }
    int row() const { return m_row; }
    QString name() const override;
    bool isNoOp() const override;
    bool fits() const override;
    QString refusal() const override;
    qint64 byteCost() const override { return EditCommand::byteCost() + m_middle.capacity(); }
    EditCommand *takeOver(QUndoCommand *parent) override;

protected:
    void undoStep() override { swap(); }
    void redoStep() override { swap(); }

private:
    SetPlotText(MapDocument *doc, const QString &text, QUndoCommand *parent);
    void swap();

    qint32 m_col = 0;
    qint32 m_row = 0;
    // Both texts share their first m_head and last m_tail bytes; m_middle is
    // the rest of the text not in the document.
    quint32 m_head = 0;
    quint32 m_tail = 0;
    QByteArray m_middle;
    // Until first done, m_middle is the whole new text: what the two texts
    // share is known only then.
    bool m_fresh = true;
};

} // namespace vor4
