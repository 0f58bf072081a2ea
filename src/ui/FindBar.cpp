#include "FindBar.h"

#include "ChangeSelection.h"

#include "CommandButtons.h"
#include "CurrentCell.h"
#include "MapDocument.h"
#include "MapGrid.h"
#include "PlotReplace.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

namespace {

QToolButton *barButton(const char *name, const QIcon &icon, const QString &text, const QString &hint)
{
    auto *b = new QToolButton;
    b->setObjectName(QLatin1String(name));
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus); // like every tool button of the editor
    if (icon.isNull()) {
        b->setText(text);
    } else {
        b->setIcon(icon);
        b->setIconSize(QSize(16, 16));
    }
    b->setToolTip(hint);
    return b;
}

QCheckBox *option(const char *name, const QString &text)
{
    auto *box = new QCheckBox(text);
    box->setObjectName(QLatin1String(name));
    return box;
}

} // namespace

FindBar::FindBar(vor4::MapDocument *doc, MapGrid *grid, QWidget *parent)
    : QWidget(parent)
    , m_doc(doc)
    , m_grid(grid)
    , m_search(doc)
    , m_marks(&m_search, grid)
{
    setObjectName(QStringLiteral("FindBar"));
    const QStyle *s = style();

    m_replaceToggle = barButton("replaceToggle", s->standardIcon(QStyle::SP_ArrowRight), QString(),
                                 QStringLiteral("Replace"));
    m_replaceToggle->setCheckable(true);
    m_findField = new QLineEdit;
    m_findField->setObjectName(QStringLiteral("findField"));
    m_findField->setPlaceholderText(QStringLiteral("Find in plot texts"));
    m_findField->setClearButtonEnabled(true);
    m_findField->installEventFilter(this);
    m_findField->setMinimumWidth(260);
    m_matchCaseBox = option("matchCaseBox", QStringLiteral("Match case"));
    m_wholeLineBox = option("wholeLineBox", QStringLiteral("Whole line"));
    m_regexBox = option("regexBox", QStringLiteral("Regular expression"));
    m_findPreviousButton = barButton("findPreviousButton", s->standardIcon(QStyle::SP_ArrowUp), QString(),
                                QStringLiteral("Find previous"));
    m_findNextButton = barButton("findNextButton", s->standardIcon(QStyle::SP_ArrowDown), QString(),
                            QStringLiteral("Find next"));
    m_countLabel = new QLabel;
    m_countLabel->setObjectName(QStringLiteral("countLabel"));
    m_countLabel->setTextFormat(Qt::PlainText);
    m_countLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_selectFoundButton = barButton("selectFoundButton", QIcon(), QStringLiteral("Select found"),
                                    QStringLiteral("Make the matching plots the selection"));
    connect(m_selectFoundButton, &QToolButton::clicked, this, &FindBar::selectFound);
    m_closeButton = barButton("closeFindButton", s->standardIcon(QStyle::SP_TitleBarCloseButton), QString(),
                         hintWithKey(QStringLiteral("Close the find bar"), QKeySequence(Qt::Key_Escape)));

    auto *findRow = new QHBoxLayout;
    findRow->setContentsMargins(2, 2, 2, 2);
    findRow->setSpacing(4);
    findRow->addWidget(m_replaceToggle);
    findRow->addWidget(m_findField);
    findRow->addWidget(m_matchCaseBox);
    findRow->addWidget(m_wholeLineBox);
    findRow->addWidget(m_regexBox);
    findRow->addWidget(m_findPreviousButton);
    findRow->addWidget(m_findNextButton);
    findRow->addWidget(m_countLabel, 1);
    findRow->addWidget(m_selectFoundButton);
    findRow->addWidget(m_closeButton);

    m_replaceRow = new QWidget;
    m_replaceRow->setObjectName(QStringLiteral("replaceRow"));
    m_replaceField = new QLineEdit;
    m_replaceField->setObjectName(QStringLiteral("replaceField"));
    m_replaceField->setPlaceholderText(QStringLiteral("Replace with (\\1 for a capture)"));
    m_replaceField->installEventFilter(this);
    m_replaceField->setMinimumWidth(260);
    const QKeySequence replaceKey(Qt::ALT | Qt::Key_R);
    const QKeySequence replaceAllKey(Qt::ALT | Qt::Key_A);
    m_replaceButton = barButton("replaceButton", QIcon(), QStringLiteral("Replace"),
                           hintWithKey(QStringLiteral("Replace in this plot and find the next"), replaceKey));
    m_replaceAllButton = barButton("replaceAllButton", QIcon(), QStringLiteral("Replace all"),
                              hintWithKey(QStringLiteral("Replace in every match of the selected region, or of "
                                                         "the map"),
                                          replaceAllKey));
    m_replaceResultLabel = new QLabel;
    m_replaceResultLabel->setObjectName(QStringLiteral("replaceResultLabel"));
    m_replaceResultLabel->setTextFormat(Qt::PlainText);
    m_replaceResultLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto *replaceRow = new QHBoxLayout(m_replaceRow);
    replaceRow->setContentsMargins(2 + m_replaceToggle->sizeHint().width() + 4, 0, 2, 2);
    replaceRow->setSpacing(4);
    replaceRow->addWidget(m_replaceField);
    replaceRow->addWidget(m_replaceButton);
    replaceRow->addWidget(m_replaceAllButton);
    replaceRow->addWidget(m_replaceResultLabel, 1);
    m_replaceRow->hide();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(findRow);
    layout->addWidget(m_replaceRow);

    // Keys of the bar act only while the focus is in it: Escape and Enter
    // stay with the memos everywhere else.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &FindBar::closeBar);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    auto *replaceOne = new QShortcut(replaceKey, this, this, &FindBar::replaceCurrent);
    replaceOne->setContext(Qt::WidgetWithChildrenShortcut);
    auto *replaceEvery = new QShortcut(replaceAllKey, this, this, &FindBar::replaceAll);
    replaceEvery->setContext(Qt::WidgetWithChildrenShortcut);

    connect(m_findField, &QLineEdit::textChanged, this, &FindBar::restartSearch);
    for (QCheckBox *box : {m_matchCaseBox, m_wholeLineBox, m_regexBox})
        connect(box, &QCheckBox::toggled, this, &FindBar::restartSearch);
    connect(m_findNextButton, &QToolButton::clicked, this, &FindBar::findNext);
    connect(m_findPreviousButton, &QToolButton::clicked, this, &FindBar::findPrevious);
    connect(m_closeButton, &QToolButton::clicked, this, &FindBar::closeBar);
    connect(m_replaceToggle, &QToolButton::clicked, this, [this](bool down) {
        if (down)
            openReplace();
        else
            setReplaceShown(false);
    });
    connect(m_replaceButton, &QToolButton::clicked, this, &FindBar::replaceCurrent);
    connect(m_replaceAllButton, &QToolButton::clicked, this, &FindBar::replaceAll);
    // What the last replace did is old news after any other step, undo included.
    connect(doc->undoStack(), &QUndoStack::indexChanged, m_replaceResultLabel, &QLabel::clear);
    connect(&m_search, &vor4::PlotSearch::matchesChanged, this, &FindBar::showCount);
    connect(&m_search, &vor4::PlotSearch::finished, this, &FindBar::showCount);
    hide();
}

