#include "MapToolBox.h"

#include "BrushField.h"
#include "BrushTool.h"
#include "EditCommand.h"
#include "EraserTool.h"
#include "FillTool.h"
#include "Geometry.h"
#include "Glyphs.h"
#include "LineTool.h"
#include "MagicWandTool.h"
#include "CommandButtons.h"
#include "MapDocument.h"
#include "MapGrid.h"
#include "PickerTool.h"
#include "PlotLineSet.h"
#include "RectangleTool.h"
#include "RegionSelectTool.h"
#include "RiverTool.h"
#include "SymmetryGuides.h"
#include "ToolPreview.h"

#include <algorithm>

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QSet>
#include <QToolBar>
#include <QToolTip>
#include <QToolButton>
#include <QUndoStack>

static void initToolResources() { Q_INIT_RESOURCE(painttools); }

namespace {
vor4::MapTool *toolOf(const QAction *action)
{
    return action ? qobject_cast<vor4::MapTool *>(action->data().value<QObject *>()) : nullptr;
}
} // namespace

MapToolBox::MapToolBox(vor4::MapDocument *doc, MapGrid *grid, QObject *parent)
    : QObject(parent)
    , m_doc(doc)
    , m_grid(grid)
{
    initToolResources();
    m_bar = new QToolBar;
    m_bar->setObjectName(QStringLiteral("PaintToolBar"));
    m_bar->setIconSize(QSize(16, 16));
    auto *label = new QLabel(QStringLiteral("Paint"));
    label->setFixedWidth(33);
    label->setAlignment(Qt::AlignCenter);
    m_bar->addWidget(label);
    m_toolsEnd = m_bar->addSeparator(); // tools go before it, sizes after
    m_group = new QActionGroup(this);
    m_group->setExclusive(true);
    m_preview = new ToolPreview(grid, this);
    m_guides = std::make_unique<SymmetryGuides>(grid);

    addTool(nullptr, QStringLiteral("Select"), QStringLiteral("Select plots"), glyph("select"), Qt::Key_S);
    addTool(new vor4::RegionSelectTool(doc), QStringLiteral("Region"), QStringLiteral("Select region"), glyph("region"),
            Qt::Key_M);
    addTool(new vor4::MagicWandTool(doc), QStringLiteral("Wand"),
            QStringLiteral("Magic wand: the plots a fill reaches (Shift adds, Ctrl takes away)"), glyph("region"), Qt::Key_W);
    addTool(new vor4::BrushTool(doc), QStringLiteral("Brush"), QStringLiteral("Brush"), glyph("brush"), Qt::Key_B);
    addTool(new vor4::LineTool(doc), QStringLiteral("Line"), QStringLiteral("Line"), glyph("line"), Qt::Key_L);
    addTool(new vor4::RectangleTool(doc), QStringLiteral("Rectangle"), QStringLiteral("Rectangle"),
            glyph("rectangle"), Qt::Key_R);
    addTool(new vor4::FillTool(doc), QStringLiteral("Fill"), QStringLiteral("Fill (Shift: the selection)"),
            glyph("fill"), Qt::Key_F);
    auto *picker = new vor4::PickerTool(doc);
    addTool(picker, QStringLiteral("Picker"), QStringLiteral("Pick the brush value from a plot"), glyph("picker"),
            Qt::Key_I);
    addTool(new vor4::EraserTool(doc), QStringLiteral("Eraser"), QStringLiteral("Eraser"), glyph("eraser"),
            Qt::Key_E);
    addTool(new vor4::RiverTool(doc), QStringLiteral("River"), QStringLiteral("River along plot edges (Shift: remove)"),
            glyph("river"), Qt::Key_V);
    toolAction(QStringLiteral("Select"))->setChecked(true);
    connect(m_group, &QActionGroup::triggered, this, &MapToolBox::toolChosen);
    connect(picker, &vor4::PickerTool::brushPicked, this, [this](const vor4::PaintRule &rule) {
        setBrush(rule);
        Q_EMIT message(QStringLiteral("Brush value: ") + QString::fromLatin1(rule.line()));
    });

    buildSymmetry();

    m_sizeBox = new QComboBox;
    m_sizeBox->setObjectName(QStringLiteral("BrushSizeBox"));
    m_sizeBox->setFocusPolicy(Qt::NoFocus);
    for (int size : vor4::BrushSizes)
        m_sizeBox->addItem(QString::number(size), size);
    m_sizeBox->setToolTip(QStringLiteral("Brush size ([ smaller, ] larger)"));
    m_bar->addWidget(m_sizeBox);
    connect(m_sizeBox, &QComboBox::activated, this, [this](int index) {
        setBrushSize(m_sizeBox->itemData(index).toInt());
    });
    m_smaller = new QAction(glyph("smaller"), QStringLiteral("S&maller Brush"), this);
    m_smaller->setObjectName(QStringLiteral("SmallerBrushAction"));
    m_smaller->setShortcut(Qt::Key_BracketLeft);
    m_smaller->setToolTip(hintWithKey(QStringLiteral("Smaller brush"), m_smaller->shortcut()));
    connect(m_smaller, &QAction::triggered, this, [this] { setBrushSize(vor4::stepBrushSize(m_size, -1)); });
    m_larger = new QAction(glyph("larger"), QStringLiteral("&Larger Brush"), this);
    m_larger->setObjectName(QStringLiteral("LargerBrushAction"));
    m_larger->setShortcut(Qt::Key_BracketRight);
    m_larger->setToolTip(hintWithKey(QStringLiteral("Larger brush"), m_larger->shortcut()));
    connect(m_larger, &QAction::triggered, this, [this] { setBrushSize(vor4::stepBrushSize(m_size, 1)); });
    // The size keys work while the bar is seen, also without the menu.
    m_bar->addAction(m_smaller);
    m_bar->addAction(m_larger);
    for (QAction *a : {m_smaller, m_larger})
        m_bar->widgetForAction(a)->setFocusPolicy(Qt::NoFocus);

    m_field = new BrushField;
    m_field->setObjectName(QStringLiteral("BrushField"));
    m_field->setToolTip(QStringLiteral("Brush value: a plot line such as TerrainType=TERRAIN_GRASS"));
    m_field->setMinimumWidth(260);
    m_bar->addWidget(m_field);
    // Out of the Tab chain, so that the map page's first focus is not a
    // text field that would swallow the one-key shortcuts.
    m_field->setFocusPolicy(Qt::ClickFocus);
    connect(m_field, &BrushField::lineEntered, this, &MapToolBox::lineEntered);
    connect(m_field, &BrushField::choicesWanted, this, &MapToolBox::refreshChoices);

    connect(doc, &vor4::MapDocument::plotsChanged, this, [this] { m_mapLinesStale = true; });
    connect(doc, &vor4::MapDocument::documentReplaced, this, [this] {
        m_mapLinesStale = true;
        if (vor4::MapTool *tool = activeTool())
            tool->cancel(); // the stroke belonged to the old map
    });
    connect(doc->undoStack(), &QUndoStack::indexChanged, this, &MapToolBox::stepChanged);
}

