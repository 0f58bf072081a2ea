#include "ProblemsPanel.h"

#include "CommandButtons.h"
#include "Dialogs.h"
#include "LintFixes.h"
#include "MapDocument.h"
#include "MapGrid.h"
#include "MapPage.h"
#include "PieceEdits.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

namespace {
// The rule of a row; a finding's row also has its index in the list.
constexpr int RuleRole = Qt::UserRole + 1;
constexpr int FindingRole = Qt::UserRole + 2;

QString ruleText(int rule) { return QString::fromLatin1(vor4::LintFinding::ruleName(rule)); }

QString counted(int n, const char *one, const char *many)
{
    return n == 1 ? QStringLiteral("1 %1").arg(QLatin1String(one)) : QStringLiteral("%1 %2").arg(n).arg(QLatin1String(many));
}
} // namespace

ProblemsPanel::ProblemsPanel(MapPage *page, vor4::MapDocument *document, QWidget *parent)
    : QDockWidget(QStringLiteral("Problems"), parent)
    , m_page(page)
    , m_document(document)
    , m_view(new QTreeView)
    , m_model(new QStandardItemModel(this))
    , m_fix(new QPushButton(QStringLiteral("&Fix")))
    , m_fixAll(new QPushButton(QStringLiteral("Fix &all")))
    , m_message(new QLabel)
    , m_startsFromSettlers(new QAction(QStringLiteral("Starts &from settlers"), this))
{
    setObjectName(QStringLiteral("ProblemsPanel"));
    m_view->setObjectName(QStringLiteral("ProblemsView"));
    m_view->setModel(m_model);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setUniformRowHeights(true);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    m_fix->setObjectName(QStringLiteral("ProblemsFixButton"));
    m_fixAll->setObjectName(QStringLiteral("ProblemsFixAllButton"));
    m_message->setObjectName(QStringLiteral("ProblemsMessage"));
    m_message->setWordWrap(true);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *body = new QWidget;
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_fix);
    buttons->addWidget(m_fixAll);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(buttons);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_message);
    setWidget(body);

    QAction *toggle = toggleViewAction();
    const QKeySequence key(Qt::CTRL | Qt::SHIFT | Qt::Key_P);
    toggle->setText(QStringLiteral("&Problems"));
    toggle->setShortcut(key);
    toggle->setToolTip(hintWithKey(QStringLiteral("Show the map's problems"), key));
    m_startsFromSettlers->setObjectName(QStringLiteral("startsFromSettlers"));
    m_startsFromSettlers->setToolTip(
        QStringLiteral("Set every player's start line to the plot of its first settler (no shortcut)"));
    connect(m_startsFromSettlers, &QAction::triggered, this, &ProblemsPanel::startsFromSettlers);

    m_timer.setSingleShot(true);
    m_timer.setInterval(150);
    connect(&m_timer, &QTimer::timeout, this, &ProblemsPanel::updateNow);
    connect(document, &vor4::MapDocument::plotsChanged, this,
            [this](const QRegion &plots) { changed(plots, false, false); });
    connect(document, &vor4::MapDocument::sectionChanged, this, [this] { changed(QRegion(), true, false); });
    connect(document, &vor4::MapDocument::documentReplaced, this, [this] { changed(QRegion(), false, true); });
    connect(this, &QDockWidget::visibilityChanged, this, &ProblemsPanel::shownChanged);
    connect(m_view, &QTreeView::doubleClicked, this, &ProblemsPanel::choose);
    connect(m_view, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        QMenu *menu = contextMenu(m_view->indexAt(at));
        if (!menu->isEmpty())
            menu->exec(m_view->viewport()->mapToGlobal(at));
        menu->deleteLater();
    });
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this, &ProblemsPanel::currentChanged);
    connect(m_fix, &QPushButton::clicked, this, [this] { fix(m_view->currentIndex(), false); });
    connect(m_fixAll, &QPushButton::clicked, this, [this] { fix(m_view->currentIndex(), true); });
    currentChanged();
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

void ProblemsPanel::setBusy(bool busy)
{
    m_busy = busy;
    m_startsFromSettlers->setEnabled(!busy);
    currentChanged();
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
    fillModel(m_lint.changedRules());

    m_marked.clear();
    const int cols = doc.columnCount(), rows = doc.rowCount();
    for (int rule = vor4::LintFinding::PlotRuleCount; rule < vor4::LintFinding::RuleCount; ++rule)
        for (const vor4::LintFinding &f : std::as_const(m_listed[std::size_t(rule)]))
            if (f.x >= 0 && f.y >= 0 && f.x < cols && f.y < rows)
                m_marked.push_back(qint64(rows - 1 - f.y) * cols + f.x);
    std::sort(m_marked.begin(), m_marked.end());
    m_marked.erase(std::unique(m_marked.begin(), m_marked.end()), m_marked.end());
    if (m_overlaid && m_page)
        m_page->grid()->viewport()->update();
}

