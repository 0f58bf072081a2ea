#include "FileActions.h"

#include "AutoRecovery.h"
#include "ChangeSelection.h"
#include "CompoundStep.h"
#include "Dialogs.h"
#include "DocumentWindow.h"
#include "EditorContext.h"
#include "GameLocation.h"
#include "MapDocument.h"
#include "MapCheck.h"
#include "MapFileType.h"
#include "MapReader.h"
#include "NewMapDialog.h"
#include "MapWriter.h"
#include "ReplaceDocument.h"
#include "WaitCursor.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QMimeData>
#include <QThreadPool>
#include <QUrl>

namespace {

const QString FileFilter = QStringLiteral(
    "Vor4MapFiles (*.Vor4WorldBuilderSave);;All files (*)"); // "*.*" would hide names without a dot
const QLatin1String Extension(".Vor4WorldBuilderSave");

// The one local map file a drag carries; empty for anything else (several
// files, folders, text, files that are no maps).
QString droppedMapFile(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return QString();
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return QString();
    const QString path = urls.first().toLocalFile();
    return vor4::looksLikeMapFile(path) ? path : QString();
}

} // namespace

FileActions::FileActions(EditorContext *context, DocumentWindow *window)
    : QObject(context)
    , m_context(context)
    , m_host(window)
    , m_window(context->window())
    , m_recovery(new AutoRecovery(context->document(), this))
{
    // One thread that stays: a new one for every load would take the new
    // map's memory afresh from the system (a 1000 x 1000 map opened a tenth
    // more slowly).
    m_reader.setMaxThreadCount(1);
    m_reader.setExpiryTimeout(-1);
    locateGame();
}

void FileActions::locateGame()
{
    // The game's installation is looked up once; without it the dialogs
    // open in the platform's default folder.
    const vor4::GameLocation found = vor4::LocateGame();
    if (!found.error.isEmpty()) {
        Dialogs::instance().error(m_window, found.error);
        return;
    }
    m_installDir = found.InstallDir;
    m_mapsDir = found.MapsDir;
    m_openFolder = m_mapsDir;
}

bool FileActions::isUntitled() const { return m_captionName == QLatin1String("Untitled"); }

void FileActions::updateCaption()
{
    // The file's name once one is opened or saved; "Untitled" after New.
    QString title = QStringLiteral("Vor4DemoMapEditor");
    if (!m_captionName.isEmpty())
        title += QStringLiteral(" - ") + m_captionName;
    m_window->setWindowTitle(title + QStringLiteral("[*]"));
    m_window->setWindowModified(m_context->document()->isModified());
}

void FileActions::followHistory()
{
    const QString name = m_context->stores().FileName;
    m_captionName = name.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(name).fileName();
}

void FileActions::setBusy(bool busy)
{
    m_context->setLoading(busy);
    Q_EMIT busyChanged(busy);
}

void FileActions::newDocument(vor4::Document fresh, const QString &stepName)
{
    // An untitled document: Save has no file to overwrite. One step, so
    // that Undo brings the old document back, name, selection and all.
    Q_EMIT mapClosing();
    m_captionName = QStringLiteral("Untitled");
    vor4::MapDocument *doc = m_context->document();
    auto *step = new vor4::CompoundStep(doc, stepName);
    new vor4::ChangeSelection(doc, QRegion(), step);
    new vor4::ReplaceDocument(doc, std::move(fresh), stepName, step);
    m_context->push(step);
    m_context->document()->setClean();
    m_confirmDamagedSave = false;
    updateCaption();
}

bool FileActions::maybeSave()
{
    // What is typed in the field being edited counts, as leaving it would.
    if (!m_host->storeFocusedMemo())
        return false;
    vor4::MapDocument *doc = m_context->document();
    if (!doc->isModified())
        return true;
    const QString file = m_context->stores().FileName;
    const QString name = file.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(file).fileName();
    switch (Dialogs::instance().askSaveChanges(m_window, name)) {
    case Dialogs::SaveChoice::Save:
        return file.isEmpty() ? saveAs() : save();
    case Dialogs::SaveChoice::Discard:
        m_recovery->discard();
        return true;
    case Dialogs::SaveChoice::Cancel:
        break;
    }
    return false;
}

void FileActions::newMap()
{
    if (!maybeSave())
        return;
    newDocument(vor4::Document(), QStringLiteral("New"));
}

bool FileActions::createMap(int width, int height)
{
    if (!maybeSave())
        return false;
    vor4::Document fresh;
    fresh.ResetDocument(width, height);
    newDocument(std::move(fresh), QStringLiteral("New map %1 x %2").arg(qMax(1, width)).arg(qMax(1, height)));
    return true;
}