vor4::FindOptions FindBar::options() const
{
    vor4::FindOptions o;
    o.matchCase = m_matchCaseBox->isChecked();
    o.wholeLine = m_wholeLineBox->isChecked();
    o.regularExpression = m_regexBox->isChecked();
    return o;
}

void FindBar::showBar()
{
    Q_EMIT activated();
    if (!isHidden())
        return;
    show();
    m_marks.setShown(true);
    restartSearch();
}

void FindBar::openFind()
{
    showBar();
    setReplaceShown(false);
    m_findField->setFocus(Qt::ShortcutFocusReason);
    m_findField->selectAll();
}

void FindBar::openReplace()
{
    showBar();
    setReplaceShown(true);
    QLineEdit *field = m_findField->text().isEmpty() ? m_findField : m_replaceField;
    field->setFocus(Qt::ShortcutFocusReason);
    field->selectAll();
}

void FindBar::toggleReplace()
{
    if (isVisible() && m_replaceRow->isVisible())
        setReplaceShown(false);
    else
        openReplace();
}

void FindBar::setReplaceShown(bool shown)
{
    if (!shown && m_replaceField->hasFocus())
        m_findField->setFocus(Qt::OtherFocusReason);
    m_replaceRow->setVisible(shown);
    m_replaceToggle->setChecked(shown);
    m_replaceToggle->setIcon(style()->standardIcon(shown ? QStyle::SP_ArrowDown : QStyle::SP_ArrowRight));
    m_replaceResultLabel->clear();
}

