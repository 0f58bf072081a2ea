#include "BalanceWindow.h"

#include "CommandButtons.h"
#include "Dialogs.h"
#include "MapDocument.h"
#include "MapGrid.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QSaveFile>
#include <QShowEvent>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QColor Lowest(255, 190, 190);
const QColor Highest(190, 240, 190);
const QColor AreaOutline(255, 0, 255);
// Recounting waits this long for more steps of a drag.
constexpr int RecountDelay = 30;
} // namespace

BalanceWindow::BalanceWindow(vor4::MapDocument *doc, MapGrid *grid, QWidget *parent)
    : QWidget(parent, Qt::Tool)
    , m_doc(doc)
    , m_grid(grid)
    , m_table(new QTableView)
    , m_model(new QStandardItemModel(this))
    , m_summary(new QLabel)
    , m_exportButton(new QToolButton)
{
    setObjectName(QStringLiteral("BalanceWindow"));
    setWindowTitle(QStringLiteral("Balance"));
    setAttribute(Qt::WA_QuitOnClose, false);
    m_summary->setObjectName(QStringLiteral("summaryLabel"));
    m_summary->setWordWrap(true);
    m_table->setObjectName(QStringLiteral("table"));
    m_table->setModel(m_model);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setToolTip(QStringLiteral("Double click a column to go to its start"));
    auto *exportAction = new QAction(QStringLiteral("Export CSV..."), this);
    exportAction->setObjectName(QStringLiteral("exportCsv"));
    exportAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    exportAction->setToolTip(hintWithKey(QStringLiteral("Export the report as CSV"), exportAction->shortcut()));
    addAction(exportAction);
    m_exportButton->setDefaultAction(exportAction);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_summary);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_exportButton, 0, Qt::AlignRight);
    resize(520, 560);

    m_recount.setSingleShot(true);
    m_recount.setInterval(RecountDelay);
    connect(&m_recount, &QTimer::timeout, this, &BalanceWindow::recount);
    connect(exportAction, &QAction::triggered, this, &BalanceWindow::exportCsv);
    connect(doc, &vor4::MapDocument::plotsChanged, this, &BalanceWindow::plotsChanged);
    connect(doc, &vor4::MapDocument::sectionChanged, this, [this] {
        if (isVisible())
            m_recount.start();
    });
    connect(doc, &vor4::MapDocument::documentReplaced, this, [this] {
        m_rescanAll = true;
        if (isVisible())
            m_recount.start();
    });
    const auto goTo = [this](int column) {
        if (column >= 0 && column < m_balance.players.size() && m_balance.players[column].hasStart) {
            const QPoint at = m_balance.players[column].start.at;
            Q_EMIT startRequested(at.x(), m_doc->document().fileY(at.y()));
        }
    };
    connect(m_table, &QTableView::doubleClicked, this, [goTo](const QModelIndex &index) { goTo(index.column()); });
    connect(m_table->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this, goTo);
}

BalanceWindow::~BalanceWindow()
{
    if (m_grid)
        m_grid->removeOverlay(this);
}

void BalanceWindow::setDataFolder(const QString &folder)
{
    m_dataError.clear();
    if (!folder.isEmpty())
        m_yields.load(folder, &m_dataError);
    if (isVisible())
        recount();
}

void BalanceWindow::plotsChanged(const QRegion &plots)
{
    // Settlers are read again only where plots changed, and only while shown.
    if (!isVisible())
        return;
    m_dirty |= plots.boundingRect();
    m_recount.start();
}

void BalanceWindow::recount()
{
    const vor4::Document &doc = m_doc->document();
    if (m_rescanAll)
        m_analysis.scan(doc);
    else if (!m_dirty.isEmpty())
        m_analysis.rescan(doc, m_dirty);
    m_rescanAll = false;
    m_dirty = QRect();
    m_balance = m_analysis.report(doc, m_yields);
    fillTable();
    repaintOverlay();
}

void BalanceWindow::fillTable()
{
    const QList<vor4::BalanceReport::Row> rows = vor4::BalanceReport::rows(m_balance);
    const QList<vor4::BalanceFigures> &figures = m_balance.players;
    m_model->clear();
    m_model->setColumnCount(int(figures.size()));
    for (int c = 0; c < figures.size(); ++c)
        m_model->setHorizontalHeaderItem(c, new QStandardItem(QStringLiteral("Player %1").arg(figures[c].start.player)));
    // The first row names the players: the headers say it.
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const vor4::BalanceReport::Row &row = rows[r];
        QList<QStandardItem *> items;
        int low = 0, high = 0;
        for (int c = 0; c < row.cells.size(); ++c) {
            auto *item = new QStandardItem(QString::fromLatin1(row.cells[c]));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            items << item;
            low = row.cells[c].toInt() < row.cells[low].toInt() ? c : low;
            high = row.cells[c].toInt() > row.cells[high].toInt() ? c : high;
        }
        if (row.compared && !items.isEmpty() && row.cells[low].toInt() != row.cells[high].toInt()) {
            for (int c = 0; c < items.size(); ++c) {
                if (row.cells[c].toInt() == row.cells[low].toInt())
                    items[c]->setBackground(Lowest);
                if (row.cells[c].toInt() == row.cells[high].toInt())
                    items[c]->setBackground(Highest);
            }
        }
        m_model->appendRow(items);
        m_model->setVerticalHeaderItem(int(r - 1), new QStandardItem(QString::fromLatin1(row.name)));
    }
    m_table->resizeColumnsToContents();
    QString text = figures.isEmpty() ? QStringLiteral("No player has a start on the map.")
                                     : QStringLiteral("%1 starts; work areas of 21 plots.").arg(figures.size());
    if (!m_dataError.isEmpty())
        text += QStringLiteral(" Standard yields: ") + m_dataError;
    m_summary->setText(text);
}

void BalanceWindow::exportCsv()
{
    const QString path = Dialogs::instance().saveFileName(this, QString(), QStringLiteral("balance.csv"),
                                                          QStringLiteral("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    const QByteArray bytes = vor4::BalanceReport::csv(m_balance);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        Dialogs::instance().error(this, QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
}

void BalanceWindow::repaintOverlay()
{
    if (m_grid)
        m_grid->updateOverlays(QRegion(m_grid->viewport()->rect()));
}

void BalanceWindow::paintOverlay(QPainter &painter, const QRect &area)
{
    if (!isVisible() || !m_grid)
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
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    // Nothing was followed while hidden.
    m_rescanAll = true;
    if (m_grid) {
        m_grid->removeOverlay(this);
        m_grid->addOverlay(this);
    }
    recount();
    Q_EMIT visibilityChanged(true);
}

void BalanceWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (event->spontaneous())
        return;
    m_recount.stop();
    if (m_grid) {
        m_grid->removeOverlay(this);
        repaintOverlay();
    }
    Q_EMIT visibilityChanged(false);
}
