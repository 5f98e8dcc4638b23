#include "recall/RecallStatisticsWindow.h"

#include "core/BackgroundJob.h"
#include "drills/DrillStatisticsView.h"
#include "recall/RecallHistory.h"
#include "recall/RecallHub.h"
#include "recall/RecallTableModel.h"
#include "ui/WindowParts.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLineSeries>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStackedBarSeries>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>
#include <QValueAxis>

namespace {

QChartView *makeChart(QWidget *parent, const char *name, const QString &title)
{
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    auto *view = new QChartView(chart, parent);
    view->setObjectName(QLatin1String(name));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(280, 200);
    return view;
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

// Puts a series on axes: `labels` (one per bar or point, every `step`th shown) below,
// counts from 0 to `top` at the left.
void setAxes(QChart *chart, QAbstractSeries *series, const QStringList &labels, int step, qreal top,
             bool percent = false)
{
    // A chart gives up an axis it removes without deleting it.
    for (QAbstractAxis *axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    auto *x = new QCategoryAxis;
    x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    x->setRange(-0.5, qreal(labels.size()) - 0.5);
    // The last label (today) is always shown; the axis wants them left to right.
    for (qsizetype i = (labels.size() - 1) % step; i < labels.size(); i += step)
        x->append(labels.at(i), qreal(i));
    auto *y = new QValueAxis;
    y->setRange(0, std::max<qreal>(top, 1));
    y->setLabelFormat(percent ? QStringLiteral("%.0f %%") : QStringLiteral("%.0f"));
    // Whole numbers on the ticks.
    if (!percent && top <= 4)
        y->setTickCount(int(std::max<qreal>(top, 1)) + 1);
    else if (!percent)
        y->applyNiceNumbers();
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
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
        QChart *chart = m_answersChart->chart();
        chart->removeAllSeries();
        auto *right = new QBarSet(tr("Right"));
        auto *wrong = new QBarSet(tr("Wrong"));
        right->setColor(QColor(0, 160, 0));
        wrong->setColor(QColor(220, 0, 0));
        int most = 0;
        for (int i = 0; i < days; ++i) {
            right->append(f.right.at(i));
            wrong->append(f.wrong.at(i));
            most = std::max(most, f.right.at(i) + f.wrong.at(i));
        }
        auto *series = new QStackedBarSeries;
        series->append(right);
        series->append(wrong);
        chart->addSeries(series);
        chart->legend()->show();
        setAxes(chart, series, dayLabels(now, utcOffset, 1 - days, days), 7, most);
    }
    {
        QChart *chart = m_dueChart->chart();
        chart->removeAllSeries();
        auto *due = new QBarSet(tr("Due"));
        int most = 0;
        for (int n : f.due) {
            due->append(n);
            most = std::max(most, n);
        }
        auto *series = new QBarSeries;
        series->append(due);
        chart->addSeries(series);
        setAxes(chart, series, dayLabels(now, utcOffset, 0, days), 7, most);
    }
    {
        QChart *chart = m_retentionChart->chart();
        chart->removeAllSeries();
        auto *series = new QLineSeries;
        QStringList weekLabels;
        const QDateTime today = QDateTime::fromMSecsSinceEpoch(now + utcOffset, Qt::UTC);
        for (int w = 0; w < weeks; ++w) {
            const QDate date = today.date().addDays(7 * (w - weeks + 1));
            weekLabels.append(date.addDays(1 - date.dayOfWeek()).toString(QStringLiteral("MM-dd")));
            if (f.retention.at(w) >= 0)
                series->append(w, f.retention.at(w) * 100);
        }
        chart->addSeries(series);
        setAxes(chart, series, weekLabels, 3, 100, true);
    }
    {
        QChart *chart = m_digitsChart->chart();
        chart->removeAllSeries();
        auto *series = new QLineSeries;
        qint64 most = 0;
        for (int i = 0; i < days; ++i) {
            series->append(i, qreal(f.digitsHeld.at(i)));
            most = std::max(most, f.digitsHeld.at(i));
        }
        chart->addSeries(series);
        setAxes(chart, series, dayLabels(now, utcOffset, 1 - days, days), 7, qreal(most));
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
