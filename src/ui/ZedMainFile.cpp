// Open, Save, Save as, New and the document reset of the main window.

#include "ZedMain.h"

#include "Dialogs.h"
#include "MapReader.h"
#include "MapGrid.h"
#include "MapWriter.h"
#include "SectionMemo.h"
#include "WaitCursor.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>

namespace {
const QString FileFilter = QStringLiteral(
    "Vor4MapFiles (*.Vor4WorldBuilderSave);;All files (*)"); // "*.*" would hide names without a dot
const QLatin1String Extension(".Vor4WorldBuilderSave");
} // namespace

void TForm1::ResetDocument(int width, int height)
{
    Doc.ResetDocument(width, height);
    mapSizeChanged();
    listSlots();
    for (SectionMemo *memo : {GMemo, DMemo, PMemo, MMemo, Memo})
        memo->clear();
    setStatusText(2, QString());
}

void TForm1::mapSizeChanged()
{
    // A new, white minimap image of the document's size; the grid and the
    // size panel follow the document.
    MiniMapBitmap = QImage(Doc.miniMapSize, QImage::Format_RGB32);
    MiniMapBitmap.fill(Qt::white);
    if (DrawGrid)
        DrawGrid->updateDimensions();
    setStatusText(1, QStringLiteral("Map Size = (%1 x %2)").arg(Doc.columnCount()).arg(Doc.rowCount()));
}

void TForm1::listSlots()
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

void TForm1::NewBtnClick()
{
    if (m_loading)
        return;
    ResetDocument(0, 0);
}

void TForm1::setBusy(bool busy)
{
    // While a load lets events in, nothing may change or replace the stores.
    m_loading = busy;
    for (QToolBar *bar : {ToolBar1, ToolBar4, ToolBar10})
        bar->setEnabled(!busy);
    WorkPages->setEnabled(!busy);
}

void TForm1::OpenBtnClick()
{
    if (m_loading)
        return;
    const QString path = Dialogs::instance().openFileName(this, m_openFolder, FileFilter);
    if (path.isEmpty())
        return;
    openMapFile(path);
}

bool TForm1::openMapFile(const QString &path)
{
    if (m_loading)
        return false;
    Doc.FileName = path;
    if (!QFileInfo::exists(path)) {
        Doc.FileName.clear();
        return false;
    }
    setBusy(true);
    ResetDocument(0, 0);
    vor4::LoadResult result;
    {
        WaitCursor wait;
        result = vor4::readFileLines(path, Doc);
        if (result.ok()) {
            m_saveName = path;
            m_openFolder = QFileInfo(path).absolutePath();
            setCaptionFor(path);
            showPage(RulesPage);
            // The message loop runs at every 500th line. Repainting the
            // progress text that often would cost more than reading the
            // lines (a 1000 x 1000 map took four times as long), so the text
            // is renewed at most every 20 ms.
            QElapsedTimer sinceText;
            result = vor4::ParseFileLines(
                Doc,
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
            // overwrite the original with it.
            Doc.FileName.clear();
            if (!m_closeAfterLoad && result.status != vor4::LoadResult::Cancelled)
                Dialogs::instance().error(this, result.message);
        }
        if (result.ok() || result.status == vor4::LoadResult::StructureError)
            RenderMiniMap();
        Doc.FileLines.clear();
    }
    setBusy(false);
    if (m_closeAfterLoad)
        close();
    return result.ok() && !m_closeAfterLoad;
}

void TForm1::showLoadedSections()
{
    GMemo->setLines(Doc.GameLines);
    MMemo->setLines(Doc.MapLines);
    TeamComboBox->setCurrentIndex(0);
    PlayerComboBox->setCurrentIndex(0);
    DMemo->setBytes(Doc.TeamTexts[0]);
    PMemo->setBytes(Doc.PlayerTexts[0]);
    setStatusText(0, QStringLiteral("Map ready..."));
}

bool TForm1::storeFocusedMemo()
{
    // Save is a tool button and takes no focus: the memo being typed into
    // has not been left yet. Store it as leaving it would.
    auto *memo = qobject_cast<SectionMemo *>(QApplication::focusWidget());
    if (!memo || (memo != Memo && memo != ActiveMemo))
        return true;
    QByteArray text;
    const bool storable = memo->bytes(&text);
    if (memo == Memo)
        MapMemoExit();
    else
        MemoExit();
    return storable || !AutoApplyBtn->isChecked();
}

void TForm1::SaveBtnClick()
{
    if (m_loading || !storeFocusedMemo())
        return;
    if (Doc.FileName.isEmpty()) {
        Dialogs::instance().error(this, QStringLiteral("No map file is loaded!"));
        return;
    }
    vor4::SaveResult result;
    {
        WaitCursor wait;
        result = vor4::writeMapFile(Doc.FileName, vor4::buildSaveFile(Doc));
    }
    if (!result.ok) {
        Dialogs::instance().error(this, result.message);
        return;
    }
    setStatusText(0, QStringLiteral("File Saved"));
}

void TForm1::SaveAsBtnClick()
{
    if (m_loading || !storeFocusedMemo())
        return;
    QString path = Dialogs::instance().saveFileName(this, MapsDir, m_saveName, FileFilter);
    if (path.isEmpty())
        return;
    m_saveName = path;
    const QString name = QFileInfo(path).fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || name.mid(dot).compare(Extension, Qt::CaseInsensitive) != 0)
        path += Extension;
    Doc.FileName = path;
    setCaptionFor(path);
    SaveBtnClick();
}
