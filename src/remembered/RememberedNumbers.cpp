#include "remembered/RememberedNumbers.h"

#include "core/BackgroundJob.h"
#include "core/LargePages.h"
#include "remembered/FlashCardFile.h"
#include "remembered/RememberedJournal.h"
#include "remembered/RememberedList.h"
#include "remembered/RowOrder.h"
#include "settings/Installation.h"

#include <QFileInfo>
#include <QPointer>

#include <memory>
#include <utility>

namespace {

QPointer<RememberedNumbers> &shared()
{
    static QPointer<RememberedNumbers> numbers;
    return numbers;
}

} // namespace

RememberedNumbers::RememberedNumbers(QObject *parent)
    : QObject(parent), m_list(new RememberedList(this)), m_job(new BackgroundJob(this)),
      m_saveJob(new BackgroundJob(this))
{}

RememberedNumbers::~RememberedNumbers()
{
    drain();
    if (m_list->isLoaded() && !m_discarded) {
        QString error;
        saveForExit(&error);
    }
}

bool RememberedNumbers::isBusy() const
{
    return m_running || !m_steps.isEmpty() || m_saveJob->isRunning();
}

RememberedNumbers *RememberedNumbers::instance()
{
    QPointer<RememberedNumbers> &numbers = shared();
    if (!numbers)
        numbers = new RememberedNumbers;
    return numbers;
}

void RememberedNumbers::release()
{
    delete shared().data();
}

int RememberedNumbers::entryCount() const
{
    return m_list->entryCount();
}

RememberedEntry RememberedNumbers::entry(int position) const
{
    return m_list->entry(position);
}

int RememberedNumbers::sortColumn() const
{
    return m_sortWanted >= 0 ? m_sortWanted : m_list->sortColumn();
}

void RememberedNumbers::setDataDir(const QString &dataDir)
{
    m_dataDirSet = true;
    m_list->setDataDir(dataDir);
}

QString RememberedNumbers::dataDir() const
{
    return m_dataDirSet ? m_list->dataDir() : Installation::dataFolder();
}

bool RememberedNumbers::isLoaded() const
{
    return m_list->isLoaded();
}

bool RememberedNumbers::isLoading() const
{
    return m_loadAhead && !m_list->isLoaded();
}

const WordUsage &RememberedNumbers::usage() const
{
    return m_list->usage();
}

int RememberedNumbers::uses(const QString &word) const
{
    return m_list->usesOf(word);
}

bool RememberedNumbers::changed() const
{
    return m_list->changed();
}

QString RememberedNumbers::lastError() const
{
    return m_list->lastError();
}

int RememberedNumbers::blankedEntries() const
{
    return m_list->blankedEntries();
}

bool RememberedNumbers::savesWorkingCopyOnly() const
{
    return m_list->savesWorkingCopyOnly();
}

void RememberedNumbers::whenLoaded(QObject *context, const std::function<void()> &then)
{
    if (m_list->isLoaded() && !isLoading()) {
        then();
        return;
    }
    load();
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(this, &RememberedNumbers::loaded, context, [connection, then] {
        QObject::disconnect(*connection);
        then();
    });
}

// The queue.

void RememberedNumbers::enqueue(Step::Kind kind, std::function<void()> begin, bool journaled)
{
    m_steps.append({kind, std::move(begin), journaled});
    advance();
}

void RememberedNumbers::journalInTurn(bool journaled, bool stored, const RememberedEntry &entry)
{
    if (journaled)
        m_journal->counted(1);
    else
        journal({{stored, entry}});
}

bool RememberedNumbers::journalAhead(bool stored, const RememberedEntry &entry)
{
    if (!m_running || !m_journal || !m_list->isLoaded())
        return false;
    const auto changesRows = [](const Step &step) {
        switch (step.kind) {
        case Step::Sort:
        case Step::Export:
        case Step::Save:
            return false;
        case Step::Store:
        case Step::Forget:
            return !step.journaled;
        case Step::Load:
        case Step::Import:
        case Step::Unload:
            break;
        }
        return true;
    };
    if (changesRows({m_runningKind, {}, false}) ||
        std::any_of(m_steps.cbegin(), m_steps.cend(), changesRows))
        return false;
    // Should the line not be written, the step writes it in its turn and tells why not.
    return m_journal->appendAhead(RememberedJournal::linesOf(
        {{stored ? RememberedJournal::Change::Store : RememberedJournal::Change::Forget, entry}}));
}

