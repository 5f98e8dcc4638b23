#pragma once

#include "core/WordCollection.h"
#include "core/WordUsage.h"
#include "remembered/RememberedEntry.h"
#include "remembered/RememberedFile.h"
#include "remembered/TransferFile.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

class BackgroundJob;

// The remembered numbers: the one owner of the entries, loaded from and saved to the
// data folder, and the usage table of every memory word stored in them. The windows
// show this model as it is, so it keeps its rows sorted by the sort column and a row
// number is the position the user sees. Equal texts keep the order in which their
// entries arrived, so switching the sort column and back restores the same list.
// A long list is loaded, sorted, merged with an import and saved on a thread of its
// own, so the windows stay responsive; the rows change only on this object's thread,
// and every change waits for work on the rows that is still running.
class RememberedList : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        ValueColumn = 0,
        DescriptionColumn = 1,
        WordsColumn = 2
    };

    explicit RememberedList(QObject *parent = nullptr);
    ~RememberedList() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The folder that holds rv.db.
    void setDataDir(const QString &dataDir) { m_dataDir = dataDir; }
    QString dataDir() const { return m_dataDir; }

    // Rows are always in ascending order of this column, ignoring letter case;
    // numbers compare as text. A long list is sorted on a thread: the rows keep their
    // order until it is done, while sortColumn() is already the new column.
    int sortColumn() const { return m_sortColumn; }
    void setSortColumn(int column);

    // Lists of at least this many rows are read, sorted, merged and saved on a thread.
    static qsizetype longList() { return s_longList; }
    static void setLongList(qsizetype rows) { s_longList = rows; }
    // Whether work on the rows or a save is running on a thread.
    bool isBusy() const;
    // Waits for work on the rows still running on a thread (a load, a sort, an
    // import) and puts its outcome in place.
    void settle();

    // Replaces the rows with the file's entries and rebuilds the usage table from
    // them. When rv.db exists but cannot be read, no later save of this object
    // replaces it: the rows come from rv2.db when that can be read, and saves write
    // rv2.db only. lastError() tells what went wrong. Entries whose text had to be
    // blanked to be writable leave the list changed, so the next save cleans the file.
    RememberedFile::LoadStatus readnumbers();
    // The same on a thread of its own: the rows and the usage table stay empty until
    // the load has finished and loadFinished() is emitted. Everything that changes or
    // saves the list first waits for the load, so nothing stored meanwhile is lost.
    void startLoading();
    bool isLoading() const { return m_loading; }
    QString lastError() const { return m_lastError; }
    // Entries of the last load that held text the file cannot hold.
    int blankedEntries() const { return m_blankedEntries; }
    // Whether saves go to rv2.db only, because rv.db could not be read.
    bool savesWorkingCopyOnly() const { return m_workingCopyOnly; }

    // Writes the rows in display order when something changed; touches no file
    // otherwise. On failure the list stays changed and `error` says why. Refuses
    // when neither file could be read, and for rows that were never loaded.
    bool SaveNumbers(QString *error = nullptr);
    // The same for a long list on a thread, from a copy of the rows: changes made
    // meanwhile stay changed and are saved next. saveFinished() tells the outcome
    // either way. A save asked for while one runs follows it.
    void startSaving();
    // Waits for a save running on a thread.
    void finishSaving();

    // Merges an export file into the list: the entries it holds that the list does not
    // (TransferFile::readNew), sorted into place. Any file with the header leaves the
    // list changed. For a long list or file the merge runs on a thread;
    // importFinished() tells the outcome either way.
    void startImport(const QString &path);

    // Drops the rows; the usage table stays. Save first: unsaved changes are gone.
    // Saved rows are kept aside, and the next load takes them back instead of reading
    // the file again, as long as rv.db still holds exactly them.
    void unload();
    bool isLoaded() const { return m_loaded; }

    // Stores a new number; words is the chain as the user built it, with its leading
    // space, and every word of it is counted in the usage table.
    void addEntry(const QString &value, const QString &desc, const QString &words);
    // Stores an entry without counting its words (import): the usage table follows
    // at the next load.
    void appendEntry(const RememberedEntry &entry);
    // Removes the entry at a 1-based display position; false when there is none.
    bool removeEntry(int position);

    int entryCount() const { return int(m_rows.size()); }
    // The rows in display order, packed.
    const PackedEntries &rows() const { return m_rows; }
    // The entry at a 1-based display position; an empty entry when there is none.
    RememberedEntry entry(int position) const;
    // The first position from `first` to `last` whose description is not empty and
    // holds `text`, letter case as it is; 0 when there is none.
    int findDescription(const QString &text, int first, int last) const;

    bool changed() const { return m_changed; }
    void setChanged(bool changed) { m_changed = changed; }

    // How often the stored numbers use each memory word.
    const WordUsage &usage() const { return m_usage; }
    // The same as a collection, made on each call: one record per memory word with
    // the number of times the stored numbers use it, in the order the words were
    // first met; its key is the word.
    WordCollection wordc() const { return m_usage.collection(); }
    // Counts one more use of exactly this word, adding its record when it is new.
    void countWord(const QString &word);
    // The uses of a word, whatever its letter case; 0 when it is not in the table.
    int getcount(const QString &word) const;

