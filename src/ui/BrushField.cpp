#include "BrushField.h"

#include <QCompleter>
#include <QLineEdit>
#include <QStringListModel>

BrushField::BrushField(QWidget *parent)
    : QComboBox(parent)
    , m_model(new QStringListModel(this))
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setModel(m_model);
    // "grass" finds TerrainType=TERRAIN_GRASS: any part of a line, any case.
    auto *completer = new QCompleter(m_model, this);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    setCompleter(completer);
    lineEdit()->setPlaceholderText(QStringLiteral("TerrainType=TERRAIN_GRASS"));
    connect(lineEdit(), &QLineEdit::editingFinished, this, [this] { Q_EMIT lineEntered(currentText()); });
    const auto chosen = [this](const QString &line) {
        Q_EMIT lineEntered(line);
        Q_EMIT lineChosen();
    };
    connect(lineEdit(), &QLineEdit::returnPressed, this, [this, chosen] { chosen(currentText()); });
    connect(this, &QComboBox::textActivated, this, chosen);
    connect(completer, qOverload<const QString &>(&QCompleter::activated), this, chosen);
}

void BrushField::setChoices(const QStringList &lines)
{
    if (lines == m_model->stringList())
        return;
    // A new list resets the field's text: what is typed stays.
    const QString text = currentText();
    const int cursor = lineEdit()->cursorPosition();
    const QSignalBlocker quiet(this);
    m_model->setStringList(lines);
    setCurrentIndex(-1);
    setEditText(text);
    lineEdit()->setCursorPosition(cursor);
}

QStringList BrushField::choices() const { return m_model->stringList(); }

void BrushField::showLine(const QString &line)
{
    const QSignalBlocker quiet(this);
    setCurrentIndex(-1);
    setEditText(line);
}

void BrushField::focusInEvent(QFocusEvent *event)
{
    Q_EMIT choicesWanted();
    QComboBox::focusInEvent(event);
}

void BrushField::showPopup()
{
    Q_EMIT choicesWanted();
    QComboBox::showPopup();
}
