#include "TestPaths.h"
#include "remembered/RememberedList.h"

#include <QDir>
#include <QFile>
#include <QPersistentModelIndex>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using RememberedFile::LoadStatus;

namespace {

// A file's state in a test table: absent (a null array), a folder in its place, or bytes.
const QByteArray folder("<folder>");

void place(const QString &path, const QByteArray &state)
{
    if (state == folder) {
        QVERIFY(QDir().mkpath(path));
    } else if (!state.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(state), state.size());
    }
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

// Entries are written "value|description|words" in the tables.
QStringList shown(const RememberedList &list)
{
    QStringList rows;
    for (int row = 0; row < list.rowCount(); ++row) {
        QStringList columns;
        for (int column = 0; column < list.columnCount(); ++column)
            columns.append(list.index(row, column).data().toString());
        rows.append(columns.join(u'|'));
    }
    return rows;
}

void add(RememberedList &list, const QStringList &entries)
{
    for (const QString &text : entries) {
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
    void reading_data();
    void reading();
    void choosingFile_data();
    void choosingFile();
    void saveWritesDisplayOrder();
    void unchangedListTouchesNoFile_data();
    void unchangedListTouchesNoFile();
    void refusedSave_data();
    void refusedSave();
    void failedSaveKeepsChanges_data();
    void failedSaveKeepsChanges();
    void sortOrder_data();
    void sortOrder();
    void sortColumnSwitchAndBack();
    void wordCounts_data();
    void wordCounts();
    void countsFollowForgetAndImportAtNextLoad();
    void badPositions();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString rvDb() const { return RememberedFile::filePath(m_dir->path()); }
    QString rv2Db() const { return RememberedFile::workingCopyPath(m_dir->path()); }
};

void TestRememberedList::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestRememberedList::reading_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("as written") << QByteArray("\"314:pi start: meter\"\r\n")
                                << QStringList{"314|pi start|meter"};
    QTest::newRow("colons and a comma")
        << QByteArray("\"12:time: 10:30: tin\"\r\n\"2718:e, Euler:  neck:fife\"\r\n")
        << QStringList{"2718|e, Euler|neck:fife", "12|time|10:30: tin"};
    QTest::newRow("code page") << QByteArray("\"80:caf\xe9 \x80:tea\"\r\n")
                               << QStringList{QStringLiteral("80|caf\u00e9 \u20ac|tea")};
    QTest::newRow("hand-edited") << fixture("hand-edited.db")
                                 << QStringList{
                                        "7||",      "99|a, b|pip  pop", "42 no quotes|answer|rain",
                                        "8|eight|", "5|no end|lie",     "12|time|10:30: tin",
                                    };
}

void TestRememberedList::reading()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, rows);

    place(rvDb(), file);
    RememberedList list;
    list.setDataDir(m_dir->path());
    QCOMPARE(list.readnumbers(), LoadStatus::Loaded);
    QCOMPARE(shown(list), rows);
    QVERIFY(list.isLoaded());
    QVERIFY(!list.changed());
}

void TestRememberedList::choosingFile_data()
{
    QTest::addColumn<QByteArray>("rv");
    QTest::addColumn<QByteArray>("rv2");
    QTest::addColumn<LoadStatus>("status");
    QTest::addColumn<QStringList>("rows");

    const QByteArray older("\"1:a:\"\r\n");
    const QByteArray newer("\"1:a:\"\r\n\"2:b:\"\r\n");
    const QByteArray none;
    QTest::newRow("rv.db") << newer << none << LoadStatus::Loaded << QStringList{"1|a|", "2|b|"};
    // A save cut short between its two files leaves rv.db whole, old or new.
    QTest::newRow("stale rv.db wins")
        << older << newer << LoadStatus::Loaded << QStringList{"1|a|"};
    QTest::newRow("empty rv.db wins")
        << QByteArray("") << newer << LoadStatus::Loaded << QStringList{};
    QTest::newRow("rv.db gone") << none << newer << LoadStatus::LoadedFromWorkingCopy
                                << QStringList{"1|a|", "2|b|"};
    QTest::newRow("neither") << none << none << LoadStatus::Missing << QStringList{};
    QTest::newRow("rv.db unreadable") << folder << newer << LoadStatus::Unreadable << QStringList{};
    QTest::newRow("rv2.db unreadable") << none << folder << LoadStatus::Unreadable << QStringList{};
}

