#pragma once

#include "drills/DrillImages.h"
#include "recall/Fsrs.h"

#include <QWidget>

class DrillHistory;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// "Images Drill": the user's image keys asked as they fall due. A key is shown; the user
// types its image and presses Enter, and the answer is judged and graded from how right
// and how quick it was; or the user reveals the image and grades themselves (keys 1 to
// 4). Enter then brings the next key. The ten slowest and ten most-missed keys are
// listed beside, as candidates for a better image. Non-modal, from Tools › Drills.
class ImagesDrillWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ImagesDrillWindow(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;

private:
    enum class State
    {
        Idle,
        Asking,
        Judged,
        Revealed
    };

    void askNext();
    void answerChanged();
    void enterPressed();
    void reveal();
    void grade(Fsrs::Grade grade);
    bool record(Fsrs::Grade grade, bool right, qint64 milliseconds);
    void showLists();

    DrillHistory *m_history = nullptr;
    DrillImages m_images;
    State m_state = State::Idle;
    QString m_key;
    qint64 m_shownAt = 0;
    qint64 m_firstKeyAt = 0;

    QComboBox *m_digits = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_keyLabel = nullptr;
    QLineEdit *m_answer = nullptr;
    QPushButton *m_revealButton = nullptr;
    QLabel *m_result = nullptr;
    QButtonGroup *m_grades = nullptr;
    QTreeWidget *m_slowest = nullptr;
    QTreeWidget *m_missed = nullptr;
};
