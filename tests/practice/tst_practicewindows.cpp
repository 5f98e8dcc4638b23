#include "TestInstallation.h"
#include "practice/QuizDialog.h"
#include "practice/WordTablesWindow.h"
#include "practice/Quiz.h"
#include "remembered/ReviewWindow.h"
#include "remembered/RememberedList.h"
#include "remembered/RememberedNumbers.h"
#include "ui/MessageBox.h"
#include "ui/Windows.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <memory>

namespace {

// Entries as the store flow stores them, "value:description:words", oldest first.
const QStringList quizEntries{"22:beta: nun", "123:alpha: tie noah ma rye"};
// toe once for 1, no 10 times for 2, bee twice for 9, rye 3 times for 4, seas 5 times
// for 00: each column and direction gives another order.
const QStringList usedWords{"1:a:toe", "2222222222:b:no no no no no no no no no no", "99:c:bee bee",
                            "444:d:rye rye rye", "0:e:seas seas seas seas seas"};

} // namespace

// The quiz and the word tables as the main window's commands open them, each row a
// list of user steps on the numbers the user has stored and what the window then shows.
class TestPracticeWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void quiz_data();
    void quiz();
    void wordTables_data();
    void wordTables();

private:
    // Stores the entries through the remembered numbers' window, on an empty list.
    void store(const QStringList &entries);

    std::unique_ptr<TestInstallation> m_install;
};

void TestPracticeWindows::cleanup()
{
    static const qsizetype usual = RememberedNumbers::longList();
    RememberedNumbers::setLongList(usual);
    Windows::releaseAll();
    RememberedNumbers::release();
    m_install.reset();
}

void TestPracticeWindows::store(const QStringList &entries)
{
    MessageBox::answerInstead(true);
    m_install = std::make_unique<TestInstallation>(QByteArray(""), false);
    ReviewWindow *remembered = Windows::instance<ReviewWindow>();
    remembered->load();
    for (const QString &entry : entries)
        RememberedNumbers::instance()->model()->addEntry(
            entry.section(u':', 0, 0), entry.section(u':', 1, 1), entry.section(u':', 2));
}

void TestPracticeWindows::quiz_data()
{
    QTest::addColumn<QStringList>("entries");
    // Typed into whatever has the focus; or Hint, Next, Enter, Close (and open again),
    // Reread (the same, the list read on a thread after the quiz opened), or "wait S":
    // S seconds pass and the timer ticks.
    QTest::addColumn<QStringList>("steps");
    // "question|answer|its colour|hint|countdown|score|Next button", then the messages
    QTest::addColumn<QString>("shows");

    const auto row = [](const char *name, const QStringList &steps, const char *shows,
                        const QStringList &entries = quizEntries) {
        QTest::newRow(name) << entries << steps << shows;
    };
    row("a wrong last digit keeps the colour", {"124"}, "alpha|124|blue||60|0|Next");
    row("Enter neither answers nor skips; a wrong digit is red", {"Enter", "15"},
        "alpha|15|red||60|0|Next");
    row("a right answer scores and asks the next", {"Hint", "123"}, "beta||blue||60|1|Next");
    row("the hint stops at three words", {"Hint", "Hint", "Hint", "Hint"},
        "alpha||red|tie noah ma|60|0|Next");
    row("a one-word hint, then typing", {"Next", "Hint", "Hint", "2"}, "beta|2|blue|nun|60|0|Next");
    row("58.5 seconds left show the even 58", {"wait 1.5"}, "alpha||red|| 58|0|Next");
    row("1.5 seconds left show the even 2", {"wait 58.5"}, "alpha||red|| 2|0|Next");
    row("0.5 seconds left end the game", {"123", "wait 59.5"},
        "beta||blue|| 0|1|Again|You got 1 correct.");
    row("late ticks change nothing, answers still score", {"wait 61", "wait 1", "123"},
        "beta||blue||-1|1|Again| Oops. You got zero correct. You need to practice more.");
    row("Again starts a new game", {"123", "wait 60", "Next", "wait 1"},
        "beta||blue|| 59|0|Next|You got 1 correct.");
    row("closed and opened again", {"12", "Hint", "wait 60", "Close"},
        "alpha||red||60|0|Next| Oops. You got zero correct. You need to practice more.");
    row("opened again while the list is read", {"12", "Reread", "1"}, "alpha|1|blue||60|0|Next");
    row("one entry, asked every time", {"7", "Next"}, "solo||blue||60|1|Next", {"7:solo: key"});
    row("leading zeros count", {"12"}, "zero|12|red||60|0|Next", {"0123:zero: sum"});
    // Only the case of the letters in a value is ignored.
    row("case ignored in a beginning", {"12A"}, "ab|12A|blue||60|0|Next", {"12ab:ab: tin"});
    row("case ignored", {"12aB"}, "ab||blue||60|1|Next", {"12ab:ab: tin"});
    row("nothing stored", {"123", "Next", "Hint", "wait 61"},
        "|123|red|||0|Next| I am sorry but you do not have any entries to be quized on. Please "
        "enter some numbers then try again.",
        {});
}