signals:
    // A load started by startLoading() has put its rows in place.
    void loadFinished(RememberedFile::LoadStatus status);
    void saveFinished(bool saved, const QString &error);
    void importFinished(const QString &path, const TransferFile::ImportResult &result);
    // Work on a thread has ended and none is left.
    void idle();

private:
    // What a load reads, made ready away from the rows on show.
    struct Loaded
    {
        RememberedFile::LoadResult file;
        WordUsage usage;
        // False when the usage table of the rows kept aside still holds.
        bool counted = true;
    };
    // Where a load takes its rows from: the file, or the rows of the last unload
    // when the file still holds exactly them.
    struct Source
    {
        QString dataDir;
        bool workingCopyOnly = false;
        int sortColumn = DescriptionColumn;
        std::optional<PackedEntries> kept;
        int keptColumn = DescriptionColumn;
        int fileOrder = -1;
        bool recount = false;
    };

    Source loadSource();
    static void prepare(Loaded *loaded, Source source);
    static bool reuseKept(Loaded *loaded, Source &source);
    RememberedFile::LoadStatus adopt(Loaded &loaded);
    // The order of a column, as old row numbers in their new places, or nothing when
    // the rows are in that order already. The first `sorted` rows are known to be.
    static QList<qsizetype> sortOrder(const PackedEntries &rows, int column, qsizetype sorted = 0);
    // Puts rows into the order of a column; the order applied, as sortOrder() gives it.
    static QList<qsizetype> sortRows(PackedEntries &rows, int column, qsizetype sorted = 0);
    // Appends entries after the rows with the next tags, and sorts them into place.
    static void mergeIn(PackedEntries &rows, const PackedEntries &entries, quint32 *nextArrival,
                        int column);
    void applyOrder(const QList<qsizetype> &order);
    void startSorting();
    void saveEnded(bool saved, const QString &error, int column);
    void jobEnded();
    void insertSorted(const RememberedEntry &entry);
    void countWords(QStringView words);

    // Each row's tag is its arrival: ties in the sort column keep this order.
    PackedEntries m_rows;
    quint32 m_nextArrival = 0;
    // A load, a sort or an import; and a save, which works on a copy of the rows.
    BackgroundJob *m_rowsJob = nullptr;
    BackgroundJob *m_saveJob = nullptr;
    bool m_loading = false;
    bool m_sorting = false;
    bool m_saveAgain = false;
    static inline qsizetype s_longList = 5000;
    int m_sortColumn = DescriptionColumn;
    QString m_dataDir;
    bool m_loaded = false;
    bool m_changed = false;
    QString m_lastError;
    int m_blankedEntries = 0;
    // Set when a load found rv.db but could not read it: the list it holds may still
    // be whole, so this object's saves leave it alone and write rv2.db only.
    bool m_workingCopyOnly = false;
    // Set when no file could be read and rv2.db exists too: no save of this object
    // writes again.
    QString m_unreadableFileError;

    WordUsage m_usage;
    // Whether the usage table was counted from rv.db as it is now.
    bool m_usageFromFile = false;
    // The order of the rows in rv.db: that of this column (the sort column at the last
    // save), or with -1 the order of arrival (the rows as the last load read them).
    int m_fileOrder = -1;

    // The rows of the last unload, sorted by m_keptColumn, with the data folder they
    // belong to.
    std::optional<PackedEntries> m_kept;
    int m_keptColumn = DescriptionColumn;
    QString m_keptDir;
};
