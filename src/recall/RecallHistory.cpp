#include "recall/RecallHistory.h"

#include "core/BackgroundJob.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>

#include <algorithm>

RecallHistory::RecallHistory(QObject *parent)
    : QObject(parent), m_clock([] { return QDateTime::currentMSecsSinceEpoch(); }),
      m_job(new BackgroundJob(this))
{}

RecallHistory::~RecallHistory() = default;

QString RecallHistory::keyOf(const QString &number, const QString &description)
{
    RecallLog::Answer answer;
    answer.number = number;
    answer.description = description;
    answer = RecallLog::normalised(answer);
    return rawKey(answer.number, answer.description);
}

QString RecallHistory::rawKey(const QString &number, const QString &description)
{
    return number + QChar(u'\x1f') + description;
}

quint64 RecallHistory::seedOf(const QString &key, qint64 time)
{
    return quint64(qHash(key, 0x5eed)) * 1000003ULL ^ quint64(time);
}

void RecallHistory::setFuzz(bool on)
{
    m_fsrs.setFuzz(on);
    replay();
}

void RecallHistory::startLoading(const QString &dataDir)
{
    m_job->wait();
    m_dataDir = dataDir;
    m_loaded = false;
    m_replayWhenLoaded = false;
    m_writer.reset();
    struct Result
    {
        RecallLog::LoadResult log;
        QHash<QString, KeyState> states;
    };
    auto result = std::make_shared<Result>();
    const Fsrs model = m_fsrs;
    m_job->start(
        [result, dataDir, model] {
            result->log = RecallLog::load(dataDir);
            result->states = statesOf(model, result->log.answers);
        },
        [this, result] {
            RecallLog::LoadResult &log = result->log;
            m_answers = std::move(log.answers);
            const QString file = QDir::toNativeSeparators(RecallLog::filePath(m_dataDir));
            if (!log.error.isEmpty()) {
                m_loadProblem = tr("The recall history %1 could not be read: %2\n\n"
                                   "Answers given now are added to it when it can be "
                                   "written.")
                                    .arg(file, log.error);
            } else if (!log.badLines.isEmpty()) {
                QStringList lines;
                for (qsizetype i = 0; i < std::min<qsizetype>(log.badLines.size(), 5); ++i)
                    lines.append(QString::number(log.badLines.at(i)));
                QString which = lines.join(QStringLiteral(", "));
                if (log.badLines.size() > 5)
                    which += tr(" and %1 more").arg(log.badLines.size() - 5);
                m_loadProblem = (log.badLines.size() == 1
                                     ? tr("A line of the recall history %1 could not be read "
                                          "(line %2).")
                                     : tr("Some lines of the recall history %1 could not be read "
                                          "(lines %2)."))
                                    .arg(file, which) +
                                u' ' +
                                tr("They are kept in the file as they are and left out of the "
                                   "schedule.");
            } else {
                m_loadProblem.clear();
            }
            m_writer = std::make_unique<RecallLog::Writer>(m_dataDir);
            m_loaded = true;
            m_states = std::move(result->states);
            mapItems();
            emit loaded();
            if (std::exchange(m_replayWhenLoaded, false))
                replay();
        });
}

void RecallHistory::settle()
{
    // The end of a load may start a computation of the schedule.
    while (m_job->isRunning())
        m_job->wait();
}

void RecallHistory::setRetention(double retention)
{
    m_fsrs.setRetention(retention);
    replay();
}

void RecallHistory::apply(const Fsrs &model, KeyState &state, const QString &key,
                          const RecallLog::Answer &answer)
{
    if (answer.grade == Fsrs::Grade::Again && state.memory.phase == Fsrs::Phase::Review)
        ++state.lapses;
    state.memory = model.review(state.memory, answer.grade, answer.time, seedOf(key, answer.time));
    ++state.reviews;
    state.lastGrade = answer.grade;
}

QHash<QString, RecallHistory::KeyState>
RecallHistory::statesOf(const Fsrs &model, const QList<RecallLog::Answer> &answers)
{
    // The answers of the log are in the form normalised() gives.
    QHash<QString, KeyState> states;
    for (const RecallLog::Answer &answer : answers) {
        const QString key = rawKey(answer.number, answer.description);
        apply(model, states[key], key, answer);
    }
    return states;
}

