#include "MapContentsWindow.h"

#include "MapContentsHost.h"
#include "PaintRule.h"
#include "SectionMemo.h"
#include "SideTabBar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QShowEvent>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>


namespace {

// The window was laid out at 120 pixels per inch; Qt's logical pixels are
// 96 per inch and the device pixel ratio covers denser screens.
int fromDesign(int px)
{
    return qRound(px * 96.0 / 120.0);
}

// Every list line is 16 pixels high, whatever the font asks for.
class FixedRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), 16};
    }
};

// Trims blanks and control characters (codes up to 32) from both ends.
QString trimmedControls(const QString &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b].unicode() <= 32)
        ++b;
    while (e > b && s[e - 1].unicode() <= 32)
        --e;
    return s.mid(b, e - b);
}

QToolButton *toolButton(const char *icon, const char *hint)
{
    auto *button = new QToolButton;
    button->setIcon(QIcon(QStringLiteral(":/mapcontents/") + QLatin1String(icon)));
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setFixedSize(73, 24);
    button->setAutoRaise(true);
    button->setToolTip(QString::fromLatin1(hint));
    // Tool buttons never take the focus from the memo being edited.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QWidget *gap(int width)
{
    auto *w = new QWidget;
    w->setFixedSize(width, 1);
    return w;
}

} // namespace

MapContentsWindow::MapContentsWindow(MapContentsHost *host, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_host(host)
{
    Q_INIT_RESOURCE(mapcontents);

    setObjectName(QStringLiteral("MapContentsWindow"));
    setWindowTitle(QStringLiteral("Map contents"));
    // Closing only hides this window; it must never end the program.
    setAttribute(Qt::WA_QuitOnClose, false);

    m_valueList = new QListWidget;
    m_valueList->setObjectName(QStringLiteral("valueList"));
    m_valueList->setFrameShape(QFrame::NoFrame);
    m_valueList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_valueList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_valueList->setUniformItemSizes(true);
    m_valueList->setItemDelegate(new FixedRowDelegate(m_valueList));
    m_valueList->viewport()->installEventFilter(this);

    m_keyTabs = new SideTabBar;
    m_keyTabs->setObjectName(QStringLiteral("keyTabs"));
    static const char *const TabIcons[vor4::TypeCatalogue::TabCount] = {
        "terrain.svg", "bonus.svg", "feature.svg", "improvement.svg", "plottype.svg"};
    for (int tab = 0; tab < vor4::TypeCatalogue::TabCount; ++tab)
        m_keyTabs->addTab(QIcon(QStringLiteral(":/mapcontents/") + QLatin1String(TabIcons[tab])),
                            vor4::TypeCatalogue::tabCaption(tab));
    m_keyTabs->setCurrentIndex(0);

    auto *page = new QWidget;
    auto *pageLayout = new QHBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);
    pageLayout->addWidget(m_valueList, 1);
    pageLayout->addWidget(m_keyTabs);

    m_changeBar = new QToolBar;
    m_changeBar->setObjectName(QStringLiteral("changeBar"));
    m_changeBar->setFixedHeight(28);
    m_changeBar->setMovable(false);
    m_changeBar->setFloatable(false);
    m_changeBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_changeButton = toolButton("change.svg", "Make change to map");
    m_changeButton->setObjectName(QStringLiteral("ChangeBtn"));
    m_clearButton = toolButton("clear.svg", "Clear content in map");
    m_clearButton->setObjectName(QStringLiteral("ClearBtn"));
    m_changeBar->addWidget(gap(8));
    m_changeBar->addWidget(m_changeButton);
    m_changeBar->addWidget(gap(16));
    m_changeBar->addWidget(m_clearButton);

    m_statusBar = new QStatusBar;
    m_statusBar->setObjectName(QStringLiteral("statusBar"));
    for (QLabel *&panel : m_panels)
        panel = new QLabel;
    m_panels[0]->setFixedWidth(200);
    m_statusBar->addWidget(m_panels[0]);
    m_statusBar->addWidget(m_panels[1], 1);

    m_noGameLabel = new QLabel;
    m_noGameLabel->setObjectName(QStringLiteral("noGameLabel"));
    m_noGameLabel->setTextFormat(Qt::PlainText);
    m_noGameLabel->setWordWrap(true);
    m_noGameLabel->setContentsMargins(4, 2, 4, 2);
    m_noGameLabel->hide();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(page, 1);
    layout->addWidget(m_changeBar);
    layout->addWidget(m_noGameLabel);
    layout->addWidget(m_statusBar);

    connect(m_keyTabs, &SideTabBar::currentChanged, this, &MapContentsWindow::tabChanged);
    connect(m_changeButton, &QToolButton::clicked, this, &MapContentsWindow::changeClicked);
    connect(m_clearButton, &QToolButton::clicked, this, &MapContentsWindow::clearClicked);
    // By the keys, or a click, also on the item already selected.
    connect(m_valueList, &QListWidget::itemSelectionChanged, this, &MapContentsWindow::itemSelected);
    connect(m_valueList, &QListWidget::itemClicked, this, &MapContentsWindow::itemSelected);

    // The design bounds; tabs that do not fit wrap into further columns.
    move(fromDesign(608), fromDesign(117));
    resize(fromDesign(400), fromDesign(550));
}

