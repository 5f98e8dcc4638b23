#include "drills/SpeedNumbersWindow.h"

#include "drills/DrillHistory.h"
#include "drills/DrillHub.h"
#include "drills/DrillStatistics.h"
#include "drills/SpeedNumbers.h"
#include "ui/MessageBox.h"
#include "ui/WindowParts.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr qint64 minute = 60 * 1000;

QString minutesText(qint64 milliseconds)
{
    return SpeedNumbersWindow::tr("%1 min").arg(double(milliseconds) / minute);
}

} // namespace

SpeedNumbersWindow::SpeedNumbersWindow(QWidget *parent)
    : QWidget(parent), m_history(DrillHub::history()), m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("SpeedNumbersWindow"));
    setWindowTitle(tr("Speed Numbers"));

    m_rowLengthCombo = new QComboBox(this);
    m_rowLengthCombo->setObjectName(QStringLiteral("rowLengthCombo"));
    m_rowLengthCombo->addItem(tr("Rows of 40"), 40);
    m_rowLengthCombo->addItem(tr("Rows of 20"), 20);
    m_rows = new QSpinBox(this);
    m_rows->setObjectName(QStringLiteral("rowsSpin"));
    m_rows->setRange(1, 100);
    m_rows->setValue(3);
    m_rows->setSuffix(tr(" rows"));
    m_timeCombo = new QComboBox(this);
    m_timeCombo->setObjectName(QStringLiteral("timeCombo"));
    m_timeCombo->addItem(tr("1 min"), minute);
    m_timeCombo->addItem(tr("5 min"), 5 * minute);
    m_timeCombo->addItem(tr("Custom"), 0);
    m_minutes = new QSpinBox(this);
    m_minutes->setObjectName(QStringLiteral("minutesSpin"));
    m_minutes->setRange(1, 60);
    m_minutes->setValue(15);
    m_minutes->setSuffix(tr(" min"));
    m_minutes->setEnabled(false);
    m_startButton = WindowParts::button(this, "startButton", tr("Start"));
    m_timerLabel = WindowParts::label(this, "timerLabel");
    QFont big = m_timerLabel->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    m_timerLabel->setFont(big);
    m_doneButton = WindowParts::button(this, "doneButton", tr("Recall Now"));
    m_doneButton->setEnabled(false);

    m_grid = new QTableWidget(this);
    m_grid->setObjectName(QStringLiteral("digitGrid"));
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->horizontalHeader()->setMinimumSectionSize(8);
    m_grid->horizontalHeader()->setDefaultSectionSize(20);
    m_grid->horizontalHeader()->hide();
    m_grid->installEventFilter(this);
    m_score = WindowParts::label(this, "scoreLabel");
    m_score->setWordWrap(true);
    m_mistakes = new QTreeWidget(this);
    m_mistakes->setObjectName(QStringLiteral("mistakesList"));
    m_mistakes->setRootIsDecorated(false);
    m_mistakes->setHeaderLabels({tr("Row"), tr("Digits"), tr("Shown"), tr("Written"), tr("Image")});
    m_mistakes->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_mistakes->setMaximumHeight(140);

    auto *settings = new QHBoxLayout;
    settings->addWidget(m_rowLengthCombo);
    settings->addWidget(m_rows);
    settings->addWidget(m_timeCombo);
    settings->addWidget(m_minutes);
    settings->addWidget(m_startButton);
    settings->addStretch(1);
    settings->addWidget(m_timerLabel);
    settings->addWidget(m_doneButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(settings);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_score);
    layout->addWidget(m_mistakes);
    resize(980, 480);

    m_timer->setInterval(200);
    connect(m_timer, &QTimer::timeout, this, &SpeedNumbersWindow::tick);
    connect(m_timeCombo, &QComboBox::currentIndexChanged, this,
            [this] { m_minutes->setEnabled(m_timeCombo->currentData().toLongLong() == 0); });
    connect(m_startButton, &QPushButton::clicked, this, &SpeedNumbersWindow::start);
    connect(m_doneButton, &QPushButton::clicked, this, [this] {
        if (m_phase == Phase::Memorise)
            startRecall();
        else if (m_phase == Phase::Recall)
            finish();
    });
}

void SpeedNumbersWindow::start()
{
    m_rowLength = m_rowLengthCombo->currentData().toInt();
    m_allowed = m_timeCombo->currentData().toLongLong();
    if (m_allowed == 0)
        m_allowed = m_minutes->value() * minute;
    m_shown = SpeedNumbers::randomDigits(m_rows->value() * m_rowLength, DrillHub::random());
    m_phase = Phase::Memorise;
    m_startedAt = m_history->now();
    fillGrid(m_shown);
    m_score->clear();
    m_mistakes->clear();
    for (QWidget *setting :
         {static_cast<QWidget *>(m_rowLengthCombo), static_cast<QWidget *>(m_rows),
          static_cast<QWidget *>(m_timeCombo), static_cast<QWidget *>(m_minutes),
          static_cast<QWidget *>(m_startButton)})
        setting->setEnabled(false);
    m_doneButton->setText(tr("Recall Now"));
    m_doneButton->setEnabled(true);
    m_timer->start();
    tick();
}

