#pragma once
// The map tools of the map page: one active at a time in an action group,
// each with its one-key shortcut, on a tool bar and in the Map menu; the
// brush value and size they share; the outline of what a click would
// change. The grid sends the active tool its mouse in cells; with Select
// (no tool) a click selects a plot as before.

#include "PaintRule.h"
#include "PaintSymmetry.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class BrushField;
class MapGrid;
class QAction;
class QActionGroup;
class QComboBox;
class QIcon;
class QKeySequence;
class QMenu;
class QToolBar;
class SymmetryGuides;
class ToolPreview;

namespace vor4 {
class MapDocument;
class MapTool;
}

class MapToolBox : public QObject
{
    Q_OBJECT
public:
    MapToolBox(vor4::MapDocument *doc, MapGrid *grid, QObject *parent = nullptr);
    ~MapToolBox() override;

    QToolBar *toolBar() const { return m_bar; }
    QActionGroup *actionGroup() const { return m_group; }
    BrushField *brushField() const { return m_field; }
    QComboBox *sizeBox() const { return m_sizeBox; }
    ToolPreview *preview() const { return m_preview; }
    // The tools, then the brush sizes.
    void addToMenu(QMenu *menu) const;

    // A tool on the bar and in the group, with its shortcut; the box owns
    // it and keeps its brush value and size in step with the others.
    QAction *addTool(vor4::MapTool *tool, const QString &name, const QString &text, const QIcon &icon,
                     const QKeySequence &key);
    // The tool's action by name ("Brush"), or null.
    QAction *toolAction(const QString &name) const;
    // The active tool; null for Select.
    vor4::MapTool *activeTool() const;
    void activate(const QString &name);

    const vor4::PaintRule &brush() const { return m_brush; }
    void setBrush(const vor4::PaintRule &brush);
    int brushSize() const { return m_size; }
    void setBrushSize(int size);
    // Painting at the images of each plot: the Symmetry choice of the bar
    // and the Map menu.
    vor4::PaintSymmetry::Mode symmetry() const { return m_symmetryMode; }
    void setSymmetry(vor4::PaintSymmetry::Mode mode);
    QActionGroup *symmetryGroup() const { return m_symmetry; }

    // A line chosen in the map contents window: the brush value while a
    // tool other than Select is active.
    void offerBrushLine(const QString &line);
    // Where the catalogue lines of the completion come from.
    void setCatalogueSource(std::function<QStringList()> source) { m_catalogue = std::move(source); }
    // Fills the brush field's list: the catalogue lines, then the map's own.
    void refreshChoices();
    // The plot lines the open map uses, sorted.
    const QStringList &mapLines();

Q_SIGNALS:
    // News for the status bar: the step a tool is doing, or why it did nothing.
    void message(const QString &text);

private:
    void buildSymmetry();
    void updateSymmetryChoices();
    void toolChosen(QAction *action);
    void lineEntered(const QString &text);
    void refused(const QString &why);
    void stepChanged();

    vor4::MapDocument *m_doc;
    QPointer<MapGrid> m_grid;
    QToolBar *m_bar = nullptr;
    QActionGroup *m_group = nullptr;
    QAction *m_toolsEnd = nullptr;
    QAction *m_smaller = nullptr;
    QAction *m_larger = nullptr;
    BrushField *m_field = nullptr;
    QComboBox *m_sizeBox = nullptr;
    ToolPreview *m_preview = nullptr;
    vor4::PaintRule m_brush;
    int m_size = 1;
    QActionGroup *m_symmetry = nullptr;
    QMenu *m_symmetryMenu = nullptr; // owned by the bar's button
    vor4::PaintSymmetry::Mode m_symmetryMode = vor4::PaintSymmetry::None;
    std::unique_ptr<SymmetryGuides> m_guides;
    std::function<QStringList()> m_catalogue;
    bool m_mapLinesStale = true;
    QStringList m_mapLines;
};