void FindBar::findText(const QString &text, const vor4::FindOptions &o)
{
    // One search for the whole change, not one for each option.
    {
        const QSignalBlocker b1(m_findField), b2(m_matchCaseBox), b3(m_wholeLineBox), b4(m_regexBox);
        m_findField->setText(text);
        m_matchCaseBox->setChecked(o.matchCase);
        m_wholeLineBox->setChecked(o.wholeLine);
        m_regexBox->setChecked(o.regularExpression);
    }
    if (isHidden()) {
        showBar();
        return;
    }
    Q_EMIT activated();
    restartSearch();
}

void FindBar::closeBar()
{
    const QWidget *focus = QApplication::focusWidget();
    const bool hadFocus = focus && isAncestorOf(focus);
    m_marks.setShown(false);
    m_search.clear();
    setReplaceShown(false);
    hide();
    if (hadFocus)
        m_grid->setFocus(Qt::OtherFocusReason);
}

void FindBar::restartSearch()
{
    if (isHidden()) {
        m_search.clear();
        return;
    }
    m_search.start(vor4::PlotQuery::compile(m_findField->text(), options(), &m_error));
    showCount();
}

void FindBar::showCount()
{
    if (!m_error.isEmpty()) {
        setNote(m_countLabel, m_error, true);
        return;
    }
    if (m_findField->text().isEmpty()) {
        setNote(m_countLabel, QString(), false);
        return;
    }
    const vor4::PlotTable &plots = m_doc->document().PlotTexts;
    const QString tooComplex = m_search.query().tooComplexMessage(plots.columnCount(), plots.rowCount());
    if (!tooComplex.isEmpty()) {
        setNote(m_countLabel, tooComplex, true);
        return;
    }
    const int n = m_search.count();
    QString text = n == 1 ? QStringLiteral("1 plot") : QStringLiteral("%1 plots").arg(n);
    if (m_search.isRunning())
        text += QStringLiteral("...");
    setNote(m_countLabel, text, false);
}

void FindBar::setNote(QLabel *label, const QString &text, bool error)
{
    label->setText(text);
    label->setToolTip(text); // the label may be cut short: it never widens the window
    label->setStyleSheet(error ? QStringLiteral("color: rgb(192, 0, 0)") : QString());
}

std::optional<QPoint> FindBar::selectedCell() const
{
    if (!m_grid->currentCell()->isChosen())
        return std::nullopt;
    return m_grid->currentCell()->cell();
}

void FindBar::findNext() { step(true); }

void FindBar::findPrevious() { step(false); }

void FindBar::step(bool forward)
{
    if (m_findField->text().isEmpty()) {
        openFind();
        return;
    }
    showBar();
    m_search.finish();
    const QPoint from = selectedCell().value_or(QPoint(-1, -1));
    const std::optional<QPoint> to = forward ? m_search.next(from.x(), from.y())
                                             : m_search.previous(from.x(), from.y());
    if (to)
        goTo(*to);
}

