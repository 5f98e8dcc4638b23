#pragma once

#include "remembered/PackedEntries.h"
#include "remembered/RememberedEntry.h"
#include "remembered/RememberedJournal.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>

// The file of remembered numbers, "rv.db" in the data folder: one entry a line,
// in display order, each line one quoted field "Value:Description:Words" (see
// QuotedLineFile). A save first writes the whole list to "rv2.db" and then replaces
// "rv.db" with the same bytes, so one of the two always holds a complete list.
// RememberedList loads and saves through it; import and export reuse the line format.
namespace RememberedFile {

inline constexpr char fileName[] = "rv.db";
inline constexpr char workingCopyName[] = "rv2.db";

QString filePath(const QString &dataDir);
QString workingCopyPath(const QString &dataDir);

// The field of one line: "Value:Description:Words".
QString entryField(const RememberedEntry &entry);

enum class LoadStatus
{
    Loaded,                // from rv.db
    LoadedFromWorkingCopy, // rv.db was missing, rv2.db held the list of an interrupted save
    WorkingCopyInstead,    // rv.db exists but could not be read (see error); rv2.db was read
    Missing,               // neither file exists: the list starts empty
    Unreadable,            // a file exists but could not be read, nor a copy; see error
};

struct LoadResult
{
    LoadStatus status = LoadStatus::Missing;
    // In file order: load() and loadWorkingCopy() give the entries one by one,
    // loadPacked() in packed form.
    QList<RememberedEntry> entries;
    PackedEntries packed;
    QString error;
    // Entries whose text held a quote or a line break that could not be written
    // back; they come with a blank in its place.
    int blankedEntries = 0;
    // Of the bytes of the file read (of no bytes when none was): the journal of
    // changes knows by it which list file it continues.
    ListFingerprint fingerprint;
};

// Reads the list of a data folder. CR LF, LF and a lone CR end a line; empty lines
// are skipped; any other line gives an entry, whatever its shape. Whatever it
// returns can be saved and reads back as the same entries.
LoadResult load(const QString &dataDir);

// Reads rv2.db alone, for a session that saves only there.
LoadResult loadWorkingCopy(const QString &dataDir);

// load(), or loadWorkingCopy() when `workingCopyOnly`, giving the entries packed.
LoadResult loadPacked(const QString &dataDir, bool workingCopyOnly = false);

// Writes the entries, in the given order, to rv2.db and then to rv.db. On failure
// `error` names the file and the reason; rv.db then still holds its earlier list.
bool save(const QString &dataDir, const QList<RememberedEntry> &entries, QString *error = nullptr);

// Writes rv2.db only, leaving rv.db as it is.
bool saveWorkingCopy(const QString &dataDir, const QList<RememberedEntry> &entries,
                     QString *error = nullptr);

// The same for entries in packed form. `beforeReplacing`, when given, is called with
// the bytes to be written before any file is touched (to note them in the journal of
// changes); when it returns false the save stops there, with its error.
using BeforeReplacing = std::function<bool(QByteArrayView bytes, QString *error)>;
bool save(const QString &dataDir, const PackedEntries &entries, QString *error = nullptr,
          const BeforeReplacing &beforeReplacing = {});
bool saveWorkingCopy(const QString &dataDir, const PackedEntries &entries, QString *error = nullptr,
                     const BeforeReplacing &beforeReplacing = {});

// Whether reading rv.db now would give exactly these entries, in this order, once
// each is read back as PackedEntries::rereadFields() does.
bool readsAs(const QString &dataDir, const PackedEntries &entries);

// Removes what a save cut short may have left: temporary files next to rv.db and
// rv2.db. Only call it while no save of this folder can be running.
void removeStaleTemporaries(const QString &dataDir);

} // namespace RememberedFile
