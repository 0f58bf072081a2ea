#include "StatisticsWindow.h"

#include "MapDocument.h"
#include "StatisticsModel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QScreen>
#include <QShowEvent>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

StatisticsWindow::StatisticsWindow(vor4::MapDocument *doc, QWidget *parent)
    : QWidget(parent, Qt::Tool)
    , m_doc(doc)
    , m_model(new vor4::StatisticsModel(doc, this))
    , m_sort(new QSortFilterProxyModel(this))
{
    setObjectName(QStringLiteral("StatisticsWindow"));
    setWindowTitle(QStringLiteral("Statistics"));
    setAttribute(Qt::WA_QuitOnClose, false);
    // Nothing is counted while the window is closed.
    m_model->setFollowing(false);

    m_areaBox = new QComboBox;
    m_areaBox->setObjectName(QStringLiteral("areaBox"));
    m_areaBox->addItem(QStringLiteral("Whole map"));
    m_areaBox->addItem(QStringLiteral("Selected region"));
    m_areaBox->setToolTip(QStringLiteral("Count the whole map or the selected region"));
    m_summaryLabel = new QLabel;
    m_summaryLabel->setObjectName(QStringLiteral("summaryLabel"));
    m_summaryLabel->setTextFormat(Qt::PlainText);
    m_summaryLabel->setWordWrap(true);

    m_sort->setSourceModel(m_model);
    m_sort->setSortRole(vor4::StatisticsModel::SortRole);
    m_table = new QTableView;
    m_table->setObjectName(QStringLiteral("table"));
    m_table->setModel(m_sort);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAlternatingRowColors(true);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setToolTip(QStringLiteral("Double click a row to find its plots"));
    // The kinds in their order, each most plots first: a stable sort by kind
    // keeps the model's order within a kind.
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(vor4::StatisticsModel::KindColumn, Qt::AscendingOrder);

    auto *top = new QHBoxLayout;
    top->addWidget(m_areaBox);
    top->addWidget(m_summaryLabel, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addWidget(m_table, 1);
    resize(460, 520);

    connect(m_areaBox, &QComboBox::currentIndexChanged, this, &StatisticsWindow::updateArea);
    connect(&doc->selection(), &vor4::MapSelection::changed, this, [this] {
        if (m_areaBox->currentIndex() == SelectedRegion)
            updateArea();
    });
    connect(m_table, &QTableView::doubleClicked, this, &StatisticsWindow::rowDoubleClicked);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        updateSummary();
        m_table->resizeColumnsToContents();
    });
    connect(m_model, &QAbstractItemModel::dataChanged, this, &StatisticsWindow::updateSummary);
}

QRegion StatisticsWindow::requestedArea() const
{
    return m_areaBox->currentIndex() == SelectedRegion ? m_doc->selection().region() : QRegion();
}

void StatisticsWindow::updateArea()
{
    m_model->setArea(requestedArea());
    updateSummary();
}

void StatisticsWindow::updateSummary()
{
    if (!m_model->isFollowing())
        return;
    const vor4::PlotStatistics &s = m_model->statistics();
    const QRect area = m_model->area();
    QString where;
    if (m_areaBox->currentIndex() == SelectedRegion && !m_doc->selection().isEmpty()) {
        // Named as the file counts: y rises from the bottom row.
        const int rows = m_doc->document().rowCount();
        where = QStringLiteral("Region of %1 x %2, x=%3..%4, y=%5..%6")
                    .arg(area.width())
                    .arg(area.height())
                    .arg(area.left())
                    .arg(area.right())
                    .arg(rows - 1 - area.bottom())
                    .arg(rows - 1 - area.top());
    }
    else if (m_areaBox->currentIndex() == SelectedRegion)
        where = QStringLiteral("No region is selected: the whole map, %1 x %2").arg(area.width()).arg(area.height());
    else
        where = QStringLiteral("Map of %1 x %2").arg(area.width()).arg(area.height());
    m_summaryLabel->setText(QStringLiteral("%1: %2 plots, %3 with text, %4 land plots")
                              .arg(where)
                              .arg(s.plotCount())
                              .arg(s.filledCount())
                              .arg(s.landCount()));
}

QString StatisticsWindow::findPatternAt(int row) const
{
    return m_sort->index(row, 0).data(vor4::StatisticsModel::FindPatternRole).toString();
}

void StatisticsWindow::rowDoubleClicked(const QModelIndex &index)
{
    const QString pattern = findPatternAt(index.row());
    if (pattern.isEmpty()) {
        m_summaryLabel->setText(QStringLiteral("Plots without such a line have no line to find."));
        return;
    }
    Q_EMIT findRequested(pattern);
}

void StatisticsWindow::placeOnScreen()
{
    const QWidget *owner = parentWidget();
    const QScreen *s = owner ? owner->screen() : screen();
    if (!s)
        return;
    const QRect room = s->availableGeometry();
    // Before the first showing the frame is not known: a caption is assumed.
    QMargins frame;
    if (testAttribute(Qt::WA_WState_Created)) {
        const QRect outer = frameGeometry(), inner = geometry();
        frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                         outer.bottom() - inner.bottom());
    }
    if (frame.isNull())
        frame = QMargins(8, 32, 8, 8);
    resize(size().boundedTo(room.size().shrunkBy(frame)));
    const QSize outer = size().grownBy(frame);
    // Beside the main window the first time, where it was left afterwards.
    QPoint at = m_placed || !owner ? pos() : owner->frameGeometry().topRight() + QPoint(1, 0);
    at.setX(qMax(room.left(), qMin(at.x(), room.right() + 1 - outer.width())));
    at.setY(qMax(room.top(), qMin(at.y(), room.bottom() + 1 - outer.height())));
    move(at);
    m_placed = true;
}

void StatisticsWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    // Counted once: the area is taken while the model still rests.
    m_model->setArea(requestedArea());
    m_model->setFollowing(true);
    updateSummary();
    Q_EMIT visibilityChanged(true);
}

void StatisticsWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (event->spontaneous())
        return;
    m_model->setFollowing(false);
    Q_EMIT visibilityChanged(false);
}
