#include "BalanceWindow.h"

#include "CommandButtons.h"
#include "Dialogs.h"
#include "FileTarget.h"
#include "MapDocument.h"
#include "MapGrid.h"
#include "TerritoryOverlay.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QShowEvent>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace {
const QColor AreaOutline(255, 0, 255);
// The sort key of a cell: its number, "yes" 1 and "no" 0; none below all.
constexpr int SortRole = Qt::UserRole + 1;
constexpr double NoValue = -1e300;

// What a figure means, for its column's header.
QString hintFor(const QByteArray &figure)
{
    static const QHash<QByteArray, QString> hints = {
        {"score", QStringLiteral("Half the land, three tenths the work area's yields and a fifth the first ring, "
                                 "each against the mean of the starts; the best start has 100")},
        {"territory", QStringLiteral("Land plots nearer to this start than to any other; a plot as near to several "
                                     "starts is shared")},
        {"across water", QStringLiteral("Territory off the start's own landmass: it counts a quarter in the score")},
        {"land share %", QStringLiteral("The territory's share of the map's land plots")},
        {"first-ring food", QStringLiteral("Food resources seen from the start in the 8 plots around it")},
        {"fresh water", QStringLiteral("A river along the start or a plot around it, a lake or an oasis beside it")},
        {"coastal", QStringLiteral("The sea (water of more than 9 plots) beside the start")},
        {"plots", QStringLiteral("Plots of the 21-plot work area on the map; fewer where an edge that does not "
                                 "wrap cuts it")},
        {"unknown", QStringLiteral("Work area plots without a plot type")},
        {"nearest", QStringLiteral("The nearest other start")}};
    return figure.startsWith("hidden ") ? QStringLiteral("Needs a technology to be seen; yields nothing at the start")
                                        : hints.value(figure);
}

std::optional<double> valueOf(const QByteArray &cell)
{
    if (cell == "yes" || cell == "no")
        return cell == "yes" ? 1.0 : 0.0;
    bool ok = false;
    const double v = cell.toDouble(&ok);
    return ok ? std::optional<double>(v) : std::nullopt;
}
} // namespace

BalanceWindow::BalanceWindow(vor4::MapDocument *doc, MapGrid *grid, QWidget *parent)
    : QDockWidget(QStringLiteral("Balance"), parent)
    , m_doc(doc)
    , m_grid(grid)
    , m_table(new QTableView)
    , m_model(new QStandardItemModel(this))
    , m_sorted(new QSortFilterProxyModel(this))
    , m_summary(new QLabel)
    , m_exportButton(new QToolButton)
    , m_territoryAction(new QAction(QStringLiteral("&Territory"), this))
    , m_territory(std::make_unique<TerritoryOverlay>(grid, &doc->document(), &m_analysis.territory()))
{
    setObjectName(QStringLiteral("BalanceWindow"));
    m_summary->setObjectName(QStringLiteral("summaryLabel"));
    m_summary->setWordWrap(true);
    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(SortRole);
    m_table->setObjectName(QStringLiteral("table"));
    m_table->setModel(m_sorted);
    m_table->setSortingEnabled(true);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->setToolTip(QStringLiteral("Double click a player to go to its start"));

    auto *exportAction = new QAction(QStringLiteral("Export CSV..."), this);
    exportAction->setObjectName(QStringLiteral("exportCsv"));
    exportAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    exportAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    exportAction->setToolTip(hintWithKey(QStringLiteral("Export the report as CSV"), exportAction->shortcut()));
    addAction(exportAction);
    m_exportButton->setDefaultAction(exportAction);
    m_territoryAction->setObjectName(QStringLiteral("territory"));
    m_territoryAction->setCheckable(true);
    m_territoryAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T));
    m_territoryAction->setToolTip(hintWithKey(
        QStringLiteral("Tint each land plot with the colour of the start nearest to it"), m_territoryAction->shortcut()));
    auto *territoryButton = new QToolButton;
    territoryButton->setDefaultAction(m_territoryAction);

    auto *contents = new QWidget;
    auto *layout = new QVBoxLayout(contents);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_summary);
    layout->addWidget(m_table, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(territoryButton);
    buttons->addStretch(1);
    buttons->addWidget(m_exportButton);
    layout->addLayout(buttons);
    setWidget(contents);

    // Edits that come in one turn of the event loop (a brush stroke's
    // plots) are counted once.
    m_recount.setSingleShot(true);
    m_recount.setInterval(0);
    connect(&m_recount, &QTimer::timeout, this, &BalanceWindow::recount);
    connect(exportAction, &QAction::triggered, this, &BalanceWindow::exportCsv);
    connect(m_territoryAction, &QAction::toggled, this, [this](bool on) {
        m_territory->setShown(on);
        follow();
    });
    connect(doc, &vor4::MapDocument::plotsChanged, this, &BalanceWindow::plotsChanged);
    connect(doc, &vor4::MapDocument::sectionChanged, this, [this] {
        if (following())
            m_recount.start();
    });
    connect(doc, &vor4::MapDocument::documentReplaced, this, [this] {
        m_rescanAll = true;
        if (following())
            m_recount.start();
    });
    connect(m_table, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        const int row = m_sorted->mapToSource(index).row();
        if (row >= 0 && row < m_balance.players.size() && m_balance.players[row].hasStart) {
            const QPoint at = m_balance.players[row].start.at;
            Q_EMIT startRequested(at.x(), m_doc->document().fileY(at.y()));
        }
    });
}

