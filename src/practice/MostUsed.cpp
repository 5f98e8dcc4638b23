#include "practice/MostUsed.h"

#include "core/AppInfo.h"
#include "practice/WordTables.h"
#include "remembered/Form3.h"
#include "ui/Twips.h"
#include "ui/WindowSize.h"
#include "ui/Windows.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QTreeWidget>

namespace {

constexpr int clientWidth = 9600;
constexpr int clientHeight = 7200;
constexpr int margin = 120;
// The column that is centred, in both tables.
constexpr int centredColumn = 1;

} // namespace

MostUsed::MostUsed(QWidget *parent) : QWidget(parent)
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

    connect(m_list->header(), &QHeaderView::sectionClicked, this, &MostUsed::headerClicked);

    load();
    WindowSize::restore(this, AppInfo::mostUsedSizeSetting);
}

void MostUsed::load()
{
    sizeColumns();
    m_list->headerItem()->setTextAlignment(centredColumn, Qt::AlignCenter);

    m_sortColumn = 0;
    m_sortOrder = Qt::AscendingOrder;
    m_sorting = false;
    m_list->header()->setSortIndicatorShown(false);
}

void MostUsed::sizeColumns()
{
    // The columns share the room the rows have, so that no column is cut off.
    const int width = m_list->width() - 2 * m_list->frameWidth() -
                      m_list->verticalScrollBar()->sizeHint().width();
    m_list->setColumnWidth(0, width / 6);
    m_list->setColumnWidth(1, width / 3);
    m_list->setColumnWidth(2, width / 6);
    m_list->setColumnWidth(3, width - width / 6 - width / 3 - width / 6);
}

void MostUsed::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The list fills the window apart from its margin, and its columns grow with it.
    const int edge = Twips::toPixels(margin);
    m_list->setGeometry(rect().marginsRemoved(QMargins(edge, edge, edge, edge)));
    sizeColumns();
}

void MostUsed::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    WindowSize::remember(this, AppInfo::mostUsedSizeSetting);
}

void MostUsed::closeEvent(QCloseEvent *event)
{
    // The next opening starts like a new window: empty, sorted on the first column.
    m_list->clear();
    load();
    event->accept();
}

void MostUsed::Populate()
{
    m_list->clear();
    setTitles({tr("Number"), tr("Word"), tr("Number"), tr("Word")});
    m_sorting = false;
    m_list->header()->setSortIndicatorShown(false);
    setWindowTitle(tr("1-100"));
    fill(WordTables::pegRows(Windows::instance<Form3>()->wordc(), rangeStart, rangeEnd));
}

void MostUsed::PopulateMost()
{
    m_list->clear();
    setTitles({tr("Count"), tr("Value"), tr("Word"), QString()});
    m_sorting = true;
    m_list->header()->setSortIndicatorShown(true);
    setWindowTitle(tr("Most Used"));
    fill(WordTables::mostUsedRows(Windows::instance<Form3>()->wordc()));
    sortNow();
}

void MostUsed::setTitles(const QStringList &titles)
{
    for (int column = 0; column < WordTables::columnCount; ++column)
        m_list->headerItem()->setText(column, titles.value(column));
}

void MostUsed::fill(const QList<QStringList> &rows)
{
    QList<QTreeWidgetItem *> items;
    items.reserve(rows.size());
    for (const QStringList &row : rows) {
        auto *item = new QTreeWidgetItem(row);
        item->setTextAlignment(centredColumn, Qt::AlignCenter);
        items.append(item);
    }
    m_list->addTopLevelItems(items);
}

void MostUsed::headerClicked(int column)
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

void MostUsed::sortNow()
{
    // Cells compare as text, so a count of 10 comes between 1 and 2.
    m_list->sortItems(m_sortColumn, m_sortOrder);
}
