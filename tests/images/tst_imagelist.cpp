#include "images/ImageList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray fileOf(const QByteArrayList &lines, const QByteArray &lineEnd = "\r\n")
{
    QByteArray bytes;
    for (const QByteArray &line : lines)
        bytes += '"' + line + '"' + lineEnd;
    return bytes;
}

const QByteArrayList whole = {
    "numbrill images 1", "threedigits:yes", "0:sow",       "7:key",         "00:sauce",
    "07:sock",           "99:puppy",        "007:\xe9pic", "999:baby pipe", "end:7"};

} // namespace

// The image list file as the program writes it, and as a kill, a hand edit or another
// program may leave it.
class TestImageList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keys();
    void file_data();
    void file();
    void throughTheDataFolder();
};

void TestImageList::keys()
{
    const QStringList two = ImageList::keys(2);
    QCOMPARE(ImageList::keys(1).join(QString()), QStringLiteral("0123456789"));
    QCOMPARE(two.size(), 100);
    QCOMPARE(two.first(), QStringLiteral("00"));
    QCOMPARE(two.at(7), QStringLiteral("07"));
    QCOMPARE(ImageList::keys(3).at(42), QStringLiteral("042"));
    QCOMPARE(ImageList::keys(3).last(), QStringLiteral("999"));
    QVERIFY(ImageList::keys(4).isEmpty());
}

void TestImageList::file_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("problem");
    // What is read, as "KEY=WORD" in key order, and whether 000 to 999 are shown.
    QTest::addColumn<QString>("images");
    QTest::addColumn<bool>("threeDigits");

    using S = ImageList::LoadStatus;
    const QString all = QString::fromUtf8("0=sow 7=key 00=sauce 07=sock 99=puppy 007=\xc3\xa9pic "
                                          "999=baby pipe");
    QByteArrayList cut = whole;
    cut.removeLast();
    QByteArrayList emptyList = {"numbrill images 1", "threedigits:no", "end:0"};
    auto with = [](QByteArrayList lines, int at, const QByteArray &line) {
        lines.insert(at, line);
        return lines;
    };

    QTest::newRow("whole") << fileOf(whole) << int(S::Loaded) << "" << all << true;
    QTest::newRow("empty list") << fileOf(emptyList) << int(S::Loaded) << ""
                                << "" << false;
    QTest::newRow("LF line ends") << fileOf(whole, "\n") << int(S::Loaded) << "" << all << true;
    QTest::newRow("CR line ends") << fileOf(whole, "\r") << int(S::Loaded) << "" << all << true;
    QTest::newRow("no end line") << fileOf(cut) << int(S::Damaged)
                                 << "line 10: the file is cut short" << all << true;
    QTest::newRow("torn last line") << fileOf(cut) + "\"end:" << int(S::Damaged)
                                    << "line 10: the file is cut short" << all << true;
    QTest::newRow("count does not match")
        << fileOf(with(cut, 9, "end:6")) << int(S::Damaged)
        << "line 10: the count at the end does not match" << all << true;
    QTest::newRow("repeated key") << fileOf({"numbrill images 1", "threedigits:no", "12:tin",
                                             "12:ton", "end:1"})
                                  << int(S::Damaged) << "line 4: a key out of order or repeated"
                                  << "12=tin" << false;
    QTest::newRow("keys out of order")
        << fileOf({"numbrill images 1", "threedigits:no", "12:tin", "3:ham", "end:1"})
        << int(S::Damaged) << "line 4: a key out of order or repeated"
        << "12=tin" << false;
    QTest::newRow("four digits") << fileOf(
                                        {"numbrill images 1", "threedigits:no", "1234:x", "end:0"})
                                 << int(S::Damaged) << "line 3: not a key and its word"
                                 << "" << false;
    QTest::newRow("no word") << fileOf({"numbrill images 1", "threedigits:no", "12:", "end:0"})
                             << int(S::Damaged) << "line 3: not a key and its word"
                             << "" << false;
    QTest::newRow("text after the quote")
        << fileOf({"numbrill images 1", "threedigits:no"}) + "\"12:tin\"x\r\n\"end:0\"\r\n"
        << int(S::Damaged) << "line 3: not a quoted field"
        << "" << false;
    QTest::newRow("lines after the end")
        << fileOf(with(emptyList, 3, "12:tin")) << int(S::Damaged) << "line 4: lines after the end"
        << "" << false;
    QTest::newRow("setting missing")
        << fileOf({"numbrill images 1", "12:tin", "end:1"}) << int(S::Damaged)
        << "line 2: the threedigits setting is missing"
        << "12=tin" << false;
    QTest::newRow("another file") << QByteArray("\"314:meter\"\r\n") << int(S::Unreadable)
                                  << "line 1: not a list of images"
                                  << "" << false;
    QTest::newRow("nothing") << QByteArray() << int(S::Damaged) << "line 1: the file is empty"
                             << "" << false;
}

