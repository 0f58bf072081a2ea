#pragma once
// A multi-line text field that reports losing the input focus only when the
// focus moves to another control of the same window: switching windows and
// popups do not count.

#include <QPlainTextEdit>

class SectionMemo : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit SectionMemo(QWidget *parent = nullptr);

    // The text exactly as held, every line break as "\n". Unlike
    // toPlainText() nothing is altered (that one turns U+00A0 into a blank).
    QString text() const;
    // CR LF, a lone CR and a lone LF each end a line.
    void setText(const QString &text);

    // Texts are single-byte: one character per byte, line breaks CR LF.
    void setBytes(const QByteArray &text);
    // False when the text holds a character that has no single-byte form.
    bool bytes(QByteArray *out) const;
    QList<QByteArray> lines(bool *ok) const;
    void setLines(const QList<QByteArray> &lines);

Q_SIGNALS:
    void exited();

protected:
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