void TestPracticeWindows::quiz()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, steps);
    QFETCH(QString, shows);

    store(entries);
    auto *form = Windows::instance<QuizDialog>();
    auto *timer = form->findChild<QTimer *>(QStringLiteral("Timer1"));
    // Only elapsed time counts: the game starts a second before a day is full.
    qint64 now = 86399000;
    form->quiz()->setClock([&now] { return now; });
    // The newest entry comes first, and then again unless the quiz draws once more.
    form->quiz()->setRandomSource([drawn = 0]() mutable { return drawn++ % 3 == 2 ? 0.9 : 0.0; });
    form->show();
    for (const QString &step : steps) {
        if (step == u"Hint" || step == u"Next") {
            const char *button = step == u"Hint" ? "Command1" : "Command2";
            QTest::mouseClick(form->findChild<QAbstractButton *>(button), Qt::LeftButton);
        } else if (step == u"Enter") {
            QTest::keyClick(form->focusWidget(), Qt::Key_Return);
        } else if (step == u"Close" || step == u"Reread") {
            QVERIFY(form->close());
            const qsizetype usual = RememberedNumbers::longList();
            RememberedNumbers::setLongList(step == u"Reread" ? 0 : usual);
            QTRY_VERIFY(!RememberedNumbers::instance()->isLoaded());
            form->show();
            RememberedNumbers::setLongList(usual);
            QTRY_VERIFY(!RememberedNumbers::instance()->isLoading());
        } else if (step.startsWith(u"wait ")) {
            now += qint64(step.mid(5).toDouble() * 1000);
            QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
        } else {
            QTest::keyClicks(form->focusWidget(), step);
        }
    }
    const auto text = [form](const char *name) { return form->findChild<QLabel *>(name)->text(); };
    const auto *answer = form->findChild<QLineEdit *>(QStringLiteral("Text2"));
    const QString colour = answer->palette().color(QPalette::Text).name();
    const QMap<QString, QString> colours{{"#0000c0", "blue"}, {"#ff0000", "red"}};
    QStringList view{text("Label1"), answer->text(), colours.value(colour, colour)};
    view << text("Label3") << text("TimeLabel");
    view << text("ScoreLabel") << form->findChild<QAbstractButton *>("Command2")->text();
    for (const MessageBox::Shown &message : MessageBox::shown())
        view.append(message.text);
    QCOMPARE(view.join(u'|'), shows);
    QVERIFY(form->isVisible());
    QCOMPARE(timer->isActive(), !entries.isEmpty());

    // Closing the quiz unloads the remembered numbers, which saves them.
    QVERIFY(form->close());
    QVERIFY(!timer->isActive());
    QVERIFY(!RememberedNumbers::instance()->isLoaded());
}

