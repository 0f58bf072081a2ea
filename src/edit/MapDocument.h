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
class GroupStep;

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

    // Several pushes as one step of the history, under one name, as the
    // user asked for one command ("Make symmetric", "Fix all"):
    //
    //     MapDocument::Group group(doc, QStringLiteral("Fix all problems"));
    //     for (...) if (!doc.push(fix, &error)) { group.cancel(); return; }
    //     // the group ends here: one step, or none when nothing was done
    //
    // Between beginGroup() and endGroup() each push is checked and done at
    // once, as outside a group (windows hear of it), and kept aside; the end
    // records what was done as one step, and nothing when nothing was. A
    // push refused inside changes nothing and leaves the group open.
    // cancelGroup() undoes what the group did and records nothing. Groups
    // nest: an inner one joins the outermost, whose name the step takes.
    // A group runs within one call: no undo or redo while it is open.
    void beginGroup(const QString &name);
    // True when a step was recorded.
    bool endGroup();
    void cancelGroup();
    bool isGrouping() const { return !m_groupMarks.isEmpty(); }

    // A group for a scope: it ends when the scope does, unless ended or
    // cancelled before.
    class Group
    {
    public:
        Group(MapDocument &doc, const QString &name);
        ~Group();
        Group(const Group &) = delete;
        Group &operator=(const Group &) = delete;
        bool end();
        void cancel();

    private:
        MapDocument *m_doc;
        bool m_open = true;
    };

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
    GroupStep *m_group = nullptr; // the outermost open group
    QList<int> m_groupMarks;      // its step count as each nested group began
    bool m_modified = false; // as last announced
};

} // namespace vor4
