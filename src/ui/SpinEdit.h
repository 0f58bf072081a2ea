#pragma once
// A whole-number field with arrows that accepts any typing and brings the
// value into its range when it loses the focus; text that is no whole number
// reads as 0.

#include <QSpinBox>

class SpinEdit : public QSpinBox
{
    Q_OBJECT
public:
    explicit SpinEdit(QWidget *parent = nullptr);
    // The value the typed text stands for, clamped to the range.
    int readValue() const;
    using QSpinBox::lineEdit;

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    int valueFromText(const QString &text) const override;
    void focusOutEvent(QFocusEvent *event) override;
};
