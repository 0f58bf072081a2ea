#pragma once
// What the map contents window needs from the main window: it edits the
// plot memo's lines and presses the plot editor's Apply, nothing more.

class QPlainTextEdit;
class QString;

class MapContentsHost
{
public:
    virtual ~MapContentsHost() = default;
    virtual bool isMapPageActive() const = 0;
    virtual QPlainTextEdit *plotMemo() const = 0;   // Memo
    virtual void setRecallText(const QString &text) = 0; // RecallText
    virtual void MapApplyBtnClick() = 0;
    virtual void setMapHintBtnDown(bool down) = 0;  // MapHintBtn follows the window
};
