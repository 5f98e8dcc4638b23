#include "TestInstallation.h"
#include "practice/Form4.h"
#include "practice/Quiz.h"
#include "remembered/Form3.h"
#include "remembered/RememberedList.h"
#include "workspace/MessageBox.h"
#include "workspace/Windows.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QColor darkBlue(0, 0, 192);
const QColor red(255, 0, 0);

} // namespace

// Plays the quiz through its window, as the main window opens it, with a clock the
// test moves and a known sequence of random values. The judging rules themselves are
// tested on the quiz logic (tst_quiz).
class TestForm4 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void noEntriesLeavesTheWindowEmpty();
    void questionsInTurn_data();
    void questionsInTurn();
    void typingColoursAndScores_data();
    void typingColoursAndScores();
    void hintOfANumberStoredNow();
    void countdownGameOverAndAgain();
    void closingSavesAndUnloadsTheList();
    void reopeningStartsAfresh();

private:
    // Entries written as "value:description:words"; they are listed by description.
    void install(const QStringList &entries);
    void open(const QList<double> &randoms = {0.0});
    void tickAt(qint64 milliseconds);
    void type(const QString &keys);
    void click(const char *button)
    {
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
    }
    QString text(const char *label) const { return child<QLabel>(label)->text(); }
    QColor answerColour() const
    {
        return child<QLineEdit>("Text2")->palette().color(QPalette::Text);
    }
    template <class T> T *child(const char *name) const
    {
        T *widget = m_form->findChild<T *>(QLatin1String(name));
        Q_ASSERT(widget);
        return widget;
    }

    std::unique_ptr<TestInstallation> m_install;
    Form4 *m_form = nullptr;
    qint64 m_now = 0;
    QList<double> m_randoms;
    qsizetype m_drawn = 0;
};

void TestForm4::init()
{
    MessageBox::answerInstead(true);
    m_now = 5000;
    m_drawn = 0;
}

void TestForm4::cleanup()
{
    Windows::releaseAll();
    m_form = nullptr;
    m_install.reset();
}

void TestForm4::install(const QStringList &entries)
{
    QByteArray file("");
    for (const QString &entry : entries)
        file += '"' + entry.toLatin1() + "\"\r\n";
    m_install = std::make_unique<TestInstallation>(file, false);
}

void TestForm4::open(const QList<double> &randoms)
{
    m_randoms = randoms;
    m_form = Windows::instance<Form4>();
    m_form->quiz()->setClock([this] { return m_now; });
    m_form->quiz()->setRandomSource([this] { return m_randoms.at(m_drawn++ % m_randoms.size()); });
    m_form->show();
}

void TestForm4::tickAt(qint64 milliseconds)
{
    m_now = milliseconds;
    QVERIFY(QMetaObject::invokeMethod(child<QTimer>("Timer1"), "timeout"));
}

void TestForm4::type(const QString &keys)
{
    auto *answer = child<QLineEdit>("Text2");
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (keys.at(i) == u'\b') {
            QTest::keyClick(answer, Qt::Key_Backspace);
        } else if (keys.at(i) == u'|') {
            // Pasted: the rest arrives as one change.
            answer->insert(keys.mid(i + 1));
            return;
        } else {
            QTest::keyClicks(answer, keys.at(i));
        }
    }
}

void TestForm4::noEntriesLeavesTheWindowEmpty()
{
    install({});
    open();
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().at(0).text,
             QStringLiteral(" I am sorry but you do not have any entries to be quized on. Please "
                            "enter some numbers then try again."));
    QCOMPARE(MessageBox::shown().at(0).title, QStringLiteral("Numbrill"));
    QVERIFY(m_form->isVisible());
    QVERIFY(!child<QTimer>("Timer1")->isActive());

    type(QStringLiteral("123"));
    click("Command2");
    click("Command1");
    QCOMPARE(text("Label1"), QString());
    QCOMPARE(text("Label3"), QString());
    QCOMPARE(text("TimeLabel"), QString());
    QCOMPARE(text("ScoreLabel"), QStringLiteral("0"));
    QCOMPARE(m_form->focusWidget(), child<QLineEdit>("Text2"));
    QCOMPARE(MessageBox::shown().size(), 1);
}