void TestRememberedList::choosingFile()
{
    QFETCH(QByteArray, rv);
    QFETCH(QByteArray, rv2);
    QFETCH(LoadStatus, status);
    QFETCH(QStringList, rows);

    place(rvDb(), rv);
    place(rv2Db(), rv2);
    RememberedList list;
    list.setDataDir(m_dir->path());
    QCOMPARE(list.readnumbers(), status);
    QCOMPARE(shown(list), rows);
    QCOMPARE(list.lastError().contains(QLatin1String(".db")), status == LoadStatus::Unreadable);

    // The list of an interrupted save goes back into rv.db at the next save; with
    // neither file, the first save creates rv.db.
    QCOMPARE(list.changed(), status == LoadStatus::LoadedFromWorkingCopy);
    if (status == LoadStatus::LoadedFromWorkingCopy) {
        QVERIFY(list.SaveNumbers());
        QCOMPARE(bytesOf(rvDb()), rv2);
    }
    if (status == LoadStatus::Missing) {
        list.addEntry(QStringLiteral("3"), QStringLiteral("c"), QStringLiteral(" ma"));
        QVERIFY(list.SaveNumbers());
        QCOMPARE(bytesOf(rvDb()), QByteArray("\"3:c: ma\"\r\n"));
    }
}

void TestRememberedList::saveWritesDisplayOrder()
{
    place(rvDb(), fixture("stored.db"));
    RememberedList list;
    list.setDataDir(m_dir->path());
    list.readnumbers();
    list.addEntry(QStringLiteral("19"), QStringLiteral("Door \u20ac"), QStringLiteral(" tub"));
    QVERIFY(list.removeEntry(5)); // "pi start", below the new entry
    QString error;
    QVERIFY2(list.SaveNumbers(&error), qPrintable(error));
    QVERIFY(!list.changed());

    // Loaded words lost their leading space; the new chain keeps its own.
    const QByteArray expected("\"314:bike lock:meter\"\r\n"
                              "\"1000:Caf\xe9 bill:dice bill\"\r\n"
                              "\"19:Door \x80: tub\"\r\n"
                              "\"2718:e, to four places:neck fife\"\r\n"
                              "\"80:\x80 note:phase\"\r\n");
    QCOMPARE(bytesOf(rvDb()), expected);
    QCOMPARE(bytesOf(rv2Db()), expected);
}

void TestRememberedList::unchangedListTouchesNoFile_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("just loaded") << QStringList{};
    QTest::newRow("saved already") << QStringList{"add", "save"};
    QTest::newRow("unloaded with changes") << QStringList{"add", "unload"};
    QTest::newRow("marked unchanged") << QStringList{"add", "unchanged"};
}

void TestRememberedList::unchangedListTouchesNoFile()
{
    QFETCH(QStringList, steps);

    place(rvDb(), "\"1:one:\"\r\n");
    RememberedList list;
    list.setDataDir(m_dir->path());
    list.readnumbers();
    for (const QString &step : steps) {
        if (step == QLatin1String("add"))
            list.addEntry(QStringLiteral("2"), QStringLiteral("two"), QStringLiteral(" nun"));
        else if (step == QLatin1String("save"))
            QVERIFY(list.SaveNumbers());
        else if (step == QLatin1String("unload"))
            list.unload();
        else
            list.setChanged(false);
    }

    // Anything written now would replace these stand-ins.
    place(rvDb(), "stand-in");
    QFile::remove(rv2Db());
    QVERIFY(list.SaveNumbers());
    QCOMPARE(bytesOf(rvDb()), QByteArray("stand-in"));
    QVERIFY(!QFile::exists(rv2Db()));
}

void TestRememberedList::refusedSave_data()
{
    QTest::addColumn<QByteArray>("rv");
    QTest::addColumn<bool>("load");
    QTest::newRow("rv.db unreadable") << folder << true;
    QTest::newRow("rows never loaded") << QByteArray("\"1:one:\"\r\n") << false;
}

