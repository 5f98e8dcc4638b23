#include "TestInstallation.h"
#include "drills/DrillHub.h"
#include "drills/DrillLog.h"
#include "drills/DrillStatisticsView.h"
#include "images/ImageList.h"
#include "recall/RecallHistory.h"
#include "recall/RecallHub.h"
#include "remembered/RememberedNumbers.h"
#include "recall/RecallStatisticsWindow.h"
#include "remembered/ReviewWindow.h"
#include "ui/MessageBox.h"
#include "ui/Windows.h"
#include "workspace/MainWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include <memory>

// The three drills and their statistics as the main window's Tools › Drills opens
// them, each row a list of user steps and what the window then shows, with an injected
// clock and a seeded random source.
class TestDrillWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void drills_data();
    void drills();

private:
    QString shown() const;
    void write(const QString &pattern);
    QWidget *window() const { return QApplication::activeWindow(); }

    std::unique_ptr<TestInstallation> m_install;
    DrillImages m_images;
    QString m_digits; // the digits the Speed Numbers grid showed
    qint64 m_now = 0;
};

void TestDrillWindows::init()
{
    MessageBox::answerInstead(true);
    MessageBox::clearShown();
    DrillHub::seedRandom(1);
    DrillHub::setImageSource([this] { return m_images; });
    m_now = QDateTime(QDate(2026, 3, 2), QTime(8, 0), Qt::UTC).toMSecsSinceEpoch();
}

void TestDrillWindows::cleanup()
{
    Windows::releaseAll();
    RememberedNumbers::release();
    m_install.reset();
}

QString TestDrillWindows::shown() const
{
    QWidget *w = window();
    auto text = [w](const char *name) { return w->findChild<QLabel *>(name)->text(); };
    auto keys = [w](const char *name) {
        QStringList found;
        const auto *list = w->findChild<QTreeWidget *>(name);
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            found.append(list->topLevelItem(i)->text(0));
        return found.join(u' ');
    };
    QFile log(DrillLog::filePath(m_install->path() + QStringLiteral("/data")));
    const QString lines =
        QString::number(log.open(QIODevice::ReadOnly) ? log.readAll().count("\r\n") : 0);
    const QString name = w->objectName();
    if (name == QLatin1String("ImagesDrillWindow")) {
        QString status = text("statusLabel");
        status.replace(QRegularExpression(QStringLiteral("due .* \\(in")),
                       QStringLiteral("due (in"));
        return QStringList{
            status, text("keyLabel"), text("resultLabel"), keys("slowestList"), keys("missedList"),
            lines}
            .join(u'|');
    }
    if (name == QLatin1String("FlashDrillWindow"))
        return QStringList{text("numberLabel"), text("resultLabel"), text("summaryLabel"), lines}
            .join(u'|');
    if (name == QLatin1String("SpeedNumbersWindow")) {
        // Each chunk listed must name the image of the digits shown there.
        QStringList mistakes;
        const auto *list = w->findChild<QTreeWidget *>("mistakesList");
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *item = list->topLevelItem(i);
            const QString image = m_images.image(item->text(2));
            mistakes.append(item->text(0) + u':' + item->text(1) +
                            (item->text(4) == image ? QString() : QStringLiteral(" NOT ") + image));
        }
        const auto *grid = w->findChild<QTableWidget *>("digitGrid");
        int marked = 0;
        for (int r = 0; r < grid->rowCount(); ++r) {
            for (int c = 0; c < grid->columnCount(); ++c)
                marked += grid->item(r, c)->toolTip().isEmpty() ? 0 : 1;
        }
        return QStringList{text("timerLabel"), text("scoreLabel"), mistakes.join(u' '),
                           QString::number(marked), lines}
            .join(u'|');
    }
    // The drills' page of Recall Statistics.
    QStringList rows;
    const auto *table = w->findChild<QTreeWidget *>("drillKeyTable");
    for (int i = 0; i < table->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            cells.append(table->topLevelItem(i)->text(c));
        rows.append(cells.join(u' ').simplified());
    }
    return QStringList{text("bestsLabel"), text("keysDueLabel"), rows.join(u';')}.join(u'|');
}

