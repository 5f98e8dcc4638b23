#pragma once

#include "core/WordUsage.h"
#include "remembered/PackedEntries.h"
#include "remembered/RememberedFile.h"
#include "remembered/RememberedJournal.h"

#include <QString>

#include <functional>
#include <optional>

// Which file the remembered numbers are read from and written to, and when a save
// must not write at all. The list is read from rv.db; when rv.db exists but cannot be
// read, from rv2.db, and then saves write rv2.db only, so that rv.db, whose list may
// still be whole, stays as it is. When neither can be read, nothing is written.
//
// The rows of the last unload are kept here, and the next load takes them back
// instead of reading the file again, as long as rv.db still holds exactly them.
// The halves of a load and a save that may run on another thread are static and
// touch only what they are given.
class ListFilePolicy
{
public:
    // Where a load takes its rows from: the file, or the rows of the last unload.
    struct Source
    {
        QString dataDir;
        bool workingCopyOnly = false;
        int sortColumn = 1;
        std::optional<PackedEntries> kept;
        int keptColumn = 1;
        int fileOrder = -1;
        bool recount = false;
        // The journal of changes to the list file, read and continued by the load.
        RememberedJournal *journal = nullptr;
    };
    // What a load reads, made ready away from the rows on show.
    struct Loaded
    {
        RememberedFile::LoadResult file;
        WordUsage usage;
        // False when the usage table of the rows kept aside still holds.
        bool counted = true;
        // The changes of the journal put on the rows of the file, and what went wrong
        // with the journal.
        qsizetype replayed = 0;
        QString journalError;
    };
    // What a save writes, taken from the rows; `refusal` says why none may be written.
    struct SaveCopy
    {
        QString dataDir;
        PackedEntries rows;
        bool workingCopyOnly = false;
        int column = 1;
        QString refusal;
        // The changes made to the rows so far, and to the journal.
        quint64 changes = 0;
        qsizetype journalMark = 0;
        // Called on the save's thread once the rows have gone, the bytes being made.
        std::function<void()> rowsReleased;
    };

    // The folder that holds rv.db.
    void setDataDir(const QString &dataDir) { m_dataDir = dataDir; }
    QString dataDir() const { return m_dataDir; }
    // Whether saves go to rv2.db only, because rv.db could not be read.
    bool workingCopyOnly() const { return m_workingCopyOnly; }

    // What the next load reads, its rows sorted by `sortColumn`; takes the kept rows.
    Source loadSource(int sortColumn);
    // Reads the rows, puts the journal's changes on them, counts their words and sorts.
    static void prepare(Loaded *loaded, Source source);
    // Notes what a load found, and so which file later saves may write.
    void loaded(const RememberedFile::LoadResult &file);

    // The rows to write, in the order of `column`; refused for rows never loaded.
    SaveCopy saveCopy(const PackedEntries &rows, int column, bool rowsLoaded) const;
    // Writes the copy; with a journal, notes in it what the new list file holds
    // before the file is replaced, and keeps only the later changes afterwards.
    // The copy's rows are released once the bytes are made.
    static bool write(SaveCopy &copy, QString *error, RememberedJournal *journal = nullptr);
    // A save of rows in the order of `column` succeeded; `whole` when no change came
    // after its copy, so the file holds the rows in that order.
    void saved(int column, bool whole);

    // The usage table no longer counts rv.db as it is: a kept list recounts.
    void usageChanged() { m_usageFromFile = false; }
    // Keeps the rows of an unload, saved and in the order of `column`; nothing is
    // kept when `rows` is empty.
    void keep(std::optional<PackedEntries> rows, int column);

private:
    static bool reuseKept(Loaded *loaded, Source &source);
    // Puts the journal's changes since the list file was written on its rows.
    static void replay(Loaded *loaded, RememberedJournal *journal);

    QString m_dataDir;
    // Set when a load found rv.db but could not read it: the list it holds may still
    // be whole, so saves leave it alone and write rv2.db only.
    bool m_workingCopyOnly = false;
    // Set when no file could be read and rv2.db exists too: no save writes again.
    QString m_unreadableFileError;
    // Whether the usage table was counted from rv.db as it is now.
    bool m_usageFromFile = false;
    // The order of the rows in rv.db: that of this column (the sort column at the last
    // save), or with -1 the order of arrival (the rows as the last load read them).
    int m_fileOrder = -1;
    // The rows of the last unload, sorted by m_keptColumn, with the data folder they
    // belong to.
    std::optional<PackedEntries> m_kept;
    int m_keptColumn = 1;
    QString m_keptDir;
};
