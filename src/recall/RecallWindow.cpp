#include "recall/RecallWindow.h"

#include "recall/RecallHub.h"
#include "recall/RecallStatisticsWindow.h"
#include "recall/RecallTableModel.h"
#include "ui/MessageBox.h"
#include "ui/Pictures.h"
#include "ui/WindowParts.h"
#include "ui/Windows.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QShortcut>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QColor darkBlue(0, 0, 192);
const QColor red(255, 0, 0);

constexpr Fsrs::Grade allGrades[] = {Fsrs::Grade::Again, Fsrs::Grade::Hard, Fsrs::Grade::Good,
                                     Fsrs::Grade::Easy};

enum WordColumn
{
    DigitsColumn,
    WordColumn,
    MarkColumn
};

} // namespace

RecallWindow::RecallWindow(QWidget *parent) : QWidget(parent), m_history(RecallHub::history())
{
    setObjectName(QStringLiteral("RecallWindow"));
    setWindowTitle(tr("Recall Due Numbers"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    m_status = WindowParts::label(this, "statusLabel");
    m_status->setWordWrap(true);
    m_description = WindowParts::label(this, "descriptionLabel");
    m_description->setWordWrap(true);
    QFont big = m_description->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    m_description->setFont(big);

    m_answer = new QLineEdit(this);
    m_answer->setObjectName(QStringLiteral("answerEdit"));
    m_answer->setAccessibleName(tr("Number"));
    m_answer->setFont(big);

    m_hintButton = WindowParts::button(this, "hintButton", tr("Hint"));
    m_hintButton->setAutoDefault(false);
    m_hint = WindowParts::label(this, "hintLabel");
    m_hint->setWordWrap(true);

    m_result = WindowParts::label(this, "resultLabel");
    m_result->setWordWrap(true);
    m_words = new QTreeWidget(this);
    m_words->setObjectName(QStringLiteral("wordsList"));
    m_words->setRootIsDecorated(false);
    m_words->setHeaderLabels({tr("Digits"), tr("Word"), tr("Recalled")});
    m_words->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_words->setMinimumHeight(120);

    m_grades = new QButtonGroup(this);
    m_grades->setExclusive(true);
    auto *gradeRow = new QHBoxLayout;
    const char *names[] = {"againButton", "hardButton", "goodButton", "easyButton"};
    for (int i = 0; i < 4; ++i) {
        QPushButton *button = WindowParts::button(this, names[i], {});
        button->setCheckable(true);
        button->setAutoDefault(false);
        button->setToolTip(tr("Key %1").arg(i + 1));
        m_grades->addButton(button, int(allGrades[i]));
        gradeRow->addWidget(button);
        auto *key = new QShortcut(QKeySequence(Qt::Key_1 + i), this);
        key->setContext(Qt::WidgetWithChildrenShortcut);
        connect(key, &QShortcut::activated, this, [this, i] {
            if (m_state == State::Graded)
                chooseGrade(allGrades[i]);
        });
    }
    connect(m_grades, &QButtonGroup::idClicked, this,
            [this](int id) { chooseGrade(Fsrs::Grade(id)); });

    m_nextButton = WindowParts::button(this, "nextButton", tr("Next"));
    m_nextButton->setAutoDefault(true);
    QPushButton *statistics = WindowParts::button(this, "statisticsButton", tr("Statistics"));
    statistics->setAutoDefault(false);
    QPushButton *close = WindowParts::button(this, "closeButton", tr("Close"));
    close->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_description);
    auto *answerRow = new QHBoxLayout;
    answerRow->addWidget(m_answer, 1);
    answerRow->addWidget(m_hintButton);
    layout->addLayout(answerRow);
    layout->addWidget(m_hint);
    layout->addWidget(m_result);
    layout->addWidget(m_words, 1);
    layout->addLayout(gradeRow);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(statistics);
    bottom->addStretch(1);
    bottom->addWidget(close);
    bottom->addWidget(m_nextButton);
    layout->addLayout(bottom);
    resize(520, 460);

    connect(m_answer, &QLineEdit::textChanged, this, &RecallWindow::answerChanged);
    connect(m_answer, &QLineEdit::returnPressed, this, &RecallWindow::judge);
    connect(m_hintButton, &QPushButton::clicked, this, &RecallWindow::showHint);
    connect(m_nextButton, &QPushButton::clicked, this, &RecallWindow::next);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(statistics, &QPushButton::clicked, this, [] {
        auto *window = Windows::instance<RecallStatisticsWindow>();
        window->show();
        window->raise();
        window->activateWindow();
    });
    connect(m_history, &RecallHistory::changed, this, &RecallWindow::historyChanged);

    // Numbers fall due as time passes.
    auto *minute = new QTimer(this);
    minute->start(60 * 1000);
    connect(minute, &QTimer::timeout, this, &RecallWindow::historyChanged);
}

void RecallWindow::attach(QAction *action)
{
    RecallHistory *history = RecallHub::history();
    action->setIcon(Pictures::drawn(QStringLiteral("recall")));
    auto update = [action, history] {
        const QString text = tr("Recall Due Numbers (%1)")
                                 .arg(history->isLoaded() ? history->dueCount(history->now()) : 0);
        action->setText(text);
        action->setToolTip(text);
    };
    update();
    connect(history, &RecallHistory::changed, action, update);
    auto *minute = new QTimer(action);
    minute->start(60 * 1000);
    connect(minute, &QTimer::timeout, action, update);
    connect(action, &QAction::triggered, action, [] {
        auto *window = Windows::instance<RecallWindow>();
        window->show();
        window->raise();
        window->activateWindow();
    });
}

void RecallWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_state == State::Idle)
        askNext();
}

