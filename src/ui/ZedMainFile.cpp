// Open, Save, Save as, New and the document reset of the main window.

#include "MainWindow.h"

#include "AutoRecovery.h"
#include "Dialogs.h"
#include "FindBar.h"
#include "HistoryWindow.h"
#include "MainMenu.h"
#include "MapCheck.h"
#include "MapReader.h"
#include "MapGrid.h"
#include "MapWriter.h"
#include "RegionActions.h"
#include "ReplaceDocument.h"
#include "SectionMemo.h"
#include "WaitCursor.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <QFileInfo>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>

namespace {
const QString FileFilter = QStringLiteral(
    "Vor4MapFiles (*.Vor4WorldBuilderSave);;All files (*)"); // "*.*" would hide names without a dot
const QLatin1String Extension(".Vor4WorldBuilderSave");
} // namespace

void MainWindow::documentReplaced()
{
    // Open sees to its windows itself, step by step.
    if (m_loading)
        return;
    mapSizeChanged();
    listSlots();
    setStatusText(2, QString());
    if (MapDoc.isUndoingOrRedoing()) {
        // Undone or redone: the old document's picture and its name come back.
        m_captionName = Doc.FileName.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(Doc.FileName).fileName();
        RenderMiniMap();
    }
    showStores();
    updateCaption();
}

void MainWindow::showStores()
{
    // Every memo shows its store; what was typed and not applied is dropped,
    // as a change of selection drops it.
    GMemo->setLines(Doc.GameLines);
    MMemo->setLines(Doc.MapLines);
    const std::pair<SectionMemo *, QComboBox *> rows[] = {{DMemo, TeamComboBox}, {PMemo, PlayerComboBox}};
    for (const auto &[memo, box] : rows) {
        const QList<QByteArray> &texts = box == TeamComboBox ? Doc.TeamTexts : Doc.PlayerTexts;
        const int row = box->currentIndex();
        if (row >= 0 && row < texts.size())
            memo->setBytes(texts[row]);
        else
            memo->clear();
    }
    if (Doc.CurrentCol >= 0 && Doc.CurrentRow >= 0)
        Memo->setBytes(Doc.PlotTexts.text(Doc.CurrentCol, Doc.CurrentRow));
    else
        Memo->clear();
}

bool MainWindow::pushStep(vor4::EditCommand *step)
{
    QString error;
    const bool done = MapDoc.push(step, &error);
    m_stepRefused = !error.isEmpty();
    if (m_stepRefused && m_leavingMemo) {
        setStatusText(0, QStringLiteral("Not stored: ") + error);
        QTimer::singleShot(0, this, [this, error] { Dialogs::instance().error(this, error); });
    } else if (m_stepRefused) {
        Dialogs::instance().error(this, error);
    }
    return done;
}

void MainWindow::newDocument(int width, int height, const QString &stepName)
{
    // An untitled document: Save has no file to overwrite. One step, so
    // that Undo brings the old document back, name and all.
    forgetOldMap();
    vor4::Document fresh;
    fresh.ResetDocument(width, height);
    m_captionName = QStringLiteral("Untitled");
    pushStep(new vor4::ReplaceDocument(&MapDoc, std::move(fresh), stepName));
    MapDoc.setClean();
    m_confirmDamagedSave = false;
    updateCaption();
}

bool MainWindow::maybeSave()
{
    // What is typed in the memo being edited counts, as leaving it would.
    if (!storeFocusedMemo())
        return false;
    if (!MapDoc.isModified())
        return true;
    const QString name = Doc.FileName.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(Doc.FileName).fileName();
    switch (Dialogs::instance().askSaveChanges(this, name)) {
    case Dialogs::SaveChoice::Save:
        return Doc.FileName.isEmpty() ? SaveAsBtnClick() : SaveBtnClick();
    case Dialogs::SaveChoice::Discard:
        Recovery->discard();
        return true;
    case Dialogs::SaveChoice::Cancel:
        break;
    }
    return false;
}

void MainWindow::mapSizeChanged()
{
    // A new, white minimap image of the document's size; the grid and the
    // size panel follow the document.
    MiniMapBitmap = QImage(Doc.miniMapSize, QImage::Format_RGB32);
    MiniMapBitmap.fill(Qt::white);
    if (DrawGrid)
        DrawGrid->updateDimensions();
    setStatusText(1, QStringLiteral("Map Size = (%1 x %2)").arg(Doc.columnCount()).arg(Doc.rowCount()));
}

void MainWindow::listSlots()
{
    // The selectors list every slot of the document: a map may bring more
    // than a new map's 18. The selected index stays while it exists.
    const std::pair<QComboBox *, qsizetype> selectors[] = {{TeamComboBox, Doc.TeamTexts.size()},
                                                           {PlayerComboBox, Doc.PlayerTexts.size()}};
    for (const auto &[box, count] : selectors) {
        if (box->count() == count)
            continue;
        const int index = box->currentIndex();
        const QSignalBlocker quiet(box);
        while (box->count() > count)
            box->removeItem(box->count() - 1);
        for (qsizetype i = box->count(); i < count; ++i)
            box->addItem(QString::number(i));
        box->setCurrentIndex(index < count ? index : -1);
    }
}

