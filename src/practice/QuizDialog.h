#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class Quiz;

// The self-test "How well do you really remember ?": shows the description of one
// remembered number after another for 60 seconds and scores every number typed right.
// The main window opens it modally from Tools, Test Yourself and its toolbar button;
// every opening starts afresh. Closing it unloads the remembered-numbers window,
// which saves the list.
class QuizDialog : public QDialog
{
    Q_OBJECT

public:
    explicit QuizDialog(QWidget *parent = nullptr);

    // The game behind the window; tests replace its clock and random source.
    Quiz *quiz() const { return m_quiz; }

    // However the window closes: ends the game and unloads the remembered numbers.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void load();
    void listArrived();
    void waitForList(bool waiting);
    void startQuiz();

    void showQuestion(const QString &description);
    void answerChanged();
    void showHint();
    void nextOrAgain();
    void endGame(const QString &message);
    void setAnswerColour(const QColor &colour);

    Quiz *m_quiz = nullptr;
    bool m_opened = false;
    // A long list is still being read: the quiz starts when it arrives.
    bool m_waitingForList = false;

    QLabel *m_timeLabel = nullptr;
    QLabel *m_scoreLabel = nullptr;
    QLabel *m_question = nullptr;
    QLineEdit *m_answer = nullptr;
    QPushButton *m_hintButton = nullptr;
    QLabel *m_hint = nullptr;
    QPushButton *m_nextButton = nullptr;
    QTimer *m_timer = nullptr;
};
