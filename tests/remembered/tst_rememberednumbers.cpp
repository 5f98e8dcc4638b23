#include "remembered/RememberedJournal.h"
#include "remembered/RememberedList.h"
#include "remembered/RememberedNumbers.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

void place(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// A list whose load leaves it changed (a quote becomes a blank), so that a save
// writes; its words sort otherwise than its descriptions.
QByteArray listFile()
{
    QByteArray bytes;
    for (int i = 0; i < 40; ++i)
        bytes += "\"" + QByteArray::number(i * 7 % 40) + ":entry " + QByteArray::number(i) + ": " +
                 QByteArray("tin me law nun pop").split(' ').at(i % 5) + " tie\"\r\n";
    return bytes + "9:say \"hi\":bee\r\n";
}

// Two entries the list holds (one with the blank a stored chain begins with), two new.
const QByteArray transferFile("\"Numbrill\"\r\n\"0\"\r\n\"entry 0\"\r\n\"tin tie\"\r\n"
                              "\"7\"\r\n\"entry 1\"\r\n\" me tie\"\r\n"
                              "\"88\"\r\n\"brought\"\r\n\"fife\"\r\n"
                              "\"89\"\r\n\"also brought\"\r\n\"fob\"\r\n");

// The rows on show, one "value|description|words" each.
QStringList rowsOf(const RememberedNumbers &numbers)
{
    QStringList rows;
    for (int position = 1; position <= numbers.entryCount(); ++position) {
        const RememberedEntry entry = numbers.entry(position);
        rows.append(entry.Value + u'|' + entry.Description + u'|' + entry.Words);
    }
    return rows;
}

using Operation = std::function<void(RememberedNumbers &, const QString &transfer)>;

const QList<std::pair<const char *, Operation>> &operations()
{
    static const QList<std::pair<const char *, Operation>> all{
        {"load", [](RememberedNumbers &numbers, const QString &) { numbers.load(); }},
        {"sort", [](RememberedNumbers &numbers,
                    const QString &) { numbers.sort(RememberedList::WordsColumn); }},
        {"store",
         [](RememberedNumbers &numbers, const QString &) {
             numbers.store(
                 {QStringLiteral("777"), QStringLiteral("stored now"), QStringLiteral(" tin nun")});
         }},
        // The row the user sees holding "entry 12".
        {"forget",
         [](RememberedNumbers &numbers, const QString &) {
             numbers.forget(numbers.model()->findDescription(QStringLiteral("entry 12"), 1,
                                                             numbers.entryCount()));
         }},
        {"import",
         [](RememberedNumbers &numbers, const QString &transfer) { numbers.importFile(transfer); }},
        {"export",
         [](RememberedNumbers &numbers, const QString &transfer) { numbers.exportFile(transfer); }},
        {"save", [](RememberedNumbers &numbers, const QString &) { numbers.save(); }},
        {"unload", [](RememberedNumbers &numbers, const QString &) { numbers.unload(); }},
    };
    return all;
}

} // namespace

// The list's work is one queue: whatever is asked while a step runs on its thread
// ends as if it had been asked once that step was done.
class TestRememberedNumbers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { RememberedNumbers::setLongList(0); }
    void cleanup() { RememberedNumbers::setLongList(5000); }
    void interleavedEqualsSequential_data();
    void interleavedEqualsSequential();
    void changesOutliveFailedSaves();
    void changesOnDiskBehindLongWork_data();
    void changesOnDiskBehindLongWork();

private:
    // Rows, counts and files after `first` and then `second`, the second asked for
    // while the first still runs, or once it has ended.
    QString outcome(int first, int second, bool interleaved);
    static void checkEdges(const RememberedList *model);
};

// A view asks the model about every row; it must answer nothing past the rows.
void TestRememberedNumbers::checkEdges(const RememberedList *model)
{
    QVERIFY(!model->index(model->rowCount(), 0).isValid());
    QVERIFY(!model->index(0, model->columnCount()).isValid());
    QCOMPARE(model->flags({}), Qt::NoItemFlags);
}