void MainWindow::NewBtnClick()
{
    if (m_loading || !maybeSave())
        return;
    newDocument(0, 0, QStringLiteral("New"));
}

void MainWindow::setBusy(bool busy)
{
    // While a load lets events in, nothing may change or replace the stores.
    m_loading = busy;
    for (QToolBar *bar : {ToolBar1, ToolBar4, ToolBar10})
        bar->setEnabled(!busy);
    WorkPages->setEnabled(!busy);
}

void MainWindow::OpenBtnClick()
{
    if (m_loading)
        return;
    const QString path = Dialogs::instance().openFileName(this, m_openFolder, FileFilter);
    if (!path.isEmpty())
        openMapFile(path);
}

bool MainWindow::openMapFile(const QString &path)
{
    if (m_loading)
        return false;
    if (!QFileInfo::exists(path)) {
        // A name typed into the dialog: the open document stays as it was.
        Dialogs::instance().error(this, QStringLiteral("File not found: %1").arg(path));
        return false;
    }
    if (!maybeSave())
        return false;
    forgetOldMap();
    setBusy(true);
    vor4::LoadResult result;
    {
        WaitCursor wait;
        result = MapDoc.readFile(path);
        mapSizeChanged();
        listSlots();
        for (SectionMemo *memo : {GMemo, DMemo, PMemo, MMemo, Memo})
            memo->clear();
        setStatusText(2, QString());
        if (result.ok()) {
            m_saveName = path;
            m_openFolder = QFileInfo(path).absolutePath();
            m_captionName = QFileInfo(path).fileName();
            updateCaption();
            showPage(RulesPage);
            // The message loop runs at every 500th line. Repainting the
            // progress text that often would cost more than reading the
            // lines (a 1000 x 1000 map took four times as long), so the text
            // is renewed at most every 20 ms.
            QElapsedTimer sinceText;
            result = MapDoc.parse(
                [&](qint64 n, qint64 total) {
                    if (n == 0 || sinceText.hasExpired(20)) {
                        setStatusText(0, QStringLiteral("Analyze(%1/%2)").arg(n).arg(total));
                        sinceText.start();
                    }
                    QCoreApplication::processEvents();
                    return !m_closeAfterLoad;
                },
                [&](int columns, int rows) {
                    setStatusText(1, QStringLiteral("Map Size = (%1 x %2)").arg(columns).arg(rows));
                });
        }
        // The grid follows what was read, also when the load stopped early.
        mapSizeChanged();
        listSlots();
        if (result.ok())
            showLoadedSections();
        if (!result.ok()) {
            // The stores hold only part of the file: a plain Save must not
            // overwrite the original with it, and the caption names no file.
            MapDoc.setFileName(QString());
            m_captionName.clear();
            QString message = result.message;
            if (result.line > 0 && result.status != vor4::LoadResult::StructureError)
                message += QStringLiteral(" - Line: %1").arg(result.line);
            setStatusText(0, message);
            if (!m_closeAfterLoad && result.status != vor4::LoadResult::Cancelled)
                Dialogs::instance().error(this, message);
        }
        if (result.ok() || result.status == vor4::LoadResult::StructureError)
            RenderMiniMap();
        MapDoc.finishLoad();
    }
    setBusy(false);
    m_confirmDamagedSave = false;
    if (result.ok() && !m_closeAfterLoad)
        announceDamage(vor4::mapDamage(Doc, result.stats));
    updateCaption();
    if (m_closeAfterLoad)
        close();
    return result.ok() && !m_closeAfterLoad;
}

void MainWindow::announceDamage(const vor4::MapDamage &damage)
{
    if (damage.isEmpty())
        return;
    QStringList lines;
    for (const QString &finding : damage.findings)
        lines << QStringLiteral("- ") + finding.mid(finding.indexOf(QLatin1Char(' ')) + 1);
    const QString saving = damage.dropsData()
        ? QStringLiteral("Saving will drop %1.").arg(damage.dropped.join(QStringLiteral(" and ")))
        : QStringLiteral("Saving will drop nothing more: the map is written as it was read.");
    Dialogs::instance().error(this, QStringLiteral("This file is damaged:\n%1\n%2").arg(lines.join(QLatin1Char('\n')), saving));
    // What is shown is not what the file holds: Save must not be skipped,
    // and the first one asks.
    MapDoc.markModified();
    m_confirmDamagedSave = true;
    updateCaption();
}

void MainWindow::showLoadedSections()
{
    GMemo->setLines(Doc.GameLines);
    MMemo->setLines(Doc.MapLines);
    TeamComboBox->setCurrentIndex(0);
    PlayerComboBox->setCurrentIndex(0);
    DMemo->setBytes(Doc.TeamTexts[0]);
    PMemo->setBytes(Doc.PlayerTexts[0]);
    setStatusText(0, QStringLiteral("Map ready..."));
}

