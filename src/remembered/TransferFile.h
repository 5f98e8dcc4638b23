#pragma once

#include <QString>

class PackedEntries;

// The export file, for moving remembered numbers between installations: a header
// line "Numbrill", then three lines per entry (number, description or "empty",
// words), each in quotes with CR LF, in Windows-1252. The remembered-numbers window
// exports its list to it and merges such files back.
namespace TransferFile {

inline constexpr char header[] = "Numbrill";
inline constexpr char emptyDescription[] = "empty";

// Writes every entry in order, replacing the file atomically. Refuses, and leaves the
// old file alone, when an entry holds text the file cannot hold; `error` says why.
bool exportList(const PackedEntries &rows, const QString &path, QString *error = nullptr);

struct ImportResult
{
    enum Status
    {
        Completed,     // read to the end (an empty file included)
        Unreadable,    // could not be opened or read: nothing imported
        InvalidHeader, // not an export file: nothing imported
        Incomplete,    // ended inside an entry: the entries before it were imported
    };
    Status status = Completed;
    QString error; // why an unreadable file could not be read
    int imported = 0;
    // Entries read with a quote in their text, which the list's file cannot hold:
    // each came in with a blank in its place.
    int blanked = 0;
    // Entries left out because a colon in their number or description would split
    // them when the list is read back.
    int skipped = 0;
    // Whether the file started with the header: only then were entries read, and the
    // list that takes them is left changed, even when none was new.
    bool headerFound = false;
};

// Reads the file's entries that `rows` do not hold yet into `added` (emptied first),
// comparing all three fields exactly, the words without their leading blanks as a
// load reads them; entries added earlier in the same file count
// as held. Touches nothing but its arguments, so it may run on any thread while
// nothing changes `rows`.
ImportResult readNew(const PackedEntries &rows, const QString &path, PackedEntries *added);

} // namespace TransferFile
