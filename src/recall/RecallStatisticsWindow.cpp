#include "recall/RecallStatisticsWindow.h"

#include "core/BackgroundJob.h"
#include "drills/DrillStatisticsView.h"
#include "recall/RecallHistory.h"
#include "recall/RecallHub.h"
#include "recall/RecallTableModel.h"
#include "ui/Plot.h"
#include "ui/WindowParts.h"

#include <QDateTime>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

Plot *makeChart(QWidget *parent, const char *name, const QString &title)
{
    auto *plot = new Plot(title, parent);
    plot->setObjectName(QLatin1String(name));
    return plot;
}

// Day labels under a plot of `count` days starting `first` days from today.
QStringList dayLabels(qint64 now, qint64 utcOffset, int first, int count)
{
    QStringList labels;
    const QDateTime today = QDateTime::fromMSecsSinceEpoch(now + utcOffset, Qt::UTC);
    for (int i = 0; i < count; ++i)
        labels.append(today.addDays(first + i).toString(QStringLiteral("MM-dd")));
    return labels;
}

// One bar or point for each of `labels`, every `step`th label shown, and counts from 0
// to at least `most` at the left.
Plot::Content plotOver(const QStringList &labels, int step, qreal most,
                       const QString &suffix = QString())
{
    Plot::Content content;
    content.xFrom = -0.5;
    content.xTo = qreal(labels.size()) - 0.5;
    // The last label (today) is always shown.
    for (qsizetype i = (labels.size() - 1) % step; i < labels.size(); i += step)
        content.xTicks.append({qreal(i), labels.at(i)});
    content.yTicks = Plot::countTicks(most, suffix);
    return content;
}

} // namespace

RecallStatisticsWindow::RecallStatisticsWindow(QWidget *parent)
    : QWidget(parent), m_history(RecallHub::history()), m_model(new RecallTableModel(this)),
      m_sorted(new QSortFilterProxyModel(this)), m_job(new BackgroundJob(this))
{
    setObjectName(QStringLiteral("RecallStatisticsWindow"));
    setWindowTitle(tr("Recall Statistics"));

    m_retention = new QDoubleSpinBox(this);
    m_retention->setObjectName(QStringLiteral("retentionSpin"));
    m_retention->setRange(Fsrs::minRetention, Fsrs::maxRetention);
    m_retention->setSingleStep(0.01);
    m_retention->setDecimals(2);
    m_retention->setValue(m_history->retention());
    m_retention->setAccessibleName(tr("Desired retention"));
    m_retention->setToolTip(tr("The chance of recalling a number that its next recall aims "
                               "at: higher means more reviews, lower more forgetting."));
    m_streak = WindowParts::label(this, "streakLabel");
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("searchEdit"));
    m_search->setPlaceholderText(tr("Search the descriptions"));
    m_search->setClearButtonEnabled(true);

    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(RecallTableModel::SortRole);
    m_table = new QTreeView(this);
    m_table->setObjectName(QStringLiteral("recallTable"));
    m_table->setModel(m_sorted);
    m_table->setRootIsDecorated(false);
    m_table->setUniformRowHeights(true);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(RecallTableModel::DueColumn, Qt::AscendingOrder);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->header()->setStretchLastSection(false);
    m_table->header()->resizeSection(RecallTableModel::DescriptionColumn, 200);
    m_table->header()->resizeSection(RecallTableModel::NumberColumn, 140);
    m_table->header()->resizeSection(RecallTableModel::DueColumn, 130);
    m_table->installEventFilter(this);

    m_answersChart = makeChart(this, "answersChart", tr("Answers per day (right, wrong)"));
    m_dueChart = makeChart(this, "dueChart", tr("Numbers due per day"));
    m_retentionChart = makeChart(this, "retentionChart", tr("True retention per week (%)"));
    m_digitsChart = makeChart(this, "digitsChart", tr("Digits you hold"));

    auto *top = new QHBoxLayout;
    auto *retentionLabel = WindowParts::label(this, "retentionLabel", tr("Desired retention:"));
    retentionLabel->setBuddy(m_retention);
    top->addWidget(retentionLabel);
    top->addWidget(m_retention);
    top->addSpacing(20);
    top->addWidget(m_streak, 1);
    top->addWidget(m_search, 1);

    auto *plots = new QWidget(this);
    auto *grid = new QGridLayout(plots);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(m_answersChart, 0, 0);
    grid->addWidget(m_dueChart, 0, 1);
    grid->addWidget(m_retentionChart, 1, 0);
    grid->addWidget(m_digitsChart, 1, 1);
    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_table);
    splitter->addWidget(plots);
    splitter->setStretchFactor(1, 2);

    // The numbers as they were, and the drills on a page of their own.
    auto *numbers = new QWidget(this);
    auto *numbersLayout = new QVBoxLayout(numbers);
    numbersLayout->addLayout(top);
    numbersLayout->addWidget(splitter, 1);
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("statisticsTabs"));
    tabs->addTab(numbers, tr("Numbers"));
    tabs->addTab(new DrillStatisticsView(this), tr("Drills"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs, 1);
    resize(900, 760);

    connect(m_retention, &QDoubleSpinBox::valueChanged, this,
            &RecallStatisticsWindow::retentionChosen);
    connect(m_search, &QLineEdit::textChanged, this, [this] { findNext(false); });
    connect(m_search, &QLineEdit::returnPressed, this, [this] { findNext(true); });
    connect(m_history, &RecallHistory::changed, this, [this] {
        if (isVisible())
            refresh();
    });
}