QList<vor4::LintFinding> ProblemsPanel::findings() const
{
    QList<vor4::LintFinding> all;
    for (const QList<vor4::LintFinding> &listed : m_listed)
        all += listed;
    return all;
}

QStandardItem *ProblemsPanel::groupOf(int rule, int *row) const
{
    for (int r = 0; r < m_model->rowCount(); ++r) {
        QStandardItem *group = m_model->item(r);
        if (group->data(RuleRole).isValid() && group->data(RuleRole).toInt() == rule) {
            if (row)
                *row = r;
            return group;
        }
    }
    return nullptr;
}

void ProblemsPanel::fillModel(quint32 changed)
{
    // Only the groups whose findings changed are built again: an edit far
    // from any finding leaves the list as it was. The chosen row stays chosen.
    const QModelIndex current = m_view->currentIndex();
    const int currentRule = ruleOf(current);
    const vor4::LintFinding *chosen = findingOf(current);
    const bool findingChosen = chosen;
    const QPoint chosenPlot = chosen ? QPoint(chosen->x, chosen->y) : QPoint();

    const vor4::Document &doc = m_document->document();
    if (m_model->columnCount() == 0)
        m_model->setHorizontalHeaderLabels({QStringLiteral("Plot"), QStringLiteral("Explanation")});
    // "No problems found" is the one row without a rule.
    if (m_model->rowCount() > 0 && !m_model->item(0)->data(RuleRole).isValid())
        m_model->removeRow(0);
    QModelIndex again;
    int groups = 0;
    for (int rule = 0; rule < vor4::LintFinding::RuleCount; ++rule) {
        const qsizetype count = m_lint.count(rule);
        QList<vor4::LintFinding> &listed = m_listed[std::size_t(rule)];
        int row = -1;
        QStandardItem *group = groupOf(rule, &row);
        if (count == 0) {
            if (group)
                m_model->removeRow(row);
            listed.clear();
            continue;
        }
        ++groups;
        const QString title = QStringLiteral("%1 (%2)").arg(ruleText(rule)).arg(count);
        if (group && !(changed & (1u << rule))) {
            group->setText(title);
            continue;
        }
        if (!group) {
            group = new QStandardItem;
            group->setData(rule, RuleRole);
            const QString fixText = vor4::LintFixes::fixText(rule);
            auto *groupFix = new QStandardItem(fixText.isEmpty() ? QString() : QStringLiteral("Fix: ") + fixText);
            groupFix->setData(rule, RuleRole);
            m_model->insertRow(groups - 1, {group, groupFix});
        } else {
            group->removeRows(0, group->rowCount());
        }
        group->setText(title);
        if (rule == currentRule && !findingChosen)
            again = group->index();
        listed = m_lint.findings(doc, rule, ListedPerRule);
        for (int i = 0; i < listed.size(); ++i) {
            const vor4::LintFinding &f = listed[i];
            auto *plot = new QStandardItem(QStringLiteral("%1,%2").arg(f.x).arg(f.y));
            auto *message = new QStandardItem(f.message);
            for (QStandardItem *item : {plot, message}) {
                item->setData(rule, RuleRole);
                item->setData(i, FindingRole);
            }
            group->appendRow({plot, message});
            if (findingChosen && rule == currentRule && chosenPlot == QPoint(f.x, f.y))
                again = plot->index();
        }
        if (count > ListedPerRule)
            group->appendRow(new QStandardItem(QStringLiteral("… and %1 more").arg(count - ListedPerRule)));
    }
    if (groups == 0) {
        auto *none = new QStandardItem(QStringLiteral("No problems found"));
        none->setFlags(Qt::ItemIsEnabled);
        m_model->appendRow({none, new QStandardItem});
        m_view->setFirstColumnSpanned(0, QModelIndex(), true);
    }
    if (again.isValid())
        m_view->setCurrentIndex(again);
    else if (currentRule >= 0 && m_lint.count(currentRule) == 0)
        // The rule chosen has no finding left: nothing else gets chosen in
        // its place, so that a second click on Fix all does nothing.
        m_view->setCurrentIndex(QModelIndex());
    m_view->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    currentChanged();
}

int ProblemsPanel::ruleOf(const QModelIndex &index) const
{
    const QVariant rule = index.siblingAtColumn(0).data(RuleRole);
    return rule.isValid() ? rule.toInt() : -1;
}