void RecallWindow::closeEvent(QCloseEvent *event)
{
    // An answer judged but not yet written is not lost by closing the window.
    if (m_state == State::Graded && !commit()) {
        event->ignore();
        return;
    }
    m_state = State::Idle;
    QWidget::closeEvent(event);
}

void RecallWindow::askNext()
{
    m_trial.reset();
    m_answer->clear();
    m_hint->clear();
    m_result->clear();
    m_words->clear();
    m_hintUsed = false;
    // An exclusive group keeps one button checked; none is until the next answer.
    m_grades->setExclusive(false);
    for (QAbstractButton *button : m_grades->buttons()) {
        button->setText(RecallTableModel::gradeName(Fsrs::Grade(m_grades->id(button))));
        button->setEnabled(false);
        button->setChecked(false);
    }
    m_grades->setExclusive(true);
    m_nextButton->setEnabled(false);

    const QList<int> due =
        m_history->isLoaded() ? m_history->dueItems(m_history->now()) : QList<int>();
    if (due.isEmpty()) {
        m_state = State::Idle;
        m_description->clear();
        m_answer->setEnabled(false);
        m_hintButton->setEnabled(false);
        showStatus();
        return;
    }
    m_entry = m_history->items().at(due.first()).entry;
    m_trial.emplace(m_entry.number, m_entry.words);
    m_state = State::Asking;
    m_description->setText(m_entry.description);
    m_answer->setEnabled(true);
    m_answer->setReadOnly(false);
    m_hintButton->setEnabled(true);
    setAnswerColour(darkBlue);
    m_answer->setFocus();
    m_shownAt = m_history->now();
    showStatus();
}

void RecallWindow::answerChanged()
{
    if (m_state == State::Asking && m_trial)
        setAnswerColour(m_trial->matchesSoFar(m_answer->text()) ? darkBlue : red);
}

void RecallWindow::showHint()
{
    if (m_state != State::Asking || !m_trial)
        return;
    const QString hint = m_trial->nextHint(m_hint->text());
    if (hint != m_hint->text()) {
        m_hint->setText(hint);
        m_hintUsed = true;
    }
    m_answer->setFocus();
}

