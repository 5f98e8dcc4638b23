#include "recall/Fsrs.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace {

constexpr double minStability = 0.001;
constexpr double minDifficulty = 1.0;
constexpr double maxDifficulty = 10.0;

int g(Fsrs::Grade grade)
{
    return int(grade);
}

// Whole days between two times, rounded down as a calendar difference is.
qint64 elapsedDays(qint64 from, qint64 to)
{
    const qint64 ms = to - from;
    return ms >= 0 ? ms / Fsrs::day : -((-ms + Fsrs::day - 1) / Fsrs::day);
}

// Rounds halves to the even neighbour.
qint64 roundEven(double value)
{
    return qint64(std::nearbyint(value));
}

// A uniform value in [0, 1) from a seed (SplitMix64).
double uniform(quint64 seed)
{
    quint64 z = seed + 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return double(z >> 11) / double(1ULL << 53);
}

} // namespace

const std::array<double, 21> Fsrs::defaultWeights{
    0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194, 0.001,  1.8722, 0.1666, 0.796,
    1.4835, 0.0614, 0.2629, 1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};

Fsrs::Fsrs()
{
    prepare();
}

void Fsrs::prepare()
{
    m_decay = -m_w[20];
    m_factor = std::pow(0.9, 1 / m_decay) - 1;
    m_intervalPerStability = (std::pow(m_retention, 1 / m_decay) - 1) / m_factor;
    m_easyDifficulty = initialDifficulty(Grade::Easy, false);
    m_recallGrowth = std::exp(m_w[8]);
    m_forgetCap = std::exp(m_w[17] * m_w[18]);
}

void Fsrs::setRetention(double retention)
{
    m_retention = std::isfinite(retention) ? std::clamp(retention, minRetention, maxRetention)
                                           : defaultRetention;
    prepare();
}

double Fsrs::retrievability(const Memory &memory, qint64 now) const
{
    if (memory.phase == Phase::New)
        return 0;
    const double days = double(std::max<qint64>(0, elapsedDays(memory.lastReview, now)));
    return days == 0 ? 1.0 : std::pow(1 + m_factor * days / memory.stability, m_decay);
}

double Fsrs::initialDifficulty(Grade grade, bool clamp) const
{
    const double d = m_w[4] - std::exp(m_w[5] * (g(grade) - 1)) + 1;
    return clamp ? std::clamp(d, minDifficulty, maxDifficulty) : d;
}

double Fsrs::nextDifficulty(double difficulty, Grade grade) const
{
    const double delta = -m_w[6] * (g(grade) - 3);
    // The closer to 10, the less a hard answer adds.
    const double damped = difficulty + (10.0 - difficulty) * delta / 9.0;
    // Every answer pulls back a little towards the difficulty of a first Easy.
    const double reverted = m_w[7] * m_easyDifficulty + (1 - m_w[7]) * damped;
    return std::clamp(reverted, minDifficulty, maxDifficulty);
}

double Fsrs::shortTermStability(double stability, Grade grade) const
{
    double increase = std::exp(m_w[17] * (g(grade) - 3 + m_w[18])) * std::pow(stability, -m_w[19]);
    if (grade == Grade::Good || grade == Grade::Easy)
        increase = std::max(increase, 1.0);
    return std::max(stability * increase, minStability);
}

double Fsrs::nextStability(const Memory &memory, double r, Grade grade) const
{
    const double s = memory.stability;
    const double d = memory.difficulty;
    double next;
    if (grade == Grade::Again) {
        const double longTerm = m_w[11] * std::pow(d, -m_w[12]) * (std::pow(s + 1, m_w[13]) - 1) *
                                std::exp((1 - r) * m_w[14]);
        const double shortTerm = s / m_forgetCap;
        next = std::min(longTerm, shortTerm);
    } else {
        const double hardPenalty = grade == Grade::Hard ? m_w[15] : 1;
        const double easyBonus = grade == Grade::Easy ? m_w[16] : 1;
        next = s * (1 + m_recallGrowth * (11 - d) * std::pow(s, -m_w[9]) *
                            (std::exp((1 - r) * m_w[10]) - 1) * hardPenalty * easyBonus);
    }
    return std::max(next, minStability);
}

qint64 Fsrs::intervalDays(double stability) const
{
    const double days = stability * m_intervalPerStability;
    return std::clamp<qint64>(roundEven(days), 1, m_maxInterval);
}

