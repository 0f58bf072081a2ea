// The main window's part in the desktop: a file named on the command line,
// and map files dropped on the window.

#include "MainWindow.h"

#include "Dialogs.h"
#include "MapFileType.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace {

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

void MainWindow::openStartupFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        Dialogs::instance().error(this, QStringLiteral("Cannot open file %1").arg(path));
        return;
    }
    openMapFile(info.absoluteFilePath());
}

void MainWindow::watchFileDrops()
{
    setAcceptDrops(true);
    // Text fields take drops of their own; files dragged over them are the
    // window's, so that a map opens wherever it is dropped and no path lands
    // in a text.
    for (QWidget *child : findChildren<QWidget *>())
        if (child->acceptDrops())
            child->installEventFilter(this);
}

bool MainWindow::handleFileDrag(QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        break;
    default:
        return false;
    }
    auto *drag = static_cast<QDropEvent *>(event);
    if (!drag->mimeData() || !drag->mimeData()->hasUrls())
        return false;
    if (event->type() == QEvent::Drop)
        dropEvent(drag);
    else
        dragMoveEvent(static_cast<QDragMoveEvent *>(event));
    return true;
}

bool MainWindow::acceptsDrop(const QMimeData *data) const
{
    return !m_loading && !droppedMapFile(data).isEmpty();
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    dragMoveEvent(event);
}

void MainWindow::dragMoveEvent(QDragMoveEvent *event)
{
    // Ignored, the desktop shows the forbidden pointer.
    if (acceptsDrop(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    if (!acceptsDrop(event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // The drop ends first: the source application is not kept waiting for the
    // load and its messages.
    const QString path = droppedMapFile(event->mimeData());
    QMetaObject::invokeMethod(this, [this, path] { openMapFile(path); }, Qt::QueuedConnection);
}
