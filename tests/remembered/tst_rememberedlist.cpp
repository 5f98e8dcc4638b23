#include "TestPaths.h"
#include "remembered/RememberedList.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using RememberedFile::LoadStatus;

namespace {

void place(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray fixture(const char *name)
{
    return bytesOf(QString::fromUtf8(TestPaths::dataDir) + QLatin1String("/remembered/") +
                   QLatin1String(name));
}

// The entries, top to bottom, "value|description|words" or the numbers alone,
// separated by "; ".
QString rows(const RememberedList &list, bool valuesOnly = false)
{
    QStringList texts;
    for (int position = 1; position <= list.entryCount(); ++position) {
        const RememberedEntry entry = list.entry(position);
        texts.append(valuesOnly ? entry.Value
                                : entry.Value + u'|' + entry.Description + u'|' + entry.Words);
    }
    return texts.join(QStringLiteral("; "));
}

// Entries are written "value|description|words" in the tables, separated by "; ".
void add(RememberedList &list, const QString &entries)
{
    for (const QString &text : entries.split(QStringLiteral("; "))) {
        const QStringList parts = text.split(u'|');
        list.addEntry(parts.value(0), parts.value(1), parts.value(2));
    }
}

} // namespace

class TestRememberedList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void whateverLoadsSavesAndReadsBack();
    void saveWritesDisplayOrder();
    void refusedAndFailedSaves();
    void sortOrder_data();
    void sortOrder();
    void wordCounts();
    void reloadAfterUnloadReadsAsTheFile();

private:
    QString rvDb() const { return RememberedFile::filePath(m_dir->path()); }
    QString rv2Db() const { return RememberedFile::workingCopyPath(m_dir->path()); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RememberedList> m_list;
};

void TestRememberedList::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_list = std::make_unique<RememberedList>();
    m_list->setDataDir(m_dir->path());
}

// Whatever bytes rv.db holds, the list they load as can be saved, and reads back as
// the same list.
void TestRememberedList::whateverLoadsSavesAndReadsBack()
{
    QByteArray everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte.append(char(b));
    const QList<QByteArray> files{
        // text after the closing quote, quotes in an unquoted line, quote-only words
        "\"1:a\"b:c\"\r\n1:\"a\":\"b\"\r\n\"1:d:\"w\"\r\n",
        // a quote turned blank before the words, colons only, a lone CR inside the quotes
        "x:y:\"  lead\r\n::::\r\n:\r\n\"\":\r\n\"1:a\rb:c\"\r\n",
        "\"\"\"\r\"\r\n\"\n\r\r\n",           // nothing but quotes and line ends
        QByteArrayLiteral("\"1:\0:\0\"\r\n"), // NUL bytes
        "\"1:d:   \"\r\n\"2:e: \"\" \"",      // blank words, no final line end
        everyByte,
        everyByte + everyByte.right(128) + everyByte,
    };

    for (const QByteArray &bytes : files) {
        place(rvDb(), bytes);
        const RememberedFile::LoadResult first = RememberedFile::load(m_dir->path());
        QCOMPARE(first.status, LoadStatus::Loaded);
        QString error;
        QVERIFY2(RememberedFile::save(m_dir->path(), first.entries, &error), qPrintable(error));
        const RememberedFile::LoadResult again = RememberedFile::load(m_dir->path());
        QVERIFY2(again.entries == first.entries, bytes.toPercentEncoding().constData());
        QCOMPARE(again.blankedEntries, 0);
    }
}

