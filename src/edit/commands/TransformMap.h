#pragma once
// Flips, turns or resizes the map, start positions, signs and rivers
// included. A flip or turn stores only itself and the few plot texts whose
// river lines it rewrites: undo runs the inverse, which moves the texts'
// entries back without copying a byte. A resize keeps the plots it drops.
// Both keep the few player and sign texts they rewrite, so undo gives back
// their bytes as they were.

#include "EditCommand.h"
#include "MapTransform.h"

#include <QByteArray>
#include <QList>
#include <vector>

namespace vor4 {

class TransformMap : public EditCommand
{
public:
    // The transform must pass its check() on the document as it is now.
    TransformMap(MapDocument *doc, const MapTransform &transform, QUndoCommand *parent = nullptr);

    const MapTransform &transform() const { return m_transform; }
    // "1 start position left the map and was removed", or empty.
    QString removalNote() const { return m_removalNote; }

    bool isNoOp() const override;
    qint64 byteCost() const override;
    EditCommand *takeOver(QUndoCommand *parent) override;

protected:
    void undoStep() override;
    void redoStep() override;

private:
    TransformMap(MapDocument *doc, const QString &text, QUndoCommand *parent);
    void setMarks(bool after);
    void setRivers(bool after);
    void announce();

    struct Dropped
    {
        qint32 col;
        qint32 row;
        quint32 offset;
        quint32 length;
    };

    MapTransform m_transform;
    bool m_identity = false;
    // Player slots with their texts before and after; the sign list
    // before and after when it changes.
    QList<int> m_slots;
    QList<QByteArray> m_playersBefore, m_playersAfter;
    bool m_signsChange = false;
    QList<QByteArray> m_signsBefore, m_signsAfter;
    QString m_removalNote;
    // Plots whose river lines a flip or turn rewrites, by their cells after it.
    QList<QPoint> m_riverCells;
    QList<QByteArray> m_riversBefore, m_riversAfter;
    // The plots a resize drops, by their cells before it.
    std::vector<Dropped> m_dropped;
    QByteArray m_droppedTexts;
};

} // namespace vor4
