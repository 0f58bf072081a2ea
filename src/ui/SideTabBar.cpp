#include "SideTabBar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionTab>
#include <QStylePainter>

SideTabBar::SideTabBar(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

int SideTabBar::addTab(const QIcon &icon, const QString &text)
{
    m_tabs.append(Tab{icon, text, QRect()});
    if (m_current < 0)
        m_current = 0;
    layoutTabs();
    updateGeometry();
    return count() - 1;
}

void SideTabBar::setCurrentIndex(int index)
{
    if (index < 0 || index >= count() || index == m_current)
        return;
    m_current = index;
    layoutTabs();
    update();
    Q_EMIT currentChanged(index);
}

QString SideTabBar::tabText(int index) const
{
    return index >= 0 && index < count() ? m_tabs[index].text : QString();
}

QIcon SideTabBar::tabIcon(int index) const
{
    return index >= 0 && index < count() ? m_tabs[index].icon : QIcon();
}

QRect SideTabBar::tabRect(int index) const
{
    return index >= 0 && index < count() ? m_tabs[index].rect : QRect();
}

int SideTabBar::tabAt(const QPoint &pos) const
{
    for (int i = 0; i < count(); ++i)
        if (m_tabs[i].rect.contains(pos))
            return i;
    return -1;
}

void SideTabBar::initStyleOption(QStyleOptionTab *option, int index) const
{
    option->initFrom(this);
    option->shape = QTabBar::RoundedEast;
    option->text = m_tabs[index].text;
    option->icon = m_tabs[index].icon;
    option->iconSize = QSize(16, 16);
    option->rect = m_tabs[index].rect;
    option->state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    if (index == m_current) {
        option->state |= QStyle::State_Selected;
        if (hasFocus())
            option->state |= QStyle::State_HasFocus;
    }
    // Where the tab sits in its column, for the style's joins.
    for (int c = 0; c < columnCount(); ++c) {
        const QList<int> &column = m_columns[c];
        const qsizetype at = column.indexOf(index);
        if (at < 0)
            continue;
        option->row = c;
        option->position = column.size() == 1 ? QStyleOptionTab::OnlyOneTab
                         : at == 0 ? QStyleOptionTab::Beginning
                         : at == column.size() - 1 ? QStyleOptionTab::End
                         : QStyleOptionTab::Middle;
        option->selectedPosition = (at > 0 && column[at - 1] == m_current) ? QStyleOptionTab::PreviousIsSelected
                                 : (at + 1 < column.size() && column[at + 1] == m_current)
                                     ? QStyleOptionTab::NextIsSelected
                                     : QStyleOptionTab::NotAdjacent;
    }
}

QSize SideTabBar::tabSize(int index) const
{
    // As QTabBar measures a tab on the side: text and icon run downwards.
    QStyleOptionTab option;
    initStyleOption(&option, index);
    const int hframe = style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &option, this);
    const int vframe = style()->pixelMetric(QStyle::PM_TabBarTabVSpace, &option, this);
    const QFontMetrics fm = fontMetrics();
    const bool icon = !m_tabs[index].icon.isNull();
    const QSize iconSize = icon ? option.iconSize : QSize(0, 0);
    const int padding = icon ? 4 : 0;
    const int textLength = fm.size(Qt::TextShowMnemonic, m_tabs[index].text).width();
    const QSize contents(qMax(fm.height(), iconSize.height()) + vframe,
                         textLength + iconSize.width() + 2 * padding + hframe);
    return style()->sizeFromContents(QStyle::CT_TabBarTab, &option, contents, this);
}

int SideTabBar::columnWidth() const
{
    int w = 0;
    for (int i = 0; i < count(); ++i)
        w = qMax(w, tabSize(i).width());
    return w;
}

QList<QList<int>> SideTabBar::columnsFor(int height) const
{
    QList<QList<int>> columns;
    int y = 0;
    for (int i = 0; i < count(); ++i) {
        const int h = tabSize(i).height();
        if (columns.isEmpty() || (y > 0 && y + h > height)) {
            columns.append(QList<int>());
            y = 0;
        }
        columns.last().append(i);
        y += h;
    }
    return columns;
}

void SideTabBar::layoutTabs()
{
    m_columns = columnsFor(height());
    // The selected tab's column moves next to the page, the others keep their order.
    QList<int> order;
    for (int c = 0; c < columnCount(); ++c)
        if (m_columns[c].contains(m_current))
            order.prepend(c);
        else
            order.append(c);
    const int w = columnWidth();
    for (int place = 0; place < order.size(); ++place) {
        int y = 0;
        for (int index : m_columns[order[place]]) {
            const int h = tabSize(index).height();
            m_tabs[index].rect = QRect(place * w, y, w, h);
            y += h;
        }
    }
}

QSize SideTabBar::sizeHint() const
{
    int total = 0;
    for (int i = 0; i < count(); ++i)
        total += tabSize(i).height();
    return QSize(columnWidth() * qMax(1, columnCount()), total);
}

QSize SideTabBar::minimumSizeHint() const
{
    int tallest = 0;
    for (int i = 0; i < count(); ++i)
        tallest = qMax(tallest, tabSize(i).height());
    return QSize(columnWidth(), tallest);
}

void SideTabBar::paintEvent(QPaintEvent *)
{
    QStylePainter p(this);
    QStyleOptionTab option;
    for (int i = 0; i < count(); ++i) {
        if (i == m_current)
            continue;
        initStyleOption(&option, i);
        p.drawControl(QStyle::CE_TabBarTab, option);
    }
    // The selected tab last: it overlaps its neighbours.
    if (m_current >= 0) {
        initStyleOption(&option, m_current);
        p.drawControl(QStyle::CE_TabBarTab, option);
    }
}

void SideTabBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int before = columnCount();
    layoutTabs();
    if (columnCount() != before)
        updateGeometry(); // the width follows the number of columns
}

void SideTabBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const int index = tabAt(event->position().toPoint());
    if (index >= 0)
        setCurrentIndex(index);
}

void SideTabBar::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        setCurrentIndex(m_current - 1);
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        setCurrentIndex(m_current + 1);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void SideTabBar::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        layoutTabs();
        updateGeometry();
    }
}
