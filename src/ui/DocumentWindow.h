#pragma once
// What the file commands need of the window around the document, and no
// more; the document, the status bar and the dialogs' parent they take from
// the EditorContext.

class DocumentWindow
{
public:
    virtual ~DocumentWindow() = default;
    // Stores the text field being typed into, as leaving it would; false
    // when it could not be stored.
    virtual bool storeFocusedMemo() = 0;
    // Every text field empty: while a file is read, and after it failed.
    virtual void clearTextFields() = 0;
    // A file was read: the game rules page shows it, each section from its
    // first slot when it was read whole.
    virtual void showReadMap(bool whole) = 0;
    // A map was read or made: the minimap's picture is drawn anew.
    virtual void renderMiniMap() = 0;
    // A new map was made: the map page shows it.
    virtual void showMapPage() = 0;
};