bool RecallStatisticsWindow::isComputing() const
{
    return m_job->isRunning();
}

void RecallStatisticsWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    refresh();
}

void RecallStatisticsWindow::retentionChosen(double retention)
{
    if (qFuzzyCompare(retention, m_history->retention()))
        return;
    RecallHub::saveRetention(retention);
    m_history->setRetention(retention);
}

void RecallStatisticsWindow::refresh()
{
    const qint64 now = m_history->now();
    // The user's days as the clock shows them now.
    const qint64 utcOffset = qint64(QDateTime::fromMSecsSinceEpoch(now).offsetFromUtc()) * 1000;
    m_model->setItems(m_history->items(), m_history->model(), now, utcOffset);
    if (m_job->isRunning()) {
        m_refreshAgain = true;
        return;
    }
    auto figures = std::make_shared<RecallStatistics::Figures>();
    const Fsrs model = m_history->model();
    const RecallLog::History log = m_history->log();
    const QList<RecallItem> items = m_history->items();
    m_job->start(
        [figures, model, log, items, now, utcOffset] {
            *figures = RecallStatistics::compute(model, log, items, now, utcOffset);
        },
        [this, figures, now, utcOffset] {
            showFigures(*figures, now, utcOffset);
            if (std::exchange(m_refreshAgain, false))
                refresh();
        });
}

void RecallStatisticsWindow::showFigures(const RecallStatistics::Figures &f, qint64 now,
                                         qint64 utcOffset)
{
    using namespace RecallStatistics;
    m_streak->setText(f.streak == 1
                          ? tr("Streak: 1 day with every due number done")
                          : tr("Streak: %1 days with every due number done").arg(f.streak));

    {
        Plot::Series right{tr("Right"), QColor(0, 160, 0), {}};
        Plot::Series wrong{tr("Wrong"), QColor(220, 0, 0), {}};
        int most = 0;
        for (int i = 0; i < days; ++i) {
            right.points.append({qreal(i), qreal(f.right.at(i))});
            wrong.points.append({qreal(i), qreal(f.wrong.at(i))});
            most = std::max(most, f.right.at(i) + f.wrong.at(i));
        }
        Plot::Content content = plotOver(dayLabels(now, utcOffset, 1 - days, days), 7, most);
        content.style = Plot::Style::StackedBars;
        content.series = {right, wrong};
        content.legend = true;
        m_answersChart->setContent(content);
    }
    {
        Plot::Series due{tr("Due"), QColor(), {}};
        int most = 0;
        for (int i = 0; i < days; ++i) {
            due.points.append({qreal(i), qreal(f.due.at(i))});
            most = std::max(most, f.due.at(i));
        }
        Plot::Content content = plotOver(dayLabels(now, utcOffset, 0, days), 7, most);
        content.style = Plot::Style::Bars;
        content.series = {due};
        m_dueChart->setContent(content);
    }
    {
        Plot::Series retention;
        QStringList weekLabels;
        const QDateTime today = QDateTime::fromMSecsSinceEpoch(now + utcOffset, Qt::UTC);
        for (int w = 0; w < weeks; ++w) {
            const QDate date = today.date().addDays(7 * (w - weeks + 1));
            weekLabels.append(date.addDays(1 - date.dayOfWeek()).toString(QStringLiteral("MM-dd")));
            if (f.retention.at(w) >= 0)
                retention.points.append({qreal(w), f.retention.at(w) * 100});
        }
        Plot::Content content = plotOver(weekLabels, 3, 100, QStringLiteral(" %"));
        content.series = {retention};
        m_retentionChart->setContent(content);
    }
    {
        Plot::Series digits;
        qint64 most = 0;
        for (int i = 0; i < days; ++i) {
            digits.points.append({qreal(i), qreal(f.digitsHeld.at(i))});
            most = std::max(most, f.digitsHeld.at(i));
        }
        Plot::Content content = plotOver(dayLabels(now, utcOffset, 1 - days, days), 7, qreal(most));
        content.series = {digits};
        m_digitsChart->setContent(content);
    }
}

void RecallStatisticsWindow::findNext(bool after)
{
    const QString text = m_search->text();
    const int rows = m_sorted->rowCount();
    if (text.isEmpty() || rows == 0)
        return;
    const QModelIndex current = m_table->currentIndex();
    const int start = current.isValid() ? current.row() + (after ? 1 : 0) : 0;
    // Through the rows as they are shown, from the current one, and round again.
    for (int i = 0; i < rows; ++i) {
        const int row = (start + i) % rows;
        const QModelIndex index = m_sorted->index(row, RecallTableModel::DescriptionColumn);
        if (index.data().toString().contains(text)) {
            m_table->setCurrentIndex(index);
            m_table->scrollTo(index);
            return;
        }
    }
    m_table->clearSelection();
}

bool RecallStatisticsWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Typing into the table searches, as in the Review window.
    if (watched == m_table && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        if (key->key() == Qt::Key_Backspace) {
            m_search->backspace();
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            !m_search->text().isEmpty()) {
            findNext(true);
            return true;
        }
        if (!text.isEmpty() && text.at(0).isPrint() &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            m_search->insert(text);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
