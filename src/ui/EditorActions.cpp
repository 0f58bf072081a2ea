#include "EditorActions.h"

#include "CellPainter.h"
#include "CommandButtons.h"
#include "PiecePainter.h"
#include "EditCommand.h"
#include "Glyphs.h"

#include <QAction>
#include <QActionGroup>
#include <QPainter>
#include <QUndoStack>

namespace {

// The platform's keys for a command, the given ones first: the first is the
// one the menu and the tool tip show.
QList<QKeySequence> keysOf(QKeySequence::StandardKey key, QList<QKeySequence> first = {})
{
    for (const QKeySequence &k : QKeySequence::keyBindings(key))
        if (!first.contains(k))
            first << k;
    return first;
}

struct Layer
{
    const char *id;
    const char *hint;
    const char *sample; // plot text painted as the switch's glyph
};

const Layer layers[vor4::LayerSwitches::Count] = {
    {"layerTerrain", "Show Terrain", "TerrainType=TERRAIN_GRASS"},
    {"layerBonus", "Show Bonus", "TerrainType=TERRAIN_OCEAN\r\nBonusType=BONUS_FISH"},
    {"layerFeature", "Show Feature", "TerrainType=TERRAIN_TUNDRA\r\nFeatureType=FEATURE_JUNGLE"},
    {"layerImprovement", "Show Improvement", "TerrainType=TERRAIN_PLAINS\r\nImprovementType=IMPROVEMENT_FARM"},
    {"layerTeam", "Show Team", "TerrainType=TERRAIN_COAST\r\nTeamReveal=1,"},
    {"layerForest", "Show Forest", "TerrainType=TERRAIN_GRASS\r\nFeatureType=FEATURE_FOREST"},
    {"layerJungle", "Show Jungle", "TerrainType=TERRAIN_GRASS\r\nFeatureType=FEATURE_JUNGLE"},
    {"layerIce", "Show Ice", "TerrainType=TERRAIN_OCEAN\r\nFeatureType=FEATURE_ICE"},
    {"layerFlood", "Show Flooding Plains", "TerrainType=TERRAIN_DESERT\r\nFeatureType=FEATURE_FLOOD_PLAINS"},
    {"layerOasis", "Show Oasis", "TerrainType=TERRAIN_DESERT\r\nFeatureType=FEATURE_OASIS"},
    {"layerMountain", "Show Mountain", "TerrainType=TERRAIN_PLAINS\r\nPlotType=0"},
    {"layerHill", "Show Hill", "TerrainType=TERRAIN_GRASS\r\nPlotType=1"},
};

// A layer's glyph is a cell painted by the cell painter itself.
QIcon layerIcon(const char *sample)
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QColor(192, 192, 192));
    vor4::paintPlot(p, vor4::classifyPlot(sample), QRect(0, 0, 16, 16), vor4::LayerSwitches());
    p.end();
    return QIcon(QPixmap::fromImage(image));
}

const char *const pieceLayers[vor4::PieceLayers::Count][2] = {
    {"layerStarts", "Show Starts"}, {"layerUnits", "Show Units"}, {"layerSigns", "Show Signs"}, {"layerRivers", "Show Rivers"}};

// A piece layer's glyph is its mark on a grass cell.
QIcon pieceIcon(int index)
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QColor(192, 192, 192));
    vor4::paintPlot(p, vor4::classifyPlot("TerrainType=TERRAIN_GRASS"), QRect(0, 0, 15, 15), vor4::LayerSwitches());
    const QRect cell(0, 0, 15, 15);
    const QColor red = vor4::playerColour(0, {});
    const vor4::MapStyle &classic = vor4::MapStyle::classic();
    switch (index) {
    case 0: vor4::drawStart(p, cell, 1, red, classic); break;
    case 1: vor4::drawUnits(p, cell.adjusted(-1, 0, 1, 1), 2, red, classic); break;
    case 2: vor4::drawSign(p, cell.adjusted(2, 0, 8, 0), classic); break;
    default: vor4::drawRiverEdge(p, QRect(0, 0, 7, 15), vor4::PlotFacts::EastEdge, -1, classic); break;
    }
    p.end();
    return QIcon(QPixmap::fromImage(image));
}

} // namespace

