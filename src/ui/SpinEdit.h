#pragma once
// A whole-number field with arrows whose text is the value: it accepts any
// typing, and when it loses the focus a number out of range is brought to
// the nearest bound. Other text stays as typed and reads as 0.

#include <QAbstractSpinBox>

class SpinEdit : public QAbstractSpinBox
{
    Q_OBJECT
public:
    explicit SpinEdit(QWidget *parent = nullptr);

    void setRange(int minimum, int maximum);
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    // Shows the value, brought into the range.
    void setValue(int value);
    // The value the text stands for: a whole number brought into the range,
    // 0 for anything else.
    int readValue() const;
    int value() const { return readValue(); }
    using QAbstractSpinBox::lineEdit;

    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // The typed number, unbounded; false when the text is no whole number.
    bool typedNumber(qlonglong *number) const;
    int m_min = 0;
    int m_max = 99;
};
