#include "drills/DrillLog.h"
#include "drills/SpeedNumbers.h"

#include <QTemporaryDir>
#include <QTest>

// The competition scoring of speed numbers, and the drill history's file: what reads
// back, what is refused, and a torn last line.
class TestDrills : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scoring_data();
    void scoring();
    void history_data();
    void history();
    void tornLine();
};

void TestDrills::scoring_data()
{
    QTest::addColumn<int>("rowLength");
    QTest::addColumn<QString>("shown");
    // One character per cell: '.' the digit shown, 'x' another digit, '_' a blank.
    QTest::addColumn<QString>("written");
    QTest::addColumn<int>("score");
    // R right, W wrong, - not scored.
    QTest::addColumn<QString>("cells");

    const QString forty = QStringLiteral("3141592653589793238462643383279502884197");
    const QString eighty = forty + QStringLiteral("1693993751058209749445923078164062862089");
    const QString dots = QString(40, u'.');
    QTest::newRow("two full rows of 40") << 40 << eighty << dots + dots << 80 << QString(80, u'R');
    QTest::newRow("one mistake in a row of 40: 20")
        << 40 << eighty << dots + QString(39, u'.') + u'x' << 60 << QString(79, u'R') + u'W';
    QTest::newRow("two mistakes in a row: nothing")
        << 40 << eighty << u'x' + QString(38, u'.') + u'x' + dots << 40
        << u'W' + QString(38, u'R') + u'W' + QString(40, u'R');
    QTest::newRow("a blank inside a row is a mistake")
        << 40 << eighty << dots + QString(20, u'.') + u'_' + QString(19, u'.') << 60
        << QString(60, u'R') + u'W' + QString(19, u'R');
    QTest::newRow("a row of 20 with one mistake: 10")
        << 20 << forty << QString(20, u'.') + u'x' + QString(19, u'.') << 30
        << QString(20, u'R') + u'W' + QString(19, u'R');
    QTest::newRow("last row partly written, all right")
        << 40 << eighty << dots + QString(13, u'.') << 53 << QString(53, u'R') + QString(27, u'-');
    QTest::newRow("last row partly written, one mistake: half rounded up")
        << 40 << eighty << dots + QString(12, u'.') + u'x' << 47
        << QString(52, u'R') + u'W' + QString(27, u'-');
    QTest::newRow("last row partly written, two mistakes")
        << 40 << eighty << dots + u'x' + QString(11, u'.') + u'x' << 40
        << QString(40, u'R') + u'W' + QString(11, u'R') + u'W' + QString(27, u'-');
    QTest::newRow("an empty row before the last one written scores nothing")
        << 4 << QStringLiteral("123456789012") << QStringLiteral("....____..") << 6
        << QStringLiteral("RRRRWWWWRR--");
    QTest::newRow("empty grid") << 40 << eighty << QString() << 0 << QString(80, u'-');
    QTest::newRow("only blanks") << 40 << eighty << QString(50, u'_') << 0 << QString(80, u'-');
}

void TestDrills::scoring()
{
    QFETCH(int, rowLength);
    QFETCH(QString, shown);
    QFETCH(QString, written);
    QFETCH(int, score);
    QFETCH(QString, cells);

    QString recalled;
    for (qsizetype i = 0; i < written.size(); ++i) {
        const QChar c = written.at(i);
        recalled += c == u'.'   ? shown.at(i)
                    : c == u'x' ? QChar(u'0' + (shown.at(i).digitValue() + 1) % 10)
                                : QChar(u' ');
    }
    const SpeedNumbers::Outcome outcome = SpeedNumbers::score(shown, recalled, rowLength);
    QCOMPARE(outcome.score, score);
    QString marks;
    for (SpeedNumbers::Cell cell : outcome.cells)
        marks += cell == SpeedNumbers::Cell::Right   ? u'R'
                 : cell == SpeedNumbers::Cell::Wrong ? u'W'
                                                     : u'-';
    QCOMPARE(marks, cells);
}

void TestDrills::history_data()
{
    QTest::addColumn<QByteArray>("bytes");
    // Each result read, written again; then the numbers of the lines refused.
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QList<qsizetype>>("badLines");

    const QByteArray images = "\"20261207T101500Z:images:good:1830:right:42\"\r\n";
    const QByteArray flash = "\"20261207T101501Z:flash:500:1210:wrong:427\"\r\n";
    const QByteArray speed = "\"20261207T101502Z:speed:40:300000:281000:73:120\"\r\n";
    QTest::newRow("one of each") << images + flash + speed << images + flash + speed
                                 << QList<qsizetype>{};
    QTest::newRow("lone LF and CR ends, empty lines")
        << images.chopped(2) + "\n\n" + flash.chopped(2) + "\r" + speed << images + flash + speed
        << QList<qsizetype>{};
    QTest::newRow("hand-edited lines are refused, the rest read")
        << "\"20261207T101500Z:images:great:1830:right:42\"\r\n" + images +
               "\"20261207T101500Z:images:good:1830:right:4200\"\r\n"
               "\"20261207T101500Z:flash:500:1210:right:\"\r\n"
               "\"20261207T101500Z:speed:40:300000:281000:121:120\"\r\n"
               "\"20261231T246000Z:flash:500:1210:wrong:427\"\r\n"
               "\"20261207T101500Z:speed:0:300000:281000:1:120\"\r\n"
               "20261207T101500Z:flash:500:1210:wrong:427\r\n" +
               flash
        << images + flash << QList<qsizetype>{1, 3, 4, 5, 6, 7, 8};
}

void TestDrills::history()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, written);
    QFETCH(QList<qsizetype>, badLines);

    const DrillLog::ParseResult parsed = DrillLog::parse(bytes);
    QByteArray again;
    for (const DrillLog::Result &result : parsed.results) {
        QCOMPARE(DrillLog::normalised(result), result);
        again += DrillLog::line(result);
    }
    QCOMPARE(again, written);
    QCOMPARE(parsed.badLines, badLines);
    QCOMPARE(parsed.wholeLength, bytes.size());
}

void TestDrills::tornLine()
{
    // A kill during an append leaves part of a line: the next load cuts it off and the
    // next result starts a line of its own.
    QTemporaryDir dir;
    const QByteArray whole = "\"20261207T101500Z:images:good:1830:right:42\"\r\n";
    {
        QFile file(DrillLog::filePath(dir.path()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(whole + "\"20261207T1015");
    }
    const DrillLog::LoadResult loaded = DrillLog::load(dir.path());
    QVERIFY(loaded.repaired);
    QCOMPARE(loaded.results.size(), 1);
    DrillLog::Result result;
    result.time = 1796638501000;
    result.drill = DrillLog::Drill::Flash;
    result.key = QStringLiteral("07");
    result.allowed = 500;
    DrillLog::Writer writer(dir.path());
    QVERIFY(writer.append(result));
    QFile file(DrillLog::filePath(dir.path()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), whole + "\"20261207T101501Z:flash:500:0:wrong:07\"\r\n");
}

QTEST_GUILESS_MAIN(TestDrills)
#include "tst_drills.moc"
