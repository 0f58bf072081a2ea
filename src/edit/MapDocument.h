#pragma once
// The one document of the editor with its edit history. Every change to the
// stores is an undoable step pushed here; only opening a file and the file
// name are written outside the history.

#include "Document.h"
#include "MapReader.h"
#include "MapSelection.h"

#include <QObject>
#include <QRecursiveMutex>
#include <QRect>
#include <QRegion>
#include <QUndoStack>

namespace vor4 {

class EditCommand;

// Signs: the list of sign texts, announced as one section.
enum class SectionKind { Game, Map, Team, Player, Signs };

class MapDocument : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 DefaultHistoryBudget = qint64(512) << 20;

    explicit MapDocument(QObject *parent = nullptr);
    ~MapDocument() override;

    const Document &document() const { return m_doc; }
    // A copy of the document that shares nothing with it, safe to take in
    // another thread: writes to the document wait while it is taken.
    Document snapshot() const;
    QUndoStack *undoStack() { return &m_stack; }

    // Does the step and records it. A step that would change nothing is
    // deleted and false returned; so is one the stores cannot take or whose
    // text would break the file, with *error set to a message for the user.
    bool push(EditCommand *command, QString *error = nullptr);
    // True while a pushed step is done for the first time; false during an
    // undo or redo.
    bool isRecording() const { return m_recording; }
    // True while an undo or redo of a step runs (a step of the history
    // coming back or going again), false for its first doing.
    bool isUndoingOrRedoing() const { return m_stepping > 0 && !m_recording; }

    // Modified: the history is away from the state last saved by a step
    // that changes the file (not only by selecting).
    bool isModified() const;
    void setClean() { m_stack.setClean(); }
    // No state of the history is the saved one (a restored recovery file).
    void markModified() { m_stack.resetClean(); }

    // The history keeps at most this many bytes; the oldest steps go first.
    qint64 historyBudget() const { return m_budget; }
    void setHistoryBudget(qint64 bytes);
    // Without a history (a command line) each step is dropped once done,
    // and what it kept for its undo with it.
    void setKeepsHistory(bool keeps) { m_keepsHistory = keeps; }
    qint64 historyBytes() const;
    bool isRebuildingHistory() const { return m_rebuilding; }

    // The selected region; kept inside the grid when its size changes.
    MapSelection &selection() { return m_selection; }
    const MapSelection &selection() const { return m_selection; }

    // Writes outside the history.
    void setFileName(const QString &path);
    // Empties the history and resets the stores (start-up).
    void reset(int width, int height);

    // Opening a file: a document read elsewhere (on another thread, say)
    // takes this one's place in one step, with an empty history.
    void adopt(Document &&loaded);
    // Reads the file and adopts it; FileName is emptied again when the load
    // fails.
    LoadResult load(const QString &path, const LoadProgress &progress = {});

Q_SIGNALS:
    // The plot texts of these cells changed; a change of a whole area is
    // one rectangle.
    void plotsChanged(const QRegion &plots);
    // A section's lines (Game, Map) or one slot's text (Team, Player).
    void sectionChanged(vor4::SectionKind kind, int slot);
    // The stores were replaced: size, every text and the file name may differ.
    void documentReplaced();
    void modifiedChanged(bool modified);

private:
    friend class EditCommand;
    void trimHistory();
    void updateModified();

    Document m_doc;
    MapSelection m_selection;
    mutable QRecursiveMutex m_writeLock;
    QUndoStack m_stack;
    qint64 m_budget = DefaultHistoryBudget;
    bool m_recording = false;
    bool m_rebuilding = false;
    bool m_keepsHistory = true;
    int m_stepping = 0;
    bool m_modified = false; // as last announced
};

} // namespace vor4
