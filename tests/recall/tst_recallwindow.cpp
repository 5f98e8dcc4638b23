#include "TestInstallation.h"
#include "recall/RecallHistory.h"
#include "recall/RecallHub.h"
#include "recall/RecallLog.h"
#include "recall/RecallStatisticsWindow.h"
#include "recall/RecallWindow.h"
#include "remembered/RememberedList.h"
#include "remembered/RememberedNumbers.h"
#include "remembered/ReviewWindow.h"
#include "ui/MessageBox.h"
#include "ui/Plot.h"
#include "ui/Windows.h"
#include "workspace/MainWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include <memory>
#include <numeric>

// The Recall window as the main window's command opens it, each row a list of user
// steps on the numbers stored and what the window then shows, while an injected
// clock lets minutes and days pass.
class TestRecallWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void recall_data();
    void recall();
    void statistics();
    void damagedLog();
    void readOnceTheMainWindowShows();

private:
    void start(const QStringList &entries, const QByteArray &log = {});
    QString shown() const;
    RecallWindow *window() const { return Windows::existing<RecallWindow>(); }

    std::unique_ptr<TestInstallation> m_install;
    RecallHistory *m_history = nullptr;
    qint64 m_now = 0;
};

void TestRecallWindow::init()
{
    MessageBox::answerInstead(true);
    MessageBox::clearShown();
    m_now = QDateTime(QDate(2026, 3, 2), QTime(8, 0), Qt::UTC).toMSecsSinceEpoch();
}

void TestRecallWindow::cleanup()
{
    Windows::releaseAll();
    RememberedNumbers::release();
    m_install.reset();
}

void TestRecallWindow::start(const QStringList &entries, const QByteArray &log)
{
    m_install = std::make_unique<TestInstallation>(QByteArray(""));
    if (!log.isEmpty())
        QVERIFY(m_install->write(QLatin1String(RecallLog::fileName), log));
    Windows::instance<MainWindow>();
    ReviewWindow *remembered = Windows::instance<ReviewWindow>();
    remembered->load();
    for (const QString &entry : entries)
        RememberedNumbers::instance()->model()->addEntry(
            entry.section(u':', 0, 0), entry.section(u':', 1, 1), entry.section(u':', 2));
    m_history = RecallHub::history();
    m_history->setClock([this] { return m_now; });
    m_history->setFuzz(false);
    m_history->settle();
    QTRY_VERIFY(m_history->hasEntries() && m_history->items().size() == entries.size());
}

// "description|hint|result|words, wrong ones in brackets|grade chosen|status|command|lines in the
// log"
QString TestRecallWindow::shown() const
{
    const RecallWindow *w = window();
    auto text = [w](const char *name) { return w->findChild<QLabel *>(name)->text(); };
    QStringList words;
    const auto *list = w->findChild<QTreeWidget *>("wordsList");
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = list->topLevelItem(i);
        words.append(item->text(2) == QLatin1String("wrong") ? u'[' + item->text(1) + u']'
                                                             : item->text(1));
    }
    QString grade;
    for (const char *name : {"againButton", "hardButton", "goodButton", "easyButton"}) {
        const auto *button = w->findChild<QAbstractButton *>(name);
        if (button->isChecked())
            grade = button->text().replace(u'\n', u' ');
    }
    QString status = text("statusLabel");
    status.replace(QRegularExpression(QStringLiteral("due .* \\(in")), QStringLiteral("due (in"));
    const QAction *command = Windows::existing<MainWindow>()->findChild<QAction *>("RecallDue");
    QFile log(RecallLog::filePath(m_install->path() + QStringLiteral("/data")));
    const qsizetype lines = log.open(QIODevice::ReadOnly) ? log.readAll().count("\r\n") : 0;
    return QStringList{text("descriptionLabel"),
                       text("hintLabel"),
                       text("resultLabel").section(u' ', 0, 0),
                       words.join(u' '),
                       grade,
                       status,
                       command->text(),
                       QString::number(lines)}
        .join(u'|');
}