MapContentsWindow::~MapContentsWindow() = default;

void MapContentsWindow::setHost(MapContentsHost *host)
{
    m_host = host;
}

void MapContentsWindow::setInstallDir(const QString &installDir)
{
    m_catalogue.setInstallDir(installDir);
}

void MapContentsWindow::setToolBarVisible(bool visible)
{
    m_changeBar->setVisible(visible);
}

bool MapContentsWindow::isToolBarVisible() const
{
    return !m_changeBar->isHidden();
}

QString MapContentsWindow::panelText(int panel) const
{
    return panel >= 0 && panel < 2 ? m_panels[panel]->text() : QString();
}

void MapContentsWindow::setPanel(int panel, const QString &text)
{
    m_panels[panel]->setText(text);
}

void MapContentsWindow::tabChanged()
{
    m_valueList->clear();
    const int tab = m_keyTabs->currentIndex();
    vor4::TypeCatalogue::Build built = m_catalogue.build(tab);
    m_noGameLabel->setVisible(built.unreadable);
    if (built.unreadable) {
        // Without the game the open map's own values stand in, so that
        // Change still works.
        m_noGameLabel->setText(built.items.value(0) + QStringLiteral("\nThe game was not found: the lists show the "
                                                                   "values of this map"));
        built.items.clear();
        const QStringList lines = m_host ? m_host->mapPlotLines() : QStringList();
        for (const QString &line : lines)
            if (line.startsWith(m_catalogue.KeyPrefixes[tab], Qt::CaseInsensitive))
                built.items << line;
        built.changeEnabled = !built.items.isEmpty();
        built.statusText = vor4::TypeCatalogue::itemCountText(built.items.size());
    }
    m_valueList->addItems(built.items);
    m_changeButton->setEnabled(built.changeEnabled);
    setPanel(1, built.statusText);
}

SectionMemo *MapContentsWindow::activeMemo() const
{
    if (!m_host || !m_host->isMapPageActive())
        return nullptr;
    return m_host->plotMemo();
}

QString MapContentsWindow::currentKey() const
{
    const int tab = m_keyTabs->currentIndex();
    if (tab < 0 || tab >= vor4::TypeCatalogue::TabCount)
        return QString();
    return m_catalogue.KeyPrefixes[tab].chopped(1); // without the "="
}

QString MapContentsWindow::selectedLine() const
{
    const QList<QListWidgetItem *> selected = m_valueList->selectedItems();
    if (selected.isEmpty())
        return QString();
    // "PlotType=0       <Mountain>" puts PlotType=0; other items go in whole.
    QString line = selected.first()->text();
    const qsizetype label = line.indexOf(QLatin1String("   <"));
    if (label >= 0)
        line = trimmedControls(line.left(label));
    return line;
}

