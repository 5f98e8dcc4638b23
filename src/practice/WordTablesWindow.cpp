#include "practice/WordTablesWindow.h"

#include "core/AppInfo.h"
#include "core/BackgroundJob.h"
#include "practice/WordTables.h"
#include "remembered/RememberedNumbers.h"
#include "ui/Twips.h"
#include "ui/WindowSize.h"
#include "ui/Windows.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QTreeWidget>

#include <algorithm>
#include <memory>
#include <numeric>
#include <optional>

namespace {

constexpr int clientWidth = 9600;
constexpr int clientHeight = 7200;
constexpr int margin = 120;
// The column that is centred, in both tables.
constexpr int centredColumn = 1;

// The order QTreeWidget::sortItems() gives: cells compare as text, letter case
// counting, and equal ones keep their order, in either direction.
template <class Key> void sortStably(QList<Key> &items, Qt::SortOrder order, auto textOf)
{
    std::stable_sort(items.begin(), items.end(), [&](const Key &a, const Key &b) {
        return order == Qt::AscendingOrder ? textOf(a) < textOf(b) : textOf(b) < textOf(a);
    });
}

// Items not yet in a view, which any thread may make.
QList<QTreeWidgetItem *> itemsOf(const QList<QStringList> &rows)
{
    QList<QTreeWidgetItem *> items;
    items.reserve(rows.size());
    for (const QStringList &row : rows) {
        auto *item = new QTreeWidgetItem(row);
        item->setTextAlignment(centredColumn, Qt::AlignCenter);
        items.append(item);
    }
    return items;
}

} // namespace

WordTablesWindow::WordTablesWindow(QWidget *parent) : QWidget(parent), m_job(new BackgroundJob(this))
{
    setObjectName(QStringLiteral("MostUsed"));
    // Opens at its designed size; the user may make it bigger.
    setMinimumSize(Twips::toPixels(clientWidth), Twips::toPixels(clientHeight));
    resize(minimumSize());

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setColumnCount(WordTables::columnCount);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionsClickable(true);
    m_list->header()->setSectionsMovable(false);
    Twips::place(m_list, margin, margin, clientWidth - 2 * margin, clientHeight - 2 * margin);

    connect(m_list->header(), &QHeaderView::sectionClicked, this, &WordTablesWindow::headerClicked);

    load();
    WindowSize::restore(this, AppInfo::mostUsedSizeSetting);
}

void WordTablesWindow::load()
{
    sizeColumns();
    m_list->headerItem()->setTextAlignment(centredColumn, Qt::AlignCenter);

    m_sortColumn = 0;
    m_sortOrder = Qt::AscendingOrder;
    m_sorting = false;
    m_list->header()->setSortIndicatorShown(false);
}

void WordTablesWindow::sizeColumns()
{
    // The columns share the room the rows have, so that no column is cut off.
    const int width = m_list->width() - 2 * m_list->frameWidth() -
                      m_list->verticalScrollBar()->sizeHint().width();
    m_list->setColumnWidth(0, width / 6);
    m_list->setColumnWidth(1, width / 3);
    m_list->setColumnWidth(2, width / 6);
    m_list->setColumnWidth(3, width - width / 6 - width / 3 - width / 6);
}

void WordTablesWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The list fills the window apart from its margin, and its columns grow with it.
    const int edge = Twips::toPixels(margin);
    m_list->setGeometry(rect().marginsRemoved(QMargins(edge, edge, edge, edge)));
    sizeColumns();
}

void WordTablesWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    WindowSize::remember(this, AppInfo::mostUsedSizeSetting);
}

void WordTablesWindow::closeEvent(QCloseEvent *event)
{
    // The next opening starts like a new window: empty, sorted on the first column.
    ++m_table;
    m_list->clear();
    load();
    event->accept();
}

void WordTablesWindow::Populate()
{
    m_list->clear();
    setTitles({tr("Number"), tr("Word"), tr("Number"), tr("Word")});
    m_sorting = false;
    m_list->header()->setSortIndicatorShown(false);
    setWindowTitle(tr("1-100"));
    build([start = rangeStart, end = rangeEnd](const WordCollection &words) {
        return WordTables::pegRows(words, start, end);
    });
}

void WordTablesWindow::PopulateMost()
{
    m_list->clear();
    setTitles({tr("Count"), tr("Value"), tr("Word"), QString()});
    m_sorting = true;
    m_list->header()->setSortIndicatorShown(true);
    setWindowTitle(tr("Most Used"));
    build(WordTables::mostUsedRows);
}