void TestRememberedList::refusedSave()
{
    QFETCH(QByteArray, rv);
    QFETCH(bool, load);

    place(rvDb(), rv);
    RememberedList list;
    list.setDataDir(m_dir->path());
    if (load)
        QCOMPARE(list.readnumbers(), LoadStatus::Unreadable);
    list.addEntry(QStringLiteral("2"), QStringLiteral("two"), QStringLiteral(" nun"));
    QString error;
    QVERIFY(!list.SaveNumbers(&error));
    QVERIFY(!error.isEmpty());
    QVERIFY(list.changed());
    QVERIFY(!QFile::exists(rv2Db()));
    if (!load) {
        QCOMPARE(bytesOf(rvDb()), rv);
        return;
    }

    // Even once the file reads again, this session never writes it.
    QVERIFY(QDir().rmdir(rvDb()));
    place(rvDb(), "\"3:three:\"\r\n");
    QCOMPARE(list.readnumbers(), LoadStatus::Loaded);
    list.addEntry(QStringLiteral("4"), QStringLiteral("four"), QStringLiteral(" rye"));
    QVERIFY(!list.SaveNumbers());
    QCOMPARE(bytesOf(rvDb()), QByteArray("\"3:three:\"\r\n"));
}

void TestRememberedList::failedSaveKeepsChanges_data()
{
    QTest::addColumn<QString>("cause");
    QTest::newRow("data folder missing") << "folder";
    QTest::newRow("rv2.db is a folder") << "rv2";
    QTest::newRow("outside the code page") << "text";
}

void TestRememberedList::failedSaveKeepsChanges()
{
    QFETCH(QString, cause);

    const QByteArray stored("\"1:one:\"\r\n");
    place(rvDb(), stored);
    RememberedList list;
    list.setDataDir(m_dir->path());
    list.readnumbers();
    list.addEntry(QStringLiteral("2"),
                  cause == QLatin1String("text") ? QStringLiteral("\u03c0") : QStringLiteral("two"),
                  QStringLiteral(" nun"));
    if (cause == QLatin1String("folder"))
        QVERIFY(m_dir->remove());
    if (cause == QLatin1String("rv2"))
        place(rv2Db(), folder);

    QString error;
    QVERIFY(!list.SaveNumbers(&error));
    QVERIFY2(error.contains(QLatin1String("rv2.db")), qPrintable(error));
    QVERIFY(list.changed());
    if (cause != QLatin1String("folder"))
        QCOMPARE(bytesOf(rvDb()), stored);

    // Once the cause is gone, the kept changes are saved.
    if (cause == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(m_dir->path()));
    if (cause == QLatin1String("rv2"))
        QVERIFY(QDir().rmdir(rv2Db()));
    if (cause == QLatin1String("text"))
        QVERIFY(list.removeEntry(2));
    QVERIFY(list.SaveNumbers());
    QCOMPARE(bytesOf(rvDb()).contains("\"1:one:\"\r\n\"2:two: nun\"\r\n"),
             cause != QLatin1String("text"));
}

void TestRememberedList::sortOrder_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("values");

    const int description = RememberedList::DescriptionColumn;
    QTest::newRow("ignoring case")
        << description << QStringList{"1|beta", "2|Alpha", "3|alpha two", "4|BETA"}
        << QStringList{"2", "3", "1", "4"};
    QTest::newRow("equal texts keep arrival order")
        << description << QStringList{"1|pin", "2|PIN", "3|Pin", "4|a"}
        << QStringList{"4", "1", "2", "3"};
    QTest::newRow("beyond the fourth character")
        << description
        << QStringList{"1|abcdZ", "2|abcde", "3|abcd", "4|ABC", QStringLiteral("5|abcd\u00e9")}
        << QStringList{"4", "3", "2", "1", "5"};
    QTest::newRow("by character code, not language")
        << description
        << QStringList{QStringLiteral("1|\u00e4hnlich"), "2|Zebra", QStringLiteral("3|\u00c4rger")}
        << QStringList{"2", "1", "3"};
    QTest::newRow("numbers as text")
        << int(RememberedList::ValueColumn) << QStringList{"2|a", "1000|b", "1|c", "19|d"}
        << QStringList{"1", "1000", "19", "2"};
    QTest::newRow("words, leading space included")
        << int(RememberedList::WordsColumn) << QStringList{"1|a| tin", "2|b|Bun", "3|c| Art"}
        << QStringList{"3", "1", "2"};
}

void TestRememberedList::sortOrder()
{
    QFETCH(int, column);
    QFETCH(QStringList, added);
    QFETCH(QStringList, values);

    // Sorted while adding, and when the column is chosen afterwards.
    RememberedList sortedFirst;
    sortedFirst.setSortColumn(column);
    add(sortedFirst, added);
    RememberedList sortedLater;
    sortedLater.setSortColumn(column == RememberedList::ValueColumn ? RememberedList::WordsColumn
                                                                    : RememberedList::ValueColumn);
    add(sortedLater, added);
    sortedLater.setSortColumn(column);

    for (const RememberedList *list : {&sortedFirst, &sortedLater}) {
        QStringList shownValues;
        for (int position = 1; position <= list->entryCount(); ++position)
            shownValues.append(list->entry(position).Value);
        QCOMPARE(shownValues, values);
    }
}

