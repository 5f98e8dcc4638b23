#include "remembered/RememberedJournal.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Change = RememberedJournal::Change;

Q_DECLARE_METATYPE(RememberedEntry)

namespace {

RememberedEntry entry(const QString &value)
{
    return {value, QStringLiteral("number ") + value, QStringLiteral("tin ton")};
}

// The values of the records, "+" before a store and "-" before a forget.
QString texts(const QList<RememberedJournal::Record> &records)
{
    QStringList parts;
    for (const RememberedJournal::Record &record : records)
        parts.append((record.change == Change::Store ? u'+' : u'-') + record.entry.Value);
    return parts.join(u' ');
}

void appendRaw(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append) && file.write(bytes) == bytes.size());
}

} // namespace

class TestRememberedJournal : public QObject
{
    Q_OBJECT

private slots:
    void sessions_data();
    void sessions();
    void textReadsBack_data();
    void textReadsBack();
};

// Each row is a script of steps over one data folder:
//   +V / -V      store / forget the entry of value V (acknowledged at once)
//   mark         a full save takes its copy of the rows
//   fold N       the save notes that list file N holds what was marked
//   compact N    the save replaced the list file with N
//   list N       the list file now is N (a save's rename, or a change behind the
//                program's back); list 0 is the one the session started from
//   open         the program starts again with the current list file
//   ahead V      an import's store of V, written before its rows are in place
//   count N      the rows of N changes written ahead are in place
//   tear         a kill in the middle of an append
//   unended      a whole line of 99 without its line end, which no open cut off
//   garbage      a line no writer makes
// The expected outcome is that of the last open: the records given to apply,
// whether a message came, and the journal's records as read at one more start.
void TestRememberedJournal::sessions_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("replayed");
    QTest::addColumn<bool>("error");
    QTest::addColumn<QString>("replayedAgain");

    QTest::newRow("nothing yet") << "open"
                                 << "" << false << "";
    QTest::newRow("stores and a forget") << "+1 +2 -1 open"
                                         << "+1 +2 -1" << false << "+1 +2 -1";
    QTest::newRow("appends go on after a start") << "+1 open +2 open"
                                                 << "+1 +2" << false << "+1 +2";
    QTest::newRow("killed before the fold") << "+1 mark +2 open"
                                            << "+1 +2" << false << "+1 +2";
    QTest::newRow("killed after the fold, list not yet replaced") << "+1 mark +2 fold 1 open"
                                                                  << "+1 +2" << false << "+1 +2";
    QTest::newRow("killed after the list was replaced") << "+1 mark +2 fold 1 +3 list 1 open"
                                                        << "+2 +3" << false << "+2 +3";
    QTest::newRow("compacted") << "+1 mark +2 fold 1 list 1 compact 1 +3 open"
                               << "+2 +3" << false << "+2 +3";
    QTest::newRow("compacted to nothing") << "+1 +2 mark fold 1 list 1 compact 1 open"
                                          << "" << false << "";
    QTest::newRow("second save over a failed compact")
        << "+1 mark fold 1 list 1 +2 mark fold 2 list 2 +3 open"
        << "+3" << false << "+3";
    QTest::newRow("a save back to the same bytes") << "+1 mark fold 0 list 0 -1 open"
                                                   << "-1" << false << "-1";
    QTest::newRow("an import's changes ahead of a save's copy")
        << "+1 ahead 2 mark fold 1 list 1 open"
        << "+2" << false << "+2";
    QTest::newRow("compacted while an import's changes wait")
        << "+1 ahead 2 mark fold 1 list 1 compact 1 count 1 +3 open"
        << "+2 +3" << false << "+2 +3";
    QTest::newRow("torn last append") << "+1 +2 tear open +3 open"
                                      << "+1 +2 +3" << false << "+1 +2 +3";
    QTest::newRow("a line without its end met by an append") << "+1 unended +2 open"
                                                             << "+1 +99 +2" << false << "+1 +99 +2";
    QTest::newRow("list replaced behind the program's back") << "+1 +2 list 7 open"
                                                             << "" << true << "";
    QTest::newRow("new changes after a foreign list") << "+1 list 7 open +2 open"
                                                      << "+2" << false << "+2";
    QTest::newRow("a damaged line keeps what came before") << "+1 +2 garbage open"
                                                           << "+1 +2" << true << "+1 +2";
}

