#pragma once

#include "remembered/RememberedEntry.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QMutex>
#include <QString>

#include <memory>

class AppendOnlyFile;

// What identifies the bytes of a list file: their length and a 64-bit hash of them.
// The hash is the program's own, the same on every machine, so the journal stays
// valid when the data folder moves to another computer; it takes eight bytes a step,
// so a list of a million entries is hashed in milliseconds.
struct ListFingerprint
{
    qint64 size = 0;
    quint64 hash = 0xcbf29ce484222325ULL;

    static ListFingerprint of(QByteArrayView bytes);

    friend bool operator==(const ListFingerprint &, const ListFingerprint &) = default;
};

// The changes to the remembered numbers since the list file (rv.db, or rv2.db when
// the session saves only there) was last written in full: "rv.journal" in the data
// folder, one line per stored or forgotten entry, appended and on the disk before the
// change counts as done. Writing the whole list takes seconds for a long one; a line
// takes a few milliseconds whatever the list's length.
//
// The text conventions are those of the other data files (Windows-1252, CR LF, one
// field in double quotes per line):
//     "numbrill journal 1:SIZE:HASH"    first line: the list file the changes apply to
//     "store:VALUE:DESCRIPTION:WORDS"   an entry stored (or imported)
//     "forget:VALUE:DESCRIPTION:WORDS"  an entry forgotten
//     "fold:COUNT:SIZE:HASH"            a list file with these bytes holds the first
//                                       COUNT changes (written before a full save)
// SIZE is decimal, HASH 16 hex digits (ListFingerprint). The entry's texts are read as
// a line of rv.db is.
//
// A load opens the journal with the fingerprint of the list file it read, and gets
// the changes to apply to it: all of them when the file is the one the journal
// starts from, those after the last matching fold when a full save replaced it since.
// A full save takes mark() with its copy of the rows, calls noteFold() before the
// list file is replaced and compact() after, which rewrites the journal with the
// changes the save did not hold. A kill at any point between loses no change that
// append() acknowledged; a kill during an append loses at most that change.
//
// append() is called on the owner's thread, noteFold() may be called on a save's
// thread: the calls are serialised.
class RememberedJournal
{
public:
    enum class Change : quint8
    {
        Store,
        Forget
    };
    struct Record
    {
        Change change = Change::Store;
        RememberedEntry entry;

        friend bool operator==(const Record &, const Record &) = default;
    };

    static constexpr char fileName[] = "rv.journal";
    // Where a journal that cannot be used is moved, so nothing in it is lost.
    static constexpr char asideName[] = "rv.journal.aside";
    static QString filePath(const QString &dataDir);

    explicit RememberedJournal(QString dataDir);
    ~RememberedJournal();
    RememberedJournal(const RememberedJournal &) = delete;
    RememberedJournal &operator=(const RememberedJournal &) = delete;

    struct Replay
    {
        // The changes to apply, in order, to the entries of the list file just read.
        QList<Record> records;
        // Set when some of the journal could not be used: it names the file, says what
        // happened and where its content went.
        QString error;
        // A torn last line, an append cut short, was cut off.
        bool repaired = false;
    };
    // Reads the journal for a list file just loaded (the fingerprint of its bytes; that
    // of no bytes when there is none) and makes the next appends continue it. A journal
    // that belongs to another list file (one replaced behind the program's back), or
    // that holds an unreadable line, is moved aside; the changes before such a line
    // are still given, and the journal begins again with them.
    Replay open(const ListFingerprint &listFile);

    // Appends changes and syncs them to the disk before returning. False when they
    // could not be written; `error` names the file and the reason, and nothing of
    // them stays in the file.
    bool append(const QList<Record> &records, QString *error = nullptr);
    // The lines of many changes (an import's) made ready on another thread, so that
    // the owner's thread only writes them; `unwritable` is the field of a change the
    // file cannot hold, and then nothing is written.
    struct Lines
    {
        QByteArray bytes;
        qsizetype count = 0;
        QString unwritable;
    };
    static Lines linesOf(const QList<Record> &records);
    bool append(const Lines &lines, QString *error = nullptr);
    // The same from the thread of a long step (an import) whose rows are not in place
    // yet: the changes are on the disk when it returns, but a full save started before
    // the rows are in place must not count them as held. counted() says they are now.
    bool appendAhead(const Lines &lines, QString *error = nullptr);
    void counted(qsizetype changes);
    bool append(Change change, const RememberedEntry &entry, QString *error = nullptr);

    // The changes so far, taken with the copy of the rows a full save writes.
    qsizetype mark() const;
    // Before the list file is replaced by bytes with the fingerprint `saved`, which
    // hold the first `mark` changes. A failure means the save must not go on.
    bool noteFold(qsizetype mark, const ListFingerprint &saved, QString *error = nullptr);
    // Once the list file holds those bytes: the journal keeps only the later changes.
    // A failure leaves the journal longer than needed, never wrong.
    bool compact(qsizetype mark, const ListFingerprint &saved, QString *error = nullptr);

    // The journal's text, for the tests and the fuzz target.
    struct Fold
    {
        qsizetype count = 0;
        ListFingerprint list;
        // The records before the fold's line in the file.
        qsizetype after = 0;
        friend bool operator==(const Fold &, const Fold &) = default;
    };
    struct Parsed
    {
        bool hasHeader = false;
        ListFingerprint base;
        QList<Record> records;
        QList<Fold> folds;
        // Bytes up to the end of the last whole line; the rest is a torn append.
        qsizetype wholeLength = 0;
        // The 1-based number of the first line that could not be read; 0 when none.
        // Reading stops there.
        qsizetype badLine = 0;
    };
    static Parsed parse(QByteArrayView bytes);
    static QByteArray headerLine(const ListFingerprint &list);
    static QByteArray recordLine(const Record &record);
    static QByteArray foldLine(const Fold &fold);
    // A record as it reads back: the entry's texts as a load of rv.db gives them.
    static Record normalised(Record record);
    // The records to apply to a list file with this fingerprint; false when the
    // journal does not belong to it.
    static bool replayFor(const Parsed &parsed, const ListFingerprint &listFile,
                          QList<Record> *records);

private:
    bool appendBytes(const QByteArray &bytes, QString *error);
    bool appendLines(const Lines &lines, bool count, QString *error);
    bool rewrite(const ListFingerprint &base, const QByteArray &lines, qsizetype count,
                 QString *error);
    QString writeError(const QString &reason) const;

    mutable QMutex m_mutex;
    QString m_dataDir;
    QString m_path;
    std::unique_ptr<AppendOnlyFile> m_file;
    // What the journal in the file starts from, and how many records it holds.
    ListFingerprint m_base;
    qsizetype m_records = 0;
    // Changes written ahead of their rows (appendAhead), after the counted ones.
    qsizetype m_ahead = 0;
    // Whether the file exists with its header.
    bool m_started = false;
    // Why no change can be appended: a journal that could not be used is still in
    // the way.
    QString m_blocked;
};
