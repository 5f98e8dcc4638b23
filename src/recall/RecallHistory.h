#pragma once

#include "recall/Fsrs.h"
#include "recall/RecallKeyIndex.h"
#include "recall/RecallLog.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class BackgroundJob;

// One remembered number as the recall history sees it.
struct RecallEntry
{
    QString number;
    QString description;
    QString words;
};

// What is known of one remembered number from its answers.
struct RecallItem
{
    RecallEntry entry;
    Fsrs::Memory memory;
    int reviews = 0;
    int lapses = 0;
    std::optional<Fsrs::Grade> lastGrade;
};

// The owner of spaced recall: the answers of the recall history (recall.log, see
// RecallLog), the memory model, and the schedule of every remembered number computed
// from them. The remembered numbers come in as a snapshot (setEntries) whenever the
// list changes; a number is known by its digits and description, so a number stored
// or imported is new and due at once, and a number forgotten leaves the schedule
// while its answers stay in the log. The log is read on a thread when the program
// starts. The Recall windows and the main window's count ask this object; the
// clock can be replaced, so a test lets days pass in a moment.
class RecallHistory : public QObject
{
    Q_OBJECT

public:
    // Milliseconds since the epoch, UTC.
    using Clock = std::function<qint64()>;

    explicit RecallHistory(QObject *parent = nullptr);
    ~RecallHistory() override;

    void setClock(Clock clock) { m_clock = std::move(clock); }
    qint64 now() const { return m_clock(); }
    // Spreads intervals of some days a little (on unless a test turns it off).
    void setFuzz(bool on);

    QString dataDir() const { return m_dataDir; }
    // Reads the log of a data folder on a thread; loaded() follows.
    void startLoading(const QString &dataDir);
    // The same, but only when startPendingLoad() is called: at start-up the first
    // window is drawn before the reading takes the processors. Whatever needs the
    // history meanwhile (settle(), an answer) starts it at once.
    void loadLater(const QString &dataDir);
    void startPendingLoad();
    // Waits for the log being read and the schedule being computed.
    void settle();
    bool isLoaded() const { return m_loaded; }
    // The log could not be read (error), or some lines of it could not (their
    // numbers); the message to show once, empty when all was well.
    QString loadProblem() const { return m_loadProblem; }

    double retention() const { return m_fsrs.retention(); }
    // Reschedules every number for a new desired retention.
    void setRetention(double retention);

    // The remembered numbers as they stand now. A long list is matched with the log
    // on the thread, and the snapshot is made there too: it must copy nothing that
    // changes meanwhile. changed() tells when the numbers are in place.
    using EntrySnapshot = std::function<QList<RecallEntry>()>;
    void setEntries(EntrySnapshot snapshot);
    void setEntries(const QList<RecallEntry> &entries);
    bool hasEntries() const { return m_haveEntries; }

    const Fsrs &model() const { return m_fsrs; }
    const QList<RecallItem> &items() const { return m_items; }
    // The answers of the log, those given since it was read included.
    const RecallLog::History &log() const { return m_log; }

    // The numbers due at `now`, most overdue first (new numbers after them, in list
    // order), as indexes into items().
    QList<int> dueItems(qint64 now) const;
    int dueCount(qint64 now) const;
    // The earliest time a number falls due after `now`; 0 when none will.
    qint64 nextDue(qint64 now) const;
    // The item of a number, -1 when the list does not hold it.
    int indexOf(const QString &number, const QString &description) const;

    // What answering an item with a grade now would give.
    Fsrs::Memory preview(int item, Fsrs::Grade grade, qint64 now) const;
    // Writes the answer to the log (on the disk before this returns) and schedules
    // its number anew; false, with `error` naming the file, when it could not be written.
    bool record(const RecallLog::Answer &answer, QString *error = nullptr);

    // The key of a number as the list holds it.
    static RecallKey keyOf(const QString &number, const QString &description);
    // Where the spread of a number's interval is drawn from: the hash of its key
    // (keyHash) and the time of the answer.
    static size_t keyHash(const RecallKey &key) { return qHash(key, 0x5eed); }
    static quint64 seedOf(size_t keyHash, qint64 time);

signals:
    void loaded();
    // The schedule changed: an answer, new entries, another retention, the log read.
    void changed();

private:
    struct KeyState
    {
        Fsrs::Memory memory;
        int reviews = 0;
        int lapses = 0;
        std::optional<Fsrs::Grade> lastGrade;
        // keyHash() of the number, which spreads its intervals; kept beside its memory,
        // where a replay of a long history finds it without a second lookup.
        size_t keyHash = 0;
    };

    // Computes the schedule from the answers again, on the thread.
    void replay();
    // The memory of every number of the log after its answers, by its key's index.
    static QList<KeyState> statesOf(const Fsrs &model, const RecallLog::History &log);
    static void apply(const Fsrs &model, KeyState &state, const RecallLog::Record &record);
    // Matches the entries with the memory of the log, on the thread.
    void mapItems();
    void jobDone();
    struct Mapped
    {
        QList<RecallEntry> entries;
        QList<RecallItem> items;
        // Where to find each item by its key.
        RecallKeyIndex itemOf;
    };
    static void mapInto(Mapped &mapped, const QList<KeyState> &states,
                        const QList<RecallKey> &logKeys, const RecallKeyIndex &keyIds);
    int itemOf(const RecallKey &key) const;

    Clock m_clock;
    Fsrs m_fsrs;
    QString m_dataDir;
    BackgroundJob *m_job = nullptr;
    bool m_loaded = false;
    std::optional<QString> m_pendingLoad;
    bool m_replayWhenLoaded = false;
    bool m_haveEntries = false;
    QString m_loadProblem;
    std::unique_ptr<RecallLog::Writer> m_writer;

    RecallLog::History m_log;
    QList<KeyState> m_states;
    // The index of each key of the log.
    RecallKeyIndex m_keyIds;
    QList<RecallEntry> m_entries;
    EntrySnapshot m_snapshot;
    bool m_mapWhenDone = false;
    QList<RecallItem> m_items;
    RecallKeyIndex m_itemOf;
};