void FindBar::goTo(const QPoint &cell)
{
    // As a click: a memo being edited is left first, so that its own
    // automatic apply stores it; typing in the bar keeps its focus.
    const QWidget *focus = QApplication::focusWidget();
    if (!focus || !isAncestorOf(focus))
        m_grid->setFocus(Qt::OtherFocusReason);
    m_grid->chooseCell(cell.x(), cell.y());
}

void FindBar::reselectIfChanged(const QPoint &cell, const QByteArray &before)
{
    // The plot memo shows the selected plot: a replace in it must show too,
    // or leaving the memo would store the old text again.
    if (m_doc->document().PlotTexts.view(cell.x(), cell.y()) != before)
        m_grid->chooseCell(cell.x(), cell.y());
}

void FindBar::replaceCurrent()
{
    if (m_replaceRow->isHidden()) {
        openReplace();
        return;
    }
    showBar();
    m_search.finish();
    const std::optional<QPoint> cell = selectedCell();
    if (!cell || !m_search.contains(cell->x(), cell->y())) {
        findNext();
        return;
    }
    const QByteArray before = m_doc->document().PlotTexts.text(cell->x(), cell->y());
    const vor4::ReplaceResult result = vor4::replaceInPlots(m_doc, m_search.query(), m_replaceField->text(),
                                                            {m_search.indexOf(cell->x(), cell->y())});
    if (!result.ok()) {
        setNote(m_replaceResultLabel, result.error, true);
        return;
    }
    setNote(m_replaceResultLabel, result.plots == 1 ? QStringLiteral("Replaced in 1 plot") : QStringLiteral("Nothing replaced"),
            false);
    if (const std::optional<QPoint> next = m_search.next(cell->x(), cell->y()); next && *next != *cell)
        goTo(*next);
    else
        reselectIfChanged(*cell, before);
}

void FindBar::replaceAll()
{
    if (m_replaceRow->isHidden()) {
        openReplace();
        return;
    }
    showBar();
    if (!m_error.isEmpty() || m_search.query().findsNothing()) {
        setNote(m_replaceResultLabel, m_error.isEmpty() ? QStringLiteral("Nothing to find") : m_error, true);
        return;
    }
    const QRegion region = m_doc->selection().region();
    const std::optional<QPoint> cell = selectedCell();
    const QByteArray before = cell ? m_doc->document().PlotTexts.text(cell->x(), cell->y()) : QByteArray();
    const vor4::ReplaceResult result = vor4::replaceInArea(m_doc, m_search.query(), m_replaceField->text(), region);
    if (!result.ok()) {
        setNote(m_replaceResultLabel, result.error, true);
        return;
    }
    const QString where = region.isEmpty() ? QString() : QStringLiteral(" of the selected region");
    setNote(m_replaceResultLabel,
            result.plots == 0   ? QStringLiteral("No plot%1 changed").arg(where)
            : result.plots == 1 ? QStringLiteral("Replaced in 1 plot%1").arg(where)
                                : QStringLiteral("Replaced in %1 plots%2").arg(result.plots).arg(where),
            false);
    if (cell)
        reselectIfChanged(*cell, before);
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    // Enter steps through the matches (Shift+Enter backwards); in the
    // replace field it replaces. Never a line break: the fields have one line.
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
            if (watched == m_findField && (mods == Qt::NoModifier || mods == Qt::ShiftModifier)) {
                step(mods == Qt::NoModifier);
                return true;
            }
            if (watched == m_replaceField && mods == Qt::NoModifier) {
                replaceCurrent();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FindBar::selectFound()
{
    // One rectangle a match, sorted row by row: the banded form QRegion keeps.
    QList<QRect> cells;
    cells.reserve(qsizetype(m_search.matches().size()));
    for (qint32 i : m_search.matches())
        cells << QRect(m_search.cellOf(i), QSize(1, 1));
    std::sort(cells.begin(), cells.end(), [](const QRect &a, const QRect &b) {
        return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
    });
    QRegion region;
    for (const QRect &r : std::as_const(cells))
        region += r;
    m_doc->push(new vor4::ChangeSelection(m_doc, region));
}
