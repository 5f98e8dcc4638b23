#include "recall/RecallHistory.h"

#include "core/AppendOnlyFile.h"
#include "core/BackgroundJob.h"
#include "core/LargePages.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QThread>

#include <algorithm>
#include <thread>
#include <vector>

RecallHistory::RecallHistory(QObject *parent)
    : QObject(parent), m_clock([] { return QDateTime::currentMSecsSinceEpoch(); }),
      m_job(new BackgroundJob(this))
{}

RecallHistory::~RecallHistory() = default;

RecallKey RecallHistory::keyOf(const QString &number, const QString &description)
{
    return {RecallLog::cleanNumber(number), RecallLog::cleanText(description)};
}

quint64 RecallHistory::seedOf(size_t keyHash, qint64 time)
{
    return quint64(keyHash) * 1000003ULL ^ quint64(time);
}

void RecallHistory::setFuzz(bool on)
{
    m_fsrs.setFuzz(on);
    replay();
}

void RecallHistory::loadLater(const QString &dataDir)
{
    m_pendingLoad = dataDir;
}

void RecallHistory::startPendingLoad()
{
    if (m_pendingLoad)
        startLoading(*std::exchange(m_pendingLoad, std::nullopt));
}

void RecallHistory::startLoading(const QString &dataDir)
{
    m_pendingLoad.reset();
    m_job->finish();
    m_dataDir = dataDir;
    m_loaded = false;
    m_replayWhenLoaded = false;
    m_writer.reset();
    struct Result
    {
        RecallLog::LoadResult log;
        QList<KeyState> states;
        RecallKeyIndex keyIds;
    };
    auto result = std::make_shared<Result>();
    const Fsrs model = m_fsrs;
    m_job->start(
        [result, dataDir, model] {
            // Without a data folder (Numbrill not registered) there is no history.
            if (!dataDir.isEmpty())
                result->log = RecallLog::load(dataDir);
            result->states = statesOf(model, result->log);
            result->keyIds = RecallKeyIndex(result->states.size());
            for (qsizetype i = 0; i < result->states.size(); ++i)
                result->keyIds.insert(result->states.at(i).keyHash, qint32(i));
        },
        [this, result] {
            RecallLog::LoadResult &log = result->log;
            m_keyIds = std::move(result->keyIds);
            const QString file = QDir::toNativeSeparators(RecallLog::filePath(m_dataDir));
            if (!log.error.isEmpty()) {
                m_loadProblem = tr("The recall history %1 could not be read: %2\n\n"
                                   "Answers given now are added to it when it can be "
                                   "written.")
                                    .arg(file, log.error);
            } else if (!log.badLines.isEmpty()) {
                m_loadProblem = AppendOnlyFile::unreadableLines(
                    log.badLines, file,
                    tr("A line of the recall history %1 could not be read (line %2)."),
                    tr("Some lines of the recall history %1 could not be read (lines %2)."),
                    tr("They are kept in the file as they are and left out of the schedule."));
            } else {
                m_loadProblem.clear();
            }
            m_writer = std::make_unique<RecallLog::Writer>(m_dataDir);
            m_loaded = true;
            m_states = std::move(result->states);
            m_log = std::move(log);
            mapItems();
            emit loaded();
            if (std::exchange(m_replayWhenLoaded, false))
                replay();
        });
}

void RecallHistory::settle()
{
    startPendingLoad();
    // The end of a load may start a computation of the schedule.
    while (m_job->isRunning())
        m_job->finish();
}

void RecallHistory::setRetention(double retention)
{
    m_fsrs.setRetention(retention);
    replay();
}

void RecallHistory::apply(const Fsrs &model, KeyState &state, const RecallLog::Record &record)
{
    if (record.grade == Fsrs::Grade::Again && state.memory.phase == Fsrs::Phase::Review)
        ++state.lapses;
    state.memory =
        model.review(state.memory, record.grade, record.time, seedOf(state.keyHash, record.time));
    ++state.reviews;
    state.lastGrade = record.grade;
}

QList<RecallHistory::KeyState> RecallHistory::statesOf(const Fsrs &model,
                                                       const RecallLog::History &log)
{
    QList<KeyState> states(log.keys.size());
    LargePages::prefer(states.data(), size_t(states.size()) * sizeof(KeyState));
    KeyState *const state = states.data();
    for (qsizetype i = 0; i < log.keys.size(); ++i)
        state[i].keyHash = keyHash(log.keys.at(i));
    // Each number's answers are replayed in order, and numbers do not depend on each
    // other: a long history is shared out by number between threads side by side, each
    // going through all answers for those of its own numbers.
    const qsizetype keys = log.keys.size();
    const int parts =
        log.records.size() < 100000 ? 1 : std::clamp(QThread::idealThreadCount(), 1, 4);
    const auto replayPart = [&](int part) {
        const qsizetype first = keys * part / parts;
        const qsizetype end = keys * (part + 1) / parts;
        for (const RecallLog::Record &record : log.records) {
            if (record.key >= first && record.key < end)
                apply(model, state[record.key], record);
        }
    };
    std::vector<std::thread> threads;
    for (int part = 1; part < parts; ++part)
        threads.emplace_back(replayPart, part);
    replayPart(0);
    for (std::thread &thread : threads)
        thread.join();
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
    m_job->finish();
    auto states = std::make_shared<QList<KeyState>>();
    const Fsrs model = m_fsrs;
    const RecallLog::History log = m_log;
    m_job->start([states, model, log] { *states = statesOf(model, log); },
                 [this, states] {
                     m_states = std::move(*states);
                     mapItems();
                 });
}

