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
#include <QPlainTextEdit>
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

    ListBox1 = new QListWidget;
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setFrameShape(QFrame::NoFrame);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListBox1->setUniformItemSizes(true);
    ListBox1->setItemDelegate(new FixedRowDelegate(ListBox1));
    ListBox1->viewport()->installEventFilter(this);

    TabControl1 = new SideTabBar;
    TabControl1->setObjectName(QStringLiteral("TabControl1"));
    static const char *const TabIcons[vor4::TypeCatalogue::TabCount] = {
        "terrain.svg", "bonus.svg", "feature.svg", "improvement.svg", "plottype.svg"};
    for (int tab = 0; tab < vor4::TypeCatalogue::TabCount; ++tab)
        TabControl1->addTab(QIcon(QStringLiteral(":/mapcontents/") + QLatin1String(TabIcons[tab])),
                            vor4::TypeCatalogue::tabCaption(tab));
    TabControl1->setCurrentIndex(0);

    auto *page = new QWidget;
    auto *pageLayout = new QHBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);
    pageLayout->addWidget(ListBox1, 1);
    pageLayout->addWidget(TabControl1);

    ToolBar1 = new QToolBar;
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setFixedHeight(28);
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ChangeBtn = toolButton("change.svg", "Make change to map");
    ChangeBtn->setObjectName(QStringLiteral("ChangeBtn"));
    ClearBtn = toolButton("clear.svg", "Clear content in map");
    ClearBtn->setObjectName(QStringLiteral("ClearBtn"));
    ToolBar1->addWidget(gap(8));
    ToolBar1->addWidget(ChangeBtn);
    ToolBar1->addWidget(gap(16));
    ToolBar1->addWidget(ClearBtn);

    StatusBar1 = new QStatusBar;
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    for (QLabel *&panel : m_panels)
        panel = new QLabel;
    m_panels[0]->setFixedWidth(200);
    StatusBar1->addWidget(m_panels[0]);
    StatusBar1->addWidget(m_panels[1], 1);

    NoGameLabel = new QLabel;
    NoGameLabel->setObjectName(QStringLiteral("NoGameLabel"));
    NoGameLabel->setTextFormat(Qt::PlainText);
    NoGameLabel->setWordWrap(true);
    NoGameLabel->setContentsMargins(4, 2, 4, 2);
    NoGameLabel->hide();

    Memo2 = new QPlainTextEdit(this);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setPlainText(vor4::TypeCatalogue::plotTypeLines().join(u'\n'));
    Memo2->hide();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(page, 1);
    layout->addWidget(ToolBar1);
    layout->addWidget(NoGameLabel);
    layout->addWidget(StatusBar1);

    connect(TabControl1, &SideTabBar::currentChanged, this, &MapContentsWindow::TabControl1Change);
    connect(ChangeBtn, &QToolButton::clicked, this, &MapContentsWindow::ToolButton1Click);
    connect(ClearBtn, &QToolButton::clicked, this, &MapContentsWindow::ClearBtnClick);
    // By the keys, or a click, also on the item already selected.
    connect(ListBox1, &QListWidget::itemSelectionChanged, this, &MapContentsWindow::itemSelected);
    connect(ListBox1, &QListWidget::itemClicked, this, &MapContentsWindow::itemSelected);

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
    ToolBar1->setVisible(visible);
}

bool MapContentsWindow::isToolBarVisible() const
{
    return !ToolBar1->isHidden();
}

QString MapContentsWindow::panelText(int panel) const
{
    return panel >= 0 && panel < 2 ? m_panels[panel]->text() : QString();
}

void MapContentsWindow::setPanel(int panel, const QString &text)
{
    m_panels[panel]->setText(text);
}