bool MainWindow::storeFocusedMemo()
{
    // Tool buttons, menus, keys, drops and other windows take no focus: the
    // memo being typed into has not been left yet. Store it as leaving it
    // would, except that Recall still brings back what it would have.
    QWidget *memo = focusWidget();
    if (memo && memo == Memo)
        return storePlotMemo();
    if (!memo || memo != ActiveMemo)
        return true;
    QByteArray text;
    const bool storable = ActiveMemo->bytes(&text);
    m_stepRefused = false;
    MemoExit();
    return !m_stepRefused && (storable || !AutoApplyBtn->isChecked());
}

void MainWindow::forgetOldMap()
{
    // No region selected, no block floating, no find marks and no news of
    // the map before: Delete must not empty plots of the new one.
    Regions->forgetMap();
    MapFindBar->closeBar();
    setStatusText(0, QString());
    setStatusText(2, QString());
}

bool MainWindow::offerRecovery()
{
    return Recovery->offerRestore(this, [this](const QString &path, const QString &originalName) {
        const QString openFolder = m_openFolder;
        if (!openMapFile(path))
            return false;
        // The open dialog starts where the user's maps are, not in the
        // recovery folder.
        m_openFolder = originalName.isEmpty() ? openFolder : QFileInfo(originalName).absolutePath();
        // The changes belong to their own file, or to none: Save must not
        // write into the recovery folder.
        MapDoc.setFileName(originalName);
        m_saveName = originalName;
        m_captionName = originalName.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(originalName).fileName();
        MapDoc.markModified();
        updateCaption();
        return true;
    });
}

bool MainWindow::SaveBtnClick()
{
    if (m_loading || !storeFocusedMemo())
        return false;
    if (Doc.FileName.isEmpty()) {
        // A new map has no file yet: Save names one, as Save as does.
        if (isUntitled())
            return SaveAsBtnClick();
        Dialogs::instance().error(this, QStringLiteral("No map file is loaded!"));
        return false;
    }
    if (m_confirmDamagedSave
        && !Dialogs::instance().ask(this, QStringLiteral("The map was read from a damaged file. Save it as it is now "
                                                         "to %1?").arg(QFileInfo(Doc.FileName).fileName())))
        return false;
    vor4::SaveResult result;
    {
        WaitCursor wait;
        result = vor4::writeMapFile(Doc.FileName, vor4::buildSaveFile(Doc));
    }
    if (!result.ok) {
        Dialogs::instance().error(this, result.message);
        return false;
    }
    m_confirmDamagedSave = false;
    MapDoc.setClean();
    updateCaption();
    setStatusText(0, QStringLiteral("File Saved"));
    return true;
}

bool MainWindow::SaveAsBtnClick()
{
    if (m_loading || !storeFocusedMemo())
        return false;
    // A new map is offered a new name, never that of the file opened before.
    const QString untitled = QStringLiteral("Untitled") + Extension;
    QString proposed = !isUntitled() ? m_saveName
                       : MapsDir.isEmpty() ? untitled
                                           : QDir(MapsDir).filePath(untitled);
    QString path;
    for (;;) {
        path = Dialogs::instance().saveFileName(this, MapsDir, proposed, FileFilter);
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
            || Dialogs::instance().ask(this, QStringLiteral("%1 already exists. Replace it?")
                                                 .arg(QDir::toNativeSeparators(path))))
            break;
    }
    MapDoc.setFileName(path);
    m_captionName = QFileInfo(path).fileName();
    updateCaption();
    return SaveBtnClick();
}

void MainWindow::UndoBtnClick()
{
    // The typing in the memo being edited becomes a step of its own first:
    // this undo takes it back, and Redo brings it again.
    if (!m_loading && storeFocusedMemo())
        MapDoc.undoStack()->undo();
}

void MainWindow::RedoBtnClick()
{
    if (!m_loading && storeFocusedMemo())
        MapDoc.undoStack()->redo();
}

void MainWindow::HistoryBtnClick() { History->setVisible(HistoryBtn->isChecked()); }

void MainWindow::updateUndoHints()
{
    // The hints name the step: "Undo TerrainType changed at (20, 10)".
    const QUndoStack *stack = MapDoc.undoStack();
    const auto nameOf = [stack](int index) {
        return static_cast<const vor4::EditCommand *>(stack->command(index))->name();
    };
    const QString undo = stack->canUndo() ? QStringLiteral("Undo ") + nameOf(stack->index() - 1) : QStringLiteral("Undo");
    const QString redo = stack->canRedo() ? QStringLiteral("Redo ") + nameOf(stack->index()) : QStringLiteral("Redo");
    UndoBtn->setEnabled(stack->canUndo());
    RedoBtn->setEnabled(stack->canRedo());
    UndoBtn->setToolTip(hintWithKey(undo, QKeySequence(QKeySequence::Undo)));
    RedoBtn->setToolTip(hintWithKey(redo, QKeySequence(QKeySequence::Redo)));
}
