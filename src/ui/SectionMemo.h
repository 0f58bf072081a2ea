#pragma once
// A multi-line text field that reports losing the input focus only when the
// focus moves to another control of the same window: switching windows and
// popups do not count. It takes only what a map file can hold, and a text
// too large to lay out it keeps as it is, read-only.

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

    // A text above LargeText bytes is kept: the field shows a notice and the
    // text's beginning, read-only, and text(), bytes() and lines() give the
    // text back unchanged. Any other text set or a clear ends that.
    static constexpr qsizetype LargeText = qsizetype(1) << 20;
    bool isKept() const { return m_kept; }
    // "%1" stands for the size ("50 MB").
    void setKeptNotice(const QString &notice) { m_keptNotice = notice; }
    QString keptNotice() const;

Q_SIGNALS:
    void exited();
    // Typing or a paste was refused; the text says why.
    void refused(const QString &why);

protected:
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    void keep(const QByteArray &text);
    // False, with the reason sent, when `text` cannot go into the field.
    bool mayInsert(const QString &text, const char *what);

    bool m_kept = false;
    bool m_showingKept = false;
    QByteArray m_keptText;
    QString m_keptNotice = QStringLiteral("This text is %1: it is kept as it is and cannot be edited here");
};
