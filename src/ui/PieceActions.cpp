#include "PieceActions.h"

#include "Dialogs.h"
#include "EditorContext.h"
#include "MapDocument.h"
#include "MapGrid.h"
#include "MapPieces.h"
#include "PieceEdits.h"
#include "PiecesOverlay.h"
#include "ViewFollowers.h"

#include <QMenu>

PieceActions::PieceActions(EditorContext *context, MapGrid *grid, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_grid(grid)
    , m_pieces(new vor4::MapPieces(&context->document()->document(), this))
    , m_overlay(new PiecesOverlay(m_pieces, grid, this))
{
    followEdits(m_pieces, context->document());
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid, &QWidget::customContextMenuRequested, this, &PieceActions::showMenu);
    connect(grid, &MapGrid::cellDragged, this, &PieceActions::dragged);
}

void PieceActions::setMiniMap(MiniMapWindow *miniMap) { m_overlay->setMiniMap(miniMap); }

void PieceActions::setLayers(const vor4::PieceLayers &layers) { m_overlay->setLayers(layers); }

void PieceActions::report(bool ok, const QString &message)
{
    // A step done is named by the history; a refusal is said here.
    if (!ok)
        m_context->say(message);
}

void PieceActions::dragged(QPoint from, QPoint to)
{
    vor4::MapDocument &doc = *m_context->document();
    const vor4::PieceLayers &layers = m_overlay->layers();
    vor4::PieceEdits::Result result;
    if (const int slot = m_pieces->startAt(from); layers.starts && slot >= 0)
        result = vor4::PieceEdits::setStart(doc, slot, to);
    else if (layers.units && (m_pieces->factsAt(from.x(), from.y()) & vor4::MapPieces::Units))
        result = vor4::PieceEdits::moveUnits(doc, from, to);
    report(result.ok, result.message);
}

void PieceActions::showMenu(const QPoint &viewportPos)
{
    // With a paint tool the right button erases; the menu belongs to Select.
    if (m_grid->tool())
        return;
    const QPoint cell = m_grid->cellAt(viewportPos);
    if (cell.x() < 0)
        return;
    QMenu *menu = menuFor(cell);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(m_grid->viewport()->mapToGlobal(viewportPos));
}

QMenu *PieceActions::menuFor(QPoint cell)
{
    vor4::MapDocument &doc = *m_context->document();
    const vor4::Document &d = doc.document();
    auto *menu = new QMenu(m_grid);
    menu->setObjectName(QStringLiteral("PlotMenu"));
    QMenu *starts = menu->addMenu(QStringLiteral("Set start of"));
    for (int slot = 0; slot < d.PlayerTexts.size(); ++slot) {
        const auto leader = vor4::PlotFacts::firstValue(d.PlayerTexts[slot], "LeaderName");
        const QString name = leader && !vor4::trimmed(*leader).isEmpty()
            ? QStringLiteral("player %1 (%2)").arg(slot).arg(QString::fromUtf8(vor4::trimmed(*leader)))
            : QStringLiteral("player %1").arg(slot);
        starts->addAction(name, this, [this, slot, cell] {
            const auto r = vor4::PieceEdits::setStart(*m_context->document(), slot, cell);
            report(r.ok, r.message);
        });
    }
    for (const vor4::MapPieces::Start &s : m_pieces->starts())
        if (s.cell == cell)
            menu->addAction(QStringLiteral("Remove start of player %1").arg(s.slot), this, [this, slot = s.slot] {
                const auto r = vor4::PieceEdits::removeStart(*m_context->document(), slot);
                report(r.ok, r.message);
            });
    menu->addSeparator();
    menu->addAction(QStringLiteral("Remove units"), this, [this, cell] {
            const auto r = vor4::PieceEdits::removeUnits(*m_context->document(), cell);
            report(r.ok, r.message);
        })->setEnabled(m_pieces->factsAt(cell.x(), cell.y()) & vor4::MapPieces::Units);
    menu->addAction(QStringLiteral("Add sign…"), this, [this, cell] {
        const QString caption = Dialogs::instance().text(m_grid->window(), QStringLiteral("Caption of the sign:"));
        if (caption.isEmpty())
            return;
        const auto r = vor4::PieceEdits::addSign(*m_context->document(), cell, caption.toUtf8());
        report(r.ok, r.message);
    });
    menu->addAction(QStringLiteral("Remove sign"), this, [this, cell] {
            const auto r = vor4::PieceEdits::removeSigns(*m_context->document(), cell);
            report(r.ok, r.message);
        })->setEnabled(m_pieces->hasSign(cell));
    return menu;
}