MapToolBox::~MapToolBox()
{
    if (m_grid)
        m_grid->setTool(nullptr);
}

QAction *MapToolBox::addTool(vor4::MapTool *tool, const QString &name, const QString &text, const QIcon &icon,
                             const QKeySequence &key)
{
    auto *action = new QAction(icon, text, m_group);
    action->setObjectName(name + QStringLiteral("ToolAction"));
    action->setCheckable(true);
    action->setShortcut(key);
    action->setToolTip(hintWithKey(text, key));
    if (tool) {
        tool->setParent(this);
        tool->setBrush(m_brush);
        tool->setBrushSize(m_size);
        tool->setSymmetry(m_symmetryMode);
        connect(tool, &vor4::MapTool::refused, this, &MapToolBox::refused);
        action->setData(QVariant::fromValue<QObject *>(tool));
    }
    m_bar->insertAction(m_toolsEnd, action);
    QWidget *button = m_bar->widgetForAction(action);
    button->setObjectName(name + QStringLiteral("ToolBtn"));
    button->setFocusPolicy(Qt::NoFocus); // the memo being edited keeps the focus
    return action;
}

QAction *MapToolBox::toolAction(const QString &name) const
{
    for (QAction *a : m_group->actions())
        if (a->objectName() == name + QStringLiteral("ToolAction"))
            return a;
    return nullptr;
}

vor4::MapTool *MapToolBox::activeTool() const { return toolOf(m_group->checkedAction()); }

void MapToolBox::activate(const QString &name)
{
    if (QAction *a = toolAction(name); a && !a->isChecked())
        a->trigger();
}

void MapToolBox::buildSymmetry()
{
    m_symmetry = new QActionGroup(this);
    m_symmetry->setExclusive(true);
    auto *menu = m_symmetryMenu = new QMenu(QStringLiteral("S&ymmetry"));
    menu->setObjectName(QStringLiteral("SymmetryMenu"));
    for (int i = 0; i < vor4::PaintSymmetry::ModeCount; ++i) {
        const auto mode = vor4::PaintSymmetry::Mode(i);
        QAction *a = menu->addAction(vor4::PaintSymmetry::name(mode));
        a->setObjectName(QStringLiteral("Symmetry%1Action").arg(i));
        a->setCheckable(true);
        a->setChecked(i == 0);
        a->setData(i);
        m_symmetry->addAction(a);
    }
    connect(m_symmetry, &QActionGroup::triggered, this, [this](QAction *a) { setSymmetry(vor4::PaintSymmetry::Mode(a->data().toInt())); });
    auto *button = new QToolButton;
    button->setObjectName(QStringLiteral("SymmetryButton"));
    menu->setParent(button, menu->windowFlags()); // the button does not own its menu
    button->setMenu(menu);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setText(QStringLiteral("Symmetry"));
    button->setToolTip(QStringLiteral("Paint at the mirror or turned images of each plot too"));
    button->setFocusPolicy(Qt::NoFocus);
    m_bar->addWidget(button);
    connect(m_doc, &vor4::MapDocument::documentReplaced, this, &MapToolBox::updateSymmetryChoices);
    updateSymmetryChoices();
}