void TestRecallWindow::recall_data()
{
    QTest::addColumn<QStringList>("entries");
    // open (the main window's command), type DIGITS, enter, hint, key N (1 to 4),
    // wait N(s|m|d), store VALUE:DESCRIPTION:WORDS, forget DESCRIPTION, close; a step
    // "= ..." is what the window shows then (see shown()).
    QTest::addColumn<QStringList>("steps");

    QTest::newRow("right, then again as it falls due")
        << QStringList{"314:pi:meter"}
        << QStringList{
               "open",
               "= pi|||||1 number due|Recall Due Numbers (1)|0",
               "wait 5s",
               "type 314",
               "enter",
               "= pi||Right:|meter|Good 10 min|1 number due|Recall Due Numbers (1)|0",
               "enter",
               "=|||||Nothing is due. The next number is due (in 10 min).|Recall Due Numbers (0)|1",
               "wait 10m",
               "= pi|||||1 number due|Recall Due Numbers (1)|1",
               "type 314",
               "enter",
               "key 3",
               "enter",
               "=|||||Nothing is due. The next number is due (in 2 d).|Recall Due Numbers (0)|2",
               "wait 2d",
               "type 314",
               "enter",
               "= pi||Right:|meter|Easy 19 d|1 number due|Recall Due Numbers (1)|2"};
    QTest::newRow("wrong, with the word marked")
        << QStringList{"31412:pi long: meter tie no"}
        << QStringList{"open",
                       "type 31402",
                       "enter",
                       "= pi long||Wrong.|meter [tie] no|Again 1 min|1 number due|Recall Due "
                       "Numbers (1)|0",
                       "enter",
                       "wait 1m",
                       "= pi long|||||1 number due|Recall Due Numbers (1)|1",
                       "type 3141",
                       "enter",
                       "= pi long||Wrong.|meter tie [no]|Again 1 min|1 number due|Recall Due "
                       "Numbers (1)|1"};
    QTest::newRow("hint, then a changed grade")
        << QStringList{"31412:pi long: meter tie no"}
        << QStringList{"open",
                       "hint",
                       "hint",
                       "= pi long|meter tie||||1 number due|Recall Due Numbers (1)|0",
                       "type 31412",
                       "enter",
                       "= pi long|meter tie|Right:|meter tie no|Hard 6 min|1 number due|Recall "
                       "Due Numbers (1)|0",
                       "key 4",
                       "= pi long|meter tie|Right:|meter tie no|Easy 8 d|1 number due|Recall "
                       "Due Numbers (1)|0",
                       "close",
                       "open",
                       "=|||||Nothing is due. The next number is due (in 8 d).|Recall Due "
                       "Numbers (0)|1"};
    QTest::newRow("nothing stored, then a new store due at once")
        << QStringList{}
        << QStringList{"open",
                       "=|||||Nothing is due: there are no remembered numbers yet.|Recall Due "
                       "Numbers (0)|0",
                       "store 27:e: ink", "= e|||||1 number due|Recall Due Numbers (1)|0"};
    QTest::newRow("most overdue first, a forget")
        << QStringList{"27:e: ink", "314:pi: meter", "1:one: tie"}
        << QStringList{"open",
                       "= e|||||3 numbers due|Recall Due Numbers (3)|0",
                       "type 27",
                       "enter",
                       "key 1",
                       "enter",
                       "= one|||||2 numbers due|Recall Due Numbers (2)|1",
                       "wait 5m",
                       "type 1",
                       "enter",
                       "enter",
                       "= e|||||2 numbers due|Recall Due Numbers (2)|2",
                       "forget e",
                       "= pi|||||1 number due|Recall Due Numbers (1)|2"};
}

void TestRecallWindow::recall()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, steps);
    start(entries);
    QAction *command = Windows::existing<MainWindow>()->findChild<QAction *>("RecallDue");
    QVERIFY(command);

    for (const QString &step : steps) {
        const QString argument = step.section(u' ', 1);
        if (step.startsWith(u'=')) {
            QTRY_COMPARE(shown(), step.mid(1).trimmed());
        } else if (step == QLatin1String("open")) {
            command->trigger();
            QVERIFY(QTest::qWaitForWindowActive(window()));
        } else if (step.startsWith(QLatin1String("type "))) {
            QTest::keyClicks(window()->findChild<QLineEdit *>("answerEdit"), argument);
        } else if (step == QLatin1String("enter")) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        } else if (step == QLatin1String("hint")) {
            QTest::mouseClick(window()->findChild<QAbstractButton *>("hintButton"), Qt::LeftButton);
        } else if (step.startsWith(QLatin1String("key "))) {
            QTest::keyClick(QApplication::focusWidget(), argument.at(0).toLatin1());
        } else if (step.startsWith(QLatin1String("wait "))) {
            const qint64 unit = argument.endsWith(u'd')   ? Fsrs::day
                                : argument.endsWith(u'm') ? Fsrs::minute
                                                          : 1000;
            m_now += argument.chopped(1).toLongLong() * unit;
            // What the window's minute timer does.
            emit m_history->changed();
        } else if (step.startsWith(QLatin1String("store "))) {
            RememberedNumbers::instance()->model()->addEntry(argument.section(u':', 0, 0),
                                                             argument.section(u':', 1, 1),
                                                             argument.section(u':', 2));
        } else if (step.startsWith(QLatin1String("forget "))) {
            RememberedList *list = RememberedNumbers::instance()->model();
            QVERIFY(list->removeEntry(list->findDescription(argument, 1, list->entryCount())));
        } else if (step == QLatin1String("close")) {
            window()->close();
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
        }
    }
    QVERIFY(MessageBox::shown().isEmpty());
}

