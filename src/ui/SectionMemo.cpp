#include "SectionMemo.h"

#include "TextUtil.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTextDocument>

SectionMemo::SectionMemo(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabChangesFocus(false);
}

QString SectionMemo::text() const
{
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
    setPlainText(s);
}

void SectionMemo::setBytes(const QByteArray &text)
{
    setText(QString::fromLatin1(text));
}

bool SectionMemo::bytes(QByteArray *out) const
{
    const QString s = text();
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
        if (event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier)) {
            QWidget::focusNextPrevChild(true); // the text field itself refuses
            return;
        }
        if (event->key() == Qt::Key_Backtab || event->key() == Qt::Key_Tab) {
            QWidget::focusNextPrevChild(false);
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}