void TestRememberedJournal::sessions()
{
    QFETCH(QString, script);
    QFETCH(QString, replayed);
    QFETCH(bool, error);
    QFETCH(QString, replayedAgain);

    QTemporaryDir dir;
    const QString path = RememberedJournal::filePath(dir.path());
    const auto listFile = [](int n) {
        return ListFingerprint::of(n == 0 ? QByteArray()
                                          : QByteArray("list ") + QByteArray::number(n));
    };
    int current = 0;
    auto journal = std::make_unique<RememberedJournal>(dir.path());
    RememberedJournal::Replay last = journal->open(listFile(current));
    qsizetype mark = 0;

    const QStringList steps = script.split(u' ');
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const QString &step = steps.at(i);
        QString failure;
        if (step.startsWith(u'+') || step.startsWith(u'-')) {
            QVERIFY2(journal->append(step.startsWith(u'+') ? Change::Store : Change::Forget,
                                     entry(step.mid(1)), &failure),
                     qPrintable(failure));
        } else if (step == u"ahead") {
            QVERIFY(journal->appendAhead(
                RememberedJournal::linesOf({{Change::Store, entry(steps.at(++i))}})));
        } else if (step == u"count") {
            journal->counted(steps.at(++i).toInt());
        } else if (step == u"mark") {
            mark = journal->mark();
        } else if (step == u"fold") {
            QVERIFY(journal->noteFold(mark, listFile(steps.at(++i).toInt()), &failure));
        } else if (step == u"compact") {
            QVERIFY2(journal->compact(mark, listFile(steps.at(++i).toInt()), &failure),
                     qPrintable(failure));
        } else if (step == u"list") {
            current = steps.at(++i).toInt();
        } else if (step == u"open") {
            journal = std::make_unique<RememberedJournal>(dir.path());
            last = journal->open(listFile(current));
        } else if (step == u"tear" || step == u"unended") {
            appendRaw(path, RememberedJournal::recordLine({Change::Store, entry("99")})
                                .chopped(step == u"tear" ? 5 : 2));
        } else if (step == u"garbage") {
            appendRaw(path, "\"store the rest\r\n");
        }
    }

    QCOMPARE(texts(last.records), replayed);
    QCOMPARE(!last.error.isEmpty(), error);
    if (error) {
        QVERIFY2(last.error.contains(QDir::toNativeSeparators(path)), qPrintable(last.error));
        QVERIFY(QFile::exists(dir.filePath(RememberedJournal::asideName)));
    }
    RememberedJournal again(dir.path());
    const RememberedJournal::Replay next = again.open(listFile(current));
    QCOMPARE(texts(next.records), replayedAgain);
    QVERIFY2(next.error.isEmpty(), qPrintable(next.error));
}

// What a journal line holds reads back as the same record, with the entry's texts
// as a load of rv.db gives them, and the lines parse back to what was written.
void TestRememberedJournal::textReadsBack_data()
{
    QTest::addColumn<RememberedEntry>("written");
    QTest::addColumn<RememberedEntry>("read");

    QTest::newRow("plain") << RememberedEntry{"314", "pi", "meter"}
                           << RememberedEntry{"314", "pi", "meter"};
    QTest::newRow("leading blank of a chain")
        << RememberedEntry{"5", "dupx", " law"} << RememberedEntry{"5", "dupx", "law"};
    QTest::newRow("quote and line break")
        << RememberedEntry{"1", "a \"b\"\nc", "tea"} << RememberedEntry{"1", "a  b  c", "tea"};
    QTest::newRow("empty texts") << RememberedEntry{} << RememberedEntry{};
    QTest::newRow("code page") << RememberedEntry{"7", QString::fromUtf8("café €"), "cow"}
                               << RememberedEntry{"7", QString::fromUtf8("café €"), "cow"};
}

void TestRememberedJournal::textReadsBack()
{
    QFETCH(RememberedEntry, written);
    QFETCH(RememberedEntry, read);

    const ListFingerprint list = ListFingerprint::of("x");
    const RememberedJournal::Record record{Change::Forget, written};
    const QByteArray bytes = RememberedJournal::headerLine(list) +
                             RememberedJournal::recordLine(record) +
                             RememberedJournal::foldLine({1, list, 1});
    const RememberedJournal::Parsed parsed = RememberedJournal::parse(bytes);
    QCOMPARE(parsed.badLine, 0);
    QVERIFY(parsed.hasHeader && parsed.base == list);
    QCOMPARE(parsed.records.size(), 1);
    QCOMPARE(parsed.records.first().change, Change::Forget);
    QCOMPARE(parsed.records.first().entry, read);
    QCOMPARE(RememberedJournal::normalised(record).entry, read);
    QCOMPARE(parsed.folds, (QList<RememberedJournal::Fold>{{1, list, 1}}));
    QCOMPARE(parsed.wholeLength, bytes.size());

    // Journals written by earlier versions name their list file by this hash: it
    // must never change.
    const ListFingerprint known = ListFingerprint::of("\"314:pi:meter\"\r\n\"5:dupx: law\"\r\n");
    QCOMPARE(known.size, 31);
    QCOMPARE(known.hash, 0xc2b511515f4bcabfULL);
}

QTEST_GUILESS_MAIN(TestRememberedJournal)
#include "tst_rememberedjournal.moc"
