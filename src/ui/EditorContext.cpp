#include "EditorContext.h"

#include "Dialogs.h"
#include "MapDocument.h"

#include <QTimer>
#include <QWidget>

EditorContext::EditorContext(vor4::MapDocument *document, QWidget *window)
    : QObject(window)
    , m_document(document)
    , m_window(window)
{
}

const vor4::Document &EditorContext::stores() const { return m_document->document(); }

bool EditorContext::push(vor4::EditCommand *step, bool leavingMemo)
{
    QString error;
    const bool done = m_document->push(step, &error);
    m_refused = !error.isEmpty();
    if (m_refused && leavingMemo) {
        say(QStringLiteral("Not stored: ") + error);
        // Not from inside a focus change: the message box would take the focus.
        QTimer::singleShot(0, m_window, [w = m_window, error] { Dialogs::instance().error(w, error); });
    } else if (m_refused) {
        Dialogs::instance().error(m_window, error);
    }
    return done;
}

void EditorContext::setStatus(int panel, const QString &text)
{
    // Bounded as a message box's text: it is measured and shown on hovering.
    m_status[std::size_t(panel)] = Dialogs::shown(text);
    Q_EMIT statusChanged(panel);
}

void EditorContext::warnNotSingleByte()
{
    const QString text = QStringLiteral(
        "The text holds characters that a map file cannot store (only single-byte "
        "Latin-1 characters can be saved). Nothing was stored; change those characters and apply again.");
    say(QStringLiteral("Not stored: text has characters a map file cannot hold"));
    QTimer::singleShot(0, m_window, [w = m_window, text] { Dialogs::instance().error(w, text); });
}
