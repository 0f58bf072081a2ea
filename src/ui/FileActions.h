#pragma once
// The file commands of the main window: New, Open, Save and Save as, the
// question about unsaved changes, maps dropped on the window or named on
// the command line, and the recovery file of a run that ended unexpectedly.
// While a file is read the window is busy: nothing may change the stores.

#include "NewMapSettings.h"

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <optional>
#include <atomic>

class AutoRecovery;
class DocumentWindow;
class EditorContext;
class QMimeData;

namespace vor4 {
class Document;
struct LoadResult;
struct MapDamage;
}

class FileActions : public QObject
{
    Q_OBJECT
public:
    // The context gives the document, the status bar and the window that
    // the dialogs belong to and the caption names the file in.
    FileActions(EditorContext *context, DocumentWindow *window);

    AutoRecovery *recovery() const { return m_recovery; }
    // The game's folders, looked up once; empty without the game.
    QString installDir() const { return m_installDir; }
    QString mapsDir() const { return m_mapsDir; }
    void setMapsDir(const QString &dir) { m_mapsDir = dir; }

    void newMap();
    void open();
    // Opens a map as Open does after its dialog, through the unsaved-changes
    // question; false when it was not opened.
    bool openMapFile(const QString &path);
    // A file named on the command line: unlike a name chosen in the dialog,
    // one that names no file is reported.
    void openStartupFile(const QString &path);
    bool save(); // false when nothing was written
    bool saveAs();
    // From the new-map prompt: a map of this size, after the question about
    // unsaved changes; false when that was cancelled.
    bool createMap(int width, int height);
    // New map...: the dialog's map, with players and land, after the
    // question about unsaved changes.
    void createGeneratedMap();
    // Asks "Save changes to NAME?" when the document is modified: true when
    // the caller may go on (saved or discarded), false to keep everything.
    bool maybeSave();
    // Offers a recovery file left by a run that ended with unsaved changes;
    // true when one was restored (as a modified document).
    bool offerRecovery();
    // The window asks to close: false keeps it open (a load finishes first,
    // or the question was cancelled).
    bool mayClose();
    // An undo or redo brought another document back, with its name.
    void followHistory();

    // The one local map file a drag carries, accepted unless a load runs.
    bool acceptsDrop(const QMimeData *data) const;
    void drop(const QMimeData *data);

    // The window's title: the program, the file, the modified mark.
    void updateCaption();

Q_SIGNALS:
    // A load starts or ends: the window takes no commands meanwhile.
    void busyChanged(bool busy);
    // Open and New: what belonged to the map before goes with it.
    void mapClosing();
    // A map was opened from this file or saved to it.
    void fileUsed(const QString &path);

private:
    void locateGame();
    void newDocument(vor4::Document fresh, const QString &stepName);
    void clearEdits();
    vor4::LoadResult readMap(const QString &path, vor4::Document *doc);
    void announceDamage(const vor4::MapDamage &damage);
    bool isUntitled() const;
    void setBusy(bool busy);

    EditorContext *m_context;
    DocumentWindow *m_host;
    QWidget *m_window; // the dialogs' parent, captioned with the file
    AutoRecovery *m_recovery;
    QString m_installDir;
    QString m_mapsDir;
    QString m_openFolder;
    QString m_saveName;
    std::optional<vor4::NewMapSettings> m_newMapSettings; // the dialog's, kept for its next showing
    QString m_captionName; // the file's name, "Untitled" after New, empty at start
    // The open file was damaged: the first Save asks before writing it.
    bool m_confirmDamagedSave = false;
    bool m_closeAfterLoad = false;
    QThreadPool m_reader; // reads the files that are opened
    std::atomic_bool m_cancelLoad{false};
};
