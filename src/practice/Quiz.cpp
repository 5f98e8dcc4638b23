#include "practice/Quiz.h"

#include <QDateTime>
#include <QStringView>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

Quiz::Quiz(QObject *parent) : QObject(parent)
{
    // A monotonic clock: a game that spans midnight or a change of the system time
    // still lasts 60 seconds.
    m_clock = [] {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    };
    m_random = [this] { return m_generator.generateDouble(); };
}

void Quiz::setClock(Clock clock)
{
    m_clock = std::move(clock);
}

void Quiz::setRandomSource(RandomSource random)
{
    m_random = std::move(random);
    m_ownRandom = false;
}

void Quiz::setEntrySource(EntrySource entries)
{
    m_entries = std::move(entries);
}

void Quiz::load(int entryCount)
{
    m_entryCount = qMax(0, entryCount);
    m_currentIndex = 0;
    m_gameOver = false;
    m_started = false;
    m_startTime = 0;
    m_timeLimit = 60;
    m_score = 0;
}

bool Quiz::startQuiz()
{
    if (m_entryCount == 0)
        return false;

    m_startTime = m_clock();
    m_timeLimit = 60;
    // The first value is shown as it is; every later one is written by tick().
    emit countdownChanged(QString::number(m_timeLimit));
    m_score = 0;
    emit scoreChanged(m_score);
    if (m_ownRandom)
        m_generator.seed(quint32(QDateTime::currentMSecsSinceEpoch()));
    nextQuestion();
    m_gameOver = false;
    m_started = true;
    return true;
}

void Quiz::nextQuestion()
{
    if (m_entryCount >= 2) {
        int candidate;
        do {
            const double drawn = std::floor(m_entryCount * m_random() + 1);
            // A value of 1 or more from the source must not run past the last entry.
            candidate = int(std::clamp(drawn, 1.0, double(m_entryCount)));
        } while (candidate == m_currentIndex);
        m_currentIndex = candidate;
    } else {
        m_currentIndex = 1;
    }

    // The list may have been shortened since it was counted: then nothing is asked
    // until a later question finds a row.
    const std::optional<RememberedEntry> entry = entryAt(m_currentIndex);
    if (!entry) {
        m_currentIndex = 0;
        return;
    }
    emit questionChanged(entry->Description);
}

Quiz::Judgement Quiz::judge(const QString &typed)
{
    if (m_currentIndex == 0)
        return Judgement::Ignored;
    const std::optional<RememberedEntry> entry = entryAt(m_currentIndex);
    if (!entry)
        return Judgement::Ignored;
    const QString &answer = entry->Value;

    // An empty box never scores, not even for an entry stored without digits: it is
    // the state every new question starts in.
    if (typed.isEmpty())
        return Judgement::Matching;
    if (typed.size() < answer.size()) {
        const bool matching =
            QStringView(answer).left(typed.size()).compare(typed, Qt::CaseInsensitive) == 0;
        return matching ? Judgement::Matching : Judgement::NotMatching;
    }
    if (answer.compare(typed, Qt::CaseInsensitive) != 0)
        return Judgement::Unchanged;

    ++m_score;
    emit scoreChanged(m_score);
    nextQuestion();
    return Judgement::Correct;
}

QString Quiz::hint(const QString &shown) const
{
    if (m_currentIndex <= 0)
        return shown;
    const std::optional<RememberedEntry> entry = entryAt(m_currentIndex);
    if (!entry)
        return shown;

    // Numbers stored since the program started keep the blank that the store flow
    // puts before every word; it must not count as an empty first word.
    QStringView words(entry->Words);
    while (words.startsWith(u' '))
        words = words.mid(1);
    const QList<QStringView> parts = words.split(u' ');
    const qsizetype shownParts = shown.isEmpty() ? 0 : shown.count(u' ') + 1;

    if (shownParts == 0)
        return parts.at(0).toString();
    if (shownParts >= 3 || parts.size() <= shownParts)
        return shown;
    QStringList first;
    for (qsizetype i = 0; i <= shownParts; ++i)
        first.append(parts.at(i).toString());
    return first.join(u' ');
}

int Quiz::remainingSeconds() const
{
    const qint64 elapsed = m_clock() - m_startTime;
    const qint64 remaining = qint64(m_timeLimit) * 1000 - elapsed;
    qint64 seconds = remaining / 1000;
    qint64 rest = remaining % 1000;
    if (rest < 0) {
        rest += 1000;
        --seconds;
    }
    if (rest > 500 || (rest == 500 && (seconds & 1)))
        ++seconds;
    return int(std::clamp<qint64>(seconds, std::numeric_limits<int>::min(),
                                  std::numeric_limits<int>::max()));
}

QString Quiz::countdownText(int remaining)
{
    return remaining >= 0 ? QLatin1Char(' ') + QString::number(remaining)
                          : QString::number(remaining);
}

void Quiz::tick()
{
    if (!m_started || m_gameOver)
        return;
    const int remaining = remainingSeconds();
    emit countdownChanged(countdownText(remaining));
    if (remaining < 1) {
        // Set before anyone is told, so that ticks arriving while the message is shown
        // cannot end the game a second time.
        m_gameOver = true;
        emit gameEnded(scoreMessage(m_score));
    }
}

QString Quiz::scoreMessage(int score)
{
    if (score <= 0)
        return tr(" Oops. You got zero correct. You need to practice more.");
    if (score <= 3)
        return tr("You got %1 correct.").arg(score);
    if (score <= 6)
        return tr("Well Done. You got %1 correct.").arg(score);
    if (score <= 9)
        return tr("Amazing. You got %1 correct.").arg(score);
    if (score <= 12)
        return tr("Incredile. You got %1 correct. ").arg(score);
    return tr("You are a memory Wizard. You got %1 correct.").arg(score);
}

std::optional<RememberedEntry> Quiz::entryAt(int position) const
{
    if (position < 1 || !m_entries)
        return std::nullopt;
    return m_entries(position);
}