bool WordTablesWindow::isBusy() const
{
    return m_job->isRunning() || m_waitingForList;
}

void WordTablesWindow::build(const std::function<QList<QStringList>(const WordCollection &)> &rows)
{
    // Every count is needed, so a list still being read is waited for.
    const quint64 table = ++m_table;
    m_waitingForList = true;
    RememberedNumbers::instance()->whenLoaded(this, [this, table, rows] {
        m_waitingForList = false;
        if (table == m_table)
            buildNow(rows, table);
    });
}

void WordTablesWindow::buildNow(const std::function<QList<QStringList>(const WordCollection &)> &rows,
                        quint64 table)
{
    const RememberedNumbers *numbers = RememberedNumbers::instance();
    const WordUsage &usage = numbers->usage();
    if (!RememberedNumbers::isLong(numbers->entryCount())) {
        fill(rows(usage.collection()));
        if (m_sorting)
            sortNow();
        return;
    }
    // The rows come sorted as sortNow() would sort them once shown.
    // Items that never reach the table go with the last reference to them.
    const std::shared_ptr<QList<QTreeWidgetItem *>> made(new QList<QTreeWidgetItem *>,
                                                         [](QList<QTreeWidgetItem *> *items) {
                                                             qDeleteAll(*items);
                                                             delete items;
                                                         });
    const int column = m_sortColumn;
    const std::optional<Qt::SortOrder> order =
        m_sorting ? std::optional(m_sortOrder) : std::nullopt;
    m_job->start(
        [made, usage, rows, column, order] {
            QList<QStringList> texts = rows(usage.collection());
            if (order) {
                sortStably(texts, *order, [column](const QStringList &row) -> const QString & {
                    return row.at(column);
                });
            }
            *made = itemsOf(texts);
        },
        [this, made, table, column, order] {
            if (table != m_table)
                return;
            m_list->addTopLevelItems(std::exchange(*made, {}));
            if (!order)
                return;
            m_list->header()->setSortIndicator(column, *order);
            // A click on a header while the rows were made asks for another order.
            if (column != m_sortColumn || *order != m_sortOrder)
                sortNow();
        });
}

void WordTablesWindow::setTitles(const QStringList &titles)
{
    for (int column = 0; column < WordTables::columnCount; ++column)
        m_list->headerItem()->setText(column, titles.value(column));
}

void WordTablesWindow::fill(const QList<QStringList> &rows)
{
    m_list->addTopLevelItems(itemsOf(rows));
}

void WordTablesWindow::headerClicked(int column)
{
    m_sortColumn = column;
    m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    // The peg table keeps the order of its numbers; the choice waits for the next
    // most-used table.
    if (m_sorting)
        sortNow();
    else
        m_list->header()->setSortIndicator(m_sortColumn, m_sortOrder);
}

void WordTablesWindow::sortNow()
{
    // Cells compare as text, so a count of 10 comes between 1 and 2.
    const int rows = m_list->topLevelItemCount();
    if (!RememberedNumbers::isLong(RememberedNumbers::instance()->entryCount())) {
        m_list->sortItems(m_sortColumn, m_sortOrder);
        return;
    }
    // Work still running sorts again when it ends, should the order have changed.
    if (m_job->isRunning())
        return;
    // The rows are put in their new order once it is known; meanwhile they stay.
    QStringList texts;
    texts.reserve(rows);
    for (int row = 0; row < rows; ++row)
        texts.append(m_list->topLevelItem(row)->text(m_sortColumn));
    auto order = std::make_shared<QList<int>>(rows);
    std::iota(order->begin(), order->end(), 0);
    const quint64 table = m_table;
    const int column = m_sortColumn;
    const Qt::SortOrder direction = m_sortOrder;
    m_job->start(
        [order, texts, direction] {
            sortStably(*order, direction,
                       [&texts](int row) -> const QString & { return texts.at(row); });
        },
        [this, order, table, column, direction] {
            if (table != m_table)
                return;
            QTreeWidgetItem *current = m_list->currentItem();
            const QList<QTreeWidgetItem *> items = m_list->invisibleRootItem()->takeChildren();
            QList<QTreeWidgetItem *> sorted;
            sorted.reserve(items.size());
            for (const int row : std::as_const(*order))
                sorted.append(items.at(row));
            m_list->addTopLevelItems(sorted);
            m_list->setCurrentItem(current);
            m_list->header()->setSortIndicator(column, direction);
            if (column != m_sortColumn || direction != m_sortOrder)
                sortNow();
        });
}