EditorActions::EditorActions(QUndoStack *history, QObject *parent)
    : QObject(parent)
    , m_history(history)
{
    create(QStringLiteral("new"), QStringLiteral("&New"), glyph("new", "document-new"), QStringLiteral("New"),
           keysOf(QKeySequence::New));
    create(QStringLiteral("newGeneratedMap"), QStringLiteral("New &map..."), glyph("newmap"),
           QStringLiteral("A new map with players, game rules and generated land"),
           {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N)});
    create(QStringLiteral("open"), QStringLiteral("&Open..."), glyph("open", "document-open"), QStringLiteral("Open"),
           keysOf(QKeySequence::Open));
    create(QStringLiteral("save"), QStringLiteral("&Save"), glyph("save", "document-save"), QStringLiteral("Save"),
           keysOf(QKeySequence::Save));
    create(QStringLiteral("saveAs"), QStringLiteral("Save &as..."), glyph("saveas", "document-save-as"),
           QStringLiteral("Save as..."), keysOf(QKeySequence::SaveAs, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}));
    QAction *quit = create(QStringLiteral("quit"), QStringLiteral("&Quit"),
                           QIcon::fromTheme(QStringLiteral("application-exit")), QStringLiteral("Quit"),
                           keysOf(QKeySequence::Quit, {QKeySequence(Qt::CTRL | Qt::Key_Q)}));
    quit->setMenuRole(QAction::QuitRole);

    // Undo and Redo follow the history's state; what they do first (store
    // the text being typed) the window connects.
    QAction *undo = history->createUndoAction(this);
    QAction *redo = history->createRedoAction(this);
    disconnect(undo, &QAction::triggered, history, nullptr);
    disconnect(redo, &QAction::triggered, history, nullptr);
    undo->setIcon(glyph("undo", "edit-undo"));
    redo->setIcon(glyph("redo", "edit-redo"));
    undo->setShortcuts(keysOf(QKeySequence::Undo));
    redo->setShortcuts(keysOf(QKeySequence::Redo, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                                   QKeySequence(Qt::CTRL | Qt::Key_Y)}));
    add(QStringLiteral("undo"), undo);
    add(QStringLiteral("redo"), redo);
    m_own << undo << redo;
    create(QStringLiteral("history"), QStringLiteral("&History"), glyph("history", "view-history"),
           QStringLiteral("Show the list of steps, to go back or forward to one"),
           {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H)}, true);
    create(QStringLiteral("autoApply"), QStringLiteral("Auto &apply changes"), glyph("autoapply"),
           QStringLiteral("Auto apply changes: store a text field when it is left"),
           {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A)}, true)
        ->setChecked(true);
    create(QStringLiteral("find"), QStringLiteral("&Find..."), glyph("find", "edit-find"),
           QStringLiteral("Find in plot texts"), keysOf(QKeySequence::Find, {QKeySequence(Qt::CTRL | Qt::Key_F)}));
    create(QStringLiteral("findNext"), QStringLiteral("Find &next"), QIcon(), QStringLiteral("Find next"),
           keysOf(QKeySequence::FindNext, {QKeySequence(Qt::Key_F3)}));
    create(QStringLiteral("findPrevious"), QStringLiteral("Find pre&vious"), QIcon(), QStringLiteral("Find previous"),
           keysOf(QKeySequence::FindPrevious, {QKeySequence(Qt::SHIFT | Qt::Key_F3)}));
    create(QStringLiteral("replace"), QStringLiteral("R&eplace..."), QIcon(), QStringLiteral("Replace"),
           keysOf(QKeySequence::Replace, {QKeySequence(Qt::CTRL | Qt::Key_H)}));

    m_pages = new QActionGroup(this);
    m_pages->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    const struct
    {
        const char *id, *text, *glyphName, *hint;
        Qt::Key key;
    } pages[] = {{"rulesPage", "Game &Rules", "rules", "Game Rules", Qt::Key_1},
                 {"teamsPage", "&Team Info", "team", "Team Info", Qt::Key_2},
                 {"playersPage", "&Player Info", "player", "Player Info", Qt::Key_3},
                 {"mapPage", "&Map Editor", "map", "Map Editor", Qt::Key_4}};
    for (const auto &p : pages)
        m_pages->addAction(create(QLatin1String(p.id), QLatin1String(p.text), glyph(p.glyphName),
                                  QLatin1String(p.hint), {QKeySequence(Qt::ALT | p.key)}, true));

    create(QStringLiteral("gridLines"), QStringLiteral("&Grid Lines"), glyph("gridlines"), QStringLiteral("Show Grid Line"),
           {}, true)
        ->setChecked(true);
    create(QStringLiteral("miniMap"), QStringLiteral("Mini&Map"), glyph("minimap"), QStringLiteral("Show MiniMap"), {},
           true);
    create(QStringLiteral("mapContents"), QStringLiteral("Map &Contents"), glyph("mapcontents"),
           QStringLiteral("Show map contents"), {}, true);
    for (const Layer &l : layers)
        create(QLatin1String(l.id), QLatin1String(l.hint).mid(5), layerIcon(l.sample), QLatin1String(l.hint), {}, true)
            ->setChecked(true);
    for (int i = 0; i < vor4::PieceLayers::Count; ++i)
        create(QLatin1String(pieceLayers[i][0]), QLatin1String(pieceLayers[i][1]).mid(5), pieceIcon(i),
               QLatin1String(pieceLayers[i][1]), {}, true)
            ->setChecked(true);

    // The map's look: one style at a time.
    m_styles = new QActionGroup(this);
    m_styles->addAction(create(QStringLiteral("styleClassic"), QStringLiteral("&Classic"), QIcon(),
                               QStringLiteral("Map style Classic: pure terrain colours with symbols and hatches"), {},
                               true))
        ->setChecked(true);
    m_styles->addAction(create(QStringLiteral("styleTerrain"), QStringLiteral("&Terrain"), QIcon(),
                               QStringLiteral("Map style Terrain: muted colours, relief shading and small icons"), {},
                               true));
    create(QStringLiteral("exportPicture"), QStringLiteral("&Export picture..."), QIcon::fromTheme(QStringLiteral("document-export")),
           QStringLiteral("Export the map, or the selection, as a PNG picture"),
           {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E)});

    create(QStringLiteral("newMap"), QStringLiteral("Create a &New Map..."), glyph("newmap"),
           QStringLiteral("Create a new map"));
    create(QStringLiteral("statistics"), QStringLiteral("&Statistics"), glyph("statistics"),
           QStringLiteral("Show statistics"), {}, true);
    create(QStringLiteral("balance"), QStringLiteral("&Balance"), QIcon(),
           QStringLiteral("Show the balance report of the players' starts"),
           {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B)}, true);

    create(QStringLiteral("legend"), QStringLiteral("&Legend"), QIcon(),
           QStringLiteral("What the grid's colours and marks mean"), {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L)});
    create(QStringLiteral("userGuide"), QStringLiteral("&User guide"), QIcon::fromTheme(QStringLiteral("help-contents")),
           QStringLiteral("Open the user guide"), keysOf(QKeySequence::HelpContents, {QKeySequence(Qt::Key_F1)}));
    create(QStringLiteral("shortcuts"), QStringLiteral("&Keyboard shortcuts"), QIcon(),
           QStringLiteral("List every key of the editor"), {QKeySequence(Qt::CTRL | Qt::Key_F1)});
    create(QStringLiteral("about"), QStringLiteral("&About"), glyph("about"),
           QStringLiteral("About the editor: version and notes"), {QKeySequence(Qt::SHIFT | Qt::Key_F1)});
    updateUndoHints();
}

