#include "TestPaths.h"
#include "dictionary/Dictionary.h"

#include <QTest>

// The dictionary's share of a keystroke: the index load at start-up, and the
// lookups of every leading part of a long number when the candidate list is rebuilt.
class BenchDictionary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loadIndex();
    void refreshFortyDigits();
    void appendOneDigit();

private:
    const QString m_installDir = QString::fromUtf8(TestPaths::buildShareDir);
    // Pi's first forty digits: a mix of busy and quiet groups.
    const QString m_number = QStringLiteral("3141592653589793238462643383279502884197");
};

void BenchDictionary::loadIndex()
{
    Dictionary dictionary(m_installDir);
    QBENCHMARK
    {
        dictionary.loadIndex();
    }
    QVERIFY(dictionary.blockIndex().at(1109) > 0);
}

void BenchDictionary::refreshFortyDigits()
{
    Dictionary dictionary(m_installDir);
    dictionary.loadIndex();
    int words = 0;
    QBENCHMARK
    {
        words = 0;
        for (qsizetype k = 1; k <= m_number.size(); ++k)
            words += int(dictionary.lookupWords(m_number.left(k)).size());
    }
    QVERIFY(words > 0);
}

void BenchDictionary::appendOneDigit()
{
    Dictionary dictionary(m_installDir);
    dictionary.loadIndex();
    QBENCHMARK
    {
        dictionary.lookupWords(m_number.left(3));
    }
}

QTEST_GUILESS_MAIN(BenchDictionary)
#include "bench_dictionary.moc"
