#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>

// The user's own image word for every key of one, two and three digits: "0" to "9",
// "00" to "99" and "000" to "999", leading zeros kept. My Images edits it, Suggest
// Words builds chains from it, the drills ask it.
//
// It is kept in "images.db" beside rv.db, in the program's text conventions
// (Windows-1252, CR LF, one quoted field a line):
//   "numbrill images 1"           what the file is
//   "threedigits:yes" or ":no"    whether My Images shows the keys 000 to 999
//   "KEY:WORD"                    one line per key with an image, in key order
//   "end:COUNT"                   the number of KEY lines, so a file cut short shows
// A save replaces the whole file atomically.
class ImageList
{
public:
    static constexpr int keyCount = 1110;

    // The keys of one, two or three digits, in order; none for another length.
    static QStringList keys(int digits);
    static bool isKey(QStringView key);

    // Empty when the key has none, or is no key.
    QString image(const QString &key) const;
    // An empty word takes the key's image away; a text that is no key is ignored.
    void setImage(const QString &key, const QString &word);
    // How many keys have an image.
    int size() const;

    bool threeDigitKeysShown() const { return m_threeDigitKeysShown; }
    void setThreeDigitKeysShown(bool shown) { m_threeDigitKeysShown = shown; }

    // Whether the file can hold the word as it is: no quote, no line break, nothing
    // outside Windows-1252.
    static bool canHold(QStringView word);

    static QString fileName();
    static QString filePath(const QString &dataDir);

    enum class LoadStatus
    {
        Loaded,     // the whole file was read
        Missing,    // there is no file yet: the list is empty
        Damaged,    // some of it could not be read (see problem); the rest was
        Unreadable, // nothing could be read, or it is no image list: leave the file alone
    };
    struct LoadResult
    {
        LoadStatus status = LoadStatus::Missing;
        // Names the file and says what is wrong with it.
        QString problem;
    };

    // Replaces the list with the file in the data folder.
    LoadResult load(const QString &dataDir);
    // The same for an image list file anywhere.
    LoadResult loadFile(const QString &path);
    // Replaces the list with the file's bytes. Loaded, Damaged or Unreadable; the
    // problem names the line.
    LoadStatus parse(QByteArrayView bytes, QString *problem = nullptr);
    QByteArray toBytes() const;

    // Writes the file atomically and makes it durable. On failure the error names the
    // file and the old file stays as it was.
    bool save(const QString &dataDir, QString *error = nullptr) const;
    // Removes what a save cut short may have left beside the file.
    static void removeStaleTemporaries(const QString &dataDir);

    friend bool operator==(const ImageList &, const ImageList &) = default;

private:
    // Keys by slot: "0".."9" are 0 to 9, "00".."99" 10 to 109, "000".."999" 110 to 1109.
    static int slotOf(QStringView key);
    static QString keyOf(int slot);

    std::array<QString, keyCount> m_images;
    bool m_threeDigitKeysShown = false;
};
