#pragma once
// The tabs of a tab control stacked along the right edge of its page. When
// they do not fit the height they wrap into further columns, never scroll;
// the column that holds the selected tab lies next to the page.

#include <QIcon>
#include <QList>
#include <QTabBar>
#include <QWidget>

class QStyleOptionTab;

class SideTabBar : public QWidget
{
    Q_OBJECT
public:
    explicit SideTabBar(QWidget *parent = nullptr);

    // The first tab added becomes the selected one.
    int addTab(const QIcon &icon, const QString &text);
    int count() const { return int(m_tabs.size()); }
    int currentIndex() const { return m_current; }
    void setCurrentIndex(int index);
    QString tabText(int index) const;
    QIcon tabIcon(int index) const;
    QRect tabRect(int index) const;
    int tabAt(const QPoint &pos) const;
    int columnCount() const { return int(m_columns.size()); }
    QTabBar::Shape shape() const { return QTabBar::RoundedEast; }

    // As wide as the columns that the current height needs.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void currentChanged(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Tab
    {
        QIcon icon;
        QString text;
        QRect rect;
    };
    void initStyleOption(QStyleOptionTab *option, int index) const;
    QSize tabSize(int index) const;
    int columnWidth() const;
    // Tab indexes per column, top to bottom, for a given height.
    QList<QList<int>> columnsFor(int height) const;
    void layoutTabs();

    QList<Tab> m_tabs;
    QList<QList<int>> m_columns;
    int m_current = -1;
};