void TestForm4::questionsInTurn_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("asked"); // on opening, then after each right answer

    QTest::newRow("one entry every time")
        << QStringList{"123:pi start:tie"} << QStringList{"pi start", "pi start", "pi start"};
    QTest::newRow("two alternate") << QStringList{"11:alpha:tot", "22:beta:nun"}
                                   << QStringList{"alpha", "beta", "alpha", "beta"};
}

void TestForm4::questionsInTurn()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, asked);

    install(entries);
    open({0.0, 0.3, 0.9, 0.99});
    QVERIFY(MessageBox::shown().isEmpty());
    QCOMPARE(m_form->windowTitle(), QStringLiteral("How well do you really remember ?"));
    QCOMPARE(text("TimeLabel"), QStringLiteral("60"));
    QCOMPARE(m_form->focusWidget(), child<QLineEdit>("Text2"));

    // There is no Enter key: it neither answers nor skips.
    QTest::keyClick(child<QLineEdit>("Text2"), Qt::Key_Return);
    QVERIFY(m_form->isVisible());

    QStringList seen{text("Label1")};
    while (seen.size() < asked.size()) {
        for (const QString &entry : entries) {
            if (entry.section(u':', 1, 1) == seen.last())
                type(entry.section(u':', 0, 0));
        }
        seen.append(text("Label1"));
    }
    QCOMPARE(seen, asked);
    const QString score = QString::number(asked.size() - 1);
    QCOMPARE(text("ScoreLabel"), score);

    // Next skips to the other entry without scoring.
    click("Command2");
    QCOMPARE(text("Label1"), asked.at(asked.size() - 2));
    QCOMPARE(text("ScoreLabel"), score);
}

void TestForm4::typingColoursAndScores_data()
{
    QTest::addColumn<QString>("keys"); // \b: backspace; after |: pasted
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("score");

    // The stored number is 123.
    QTest::newRow("1 2") << "12" << darkBlue << 0;
    QTest::newRow("4 in place of 3") << "124" << darkBlue << 0;
    QTest::newRow("1 5") << "15" << red << 0;
    QTest::newRow("wrong taken back") << "15\b" << darkBlue << 0;
    QTest::newRow("right") << "123" << darkBlue << 1;
    QTest::newRow("right after a mistake") << "14\b23" << darkBlue << 1;
    QTest::newRow("longer, pasted") << "12|34" << darkBlue << 0;
    QTest::newRow("longer and wrong, pasted") << "4|123" << red << 0;
}

void TestForm4::typingColoursAndScores()
{
    QFETCH(QString, keys);
    QFETCH(QColor, colour);
    QFETCH(int, score);

    install({QStringLiteral("123:the number:tie")});
    open();
    QCOMPARE(answerColour(), red);
    type(keys);
    QCOMPARE(answerColour(), colour);
    QCOMPARE(text("ScoreLabel"), QString::number(score));
    if (score == 1)
        QCOMPARE(child<QLineEdit>("Text2")->text(), QString());
}

void TestForm4::hintOfANumberStoredNow()
{
    install({});
    Form3 *remembered = Windows::instance<Form3>();
    remembered->load();
    remembered->list()->addEntry(QStringLiteral("1234"), QStringLiteral("d"),
                                 QStringLiteral(" tie noah ma rye"));
    open();
    for (const char *expected : {"tie", "tie noah", "tie noah ma", "tie noah ma"}) {
        click("Command1");
        QCOMPARE(text("Label3"), QLatin1String(expected));
        QCOMPARE(m_form->focusWidget(), child<QLineEdit>("Text2"));
    }
    // A new question, even of the same entry, starts without hints.
    type(QStringLiteral("1234"));
    QCOMPARE(text("Label3"), QString());
    click("Command1");
    click("Command2");
    QCOMPARE(text("Label3"), QString());
}