void FileActions::createGeneratedMap()
{
    if (!maybeSave())
        return;
    // Read when first asked for, not at every start of the editor.
    if (!m_newMapSettings)
        m_newMapSettings = NewMapDialog::remembered();
    NewMapDialog dialog(*m_newMapSettings, m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_newMapSettings = dialog.settings();
    NewMapDialog::remember(*m_newMapSettings);
    QStringList notes;
    vor4::Document fresh = dialog.takeDocument(&notes);
    const QString name = QStringLiteral("New map %1 x %2").arg(fresh.columnCount()).arg(fresh.rowCount());
    newDocument(std::move(fresh), name);
    m_host->showMapPage();
    m_context->say(notes.isEmpty() ? name : name + QStringLiteral(": ") + notes.join(QStringLiteral("; ")));
}

void FileActions::open()
{
    const QString path = Dialogs::instance().openFileName(m_window, m_openFolder, FileFilter);
    if (!path.isEmpty())
        openMapFile(path);
}

void FileActions::clearEdits() { m_host->clearTextFields(); }

vor4::LoadResult FileActions::readMap(const QString &path, vor4::Document *doc)
{
    // The file is read and parsed on a thread of its own, into a document of
    // its own; meanwhile the window handles its events as ever and shows the
    // progress the reader sends. Messages still on their way when the load
    // has ended go with `relay`.
    vor4::LoadResult result;
    QObject relay;
    QEventLoop waiting;
    m_reader.start([this, &relay, &result, &waiting, path, doc] {
        // Repainting the progress text at every 500th line would cost more
        // than reading the lines (a 1000 x 1000 map took four times as
        // long): the text is renewed at most every 20 ms.
        QElapsedTimer sinceText;
        const auto progress = [&](qint64 n, qint64 total) {
            if (n == 0 || sinceText.hasExpired(20)) {
                sinceText.start();
                QMetaObject::invokeMethod(
                    &relay, [this, n, total] { m_context->say(QStringLiteral("Analyze(%1/%2)").arg(n).arg(total)); },
                    Qt::QueuedConnection);
            }
            return !m_cancelLoad.load();
        };
        int shownColumns = 0, shownRows = 0;
        const auto sizeRead = [&](int columns, int rows) {
            if (columns == shownColumns && rows == shownRows)
                return;
            shownColumns = columns;
            shownRows = rows;
            QMetaObject::invokeMethod(
                &relay,
                [this, columns, rows] {
                    m_context->setStatus(1, QStringLiteral("Map Size = (%1 x %2)").arg(columns).arg(rows));
                },
                Qt::QueuedConnection);
        };
        result = vor4::loadMapFile(path, *doc, progress, sizeRead);
        QMetaObject::invokeMethod(&relay, [&waiting] { waiting.quit(); }, Qt::QueuedConnection);
    });
    waiting.exec();
    // Left early only when the application quits.
    m_cancelLoad = true;
    m_reader.waitForDone();
    return result;
}

bool FileActions::openMapFile(const QString &path)
{
    // One load at a time: a drop is opened from the event queue, which runs
    // while a file is read.
    if (m_context->isLoading())
        return false;
    if (!QFileInfo::exists(path)) {
        // A name typed into the dialog: the open document stays as it was.
        Dialogs::instance().error(m_window, QStringLiteral("File not found: %1").arg(path));
        return false;
    }
    if (!maybeSave())
        return false;
    Q_EMIT mapClosing();
    vor4::Document loaded;
    vor4::LoadResult result;
    {
        WaitCursor wait;
        // The window takes no commands that would change the stores while
        // the reader runs; the focus leaves the text fields first.
        m_cancelLoad = false;
        setBusy(true);
        // The map before goes first, its selection with it: its memory may
        // be needed for the new one.
        m_context->push(new vor4::ChangeSelection(m_context->document(), QRegion()));
        m_context->document()->reset(0, 0);
        clearEdits();
        result = readMap(path, &loaded);
        setBusy(false);
        const bool read = result.status != vor4::LoadResult::FileError;
        if (read) {
            m_saveName = path;
            m_openFolder = QFileInfo(path).absolutePath();
        }
        // The stores of a load that failed hold only part of the file: the
        // reader left them without a name, so that a plain Save does not
        // overwrite the original with them, and the caption names no file.
        m_captionName = result.ok() ? QFileInfo(path).fileName() : QString();
        // What was read replaces the document in one step; the window follows.
        m_context->document()->adopt(std::move(loaded));
        if (read)
            m_host->showReadMap(result.ok());
        if (result.ok()) {
            m_context->say(QStringLiteral("Map ready..."));
        } else {
            clearEdits();
            QString message = result.message;
            if (result.line > 0 && result.status != vor4::LoadResult::StructureError)
                message += QStringLiteral(" - Line: %1").arg(result.line);
            m_context->say(message);
            if (!m_closeAfterLoad && result.status != vor4::LoadResult::Cancelled)
                Dialogs::instance().error(m_window, message);
        }
        if (result.ok() || result.status == vor4::LoadResult::StructureError)
            m_host->renderMiniMap();
    }
    m_confirmDamagedSave = false;
    if (result.ok() && !m_closeAfterLoad)
        announceDamage(vor4::mapDamage(m_context->stores(), result.stats));
    // A recovery file is the editor's own, not one of the user's maps.
    if (result.ok() && !m_closeAfterLoad && QFileInfo(path).absolutePath() != QDir(m_recovery->store().folder()).absolutePath())
        Q_EMIT fileUsed(path);
    updateCaption();
    if (m_closeAfterLoad)
        m_window->close();
    return result.ok() && !m_closeAfterLoad;
}

void FileActions::announceDamage(const vor4::MapDamage &damage)
{
    if (damage.isEmpty())
        return;
    QStringList lines;
    for (const QString &finding : damage.findings)
        lines << QStringLiteral("- ") + finding.mid(finding.indexOf(QLatin1Char(' ')) + 1);
    const QString saving = damage.needsGoAhead()
        ? QStringLiteral("Saving will %1.").arg(damage.consequences())
        : QStringLiteral("Saving will drop nothing more: the map is written as it was read.");
    Dialogs::instance().error(m_window, QStringLiteral("This file is damaged:\n%1\n%2")
                                            .arg(lines.join(QLatin1Char('\n')), saving));
    // What is shown is not what the file holds: Save must not be skipped,
    // and the first one asks.
    m_context->document()->markModified();
    m_confirmDamagedSave = true;
    updateCaption();
}

void FileActions::openStartupFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        Dialogs::instance().error(m_window, QStringLiteral("Cannot open file %1").arg(path));
        return;
    }
    openMapFile(info.absoluteFilePath());
}