qint64 Fsrs::fuzzed(qint64 days, quint64 seed) const
{
    if (!m_fuzz || days < 3)
        return days;
    // The spread grows with the interval: 15 % of the part from 2.5 to 7 days, 10 %
    // of that from 7 to 20, 5 % beyond.
    const struct
    {
        double start, end, factor;
    } ranges[] = {{2.5, 7.0, 0.15}, {7.0, 20.0, 0.1}, {20.0, 1e300, 0.05}};
    double delta = 1.0;
    for (const auto &range : ranges)
        delta += range.factor * std::max(std::min(double(days), range.end) - range.start, 0.0);
    qint64 low = std::max<qint64>(2, roundEven(double(days) - delta));
    const qint64 high = std::min(roundEven(double(days) + delta), m_maxInterval);
    low = std::min(low, high);
    const double drawn = uniform(seed) * double(high - low + 1) + double(low);
    return std::min(roundEven(drawn), m_maxInterval);
}

Fsrs::Memory Fsrs::review(const Memory &memory, Grade grade, qint64 now, quint64 seed) const
{
    Memory next = memory;
    const bool sameDay = memory.phase != Phase::New && elapsedDays(memory.lastReview, now) < 1;
    const double r = sameDay || memory.phase == Phase::New ? 1.0 : retrievability(memory, now);

    if (memory.phase == Phase::New) {
        next.stability = std::max(m_w[g(grade) - 1], minStability);
        next.difficulty = initialDifficulty(grade, true);
        next.phase = Phase::Learning;
        next.step = 0;
    } else {
        next.stability =
            sameDay ? shortTermStability(memory.stability, grade) : nextStability(memory, r, grade);
        next.difficulty = nextDifficulty(memory.difficulty, grade);
    }

    qint64 interval = 0;
    auto toReview = [&] {
        next.phase = Phase::Review;
        next.step = 0;
        interval = fuzzed(intervalDays(next.stability), seed) * day;
    };
    // Learning and relearning go through short steps before the first interval of days.
    auto step = [&](const auto &steps) {
        const int count = int(steps.size());
        if (next.step >= count && grade != Grade::Again) {
            toReview();
            return;
        }
        switch (grade) {
        case Grade::Again:
            next.step = 0;
            interval = steps[0];
            break;
        case Grade::Hard:
            if (next.step == 0)
                interval = count >= 2 ? (steps[0] + steps[1]) / 2 : steps[0] * 3 / 2;
            else
                interval = steps[std::min(next.step, count - 1)];
            break;
        case Grade::Good:
            if (next.step + 1 >= count) {
                toReview();
            } else {
                ++next.step;
                interval = steps[next.step];
            }
            break;
        case Grade::Easy:
            toReview();
            break;
        }
    };

    switch (memory.phase) {
    case Phase::New:
    case Phase::Learning:
        step(m_learningSteps);
        break;
    case Phase::Relearning:
        step(m_relearningSteps);
        break;
    case Phase::Review:
        if (grade == Grade::Again) {
            next.phase = Phase::Relearning;
            next.step = 0;
            interval = m_relearningSteps[0];
        } else {
            interval = fuzzed(intervalDays(next.stability), seed) * day;
        }
        break;
    }

    next.lastReview = now;
    next.due = now + interval;
    return next;
}

QString Fsrs::intervalText(qint64 milliseconds)
{
    const double minutes = double(std::max<qint64>(milliseconds, 0)) / double(minute);
    auto number = [](double value) {
        // One decimal below 10, so that 1.5 y is not shown as 2 y.
        return value < 10 && std::abs(value - std::round(value)) >= 0.05
                   ? QString::number(value, 'f', 1)
                   : QString::number(std::round(value));
    };
    if (minutes < 60)
        return QCoreApplication::translate("Fsrs", "%1 min")
            .arg(std::max<qint64>(1, qint64(std::round(minutes))));
    const double hours = minutes / 60;
    if (hours < 24)
        return QCoreApplication::translate("Fsrs", "%1 h").arg(qint64(std::round(hours)));
    const double days = hours / 24;
    if (days < 30)
        return QCoreApplication::translate("Fsrs", "%1 d").arg(qint64(std::round(days)));
    if (days < 365)
        return QCoreApplication::translate("Fsrs", "%1 mo").arg(number(days / 30.4375));
    return QCoreApplication::translate("Fsrs", "%1 y").arg(number(days / 365.25));
}