QString TestRememberedNumbers::outcome(int first, int second, bool interleaved)
{
    QTemporaryDir dir;
    const QString transfer = dir.filePath(QStringLiteral("transfer.txt"));
    place(RememberedFile::filePath(dir.path()), listFile());
    place(transfer, transferFile);

    RememberedNumbers numbers;
    QAbstractItemModelTester tester(numbers.model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    numbers.setDataDir(dir.path());
    // Every step but a first load meets a loaded list.
    if (QLatin1String(operations().at(first).first) != QLatin1String("load")) {
        numbers.load();
        numbers.drain();
    }
    operations().at(first).second(numbers, transfer);
    if (interleaved) {
        const QString running = numbers.busyText();
        const bool computes = QByteArrayList{"load", "sort", "import", "export", "save"}.contains(
            operations().at(first).first);
        if (computes && running.isEmpty())
            return QStringLiteral("the first step does not run on a thread");
    } else {
        numbers.drain();
    }
    operations().at(second).second(numbers, transfer);
    numbers.drain();
    checkEdges(numbers.model());

    return QStringList{QStringLiteral("rows: ") + rowsOf(numbers).join(u"; "),
                       QStringLiteral("sorted by %1, loaded %2, tin used %3")
                           .arg(numbers.model()->sortColumn())
                           .arg(numbers.isLoaded())
                           .arg(numbers.uses(QStringLiteral("tin"))),
                       QString::fromLatin1(bytesOf(RememberedFile::filePath(dir.path()))),
                       QString::fromLatin1(bytesOf(RememberedFile::workingCopyPath(dir.path()))),
                       QString::fromLatin1(bytesOf(RememberedJournal::filePath(dir.path()))),
                       QString::fromLatin1(bytesOf(transfer))}
        .join(QStringLiteral("\n"));
}

void TestRememberedNumbers::interleavedEqualsSequential_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    for (int first = 0; first < operations().size(); ++first) {
        for (int second = 0; second < operations().size(); ++second) {
            // A user forgets a row on show; none is while the list loads or after it went.
            const QLatin1String a(operations().at(first).first);
            if (operations().at(second).first == QLatin1String("forget") &&
                (a == QLatin1String("load") || a == QLatin1String("unload")))
                continue;
            QTest::addRow("%s, %s", operations().at(first).first, operations().at(second).first)
                << first << second;
        }
    }
}

void TestRememberedNumbers::interleavedEqualsSequential()
{
    QFETCH(int, first);
    QFETCH(int, second);
    const QString sequential = outcome(first, second, false);
    if (QTest::currentTestFailed())
        return;
    const QString interleaved = outcome(first, second, true);
    // Part by part, so that a difference shows.
    const QStringList expected = sequential.split(u'\n');
    const QStringList actual = interleaved.split(u'\n');
    for (qsizetype part = 0; part < std::max(expected.size(), actual.size()); ++part) {
        const QString want = expected.value(part);
        const QString got = actual.value(part);
        qsizetype at = 0;
        while (at < want.size() && at < got.size() && want.at(at) == got.at(at))
            ++at;
        QCOMPARE(got.mid(std::max<qsizetype>(at - 20, 0), 80),
                 want.mid(std::max<qsizetype>(at - 20, 0), 80));
    }
}

// Every store, forget and import is in the journal once its step has ended, whatever
// becomes of the saves of the whole list: the next load gives the same rows, and
// folds them into rv.db.
void TestRememberedNumbers::changesOutliveFailedSaves()
{
    QTemporaryDir dir;
    const QString transfer = dir.filePath(QStringLiteral("transfer.txt"));
    const QString copy = RememberedFile::workingCopyPath(dir.path());
    place(RememberedFile::filePath(dir.path()), listFile());
    place(transfer, transferFile);
    // Every save of the whole list fails: its first file cannot be written.
    QVERIFY(QDir().mkpath(copy));

    QStringList before;
    {
        RememberedNumbers numbers;
        numbers.setDataDir(dir.path());
        numbers.load();
        numbers.store(
            {QStringLiteral("777"), QStringLiteral("stored now"), QStringLiteral(" tin")});
        numbers.drain();
        numbers.forget(
            numbers.model()->findDescription(QStringLiteral("entry 12"), 1, numbers.entryCount()));
        numbers.importFile(transfer);
        numbers.drain();
        before = rowsOf(numbers);
        QCOMPARE(before.size(), 41 + 1 - 1 + 2);
        // As if killed: nothing more is written.
        numbers.setDiscarded(true);
    }
    QCOMPARE(bytesOf(RememberedFile::filePath(dir.path())), listFile());

    QVERIFY(QDir(copy).removeRecursively());
    RememberedNumbers numbers;
    numbers.setDataDir(dir.path());
    numbers.load();
    numbers.drain();
    QCOMPARE(rowsOf(numbers), before);
    // Folded into the list file, the journal goes.
    QVERIFY(bytesOf(RememberedFile::filePath(dir.path())).contains("\"777:stored now:tin\""));
    QVERIFY(!bytesOf(RememberedFile::filePath(dir.path())).contains("entry 12:"));
    QVERIFY(!QFile::exists(dir.filePath(QLatin1String(RememberedJournal::fileName))));
}