void TestRememberedList::sortColumnSwitchAndBack()
{
    RememberedList list;
    add(list, {"3|same|", "1|same|", "2|other|", "0|same|"});
    const QStringList byDescription = shown(list);
    QCOMPARE(byDescription, (QStringList{"2|other|", "3|same|", "1|same|", "0|same|"}));

    const QPersistentModelIndex selected = list.index(3, RememberedList::DescriptionColumn);
    list.setSortColumn(RememberedList::ValueColumn);
    QCOMPARE(shown(list), (QStringList{"0|same|", "1|same|", "2|other|", "3|same|"}));
    QCOMPARE(selected.row(), 0);

    list.setSortColumn(RememberedList::DescriptionColumn);
    QCOMPARE(shown(list), byDescription);
    QCOMPARE(selected.row(), 3);
}

void TestRememberedList::wordCounts_data()
{
    QTest::addColumn<QStringList>("chains");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<int>("records");

    QTest::newRow("each word") << QStringList{" meter tin", "  tin  tan "}
                               << QStringList{"meter", "tin", "tan", "ton"}
                               << QList<int>{1, 2, 1, 0} << 3;
    QTest::newRow("same number twice")
        << QStringList{" meter", " meter"} << QStringList{"meter"} << QList<int>{2} << 1;
    QTest::newRow("lookup ignores case")
        << QStringList{" Door"} << QStringList{"door", "DOOR", ""} << QList<int>{1, 1, 0} << 1;
    // Each spelling has a record of its own; the lookup finds the first.
    QTest::newRow("two spellings") << QStringList{" bill", " Bill", " Bill"}
                                   << QStringList{"bill", "BILL"} << QList<int>{1, 1} << 2;
}

void TestRememberedList::wordCounts()
{
    QFETCH(QStringList, chains);
    QFETCH(QStringList, asked);
    QFETCH(QList<int>, counts);
    QFETCH(int, records);

    RememberedList list;
    for (const QString &chain : chains)
        list.addEntry(QStringLiteral("1"), QStringLiteral("d"), chain);
    for (qsizetype i = 0; i < asked.size(); ++i)
        QCOMPARE(list.getcount(asked.at(i)), counts.at(i));
    QCOMPARE(list.wordc().count(), records);

    qsizetype total = 0;
    for (int i = 1; i <= records; ++i)
        total += list.wordc().Item(i)->count();
    QCOMPARE(total, chains.join(u' ').split(u' ', Qt::SkipEmptyParts).size());
}

void TestRememberedList::countsFollowForgetAndImportAtNextLoad()
{
    place(rvDb(), fixture("stored.db"));
    RememberedList list;
    list.setDataDir(m_dir->path());
    list.readnumbers();
    list.readnumbers();
    QCOMPARE(list.getcount(QStringLiteral("bill")), 2);
    QCOMPARE(list.wordc().count(), 7); // "Bill" has its own record

    QVERIFY(list.removeEntry(2)); // Café bill: dice bill
    list.appendEntry({QStringLiteral("5"), QStringLiteral("imported"), QStringLiteral("lie")});
    QCOMPARE(list.getcount(QStringLiteral("bill")), 2);
    QCOMPARE(list.getcount(QStringLiteral("lie")), 0);
    QVERIFY(list.SaveNumbers());
    list.unload();
    QCOMPARE(list.entryCount(), 0);
    QCOMPARE(list.getcount(QStringLiteral("bill")), 2);

    list.readnumbers();
    QCOMPARE(list.getcount(QStringLiteral("bill")), 1);
    QCOMPARE(list.getcount(QStringLiteral("dice")), 0);
    QCOMPARE(list.getcount(QStringLiteral("lie")), 1);
}

void TestRememberedList::badPositions()
{
    RememberedList list;
    add(list, {"1|a|", "2|b|"});
    list.setChanged(false);
    for (const int position : {0, -1, 3}) {
        QVERIFY(!list.removeEntry(position));
        QCOMPARE(list.entry(position), RememberedEntry());
    }
    QCOMPARE(list.entryCount(), 2);
    QVERIFY(!list.changed());
}

QTEST_GUILESS_MAIN(TestRememberedList)
#include "tst_rememberedlist.moc"
