#pragma once

#include <QComboBox>
#include <utility>

// A drop-down list that tells when its list opens and closes.
class DropDownComboBox : public QComboBox
{
    Q_OBJECT
public:
    using QComboBox::QComboBox;

Q_SIGNALS:
    void dropDown();
    void closeUp(); // with a choice or without one

public:
    void showPopup() override
    {
        Q_EMIT dropDown();
        m_open = true;
        QComboBox::showPopup();
    }
    void hidePopup() override
    {
        QComboBox::hidePopup();
        // Qt hides a list that never opened too, while windows close.
        if (std::exchange(m_open, false))
            Q_EMIT closeUp();
    }

private:
    bool m_open = false;
};