// A store or forget asked for while long work runs on its thread is in the journal at
// once, unless a change before it has yet to be written; the journal then still gives
// the rows in the order they were changed.
void TestRememberedNumbers::changesOnDiskBehindLongWork_data()
{
    QTest::addColumn<QString>("running");
    QTest::addColumn<QString>("queued");
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("atOnce");
    QTest::newRow("store behind a sort") << "sort" << "" << "store" << true;
    QTest::newRow("store behind an export") << "export" << "" << "store" << true;
    QTest::newRow("store behind a save") << "save" << "" << "store" << true;
    QTest::newRow("forget behind a sort") << "sort" << "" << "forget" << true;
    QTest::newRow("store behind a sort and a forget") << "sort" << "forget" << "store" << true;
    QTest::newRow("store behind a sort and an import") << "sort" << "import" << "store" << false;
    QTest::newRow("store while the list loads") << "load" << "" << "store" << false;
}

void TestRememberedNumbers::changesOnDiskBehindLongWork()
{
    QFETCH(QString, running);
    QFETCH(QString, queued);
    QFETCH(QString, change);
    QFETCH(bool, atOnce);
    QTemporaryDir dir;
    QTemporaryDir later;
    const QString transfer = dir.filePath(QStringLiteral("transfer.txt"));
    const QString copy = RememberedFile::workingCopyPath(dir.path());
    place(RememberedFile::filePath(dir.path()), listFile());
    place(transfer, transferFile);
    // Every save of the whole list fails: the journal alone keeps the changes.
    QVERIFY(QDir().mkpath(copy));
    const auto ask = [&](RememberedNumbers &numbers, const QString &name) {
        for (const auto &[operation, run] : operations()) {
            if (name == QLatin1String(operation))
                run(numbers, transfer);
        }
    };
    const auto rowsIn = [](const QString &dataDir) {
        RememberedNumbers numbers;
        numbers.setDataDir(dataDir);
        numbers.load();
        numbers.drain();
        QStringList rows = rowsOf(numbers);
        numbers.setDiscarded(true);
        std::sort(rows.begin(), rows.end());
        return rows;
    };
    const QString journal = QLatin1String(RememberedJournal::fileName);

    QStringList after;
    {
        RememberedNumbers numbers;
        numbers.setDataDir(dir.path());
        if (running != QLatin1String("load")) {
            numbers.load();
            numbers.drain();
        }
        ask(numbers, running);
        QVERIFY(!numbers.busyText().isEmpty());
        const QStringList before = rowsOf(numbers);
        ask(numbers, queued);
        ask(numbers, change);
        // The rows wait for their turn, behind the work that reads them on its thread.
        QCOMPARE(rowsOf(numbers), before);
        // What a kill now would leave.
        for (const QString &file : {QStringLiteral("rv.db"), journal})
            QFile::copy(dir.filePath(file), later.filePath(file));
        QVERIFY(!numbers.busyText().isEmpty());
        numbers.drain();
        after = rowsOf(numbers);
        std::sort(after.begin(), after.end());
        numbers.setDiscarded(true);
    }
    const QStringList killed = rowsIn(later.path());
    const bool changed = change == QLatin1String("store")
                             ? killed.contains(QStringLiteral("777|stored now|tin nun"))
                             : !killed.contains(QStringLiteral("12|entry 12|me tie"));
    QCOMPARE(changed, atOnce);
    QVERIFY(QDir(copy).removeRecursively());
    QCOMPARE(rowsIn(dir.path()), after);
}

QTEST_GUILESS_MAIN(TestRememberedNumbers)
#include "tst_rememberednumbers.moc"