// Types into the recall grid: '.' the digit shown, 'x' another, '_' a blank.
void TestDrillWindows::write(const QString &pattern)
{
    auto *grid = window()->findChild<QTableWidget *>("digitGrid");
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        const QChar digit = c == u'.'   ? m_digits.at(i)
                            : c == u'x' ? QChar(u'0' + (m_digits.at(i).digitValue() + 7) % 10)
                                        : QChar(u' ');
        QTest::keyClick(grid, digit.toLatin1());
    }
}

void TestDrillWindows::drills_data()
{
    QTest::addColumn<QStringList>("images");
    QTest::addColumn<QByteArray>("log");
    // open images|speed|flash|statistics, close, set NAME VALUE (a combo's item by
    // its value, a spin box), click NAME, type TEXT, enter, key N, wait N(s|m|d),
    // remember (the digits on the grid), write PATTERN (see write()), hidden (the flash
    // number gone), message TEXT (a message box said so); "= ..." is what the window
    // shows then (see shown()).
    QTest::addColumn<QStringList>("steps");

    const QStringList images{"1=tie", "2=noah", "27=ink", "31=mat", "42=rain"};
    QStringList allPairs;
    for (int n = 0; n < 100; ++n)
        allPairs.append(QStringLiteral("%1=w%1").arg(n, 2, 10, QLatin1Char('0')));

    QTest::newRow("images: typed, missed and back before new keys, then revealed")
        << images << QByteArray()
        << QStringList{"open images",
                       "= 3 keys due|27||||0",
                       "wait 5s",
                       "type inc",
                       "enter",
                       "= 3 keys due|27|Wrong: 27 is ink (Again)|27|27|1",
                       "wait 1m",
                       "enter",
                       "= 3 keys due|27||27|27|1",
                       "wait 1s",
                       "type Ink",
                       "enter",
                       "= 3 keys due|27|Right: ink (Easy)|27|27|2",
                       "enter",
                       "= 2 keys due|31||27|27|2",
                       "wait 4s",
                       "type mat",
                       "enter",
                       "= 2 keys due|31|Right: mat (Good)|31 27|27|3",
                       "enter",
                       "wait 3s",
                       "click revealButton",
                       "= 1 key due|42|42 is rain. How well did you know it?|31 27|27|3",
                       "key 3",
                       "= Nothing is due. The next key is due (in 10 min).|||31 27 42|27|4",
                       "set digitsCombo 1",
                       "= 2 keys due|1||31 27 42|27|4"};
    QTest::newRow("images: from the image list")
        << QStringList{"images.db", "7=cow", "27=ink", "314=meter"} << QByteArray()
        << QStringList{"open images",
                       "= 1 key due|27||||0",
                       "set digitsCombo 1",
                       "= 1 key due|7||||0",
                       "set digitsCombo 3",
                       "= You have no images for these keys yet. Give them in "
                       "Tools › My Images.|||||0"};
    QTest::newRow("images: none yet")
        << QStringList{} << QByteArray()
        << QStringList{"open images", "= You have no images for these keys yet. Give them in "
                                      "Tools › My Images.|||||0"};
    QTest::newRow("speed numbers: a partial row, then a personal best in a custom time")
        << allPairs << QByteArray()
        << QStringList{"open speed",
                       "set rowLengthCombo 20",
                       "set rowsSpin 2",
                       "click startButton",
                       "= 1:00|||0|0",
                       "remember",
                       "wait 30s",
                       "= 0:30|||0|0",
                       "click doneButton",
                       "write .....x.............._.........",
                       "click doneButton",
                       "=|Score: 15 of 40 digits.|1:5-6 2:1-2|2|1",
                       "set timeCombo 0",
                       "set minutesSpin 2",
                       "click startButton",
                       "= 2:00|||0|1",
                       "remember",
                       "wait 2m",
                       "= Recall|||0|1",
                       "write ........................................",
                       "click doneButton",
                       "=|Score: 40 of 40 digits.||0|2",
                       "set timeCombo 60000",
                       "click startButton",
                       "remember",
                       "click doneButton",
                       "write x.......................................",
                       "click doneButton",
                       "=|Score: 30 of 40 digits. A personal best for rows of 20 in 1 min (it was "
                       "15).|1:1-2|1|3"};
    QTest::newRow("flash: two keys in turn, hidden after half a second")
        << QStringList{"27=ink", "42=rain"} << QByteArray()
        << QStringList{"open flash",
                       "set shownSpin 0.5",
                       "click startButton",
                       "= 27|||0",
                       "hidden",
                       "wait 2s",
                       "type ink",
                       "enter",
                       "= 42|Right: 27 is ink|1 answered, 100 % right, median 2.0 s|1",
                       "enter",
                       "= 27|Wrong: 42 is rain|2 answered, 50 % right, median 1.0 s|2"};
    QTest::newRow("statistics of a history, a line unreadable")
        << images
        << QByteArray("\"20260301T080000Z:images:easy:3000:right:42\"\r\n"
                      "\"20260301T080000Z:images:great:3000:right:42\"\r\n"
                      "\"20260301T080100Z:flash:500:1000:right:42\"\r\n"
                      "\"20260301T080200Z:flash:500:2000:wrong:27\"\r\n"
                      "\"20260301T080300Z:flash:500:4000:right:27\"\r\n"
                      "\"20260301T090000Z:speed:40:300000:300000:73:120\"\r\n"
                      "\"20260301T100000Z:speed:40:300000:200000:95:120\"\r\n"
                      "\"20260301T110000Z:speed:20:60000:60000:30:40\"\r\n")
        << QStringList{"open statistics",
                       "message (line 2)",
                       "= Personal bests: rows of 20 in 1 min: 30; rows of 40 in 5 min: 95|Image "
                       "keys due now: 0 (and 4 never drilled)|27 ink 2 50 3.0;42 rain 1 100 3.0 "
                       "6 d 1 100 1.0",
                       "wait 9d",
                       "close",
                       "open statistics",
                       "= Personal bests: rows of 20 in 1 min: 30; rows of 40 in 5 min: 95|Image "
                       "keys due now: 1 (and 4 never drilled)|27 ink 2 50 3.0;42 rain 1 100 3.0 "
                       "now 1 100 1.0"};
}

