#pragma once

#include "drills/DrillLog.h"
#include "drills/DrillStatistics.h"
#include "recall/Fsrs.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// The owner of the drills' results: the drill history (drills.log, see DrillLog), read
// when it is first needed, every result appended to it, and the schedule of the image
// keys, which come back by the memory model of spaced recall, graded from how right and
// how quick each answer was. The drill windows and the statistics ask this object; the
// clock can be replaced, so a test lets days pass in a moment.
class DrillHistory : public QObject
{
    Q_OBJECT

public:
    // Milliseconds since the epoch, UTC.
    using Clock = std::function<qint64()>;

    // A right answer begun within this many milliseconds is Easy, within goodWithin
    // Good, later Hard; a wrong one is Again.
    static constexpr qint64 easyWithin = 1500;
    static constexpr qint64 goodWithin = 4000;

    explicit DrillHistory(QObject *parent = nullptr);
    ~DrillHistory() override;

    void setClock(Clock clock) { m_clock = std::move(clock); }
    qint64 now() const { return m_clock(); }

    // Reads the history of a data folder (none without a folder).
    void load(const QString &dataDir);
    // The history could not be read, or some lines of it could not; the message to
    // show once, empty when all was well.
    QString loadProblem() const { return m_loadProblem; }

    const QList<DrillLog::Result> &results() const { return m_results; }
    // Writes the result (on the disk before this returns); false, with `error` naming
    // the file, when it could not be written.
    bool record(const DrillLog::Result &result, QString *error = nullptr);

    static Fsrs::Grade gradeFor(bool right, qint64 milliseconds);

    // The answers of the Images or the Flash drill by key.
    const DrillStatistics::Answers &answers(DrillLog::Drill drill) const
    {
        return drill == DrillLog::Drill::Flash ? m_flash : m_images;
    }

    // The memory of an image key; a key never drilled is new.
    Fsrs::Memory memoryOf(const QString &key) const { return m_memory.value(key); }
    const Fsrs &model() const { return m_fsrs; }
    // Those of `keys` due at `now`: the most overdue first, then the new ones in the
    // order given.
    QStringList dueKeys(const QStringList &keys, qint64 now) const;
    // The earliest time one of `keys` falls due after `now`; 0 when none will.
    qint64 nextDue(const QStringList &keys, qint64 now) const;

signals:
    void changed();

private:
    void schedule(const DrillLog::Result &result);

    Clock m_clock;
    Fsrs m_fsrs;
    QString m_loadProblem;
    QList<DrillLog::Result> m_results;
    QHash<QString, Fsrs::Memory> m_memory;
    DrillStatistics::Answers m_images;
    DrillStatistics::Answers m_flash;
    std::unique_ptr<DrillLog::Writer> m_writer;
};
