#include "TestPaths.h"
#include "remembered/RememberedFile.h"
#include "remembered/RememberedList.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

// The remembered numbers at the size of a long-time user's list: loading and saving
// 100,000 entries with about 400,000 memory words, and the usage look-up of the
// candidate ranking, which must cost the same for a short and a long list.
class BenchRemembered : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void readnumbers_data();
    void readnumbers();
    void saveNumbers();
    void getcount_data();
    void usesOf();

private:
    QString fillDataDir(const QTemporaryDir &dir, int entries);

    QStringList m_vocabulary;
    QStringList m_probes;      // words for usesOf, the same for every list
    QTemporaryDir m_bigDir;    // in the order the entries were made
    QTemporaryDir m_sortedDir; // the same list as a save leaves it, in display order
    QTemporaryDir m_smallDir;
    QRandomGenerator m_random{2718};
};

void BenchRemembered::initTestCase()
{
    QFile words(QString::fromUtf8(TestPaths::sourceDir) + QLatin1String("/data/words.txt"));
    QVERIFY(words.open(QIODevice::ReadOnly));
    m_vocabulary = QString::fromLatin1(words.readAll()).split(u'\n', Qt::SkipEmptyParts);
    QVERIFY(m_vocabulary.size() > 100000);

    QVERIFY(!fillDataDir(m_bigDir, 100000).isEmpty());
    QVERIFY(!fillDataDir(m_smallDir, 100).isEmpty());

    RememberedList list;
    list.setDataDir(m_bigDir.path());
    list.readnumbers();
    qint64 memoryWords = 0;
    const WordCollection used = list.usage().collection();
    for (int i = 1; i <= used.count(); ++i)
        memoryWords += used.Item(i)->count();
    list.setDataDir(m_sortedDir.path());
    list.setChanged(true);
    QVERIFY(list.SaveNumbers());
    qInfo("rv.db: %d entries, %lld memory words, %d distinct, %lld bytes", list.entryCount(),
          memoryWords, used.count(),
          qlonglong(QFile(RememberedFile::filePath(m_bigDir.path())).size()));

    // The words of the short list, which the long one mostly uses too, and as many
    // words that no list uses.
    list.setDataDir(m_smallDir.path());
    list.readnumbers();
    const WordCollection shortList = list.usage().collection();
    for (int i = 1; i <= shortList.count(); ++i) {
        const QString word = shortList.Item(i)->word();
        m_probes << word << word + QLatin1String("zzq");
    }
    qInfo("usesOf: %lld look-ups per iteration", qlonglong(m_probes.size()));
}

// Writes an rv.db of random entries: a number of 2 to 16 digits, a description of one
// to three words and one to seven memory words (four on average). Words are picked
// from the word list with a strong lean towards its first, most preferred words, as a
// user's choices are.
QString BenchRemembered::fillDataDir(const QTemporaryDir &dir, int entries)
{
    const auto pickWord = [this] {
        const double skew = std::pow(m_random.generateDouble(), 3.0);
        return m_vocabulary.at(qsizetype(skew * double(m_vocabulary.size())));
    };
    const auto words = [&](int count, QChar lead) {
        QString text;
        for (int i = 0; i < count; ++i)
            text += (i > 0 ? QChar(u' ') : lead) + pickWord();
        return text;
    };

    QList<RememberedEntry> list;
    list.reserve(entries);
    for (int i = 0; i < entries; ++i) {
        QString value;
        for (int d = m_random.bounded(2, 17); d > 0; --d)
            value += QChar(u'0' + m_random.bounded(10));
        list.append({value, words(m_random.bounded(1, 4), QChar()).trimmed(),
                     words(m_random.bounded(1, 8), u' ')});
    }
    if (!dir.isValid() || !RememberedFile::save(dir.path(), list))
        return {};
    return dir.path();
}

void BenchRemembered::readnumbers_data()
{
    QTest::addColumn<QString>("dataDir");
    QTest::newRow("as saved") << m_sortedDir.path();
    QTest::newRow("unsorted") << m_bigDir.path();
}

void BenchRemembered::readnumbers()
{
    QFETCH(QString, dataDir);

    RememberedList list;
    list.setDataDir(dataDir);
    QBENCHMARK
    {
        list.readnumbers();
    }
    QCOMPARE(list.entryCount(), 100000);
}

void BenchRemembered::saveNumbers()
{
    RememberedList list;
    list.setDataDir(m_sortedDir.path());
    list.readnumbers();
    QBENCHMARK
    {
        list.setChanged(true);
        QVERIFY(list.SaveNumbers());
    }
}

void BenchRemembered::getcount_data()
{
    QTest::addColumn<QString>("dataDir");
    QTest::newRow("100 entries") << m_smallDir.path();
    QTest::newRow("100,000 entries") << m_bigDir.path();
}

void BenchRemembered::usesOf()
{
    QFETCH(QString, dataDir);

    RememberedList list;
    list.setDataDir(dataDir);
    list.readnumbers();
    QBENCHMARK
    {
        for (const QString &word : std::as_const(m_probes))
            list.usesOf(word);
    }
}

QTEST_GUILESS_MAIN(BenchRemembered)
#include "bench_remembered.moc"