void RecallWindow::judge()
{
    if (m_state != State::Asking || !m_trial || m_answer->text().trimmed().isEmpty())
        return;
    m_answeredAt = m_history->now();
    const QString typed = m_answer->text();
    m_right = m_trial->isRight(typed);
    m_grade = RecallTrial::proposedGrade(m_right, m_hintUsed, m_answeredAt - m_shownAt,
                                         int(m_entry.number.size()));
    m_state = State::Graded;
    m_answer->setReadOnly(true);
    m_hintButton->setEnabled(false);

    m_result->setText(m_right ? tr("Right: %1").arg(m_entry.number)
                              : tr("Wrong. The number is %1; the words marked held the digits "
                                   "that went wrong.")
                                    .arg(m_entry.number));
    for (const RecallTrial::Word &word : m_trial->judgedWords(typed)) {
        auto *row = new QTreeWidgetItem(
            m_words, {word.digits, word.word, word.right ? tr("right") : tr("wrong")});
        if (!word.right) {
            for (int column : {DigitsColumn, WordColumn, MarkColumn}) {
                row->setForeground(column, red);
                QFont font = row->font(column);
                font.setBold(true);
                row->setFont(column, font);
            }
        }
    }

    const int item = m_history->indexOf(m_entry.number, m_entry.description);
    for (QAbstractButton *button : m_grades->buttons()) {
        const auto grade = Fsrs::Grade(m_grades->id(button));
        QString text = RecallTableModel::gradeName(grade);
        if (item >= 0) {
            const Fsrs::Memory after = m_history->preview(item, grade, m_answeredAt);
            text += u'\n' + Fsrs::intervalText(after.due - after.lastReview);
        }
        button->setText(text);
        button->setEnabled(true);
    }
    chooseGrade(m_grade);
    m_nextButton->setEnabled(true);
    m_nextButton->setFocus();
}

void RecallWindow::chooseGrade(Fsrs::Grade grade)
{
    m_grade = grade;
    if (QAbstractButton *button = m_grades->button(int(grade)))
        button->setChecked(true);
}

bool RecallWindow::commit()
{
    RecallLog::Answer answer;
    answer.time = m_answeredAt;
    answer.grade = m_grade;
    answer.milliseconds = m_answeredAt - m_shownAt;
    answer.right = m_right;
    answer.number = m_entry.number;
    answer.description = m_entry.description;
    QString error;
    // The schedule may change while the answer is written (a computation still
    // running ends first); the window asks nothing new meanwhile.
    m_recording = true;
    const bool recorded = m_history->record(answer, &error);
    m_recording = false;
    if (!recorded) {
        MessageBox::inform(this, tr("Your answer could not be saved. %1").arg(error),
                           QMessageBox::Warning);
        return false;
    }
    m_state = State::Idle;
    return true;
}

void RecallWindow::next()
{
    if (m_state != State::Graded || !commit())
        return;
    askNext();
}

void RecallWindow::historyChanged()
{
    if (m_recording) {
        showStatus();
        return;
    }
    // A number forgotten while it is asked is asked no more.
    const bool gone =
        m_state == State::Asking && m_history->indexOf(m_entry.number, m_entry.description) < 0;
    if ((m_state == State::Idle || gone) && isVisible())
        askNext();
    else
        showStatus();
}

void RecallWindow::showStatus()
{
    if (!m_history->isLoaded()) {
        m_status->setText(tr("Reading the recall history..."));
        return;
    }
    const qint64 now = m_history->now();
    const int due = m_history->dueCount(now);
    if (due > 0) {
        m_status->setText(due == 1 ? tr("1 number due") : tr("%1 numbers due").arg(due));
        return;
    }
    if (m_history->items().isEmpty()) {
        m_status->setText(tr("Nothing is due: there are no remembered numbers yet."));
        return;
    }
    const qint64 next = m_history->nextDue(now);
    m_status->setText(
        tr("Nothing is due. The next number is due %1 (in %2).")
            .arg(QLocale().toString(QDateTime::fromMSecsSinceEpoch(next).toLocalTime(),
                                    QLocale::ShortFormat),
                 Fsrs::intervalText(next - now)));
}

void RecallWindow::setAnswerColour(const QColor &colour)
{
    QPalette palette = m_answer->palette();
    palette.setColor(QPalette::Text, colour);
    m_answer->setPalette(palette);
}