void RecallHistory::setEntries(const QList<RecallEntry> &entries)
{
    setEntries([entries] { return entries; });
}

void RecallHistory::setEntries(EntrySnapshot snapshot)
{
    m_snapshot = std::move(snapshot);
    mapItems();
}

void RecallHistory::mapInto(Mapped &mapped, const QList<KeyState> &states,
                            const QList<RecallKey> &logKeys, const RecallKeyIndex &keyIds)
{
    mapped.items.reserve(mapped.entries.size());
    LargePages::prefer(mapped.items.data(), size_t(mapped.items.capacity()) * sizeof(RecallItem));
    mapped.itemOf = RecallKeyIndex(mapped.entries.size());
    // Needed only where the hashes agree: rarely when matching a list.
    const auto itemKey = [&](qint32 index) {
        const RecallEntry &entry = mapped.items.at(index).entry;
        return keyOf(entry.number, entry.description);
    };
    const auto logKey = [&](qint32 index) -> const RecallKey & { return logKeys.at(index); };
    for (const RecallEntry &entry : std::as_const(mapped.entries)) {
        const RecallKey key = keyOf(entry.number, entry.description);
        const size_t hash = keyHash(key);
        // The same number stored twice is one number to recall.
        if (mapped.itemOf.find(key, hash, itemKey) >= 0)
            continue;
        RecallItem item;
        item.entry = entry;
        const qint32 id = keyIds.find(key, hash, logKey);
        if (id >= 0 && id < states.size()) {
            const KeyState &state = states.at(id);
            item.memory = state.memory;
            item.reviews = state.reviews;
            item.lapses = state.lapses;
            item.lastGrade = state.lastGrade;
        }
        mapped.itemOf.insert(hash, qint32(mapped.items.size()));
        mapped.items.append(std::move(item));
    }
}

void RecallHistory::mapItems()
{
    // The end of the load maps the entries given meanwhile.
    if (m_pendingLoad)
        return;
    if (m_job->isRunning()) {
        m_mapWhenDone = true;
        return;
    }
    m_mapWhenDone = false;
    auto mapped = std::make_shared<Mapped>();
    const EntrySnapshot snapshot = std::exchange(m_snapshot, {});
    const bool fresh = bool(snapshot);
    mapped->entries = m_entries;
    const QList<KeyState> states = m_states;
    const RecallKeyIndex keyIds = m_keyIds;
    const QList<RecallKey> logKeys = m_log.keys;
    m_job->start(
        [mapped, snapshot, states, logKeys, keyIds] {
            if (snapshot)
                mapped->entries = snapshot();
            mapInto(*mapped, states, logKeys, keyIds);
        },
        [this, mapped, fresh] {
            m_entries = std::move(mapped->entries);
            m_items = std::move(mapped->items);
            m_itemOf = std::move(mapped->itemOf);
            if (fresh)
                m_haveEntries = true;
            emit changed();
            jobDone();
        });
}

void RecallHistory::jobDone()
{
    if (std::exchange(m_mapWhenDone, false))
        mapItems();
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
    return itemOf(keyOf(number, description));
}

int RecallHistory::itemOf(const RecallKey &key) const
{
    return m_itemOf.find(key, keyHash(key), [this](qint32 index) {
        const RecallEntry &entry = m_items.at(index).entry;
        return keyOf(entry.number, entry.description);
    });
}

Fsrs::Memory RecallHistory::preview(int item, Fsrs::Grade grade, qint64 now) const
{
    const RecallItem &it = m_items.at(item);
    return m_fsrs.review(
        it.memory, grade, now - now % 1000,
        seedOf(keyHash(keyOf(it.entry.number, it.entry.description)), now - now % 1000));
}

bool RecallHistory::record(const RecallLog::Answer &given, QString *error)
{
    // A log still being read, or a schedule still being computed, comes first.
    settle();
    // Never a file relative to the current folder.
    if (m_dataDir.isEmpty()) {
        if (error)
            *error = tr("Numbrill has no data folder to keep it in: it is not registered.");
        return false;
    }
    if (!m_writer)
        m_writer = std::make_unique<RecallLog::Writer>(m_dataDir);
    // What the file holds is what the schedule follows, now and at the next start.
    const RecallLog::Answer answer = RecallLog::normalised(given);
    if (!m_writer->append(answer, error))
        return false;
    m_log.append(answer);
    const RecallLog::Record &added = m_log.records.constLast();
    const RecallKey &key = m_log.keys.at(added.key);
    if (added.key == m_states.size()) {
        m_states.append(KeyState());
        m_states.last().keyHash = keyHash(key);
        m_keyIds.insert(m_states.last().keyHash, added.key);
    }
    KeyState &state = m_states[added.key];
    apply(m_fsrs, state, added);
    const int index = itemOf(key);
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
