#include "ProblemsPanel.h"

#include "CommandButtons.h"
#include "MapDocument.h"
#include "MapGrid.h"
#include "MapPage.h"

#include <QAction>
#include <QHeaderView>
#include <QPainter>
#include <QSet>
#include <QStandardItemModel>
#include <QTreeView>
#include <algorithm>

namespace {
// The index of a finding in the list, on its rows; groups have none.
constexpr int FindingRole = Qt::UserRole + 1;
} // namespace

ProblemsPanel::ProblemsPanel(MapPage *page, vor4::MapDocument *document, QWidget *parent)
    : QDockWidget(QStringLiteral("Problems"), parent)
    , m_page(page)
    , m_document(document)
    , m_view(new QTreeView)
    , m_model(new QStandardItemModel(this))
{
    setObjectName(QStringLiteral("ProblemsPanel"));
    m_view->setObjectName(QStringLiteral("ProblemsView"));
    m_view->setModel(m_model);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setUniformRowHeights(true);
    setWidget(m_view);

    QAction *toggle = toggleViewAction();
    const QKeySequence key(Qt::CTRL | Qt::SHIFT | Qt::Key_P);
    toggle->setText(QStringLiteral("&Problems"));
    toggle->setShortcut(key);
    toggle->setToolTip(hintWithKey(QStringLiteral("Show the map's problems"), key));

    m_timer.setSingleShot(true);
    m_timer.setInterval(150);
    connect(&m_timer, &QTimer::timeout, this, &ProblemsPanel::updateNow);
    connect(document, &vor4::MapDocument::plotsChanged, this,
            [this](const QRegion &plots) { changed(plots, false, false); });
    connect(document, &vor4::MapDocument::sectionChanged, this, [this] { changed(QRegion(), true, false); });
    connect(document, &vor4::MapDocument::documentReplaced, this, [this] { changed(QRegion(), false, true); });
    connect(this, &QDockWidget::visibilityChanged, this, &ProblemsPanel::shownChanged);
    connect(m_view, &QTreeView::doubleClicked, this, &ProblemsPanel::choose);
}

ProblemsPanel::~ProblemsPanel()
{
    if (m_overlaid && m_page)
        m_page->grid()->removeOverlay(this);
}

void ProblemsPanel::changed(const QRegion &cells, bool pieces, bool everything)
{
    m_dirtyCells += cells;
    m_dirtyPieces = m_dirtyPieces || pieces;
    m_dirtyAll = m_dirtyAll || everything;
    // Hidden, the panel looks at nothing until it is shown again.
    if (isVisible())
        m_timer.start();
}

void ProblemsPanel::shownChanged(bool shown)
{
    // The window closing hides the panel after the map page is gone.
    if (shown == m_overlaid || !m_page)
        return;
    m_overlaid = shown;
    if (shown) {
        m_page->grid()->addOverlay(this);
        updateNow();
    } else {
        m_page->grid()->removeOverlay(this);
    }
}

void ProblemsPanel::updateNow()
{
    m_timer.stop();
    const vor4::Document &doc = m_document->document();
    if (m_dirtyAll)
        m_lint.scan(doc);
    else if (!m_dirtyCells.isEmpty())
        m_lint.rescan(doc, QList<QRect>(m_dirtyCells.begin(), m_dirtyCells.end()));
    else if (m_dirtyPieces)
        m_lint.rescanPieces(doc);
    else
        return;
    m_dirtyAll = m_dirtyPieces = false;
    m_dirtyCells = QRegion();
    m_findings = m_lint.findings();

    m_marked.clear();
    const int cols = doc.columnCount(), rows = doc.rowCount();
    for (const vor4::LintFinding &f : std::as_const(m_findings))
        if (f.x >= 0 && f.y >= 0 && f.x < cols && f.y < rows)
            m_marked.push_back(qint64(rows - 1 - f.y) * cols + f.x);
    std::sort(m_marked.begin(), m_marked.end());
    m_marked.erase(std::unique(m_marked.begin(), m_marked.end()), m_marked.end());
    fillModel();
    if (m_overlaid && m_page)
        m_page->grid()->viewport()->update();
}

