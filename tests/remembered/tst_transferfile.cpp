#include "remembered/RememberedList.h"
#include "remembered/TransferFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Entries = QList<RememberedEntry>;
Q_DECLARE_METATYPE(RememberedEntry)

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
    file.write(bytes);
}

Entries entriesOf(const RememberedList &list)
{
    Entries entries;
    for (int position = 1; position <= list.entryCount(); ++position)
        entries.append(list.entry(position));
    return entries;
}

} // namespace

class TestTransferFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exportBytes_data();
    void exportBytes();
    void exportFailureLeavesOldFile();
    void import_data();
    void import();
    void ownExportAddsNothing();
    void missingFile();

private:
    QTemporaryDir m_dir;
};

void TestTransferFile::exportBytes_data()
{
    QTest::addColumn<Entries>("entries");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty list: header only") << Entries{} << QByteArray("\"Numbrill\"\r\n");
    QTest::newRow("display order, empty description, leading space, comma")
        << Entries{{"314", "pi, start", " meter"},
                   {"12", "", "tin"},
                   {"9", QStringLiteral("\u00e9t\u00e9"), "bee"}}
        << QByteArray("\"Numbrill\"\r\n\"12\"\r\n\"empty\"\r\n\"tin\"\r\n"
                      "\"314\"\r\n\"pi, start\"\r\n\" meter\"\r\n"
                      "\"9\"\r\n\"\xe9t\xe9\"\r\n\"bee\"\r\n");
}

void TestTransferFile::exportBytes()
{
    QFETCH(Entries, entries);
    QFETCH(QByteArray, bytes);

    RememberedList list;
    for (const RememberedEntry &entry : entries)
        list.appendEntry(entry);
    list.setChanged(false);
    const QString path = m_dir.filePath(QStringLiteral("out.txt"));
    QVERIFY(TransferFile::exportList(list, path));
    QCOMPARE(readAll(path), bytes);
    QVERIFY(!list.changed());
}

void TestTransferFile::exportFailureLeavesOldFile()
{
    RememberedList list;
    list.appendEntry({"1", "say \"hi\"", "tea"});
    const QString path = m_dir.filePath(QStringLiteral("keep.txt"));
    writeAll(path, "old");
    QString error;
    QVERIFY(!TransferFile::exportList(list, path, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(readAll(path), QByteArray("old"));
    QVERIFY(!TransferFile::exportList(list, m_dir.filePath(QStringLiteral("no/such/dir.txt"))));
}

void TestTransferFile::import_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Entries>("added");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("skipped");
    QTest::addColumn<bool>("changed");

    const QByteArray header("\"Numbrill\"\r\n");
    QTest::newRow("empty file") << QByteArray() << Entries{}
                                << int(TransferFile::ImportResult::Completed) << 0 << false;
    QTest::newRow("header only") << header << Entries{}
                                 << int(TransferFile::ImportResult::Completed) << 0 << true;
    QTest::newRow("wrong header") << QByteArray("\"numbrill\"\r\n\"5\"\r\n\"x\"\r\n\"law\"\r\n")
                                  << Entries{} << int(TransferFile::ImportResult::InvalidHeader)
                                  << 0 << false;
    QTest::newRow("any text file") << QByteArray("hello\n") << Entries{}
                                   << int(TransferFile::ImportResult::InvalidHeader) << 0 << false;
    QTest::newRow("record twice, and one already held")
        << header + "\"5\"\r\n\"lily\"\r\n\" law\"\r\n\"5\"\r\n\"lily\"\r\n\" law\"\r\n"
                    "\"1\"\r\n\"tea time\"\r\n\"tea\"\r\n"
        << Entries{{"5", "lily", " law"}} << int(TransferFile::ImportResult::Completed) << 0
        << true;
    QTest::newRow("\"empty\" is a description like any other")
        << header + "\"2\"\r\n\"empty\"\r\n\"new\"\r\n"
        << Entries{{"2", "empty", "new"}} << int(TransferFile::ImportResult::Completed) << 0
        << true;
    QTest::newRow("cut short keeps what came before")
        << header + "\"5\"\r\n\"lily\"\r\n\"law\"\r\n\"6\"\r\n\"jaw\"\r\n"
        << Entries{{"5", "lily", "law"}} << int(TransferFile::ImportResult::Incomplete) << 0
        << true;
    QTest::newRow("LF only, unquoted lines, trailing blank line, colon skipped")
        << QByteArray("\"Numbrill\"\n5\nlily\nlaw\n\n\"7\"\n\"at 10:30\"\n\"key\"\n"
                      "\"8:9\"\n\"x\"\n\"fob\"\n\"3\"\n\"door\"\n\"me: mum\"\n\n")
        << Entries{{"5", "lily", "law"}, {"3", "door", "me: mum"}}
        << int(TransferFile::ImportResult::Completed) << 2 << true;
    QTest::newRow("empty words field kept")
        << header + "\"4\"\r\n\"door\"\r\n\"\"\r\n"
        << Entries{{"4", "door", ""}} << int(TransferFile::ImportResult::Completed) << 0 << true;
}

void TestTransferFile::import()
{
    QFETCH(QByteArray, file);
    QFETCH(Entries, added);
    QFETCH(int, status);
    QFETCH(int, skipped);
    QFETCH(bool, changed);

    RememberedList list;
    list.appendEntry({"1", "tea time", "tea"});
    list.setChanged(false);
    const QString path = m_dir.filePath(QStringLiteral("in.txt"));
    writeAll(path, file);

    const TransferFile::ImportResult result = TransferFile::importInto(list, path);
    QCOMPARE(int(result.status), status);
    QCOMPARE(result.skipped, skipped);
    QCOMPARE(result.imported, int(added.size()));
    QCOMPARE(list.changed(), changed);
    Entries expected = added;
    expected.prepend({"1", "tea time", "tea"});
    Entries actual = entriesOf(list);
    const auto byValue = [](const RememberedEntry &a, const RememberedEntry &b) {
        return a.Value < b.Value;
    };
    std::sort(expected.begin(), expected.end(), byValue);
    std::sort(actual.begin(), actual.end(), byValue);
    QCOMPARE(actual, expected);
    // Imported words are counted at the next load, not now.
    QCOMPARE(list.getcount(QStringLiteral("law")), 0);
}

void TestTransferFile::ownExportAddsNothing()
{
    RememberedList list;
    list.appendEntry({"1", "tea time", "tea"});
    list.appendEntry({"12", "", " tin"});
    const QString path = m_dir.filePath(QStringLiteral("own.txt"));
    QVERIFY(TransferFile::exportList(list, path));

    const TransferFile::ImportResult result = TransferFile::importInto(list, path);
    // The empty description comes back as "empty", which differs from it.
    QCOMPARE(result.imported, 1);
    QCOMPARE(list.entryCount(), 3);
}

void TestTransferFile::missingFile()
{
    RememberedList list;
    const TransferFile::ImportResult result =
        TransferFile::importInto(list, m_dir.filePath(QStringLiteral("missing.txt")));
    QCOMPARE(int(result.status), int(TransferFile::ImportResult::Unreadable));
    QVERIFY(!list.changed());
}

QTEST_GUILESS_MAIN(TestTransferFile)
#include "tst_transferfile.moc"
