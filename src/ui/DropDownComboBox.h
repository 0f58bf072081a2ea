#pragma once

#include <QComboBox>

// A drop-down list that tells when its list opens.
class DropDownComboBox : public QComboBox
{
    Q_OBJECT
public:
    using QComboBox::QComboBox;

Q_SIGNALS:
    void dropDown();

public:
    void showPopup() override
    {
        Q_EMIT dropDown();
        QComboBox::showPopup();
    }
};
