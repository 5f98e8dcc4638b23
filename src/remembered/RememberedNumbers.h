#pragma once

#include "core/WordUsage.h"
#include "remembered/RememberedEntry.h"
#include "remembered/RememberedFile.h"
#include "remembered/TransferFile.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class BackgroundJob;
class RememberedJournal;
class RememberedList;

// The remembered numbers while the program runs: the rows, the files they are kept in,
// and the usage count of every memory word. The program creates it before any window;
// the windows ask it and hand it their requests, and none of them holds the list.
//
// Requests (load, sort, store, forget, import, export, flash cards, save, unload) are
// steps of one queue, done in the order they came. A step may compute on a copy of
// the rows on a thread of its own, taken when the step starts; its result is put in
// place here before the next step starts. So a number stored while a long list loads
// or sorts is simply the next step, and nothing ever waits for running work except
// drain(), at exit and in tests.
//
// Every change is on the disk before its step ends: a store, forget or import appends
// it to the journal beside the list file (RememberedJournal), synced, which takes
// milliseconds whatever the list's length; one asked for while a sort, an export or a
// save runs is written at once, ahead of its row. The whole list is then saved on a thread
// of its own, beside the queue; a change made meanwhile is saved by the next one. A
// load and an unload wait for a running save.
class RememberedNumbers : public QObject
{
    Q_OBJECT

public:
    explicit RememberedNumbers(QObject *parent = nullptr);
    // Finishes the queue and saves what is left unsaved: no one is left to ask.
    ~RememberedNumbers() override;

    // The program's one list, made on first use; the program makes it before its
    // windows and releases it after them.
    static RememberedNumbers *instance();
    static void release();

    // Work on lists (or files, by their size) of this many entries or more runs on a
    // thread; shorter ones are done at once, so their counts are ready for the next key.
    static qsizetype longList() { return s_longList; }
    static void setLongList(qsizetype entries) { s_longList = entries; }
    static bool isLong(qsizetype entries) { return entries >= s_longList; }
    // The entries a file of remembered numbers or an export file of this size holds,
    // about: both take some 40 bytes an entry.
    static qsizetype entriesIn(qint64 fileBytes) { return qsizetype(fileBytes / 40); }

    // The rows as the windows show them, in the order of the sort column. Read it;
    // change it only through the requests below.
    RememberedList *model() const { return m_list; }
    int entryCount() const;
    RememberedEntry entry(int position) const;
    int sortColumn() const;

    // The folder of rv.db; the installation's data folder unless set.
    void setDataDir(const QString &dataDir);
    QString dataDir() const;

    void load();
    // Rows, counts and entries stay empty until the load has put them in place.
    bool isLoaded() const;
    // Whether a load is asked for or running and not yet in place.
    bool isLoading() const;
    // Runs `then` here once the list is loaded: at once when it is.
    void whenLoaded(QObject *context, const std::function<void()> &then);

    void sort(int column);
    // Stores a number: loads the list first when it is not loaded.
    void store(const RememberedEntry &entry);
    // Forgets the entry on show at a 1-based position, as it is on show now.
    void forget(int position);
    void importFile(const QString &path);
    void exportFile(const QString &path);
    void writeFlashCards(const QString &path);
    // Saves a changed list; every change asks for it itself.
    void save();
    // Saves a changed list and drops its rows; should the save fail, the rows stay.
    void unload();

    // Waits until every step asked for has ended and its result is in place.
    void drain();
    // The save before the program ends, done here and now after the queue: false with
    // `error` when it failed. Then dropForExit() lets the rows go, whatever the outcome.
    bool saveForExit(QString *error);
    void dropForExit();
    // Set when the user chose to quit without saving.
    bool discarded() const { return m_discarded; }
    void setDiscarded(bool discarded) { m_discarded = discarded; }
    // Set by saveForExit(): the program is ending, and no window tells of the load.
    bool isExiting() const { return m_exiting; }

