#include "SpinEdit.h"

#include <QLineEdit>

SpinEdit::SpinEdit(QWidget *parent)
    : QSpinBox(parent)
{
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    setKeyboardTracking(false);
}

QValidator::State SpinEdit::validate(QString &, int &) const
{
    return QValidator::Acceptable; // out-of-range and non-numbers are settled on reading
}

int SpinEdit::valueFromText(const QString &text) const
{
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok);
    if (!ok)
        return qBound(minimum(), 0, maximum());
    return int(qBound(qlonglong(minimum()), v, qlonglong(maximum())));
}

int SpinEdit::readValue() const { return valueFromText(lineEdit()->text()); }

void SpinEdit::focusOutEvent(QFocusEvent *event)
{
    const int v = readValue();
    QSpinBox::focusOutEvent(event);
    setValue(v);
    lineEdit()->setText(textFromValue(v)); // shown as clamped
}
