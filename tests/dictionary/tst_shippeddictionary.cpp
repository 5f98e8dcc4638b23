#include "TestPaths.h"
#include "core/QuotedLineFile.h"
#include "core/CodedWord.h"

#include <QSet>
#include <QTest>

// Checks the dictionary the build made from the shipped word list.
class TestShippedDictionary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void recordsAreWellFormed();

private:
    QString m_installDir = QString::fromUtf8(TestPaths::buildShareDir);
    QStringList m_records;
};

void TestShippedDictionary::initTestCase()
{
    const auto records = QuotedLineFile::read(m_installDir + QStringLiteral("/data/num1.db"));
    QVERIFY(records);
    m_records = *records;
    QVERIFY(!m_records.isEmpty());
}

void TestShippedDictionary::recordsAreWellFormed()
{
    QCOMPARE(m_records.last(), QStringLiteral("~:"));

    int words = 0;
    QString previousKey;
    for (qsizetype i = 0; i + 1 < m_records.size(); ++i) {
        const QStringList fields = m_records.at(i).split(u':');
        const QString &key = fields.first();
        QVERIFY2(previousKey.isEmpty() || previousKey < key, qPrintable(key));
        QVERIFY2(fields.last().isEmpty(), qPrintable(key)); // every word ends with a colon
        previousKey = key;

        QSet<QString> seen;
        for (qsizetype w = 1; w + 1 < fields.size(); ++w) {
            CodedWord word;
            word.setWord(fields.at(w));
            QVERIFY2(word.value() == key, qPrintable(key + u' ' + fields.at(w)));
            QVERIFY2(!seen.contains(fields.at(w).toCaseFolded()), qPrintable(fields.at(w)));
            seen.insert(fields.at(w).toCaseFolded());
            ++words;
        }
    }
    QVERIFY2(words >= 60000, qPrintable(QString::number(words)));
}

QTEST_GUILESS_MAIN(TestShippedDictionary)
#include "tst_shippeddictionary.moc"