void SpeedNumbersWindow::tick()
{
    if (m_phase != Phase::Memorise)
        return;
    const qint64 left = m_startedAt + m_allowed - m_history->now();
    if (left <= 0) {
        startRecall();
        return;
    }
    // Rounded up: the last second shows as 0:01 until it is over.
    const qint64 seconds = (left + 999) / 1000;
    m_timerLabel->setText(
        QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0')));
}

void SpeedNumbersWindow::startRecall()
{
    m_timer->stop();
    m_memorised = std::min(m_history->now() - m_startedAt, m_allowed);
    m_phase = Phase::Recall;
    m_timerLabel->setText(tr("Recall"));
    m_doneButton->setText(tr("Finish"));
    fillGrid(QString(m_shown.size(), u' '));
    moveTo(0);
    m_grid->setFocus();
}

void SpeedNumbersWindow::fillGrid(const QString &digits)
{
    m_grid->clear();
    m_grid->setColumnCount(m_rowLength);
    m_grid->setRowCount(int(digits.size() + m_rowLength - 1) / m_rowLength);
    for (int i = 0; i < digits.size(); ++i) {
        auto *item = new QTableWidgetItem(digits.at(i) == u' ' ? QString() : QString(digits.at(i)));
        item->setTextAlignment(Qt::AlignCenter);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        m_grid->setItem(i / m_rowLength, i % m_rowLength, item);
    }
    m_grid->resizeColumnsToContents();
}

int SpeedNumbersWindow::currentIndex() const
{
    const QModelIndex current = m_grid->currentIndex();
    return current.isValid() ? current.row() * m_rowLength + current.column() : 0;
}

void SpeedNumbersWindow::moveTo(int index)
{
    index = std::clamp(index, 0, int(m_shown.size()) - 1);
    m_grid->setCurrentCell(index / m_rowLength, index % m_rowLength);
}

void SpeedNumbersWindow::setCell(int index, const QString &text)
{
    m_grid->item(index / m_rowLength, index % m_rowLength)->setText(text);
}

bool SpeedNumbersWindow::eventFilter(QObject *watched, QEvent *event)
{
    // In the recall grid a digit fills the cell and moves on; a blank leaves the cell
    // empty and moves on; Backspace empties the cell, or the one before when it is empty.
    if (watched == m_grid && m_phase == Phase::Recall && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const int index = currentIndex();
        const QString text = key->text();
        if (text.size() == 1 && (text.at(0).isDigit() || text.at(0) == u' ')) {
            setCell(index, text.at(0) == u' ' ? QString() : text);
            moveTo(index + 1);
            return true;
        }
        if (key->key() == Qt::Key_Backspace) {
            const bool empty =
                m_grid->item(index / m_rowLength, index % m_rowLength)->text().isEmpty();
            const int target = empty ? std::max(index - 1, 0) : index;
            setCell(target, QString());
            moveTo(target);
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            moveTo((index / m_rowLength + 1) * m_rowLength);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SpeedNumbersWindow::finish()
{
    QString recalled;
    recalled.reserve(m_shown.size());
    for (int i = 0; i < m_shown.size(); ++i) {
        const QString text = m_grid->item(i / m_rowLength, i % m_rowLength)->text();
        recalled += text.isEmpty() ? QChar(u' ') : text.at(0);
    }
    const SpeedNumbers::Outcome outcome = SpeedNumbers::score(m_shown, recalled, m_rowLength);

    DrillLog::Result result;
    result.time = m_history->now();
    result.drill = DrillLog::Drill::Speed;
    result.rowLength = m_rowLength;
    result.allowed = m_allowed;
    result.milliseconds = m_memorised;
    result.score = outcome.score;
    result.digits = int(m_shown.size());
    QString error;
    if (!m_history->record(result, &error)) {
        MessageBox::inform(this, tr("Your score could not be saved. %1").arg(error),
                           QMessageBox::Warning);
        return;
    }
    m_phase = Phase::Scored;
    m_doneButton->setEnabled(false);
    for (QWidget *setting :
         {static_cast<QWidget *>(m_rowLengthCombo), static_cast<QWidget *>(m_rows),
          static_cast<QWidget *>(m_timeCombo), static_cast<QWidget *>(m_startButton)})
        setting->setEnabled(true);
    m_minutes->setEnabled(m_timeCombo->currentData().toLongLong() == 0);
    m_timerLabel->clear();

    const QList<DrillLog::Result> &results = m_history->results();
    const int before = DrillStatistics::bestBefore(results, results.size() - 1);
    QString text = tr("Score: %1 of %2 digits.").arg(outcome.score).arg(m_shown.size());
    if (outcome.score > before && before >= 0)
        text += u' ' + tr("A personal best for rows of %1 in %2 (it was %3).")
                           .arg(m_rowLength)
                           .arg(minutesText(m_allowed))
                           .arg(before);
    else if (before >= 0)
        text += u' ' + tr("Your best for rows of %1 in %2: %3.")
                           .arg(m_rowLength)
                           .arg(minutesText(m_allowed))
                           .arg(before);
    m_score->setText(text);

    // Each wrong digit is marked; each chunk with one is listed with the user's image.
    const DrillImages images = DrillHub::images();
    const int chunk = images.chunk();
    int listed = -1;
    for (int i = 0; i < m_shown.size(); ++i) {
        QTableWidgetItem *item = m_grid->item(i / m_rowLength, i % m_rowLength);
        if (outcome.cells.at(i) != SpeedNumbers::Cell::Wrong)
            continue;
        item->setBackground(QColor(255, 200, 200));
        item->setForeground(QColor(200, 0, 0));
        item->setToolTip(tr("It was %1").arg(m_shown.at(i)));
        const int from = SpeedNumbers::chunkStart(i, m_rowLength, chunk);
        if (from == listed)
            continue;
        listed = from;
        const int length = std::min(chunk, m_rowLength - from % m_rowLength);
        const QString key = m_shown.mid(from, length);
        const QString image = images.image(key);
        new QTreeWidgetItem(
            m_mistakes, {QString::number(from / m_rowLength + 1),
                         tr("%1-%2").arg(from % m_rowLength + 1).arg(from % m_rowLength + length),
                         key, recalled.mid(from, length).replace(u' ', u'_'),
                         image.isEmpty() ? tr("(no image)") : image});
    }
}