void RememberedNumbers::advance()
{
    if (m_advancing)
        return;
    m_advancing = true;
    while (!m_running && !m_steps.isEmpty()) {
        const Step step = m_steps.takeFirst();
        m_running = true;
        m_runningKind = step.kind;
        step.begin();
    }
    m_advancing = false;
    // What the steps have to tell comes once they are in place, in the order they
    // ended. A message box shown meanwhile holds up no step: its event loop goes on
    // with the queue, and what those steps tell waits for the box to close.
    while (!m_reporting && !m_reports.isEmpty()) {
        m_reporting = true;
        m_reports.takeFirst()();
        m_reporting = false;
    }
    if (!isBusy() && m_reports.isEmpty()) {
        setBusyText({});
        emit idle();
    }
}

void RememberedNumbers::stepDone(std::function<void()> report)
{
    m_running = false;
    if (report)
        m_reports.append(std::move(report));
    advance();
}

void RememberedNumbers::compute(bool onThread, const QString &what, std::function<void()> work,
                                std::function<void()> apply)
{
    if (!onThread) {
        work();
        apply();
        return;
    }
    setBusyText(what);
    m_job->start(std::move(work), std::move(apply));
}

void RememberedNumbers::setBusyText(const QString &text)
{
    if (text == m_busyText)
        return;
    m_busyText = text;
    emit busyChanged(text);
}

void RememberedNumbers::drain()
{
    for (;;) {
        if (m_running && m_job->isRunning()) {
            m_job->finish();
        } else if (m_saveJob->isRunning()) {
            // Its end may let a waiting step go on.
            m_saveJob->finish();
        } else if (m_running) {
            // A step that runs here, further up the stack, cannot be waited for.
            return;
        } else if (!m_steps.isEmpty()) {
            advance();
        } else {
            break;
        }
    }
    advance();
}

// The requests.

void RememberedNumbers::load()
{
    if (m_loadAhead)
        return;
    m_loadAhead = true;
    // Every load shows the list by description, as it always opens.
    m_sortWanted = RememberedList::DescriptionColumn;
    enqueue(Step::Load, [this] { beginLoad(); });
}

void RememberedNumbers::beginLoad()
{
    if (m_list->isLoaded()) {
        stepDone();
        return;
    }
    // The files are read once no save writes them.
    if (m_saveJob->isRunning()) {
        whenSaved([this] { beginLoad(); });
        return;
    }
    if (!m_dataDirSet)
        m_list->setDataDir(Installation::dataFolder());
    if (m_list->dataDir().isEmpty())
        m_journal.reset();
    else if (!m_journal || m_journalDir != m_list->dataDir())
        m_journal = std::make_unique<RememberedJournal>(m_list->dataDir());
    m_journalDir = m_list->dataDir();
    m_list->setSortColumn(RememberedList::DescriptionColumn);
    const QString dir = m_list->dataDir();
    const qsizetype entries =
        std::max(entriesIn(QFileInfo(RememberedFile::filePath(dir)).size()),
                 entriesIn(QFileInfo(RememberedFile::workingCopyPath(dir)).size()));
    auto read = std::make_shared<RememberedList::Loaded>();
    // The kept rows move on to the thread, which changes them without a copy.
    auto source = std::make_shared<RememberedList::Source>(m_list->loadSource());
    source->journal = m_journal.get();
    compute(
        isLong(entries), tr("Loading the list..."),
        [read, source] { ListFilePolicy::prepare(read.get(), std::move(*source)); },
        [this, read] {
            const RememberedFile::LoadStatus status = m_list->adopt(*read);
            // A list that cannot be saved keeps no journal either.
            if (status == RememberedFile::LoadStatus::Unreadable)
                m_journal.reset();
            // The journal's changes go into the list file at once.
            if (read->replayed > 0)
                save();
            const QString journalError = read->journalError;
            stepDone([this, status, journalError] {
                emit loaded(status);
                if (!journalError.isEmpty())
                    emit saved(false, journalError);
            });
        });
}

void RememberedNumbers::sort(int column)
{
    if (column < RememberedList::ValueColumn || column > RememberedList::WordsColumn ||
        column == sortColumn())
        return;
    m_sortWanted = column;
    // A sort still waiting takes the latest column.
    for (const Step &step : std::as_const(m_steps)) {
        if (step.kind == Step::Sort)
            return;
    }
    enqueue(Step::Sort, [this] { beginSort(); });
}

void RememberedNumbers::beginSort()
{
    const int column = m_sortWanted;
    if (column < 0 || column == m_list->sortColumn()) {
        stepDone();
        return;
    }
    struct Sorted
    {
        QList<qsizetype> order;
        std::optional<PackedEntries> rows;
    };
    auto sorted = std::make_shared<Sorted>();
    const bool onThread = isLong(m_list->entryCount());
    compute(
        onThread, tr("Sorting..."),
        [sorted, rows = m_list->rows(), column, onThread] {
            sorted->order = RowOrder::sortOrder(rows, column);
            // A long list's rows are put in order on the thread too.
            if (onThread) {
                sorted->rows = rows;
                sorted->rows->reorder(sorted->order);
            }
        },
        [this, sorted, column, changes = m_list->m_changes] {
            m_list->m_sortColumn = column;
            m_list->applyOrder(sorted->order, std::move(sorted->rows), changes);
            stepDone();
        });
}