void TestRememberedList::saveWritesDisplayOrder()
{
    place(rvDb(), fixture("stored.db"));
    m_list->readnumbers();
    add(*m_list, QStringLiteral("19|Door \u20ac| tub; 12|| tin"));
    QVERIFY(m_list->removeEntry(6)); // "pi start", below the new entries
    QVERIFY(m_list->SaveNumbers());

    // Loaded words lost their leading space; the new chains keep their own.
    const QByteArray expected("\"12:: tin\"\r\n"
                              "\"314:bike lock:meter\"\r\n"
                              "\"1000:Caf\xe9 bill:dice bill\"\r\n"
                              "\"19:Door \x80: tub\"\r\n"
                              "\"2718:e, to four places:neck fife\"\r\n"
                              "\"80:\x80 note:phase\"\r\n");
    QCOMPARE(bytesOf(rvDb()), expected);
    QCOMPARE(bytesOf(rv2Db()), expected);

    // Saved, the list has nothing left to write; positions outside it change nothing.
    // Anything written now would replace these stand-ins.
    for (const int position : {0, -1, 7})
        QVERIFY(!m_list->removeEntry(position) && m_list->entry(position) == RememberedEntry());
    place(rvDb(), "stand-in");
    QFile::remove(rv2Db());
    QVERIFY(m_list->SaveNumbers());
    QCOMPARE(bytesOf(rvDb()), QByteArray("stand-in"));
    QVERIFY(!QFile::exists(rv2Db()));
}

void TestRememberedList::refusedAndFailedSaves()
{
    const QByteArray stored("\"3:three:\"\r\n");
    place(rvDb(), stored);
    add(*m_list, QStringLiteral("2|two| nun")); // never loaded: saving would replace the list
    QVERIFY(!m_list->SaveNumbers());
    QCOMPARE(bytesOf(rvDb()), stored);

    QString error;
#ifdef Q_OS_UNIX
    // A disk that fills up during the save, played by a file size limit: the save
    // fails with the system's reason and both files keep the last good list.
    m_list->readnumbers();
    add(*m_list, QStringLiteral("2|two| nun"));
    QVERIFY(m_list->SaveNumbers());
    const QByteArray saved = bytesOf(rvDb());
    add(*m_list, QStringLiteral("4|four| ray"));
    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit full = old;
    full.rlim_cur = 4;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &full), 0);
    const bool savedOnFullDisk = m_list->SaveNumbers(&error);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    QVERIFY(!savedOnFullDisk && m_list->changed());
    QVERIFY2(!error.contains(QLatin1String("Unknown error")), qPrintable(error));
    QCOMPARE(bytesOf(rvDb()), saved);
    QCOMPARE(bytesOf(rv2Db()), saved);
#endif

    // No data folder: the list starts empty, and every save says why it fails.
    RememberedList nowhere;
    QCOMPARE(nowhere.readnumbers(), LoadStatus::Unreadable);
    QCOMPARE(nowhere.entryCount(), 0);
    add(nowhere, QStringLiteral("2|two| nun"));
    for (int attempt = 0; attempt < 2; ++attempt) {
        QVERIFY(!nowhere.SaveNumbers(&error));
        QCOMPARE(error, QStringLiteral("No data folder is set for the remembered numbers."));
    }
}

void TestRememberedList::sortOrder_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("added");
    QTest::addColumn<QString>("order");
    const auto row = [](const char *name, const QString &added, const char *order,
                        int column = RememberedList::DescriptionColumn) {
        QTest::newRow(name) << column << added << QString::fromLatin1(order);
    };

    // Folded texts compare by character code, not by language; ties keep arrival order.
    row("ignoring case, ties in arrival order",
        QStringLiteral("1|beta; 2|Alpha; 3|\u00c4rger; 4|alpha two; 5|BETA"), "2; 4; 1; 5; 3");
    row("beyond the fourth and the sixteenth character",
        QStringLiteral("1|abcdZ; 2|abcde; 3|abcd; 4|ABC; 5|abcd\u00e9; 6|abcdefghijklmnopZ; "
                       "7|ABCDEFGHIJKLMNOPa; 8|abcdefghijklmnop; 9|abcdefghijklmnopa"),
        "4; 3; 2; 8; 7; 9; 6; 1; 5");
    row("among texts the file cannot hold",
        QStringLiteral("1|\u03a9mega; 2|zeta; 3|\u00e9t\u00e9; 4|\"quoted\"; 5|\u0152uvre; "
                       "6|\u0153uvra"),
        "4; 2; 3; 6; 5; 1");
    row("words", "1|c|Alpha; 2|b|beta; 3|a|zeta", "1; 2; 3", RememberedList::WordsColumn);
}

