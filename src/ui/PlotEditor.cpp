#include "PlotEditor.h"

#include "CommandButtons.h"
#include "CurrentCell.h"
#include "EditorActions.h"
#include "EditorContext.h"
#include "Glyphs.h"
#include "MapDocument.h"
#include "MapToolBox.h"
#include "SectionMemo.h"
#include "SetPlotText.h"

#include <QAction>
#include <QHBoxLayout>
#include <QToolBar>

PlotEditor::PlotEditor(EditorContext *context, EditorActions *actions, CurrentCell *current, MapToolBox *tools,
                       QWidget *parent)
    : QWidget(parent)
    , m_context(context)
    , m_actions(actions)
    , m_current(current)
    , m_tools(tools)
{
    setObjectName(QStringLiteral("PlotEditor"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_memo = new SectionMemo;
    m_memo->setObjectName(QStringLiteral("PlotEdit"));
    m_memo->setMinimumSize(50, 100);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->setKeptNotice(QStringLiteral("This plot's text is %1: it is kept as it is and cannot be edited here"));
    m_memo->setProperty("shortcutGroup", QStringLiteral("Text fields"));
    connect(m_memo, &SectionMemo::exited, this, [this] {
        m_recallText.clear();
        storeTyping();
    });
    connect(m_memo, &SectionMemo::refused, m_context, &EditorContext::say);
    QAction *apply = fieldCommand(m_memo, QStringLiteral("plotApply"), glyph("apply"),
                                  QStringLiteral("Store this text into the selected plot"),
                                  QKeySequence(Qt::CTRL | Qt::Key_Return));
    QAction *recall = fieldCommand(m_memo, QStringLiteral("plotRecall"), glyph("recall"),
                                   QStringLiteral("Bring back the plot's text from before the last Clear or change"),
                                   QKeySequence(Qt::CTRL | Qt::Key_R));
    QAction *clear = fieldCommand(m_memo, QStringLiteral("plotClear"), glyph("clear"),
                                  QStringLiteral("Empty the selected plot"),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete));
    for (QAction *a : {apply, recall, clear})
        actions->add(a->objectName(), a);
    connect(apply, &QAction::triggered, this, &PlotEditor::applyPlot);
    connect(recall, &QAction::triggered, this, &PlotEditor::recallPlot);
    connect(clear, &QAction::triggered, this, &PlotEditor::clearPlot);
    QToolBar *bar = pageToolBar(QStringLiteral("PlotToolBar"), Qt::Vertical);
    addCommandButton(bar, apply, QStringLiteral("PlotApplyButton"));
    addCommandButton(bar, recall, QStringLiteral("PlotRecallButton"));
    addCommandButton(bar, clear, QStringLiteral("PlotClearButton"));
    addCommandButton(bar, actions->action(QStringLiteral("mapContents")), QStringLiteral("MapContentsButton"));
    layout->addWidget(m_memo);
    layout->addWidget(bar);

    connect(current, &CurrentCell::leaving, this, &PlotEditor::leaving);
    connect(current, &CurrentCell::changed, this, &PlotEditor::chosen);
    connect(context->document(), &vor4::MapDocument::plotsChanged, this, &PlotEditor::plotsChanged);
}

void PlotEditor::leaving(QPoint)
{
    // Every choice of a plot stores the text being typed first, as a click
    // does by taking the focus: the wheel, the find bar and the other
    // windows leave the focus in the field, which is about to show another
    // plot. An undo selects the plot it changed and stores nothing. The
    // window's own focus counts: it stays in the field while another
    // window is active.
    if (window()->focusWidget() == m_memo && !m_context->document()->isUndoingOrRedoing()) {
        m_recallText.clear();
        storeTyping();
    }
}

void PlotEditor::chosen(QPoint, QPoint now)
{
    if (!m_current->isChosen())
        return;
    const vor4::Document &doc = m_context->stores();
    m_memo->setBytes(doc.PlotTexts.text(now.x(), now.y()));
    // The file's x and y too: the numbers of the plot blocks, of the players'
    // start positions and of the game.
    m_context->setStatus(2, QStringLiteral("Current cell = (%1 ,%2)   x=%3, y=%4")
                                .arg(now.x())
                                .arg(now.y())
                                .arg(now.x())
                                .arg(doc.fileY(now.y())));
}

bool PlotEditor::plotSelected() const { return m_current->isChosen(); }

bool PlotEditor::hasChosenPlot()
{
    if (m_current->isChosen())
        return true;
    // After Open or New the grid still shows a current cell, but no plot
    // was chosen: nothing may be written into it.
    m_context->say(QStringLiteral("No plot selected"));
    return false;
}

bool PlotEditor::applyPlot() { return applyPlotMemo(QStringLiteral("Edit plot")); }

bool PlotEditor::applyPlotMemo(const QString &what)
{
    if (!hasChosenPlot())
        return false;
    QByteArray text;
    if (!m_memo->bytes(&text)) {
        m_context->warnNotSingleByte();
        return false;
    }
    const QPoint cell = m_current->cell();
    m_context->push(new vor4::SetPlotText(m_context->document(), cell.x(), cell.y(), text, what));
    return !m_context->lastRefused();
}

void PlotEditor::recallPlot()
{
    if (!hasChosenPlot())
        return;
    const QPoint cell = m_current->cell();
    if (!m_recallText.isEmpty())
        m_memo->setText(m_recallText);
    else
        m_memo->setBytes(m_context->stores().PlotTexts.text(cell.x(), cell.y()));
    m_memo->repaint();
    applyPlotMemo(QStringLiteral("Recall plot"));
}

void PlotEditor::clearPlot()
{
    if (!hasChosenPlot())
        return;
    m_recallText = m_memo->text();
    m_memo->clear();
    applyPlotMemo(QStringLiteral("Clear plot"));
}

bool PlotEditor::storeTyping()
{
    if (!m_context->autoApply() || !m_current->isChosen())
        return true;
    QByteArray text;
    if (!m_memo->bytes(&text)) {
        m_context->warnNotSingleByte();
        return false;
    }
    const QPoint plot = m_current->cell();
    m_context->push(new vor4::SetPlotText(m_context->document(), plot.x(), plot.y(), text,
                                          QStringLiteral("Edit plot")),
                    true);
    return !m_context->lastRefused();
}

void PlotEditor::showStore()
{
    if (m_current->isChosen())
        m_memo->setBytes(m_context->stores().PlotTexts.text(m_current->col(), m_current->row()));
    else
        m_memo->clear();
}

void PlotEditor::plotsChanged(const QRegion &plots)
{
    vor4::MapDocument *doc = m_context->document();
    const vor4::Document &stores = doc->document();
    if (!doc->isUndoingOrRedoing()) {
        // A tool painted over the chosen plot: the field shows it. A text
        // that was just applied is there already and is left alone, its
        // cursor with it.
        const QPoint chosen = m_current->chosenPlot();
        QByteArray shown;
        if (plots.contains(chosen)
            && (!m_memo->bytes(&shown) || shown != stores.PlotTexts.view(chosen.x(), chosen.y())))
            m_memo->setBytes(stores.PlotTexts.text(chosen.x(), chosen.y()));
        return;
    }
    // Undone or redone: one plot changed is chosen, as a click on it
    // would; the window shows every store again.
    const QRect cells = plots.boundingRect();
    if (cells.width() == 1 && cells.height() == 1)
        m_current->choose(cells.topLeft());
}

void PlotEditor::setMapContentsButtonDown(bool down)
{
    m_actions->action(QStringLiteral("mapContents"))->setChecked(down);
}

void PlotEditor::mapContentsItemChosen(const QString &line) { m_tools->offerBrushLine(line); }

QStringList PlotEditor::mapPlotLines() { return m_tools->mapLines(); }