void RememberedNumbers::store(const RememberedEntry &entry)
{
    load();
    const bool journaled = journalAhead(true, entry);
    enqueue(
        Step::Store,
        [this, entry, journaled] {
            m_list->addEntry(entry.Value, entry.Description, entry.Words);
            journalInTurn(journaled, true, entry);
            stepDone();
        },
        journaled);
    save();
}

void RememberedNumbers::forget(int position)
{
    if (position < 1 || position > m_list->entryCount())
        return;
    // The entry on show now, wherever steps before this one move it.
    const quint32 tag = m_list->rows().tag(position - 1);
    // Nothing before a forget written ahead moves the entry out of the list.
    const bool journaled = journalAhead(false, m_list->entry(position));
    enqueue(
        Step::Forget,
        [this, tag, journaled] {
            const int at = m_list->positionOfTag(tag);
            const RememberedEntry entry = m_list->entry(at);
            if (m_list->removeEntry(at))
                journalInTurn(journaled, false, entry);
            stepDone();
        },
        journaled);
    save();
}

void RememberedNumbers::importFile(const QString &path)
{
    load();
    enqueue(Step::Import, [this, path] { beginImport(path); });
    save();
}

void RememberedNumbers::beginImport(const QString &path)
{
    auto merged = std::make_shared<RememberedList::Imported>();
    // The entries added go into the journal on the thread too, where a long import's
    // hundreds of thousands of lines are made and synced; they count as held by the
    // journal once the rows are in place.
    auto journaled = std::make_shared<std::pair<qsizetype, QString>>();
    const bool onThread = isLong(m_list->entryCount()) || isLong(entriesIn(QFileInfo(path).size()));
    compute(
        onThread, tr("Importing %1...").arg(QFileInfo(path).fileName()),
        [merged, journaled, journal = m_journal.get(), rows = m_list->rows(), path,
         column = m_list->sortColumn(), next = m_list->m_nextArrival] {
            RememberedList::readImport(merged.get(), rows, path, column, next);
            // The Review window's view grows its table of rows with the list once the
            // rows are taken in. A page at a time, filling the new part stood the
            // window still for some 50 ms at 1.5 million rows on a virtual machine.
            if (isLong(merged->rows.size()))
                LargePages::preferForAllBlocks(std::size_t(16) << 20);
            if (!journal || merged->added.size() == 0)
                return;
            QList<RememberedJournal::Record> records;
            records.reserve(merged->added.size());
            for (qsizetype i = 0; i < merged->added.size(); ++i)
                records.append({RememberedJournal::Change::Store, merged->added.at(i)});
            if (journal->appendAhead(RememberedJournal::linesOf(records), &journaled->second))
                journaled->first = records.size();
        },
        [this, merged, journaled, path] {
            m_list->adoptImport(*merged);
            // Handing back the memory of half a million entries took as long again.
            RememberedList::releaseElsewhere(std::move(merged->added));
            if (m_journal)
                m_journal->counted(journaled->first);
            if (!journaled->second.isEmpty())
                m_reports.append([this, error = journaled->second] { emit saved(false, error); });
            stepDone([this, path, result = merged->result] { emit imported(path, result); });
        });
}

void RememberedNumbers::exportFile(const QString &path)
{
    load();
    enqueue(Step::Export, [this, path] { beginWrite(path, false); });
}

void RememberedNumbers::writeFlashCards(const QString &path)
{
    load();
    enqueue(Step::Export, [this, path] { beginWrite(path, true); });
}

void RememberedNumbers::beginWrite(const QString &path, bool flashCards)
{
    auto outcome = std::make_shared<std::pair<bool, QString>>();
    compute(
        isLong(m_list->entryCount()),
        flashCards ? tr("Writing flash cards to %1...").arg(QFileInfo(path).fileName())
                   : tr("Exporting to %1...").arg(QFileInfo(path).fileName()),
        [outcome, rows = m_list->rows(), path, flashCards] {
            outcome->first = flashCards ? FlashCardFile::write(rows, path, &outcome->second)
                                        : TransferFile::exportList(rows, path, &outcome->second);
        },
        [this, outcome, path, flashCards] {
            stepDone([this, outcome, path, flashCards] {
                emit fileWritten(path, flashCards, outcome->first, outcome->second);
            });
        });
}