const vor4::LintFinding *ProblemsPanel::findingOf(const QModelIndex &index) const
{
    const int rule = ruleOf(index);
    const QVariant i = index.siblingAtColumn(0).data(FindingRole);
    if (rule < 0 || !i.isValid())
        return nullptr;
    const QList<vor4::LintFinding> &listed = m_listed[std::size_t(rule)];
    return i.toInt() < listed.size() ? &listed[i.toInt()] : nullptr;
}

void ProblemsPanel::currentChanged()
{
    const QModelIndex current = m_view->currentIndex();
    const int rule = ruleOf(current);
    const bool fixable = !m_busy && rule >= 0 && vor4::LintFixes::canFix(rule);
    const QString how = fixable ? vor4::LintFixes::fixText(rule) : QString();
    m_fix->setEnabled(fixable && findingOf(current));
    m_fixAll->setEnabled(fixable);
    m_fixAll->setText(fixable ? QStringLiteral("Fix &all %1").arg(m_lint.count(rule)) : QStringLiteral("Fix &all"));
    m_fix->setToolTip(fixable ? QStringLiteral("Fix the chosen finding: ") + how
                              : QStringLiteral("Fix the chosen finding, when its rule has a fix"));
    m_fixAll->setToolTip(fixable ? QStringLiteral("Fix every %1 finding: %2").arg(ruleText(rule), how)
                                 : QStringLiteral("Fix every finding of the chosen rule, when it has a fix"));
}

QMenu *ProblemsPanel::contextMenu(const QModelIndex &index)
{
    auto *menu = new QMenu(this);
    const int rule = ruleOf(index);
    const vor4::LintFinding *f = findingOf(index);
    if (m_busy || rule < 0)
        return menu;
    if (vor4::LintFixes::canFix(rule)) {
        QAction *one = menu->addAction(QStringLiteral("Fix"));
        one->setEnabled(f);
        const QPersistentModelIndex at(index);
        connect(one, &QAction::triggered, this, [this, at] { fix(at, false); });
        QAction *all = menu->addAction(QStringLiteral("Fix all %1").arg(m_lint.count(rule)));
        connect(all, &QAction::triggered, this, [this, at] { fix(at, true); });
    }
    if (f && vor4::LintFinding::isStartRule(rule))
        for (const int player : f->players)
            connect(menu->addAction(QStringLiteral("Move start of player %1 to…").arg(player)), &QAction::triggered, this,
                    [this, player] { moveStart(player); });
    return menu;
}

void ProblemsPanel::fix(const QModelIndex &index, bool all)
{
    const int rule = ruleOf(index);
    if (m_busy || rule < 0 || !vor4::LintFixes::canFix(rule))
        return;
    const vor4::LintFinding *f = findingOf(index);
    if (!all && !f)
        return;
    const std::optional<vor4::LintFinding> one = f ? std::optional(*f) : std::nullopt;
    // Fix all mends what the map holds now, not what was listed a moment ago.
    if (all)
        updateNow();
    const vor4::LintFixes::Result r = all ? vor4::LintFixes::fixAll(*m_document, m_lint, rule)
                                          : vor4::LintFixes::fixOne(*m_document, *one);
    if (!r.ok) {
        Dialogs::instance().error(window(), r.message);
        return;
    }
    const bool starts = rule == vor4::LintFinding::StartApartFromSettler;
    tell(r.plots == 0 ? QStringLiteral("Nothing left to fix")
                      : r.message + QStringLiteral(": ")
                            + counted(r.plots, starts ? "player" : "plot", starts ? "players" : "plots")
                            + QStringLiteral(" changed"));
    updateNow();
}

void ProblemsPanel::moveStart(int player)
{
    if (m_busy)
        return;
    const vor4::Document &doc = m_document->document();
    const QString answer = Dialogs::instance().text(
        window(), QStringLiteral("Move the start of player %1 to the plot (X,Y, y from the bottom):").arg(player));
    if (answer.isEmpty())
        return;
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^\\s*(-?\\d{1,7})\\s*,\\s*(-?\\d{1,7})\\s*$")).match(answer);
    if (!m.hasMatch()) {
        Dialogs::instance().error(window(), QStringLiteral("\"%1\" is not a plot: write X,Y").arg(answer.left(40)));
        return;
    }
    const int x = m.captured(1).toInt(), y = m.captured(2).toInt();
    const vor4::EditOperations::Result r = vor4::PieceEdits::setStart(*m_document, player, QPoint(x, doc.fileY(y)));
    if (!r.ok) {
        Dialogs::instance().error(window(), r.message);
        return;
    }
    tell(r.message);
    updateNow();
}