void TestImageList::file()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, status);
    QFETCH(QString, problem);
    QFETCH(QString, images);
    QFETCH(bool, threeDigits);

    ImageList list;
    QString why;
    QCOMPARE(int(list.parse(bytes, &why)), status);
    QCOMPARE(why, problem);
    QStringList read;
    for (int digits = 1; digits <= 3; ++digits) {
        for (const QString &key : ImageList::keys(digits)) {
            if (!list.image(key).isEmpty())
                read.append(key + u'=' + list.image(key));
        }
    }
    QCOMPARE(read.join(u' '), images);
    QCOMPARE(list.threeDigitKeysShown(), threeDigits);

    // Whatever was read writes back as a whole file that reads the same, and a file
    // read whole with CR LF line ends is written back byte for byte.
    ImageList again;
    QCOMPARE(again.parse(list.toBytes()), ImageList::LoadStatus::Loaded);
    QVERIFY(again == list);
    if (status == int(ImageList::LoadStatus::Loaded) && !bytes.contains("\"\n") &&
        !bytes.contains("\"\r\""))
        QCOMPARE(list.toBytes(), bytes);
}

void TestImageList::throughTheDataFolder()
{
    QTemporaryDir dir;
    ImageList list;
    QCOMPARE(list.load(dir.path()).status, ImageList::LoadStatus::Missing);
    list.setImage(QStringLiteral("42"), QStringLiteral("rain"));
    list.setImage(QStringLiteral("4x"), QStringLiteral("never"));
    list.setImage(QStringLiteral("0420"), QStringLiteral("never"));
    QString error;
    QVERIFY2(list.save(dir.path(), &error), qPrintable(error));
    QFile written(dir.filePath(QStringLiteral("images.db")));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(),
             fileOf({"numbrill images 1", "threedigits:no", "42:rain", "end:1"}));
    written.close();

    ImageList read;
    QCOMPARE(read.load(dir.path()).status, ImageList::LoadStatus::Loaded);
    QVERIFY(read == list);

    // A word the file cannot hold is refused, and the file keeps the last list.
    list.setImage(QStringLiteral("42"), QStringLiteral("say \"rain\""));
    QVERIFY(!list.save(dir.path(), &error));
    QVERIFY2(error.contains(QStringLiteral("images.db")), qPrintable(error));
    QCOMPARE(read.load(dir.path()).status, ImageList::LoadStatus::Loaded);
    QCOMPARE(read.image(QStringLiteral("42")), QStringLiteral("rain"));

    // A damaged file is named in its problem; the readable lines are kept.
    QVERIFY(written.open(QIODevice::WriteOnly | QIODevice::Truncate));
    written.write(fileOf({"numbrill images 1", "threedigits:no", "42:rain"}));
    written.close();
    const ImageList::LoadResult damaged = read.load(dir.path());
    QCOMPARE(damaged.status, ImageList::LoadStatus::Damaged);
    QVERIFY2(damaged.problem.contains(QDir::toNativeSeparators(written.fileName())),
             qPrintable(damaged.problem));
    QCOMPARE(read.image(QStringLiteral("42")), QStringLiteral("rain"));

    QVERIFY(!list.save(dir.filePath(QStringLiteral("missing/folder")), &error));
    QVERIFY2(error.contains(QStringLiteral("images.db")), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestImageList)
#include "tst_imagelist.moc"