void TestForm4::countdownGameOverAndAgain()
{
    install({QStringLiteral("12:twelve:tin")});
    open();
    auto *timer = child<QTimer>("Timer1");
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 1000);

    tickAt(6000);
    QCOMPARE(text("TimeLabel"), QStringLiteral(" 59"));
    tickAt(64000);
    QCOMPARE(text("TimeLabel"), QStringLiteral(" 1"));
    QVERIFY(MessageBox::shown().isEmpty());
    tickAt(65000);
    QCOMPARE(text("TimeLabel"), QStringLiteral(" 0"));
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().at(0).text,
             QStringLiteral(" Oops. You got zero correct. You need to practice more."));
    QCOMPARE(MessageBox::shown().at(0).title, QStringLiteral("Numbrill"));
    QCOMPARE(child<QPushButton>("Command2")->text(), QStringLiteral("Again"));

    // Over: the ticks go on and do nothing; answers and hints still work.
    tickAt(67000);
    QCOMPARE(text("TimeLabel"), QStringLiteral(" 0"));
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(timer->isActive());
    type(QStringLiteral("12"));
    QCOMPARE(text("ScoreLabel"), QStringLiteral("1"));
    click("Command1");
    QCOMPARE(text("Label3"), QStringLiteral("tin"));

    click("Command2");
    QCOMPARE(text("ScoreLabel"), QStringLiteral("0"));
    QCOMPARE(text("TimeLabel"), QStringLiteral("60"));
    QCOMPARE(text("Label3"), QString());
    QCOMPARE(child<QPushButton>("Command2")->text(), QStringLiteral("Next"));
    tickAt(68000);
    QCOMPARE(text("TimeLabel"), QStringLiteral(" 59"));
    tickAt(126000);
    QCOMPARE(MessageBox::shown().size(), 1);
    tickAt(127000);
    QCOMPARE(MessageBox::shown().size(), 2);
}

void TestForm4::closingSavesAndUnloadsTheList()
{
    install({QStringLiteral("123:pi start:tie noah ma")});
    Form3 *remembered = Windows::instance<Form3>();
    remembered->load();
    remembered->list()->addEntry(QStringLiteral("456"), QStringLiteral("added"),
                                 QStringLiteral(" real law"));

    // Opened as the main window opens it, and closed as the main window's closing
    // closes it, while a game runs.
    m_form = Windows::instance<Form4>();
    bool closed = false;
    QTimer::singleShot(0, this, [&] {
        QVERIFY(child<QTimer>("Timer1")->isActive());
        closed = m_form->close();
    });
    m_form->exec();
    QVERIFY(closed);
    QVERIFY(!m_form->isVisible());
    QVERIFY(!child<QTimer>("Timer1")->isActive());
    QVERIFY(!remembered->isLoaded());
    QCOMPARE(m_install->read(QStringLiteral("rv.db")),
             QByteArray("\"456:added: real law\"\r\n\"123:pi start:tie noah ma\"\r\n"));
}

void TestForm4::reopeningStartsAfresh()
{
    install({QStringLiteral("12:twelve:tin noah")});
    open();
    type(QStringLiteral("12"));
    click("Command1");
    type(QStringLiteral("1"));
    tickAt(m_now + 60000);
    m_form->reject();

    m_now += 100000;
    m_form->show();
    QVERIFY(Windows::instance<Form3>()->isLoaded());
    QVERIFY(child<QTimer>("Timer1")->isActive());
    QCOMPARE(child<QPushButton>("Command2")->text(), QStringLiteral("Next"));
    QCOMPARE(text("ScoreLabel"), QStringLiteral("0"));
    QCOMPARE(text("TimeLabel"), QStringLiteral("60"));
    QCOMPARE(text("Label1"), QStringLiteral("twelve"));
    QCOMPARE(text("Label3"), QString());
    QCOMPARE(child<QLineEdit>("Text2")->text(), QString());
    QCOMPARE(answerColour(), red);
    tickAt(m_now + 1000);
    QCOMPARE(text("TimeLabel"), QStringLiteral(" 59"));
}

QTEST_MAIN(TestForm4)
#include "tst_form4.moc"
