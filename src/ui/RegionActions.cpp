#include "RegionActions.h"

#include "ChangeSelection.h"
#include "CommandButtons.h"
#include "CurrentCell.h"
#include "EditorContext.h"
#include "Fill.h"
#include "Geometry.h"
#include "MapDocument.h"
#include "MapGrid.h"
#include "MapView.h"
#include "PastePreview.h"
#include "PlotBlocksMimeData.h"
#include "RegionEdits.h"
#include "ResizeMapDialog.h"
#include "SelectionOverlay.h"
#include "Transforms.h"
#include "WaitCursor.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLocale>
#include <QMimeData>


namespace {
QString plotCount(qsizetype n)
{
    return n == 1 ? QStringLiteral("1 plot") : QStringLiteral("%1 plots").arg(QLocale(QLocale::English).toString(n));
}
} // namespace

RegionActions::RegionActions(EditorContext *context, MapView *view, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_view(view)
{
    m_actions[Cut] = addAction(QStringLiteral("Cu&t"), QStringLiteral("CutAction"),
                               QKeySequence::keyBindings(QKeySequence::Cut), &RegionActions::cut, true);
    m_actions[Copy] = addAction(QStringLiteral("&Copy"), QStringLiteral("CopyAction"),
                                QKeySequence::keyBindings(QKeySequence::Copy), &RegionActions::copy, true);
    m_actions[Paste] = addAction(QStringLiteral("&Paste"), QStringLiteral("PasteAction"),
                                 QKeySequence::keyBindings(QKeySequence::Paste), &RegionActions::paste, true);
    m_actions[Delete] = addAction(QStringLiteral("&Delete"), QStringLiteral("DeleteAction"),
                                  QKeySequence::keyBindings(QKeySequence::Delete), &RegionActions::deleteSelection,
                                  true);
    m_actions[SelectAll] = addAction(QStringLiteral("Select a&ll"), QStringLiteral("SelectAllAction"),
                                     QKeySequence::keyBindings(QKeySequence::SelectAll), &RegionActions::selectAll,
                                     true);
    m_actions[SelectSame] = addAction(QStringLiteral("Select &same"), QStringLiteral("SelectSameAction"), {},
                                      &RegionActions::selectSame, false);
    m_actions[SelectSame]->setToolTip(QStringLiteral("Select every plot with the selected plot's value of the brush key"));

    const auto turn = [this](const QString &text, const QString &name, vor4::MapTransform::Kind kind) {
        auto *a = new QAction(text, this);
        a->setObjectName(name);
        a->setToolTip(text);
        connect(a, &QAction::triggered, this, [this, kind] { transform(kind); });
        return a;
    };
    m_actions[FlipHorizontal] = turn(QStringLiteral("Flip &horizontally"), QStringLiteral("FlipHorizontalAction"),
                                     vor4::MapTransform::FlipHorizontal);
    m_actions[FlipVertical] = turn(QStringLiteral("Flip &vertically"), QStringLiteral("FlipVerticalAction"),
                                   vor4::MapTransform::FlipVertical);
    m_actions[Rotate180] = turn(QStringLiteral("Rotate &180°"), QStringLiteral("Rotate180Action"),
                                vor4::MapTransform::Rotate180);
    m_actions[RotateClockwise] = turn(QStringLiteral("Rotate 90° &clockwise"), QStringLiteral("RotateClockwiseAction"),
                                      vor4::MapTransform::RotateClockwise);
    m_actions[RotateCounterClockwise] = turn(QStringLiteral("Rotate 90° c&ounter-clockwise"),
                                             QStringLiteral("RotateCounterClockwiseAction"),
                                             vor4::MapTransform::RotateCounterClockwise);
    m_actions[ResizeMap] = addAction(QStringLiteral("&Resize map..."), QStringLiteral("ResizeMapAction"), {},
                                     &RegionActions::resizeMap, false);
    m_actions[Crop] = addAction(QStringLiteral("Crop to &selection"), QStringLiteral("CropAction"), {},
                                &RegionActions::crop, false);
    // Each command keeps its own state while the group waits for a load.
    m_commands = new QActionGroup(this);
    m_commands->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    for (QAction *a : m_actions)
        m_commands->addAction(a);

    m_selectionLabel = new QLabel;
    m_selectionLabel->setObjectName(QStringLiteral("selectionLabel"));

    vor4::MapSelection &selection = document()->selection();
    m_overlay = new SelectionOverlay(&selection, view->grid(), this);
    connect(&selection, &vor4::MapSelection::changed, this, &RegionActions::selectionChanged);
    connect(document(), &vor4::MapDocument::documentReplaced, this, [this] {
        // Open, New and a new grid: a block floating over the old one goes.
        if (m_preview && !document()->isRecording())
            endPaste();
        updateActions();
    });
    // Escape lets go of the selection; a floating block has taken it first.
    connect(view->grid(), &MapGrid::escapePressed, this, [this] {
        if (!m_preview)
            m_context->push(new vor4::ChangeSelection(document(), QRegion()));
    });
    updateActions();
}

QList<QAction *> RegionActions::editMenuActions() const
{
    return {nullptr, m_actions[Cut], m_actions[Copy], m_actions[Paste], m_actions[Delete], nullptr,
            m_actions[SelectAll], m_actions[SelectSame]};
}

QList<QAction *> RegionActions::mapMenuActions() const
{
    return {nullptr, m_actions[FlipHorizontal], m_actions[FlipVertical], m_actions[Rotate180],
            m_actions[RotateClockwise], m_actions[RotateCounterClockwise], nullptr, m_actions[ResizeMap],
            m_actions[Crop]};
}

vor4::MapDocument *RegionActions::document() const { return m_context->document(); }

RegionActions::~RegionActions()
{
    delete m_preview;
    delete m_overlay;
}

QAction *RegionActions::addAction(const QString &text, const QString &name, const QList<QKeySequence> &keys,
                                  void (RegionActions::*slot)(), bool onGrid)
{
    auto *a = new QAction(text, this);
    a->setObjectName(name);
    a->setShortcuts(keys);
    a->setToolTip(hintWithKey(QString(text).remove(QLatin1Char('&')).remove(QLatin1String("...")),
                              keys.value(0)));
    if (onGrid) {
        // The keys belong to the grid: in a memo they cut, copy and paste
        // its text as ever.
        a->setShortcutContext(Qt::WidgetShortcut);
        m_view->grid()->addAction(a);
    }
    connect(a, &QAction::triggered, this, slot);
    return a;
}

void RegionActions::setBusy(bool busy) { m_commands->setEnabled(!busy); }

void RegionActions::selectionChanged()
{
    if (m_view->miniMapWindow())
        m_overlay->setMiniMap(m_view->miniMapWindow());
    const vor4::MapSelection &selection = document()->selection();
    const QRect area = selection.boundingRect();
    QString text;
    if (selection.region().rectCount() > 1)
        text = QStringLiteral("Selection: ") + plotCount(selection.cellCount());
    else if (!area.isEmpty())
        text = QStringLiteral("Selection %1 x %2").arg(area.width()).arg(area.height());
    m_selectionLabel->setText(text);
    updateActions();
}

void RegionActions::updateActions()
{
    // The transforms take the selection's bounding rectangle.
    const QRect area = document()->selection().boundingRect();
    const bool selected = !area.isEmpty();
    for (QAction *a : {m_actions[Cut], m_actions[Copy], m_actions[Delete], m_actions[Crop]})
        a->setEnabled(selected);
    // A shaped selection is turned or cropped by its bounding rectangle,
    // and the menu says so.
    const bool shaped = document()->selection().region().rectCount() > 1;
    for (Command c : {FlipHorizontal, FlipVertical, Rotate180, RotateClockwise, RotateCounterClockwise, Crop}) {
        QAction *a = m_actions[c];
        QString text = a->text().remove(QLatin1String(" (bounding rectangle)"));
        a->setText(shaped ? text + QLatin1String(" (bounding rectangle)") : text);
    }
    // A quarter turn needs the whole map or a square.
    const bool square = !selected || area.width() == area.height();
    m_actions[RotateClockwise]->setEnabled(square);
    m_actions[RotateCounterClockwise]->setEnabled(square);
}

void RegionActions::report(const QString &message, bool ok)
{
    m_context->say(message);
    if (!ok)
        QApplication::beep();
}

void RegionActions::follow(bool newGrid)
{
    if (newGrid) {
        // The picture of a new grid is drawn anew, the view at its top left.
        m_view->renderMiniMap();
        return;
    }
    // The plot memo shows the chosen plot's new text.
    CurrentCell *current = m_view->grid()->currentCell();
    if (current->isChosen())
        current->choose(current->cell());
}

void RegionActions::copy()
{
    // The selected plots only: a shape pastes as a shape.
    const QRegion cells = document()->selection().region();
    if (cells.isEmpty())
        return;
    WaitCursor wait;
    auto region = std::make_shared<const vor4::PlotRegion>(vor4::RegionEdits::copy(*document(), cells));
    QGuiApplication::clipboard()->setMimeData(new PlotBlocksMimeData(region));
    report(QStringLiteral("Copied %1").arg(plotCount(region->plotCount())), true);
}

void RegionActions::cut()
{
    const QRect area = document()->selection().boundingRect();
    if (area.isEmpty())
        return;
    copy();
    // Only the selected plots go; a shaped selection leaves the rest of its
    // rectangle.
    const vor4::RegionEdits::Result r =
        vor4::RegionEdits::clear(*document(), document()->selection().region(), QStringLiteral("Cut"));
    report(r.message, r.ok);
    follow(false);
}

void RegionActions::deleteSelection()
{
    const QRegion cells = document()->selection().region();
    if (cells.isEmpty())
        return;
    const vor4::RegionEdits::Result r = vor4::RegionEdits::clear(*document(), cells);
    report(r.message, r.ok);
    follow(false);
}

void RegionActions::selectSame()
{
    const QPoint cell = m_view->grid()->currentCell()->chosenPlot();
    const QByteArray key = m_view->brushKey();
    const vor4::PlotTable &plots = m_context->stores().PlotTexts;
    if (!plots.contains(cell.x(), cell.y())) {
        report(QStringLiteral("No plot selected"), false);
        return;
    }
    m_context->push(new vor4::ChangeSelection(
        document(), vor4::maskRegion(vor4::Fill::sameValue(plots, cell, key), plots.columnCount())));
}

void RegionActions::selectAll()
{
    const vor4::Document &doc = m_context->stores();
    m_context->push(new vor4::ChangeSelection(document(), QRect(0, 0, doc.columnCount(), doc.rowCount())));
}

QByteArray RegionActions::plotText(const QMimeData *data)
{
    if (!data)
        return {};
    if (data->hasFormat(PlotBlocksMimeData::MimeType))
        return data->data(PlotBlocksMimeData::MimeType);
    if (!data->hasText())
        return {};
    const QString text = data->text();
    for (const QChar c : text)
        if (c.unicode() > 0xFF)
            return {}; // no map file holds such a character
    return text.toLatin1();
}

void RegionActions::paste()
{
    if (!m_view->isShown())
        return;
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    std::optional<vor4::PlotRegion> region;
    if (const auto *own = qobject_cast<const PlotBlocksMimeData *>(data)) {
        // Copied in this editor: the plots themselves, no text to read.
        region = *own->region();
    } else {
        const QByteArray text = plotText(data);
        QString error;
        {
            WaitCursor wait;
            region = vor4::PlotRegion::fromText(text, &error);
        }
        if (!region) {
            report(QStringLiteral("Nothing pasted: the clipboard holds no plots of a map (%1)")
                       .arg(text.isEmpty() ? QStringLiteral("no text") : error),
                   false);
            return;
        }
    }
    endPaste();
    MapGrid *grid = m_view->grid();
    m_preview = new PastePreview(std::move(*region), grid, QPoint(grid->col(), grid->row()));
    connect(m_preview, &PastePreview::placed, this, &RegionActions::place);
    connect(m_preview, &PastePreview::cancelled, this, [this] {
        endPaste();
        report(QStringLiteral("Paste cancelled"), true);
    });
    grid->setFocus(Qt::OtherFocusReason);
    report(QStringLiteral("Click where the %1 go, Escape to cancel").arg(plotCount(m_preview->region().plotCount())),
           true);
}

void RegionActions::place(QPoint topLeft)
{
    if (!m_preview)
        return;
    const vor4::PlotRegion region = m_preview->takeRegion(); // 24 MB for 500 x 500 plots: not copied
    endPaste();
    const vor4::RegionEdits::Result r = vor4::RegionEdits::paste(*document(), region, topLeft);
    report(r.message, r.ok);
    follow(false);
}

void RegionActions::forgetMap() { endPaste(); }

void RegionActions::endPaste()
{
    if (!m_preview)
        return;
    // Deleted later: it may be in the middle of its own event handling.
    m_preview->disconnect(this);
    m_preview->deleteLater();
    if (m_view->grid())
        m_view->grid()->removeOverlay(m_preview);
    m_preview = nullptr;
}

void RegionActions::transform(vor4::MapTransform::Kind kind)
{
    const QSize before(m_context->stores().columnCount(), m_context->stores().rowCount());
    vor4::Transforms::Result r;
    {
        WaitCursor wait;
        // A flip or turn of the selection's bounding rectangle.
        r = vor4::Transforms::turn(*document(), kind, document()->selection().boundingRect());
    }
    report(r.note.isEmpty() ? r.message : r.message + QStringLiteral(": ") + r.note, r.ok);
    follow(before != QSize(m_context->stores().columnCount(), m_context->stores().rowCount()));
}

void RegionActions::resizeMap()
{
    const QSize before(m_context->stores().columnCount(), m_context->stores().rowCount());
    ResizeMapDialog dialog(before, m_context->window());
    if (dialog.exec() != QDialog::Accepted)
        return;
    vor4::Transforms::Result r;
    {
        WaitCursor wait;
        r = vor4::Transforms::resize(*document(), dialog.newSize(), dialog.fileOffset(), dialog.newPlotText());
    }
    report(r.note.isEmpty() ? r.message : r.message + QStringLiteral(": ") + r.note, r.ok);
    if (r.ok)
        follow(true);
}

void RegionActions::crop()
{
    // A map is a rectangle: the selection's bounding one.
    const QRect area = document()->selection().boundingRect();
    if (area.isEmpty())
        return;
    vor4::Transforms::Result r;
    {
        WaitCursor wait;
        r = vor4::Transforms::crop(*document(), area);
    }
    report(r.note.isEmpty() ? r.message : r.message + QStringLiteral(": ") + r.note, r.ok);
    if (r.ok)
        follow(true);
}
