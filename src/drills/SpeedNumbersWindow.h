#pragma once

#include <QString>
#include <QWidget>

class DrillHistory;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTimer;
class QTreeWidget;

// "Speed Numbers": random digits in rows of 40 (or 20), memorised against a visible
// countdown (1 minute, 5 minutes or a time of the user's own; Recall Now ends it early),
// then typed into an empty grid of the same rows. Finish scores the grid as memory
// competitions do, keeps the score in the drill history, marks each wrong digit and
// names the user's image for each chunk that went wrong. Non-modal, from Tools › Drills.
class SpeedNumbersWindow : public QWidget
{
    Q_OBJECT

public:
    explicit SpeedNumbersWindow(QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Phase
    {
        Setup,
        Memorise,
        Recall,
        Scored
    };

    void start();
    void tick();
    void startRecall();
    void finish();
    void fillGrid(const QString &digits);
    void setCell(int index, const QString &text);
    int currentIndex() const;
    void moveTo(int index);

    DrillHistory *m_history = nullptr;
    Phase m_phase = Phase::Setup;
    QString m_shown;
    int m_rowLength = 40;
    qint64 m_allowed = 0;
    qint64 m_startedAt = 0;
    qint64 m_memorised = 0;

    QComboBox *m_rowLengthCombo = nullptr;
    QSpinBox *m_rows = nullptr;
    QComboBox *m_timeCombo = nullptr;
    QSpinBox *m_minutes = nullptr;
    QPushButton *m_startButton = nullptr;
    QLabel *m_timerLabel = nullptr;
    QPushButton *m_doneButton = nullptr;
    QTableWidget *m_grid = nullptr;
    QLabel *m_score = nullptr;
    QTreeWidget *m_mistakes = nullptr;
    QTimer *m_timer = nullptr;
};