void RememberedNumbers::journal(const QList<std::pair<bool, RememberedEntry>> &changes)
{
    QList<RememberedJournal::Record> records;
    records.reserve(changes.size());
    for (const auto &[stored, entry] : changes)
        records.append(
            {stored ? RememberedJournal::Change::Store : RememberedJournal::Change::Forget, entry});
    journal(RememberedJournal::linesOf(records));
}

void RememberedNumbers::journal(const RememberedJournal::Lines &lines)
{
    if (!m_journal || (lines.count == 0 && lines.unwritable.isNull()))
        return;
    QString error;
    if (!m_journal->append(lines, &error))
        m_reports.append([this, error] { emit saved(false, error); });
}

void RememberedNumbers::save()
{
    // A save waiting at the end of the queue will write this change too.
    if (!m_steps.isEmpty() && m_steps.last().kind == Step::Save)
        return;
    enqueue(Step::Save, [this] {
        // A long list's save reads the rows on its thread until it has made the bytes
        // of the file; the next step, which may change them, starts after that.
        if (!startSaving())
            stepDone();
    });
}

bool RememberedNumbers::startSaving()
{
    if (m_saveJob->isRunning()) {
        m_saveAgain = true;
        return false;
    }
    if (!m_list->changed()) {
        m_reports.append([this] { emit saved(true, {}); });
        return false;
    }
    auto copy = std::make_shared<RememberedList::SaveCopy>(m_list->saveCopy());
    copy->journalMark = m_journal ? m_journal->mark() : 0;
    // Told from the save's thread once the copy of the rows has gone: a change to the
    // rows from then on copies nothing.
    const quint64 serial = ++m_saves;
    copy->rowsReleased = [this, serial] {
        QMetaObject::invokeMethod(this, "rowsReleased", Qt::QueuedConnection,
                                  Q_ARG(quint64, serial));
    };
    auto outcome = std::make_shared<std::pair<bool, QString>>();
    RememberedJournal *journal = m_journal.get();
    const auto work = [copy, outcome, journal] {
        outcome->first = ListFilePolicy::write(*copy, &outcome->second, journal);
        // The rows are not needed any more; they go here, not on the owner's thread.
        copy->rows.clear();
    };
    const auto done = [this, copy, outcome, serial] {
        m_list->saveEnded(outcome->first, outcome->second, *copy);
        m_reports.append([this, outcome] { emit saved(outcome->first, outcome->second); });
        // The next save is a step of the queue like this one, so that no change is
        // made to the rows while it reads them.
        if (std::exchange(m_saveAgain, false) && m_list->changed())
            save();
        for (const std::function<void()> &then : std::exchange(m_afterSave, {}))
            then();
        // A save that failed before it made its bytes still holds the queue.
        if (m_rowsInSave == serial)
            rowsReleased(serial);
        else
            advance();
    };
    if (!isLong(m_list->entryCount()) || !copy->refusal.isEmpty()) {
        work();
        done();
        return false;
    }
    setBusyText(tr("Saving the list..."));
    m_rowsInSave = serial;
    m_saveJob->start(work, done);
    return true;
}

void RememberedNumbers::rowsReleased(quint64 serial)
{
    if (m_rowsInSave != serial)
        return;
    m_rowsInSave = 0;
    stepDone();
}

void RememberedNumbers::whenSaved(std::function<void()> then)
{
    if (m_saveJob->isRunning())
        m_afterSave.append(std::move(then));
    else
        then();
}

void RememberedNumbers::unload()
{
    m_loadAhead = false;
    save();
    enqueue(Step::Unload, [this] { beginUnload(); });
}

void RememberedNumbers::beginUnload()
{
    // The rows go once the save of them has ended.
    if (m_saveJob->isRunning()) {
        whenSaved([this] { beginUnload(); });
        return;
    }
    bool queuedLoad = false;
    for (const Step &step : std::as_const(m_steps))
        queuedLoad = queuedLoad || step.kind == Step::Load;
    if (m_list->isLoaded() && !m_list->changed()) {
        m_list->unload();
        m_reports.append([this] { emit unloaded(); });
    } else if (m_list->isLoaded() && !queuedLoad)
        // A save failed: the rows stay, so that nothing is lost.
        m_loadAhead = true;
    stepDone();
}

bool RememberedNumbers::saveForExit(QString *error)
{
    m_exiting = true;
    drain();
    if (!m_list->isLoaded() || !m_list->changed())
        return true;
    RememberedList::SaveCopy copy = m_list->saveCopy();
    copy.journalMark = m_journal ? m_journal->mark() : 0;
    QString problem;
    const bool saved = ListFilePolicy::write(copy, &problem, m_journal.get());
    m_list->saveEnded(saved, problem, copy);
    if (!saved && error)
        *error = problem;
    return saved;
}

void RememberedNumbers::dropForExit()
{
    drain();
    m_loadAhead = false;
    m_list->unload();
}