    // Whether steps wait or run, and what the one running on a thread does, for the
    // line that tells the user; empty when nothing runs there.
    bool isBusy() const;
    QString busyText() const { return m_busyText; }

    // How often the stored numbers use each memory word; empty until loaded.
    const WordUsage &usage() const;
    int uses(const QString &word) const;
    bool changed() const;
    QString lastError() const;
    int blankedEntries() const;
    bool savesWorkingCopyOnly() const;

signals:
    void loaded(RememberedFile::LoadStatus status);
    void saved(bool ok, const QString &error);
    void imported(const QString &path, const TransferFile::ImportResult &result);
    // An export or flash cards were written, or failed to be (`error` says why).
    void fileWritten(const QString &path, bool flashCards, bool ok, const QString &error);
    void busyChanged(const QString &text);
    // The rows went, after a save.
    void unloaded();
    // Every step asked for has ended.
    void idle();

private Q_SLOTS:
    // A save no longer reads the rows: called here, or queued from the save's thread
    // by name, so that nothing of ours is freed on that thread.
    void rowsReleased(quint64 serial);

private:
    struct Step
    {
        enum Kind
        {
            Load,
            Sort,
            Store,
            Forget,
            Import,
            Export,
            Save,
            Unload
        };
        Kind kind;
        std::function<void()> begin;
        // A store or forget whose line is in the journal already.
        bool journaled = false;
    };

    void enqueue(Step::Kind kind, std::function<void()> begin, bool journaled = false);
    // Puts a store or forget asked for behind running work into the journal at once,
    // ahead of its row, when nothing before it changes the rows: its line then follows
    // those of every change before it, as its row will. True when it is on the disk.
    bool journalAhead(bool stored, const RememberedEntry &entry);
    // Once the row of such a change is in place: its line counts as held now; a change
    // not written ahead is written now.
    void journalInTurn(bool journaled, bool stored, const RememberedEntry &entry);
    void advance();
    // Ends the running step; `report` tells the windows, once the next step has begun.
    void stepDone(std::function<void()> report = {});
    // Runs `work` on a thread when `onThread`, else here; then `apply` here, then ends
    // the step.
    void compute(bool onThread, const QString &what, std::function<void()> work,
                 std::function<void()> apply);
    void setBusyText(const QString &text);
    // Appends changes (true for a store) to the journal; a failure is told as a
    // failed save.
    void journal(const QList<std::pair<bool, RememberedEntry>> &changes);
    void journal(const RememberedJournal::Lines &lines);
    // Saves the whole list on its own thread, or at once for a short list. True when
    // the save reads the rows on its thread: the step ends once it no longer does.
    bool startSaving();
    // Runs `then` once no save runs any more.
    void whenSaved(std::function<void()> then);

    void beginLoad();
    void beginSort();
    void beginImport(const QString &path);
    void beginWrite(const QString &path, bool flashCards);
    void beginUnload();

    RememberedList *m_list = nullptr;
    BackgroundJob *m_job = nullptr;
    BackgroundJob *m_saveJob = nullptr;
    bool m_saveAgain = false;
    // Counts the saves; the one that still reads the rows, or 0.
    quint64 m_saves = 0;
    quint64 m_rowsInSave = 0;
    QList<std::function<void()>> m_afterSave;
    std::unique_ptr<RememberedJournal> m_journal;
    QString m_journalDir;
    QList<Step> m_steps;
    bool m_running = false;
    Step::Kind m_runningKind = Step::Load;
    bool m_advancing = false;
    bool m_reporting = false;
    QList<std::function<void()>> m_reports;
    QString m_busyText;
    // Where the list stands once every step queued has ended.
    bool m_loadAhead = false;
    int m_sortWanted = -1;
    bool m_discarded = false;
    bool m_exiting = false;
    bool m_dataDirSet = false;
    static inline qsizetype s_longList = 5000;
};