void MapToolBox::updateSymmetryChoices()
{
    const QSize grid(m_doc->document().columnCount(), m_doc->document().rowCount());
    for (QAction *a : m_symmetry->actions()) {
        const auto mode = vor4::PaintSymmetry::Mode(a->data().toInt());
        const QString why = vor4::PaintSymmetry::refusal(mode, grid);
        a->setEnabled(why.isEmpty());
        a->setToolTip(why.isEmpty() ? vor4::PaintSymmetry::name(mode) : why);
    }
    // A mode the new map cannot take falls back to none.
    if (QAction *on = m_symmetry->checkedAction(); on && !on->isEnabled())
        m_symmetry->actions().first()->trigger();
}

void MapToolBox::setSymmetry(vor4::PaintSymmetry::Mode mode)
{
    m_symmetryMode = mode;
    for (QAction *a : m_group->actions())
        if (vor4::MapTool *tool = toolOf(a))
            tool->setSymmetry(mode);
    if (QAction *a = m_symmetry->actions().value(mode); a && !a->isChecked())
        a->setChecked(true);
    m_guides->setMode(mode);
}

void MapToolBox::addToMenu(QMenu *menu) const
{
    menu->addActions(m_group->actions());
    menu->addMenu(m_symmetryMenu);
    menu->addSeparator();
    menu->addAction(m_smaller);
    menu->addAction(m_larger);
}

void MapToolBox::toolChosen(QAction *action)
{
    vor4::MapTool *tool = toolOf(action);
    m_grid->setTool(tool);
    m_preview->setTool(tool);
}

void MapToolBox::setBrush(const vor4::PaintRule &brush)
{
    m_brush = brush;
    for (QAction *a : m_group->actions())
        if (vor4::MapTool *tool = toolOf(a))
            tool->setBrush(brush);
    m_field->showLine(QString::fromLatin1(brush.line().isEmpty() ? brush.key() : brush.line()));
}

void MapToolBox::setBrushSize(int size)
{
    m_size = vor4::stepBrushSize(size, 0);
    for (QAction *a : m_group->actions())
        if (vor4::MapTool *tool = toolOf(a))
            tool->setBrushSize(m_size);
    m_sizeBox->setCurrentIndex(m_sizeBox->findData(m_size));
}

void MapToolBox::offerBrushLine(const QString &line)
{
    if (!activeTool())
        return;
    lineEntered(line);
}

void MapToolBox::lineEntered(const QString &text)
{
    if (text.trimmed().isEmpty() || text.toLatin1() == m_brush.line())
        return;
    QString error;
    vor4::PaintRule rule;
    // Plot texts are single-byte: a character beyond Latin-1 has no byte.
    if (std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() > 0xff; }))
        error = QStringLiteral("A plot line holds single-byte characters only");
    else
        rule = vor4::PaintRule::fromLine(text.toLatin1(), &error);
    if (!rule.isValid()) {
        Q_EMIT message(error);
        return;
    }
    setBrush(rule);
}

void MapToolBox::refused(const QString &why)
{
    Q_EMIT message(why);
    // Without a value the field is where one is typed; the pointer's next
    // move writes over the status bar, so the field says why too.
    if (!m_brush.isValid() && !qobject_cast<vor4::PickerTool *>(activeTool())) {
        m_field->setFocus(Qt::OtherFocusReason);
        QToolTip::showText(m_field->mapToGlobal(QPoint(0, m_field->height())), why, m_field);
    }
}

void MapToolBox::stepChanged()
{
    // The step a drag is doing, its count growing with the stroke.
    vor4::MapTool *tool = activeTool();
    const QUndoStack *stack = m_doc->undoStack();
    if (!tool || !tool->isDragging() || !m_doc->isRecording() || stack->index() == 0)
        return;
    const auto *step = dynamic_cast<const vor4::EditCommand *>(stack->command(stack->index() - 1));
    if (step && step->changesFile()) // a selection is shown by its own panel
        Q_EMIT message(step->name());
}

const QStringList &MapToolBox::mapLines()
{
    if (m_mapLinesStale) {
        m_mapLines.clear();
        for (const QByteArray &line : vor4::PlotLineSet::collect(m_doc->document().PlotTexts))
            m_mapLines << QString::fromLatin1(line);
        m_mapLinesStale = false;
    }
    return m_mapLines;
}

void MapToolBox::refreshChoices()
{
    QStringList lines = m_catalogue ? m_catalogue() : QStringList();
    mapLines();
    QSet<QString> listed(lines.cbegin(), lines.cend());
    for (const QString &line : m_mapLines)
        if (!listed.contains(line))
            lines << line;
    m_field->setChoices(lines);
}
