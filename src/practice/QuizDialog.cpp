#include "practice/QuizDialog.h"

#include "practice/Quiz.h"
#include "remembered/RememberedNumbers.h"
#include "ui/MessageBox.h"
#include "ui/Twips.h"
#include "ui/WindowParts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

namespace {

const QColor green(0, 192, 0);
const QColor darkBlue(0, 0, 192);
const QColor red(255, 0, 0);

QFont arial(qreal points)
{
    return WindowParts::font(QStringLiteral("Arial"), points);
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &text)
{
    QPushButton *button = WindowParts::button(parent, name, text);
    // There is no Enter key in the quiz: an answer counts as soon as it is complete.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

std::optional<RememberedEntry> rememberedEntry(int position)
{
    const RememberedNumbers *numbers = RememberedNumbers::instance();
    if (position < 1 || position > numbers->entryCount())
        return std::nullopt;
    return numbers->entry(position);
}

} // namespace

QuizDialog::QuizDialog(QWidget *parent) : QDialog(parent), m_quiz(new Quiz(this)), m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(tr("How well do you really remember ?"));
    setModal(true);
    setFont(arial(12));
    setFixedSize(Twips::toPixels(8040), Twips::toPixels(3240));

    auto *timeCaption = WindowParts::label(this, "Label2", tr("Time Remaining:"));
    Twips::place(timeCaption, 120, 240, 1935, 375);

    m_timeLabel = WindowParts::label(this, "TimeLabel");
    m_timeLabel->setFont(arial(20.25));
    QPalette timePalette = m_timeLabel->palette();
    timePalette.setColor(QPalette::WindowText, green);
    m_timeLabel->setPalette(timePalette);
    Twips::place(m_timeLabel, 2100, 120, 1095, 615);

    auto *correctCaption = WindowParts::label(this, "Correct", tr("Correct:"));
    Twips::place(correctCaption, 4200, 240, 1095, 375);

    m_scoreLabel = WindowParts::label(this, "ScoreLabel");
    m_scoreLabel->setFont(arial(18));
    Twips::place(m_scoreLabel, 5340, 120, 1215, 555);

    m_question = WindowParts::label(this, "Label1");
    m_question->setFont(arial(18));
    m_question->setWordWrap(true);
    Twips::place(m_question, 120, 960, 3855, 1095);

    m_answer = new QLineEdit(this);
    m_answer->setObjectName(QStringLiteral("Text2"));
    m_answer->setAccessibleName(tr("Number"));
    m_answer->setFont(arial(15.75));
    Twips::place(m_answer, 4080, 1080, 3840, 555);
    setAnswerColour(red);

    m_hintButton = makeButton(this, "Command1", tr("Hint"));
    Twips::place(m_hintButton, 4080, 1800, 1095, 435);

    m_hint = WindowParts::label(this, "Label3");
    m_hint->setWordWrap(true);
    Twips::place(m_hint, 5280, 1830, 2640, 735);

    m_nextButton = makeButton(this, "Command2", tr("Next"));
    Twips::place(m_nextButton, 6720, 2640, 1200, 435);

    m_timer->setObjectName(QStringLiteral("Timer1"));

    setTabOrder(m_answer, m_hintButton);
    setTabOrder(m_hintButton, m_nextButton);

    m_quiz->setEntrySource(rememberedEntry);
    connect(m_quiz, &Quiz::questionChanged, this, &QuizDialog::showQuestion);
    connect(m_quiz, &Quiz::scoreChanged, this,
            [this](int score) { m_scoreLabel->setText(QString::number(score)); });
    connect(m_quiz, &Quiz::countdownChanged, m_timeLabel, &QLabel::setText);
    connect(m_quiz, &Quiz::gameEnded, this, &QuizDialog::endGame);
    connect(m_timer, &QTimer::timeout, m_quiz, &Quiz::tick);
    connect(m_answer, &QLineEdit::textChanged, this, &QuizDialog::answerChanged);
    connect(m_hintButton, &QPushButton::clicked, this, &QuizDialog::showHint);
    connect(m_nextButton, &QPushButton::clicked, this, &QuizDialog::nextOrAgain);
}

void QuizDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The window is reused: each opening starts as a new window would, but restoring
    // it from the task bar is no new opening.
    if (!m_opened && !event->spontaneous()) {
        m_opened = true;
        load();
    }
}

void QuizDialog::done(int result)
{
    m_timer->stop();
    m_opened = false;
    waitForList(false);
    QDialog::done(result);
    // The quiz is over with the list: it goes, and the Review window with it.
    RememberedNumbers::instance()->unload();
}

void QuizDialog::load()
{
    m_timer->stop();
    RememberedNumbers *numbers = RememberedNumbers::instance();
    numbers->load();
    waitForList(numbers->isLoading());
    m_quiz->load(numbers->entryCount());

    // What the last opening left behind goes, as if the window were new.
    m_question->clear();
    m_answer->clear();
    setAnswerColour(red);
    m_nextButton->setText(tr("Next"));

    m_hint->clear();
    m_timeLabel->clear();
    m_scoreLabel->setText(QStringLiteral("0"));
    m_answer->setFocus();
    if (m_waitingForList) {
        numbers->whenLoaded(this, [this] { listArrived(); });
        return;
    }
    startQuiz();
}

void QuizDialog::listArrived()
{
    if (!m_waitingForList)
        return;
    waitForList(false);
    m_quiz->load(RememberedNumbers::instance()->entryCount());
    m_answer->setFocus();
    startQuiz();
}

void QuizDialog::waitForList(bool waiting)
{
    m_waitingForList = waiting;
    for (QWidget *control : {static_cast<QWidget *>(m_answer), static_cast<QWidget *>(m_hintButton),
                             static_cast<QWidget *>(m_nextButton)})
        control->setEnabled(!waiting);
}

void QuizDialog::startQuiz()
{
    if (!m_quiz->startQuiz()) {
        MessageBox::inform(this, tr(" I am sorry but you do not have any entries to be quized "
                                    "on. Please enter some numbers then try again."));
        return;
    }
    m_timer->start(1000);
}

void QuizDialog::showQuestion(const QString &description)
{
    m_question->setText(description);
    m_answer->clear();
    m_hint->clear();
}

void QuizDialog::answerChanged()
{
    switch (m_quiz->judge(m_answer->text())) {
    case Quiz::Judgement::Matching:
        setAnswerColour(darkBlue);
        break;
    case Quiz::Judgement::NotMatching:
        setAnswerColour(red);
        break;
    case Quiz::Judgement::Ignored:
    case Quiz::Judgement::Correct:
    case Quiz::Judgement::Unchanged:
        break;
    }
}

void QuizDialog::showHint()
{
    m_hint->setText(m_quiz->hint(m_hint->text()));
    m_answer->setFocus();
}

void QuizDialog::nextOrAgain()
{
    if (m_quiz->gameOver()) {
        startQuiz();
        m_nextButton->setText(tr("Next"));
    }
    m_quiz->nextQuestion();
    m_answer->setFocus();
}

void QuizDialog::endGame(const QString &message)
{
    MessageBox::inform(this, message);
    m_nextButton->setText(tr("Again"));
}

void QuizDialog::setAnswerColour(const QColor &colour)
{
    QPalette palette = m_answer->palette();
    palette.setColor(QPalette::Text, colour);
    m_answer->setPalette(palette);
}