void TestRecallWindow::statistics()
{
    // A week of answers: the table, the plots and the retention setting.
    start({"314:pi: meter", "27:e: ink"});
    m_history->settle();
    for (int day = 0; day < 7; ++day) {
        RecallLog::Answer answer;
        answer.time = m_now;
        answer.number = "314";
        answer.description = "pi";
        answer.right = day != 3;
        answer.grade = answer.right ? Fsrs::Grade::Good : Fsrs::Grade::Again;
        QVERIFY(m_history->record(answer));
        m_now += Fsrs::day;
    }
    Windows::existing<MainWindow>()->findChild<QAction *>("RecallStatistics")->trigger();
    auto *window = Windows::existing<RecallStatisticsWindow>();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTRY_VERIFY(!window->isComputing());

    auto *table = window->findChild<QTreeView *>("recallTable");
    QCOMPARE(table->model()->rowCount(), 2);
    // Sorted by due: the new number first.
    QCOMPARE(table->model()->index(0, 0).data().toString(), QStringLiteral("e"));
    QCOMPARE(table->model()->index(1, 6).data().toInt(), 7);
    QCOMPARE(table->model()->index(1, 7).data().toInt(), 1);
    QTest::keyClicks(table, "p");
    QCOMPARE(table->currentIndex().data().toString(), QStringLiteral("pi"));

    // Six right answers and one wrong, on the fourth of the seven days before today.
    const auto *answers = window->findChild<Plot *>("answersChart");
    QCOMPARE(answers->content().series.size(), 2);
    const QList<QPointF> &right = answers->content().series.at(0).points;
    const QList<QPointF> &wrong = answers->content().series.at(1).points;
    QCOMPARE(std::accumulate(right.begin(), right.end(), 0.0,
                             [](double sum, QPointF day) { return sum + day.y(); }),
             6.0);
    QCOMPARE(wrong.at(wrong.size() - 5).y(), 1.0);
    QVERIFY(window->findChild<QLabel *>("streakLabel")->text().contains(QLatin1String("Streak")));

    auto *retention = window->findChild<QDoubleSpinBox *>("retentionSpin");
    const qint64 dueBefore = m_history->items().at(m_history->indexOf("314", "pi")).memory.due;
    retention->setValue(0.8);
    m_history->settle();
    QCOMPARE(RecallHub::savedRetention(), 0.8);
    QVERIFY(m_history->items().at(m_history->indexOf("314", "pi")).memory.due > dueBefore);
}

void TestRecallWindow::damagedLog()
{
    // A hand-edited line and an append cut short: the rest counts, the user hears of
    // the line once, and it stays in the file.
    const QByteArray good = "\"20260301T080000Z:good:900:right:314:pi\"\r\n";
    const QByteArray bad = "\"20260301T080000Z:great:900:right:314:pi\"\r\n";
    start({"314:pi: meter"}, good + bad + "\"2026030");
    QTRY_COMPARE(MessageBox::shown().size(), 1);
    QVERIFY(MessageBox::shown().first().text.contains(QLatin1String("(line 2)")));
    QCOMPARE(m_history->items().first().reviews, 1);
    QCOMPARE(m_install->read(QLatin1String(RecallLog::fileName)), good + bad);
}

// The history is read once the first window is drawn, not while the main window is built.
void TestRecallWindow::readOnceTheMainWindowShows()
{
    m_install = std::make_unique<TestInstallation>(QByteArray(""));
    QVERIFY(m_install->write(QLatin1String(RecallLog::fileName),
                             "\"20261207T101500Z:good:5230:right:314:pi\"\r\n"));
    MainWindow *main = Windows::instance<MainWindow>();
    RecallHistory *history = RecallHub::history();
    QTest::qWait(50);
    QVERIFY(!history->isLoaded());
    main->show();
    // Well before the second after which it is read anyway.
    QTRY_VERIFY_WITH_TIMEOUT(history->isLoaded(), 700);
    QCOMPARE(history->log().records.size(), 1);
}

QTEST_MAIN(TestRecallWindow)
#include "tst_recallwindow.moc"
