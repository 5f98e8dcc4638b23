#include "drills/DrillHistory.h"

#include "core/AppendOnlyFile.h"

#include <QDateTime>
#include <QDir>

#include <algorithm>

DrillHistory::DrillHistory(QObject *parent)
    : QObject(parent), m_clock([] { return QDateTime::currentMSecsSinceEpoch(); })
{}

DrillHistory::~DrillHistory() = default;

Fsrs::Grade DrillHistory::gradeFor(bool right, qint64 milliseconds)
{
    if (!right)
        return Fsrs::Grade::Again;
    if (milliseconds <= easyWithin)
        return Fsrs::Grade::Easy;
    return milliseconds <= goodWithin ? Fsrs::Grade::Good : Fsrs::Grade::Hard;
}

void DrillHistory::load(const QString &dataDir)
{
    m_results.clear();
    m_memory.clear();
    m_images.clear();
    m_flash.clear();
    m_loadProblem.clear();
    m_writer.reset();
    if (dataDir.isEmpty())
        return;
    DrillLog::LoadResult log = DrillLog::load(dataDir);
    const QString file = QDir::toNativeSeparators(DrillLog::filePath(dataDir));
    if (!log.error.isEmpty()) {
        m_loadProblem = tr("The drill history %1 could not be read: %2\n\nResults of drills "
                           "done now are added to it when it can be written.")
                            .arg(file, log.error);
    } else if (!log.badLines.isEmpty()) {
        m_loadProblem = AppendOnlyFile::unreadableLines(
            log.badLines, file, tr("A line of the drill history %1 could not be read (line %2)."),
            tr("Some lines of the drill history %1 could not be read (lines %2)."),
            tr("They are kept in the file as they are and left out of the figures."));
    }
    m_results = std::move(log.results);
    for (const DrillLog::Result &result : std::as_const(m_results))
        schedule(result);
    m_writer = std::make_unique<DrillLog::Writer>(dataDir);
    emit changed();
}

void DrillHistory::schedule(const DrillLog::Result &result)
{
    if (result.drill == DrillLog::Drill::Flash)
        DrillStatistics::add(m_flash, result);
    if (result.drill != DrillLog::Drill::Images)
        return;
    DrillStatistics::add(m_images, result);
    Fsrs::Memory &memory = m_memory[result.key];
    // The spread of the intervals is drawn from the key and the time, so that reading
    // the same history again gives the same schedule.
    const quint64 key = quint64(result.key.size()) * 1000 + result.key.toULongLong();
    memory = m_fsrs.review(memory, result.grade, result.time,
                           (key + 1) * 0x9E3779B97F4A7C15ULL ^ quint64(result.time));
}

bool DrillHistory::record(const DrillLog::Result &given, QString *error)
{
    if (!m_writer) {
        if (error)
            *error = tr("There is no data folder to keep the drill history in.");
        return false;
    }
    const DrillLog::Result result = DrillLog::normalised(given);
    if (!m_writer->append(result, error))
        return false;
    m_results.append(result);
    schedule(result);
    emit changed();
    return true;
}

QStringList DrillHistory::dueKeys(const QStringList &keys, qint64 now) const
{
    QList<std::pair<qint64, QString>> due;
    QStringList fresh;
    for (const QString &key : keys) {
        const auto found = m_memory.constFind(key);
        if (found == m_memory.constEnd())
            fresh.append(key);
        else if (found->due <= now)
            due.append({found->due, key});
    }
    std::stable_sort(due.begin(), due.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QStringList ordered;
    for (const auto &[when, key] : due)
        ordered.append(key);
    return ordered + fresh;
}

qint64 DrillHistory::nextDue(const QStringList &keys, qint64 now) const
{
    qint64 next = 0;
    for (const QString &key : keys) {
        const auto found = m_memory.constFind(key);
        if (found != m_memory.constEnd() && found->due > now && (next == 0 || found->due < next))
            next = found->due;
    }
    return next;
}
