#pragma once

#include "drills/DrillImages.h"

#include <QList>
#include <QWidget>

class DrillHistory;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// "Flash": two- or three-digit numbers, each shown for a set time (half a second and
// up) and then hidden; the user types its image and presses Enter (Enter alone gives
// up on it), and the next number comes at once. Every answer goes into the drill
// history; the window sums up the run, the statistics show accuracy and median time
// per key. Non-modal, from Tools › Drills.
class FlashDrillWindow : public QWidget
{
    Q_OBJECT

public:
    explicit FlashDrillWindow(QWidget *parent = nullptr);

protected:
    void hideEvent(QHideEvent *event) override;

private:
    void start();
    void stop();
    void showNext();
    void answerChanged();
    void enterPressed();
    void showSummary();

    DrillHistory *m_history = nullptr;
    DrillImages m_images;
    QStringList m_keys;
    QString m_key;
    bool m_running = false;
    qint64 m_shownAt = 0;
    qint64 m_firstKeyAt = 0;
    int m_answers = 0;
    int m_right = 0;
    QList<qint64> m_times;

    QComboBox *m_digits = nullptr;
    QDoubleSpinBox *m_shownFor = nullptr;
    QPushButton *m_startButton = nullptr;
    QLabel *m_number = nullptr;
    QLineEdit *m_answer = nullptr;
    QLabel *m_result = nullptr;
    QLabel *m_summary = nullptr;
    QTimer *m_hide = nullptr;
};
