#pragma once
// What the pages of the main window share: the document, steps pushed to it
// with a refused step reported, the message panel, Auto apply and whether a
// load is running (nothing may change the stores while one is).

#include <QObject>
#include <QString>
#include <array>

class QWidget;

namespace vor4 {
class Document;
class EditCommand;
class MapDocument;
} // namespace vor4

class EditorContext : public QObject
{
    Q_OBJECT
public:
    EditorContext(vor4::MapDocument *document, QWidget *window);

    vor4::MapDocument *document() const { return m_document; }
    const vor4::Document &stores() const;
    QWidget *window() const { return m_window; }

    // Pushes the step; a refusal (the text would break the file) is shown
    // in a message box. While a memo is being left the box waits until the
    // focus has settled, and panel 0 says what was not stored.
    bool push(vor4::EditCommand *step, bool leavingMemo = false);
    // The last step pushed was refused.
    bool lastRefused() const { return m_refused; }
    void forgetRefusal() { m_refused = false; }

    // The status bar's three panels: messages, the map's size, the
    // selected cell. Kept whole; a panel may show its text cut short.
    QString status(int panel) const { return m_status[std::size_t(panel)]; }
    void setStatus(int panel, const QString &text);
    // Panel 0.
    void say(const QString &message) { setStatus(0, message); }
    // A text with characters that have no single-byte form was not stored.
    void warnNotSingleByte();

    bool autoApply() const { return m_autoApply; }
    void setAutoApply(bool on) { m_autoApply = on; }
    bool isLoading() const { return m_loading; }
    void setLoading(bool loading) { m_loading = loading; }

Q_SIGNALS:
    void statusChanged(int panel);

private:
    vor4::MapDocument *m_document;
    QWidget *m_window;
    std::array<QString, 3> m_status;
    bool m_refused = false;
    bool m_autoApply = true;
    bool m_loading = false;
};
