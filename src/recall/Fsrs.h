#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <functional>

// The memory model behind spaced recall (FSRS-6): how well a remembered number is
// held (stability, difficulty), how likely it is to be recalled after a while, and
// when to ask it next after an answer graded Again, Hard, Good or Easy. Times are
// milliseconds since the epoch, UTC; the caller passes the time of every answer, so
// the model knows no clock of its own. RecallHistory replays the answers of each
// number through it.
class Fsrs
{
public:
    enum class Grade
    {
        Again = 1,
        Hard = 2,
        Good = 3,
        Easy = 4
    };

    enum class Phase
    {
        New,
        Learning,
        Review,
        Relearning
    };

    struct Memory
    {
        Phase phase = Phase::New;
        // The learning or relearning step the number is at.
        int step = 0;
        double stability = 0;  // days
        double difficulty = 0; // 1 to 10
        qint64 lastReview = 0;
        qint64 due = 0;
    };

    static constexpr qint64 minute = 60 * 1000;
    static constexpr qint64 day = 24 * 60 * minute;
    static constexpr double defaultRetention = 0.9;
    static constexpr double minRetention = 0.7;
    static constexpr double maxRetention = 0.99;
    static const std::array<double, 21> defaultWeights;

    Fsrs();

    double retention() const { return m_retention; }
    // Values outside minRetention to maxRetention are clamped.
    void setRetention(double retention);
    // Intervals of 2.5 days and more are spread by a few days, so that numbers stored
    // together do not keep falling due together. The spread is drawn from `seed`
    // (RecallHistory gives a hash of the number and the time), so replaying the same
    // answers gives the same schedule.
    void setFuzz(bool on) { m_fuzz = on; }
    bool fuzz() const { return m_fuzz; }

    // The memory after an answer with `grade` at time `now`.
    Memory review(const Memory &memory, Grade grade, qint64 now, quint64 seed = 0) const;
    // The chance of recalling the number at `now`: 0 for a number never answered.
    double retrievability(const Memory &memory, qint64 now) const;

    // An interval as the grade buttons show it: "10 min", "3 h", "3 d", "2 mo", "1.5 y".
    static QString intervalText(qint64 milliseconds);

private:
    double initialDifficulty(Grade grade, bool clamp) const;
    double nextDifficulty(double difficulty, Grade grade) const;
    double shortTermStability(double stability, Grade grade) const;
    double nextStability(const Memory &memory, double r, Grade grade) const;
    qint64 intervalDays(double stability) const;
    qint64 fuzzed(qint64 days, quint64 seed) const;

    // What the formulas use again and again, worked out once.
    void prepare();

    std::array<double, 21> m_w = defaultWeights;
    double m_retention = defaultRetention;
    double m_decay = 0;
    double m_factor = 0;
    // Days of interval per day of stability at the desired retention.
    double m_intervalPerStability = 0;
    double m_easyDifficulty = 0;
    double m_recallGrowth = 0;
    double m_forgetCap = 0;
    bool m_fuzz = true;
    qint64 m_maxInterval = 36500; // days
    std::array<qint64, 2> m_learningSteps{1 * minute, 10 * minute};
    std::array<qint64, 1> m_relearningSteps{10 * minute};
};
