#pragma once
// Base of every undoable step. A step stores only what it changes and swaps
// it with the document on each undo and redo.

#include <QUndoCommand>

namespace vor4 {

class Document;
class MapDocument;

class EditCommand : public QUndoCommand
{
public:
    EditCommand(MapDocument *doc, const QString &text, QUndoCommand *parent = nullptr);

    // The step's name as the user reads it. Steps of one kind share their
    // text() (see shared()); a name with the step's own details is made
    // when it is shown, so a long history does not keep one string a step.
    virtual QString name() const { return text(); }
    // One copy of each step text, shared by every step that uses it.
    static QString shared(const QString &text);

    // Whether doing the step would change nothing; such steps are not recorded.
    virtual bool isNoOp() const { return false; }
    // Whether the step changes what the file holds; one that changes only
    // the selection leaves the document unmodified.
    virtual bool changesFile() const { return true; }
    // Bytes the step keeps in the history, its own children included.
    virtual qint64 byteCost() const;
    // Whether the document can take the step (the plot texts have a bound).
    virtual bool fits() const { return true; }
    // Why the step's new text would break the file when written; empty
    // when it would not. Asked before the step is first done.
    virtual QString refusal() const { return {}; }
    // A new command with this one's state moved into it; this one is left
    // empty. The history uses it to drop its oldest steps.
    virtual EditCommand *takeOver(QUndoCommand *parent = nullptr) = 0;

    MapDocument *mapDocument() const { return m_doc; }

    // Done under the document's write lock; nothing while the history is rebuilt.
    void undo() final;
    void redo() final;

protected:
    virtual void undoStep() = 0;
    virtual void redoStep() = 0;
    bool replaying() const;
    // The stores, for the steps' own writes.
    Document &target() const;
    MapDocument *m_doc;
};

} // namespace vor4
