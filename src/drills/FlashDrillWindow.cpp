#include "drills/FlashDrillWindow.h"

#include "drills/DrillHistory.h"
#include "drills/DrillHub.h"
#include "drills/DrillStatistics.h"
#include "ui/MessageBox.h"
#include "ui/WindowParts.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTimer>
#include <QVBoxLayout>

FlashDrillWindow::FlashDrillWindow(QWidget *parent)
    : QWidget(parent), m_history(DrillHub::history()), m_hide(new QTimer(this))
{
    setObjectName(QStringLiteral("FlashDrillWindow"));
    setWindowTitle(tr("Flash"));

    m_digits = new QComboBox(this);
    m_digits->setObjectName(QStringLiteral("digitsCombo"));
    m_digits->addItem(tr("Two digits"), 2);
    m_digits->addItem(tr("Three digits"), 3);
    m_shownFor = new QDoubleSpinBox(this);
    m_shownFor->setObjectName(QStringLiteral("shownSpin"));
    m_shownFor->setRange(0.5, 10);
    m_shownFor->setSingleStep(0.1);
    m_shownFor->setDecimals(1);
    m_shownFor->setValue(1);
    m_shownFor->setSuffix(tr(" s"));
    m_shownFor->setAccessibleName(tr("Time shown"));
    m_startButton = WindowParts::button(this, "startButton", tr("Start"));
    m_startButton->setAutoDefault(false);
    m_number = WindowParts::label(this, "numberLabel");
    QFont big = m_number->font();
    big.setPointSizeF(big.pointSizeF() * 4);
    m_number->setFont(big);
    m_number->setAlignment(Qt::AlignCenter);
    m_number->setMinimumHeight(QFontMetrics(big).height() * 2);
    m_answer = new QLineEdit(this);
    m_answer->setObjectName(QStringLiteral("answerEdit"));
    m_answer->setAccessibleName(tr("Image"));
    m_answer->setEnabled(false);
    m_result = WindowParts::label(this, "resultLabel");
    m_summary = WindowParts::label(this, "summaryLabel");

    auto *settings = new QHBoxLayout;
    settings->addWidget(m_digits);
    settings->addWidget(WindowParts::label(this, "shownLabel", tr("Shown for")));
    settings->addWidget(m_shownFor);
    settings->addStretch(1);
    settings->addWidget(m_startButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(settings);
    layout->addWidget(m_number, 1);
    layout->addWidget(m_answer);
    layout->addWidget(m_result);
    layout->addWidget(m_summary);
    resize(460, 340);

    m_hide->setSingleShot(true);
    connect(m_hide, &QTimer::timeout, m_number, &QLabel::clear);
    connect(m_startButton, &QPushButton::clicked, this, [this] { m_running ? stop() : start(); });
    connect(m_answer, &QLineEdit::textChanged, this, &FlashDrillWindow::answerChanged);
    connect(m_answer, &QLineEdit::returnPressed, this, &FlashDrillWindow::enterPressed);
}

void FlashDrillWindow::hideEvent(QHideEvent *event)
{
    stop();
    QWidget::hideEvent(event);
}

void FlashDrillWindow::start()
{
    m_images = DrillHub::images();
    m_keys = m_images.keys(m_digits->currentData().toInt());
    m_result->clear();
    if (m_keys.isEmpty()) {
        m_summary->setText(tr("You have no images for these keys yet. Give them in "
                              "Tools › My Images."));
        return;
    }
    m_running = true;
    m_answers = m_right = 0;
    m_times.clear();
    m_key.clear();
    m_startButton->setText(tr("Stop"));
    m_digits->setEnabled(false);
    m_shownFor->setEnabled(false);
    m_answer->setEnabled(true);
    m_answer->setFocus();
    showSummary();
    showNext();
}

void FlashDrillWindow::stop()
{
    m_running = false;
    m_hide->stop();
    m_number->clear();
    m_answer->clear();
    m_answer->setEnabled(false);
    m_startButton->setText(tr("Start"));
    m_digits->setEnabled(true);
    m_shownFor->setEnabled(true);
}

void FlashDrillWindow::showNext()
{
    // Never the same number twice in a row, when there is another.
    QString key;
    do {
        key = m_keys.at(DrillHub::random().bounded(int(m_keys.size())));
    } while (m_keys.size() > 1 && key == m_key);
    m_key = key;
    m_answer->clear();
    m_firstKeyAt = 0;
    m_number->setText(m_key);
    m_shownAt = m_history->now();
    m_hide->start(qRound(m_shownFor->value() * 1000));
}

void FlashDrillWindow::answerChanged()
{
    if (m_running && m_firstKeyAt == 0 && !m_answer->text().isEmpty())
        m_firstKeyAt = m_history->now();
}

void FlashDrillWindow::enterPressed()
{
    if (!m_running)
        return;
    const QString image = m_images.image(m_key);
    const QString typed = m_answer->text().trimmed();
    // Enter on an empty answer gives the number up: wrong, after the time it took.
    const bool right = !typed.isEmpty() && typed.compare(image, Qt::CaseInsensitive) == 0;
    const qint64 milliseconds = (m_firstKeyAt ? m_firstKeyAt : m_history->now()) - m_shownAt;

    DrillLog::Result result;
    result.time = m_history->now();
    result.drill = DrillLog::Drill::Flash;
    result.right = right;
    result.key = m_key;
    result.milliseconds = milliseconds;
    result.allowed = m_hide->interval();
    QString error;
    if (!m_history->record(result, &error)) {
        MessageBox::inform(this, tr("Your answer could not be saved. %1").arg(error),
                           QMessageBox::Warning);
        stop();
        return;
    }
    ++m_answers;
    m_right += right ? 1 : 0;
    m_times.append(milliseconds);
    m_result->setText(right ? tr("Right: %1 is %2").arg(m_key, image)
                            : tr("Wrong: %1 is %2").arg(m_key, image));
    showSummary();
    showNext();
}

void FlashDrillWindow::showSummary()
{
    if (m_answers == 0) {
        m_summary->clear();
        return;
    }
    m_summary->setText(tr("%1 answered, %2 % right, median %3 s")
                           .arg(m_answers)
                           .arg(qRound(100.0 * m_right / m_answers))
                           .arg(double(DrillStatistics::median(m_times)) / 1000, 0, 'f', 1));
}
