#pragma once

#include "remembered/RememberedEntry.h"

#include <QObject>
#include <QRandomGenerator>
#include <QString>

#include <functional>
#include <optional>

// One 60-second self-test on the remembered numbers: which entry is asked, the score,
// the countdown, and how the typed answer is judged. The quiz window shows what this
// says and forwards the user's typing, clicks and timer ticks to it. The clock and the
// random source can be replaced, so a test plays a whole game without waiting and
// knows which entries are asked.
class Quiz : public QObject
{
    Q_OBJECT

public:
    // Milliseconds from any fixed point; it must never go backwards.
    using Clock = std::function<qint64()>;
    // A uniform value in [0, 1).
    using RandomSource = std::function<double()>;
    // The entry at a 1-based position of the list as it stands now; none when the list
    // has no such row.
    using EntrySource = std::function<std::optional<RememberedEntry>(int position)>;

    enum class Judgement
    {
        Ignored,     // no question is current
        Matching,    // a correct beginning of the answer
        NotMatching, // shorter than the answer and wrong already
        Correct,     // scored; the next question is asked
        Unchanged,   // as long as the answer or longer, and wrong
    };

    explicit Quiz(QObject *parent = nullptr);

    void setClock(Clock clock);
    // An injected source is used as it is; only the built-in one is reseeded.
    void setRandomSource(RandomSource random);
    void setEntrySource(EntrySource entries);

    // A fresh opening: counts the entries once and forgets any earlier game.
    void load(int entryCount);

    // Starts a 60-second game; false when there is nothing to ask.
    bool startQuiz();
    // Asks another entry, never the current one again while there are two or more.
    void nextQuestion();

    // Judges the answer box after every change of its text.
    Judgement judge(const QString &typed);

    // What the hint shows after one more click, given what it shows now: up to the
    // first three memory words of the current entry.
    QString hint(const QString &shown) const;

    // Called once a second while a game runs; ends the game when the time is up.
    void tick();

    int entryCount() const { return m_entryCount; }
    int currentIndex() const { return m_currentIndex; }
    bool gameOver() const { return m_gameOver; }
    int timeLimit() const { return m_timeLimit; }
    int score() const { return m_score; }

    // The seconds left, to the nearest whole second, halves to the even one.
    int remainingSeconds() const;
    // How the countdown shows a value of remainingSeconds().
    static QString countdownText(int remaining);
    static QString scoreMessage(int score);

Q_SIGNALS:
    void questionChanged(const QString &description);
    void scoreChanged(int score);
    void countdownChanged(const QString &text);
    // Emitted once per game, after gameOver() has become true.
    void gameEnded(const QString &message);

private:
    std::optional<RememberedEntry> entryAt(int position) const;

    Clock m_clock;
    RandomSource m_random;
    bool m_ownRandom = true;
    QRandomGenerator m_generator;
    EntrySource m_entries;

    int m_entryCount = 0;
    int m_currentIndex = 0;
    bool m_gameOver = false;
    bool m_started = false; // a game has been started since load()
    qint64 m_startTime = 0; // milliseconds of m_clock
    int m_timeLimit = 60;
    int m_score = 0;
};
