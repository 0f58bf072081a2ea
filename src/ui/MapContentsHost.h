#pragma once
// What the map contents window needs from the main window: it edits the
// plot memo's lines and presses the plot editor's Apply, nothing more.

#include <QStringList>

class SectionMemo;

class MapContentsHost
{
public:
    virtual ~MapContentsHost() = default;
    virtual bool isMapPageActive() const = 0;
    // The plot editor's memo, and the text its Recall gives back.
    virtual SectionMemo *plotMemo() const = 0;
    virtual void setRecallText(const QString &text) = 0;
    // False after Open or New until a plot is chosen: nothing to change.
    virtual bool plotSelected() const { return true; }
    // Stores the memo into the focused cell as one undoable step named by
    // `what` ("TerrainType changed"); false when it could not be stored.
    virtual bool applyPlotMemo(const QString &what) = 0;
    // The main window's button for this window follows it, shown or hidden.
    virtual void setMapContentsButtonDown(bool down) = 0;
    // An item of the list was selected: its line, as Change would put it.
    virtual void mapContentsItemChosen(const QString &line) { static_cast<void>(line); }
    // The plot lines the open map uses, for the lists when the game is missing.
    virtual QStringList mapPlotLines() { return {}; }
};
