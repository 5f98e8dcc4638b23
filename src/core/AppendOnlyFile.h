#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

class QFile;

// A file of lines that only ever grows, the way the recall history, the drill history
// and the journal of changes to the remembered numbers are kept. Each append is on
// the disk (written, flushed and synced) before append() returns; one that fails
// leaves nothing of itself in the file, and a line torn by a kill never swallows the
// next one. The file is opened at the first append and kept open.
class AppendOnlyFile
{
public:
    // Which last byte ends a line: the histories read a lone CR as a line end, the
    // journal only an LF.
    enum class LineEnd
    {
        CrOrLf,
        Lf
    };

    // `failure` is the message for an append that failed, with %1 the file and %2 the
    // system's reason.
    AppendOnlyFile(QString path, QString failure, LineEnd lineEnd = LineEnd::CrOrLf);
    ~AppendOnlyFile();
    AppendOnlyFile(const AppendOnlyFile &) = delete;
    AppendOnlyFile &operator=(const AppendOnlyFile &) = delete;

    // Appends whole lines. False when they could not be written, with the failure
    // message in `error`.
    bool append(QByteArrayView lines, QString *error = nullptr);

    // What a load found besides the lines.
    struct LoadState
    {
        bool exists = false;
        // Set when the file exists but cannot be read, with the system's reason.
        QString error;
        // A torn last line was cut off the file.
        bool repaired = false;
    };
    // Hands the bytes of the file at `path` to `read`, which returns how many of them
    // are whole lines, and cuts off what follows them (the torn line of an append cut
    // short), so that the next append starts a line of its own. `read` is not called
    // when the file is missing or cannot be read.
    static LoadState load(const QString &path, const std::function<qint64(QByteArrayView)> &read);
    // The same with a `read` that gives what it read, its `wholeLength` the bytes of
    // whole lines: the load gives that and the LoadState.
    template <typename Parsed> struct Loaded : Parsed, LoadState
    {
    };
    template <typename Parsed>
    static Loaded<Parsed> load(const QString &path, Parsed (*read)(QByteArrayView))
    {
        Loaded<Parsed> loaded;
        static_cast<LoadState &>(loaded) = load(path, [&loaded, read](QByteArrayView bytes) {
            static_cast<Parsed &>(loaded) = read(bytes);
            return qint64(loaded.wholeLength);
        });
        return loaded;
    }
    // Shortens the file at `path` to `length` bytes, on the disk when it returns.
    static bool cutTo(const QString &path, qint64 length);

    // The message for lines of such a file that could not be read: `one` or `some`,
    // with %1 the file and %2 the line numbers (the first five, and how many more),
    // then `kept`, which says what becomes of them.
    static QString unreadableLines(const QList<qsizetype> &lines, const QString &file,
                                   const QString &one, const QString &some, const QString &kept);

private:
    bool open(QString *reason);

    QString m_path;
    QString m_failure;
    LineEnd m_lineEnd;
    std::unique_ptr<QFile> m_file;
};