void ProblemsPanel::startsFromSettlers()
{
    if (m_busy)
        return;
    const vor4::LintFixes::Result r = vor4::LintFixes::startsFromSettlers(*m_document);
    if (!r.ok) {
        Dialogs::instance().error(window(), r.message);
        return;
    }
    tell(r.message);
}

void ProblemsPanel::tell(const QString &message)
{
    m_message->setText(message);
    Q_EMIT statusMessage(message);
}

void ProblemsPanel::goTo(int col, int row, std::optional<QPoint> alsoShown)
{
    Q_EMIT plotChosen(QPoint(col, row));
    if (!m_page)
        return;
    MapGrid *grid = m_page->grid();
    if (alsoShown) {
        // Both in view when they fit: the view centred between them.
        const int pitch = grid->cellSize() + grid->gridLineWidth();
        const int fitCols = qMax(1, grid->viewport()->width() / pitch);
        const int fitRows = qMax(1, grid->viewport()->height() / pitch);
        const QRect both = QRect(QPoint(col, row), QSize(1, 1)) | QRect(*alsoShown, QSize(1, 1));
        if (both.width() <= fitCols && both.height() <= fitRows)
            grid->setTopLeft(both.left() - (fitCols - both.width()) / 2, both.top() - (fitRows - both.height()) / 2);
    }
    grid->setCurrentCell(col, row);
    grid->scrollIntoView(col, row);
    m_page->selectCell(col, row);
}

void ProblemsPanel::choose(const QModelIndex &index)
{
    const vor4::LintFinding *found = findingOf(index);
    if (!found)
        return;
    const vor4::LintFinding f = *found;
    const vor4::Document &doc = m_document->document();
    const int cols = doc.columnCount(), rows = doc.rowCount();
    const auto cellOf = [&](QPoint plot) { return QPoint(plot.x(), doc.fileY(plot.y())); };
    if (f.rule == vor4::LintFinding::StartApartFromSettler && f.related) {
        // The settler, where the game founds the city; its stale start line in view too.
        const QPoint settler = cellOf(*f.related);
        goTo(settler.x(), settler.y(), cellOf(QPoint(f.x, f.y)));
        QStringList players;
        for (const int player : f.players)
            players << QString::number(player);
        tell(QStringLiteral("The settler of player %1 at %2,%3; the start line at %4,%5")
                 .arg(players.join(QStringLiteral(", ")))
                 .arg(f.related->x())
                 .arg(f.related->y())
                 .arg(f.x)
                 .arg(f.y));
        return;
    }
    if (doc.PlotTexts.contains(f.x, doc.fileY(f.y))) {
        goTo(f.x, doc.fileY(f.y), f.related ? std::optional(cellOf(*f.related)) : std::nullopt);
        return;
    }
    // Off the map: the nearest plot on its edge.
    const QPoint edge(qBound(0, f.x, cols - 1), qBound(0, f.y, rows - 1));
    goTo(edge.x(), doc.fileY(edge.y()));
    tell(QStringLiteral("%1,%2 is outside the %3 x %4 map: the nearest plot on its edge, %5,%6, is shown")
             .arg(f.x)
             .arg(f.y)
             .arg(cols)
             .arg(rows)
             .arg(edge.x())
             .arg(edge.y()));
}

void ProblemsPanel::paintOverlay(QPainter &painter, const QRect &area)
{
    MapGrid *grid = m_page->grid();
    const vor4::Document &doc = m_document->document();
    if (grid->colCount() != doc.columnCount() || grid->rowCount() != doc.rowCount())
        return;
    const int pitch = grid->cellSize() + grid->gridLineWidth();
    const int cols = grid->colCount(), rows = grid->rowCount();
    const int left = grid->leftCol() + qMax(0, area.left()) / pitch;
    const int top = grid->topRow() + qMax(0, area.top()) / pitch;
    const int right = qMin(cols - 1, grid->leftCol() + area.right() / pitch);
    const int bottom = qMin(rows - 1, grid->topRow() + area.bottom() / pitch);
    // A square in the cell's top right corner: the plot stays readable.
    const int size = qMax(2, grid->cellSize() / 4);
    const QColor colour = QColor::fromRgb(Colour);
    for (int row = top; row <= bottom; ++row) {
        auto it = std::lower_bound(m_marked.begin(), m_marked.end(), qint64(row) * cols + left);
        for (int col = left; col <= right; ++col) {
            while (it != m_marked.end() && *it < qint64(row) * cols + col)
                ++it;
            const bool piece = it != m_marked.end() && *it == qint64(row) * cols + col;
            if (!piece && !m_lint.hasPlotFinding(col, rows - 1 - row))
                continue;
            const QRect r = grid->cellRect(col, row);
            painter.fillRect(r.right() + 1 - size, r.top(), size, size, colour);
        }
    }
}
