#pragma once

#include "recall/Fsrs.h"
#include "recall/RecallHistory.h"
#include "recall/RecallTrial.h"

#include <QWidget>

#include <optional>

class QAction;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// "Recall Due Numbers": asks the remembered numbers as they fall due, most overdue
// first. The user types the number for its description and presses Enter; the
// window judges it, shows the memory words with those whose digits went wrong marked,
// and proposes a grade, which the user may change (keys 1 to 4) before Next writes
// the answer to the recall history. Non-modal, opened from the main window's Tools
// menu and toolbar.
class RecallWindow : public QWidget
{
    Q_OBJECT

public:
    explicit RecallWindow(QWidget *parent = nullptr);

    // Keeps a command's text ("Recall Due Numbers (3)") and tooltip on the count of due
    // numbers, and opens the window when it is triggered.
    static void attach(QAction *action);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    enum class State
    {
        Idle,
        Asking,
        Graded
    };

    void askNext();
    void answerChanged();
    void judge();
    void showHint();
    void chooseGrade(Fsrs::Grade grade);
    // Writes the answer shown; false when it could not be written.
    bool commit();
    void next();
    void historyChanged();
    void showStatus();
    void setAnswerColour(const QColor &colour);

    RecallHistory *m_history = nullptr;
    State m_state = State::Idle;
    RecallEntry m_entry;
    std::optional<RecallTrial> m_trial;
    qint64 m_shownAt = 0;
    qint64 m_answeredAt = 0;
    bool m_right = false;
    bool m_hintUsed = false;
    bool m_recording = false;
    Fsrs::Grade m_grade = Fsrs::Grade::Good;

    QLabel *m_status = nullptr;
    QLabel *m_description = nullptr;
    QLineEdit *m_answer = nullptr;
    QPushButton *m_hintButton = nullptr;
    QLabel *m_hint = nullptr;
    QLabel *m_result = nullptr;
    QTreeWidget *m_words = nullptr;
    QButtonGroup *m_grades = nullptr;
    QPushButton *m_nextButton = nullptr;
};
