#include "remembered/FlashCardFile.h"
#include "remembered/RememberedList.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The flash-card file on its own; tst_form3 checks the window's command.
class TestFlashCardFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bytes_data();
    void bytes();
    void unwritablePath();
};

void TestFlashCardFile::bytes_data()
{
    QTest::addColumn<QStringList>("entries"); // "value|description|words"
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray header("#separator:tab\n#html:false\n");
    QTest::newRow("empty list: header only") << QStringList{} << header;
    QTest::newRow("display order, empty description, stored and loaded words")
        << QStringList{"3141|pi|moderate", "12||  tin",
                       QStringLiteral("914|caf\u00e9 \u20ac| butter bee")}
        << header + "\t12 tin\n"
                    "caf\xc3\xa9 \xe2\x82\xac\t914 butter bee\n"
                    "pi\t3141 moderate\n";
    QTest::newRow("tabs and line breaks become blanks")
        << QStringList{QStringLiteral("1|a\tb\r\nc\nd\re\u2028f|tea\ttoe"), "2|no words|"}
        << header + "a b c d e f\t1 tea toe\nno words\t2\n";
}

void TestFlashCardFile::bytes()
{
    QFETCH(QStringList, entries);
    QFETCH(QByteArray, bytes);

    RememberedList list;
    for (const QString &entry : std::as_const(entries))
        list.appendEntry(
            {entry.section(u'|', 0, 0), entry.section(u'|', 1, 1), entry.section(u'|', 2)});
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cards.txt"));
    QVERIFY(FlashCardFile::write(list, path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
}

void TestFlashCardFile::unwritablePath()
{
    RememberedList list;
    QTemporaryDir dir;
    QString error;
    QVERIFY(!FlashCardFile::write(list, dir.filePath(QStringLiteral("no/such/cards.txt")), &error));
    QVERIFY(!error.isEmpty());
}

QTEST_GUILESS_MAIN(TestFlashCardFile)
#include "tst_flashcardfile.moc"
