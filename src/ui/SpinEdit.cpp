#include "SpinEdit.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <limits>

SpinEdit::SpinEdit(QWidget *parent)
    : QAbstractSpinBox(parent)
{
    setKeyboardTracking(false);
    setValue(0);
}

void SpinEdit::setRange(int minimum, int maximum)
{
    m_min = minimum;
    m_max = qMax(minimum, maximum);
}

void SpinEdit::setValue(int value)
{
    lineEdit()->setText(QString::number(qBound(m_min, value, m_max)));
}

bool SpinEdit::typedNumber(qlonglong *number) const
{
    static const QRegularExpression whole(QStringLiteral("^\\s*([+-]?)(\\d+)\\s*$"));
    const QRegularExpressionMatch m = whole.match(lineEdit()->text());
    if (!m.hasMatch())
        return false;
    bool ok = false;
    *number = m.captured(2).toLongLong(&ok);
    if (!ok) // too many digits for any range
        *number = std::numeric_limits<qlonglong>::max();
    if (m.captured(1) == QLatin1String("-"))
        *number = -*number;
    return true;
}

int SpinEdit::readValue() const
{
    qlonglong n = 0;
    if (!typedNumber(&n))
        n = 0;
    return int(qBound(qlonglong(m_min), n, qlonglong(m_max)));
}

void SpinEdit::stepBy(int steps)
{
    setValue(int(qBound(qlonglong(m_min), qlonglong(readValue()) + steps, qlonglong(m_max))));
    lineEdit()->selectAll();
}

QAbstractSpinBox::StepEnabled SpinEdit::stepEnabled() const
{
    const int v = readValue();
    StepEnabled e = StepNone;
    if (v < m_max)
        e |= StepUpEnabled;
    if (v > m_min)
        e |= StepDownEnabled;
    return e;
}

void SpinEdit::focusOutEvent(QFocusEvent *event)
{
    QAbstractSpinBox::focusOutEvent(event);
    qlonglong n = 0;
    if (typedNumber(&n) && (n < m_min || n > m_max))
        setValue(readValue());
}