void MapContentsWindow::itemSelected()
{
    const QString line = selectedLine();
    if (m_host && !line.isEmpty() && m_changeButton->isEnabled())
        m_host->mapContentsItemChosen(line);
}

QStringList MapContentsWindow::paintLines()
{
    QStringList lines;
    for (int tab = 0; tab < vor4::TypeCatalogue::TabCount; ++tab) {
        const vor4::TypeCatalogue::Build built = m_catalogue.build(tab);
        if (built.unreadable)
            lines << vor4::TypeCatalogue::commonLines(tab); // without the game
        if (!built.changeEnabled)
            continue;
        for (const QString &item : built.items) {
            const qsizetype label = item.indexOf(QLatin1String("   <"));
            lines << (label >= 0 ? trimmedControls(item.left(label)) : item);
        }
    }
    return lines;
}

SectionMemo *MapContentsWindow::editablePlot()
{
    setPanel(0, QString());
    SectionMemo *memo = activeMemo();
    if (memo && !m_host->plotSelected()) {
        setPanel(0, QStringLiteral("No plot selected"));
        return nullptr;
    }
    return memo;
}

bool MapContentsWindow::rewritePlot(SectionMemo *memo, const QString &key, const QString &stepName,
                                    const std::function<QByteArray(const QByteArray &)> &rewrite)
{
    const QString before = memo->text();
    m_host->setRecallText(before);
    // The plot's bytes through the paint rule; a memo holding characters
    // that have no byte is left for Apply to refuse with its message.
    QByteArray text;
    if (memo->bytes(&text))
        memo->setBytes(rewrite(text));
    if (m_host->applyPlotMemo(stepName))
        return true;
    memo->setText(before); // refused: the memo shows what the plot still holds
    setPanel(0, key + QStringLiteral(" not stored"));
    return false;
}

void MapContentsWindow::changeClicked()
{
    SectionMemo *memo = editablePlot();
    if (!memo)
        return;
    const QString newLine = selectedLine();
    const QString key = newLine.isEmpty() ? QString() : currentKey();
    if (key.isEmpty())
        return;
    if (rewritePlot(memo, key, key + QStringLiteral(" changed"), [&](const QByteArray &text) {
            return vor4::PaintRule::putLine(text, key.toLatin1(), newLine.toLatin1());
        }))
        setPanel(0, key + QStringLiteral(" changed"));
}

void MapContentsWindow::clearClicked()
{
    SectionMemo *memo = editablePlot();
    if (!memo)
        return;
    const QString key = currentKey();
    if (key.isEmpty())
        return;
    bool found = false;
    if (rewritePlot(memo, key, key + QStringLiteral(" cleared"), [&](const QByteArray &text) {
            return vor4::PaintRule::takeKey(text, key.toLatin1(), &found);
        }))
        setPanel(0, key + (found ? QStringLiteral(" cleared") : QStringLiteral(" not found")));
}

void MapContentsWindow::listDoubleClicked()
{
    if (m_changeButton->isEnabled())
        changeClicked();
}

void MapContentsWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Spontaneous events come from the window system (restoring a minimised
    // window); only showing and hiding by the program count.
    if (!event->spontaneous()) {
        if (m_host)
            m_host->setMapContentsButtonDown(true);
        tabChanged();
    }
}

void MapContentsWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous() && m_host)
        m_host->setMapContentsButtonDown(false);
}

bool MapContentsWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The double-clicked item is the one put in. Its first press has
    // normally selected it already; make sure of it all the same.
    if (watched == m_valueList->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const QPoint pos = static_cast<QMouseEvent *>(event)->position().toPoint();
        if (QListWidgetItem *item = m_valueList->itemAt(pos))
            m_valueList->setCurrentItem(item);
        listDoubleClicked();
    }
    return QWidget::eventFilter(watched, event);
}