void RecallHistory::replay()
{
    // A log still being read was read with the model as it was then.
    if (!m_loaded) {
        m_replayWhenLoaded = true;
        return;
    }
    // The answers stay as they are while the log is read again on the thread.
    m_job->wait();
    auto states = std::make_shared<QHash<QString, KeyState>>();
    const Fsrs model = m_fsrs;
    const QList<RecallLog::Answer> answers = m_answers;
    m_job->start([states, model, answers] { *states = statesOf(model, answers); },
                 [this, states] {
                     m_states = std::move(*states);
                     mapItems();
                 });
}

void RecallHistory::setEntries(const QList<RecallEntry> &entries)
{
    m_entries = entries;
    m_haveEntries = true;
    mapItems();
}

void RecallHistory::mapItems()
{
    m_items.clear();
    m_itemOf.clear();
    m_items.reserve(m_entries.size());
    for (const RecallEntry &entry : std::as_const(m_entries)) {
        const QString key = keyOf(entry.number, entry.description);
        // The same number stored twice is one number to recall.
        if (m_itemOf.contains(key))
            continue;
        RecallItem item;
        item.entry = entry;
        const auto state = m_states.constFind(key);
        if (state != m_states.constEnd()) {
            item.memory = state->memory;
            item.reviews = state->reviews;
            item.lapses = state->lapses;
            item.lastGrade = state->lastGrade;
        }
        m_itemOf.insert(key, int(m_items.size()));
        m_items.append(std::move(item));
    }
    emit changed();
}

QList<int> RecallHistory::dueItems(qint64 now) const
{
    QList<int> due;
    QList<int> fresh;
    for (int i = 0; i < m_items.size(); ++i) {
        const Fsrs::Memory &memory = m_items.at(i).memory;
        if (memory.phase == Fsrs::Phase::New)
            fresh.append(i);
        else if (memory.due <= now)
            due.append(i);
    }
    std::stable_sort(due.begin(), due.end(), [this](int a, int b) {
        return m_items.at(a).memory.due < m_items.at(b).memory.due;
    });
    return due + fresh;
}

int RecallHistory::dueCount(qint64 now) const
{
    return int(std::count_if(m_items.cbegin(), m_items.cend(), [now](const RecallItem &item) {
        return item.memory.phase == Fsrs::Phase::New || item.memory.due <= now;
    }));
}

qint64 RecallHistory::nextDue(qint64 now) const
{
    qint64 next = 0;
    for (const RecallItem &item : m_items) {
        if (item.memory.phase != Fsrs::Phase::New && item.memory.due > now &&
            (next == 0 || item.memory.due < next))
            next = item.memory.due;
    }
    return next;
}

int RecallHistory::indexOf(const QString &number, const QString &description) const
{
    return m_itemOf.value(keyOf(number, description), -1);
}

Fsrs::Memory RecallHistory::preview(int item, Fsrs::Grade grade, qint64 now) const
{
    const RecallItem &it = m_items.at(item);
    return m_fsrs.review(it.memory, grade, now - now % 1000,
                         seedOf(keyOf(it.entry.number, it.entry.description), now - now % 1000));
}

bool RecallHistory::record(const RecallLog::Answer &given, QString *error)
{
    // A log still being read, or a schedule still being computed, comes first.
    m_job->wait();
    if (!m_writer)
        m_writer = std::make_unique<RecallLog::Writer>(m_dataDir);
    // What the file holds is what the schedule follows, now and at the next start.
    const RecallLog::Answer answer = RecallLog::normalised(given);
    if (!m_writer->append(answer, error))
        return false;
    m_answers.append(answer);
    const QString key = rawKey(answer.number, answer.description);
    KeyState &state = m_states[key];
    apply(m_fsrs, state, key, answer);
    const int index = m_itemOf.value(key, -1);
    if (index >= 0) {
        RecallItem &item = m_items[index];
        item.memory = state.memory;
        item.reviews = state.reviews;
        item.lapses = state.lapses;
        item.lastGrade = state.lastGrade;
    }
    emit changed();
    return true;
}