void TestDrillWindows::drills()
{
    QFETCH(QStringList, images);
    QFETCH(QByteArray, log);
    QFETCH(QStringList, steps);
    m_images = {};
    for (const QString &image : images)
        m_images.byKey.insert(image.section(u'=', 0, 0), image.section(u'=', 1));
    m_install = std::make_unique<TestInstallation>(QByteArray(""));
    // "images.db" first: the images come from the user's image list in the data folder.
    if (images.value(0) == QLatin1String("images.db")) {
        ImageList list;
        for (const auto &[key, image] : m_images.byKey.asKeyValueRange())
            list.setImage(key, image);
        QVERIFY(list.save(m_install->path() + QStringLiteral("/data")));
        DrillHub::setImageSource({});
    }
    if (!log.isEmpty())
        QVERIFY(m_install->write(QLatin1String(DrillLog::fileName), log));
    Windows::instance<MainWindow>();
    Windows::instance<ReviewWindow>()->load();
    RecallHistory *recall = RecallHub::history();
    recall->setClock([this] { return m_now; });
    recall->settle();

    int messages = 0;
    for (const QString &step : steps) {
        const QString argument = step.section(u' ', 1);
        if (step.startsWith(u'=')) {
            QTRY_COMPARE(shown(), step.mid(1).trimmed());
        } else if (step.startsWith(QLatin1String("open "))) {
            if (argument == QLatin1String("statistics")) {
                Windows::existing<MainWindow>()->findChild<QAction *>("RecallStatistics")->trigger();
                auto *statistics = Windows::existing<RecallStatisticsWindow>();
                QVERIFY(QTest::qWaitForWindowActive(statistics));
                statistics->findChild<QTabWidget *>("statisticsTabs")->setCurrentIndex(1);
                continue;
            }
            const char *names[] = {"ImagesDrill", "SpeedNumbersDrill", "FlashDrill"};
            const int which = QStringList{"images", "speed", "flash"}.indexOf(argument);
            QVERIFY(which >= 0);
            Windows::existing<MainWindow>()->findChild<QAction *>(names[which])->trigger();
            QTRY_VERIFY(window() && window() != Windows::existing<MainWindow>());
        } else if (step == QLatin1String("close")) {
            QWidget *open = window();
            open->close();
            QTRY_VERIFY(!open->isVisible());
        } else if (step.startsWith(QLatin1String("set "))) {
            QWidget *widget = window()->findChild<QWidget *>(argument.section(u' ', 0, 0));
            const QString value = argument.section(u' ', 1);
            if (auto *combo = qobject_cast<QComboBox *>(widget))
                combo->setCurrentIndex(combo->findData(value.toLongLong()));
            else if (auto *spin = qobject_cast<QSpinBox *>(widget))
                spin->setValue(value.toInt());
            else if (auto *real = qobject_cast<QDoubleSpinBox *>(widget))
                real->setValue(value.toDouble());
            else
                QFAIL(qPrintable(QStringLiteral("no setting ") + argument));
        } else if (step.startsWith(QLatin1String("click "))) {
            auto *button = window()->findChild<QAbstractButton *>(argument);
            QVERIFY(button && button->isEnabled());
            QTest::mouseClick(button, Qt::LeftButton);
        } else if (step.startsWith(QLatin1String("type "))) {
            QTest::keyClicks(QApplication::focusWidget(), argument);
        } else if (step == QLatin1String("enter")) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        } else if (step.startsWith(QLatin1String("key "))) {
            QTest::keyClick(QApplication::focusWidget(), argument.at(0).toLatin1());
        } else if (step.startsWith(QLatin1String("wait "))) {
            const qint64 unit = argument.endsWith(u'd')   ? Fsrs::day
                                : argument.endsWith(u'm') ? Fsrs::minute
                                                          : 1000;
            m_now += argument.chopped(1).toLongLong() * unit;
        } else if (step == QLatin1String("remember")) {
            const auto *grid = window()->findChild<QTableWidget *>("digitGrid");
            m_digits.clear();
            for (int r = 0; r < grid->rowCount(); ++r) {
                for (int c = 0; c < grid->columnCount(); ++c)
                    m_digits += grid->item(r, c)->text();
            }
        } else if (step.startsWith(QLatin1String("write "))) {
            write(argument);
        } else if (step == QLatin1String("hidden")) {
            QTRY_VERIFY(window()->findChild<QLabel *>("numberLabel")->text().isEmpty());
        } else if (step.startsWith(QLatin1String("message "))) {
            ++messages;
            QTRY_COMPARE(MessageBox::shown().size(), messages);
            const QString text = MessageBox::shown().last().text;
            QVERIFY2(text.contains(argument) && text.contains(QLatin1String(DrillLog::fileName)),
                     qPrintable(text));
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
        }
    }
    QCOMPARE(MessageBox::shown().size(), messages);
    // Whatever was read is still in the file, unreadable lines included.
    if (!log.isEmpty())
        QVERIFY(m_install->read(QLatin1String(DrillLog::fileName)).startsWith(log));
}

QTEST_MAIN(TestDrillWindows)
#include "tst_drillwindows.moc"