bool FileActions::offerRecovery()
{
    return m_recovery->offerRestore(m_window, [this](const QString &path, const QString &originalName) {
        const QString openFolder = m_openFolder;
        if (!openMapFile(path))
            return false;
        // The open dialog starts where the user's maps are, not in the
        // recovery folder.
        m_openFolder = originalName.isEmpty() ? openFolder : QFileInfo(originalName).absolutePath();
        // The changes belong to their own file, or to none: Save must not
        // write into the recovery folder.
        m_context->document()->setFileName(originalName);
        m_saveName = originalName;
        m_captionName = originalName.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(originalName).fileName();
        m_context->document()->markModified();
        updateCaption();
        return true;
    });
}

bool FileActions::save()
{
    if (!m_host->storeFocusedMemo())
        return false;
    const QString file = m_context->stores().FileName;
    if (file.isEmpty()) {
        // A new map has no file yet: Save names one, as Save as does.
        if (isUntitled())
            return saveAs();
        Dialogs::instance().error(m_window, QStringLiteral("No map file is loaded!"));
        return false;
    }
    if (m_confirmDamagedSave
        && !Dialogs::instance().ask(m_window, QStringLiteral("The map was read from a damaged file. Save it as it is now "
                                                             "to %1?").arg(QFileInfo(file).fileName())))
        return false;
    vor4::SaveResult result;
    {
        WaitCursor wait;
        result = vor4::writeMapFile(file, vor4::buildSaveFile(m_context->stores()));
    }
    if (!result.ok) {
        Dialogs::instance().error(m_window, result.message);
        return false;
    }
    m_confirmDamagedSave = false;
    m_context->document()->setClean();
    updateCaption();
    m_context->say(QStringLiteral("File Saved"));
    Q_EMIT fileUsed(file);
    return true;
}

bool FileActions::saveAs()
{
    if (!m_host->storeFocusedMemo())
        return false;
    // A new map is offered a new name, never that of the file opened before.
    const QString untitled = QStringLiteral("Untitled") + Extension;
    QString proposed = !isUntitled() ? m_saveName
                       : m_mapsDir.isEmpty() ? untitled
                                             : QDir(m_mapsDir).filePath(untitled);
    QString path;
    for (;;) {
        path = Dialogs::instance().saveFileName(m_window, m_mapsDir, proposed, FileFilter);
        if (path.isEmpty())
            return false;
        m_saveName = proposed = path;
        const QString name = QFileInfo(path).fileName();
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0 && name.mid(dot).compare(Extension, Qt::CaseInsensitive) == 0)
            break;
        // The dialog asked about the name as chosen, not about this one.
        path += Extension;
        if (!QFileInfo::exists(path)
            || Dialogs::instance().ask(m_window, QStringLiteral("%1 already exists. Replace it?")
                                                     .arg(QDir::toNativeSeparators(path))))
            break;
    }
    m_context->document()->setFileName(path);
    m_captionName = QFileInfo(path).fileName();
    updateCaption();
    return save();
}

bool FileActions::mayClose()
{
    if (m_context->isLoading()) {
        // The reader stops at its next 500th line; the window closes once
        // Open has ended.
        m_closeAfterLoad = true;
        m_cancelLoad = true;
        return false;
    }
    return maybeSave();
}

bool FileActions::acceptsDrop(const QMimeData *data) const
{
    return !m_context->isLoading() && !droppedMapFile(data).isEmpty();
}

void FileActions::drop(const QMimeData *data)
{
    // The drop ends first: the source application is not kept waiting for the
    // load and its messages.
    const QString path = droppedMapFile(data);
    QMetaObject::invokeMethod(this, [this, path] { openMapFile(path); }, Qt::QueuedConnection);
}