void TestPracticeWindows::wordTables_data()
{
    QTest::addColumn<QStringList>("entries");
    // Populate or PopulateMost as the Tools commands call them, "click N" on a column
    // header, or Close (and open again).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("shows");
    // Whether the tables are made on a thread, as for a long list.
    QTest::addColumn<bool>("threads");

    const auto row = [](const char *name, const QStringList &steps, const char *shows,
                        const QStringList &entries = usedWords) {
        for (const bool threads : {false, true})
            QTest::addRow("%s%s", name, threads ? ", on threads" : "")
                << entries << steps << shows << threads;
    };
    // 1 and 01 under 1 in the order first used; 50 last on the left, 51 first and 100
    // last on the right; 0, 131 and a word without digits have no peg.
    row("peg words", {"Populate"},
        "1-100: 1|(3) tie (1) sod (1) toe |51|(1) lot  / 50|(4) lease |100|(1) tosses ",
        {"1:x:tie tie tie sod toe lease lease lease lease lot tosses sea tomato a"});
    row("nothing stored", {"PopulateMost", "Populate"}, "1-100: ", {});
    // Counts compare as text: 10 comes between 1 and 2.
    row("most used", {"PopulateMost"},
        "Most Used: 1|1|toe| / 10|2|no| / 2|9|bee| / 3|4|rye| / 5|00|seas|");
    row("the peg table keeps its order", {"PopulateMost", "Populate", "click 2"},
        "1-100: 1|(1) toe |51| / 2|(10) no |52| / 4|(3) rye |54| / 9|(2) bee |59|");
    row("a click on the peg table sorts the next most-used table",
        {"Populate", "click 2", "PopulateMost"},
        "Most Used: 1|1|toe| / 5|00|seas| / 3|4|rye| / 10|2|no| / 2|9|bee|");
    // A new column flips the direction as well, unless closing started over.
    row("closing starts over, counts descending",
        {"PopulateMost", "click 2", "Close", "PopulateMost", "click 0"},
        "Most Used: 5|00|seas| / 3|4|rye| / 2|9|bee| / 10|2|no| / 1|1|toe|");
}

void TestPracticeWindows::wordTables()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, steps);
    QFETCH(QString, shows);
    QFETCH(bool, threads);

    store(entries);
    if (threads)
        RememberedNumbers::setLongList(0);
    auto *window = Windows::instance<WordTablesWindow>();
    window->show();
    auto *list = window->findChild<QTreeWidget *>(QStringLiteral("ListView1"));
    for (const QString &step : steps) {
        if (step == u"Populate") {
            window->Populate();
        } else if (step == u"PopulateMost") {
            window->PopulateMost();
        } else if (step == u"Close") {
            window->close();
            window->show();
        } else {
            // What a click on the column's header gives.
            emit list->header()->sectionClicked(step.mid(6).toInt());
        }
    }
    QTRY_VERIFY(!window->isBusy());
    // The caption and the rows, but not the peg table's rows that carry only numbers.
    QStringList rows;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = list->topLevelItem(row);
        QStringList cells;
        for (int column = 0; column < item->columnCount(); ++column)
            cells.append(item->text(column));
        if (!item->text(1).isEmpty() || !item->text(3).isEmpty())
            rows.append(cells.join(u'|'));
    }
    QCOMPARE(window->windowTitle() + QStringLiteral(": ") + rows.join(QStringLiteral(" / ")),
             shows);
    // No column is cut off, not even beside the scroll bar of the peg table's 50 rows.
    if (list->topLevelItemCount() == 50)
        QTRY_VERIFY(list->verticalScrollBar()->isVisible());
    QVERIFY(list->header()->length() <= list->viewport()->width());
}

QTEST_MAIN(TestPracticeWindows)
#include "tst_practicewindows.moc"