void TestRememberedList::sortOrder()
{
    QFETCH(int, column);
    QFETCH(QString, added);
    QFETCH(QString, order);

    // Sorted while adding, and when the column is chosen afterwards (and back again).
    for (const int first :
         {column, int(RememberedList::WordsColumn), int(RememberedList::ValueColumn)}) {
        RememberedList list;
        list.setSortColumn(first);
        add(list, added);
        list.setSortColumn(column == first ? RememberedList::WordsColumn : column);
        list.setSortColumn(column);
        QCOMPARE(rows(list, true), order);
    }
}

void TestRememberedList::wordCounts()
{
    // Each spelling has a record of its own; the lookup, ignoring case, finds the first.
    add(*m_list,
        QStringLiteral("1|a| meter tin; 2|b|  tin  tan ; 1|a| meter tin; 3|c| bill Bill Bill"));
    QCOMPARE(m_list->usage().collection().count(), 5);
    const QList<std::pair<const char *, int>> counts{
        {"tan", 1}, {"meter", 2}, {"tin", 3}, {"ton", 0}, {"BILL", 1}};
    for (const auto &[word, count] : counts)
        QCOMPARE(m_list->usesOf(QLatin1String(word)), count);

    // A load counts afresh; unloading drops unsaved changes, so a save then must not
    // empty the file.
    place(rvDb(), fixture("stored.db"));
    m_list->readnumbers();
    QCOMPARE(m_list->usesOf(QStringLiteral("meter")), 1);
    add(*m_list, QStringLiteral("2|two| nun"));
    m_list->unload();
    QVERIFY(m_list->SaveNumbers());
    QCOMPARE(bytesOf(rvDb()), fixture("stored.db"));
}

// A list unloaded and loaded again comes back exactly as a fresh read of rv.db gives
// it, rows, order and counts, whether the rows were kept meanwhile or the file changed.
void TestRememberedList::reloadAfterUnloadReadsAsTheFile()
{
    const auto usage = [](const RememberedList &list) {
        QStringList records;
        const WordCollection words = list.usage().collection();
        for (int i = 1; i <= words.count(); ++i)
            records.append(words.Item(i)->word() + u' ' + QString::number(words.Item(i)->count()));
        return records;
    };
    const auto reload = [&] {
        m_list->unload();
        m_list->setSortColumn(RememberedList::DescriptionColumn);
        QCOMPARE(m_list->readnumbers(), LoadStatus::Loaded);
        RememberedList fresh;
        fresh.setDataDir(m_dir->path());
        fresh.readnumbers();
        QCOMPARE(rows(*m_list), rows(fresh));
        QCOMPARE(usage(*m_list), usage(fresh));
    };

    place(rvDb(), fixture("stored.db"));
    m_list->readnumbers();
    reload();
    // Saved in the order of another column; stored chains keep their leading blank
    // until read back, and the forgotten entry's words no longer count.
    add(*m_list, QStringLiteral("9|same| tie; 1|Same| toe tie"));
    QVERIFY(m_list->removeEntry(1));
    m_list->setSortColumn(RememberedList::ValueColumn);
    QVERIFY(m_list->SaveNumbers());
    reload();
    QCOMPARE(m_list->entry(4).Words, QStringLiteral("toe tie"));
    // Changed by someone else meanwhile.
    place(rvDb(), "\"5:x:tin\"\r\n");
    reload();
    QCOMPARE(rows(*m_list), QStringLiteral("5|x|tin"));
}

QTEST_GUILESS_MAIN(TestRememberedList)
#include "tst_rememberedlist.moc"