BalanceWindow::~BalanceWindow()
{
    if (m_grid && m_outlined)
        m_grid->removeOverlay(this);
}

void BalanceWindow::setDataFolder(const QString &folder)
{
    m_dataError.clear();
    m_yields = vor4::GameYields();
    if (!folder.isEmpty())
        m_yields.load(folder, &m_dataError);
    if (following())
        recount();
}

bool BalanceWindow::following() const { return m_outlined || m_territoryAction->isChecked(); }

void BalanceWindow::follow()
{
    if (following())
        recount();
    else
        m_recount.stop();
}

void BalanceWindow::plotsChanged(const QRegion &plots)
{
    // Plots are read again only where they changed, and only while followed;
    // later the whole map is.
    if (!following()) {
        m_rescanAll = true;
        return;
    }
    m_dirty |= plots.boundingRect();
    m_recount.start();
}

void BalanceWindow::recount()
{
    m_recount.stop();
    const vor4::Document &doc = m_doc->document();
    if (m_rescanAll)
        m_analysis.scan(doc);
    else if (!m_dirty.isEmpty())
        m_analysis.rescan(doc, m_dirty);
    m_rescanAll = false;
    m_dirty = QRect();
    m_balance = m_analysis.report(doc, m_yields);
    fillTable();
    m_territory->update();
    repaintOverlay();
    Q_EMIT reportUpdated();
}

void BalanceWindow::fillTable()
{
    const QList<vor4::BalanceReport::Row> rows = vor4::BalanceReport::rows(m_balance);
    const QList<vor4::BalanceFigures> &players = m_balance.players;
    // The first row names the players: the row headers say it. The items
    // stay where the shape does, so that the view keeps its place.
    bool same = m_model->rowCount() == players.size() && m_model->columnCount() == rows.size() - 1;
    for (int c = 0; same && c + 1 < rows.size(); ++c)
        same = m_model->horizontalHeaderItem(c)->data(Qt::UserRole).toByteArray() == rows[c + 1].name;
    if (!same) {
        m_model->clear();
        m_model->setRowCount(int(players.size()));
        m_model->setColumnCount(int(rows.size() - 1));
        for (int c = 0; c + 1 < rows.size(); ++c) {
            QString name = QString::fromLatin1(rows[c + 1].name);
            name[0] = name[0].toUpper();
            auto *header = new QStandardItem(name);
            header->setData(rows[c + 1].name, Qt::UserRole);
            header->setToolTip(hintFor(rows[c + 1].name));
            m_model->setHorizontalHeaderItem(c, header);
        }
    }
    for (int r = 0; r < players.size(); ++r) {
        auto *header = new QStandardItem(QStringLiteral("Player %1").arg(players[r].start.player));
        if (m_balance.worstPlayer == players[r].start.player) {
            QFont bold;
            bold.setBold(true);
            header->setFont(bold);
            header->setForeground(QColor(180, 0, 0));
            header->setToolTip(QStringLiteral("The worst start"));
        }
        m_model->setVerticalHeaderItem(r, header);
        for (int c = 0; c + 1 < rows.size(); ++c) {
            const QByteArray &cell = rows[c + 1].cells[r];
            QStandardItem *item = m_model->item(r, c);
            if (!item) {
                item = new QStandardItem;
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                m_model->setItem(r, c, item);
            }
            // Only what changed: each change is sorted in on its own.
            const QString text = QString::fromLatin1(cell);
            if (item->text() == text && item->data(SortRole).isValid())
                continue;
            item->setText(text);
            const std::optional<double> v = valueOf(cell);
            item->setData(v ? QVariant(*v) : rows[c + 1].compared ? QVariant(NoValue) : QVariant(text), SortRole);
        }
    }
    for (int c = 0; c + 1 < rows.size(); ++c)
        if (rows[c + 1].compared)
            markOutliers(c, rows[c + 1].better);
    if (!same) {
        // The verdict first; where the start lies after the figures.
        QHeaderView *header = m_table->horizontalHeader();
        for (int c = 0; c + 1 < rows.size(); ++c) {
            if (rows[c + 1].name == "score")
                m_table->sortByColumn(c, Qt::DescendingOrder);
            if (rows[c + 1].name == "from" || rows[c + 1].name == "x" || rows[c + 1].name == "y")
                header->moveSection(header->visualIndex(c), header->count() - 1);
        }
        m_table->resizeColumnsToContents();
    }

    QStringList text;
    if (!m_balance.worstPlayer)
        text << QStringLiteral("No player has a start on the map.");
    else
        text << QStringLiteral("%1 starts; worst start %2% of the best (player %3).")
                    .arg(players.size() - std::count_if(players.cbegin(), players.cend(),
                                                        [](const vor4::BalanceFigures &f) { return !f.hasStart; }))
                    .arg(qRound(100 * m_balance.spread))
                    .arg(*m_balance.worstPlayer);
    for (const QString &note : m_balance.notes())
        text << note[0].toUpper() + note.mid(1) + u'.';
    if (!m_dataError.isEmpty())
        text << QStringLiteral("Standard yields: ") + m_dataError;
    else if (m_yields.folder().isEmpty())
        text << QStringLiteral("The game's data files were not found: standard yields.");
    m_summary->setText(text.join(u' '));
}

