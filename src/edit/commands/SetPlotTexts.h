#pragma once
// Sets the plot texts of a set of cells. Holds, per cell, the text that is
// not in the document: the new one before the step is done, the old one
// after; undo and redo swap them. All texts share one byte pool.

#include "EditCommand.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QRect>
#include <QRegion>
#include <unordered_set>
#include <vector>

namespace vor4 {

class SetPlotTexts : public EditCommand
{
public:
    enum { Id = 1 };

    // `name` may hold "%1" for the number of plots, as in
    // "Paint TerrainType=TERRAIN_GRASS on %1 plots" ("1 plot" for one); the
    // step is named when it is done and renamed as merged steps add cells.
    SetPlotTexts(MapDocument *doc, const QString &name, QUndoCommand *parent = nullptr);
    // The name such a step has with `count` plots.
    static QString nameFor(const QString &name, int count);

    // Adds a cell with its new text. A cell outside the grid, or whose text
    // would not change, is skipped; each cell is added at most once.
    void add(int col, int row, QByteArrayView text);
    // A cell that a step before this one in the same compound creates,
    // empty then; it need not be on the grid yet.
    void addCreated(int col, int row, QByteArrayView text);
    int cellCount() const { return int(m_entries.size()); }
    QRect bounds() const { return m_bounds; }
    // The cells, as the document announces them.
    const QRegion &region();

    // Strokes: a mergeable step joins the step before it when that one is a
    // SetPlotTexts too; the first step of a stroke is not mergeable, so a
    // stroke never joins the one before.
    void setMergeable(bool mergeable) { m_mergeable = mergeable; }

    bool isNoOp() const override { return m_entries.empty(); }
    bool fits() const override;
    qint64 byteCost() const override;
    EditCommand *takeOver(QUndoCommand *parent) override;
    int id() const override;
    bool mergeWith(const QUndoCommand *other) override;

protected:
    void undoStep() override { swap(); }
    void redoStep() override { swap(); }

private:
    struct Entry
    {
        qint32 col;
        qint32 row;
        quint32 offset;
        quint32 length;
    };
    QByteArrayView textOf(const Entry &e) const { return QByteArrayView(m_pool.constData() + e.offset, e.length); }
    void append(qint32 col, qint32 row, QByteArrayView text);
    void swap();
    void rename();

    QString m_name;
    std::vector<Entry> m_entries;
    QByteArray m_pool;
    qint64 m_newBytes = 0; // bytes the first doing writes into the plot texts
    QRect m_bounds;
    QRegion m_region; // empty until announced
    bool m_mergeable = false;
    std::unordered_set<qint64> m_cellIndex; // cells of a stroke being merged
};

} // namespace vor4
