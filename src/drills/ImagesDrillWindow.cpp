#include "drills/ImagesDrillWindow.h"

#include "drills/DrillHistory.h"
#include "drills/DrillHub.h"
#include "drills/DrillStatistics.h"
#include "ui/MessageBox.h"
#include "ui/WindowParts.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QShortcut>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr Fsrs::Grade allGrades[] = {Fsrs::Grade::Again, Fsrs::Grade::Hard, Fsrs::Grade::Good,
                                     Fsrs::Grade::Easy};

QString gradeText(Fsrs::Grade grade)
{
    switch (grade) {
    case Fsrs::Grade::Again:
        return ImagesDrillWindow::tr("Again");
    case Fsrs::Grade::Hard:
        return ImagesDrillWindow::tr("Hard");
    case Fsrs::Grade::Good:
        return ImagesDrillWindow::tr("Good");
    case Fsrs::Grade::Easy:
        break;
    }
    return ImagesDrillWindow::tr("Easy");
}

QTreeWidget *keyList(QWidget *parent, const char *name, const QString &figure)
{
    auto *list = new QTreeWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setRootIsDecorated(false);
    list->setHeaderLabels({ImagesDrillWindow::tr("Key"), ImagesDrillWindow::tr("Image"), figure});
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return list;
}

} // namespace

ImagesDrillWindow::ImagesDrillWindow(QWidget *parent)
    : QWidget(parent), m_history(DrillHub::history())
{
    setObjectName(QStringLiteral("ImagesDrillWindow"));
    setWindowTitle(tr("Images Drill"));

    m_digits = new QComboBox(this);
    m_digits->setObjectName(QStringLiteral("digitsCombo"));
    m_digits->addItem(tr("Keys 0-9"), 1);
    m_digits->addItem(tr("Keys 00-99"), 2);
    m_digits->addItem(tr("Keys 000-999"), 3);
    m_digits->setCurrentIndex(1);
    m_status = WindowParts::label(this, "statusLabel");
    m_status->setWordWrap(true);
    m_keyLabel = WindowParts::label(this, "keyLabel");
    QFont big = m_keyLabel->font();
    big.setPointSizeF(big.pointSizeF() * 3);
    m_keyLabel->setFont(big);
    m_keyLabel->setAlignment(Qt::AlignCenter);
    m_answer = new QLineEdit(this);
    m_answer->setObjectName(QStringLiteral("answerEdit"));
    m_answer->setAccessibleName(tr("Image"));
    m_revealButton = WindowParts::button(this, "revealButton", tr("Reveal"));
    m_revealButton->setAutoDefault(false);
    m_result = WindowParts::label(this, "resultLabel");
    m_result->setWordWrap(true);

    m_grades = new QButtonGroup(this);
    auto *gradeRow = new QHBoxLayout;
    const char *names[] = {"againButton", "hardButton", "goodButton", "easyButton"};
    for (int i = 0; i < 4; ++i) {
        QPushButton *button = WindowParts::button(this, names[i], gradeText(allGrades[i]));
        button->setAutoDefault(false);
        button->setToolTip(tr("Key %1").arg(i + 1));
        m_grades->addButton(button, int(allGrades[i]));
        gradeRow->addWidget(button);
        auto *key = new QShortcut(QKeySequence(Qt::Key_1 + i), this);
        key->setContext(Qt::WidgetWithChildrenShortcut);
        connect(key, &QShortcut::activated, this, [this, i] { grade(allGrades[i]); });
    }
    connect(m_grades, &QButtonGroup::idClicked, this, [this](int id) { grade(Fsrs::Grade(id)); });

    m_slowest = keyList(this, "slowestList", tr("Median"));
    m_missed = keyList(this, "missedList", tr("Missed"));

    auto *layout = new QGridLayout(this);
    auto *drill = new QVBoxLayout;
    drill->addWidget(m_digits);
    drill->addWidget(m_status);
    drill->addWidget(m_keyLabel, 1);
    auto *answerRow = new QHBoxLayout;
    answerRow->addWidget(m_answer, 1);
    answerRow->addWidget(m_revealButton);
    drill->addLayout(answerRow);
    drill->addWidget(m_result);
    drill->addLayout(gradeRow);
    layout->addLayout(drill, 0, 0, 2, 1);
    layout->addWidget(WindowParts::label(this, "slowestLabel", tr("Slowest keys")), 0, 1);
    layout->addWidget(m_slowest, 1, 1);
    layout->addWidget(WindowParts::label(this, "missedLabel", tr("Most missed keys")), 0, 2);
    layout->addWidget(m_missed, 1, 2);
    layout->setColumnStretch(0, 2);
    layout->setColumnStretch(1, 1);
    layout->setColumnStretch(2, 1);
    resize(820, 420);

    connect(m_digits, &QComboBox::currentIndexChanged, this, &ImagesDrillWindow::askNext);
    connect(m_answer, &QLineEdit::textChanged, this, &ImagesDrillWindow::answerChanged);
    connect(m_answer, &QLineEdit::returnPressed, this, &ImagesDrillWindow::enterPressed);
    connect(m_revealButton, &QPushButton::clicked, this, &ImagesDrillWindow::reveal);
    connect(m_history, &DrillHistory::changed, this, &ImagesDrillWindow::showLists);

    // Keys fall due as time passes.
    auto *due = new QTimer(this);
    due->start(30 * 1000);
    connect(due, &QTimer::timeout, this, [this] {
        if (m_state == State::Idle && isVisible())
            askNext();
    });
}

void ImagesDrillWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_state == State::Idle)
        askNext();
    showLists();
}

void ImagesDrillWindow::askNext()
{
    m_images = DrillHub::images();
    m_answer->clear();
    m_result->clear();
    m_firstKeyAt = 0;
    for (QAbstractButton *button : m_grades->buttons())
        button->setEnabled(false);
    const QStringList keys = m_images.keys(m_digits->currentData().toInt());
    const qint64 now = m_history->now();
    const QStringList due = m_history->dueKeys(keys, now);
    if (due.isEmpty()) {
        m_state = State::Idle;
        m_key.clear();
        m_keyLabel->clear();
        m_answer->setEnabled(false);
        m_revealButton->setEnabled(false);
        if (keys.isEmpty()) {
            m_status->setText(tr("You have no images for these keys yet. Give them in "
                                 "Tools › My Images."));
        } else {
            const qint64 next = m_history->nextDue(keys, now);
            m_status->setText(
                tr("Nothing is due. The next key is due %1 (in %2).")
                    .arg(QLocale().toString(QDateTime::fromMSecsSinceEpoch(next).toLocalTime(),
                                            QLocale::ShortFormat),
                         Fsrs::intervalText(next - now)));
        }
        return;
    }
    m_state = State::Asking;
    m_key = due.first();
    m_status->setText(due.size() == 1 ? tr("1 key due") : tr("%1 keys due").arg(due.size()));
    m_keyLabel->setText(m_key);
    m_answer->setEnabled(true);
    m_answer->setReadOnly(false);
    m_revealButton->setEnabled(true);
    m_answer->setFocus();
    m_shownAt = now;
}

void ImagesDrillWindow::answerChanged()
{
    // The time to the first key typed is how long the image took to come.
    if (m_state == State::Asking && m_firstKeyAt == 0 && !m_answer->text().isEmpty())
        m_firstKeyAt = m_history->now();
}

void ImagesDrillWindow::enterPressed()
{
    if (m_state == State::Judged) {
        askNext();
        return;
    }
    if (m_state != State::Asking || m_answer->text().trimmed().isEmpty())
        return;
    const QString image = m_images.image(m_key);
    const bool right = m_answer->text().trimmed().compare(image, Qt::CaseInsensitive) == 0;
    const qint64 milliseconds = m_firstKeyAt - m_shownAt;
    const Fsrs::Grade grade = DrillHistory::gradeFor(right, milliseconds);
    if (!record(grade, right, milliseconds))
        return;
    m_state = State::Judged;
    m_answer->setReadOnly(true);
    m_revealButton->setEnabled(false);
    m_result->setText(right ? tr("Right: %1 (%2)").arg(image, gradeText(grade))
                            : tr("Wrong: %1 is %2 (%3)").arg(m_key, image, gradeText(grade)));
}

void ImagesDrillWindow::reveal()
{
    if (m_state != State::Asking)
        return;
    m_state = State::Revealed;
    m_firstKeyAt = m_history->now();
    m_answer->setReadOnly(true);
    m_revealButton->setEnabled(false);
    m_result->setText(tr("%1 is %2. How well did you know it?").arg(m_key, m_images.image(m_key)));
    for (QAbstractButton *button : m_grades->buttons())
        button->setEnabled(true);
}

void ImagesDrillWindow::grade(Fsrs::Grade grade)
{
    if (m_state != State::Revealed)
        return;
    if (record(grade, grade != Fsrs::Grade::Again, m_firstKeyAt - m_shownAt))
        askNext();
}

bool ImagesDrillWindow::record(Fsrs::Grade grade, bool right, qint64 milliseconds)
{
    DrillLog::Result result;
    result.time = m_history->now();
    result.drill = DrillLog::Drill::Images;
    result.grade = grade;
    result.right = right;
    result.key = m_key;
    result.milliseconds = milliseconds;
    QString error;
    if (m_history->record(result, &error))
        return true;
    MessageBox::inform(this, tr("Your answer could not be saved. %1").arg(error),
                       QMessageBox::Warning);
    return false;
}

void ImagesDrillWindow::showLists()
{
    if (!isVisible())
        return;
    const DrillImages images = DrillHub::images();
    const QList<DrillStatistics::KeyFigures> keys =
        DrillStatistics::perKey(m_history->answers(DrillLog::Drill::Images));
    auto fill = [&](QTreeWidget *list, const QList<DrillStatistics::KeyFigures> &figures,
                    bool times) {
        list->clear();
        for (const DrillStatistics::KeyFigures &key : figures) {
            const QString figure =
                times ? tr("%1 s").arg(double(key.medianMilliseconds) / 1000, 0, 'f', 1)
                      : tr("%1 of %2").arg(key.misses()).arg(key.answers);
            new QTreeWidgetItem(list, {key.key, images.image(key.key), figure});
        }
    };
    fill(m_slowest, DrillStatistics::slowest(keys), true);
    fill(m_missed, DrillStatistics::mostMissed(keys), false);
}