void BalanceWindow::markOutliers(int column, int better)
{
    // Far from the mean: more than the starts' standard deviation and a
    // tenth of the mean away from it.
    QList<double> values;
    for (int r = 0; r < m_model->rowCount(); ++r)
        if (m_balance.players[r].hasStart)
            values << m_model->item(r, column)->data(SortRole).toDouble();
    double mean = 0, spread = 0;
    for (double v : std::as_const(values))
        mean += v / double(values.size());
    for (double v : std::as_const(values))
        spread += (v - mean) * (v - mean) / double(values.size());
    spread = std::sqrt(spread);
    for (int r = 0; r < m_model->rowCount(); ++r) {
        QStandardItem *item = m_model->item(r, column);
        const double d = item->data(SortRole).toDouble() - mean;
        const bool far = m_balance.players[r].hasStart && std::abs(d) > spread && std::abs(d) >= 0.1 * std::abs(mean)
            && spread > 0;
        const bool worst = m_balance.worstPlayer == m_balance.players[r].start.player
            && m_model->horizontalHeaderItem(column)->data(Qt::UserRole).toByteArray() == "score";
        const QBrush mark = worst || far ? QBrush(QColor(worst || d * better < 0 ? Worse : better == 0 ? Apart : Better))
                                         : QBrush();
        const QString hint = far ? QStringLiteral("%1 the mean of %2")
                                       .arg(d < 0 ? QStringLiteral("Below") : QStringLiteral("Above"))
                                       .arg(mean, 0, 'f', 1)
                                 : QString();
        if (item->background() != mark)
            item->setBackground(mark);
        if (item->toolTip() != hint)
            item->setToolTip(hint);
    }
}

void BalanceWindow::exportCsv()
{
    const QString path = Dialogs::instance().saveFileName(this, QString(), QStringLiteral("balance.csv"),
                                                          QStringLiteral("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    // No device or folder is replaced; a failure names the file and the reason.
    if (const QString failed = vor4::replaceFile(path, vor4::BalanceReport::csv(m_balance)); !failed.isEmpty())
        Dialogs::instance().error(this, failed);
}

void BalanceWindow::repaintOverlay()
{
    if (m_grid && m_outlined)
        m_grid->updateOverlays(QRegion(m_grid->viewport()->rect()));
}

void BalanceWindow::paintOverlay(QPainter &painter, const QRect &area)
{
    if (!m_grid)
        return;
    const vor4::Document &doc = m_doc->document();
    painter.save();
    painter.setPen(QPen(AreaOutline, 2));
    for (const vor4::BalanceFigures &f : std::as_const(m_balance.players)) {
        if (!f.hasStart)
            continue;
        QList<QPoint> cells;
        for (const QPoint &p : vor4::BalanceReport::workArea(doc, f.start.at))
            cells << QPoint(p.x(), doc.fileY(p.y()));
        // An edge is drawn where the neighbouring cell is not in the area.
        for (const QPoint &cell : std::as_const(cells)) {
            const QRect r = m_grid->cellRect(cell.x(), cell.y());
            if (!r.intersects(area))
                continue;
            if (!cells.contains(cell + QPoint(0, -1)))
                painter.drawLine(r.topLeft(), r.topRight());
            if (!cells.contains(cell + QPoint(0, 1)))
                painter.drawLine(r.bottomLeft(), r.bottomRight());
            if (!cells.contains(cell + QPoint(-1, 0)))
                painter.drawLine(r.topLeft(), r.bottomLeft());
            if (!cells.contains(cell + QPoint(1, 0)))
                painter.drawLine(r.topRight(), r.bottomRight());
        }
    }
    painter.restore();
}

void BalanceWindow::showEvent(QShowEvent *event)
{
    QDockWidget::showEvent(event);
    if (event->spontaneous() || m_outlined || !m_grid)
        return;
    m_outlined = true;
    m_grid->addOverlay(this);
    follow();
    // Docked the first time, wide enough for the verdict and the land.
    auto *window = qobject_cast<QMainWindow *>(parentWidget());
    if (!m_widened && window && !isFloating())
        window->resizeDocks({this}, {qMin(520, window->width() / 3)}, Qt::Horizontal);
    m_widened = true;
}

void BalanceWindow::hideEvent(QHideEvent *event)
{
    QDockWidget::hideEvent(event);
    if (event->spontaneous() || !m_outlined)
        return;
    m_outlined = false;
    if (m_grid) {
        m_grid->removeOverlay(this);
        m_grid->updateOverlays(QRegion(m_grid->viewport()->rect()));
    }
    follow();
}