QAction *EditorActions::create(const QString &id, const QString &text, const QIcon &icon, const QString &hint,
                               const QList<QKeySequence> &keys, bool checkable)
{
    auto *a = new QAction(icon, text, this);
    a->setShortcuts(keys);
    a->setCheckable(checkable);
    a->setToolTip(hintWithKey(hint, keys.value(0)));
    add(id, a);
    m_own << a;
    return a;
}

void EditorActions::add(const QString &id, QAction *action)
{
    if (action->objectName().isEmpty())
        action->setObjectName(id);
    m_actions.insert(id, action);
}

QList<QAction *> EditorActions::actions(const QStringList &ids) const
{
    QList<QAction *> out;
    for (const QString &id : ids)
        out << action(id);
    return out;
}

QStringList EditorActions::layerIds()
{
    QStringList ids;
    for (const Layer &l : layers)
        ids << QLatin1String(l.id);
    return ids;
}

QStringList EditorActions::styleIds()
{
    return {QStringLiteral("styleClassic"), QStringLiteral("styleTerrain")};
}

QStringList EditorActions::pieceLayerIds()
{
    QStringList ids;
    for (const auto &l : pieceLayers)
        ids << QLatin1String(l[0]);
    return ids;
}

void EditorActions::setBusy(bool busy)
{
    for (QAction *a : std::as_const(m_own))
        if (a->objectName() != QLatin1String("quit"))
            a->setEnabled(!busy);
    if (!busy) {
        action(QStringLiteral("undo"))->setEnabled(m_history->canUndo());
        action(QStringLiteral("redo"))->setEnabled(m_history->canRedo());
    }
}

void EditorActions::updateUndoHints()
{
    // "Undo TerrainType changed at (20, 10) (Ctrl+Z)".
    const auto nameOf = [this](int index) {
        return static_cast<const vor4::EditCommand *>(m_history->command(index))->name();
    };
    const QString undo = m_history->canUndo() ? QStringLiteral("Undo ") + nameOf(m_history->index() - 1)
                                              : QStringLiteral("Undo");
    const QString redo = m_history->canRedo() ? QStringLiteral("Redo ") + nameOf(m_history->index())
                                              : QStringLiteral("Redo");
    action(QStringLiteral("undo"))->setToolTip(hintWithKey(undo, QKeySequence(QKeySequence::Undo)));
    action(QStringLiteral("redo"))->setToolTip(hintWithKey(redo, QKeySequence(QKeySequence::Redo)));
}
