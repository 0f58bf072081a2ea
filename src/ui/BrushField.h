#pragma once
// The brush value on the paint tool bar: shows the value and takes a typed
// plot line, offering while typing every listed line that contains what was
// typed (the catalogues' and the map's own lines).

#include <QComboBox>

class QStringListModel;

class BrushField : public QComboBox
{
    Q_OBJECT
public:
    explicit BrushField(QWidget *parent = nullptr);

    // The lines of the list and of the completion.
    void setChoices(const QStringList &lines);
    QStringList choices() const;
    // Shows a value without reporting it as entered.
    void showLine(const QString &line);

Q_SIGNALS:
    // A line typed (Return, or the field left) or chosen from the list.
    void lineEntered(const QString &line);
    // After lineEntered by Return or a choice from a list, not by leaving.
    void lineChosen();
    // The list or the completion is about to be used: time to fill it.
    void choicesWanted();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void showPopup() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void choose(const QString &line);
    QString lineForReturn() const;

    QStringListModel *m_model;
    bool m_entering = false; // lineEntered already said for this line
};
