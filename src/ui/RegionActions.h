#pragma once
// The commands on regions of the map: Cut, Copy, Paste, Delete and Select
// all for the Edit menu (their keys work while the grid has the focus), the
// flips, turns, Resize map... and Crop to selection for the Map menu. Copy
// puts the plots on the system clipboard as plot blocks, under the
// editor's own type and as plain text; Paste floats them over the grid
// until a click places them. The selection is drawn over the grid and the
// minimap, and its size shown in a label for the status bar.

#include "MapTransform.h"

#include <QList>
#include <QObject>
#include <QPoint>
#include <array>

class EditorContext;
class MapView;
class PastePreview;
class QAction;
class QActionGroup;
class QLabel;
class QMimeData;
class SelectionOverlay;
namespace vor4 {
class MapDocument;
}

class RegionActions : public QObject
{
    Q_OBJECT
public:
    // The context gives the document, the status bar and the dialogs'
    // parent; the view the grid and the minimap.
    RegionActions(EditorContext *context, MapView *view, QObject *parent = nullptr);
    ~RegionActions() override;

    // The commands, each with its action in the Edit or the Map menu.
    enum Command {
        Cut,
        Copy,
        Paste,
        Delete,
        SelectAll,
        SelectSame,
        FlipHorizontal,
        FlipVertical,
        Rotate180,
        RotateClockwise,
        RotateCounterClockwise,
        ResizeMap,
        Crop,
        CommandCount
    };
    QAction *action(Command command) const { return m_actions[command]; }
    // As the menus list them, a null action for a separator.
    QList<QAction *> editMenuActions() const;
    QList<QAction *> mapMenuActions() const;
    // The status bar's "Selection W x H", empty without a selection.
    QLabel *selectionLabel() const { return m_selectionLabel; }

    void cut();
    void copy();
    void paste();
    void deleteSelection();
    void selectAll();
    void selectSame();
    void transform(vor4::MapTransform::Kind kind);
    void resizeMap();
    void crop();

    // Open and New: the selection and a block floating over the grid go.
    void forgetMap();
    // While a file is read every command waits.
    void setBusy(bool busy);
    // The block floating over the grid, or null.
    PastePreview *pastePreview() const { return m_preview; }
    // The plot-block text of clipboard data: the editor's own type first,
    // then plain text taken one byte a character. Empty when there is none.
    static QByteArray plotText(const QMimeData *data);

private:
    QAction *addAction(const QString &text, const QString &name, const QList<QKeySequence> &keys,
                       void (RegionActions::*slot)(), bool onGrid);
    void selectionChanged();
    void updateActions();
    void place(QPoint topLeft);
    void endPaste();
    // After a step of these commands: the status text, and the plot memo
    // showing the selected plot's text.
    void report(const QString &message, bool ok);
    void follow(bool newGrid);

    vor4::MapDocument *document() const;
    EditorContext *m_context;
    MapView *m_view;
    std::array<QAction *, CommandCount> m_actions{};
    QActionGroup *m_commands = nullptr;
    QLabel *m_selectionLabel = nullptr;
    SelectionOverlay *m_overlay = nullptr;
    PastePreview *m_preview = nullptr;
};
