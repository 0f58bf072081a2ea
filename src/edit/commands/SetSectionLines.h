#pragma once
// Replaces the game lines or the map header's free lines.

#include "EditCommand.h"
#include "LineCheck.h"
#include "MapDocument.h"

#include <QByteArray>
#include <QList>

namespace vor4 {

class SetSectionLines : public EditCommand
{
public:
    // kind is SectionKind::Game, SectionKind::Map or SectionKind::Signs (one
    // text per sign).
    SetSectionLines(MapDocument *doc, SectionKind kind, const QList<QByteArray> &lines, const QString &name,
                    QUndoCommand *parent = nullptr);

    bool isNoOp() const override;
    QString refusal() const override;
    qint64 byteCost() const override;
    EditCommand *takeOver(QUndoCommand *parent) override;

protected:
    void undoStep() override { swap(); }
    void redoStep() override { swap(); }

private:
    QList<QByteArray> &store() const;
    void swap();

    SectionKind m_kind;
    QList<QByteArray> m_lines; // the lines not in the document
};

} // namespace vor4