void ProblemsPanel::fillModel()
{
    // The groups open before stay open.
    QSet<int> open;
    for (int r = 0; r < m_model->rowCount(); ++r)
        if (m_view->isExpanded(m_model->index(r, 0)))
            open << m_model->item(r)->data(FindingRole).toInt();
    m_model->clear();
    m_model->setHorizontalHeaderLabels({QStringLiteral("Plot"), QStringLiteral("Explanation")});
    QStandardItem *group = nullptr;
    int listed = 0;
    const auto close = [&](qsizetype end) {
        if (group && listed == ListedPerRule)
            group->appendRow(new QStandardItem(QStringLiteral("… and %1 more").arg(end - listed)));
    };
    qsizetype groupStart = 0;
    for (qsizetype i = 0; i < m_findings.size(); ++i) {
        const vor4::LintFinding &f = m_findings[i];
        if (!group || group->data(FindingRole).toInt() != f.rule) {
            close(i - groupStart);
            const qsizetype count = std::count_if(m_findings.begin() + i, m_findings.end(),
                                                  [&f](const vor4::LintFinding &o) { return o.rule == f.rule; });
            group = new QStandardItem(
                QStringLiteral("%1 (%2)").arg(QString::fromLatin1(vor4::LintFinding::ruleName(f.rule))).arg(count));
            group->setData(f.rule, FindingRole);
            m_model->appendRow({group, new QStandardItem});
            groupStart = i;
            listed = 0;
        }
        if (listed == ListedPerRule)
            continue;
        auto *plot = new QStandardItem(QStringLiteral("%1,%2").arg(f.x).arg(f.y));
        plot->setData(int(i), FindingRole);
        auto *message = new QStandardItem(f.message);
        message->setData(int(i), FindingRole);
        group->appendRow({plot, message});
        ++listed;
    }
    close(m_findings.size() - groupStart);
    for (int r = 0; r < m_model->rowCount(); ++r)
        if (open.contains(m_model->item(r)->data(FindingRole).toInt()))
            m_view->expand(m_model->index(r, 0));
    m_view->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
}

void ProblemsPanel::choose(const QModelIndex &index)
{
    if (!index.parent().isValid() || !index.data(FindingRole).isValid())
        return;
    const vor4::LintFinding &f = m_findings.value(index.data(FindingRole).toInt());
    const vor4::Document &doc = m_document->document();
    const int col = f.x, row = doc.fileY(f.y);
    if (!doc.PlotTexts.contains(col, row))
        return;
    Q_EMIT plotChosen(QPoint(col, row));
    MapGrid *grid = m_page->grid();
    grid->setCurrentCell(col, row);
    grid->scrollIntoView(col, row);
    m_page->selectCell(col, row);
}

void ProblemsPanel::paintOverlay(QPainter &painter, const QRect &area)
{
    MapGrid *grid = m_page->grid();
    if (m_marked.empty() || grid->colCount() != m_document->document().columnCount())
        return;
    const int pitch = grid->cellSize() + grid->gridLineWidth();
    const int cols = grid->colCount();
    const int left = grid->leftCol() + qMax(0, area.left()) / pitch;
    const int top = grid->topRow() + qMax(0, area.top()) / pitch;
    const int right = qMin(cols - 1, grid->leftCol() + area.right() / pitch);
    const int bottom = qMin(grid->rowCount() - 1, grid->topRow() + area.bottom() / pitch);
    // A square in the cell's top right corner: the plot stays readable.
    const int size = qMax(2, grid->cellSize() / 4);
    const QColor colour = QColor::fromRgb(Colour);
    for (int row = top; row <= bottom; ++row) {
        auto it = std::lower_bound(m_marked.begin(), m_marked.end(), qint64(row) * cols + left);
        for (; it != m_marked.end() && *it <= qint64(row) * cols + right; ++it) {
            const QRect r = grid->cellRect(int(*it % cols), row);
            painter.fillRect(r.right() + 1 - size, r.top(), size, size, colour);
        }
    }
}
