#include "remembered/RememberedList.h"
#include "remembered/TransferFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Result = TransferFile::ImportResult;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Entries are written "value|description|words" in the tables.
void add(RememberedList &list, const QStringList &entries)
{
    for (const QString &entry : entries)
        list.appendEntry(
            {entry.section(u'|', 0, 0), entry.section(u'|', 1, 1), entry.section(u'|', 2)});
    list.setChanged(false);
}

} // namespace

// The export file on its own; tst_form3 checks the window's export and import, the
// import of its own export included.
class TestTransferFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exportBytes_data();
    void exportBytes();
    void import_data();
    void import();

private:
    QTemporaryDir m_dir;
};

void TestTransferFile::exportBytes_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty list: header only") << QStringList{} << QByteArray("\"Numbrill\"\r\n");
    QTest::newRow("display order, empty description, leading space, comma")
        << QStringList{"314|pi, start| meter", "12||tin", QStringLiteral("9|\u00e9t\u00e9|bee")}
        << QByteArray("\"Numbrill\"\r\n\"12\"\r\n\"empty\"\r\n\"tin\"\r\n"
                      "\"314\"\r\n\"pi, start\"\r\n\" meter\"\r\n"
                      "\"9\"\r\n\"\xe9t\xe9\"\r\n\"bee\"\r\n");
}

void TestTransferFile::exportBytes()
{
    QFETCH(QStringList, entries);
    QFETCH(QByteArray, bytes);

    RememberedList list;
    add(list, entries);
    const QString path = m_dir.filePath(QStringLiteral("out.txt"));
    QVERIFY(TransferFile::exportList(list, path));
    QCOMPARE(readAll(path), bytes);
    QVERIFY(!list.changed());
}

void TestTransferFile::import_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("skipped");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QStringList>("added");

    // The list holds "1|tea time|tea" before each import; a null file is none.
    const QByteArray header("\"Numbrill\"\r\n");
    QTest::newRow("no file") << QByteArray() << int(Result::Unreadable) << 0 << false
                             << QStringList{};
    QTest::newRow("empty file") << QByteArray("") << int(Result::Completed) << 0 << false
                                << QStringList{};
    QTest::newRow("header only") << header << int(Result::Completed) << 0 << true << QStringList{};
    QTest::newRow("wrong header") << QByteArray("\"numbrill\"\r\n\"5\"\r\n\"x\"\r\n\"law\"\r\n")
                                  << int(Result::InvalidHeader) << 0 << false << QStringList{};
    QTest::newRow("any text file")
        << QByteArray("hello\n") << int(Result::InvalidHeader) << 0 << false << QStringList{};
    QTest::newRow("record twice, and one already held")
        << header + "\"5\"\r\n\"lily\"\r\n\" law\"\r\n\"5\"\r\n\"lily\"\r\n\" law\"\r\n"
                    "\"1\"\r\n\"tea time\"\r\n\"tea\"\r\n"
        << int(Result::Completed) << 0 << true << QStringList{"5|lily| law"};
    QTest::newRow("\"empty\" is a description like any other")
        << header + "\"2\"\r\n\"empty\"\r\n\"new\"\r\n"
        << int(Result::Completed) << 0 << true << QStringList{"2|empty|new"};
    QTest::newRow("cut short keeps what came before")
        << header + "\"5\"\r\n\"lily\"\r\n\"law\"\r\n\"6\"\r\n\"jaw\"\r\n"
        << int(Result::Incomplete) << 0 << true << QStringList{"5|lily|law"};
    QTest::newRow("LF only, unquoted lines, trailing blank line, colon skipped")
        << QByteArray("\"Numbrill\"\n5\nlily\nlaw\n\n\"7\"\n\"at 10:30\"\n\"key\"\n"
                      "\"8:9\"\n\"x\"\n\"fob\"\n\"3\"\n\"door\"\n\"me: mum\"\n\n")
        << int(Result::Completed) << 2 << true << QStringList{"5|lily|law", "3|door|me: mum"};
    // Old Mac line ends; a quote the list file cannot hold comes in as a blank.
    QTest::newRow("CR only, quotes in unquoted lines")
        << QByteArray("\"Numbrill\"\r6\rsay \"hi\"\r\"jaw\"\r") << int(Result::Completed) << 0
        << true << QStringList{"6|say  hi |jaw"};
    QTest::newRow("empty words field kept")
        << header + "\"4\"\r\n\"door\"\r\n\"\"\r\n"
        << int(Result::Completed) << 0 << true << QStringList{"4|door|"};
}

void TestTransferFile::import()
{
    QFETCH(QByteArray, file);
    QFETCH(int, status);
    QFETCH(int, skipped);
    QFETCH(bool, changed);
    QFETCH(QStringList, added);

    RememberedList list;
    add(list, {"1|tea time|tea"});
    const QString path = m_dir.filePath(QStringLiteral("in.txt"));
    QFile::remove(path);
    if (!file.isNull())
        writeAll(path, file);

    const Result result = TransferFile::importInto(list, path);
    QCOMPARE(int(result.status), status);
    QCOMPARE(result.skipped, skipped);
    QCOMPARE(result.imported, int(added.size()));
    QCOMPARE(list.changed(), changed);
    QStringList entries;
    for (int position = 1; position <= list.entryCount(); ++position) {
        const RememberedEntry entry = list.entry(position);
        entries.append(entry.Value + u'|' + entry.Description + u'|' + entry.Words);
        // Merged into the description order (position 0 reads as empty).
        const QString previous = list.entry(position - 1).Description;
        QVERIFY(previous.compare(entry.Description, Qt::CaseInsensitive) <= 0);
    }
    added.append(QStringLiteral("1|tea time|tea"));
    entries.sort();
    added.sort();
    QCOMPARE(entries, added);
    // Imported words are counted at the next load, not now.
    QCOMPARE(list.getcount(QStringLiteral("law")), 0);
}

QTEST_GUILESS_MAIN(TestTransferFile)
#include "tst_transferfile.moc"
