#include "SectionMemo.h"

#include "TextUtil.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextDocument>

namespace {

// One byte a character, every "\n" as CR LF; false when a character has no byte.
bool singleByte(const QString &s, QByteArray *out)
{
    QByteArray b;
    b.reserve(s.size() + s.count(QLatin1Char('\n')));
    for (const QChar c : s) {
        if (c.unicode() > 0xFF)
            return false;
        if (c == QLatin1Char('\n'))
            b += '\r';
        b += char(c.unicode());
    }
    *out = b;
    return true;
}

} // namespace

SectionMemo::SectionMemo(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabChangesFocus(false);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (m_showingKept || !m_kept)
            return;
        m_kept = false;
        m_keptText.clear();
        setReadOnly(false);
    });
}

QString SectionMemo::text() const
{
    if (m_kept)
        return QString::fromLatin1(m_keptText);
    // The raw text keeps every character; paragraph ends come as U+2029 and
    // Shift+Enter gives U+2028, both shown as line breaks.
    QString s = document()->toRawText();
    for (QChar &c : s)
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = QLatin1Char('\n');
    return s;
}

void SectionMemo::setText(const QString &text)
{
    QString s = text;
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QByteArray bytes;
    if (s.size() > LargeText && singleByte(s, &bytes)) // Recall of a kept text
        return keep(bytes);
    setPlainText(s);
}

void SectionMemo::setBytes(const QByteArray &text)
{
    if (text.size() > LargeText)
        return keep(text);
    setText(QString::fromLatin1(text));
}

QString SectionMemo::keptNotice() const
{
    const qsizetype mb = (m_keptText.size() + (1 << 19)) >> 20;
    return m_keptNotice.arg(QStringLiteral("%1 MB").arg(mb));
}

void SectionMemo::keep(const QByteArray &text)
{
    // Laying out megabytes (one 50 MB line, ten million short ones) would
    // hold the window for minutes: the notice and the first lines, each cut
    // short, are what the field lays out.
    constexpr int PreviewLines = 40;
    constexpr qsizetype PreviewWidth = 200;
    QString preview = QString::fromLatin1(text.first(qMin<qsizetype>(text.size(), PreviewLines * (PreviewWidth + 2))));
    preview.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    preview.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = preview.split(QLatin1Char('\n'));
    if (lines.size() > PreviewLines)
        lines.resize(PreviewLines);
    for (QString &line : lines)
        if (line.size() > PreviewWidth)
            line = line.left(PreviewWidth) + QChar(0x2026);
    lines.append(QString(QChar(0x2026)));
    m_keptText = text;
    m_kept = true;
    m_showingKept = true;
    setReadOnly(true);
    setPlainText(keptNotice() + QStringLiteral("\n\n") + lines.join(QLatin1Char('\n')));
    m_showingKept = false;
}

bool SectionMemo::bytes(QByteArray *out) const
{
    if (m_kept) {
        *out = m_keptText;
        return true;
    }
    return singleByte(text(), out);
}

QList<QByteArray> SectionMemo::lines(bool *ok) const
{
    QByteArray b;
    *ok = bytes(&b);
    return *ok ? vor4::splitLines(b) : QList<QByteArray>();
}

void SectionMemo::setLines(const QList<QByteArray> &lines)
{
    setBytes(vor4::joinLines(lines));
}

void SectionMemo::focusOutEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusOutEvent(event);
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        Q_EMIT exited();
}

void SectionMemo::keyPressEvent(QKeyEvent *event)
{
    // Tab is text here; Ctrl+Tab and Ctrl+Shift+Tab leave the field.
    if (event->modifiers() & Qt::ControlModifier) {
        const bool tab = event->key() == Qt::Key_Tab, backtab = event->key() == Qt::Key_Backtab;
        if (tab || backtab) {
            // The text field itself refuses to move the focus on.
            QWidget::focusNextPrevChild(tab && !(event->modifiers() & Qt::ShiftModifier));
            // A page whose only field this is: the focus leaves it all the same.
            if (hasFocus())
                clearFocus();
            return;
        }
    }
    // Whatever the modifiers (AltGr may come as Ctrl+Alt): a key that types
    // text. Control codes such as Ctrl+C's are no text.
    const QString typed = event->text();
    const bool typesText = !typed.isEmpty() && (typed[0] >= QLatin1Char(' ') || typed[0] == QLatin1Char('\r')
                                                || typed[0] == QLatin1Char('\t'));
    if (typesText && typed[0] != QChar(0x7F) && !mayInsert(typed, "Not typed"))
        return;
    QPlainTextEdit::keyPressEvent(event);
}

void SectionMemo::inputMethodEvent(QInputMethodEvent *event)
{
    if (event->commitString().isEmpty() || mayInsert(event->commitString(), "Not typed"))
        return QPlainTextEdit::inputMethodEvent(event);
    QInputMethodEvent withoutCommit(event->preeditString(), event->attributes());
    QPlainTextEdit::inputMethodEvent(&withoutCommit);
}

void SectionMemo::insertFromMimeData(const QMimeData *source)
{
    if (mayInsert(source->text(), "Not pasted"))
        QPlainTextEdit::insertFromMimeData(source);
}

bool SectionMemo::mayInsert(const QString &text, const char *what)
{
    if (m_kept) {
        Q_EMIT refused(keptNotice());
        return false;
    }
    // Line and paragraph separators are line breaks, which the file holds.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() <= 0xFF || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            continue;
        const char32_t code = c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()
                                  ? QChar::surrogateToUcs4(c, text[i + 1])
                                  : c.unicode();
        Q_EMIT refused(QStringLiteral("%1: a map file cannot hold \"%2\" (U+%3)")
                           .arg(QLatin1String(what), QString::fromUcs4(&code, 1),
                                QString::number(uint(code), 16).toUpper().rightJustified(4, QLatin1Char('0'))));
        return false;
    }
    return true;
}