void MapContentsWindow::TabControl1Change()
{
    ListBox1->clear();
    const int tab = TabControl1->currentIndex();
    vor4::TypeCatalogue::Build built = m_catalogue.build(tab);
    NoGameLabel->setVisible(built.unreadable);
    if (built.unreadable) {
        // Without the game the open map's own values stand in, so that
        // Change still works.
        NoGameLabel->setText(built.items.value(0) + QStringLiteral("\nThe game was not found: the lists show the "
                                                                   "values of this map"));
        built.items.clear();
        const QStringList lines = m_host ? m_host->mapPlotLines() : QStringList();
        for (const QString &line : lines)
            if (line.startsWith(m_catalogue.KeyPrefixes[tab], Qt::CaseInsensitive))
                built.items << line;
        built.changeEnabled = !built.items.isEmpty();
        built.statusText = vor4::TypeCatalogue::itemCountText(built.items.size());
    }
    ListBox1->addItems(built.items);
    ChangeBtn->setEnabled(built.changeEnabled);
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
    const int tab = TabControl1->currentIndex();
    if (tab < 0 || tab >= vor4::TypeCatalogue::TabCount)
        return QString();
    return m_catalogue.KeyPrefixes[tab].chopped(1); // without the "="
}

QString MapContentsWindow::selectedLine() const
{
    const QList<QListWidgetItem *> selected = ListBox1->selectedItems();
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
    if (m_host && !line.isEmpty() && ChangeBtn->isEnabled())
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

void MapContentsWindow::ToolButton1Click()
{
    setPanel(0, QString());
    SectionMemo *memo = activeMemo();
    if (!memo)
        return;
    if (!m_host->plotSelected()) {
        setPanel(0, QStringLiteral("No plot selected"));
        return;
    }
    const QString newLine = selectedLine();
    if (newLine.isEmpty())
        return;
    const QString key = currentKey();
    if (key.isEmpty())
        return;

    const QString before = memo->text();
    m_host->setRecallText(before);
    // The plot's bytes through the paint rule; a memo holding characters
    // that have no byte is left for Apply to refuse with its message.
    QByteArray text;
    if (memo->bytes(&text))
        memo->setBytes(vor4::PaintRule::putLine(text, key.toLatin1(), newLine.toLatin1()));
    const bool stored = m_host->applyPlotMemo(key + QStringLiteral(" changed"));
    if (!stored)
        memo->setText(before); // refused: the memo shows what the plot still holds
    setPanel(0, key + (stored ? QStringLiteral(" changed") : QStringLiteral(" not stored")));
}

void MapContentsWindow::ClearBtnClick()
{
    setPanel(0, QString());
    SectionMemo *memo = activeMemo();
    if (!memo)
        return;
    if (!m_host->plotSelected()) {
        setPanel(0, QStringLiteral("No plot selected"));
        return;
    }
    const QString key = currentKey();
    if (key.isEmpty())
        return;

    const QString before = memo->text();
    m_host->setRecallText(before);
    QByteArray text;
    bool found = false;
    if (memo->bytes(&text))
        memo->setBytes(vor4::PaintRule::takeKey(text, key.toLatin1(), &found));
    if (!m_host->applyPlotMemo(key + QStringLiteral(" cleared"))) {
        memo->setText(before);
        setPanel(0, key + QStringLiteral(" not stored"));
    }
    else
        setPanel(0, key + (found ? QStringLiteral(" cleared") : QStringLiteral(" not found")));
}

void MapContentsWindow::ListBox1DblClick()
{
    if (ChangeBtn->isEnabled())
        ToolButton1Click();
}

void MapContentsWindow::FormShow()
{
    if (m_host)
        m_host->setMapHintBtnDown(true);
    TabControl1Change();
}

void MapContentsWindow::FormHide()
{
    if (m_host)
        m_host->setMapHintBtnDown(false);
}

void MapContentsWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Spontaneous events come from the window system (restoring a minimised
    // window); only showing and hiding by the program count.
    if (!event->spontaneous())
        FormShow();
}

void MapContentsWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        FormHide();
}

bool MapContentsWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The double-clicked item is the one put in. Its first press has
    // normally selected it already; make sure of it all the same.
    if (watched == ListBox1->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const QPoint pos = static_cast<QMouseEvent *>(event)->position().toPoint();
        if (QListWidgetItem *item = ListBox1->itemAt(pos))
            ListBox1->setCurrentItem(item);
        ListBox1DblClick();
    }
    return QWidget::eventFilter(watched, event);
}
