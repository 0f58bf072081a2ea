#include "BrushField.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
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
    // On the line edit, not the combo box: the combo box would map a
    // filtered suggestion back to a row of its own list, the wrong one.
    lineEdit()->setCompleter(completer);
    lineEdit()->setPlaceholderText(QStringLiteral("TerrainType=TERRAIN_GRASS"));
    // Return is decided here, before the completer and the combo box see it.
    lineEdit()->installEventFilter(this);
    completer->popup()->installEventFilter(this);
    connect(lineEdit(), &QLineEdit::editingFinished, this, [this] {
        if (!m_entering)
            Q_EMIT lineEntered(currentText());
    });
    connect(this, &QComboBox::textActivated, this, &BrushField::choose);
    connect(completer, qOverload<const QString &>(&QCompleter::activated), this, &BrushField::choose);
}

void BrushField::choose(const QString &line)
{
    {
        const QSignalBlocker quiet(this);
        setEditText(line);
    }
    m_entering = true;
    Q_EMIT lineEntered(line);
    Q_EMIT lineChosen();
    m_entering = false;
}

QString BrushField::lineForReturn() const
{
    // The highlighted suggestion, or the only one, or the text as typed.
    QCompleter *c = lineEdit()->completer();
    const QString typed = currentText();
    if (c->popup()->isVisible() && c->popup()->currentIndex().isValid())
        return c->popup()->currentIndex().data().toString();
    if (!typed.isEmpty() && c->completionPrefix() == typed && c->completionCount() == 1 && c->setCurrentRow(0))
        return c->currentCompletion();
    return typed;
}

bool BrushField::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            QCompleter *c = lineEdit()->completer();
            const QString line = lineForReturn();
            c->popup()->hide();
            choose(line);
            return true;
        }
        if (key == Qt::Key_Escape && watched == lineEdit())
            return true; // nothing to leave: the field keeps the focus
    }
    return QComboBox::eventFilter(watched, event);
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
